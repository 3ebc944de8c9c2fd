#include "draw/win32/gdi.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "draw/utf.h"

namespace velquin::draw::win32 {

Region FromHrgn(HRGN rgn) {
  const DWORD size = GetRegionData(rgn, 0, nullptr);
  if (size == 0) return {};
  std::vector<std::uint8_t> buffer(size);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  if (GetRegionData(rgn, size, data) == 0) return {};
  const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
  std::vector<Rect> out;
  out.reserve(data->rdh.nCount);
  for (DWORD i = 0; i < data->rdh.nCount; ++i)
    out.push_back({rects[i].left, rects[i].top, rects[i].right, rects[i].bottom});
  return Region::FromRects(std::move(out));
}

BITMAPINFO DibHeader(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

void ShowPixels(HDC dc, int x, int y, const Image& image, const Rect& block) {
  const Rect shown = block.Intersect(image.Bounds());
  if (shown.IsEmpty()) return;
  const BITMAPINFO info = DibHeader(image.Width(), image.Height());
  // The source origin of SetDIBitsToDevice is the image's lower-left corner, top-down or not.
  SetDIBitsToDevice(dc, x + shown.left - block.left, y + shown.top - block.top,
                    static_cast<DWORD>(shown.Width()), static_cast<DWORD>(shown.Height()),
                    shown.left, image.Height() - shown.bottom, 0,
                    static_cast<UINT>(image.Height()), image.Bytes(), &info, DIB_RGB_COLORS);
}

LOGFONTW ToLogFont(const FontSpec& font, int dpi, BYTE quality) {
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(PixelHeight(font), dpi, 96);
  lf.lfWeight = font.weight >= 100 && font.weight <= 900 ? font.weight : FW_NORMAL;
  lf.lfItalic = font.italic ? TRUE : FALSE;
  lf.lfUnderline = font.underline ? TRUE : FALSE;
  lf.lfStrikeOut = font.strikeout ? TRUE : FALSE;
  lf.lfCharSet = static_cast<BYTE>(font.charset);
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = quality;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const std::u16string face = ToUtf16(font.face);
  const std::size_t n = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
  std::memcpy(lf.lfFaceName, face.data(), n * sizeof(wchar_t));
  return lf;
}

SelectedFont::SelectedFont(HDC dc, const FontSpec& font) : dc_(dc) {
  const LOGFONTW lf = ToLogFont(font, 96, NONANTIALIASED_QUALITY);
  font_ = CreateFontIndirectW(&lf);
  if (font_ != nullptr) previous_ = SelectObject(dc_, font_);
}

SelectedFont::~SelectedFont() {
  if (previous_ != nullptr) SelectObject(dc_, previous_);
  if (font_ != nullptr) DeleteObject(font_);
}

DibBlock::DibBlock(const Image& source, const Rect& block) : block_(block) {
  if (block.IsEmpty() || dc_.dc() == nullptr) return;
  const BITMAPINFO info = DibHeader(block.Width(), block.Height());
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_.dc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap_ == nullptr || bits == nullptr) return;
  bits_ = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < block.Height(); ++y)
    std::memcpy(bits_ + static_cast<std::size_t>(y) * block.Width(),
                source.Row(block.top + y) + block.left,
                static_cast<std::size_t>(block.Width()) * 4);
  previous_ = SelectObject(dc_.dc(), bitmap_);
  SetViewportOrgEx(dc_.dc(), -block.left, -block.top, nullptr);
}

DibBlock::~DibBlock() {
  if (previous_ != nullptr) SelectObject(dc_.dc(), previous_);
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
}

void DibBlock::CopyBack(Image& target) const {
  if (bits_ == nullptr) return;
  GdiFlush();
  for (int y = 0; y < block_.Height(); ++y) {
    const std::uint32_t* from = bits_ + static_cast<std::size_t>(y) * block_.Width();
    std::uint32_t* to = target.Row(block_.top + y) + block_.left;
    for (int x = 0; x < block_.Width(); ++x) to[x] = from[x] | 0xFF000000u;
  }
}

ATOM ControlClassAtom(HINSTANCE instance, const wchar_t* name, WNDPROC proc, UINT style) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (const ATOM atom = static_cast<ATOM>(GetClassInfoExW(instance, name, &existing))) return atom;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.cbWndExtra = sizeof(void*);
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  return RegisterClassExW(&wc);
}

}  // namespace velquin::draw::win32
