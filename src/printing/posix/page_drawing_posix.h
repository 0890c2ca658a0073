#pragma once

#include <string>

#include "printing/page_layout.h"

namespace valico {

// Draws a laid-out page with cairo: white paper as wide as the printable width with a small
// margin, monospaced text (DejaVu Sans Mono) stretched to each font's cells, bars, bitmaps,
// and the notes in a grey column to the right of the paper. One dot is one pixel in the PNG;
// the PDF has the paper's real size at `dpi`. False with the reason.
bool DrawPagePng(const PageLayout& page, int dpi, const std::string& native_path, std::string* err);
bool DrawPagePdf(const PageLayout& page, int dpi, std::string* pdf, std::string* err);

}  // namespace valico
