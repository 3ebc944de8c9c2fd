// velquin-demo: writes the harmless sample files that the shipped demo database names, alone or
// planted among clean files in a small folder tree. Every byte is generated here; nothing in these
// files can run or do anything.
//
//   velquin-demo samples DIR    the samples, flat in DIR
//   velquin-demo tree DIR       a demo tree: clean files in nested folders with the samples among them

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct DemoFile {
    const char* folder;  // relative to DIR in a tree, "" for its top
    const char* name;
    std::string content;
    bool sample;
};

std::string Repeat(const std::string& unit, std::size_t size) {
    std::string out;
    while (out.size() < size) out += unit;
    out.resize(size);
    return out;
}

std::string Pattern(std::size_t size, unsigned multiplier, unsigned offset, unsigned modulus) {
    std::string out(size, '\0');
    for (std::size_t k = 0; k < size; ++k) out[k] = static_cast<char>((k * multiplier + offset) % modulus);
    return out;
}

std::vector<DemoFile> DemoFiles() {
    const std::string note = "HARMLESS VELQUIN DEMO SAMPLE: test data for the scanner, it does nothing.\n";
    return {
        {"Documents", "invoice-viewer.exe", std::string(700, '\x01'), true},
        {"Downloads", "setup-helper.exe", std::string(5000, '\x02'), true},
        {"Program Files/Qarnix Helper", "bank-update.exe", Repeat(note, 1500), true},
        {"Program Files/Qarnix Helper", "winsys32.dll", Pattern(9000, 7, 3, 97), true},
        {"Pictures/Holiday", "autorun-helper.scr", Repeat("[demo] " + note, 620), true},
        {"", "readme.txt", "A demo tree for velquin-scan. Five files in it are named by the demo database.\n", false},
        {"Documents", "notes.txt", Repeat("Meeting notes, nothing to see here.\n", 2400), false},
        {"Documents", "report.doc", Repeat("Quarterly report draft. ", 6100), false},
        {"Downloads", "archive.zip", Pattern(8000, 13, 5, 251), false},
        {"Pictures", "photo.jpg", Pattern(12000, 31, 17, 256), false},
        {"Pictures/Holiday", "beach.png", Pattern(4519, 3, 1, 200), false},
        {"Program Files/Qarnix Helper", "settings.ini", "[helper]\nenabled=1\n", false},
        {"Music", "empty.txt", "", false},
    };
}

bool MakeFolders(const std::string& path) {
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at == path.size() || path[at] == '/') {
            const std::string prefix = path.substr(0, at);
            std::error_code error;
            std::filesystem::create_directory(prefix, error);
            if (error) {
                std::fprintf(stderr, "velquin-demo: cannot create %s: %s\n", prefix.c_str(), error.message().c_str());
                return false;
            }
        }
    }
    return true;
}

bool WriteFile(const std::string& path, const std::string& content) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(content.data(), 1, content.size(), file) != content.size() || std::fclose(file) != 0) {
        std::fprintf(stderr, "velquin-demo: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "samples") != 0 && std::strcmp(argv[1], "tree") != 0)) {
        std::fprintf(stderr, "usage: velquin-demo samples|tree DIR\n");
        return 2;
    }
    const bool tree = std::strcmp(argv[1], "tree") == 0;
    const std::string root = argv[2];
    if (!MakeFolders(root)) return 2;
    int files = 0;
    for (const DemoFile& file : DemoFiles()) {
        if (!tree && !file.sample) continue;
        std::string folder = root;
        if (tree && *file.folder) {
            folder += "/";
            folder += file.folder;
            if (!MakeFolders(folder)) return 2;
        }
        if (!WriteFile(folder + "/" + file.name, file.content)) return 2;
        ++files;
    }
    if (tree && !MakeFolders(root + "/Music/Playlists")) return 2;
    std::printf("velquin-demo: %d files written to %s\n", files, root.c_str());
    return 0;
}
