#include "printing/queue_file.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "printing/ops.h"

namespace valico {
namespace {

using namespace ops;
using namespace std::string_literals;

std::shared_ptr<const Bitmap> Picture(int width, int height) {
  auto b = std::make_shared<Bitmap>();
  b->width = width;
  b->height = height;
  for (int i = 0; i < width * height * 3; ++i) b->rgb.push_back(static_cast<std::uint8_t>(i * 37));
  return b;
}

QueueFile Job(std::string printer, std::vector<std::vector<PrinterOp>> documents) {
  QueueFile job{printer, 1712345678901, {}, {}};
  for (auto& ops : documents) job.documents.push_back(Document{printer, std::move(ops)});
  return job;
}

// A small job of every kind of line, which the truncations and corruptions start from.
QueueFile Sample() {
  auto logo = Picture(2, 2);
  QueueFile job = Job("SAMSUNG SRP-500", {{FontName("FontA11"), FontSize(8.5), Bold(true),
                                           Colour(kRed), Print("Conto"), Position(0, {})},
                                          {DrawBitmap(logo), DrawBitmap(logo), EndDocument()}});
  job.source = SourceFile{"/var/lib/valico/CortBorea/c1.txt", {2049, 131, 512, 17, 18, false}};
  return job;
}

TEST(QueueFileTest, ReadsBackEveryOperationExactly) {
  std::string every_byte;
  for (int c = 0; c < 256; ++c) every_byte += static_cast<char>(c);
  const double nan_with_payload = std::bit_cast<double>(std::uint64_t{0xfff0000000000123});
  const double inf = std::numeric_limits<double>::infinity();
  auto logo = Picture(240, 100);

  QueueFile shared = Job("P", {{DrawBitmap(logo), DrawBitmap(Picture(1, 1))}, {DrawBitmap(logo)}});
  shared.queued_ms = -1;
  shared.source = SourceFile{every_byte, {~0ull, 1, 2, INT64_MIN, INT64_MAX, true}};
  struct {
    const char* name;
    QueueFile job;
  } cases[] = {
      {"no document", Job("", {})},
      {"an empty document", Job("P", {{}})},
      {"every kind",
       Job("P", {{FontName("FontControl"), FontSize(9), Bold(true), Bold(false), Colour(kRed),
                  Colour({1, 2, 3}), Print("Conto"), Position(0, 12.25), Position({}, 3),
                  Position(-1, {}), Position({}, {}), DrawBitmap(logo), DrawBitmap(nullptr),
                  DrawBitmap(Picture(0, 0)), EndDocument()}})},
      {"texts of any byte",
       Job(every_byte, {{Print(every_byte), FontName("\r\n"), Print(""), Print("end\n"),
                         Print(std::string(3, '\0')), Print("5:x\nprint 1:y")}})},
      {"numbers not exact in decimal, and the extremes",
       Job("P", {{FontSize(9.5), FontSize(0.1), FontSize(1e-300), FontSize(-0.0),
                  FontSize(std::numeric_limits<double>::denorm_min()),
                  FontSize(std::numeric_limits<double>::max()), FontSize(inf),
                  FontSize(nan_with_payload), Position(std::nextafter(1.0, 2.0), -inf),
                  Position(1.0 / 3, nan_with_payload)}})},
      {"a source, and a bitmap several documents share", shared},
  };
  for (const auto& c : cases) {
    std::string bytes = EncodeQueueFile(c.job), err;
    QueueFile back;
    ASSERT_TRUE(DecodeQueueFile(bytes, &back, &err)) << c.name << ": " << err;
    EXPECT_TRUE(SameQueueFile(back, c.job)) << c.name;
  }

  std::string bytes = EncodeQueueFile(shared), err;
  QueueFile back;
  ASSERT_TRUE(DecodeQueueFile(bytes, &back, &err));
  EXPECT_EQ(back.documents[0].ops[0].bitmap, back.documents[1].ops[0].bitmap);
  EXPECT_NE(back.documents[0].ops[0].bitmap, back.documents[0].ops[1].bitmap);
  EXPECT_LT(bytes.size(), 2 * 240 * 100 * 3u) << "the shared logo is stored once";
}

TEST(QueueFileTest, KeepsTheFormatThatQueuedFilesWereWrittenIn) {
  EXPECT_EQ(EncodeQueueFile(Sample()),
            "VALICO-CODA 1\n"
            "printer 15:SAMSUNG SRP-500\n"
            "queued 1712345678901\n"
            "source 32:/var/lib/valico/CortBorea/c1.txt\n"
            "identity 2049 131 512 17 18 0\n"
            "document\n"
            "font 7:FontA11\n"
            "size 8.5\n"
            "bold 1\n"
            "colour 255 0 0\n"
            "print 5:Conto\n"
            "position 0 -\n"
            "document\n"
            "bitmap 0\n"
            "bitmap 0\n"
            "end-document\n"
            "pixels 0 2x2 12:"
            "\x00\x25\x4a\x6f\x94\xb9\xde\x03\x28\x4d\x72\x97"
            "\n"
            "end\n"s);
}

TEST(QueueFileTest, RefusesEveryTruncationAndCorruptionWithAReason) {
  const std::string sample = EncodeQueueFile(Sample());
  QueueFile out;
  out.printer = "untouched";
  std::string err;
  for (std::size_t n = 0; n < sample.size(); ++n) {
    err.clear();
    EXPECT_FALSE(DecodeQueueFile(sample.substr(0, n), &out, &err)) << n << " bytes";
    EXPECT_FALSE(err.empty()) << n << " bytes";
  }
  EXPECT_EQ(out.printer, "untouched");

  auto with = [&](std::string_view from, std::string_view to) {
    std::string s = sample;
    return s.replace(s.find(from), from.size(), to);
  };
  struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } corrupt[] = {
      {"a length larger than the rest", with("print 5:", "print 999:"),
       "a text of 999 bytes runs past the end of the file"},
      {"a later version", with("CODA 1", "CODA 2"), "version '2' (this build reads version 1)"},
      {"another file", "[VARIE]\r\nMF_Vuoto=-1\r\n", "line 1: not a queue file"},
      {"a bitmap wider than the limit", with("2x2 12:", "8193x1 12:"), "8193x1 pixels is out"},
      {"a bitmap of too many pixels", with("2x2 12:", "4097x4097 12:"), "4097x4097 pixels is out"},
      {"pixels of another size", with("2x2 12:", "2x1 12:"), "12 bytes of pixels for a bitmap"},
      {"a bitmap without pixels", with("pixels 0", "pixels 1"), "pixels of bitmap 1 where"},
      {"a colour out of range", with("255 0 0", "256 0 0"), "line 10: 256 is out of range"},
      {"an unknown line", with("bold 1", "bald 1"), "'bald' has no place here"},
      {"an operation after the pixels", with("end\n", "bold 1\nend\n"), "'bold' has no place"},
      {"bytes after the end", sample + "\n", "bytes after the end marker"},
  };
  for (const auto& c : corrupt) {
    err.clear();
    EXPECT_FALSE(DecodeQueueFile(c.bytes, &out, &err)) << c.name;
    EXPECT_NE(err.find(c.reason), std::string::npos) << c.name << ": " << err;
  }
}

}  // namespace
}  // namespace valico
