#pragma once

#include <cstdint>
#include <string>

namespace valico::testing {

inline void Put32(std::string* s, size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) (*s)[at + i] = static_cast<char>(v >> (8 * i));
}

// A Windows bitmap file of `width` x `height` pixels of 24 or 32 bits, bottom-up, white except
// the top-left pixel, which is red. Wider than 64 pixels: the header alone, which is enough
// for what a loader must refuse.
inline std::string BitmapFile(int width, int height, std::uint32_t compression = 0, int bits = 24) {
  int row = (width * bits / 8 + 3) / 4 * 4;
  std::string f(54, '\0');
  f[0] = 'B';
  f[1] = 'M';
  Put32(&f, 2, 54 + row * height);
  Put32(&f, 10, 54);
  Put32(&f, 14, 40);
  Put32(&f, 18, width);
  Put32(&f, 22, height);
  f[26] = 1;  // planes
  f[28] = static_cast<char>(bits);
  Put32(&f, 30, compression);
  if (width > 64) return f;
  std::string pixels(static_cast<size_t>(row) * height, '\xff');
  size_t top = static_cast<size_t>(row) * (height - 1);
  pixels[top] = 0, pixels[top + 1] = 0, pixels[top + 2] = '\xff';  // blue, green, red
  return f + pixels;
}

}  // namespace valico::testing
