#include "ui/watcher/win32/form8.h"

#include "platform/win32/text.h"

namespace velquin::ui::win32 {

namespace {
constexpr UINT_PTR kTimer1 = 1;
int Px(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }
}  // namespace

Form8::Form8(std::unique_ptr<platform::RemovableDriveQuery> query, int dpi) : logic_(*this, std::move(query)) {
    using L = Form8Layout;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW form{};
    form.cbSize = sizeof(form);
    form.lpfnWndProc = WindowProc;
    form.hInstance = instance;
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = kForm8Class;
    RegisterClassExW(&form);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT frame{0, 0, Px(L::kClientWidth, dpi), Px(L::kClientHeight, dpi)};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_TOOLWINDOW);
    // Never shown: created without WS_VISIBLE, out of the taskbar.
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, kForm8Class, platform::win32::Widen(L::kCaption).c_str(), style,
                            CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                            nullptr, nullptr, instance, this);
    if (!hwnd_) return;
    label1_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOPREFIX, Px(L::kLabel1Left, dpi),
                              Px(L::kLabel1Top, dpi), Px(L::kLabel1Width, dpi), Px(L::kLabel1Height, dpi), hwnd_,
                              nullptr, instance, nullptr);
    logic_.Load();
    SetTimer1Enabled(true);
}

Form8::~Form8() { Unload(); }

LRESULT CALLBACK Form8::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
    auto* self = reinterpret_cast<Form8*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message == WM_TIMER && wparam == kTimer1) {
        self->logic_.Timer1Tick();
        return 0;
    }
    if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

std::string Form8::Label1Caption() const {
    if (!label1_) return {};
    wchar_t text[MAX_PATH] = {};
    GetWindowTextW(label1_, text, MAX_PATH);
    return platform::win32::Narrow(text);
}

void Form8::Unload() {
    if (!hwnd_) return;
    KillTimer(hwnd_, kTimer1);
    DestroyWindow(hwnd_);
    hwnd_ = label1_ = nullptr;
}

void Form8::SetLabel1Caption(std::string_view caption) {
    SetWindowTextW(label1_, platform::win32::Widen(caption).c_str());
}

void Form8::SetTimer1Enabled(bool enabled) {
    if (!hwnd_) return;
    if (enabled) SetTimer(hwnd_, kTimer1, Form8Layout::kTimer1Interval, nullptr);
    else KillTimer(hwnd_, kTimer1);
}

}  // namespace velquin::ui::win32
