#include "cli/escape.h"

#include <cstdint>

#include <nlohmann/json.hpp>

namespace velquin::cli {
namespace {

// Length of the valid UTF-8 sequence at text[at], or 0 when the bytes there are not one.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[at + k]); };
    const std::uint8_t lead = byte(0);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(k) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000) || code > 0x10FFFF ||
        (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

void AppendHexEscape(std::string& out, std::uint8_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += "\\x";
    out += kDigits[value >> 4];
    out += kDigits[value & 0xF];
}

}  // namespace

std::string EscapeForDisplay(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto c = static_cast<std::uint8_t>(text[at]);
        const std::size_t length = SequenceLength(text, at);
        if (length == 0) {
            AppendHexEscape(out, c);
            ++at;
        } else if (length == 1) {
            if (c == '\n') {
                out += "\\n";
            } else if (c == '\r') {
                out += "\\r";
            } else if (c == '\t') {
                out += "\\t";
            } else if (c < 0x20 || c == 0x7F) {
                AppendHexEscape(out, c);
            } else {
                out += static_cast<char>(c);
            }
            ++at;
        } else if (length == 2 && c == 0xC2 && static_cast<std::uint8_t>(text[at + 1]) < 0xA0) {
            // U+0080 to U+009F: the C1 controls, which some terminals obey.
            AppendHexEscape(out, c);
            AppendHexEscape(out, static_cast<std::uint8_t>(text[at + 1]));
            at += 2;
        } else {
            out.append(text.substr(at, length));
            at += length;
        }
    }
    return out;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = SequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

void PutText(nlohmann::json& object, const char* key, const std::string& text) {
    if (IsValidUtf8(text)) {
        object[key] = text;
        return;
    }
    object[key] = EscapeForDisplay(text);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const unsigned char c : text) {
        hex += kDigits[c >> 4];
        hex += kDigits[c & 0xF];
    }
    object[std::string(key) + "Hex"] = hex;
}

}  // namespace velquin::cli
