// Text on Windows: GDI's DrawTextW with a font from CreateFontIndirectW, drawn into the canvas's
// pixels through a DIB section, so that the text looks as the system draws it.
#include <string>

#include "draw/platform.h"
#include "draw/utf.h"
#include "draw/win32/gdi.h"

namespace velquin::draw::platform {
namespace {

// The text without its access-key marks: "&&" stays as one "&", any other "&" goes.
std::u16string WithoutAccessMarks(const std::u16string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&') {
      if (i + 1 == text.size()) break;  // a final "&" marks nothing
      ++i;                              // the character after it is printed ("&" for "&&")
    }
    out += text[i];
  }
  return out;
}

int Draw(HDC dc, std::string_view text, RECT& rect, TextFormat format) {
  std::u16string wide = ToUtf16(text);
  // HidePrefix as documented: the marks go and nothing is underlined. Wine's DrawTextW underlines
  // the access key even then, so the body removes the marks itself and draws the rest as it is.
  if (Has(format, TextFormat::HidePrefix) && !Has(format, TextFormat::NoPrefix)) {
    wide = WithoutAccessMarks(wide);
    format = (format & ~TextFormat::HidePrefix) | TextFormat::NoPrefix;
  }
  return DrawTextW(dc, reinterpret_cast<LPCWSTR>(wide.data()), static_cast<int>(wide.size()), &rect,
                   win32::ToGdi(format));
}

}  // namespace

int CalculateTextRect(const FontSpec& font, std::string_view text, Rect& rect, TextFormat format) {
  win32::MemoryDc dc;
  win32::SelectedFont selected(dc.dc(), font);
  RECT r = win32::ToRect(rect);
  const int height = Draw(dc.dc(), text, r, format | TextFormat::CalcRect);
  rect.right = r.right;
  rect.bottom = r.bottom;
  return height;
}

Size MeasureTextLine(const FontSpec& font, std::string_view text, TextFormat format) {
  Rect r{0, 0, 0, 0};
  CalculateTextRect(font, text, r, format | TextFormat::SingleLine);
  return {r.Width(), r.Height()};
}

int RenderText(Image& pixels, const FontSpec& font, std::string_view text, const Rect& rect,
               TextFormat format, const TextInk& ink) {
  // GDI draws into a copy of the block the text may touch, which then goes back.
  const Rect block =
      Has(format, TextFormat::NoClip) ? pixels.Bounds() : rect.Intersect(pixels.Bounds());
  if (block.IsEmpty()) {
    Rect measured = rect;
    return CalculateTextRect(font, text, measured, format);
  }
  win32::DibBlock dib(pixels, block);
  if (!dib.ok()) return 0;
  win32::SelectedFont selected(dib.dc(), font);
  SetTextColor(dib.dc(), ink.colour);
  SetBkColor(dib.dc(), ink.background);
  SetBkMode(dib.dc(), ink.opaque ? OPAQUE : TRANSPARENT);
  RECT r = win32::ToRect(rect);
  const int height = Draw(dib.dc(), text, r, format);
  dib.CopyBack(pixels);
  return height;
}

namespace {

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

}  // namespace

bool FontFaceInstalled(std::string_view face) {
  const std::u16string wide = ToUtf16(face);
  if (wide.empty() || wide.size() >= LF_FACESIZE) return false;
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  wide.copy(reinterpret_cast<char16_t*>(lf.lfFaceName), wide.size());
  win32::MemoryDc dc;
  bool found = false;
  EnumFontFamiliesExW(dc.dc(), &lf, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

}  // namespace velquin::draw::platform
