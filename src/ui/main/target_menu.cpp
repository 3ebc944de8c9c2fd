#include "ui/main/target_menu.h"

#include "platform/drive.h"

namespace velquin::ui {

std::string FixedTarget(MenuItem item) {
    switch (item) {
        case MenuItem::system32scan: return platform::NativeTargetPath("C:\\WINDOWS\\");
        case MenuItem::ED: return platform::NativeTargetPath("C:\\");
        case MenuItem::DiskD: return platform::NativeTargetPath("D:\\");
        case MenuItem::SF:
        case MenuItem::IN: break;
    }
    return {};
}

}  // namespace velquin::ui
