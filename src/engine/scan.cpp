#include "engine/scan.h"

#include <algorithm>

namespace velquin::engine {
namespace {

// Open folder handles kept along the current branch of the walk; deeper trees close the handles
// of their upper folders and reopen them on the way back.
constexpr std::size_t kMaxOpenFolders = 64;

constexpr std::string_view kStartTag = "[20%]";
constexpr std::string_view kDoneTag = " [100%] ";

// The log line of a detected file: its path, the malware name and what became of the file.
std::string DetectionLine(std::string_view path, std::string_view malwareName, const Disposal& disposal,
                          const DisposalResult& outcome) {
    std::string line(path);
    line += " <== ";
    line += malwareName;
    if (!disposal.RemovesFiles()) {
        line += " Detected...";
    } else if (outcome.gone) {
        line += disposal.Action() == "quarantine" ? " Quarantined..." : " Cleaned...";
    } else {
        line += " Not Removed...";
        if (outcome.error != platform::Error::None) {
            line += " (";
            line += platform::ErrorMessage(outcome.error);
            line += ")";
        }
    }
    return line;
}

}  // namespace

FolderScan::FolderScan(SignatureDatabase& database, ScanSink& sink, ProcessActions& processes,
                       Disposal& disposal)
    : database_(database), sink_(sink), processes_(processes), disposal_(disposal) {}

bool FolderScan::OpenTarget(std::string_view path, Target accepted) {
    targetError_ = platform::Error::None;
    target_ = platform::Folder();
    targetFolderPath_.clear();
    targetName_.clear();
    if (!sink_.IsRunning()) return false;
    if (path.empty()) {
        targetError_ = platform::Error::NotFound;
        return false;
    }
    path_.assign(path);
    if (path_.back() != platform::kPathSeparator) path_.push_back(platform::kPathSeparator);
    target_ = platform::Folder::Open(path_, &targetError_);
    if (target_.IsOpen()) return true;

    // Not a folder: it may be a file, which is then an entry of the folder it lies in. A path that
    // ends with a separator names a folder only.
    std::string_view entry = path;
    while (entry.size() > 1 && platform::IsPathSeparator(entry.back())) entry.remove_suffix(1);
    const std::size_t cut = entry.find_last_of(platform::kPathSeparators);
    const std::size_t nameStart = cut == std::string_view::npos ? 0 : cut + 1;
    const std::string folderPath(entry.substr(0, nameStart));
    const std::string name(entry.substr(nameStart));
    platform::Folder folder = platform::Folder::Open(folderPath.empty() ? "." : folderPath);
    platform::EntryInfo info;
    if (!name.empty() && name != "." && name != ".." && folder.IsOpen() &&
        folder.EntryInfoOf(name.c_str(), info) == platform::Error::None && info.kind != platform::EntryKind::Folder) {
        if (accepted == Target::FolderOrFile && entry.size() == path.size()) {
            target_ = std::move(folder);
            targetFolderPath_ = folderPath;
            targetName_ = name;
            targetInfo_ = info;
            targetError_ = platform::Error::None;
            return true;
        }
        targetError_ = platform::Error::NotADirectory;  // whatever the system said of it
    }
    sink_.EntryUnreadable(path_, platform::ErrorMessage(targetError_));
    return false;
}

void FolderScan::WalkTarget() {
    if (!target_.IsOpen()) return;
    platform::Folder root = std::move(target_);
    const bool isFile = !targetName_.empty();
    if (rules_.HasPatterns() && TargetExcluded(!isFile)) {
        ++entriesExcluded_;
        return;
    }
    platform::EntryInfo rootInfo;
    root.Info(rootInfo);
    // A folder kept out of the walk stays out when it is the target itself, or a file target's folder.
    if (rules_.KeepsOut(rootInfo.identity)) return;
    if (isFile) {
        ExamineEntry(root, targetFolderPath_, targetName_.c_str(), targetName_.size(), targetInfo_,
                     platform::Error::None);
        return;
    }
    rules_.BeginTarget(rootInfo.identity);

    readAhead_ = std::make_unique<ReadAhead>(rules_, jobs_);
    frames_.clear();
    firstOpen_ = 1;
    std::shared_ptr<ReadAhead::Node> rootNode = readAhead_->Start(std::move(root), rootInfo.identity, path_);
    const FolderRead* rootRead = &ReadAhead::Read(*rootNode);
    frames_.push_back(Frame{std::move(rootNode), rootRead, path_.size(), 0});
    ProcessFolder(frames_.back());

    while (!frames_.empty()) {
        Frame& top = frames_.back();
        if (top.next < top.read->subfolders.size()) {
            const std::size_t index = top.next++;
            const std::uint32_t entry = top.read->subfolders[index];
            const char* name = top.read->names.Name(entry);
            const std::size_t nameLength = top.read->names.Length(entry);
            const bool reported = top.read->statErrors[entry] != platform::Error::None;
            // The subfolder's own walk starts with the run-flag check; the yield follows its return.
            if (!sink_.IsRunning()) {
                sink_.Yield();
                continue;
            }
            path_.resize(top.pathLength);
            path_.append(name, nameLength);
            path_.push_back(platform::kPathSeparator);
            std::shared_ptr<ReadAhead::Node> child = readAhead_->Take(*top.node, index);
            const FolderRead& read = ReadAhead::Read(*child);
            if (!read.opened) {
                // The file check has reported an entry it could not describe; say it once.
                if (!reported) sink_.EntryUnreadable(path_, platform::ErrorMessage(read.openError));
            }
            if (!read.entered) {
                readAhead_->Release(std::move(child));
                path_.resize(top.pathLength);
                sink_.Yield();
                continue;
            }
            frames_.push_back(Frame{std::move(child), &read, path_.size(), 0});
            LimitOpenFolders();
            ProcessFolder(frames_.back());
        } else {
            const std::size_t parent = frames_.size() - 1;
            if (parent >= 1 && !frames_[parent - 1].read->folder) ReopenFolder(parent - 1);
            readAhead_->Release(std::move(frames_.back().node));
            frames_.pop_back();
            if (firstOpen_ > frames_.size()) firstOpen_ = std::max<std::size_t>(1, frames_.size());
            if (frames_.empty()) break;
            path_.resize(frames_.back().pathLength);
            sink_.Yield();
        }
    }
    frames_.clear();
    readAhead_.reset();
}

// Whether the target itself matches an exclusion pattern, by the path it was given as.
bool FolderScan::TargetExcluded(bool maybeFolder) const {
    std::string_view path(path_);
    while (path.size() > 1 && platform::IsPathSeparator(path.back())) path.remove_suffix(1);
    const std::size_t cut = path.find_last_of(platform::kPathSeparators);
    std::string_view name = cut == std::string_view::npos ? path : path.substr(cut + 1);
    // "." and ".." name a folder only through the folder they stand in: no name to match.
    if (name == "." || name == "..") name = {};
    return rules_.Excludes(path, name.size(), maybeFolder);
}

void FolderScan::ProcessFolder(const Frame& frame) {
    const FolderRead& read = *frame.read;
    if (read.listError != platform::Error::None) {
        sink_.EntryUnreadable(path_, platform::ErrorMessage(read.listError));
    }
    const std::size_t count = read.names.Size();
    const std::string_view folderPath(path_.data(), frame.pathLength);

    // First pass: the subfolders, in listing order. Entries that match an exclusion pattern are
    // left out of both passes.
    std::size_t nextSubfolder = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!IsDotEntry(read.names.Name(i))) {
            if (read.leftOut[i]) {
                ++entriesExcluded_;
            } else if (nextSubfolder < read.subfolders.size() && read.subfolders[nextSubfolder] == i) {
                ++nextSubfolder;
                ++foldersScanned_;
            }
        }
        sink_.Yield();
    }

    // Second pass: every entry goes through the file check, the dot entries included.
    for (std::size_t i = 0; i < count; ++i) {
        if (read.leftOut[i]) continue;
        if (!sink_.IsRunning()) break;
        ExamineEntry(*read.folder, folderPath, read.names.Name(i), read.names.Length(i), read.infos[i],
                     read.statErrors[i], ReadAhead::FingerprintRead(*frame.node, i));
    }
}

