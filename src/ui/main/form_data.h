#pragma once
// Form1's design-time control settings: form data, one property bag per control. Geometry is in
// twips (1440 per inch: 15 per pixel at 96 dots per inch), colours are 0x00BBGGRR values or
// references to system colours.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "draw/colour.h"
#include "draw/font.h"
#include "draw/property_bag.h"

namespace velquin::ui {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kDefaultDpi = 96;

// Twips to pixels at `dpi` dots per inch, to the nearest pixel with halves to the even neighbour.
int TwipsToPixels(std::int64_t twips, int dpi = kDefaultDpi);

struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
};

// The "left", "top", "width" and "height" settings of a control, in pixels.
PixelRect RectOf(const draw::PropertyBag& settings, int dpi = kDefaultDpi);

// The form data of the main window, parsed once.
const draw::FormData& Form1Data();
std::string_view Form1DataText();
// The settings of one control of the main window; an unknown name reads as all defaults.
const draw::PropertyBag& Form1Control(std::string_view name);

enum class ControlKind { Frame, Image, Label, TextBox, List, Button, ProgressBar, PictureBox, Timer };

struct ControlSpec {
    const char* name;
    ControlKind kind;
    const char* parent;  // the container it is placed in; nullptr: the window itself
};

// Form1's controls in creation order: where two overlap, the later one lies above.
std::span<const ControlSpec> Form1Controls();
const ControlSpec* FindForm1Control(std::string_view name);

// The rectangle of a control relative to the window's client area, through its containers.
PixelRect WindowRectOf(const ControlSpec& control, int dpi = kDefaultDpi);

enum class TextAlign { Left, Right, Center };

// What a label, text box or list shows and how, from its settings.
struct ControlLook {
    std::string text;                 // a label's caption or a text box's text
    std::optional<draw::FontSpec> font;  // the window's font when absent
    std::optional<draw::Colour> back;    // unresolved: system colour references stay references
    std::optional<draw::Colour> fore;
    bool transparent = false;  // backstyle 0: the container shows through
    bool readOnly = false;     // locked: not editable by typing
    bool border = true;
    bool visible = true;
    TextAlign align = TextAlign::Left;
};
ControlLook LookOf(const draw::PropertyBag& settings);

// The window itself.
struct WindowLook {
    std::string caption;
    int clientWidthTwips = 0;
    int clientHeightTwips = 0;
    draw::FontSpec font;
};
WindowLook Form1Look();

}  // namespace velquin::ui
