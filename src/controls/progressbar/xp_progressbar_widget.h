// The Qt widget that places an XP_ProgressBar in a window. Every paint redraws the control into
// its back buffer and copies the buffer to the screen in one block.
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
