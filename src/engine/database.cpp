#include "engine/database.h"

#include "platform/file.h"
#include "platform/watch.h"

namespace velquin::engine {
namespace {

constexpr std::string_view kEndMarker = "Finish:Finish";

std::uint64_t HashKey(std::string_view key) { return std::hash<std::string_view>{}(key); }

// The top half of the hash, never 0 (which marks an empty slot).
std::uint32_t TagOf(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32) | 1u; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Reads the fields of a signature list one by one, counting lines.
class FieldReader {
public:
    explicit FieldReader(std::string_view text) : text_(text) {}

    // The next field, or false at the end of the text. `line` is where the field starts.
    bool Next(std::string_view& field, std::size_t& line) {
        if (at_ >= text_.size()) return false;
        while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
        line = line_;
        if (at_ < text_.size() && text_[at_] == '"') {
            const std::size_t start = ++at_;
            while (at_ < text_.size() && text_[at_] != '"') CountLineEnd();
            field = text_.substr(start, at_ - start);
            if (at_ < text_.size()) ++at_;  // the closing quote
            // Whatever stands between the closing quote and the delimiter is not part of the field.
            while (at_ < text_.size() && !IsDelimiter(text_[at_])) ++at_;
        } else {
            const std::size_t start = at_;
            while (at_ < text_.size() && !IsDelimiter(text_[at_])) ++at_;
            field = Trim(text_.substr(start, at_ - start));
        }
        SkipDelimiter();
        return true;
    }

private:
    static bool IsDelimiter(char c) { return c == ',' || c == '\r' || c == '\n'; }

    // Steps over one character inside a quoted field, counting a line end there too.
    void CountLineEnd() {
        const char c = text_[at_++];
        if (c == '\n' || (c == '\r' && (at_ >= text_.size() || text_[at_] != '\n'))) ++line_;
    }

