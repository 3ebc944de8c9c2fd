#include "ui/main/win32/form1.h"

#include <windowsx.h>

#include <algorithm>

#include "draw/colour.h"
#include "draw/win32/gdi.h"
#include "platform/win32/text.h"
#include "ui/main/artwork.h"
#include "ui/main/win32/mod_browse.h"
#include "ui/watcher/win32/form8.h"

namespace velquin::ui::win32 {

using platform::win32::Narrow;
using platform::win32::Widen;

namespace {

constexpr int kFirstControlId = 1000;
constexpr UINT kFirstMenuId = 100;
constexpr const wchar_t* kPictureClass = L"VelquinPicture";

constexpr UINT_PTR TimerId(TimerControl timer) { return static_cast<UINT_PTR>(timer) + 1; }

COLORREF ToColorRef(draw::Colour c) {
    const draw::Colour rgb = draw::TranslateColor(c);
    return RGB(draw::Red(rgb), draw::Green(rgb), draw::Blue(rgb));
}

// System colours of the controls' defaults, as the form data would name them.
constexpr draw::Colour kButtonFace = draw::SystemColourRef(COLOR_BTNFACE);
constexpr draw::Colour kButtonText = draw::SystemColourRef(COLOR_BTNTEXT);
constexpr draw::Colour kWindowBack = draw::SystemColourRef(COLOR_WINDOW);
constexpr draw::Colour kWindowText = draw::SystemColourRef(COLOR_WINDOWTEXT);

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDefaultDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDefaultDpi;
}

// A picture control: shows its part of a canvas that the window keeps (GWLP_USERDATA), at the
// control's own place on it.
LRESULT CALLBACK PictureProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    const auto* canvas = reinterpret_cast<const draw::Canvas*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    auto paint = [&](HDC dc) {
        if (!canvas) return;
        RECT client;
        GetClientRect(hwnd, &client);
        POINT at{0, 0};
        MapWindowPoints(hwnd, GetParent(hwnd), &at, 1);
        draw::win32::ShowPixels(dc, 0, 0, canvas->Pixels(),
                                {at.x, at.y, at.x + client.right, at.y + client.bottom});
    };
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            paint(dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_PRINTCLIENT: paint(reinterpret_cast<HDC>(wparam)); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_NCHITTEST: return HTTRANSPARENT;
        default: return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

void RegisterClasses(HINSTANCE instance, WNDPROC form1Proc) {
    WNDCLASSEXW form{};
    form.cbSize = sizeof(form);
    form.lpfnWndProc = form1Proc;
    form.hInstance = instance;
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    form.lpszClassName = kForm1Class;
    RegisterClassExW(&form);

    WNDCLASSEXW picture{};
    picture.cbSize = sizeof(picture);
    picture.lpfnWndProc = PictureProc;
    picture.hInstance = instance;
    picture.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    picture.lpszClassName = kPictureClass;
    RegisterClassExW(&picture);
}

std::wstring FontKey(const draw::FontSpec& f) {
    return Widen(f.face) + L"/" + std::to_wstring(f.points) + L"/" + std::to_wstring(f.weight) +
           (f.italic ? L"i" : L"") + (f.underline ? L"u" : L"") + (f.strikeout ? L"s" : L"");
}

}  // namespace

int ControlId(std::string_view name) {
    const auto controls = Form1Controls();
    for (std::size_t i = 0; i < controls.size(); ++i)
        if (name == controls[i].name) return kFirstControlId + static_cast<int>(i);
    return 0;
}

Form1::Form1(Form1Options options) : logic_(*this, std::move(options)), dpi_(SystemDpi()) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterClasses(instance, WindowProc);
    const WindowLook look = Form1Look();
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT frame{0, 0, TwipsToPixels(look.clientWidthTwips, dpi_), TwipsToPixels(look.clientHeightTwips, dpi_)};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    CreateWindowExW(0, kForm1Class, Widen(look.caption).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                    frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, this);
    if (!hwnd_) return;
    BuildControls();
    logic_.Load();

    // Form8 stays loaded and hidden for the life of the window, polling for a removable drive.
    form8_ = std::make_unique<Form8>(nullptr, dpi_);
}

Form1::~Form1() {
    if (hwnd_) DestroyWindow(hwnd_);
    if (mnu_) DestroyMenu(mnu_);
    for (auto& [key, brush] : brushes_) DeleteObject(brush);
    for (auto& [key, font] : fonts_) DeleteObject(font);
    if (backdropBrush_) DeleteObject(backdropBrush_);
    if (backdropBitmap_) DeleteObject(backdropBitmap_);
}

int Form1::Run(int show) {
    if (!hwnd_) return 1;
    ShowWindow(hwnd_, show);
    UpdateWindow(hwnd_);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

LRESULT CALLBACK Form1::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
    return self->Handle(message, wparam, lparam);
}

