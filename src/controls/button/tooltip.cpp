#include "controls/button/tooltip.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>
#include <algorithm>

#include "draw/colour.h"

namespace velquin::button {

namespace {

constexpr int kPadding = 4;  // text inset of the rectangular tip
constexpr int kBalloonPadding = 8;
constexpr int kBalloonRadius = 8;
constexpr int kStemHeight = 12;
constexpr int kStemWidth = 14;
constexpr int kShadow = 3;  // drop shadow offset right and down
constexpr int kIconSize = 16;
constexpr int kTitleGap = 4;    // between icon and title, and title and text
constexpr int kCursorGap = 20;  // a rectangular tip opens below the cursor's body

QIcon TitleIcon(int icon, const QWidget* w) {
  const QStyle* style = w->style();
  switch (icon) {
    case 1:
      return style->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, w);
    case 2:
      return style->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, w);
    case 3:
      return style->standardIcon(QStyle::SP_MessageBoxCritical, nullptr, w);
    default:
      return {};
  }
}

QFont TitleFont(const QFont& base) {
  QFont f = base;
  f.setBold(true);
  return f;
}

}  // namespace

TooltipWindow::TooltipWindow(QWidget* control, bool balloon, bool rightToLeft)
    : QWidget(control, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::WindowTransparentForInput |
                           Qt::BypassWindowManagerHint),
      control_(control),
      balloon_(balloon) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TranslucentBackground);
  setLayoutDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
  setFont(TipFont());
  wakeUp_.setSingleShot(true);
  autoHide_.setSingleShot(true);
  connect(&wakeUp_, &QTimer::timeout, this, [this] { popUp(QCursor::pos()); });
  connect(&autoHide_, &QTimer::timeout, this, [this] {
    expired_ = true;
    hide();
  });
}

QFont TooltipWindow::TipFont() { return QApplication::font("QTipLabel"); }

void TooltipWindow::addTool(const QRect& rect, const QString& text) {
  toolAdded_ = true;
  toolRect_ = rect;
  text_ = text;
  if (control_) {
    control_->installEventFilter(this);
    // The cursor is already inside when the control asks for its tip.
    if (control_->rect().contains(control_->mapFromGlobal(QCursor::pos())))
      wakeUp_.start(wakeUpDelay());
  }
}

void TooltipWindow::setTitle(int icon, const QString& title) {
  titleSet_ = true;
  icon_ = icon;
  title_ = title;
}

void TooltipWindow::setMaxTipWidth(int width) { maxTipWidth_ = width; }

void TooltipWindow::setTipBackColor(const QColor& colour) {
  customBack_ = true;
  back_ = colour;
  update();
}

QColor TooltipWindow::backColor() const {
  return customBack_ ? back_ : palette().color(QPalette::ToolTipBase);
}

int TooltipWindow::wakeUpDelay() const {
  return style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, this);
}

int TooltipWindow::autoHideDelay() const {
  // Long enough to read: ten seconds, plus a little per character for long texts.
  return 10000 + 40 * int(std::max<qsizetype>(0, text_.size() - 100));
}

bool TooltipWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != control_) return false;
  switch (event->type()) {
    case QEvent::Enter:
      expired_ = false;
      wakeUp_.start(wakeUpDelay());
      break;
    case QEvent::MouseMove:
      if (!isVisible() && !expired_) {
        const auto* me = static_cast<QMouseEvent*>(event);
        if (toolRect_.contains(me->position().toPoint()))
          wakeUp_.start(wakeUpDelay());
        else
          wakeUp_.stop();
      }
      break;
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Hide:
    case QEvent::WindowDeactivate:
      wakeUp_.stop();
      autoHide_.stop();
      hide();
      break;
    default:
      break;
  }
  return false;
}

QRect TooltipWindow::bodyRect() const {
  const int stem = balloon_ ? kStemHeight : 0;
  const QRect all = rect().adjusted(0, 0, -kShadow, -kShadow);
  return stemUp_ ? all.adjusted(0, stem, 0, 0) : all.adjusted(0, 0, 0, -stem);
}

