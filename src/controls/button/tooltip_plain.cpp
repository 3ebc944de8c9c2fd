// Until the tooltip window exists: a placeholder object per entry into Hot, carrying the settings
// as properties so that the moment and the number of creations can be observed.
#include "controls/button/tooltip.h"

namespace velquin::button {

QObject* CreateTooltipWindow(QWidget& control, const TooltipSettings& settings) {
  auto* window = new QObject(&control);
  window->setObjectName(QStringLiteral("luxbutton-tooltip"));
  window->setProperty("text", settings.text);
  window->setProperty("title", settings.title);
  window->setProperty("icon", settings.icon);
  return window;
}

}  // namespace velquin::button