LRESULT Form1::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wparam) == BN_CLICKED) {
                if (LOWORD(wparam) == ControlId("Scan")) logic_.ScanClick();
                else if (LOWORD(wparam) == ControlId("Browser")) logic_.BrowserClick();
                return 0;
            }
            break;
        case WM_TIMER:
            if (wparam == TimerId(TimerControl::Timer1)) logic_.Timer1Tick();
            else if (wparam == TimerId(TimerControl::Timer3)) logic_.Timer3Tick();
            else if (wparam == TimerId(TimerControl::Timer9)) logic_.Timer9Tick();
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            if (HBRUSH brush = ColourControl(reinterpret_cast<HWND>(lparam), reinterpret_cast<HDC>(wparam)))
                return reinterpret_cast<LRESULT>(brush);
            break;
        case WM_CLOSE: logic_.Close(); return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            break;
        default: break;
    }
    return DefWindowProcW(hwnd_, message, wparam, lparam);
}

HFONT Form1::Font(const draw::FontSpec& font) {
    const std::wstring key = FontKey(font);
    if (auto found = fonts_.find(key); found != fonts_.end()) return found->second;
    const LOGFONTW lf = draw::win32::ToLogFont(font, dpi_, DEFAULT_QUALITY);
    HFONT made = CreateFontIndirectW(&lf);
    fonts_[key] = made;
    return made;
}

void Form1::DrawBackdrop() {
    // The banner and the logo over the window's ground, as one picture: the logo and the
    // transparent labels show what lies under them.
    const PixelRect banner = RectOf(Form1Control("Image2"), dpi_);
    const PixelRect logo = RectOf(Form1Control("Image3"), dpi_);
    const int w = std::max(banner.left + banner.width, logo.left + logo.width);
    const int h = std::max(banner.top + banner.height, logo.top + logo.height);
    backdrop_ = draw::Canvas(w, h, draw::TranslateColor(kButtonFace));
    artwork::Render(artwork::Banner(banner.width, banner.height), backdrop_.Pixels(), banner.left, banner.top);
    artwork::Render(artwork::Logo(logo.width, logo.height), backdrop_.Pixels(), logo.left, logo.top);

    const BITMAPINFO info = draw::win32::DibHeader(w, h);
    void* bits = nullptr;
    backdropBitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (backdropBitmap_ && bits) {
        std::copy_n(backdrop_.Pixels().Bytes(), backdrop_.Pixels().ByteCount(), static_cast<std::uint8_t*>(bits));
        backdropBrush_ = CreatePatternBrush(backdropBitmap_);
    }
}

void Form1::BuildControls() {
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font(Form1Look().font)), FALSE);
    DrawBackdrop();
    for (const ControlSpec& entry : Form1Controls()) {
        HWND control = MakeControl(entry);
        if (!control) continue;
        controls_[entry.name] = control;
        // Later controls lie above earlier ones where they overlap.
        SetWindowPos(control, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    mnu_ = CreatePopupMenu();
    for (const MenuItemSpec& item : kTargetMenuItems)
        AppendMenuW(mnu_, MF_STRING, kFirstMenuId + static_cast<UINT>(item.item), Widen(item.caption).c_str());
}

HWND Form1::MakeControl(const ControlSpec& entry) {
    const draw::PropertyBag& s = Form1Control(entry.name);
    const int id = ControlId(entry.name);
    switch (entry.kind) {
        case ControlKind::Frame: return nullptr;  // borderless and at the origin: the window itself
        case ControlKind::Timer:
            for (TimerControl timer : {TimerControl::Timer1, TimerControl::Timer3, TimerControl::Timer9})
                if (entry.name == std::string_view(ControlName(timer))) SetTimerEnabled(timer, s.ReadBool("enabled", true));
            return nullptr;
        case ControlKind::Button: {
            auto button = std::make_unique<Button>(hwnd_, id, entry.name, s, dpi_);
            HWND window = button->Window();
            buttons_[entry.name] = std::move(button);
            return window;
        }
        case ControlKind::ProgressBar: {
            auto bar = std::make_unique<ProgressBar>(hwnd_, id, s, dpi_);
            HWND window = bar->Window();
            bars_[entry.name] = std::move(bar);
            return window;
        }
        default: break;
    }

    const ControlLook look = LookOf(s);
    const PixelRect r = WindowRectOf(entry, dpi_);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (look.visible ? WS_VISIBLE : 0);
    DWORD exStyle = 0;
    const wchar_t* windowClass = L"STATIC";
    Colours colours;
    colours.fore = ToColorRef(look.fore.value_or(kButtonText));
    colours.back = ToColorRef(look.back.value_or(kButtonFace));
    switch (entry.kind) {
        case ControlKind::Image: windowClass = kPictureClass; break;
        case ControlKind::Label:
            style |= SS_NOPREFIX | (look.align == TextAlign::Center ? SS_CENTER
                                    : look.align == TextAlign::Right ? SS_RIGHT
                                                                     : SS_LEFT);
            break;
        case ControlKind::PictureBox: break;
        case ControlKind::TextBox:
            windowClass = L"EDIT";
            style |= ES_AUTOHSCROLL | (look.readOnly ? ES_READONLY : 0);
            if (look.border) exStyle |= WS_EX_CLIENTEDGE;
            colours.fore = ToColorRef(look.fore.value_or(kWindowText));
            colours.back = ToColorRef(look.back.value_or(kWindowBack));
            break;
        case ControlKind::List:
            windowClass = L"LISTBOX";
            style |= WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT;
            exStyle |= WS_EX_CLIENTEDGE;
            colours.fore = ToColorRef(look.fore.value_or(kWindowText));
            colours.back = ToColorRef(look.back.value_or(kWindowBack));
            break;
        default: break;
    }
    HWND control = CreateWindowExW(exStyle, windowClass, Widen(look.text).c_str(), style, r.left, r.top, r.width,
                                   r.height, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (!control) return nullptr;
    if (entry.kind == ControlKind::Image) {
        SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&backdrop_));
        return control;
    }
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font(look.font.value_or(Form1Look().font))), FALSE);
    colours.transparent = look.transparent && backdropBrush_;
    colours.origin = {r.left, r.top};
    const std::string key = std::to_string(colours.back);
    if (!brushes_.count(key)) brushes_[key] = CreateSolidBrush(colours.back);
    colours.brush = colours.transparent ? backdropBrush_ : brushes_[key];
    colours_[control] = colours;
    return control;
}

