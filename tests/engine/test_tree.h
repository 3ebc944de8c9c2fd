#pragma once
// A scratch folder for one test, removed afterwards, with helpers to fill it.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace velquin::testing {

class TestTree {
public:
    TestTree() {
        // A memory file system when there is one: trees of tens of thousands of folders are made
        // and removed in a moment there.
        const bool shm = access("/dev/shm", W_OK) == 0;
        std::string pattern =
            ((shm ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path()) /
             "velquin-test-XXXXXX").string();
        root_ = mkdtemp(pattern.data());
    }
    ~TestTree() {
        // rm works relative to folder handles, so trees deeper than the path limit go too.
        const std::string command = "rm -rf '" + root_ + "'";
        if (std::system(command.c_str()) != 0) {
        }
    }
    TestTree(const TestTree&) = delete;
    TestTree& operator=(const TestTree&) = delete;

    const std::string& Root() const { return root_; }
    std::string Path(const std::string& relative) const { return root_ + "/" + relative; }

    std::string Write(const std::string& relative, const std::string& content) const {
        const std::filesystem::path path = Path(relative);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }
    std::string Folder(const std::string& relative) const {
        std::filesystem::create_directories(Path(relative));
        return Path(relative);
    }

    // A chain of `depth` folders named `name` below `relative`, made one level at a time so that
    // its paths may exceed the system's limit.
    void Chain(const std::string& relative, const std::string& name, int depth) const {
        int fd = open(Folder(relative).c_str(), O_RDONLY | O_DIRECTORY);
        for (int i = 0; i < depth && fd >= 0; ++i) {
            mkdirat(fd, name.c_str(), 0755);
            const int next = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
            close(fd);
            fd = next;
        }
        if (fd >= 0) close(fd);
    }

private:
    std::string root_;
};

}  // namespace velquin::testing
