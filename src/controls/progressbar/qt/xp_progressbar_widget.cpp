#include "controls/progressbar/qt/xp_progressbar_widget.h"

#include <QPainter>
#include <QResizeEvent>

#include "draw/qt/convert.h"

namespace velquin::progressbar {
namespace {

// The widget's own surface during a paint: it only takes block copies.
class PainterSurface : public DeviceSurface {
 public:
  explicit PainterSurface(QPainter& painter) : painter_(painter) {}
  draw::Canvas* DirectCanvas() override { return nullptr; }
  void CopyFrom(const draw::Canvas& src, int x_src, int y_src, int width, int height, int x_dest,
                int y_dest) override {
    painter_.drawImage(QPoint(x_dest, y_dest), draw::qt::AsQImage(src.Pixels()),
                       QRect(x_src, y_src, width, height));
  }

 private:
  QPainter& painter_;
};

}  // namespace

XP_ProgressBarWidget::XP_ProgressBarWidget(QWidget* parent) : QWidget(parent) {
  // The control paints every pixel itself: no background erase before a paint.
  setAttribute(Qt::WA_OpaquePaintEvent);
  bar_.SetHost(this);
}

XP_ProgressBarWidget::~XP_ProgressBarWidget() {
  bar_.SetHost(nullptr);
  bar_.Terminate();
}

void XP_ProgressBarWidget::paintEvent(QPaintEvent*) {
  // A hidden widget gets its resize event late; paint at the size it has now.
  if (bar_.ClientWidth() != width() || bar_.ClientHeight() != height())
    bar_.Resize(width(), height());
  QPainter painter(this);
  PainterSurface surface(painter);
  bar_.DrawProgressBar(surface);
}

void XP_ProgressBarWidget::resizeEvent(QResizeEvent* event) {
  bar_.Resize(event->size().width(), event->size().height());
  QWidget::resizeEvent(event);
}

}  // namespace velquin::progressbar
