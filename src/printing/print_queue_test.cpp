#include "printing/print_queue.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "platform/file_identity.h"
#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"
#include "printing/ops.h"
#include "printing/testing/recording_print_system.h"
#include "printing/trace.h"

namespace valico {
namespace {

using namespace std::chrono_literals;
using Mode = PrintQueueOptions::Mode;

// A printer that answers as the test says: it holds a delivery while `held` (until released
// or the queue stops), and fails while `failing` is set.
class ScriptedPrinter : public testing::RecordingPrintSystem {
 public:
  DeliveryResult Deliver(const Document& doc, std::stop_token stop) override {
    std::unique_lock lock(gate_mu);
    if (++attempts > hold_after) held = true;
    gate.notify_all();
    gate.wait(lock, stop, [&] { return !held; });
    if (stop.stop_requested()) return {Delivery::kFailed, "cut short"};
    if (failing) return {Delivery::kFailed, "connection refused"};
    lock.unlock();
    return RecordingPrintSystem::Deliver(doc, stop);
  }
  void Hold(bool on) {
    std::lock_guard lock(gate_mu);
    held = on;
    gate.notify_all();
  }
  // Waits until `n` deliveries have begun.
  bool WaitForAttempts(int n) {
    std::unique_lock lock(gate_mu);
    return gate.wait_for(lock, 10s, [&] { return attempts >= n; });
  }

  std::mutex gate_mu;
  std::condition_variable_any gate;
  bool held = false;
  int hold_after = 1 << 30;  // deliveries past this many are held
  bool failing = false;
  int attempts = 0;
};

Document Page(const std::string& text) { return {"Cassa", {ops::Print(text)}}; }

std::vector<std::string> Texts(const std::vector<Document>& docs) {
  std::vector<std::string> texts;
  for (const Document& d : docs) texts.push_back(d.ops.empty() ? "" : d.ops[0].text);
  return texts;
}

class PrintQueueTest : public ::testing::Test {
 protected:
  std::unique_ptr<PrintQueue> Queue(Mode mode = Mode::kService) {
    PrintQueueOptions o{folder.path(), mode};
    o.first_pause = 10ms;
    o.max_pause = 40ms;
    o.wait = wait;
    o.max_unprinted = 3;
    return std::make_unique<PrintQueue>(printer, log, o);
  }