void FolderScan::ExamineEntry(const platform::Folder& folder, std::string_view folderPath, const char* name,
                              std::size_t nameLength, const platform::EntryInfo& info, platform::Error statError,
                              const FingerprintResult* readAhead) {
    const std::string_view nameText(name, nameLength);
    if (!IsDotEntry(name)) {
        ++filesScanned_;
        ShowEntry(folderPath, nameText, kStartTag);
    }
    CheckEntry(folder, folderPath, name, nameLength, info, statError, readAhead);
    ShowEntry(folderPath, nameText, kDoneTag);
    sink_.ShowCounts(filesScanned_, foldersScanned_);
    sink_.Yield();
}

void FolderScan::ShowEntry(std::string_view folderPath, std::string_view name, std::string_view tag) {
    text_.assign(folderPath);
    text_.append(name);
    text_.append(tag);
    sink_.ShowEntry(text_);
}

void FolderScan::CheckFolderEntry(const platform::Folder& folder, std::string_view folderPath,
                                  const char* name) {
    platform::EntryInfo info;
    const platform::Error error = folder.EntryInfoOf(name, info);
    CheckEntry(folder, folderPath, name, std::char_traits<char>::length(name), info, error, nullptr);
}

void FolderScan::CheckEntry(const platform::Folder& folder, std::string_view folderPath,
                            const char* name, std::size_t nameLength,
                            const platform::EntryInfo& info, platform::Error statError,
                            const FingerprintResult* readAhead) {
    FingerprintResult fingerprint;
    if (statError != platform::Error::None) {
        fingerprint.failure = FingerprintFailure::Unreadable;
        fingerprint.error = statError;
    } else if (readAhead && (readAhead->fingerprint || readAhead->failure != FingerprintFailure::None)) {
        fingerprint = *readAhead;
    } else {
        fingerprint = ComputeFingerprint(folder, name, info);
    }
    const std::string_view nameText(name, nameLength);
    if (!fingerprint) {
        // Never looked up: a failed fingerprint is not a key.
        entryPath_.assign(folderPath);
        entryPath_.append(nameText);
        sink_.EntryUnreadable(entryPath_, fingerprint.Reason());
        return;
    }
    const std::string_view malware = database_.LookupSignature(*fingerprint.fingerprint);
    if (malware.empty()) return;

    // Copies: the name's storage belongs to the listing, and the lookup's to the database, which
    // may reload while the host yields or logs.
    const std::string malwareName(malware);
    entryPath_.assign(folderPath);
    entryPath_.append(nameText);
    const std::string path = entryPath_;
    const std::string imageName(nameText);

    // Processes, the removal and the quarantine all act on the file that was read, not on
    // whatever the name may stand for by now.
    const DetectedImage image{imageName, path, fingerprint.identity, *fingerprint.fingerprint};
    const ProcessActions::LogLine log = [this](std::string_view line) { sink_.AppendLog(line); };
    processes_.TerminateProcessesByName(image, log);
    if (processes_.IsProcessRunning(image).value_or(false)) {
        processes_.RestartShell(image, malwareName, log);
    }
    sink_.AddDetectedPath(path);

    const DisposalResult outcome = info.kind == platform::EntryKind::Regular
        ? disposal_.Dispose(DetectedFile{folder, name, fingerprint.identity, path, malwareName})
        : DisposalResult{false, platform::Error::NotRegularFile};

    sink_.AppendLog(DetectionLine(path, malwareName, disposal_, outcome));
    sink_.Detected(DetectionReport{path, malwareName, disposal_.Action(), outcome.gone, outcome.error});
}

