#include "ui/main/win32/mod_browse.h"

#include <objbase.h>
#include <shlobj.h>

#include "platform/win32/text.h"

namespace velquin::ui::win32 {

namespace {
constexpr UINT kEditBoxNewStyle = 0x50;  // BIF_EDITBOX | BIF_NEWDIALOGSTYLE

// COM for the time of one dialog; the new dialog style needs it on this thread.
class ComApartment {
public:
    ComApartment() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (ok_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool ok_;
};
}  // namespace

std::string BrowseFolder(HWND owner, std::string_view title) {
    const ComApartment com;
    const std::wstring text = platform::win32::Widen(title);  // valid until the dialog has closed
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;
    info.pszDisplayName = nullptr;
    info.lpszTitle = text.c_str();
    info.ulFlags = kEditBoxNewStyle;
    PIDLIST_ABSOLUTE items = SHBrowseForFolderW(&info);
    if (!items) return {};
    wchar_t path[MAX_PATH] = {};
    const BOOL found = SHGetPathFromIDListW(items, path);
    CoTaskMemFree(items);
    if (!found) return {};
    return platform::win32::Narrow(path);  // up to the first NUL
}

}  // namespace velquin::ui::win32
