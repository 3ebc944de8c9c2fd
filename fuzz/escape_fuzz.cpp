// Any bytes as a file name to print: what comes out is UTF-8 with no control character (C0, DEL or
// C1), and a name that needs no escaping comes out unchanged.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "check.h"
#include "cli/escape.h"

namespace {

bool HasControl(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(text[i]);
        if (byte < 0x20 || byte == 0x7F) return true;
        // U+0080 to U+009F in UTF-8.
        if (byte == 0xC2 && i + 1 < text.size() && static_cast<std::uint8_t>(text[i + 1]) < 0xA0 &&
            static_cast<std::uint8_t>(text[i + 1]) >= 0x80) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velquin::cli;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string shown = EscapeForDisplay(text);
    FUZZ_EXPECT(IsValidUtf8(shown));
    FUZZ_EXPECT(!HasControl(shown));
    FUZZ_EXPECT(shown.size() <= 4 * text.size());
    if (IsValidUtf8(text) && !HasControl(text)) FUZZ_EXPECT(shown == text);
    return 0;
}
