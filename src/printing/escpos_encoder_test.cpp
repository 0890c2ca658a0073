#include "printing/escpos_encoder.h"

#include <gtest/gtest.h>

#include "printing/ops.h"
#include "printing/page_layout.h"
#include "printing/printer_declarations.h"

namespace valico {
namespace {

using namespace ops;

std::string H(std::string_view hex) {
  std::string bytes;
  EXPECT_TRUE(ParseHexBytes(hex, &bytes)) << hex;
  return bytes;
}

std::string Spaced(const std::string& bytes) {
  std::string s;
  char buf[4];
  for (unsigned char c : bytes) std::snprintf(buf, sizeof buf, "%02X ", c), s += buf;
  return s;
}

// A 10 x 2 bitmap: the first pixel of the top row and the last of the bottom row black.
std::shared_ptr<const Bitmap> Corners() {
  auto b = std::make_shared<Bitmap>();
  b->width = 10;
  b->height = 2;
  b->rgb.assign(10 * 2 * 3, 0xff);
  std::fill_n(b->rgb.begin(), 3, 0);
  std::fill_n(b->rgb.begin() + (10 + 9) * 3, 3, 0);
  return b;
}

TEST(EscPosEncoderTest, DocumentsBecomeTheBytesOfTheReference) {
  const std::string init = H("1B 40 1B 74 10");
  PrinterProfile roll;
  PrinterProfile slip = SlipPrinterProfile();
  PrinterProfile pc858;
  pc858.code_page = 858;
  struct Case {
    const char* name;
    PrinterProfile profile;
    std::vector<PrinterOp> ops;
    std::string bytes;
    std::vector<std::string> notes;
  } cases[] = {
      {"device fonts, outline fonts, bold and red lines",
       roll,
       {FontName("FontA11"), Print("A"), FontName("fontB12"), Bold(true), Colour(kRed), Print("B"),
        FontName("FontA12cpi"), Bold(false), Colour(kBlack), Print("C"), FontName("Courier New"),
        FontSize(14), Print("D"), FontName("FontB17cpi"), Print("E"), FontName("FontA2x1"),
        Print("F")},
       init + "A\n" + H("1B 4D 01 1D 21 01 1B 45 01 1B 72 01") + "B\n" +
           H("1B 4D 00 1D 21 00 1B 45 00 1B 20 03 1B 72 00") + "C\n" + H("1D 21 01 1B 20 00") +
           "D\n" + H("1B 4D 01 1D 21 00 1B 20 01") + "E\n" + H("1B 4D 00 1D 21 10 1B 20 00") +
           "F\n",
       {}},
      {"every control character, under both names of the control font",
       roll,
       {FontName("FontControl"), Print("w"), Print("A"), Print("e"), Print("G"), Print("K"),
        Print("x"), Print("y"), Print("r"), Print("p"), Print(" "), Print("g"), Print("F"),
        Print("Z"), Print(""), FontName("CONTROL"), Print("P")},
       init + H("1B 61 00  1B 70 00 19 19  1B 70 01 7D 7D  1C 70 01 00  1C 70 05 00  1B 61 01 "
                "1B 61 02  1D 48 02  1D 48 00  0A  1D 56 01  1D 56 41 00  1D 56 42 00"),
       {"control \"Z\": no command"}},
      {"EAN-13 gets its check digit; a wrong one prints as text; Code 128 in code set B",
       roll,
       {FontSize(18), FontName("JAN13(EAN)"), Print("800123456789"), Print("8001234567890"),
        FontSize(10), FontName("code128"), Print("AB1")},
       init + H("1D 68 2D 1D 77 02 1D 66 00 1D 6B 43 0D") + "8001234567897" + "8001234567890\n" +
           H("1D 68 19 1D 77 02 1D 66 00 1D 6B 49 05") + "{BAB1",
       {"JAN13(EAN): EAN-13 8001234567890 has a wrong check digit (7 expected); printed as "
        "text"}},
      {"a bitmap at the top in its own size (10 x 2 pixels at 96 per inch: 18 x 3 dots), "
       "then a line moved right",
       roll,
       {Position(0, 0), DrawBitmap(Corners()), Position(8, std::nullopt), Print("x")},
       init + H("1D 76 30 00 03 00 03 00  C0 00 00  C0 00 00  00 00 40  1B 24 14 00") + "x\n",
       {}},
      {"slip printer: ESC ! only, a blank line before the top of the form dropped, form fed",
       slip,
       {Print(""), Position(std::nullopt, 0), FontName("FontB11"), Bold(true), Print("A"),
        FontName("FontA12"), Print("B"), Print(""), FontName("FontControl"), Print("P")},
       init + H("1B 21 09") + "A\n" + H("1B 21 18") + "B\n\n" + H("0C"),
       {}},
      {"code page 858: accented letters and the euro transcoded, control bytes blank",
       pc858,
       {Print(std::string("\x80 \xe8\xe0\xb0", 5)), Print(std::string("a\0b\x1b", 4))},
       H("1B 40 1B 74 13 D5 20 8A 85 F8 0A") + "a b \n",
       {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> notes;
    std::string bytes = EncodeEscPos(Document{"P", c.ops}, c.profile, &notes);
    EXPECT_EQ(Spaced(bytes), Spaced(c.bytes)) << c.name;
    EXPECT_EQ(notes, c.notes) << c.name;
  }
}

TEST(EscPosEncoderTest, TallAndWideBitmapsGoInBandsClippedToThePaper) {
  Bitmap b;
  b.width = 600;
  b.height = 300;
  b.rgb.assign(600 * 300 * 3, 0);
  std::string raster = RasterImage(b, 0, 512, 96);  // one dot per pixel
  // Two bands of 255 and 45 rows, 64 bytes (512 dots) each.
  EXPECT_EQ(Spaced(raster.substr(0, 8)), Spaced(H("1D 76 30 00 40 00 FF 00")));
  size_t second = 8 + 64 * 255;
  EXPECT_EQ(Spaced(raster.substr(second, 8)), Spaced(H("1D 76 30 00 40 00 2D 00")));
  EXPECT_EQ(raster.size(), second + 8 + 64 * 45);
  EXPECT_EQ(RasterImage(b, 512, 512, 96), "") << "nothing left of the paper";
}

// A bitmap is a picture of 96 pixels per inch, as GDI draws it on any printer: one inch of
// logo is one inch of paper in the bytes and in the preview, at every resolution.
TEST(EscPosEncoderTest, ABitmapIsAsLargeOnPaperAsWindowsPrintsIt) {
  auto inch = std::make_shared<Bitmap>(Bitmap{96, 48, std::vector<std::uint8_t>(96 * 48 * 3)});
  for (int dpi : {180, 203}) {
    PrinterProfile p;
    p.dpi = dpi;
    p.width_dots = 576;
    std::string raster = RasterImage(*inch, 0, p.width_dots, dpi);
    int row_bytes = (dpi + 7) / 8;
    EXPECT_EQ(raster.substr(4, 4),
              std::string({static_cast<char>(row_bytes), 0, static_cast<char>(dpi / 2), 0}));
    PageLayout page = LayoutPage(Document{"P", {DrawBitmap(inch)}}, p);
    ASSERT_EQ(page.images.size(), 1u);
    EXPECT_EQ(page.images[0].width, dpi);
    EXPECT_EQ(page.images[0].height, dpi / 2);
  }
}

}  // namespace
}  // namespace valico
