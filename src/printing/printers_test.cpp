#include "printing/printers.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/testing/recording_log.h"
#include "printing/ops.h"
#include "printing/testing/recording_print_system.h"
#include "printing/trace.h"

namespace valico {
namespace {

using namespace ops;

// Takes every job as it comes, and says it printed it.
class RecordingOutlet : public PrintOutlet {
 public:
  SubmitResult Submit(std::vector<Document> documents, const SourceFile* source) override {
    jobs.push_back(std::move(documents));
    sources.push_back(source ? source->native_path : "");
    return {Submitted::kPrinted, "recorded"};
  }
  std::vector<std::vector<Document>> jobs;
  std::vector<std::string> sources;
};

std::vector<std::string> Trace(const Document& d) {
  std::vector<std::string> t;
  for (const PrinterOp& op : d.ops) t.push_back(Describe(op));
  return t;
}

// Two installed printers, no default unless a test names one.
class PrintersTest : public ::testing::Test {
 protected:
  PrintersTest() { system.installed = {{"Prima", "COM1:"}, {"Seconda", "COM2:"}}; }
  testing::RecordingPrintSystem system;
  RecordingOutlet outlet;
  testing::RecordingLog log;
};

TEST_F(PrintersTest, CurrentPrinterIsTheDefaultElseTheFirstUntilAnotherIsMadeCurrent) {
  {
    system.default_printer = "Seconda";
    Printers p(system, outlet, log);
    EXPECT_EQ(p.Current(), "Seconda");
    p.MakeCurrent("Prima");
    EXPECT_EQ(p.Current(), "Prima");
  }
  system.default_printer = "";
  EXPECT_EQ(Printers(system, outlet, log).Current(), "Prima");
  system.installed.clear();
  EXPECT_EQ(Printers(system, outlet, log).Current(), "");
}

TEST_F(PrintersTest, DocumentsOpenAtTheFirstOutputWithTheTextStateAndEndAsOneJob) {
  Printers p(system, outlet, log);
  p.Apply({FontName("FontA11"), FontSize(9.5), Bold(true), Colour(kRed), Position(0, 0),
           EndDocument()});
  EXPECT_TRUE(outlet.jobs.empty()) << "nothing printed: nothing sent";
  p.Apply({Print("Uno\r\nDue\r\n"), Bold(false), Print(std::string("a\0b\tc", 5))});
  // The other printer keeps its own state and document meanwhile.
  p.MakeCurrent("Seconda");
  p.Apply({FontName("FontB11"), Print("Altro")});
  p.MakeCurrent("Prima");
  EXPECT_EQ(p.State().font, "FontA11");
  p.Apply(EndDocument());
  p.Apply(Print("Dopo"));
  p.Apply(EndDocument());

  ASSERT_EQ(outlet.jobs.size(), 2u);
  EXPECT_EQ(outlet.jobs[0][0].printer, "Prima");
  EXPECT_EQ(Trace(outlet.jobs[0][0]),
            (std::vector<std::string>{"font FontA11", "size 9.5", "bold on", "colour 255,0,0",
                                      "position x=0 y=0", "print Uno", "print Due", "print ",
                                      "bold off", "print a b c"}));
  EXPECT_EQ(Trace(outlet.jobs[1][0]),
            (std::vector<std::string>{"font FontA11", "size 9.5", "colour 255,0,0", "print Dopo"}));
  EXPECT_TRUE(log.Contains("2 control bytes in a printed text are printed as blanks"));
}

TEST_F(PrintersTest, WrongInputIsRefusedWithItsReasonAndTheStateKept) {
  Printers p(system, outlet, log);
  p.Apply({FontName("FontB11"), FontSize(10), FontName(std::string(300, 'F')), FontSize(-1),
           FontSize(std::nan("")), DrawBitmap(nullptr)});
  EXPECT_EQ(p.State(), (Printers::TextState{"FontB11", 10, false, kBlack}));
  EXPECT_FALSE(p.HasOpenDocument());
  EXPECT_TRUE(log.Contains("has 300 characters, more than a font name can have (31)"));
  EXPECT_TRUE(log.Contains("font size -1 is out of range"));
  EXPECT_TRUE(log.Contains("a bitmap that was not loaded is not drawn"));
}

TEST_F(PrintersTest, ABatchGoesAsOneJobPerPrinterAndOpenDocumentsGoAtExit) {
  {
    Printers p(system, outlet, log);
    p.BeginBatch();
    p.Apply({Print("Logo"), EndDocument(), Print("Conto"), EndDocument(), Print("Resto")});
    EXPECT_TRUE(outlet.jobs.empty()) << "collected until the batch is submitted";
    SourceFile source{"/borea/rf.txt", {}};
    EXPECT_EQ(p.SubmitBatch(&source).status, Submitted::kPrinted);
    ASSERT_EQ(outlet.jobs.size(), 1u);
    EXPECT_EQ(outlet.jobs[0].size(), 2u);
    EXPECT_EQ(outlet.sources[0], "/borea/rf.txt");
    EXPECT_EQ(p.SubmitBatch().status, Submitted::kNothingToPrint);
    p.MakeCurrent("Seconda");
    p.Apply(Print("Ultimo"));
  }
  ASSERT_EQ(outlet.jobs.size(), 3u) << "the two documents left open at exit";
  EXPECT_EQ(Trace(outlet.jobs[1][0]), (std::vector<std::string>{"print Resto"}));
  EXPECT_EQ(Trace(outlet.jobs[2][0]), (std::vector<std::string>{"print Ultimo"}));
  EXPECT_TRUE(log.Contains("Valico exits with a document open on printer \"Seconda\""));
}

}  // namespace
}  // namespace valico
