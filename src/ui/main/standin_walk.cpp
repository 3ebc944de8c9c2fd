#include "ui/main/standin_walk.h"

#include <filesystem>
#include <vector>

namespace velquin::ui {

namespace fs = std::filesystem;

void StandInScanFolder(const std::string& root, StandInScanSink& sink) {
    std::uint64_t files = 0, folders = 0;
    std::vector<std::string> pending{root};
    while (!pending.empty() && sink.KeepGoing()) {
        std::string folder = pending.back();
        pending.pop_back();
        if (folder.empty() || folder.back() != '/') folder += '/';
        std::vector<std::string> subfolders;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(folder, ec)) {
            if (e.is_directory(ec) && !e.is_symlink(ec)) {
                subfolders.push_back(folder + e.path().filename().string());
                ++folders;
            }
            sink.Yield();
        }
        for (const auto& e : fs::directory_iterator(folder, ec)) {
            if (!sink.KeepGoing()) break;
            ++files;
            const std::string name = e.path().filename().string();
            sink.ShowEntry(folder + name + "[20%]");
            sink.ShowEntry(folder + name + " [100%] ");
            sink.ShowCounts(files, folders);
            sink.Yield();
        }
        pending.insert(pending.end(), subfolders.rbegin(), subfolders.rend());
    }
}

}  // namespace velquin::ui
