#pragma once
// The signature list "database.db": records KEY:NAME, read as fields, ended by "Finish:Finish".
// It is parsed once into a hash map from key to the first record's name, and parsed again
// whenever the file changes, so a lookup costs neither a system call nor a pass over the list.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/fingerprint.h"
#include "platform/error.h"
#include "platform/memory.h"
#include "platform/watch.h"

namespace velquin::engine {

// One parse of a signature list, in file order: the first record of a key wins.
class SignatureList {
public:
    // Reads fields as the format defines them: a field ends at a comma, a line end (CR LF, or a
    // lone CR or LF) or the end of the text; a field that begins with a double quote runs to the
    // next double quote, quotes not included. Spaces and tabs at both ends of an unquoted field
    // are dropped. A record splits at its first ":" into key and name; "Finish:Finish" ends the
    // list. A field without ":" is skipped and its line number noted (blank fields silently), and
    // so is a record with an empty key or name: it could never report a detection.
    static SignatureList Parse(std::string_view text);

    // The name of the first record whose key equals `key` exactly; empty when there is none.
    // The empty key never matches: no fingerprint is empty.
    std::string_view Find(std::string_view key) const;

    std::size_t RecordCount() const { return records_; }
    const std::vector<std::size_t>& SkippedLines() const { return skippedLines_; }
    const std::vector<std::size_t>& EmptyKeyOrNameLines() const { return emptyKeyOrNameLines_; }
    bool HasEndMarker() const { return endMarker_; }

private:
    // Open addressing in two parallel arrays: a compact one of hash tags (0: empty), which is all
    // that a lookup of a key not in the list usually reads, and the records themselves.
    struct Slot {
        std::uint32_t keyStart;   // key and name in text_, the name right after the key
        std::uint32_t keyLength;
        std::uint32_t nameLength;
    };
    using Text = std::vector<char, platform::LargeAllocator<char>>;
    using Tags = std::vector<std::uint32_t, platform::LargeAllocator<std::uint32_t>>;
    using Slots = std::vector<Slot, platform::LargeAllocator<Slot>>;

    void Add(std::string_view key, std::string_view name);
    void Grow();
    std::string_view KeyOf(const Slot& slot) const { return {text_.data() + slot.keyStart, slot.keyLength}; }

    Text text_;
    Tags tags_;
    Slots slots_;
    std::size_t records_ = 0;
    std::vector<std::size_t> skippedLines_;
    std::vector<std::size_t> emptyKeyOrNameLines_;
    bool endMarker_ = false;
};

// Where a program's signature list is: the file named on its command line when one is given;
// else "database.db" beside the executable (a copied or unpacked program keeps its list there);
// else the installed data folder "../share/velquin/" from the executable's folder, so an install
// under any prefix or a package unpacked anywhere finds its list without a path built in.
struct SignatureListLocation {
    std::string path;                // the list to use; empty when no place holds one
    std::vector<std::string> tried;  // every place looked at, in order

    bool Found() const { return !path.empty(); }
    // The places tried, for a message: "A" or "A, then B".
    std::string TriedText() const;
};

// `given` is the command line's list (empty: none given); `executableFolder` is the folder of the
// running program (platform::ExecutableFolder() when not given). A place holds a list when an entry
// of that name is there; whether it can be read is for the reading to tell.
SignatureListLocation FindSignatureList(std::string_view given);
SignatureListLocation FindSignatureList(std::string_view given, std::string_view executableFolder);

// The outcome of reading the file once.
struct DatabaseLoad {
    std::string path;
    platform::Error error = platform::Error::None;  // None: read
    std::size_t records = 0;
    std::vector<std::size_t> skippedLines;          // lines of records without ":", skipped
    std::vector<std::size_t> emptyKeyOrNameLines;   // lines of records with an empty key or name, skipped
    bool endMarker = false;
    // The read was not taken: the list in use stays until the file reads completely, up to its
    // end marker (it is most likely being written).
    bool kept = false;

    // Whether the list names anything: a record besides "Finish:Finish", whose key no fingerprint has.
    bool HasSignatures() const { return records > (endMarker ? 1u : 0u); }
};

class SignatureDatabase {
public:
    using LoadListener = std::function<void(const DatabaseLoad&)>;

    // `path` is the signature list to use (FindSignatureList tells which one a program uses).
    // `watchMode` says how changes of the file are noticed.
    explicit SignatureDatabase(std::string path,
                               platform::FileChangeWatch::Mode watchMode = platform::FileChangeWatch::Mode::Notify);
    ~SignatureDatabase();

    // Called after every read of the file that is taken (the first one included), so a user can be
    // told once per load about skipped records or an unreadable list; and after the first of the
    // reads in a row that were not taken (see Load).
    void SetLoadListener(LoadListener listener);

    // The malware name of the fingerprint, or empty when the list does not name it or cannot be
    // read. Picks up an edited list first.
    std::string_view LookupSignature(const Fingerprint& fingerprint);
    std::string_view LookupSignature(std::string_view key);

    // Reads the list now if it changed (or was never read) and tells how the last read went.
    // Once a list is in use, a new version replaces it only when it reads completely, up to its
    // end marker: a list that is being rewritten, or is missing for a moment, never leaves a scan
    // with half of it. While no list is in use (the first read, or the list could not be read),
    // whatever the file holds is taken, records of a list without its end marker included.
    const DatabaseLoad& Load();

    const std::string& Path() const { return path_; }

private:
    void Reload();

    std::string path_;
    SignatureList list_;
    bool listInUse_ = false;  // list_ comes from a read of the file
    DatabaseLoad load_;
    LoadListener listener_;
    std::unique_ptr<platform::FileChangeWatch> watch_;
};

}  // namespace velquin::engine
