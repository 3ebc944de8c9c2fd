// The tooltip window a luxbutton creates afresh on every entry into the Hot state.
#pragma once

#include <QObject>
#include <QString>
#include <QWidget>

#include "controls/button/button_types.h"
#include "draw/colour.h"

namespace velquin::button {

struct TooltipSettings {
  QString text;   // ToolTip; empty still creates the window, which then shows nothing
  QString title;  // TooltipTitle
  int icon = 0;   // ToolTipIcon: 0 none, 1 information, 2 warning, 3 error
  ToolTipType type = ToolTipType::Standard;
  draw::Colour back_color = 0;  // TooltipBackColor as stored; 0 keeps the system's colour
  bool right_to_left = false;
};

// Creates the tooltip window for `control`: a child object of `control` that watches the
// control's mouse itself (shows after the usual delay while the cursor rests on it, hides when it
// leaves). The control deletes the previous window before asking for a new one.
QObject* CreateTooltipWindow(QWidget& control, const TooltipSettings& settings);

}  // namespace velquin::button
