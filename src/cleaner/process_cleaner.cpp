#include "cleaner/process_cleaner.h"

#include <algorithm>

namespace velquin::cleaner {

namespace {

constexpr std::string_view kShellImage = "explorer.exe";

// The name by which a listed process answers to `name`: its executable's, or its first argument's.
const std::string& NameFound(const platform::ProcessInfo& process, std::string_view name) {
    return platform::SameImageName(process.imageName, name) ? process.imageName : process.commandName;
}

ProcessOutcome OutcomeFor(const platform::ProcessInfo& process, std::string_view name) {
    ProcessOutcome outcome;
    outcome.pid = process.pid;
    outcome.imageName = NameFound(process, name);
    return outcome;
}

}  // namespace

std::string_view FateName(ProcessFate fate) {
    switch (fate) {
        case ProcessFate::Ended: return "ended";
        case ProcessFate::IsScanner: return "scanner";
        case ProcessFate::StartedScanner: return "scanner-ancestor";
        case ProcessFate::IsFirstProcess: return "first-process";
        case ProcessFate::RunsOtherFile: return "other-file";
        case ProcessFate::Uninspectable: return "unreadable";
        case ProcessFate::NotEnded: return "not-ended";
    }
    return "not-ended";
}

std::string LeftRunningLine(const ProcessOutcome& outcome) {
    std::string line = "Process " + outcome.imageName + " (pid " + std::to_string(outcome.pid) + ") left running: ";
    const std::string why(platform::ErrorMessage(outcome.error));
    switch (outcome.fate) {
        case ProcessFate::Ended: return {};
        case ProcessFate::IsScanner: return line + "it is this scanner";
        case ProcessFate::StartedScanner: return line + "this scanner was started from it";
        case ProcessFate::IsFirstProcess: return line + "it is the system's first process";
        case ProcessFate::RunsOtherFile:
            return line + "it runs " + outcome.imagePath + ", neither the detected file nor a copy of it";
        case ProcessFate::Uninspectable: return line + "the file it runs cannot be read (" + why + ")";
        case ProcessFate::NotEnded:
            return line + "it runs " + (outcome.runsCopy ? outcome.imagePath + ", a copy of the detected file"
                                                         : "the detected file " + outcome.imagePath) +
                   ", but could not be ended (" + why + ")";
    }
    return line;
}

// A process of the name, judged: left alone with a reason, or found to run the target.
struct ProcessCleaner::Verdict {
    ProcessOutcome outcome;
    platform::ProcessImage image;
    bool runsTarget = false;
};

ProcessCleaner::ProcessCleaner(platform::ProcessTable& table) : table_(table) {}

ProcessCleaner::Verdict ProcessCleaner::Judge(const platform::ProcessInfo& process, const TargetImage& target,
                                              const std::vector<long long>& ancestors) {
    Verdict verdict{OutcomeFor(process, target.name), {}, false};
    ProcessOutcome& outcome = verdict.outcome;
    const auto leave = [&](ProcessFate fate, platform::Error error = platform::Error::None) {
        outcome.fate = fate;
        outcome.error = error;
        return verdict;
    };
    if (process.pid <= 1) return leave(ProcessFate::IsFirstProcess);
    if (process.pid == table_.SelfPid()) return leave(ProcessFate::IsScanner);
    if (std::find(ancestors.begin(), ancestors.end(), process.pid) != ancestors.end()) {
        return leave(ProcessFate::StartedScanner);
    }
    if (const auto error = table_.DescribeImage(process, verdict.image); error != platform::Error::None) {
        return leave(ProcessFate::Uninspectable, error);
    }
    outcome.imagePath = verdict.image.path;
    if (verdict.image.identity != target.identity) {
        // Another file: ended only if it is a copy of the detected one.
        platform::Error error = platform::Error::None;
        const platform::File file = table_.OpenImage(verdict.image, &error);
        if (!file.IsOpen()) return leave(ProcessFate::Uninspectable, error);
        if (!target.isCopy || !target.isCopy(file)) return leave(ProcessFate::RunsOtherFile);
        outcome.runsCopy = true;
    }
    verdict.runsTarget = true;
    return verdict;
}

std::vector<ProcessOutcome> ProcessCleaner::TerminateProcessesByName(const TargetImage& target, const LogLine& log) {
    std::vector<ProcessOutcome> outcomes;
    const auto processes = table_.List();
    if (!processes) return outcomes;
    std::optional<std::vector<long long>> ancestors;
    for (const auto& process : *processes) {
        if (!platform::ProcessHasImageName(process, target.name)) continue;
        if (!ancestors) ancestors = table_.AncestorPids();
        Verdict verdict = Judge(process, target, *ancestors);
        if (verdict.runsTarget) {
            verdict.outcome.error = table_.End(process, &verdict.image);
            verdict.outcome.fate =
                verdict.outcome.error == platform::Error::None ? ProcessFate::Ended : ProcessFate::NotEnded;
        }
        if (verdict.outcome.fate != ProcessFate::Ended && log) log(LeftRunningLine(verdict.outcome));
        outcomes.push_back(std::move(verdict.outcome));
    }
    return outcomes;
}

std::optional<std::vector<ProcessOutcome>> ProcessCleaner::StillRunning(const TargetImage& target) {
    const auto processes = table_.List();
    if (!processes) return std::nullopt;
    std::vector<ProcessOutcome> running;
    std::optional<std::vector<long long>> ancestors;
    for (const auto& process : *processes) {
        if (!platform::ProcessHasImageName(process, target.name)) continue;
        if (!ancestors) ancestors = table_.AncestorPids();
        Verdict verdict = Judge(process, target, *ancestors);
        if (!verdict.runsTarget) continue;
        verdict.outcome.fate = ProcessFate::NotEnded;
        running.push_back(std::move(verdict.outcome));
    }
    return running;
}

std::optional<bool> ProcessCleaner::IsProcessRunning(const TargetImage& target) {
    const auto running = StillRunning(target);
    if (!running) return std::nullopt;
    return !running->empty();
}

// Every "explorer.exe", whatever file it runs: the shell is restarted by its name. Only the
// scanner itself and the system's first process are spared; the shell the scanner was started
// from is restarted like any other.
std::vector<ProcessOutcome> ProcessCleaner::EndShells() {
    std::vector<ProcessOutcome> ended;
    const auto processes = table_.List();
    if (!processes) return ended;
    for (const auto& process : *processes) {
        if (process.pid <= 1 || process.pid == table_.SelfPid()) continue;
        if (!platform::ProcessHasImageName(process, kShellImage)) continue;
        if (table_.End(process, nullptr) == platform::Error::None) ended.push_back(OutcomeFor(process, kShellImage));
    }
    return ended;
}

std::vector<ProcessOutcome> ProcessCleaner::RestartShell(const TargetImage& target, std::string_view malwareName,
                                                         const LogLine& log) {
    const auto emit = [&log](std::string_view line) {
        if (log) log(line);
    };
    emit("Found Qarnix On Process, Restart explorer.exe");
    std::vector<ProcessOutcome> outcomes = EndShells();
    // "Terminated..." only for processes that are really gone; a table that cannot be read
    // proves nothing.
    const auto running = StillRunning(target);
    const bool gone = running && running->empty();
    std::string line;
    line.append(target.name).append(" <== ").append(malwareName).append(gone ? " Terminated..." : " Not Terminated...");
    emit(line);
    table_.SpawnDetached({std::string(kShellImage)});
    if (running) outcomes.insert(outcomes.end(), running->begin(), running->end());
    return outcomes;
}

}  // namespace velquin::cleaner
