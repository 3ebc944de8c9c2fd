#include "draw/picture.h"

#include <cstring>

// One translation unit holds the codec; it reads only PNG, only from memory.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS velquin::draw::kMaxPictureSide
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

namespace velquin::draw {
namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

void Append(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(context);
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const Image& image) {
  std::vector<std::uint8_t> out;
  if (image.IsNull()) return out;
  const int channels = image.HasAlpha() ? 4 : 3;
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(image.Width()) * image.Height() * channels);
  std::size_t k = 0;
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint32_t* row = image.Row(y);
    for (int x = 0; x < image.Width(); ++x) {
      const std::uint32_t p = row[x];
      rgb[k++] = static_cast<std::uint8_t>(p >> 16);
      rgb[k++] = static_cast<std::uint8_t>(p >> 8);
      rgb[k++] = static_cast<std::uint8_t>(p);
      if (channels == 4) rgb[k++] = static_cast<std::uint8_t>(p >> 24);
    }
  }
  if (!stbi_write_png_to_func(Append, &out, image.Width(), image.Height(), channels, rgb.data(),
                              image.Width() * channels))
    out.clear();
  return out;
}

Image DecodePng(const std::uint8_t* bytes, std::size_t size) {
  if (size < sizeof kPngSignature || std::memcmp(bytes, kPngSignature, sizeof kPngSignature) != 0 ||
      size > static_cast<std::size_t>(INT32_MAX))
    return {};
  int w = 0;
  int h = 0;
  int channels = 0;
  stbi_uc* rgba = stbi_load_from_memory(bytes, static_cast<int>(size), &w, &h, &channels, 4);
  if (rgba == nullptr) return {};
  Image image(w, h);
  bool transparent = channels == 2 || channels == 4;
  const stbi_uc* p = rgba;
  for (int y = 0; y < h; ++y) {
    std::uint32_t* row = image.Row(y);
    for (int x = 0; x < w; ++x, p += 4) {
      row[x] = (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[0]} << 16) |
               (std::uint32_t{p[1]} << 8) | std::uint32_t{p[2]};
      // A colour key (a tRNS chunk) makes a picture without an alpha channel transparent too.
      if (p[3] != 0xFF) transparent = true;
    }
  }
  stbi_image_free(rgba);
  image.SetHasAlpha(transparent);
  if (!transparent) image.MakeOpaque();
  return image;
}

Picture Picture::FromImage(const Image& image) { return Picture{EncodePng(image)}; }

Image Picture::ToImage() const { return png.empty() ? Image{} : DecodePng(png.data(), png.size()); }

}  // namespace velquin::draw
