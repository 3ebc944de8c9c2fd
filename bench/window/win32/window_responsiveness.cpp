// Runs one scan in the Windows scan console and measures how well the window keeps up while the
// walk runs on its thread: the longest gap between two turns of the message loop (a second thread
// posts a probe message a millisecond after the last one was handled; each turn handles what is
// waiting, and with one probe at a time the timers' messages still come), and the longest
// interval between two ticks of the 20 ms busy-bar timer.
// usage: velquin_window_responsiveness TREE DATABASE
#include <windows.h>
#undef Yield
#undef IN

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/win32/text.h"
#include "ui/main/win32/form1.h"

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

constexpr UINT kProbe = WM_APP + 1;
constexpr WPARAM kBusyBarTimer = 2;  // Timer3's id in the Win32 shell

HWND g_form = nullptr, g_scan = nullptr, g_probe = nullptr;
bool g_scanning = false, g_started = false;
long g_turns = 0, g_ticks = 0;
Clock::time_point g_lastTurn, g_lastTick, g_start, g_end;
Clock::duration g_longestTurnGap{}, g_longestTickGap{};
std::atomic<bool> g_probeWaiting{false};

bool ScanRunning() {
    wchar_t caption[32] = {};
    GetWindowTextW(g_scan, caption, 32);
    return std::wstring_view(caption) == L"Stop";
}

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != kProbe) return DefWindowProcW(hwnd, message, wparam, lparam);
    g_probeWaiting = false;
    const auto now = Clock::now();
    const bool running = ScanRunning();
    if (running && !g_scanning) g_start = now, g_scanning = g_started = true;
    if (g_scanning) {
        if (g_turns++ > 0) g_longestTurnGap = std::max(g_longestTurnGap, now - g_lastTurn);
        g_lastTurn = now;
    }
    if (!running && g_scanning) {
        g_scanning = false;
        g_end = now;
        PostMessageW(g_form, WM_CLOSE, 0, 0);
    }
    return 0;
}

// Sees every message the thread takes from its queue, the busy bar's timer ticks among them.
LRESULT CALLBACK TakenMessage(int code, WPARAM wparam, LPARAM lparam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lparam);
    if (code == HC_ACTION && wparam == PM_REMOVE && msg->hwnd == g_form && msg->message == WM_TIMER &&
        msg->wParam == kBusyBarTimer) {
        const auto now = Clock::now();
        if (g_ticks++ > 0) g_longestTickGap = std::max(g_longestTickGap, now - g_lastTick);
        g_lastTick = now;
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s TREE DATABASE\n", argv[0]);
        return 2;
    }
    velquin::ui::Form1Options options;
    options.databasePath = argv[2];
    velquin::ui::win32::Form1 form(options);
    g_form = form.Window();
    if (!g_form) return 1;
    g_scan = GetDlgItem(g_form, velquin::ui::win32::ControlId("Scan"));
    SetWindowTextW(GetDlgItem(g_form, velquin::ui::win32::ControlId("Text1")),
                   velquin::platform::win32::Widen(argv[1]).c_str());

    WNDCLASSW probe{};
    probe.lpfnWndProc = ProbeProc;
    probe.hInstance = GetModuleHandleW(nullptr);
    probe.lpszClassName = L"VelquinProbe";
    RegisterClassW(&probe);
    g_probe = CreateWindowW(L"VelquinProbe", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, probe.hInstance, nullptr);
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, TakenMessage, nullptr, GetCurrentThreadId());

    // The click as a user's: a press and a release on the button.
    RECT r;
    GetClientRect(g_scan, &r);
    PostMessageW(g_scan, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right / 2, r.bottom / 2));
    PostMessageW(g_scan, WM_LBUTTONUP, 0, MAKELPARAM(r.right / 2, r.bottom / 2));
    std::atomic<bool> probing{true};
    std::thread poster([&] {
        while (probing) {
            if (!g_probeWaiting.exchange(true)) PostMessageW(g_probe, kProbe, 0, 0);
            Sleep(1);
        }
    });
    form.Run(SW_SHOWNORMAL);
    probing = false;
    poster.join();
    UnhookWindowsHookEx(hook);
    if (!g_started) {
        std::fprintf(stderr, "the scan did not start\n");
        return 1;
    }
    std::printf("window scan wall time: %.3f s\n", Ms(g_end - g_start) / 1000);
    std::printf("message-loop turns: %ld, longest gap between two turns: %.2f ms\n", g_turns, Ms(g_longestTurnGap));
    std::printf("busy-bar ticks (20 ms timer): %ld, longest interval between two ticks: %.2f ms\n", g_ticks,
                Ms(g_longestTickGap));
    return 0;
}
