// Form8's Win32 shell: a hidden window whose 200 ms timer asks the drive query until a removable
// drive turns up, then keeps it in Label1 and stops.
#include "ui/watcher/win32/form8.h"

#include <map>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/win32/window_driver.h"

namespace velquin::ui::win32 {
namespace {

class FakeDrives : public platform::RemovableDriveQuery {
public:
    explicit FakeDrives(std::map<std::string, std::string, std::less<>>* removable, int* asked)
        : removable_(removable), asked_(asked) {}
    std::optional<std::string> RemovableRoot(std::string_view candidate) override {
        ++*asked_;
        const auto found = removable_->find(candidate);
        if (found == removable_->end()) return std::nullopt;
        return found->second;
    }

private:
    std::map<std::string, std::string, std::less<>>* removable_;
    int* asked_;
};

TEST(Win32Form8Test, HiddenWindowPollsEveryTickUntilTheFirstRemovableDriveAndKeepsIt) {
    std::map<std::string, std::string, std::less<>> removable = {{"C:", "C:"}, {"Q:", "Q:"}};
    int asked = 0;
    Form8 form(std::make_unique<FakeDrives>(&removable, &asked), 96);
    ASSERT_NE(form.Window(), nullptr);
    EXPECT_FALSE(IsWindowVisible(form.Window()));
    EXPECT_EQ(velquin::testing::TextOf(form.Window()), "Form8");
    RECT client;
    GetClientRect(form.Window(), &client);
    EXPECT_EQ(client.right, 163);  // 2445 twips at 96 dots per inch
    EXPECT_EQ(client.bottom, 85);

    // Ticks of its own timer: C: and Q: are never candidates.
    ASSERT_TRUE(velquin::testing::WaitUntil([&] { return asked >= 26; }, 10));
    EXPECT_EQ(form.Label1Caption(), "");

    removable["F:"] = "F:";
    removable["K:"] = "K:";
    ASSERT_TRUE(velquin::testing::WaitUntil([&] { return form.Label1Caption() == "F:"; }, 10));
    const int afterFind = asked;
    removable.clear();
    velquin::testing::WaitUntil([] { return false; }, 0.6);  // three periods of the timer
    EXPECT_EQ(asked, afterFind);
    EXPECT_EQ(form.Label1Caption(), "F:");
}

}  // namespace
}  // namespace velquin::ui::win32
