#pragma once
// The window's buttons and progress bars as Form1's Win32 shell uses them: child windows placed
// from their form-data settings. A button tells its parent of a click with WM_COMMAND and
// BN_CLICKED, as a push button does.

#include "ui/main/win32/windows_api.h"

#include <string>
#include <string_view>

#include "draw/property_bag.h"

namespace velquin::ui::win32 {

// A window's text (a control's caption or contents) as UTF-8.
std::string WindowTextUtf8(HWND window);
void SetWindowTextUtf8(HWND window, std::string_view text);

// A luxbutton window named `name` on the form, loaded from its form-data settings.
class Button {
public:
    Button(HWND parent, int id, std::string_view name, const draw::PropertyBag& settings, int dpi);
    ~Button();
    Button(const Button&) = delete;
    Button& operator=(const Button&) = delete;

    HWND Window() const { return hwnd_; }
    std::string Caption() const;
    void SetCaption(std::string_view caption);
    void SetEnabled(bool enabled);

private:
    HWND hwnd_ = nullptr;
};

// An XP_ProgressBar window with its stored properties from the form data.
class ProgressBar {
public:
    ProgressBar(HWND parent, int id, const draw::PropertyBag& settings, int dpi);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    HWND Window() const { return hwnd_; }
    int Value() const;
    int Max() const;
    void SetValue(int value);

private:
    HWND hwnd_ = nullptr;
};

}  // namespace velquin::ui::win32
