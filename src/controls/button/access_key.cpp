#include "controls/button/access_key.h"

#include <vector>

#include "draw/utf.h"

namespace velquin::button {

char32_t LowerCase(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 32;
  if (c < 0xC0) return c;
  if (c <= 0xDE) return c == 0xD7 ? c : c + 32;  // Latin-1, but for the multiplication sign
  // Latin Extended-A: capitals and small letters alternate, the capital first.
  if (c == 0x130) return U'i';
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c % 2 == 0 ? c + 1 : c;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return c % 2 == 1 ? c + 1 : c;
  if (c == 0x178) return 0xFF;
  // Greek.
  if (c >= 0x391 && c <= 0x3AB) return c == 0x3A2 ? c : c + 32;
  if (c == 0x386) return 0x3AC;
  if (c >= 0x388 && c <= 0x38A) return c + 37;
  if (c == 0x38C) return 0x3CC;
  if (c == 0x38E || c == 0x38F) return c + 63;
  // Cyrillic.
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

std::optional<char32_t> AccessKeyOf(std::string_view caption) {
  std::vector<char32_t> text;
  for (std::size_t pos = 0; pos < caption.size();)
    text.push_back(draw::NextCodePoint(caption, pos));
  const std::size_t n = text.size();
  if (n <= 1) return std::nullopt;
  std::size_t p = 0;
  while (p < n && text[p] != U'&') ++p;
  if (p >= n - 1) return std::nullopt;
  if (text[p + 1] != U'&') return LowerCase(text[p + 1]);
  p += 2;
  while (p < n && text[p] != U'&') ++p;
  if (p >= n - 1 || text[p + 1] == U'&') return std::nullopt;
  return LowerCase(text[p + 1]);
}

}  // namespace velquin::button
