#include "printing/bitmap_file.h"

#include <gtest/gtest.h>

#include "printing/testing/bitmap_files.h"

namespace valico {
namespace {

using testing::BitmapFile;

TEST(BitmapFileTest, DecodesWindowsBitmapsAndRefusesOtherFilesWithAReason) {
  Bitmap b;
  std::string err;
  for (int bits : {24, 32}) {
    ASSERT_TRUE(DecodeBitmap(BitmapFile(3, 2, 0, bits), &b, &err)) << bits << ": " << err;
    EXPECT_EQ(b.width, 3);
    EXPECT_EQ(b.height, 2);
    EXPECT_EQ(std::vector<std::uint8_t>(b.rgb.begin(), b.rgb.begin() + 6),
              (std::vector<std::uint8_t>{255, 0, 0, 255, 255, 255}))
        << bits << " bits: rows from the top, red first";
  }

  struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } refused[] = {
      {"a PNG", "\x89PNG\r\n\x1a\n0000000000000000000000000000", "not a bitmap file"},
      {"run-length compressed", BitmapFile(3, 2, 1),
       "run-length compressed bitmaps are not supported"},
      {"30,000 pixels wide", BitmapFile(30000, 10), "a bitmap of 30000x10 pixels is out of range"},
      {"cut short", BitmapFile(3, 2).substr(0, 60), "the bitmap file is cut short (60 bytes)"},
  };
  for (const auto& c : refused) {
    err.clear();
    EXPECT_FALSE(DecodeBitmap(c.bytes, &b, &err)) << c.name;
    EXPECT_NE(err.find(c.reason), std::string::npos) << c.name << ": " << err;
  }
}

}  // namespace
}  // namespace valico
