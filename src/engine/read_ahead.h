#pragma once
// Reading ahead of the walk. Worker threads open, list and describe folders and fingerprint their
// files before the walk reaches them; they only read. The walk takes each folder from here in its
// own order (a folder's entries before its subfolders, each subtree complete before the next) and
// does everything with an effect itself, so what it reports is what it would report reading alone.
//
// The workers always read the first folder in walk order that nobody reads yet, and stay within a
// fixed number of folders and entries ahead of the walk, whatever the shape of the tree: memory
// and open folder handles stay flat however large the tree grows.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/fingerprint.h"
#include "engine/walk_rules.h"
#include "platform/file.h"

namespace velquin::engine {

// Threads that read the file system during a scan unless told otherwise: the scanning thread and
// eleven workers. Cold, more reads in flight than cores hide the disk's latency, and the extra
// threads cost little while they wait (on two cores, 12 threads read a cold tree faster than 8);
// warm, only about one worker per core reads at a time.
inline constexpr unsigned kDefaultJobs = 12;

// One folder as the walk uses it: opened from its parent, described, listed, its entries described
// and sorted into what the walk leaves out and what it enters.
struct FolderRead {
    bool opened = false;            // false: it could not be opened or described (`openError`)
    platform::Error openError = platform::Error::None;
    bool entered = false;           // the walk rules let the walk in
    std::shared_ptr<const platform::Folder> folder;  // closed while the walk keeps no handle for it
    platform::FileIdentity identity;
    platform::Error listError = platform::Error::None;
    platform::NameList names;
    std::vector<platform::EntryInfo> infos;
    std::vector<platform::Error> statErrors;
    std::vector<std::uint8_t> leftOut;      // per entry: it matched an exclusion pattern
    std::vector<std::uint32_t> subfolders;  // entries the walk goes into, in listing order
    // Per entry, when a worker has read the folder: its fingerprint (empty for entries left out or
    // not described), as far as ReadAhead::FingerprintRead tells it is done. Empty when the walk
    // reads the folder itself, one entry at a time.
    std::vector<FingerprintResult> fingerprints;
};

class ReadAhead {
public:
    struct Node;
    // How far ahead of the walk the workers are: folders read or being read and not yet taken,
    // and the entries of those read.
    struct Lead {
        std::size_t folders;
        std::size_t entries;
    };

    // `jobs` threads read: the calling thread and jobs - 1 workers (none for 1).
    ReadAhead(const WalkRules& rules, unsigned jobs);
    ~ReadAhead();  // the workers stop after the entry they are reading
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The target folder, open, whose path (ending with the separator) is `path`; read here.
    std::shared_ptr<Node> Start(platform::Folder target, const platform::FileIdentity& identity,
                                const std::string& path);
    // The subfolder subfolders[index] of `parent`, a folder taken before, as reading it now would
    // find it: read ahead if a worker has read it and its name still stands for that folder, else
    // read here rather than wait long for a worker. The walk takes the subfolders of a folder in order.
    std::shared_ptr<Node> Take(Node& parent, std::size_t index);
    // The walk is done with `node` and everything below it, and gives up its hold on it.
    void Release(std::shared_ptr<Node> node);
    // The walk keeps no handle for `node` for now (it is far above the deepest folder); the workers
    // leave its unread subfolders to the walk.
    void CloseFolder(Node& node);
    void ReopenedFolder(Node& node, platform::Folder folder);

    static const FolderRead& Read(const Node& node);
    // The fingerprint a worker computed of the entry `entry` of a folder taken; none when the walk
    // is to compute it (the worker had not got there, or is on it right now).
    static const FingerprintResult* FingerprintRead(const Node& node, std::size_t entry);

private:
    // Why the workers rest: nothing is left to read, or they are as far ahead as they may be.
    enum class Rest : std::uint8_t { NothingUnread, FarAhead };

    std::shared_ptr<Node>& ChildOf(Node& parent, std::size_t index);
    Node* NextToRead(const Lead& limit, Rest& rest);
    bool ReadAheadOf(Node& node, const platform::Folder& parentFolder, std::size_t mostEntries);
    void ReadWhileWaiting(std::unique_lock<std::mutex>& lock, const Node& awaited,
                          std::chrono::steady_clock::time_point waitEnds);
    void ReadFolder(Node& node, const platform::Folder& parentFolder);
    void ListFolder(Node& node);
    void Fingerprint(Node& node, const platform::Folder& folder);
    bool StillThere(const Node& node, const platform::Folder& parentFolder) const;
    void Work();
    void WakeWorkers();
    void CountReaders(bool waitedForTheDisk);

    const WalkRules& rules_;
    std::mutex mutex_;
    std::condition_variable workersWake_;
    std::condition_variable walkWake_;
    std::atomic<bool> stopping_{false};
    // Wake-ups go to one worker at a time, and only to one that waits and has something to read:
    // a wake-up costs more than reading a few entries.
    unsigned idleWorkers_ = 0;
    Rest rest_ = Rest::NothingUnread;  // why the last worker to look found nothing to read
    // The walk waits for a worker to finish listing a folder. Set before the walk looks at the
    // folder's state and read after a worker sets it, so one of the two sees the other.
    std::atomic<bool> walkWaiting_{false};
    std::shared_ptr<Node> root_;
    Node* current_ = nullptr;  // the folder the walk is in: the read-ahead starts after its position
    std::vector<std::thread> workers_;
    unsigned workerCount_;
    // Workers reading at a time: all of them while reads wait for the disk, where many reads in
    // flight hide its latency, and one per core while the tree comes from memory, where more
    // threads only take turns on the cores (and with the walk). Counted as folders are read.
    unsigned readers_;
    unsigned fewestReaders_;
    unsigned reading_ = 0;
    struct Step {
        Node* node;
        std::size_t next;
    };
    std::vector<Step> search_;  // scratch of NextToRead
    // Folders the walk is done with, freed by a worker: memory a worker allocated is freed
    // fastest by a worker, and the walk, which may be the window's thread, never waits for the
    // allocator's lock of another thread.
    std::vector<std::shared_ptr<Node>> done_;
};

}  // namespace velquin::engine
