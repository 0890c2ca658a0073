#include "printing/bitmap_file.h"

#include <cstdint>
#include <cstdlib>

#include "platform/files.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_FAILURE_USERMSG
#include <stb/stb_image.h>

namespace valico {
namespace {

std::uint32_t Le32(std::string_view b, size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

// Reads the header's sizes and compression before anything is decoded, so a wrong file
// never costs memory.
bool CheckHeader(std::string_view b, std::string* err) {
  if (b.size() > (256u << 20)) {
    *err = "a file of " + std::to_string(b.size() >> 20) + " MB is too large for a bitmap";
    return false;
  }
  if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') {
    *err = "not a bitmap file (no \"BM\" signature)";
    return false;
  }
  std::uint32_t header = Le32(b, 14);
  long long width = 0, height = 0, bits = 0;
  auto le16 = [&](size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
  };
  if (header == 12) {  // the old OS/2 header: 16-bit sizes
    width = le16(18);
    height = le16(20);
    bits = le16(24);
  } else if (header >= 40 && b.size() >= 34) {
    bits = le16(28);
    width = static_cast<std::int32_t>(Le32(b, 18));
    height = std::llabs(static_cast<std::int32_t>(Le32(b, 22)));
    std::uint32_t compression = Le32(b, 30);
    if (compression == 1 || compression == 2) {
      *err = "run-length compressed bitmaps are not supported (save it uncompressed)";
      return false;
    }
    if (compression == 4 || compression == 5) {
      *err = "a bitmap holding a JPEG or PNG image is not supported";
      return false;
    }
  } else {
    *err = "not a bitmap file (unknown header of " + std::to_string(header) + " bytes)";
    return false;
  }
  if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
      width * height > kMaxBitmapPixels) {
    *err = "a bitmap of " + std::to_string(width) + "x" + std::to_string(height) +
           " pixels is out of range (at most " + std::to_string(kMaxBitmapSide) + " pixels a side)";
    return false;
  }
  // The decoder reads missing bytes as black: a file cut short is refused here instead.
  long long row = (width * bits + 31) / 32 * 4;
  if (static_cast<long long>(Le32(b, 10)) + row * height > static_cast<long long>(b.size())) {
    *err = "the bitmap file is cut short (" + std::to_string(b.size()) + " bytes)";
    return false;
  }
  return true;
}

}  // namespace

bool DecodeBitmap(std::string_view bytes, Bitmap* out, std::string* err) {
  if (!CheckHeader(bytes, err)) return false;
  int w = 0, h = 0, channels = 0;
  stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                          static_cast<int>(bytes.size()), &w, &h, &channels, 3);
  if (!pixels) {
    *err = std::string("the bitmap cannot be decoded: ") + stbi_failure_reason();
    return false;
  }
  out->width = w;
  out->height = h;
  out->rgb.assign(pixels, pixels + static_cast<size_t>(w) * h * 3);
  stbi_image_free(pixels);
  return true;
}

std::shared_ptr<const Bitmap> LoadBitmapFile(const Files& files, std::string_view path,
                                             std::string* err) {
  std::string bytes;
  if (!files.ReadAll(path, &bytes, err)) return nullptr;
  auto bitmap = std::make_shared<Bitmap>();
  if (!DecodeBitmap(bytes, bitmap.get(), err)) {
    *err = std::string(path) + ": " + *err;
    return nullptr;
  }
  return bitmap;
}

}  // namespace valico
