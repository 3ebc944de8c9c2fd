// The visual style on Linux: the application's Qt widget style draws the push button.
#include <QApplication>
#include <QBitmap>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include "draw/platform.h"
#include "draw/qt/convert.h"

namespace velquin::draw::platform {
namespace {

QStyleOptionButton PushButtonOption(const PushButtonLook& look, const QRect& rect) {
  QStyleOptionButton opt;
  opt.rect = rect;
  opt.direction = look.right_to_left ? Qt::RightToLeft : Qt::LeftToRight;
  opt.palette = QApplication::palette();
  opt.state = QStyle::State_None;
  if (look.state != PushButtonState::Disabled) opt.state |= QStyle::State_Enabled;
  if (look.window_active) opt.state |= QStyle::State_Active;
  switch (look.state) {
    case PushButtonState::Hot:
      opt.state |= QStyle::State_MouseOver;
      break;
    case PushButtonState::Pressed:
      opt.state |= QStyle::State_Sunken;
      break;
    case PushButtonState::Default:
      opt.features |= QStyleOptionButton::DefaultButton;
      opt.state |= QStyle::State_Raised;
      break;
    case PushButtonState::Normal:
      opt.state |= QStyle::State_Raised;
      break;
    case PushButtonState::Disabled:
      break;
  }
  return opt;
}

QStyle* WidgetStyle() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return nullptr;
  return QApplication::style();
}

}  // namespace

bool ThemesActive() { return WidgetStyle() != nullptr; }

std::optional<Region> DrawThemedPushButton(Image& pixels, const Rect& rect, const Rect& region_rect,
                                           const PushButtonLook& look) {
  QStyle* style = WidgetStyle();
  if (style == nullptr) return std::nullopt;

  // The region is the part of the button the style paints.
  const QRect area(region_rect.left, region_rect.top, region_rect.Width(), region_rect.Height());
  Region region(region_rect);
  if (!area.isEmpty()) {
    QImage shape(area.size(), QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    {
      QPainter painter(&shape);
      painter.translate(-area.topLeft());
      const QStyleOptionButton opt = PushButtonOption(look, area);
      style->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, &painter, nullptr);
    }
    const QRegion painted = QRegion(QBitmap::fromImage(shape.createAlphaMask())).translated(area.topLeft());
    if (!painted.isEmpty()) region = qt::FromQRegion(painted);
  }

  if (!pixels.IsNull()) {
    QImage target = qt::AsQImage(pixels);
    QPainter painter(&target);
    const QStyleOptionButton opt =
        PushButtonOption(look, QRect(rect.left, rect.top, rect.Width(), rect.Height()));
    style->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, &painter, nullptr);
  }
  return region;
}

}  // namespace velquin::draw::platform