void FolderScan::LimitOpenFolders() {
    while (frames_.size() - firstOpen_ > kMaxOpenFolders) {
        readAhead_->CloseFolder(*frames_[firstOpen_].node);
        ++firstOpen_;
    }
}

// Reopens frames_[index] from its child's handle through "..", checking that it is the same
// folder; if it moved meanwhile, walks down again from the target by name. On failure the rest of
// that folder's subfolders is given up.
bool FolderScan::ReopenFolder(std::size_t index) {
    Frame& frame = frames_[index];
    platform::Folder parent = frames_[index + 1].read->folder->OpenParent();
    platform::EntryInfo info;
    if (parent.IsOpen() && parent.Info(info) == platform::Error::None &&
        info.identity == frame.read->identity) {
        readAhead_->ReopenedFolder(*frame.node, std::move(parent));
        firstOpen_ = index;
        return true;
    }
    platform::Folder folder;
    const platform::Folder* from = frames_[0].read->folder.get();
    bool ok = true;
    for (std::size_t k = 1; k <= index && ok; ++k) {
        const std::size_t start = frames_[k - 1].pathLength;
        const std::string name = path_.substr(start, frames_[k].pathLength - start - 1);
        platform::Folder next = from->OpenFolder(name.c_str());
        ok = next.IsOpen() && next.Info(info) == platform::Error::None &&
             info.identity == frames_[k].read->identity;
        folder = std::move(next);
        from = &folder;
    }
    if (ok) {
        readAhead_->ReopenedFolder(*frame.node, std::move(folder));
        firstOpen_ = index;
        return true;
    }
    sink_.EntryUnreadable(std::string_view(path_.data(), frame.pathLength), "moved during the scan");
    frame.next = frame.read->subfolders.size();
    return false;
}

}  // namespace velquin::engine
