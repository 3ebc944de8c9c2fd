// The Qt host driven by real Qt input: its events reach the control in the control's terms, and
// the control's requests are carried out (mask, paint, tooltip, menu, focus, shortcuts, hooks).
#include <functional>

#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

#include "draw/qt/convert.h"
#include "widget_fixture.h"

namespace velquin::button::qt {
namespace {

using testing::FormFixture;
using testing::SignalLog;

class WidgetTest : public FormFixture {};

// Closes the menu that the next press opens, once it is on screen, and records where it stood.
struct MenuCloser {
  QRect geometry;
  void Arm() {
    QTimer::singleShot(0, [this] {
      if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        geometry = menu->geometry();
        menu->close();
      }
    });
  }
};

TEST_F(WidgetTest, MouseInputReachesTheControl) {
  QTest::mousePress(widget_, Qt::LeftButton, {}, Center());
  EXPECT_EQ(Core().buttonState(), ButtonState::Down);
  QTest::mouseMove(widget_, QPoint(150, 10));  // held: the button keeps the mouse
  EXPECT_EQ(Core().buttonState(), ButtonState::Normal);
  QTest::mouseMove(widget_, Center());
  EXPECT_EQ(Core().buttonState(), ButtonState::Down);
  QTest::mouseRelease(widget_, Qt::LeftButton, {}, Center());
  QTest::mouseClick(widget_, Qt::LeftButton, {}, QPoint(0, 5));  // on the edge: no click
  QTest::mouseClick(widget_, Qt::RightButton, Qt::ShiftModifier, Center());
  EXPECT_EQ(log_.Events(), QStringList({"MouseDown(1,0)", "Click", "MouseUp(1,0)", "MouseDown(1,0)",
                                        "MouseUp(1,0)", "MouseUp(2,1)"}));
}

TEST_F(WidgetTest, HoverMakesAFreshTooltipWindowPerEntryAndLeavingRaisesMouseLeave) {
  Core().setToolTip("Start the scan");
  Hover(Center());
  EXPECT_EQ(Core().buttonState(), ButtonState::Hot);
  QPointer<TooltipWindow> first = widget_->tooltipWindow();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->parentWidget(), widget_);
  EXPECT_EQ(first->data().text, "Start the scan");

  HoverOutside();
  EXPECT_EQ(Core().buttonState(), ButtonState::Normal);
  EXPECT_EQ(log_.Count("MouseLeave"), 1);
  Hover(Center());
  EXPECT_TRUE(first.isNull());
  EXPECT_EQ(widget_->findChildren<TooltipWindow*>().size(), 1);
}

TEST_F(WidgetTest, KeysReachTheControlAsVirtualKeyCodes) {
  widget_->setFocus();
  QTest::keyPress(widget_, Qt::Key_Space);
  EXPECT_TRUE(Core().isSpaceHeld());
  EXPECT_EQ(QWidget::mouseGrabber(), widget_);  // the space bar takes the mouse
  QTest::keyClick(widget_, Qt::Key_Return);
  QTest::keyRelease(widget_, Qt::Key_Space);
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
  QTest::keyPress(widget_, Qt::Key_Space, Qt::AltModifier);
  EXPECT_EQ(log_.Events(),
            QStringList({"KeyDown(32,0)", "KeyPress(32)", "Click", "KeyDown(13,0)", "KeyPress(13)",
                         "Click", "KeyUp(32,0)", "KeyDown(18,4)"}));
}

TEST_F(WidgetTest, AutoRepeatedSpaceTogglesACheckButtonOnce) {
  Core().setMode(ButtonMode::Check);
  widget_->setFocus();
  QTest::keyPress(widget_, Qt::Key_Space);
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
  QApplication::sendEvent(widget_, &repeat);
  QKeyEvent repeated_release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier,
                             QStringLiteral(" "), true);
  QApplication::sendEvent(widget_, &repeated_release);  // not the real release
  EXPECT_TRUE(Core().isSpaceHeld());
  QTest::keyRelease(widget_, Qt::Key_Space);
  EXPECT_TRUE(Core().value());
  EXPECT_EQ(log_.Count("Click"), 1);
}

// Enter reaches the default button as its access key when the focus is elsewhere in the form;
// Alt and the caption's key reach it from anywhere.
TEST_F(WidgetTest, DefaultButtonAndAccessKeyComeAsShortcuts) {
  auto* edit = new QLineEdit(form_.get());
  edit->setGeometry(20, 100, 100, 20);
  edit->show();
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(log_.Count("Click"), 0);
  widget_->setDefault(true);
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(log_.Count("Click"), 1);
  widget_->setDefault(false);
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(log_.Count("Click"), 1);

  Core().setCaption("&Apply");
  QTest::keyClick(form_.get(), Qt::Key_A, Qt::AltModifier);
  EXPECT_EQ(log_.Count("Click"), 2);
  Core().setCaption("Apply");
  QTest::keyClick(form_.get(), Qt::Key_A, Qt::AltModifier);
  EXPECT_EQ(log_.Count("Click"), 2);

  widget_->setCancel(true);
  QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_EQ(log_.Count("Click"), 3);
}

