#include "fiscal/invia_file_mf.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "core/testing/test_context.h"

namespace valico {
namespace {

using namespace std::chrono_literals;

constexpr char kStamp[] = "05/12/2026 08:30 - ";  // the fake clock's local time

// A program folder with Borea in C:\CALDERA, the log folder C:\Valico and the driver's folder
// C:\Casio; fake clock and fake processes.
struct FiscalTest : testing::TestContext {
  explicit FiscalTest(const char* prot, bool log_on = true) {
    ctx.cfg.MF_Prot = prot;
    ParseChoices(ctx.cfg);
    ctx.cfg.DirBorea = "C:\\CALDERA";
    ctx.cfg.MF_File = "C:\\Casio\\CAS.txt";
    ctx.cfg.MF_File_Output = "C:\\Casio\\Out.txt";
    ctx.cfg.MF_Driver = "C:\\Programmi\\GlobeDriver\\GlobeDriver.exe";
    ctx.cfg.MF_Ritardo = 2;
    ctx.cfg.MF_ChkLog = log_on;
    folder.Write("drive_c/Valico/.keep", "");
    folder.Write("drive_c/Casio/.keep", "");
    folder.Write("drive_c/CALDERA/.keep", "");
  }
  FiscalHandOff mf{ctx.cfg, files, clock, log, processes};

