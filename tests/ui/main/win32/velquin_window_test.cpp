// velquin.exe as a user drives it: the program started, its window found, a target set, "Start
// Scan" clicked, the log read back until "Scanning Completed"; a long scan stopped with "Stop";
// the window closed mid-scan. Everything goes through the window's messages.
#include "engine/test_tree.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/database.h"
#include "engine/fingerprint.h"
#include "support/win32/window_driver.h"
#include "ui/main/win32/form1.h"

namespace velquin::ui {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using velquin::testing::Ask;
using velquin::testing::ListLines;
using velquin::testing::PostClick;
using velquin::testing::SetTextOf;
using velquin::testing::TextOf;
using velquin::testing::WaitUntil;
using velquin::testing::WidenUtf8;

constexpr double kWindowAppears = 90;  // a first program in a fresh prefix waits for its desktop
constexpr double kScanEnds = 120;

// A file of the build's bin folder: the programs and the signature list beside them.
std::string Bin(const std::string& file) {
    const char* folder = std::getenv("VELQUIN_TEST_BIN");
    return fs::absolute(fs::path(folder ? folder : "bin") / file).string();
}

// Runs a console program of the build with its arguments and waits for it.
DWORD RunProgram(const std::vector<std::string>& arguments) {
    std::wstring line;
    for (const std::string& argument : arguments) {
        line += line.empty() ? L"\"" : L" \"";
        line += WidenUtf8(argument);
        line += L'"';
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &child))
        return ~0u;
    WaitForSingleObject(child.hProcess, 120000);
    DWORD code = ~0u;
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return code;
}

struct Counts {
    int entries = 0, folders = 0;
};
Counts CountTree(const fs::path& root) {
    Counts c;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        ++c.entries;
        if (entry.is_directory()) ++c.folders;
    }
    return c;
}

// The files of a tree that the build's signature list names.
std::vector<fs::path> Detectable(const fs::path& root) {
    engine::SignatureDatabase database(Bin("database.db"));
    std::vector<fs::path> found;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        const auto fingerprint = engine::ComputeFingerprint(entry.path().string());
        if (fingerprint.fingerprint && !database.LookupSignature(*fingerprint.fingerprint).empty())
            found.push_back(entry.path());
    }
    return found;
}

class VelquinWindowTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (program_.hProcess) {
            if (WaitForSingleObject(program_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(program_.hProcess, 99);
            CloseHandle(program_.hProcess);
            CloseHandle(program_.hThread);
        }
    }

    // Starts velquin.exe and waits for its window.
    void Start() {
        std::wstring line = L"\"" + WidenUtf8(Bin("velquin.exe")) + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &program_));
        const DWORD pid = program_.dwProcessId;
        ASSERT_TRUE(WaitUntil([&] {
            form_ = nullptr;
            for (HWND w = FindWindowW(win32::kForm1Class, nullptr); w;
                 w = FindWindowExW(nullptr, w, win32::kForm1Class, nullptr)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                if (owner == pid && IsWindowVisible(w)) form_ = w;
            }
            return form_ != nullptr;
        }, kWindowAppears)) << "no window";
    }

    HWND Control(const char* name) const { return GetDlgItem(form_, win32::ControlId(name)); }
    std::vector<std::string> Log() const { return ListLines(Control("List3")); }
    bool Completed() const {
        const auto log = Log();
        return !log.empty() && log.back() == "Scanning Completed";
    }
    std::vector<std::string> Report() const {
        const auto log = Log();
        const auto at = std::find_if(log.begin(), log.end(), [](const std::string& l) {
            return l.rfind("File Scanned : ", 0) == 0;
        });
        return {at, log.end()};
    }
    int Label8() const { return std::atoi(TextOf(Control("Label8")).c_str()); }

    PROCESS_INFORMATION program_{};
    HWND form_ = nullptr;
    velquin::testing::TestTree tree_;
};

