// Windows process bodies: the snapshot names processes by their image, the file each runs is found
// through its image path, and the scanner never ends itself.

#include "platform/process.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

namespace velquin::platform {
namespace {

TEST(WindowsProcessTableTest, ListsThisProcessByItsImageWithItsIdentityAndRefusesToEndIt) {
    auto table = OpenSystemProcessTable();
    const auto processes = table->List();
    ASSERT_TRUE(processes.has_value());
    const auto self = std::find_if(processes->begin(), processes->end(),
                                   [&](const ProcessInfo& p) { return p.pid == table->SelfPid(); });
    ASSERT_NE(self, processes->end());
    EXPECT_TRUE(SameImageName(self->imageName, "platform_process_test.exe")) << self->imageName;
    EXPECT_EQ(table->End(*self, nullptr), Error::AccessDenied);
    EXPECT_EQ(table->SelfPid(), static_cast<long long>(::GetCurrentProcessId()));

    // The file it runs is its own executable, with the identity that the folder listing gives it;
    // opening it reads that file. The scanner's parent leads its ancestors.
    ProcessImage image;
    ASSERT_EQ(table->DescribeImage(*self, image), Error::None);
    EXPECT_TRUE(SameImageName(LastPathComponent(image.path), "platform_process_test.exe")) << image.path;

    const Folder folder = Folder::Open(ExecutableFolder());
    NameList names;
    folder.ListNames(names);
    EntryInfo listed;
    ASSERT_EQ(folder.EntryInfoOf(std::string(LastPathComponent(image.path)).c_str(), listed), Error::None);
    EXPECT_EQ(image.identity, listed.identity);
    Error error = Error::Other;
    EntryInfo opened;
    EXPECT_EQ(table->OpenImage(image, &error).Info(opened), Error::None);
    EXPECT_EQ(error, Error::None);
    EXPECT_EQ(opened.size, listed.size);
    ProcessImage other = image;
    other.identity.inode ^= 1;
    EXPECT_FALSE(table->OpenImage(other, &error).IsOpen());
    EXPECT_EQ(error, Error::Changed);

    // A program that Wine starts from the host has no Windows parent.
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    DWORD parent = 0;
    std::vector<DWORD> listedPids;
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == ::GetCurrentProcessId()) parent = entry.th32ParentProcessID;
        listedPids.push_back(entry.th32ProcessID);
    }
    ::CloseHandle(snapshot);
    const auto ancestors = table->AncestorPids();
    if (parent == 0 || std::find(listedPids.begin(), listedPids.end(), parent) == listedPids.end()) {
        EXPECT_TRUE(ancestors.empty() || ancestors.front() == static_cast<long long>(parent));
    } else {
        ASSERT_FALSE(ancestors.empty());
        EXPECT_EQ(ancestors.front(), static_cast<long long>(parent));
    }
}

TEST(WindowsProcessTableTest, EndingAProcessThatIsGoneSaysSo) {
    auto table = OpenSystemProcessTable();
    // Process ids are multiples of four; this one is never handed out.
    EXPECT_EQ(table->End(ProcessInfo{0x7FFFFFF1, "gone.exe", ""}, nullptr), Error::NotFound);
}

}  // namespace
}  // namespace velquin::platform
