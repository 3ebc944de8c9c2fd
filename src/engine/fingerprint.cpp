#include "engine/fingerprint.h"

namespace velquin::engine {
namespace {

char* AppendHex(char* out, std::uint32_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char reversed[8];
    int count = 0;
    do {
        reversed[count++] = kDigits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    while (count > 0) *out++ = reversed[--count];
    return out;
}

// Sum of the cubes of the window's bytes. The format checks the range after every addition; the
// terms are never negative, so the running sum only grows and checking the total is the same test.
// The total stays below 2^32 (202 * 255^3), so 32-bit arithmetic is exact.
std::optional<std::uint32_t> WindowSum(std::span<const std::uint8_t, kReadLength> bytes,
                                       std::size_t from) {
    std::uint32_t sum = 0;
    for (std::size_t k = from; k < from + kWindowLength; ++k) {
        const std::uint32_t v = bytes[k];
        sum += v * v * v;
    }
    if (sum > kSumLimit) return std::nullopt;
    return sum;
}

FingerprintResult Failed(FingerprintFailure failure, platform::Error error = platform::Error::None) {
    FingerprintResult result;
    result.failure = failure;
    result.error = error;
    return result;
}

FingerprintResult Succeeded(const Fingerprint& fingerprint, const platform::FileIdentity& identity) {
    FingerprintResult result;
    result.fingerprint = fingerprint;
    result.identity = identity;
    return result;
}

bool IsShortOrNoFile(const platform::EntryInfo& info) {
    return info.kind != platform::EntryKind::Regular || info.size < kShortFileLimit;
}

// The windows of an open regular file of at least 610 bytes, placed by the length `size`.
FingerprintResult ReadWindows(const platform::File& file, std::uint64_t size,
                              const platform::FileIdentity& identity) {
    const std::uint64_t base = size < kLongFileStart ? 0 : kLongFileBase;
    std::array<std::uint8_t, kReadLength> bytes;
    const platform::Error error = file.ReadAt(base, bytes);
    if (error != platform::Error::None) return Failed(FingerprintFailure::Unreadable, error);
    FingerprintResult result = FingerprintFromBytes(bytes);
    result.identity = identity;
    return result;
}

}  // namespace

Fingerprint Fingerprint::FromSums(std::uint32_t windowA, std::uint32_t windowB) {
    Fingerprint fingerprint;
    char* out = fingerprint.text_.data();
    out = AppendHex(out, windowA);
    out = AppendHex(out, windowB);
    for (const char c : kFingerprintSuffix) *out++ = c;
    fingerprint.size_ = static_cast<std::uint8_t>(out - fingerprint.text_.data());
    return fingerprint;
}

std::string_view FingerprintResult::Reason() const {
    switch (failure) {
        case FingerprintFailure::None: return {};
        case FingerprintFailure::Overflow: return "window sum out of range";
        case FingerprintFailure::Unreadable: return platform::ErrorMessage(error);
    }
    return {};
}

FingerprintResult FingerprintFromBytes(std::span<const std::uint8_t, kReadLength> bytes) {
    const auto a = WindowSum(bytes, 1);
    if (!a) return Failed(FingerprintFailure::Overflow);
    const auto b = WindowSum(bytes, 401);
    if (!b) return Failed(FingerprintFailure::Overflow);
    return Succeeded(Fingerprint::FromSums(*a, *b), {});
}

FingerprintResult ComputeFingerprint(const platform::Folder& folder, const char* name,
                                     const platform::EntryInfo& info) {
    if (IsShortOrNoFile(info)) return Succeeded(Fingerprint::FromSums(0, 0), info.identity);
    platform::Error error = platform::Error::None;
    platform::EntryInfo opened;
    const platform::File file = folder.OpenFile(name, &error, &opened);
    if (!file.IsOpen()) return Failed(FingerprintFailure::Unreadable, error);
    // The name may have passed to another file since the entry was described; the bytes read must
    // be those of the file described, or a removal could take a file that was never read.
    if (opened.identity != info.identity) return Failed(FingerprintFailure::Unreadable, platform::Error::Changed);
    return ReadWindows(file, info.size, opened.identity);
}

FingerprintResult ComputeFingerprint(const platform::File& file) {
    platform::EntryInfo info;
    const platform::Error error = file.Info(info);
    if (error != platform::Error::None) return Failed(FingerprintFailure::Unreadable, error);
    if (IsShortOrNoFile(info)) return Succeeded(Fingerprint::FromSums(0, 0), info.identity);
    return ReadWindows(file, info.size, info.identity);
}

FingerprintResult ComputeFingerprint(const std::string& path) {
    const auto slash = path.rfind(platform::kPathSeparator);
    std::string folderPath;
    std::string name;
    if (slash == std::string::npos) {
        folderPath = ".";
        name = path;
    } else {
        folderPath = slash == 0 ? std::string(1, platform::kPathSeparator) : path.substr(0, slash);
        name = path.substr(slash + 1);
    }
    if (name.empty()) name = ".";  // a folder path ending with the separator: the folder itself
    platform::Error error = platform::Error::None;
    const platform::Folder folder = platform::Folder::Open(folderPath, &error);
    if (!folder.IsOpen()) return Failed(FingerprintFailure::Unreadable, error);
    platform::EntryInfo info;
    error = folder.EntryInfoOf(name.c_str(), info);
    if (error != platform::Error::None) return Failed(FingerprintFailure::Unreadable, error);
    return ComputeFingerprint(folder, name.c_str(), info);
}

}  // namespace velquin::engine
