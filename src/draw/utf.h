// UTF-8 texts and their UTF-16 form (what Qt and the Windows text calls take).
//
// Texts are UTF-8. A lone UTF-16 surrogate, which a form-data file can spell as \u{d800} and a
// UTF-16 string can hold, is kept in its three-byte form (ED A0 80 for D800), so that it travels
// between the two forms and through files unchanged.
#pragma once

#include <string>
#include <string_view>

namespace velquin::draw {

// The code point at `pos`, advancing `pos` past it. A lone surrogate in its three-byte form gives
// the surrogate; a byte that starts no valid sequence gives U+FFFD and advances by one.
char32_t NextCodePoint(std::string_view text, std::size_t& pos);

// Appends code point `cp` as UTF-8 (a surrogate in its three-byte form). A low surrogate right
// after a high one joins it into the character the pair stands for, as in UTF-16.
void AppendCodePoint(std::string& out, char32_t cp);

// `bytes` with every sequence that is not UTF-8 (surrogate forms included) replaced by U+FFFD.
std::string ValidUtf8(std::string_view bytes);

// Whether the text is empty or only white space (every character Unicode calls a space, the
// line and paragraph separators and the ASCII controls tab to carriage return).
bool IsBlank(std::string_view text);

std::u16string ToUtf16(std::string_view text);
std::string FromUtf16(std::u16string_view text);

}  // namespace velquin::draw
