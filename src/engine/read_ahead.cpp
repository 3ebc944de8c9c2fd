#include "engine/read_ahead.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>

#include "platform/thread.h"

namespace velquin::engine {
namespace {

// How far the workers read ahead of the walk: folders read or being read and not yet taken, and
// the entries of those read. A folder's own listing is never split, as the walk holds it whole.
constexpr ReadAhead::Lead kMaxLead{256, 4096};
// Workers that have reached the greatest lead rest until the walk has used up most of it: woken
// in batches, each wake-up reads many folders, not one (a wake-up costs more than a small folder).
constexpr ReadAhead::Lead kResumeLead{64, 1024};
// How long the walk waits for a worker to finish listing the folder it needs before reading it
// itself: a worker is usually a moment from the end, but the system may also not run it for a while.
constexpr std::chrono::milliseconds kWaitForWorker{2};
// Folders the walk is done with that wait for a worker to free them (each may hold a handle):
// from this many on a resting worker is woken to free them, from twice as many the walk frees
// them itself.
constexpr std::size_t kMaxDone = 16;
// The walk reads a folder ahead itself while it waits only if the folder is small: the window's
// thread may be the walk. Its description gives the size of its listing (ext4 needs about 24
// bytes per entry); a listing that turns out longer is left to be fingerprinted later.
constexpr std::uint64_t kSmallFolderBytes = 32 * 1024;
constexpr std::size_t kSmallFolderEntries = 1024;
// A reader that gave up the processor this often while reading one folder waited for the disk;
// once may be the allocator's lock or the like.
constexpr std::uint64_t kWaitsOfADiskRead = 2;

}  // namespace

struct ReadAhead::Node {
    // Read: listed and described. A worker fingerprints its entries from then on, one at a time
    // and in order, and the walk may take the folder meanwhile: it fingerprints what is left itself.
    // Changed under the lock, except that a worker publishes Read without it.
    enum class State : std::uint8_t { Unread, Reading, Read };
    std::atomic<State> state{State::Unread};
    Node* parent = nullptr;
    std::size_t index = 0;  // among the parent's subfolders
    std::string name;
    std::string path;       // ending with the separator; kept only when exclusion patterns need it
    platform::FileIdentity parentIdentity;
    FolderRead read;
    std::vector<std::shared_ptr<Node>> children;  // per subfolder, made when first looked at
    std::size_t nextChild = 0;                    // the subfolders before it have been taken
    // Entries below `claimed` are the worker's to fingerprint; entries below `fingerprinted` are
    // done. The walk, taking the folder, claims the rest for itself (`walkFrom`).
    std::atomic<std::uint32_t> claimed{0};
    std::atomic<std::uint32_t> fingerprinted{0};
    std::uint32_t walkFrom = 0;
};

const FolderRead& ReadAhead::Read(const Node& node) { return node.read; }

const FingerprintResult* ReadAhead::FingerprintRead(const Node& node, std::size_t entry) {
    if (entry >= node.walkFrom || entry >= node.fingerprinted.load(std::memory_order_acquire)) return nullptr;
    return &node.read.fingerprints[entry];
}

ReadAhead::ReadAhead(const WalkRules& rules, unsigned jobs)
    : rules_(rules),
      workerCount_(jobs > 1 ? jobs - 1 : 0),
      readers_(workerCount_),
      fewestReaders_(std::min(workerCount_, std::max(2u, std::thread::hardware_concurrency()))) {}

ReadAhead::~ReadAhead() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    workersWake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

std::shared_ptr<ReadAhead::Node> ReadAhead::Start(platform::Folder target, const platform::FileIdentity& identity,
                                                  const std::string& path) {
    root_ = std::make_shared<Node>();
    if (rules_.HasPatterns()) root_->path = path;
    FolderRead& read = root_->read;
    read.opened = true;
    read.entered = true;
    read.identity = identity;
    read.folder = std::make_shared<const platform::Folder>(std::move(target));
    ListFolder(*root_);
    root_->state = Node::State::Read;
    current_ = root_.get();
    while (workers_.size() < workerCount_) workers_.emplace_back([this] { Work(); });
    return root_;
}

std::shared_ptr<ReadAhead::Node>& ReadAhead::ChildOf(Node& parent, std::size_t index) {
    if (parent.children.empty()) parent.children.resize(parent.read.subfolders.size());
    std::shared_ptr<Node>& child = parent.children[index];
    if (!child) {
        child = std::make_shared<Node>();
        child->parent = &parent;
        child->index = index;
        child->name = parent.read.names.Name(parent.read.subfolders[index]);
        if (!parent.path.empty()) child->path = parent.path + child->name + platform::kPathSeparator;
        child->parentIdentity = parent.read.identity;
    }
    return child;
}

std::shared_ptr<ReadAhead::Node> ReadAhead::Take(Node& parent, std::size_t index) {
    std::unique_lock lock(mutex_);
    std::shared_ptr<Node> child = ChildOf(parent, index);
    parent.nextChild = index + 1;
    const std::shared_ptr<const platform::Folder> parentFolder = parent.read.folder;
    const auto waitEnds = std::chrono::steady_clock::now() + kWaitForWorker;
    ReadWhileWaiting(lock, *child, waitEnds);
    if (child->state == Node::State::Reading) {
        walkWaiting_ = true;
        walkWake_.wait_until(lock, waitEnds, [&] { return child->state != Node::State::Reading; });
        walkWaiting_ = false;
    }
    if (child->state == Node::State::Read) {
        // From here on the worker fingerprints no further entry of it.
        const std::uint32_t count = static_cast<std::uint32_t>(child->read.names.Size());
        child->walkFrom = std::min(count, child->claimed.exchange(count));
        if (parentFolder) {
            // The walk is in it, unless the check finds another folder in its place.
            current_ = child.get();
            WakeWorkers();
            lock.unlock();
            if (StillThere(*child, *parentFolder)) return child;
            lock.lock();
            current_ = &parent;
        }
    }
    if (child->state != Node::State::Unread) {
        // Read ahead, but another folder, or none, has taken the name since; or still being listed
        // after a short wait: the walk reads it afresh, and what was read below it is dropped. A
        // worker may still hold the old one.
        auto fresh = std::make_shared<Node>();
        fresh->parent = &parent;
        fresh->index = index;
        fresh->name = child->name;
        fresh->path = child->path;
        fresh->parentIdentity = child->parentIdentity;
        parent.children[index] = fresh;
        child = std::move(fresh);
    }
    child->state = Node::State::Reading;
    if (!parentFolder) {
        // No handle to reach it by: the walk gave this folder up.
        child->read.openError = platform::Error::NotFound;
    } else {
        lock.unlock();
        ReadFolder(*child, *parentFolder);
        lock.lock();
    }
    child->state = Node::State::Read;
    current_ = child.get();
    WakeWorkers();
    return child;
}

void ReadAhead::Release(std::shared_ptr<Node> node) {
    std::vector<std::shared_ptr<Node>> freeing;
    const std::lock_guard lock(mutex_);
    current_ = node->parent;
    if (node->parent) {
        node->parent->children[node->index].reset();
    } else {
        root_.reset();
    }
    done_.push_back(std::move(node));
    if (workerCount_ == 0 || done_.size() >= 2 * kMaxDone) {
        freeing.swap(done_);
    } else if (done_.size() >= kMaxDone && idleWorkers_ > 0) {
        workersWake_.notify_one();
    }
    WakeWorkers();
}

void ReadAhead::CloseFolder(Node& node) {
    std::shared_ptr<const platform::Folder> closing;
    const std::lock_guard lock(mutex_);
    closing = std::move(node.read.folder);
}

void ReadAhead::ReopenedFolder(Node& node, platform::Folder folder) {
    auto reopened = std::make_shared<const platform::Folder>(std::move(folder));
    const std::lock_guard lock(mutex_);
    node.read.folder = std::move(reopened);
    WakeWorkers();
}

// The walk has moved on, or there is more to read: wakes a resting worker if it has something to
// read now. Called with the lock held.
void ReadAhead::WakeWorkers() {
    if (idleWorkers_ == 0 || reading_ >= readers_) return;
    Rest rest = Rest::NothingUnread;
    if (!NextToRead(rest_ == Rest::FarAhead ? kResumeLead : kMaxLead, rest)) return;
    workersWake_.notify_one();
}

// The first folder after the walk's position, in walk order, that nobody reads yet; none (and
// why in `rest`) when there is none or the read-ahead is `limit` ahead already. Called with the
// lock held.
ReadAhead::Node* ReadAhead::NextToRead(const Lead& limit, Rest& rest) {
    std::size_t folders = 0;
    std::size_t entries = 0;
    for (Node* level = current_; level != nullptr; level = level->parent) {
        search_.clear();
        search_.push_back({level, level->nextChild});
        while (!search_.empty()) {
            Node& node = *search_.back().node;
            if (search_.back().next >= node.read.subfolders.size()) {
                search_.pop_back();
                continue;
            }
            const std::size_t index = search_.back().next++;
            Node& child = *ChildOf(node, index);
            if (child.state == Node::State::Unread) {
                // Below a folder whose handle the walk has closed, the walk reads for itself.
                if (!node.read.folder) continue;
                return &child;
            }
            rest = Rest::FarAhead;
            if (++folders > limit.folders) return nullptr;
            if (child.state == Node::State::Read) {
                entries += child.read.names.Size();
                if (entries > limit.entries) return nullptr;
                search_.push_back({&child, 0});
            }
        }
    }
    rest = Rest::NothingUnread;
    return nullptr;
}

void ReadAhead::Work() {
    // The walk sets the pace, and in the window it also keeps the window alive: when both could
    // run, the walk runs.
    platform::LowerThisThreadsPriority();
    std::unique_lock lock(mutex_);
    // The count of waits when the last folder was done: where the next one starts, unless the
    // worker has rested since.
    std::optional<std::uint64_t> waitsWhenDone;
    for (;;) {
        Node* next = nullptr;
        const auto ready = [&] {
            return stopping_ || done_.size() >= kMaxDone ||
                   (reading_ < readers_ && (next = NextToRead(kMaxLead, rest_)) != nullptr);
        };
        if (!ready()) {
            ++idleWorkers_;
            workersWake_.wait(lock, ready);
            --idleWorkers_;
            waitsWhenDone.reset();
        }
        if (stopping_) return;
        std::vector<std::shared_ptr<Node>> freeing;
        freeing.swap(done_);
        if (!next) {
            lock.unlock();
            freeing.clear();
            lock.lock();
            continue;
        }
        // Held while reading: the walk may give the folder up, or close it, meanwhile.
        std::shared_ptr<Node> node = next->parent->children[next->index];
        std::shared_ptr<const platform::Folder> folder = next->parent->read.folder;
        node->state = Node::State::Reading;
        ++reading_;
        // There may be more to read: the next resting worker looks.
        if (idleWorkers_ > 0 && reading_ < readers_) workersWake_.notify_one();
        lock.unlock();
        freeing.clear();
        const std::optional<std::uint64_t> waitsBefore = waitsWhenDone ? waitsWhenDone : platform::ThisThreadsWaits();
        const bool waitedForLock = ReadAheadOf(*node, *folder, SIZE_MAX);
        const std::optional<std::uint64_t> waitsAfter = platform::ThisThreadsWaits();
        waitsWhenDone = waitsAfter;
        // Let go before taking the lock again: the walk may be done with the folder, which then
        // goes here, and freeing it under the lock would hold the walk up.
        folder.reset();
        node.reset();
        lock.lock();
        --reading_;
        if (waitsBefore && waitsAfter && !waitedForLock) CountReaders(*waitsAfter - *waitsBefore >= kWaitsOfADiskRead);
    }
}

// Reads `node`, a folder nobody reads yet, from its parent: lists it, publishes it, and fingerprints
// its entries unless it has more than `mostEntries`. Whether waking the walk meant waiting for the lock.
bool ReadAhead::ReadAheadOf(Node& node, const platform::Folder& parentFolder, std::size_t mostEntries) {
    ReadFolder(node, parentFolder);
    const std::shared_ptr<const platform::Folder> folder = node.read.folder;
    if (folder) node.read.fingerprints.resize(node.read.names.Size());
    // Published without the lock, which the walk and the other workers need far more often.
    node.state = Node::State::Read;
    bool waitedForLock = false;
    if (walkWaiting_) {
        // Once the lock is had, the walk is either waiting or has seen the state; it is woken
        // after the lock is let go, so that it does not wake only to wait for the lock.
        waitedForLock = !mutex_.try_lock();
        if (waitedForLock) mutex_.lock();
        mutex_.unlock();
        walkWake_.notify_one();
    }
    if (folder && node.read.names.Size() <= mostEntries) Fingerprint(node, *folder);
    return waitedForLock;
}

// While a worker lists the folder the walk needs next, the walk reads the next small folder that
// nobody reads yet rather than sleep: a sleep and a wake-up cost more than a small folder, and on
// few cores the walk would only wake to take a core from the workers again. Only while the tree
// comes from memory (no more readers than the fewest): a folder from the disk would hold the walk,
// and the window, far longer than the wait. No folder is begun once the wait is over. Called with
// the lock held; lets it go while reading.
void ReadAhead::ReadWhileWaiting(std::unique_lock<std::mutex>& lock, const Node& awaited,
                                 std::chrono::steady_clock::time_point waitEnds) {
    while (awaited.state == Node::State::Reading && readers_ <= fewestReaders_ &&
           std::chrono::steady_clock::now() < waitEnds) {
        Rest rest = Rest::NothingUnread;
        Node* next = NextToRead(kMaxLead, rest);
        if (!next) return;
        const FolderRead& parentRead = next->parent->read;
        const platform::EntryInfo& described = parentRead.infos[parentRead.subfolders[next->index]];
        if (described.size > kSmallFolderBytes) return;
        std::shared_ptr<Node> node = next->parent->children[next->index];
        const std::shared_ptr<const platform::Folder> folder = parentRead.folder;
        node->state = Node::State::Reading;
        lock.unlock();
        ReadAheadOf(*node, *folder, kSmallFolderEntries);
        lock.lock();
    }
}

// One more reader when reading a folder made its reader wait for the disk; one fewer, down to one
// per core, when it came from memory. Called with the lock held.
void ReadAhead::CountReaders(bool waitedForTheDisk) {
    if (waitedForTheDisk && readers_ < workerCount_) {
        ++readers_;
        if (idleWorkers_ > 0) workersWake_.notify_one();
    } else if (!waitedForTheDisk && readers_ > fewestReaders_) {
        --readers_;
    }
}

// Opens the folder from its parent as the walk does when it goes in, and lists it.
void ReadAhead::ReadFolder(Node& node, const platform::Folder& parentFolder) {
    FolderRead& read = node.read;
    platform::Error error = platform::Error::None;
    platform::Folder folder = parentFolder.OpenFolder(node.name.c_str(), &error);
    platform::EntryInfo info;
    if (folder.IsOpen()) error = folder.Info(info);
    if (!folder.IsOpen() || error != platform::Error::None) {
        read.openError = error;
        return;
    }
    read.opened = true;
    read.identity = info.identity;
    // The entry may have been replaced since it was listed; the rules still hold for it.
    if (!rules_.Enters(info, node.parentIdentity)) return;
    read.entered = true;
    read.folder = std::make_shared<const platform::Folder>(std::move(folder));
    ListFolder(node);
}

void ReadAhead::ListFolder(Node& node) {
    FolderRead& read = node.read;
    const platform::Folder& folder = *read.folder;
    read.listError = folder.ListNames(read.names);
    const std::size_t count = read.names.Size();
    read.infos.resize(count);
    read.statErrors.assign(count, platform::Error::None);
    read.leftOut.assign(count, 0);
    std::string entryPath;
    for (std::size_t i = 0; i < count; ++i) {
        const char* name = read.names.Name(i);
        if (IsDotEntry(name)) {
            read.infos[i] = platform::EntryInfo{};
            read.infos[i].kind = platform::EntryKind::Folder;
            continue;
        }
        read.statErrors[i] = folder.EntryInfoOf(name, read.infos[i]);
        const bool unreadable = read.statErrors[i] != platform::Error::None;
        const bool maybeFolder = unreadable || read.infos[i].kind == platform::EntryKind::Folder;
        if (rules_.HasPatterns()) {
            entryPath.assign(node.path).append(name, read.names.Length(i));
            read.leftOut[i] = rules_.Excludes(entryPath, read.names.Length(i), maybeFolder);
        }
        // An entry whose description cannot be read counts as a subfolder; opening it then tells
        // whether it is one.
        if (!read.leftOut[i] && (unreadable || (maybeFolder && rules_.Enters(read.infos[i], read.identity)))) {
            read.subfolders.push_back(static_cast<std::uint32_t>(i));
        }
    }
}

// The entries the walk has not claimed, in order; each is published as soon as it is done.
void ReadAhead::Fingerprint(Node& node, const platform::Folder& folder) {
    FolderRead& read = node.read;
    const std::size_t count = read.names.Size();
    for (;;) {
        const std::uint32_t i = node.claimed.fetch_add(1);
        if (i >= count || stopping_) return;
        if (!read.leftOut[i] && read.statErrors[i] == platform::Error::None) {
            read.fingerprints[i] = ComputeFingerprint(folder, read.names.Name(i), read.infos[i]);
        }
        node.fingerprinted.store(i + 1, std::memory_order_release);
    }
}

bool ReadAhead::StillThere(const Node& node, const platform::Folder& parentFolder) const {
    if (!node.read.opened || !node.read.entered) return false;
    platform::EntryInfo info;
    return parentFolder.EntryInfoNow(node.name.c_str(), info) == platform::Error::None &&
           info.kind == platform::EntryKind::Folder && info.identity == node.read.identity;
}

}  // namespace velquin::engine
