#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "printing/document.h"

namespace valico {

class Files;

// The largest bitmap taken: 8,192 pixels a side and 16 million pixels (48 MB decoded). A
// receipt is at most 576 dots wide and a page printer's sheet about 5,000 at 600 dpi, so a
// larger "logo" is a wrong file, and decoding it would cost memory the till cannot spare.
inline constexpr int kMaxBitmapSide = 8192;
inline constexpr long long kMaxBitmapPixels = 16LL * 1024 * 1024;

// Decodes the bytes of a Windows bitmap file (.bmp: 1, 4, 8, 16, 24 or 32 bits per pixel,
// uncompressed or with bit fields, bottom-up or top-down). False with *err saying why for
// anything else: not a bitmap, run-length compressed, embedded JPEG/PNG, a size out of range,
// a truncated file.
bool DecodeBitmap(std::string_view bytes, Bitmap* out, std::string* err);

// Reads and decodes the bitmap file at `path` (a path as the settings give it).
std::shared_ptr<const Bitmap> LoadBitmapFile(const Files& files, std::string_view path,
                                             std::string* err);

}  // namespace valico
