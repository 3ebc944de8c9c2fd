// Any bytes as a form-data file: reading must not fail, and what it read must write out and read
// back to the very same bags.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "check.h"
#include "draw/property_bag.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using velquin::draw::FormData;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<FormData> form = FormData::FromText(text, &error);
    if (!form) {
        FUZZ_EXPECT(!error.empty());
        return 0;
    }
    const std::string written = form->ToText();
    const std::optional<FormData> again = FormData::FromText(written, &error);
    FUZZ_EXPECT(again.has_value());
    FUZZ_EXPECT(again->Controls() == form->Controls());
    FUZZ_EXPECT(again->ToText() == written);
    return 0;
}
