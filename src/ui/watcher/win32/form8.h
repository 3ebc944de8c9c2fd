#pragma once
// Form8 on the Win32 API: a hidden top-level window with the STATIC Label1 and a 200 ms timer,
// over Form8Logic; the drive-type query is the platform layer's (GetDriveTypeW).

#include <windows.h>

#include <memory>
#include <string>

#include "ui/watcher/form8_logic.h"

namespace velquin::ui::win32 {

inline constexpr const wchar_t* kForm8Class = L"VelquinForm8";

class Form8 final : private Form8Shell {
public:
    // Loads the window: hidden, with its candidate drives and Timer1 running, laid out at `dpi`
    // dots per inch. Without a query it asks the running system.
    Form8(std::unique_ptr<platform::RemovableDriveQuery> query, int dpi);
    ~Form8() override;
    Form8(const Form8&) = delete;
    Form8& operator=(const Form8&) = delete;

    HWND Window() const { return hwnd_; }
    std::string Label1Caption() const;
    // Stops the search and closes the window, when the program ends.
    void Unload();

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    void SetLabel1Caption(std::string_view caption) override;
    void SetTimer1Enabled(bool enabled) override;

    Form8Logic logic_;
    HWND hwnd_ = nullptr;
    HWND label1_ = nullptr;
};

}  // namespace velquin::ui::win32