  // Puts a job into the intake folder; returns its path as the intake hands it over.
  std::string Job(const std::string& name, const std::string& content) {
    folder.Write("IN/" + name, content);
    return ctx.InProgramFolder("IN\\" + name);
  }
  std::optional<std::string> File(const std::string& rel) const {
    if (!folder.Has(rel)) return std::nullopt;
    return folder.Read(rel);
  }
  // The hand-off log's lines without their time stamp; a line with another stamp is kept whole.
  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    std::string data = folder.Read("drive_c/Valico/MF.log");
    for (size_t at = 0, end; (end = data.find("\r\n", at)) != std::string::npos; at = end + 2) {
      std::string line = data.substr(at, end - at);
      if (line.rfind(kStamp, 0) == 0) line.erase(0, sizeof kStamp - 1);
      lines.push_back(line);
    }
    return lines;
  }
};

TEST(InviaFileMFTest, CasioWaitsForTheDriverToTakeItsInputFile) {
  struct Case {
    const char* name;
    std::string job_name;
    const char* earlier;  // MF_File left by the previous job, or null
    bool log_on;
    int loops;         // "Loop in attesa" lines before the last one
    std::string last;  // the last log line, followed by the job's path; empty: no log
    int delays;
    std::string mf_file_after;
  };
  const Case cases[] = {
      {"input file free: one delay, then the copy", "T001.txt", nullptr, true, 0, "Invio file: ", 1,
       "new"},
      {"input file never taken: six waits, dropped at the seventh look", "T001.txt", "earlier",
       true, 6, "Invio file annullato: ", 6, "earlier"},
      {"display job goes without the delay", "0001DLY_ZIP.TXT", nullptr, true, 0, "Invio file: ", 0,
       "new"},
      {"the display suffix compares with case", "0001dly_zip.txt", nullptr, true, 0,
       "Invio file: ", 1, "new"},
      {"logging off writes no log", "T001.txt", "earlier", false, 0, "", 6, "earlier"},
  };
  for (const Case& c : cases) {
    FiscalTest t(kProtCasio, c.log_on);
    if (c.earlier) t.folder.Write("drive_c/Casio/CAS.txt", c.earlier);
    std::string job = t.Job(c.job_name, "new");
    t.mf.InviaFileMF(job);
    std::vector<std::string> expected(c.loops, "Loop in attesa di liberare C:\\Casio\\CAS.txt");
    if (!c.last.empty()) expected.push_back(c.last + job);
    EXPECT_EQ(t.LogLines(), expected) << c.name;
    EXPECT_EQ(t.folder.Has("drive_c/Valico/MF.log"), c.log_on) << c.name;
    EXPECT_EQ(t.clock.slept(), c.delays * 20ms) << c.name;
    EXPECT_EQ(t.File("drive_c/Casio/CAS.txt"), c.mf_file_after) << c.name;
    EXPECT_EQ(t.File("IN/" + c.job_name), "new") << c.name << ": the intake deletes the job";
  }
}

TEST(InviaFileMFTest, GlobeWithdrawsAJobTheDriverDidNotAnswer) {
  struct Case {
    const char* name;
    bool job_exists;
    int delays;
    size_t started;
    std::optional<std::string> mf_file_after;
  };
  const Case cases[] = {
      // The recording process starter never writes the driver's output.
      {"no answer within 102 delays: MF_File withdrawn", true, 102, 1, std::nullopt},
      // A driver started now would print the earlier receipt still in MF_File.
      {"job not copied: the driver is not started", false, 0, 0, "earlier"},
  };
  for (const Case& c : cases) {
    FiscalTest t(kProtGlobe);
    t.folder.Write("drive_c/Casio/CAS.txt", "earlier");
    std::string job = c.job_exists ? t.Job("T002.txt", "new") : t.ctx.InProgramFolder("IN\\T002");
    t.mf.InviaFileMF(job);
    EXPECT_EQ(t.clock.slept(), c.delays * 20ms) << c.name;
    ASSERT_EQ(t.processes.started.size(), c.started) << c.name;
    if (c.started) {
      EXPECT_EQ(t.processes.started[0],
                std::make_pair(t.ctx.cfg.MF_Driver, WindowState::kMinimizedNoFocus));
    }
    EXPECT_EQ(t.File("drive_c/Casio/CAS.txt"), c.mf_file_after) << c.name;
    EXPECT_EQ(t.LogLines(), std::vector<std::string>{"File scontrino: " + job +
                                                     " - non ha generato file di output "
                                                     "C:\\Casio\\Out.txt"})
        << c.name;
    EXPECT_TRUE(t.log.Contains("job " + t.Native(job))) << c.name << ": the reason is in the log";
  }
}

TEST(InviaFileMFTest, FPMateHandsOverMFFileOrTheLowestBufferedReceipt) {
  using FileSet = std::map<std::string, std::optional<std::string>>;  // nullopt: no such file
  struct Case {
    const char* name;
    bool buffer;
    FileSet before;
    FileSet after;
  };
  const std::string epson = "drive_c/CALDERA/Epson/Scontr.xml";
  const std::string slot2 = "drive_c/CALDERA/_Buffer/#0002";
  const std::string slot5 = "drive_c/CALDERA/_Buffer/#0005";
  const std::string mf = "drive_c/Casio/CAS.txt";
  const Case cases[] = {
      {"buffer: only the lowest occupied slot moves",
       true,
       {{slot2, "r2"}, {slot5, "r5"}, {"drive_c/CALDERA/Epson/.keep", ""}},
       {{epson, "r2"}, {slot2, std::nullopt}, {slot5, "r5"}}},
      {"buffer: nothing moves while Scontr.xml is there",
       true,
       {{slot2, "r2"}, {slot5, "r5"}, {epson, "old"}},
       {{epson, "old"}, {slot2, "r2"}, {slot5, "r5"}}},
      {"no buffer: MF_File replaces Scontr.xml",
       false,
       {{mf, "receipt"}, {epson, "old"}},
       {{epson, "receipt"}, {mf, std::nullopt}}},
      {"no buffer: a receipt that cannot be copied stays in MF_File",
       false,
       {{mf, "receipt"}},
       {{epson, std::nullopt}, {mf, "receipt"}}},
  };
  for (const Case& c : cases) {
    FiscalTest t(kProtFPMate);
    t.ctx.cfg.MF_Buffer = c.buffer;
    for (const auto& [rel, content] : c.before) t.folder.Write(rel, *content);
    t.mf.InviaFileMF(t.Job("T003.txt", "trigger"));
    for (const auto& [rel, content] : c.after)
      EXPECT_EQ(t.File(rel), content) << c.name << ": " << rel;
    EXPECT_EQ(t.clock.slept(), 0ms) << c.name;
    EXPECT_FALSE(t.folder.Has("drive_c/Valico/MF.log")) << c.name;
  }
}

TEST(InviaFileMFTest, NoProtocolHandsNothingOn) {
  for (const char* prot : {"Nessuno", "Non Presente", "", "globe driver - 106"}) {
    FiscalTest t(prot);
    t.folder.Write("drive_c/Casio/CAS.txt", "earlier");
    t.folder.Write("drive_c/CALDERA/_Buffer/#0001", "r1");
    t.mf.InviaFileMF(t.Job("T004.txt", "new"));
    EXPECT_EQ(t.File("drive_c/Casio/CAS.txt"), "earlier") << prot;
    EXPECT_TRUE(t.folder.Has("drive_c/CALDERA/_Buffer/#0001")) << prot;
    EXPECT_TRUE(t.processes.started.empty()) << prot;
    EXPECT_EQ(t.clock.slept(), 0ms) << prot;
    EXPECT_FALSE(t.folder.Has("drive_c/Valico/MF.log")) << prot;
  }
}

}  // namespace
}  // namespace valico
