#include "platform/watch.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "../engine/test_tree.h"

namespace velquin::platform {
namespace {

bool EventuallyChanged(FileChangeWatch& watch) {
    for (int i = 0; i < 400; ++i) {
        if (watch.Changed()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

TEST(FileChangeWatchTest, ReportsEachChangeOnceInBothModes) {
    for (const auto mode : {FileChangeWatch::Mode::Notify, FileChangeWatch::Mode::Poll}) {
        testing::TestTree tree;
        const std::string path = tree.Write("watched", "one");
        FileChangeWatch watch(path, mode);
        EXPECT_EQ(watch.Notified(), mode == FileChangeWatch::Mode::Notify);
        EXPECT_TRUE(watch.Changed());  // nothing seen yet
        EXPECT_FALSE(watch.Changed());
        tree.Write("unrelated", "x");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_FALSE(watch.Changed());

        tree.Write("watched", "two, longer");
        EXPECT_TRUE(EventuallyChanged(watch));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        while (watch.Changed()) {
        }  // one write may raise more than one notification
        std::filesystem::remove(path);
        EXPECT_TRUE(EventuallyChanged(watch));
        tree.Write("watched", "three");
        EXPECT_TRUE(EventuallyChanged(watch));
    }
}

#ifndef _WIN32
// Symbolic links: POSIX makes them without privileges.
TEST(FileChangeWatchTest, FollowsAFileBehindALinkAndTheLinkItself) {
    testing::TestTree tree;
    const std::string target = tree.Write("elsewhere/list", "one");
    const std::string other = tree.Write("third/list", "other");
    const std::string link = tree.Path("link");
    std::filesystem::create_symlink(target, link);
    FileChangeWatch watch(link);
    EXPECT_TRUE(watch.Changed());
    EXPECT_FALSE(watch.Changed());
    tree.Write("elsewhere/list", "two, longer");
    EXPECT_TRUE(EventuallyChanged(watch));

    // Pointed elsewhere, the link is still followed.
    std::filesystem::remove(link);
    std::filesystem::create_symlink(other, link);
    EXPECT_TRUE(EventuallyChanged(watch));
    while (watch.Changed()) {
    }
    tree.Write("third/list", "changed at the new place");
    EXPECT_TRUE(EventuallyChanged(watch));
}
#endif

}  // namespace
}  // namespace velquin::platform
