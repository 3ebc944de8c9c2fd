// Renders every button style in its states, with a picture and with a drop-down, plus the two
// tooltip shapes, into one PNG for a visual check: button_gallery [output.png]
#include <cstdio>
#include <iterator>
#include <string>

#include "controls/button/face.h"
#include "controls/button/scheme.h"
#include "draw/colour.h"
#include "draw/picture.h"
#include "gallery/gallery.h"

using namespace velquin;
using namespace velquin::button;
using gallery::LabelPlace;

namespace {

constexpr int kW = 112;
constexpr int kH = 30;
constexpr int kCellW = kW + 14;
constexpr int kCellH = kH + 12;
constexpr int kLabelW = 130;
constexpr int kHeaderH = 24;
constexpr int kTooltipBand = 120;

const char* const kStyleNames[] = {
    "0 Classic",          "1 ClassicThin",   "2 RoundedScheme",  "3 RoundedPanel",
    "4 FlatFill",         "5 SplitGradient", "6 Toolbar",        "7 RoundedSoft",
    "8 BandedGlass",      "9 RoundedGlass",  "10 RoundedShaded", "11 ClassicSunken",
    "12 ClassicThinFlat", "13 SystemTheme",
};

// A 16 x 16 picture: a green disc with a white tick on the default mask colour.
draw::Image SamplePicture() {
  static const char* const kRows[16] = {
      "................", "................", ".....gggggg.....", "...gggggggggg...",
      "..gggggggggwwg..", "..ggggggggwwwg..", ".ggggggggwwwggg.", ".ggwwggggwwgggg.",
      ".ggwwwggwwggggg.", ".gggwwwwwwggggg.", ".ggggwwwwgggggg.", "..ggggwwgggggg..",
      "..gggggggggggg..", "...gggggggggg...", ".....gggggg.....", "................",
  };
  draw::Image picture(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const char c = kRows[y][x];
      const draw::Colour colour = c == 'g'   ? draw::Rgb(40, 150, 60)
                                  : c == 'w' ? draw::Rgb(255, 255, 255)
                                             : draw::Rgb(224, 224, 224);
      picture.SetPixelAt(x, y, draw::ToPixel(colour));
    }
  return picture;
}

struct Column {
  const char* name;
  ButtonState state;
  bool enabled = true;
  bool focused = false;
  bool picture = false;
  bool drop_down = false;
  bool set = false;
  bool shadow = false;        // picture shadow and the raised caption effect
  bool grey_picture = false;  // disabled, grey picture mode
};

ButtonFace FaceFor(int style, const Column& col, const EffectTables& tables) {
  ButtonFace f;
  f.width = kW;
  f.height = kH;
  f.style = static_cast<ButtonStyle>(style);
  f.scheme = StyleDefaultScheme(f.style).value_or(ColorScheme::Blue);
  const SchemeColors c = SchemeColorsFor(f.style, f.scheme);
  f.back_color = c.back_color.value_or(draw::SystemColour(draw::kColourButtonFace));
  f.fore_color = c.fore_color;
  f.fore_color_hover = c.fore_color;
  f.show_focus_rect = true;
  f.picture_push_on_hover = c.picture_push_on_hover;
  f.state = col.state;
  f.enabled = col.enabled;
  f.has_focus = col.focused;
  f.parent_active = true;
  f.over = col.state != ButtonState::Normal;
  f.caption = "&Start Scan";
  f.font = draw::DefaultFont();
  f.effect_tables = &tables;
  if (col.picture) f.picture_normal.image = SamplePicture();
  if (col.drop_down) {
    f.drop_down_symbol = 6;
    f.drop_down_separator = true;
    f.caption = "Browse...";
  }
  if (col.set) {
    f.mode = ButtonMode::Check;
    f.value = true;
  }
  if (col.shadow) {
    f.picture_shadow = true;
    f.caption_effects = CaptionEffects::Raised;
  }
  if (col.grey_picture) f.disabled_picture_mode = DisabledPictureMode::Grayscale;
  return f;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  gallery::StartPlatform(argc, argv);
  const std::string out = argc > 1 ? argv[1] : "button-gallery.png";

  const Column columns[] = {
      {"Normal", ButtonState::Normal},
      {"Hot", ButtonState::Hot},
      {"Down", ButtonState::Down},
      {"Disabled", ButtonState::Normal, false},
      {"Focused", ButtonState::Normal, true, true},
      {"Set", ButtonState::Normal, true, false, false, false, true},
      {"Picture", ButtonState::Normal, true, false, true},
      {"Picture hot", ButtonState::Hot, true, false, true},
      {"Drop-down hot", ButtonState::Hot, true, false, false, true},
      {"Shadow, raised", ButtonState::Normal, true, false, true, false, false, true},
      {"Disabled grey", ButtonState::Normal, false, false, true, false, false, false, true},
  };
  const int ncol = int(std::size(columns));
  draw::Canvas sheet(kLabelW + ncol * kCellW, kHeaderH + 14 * kCellH + kTooltipBand,
                     draw::Rgb(255, 255, 255));
  for (int c = 0; c < ncol; ++c)
    gallery::DrawLabel(sheet, {kLabelW + c * kCellW, 0, kLabelW + (c + 1) * kCellW, kHeaderH},
                       columns[c].name, LabelPlace::Centre);

  const EffectTables tables = MakeEffectTables();
  for (int style = 0; style < 14; ++style) {
    const int y = kHeaderH + style * kCellH + 6;
    gallery::DrawLabel(sheet, {6, y, kLabelW, y + kH}, kStyleNames[style], LabelPlace::Left);
    for (int c = 0; c < ncol; ++c) {
      ButtonFace face = FaceFor(style, columns[c], tables);
      draw::Canvas cell(kW, kH, draw::SystemColour(draw::kColourButtonFace));
      PaintButtonFace(cell, face);
      // The window region clips the face, as the host's mask or window region does.
      const draw::Region region = face.window_region.value_or(ButtonRegion(face.style, kW, kH));
      const int x = kLabelW + c * kCellW + 7;
      for (const draw::Rect& r : region.Rects())
        sheet.BitBlt(x + r.left, y + r.top, r.Width(), r.Height(), cell, r.left, r.top);
    }
  }

  // The two tooltip shapes, as the host shows a button's tooltip data.
  const int ty = kHeaderH + 14 * kCellH + 8;
  gallery::DrawLabel(sheet, {6, ty, kLabelW, ty + 20}, "Tooltips", LabelPlace::TopLeft);
  int x = kLabelW;
  for (bool balloon : {false, true}) {
    TooltipData tip;
    tip.text =
        "Scans the chosen folder and removes every detected file; long texts wrap at 240 pixels.";
    tip.title = "Start Scan";
    tip.set_title = true;
    tip.icon = balloon ? 2 : 1;
    tip.balloon = balloon;
    tip.tool_rect = {0, 0, 120, 30};
    x += gallery::DrawTooltip(sheet, x, ty, tip) + 30;
  }

  if (!WriteFile(out, draw::EncodePng(sheet.Pixels()))) {
    std::fprintf(stderr, "cannot write %s\n", out.c_str());
    return 1;
  }
  return 0;
}
