#pragma once
// A window's client area as its WM_PRINTCLIENT paints it into a top-down 32-bit DIB section:
// the pixels a control shows, read without a screen. `fill` is the section's colour before the
// paint, so a pixel the window leaves unpainted shows.

#include <windows.h>

#include <cstring>

#include "draw/image.h"
#include "draw/win32/gdi.h"

namespace velquin::testing {

inline draw::Image PrintClient(HWND hwnd, unsigned char fill = 0) {
    RECT client;
    GetClientRect(hwnd, &client);
    HDC dc = CreateCompatibleDC(nullptr);
    const BITMAPINFO info = draw::win32::DibHeader(client.right, client.bottom);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, dib);
    draw::Image out(client.right, client.bottom);
    std::memset(bits, fill, out.ByteCount());
    SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    std::memcpy(out.Bytes(), bits, out.ByteCount());
    out.MakeOpaque();
    SelectObject(dc, previous);
    DeleteObject(dib);
    DeleteDC(dc);
    return out;
}

}  // namespace velquin::testing