  testing::TempFolder folder;
  testing::RecordingLog log;
  ScriptedPrinter printer;
  std::chrono::milliseconds wait = 10min;
};

TEST_F(PrintQueueTest, SubmitReturnsWhileThePrinterHoldsAndDocumentsGoOutOnceInOrder) {
  auto queue = Queue();
  printer.Hold(true);
  for (const char* text : {"uno", "due", "tre"}) {
    SubmitResult r = queue->Submit({Page(text)}, nullptr);
    EXPECT_EQ(r.status, Submitted::kQueued) << r.detail;
  }
  ASSERT_TRUE(printer.WaitForAttempts(1));
  EXPECT_TRUE(printer.printed.empty()) << "nothing is printed while the printer holds";
  EXPECT_EQ(queue->States().at(0).jobs, 3u);

  printer.Hold(false);
  ASSERT_TRUE(queue->WaitUntilIdle(10s));
  EXPECT_EQ(Texts(printer.printed), (std::vector<std::string>{"uno", "due", "tre"}));
  EXPECT_EQ(log.Count("queued"), 3);
  EXPECT_EQ(log.Count("printed (recorded)"), 3);
  for (const auto& left : std::filesystem::recursive_directory_iterator(folder / "CodaStampa"))
    EXPECT_FALSE(left.is_regular_file()) << left.path() << " left behind";
}

TEST_F(PrintQueueTest, AnUnreachablePrinterIsTriedAgainThenItsDocumentsAreSetAsideWithTheReason) {
  wait = 150ms;
  printer.failing = true;
  auto queue = Queue();
  queue->Submit({Page("uno"), Page("due")}, nullptr);
  queue->Submit({Page("tre")}, nullptr);
  ASSERT_TRUE(queue->WaitUntilIdle(10s));
  EXPECT_GE(printer.attempts, 4) << "tried again before it was set aside";
  EXPECT_TRUE(printer.printed.empty());
  EXPECT_EQ(log.Count("not delivered (connection refused); tried again"), 1) << "said once";
  EXPECT_EQ(log.Count("not printed (connection refused): kept as"), 3);
  EXPECT_EQ(log.Count("printed (recorded)"), 0) << "never said printed";

  std::string err;
  std::vector<UnprintedDocuments::Entry> kept = queue->unprinted().List(&err);
  ASSERT_EQ(kept.size(), 3u);
  EXPECT_EQ(kept[0].reason, "connection refused");
  EXPECT_EQ(kept[0].printer, "Cassa");
  QueueFile again;
  ASSERT_TRUE(queue->unprinted().Read(kept[2].number, &again, &err)) << err;
  EXPECT_EQ(Texts(again.documents), (std::vector<std::string>{"tre"})) << "printable again";

  printer.failing = false;  // the printer is back: its next document prints at once
  queue->Submit({Page("quattro")}, nullptr);
  ASSERT_TRUE(queue->WaitUntilIdle(10s));
  EXPECT_EQ(Texts(printer.printed), (std::vector<std::string>{"quattro"}));
}

TEST_F(PrintQueueTest, AfterAStopDeliveryResumesAtTheFirstDocumentNotConfirmed) {
  printer.hold_after = 1;  // page 1 goes through; page 2 is being delivered when Valico stops
  {
    auto queue = Queue();
    queue->Submit({Page("1"), Page("2"), Page("3")}, nullptr);
    ASSERT_TRUE(printer.WaitForAttempts(2));
  }
  EXPECT_EQ(Texts(printer.printed), (std::vector<std::string>{"1"}));

  printer.hold_after = 1 << 30;
  printer.Hold(false);
  auto queue = Queue();
  queue->Start();
  ASSERT_TRUE(queue->WaitUntilIdle(10s));
  EXPECT_EQ(Texts(printer.printed), (std::vector<std::string>{"1", "2", "3"}))
      << "only the page whose delivery was cut goes out again";
  EXPECT_EQ(log.Count("/0000000001 was cut when Valico stopped: it goes out again"), 1);
  EXPECT_EQ(log.Count("the delivery of document 2 of job"), 1);
}

TEST_F(PrintQueueTest, AJobFileGoesOnceQueuedOnlyIfItIsStillTheOneRead) {
  auto queue = Queue();
  printer.Hold(true);
  folder.Write("rf.txt", "RR uno");
  std::string path = folder / "rf.txt";
  SourceFile read{path, *IdentityOf(path)};
  SubmitResult r = queue->Submit({Page("uno")}, &read);
  EXPECT_TRUE(r.source_removed);
  EXPECT_FALSE(folder.Has("rf.txt"));

  folder.Write("rf.txt", "RR due");
  SourceFile old{path, *IdentityOf(path)};
  folder.Write("rf.txt", "RR tre, a new receipt Borea wrote meanwhile");
  r = queue->Submit({Page("due")}, &old);
  EXPECT_EQ(r.status, Submitted::kQueued);
  EXPECT_FALSE(r.source_removed);
  EXPECT_NE(r.source_kept.find("changed after it was read"), std::string::npos);
  EXPECT_TRUE(folder.Has("rf.txt"));
  printer.Hold(false);
  ASSERT_TRUE(queue->WaitUntilIdle(10s));
  EXPECT_EQ(Texts(printer.printed), (std::vector<std::string>{"uno", "due"}));
}

TEST_F(PrintQueueTest, JobsOfOtherProgramsAreTakenFromTheInbox) {
  auto command = Queue(Mode::kInbox);
  SubmitResult r = command->Submit({Page("prova")}, nullptr);
  ASSERT_EQ(r.status, Submitted::kQueued) << r.detail;
  EXPECT_TRUE(printer.printed.empty()) << "the command prints nothing itself";

  auto service = Queue();
  service->Start();
  ASSERT_TRUE(service->WaitUntilIdle(10s));
  EXPECT_EQ(Texts(printer.printed), (std::vector<std::string>{"prova"}));
}

TEST_F(PrintQueueTest, DeliveredAtOnceACommandLearnsTheOutcomeAndNonStampatiStaysBounded) {
  auto direct = Queue(Mode::kDirect);
  EXPECT_EQ(direct->Submit({Page("si")}, nullptr).status, Submitted::kPrinted);
  printer.failing = true;
  for (int i = 0; i < 5; ++i) {
    SubmitResult r = direct->Submit({Page("no " + std::to_string(i))}, nullptr);
    EXPECT_EQ(r.status, Submitted::kNotPrinted);
    EXPECT_NE(r.detail.find("connection refused; kept as"), std::string::npos) << r.detail;
  }
  std::string err;
  std::vector<UnprintedDocuments::Entry> kept = direct->unprinted().List(&err);
  ASSERT_EQ(kept.size(), 3u) << "the oldest go first";
  EXPECT_EQ(kept.front().number, 3);
  EXPECT_EQ(log.Count("is removed"), 2);
}

}  // namespace
}  // namespace valico
