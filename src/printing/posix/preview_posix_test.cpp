#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "platform/testing/temp_folder.h"
#include "printing/ops.h"
#include "printing/page_layout.h"
#include "printing/preview.h"

namespace valico {
namespace {

using namespace ops;

TEST(PreviewPosixTest, TheLogoAndRedLinesAreDrawnAndTheBarsDecodeToTheCodePrinted) {
  testing::TempFolder folder;
  auto logo = std::make_shared<Bitmap>(Bitmap{2, 1, {0, 0, 255, 0, 0, 255}});  // blue
  Document doc{
      "SAMSUNG SRP-350 Receipt",
      {DrawBitmap(logo), FontName("FontA11"), Colour(kRed), Print("ROSSO ROSSO"), Colour(kBlack),
       Print("NERO NERO"), FontName("FontControl"), Print("r"), Print("x"), FontSize(18),
       FontName("JAN13(EAN)"), Print("800123456789"), FontName("FontControl"), Print("P")}};
  std::vector<std::string> files;
  std::string err;
  ASSERT_TRUE(WritePreviewFiles(doc, PrinterProfile{}, folder / "Anteprime", &files, &err)) << err;
  std::string base = folder / "Anteprime/0001-SAMSUNG_SRP-350_Receipt";
  EXPECT_EQ(files, (std::vector<std::string>{base + ".txt", base + ".png", base + ".pdf"}));

  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> png(
      cairo_image_surface_create_from_png((base + ".png").c_str()), cairo_surface_destroy);
  ASSERT_EQ(cairo_surface_status(png.get()), CAIRO_STATUS_SUCCESS);
  const unsigned char* data = cairo_image_surface_get_data(png.get());
  int stride = cairo_image_surface_get_stride(png.get());
  int blue_pixels = 0, red_pixels = 0, last_red_row = -1, first_black_row = -1;
  for (int y = 0; y < cairo_image_surface_get_height(png.get()); ++y) {
    for (int x = 0; x < cairo_image_surface_get_width(png.get()); ++x) {
      std::uint32_t px = reinterpret_cast<const std::uint32_t*>(data + y * stride)[x];
      int r = px >> 16 & 0xff, g = px >> 8 & 0xff, b = px & 0xff;
      if (r < 60 && g < 60 && b > 150) ++blue_pixels;
      if (r > 150 && g < 60 && b < 60) ++red_pixels, last_red_row = y;
      if (r < 60 && g < 60 && b < 60 && first_black_row < 0) first_black_row = y;
    }
  }
  EXPECT_GT(blue_pixels, 0) << "the logo is drawn";
  EXPECT_GT(red_pixels, 200);
  EXPECT_LT(last_red_row, first_black_row) << "only the first line is red";

  std::system(("zbarimg --quiet --raw " + base + ".png >" + base + ".bars; pdftotext " + base +
               ".pdf " + base + ".text")
                  .c_str());
  EXPECT_EQ(folder.Read("Anteprime/0001-SAMSUNG_SRP-350_Receipt.bars"), "8001234567897\n");
  std::string text = folder.Read("Anteprime/0001-SAMSUNG_SRP-350_Receipt.text");
  EXPECT_NE(text.find("ROSSO ROSSO"), std::string::npos) << text;
  EXPECT_NE(text.find("cut"), std::string::npos) << "the control command's note: " << text;
}

TEST(PreviewPosixTest, AMegabyteLineAndControlBytesAreDrawnUpToTheTallestPage) {
  testing::TempFolder folder;
  std::string line(1 << 20, 'x');
  line[10] = '\0';
  line[11] = '\xff';
  std::vector<std::string> files;
  std::string err;
  ASSERT_TRUE(
      WritePreviewFiles({"P", {Print(line)}}, PrinterProfile{}, folder.path(), &files, &err))
      << err;
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> png(
      cairo_image_surface_create_from_png(files[1].c_str()), cairo_surface_destroy);
  ASSERT_EQ(cairo_surface_status(png.get()), CAIRO_STATUS_SUCCESS);
  EXPECT_LE(cairo_image_surface_get_height(png.get()), kMaxPageDots + 100);
  EXPECT_NE(folder.Read("0001-P.txt").find("more lines are not drawn"), std::string::npos);
}

}  // namespace
}  // namespace valico
