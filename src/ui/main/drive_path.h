#pragma once
// Drive-letter targets in this platform's own path form.

#include <QString>

namespace velquin::ui {

// "X:\..." as the native path the walk takes; other paths unchanged.
QString NativeTarget(const QString& path);

}  // namespace velquin::ui