TEST_F(WidgetTest, FormActivationAndFocusReachTheControl) {
  EXPECT_TRUE(Core().isParentActive());
  QTest::mousePress(widget_, Qt::LeftButton, {}, Center());
  QWidget other;
  other.setGeometry(600, 400, 50, 50);
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  EXPECT_FALSE(Core().isMouseHeld());
  EXPECT_FALSE(Core().isParentActive());
  QTest::mouseRelease(widget_, Qt::LeftButton, {}, Center());
  form_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
  EXPECT_TRUE(Core().isParentActive());

  auto* edit = new QLineEdit(form_.get());
  edit->show();
  widget_->setFocus();
  EXPECT_TRUE(Core().hasFocusFlag());
  edit->setFocus();
  EXPECT_FALSE(Core().hasFocusFlag());
}

TEST_F(WidgetTest, DoubleClickTakesTheMouseUntilTheRelease) {
  QTest::mouseClick(widget_, Qt::LeftButton, {}, Center());
  QTest::mouseDClick(widget_, Qt::LeftButton, {}, Center());
  EXPECT_EQ(QWidget::mouseGrabber(), widget_);
  QTest::mouseRelease(widget_, Qt::LeftButton, {}, Center());
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
  EXPECT_EQ(log_.Count("DblClick"), 1);
}

TEST_F(WidgetTest, ArrowKeysMoveTheFocusInTabOrder) {
  auto* left = AddButton(form_.get(), "left", QRect(120, 20, 60, 30));
  auto* right = AddButton(form_.get(), "right", QRect(200, 20, 60, 30));
  QWidget::setTabOrder(left, widget_);
  QWidget::setTabOrder(widget_, right);
  left->show();
  right->show();
  struct Case {
    Qt::Key key;
    QWidget* expected;
  };
  for (const Case& c : {Case{Qt::Key_Right, right}, Case{Qt::Key_Down, right},
                        Case{Qt::Key_Left, left}, Case{Qt::Key_Up, left}}) {
    widget_->setFocus();
    QTest::keyClick(widget_, c.key);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), c.expected) << c.key;
  }
}

TEST_F(WidgetTest, DropDownMenuOpensWhereTheControlPlacesIt) {
  QMenu menu;
  QAction* local = menu.addAction("Local Disk");
  const QSize m = menu.sizeHint();
  const QPoint origin = widget_->mapToGlobal(QPoint(0, 0));
  const int w = widget_->width();
  const int h = widget_->height();
  struct Case {
    int align;
    QPoint top_left;  // relative to the button's origin
  };
  const Case cases[] = {
      {0, {0, h}},       {1, {0, -m.height()}},           {2, {-m.width(), 0}},
      {3, {w, 0}},       {4, {-m.width(), -m.height()}},  {5, {-m.width(), h}},
      {6, {w, -m.height()}}, {7, {w, h}},
  };
  for (const Case& c : cases) {
    widget_->SetPopupMenu(&menu, c.align, 0, local);
    QCursor::setPos(form_->mapToGlobal(QPoint(250, 150)));
    MenuCloser closer;
    closer.Arm();
    QTest::mousePress(widget_, Qt::LeftButton, {}, Center());
    QTest::mouseRelease(widget_, Qt::LeftButton, {}, Center());
    EXPECT_EQ(closer.geometry.topLeft(), origin + c.top_left) << "align " << c.align;
  }
  EXPECT_EQ(menu.defaultAction(), local);
  EXPECT_TRUE(log_.Events().isEmpty()) << log_.Events().join(' ').toStdString();
}

TEST_F(WidgetTest, MenuClosedOverTheButtonHoldsItDownUntilTheRelease) {
  QMenu menu;
  menu.addAction("Local Disk");
  widget_->SetPopupMenu(&menu, 0, 0);
  Hover(Center());  // the cursor rests on the button while the menu opens and closes
  MenuCloser closer;
  closer.Arm();
  QTest::mousePress(widget_, Qt::LeftButton, {}, Center());
  EXPECT_FALSE(closer.geometry.isNull()) << "the menu did not open";
  EXPECT_TRUE(Core().isHeldAfterMenu());
  EXPECT_EQ(Core().buttonState(), ButtonState::Down);
  QTest::mouseRelease(widget_, Qt::LeftButton, {}, Center());
  EXPECT_FALSE(Core().isHeldAfterMenu());

  QObject not_a_menu;
  widget_->UnsetPopupMenu();
  widget_->SetPopupMenu(&not_a_menu, 0, 0);
  EXPECT_FALSE(Core().isMenuAttached());
}

