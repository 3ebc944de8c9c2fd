// The Qt host of an XP_ProgressBar: it hands the control its size and paint requests and shows
// the back buffer's pixels, without a copy, in one block per paint.
#pragma once

#include <QWidget>

#include "controls/progressbar/xp_progressbar.h"

namespace velquin::progressbar {

class XP_ProgressBarWidget : public QWidget, private XP_ProgressBar::Host {
  Q_OBJECT

 public:
  explicit XP_ProgressBarWidget(QWidget* parent = nullptr);
  ~XP_ProgressBarWidget() override;

  XP_ProgressBar& bar() { return bar_; }
  const XP_ProgressBar& bar() const { return bar_; }

  QSize sizeHint() const override { return {489, 17}; }

 signals:
  // A persisted property changed (its stored name, e.g. "Scrolling").
  void propertyChanged(const QString& name);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PropertyChanged(std::string_view name) override {
    emit propertyChanged(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
  }
  void Repaint() override { update(); }

  XP_ProgressBar bar_;
};

}  // namespace velquin::progressbar
