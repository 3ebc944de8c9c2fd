// The Windows body, and the drawing layer beside the Windows headers. The system headers come
// first, as in a Win32 host: the neutral headers must survive their macros (DrawText, OPAQUE,
// SelectFont, min, ...).
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>
#include <uxtheme.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "draw/canvas.h"
#include "draw/colour.h"
#include "draw/flags.h"
#include "draw/font.h"
#include "draw/geometry.h"
#include "draw/image.h"
#include "draw/picture.h"
#include "draw/platform.h"
#include "draw/property_bag.h"
#include "draw/region.h"
#include "draw/rounding.h"
#include "draw/theme.h"
#include "draw/utf.h"
#include "draw/win32/gdi.h"

namespace velquin::draw {
namespace {

TEST(Win32Body, NeutralNamesMeanTheSystemsConstants) {
  Canvas c(20, 10, Rgb(255, 255, 255));
  c.SetFont(DefaultFont());
  c.SetBrush(Brush::Hatch(HatchStyle::Cross, 0));
  EXPECT_EQ(c.SetBkMode(BkMode::Transparent), BkMode::Opaque);
  EXPECT_GT(c.DrawTextIn("x", Rect{0, 0, 20, 10}, TextFormat::SingleLine), 0);
  c.DrawEdge({0, 0, 20, 10}, Edge::Raised, EdgeFlags::Rect);
  EXPECT_EQ(win32::ToGdi(TextFormat::Center | TextFormat::WordBreak | TextFormat::RtlReading),
            UINT{DT_CENTER | DT_WORDBREAK | DT_RTLREADING});
  EXPECT_EQ(win32::ToGdi(Edge::SunkenOuter | Edge::RaisedInner), UINT{EDGE_ETCHED});
  EXPECT_EQ(win32::ToGdi(BkMode::Opaque), OPAQUE);
}

TEST(Win32Body, SystemColoursAreTheSystems) {
  PinSystemColours(std::nullopt);
  for (int i = 0; i < kSystemColourCount; ++i) EXPECT_EQ(SystemColour(i), GetSysColor(i)) << i;
}

// The reference: the same text, font, colours and rectangle drawn by DrawTextW straight into a
// DIB section of the canvas's size. The pixels must be the same (the fourth byte aside). Not for
// HidePrefix: Wine's DrawTextW underlines the access key even then, which the body does not.
Image DrawnByGdi(const Image& start, const char16_t* text, RECT rect, UINT format, COLORREF colour,
                 int bk_mode, COLORREF background) {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = start.Width();
  info.bmiHeader.biHeight = -start.Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::memcpy(bits, start.Bytes(), start.ByteCount());
  HGDIOBJ old_bitmap = SelectObject(dc, dib);
  LOGFONTW lf{};
  lf.lfHeight = -11;  // 8.25 points at 96 dots per inch
  lf.lfWeight = FW_NORMAL;
  lf.lfQuality = NONANTIALIASED_QUALITY;
  std::wcscpy(lf.lfFaceName, L"MS Sans Serif");
  HFONT font = CreateFontIndirectW(&lf);
  HGDIOBJ old_font = SelectObject(dc, font);
  SetTextColor(dc, colour);
  SetBkColor(dc, background);
  SetBkMode(dc, bk_mode);
  DrawTextW(dc, reinterpret_cast<LPCWSTR>(text), -1, &rect, format);
  GdiFlush();
  Image out(start.Width(), start.Height());
  std::memcpy(out.Bytes(), bits, out.ByteCount());
  out.MakeOpaque();
  SelectObject(dc, old_font);
  SelectObject(dc, old_bitmap);
  DeleteObject(font);
  DeleteObject(dib);
  DeleteDC(dc);
  return out;
}

TEST(Win32Body, TextIsWhatDrawTextWDrawsIntoADibSection) {
  struct Case {
    TextFormat format;
    Rect rect;
    bool opaque;
  } cases[] = {
      {TextFormat::SingleLine, {3, 2, 117, 38}, false},
      {TextFormat::SingleLine | TextFormat::Center | TextFormat::VCenter, {0, 0, 120, 40}, true},
      {TextFormat::Center | TextFormat::WordBreak, {10, 1, 70, 40}, false},
      {TextFormat::SingleLine | TextFormat::RtlReading, {0, 0, 120, 20}, false},
      {TextFormat::SingleLine | TextFormat::NoPrefix, {0, 0, 40, 12}, true},
      {TextFormat::SingleLine | TextFormat::NoClip, {90, 30, 95, 33}, false},
  };
  const Colour text = Rgb(170, 20, 40);
  const Colour back = Rgb(10, 120, 60);
  for (const auto& k : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << Bits(k.format));
    Canvas canvas(120, 40, Rgb(200, 220, 240));
    const Image start = canvas.Pixels();
    canvas.SetTextColor(text);
    canvas.SetBkColor(back);
    canvas.SetBkMode(k.opaque ? BkMode::Opaque : BkMode::Transparent);
    canvas.DrawTextIn("&Start the scan now!", k.rect, k.format);
    const Image gdi = DrawnByGdi(start, u"&Start the scan now!", win32::ToRect(k.rect),
                                 win32::ToGdi(k.format), text, k.opaque ? OPAQUE : TRANSPARENT, back);
    EXPECT_EQ(canvas.Pixels(), gdi);
    EXPECT_NE(canvas.Pixels(), start);
  }
}

int CALLBACK NoteFirstFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM out) {
  *reinterpret_cast<std::u16string*>(out) = reinterpret_cast<const char16_t*>(font->lfFaceName);
  return 0;
}

TEST(Win32Body, FontFacesAreLookedUpNotSubstituted) {
  // Which faces a prefix has depends on the machine: the first one the system lists will do.
  LOGFONTW any{};
  any.lfCharSet = DEFAULT_CHARSET;
  std::u16string first;
  HDC dc = CreateCompatibleDC(nullptr);
  EnumFontFamiliesExW(dc, &any, NoteFirstFace, reinterpret_cast<LPARAM>(&first), 0);
  DeleteDC(dc);
  ASSERT_FALSE(first.empty());
  EXPECT_TRUE(platform::FontFaceInstalled(FromUtf16(first)));
  EXPECT_FALSE(platform::FontFaceInstalled("Velquin No Such Face"));
}

TEST(Win32Body, ThePushButtonThemeIsTheVisualStyle) {
  const Rect rect{0, 0, 60, 24};
  EXPECT_EQ(ThemesActive(), IsAppThemed() != FALSE);
  if (!IsAppThemed()) GTEST_SKIP() << "this prefix has no visual style";
  for (PushButtonState state : {PushButtonState::Normal, PushButtonState::Hot, PushButtonState::Pressed,
                                PushButtonState::Disabled, PushButtonState::Default}) {
    SCOPED_TRACE(Bits(state));
    Canvas canvas(60, 24, Rgb(255, 0, 255));
    auto region = DrawThemedPushButton(canvas, rect, Rect{-1, -1, 61, 26}, PushButtonLook{state});
    ASSERT_TRUE(region);
    EXPECT_FALSE(region->IsEmpty());
    EXPECT_NE(canvas.GetPixel(30, 12), Rgb(255, 0, 255));
    EXPECT_EQ(canvas.Pixels().PixelAt(30, 12) >> 24, 0xFFu);
  }
}

}  // namespace
}  // namespace velquin::draw
