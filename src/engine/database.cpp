#include "engine/database.h"

#include "platform/file.h"
#include "platform/watch.h"

namespace velquin::engine {
namespace {

constexpr std::string_view kEndMarker = "Finish:Finish";

std::uint64_t HashKey(std::string_view key) { return std::hash<std::string_view>{}(key); }

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
    // Size the table for the number of lines, which bounds the records of ordinary files.
    std::size_t lines = 1;
    for (const char c : text) lines += c == '\n' || c == ',';
    std::size_t slots = 16;
    while (slots < 2 * lines) slots *= 2;
    list.slots_.assign(slots, 0);

    FieldReader reader(text);
    std::string_view field;
    std::size_t line = 0;
    while (reader.Next(field, line)) {
        const auto colon = field.find(':');
        if (colon == std::string_view::npos) {
            if (!field.empty()) list.skippedLines_.push_back(line);
            continue;
        }
        list.Add(field.substr(0, colon), field.substr(colon + 1));
        if (field == kEndMarker) {
            list.endMarker_ = true;
            break;
        }
    }
    return list;
}

void SignatureList::Add(std::string_view key, std::string_view name) {
    if (records_.size() * 2 >= slots_.size()) {
        // More records than the line count promised (quoted fields): grow and rehash.
        std::vector<std::uint64_t> old(slots_.size() * 2, 0);
        old.swap(slots_);
        for (const std::uint64_t slot : old) {
            if (slot == 0) continue;
            const std::size_t mask = slots_.size() - 1;
            std::size_t i = HashKey(KeyOf(records_[(slot & 0xFFFFFFFF) - 1])) & mask;
            while (slots_[i] != 0) i = (i + 1) & mask;
            slots_[i] = slot;
        }
    }
    const std::uint64_t hash = HashKey(key);
    const std::uint64_t tag = hash >> 32;
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i] != 0) {
        if ((slots_[i] >> 32) == tag && KeyOf(records_[(slots_[i] & 0xFFFFFFFF) - 1]) == key) {
            return;  // the first record of a key wins
        }
        i = (i + 1) & mask;
    }
    Record record;
    record.keyStart = static_cast<std::uint32_t>(text_.size());
    record.keyLength = static_cast<std::uint32_t>(key.size());
    text_.append(key);
    record.nameStart = static_cast<std::uint32_t>(text_.size());
    record.nameLength = static_cast<std::uint32_t>(name.size());
    text_.append(name);
    records_.push_back(record);
    slots_[i] = (tag << 32) | records_.size();
}

std::string_view SignatureList::Find(std::string_view key) const {
    if (key.empty() || records_.empty()) return {};
    const std::uint64_t hash = HashKey(key);
    const std::uint64_t tag = hash >> 32;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask; slots_[i] != 0; i = (i + 1) & mask) {
        if ((slots_[i] >> 32) != tag) continue;
        const Record& r = records_[(slots_[i] & 0xFFFFFFFF) - 1];
        if (KeyOf(r) == key) return {text_.data() + r.nameStart, r.nameLength};
    }
    return {};
}

struct SignatureDatabase::Watch {
    explicit Watch(const std::string& path) : watch(path) {}
    platform::FileChangeWatch watch;
};

SignatureDatabase::SignatureDatabase(std::string path)
    : path_(std::move(path)), watch_(std::make_unique<Watch>(path_)) {
    load_.path = path_;
    load_.error = platform::Error::NotFound;
}

SignatureDatabase::~SignatureDatabase() = default;

std::string SignatureDatabase::DefaultPath() {
    const std::string folder = platform::ExecutableFolder();
    if (folder.empty()) return "database.db";
    if (folder.back() == platform::kPathSeparator) return folder + "database.db";
    return folder + platform::kPathSeparator + "database.db";
}

void SignatureDatabase::SetLoadListener(LoadListener listener) { listener_ = std::move(listener); }

const DatabaseLoad& SignatureDatabase::Load() {
    if (watch_->watch.Changed()) Reload();
    return load_;
}

std::string_view SignatureDatabase::LookupSignature(const Fingerprint& fingerprint) {
    return LookupSignature(fingerprint.Text());
}

std::string_view SignatureDatabase::LookupSignature(std::string_view key) {
    if (watch_->watch.Changed()) Reload();
    return list_.Find(key);
}

void SignatureDatabase::Reload() {
    DatabaseLoad load;
    load.path = path_;
    std::string text;
    load.error = platform::ReadFile(path_, text);
    if (load.error == platform::Error::None) {
        list_ = SignatureList::Parse(text);
        load.records = list_.RecordCount();
        load.skippedLines = list_.SkippedLines();
        load.endMarker = list_.HasEndMarker();
    } else {
        list_ = SignatureList();
    }
    load_ = std::move(load);
    if (listener_) listener_(load_);
}

}  // namespace velquin::engine
