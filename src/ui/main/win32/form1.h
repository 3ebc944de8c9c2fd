#pragma once
// Form1 on the Win32 API: a top-level window with native LISTBOX, EDIT and STATIC controls, the
// banner pictures, the owner-drawn buttons and progress bars, created from Form1's layout at the
// system's DPI. What the window does is Form1Logic's; this shell forwards the window messages to
// it and reads and writes the controls' contents.

#include "ui/main/win32/windows_api.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "draw/canvas.h"
#include "ui/main/form1_logic.h"
#include "ui/main/form_data.h"
#include "ui/main/win32/controls.h"
#include "ui/main/win32/mod_browse.h"

namespace velquin::ui::win32 {

class Form8;

// The control ID of a Form1 control (its place in the layout), so that a program driving the
// window through its messages finds it with GetDlgItem.
int ControlId(std::string_view name);
inline constexpr const wchar_t* kForm1Class = L"VelquinForm1";

class Form1 final : private Form1Shell {
public:
    explicit Form1(Form1Options options);
    ~Form1() override;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    HWND Window() const { return hwnd_; }
    // Shows the window and runs the program's message loop until it ends; the exit code.
    int Run(int show);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
    void BuildControls();
    HWND MakeControl(const ControlSpec& entry);
    HBRUSH ColourControl(HWND control, HDC dc);
    HWND Control(const char* name) const;
    HFONT Font(const draw::FontSpec& font);
    void DrawBackdrop();

    HWND Of(TextControl control) const { return Control(ControlName(control)); }
    HWND Of(ListControl list) const { return Control(ControlName(list)); }
    Button& Of(ButtonControl button) const { return *buttons_.find(ControlName(button))->second; }
    ProgressBar& Of(BarControl bar) const { return *bars_.find(ControlName(bar))->second; }

    // Form1Shell: the controls' contents through their window messages.
    std::string Text(TextControl control) const override { return WindowTextUtf8(Of(control)); }
    void SetText(TextControl control, std::string_view text) override { SetWindowTextUtf8(Of(control), text); }
    std::string ButtonCaption(ButtonControl button) const override { return Of(button).Caption(); }
    void SetButtonCaption(ButtonControl button, std::string_view caption) override { Of(button).SetCaption(caption); }
    void SetButtonEnabled(ButtonControl button, bool enabled) override { Of(button).SetEnabled(enabled); }
    int BarValue(BarControl bar) const override { return Of(bar).Value(); }
    int BarMax(BarControl bar) const override { return Of(bar).Max(); }
    void SetBarValue(BarControl bar, int value) override { Of(bar).SetValue(value); }
    void ClearList(ListControl list) override;
    void AppendToList(ListControl list, std::string_view line) override;
    void ShowListTop(ListControl list) override { SendMessageW(Of(list), LB_SETTOPINDEX, 0, 0); }
    int ListCount(ListControl list) const override {
        return static_cast<int>(SendMessageW(Of(list), LB_GETCOUNT, 0, 0));
    }
    void SetTimerEnabled(TimerControl timer, bool enabled) override;
    // The desktop's own dialogs and menus, and the message loop.
    void ShowMessage(std::string_view text, bool systemModal) override;
    std::optional<MenuItem> PopUpTargetMenu() override;
    std::string BrowseFolder(std::string_view title) override { return win32::BrowseFolder(hwnd_, title); }
    std::string RemovableDriveCaption() const override;
    void ProcessPendingEvents() override;
    bool InputWaiting() const override;
    void EndProgram() override;

    // How a label, text box or list is coloured, and the brushes for it.
    struct Colours {
        COLORREF fore = 0;
        COLORREF back = 0;
        HBRUSH brush = nullptr;  // owned by brushes_, or the backdrop's pattern brush
        bool transparent = false;
        POINT origin{};  // the control's place on the backdrop
    };

    Form1Logic logic_;
    int dpi_ = kDefaultDpi;
    HWND hwnd_ = nullptr;
    std::map<std::string, HWND, std::less<>> controls_;
    std::map<HWND, Colours> colours_;
    std::map<std::string, HBRUSH> brushes_;  // by colour
    std::map<std::wstring, HFONT> fonts_;
    std::map<std::string, int, std::less<>> longestLine_;  // List3's horizontal extent
    draw::Canvas backdrop_;  // the banner and logo over the window's ground
    HBITMAP backdropBitmap_ = nullptr;
    HBRUSH backdropBrush_ = nullptr;
    std::map<std::string, std::unique_ptr<Button>, std::less<>> buttons_;
    std::map<std::string, std::unique_ptr<ProgressBar>, std::less<>> bars_;
    HMENU mnu_ = nullptr;
    std::unique_ptr<Form8> form8_;
    bool ended_ = false;
};

}  // namespace velquin::ui::win32
