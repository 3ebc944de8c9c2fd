#include "draw/utf.h"

namespace velquin::draw {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }
bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Decodes one sequence at `pos`; 0 bytes when none starts there. Surrogates are accepted only
// when `surrogates` is set.
std::size_t Decode(std::string_view s, std::size_t pos, bool surrogates, char32_t& out) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  if (b0 < 0x80) {
    out = b0;
    return 1;
  }
  std::size_t len;
  char32_t cp;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (pos + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[pos + k]);
    if (!IsContinuation(b)) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF) return 0;
  if (!surrogates && cp >= 0xD800 && cp <= 0xDFFF) return 0;
  out = cp;
  return len;
}

void Encode(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
  char32_t cp = 0;
  const std::size_t len = Decode(text, pos, /*surrogates=*/true, cp);
  if (len == 0) {
    ++pos;
    return kReplacement;
  }
  pos += len;
  return cp;
}

void AppendCodePoint(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF) cp = kReplacement;
  if (IsLowSurrogate(cp) && out.size() >= 3) {
    char32_t before = 0;
    if (Decode(out, out.size() - 3, true, before) == 3 && IsHighSurrogate(before)) {
      out.resize(out.size() - 3);
      cp = 0x10000 + ((before - 0xD800) << 10) + (cp - 0xDC00);
    }
  }
  Encode(out, cp);
}

std::string ValidUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    char32_t cp = 0;
    const std::size_t len = Decode(bytes, pos, /*surrogates=*/false, cp);
    if (len == 0) {
      Encode(out, kReplacement);
      ++pos;
    } else {
      out.append(bytes.substr(pos, len));
      pos += len;
    }
  }
  return out;
}

bool IsBlank(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const char32_t c = NextCodePoint(text, pos);
    const bool space = (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 ||
                       c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 ||
                       c == 0x202F || c == 0x205F || c == 0x3000;
    if (!space) return false;
  }
  return true;
}

std::u16string ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const char32_t cp = NextCodePoint(text, pos);
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string FromUtf16(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t u = text[i];
    if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      Encode(out, 0x10000 + ((u - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else {
      Encode(out, u);
    }
  }
  return out;
}

}  // namespace velquin::draw
