// The services a luxbutton asks of the form that hosts it, over plain Qt widgets: the ambient font
// is the parent widget's font, the parent form is the top-level window, the form's controls are
// the luxbutton widgets inside it, and the popup call is QMenu::exec.
#pragma once

#include <QFont>
#include <QList>
#include <QPoint>

#include "draw/font.h"

class QAction;
class QMenu;
class QWidget;

namespace velquin::button {

class luxbutton;

// Alignment bits of the popup call: the menu's right edge (kPopupRightAlign) or its centre
// (kPopupCenterAlign) at x, its bottom edge at y (kPopupBottomAlign); vertical centre 0x10.
inline constexpr int kPopupCenterAlign = 0x4;
inline constexpr int kPopupRightAlign = 0x8;
inline constexpr int kPopupVCenterAlign = 0x10;
inline constexpr int kPopupBottomAlign = 0x20;

draw::FontSpec FontSpecOf(const QFont& font);

// The font of the widget that contains `control`, or the application font for a top-level one.
draw::FontSpec AmbientFont(const QWidget& control);

// The top-level window `control` lives in.
QWidget* ParentForm(QWidget& control);

// Every luxbutton inside `form`, in creation order.
QList<luxbutton*> FormControls(QWidget& form);

// Shows `menu` modally at `local` (pixels of `owner`), aligned by `flags`, with `default_item`
// (may be null) shown as the default entry. Returns when the menu has closed.
void PopupMenu(QWidget& owner, QMenu& menu, int flags, QPoint local, QAction* default_item);

}  // namespace velquin::button