TEST_F(VelquinWindowTest, ScanRemovesThePlantedSamplesAndReportsTheTreesCounts) {
    const fs::path target = tree_.Path("demo");
    ASSERT_EQ(RunProgram({Bin("velquin-demo.exe"), "tree", target.string()}), 0u);
    const std::vector<fs::path> samples = Detectable(target);
    ASSERT_EQ(samples.size(), 5u);
    const Counts counts = CountTree(target);

    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(TextOf(form_), "Orvanta Velquin W32.Spy-Qarnix");
    EXPECT_EQ(Log().size(), 16u);
    EXPECT_EQ(TextOf(Control("Text1")), "C:\\");
    EXPECT_EQ(TextOf(Control("txtInfo")), "[Waiting From User....]");

    SetTextOf(Control("Text1"), target.string());
    PostClick(Control("Scan"));
    ASSERT_TRUE(WaitUntil([&] { return Completed(); }, kScanEnds)) << "no report";

    for (const fs::path& sample : samples) EXPECT_FALSE(fs::exists(sample)) << sample;
    const auto log = Log();
    ASSERT_GE(log.size(), 8u);
    EXPECT_EQ(log[1], "Path Scanned : " + target.string());
    for (const fs::path& sample : samples) EXPECT_THAT(log, Contains(::testing::HasSubstr(sample.string() + " <== ")));
    const auto report = Report();
    ASSERT_EQ(report.size(), 7u);
    EXPECT_EQ(report[0], "File Scanned : " + std::to_string(counts.entries));
    EXPECT_EQ(report[1], "Folder Scanned : " + std::to_string(counts.folders));
    EXPECT_EQ(report[2], "Virus Detected : 5");
    EXPECT_EQ(report[3], "File Removed : 5");
    EXPECT_EQ(report[4].rfind("Time Scanned : 00:00:", 0), 0u) << report[4];
    EXPECT_EQ(report[5].rfind("Latest Scanned : ", 0), 0u);
    EXPECT_EQ(TextOf(Control("Scan")), "Start Scan");
    EXPECT_EQ(TextOf(Control("txtInfo")), "[Scanning Completed]");
    EXPECT_EQ(TextOf(Control("Label21")), "[-]");
}

// A tree long enough that a scan is still walking when the test acts.
fs::path LongTree(const velquin::testing::TestTree& tree, int folders, int files) {
    for (int f = 0; f < folders; ++f)
        for (int i = 0; i < files; ++i) tree.Write("long/d" + std::to_string(f) + "/f" + std::to_string(i) + ".txt", "x");
    return tree.Path("long");
}

TEST_F(VelquinWindowTest, StopEndsALongScanWithTheReportOfWhatWasWalked) {
    const fs::path target = LongTree(tree_, 20, 100);
    const Counts counts = CountTree(target);
    ASSERT_NO_FATAL_FAILURE(Start());
    SetTextOf(Control("Text1"), target.string());
    PostClick(Control("Scan"));
    ASSERT_TRUE(WaitUntil([&] { return Label8() >= 200; }, kScanEnds));
    EXPECT_EQ(TextOf(Control("Scan")), "Stop");
    EXPECT_FALSE(IsWindowEnabled(Control("Browser")));
    PostClick(Control("Scan"));
    ASSERT_TRUE(WaitUntil([&] { return Completed(); }, kScanEnds)) << "no report";

    const auto report = Report();
    ASSERT_EQ(report.size(), 7u);
    const int scanned = std::atoi(report[0].substr(std::string("File Scanned : ").size()).c_str());
    EXPECT_GE(scanned, 200);
    EXPECT_LT(scanned, counts.entries);
    EXPECT_EQ(TextOf(Control("Scan")), "Start Scan");
    EXPECT_TRUE(IsWindowEnabled(Control("Browser")));
}

TEST_F(VelquinWindowTest, ClosingTheWindowMidScanEndsTheProgram) {
    const fs::path target = LongTree(tree_, 20, 100);
    ASSERT_NO_FATAL_FAILURE(Start());
    SetTextOf(Control("Text1"), target.string());
    PostClick(Control("Scan"));
    ASSERT_TRUE(WaitUntil([&] { return Label8() >= 100; }, kScanEnds));
    PostMessageW(form_, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(program_.hProcess, 20000), WAIT_OBJECT_0) << "still running";
    DWORD code = ~0u;
    GetExitCodeProcess(program_.hProcess, &code);
    EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace velquin::ui
