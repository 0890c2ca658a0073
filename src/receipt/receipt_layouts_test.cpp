#include "receipt/receipt_layouts.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"
#include "printing/testing/direct_printers.h"
#include "printing/testing/recording_print_system.h"
#include "printing/trace.h"
#include "receipt/receipt_fields.h"

namespace valico {
namespace {

using Lines = std::vector<std::string>;

Lines Times(int n, const std::string& line) { return Lines(n, line); }
Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string Job(int receipt_lines) {
  std::string job = "I1 Trattoria\r\nI1 Via Roma 1\r\n";
  for (int k = 1; k <= receipt_lines; ++k) job += "RR Riga " + std::to_string(k) + "\r\n";
  return job + "I2 Tavolo 5\r\n";  // headers may come after the receipt lines
}

// The traces of the documents a job prints on a printer of `model`, one per page.
std::vector<Lines> Traces(const char* model, const std::string& job) {
  testing::TempFolder folder;
  testing::RecordingLog log;
  testing::RecordingPrintSystem recording;
  recording.installed = {{model, "COM3:"}};
  {
    testing::DirectPrinters direct(recording, log, folder.path());
    for (const auto& document : ReceiptDocuments(ParseRfModel(model), ReadReceiptFields(job)))
      EXPECT_TRUE(direct.printers.Apply(document));
  }
  std::vector<Lines> traces;
  for (const Document& document : recording.printed) {
    std::istringstream in(TraceText(document));
    traces.emplace_back();
    for (std::string line; std::getline(in, line);) traces.back().push_back(line);
  }
  return traces;
}

// The texts each page prints: the "print" operations of its trace.
std::vector<Lines> Pages(const char* model, const std::string& job) {
  std::vector<Lines> pages;
  for (const Lines& trace : Traces(model, job)) {
    pages.emplace_back();
    for (const std::string& op : trace)
      if (op.rfind("print ", 0) == 0) pages.back().push_back(op.substr(6));
  }
  return pages;
}

const Lines kHeader1 = {"Trattoria", "Via Roma 1", "", " ", " "};
const Lines kHeader2 = {"Tavolo 5", "", " ", " "};

TEST(ReceiptLayoutsTest, TmL90PageOfFiveLinesOperationByOperation) {
  Lines block = {"Riga 1", "Riga 2", "Riga 3", "Riga 4", "Riga 5", ""};
  Lines copy2 = Lines{"font fontB12", "size 10"} + kHeader1 + Lines{"font fontA11", "size 10"} +
                kHeader2 + Lines{"", ""} + block;
  Lines expected = Lines{"printer EPSON TM-L90 Receipt", "", "position y=0"} + copy2 +
                   Times(17, " ") + Lines{""} + Times(11, "") + copy2;
  for (std::string& line : expected)
    if (line.rfind("font ", 0) != 0 && line.rfind("size ", 0) != 0 &&
        line.rfind("position", 0) != 0 && line.rfind("printer ", 0) != 0)
      line = "print " + line;
  std::vector<Lines> traces = Traces(kRfTmL90, Job(5));
  ASSERT_EQ(traces.size(), 1u);
  EXPECT_EQ(traces[0], expected);
}

// Hand-counted from the job format: the pages a job of n receipt lines takes, the lines on
// its last page, and the filler there. Past 67 lines further pages of 22 follow.
struct Size {
  int n, pages, last_page_lines, filler;
};
constexpr Size kSizes[] = {{0, 1, 0, 0},   {5, 1, 5, 17},  {21, 1, 21, 0}, {22, 1, 22, 0},
                           {23, 1, 23, 0}, {24, 2, 1, 20}, {30, 2, 7, 14}, {43, 2, 20, 0},
                           {45, 2, 22, 0}, {46, 3, 1, 20}, {67, 3, 22, 0}, {82, 4, 15, 6}};

// The texts of page p (from 0) of a two-copy layout, with `top` before the first copy and
// `gap` empty lines between the copies.
Lines TwoCopyPage(const Size& s, int p, const Lines& top, int gap) {
  int first = p == 0 ? 1 : 24 + 22 * (p - 1);
  int room = p == 0 ? 23 : 22;
  int count = p + 1 < s.pages ? room : s.last_page_lines;
  Lines block;
  for (int k = first; k < first + count; ++k) block.push_back("Riga " + std::to_string(k));
  if (count < room) block.push_back("");  // the last line ended with CR LF
  Lines copy = kHeader1 + kHeader2 + Lines{"", ""} + block;
  Lines filler = p + 1 == s.pages ? Times(s.filler, " ") + Lines{""} : Lines{};
  return Lines{""} + top + copy + filler + Times(gap, "") + copy;
}

TEST(ReceiptLayoutsTest, BothTwoCopyLayoutsForEveryCountedSize) {
  for (const Size& s : kSizes) {
    SCOPED_TRACE("receipt lines: " + std::to_string(s.n));
    std::vector<Lines> l90 = Pages(kRfTmL90, Job(s.n));
    std::vector<Lines> kube = Pages(kRfKube, Job(s.n));
    ASSERT_EQ(l90.size(), static_cast<size_t>(s.pages));
    ASSERT_EQ(kube.size(), static_cast<size_t>(s.pages));
    for (int p = 0; p < s.pages; ++p) {
      EXPECT_EQ(l90[p], TwoCopyPage(s, p, {}, p == 0 ? 11 : 12)) << "TM-L90 page " << p + 1;
      EXPECT_EQ(kube[p], TwoCopyPage(s, p, Times(3, ""), p == 0 ? 4 : 5)) << "KUBE page " << p + 1;
    }
  }
}

TEST(ReceiptLayoutsTest, FiveHeaderLinesAreNotPaddedAndUnknownTagsAreDropped) {
  std::string job =
      "I1 a\r\nI1 b\r\nI1 c\r\nI1 d\r\nI1 e\r\nrr minuscola\r\nXX altro\r\nRR Riga 1\r\n";
  std::vector<Lines> pages = Pages(kRfTmL90, job);
  ASSERT_EQ(pages.size(), 1u);
  Lines start(pages[0].begin(), pages[0].begin() + 14);
  EXPECT_EQ(start, (Lines{"", "a", "b", "c", "d", "e", "", "", " ", " ", " ", "", "", "Riga 1"}));
}

TEST(ReceiptLayoutsTest, TmU295PrintsEveryRecordLessThreeCharactersOnFormsOf41) {
  for (int records : {82, 83}) {
    std::string job = "RR Riga 1\r\nrr minuscola\r\n";
    for (int k = 3; k <= records; ++k) job += "RR Riga " + std::to_string(k) + "\r\n";
    std::vector<Lines> traces = Traces(kRfTmU295, job);
    ASSERT_EQ(traces.size(), records == 82 ? 2u : 3u);
    Lines form1 = {"printer EPSON TM-U295 Slip"};
    for (int k = 1; k <= 41; ++k)
      form1 = form1 +
              Lines{"font FontB11", k == 2 ? "print minuscola" : "print Riga " + std::to_string(k)};
    EXPECT_EQ(traces[0], form1);
    EXPECT_EQ(traces[1].size(), 1 + 2 * 41u) << "the next form opens in FontB11";
    EXPECT_EQ(traces[1][2], "print Riga 42");
    if (records == 83) {
      EXPECT_EQ(Pages(kRfTmU295, job)[2], Lines{"Riga 83"});
    }
  }
}

}  // namespace
}  // namespace valico
