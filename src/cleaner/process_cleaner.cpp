#include "cleaner/process_cleaner.h"

namespace velquin::cleaner {

namespace {
constexpr std::string_view kShellImage = "explorer.exe";
}

ProcessCleaner::ProcessCleaner(platform::ProcessTable& table) : table_(table) {}

bool ProcessCleaner::IsProtected(long long pid) const { return pid <= 1 || pid == table_.SelfPid(); }

std::vector<EndedProcess> ProcessCleaner::TerminateProcessesByName(std::string_view imageName) {
    std::vector<EndedProcess> ended;
    const auto processes = table_.List();
    if (!processes) return ended;
    for (const auto& process : *processes) {
        if (IsProtected(process.pid) || !platform::ProcessHasImageName(process, imageName)) continue;
        if (table_.End(process) == platform::Error::None) {
            ended.push_back({process.pid, process.imageName.empty() ? process.commandName : process.imageName});
        }
    }
    return ended;
}

std::optional<bool> ProcessCleaner::IsProcessRunning(std::string_view imageName) {
    const auto processes = table_.List();
    if (!processes) return std::nullopt;
    for (const auto& process : *processes) {
        if (!IsProtected(process.pid) && platform::ProcessHasImageName(process, imageName)) return true;
    }
    return false;
}

std::vector<EndedProcess> ProcessCleaner::RestartShell(std::string_view imageName, std::string_view malwareName,
                                                       const LogLine& log) {
    const auto emit = [&log](std::string_view line) {
        if (log) log(line);
    };
    emit("Found Qarnix On Process, Restart explorer.exe");
    std::vector<EndedProcess> ended = TerminateProcessesByName(kShellImage);
    std::string terminated;
    terminated.append(imageName).append(" <== ").append(malwareName).append(" Terminated...");
    emit(terminated);
    table_.SpawnDetached({std::string(kShellImage)});
    return ended;
}

}  // namespace velquin::cleaner
