#include "printing/win32/gdi_renderer_win32.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/testing/metafile_records_win32.h"
#include "printing/ops.h"

namespace valico {
namespace {

using testing::LineHeightOf;
using testing::MetafileRecords;
using testing::ReadMetafile;

using namespace ops;

PrinterOp Picture(int w, int h, std::vector<std::uint8_t> rgb) {
  return DrawBitmap(std::make_shared<Bitmap>(Bitmap{w, h, std::move(rgb)}));
}

// Renders into a metafile in memory and reads back what reached the DC.
MetafileRecords Render(const std::vector<PrinterOp>& ops, GdiRenderResult* result,
                       GdiCanvas canvas = {}) {
  canvas.dc = ::CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(::GetDeviceCaps(canvas.dc, LOGPIXELSY), 96) << "the heights below are for 96 dpi";
  std::string err;
  EXPECT_TRUE(RenderWithGdi(ops, canvas, result, &err)) << err;
  HENHMETAFILE emf = ::CloseEnhMetaFile(canvas.dc);
  MetafileRecords records = ReadMetafile(emf);
  ::DeleteEnhMetaFile(emf);
  return records;
}

TEST(GdiRendererTest, FontHeightIsThePointSizeAtTheDeviceResolutionRoundedOnce) {
  // 23.75, 21.25 and 28.19 units; a size never set or not a size is the device's default.
  struct {
    double points;
    int dpi, height;
  } cases[] = {{9.5, 180, -24}, {8.5, 180, -21}, {10, 203, -28}, {18, 96, -24},
               {0, 180, 0},     {-4, 180, 0},    {NAN, 180, 0},  {1e12, 300, -32767}};
  for (const auto& c : cases)
    EXPECT_EQ(GdiFontHeight(c.points, c.dpi), c.height) << c.points << " pt at " << c.dpi;
}

TEST(GdiRendererTest, DrawsFontsTextsColoursLinesAndPicturesAsTheDocumentSays) {
  // 2 x 2 pixels: red, green on the top row; blue, white below.
  std::vector<std::uint8_t> pixels = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
  GdiRenderResult result;
  // clang-format off
  MetafileRecords got = Render({
      FontName("FontA11"), FontSize(9.5), Bold(false), Colour(kBlack), Print("Caff\xe8 1,20 \x80"),
      FontName("Courier New"), FontSize(14), Bold(true), Colour(kRed), Print("Totale\r\nGrazie"),
      Bold(false), Colour(kBlack), FontName("JAN13(EAN)"), FontSize(18), Print("8001234567895"),
      Print(""), Print("fine"),
      Position(36, 0), Print("in alto"),
      Position(std::nullopt, 72), Picture(2, 2, pixels), Print("sul logo")}, &result);
  // clang-format on

  struct Line {
    std::wstring text;
    const wchar_t* face;
    LONG height, weight;
    COLORREF colour;
    int x;
  } want[] = {
      {L"Caff\u00e8 1,20 \u20ac", L"FontA11", -13, FW_NORMAL, RGB(0, 0, 0), 0},
      {L"Totale", L"Courier New", -19, FW_BOLD, RGB(255, 0, 0), 0},
      {L"Grazie", L"Courier New", -19, FW_BOLD, RGB(255, 0, 0), 0},
      {L"8001234567895", L"JAN13(EAN)", -24, FW_NORMAL, RGB(0, 0, 0), 0},
      {L"fine", L"JAN13(EAN)", -24, FW_NORMAL, RGB(0, 0, 0), 0},
      {L"in alto", L"JAN13(EAN)", -24, FW_NORMAL, RGB(0, 0, 0), 48},  // 36 pt at 96 dpi
      {L"sul logo", L"JAN13(EAN)", -24, FW_NORMAL, RGB(0, 0, 0), 0},  // a line ends at x 0
  };
  ASSERT_EQ(got.texts.size(), std::size(want));
  for (std::size_t i = 0; i < std::size(want); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(got.texts[i].text, want[i].text);
    EXPECT_STREQ(got.texts[i].font.lfFaceName, want[i].face);
    EXPECT_EQ(got.texts[i].font.lfHeight, want[i].height);
    EXPECT_EQ(got.texts[i].font.lfWeight, want[i].weight);
    EXPECT_EQ(got.texts[i].colour, want[i].colour);
    EXPECT_EQ(got.texts[i].at.x, want[i].x);
  }
  // Each line starts one line of its font below the last; the empty print is a line too.
  const auto& t = got.texts;
  EXPECT_EQ(t[0].at.y, 0);
  for (int i : {0, 1, 2}) EXPECT_EQ(t[i + 1].at.y - t[i].at.y, LineHeightOf(t[i].font)) << i;
  EXPECT_EQ(t[4].at.y - t[3].at.y, 2 * LineHeightOf(t[3].font));
  EXPECT_EQ(t[5].at.y, 0);
  EXPECT_EQ(t[6].at.y, 96);
  // The picture at the position in its own size, its pixels in their places; it does not move
  // the position, so the next line prints over it.
  ASSERT_EQ(got.bitmaps.size(), 1u);
  const auto& b = got.bitmaps[0];
  EXPECT_EQ(std::vector<LONG>({b.x, b.y, b.cx, b.cy}), std::vector<LONG>({0, 96, 2, 2}));
  EXPECT_EQ(b.rgb, pixels);
  EXPECT_TRUE(result.notes.empty());
}

TEST(GdiRendererTest, StartsANewPageWhenTheNextLineWouldPassThePrintableHeight) {
  std::vector<PrinterOp> ops = {FontName("Courier New"), FontSize(12)};
  for (int i = 0; i < 5; ++i) ops.push_back(Print("riga"));
  GdiRenderResult result;
  int line = LineHeightOf(Render(ops, &result).texts[0].font);
  int pages = 1;
  GdiCanvas canvas{nullptr, line * 3 + line / 2, [&](std::string*) { return ++pages, true; }};
  result = {};
  MetafileRecords got = Render(ops, &result, canvas);
  std::vector<LONG> ys;
  for (const auto& t : got.texts) ys.push_back(t.at.y);
  EXPECT_EQ(ys, std::vector<LONG>({0, line, 2 * line, 0, line}));
  EXPECT_EQ(pages, 2);
  EXPECT_EQ(result.bottom, 3 * line);

  // A device that refuses the new page breaks the job.
  canvas.new_page = [](std::string* err) { return *err = "no paper", false; };
  canvas.dc = ::CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  std::string err;
  EXPECT_FALSE(RenderWithGdi(ops, canvas, &result, &err));
  EXPECT_EQ(err, "no paper");
  ::DeleteEnhMetaFile(::CloseEnhMetaFile(canvas.dc));
}

TEST(GdiRendererTest, BadInputIsDrawnOrLeftOutWithAReasonNeverACrash) {
  std::string long_face(300, 'F');
  std::string megabyte(1 << 20, 'x');
  GdiRenderResult result;
  MetafileRecords got =
      Render({FontName(long_face), FontSize(NAN), Print(std::string("a\0b", 3)),
              FontName(std::string("Ar\0ial", 6)), FontSize(1e300), Position(INFINITY, NAN),
              Print(megabyte), EndDocument(), DrawBitmap(nullptr),
              Picture(2, 2, std::vector<std::uint8_t>(5)), Picture(100000, 100000, {}),
              Picture(30000, 1, std::vector<std::uint8_t>(90000, 0))},
             &result);
  ASSERT_EQ(got.fonts.size(), 2u);
  EXPECT_EQ(std::wstring(got.fonts[0].lfFaceName), std::wstring(31, L'F'));
  EXPECT_EQ(got.fonts[0].lfHeight, 0);
  EXPECT_STREQ(got.fonts[1].lfFaceName, L"Ar");
  EXPECT_EQ(got.fonts[1].lfHeight, -32767);
  ASSERT_EQ(got.texts.size(), 2u);
  EXPECT_EQ(got.texts[0].text, std::wstring(L"a\0b", 3));
  EXPECT_EQ(got.texts[1].text.size(), megabyte.size());
  ASSERT_EQ(got.bitmaps.size(), 1u);
  EXPECT_EQ(got.bitmaps[0].cx, 30000);
  ASSERT_EQ(result.notes.size(), 3u);
  EXPECT_EQ(result.notes[0], "a bitmap operation without a picture was left out");
  EXPECT_EQ(result.notes[1],
            "a bitmap of 2 x 2 pixels with 5 bytes of colour is damaged and was left out");
  EXPECT_EQ(result.notes[2],
            "a bitmap of 100000 x 100000 pixels is too large to print and was left out");
}

}  // namespace
}  // namespace valico
