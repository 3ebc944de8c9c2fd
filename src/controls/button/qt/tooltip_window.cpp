#include "controls/button/qt/tooltip_window.h"

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

#include "draw/qt/convert.h"

namespace velquin::button::qt {

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

TooltipWindow::TooltipWindow(QWidget* control, const TooltipData& data)
    : QWidget(control, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::WindowTransparentForInput | Qt::BypassWindowManagerHint),
      control_(control),
      data_(data),
      text_(draw::qt::ToQString(data.text)),
      title_(draw::qt::ToQString(data.title)) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TranslucentBackground);
  setLayoutDirection(data.right_to_left ? Qt::RightToLeft : Qt::LeftToRight);
  setFont(TipFont());
  wake_up_.setSingleShot(true);
  auto_hide_.setSingleShot(true);
  connect(&wake_up_, &QTimer::timeout, this, [this] { popUp(QCursor::pos()); });
  connect(&auto_hide_, &QTimer::timeout, this, [this] {
    expired_ = true;
    hide();
  });
  if (control_) {
    control_->installEventFilter(this);
    // The cursor is already inside when the control asks for its tip.
    if (control_->rect().contains(control_->mapFromGlobal(QCursor::pos())))
      wake_up_.start(wakeUpDelay());
  }
}

QFont TooltipWindow::TipFont() { return QApplication::font("QTipLabel"); }

QColor TooltipWindow::backColor() const {
  return data_.back_color ? draw::qt::ToQColor(*data_.back_color)
                          : palette().color(QPalette::ToolTipBase);
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
      wake_up_.start(wakeUpDelay());
      break;
    case QEvent::MouseMove:
      if (!isVisible() && !expired_) {
        const auto* me = static_cast<QMouseEvent*>(event);
        if (QRect(data_.tool_rect.left, data_.tool_rect.top, data_.tool_rect.Width(),
                  data_.tool_rect.Height())
                .contains(me->position().toPoint()))
          wake_up_.start(wakeUpDelay());
        else
          wake_up_.stop();
      }
      break;
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Hide:
    case QEvent::WindowDeactivate:
      wake_up_.stop();
      auto_hide_.stop();
      hide();
      break;
    default:
      break;
  }
  return false;
}

QRect TooltipWindow::bodyRect() const {
  const int stem = data_.balloon ? kStemHeight : 0;
  const QRect all = rect().adjusted(0, 0, -kShadow, -kShadow);
  return stem_up_ ? all.adjusted(0, stem, 0, 0) : all.adjusted(0, 0, 0, -stem);
}

