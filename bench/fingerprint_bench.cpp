// Fingerprinting a tree's files against the system calls alone: one open, one 603-byte read and
// one close per file of 610 bytes or more, nothing for shorter files. The tree is made once with
// the size mix of the scan benchmark (40% under 610 bytes, 40% up to 4519, 20% up to 40000).

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "engine/fingerprint.h"
#include "platform/file.h"

namespace {

using namespace velquin;

struct Tree {
    std::string root;
    platform::Folder folder;
    std::vector<std::string> names;
    std::vector<platform::EntryInfo> infos;
};

Tree& TheTree() {
    static Tree tree = [] {
        Tree t;
        t.root = (access("/dev/shm", W_OK) == 0 ? std::string("/dev/shm") : std::string("/tmp")) +
                 "/velquin-fingerprint-bench-" + std::to_string(getpid());
        mkdir(t.root.c_str(), 0755);
        std::mt19937 random(1);
        std::string pool(1 << 16, '\0');
        for (char& c : pool) c = static_cast<char>(random());
        for (int i = 0; i < 5000; ++i) {
            const double x = std::uniform_real_distribution<>(0, 1)(random);
            const std::size_t size = x < .4 ? random() % 610 : x < .8 ? 610 + random() % 3910 : 4520 + random() % 35480;
            std::string content;
            while (content.size() < size) content += pool.substr(random() % 1024, size - content.size());
            const std::string name = "f" + std::to_string(i) + ".bin";
            std::ofstream(t.root + "/" + name, std::ios::binary) << content;
            t.names.push_back(name);
        }
        t.folder = platform::Folder::Open(t.root);
        for (const std::string& name : t.names) {
            platform::EntryInfo info;
            t.folder.EntryInfoOf(name.c_str(), info);
            t.infos.push_back(info);
        }
        return t;
    }();
    return tree;
}

void BM_ComputeFingerprint(benchmark::State& state) {
    Tree& tree = TheTree();
    std::size_t ok = 0;
    for (auto _ : state) {
        for (std::size_t i = 0; i < tree.names.size(); ++i) {
            ok += static_cast<bool>(engine::ComputeFingerprint(tree.folder, tree.names[i].c_str(), tree.infos[i]));
        }
    }
    benchmark::DoNotOptimize(ok);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * tree.names.size()));
}
BENCHMARK(BM_ComputeFingerprint)->Unit(benchmark::kMillisecond);

// The same files with the same system calls and no fingerprint: the cost floor.
void BM_SystemCallsOnly(benchmark::State& state) {
    Tree& tree = TheTree();
    const int dir = open(tree.root.c_str(), O_RDONLY | O_DIRECTORY);
    std::array<unsigned char, 603> bytes;
    std::size_t sum = 0;
    for (auto _ : state) {
        for (std::size_t i = 0; i < tree.names.size(); ++i) {
            const platform::EntryInfo& info = tree.infos[i];
            if (info.size < 610) continue;
            const int fd = openat(dir, tree.names[i].c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
            if (fd < 0) continue;
            sum += static_cast<std::size_t>(pread(fd, bytes.data(), bytes.size(), info.size < 4520 ? 0 : 3910));
            close(fd);
        }
    }
    close(dir);
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * tree.names.size()));
}
BENCHMARK(BM_SystemCallsOnly)->Unit(benchmark::kMillisecond);

}  // namespace

// The tree goes when the run ends.
static const struct Cleanup {
    ~Cleanup() {
        const std::string command = "rm -rf /dev/shm/velquin-fingerprint-bench-" + std::to_string(getpid()) +
                                    " /tmp/velquin-fingerprint-bench-" + std::to_string(getpid());
        if (std::system(command.c_str()) != 0) {
        }
    }
} cleanup;
