#include "shell/status_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/testing/test_platform.h"
#include "platform/testing/wait_for.h"
#include "printing/testing/recording_print_system.h"

namespace valico {
namespace {

using std::chrono::milliseconds;

TEST(StatusFileTest, ValuesComeBackAsTheyWereOnOneLine) {
  ServiceStatus s;
  s.started_ms = 1796600000000;
  s.written_ms = 1796600001234;
  s.devices[static_cast<int>(StatusDevice::kFiscal)] = {"a.txt passato al driver", 17};
  PrinterQueueState p;
  p.printer = " [Cassa] \"1\" ";
  p.jobs = 3;
  p.oldest_ms = 5;
  p.last_error = "refused\r\n[Stampanti]\r\nNumero=9";
  p.next_attempt_ms = 6;
  PrinterQueueState idle;
  idle.printer = "Anteprima";
  s.printers = {p, idle};

  ServiceStatus back = DecodeStatusFile(EncodeStatusFile(s));
  EXPECT_EQ(back.started_ms, s.started_ms);
  EXPECT_EQ(back.written_ms, s.written_ms);
  EXPECT_EQ(back.devices[1].what, "a.txt passato al driver");
  EXPECT_EQ(back.devices[1].when_ms, 17);
  ASSERT_EQ(back.printers.size(), 2u) << "a value's line ends cannot make a section";
  EXPECT_EQ(back.printers[0].printer, p.printer);
  EXPECT_EQ(back.printers[0].jobs, 3u);
  EXPECT_EQ(back.printers[0].last_error, "refused  [Stampanti]  Numero=9");
  EXPECT_EQ(back.printers[1].printer, "Anteprima");
  EXPECT_EQ(DecodeStatusFile("[Stampanti]\r\nNumero=-4\r\n").printers.size(), 0u);
}

TEST(StatusFileTest, WrittenOnlyWhenSomethingChangedAtMostOnceASecond) {
  testing::TestPlatform t;
  testing::RecordingPrintSystem printing;
  printing.failing = "Rotta";
  PrintQueueOptions options;
  options.home = t.folder.path();
  options.first_pause = std::chrono::hours(1);
  PrintQueue queue(printing, t.log, options);
  const std::string home = t.folder.path();
  auto status = [&] {
    ServiceStatus s;
    return ReadStatusFile(home, &s, nullptr) ? s : ServiceStatus{};
  };
  auto idle = [&](int ticks, StatusFileWriter& w) {
    for (int i = 0; i < ticks; ++i) {
      t.clock.Advance(milliseconds(500));
      w.Tick();
    }
  };

  StatusFileWriter writer(home, queue, t.clock, t.log);
  writer.Tick();
  ASSERT_GT(status().started_ms, 0) << "the first look says who serves the folder";
  std::filesystem::remove(t.folder / kStatusFileName);
  idle(10, writer);
  EXPECT_FALSE(t.folder.Has(kStatusFileName)) << "an idle program never writes it";

  // The last look was at the last tick: the change waits for the next, a second later.
  writer.Record(StatusDevice::kPrebill, "p1.txt passato a DPT-282");
  writer.Tick();
  t.clock.Advance(milliseconds(999));
  writer.Tick();
  EXPECT_FALSE(t.folder.Has(kStatusFileName)) << "not twice within a second";
  t.clock.Advance(milliseconds(1));
  writer.Tick();
  EXPECT_EQ(status().devices[static_cast<int>(StatusDevice::kPrebill)].what,
            "p1.txt passato a DPT-282");

  // A printer that fails: its queue's state reaches the file at the next look.
  queue.Submit({Document{"Rotta", {}}}, nullptr);
  ASSERT_TRUE(testing::WaitFor([&] { return !queue.States().at(0).last_error.empty(); },
                               std::chrono::seconds(10)));
  idle(2, writer);
  ASSERT_EQ(status().printers.size(), 1u);
  EXPECT_EQ(status().printers[0].jobs, 1u);
  EXPECT_EQ(status().printers[0].last_error, "connection refused");

  // What this run did stays in the file for the next run, until it does something newer.
  writer.Record(StatusDevice::kDisplay, "Display.txt inviato");
  writer.Flush();
  queue.Stop();
  StatusFileWriter next(home, queue, t.clock, t.log);
  next.Flush();
  EXPECT_EQ(status().devices[static_cast<int>(StatusDevice::kDisplay)].what, "Display.txt inviato");
}

}  // namespace
}  // namespace valico