void TooltipWindow::layoutFor(const QPoint& cursor) {
  const QFontMetrics fm(font());
  const QFontMetrics tm(TitleFont(font()));
  const int pad = balloon_ ? kBalloonPadding : kPadding;
  const int wrap = maxTipWidth_ > 0 ? maxTipWidth_ : 10000;
  const QRect textBox = fm.boundingRect(QRect(0, 0, wrap, 10000), Qt::TextWordWrap, text_);
  int contentW = textBox.width();
  int contentH = textBox.height();
  if (titleSet_) {
    const int iconW = icon_ >= 1 && icon_ <= 3 ? kIconSize + kTitleGap : 0;
    const int titleW = iconW + tm.horizontalAdvance(title_);
    contentW = std::max(contentW, titleW);
    contentH += std::max(tm.height(), iconW ? kIconSize : 0) + kTitleGap;
  }
  const int bodyW = contentW + 2 * pad;
  const int bodyH = contentH + 2 * pad;
  const int stem = balloon_ ? kStemHeight : 0;
  const QSize full(bodyW + kShadow, bodyH + stem + kShadow);

  const QScreen* screen = QGuiApplication::screenAt(cursor);
  const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 14, 1 << 14);
  QPoint at;
  if (balloon_) {
    stemUp_ = cursor.y() + full.height() <= avail.bottom();
    at = QPoint(cursor.x() - 2 * kStemWidth, stemUp_ ? cursor.y() : cursor.y() - full.height());
  } else {
    stemUp_ = true;
    at = QPoint(cursor.x(), cursor.y() + kCursorGap);
    if (at.y() + full.height() > avail.bottom()) at.setY(cursor.y() - full.height());
  }
  if (layoutDirection() == Qt::RightToLeft)
    at.setX(at.x() - full.width() + (balloon_ ? 4 * kStemWidth : 0));
  at.setX(std::clamp(at.x(), avail.left(), std::max(avail.left(), avail.right() - full.width())));
  stemX_ = std::clamp(cursor.x() - at.x(), kBalloonRadius, bodyW - kBalloonRadius - kStemWidth);
  setGeometry(QRect(at, full));

  // The shape: the body (rounded for a balloon, with its stem) and its shadow.
  // Drawn half a pixel in, so the one-pixel outline falls on whole pixels.
  const QRectF body = QRectF(bodyRect()).adjusted(0.5, 0.5, -0.5, -0.5);
  QPainterPath shape;
  if (balloon_) {
    shape.addRoundedRect(body, kBalloonRadius, kBalloonRadius);
    const qreal left = stemX_ + 0.5;
    const qreal right = left + kStemWidth;
    QPolygonF stemShape;
    if (stemUp_)
      stemShape << QPointF(left, body.top() + 2) << QPointF(left, 0.5)
                << QPointF(right, body.top() + 2);
    else
      stemShape << QPointF(left, body.bottom() - 2) << QPointF(left, height() - kShadow - 0.5)
                << QPointF(right, body.bottom() - 2);
    stemShape << stemShape.first();
    QPainterPath stemPath;
    stemPath.addPolygon(stemShape);
    shape = shape.united(stemPath);
  } else {
    shape.addRect(body);
  }
  shape_ = shape;
  QRegion region = balloon_ ? QRegion(shape.toFillPolygon().toPolygon().united(QPolygon(
                                  bodyRect().adjusted(kBalloonRadius, 0, -kBalloonRadius, 0))))
                            : QRegion(bodyRect());
  region += region.translated(kShadow, kShadow);
  setMask(region);
}

void TooltipWindow::popUp(const QPoint& cursor) {
  if (!toolAdded_ || text_.isEmpty() || !control_ || !control_->isVisible()) return;
  layoutFor(cursor);
  show();
  raise();
  autoHide_.start(autoHideDelay());
}

void TooltipWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, balloon_);
  p.fillPath(shape_.translated(kShadow, kShadow), QColor(0, 0, 0, 70));
  p.fillPath(shape_, backColor());
  p.setPen(palette().color(QPalette::ToolTipText));
  p.drawPath(shape_);

  const bool rtl = layoutDirection() == Qt::RightToLeft;
  const int pad = balloon_ ? kBalloonPadding : kPadding;
  QRect content = bodyRect().adjusted(pad, pad, -pad, -pad);
  const int align = (rtl ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
  if (titleSet_) {
    const QFont tf = TitleFont(font());
    const int lineH = std::max(QFontMetrics(tf).height(), icon_ >= 1 && icon_ <= 3 ? kIconSize : 0);
    QRect line(content.left(), content.top(), content.width(), lineH);
    const QIcon icon = TitleIcon(icon_, this);
    if (!icon.isNull()) {
      const QRect iconBox =
          rtl ? QRect(line.right() - kIconSize + 1, line.top(), kIconSize, kIconSize)
              : QRect(line.left(), line.top(), kIconSize, kIconSize);
      icon.paint(&p, iconBox);
      line = rtl ? line.adjusted(0, 0, -(kIconSize + kTitleGap), 0)
                 : line.adjusted(kIconSize + kTitleGap, 0, 0, 0);
    }
    p.setFont(tf);
    p.drawText(line, align | Qt::AlignVCenter, title_);
    p.setFont(font());
    content.setTop(content.top() + lineH + kTitleGap);
  }
  p.drawText(content, align | Qt::TextWordWrap, text_);
}

QObject* CreateTooltipWindow(QWidget& control, const TooltipSettings& settings) {
  auto* w =
      new TooltipWindow(&control, settings.type == ToolTipType::Balloon, settings.right_to_left);
  w->addTool(control.rect(), settings.text);
  if (!settings.title.isEmpty() || settings.icon != 0) w->setTitle(settings.icon, settings.title);
  w->setMaxTipWidth(TooltipWindow::kMaxTipWidth);
  if (settings.back_color != 0) w->setTipBackColor(draw::ToQColor(settings.back_color));
  return w;
}

}  // namespace velquin::button
