// The access key a caption's "&" mark gives a luxbutton.
#pragma once

#include <optional>
#include <string_view>

namespace velquin::button {

// The character after the first single "&" of the UTF-8 caption, in lower case. Only the first
// "&&" pair is skipped: when the "&" after it is doubled too, or missing, there is no key.
// Captions of one character have none.
std::optional<char32_t> AccessKeyOf(std::string_view caption);

// The lower-case form of a letter of the Latin, Greek or Cyrillic alphabets; other characters as
// they are.
char32_t LowerCase(char32_t c);

}  // namespace velquin::button
