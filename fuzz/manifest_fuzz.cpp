// Any bytes as a quarantine manifest: reading must not fail, every record read must survive being
// written and read again unchanged, and any text must survive field escaping.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "check.h"
#include "engine/quarantine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velquin::engine;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const Manifest manifest = ParseManifest(text);
    for (std::size_t i = 1; i < manifest.badLines.size(); ++i) {
        FUZZ_EXPECT(manifest.badLines[i - 1] < manifest.badLines[i]);
    }
    for (const QuarantineRecord& record : manifest.records) {
        const Manifest again = ParseManifest(FormatManifestRecord(record));
        FUZZ_EXPECT(again.badLines.empty());
        FUZZ_EXPECT(again.records.size() == 1 && again.records[0] == record);
    }

    const std::string escaped = EscapeManifestField(text);
    FUZZ_EXPECT(escaped.find_first_of(std::string_view("\t\n\r\0", 4)) == std::string::npos);
    FUZZ_EXPECT(UnescapeManifestField(escaped) == text);
    return 0;
}