void TooltipWindow::layoutFor(const QPoint& cursor) {
  const QFontMetrics fm(font());
  const QFontMetrics tm(TitleFont(font()));
  const int pad = data_.balloon ? kBalloonPadding : kPadding;
  const int wrap = data_.max_width > 0 ? data_.max_width : 10000;
  const QRect text_box = fm.boundingRect(QRect(0, 0, wrap, 10000), Qt::TextWordWrap, text_);
  int content_w = text_box.width();
  int content_h = text_box.height();
  if (data_.set_title) {
    const int icon_w = data_.icon >= 1 && data_.icon <= 3 ? kIconSize + kTitleGap : 0;
    const int title_w = icon_w + tm.horizontalAdvance(title_);
    content_w = std::max(content_w, title_w);
    content_h += std::max(tm.height(), icon_w ? kIconSize : 0) + kTitleGap;
  }
  const int body_w = content_w + 2 * pad;
  const int body_h = content_h + 2 * pad;
  const int stem = data_.balloon ? kStemHeight : 0;
  const QSize full(body_w + kShadow, body_h + stem + kShadow);

  const QScreen* screen = QGuiApplication::screenAt(cursor);
  const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 14, 1 << 14);
  QPoint at;
  if (data_.balloon) {
    stem_up_ = cursor.y() + full.height() <= avail.bottom();
    at = QPoint(cursor.x() - 2 * kStemWidth, stem_up_ ? cursor.y() : cursor.y() - full.height());
  } else {
    stem_up_ = true;
    at = QPoint(cursor.x(), cursor.y() + kCursorGap);
    if (at.y() + full.height() > avail.bottom()) at.setY(cursor.y() - full.height());
  }
  if (layoutDirection() == Qt::RightToLeft)
    at.setX(at.x() - full.width() + (data_.balloon ? 4 * kStemWidth : 0));
  at.setX(std::clamp(at.x(), avail.left(), std::max(avail.left(), avail.right() - full.width())));
  stem_x_ = std::clamp(cursor.x() - at.x(), kBalloonRadius, body_w - kBalloonRadius - kStemWidth);
  setGeometry(QRect(at, full));

  // The shape: the body (rounded for a balloon, with its stem) and its shadow.
  // Drawn half a pixel in, so the one-pixel outline falls on whole pixels.
  const QRectF body = QRectF(bodyRect()).adjusted(0.5, 0.5, -0.5, -0.5);
  QPainterPath shape;
  if (data_.balloon) {
    shape.addRoundedRect(body, kBalloonRadius, kBalloonRadius);
    const qreal left = stem_x_ + 0.5;
    const qreal right = left + kStemWidth;
    QPolygonF stem_shape;
    if (stem_up_)
      stem_shape << QPointF(left, body.top() + 2) << QPointF(left, 0.5)
                 << QPointF(right, body.top() + 2);
    else
      stem_shape << QPointF(left, body.bottom() - 2) << QPointF(left, height() - kShadow - 0.5)
                 << QPointF(right, body.bottom() - 2);
    stem_shape << stem_shape.first();
    QPainterPath stem_path;
    stem_path.addPolygon(stem_shape);
    shape = shape.united(stem_path);
  } else {
    shape.addRect(body);
  }
  shape_ = shape;
  QRegion region = data_.balloon ? QRegion(shape.toFillPolygon().toPolygon().united(QPolygon(
                                  bodyRect().adjusted(kBalloonRadius, 0, -kBalloonRadius, 0))))
                            : QRegion(bodyRect());
  region += region.translated(kShadow, kShadow);
  setMask(region);
}

void TooltipWindow::popUp(const QPoint& cursor) {
  if (text_.isEmpty() || !control_ || !control_->isVisible()) return;
  layoutFor(cursor);
  show();
  raise();
  auto_hide_.start(autoHideDelay());
}

void TooltipWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, data_.balloon);
  p.fillPath(shape_.translated(kShadow, kShadow), QColor(0, 0, 0, 70));
  p.fillPath(shape_, backColor());
  p.setPen(palette().color(QPalette::ToolTipText));
  p.drawPath(shape_);

  const bool rtl = layoutDirection() == Qt::RightToLeft;
  const int pad = data_.balloon ? kBalloonPadding : kPadding;
  QRect content = bodyRect().adjusted(pad, pad, -pad, -pad);
  const int align = (rtl ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
  if (data_.set_title) {
    const QFont tf = TitleFont(font());
    const int line_h =
        std::max(QFontMetrics(tf).height(), data_.icon >= 1 && data_.icon <= 3 ? kIconSize : 0);
    QRect line(content.left(), content.top(), content.width(), line_h);
    const QIcon icon = TitleIcon(data_.icon, this);
    if (!icon.isNull()) {
      const QRect icon_box =
          rtl ? QRect(line.right() - kIconSize + 1, line.top(), kIconSize, kIconSize)
              : QRect(line.left(), line.top(), kIconSize, kIconSize);
      icon.paint(&p, icon_box);
      line = rtl ? line.adjusted(0, 0, -(kIconSize + kTitleGap), 0)
                 : line.adjusted(kIconSize + kTitleGap, 0, 0, 0);
    }
    p.setFont(tf);
    p.drawText(line, align | Qt::AlignVCenter, title_);
    p.setFont(font());
    content.setTop(content.top() + line_h + kTitleGap);
  }
  p.drawText(content, align | Qt::TextWordWrap, text_);
}

}  // namespace velquin::button::qt
