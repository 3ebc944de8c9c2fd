#pragma once
// The fingerprint that every detection rests on: two 202-byte windows of a file, each reduced to
// the sum of the cubes of its bytes, written as upper-case hexadecimal plus a constant suffix.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/error.h"
#include "platform/file.h"

namespace velquin::engine {

inline constexpr std::string_view kFingerprintSuffix = "79914R102910492019018";
inline constexpr std::uint64_t kShortFileLimit = 610;    // shorter files have no windows
inline constexpr std::uint64_t kLongFileStart = 4520;    // from here the windows move to 3910
inline constexpr std::uint64_t kLongFileBase = 3910;
inline constexpr std::size_t kWindowLength = 202;
inline constexpr std::size_t kReadLength = 603;          // base .. base + 602
inline constexpr std::uint64_t kSumLimit = 2147483647;   // a window sum must fit a signed 32-bit value

// A fingerprint text, 23 to 37 characters, held without allocation.
class Fingerprint {
public:
    static Fingerprint FromSums(std::uint32_t windowA, std::uint32_t windowB);
    std::string_view Text() const { return {text_.data(), size_}; }
    bool operator==(const Fingerprint& other) const { return Text() == other.Text(); }

private:
    std::array<char, 40> text_{};
    std::uint8_t size_ = 0;
};

enum class FingerprintFailure : std::uint8_t {
    None,
    Unreadable,  // the length or the bytes could not be read; `error` says why
    Overflow,    // a window's sum exceeds the signed 32-bit range
};

// Either a fingerprint or the reason there is none; a failure can never pass for a text.
struct FingerprintResult {
    std::optional<Fingerprint> fingerprint;
    FingerprintFailure failure = FingerprintFailure::None;
    platform::Error error = platform::Error::None;
    // The file the fingerprint describes: the very file that was read, or, when its length alone
    // gives the fingerprint, the entry as it was described. Whatever acts on the entry later (a
    // removal, a quarantine) checks that it is still this file.
    platform::FileIdentity identity;

    explicit operator bool() const { return fingerprint.has_value(); }
    // A short description of the failure for the user ("permission denied", ...).
    std::string_view Reason() const;
};

// The sums of the two windows of the 603 bytes read from the base offset; a failure on overflow.
FingerprintResult FingerprintFromBytes(std::span<const std::uint8_t, kReadLength> bytes);

// The fingerprint of the entry `name` of `folder`, whose description the caller already has.
// Only a regular file of at least 610 bytes is opened (one open, one read of 603 bytes, one close);
// every other entry, folders, links, FIFOs, sockets and devices included, is never opened and gets
// the fingerprint of its length as a file of no content would: the short-file fingerprint.
// The file opened must be the entry described (Error::Changed when another file has taken its
// name since). Needs nothing but the folder and the description, so it may run on any thread.
FingerprintResult ComputeFingerprint(const platform::Folder& folder, const char* name,
                                     const platform::EntryInfo& info);

// The fingerprint of a file that is open already, from its length as the open file reports it.
FingerprintResult ComputeFingerprint(const platform::File& file);

// The same for a path. The entry itself is never followed if it is a link.
FingerprintResult ComputeFingerprint(const std::string& path);

}  // namespace velquin::engine