    void SkipDelimiter() {
        if (at_ >= text_.size()) return;
        const char c = text_[at_++];
        if (c == '\r') {
            if (at_ < text_.size() && text_[at_] == '\n') ++at_;  // CR LF is one line end
            ++line_;
        } else if (c == '\n') {
            ++line_;
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::size_t line_ = 1;
};

}  // namespace

SignatureList SignatureList::Parse(std::string_view text) {
    SignatureList list;
    list.text_.reserve(text.size());
    // Size the table for the number of fields, which bounds the records of ordinary files.
    std::size_t fields = 1;
    for (const char c : text) fields += c == '\n' || c == ',';
    std::size_t slots = 16;
    while (slots < 2 * fields) slots *= 2;
    list.tags_.assign(slots, 0);
    list.slots_.resize(slots);

    FieldReader reader(text);
    std::string_view field;
    std::size_t line = 0;
    while (reader.Next(field, line)) {
        const auto colon = field.find(':');
        if (colon == std::string_view::npos) {
            if (!field.empty()) list.skippedLines_.push_back(line);
            continue;
        }
        const std::string_view key = field.substr(0, colon);
        const std::string_view name = field.substr(colon + 1);
        // No fingerprint is empty, and a detection needs a name to report: such a record is
        // skipped like a malformed one, and a later record of its key stays findable.
        if (key.empty() || name.empty()) {
            list.emptyKeyOrNameLines_.push_back(line);
            continue;
        }
        list.Add(key, name);
        if (field == kEndMarker) {
            list.endMarker_ = true;
            break;
        }
    }
    return list;
}

void SignatureList::Grow() {
    Tags oldTags(tags_.size() * 2, 0);
    Slots oldSlots(slots_.size() * 2);
    oldTags.swap(tags_);
    oldSlots.swap(slots_);
    const std::size_t mask = tags_.size() - 1;
    for (std::size_t k = 0; k < oldTags.size(); ++k) {
        if (oldTags[k] == 0) continue;
        std::size_t i = HashKey(KeyOf(oldSlots[k])) & mask;
        while (tags_[i] != 0) i = (i + 1) & mask;
        tags_[i] = oldTags[k];
        slots_[i] = oldSlots[k];
    }
}

void SignatureList::Add(std::string_view key, std::string_view name) {
    // More records than the field count promised (quoted fields hold line ends): grow.
    if ((records_ + 1) * 2 > tags_.size()) Grow();
    const std::uint64_t hash = HashKey(key);
    const std::uint32_t tag = TagOf(hash);
    const std::size_t mask = tags_.size() - 1;
    std::size_t i = hash & mask;
    while (tags_[i] != 0) {
        if (tags_[i] == tag && KeyOf(slots_[i]) == key) return;  // the first record of a key wins
        i = (i + 1) & mask;
    }
    tags_[i] = tag;
    Slot& slot = slots_[i];
    slot.keyStart = static_cast<std::uint32_t>(text_.size());
    slot.keyLength = static_cast<std::uint32_t>(key.size());
    slot.nameLength = static_cast<std::uint32_t>(name.size());
    text_.insert(text_.end(), key.begin(), key.end());
    text_.insert(text_.end(), name.begin(), name.end());
    ++records_;
}

std::string_view SignatureList::Find(std::string_view key) const {
    if (key.empty() || records_ == 0) return {};
    const std::uint64_t hash = HashKey(key);
    const std::uint32_t tag = TagOf(hash);
    const std::size_t mask = tags_.size() - 1;
    for (std::size_t i = hash & mask; tags_[i] != 0; i = (i + 1) & mask) {
        if (tags_[i] != tag) continue;
        const Slot& slot = slots_[i];
        if (KeyOf(slot) == key) return {text_.data() + slot.keyStart + slot.keyLength, slot.nameLength};
    }
    return {};
}

SignatureDatabase::SignatureDatabase(std::string path, platform::FileChangeWatch::Mode watchMode)
    : path_(std::move(path)), watch_(std::make_unique<platform::FileChangeWatch>(path_, watchMode)) {
    load_.path = path_;
    load_.error = platform::Error::NotFound;
}

SignatureDatabase::~SignatureDatabase() = default;

std::string SignatureListLocation::TriedText() const {
    std::string text;
    for (const std::string& place : tried) text += (text.empty() ? "" : ", then ") + place;
    return text;
}

namespace {

constexpr std::string_view kListName = "database.db";

std::string Join(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != platform::kPathSeparator) path += platform::kPathSeparator;
    return path + std::string(name);
}

// The folder above `folder`; a root ("/", "C:\" on Windows) is its own parent.
std::string_view ParentOf(std::string_view folder) {
    while (folder.size() > 1 && folder.back() == platform::kPathSeparator) folder.remove_suffix(1);
    const auto cut = folder.rfind(platform::kPathSeparator);
    if (cut == std::string_view::npos) return folder;
    const bool root = cut == 0 || (cut == 2 && folder[1] == ':');
    return folder.substr(0, root ? cut + 1 : cut);
}

bool HoldsEntry(const std::string& folder, std::string_view name) {
    const platform::Folder opened = platform::Folder::Open(folder);
    platform::EntryInfo info;
    return opened.IsOpen() && opened.EntryInfoOf(std::string(name).c_str(), info) == platform::Error::None;
}

}  // namespace

SignatureListLocation FindSignatureList(std::string_view given) {
    return FindSignatureList(given, platform::ExecutableFolder());
}

SignatureListLocation FindSignatureList(std::string_view given, std::string_view executableFolder) {
    SignatureListLocation location;
    if (!given.empty()) {
        location.path = std::string(given);
        location.tried.push_back(location.path);
        return location;
    }
    if (executableFolder.empty()) {
        // Without the program's folder the current folder is the only place left to look.
        location.tried.push_back(std::string(kListName));
        if (HoldsEntry(".", kListName)) location.path = location.tried.back();
        return location;
    }
    const std::string dataFolder = Join(Join(ParentOf(executableFolder), "share"), "velquin");
    for (const std::string& folder : {std::string(executableFolder), dataFolder}) {
        location.tried.push_back(Join(folder, kListName));
        if (HoldsEntry(folder, kListName)) {
            location.path = location.tried.back();
            break;
        }
    }
    return location;
}

void SignatureDatabase::SetLoadListener(LoadListener listener) { listener_ = std::move(listener); }

const DatabaseLoad& SignatureDatabase::Load() {
    if (watch_->Changed()) Reload();
    return load_;
}

std::string_view SignatureDatabase::LookupSignature(const Fingerprint& fingerprint) {
    return LookupSignature(fingerprint.Text());
}

std::string_view SignatureDatabase::LookupSignature(std::string_view key) {
    if (watch_->Changed()) Reload();
    return list_.Find(key);
}

void SignatureDatabase::Reload() {
    DatabaseLoad load;
    load.path = path_;
    std::string text;
    load.error = platform::ReadFile(path_, text);
    // Positions in the parsed table are 32-bit.
    if (load.error == platform::Error::None && text.size() >= 0xFFFFFFFFu) load.error = platform::Error::Unsupported;
    SignatureList list;
    if (load.error == platform::Error::None) {
        list = SignatureList::Parse(text);
        load.records = list.RecordCount();
        load.skippedLines = list.SkippedLines();
        load.emptyKeyOrNameLines = list.EmptyKeyOrNameLines();
        load.endMarker = list.HasEndMarker();
    }
    // A version that does not reach its end marker is, most likely, still being written.
    load.kept = listInUse_ && !load.endMarker;
    // Reads not taken in a row are told once: a slow writer must not bring a warning per write.
    const bool toldAlready = load.kept && load_.kept && load.error == load_.error;
    if (!load.kept) {
        list_ = std::move(list);
        listInUse_ = load.error == platform::Error::None;
    }
    load_ = std::move(load);
    if (listener_ && !toldAlready) listener_(load_);
}

}  // namespace velquin::engine
