#include "platform/drive.h"

#include <gtest/gtest.h>

namespace velquin::platform {
namespace {

TEST(WindowsDriveTest, DriveLettersAreNativeAndOnlyDToPAreCandidates) {
    EXPECT_EQ(NativePathStyle(), PathStyle::Windows);
    EXPECT_EQ(NativeTargetPath("C:\\"), "C:\\");
    EXPECT_EQ(NativeTargetPath("E:"), "E:");
    auto query = OpenRemovableDriveQuery();
    for (const char* candidate : {"C:", "Q:", "Z:", "D", "D:\\", ""}) {
        EXPECT_FALSE(query->RemovableRoot(candidate).has_value()) << candidate;
    }
    // The system drive is fixed, never removable.
    for (const std::string& drive : RemovableMountPoints()) EXPECT_NE(drive, "C:");
}

}  // namespace
}  // namespace velquin::platform
