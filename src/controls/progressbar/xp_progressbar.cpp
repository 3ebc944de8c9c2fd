#include "controls/progressbar/xp_progressbar.h"

#include <limits>

#include "draw/rounding.h"

namespace velquin::progressbar {

namespace {
constexpr draw::Colour kDefaultColour = 0x8000000Du;  // the system highlight colour
constexpr int kDefaultStoredBrushStyle = 4;
}  // namespace

const char* ValueErrorMessage(ValueError e) {
  switch (e) {
    case ValueError::kNone: return "no error";
    case ValueError::kOverflow: return "Overflow";
    case ValueError::kDivisionByZero: return "Division by zero";
  }
  return "unknown error";
}

XP_ProgressBar::XP_ProgressBar(int width, int height, Host* host)
    : host_(host), width_(width), height_(height) {
  font_ = draw::DefaultFont();
  RebuildSurface();
  max_ = 100;
  min_ = 0;
  percent_ = 0;
  orientation_ = 0;
  scrolling_ = 0;
  colour_ = draw::TranslateColor(kDefaultColour);
  Repaint();
}

void XP_ProgressBar::Notify(const char* name) {
  if (host_ != nullptr) host_->PropertyChanged(name);
}

void XP_ProgressBar::Repaint() {
  if (host_ != nullptr) host_->Repaint();
}

void XP_ProgressBar::RebuildSurface() {
  uses_buffer_ = buffer_.Ensure(width_, height_) != nullptr;
}

void XP_ProgressBar::Resize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  RebuildSurface();
}

void XP_ProgressBar::Terminate() {
  buffer_.Release();
  uses_buffer_ = false;
}

void XP_ProgressBar::SetBrushStyle(int v) {
  brush_style_ = v;
  Notify("BrushStyle");
}

void XP_ProgressBar::SetColor(draw::Colour c) {
  colour_ = draw::TranslateColor(c);
  Repaint();
}

void XP_ProgressBar::SetImage(const draw::Image& image) {
  image_ = image;
  picture_ = draw::Picture::FromImage(image);
  Notify("Image");
  Repaint();
}

void XP_ProgressBar::SetMin(std::int32_t v) {
  min_ = v;
  Notify("Min");
}

void XP_ProgressBar::SetMax(std::int32_t v) {
  max_ = v;
  Notify("Max");
}

void XP_ProgressBar::SetOrientation(std::int32_t v) {
  orientation_ = v;
  Notify("Orientation");
  Repaint();
}

void XP_ProgressBar::SetScrolling(std::int32_t v) {
  scrolling_ = v;
  Notify("Scrolling");
  Repaint();
}

void XP_ProgressBar::SetShowText(bool v) {
  show_text_ = v;
  Notify("ShowText");
  Repaint();
}

ValueError XP_ProgressBar::SetValue(std::int32_t v) {
  // The range Min..Max maps onto 0..100; with Min 0 this is v * 100 / Max.
  const std::int64_t scaled = (static_cast<std::int64_t>(v) - min_) * 100;
  if (scaled < std::numeric_limits<std::int32_t>::min() ||
      scaled > std::numeric_limits<std::int32_t>::max())
    return ValueError::kOverflow;
  const std::int64_t span = static_cast<std::int64_t>(max_) - min_;
  if (span == 0) return ValueError::kDivisionByZero;
  percent_ = draw::Nearest(static_cast<double>(scaled) / static_cast<double>(span));
  Repaint();
  return ValueError::kNone;
}

std::int32_t XP_ProgressBar::Value() const {
  const double span = static_cast<double>(max_) - min_;
  return draw::Nearest(min_ + percent_ / 100.0 * span);
}

ProgressBarLook XP_ProgressBar::Look() const {
  ProgressBarLook look;
  look.width = width_;
  look.height = height_;
  look.percent = std::min(percent_, 100);
  look.colour = colour_;
  look.style = scrolling_;
  look.vertical = orientation_ != 0;
  look.brush_style = brush_style_;
  look.image = image_.IsNull() ? nullptr : &image_;
  look.show_text = show_text_;
  look.font = font_;
  return look;
}

void XP_ProgressBar::DrawProgressBar(DeviceSurface& own) {
  if (percent_ > 100) percent_ = 100;
  draw::Canvas* surface = uses_buffer_ ? buffer_.canvas() : own.DirectCanvas();
  // Without a buffer the picture goes straight to the control's own surface, which clips to the
  // client area: an empty control shows nothing.
  if (surface != nullptr && (uses_buffer_ || (width_ > 0 && height_ > 0)))
    PaintProgressBar(*surface, Look());
  if (uses_buffer_) buffer_.pDraw(own, 0, 0, width_, height_, 0, 0);
}

void XP_ProgressBar::WriteProperties(draw::PropertyBag& bag) const {
  using draw::PropertyValue;
  bag.Set("Font", font_);
  bag.Write("BrushStyle", brush_style_, kDefaultStoredBrushStyle);
  bag.Write("Color", PropertyValue::OfColour(colour_), PropertyValue::OfColour(kDefaultColour));
  bag.Write("Image", picture_, PropertyValue());
  bag.Write("Max", max_, 100);
  bag.Write("Min", min_, 0);
  bag.Write("Orientation", orientation_, 0);
  bag.Write("Scrolling", scrolling_, 0);
  bag.Write("ShowText", show_text_, false);
  bag.Write("Value", percent_, 0);
}

void XP_ProgressBar::ReadProperties(const draw::PropertyBag& bag) {
  auto int32 = [&bag](const char* key, std::int32_t def) {
    std::int64_t v = bag.ReadInt(key, def);
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
      return def;
    return static_cast<std::int32_t>(v);
  };
  SetFont(bag.ReadFont("Font", font_));
  brush_style_ = int32("BrushStyle", kDefaultStoredBrushStyle);
  SetColor(bag.ReadColour("Color", kDefaultColour));
  picture_ = bag.ReadPicture("Image");
  image_ = picture_.ToImage();
  SetMax(int32("Max", 100));
  SetMin(int32("Min", 0));
  SetOrientation(int32("Orientation", 0));
  SetScrolling(int32("Scrolling", 0));
  SetShowText(bag.ReadBool("ShowText", false));
  // "Value" holds the percentage itself; it is restored as such, whatever Max is.
  percent_ = int32("Value", 0);
  Repaint();
}

}  // namespace velquin::progressbar
