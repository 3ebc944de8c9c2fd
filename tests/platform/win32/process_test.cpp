// Windows process bodies: the snapshot names processes by their image, and the scanner never ends
// itself.

#include "platform/process.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace velquin::platform {
namespace {

TEST(WindowsProcessTableTest, ListsThisProcessByItsImageNameAndRefusesToEndIt) {
    auto table = OpenSystemProcessTable();
    const auto processes = table->List();
    ASSERT_TRUE(processes.has_value());
    const auto self = std::find_if(processes->begin(), processes->end(),
                                   [&](const ProcessInfo& p) { return p.pid == table->SelfPid(); });
    ASSERT_NE(self, processes->end());
    EXPECT_TRUE(SameImageName(self->imageName, "platform_process_test.exe")) << self->imageName;
    EXPECT_EQ(table->End(*self), Error::AccessDenied);
    EXPECT_EQ(table->SelfPid(), static_cast<long long>(::GetCurrentProcessId()));
}

TEST(WindowsProcessTableTest, EndingAProcessThatIsGoneSaysSo) {
    auto table = OpenSystemProcessTable();
    // Process ids are multiples of four; this one is never handed out.
    EXPECT_EQ(table->End(ProcessInfo{0x7FFFFFF1, "gone.exe", ""}), Error::NotFound);
}

}  // namespace
}  // namespace velquin::platform
