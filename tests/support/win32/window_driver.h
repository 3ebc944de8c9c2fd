#pragma once
// Drives windows of another program, or of this one, through their messages the way a user's
// input reaches them: texts read and written with WM_GETTEXT/WM_SETTEXT, list lines with
// LB_GETCOUNT/LB_GETTEXT, clicks as posted button messages. Every wait has a deadline, so a hung
// window fails its test instead of blocking the run.

#include <windows.h>
#undef Yield
#undef IN

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace velquin::testing {

inline std::wstring WidenAscii(const std::string& s) { return std::wstring(s.begin(), s.end()); }

inline std::string NarrowUtf8(const std::wstring& w) {
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
    return out;
}

inline std::wstring WidenUtf8(const std::string& s) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

// Handles this thread's own window messages for a moment (a test that owns the windows it drives).
inline void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Waits until `done` holds, pumping this thread's messages; false when `seconds` pass first.
inline bool WaitUntil(const std::function<bool()>& done, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        PumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// A message answered within a few seconds, or 0 (a busy window must not hang the test).
inline LRESULT Ask(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, 10000, &result)) return 0;
    return static_cast<LRESULT>(result);
}

inline std::string TextOf(HWND window) {
    const auto length = static_cast<std::size_t>(Ask(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    text.resize(static_cast<std::size_t>(Ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return NarrowUtf8(text);
}

inline void SetTextOf(HWND window, const std::string& text) {
    const std::wstring wide = WidenUtf8(text);
    Ask(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

inline std::vector<std::string> ListLines(HWND list) {
    std::vector<std::string> lines;
    const auto count = Ask(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = Ask(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0) break;
        std::wstring line(static_cast<std::size_t>(length) + 1, L'\0');
        const auto got = Ask(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line.data()));
        line.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        lines.push_back(NarrowUtf8(line));
    }
    return lines;
}

// A left click in the middle of a control, as posted mouse messages: the window handles it when
// its program next reads its queue, so a click that starts a long scan does not block the caller.
inline void PostClick(HWND control) {
    RECT r;
    GetClientRect(control, &r);
    const LPARAM at = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(control, WM_LBUTTONUP, 0, at);
}

}  // namespace velquin::testing