HBRUSH Form1::ColourControl(HWND control, HDC dc) {
    const auto found = colours_.find(control);
    if (found == colours_.end()) return nullptr;
    const Colours& c = found->second;
    SetTextColor(dc, c.fore);
    if (c.transparent) {
        SetBkMode(dc, TRANSPARENT);
        // The backdrop's pixels under the control, wherever the control lies.
        SetBrushOrgEx(dc, -c.origin.x, -c.origin.y, nullptr);
    } else {
        SetBkColor(dc, c.back);
    }
    return c.brush;
}

HWND Form1::Control(const char* name) const {
    const auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second;
}

void Form1::ClearList(ListControl list) {
    HWND box = Of(list);
    SendMessageW(box, LB_RESETCONTENT, 0, 0);
    longestLine_[ControlName(list)] = 0;
    SendMessageW(box, LB_SETHORIZONTALEXTENT, 0, 0);
}

void Form1::AppendToList(ListControl list, std::string_view line) {
    HWND box = Of(list);
    const std::wstring text = Widen(line);
    const LRESULT index = SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (list != ListControl::List3) return;
    // The list scrolls sideways to the end of its longest line: "... Cleaned..." stays readable.
    if (HDC dc = GetDC(box)) {
        HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, previous);
        ReleaseDC(box, dc);
        int& longest = longestLine_[ControlName(list)];
        if (size.cx + 4 > longest) {
            longest = size.cx + 4;
            SendMessageW(box, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(longest), 0);
        }
    }
    SendMessageW(box, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
}

void Form1::SetTimerEnabled(TimerControl timer, bool enabled) {
    if (!hwnd_) return;
    if (enabled) {
        const auto interval = Form1Control(ControlName(timer)).ReadInt("interval", 0);
        SetTimer(hwnd_, TimerId(timer), static_cast<UINT>(interval), nullptr);
    } else {
        KillTimer(hwnd_, TimerId(timer));
    }
}

void Form1::ShowMessage(std::string_view text, bool systemModal) {
    MessageBoxW(hwnd_, Widen(text).c_str(), Widen(Form1Look().caption).c_str(),
                MB_OK | (systemModal ? MB_SYSTEMMODAL : MB_APPLMODAL));
}

std::optional<MenuItem> Form1::PopUpTargetMenu() {
    POINT at{};
    GetCursorPos(&at);
    // The menu closes when the user clicks elsewhere only while its owner is in the foreground.
    SetForegroundWindow(hwnd_);
    const UINT picked = static_cast<UINT>(TrackPopupMenu(
        mnu_, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, hwnd_,
        nullptr));
    PostMessageW(hwnd_, WM_NULL, 0, 0);
    if (picked < kFirstMenuId || picked >= kFirstMenuId + kTargetMenuItems.size()) return std::nullopt;
    return static_cast<MenuItem>(picked - kFirstMenuId);
}

std::string Form1::RemovableDriveCaption() const { return form8_ ? form8_->Label1Caption() : ""; }

// Mouse and keyboard messages in the thread's queue: one call, no message taken.
bool Form1::InputWaiting() const { return GetInputState() != 0; }

void Form1::ProcessPendingEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the program's own loop
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Form1::EndProgram() {
    if (ended_) return;
    ended_ = true;
    if (form8_) form8_->Unload();
    if (hwnd_) DestroyWindow(hwnd_);
}

}  // namespace velquin::ui::win32
