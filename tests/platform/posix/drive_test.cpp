#include "platform/drive.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace velquin::platform {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(NativeTargetPathTest, MapsDriveLettersOnPosixAndKeepsWindowsPaths) {
    struct Case {
        std::string_view target;
        PathStyle style;
        bool systemDriveMounted;
        std::string_view expected;
    };
    const Case cases[] = {
        {"X:\\", PathStyle::Posix, false, "/mnt/x/"},
        {"e:\\Music\\a b\\", PathStyle::Posix, false, "/mnt/e/Music/a b/"},
        {"E:", PathStyle::Posix, false, "/mnt/e"},
        {"C:\\", PathStyle::Posix, false, "/"},
        {"C:", PathStyle::Posix, false, "/"},
        {"C:\\WINDOWS\\", PathStyle::Posix, false, "/WINDOWS/"},
        {"C:\\WINDOWS\\", PathStyle::Posix, true, "/mnt/c/WINDOWS/"},
        {"C:/Users", PathStyle::Posix, true, "/mnt/c/Users"},
        {"/media/u/STICK", PathStyle::Posix, false, "/media/u/STICK"},
        {"", PathStyle::Posix, false, ""},
        {"CD:\\", PathStyle::Posix, false, "CD:\\"},
        {"1:\\", PathStyle::Posix, false, "1:\\"},
        {"C:foo", PathStyle::Posix, false, "C:foo"},
        {"C:\\WINDOWS\\", PathStyle::Windows, false, "C:\\WINDOWS\\"},
        {"E:", PathStyle::Windows, false, "E:"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NativeTargetPath(c.target, c.style, c.systemDriveMounted), c.expected)
            << c.target << (c.style == PathStyle::Posix ? " posix" : " windows");
    }
}

// A mount table and a sysfs tree in a temporary folder.
class DriveFixture : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("velquin-drive-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        roots_ = {(root_ / "proc").string(), (root_ / "sys").string()};
        // vda: fixed disk; sdb: USB stick with one partition; mmcblk0: card reader disk;
        // sr0: optical drive with the removable flag set; nvme0n1p2 and sdd1 carry a btrfs, which
        // reports an anonymous device number.
        Disk("virtio/vda", "254:0", "0");
        Disk("usb1/sdb", "8:16", "1");
        Partition("usb1/sdb/sdb1", "8:17");
        Disk("mmc/mmcblk0", "179:0", "1");
        Disk("ata/sr0", "11:0", "1");
        Disk("nvme/nvme0n1", "259:0", "0");
        Partition("nvme/nvme0n1/nvme0n1p2", "259:2", "nvme0n1p2");
        Disk("usb2/sdd", "8:48", "1");
        Partition("usb2/sdd/sdd1", "8:49", "sdd1");
    }
    void TearDown() override { fs::remove_all(root_); }

    void Write(const fs::path& path, const std::string& content) {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << content;
    }
    void Link(const fs::path& device, const std::string& majorMinor, const std::string& className) {
        fs::create_directories(root_ / "sys/dev/block");
        fs::create_symlink(device, root_ / "sys/dev/block" / majorMinor);
        if (!className.empty()) {
            fs::create_directories(root_ / "sys/class/block");
            fs::create_symlink(device, root_ / "sys/class/block" / className);
        }
    }
    void Disk(const std::string& path, const std::string& majorMinor, const std::string& removable) {
        const auto device = root_ / "sys/devices" / path;
        Write(device / "removable", removable + "\n");
        Link(device, majorMinor, {});
    }
    void Partition(const std::string& path, const std::string& majorMinor, const std::string& className = {}) {
        const auto device = root_ / "sys/devices" / path;
        Write(device / "partition", "1\n");
        Link(device, majorMinor, className);
    }
    void MountTable(const std::string& table) { Write(root_ / "proc/self/mountinfo", table); }

    fs::path root_;
    SystemRoots roots_;
};

constexpr const char* kDesktopTable =
    "22 28 0:21 / /proc rw,relatime - proc proc rw\n"
    "28 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
    "40 28 11:0 / /media/u/DVD ro - iso9660 /dev/sr0 ro\n"
    "41 28 8:17 / /media/u/My\\040Stick rw,nosuid shared:7 master:1 - vfat /dev/sdb1 rw\n"
    "42 28 179:0 / /media/u/CARD/ rw - exfat /dev/mmcblk0 rw\n"
    "43 28 7:0 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
    "44 28 0:45 / /home rw - btrfs /dev/nvme0n1p2 rw\n"
    "46 28 0:46 / /media/u/BTR rw - btrfs /dev/sdd1 rw\n"
    "45 28 8:17 / /media/u/My\\040Stick rw - vfat /dev/sdb1 rw\n"
    "garbage line\n";

TEST_F(DriveFixture, FindsRemovableDrivesInMountTableOrder) {
    MountTable(kDesktopTable);
    EXPECT_THAT(RemovableMountPoints(roots_), ElementsAre("/media/u/My Stick", "/media/u/CARD", "/media/u/BTR"));
}

TEST_F(DriveFixture, AnswersCandidatesDThroughPWithTheDrivesInTurn) {
    MountTable(kDesktopTable);
    auto query = OpenRemovableDriveQuery(roots_);
    EXPECT_EQ(query->RemovableRoot("D:"), "/media/u/My Stick");
    EXPECT_EQ(query->RemovableRoot("e:"), "/media/u/CARD");
    EXPECT_EQ(query->RemovableRoot("F:"), "/media/u/BTR");
    for (const char* none : {"G:", "P:", "C:", "Q:", "Z:", "D:\\", "", "DD"}) {
        EXPECT_EQ(query->RemovableRoot(none), std::nullopt) << none;
    }
}

TEST_F(DriveFixture, SeesDrivesComeAndGoAndSurvivesAMissingTable) {
    auto query = OpenRemovableDriveQuery(roots_);
    EXPECT_EQ(query->RemovableRoot("D:"), std::nullopt);  // no mount table at all
    MountTable("28 1 254:0 / / rw - ext4 /dev/vda rw\n");
    EXPECT_EQ(query->RemovableRoot("D:"), std::nullopt);
    MountTable("28 1 254:0 / / rw - ext4 /dev/vda rw\n50 28 8:16 / /mnt/usb rw - ext4 /dev/sdb rw\n");
    EXPECT_EQ(query->RemovableRoot("D:"), "/mnt/usb");
    // A device that sysfs does not know is not removable.
    MountTable("51 28 8:32 / /mnt/other rw - ext4 /dev/sdc rw\n");
    EXPECT_THAT(RemovableMountPoints(roots_), IsEmpty());
}

}  // namespace
}  // namespace velquin::platform
