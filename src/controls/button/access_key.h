// The access key a caption's "&" mark gives a luxbutton.
#pragma once

#include <optional>

#include <QChar>
#include <QString>

namespace velquin::button {

// The lower-case character after the first single "&" of the caption. Only the first "&&" pair
// is skipped: when the "&" after it is doubled too, or missing, there is no key. Captions of one
// character have none.
std::optional<QChar> AccessKeyOf(const QString& caption);

}  // namespace velquin::button
