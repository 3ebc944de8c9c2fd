#pragma once
// The button's own tooltip: a popup created afresh on every entry into the hot state, carrying
// the tooltip text, an optional title with icon, a rectangular or balloon shape, a drop shadow
// and an optional background colour. Once created it watches the control's mouse input itself
// and shows and hides after the desktop's usual delays; the control never shows or hides it.

#include <QColor>
#include <QPainterPath>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>
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

// Creates the tooltip window for `control`: a child of `control` that watches the control's
// mouse itself (shows after the usual delay while the cursor rests on it, hides when it leaves).
// The control deletes the previous window before asking for a new one.
QObject* CreateTooltipWindow(QWidget& control, const TooltipSettings& settings);

// The tooltip popup. Its setters mirror the tool description the control hands over, and each
// records that it was called, so a test can see exactly what the control asked for.
class TooltipWindow : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kMaxTipWidth = 240;

  TooltipWindow(QWidget* control, bool balloon, bool right_to_left);

  void addTool(const QRect& rect, const QString& text);
  void setTitle(int icon, const QString& title);
  void setMaxTipWidth(int width);
  void setTipBackColor(const QColor& colour);

  bool isBalloon() const { return balloon_; }
  bool hasTool() const { return tool_added_; }
  QRect toolRect() const { return tool_rect_; }
  QString text() const { return text_; }
  bool titleSet() const { return title_set_; }
  int titleIcon() const { return icon_; }
  QString title() const { return title_; }
  int maxTipWidth() const { return max_tip_width_; }
  bool hasCustomBackColor() const { return custom_back_; }
  QColor backColor() const;

  // Shows the tip for a cursor at global position, as the wake-up timer does.
  void popUp(const QPoint& cursor);
  int wakeUpDelay() const;
  int autoHideDelay() const;
  // The wake-up delay is running: the tip shows when it ends.
  bool isWaking() const { return wake_up_.isActive(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  static QFont TipFont();
  void layoutFor(const QPoint& cursor);
  QRect bodyRect() const;

  QPointer<QWidget> control_;
  bool balloon_;
  bool tool_added_ = false;
  QRect tool_rect_;
  QString text_;
  bool title_set_ = false;
  int icon_ = 0;
  QString title_;
  int max_tip_width_ = -1;
  bool custom_back_ = false;
  QColor back_;
  QTimer wake_up_;
  QTimer auto_hide_;
  bool expired_ = false;  // shown and timed out: no reshow before the cursor re-enters
  QPainterPath shape_;
  bool stem_up_ = true;  // balloon stem at the top (tip below the cursor)
  int stem_x_ = 16;
};

}  // namespace velquin::button
