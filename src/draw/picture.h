// Pictures as the controls keep them: PNG bytes, decoded to an Image when drawn. One PNG codec
// serves every platform, so a picture looks the same wherever it is read.
#pragma once

#include <cstdint>
#include <vector>

#include "draw/image.h"

namespace velquin::draw {

// Pictures larger than this on a side are not decoded.
inline constexpr int kMaxPictureSide = 4096;

// A picture kept as PNG bytes (what the form data stores); empty bytes mean no picture.
struct Picture {
  std::vector<std::uint8_t> png;

  // A null image gives an empty picture. Pixels with HasAlpha() keep their alpha.
  static Picture FromImage(const Image& image);
  // Null when empty, not PNG, or undecodable. A PNG with transparency decodes with HasAlpha().
  Image ToImage() const;
  bool IsEmpty() const { return png.empty(); }
  bool operator==(const Picture&) const = default;
};

// The PNG encoding of an image (empty for a null image) and back (null on failure).
std::vector<std::uint8_t> EncodePng(const Image& image);
Image DecodePng(const std::uint8_t* bytes, std::size_t size);

}  // namespace velquin::draw
