#include "ui/main/win32/controls.h"

#include "controls/button/win32/luxbutton_window.h"
#include "controls/progressbar/win32/xp_progressbar_window.h"
#include "platform/win32/text.h"
#include "ui/main/form_data.h"

namespace velquin::ui::win32 {

using platform::win32::Narrow;
using platform::win32::Widen;

namespace {
HWND Create(const wchar_t* windowClass, DWORD style, HWND parent, int id, const draw::PropertyBag& s,
            int dpi, std::string_view text = {}) {
    const PixelRect r = RectOf(s, dpi);
    if (s.ReadBool("visible", true)) style |= WS_VISIBLE;
    return CreateWindowExW(0, windowClass, Widen(text).c_str(), style | WS_CHILD | WS_CLIPSIBLINGS, r.left,
                           r.top, r.width, r.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}
}  // namespace

std::string WindowTextUtf8(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void SetWindowTextUtf8(HWND window, std::string_view text) { SetWindowTextW(window, Widen(text).c_str()); }

Button::Button(HWND parent, int id, std::string_view name, const draw::PropertyBag& settings, int dpi) {
    button::win32::RegisterLuxButtonClass(GetModuleHandleW(nullptr));
    hwnd_ = Create(button::win32::kLuxButtonClass, WS_TABSTOP, parent, id, settings, dpi);
    button::luxbutton* control = button::win32::ButtonOf(hwnd_);
    if (!control) return;
    // Loaded as the form loads it: the form's font by default, its name, running.
    button::Ambient ambient;
    ambient.font = Form1Look().font;
    ambient.display_name = std::string(name);
    control->SetAmbient(ambient);
    control->ReadProperties(settings);
}

Button::~Button() = default;

std::string Button::Caption() const {
    const auto* control = button::win32::ButtonOf(hwnd_);
    return control ? control->caption() : std::string();
}

void Button::SetCaption(std::string_view caption) {
    if (auto* control = button::win32::ButtonOf(hwnd_)) control->setCaption(caption);
}

void Button::SetEnabled(bool enabled) {
    if (auto* control = button::win32::ButtonOf(hwnd_)) control->setEnabled(enabled);
}

ProgressBar::ProgressBar(HWND parent, int id, const draw::PropertyBag& settings, int dpi) {
    progressbar::win32::RegisterXP_ProgressBarClass(GetModuleHandleW(nullptr));
    hwnd_ = Create(progressbar::win32::kXP_ProgressBarClass, 0, parent, id, settings, dpi);
    if (auto* bar = progressbar::win32::ProgressBarOf(hwnd_)) bar->ReadProperties(settings);
}

ProgressBar::~ProgressBar() = default;

int ProgressBar::Value() const {
    const auto* bar = progressbar::win32::ProgressBarOf(hwnd_);
    return bar ? bar->Value() : 0;
}

int ProgressBar::Max() const {
    const auto* bar = progressbar::win32::ProgressBarOf(hwnd_);
    return bar ? bar->Max() : 0;
}

void ProgressBar::SetValue(int value) {
    // The window logic keeps values within 0..Max, where the control refuses nothing.
    if (auto* bar = progressbar::win32::ProgressBarOf(hwnd_)) (void)bar->SetValue(value);
}

}  // namespace velquin::ui::win32
