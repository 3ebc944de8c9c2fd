// Takes pictures of the Windows scan console: the window in the middle of a scan beside the same
// window after the report, copied from the window into a DIB section and written as PNG.
// Usage: velquin_form1_screenshot OUT.png TREE DATABASE [LOG]   (LOG: the log's lines, one a line)
#include <windows.h>
#undef Yield
#undef IN

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "draw/picture.h"
#include "draw/win32/gdi.h"
#include "platform/win32/text.h"
#include "support/win32/window_driver.h"
#include "ui/main/win32/form1.h"

namespace {

using velquin::draw::Image;
using velquin::ui::win32::ControlId;

// The window's client area as it is on the screen now.
Image Grab(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT client;
    GetClientRect(window, &client);
    Image picture(client.right, client.bottom);
    const BITMAPINFO info = velquin::draw::win32::DibHeader(client.right, client.bottom);
    void* bits = nullptr;
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    GdiFlush();
    std::copy_n(static_cast<const std::uint8_t*>(bits), picture.ByteCount(), picture.Bytes());
    picture.MakeOpaque();  // GDI leaves the fourth byte 0
    SelectObject(memory, previous);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return picture;
}

// The two pictures side by side on a dark ground, 12 pixels apart.
Image SideBySide(const Image& left, const Image& right) {
    Image sheet(left.Width() + 12 + right.Width(), std::max(left.Height(), right.Height()), 0xFF404040u);
    for (int y = 0; y < left.Height(); ++y) std::copy_n(left.Row(y), left.Width(), sheet.Row(y));
    for (int y = 0; y < right.Height(); ++y)
        std::copy_n(right.Row(y), right.Width(), sheet.Row(y) + left.Width() + 12);
    return sheet;
}

HWND g_form = nullptr;
Image g_midScan, g_after;
std::vector<std::string> g_log;

HWND Control(const char* name) { return GetDlgItem(g_form, ControlId(name)); }

// Looks at the window between two entries of the walk, and once more after the report.
void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD) {
    using velquin::testing::ListLines;
    using velquin::testing::TextOf;
    if (g_midScan.IsNull() && std::atoi(TextOf(Control("Label7")).c_str()) >= 2) {
        // The animations a few ticks on, as a user would see them a moment into the scan.
        for (int i = 0; i < 6; ++i) SendMessageW(g_form, WM_TIMER, 1, 0);
        for (int i = 0; i < 45; ++i) SendMessageW(g_form, WM_TIMER, 2, 0);
        g_midScan = Grab(g_form);
    }
    const auto log = ListLines(Control("List3"));
    if (!log.empty() && log.back() == "Scanning Completed" && g_after.IsNull()) {
        g_after = Grab(g_form);
        g_log = log;
        PostMessageW(g_form, WM_CLOSE, 0, 0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    velquin::ui::Form1Options options;
    options.databasePath = argv[3];
    velquin::ui::win32::Form1 form(options);
    g_form = form.Window();
    if (!g_form) return 1;
    ShowWindow(g_form, SW_SHOWNORMAL);
    UpdateWindow(g_form);
    SetWindowTextW(Control("Text1"), velquin::platform::win32::Widen(argv[2]).c_str());
    SetTimer(nullptr, 0, 1, Watch);
    velquin::testing::PostClick(Control("Scan"));
    form.Run(SW_SHOWNORMAL);
    if (g_after.IsNull()) return 1;
    if (g_midScan.IsNull()) g_midScan = g_after;
    const auto png = velquin::draw::EncodePng(SideBySide(g_midScan, g_after));
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (argc > 4) {
        std::ofstream lines(argv[4], std::ios::binary);
        for (const std::string& line : g_log) lines << line << "\n";
    }
    return out ? 0 : 1;
}
