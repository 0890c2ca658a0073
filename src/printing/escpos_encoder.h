#pragma once

#include <string>
#include <vector>

#include "printing/document.h"
#include "printing/printer_profile.h"

namespace valico {

// One document as the ESC/POS bytes a receipt printer with `profile` takes: initialise and
// select the code page once, then each line with the commands of its font, bold and colour,
// the control font's commands, barcode fonts as barcodes, bitmaps as raster images, and the
// profile's end-of-document bytes. *notes (when given) receives what the bytes leave out and
// why: control characters without a command, texts a barcode cannot carry, moves a roll
// cannot make.
std::string EncodeEscPos(const Document& doc, const PrinterProfile& profile,
                         std::vector<std::string>* notes = nullptr);

// A bitmap in its own size on a printer of `dpi` dots per inch (PictureDots: each pixel
// sampled onto the dots it covers) as raster images (GS v 0), `x` dots from the left margin,
// clipped to `width_dots`, in bands of at most 255 rows. A dot prints when its pixel is darker
// than mid-grey.
std::string RasterImage(const Bitmap& bitmap, int x, int width_dots, int dpi);

}  // namespace valico
