#include "jobs/jobs_runner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/testing/test_context.h"
#include "jobs/scheduler.h"

namespace valico {
namespace {

using namespace std::chrono_literals;
using testing::TestContext;

LocalTime At(int day, int hour, int minute, int second = 0) {
  return LocalTime{2026, 12, day, hour, minute, second, (day + 1) % 7};  // the 5th: Saturday
}

// The slot keys that OperazioniPianificate acted on, in order, as the log tells them.
std::vector<std::string> SlotsRun(const TestContext& t) {
  std::vector<std::string> slots;
  for (const std::string& line : t.log.lines()) {
    const std::string mark = "scheduler: slot ";
    if (line.rfind(mark, 0) == 0) slots.push_back(line.substr(mark.size(), 8));
  }
  return slots;
}

TEST(JobsRunnerTest, EachMinuteRunsOnceAndShortGapsAreMadeUp) {
  struct Case {
    const char* name;
    std::vector<LocalTime> ticks;
    std::vector<std::string> slots;
    bool off = false;  // OP_Attive off: the scheduler does not run
  };
  const Case cases[] = {
      {"ticks within one minute",
       {At(5, 8, 30, 0), At(5, 8, 30, 1), At(5, 8, 30, 59)},
       {"SAB#0830"}},
      {"the next minute", {At(5, 8, 30, 59), At(5, 8, 31, 0)}, {"SAB#0830", "SAB#0831"}},
      {"a long tick passed over two minutes, across midnight",
       {At(5, 23, 58), At(6, 0, 1)},
       {"SAB#2358", "SAB#2359", "DOM#0000", "DOM#0001"}},
      {"a gap longer than the catch-up", {At(5, 8, 30), At(5, 10, 0)}, {"SAB#0830", "SAB#1000"}},
      {"the clock set back", {At(5, 8, 30), At(5, 8, 20)}, {"SAB#0830", "SAB#0820"}},
      {"OP_Attive off", {At(5, 8, 30)}, {}, true},
  };
  for (const Case& c : cases) {
    TestContext t;
    t.ctx.cfg.DirBorea = "C:\\CALDERA";
    t.ctx.cfg.IniLocal = "C:\\CALDERA\\_Local.ini";
    t.ctx.cfg.OP_Attive = !c.off;
    std::string body = "[VARIE]\r\n";
    for (const LocalTime& minute : {At(5, 8, 20), At(5, 8, 30), At(5, 8, 31), At(5, 10, 0),
                                    At(5, 23, 58), At(5, 23, 59), At(6, 0, 0), At(6, 0, 1)})
      body += SlotKey(t.ctx.svc.regional, minute) + "=3#J#\r\n";
    t.folder.Write("drive_c/CALDERA/_Schedulatore.ini", body);
    JobsRunner runner(t.ctx.svc, t.ctx.ini, t.settings, t.ctx.cfg);
    for (const LocalTime& now : c.ticks) {
      t.clock.SetLocal(now);
      runner.Tick();
    }
    EXPECT_EQ(SlotsRun(t), c.slots) << c.name;
    EXPECT_EQ(t.processes.started.size(), c.slots.size()) << c.name;
  }
}

// An upload that goes on until it is cut short.
class EndlessFtp : public FtpClient {
 public:
  std::atomic<int> puts{0};
  bool DeleteRemote(const FtpAccount&, const std::string&, std::string*) override { return true; }
  bool PutFile(const FtpAccount&, const std::string&, const std::string&,
               std::string* err) override {
    ++puts;
    while (!aborted()) std::this_thread::sleep_for(5ms);
    *err = "cancelled";
    return false;
  }
  bool GetFile(const FtpAccount&, const std::string&, const std::string&, std::string*) override {
    return false;
  }
};

TEST(JobsRunnerTest, OneTransferAtATimeAndStopCutsItShort) {
  EndlessFtp ftp;
  TestContext t(&ftp);
  JobsRunner runner(t.ctx.svc, t.ctx.ini, t.settings, t.ctx.cfg);
  auto step = [&] {
    t.settings.Refresh();  // as the tick's polling cycle does first
    runner.TransferStep();
  };
  auto key = [&](const char* k) {
    return t.ctx.ini.LeggiINI("Varie", k, "?", t.ctx.cfg.IniValico);
  };
  t.WriteValico("FTP_Azione=\r\n");
  step();
  EXPECT_FALSE(runner.TransferRunning()) << "no request";
  // Any other request is answered as a failure, as `valico ftp` answers it, with no transfer.
  t.WriteValico("FTP_Azione=x\r\nFTP_NomeFile=a.txt\r\n");
  step();
  runner.Stop(10s);
  EXPECT_EQ(key("FTP_Finish") + key("FTP_Esito") + key("FTP_Azione") + key("FTP_NomeFile"),
            "Finito0");
  EXPECT_EQ(ftp.puts, 0);
  t.WriteValico("FTP_Indirizzo=h\r\nFTP_Azione=1\r\nFTP_Directory=C:\\\r\nFTP_NomeFile=a.txt\r\n");
  step();
  // Waits for the worker to be inside the transfer (not for a tick).
  for (int i = 0; i < 1000 && ftp.puts == 0; ++i) std::this_thread::sleep_for(5ms);
  ASSERT_EQ(ftp.puts, 1);
  EXPECT_TRUE(runner.TransferRunning());
  EXPECT_EQ(key("FTP_Finish"), "In Corso");
  step();
  step();
  EXPECT_EQ(ftp.puts, 1) << "the request being served is not started again";

  runner.Stop(50ms);
  EXPECT_FALSE(runner.TransferRunning());
  EXPECT_EQ(key("FTP_Finish") + key("FTP_Esito") + key("FTP_Azione"), "Finito0");
  EXPECT_TRUE(t.log.Contains("did not end in time"));
  step();
  EXPECT_FALSE(runner.TransferRunning()) << "the request was emptied";
}

}  // namespace
}  // namespace valico
