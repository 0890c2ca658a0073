#include "printing/bitmap_file.h"

#include <gtest/gtest.h>

namespace valico {
namespace {

void Put32(std::string* s, size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) (*s)[at + i] = static_cast<char>(v >> (8 * i));
}

// A Windows bitmap file of `width` x `height` 24-bit pixels, bottom-up, every pixel `bgr`
// except the top-left one, which is red.
std::string Bmp(int width, int height, std::uint32_t compression = 0) {
  int row = (width * 3 + 3) / 4 * 4;
  std::string f(54, '\0');
  f[0] = 'B';
  f[1] = 'M';
  Put32(&f, 2, 54 + row * height);
  Put32(&f, 10, 54);
  Put32(&f, 14, 40);
  Put32(&f, 18, width);
  Put32(&f, 22, height);
  f[26] = 1;   // planes
  f[28] = 24;  // bits per pixel
  Put32(&f, 30, compression);
  if (width > 64) return f;  // the header is enough for what must be refused
  std::string pixels(static_cast<size_t>(row) * height, '\xff');
  size_t top = static_cast<size_t>(row) * (height - 1);
  pixels[top] = 0, pixels[top + 1] = 0, pixels[top + 2] = '\xff';  // blue, green, red
  return f + pixels;
}

TEST(BitmapFileTest, DecodesWindowsBitmapsAndRefusesOtherFilesWithAReason) {
  Bitmap b;
  std::string err;
  ASSERT_TRUE(DecodeBitmap(Bmp(3, 2), &b, &err)) << err;
  EXPECT_EQ(b.width, 3);
  EXPECT_EQ(b.height, 2);
  EXPECT_EQ(std::vector<std::uint8_t>(b.rgb.begin(), b.rgb.begin() + 6),
            (std::vector<std::uint8_t>{255, 0, 0, 255, 255, 255}))
      << "rows from the top, red first";

  struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } refused[] = {
      {"a PNG", "\x89PNG\r\n\x1a\n0000000000000000000000000000", "not a bitmap file"},
      {"run-length compressed", Bmp(3, 2, 1), "run-length compressed bitmaps are not supported"},
      {"30,000 pixels wide", Bmp(30000, 10), "a bitmap of 30000x10 pixels is out of range"},
      {"cut short", Bmp(3, 2).substr(0, 60), "the bitmap file is cut short (60 bytes)"},
  };
  for (const auto& c : refused) {
    err.clear();
    EXPECT_FALSE(DecodeBitmap(c.bytes, &b, &err)) << c.name;
    EXPECT_NE(err.find(c.reason), std::string::npos) << c.name << ": " << err;
  }
  std::string whole = Bmp(5, 4);
  for (size_t n = 0; n < whole.size(); ++n) DecodeBitmap(whole.substr(0, n), &b, &err);
}

}  // namespace
}  // namespace valico
