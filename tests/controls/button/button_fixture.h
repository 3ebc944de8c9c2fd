// A shown, active form holding luxbuttons, and a recorder of the events they raise.
#pragma once

#include <memory>

#include <QApplication>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "controls/button/luxbutton.h"
#include "draw/property_bag.h"

namespace velquin::button::testing {

// Records every event of the buttons it watches as "name" or "name(args)", prefixed by the
// button's object name when more than one is watched.
class EventLog {
 public:
  void Watch(luxbutton& b, bool prefix = false) {
    const QString p = prefix ? b.objectName() + QLatin1Char('.') : QString();
    auto add = [this, p](const QString& s) { entries_ << p + s; };
    QObject::connect(&b, &luxbutton::Click, [add] { add("Click"); });
    QObject::connect(&b, &luxbutton::DblClick, [add] { add("DblClick"); });
    QObject::connect(&b, &luxbutton::MouseEnter, [add] { add("MouseEnter"); });
    QObject::connect(&b, &luxbutton::MouseLeave, [add] { add("MouseLeave"); });
    QObject::connect(&b, &luxbutton::MouseDown, [add](int button, int shift, float, float) {
      add(QStringLiteral("MouseDown(%1,%2)").arg(button).arg(shift));
    });
    QObject::connect(&b, &luxbutton::MouseUp, [add](int button, int shift, float, float) {
      add(QStringLiteral("MouseUp(%1,%2)").arg(button).arg(shift));
    });
    QObject::connect(&b, &luxbutton::KeyDown, [add](int key, int shift) {
      add(QStringLiteral("KeyDown(%1,%2)").arg(key).arg(shift));
    });
    QObject::connect(&b, &luxbutton::KeyUp, [add](int key, int shift) {
      add(QStringLiteral("KeyUp(%1,%2)").arg(key).arg(shift));
    });
    QObject::connect(&b, &luxbutton::KeyPress,
                     [add](int ch) { add(QStringLiteral("KeyPress(%1)").arg(ch)); });
  }

  // The entries without the mouse-enter noise every move produces.
  QStringList Events() const {
    QStringList out;
    for (const QString& e : entries_)
      if (!e.endsWith(QLatin1String("MouseEnter"))) out << e;
    return out;
  }
  const QStringList& All() const { return entries_; }
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
    button_ = AddButton(form_.get(), "luxbutton1", QRect(20, 20, 80, 30));
    ShowForm();
    log_.Watch(*button_);
  }

  void TearDown() override {
    QCursor::setPos(0, 0);
    form_.reset();
  }

  // A button placed in `container` and loaded, as the form's start-up does.
  luxbutton* AddButton(QWidget* container, const char* name, QRect geometry,
                       const draw::PropertyBag& bag = {}) {
    auto* b = new luxbutton(container);
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
  void Hover(QPoint p) { QTest::mouseMove(button_, p); }
  void HoverOutside() { QTest::mouseMove(form_.get(), QPoint(250, 150)); }

  QPoint Center() const { return button_->rect().center(); }

  std::unique_ptr<QWidget> form_;
  luxbutton* button_ = nullptr;
  EventLog log_;
};

}  // namespace velquin::button::testing
