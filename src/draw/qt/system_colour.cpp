// System colours on Linux: the application palette, read through the mapping of SystemColoursOf.
#include <QGuiApplication>

#include "draw/platform.h"
#include "draw/qt/convert.h"

namespace velquin::draw::platform {

Colour SystemColour(int index) {
  if (index < 0 || index >= kSystemColourCount) return 0;
  // Without an application there is no palette: the classic colours stand in.
  if (QGuiApplication::instance() == nullptr) return ClassicSystemColours()[static_cast<std::size_t>(index)];
  return qt::SystemColourOf(QGuiApplication::palette(), index);
}

}  // namespace velquin::draw::platform
