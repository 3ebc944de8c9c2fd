// XP_ProgressBar: a self-drawn progress bar that keeps a whole percentage, draws it in one of ten
// styles and paints through a back buffer so frequent updates do not flicker.
//
// The control knows no window system; a host window drives it with four calls and shows what it
// paints, so a Win32 window procedure can forward its messages as they come:
//   - creation at the client size: the constructor (WM_CREATE),
//   - size changes: Resize (WM_SIZE),
//   - paint requests: DrawProgressBar onto a DeviceSurface (back_buffer.h) whose CopyFrom shows
//     the canvas's pixels as they are (WM_PAINT and WM_PRINTCLIENT: draw::win32::ShowPixels,
//     as the window procedure of tests/controls/progressbar/win32 does; Qt: QPainter::drawImage
//     over the same bytes),
//   - end of life: Terminate (WM_DESTROY).
// The host implements Host: Repaint only asks for a paint soon (InvalidateRect; QWidget::update)
// and PropertyChanged tells the form data that a stored property changed. The control paints
// every pixel of its client area, so a host skips the background erase (WM_ERASEBKGND answering
// non-zero; Qt::WA_OpaquePaintEvent). It keeps no clock: the window's timers step Value.
#pragma once

#include <cstdint>
#include <string_view>

#include "controls/progressbar/back_buffer.h"
#include "controls/progressbar/styles.h"
#include "draw/colour.h"
#include "draw/font.h"
#include "draw/image.h"
#include "draw/picture.h"
#include "draw/property_bag.h"

namespace velquin::progressbar {

// Why a Value write was refused; the control is unchanged then.
enum class ValueError {
  kNone,
  kOverflow,        // (v - Min) * 100 outside the 32-bit range
  kDivisionByZero,  // Max equal to Min
};
const char* ValueErrorMessage(ValueError e);

class XP_ProgressBar {
 public:
  // What the control tells its container. Repaint must not paint within the call: the
  // constructor makes it before the control is ready.
  class Host {
   public:
    virtual ~Host() = default;
    // A persisted property changed (its name as stored, e.g. "Scrolling").
    virtual void PropertyChanged(std::string_view /*name*/) {}
    // The control wants to be painted: the container calls DrawProgressBar at its next paint.
    virtual void Repaint() {}
  };

  // Creates the control at the container's size: default font, back buffer, Max 100, Min 0,
  // Percent 0, Orientation 0, Scrolling 0, Color the system highlight colour; then asks for a
  // paint.
  explicit XP_ProgressBar(int width = 0, int height = 0, Host* host = nullptr);

  void SetHost(Host* host) { host_ = host; }

  // Paints the whole control: cuts Percent to 100, draws background, style and text into the
  // drawing surface (the back buffer, or `own` itself when there is no buffer) and copies the
  // buffer to `own` in one block.
  void DrawProgressBar(DeviceSurface& own);

  // Container events.
  void Resize(int width, int height);  // rebuilds the drawing surface; no paint of its own
  void Terminate();                    // releases the back buffer

  // Properties. Setters notify the container and/or ask for a paint as the control defines.
  void SetBrushStyle(int v);  // notifies; no paint
  int BrushStyle() const { return brush_style_; }
  void SetColor(draw::Colour c);  // stored resolved; paints; no notification
  draw::Colour Color() const { return colour_; }
  void SetFont(const draw::FontSpec& f) { font_ = f; }  // no paint, no notification
  const draw::FontSpec& Font() const { return font_; }
  // A null image is none; notifies; paints. The picture is kept as PNG, as the form data stores it.
  void SetImage(const draw::Image& image);
  const draw::Image& Image() const { return image_; }
  void SetMin(std::int32_t v);  // notifies; no paint
  std::int32_t Min() const { return min_; }
  void SetMax(std::int32_t v);  // notifies; no paint
  std::int32_t Max() const { return max_; }
  void SetOrientation(std::int32_t v);  // notifies; paints
  std::int32_t Orientation() const { return orientation_; }
  void SetScrolling(std::int32_t v);  // notifies; paints
  std::int32_t Scrolling() const { return scrolling_; }
  void SetShowText(bool v);  // notifies; paints
  bool ShowText() const { return show_text_; }

  // Value maps Min..Max onto Percent 0..100 (nearest, halves to even). Percent itself is not
  // limited here; the next paint cuts it to 100. Paints; no notification.
  [[nodiscard]] ValueError SetValue(std::int32_t v);
  std::int32_t Value() const;
  std::int32_t Percent() const { return percent_; }

  // Re-runs the surface set-up (what writing the device-context property does).
  void RebuildSurface();
  bool UsesBuffer() const { return uses_buffer_; }
  const BackBuffer& Buffer() const { return buffer_; }
  int ClientWidth() const { return width_; }
  int ClientHeight() const { return height_; }

  // What the next paint draws.
  ProgressBarLook Look() const;

  // Persistence under the keys "Font", "BrushStyle", "Color", "Image", "Max", "Min",
  // "Orientation", "Scrolling", "ShowText", "Value", defaults omitted.
  void WriteProperties(draw::PropertyBag& bag) const;
  void ReadProperties(const draw::PropertyBag& bag);

 private:
  void Notify(const char* name);
  void Repaint();

  Host* host_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  draw::Colour colour_ = 0;
  std::int32_t percent_ = 0;
  std::int32_t max_ = 100;
  std::int32_t min_ = 0;
  bool show_text_ = false;
  std::int32_t scrolling_ = 0;
  std::int32_t orientation_ = 0;
  int brush_style_ = 0;
  draw::Picture picture_;  // as read or set: written back as it is
  draw::Image image_;      // picture_ decoded
  draw::FontSpec font_;
  bool uses_buffer_ = false;
  BackBuffer buffer_;
};

}  // namespace velquin::progressbar
