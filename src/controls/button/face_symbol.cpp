#include "controls/button/face_symbol.h"

#include <string>

namespace velquin::button {

namespace {

constexpr char kSymbolFace[] = "Marlett";
constexpr int kCell = 14;  // glyph cell height of the symbol font as the button selects it

// A solid triangle of 4 rows (7, 5, 3, 1 pixels) centred in the cell, pointing `dir`.
void Arrow(draw::Canvas& c, int left, int top, char dir, draw::Colour colour) {
  const int cx = left + kCell / 2;
  const int cy = top + kCell / 2;
  for (int k = 0; k < 4; ++k) {
    const int half = 3 - k;
    switch (dir) {
      case 'd':
        c.FillRect({cx - half, cy - 1 + k, cx + half + 1, cy + k}, colour);
        break;
      case 'u':
        c.FillRect({cx - half, cy + 2 - k, cx + half + 1, cy + 3 - k}, colour);
        break;
      case 'r':
        c.FillRect({cx - 1 + k, cy - half, cx + k, cy + half + 1}, colour);
        break;
      case 'l':
        c.FillRect({cx + 2 - k, cy - half, cx + 3 - k, cy + half + 1}, colour);
        break;
    }
  }
}

}  // namespace

bool SymbolFontAvailable() {
  static const bool available = draw::FontInstalled(kSymbolFace);
  return available;
}

void DrawDropDownSymbol(draw::Canvas& canvas, const draw::Rect& rect, char symbol,
                        draw::Colour colour, bool use_symbol_font) {
  if (use_symbol_font) {
    draw::FontSpec font;
    font.face = kSymbolFace;
    font.pixel_height = kCell;
    font.charset = 2;  // symbol character set
    const draw::FontSpec previous_font = canvas.SetFont(font);
    const draw::Colour previous_colour = canvas.SetTextColor(colour);
    const draw::BkMode previous_mode = canvas.SetBkMode(draw::BkMode::Transparent);
    canvas.DrawTextIn(std::string(1, symbol), rect, draw::TextFormat::NoPrefix);
    canvas.SetBkMode(previous_mode);
    canvas.SetTextColor(previous_colour);
    canvas.SetFont(previous_font);
    return;
  }
  const int l = rect.left;
  const int t = rect.top;
  switch (symbol) {
    case '3':
      Arrow(canvas, l, t, 'l', colour);
      break;
    case '4':
      Arrow(canvas, l, t, 'r', colour);
      break;
    case '5':
      Arrow(canvas, l, t, 'u', colour);
      break;
    case '6':
      Arrow(canvas, l, t, 'd', colour);
      break;
    case '0':  // minimise: a short bar low in the cell
      canvas.FillRect({l + 4, t + 9, l + 10, t + 11}, colour);
      break;
    case '1':  // maximise: a window outline with a thick title bar
      canvas.FrameRect({l + 3, t + 3, l + 12, t + 11}, colour);
      canvas.FillRect({l + 3, t + 4, l + 12, t + 5}, colour);
      break;
    case '2':  // restore: two overlapping windows
      canvas.FrameRect({l + 5, t + 2, l + 12, t + 8}, colour);
      canvas.FillRect({l + 5, t + 3, l + 12, t + 4}, colour);
      canvas.FrameRect({l + 3, t + 6, l + 10, t + 12}, colour);
      canvas.FillRect({l + 3, t + 7, l + 10, t + 8}, colour);
      break;
    default:
      break;  // other glyphs of the symbol font have no drawn equivalent
  }
}

}  // namespace velquin::button
