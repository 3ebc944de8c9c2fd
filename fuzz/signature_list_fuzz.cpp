// Any bytes as a signature list: the parse must not fail, and every lookup must give what a plain
// reading of the format gives, the first record of each key, kept in an ordinary map.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "check.h"
#include "engine/database.h"

namespace {

constexpr std::string_view kDelimiters = ",\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

struct Model {
    std::map<std::string, std::string, std::less<>> first;  // key -> name of its first record
    bool endMarker = false;
};

// Fields end at a comma or a line end; a quoted field runs to the next quote and whatever follows
// it up to the delimiter is dropped; an unquoted one loses its blanks at both ends. Line ends only
// matter for line numbers, which the model leaves out: an empty field between CR and LF is skipped
// like any empty field.
Model Read(std::string_view text) {
    Model model;
    std::size_t at = 0;
    while (at < text.size() && !model.endMarker) {
        while (at < text.size() && IsBlank(text[at])) ++at;
        std::string_view field;
        if (at < text.size() && text[at] == '"') {
            const std::size_t close = text.find('"', at + 1);
            field = text.substr(at + 1, close == std::string_view::npos ? std::string_view::npos : close - at - 1);
            at = close == std::string_view::npos ? text.size() : text.find_first_of(kDelimiters, close + 1);
        } else {
            const std::size_t end = text.find_first_of(kDelimiters, at);
            field = text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
            while (!field.empty() && IsBlank(field.back())) field.remove_suffix(1);
            at = end;
        }
        at = at == std::string_view::npos ? text.size() : at + 1;
        const std::size_t colon = field.find(':');
        if (colon == std::string_view::npos || colon == 0 || colon + 1 == field.size()) continue;
        model.first.emplace(std::string(field.substr(0, colon)), std::string(field.substr(colon + 1)));
        model.endMarker = field == "Finish:Finish";
    }
    return model;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const velquin::engine::SignatureList list = velquin::engine::SignatureList::Parse(text);
    const Model model = Read(text);

    FUZZ_EXPECT(list.RecordCount() == model.first.size());
    FUZZ_EXPECT(list.HasEndMarker() == model.endMarker);
    for (const auto& [key, name] : model.first) {
        FUZZ_EXPECT(list.Find(key) == name);
        // A neighbour of a key finds only its own record, if it has one.
        const std::string longer = key + key.back();
        const auto neighbour = model.first.find(longer);
        FUZZ_EXPECT(list.Find(longer) == (neighbour == model.first.end() ? std::string() : neighbour->second));
    }
    FUZZ_EXPECT(list.Find("").empty());
    return 0;
}
