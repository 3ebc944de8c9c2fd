// The Qt host's window for a luxbutton's tooltip data (controls/button/tooltip.h): a popup that
// watches the control's mouse input itself, shows after the style's wake-up delay while the
// cursor rests on the tool rectangle and hides when the cursor leaves, a button is pressed or a
// key typed. A rectangle or a balloon with a stem, a drop shadow, an optional title with icon,
// the text wrapped at the maximum width.
#pragma once

#include <QPainterPath>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "controls/button/tooltip.h"

namespace velquin::button::qt {

class TooltipWindow : public QWidget {
  Q_OBJECT
 public:
  // A child of `control` that watches it.
  TooltipWindow(QWidget* control, const TooltipData& data);

  const TooltipData& data() const { return data_; }
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
  TooltipData data_;
  QString text_;
  QString title_;
  QTimer wake_up_;
  QTimer auto_hide_;
  bool expired_ = false;  // shown and timed out: no reshow before the cursor re-enters
  QPainterPath shape_;
  bool stem_up_ = true;  // balloon stem at the top (tip below the cursor)
  int stem_x_ = 16;
};

}  // namespace velquin::button::qt
