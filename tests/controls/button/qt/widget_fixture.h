// A shown, active form holding luxbutton widgets, and a recorder of the signals they emit.
#pragma once

#include <memory>

#include <QApplication>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "controls/button/qt/luxbutton_widget.h"
#include "draw/property_bag.h"

namespace velquin::button::qt::testing {

// Records every signal of a widget as "name" or "name(args)".
class SignalLog {
 public:
  void Watch(LuxButtonWidget& b) {
    auto add = [this](const QString& s) { entries_ << s; };
    QObject::connect(&b, &LuxButtonWidget::Click, [add] { add("Click"); });
    QObject::connect(&b, &LuxButtonWidget::DblClick, [add] { add("DblClick"); });
    QObject::connect(&b, &LuxButtonWidget::MouseEnter, [add] { add("MouseEnter"); });
    QObject::connect(&b, &LuxButtonWidget::MouseLeave, [add] { add("MouseLeave"); });
    QObject::connect(&b, &LuxButtonWidget::MouseDown, [add](int button, int shift, float, float) {
      add(QStringLiteral("MouseDown(%1,%2)").arg(button).arg(shift));
    });
    QObject::connect(&b, &LuxButtonWidget::MouseUp, [add](int button, int shift, float, float) {
      add(QStringLiteral("MouseUp(%1,%2)").arg(button).arg(shift));
    });
    QObject::connect(&b, &LuxButtonWidget::KeyDown, [add](int key, int shift) {
      add(QStringLiteral("KeyDown(%1,%2)").arg(key).arg(shift));
    });
    QObject::connect(&b, &LuxButtonWidget::KeyUp, [add](int key, int shift) {
      add(QStringLiteral("KeyUp(%1,%2)").arg(key).arg(shift));
    });
    QObject::connect(&b, &LuxButtonWidget::KeyPress,
                     [add](int ch) { add(QStringLiteral("KeyPress(%1)").arg(ch)); });
  }

  // The entries without the mouse-enter noise every move produces.
  QStringList Events() const {
    QStringList out;
    for (const QString& e : entries_)
      if (e != QLatin1String("MouseEnter")) out << e;
    return out;
  }
  int Count(const QString& name) const { return entries_.count(name); }
  void Clear() { entries_.clear(); }

 private:
  QStringList entries_;
};

// A 300 x 200 form at (200, 150) with one 80 x 30 button at (20, 20), loaded from an empty bag,
// shown and active.
class FormFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<QWidget>();
    form_->setGeometry(200, 150, 300, 200);
    widget_ = AddButton(form_.get(), "luxbutton1", QRect(20, 20, 80, 30));
    ShowForm();
    log_.Watch(*widget_);
  }

  void TearDown() override {
    QCursor::setPos(0, 0);
    form_.reset();
  }

  // A button placed in `container` and loaded, as the form's start-up does.
  LuxButtonWidget* AddButton(QWidget* container, const char* name, QRect geometry,
                             const draw::PropertyBag& bag = {}) {
    auto* b = new LuxButtonWidget(container);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(geometry);
    b->ReadProperties(bag);
    return b;
  }

  void ShowForm() {
    form_->show();
    form_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
  }

  // Moves the cursor (no button held) to a point of the button, as the desktop does.
  void Hover(QPoint p) { QTest::mouseMove(widget_, p); }
  void HoverOutside() { QTest::mouseMove(form_.get(), QPoint(250, 150)); }
  QPoint Center() const { return widget_->rect().center(); }
  luxbutton& Core() { return widget_->button(); }

  std::unique_ptr<QWidget> form_;
  LuxButtonWidget* widget_ = nullptr;
  SignalLog log_;
};

}  // namespace velquin::button::qt::testing