// The widget shows the control's canvas as it is, inside the control's region.
TEST_F(WidgetTest, PaintShowsTheFaceAndTheMaskIsTheRegion) {
  Core().setButtonStyle(ButtonStyle::RoundedScheme);
  EXPECT_EQ(widget_->mask(), draw::qt::ToQRegion(Core().windowRegion()));
  EXPECT_FALSE(widget_->mask().contains(QPoint(0, 0)));
  const QImage shown = widget_->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const draw::Image& face = Core().faceCanvas().Pixels();
  ASSERT_EQ(shown.size(), QSize(face.Width(), face.Height()));
  int differing = 0;
  for (int y = 0; y < face.Height(); ++y)
    for (int x = 0; x < face.Width(); ++x)
      differing +=
          widget_->mask().contains(QPoint(x, y)) && shown.pixel(x, y) != face.PixelAt(x, y);
  EXPECT_EQ(differing, 0);
}

TEST_F(WidgetTest, StyleAndPaletteChangesRepaint) {
  int before = Core().redrawCount();
  QEvent style_change(QEvent::StyleChange);
  QApplication::sendEvent(widget_, &style_change);
  EXPECT_EQ(Core().redrawCount(), before + 1);
  before = Core().redrawCount();
  QPalette p = widget_->palette();
  p.setColor(QPalette::Button, Qt::red);
  widget_->setPalette(p);  // the Qt body always draws with a widget style
  EXPECT_GT(Core().redrawCount(), before);
}

TEST_F(WidgetTest, EnabledGoesBothWaysAndTheContainerTooltipStaysEmptyWhileShown) {
  Core().setEnabled(false);
  EXPECT_FALSE(widget_->isEnabled());
  widget_->setEnabled(true);
  EXPECT_TRUE(Core().enabled());

  Core().setToolTip("Scan the target");
  form_->hide();
  EXPECT_EQ(widget_->toolTip(), "Scan the target");
  ShowForm();
  EXPECT_TRUE(widget_->toolTip().isEmpty());
}

TEST_F(WidgetTest, OptionGroupIsTheParentWidget) {
  auto* frame_a = new QFrame(form_.get());
  auto* frame_b = new QFrame(form_.get());
  QList<LuxButtonWidget*> a;
  for (int i = 0; i < 3; ++i) {
    a << AddButton(frame_a, "a", QRect(0, i * 30, 60, 30));
    a.back()->button().setMode(ButtonMode::Option);
    a.back()->button().setValue(true);
  }
  auto* other = AddButton(frame_b, "b", QRect(0, 0, 60, 30));
  other->button().setMode(ButtonMode::Option);
  other->button().setValue(true);
  QTest::mouseClick(a[1], Qt::LeftButton, {}, a[1]->rect().center());
  EXPECT_FALSE(a[0]->button().value());
  EXPECT_TRUE(a[1]->button().value());
  EXPECT_FALSE(a[2]->button().value());
  EXPECT_TRUE(other->button().value());
}

// A form may delete the widget from its own Click handler; nothing touches it afterwards.
TEST_F(WidgetTest, ClickHandlerMayDeleteTheWidget) {
  struct Case {
    const char* how;
    std::function<void(LuxButtonWidget*)> press;
  };
  const Case cases[] = {
      {"mouse", [](LuxButtonWidget* b) { QTest::mouseClick(b, Qt::LeftButton, {}, {10, 10}); }},
      {"enter", [](LuxButtonWidget* b) { QTest::keyClick(b, Qt::Key_Return); }},
      {"space", [](LuxButtonWidget* b) { QTest::keyClick(b, Qt::Key_Space); }},
  };
  for (const Case& c : cases) {
    QPointer<LuxButtonWidget> doomed = AddButton(form_.get(), "doomed", QRect(150, 100, 80, 30));
    doomed->show();
    doomed->setFocus();
    QObject::connect(doomed, &LuxButtonWidget::Click, doomed, [&doomed] { delete doomed.data(); });
    c.press(doomed);
    EXPECT_FALSE(doomed) << c.how;
  }
}

TEST_F(WidgetTest, HooksFollowTheUserMode) {
  auto* plain = new LuxButtonWidget(form_.get());  // shown without being loaded
  plain->setGeometry(150, 100, 80, 30);
  plain->show();
  EXPECT_TRUE(plain->button().hooksInstalled());
  SignalLog log;
  log.Watch(*plain);
  QTest::mouseMove(plain, QPoint(40, 15));
  EXPECT_EQ(plain->button().buttonState(), ButtonState::Hot);
  HoverOutside();
  EXPECT_EQ(log.Count("MouseLeave"), 1);

  LuxButtonWidget designed(form_.get());
  designed.setUserMode(false);
  designed.ReadProperties({});
  EXPECT_FALSE(designed.button().hooksInstalled());
}

}  // namespace
}  // namespace velquin::button::qt
