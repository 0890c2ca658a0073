#include "fiscal/invia_file_mf.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <regex>

#include "core/testing/test_context.h"
#include "platform/testing/test_programs.h"
#include "platform/testing/wait_for.h"

namespace valico {
namespace {

using namespace std::chrono_literals;
using testing::Quoted;
using testing::TempFolder;
using testing::TestProgram;

// Puts a job into the intake folder; returns its path as the intake hands it over.
std::string Job(const TempFolder& folder, const std::string& name, const std::string& content) {
  folder.Write("IN/" + name, content);
  return JoinPath(folder.path(), "IN\\" + name);
}

// The hand-off log's messages; a line without a "dd/mm/yyyy hh:nn - " stamp is kept whole.
std::vector<std::string> LogLines(const TempFolder& folder) {
  static const std::regex stamp(R"(\d\d/\d\d/\d{4} \d\d:\d\d - )");
  std::vector<std::string> lines;
  std::string data = folder.Read("drive_c/Valico/MF.log");
  for (size_t at = 0, end; (end = data.find("\r\n", at)) != std::string::npos; at = end + 2) {
    std::string line = data.substr(at, end - at);
    lines.push_back(std::regex_match(line.substr(0, 19), stamp) ? line.substr(19) : line);
  }
  return lines;
}

// The hand-off on the fake clock and process starter, over a program folder with Borea in
// C:\CALDERA, the log folder C:\Valico and the driver's folder C:\Casio.
struct FiscalTest : testing::TestContext {
  explicit FiscalTest(const char* prot, bool log_on = true) {
    Config& cfg = ctx.cfg;
    cfg.MF_Prot = prot;
    ParseChoices(cfg);
    cfg.DirBorea = "C:\\CALDERA";
    cfg.MF_File = "C:\\Casio\\CAS.txt";
    cfg.MF_File_Output = "C:\\Casio\\Out.txt";
    cfg.MF_Driver = "C:\\Programmi\\GlobeDriver\\GlobeDriver.exe";
    cfg.MF_Ritardo = 2;
    cfg.MF_ChkLog = log_on;
    for (const char* d : {"Valico", "Casio", "CALDERA"})
      folder.Write(std::string("drive_c/") + d + "/.keep", "");
  }
  std::optional<std::string> File(const std::string& rel) const {
    if (!folder.Has(rel)) return std::nullopt;
    return folder.Read(rel);
  }
  FiscalHandOff mf{ctx.cfg, files, clock, log, processes};
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
      {"input file free: one delay (the display suffix compares with case), then the copy",
       "0001dly_zip.txt", nullptr, true, 0, "Invio file: ", 1, "new"},
      {"input file never taken: six waits, dropped at the seventh look", "T001.txt", "earlier",
       true, 6, "Invio file annullato: ", 6, "earlier"},
      {"display job goes without the delay", "0001DLY_ZIP.TXT", nullptr, true, 0, "Invio file: ", 0,
       "new"},
      {"logging off writes no log", "T001.txt", "earlier", false, 0, "", 6, "earlier"},
  };
  for (const Case& c : cases) {
    FiscalTest t(kProtCasio, c.log_on);
    if (c.earlier) t.folder.Write("drive_c/Casio/CAS.txt", c.earlier);
    std::string job = Job(t.folder, c.job_name, "new");
    t.mf.InviaFileMF(job);
    std::vector<std::string> expected(c.loops, "Loop in attesa di liberare C:\\Casio\\CAS.txt");
    if (!c.last.empty()) expected.push_back(c.last + job);
    EXPECT_EQ(LogLines(t.folder), expected) << c.name;
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
    bool real_processes;  // the driver named in MF_Driver is not there
    int delays;
    size_t started;  // by the recording process starter
    std::optional<std::string> mf_file_after;
  };
  const Case cases[] = {
      // The recording process starter never writes the driver's output.
      {"no answer within 102 delays: MF_File withdrawn", true, false, 102, 1, std::nullopt},
      {"a driver that cannot start is not waited for", true, true, 0, 0, std::nullopt},
      // A driver started now would print the earlier receipt still in MF_File.
      {"job not copied: the driver is not started", false, false, 0, 0, "earlier"},
  };
  for (const Case& c : cases) {
    FiscalTest t(kProtGlobe);
    std::unique_ptr<Processes> real = MakeProcesses(t.log, t.files, "wine");
    FiscalHandOff mf(t.ctx.cfg, t.files, t.clock, t.log, c.real_processes ? *real : t.processes);
    t.folder.Write("drive_c/Casio/CAS.txt", "earlier");
    std::string job =
        c.job_exists ? Job(t.folder, "T002.txt", "new") : JoinPath(t.folder.path(), "IN\\T002");
    mf.InviaFileMF(job);
    EXPECT_EQ(t.clock.slept(), c.delays * 20ms) << c.name;
    ASSERT_EQ(t.processes.started.size(), c.started) << c.name;
    if (c.started) {
      EXPECT_EQ(t.processes.started[0],
                std::make_pair(t.ctx.cfg.MF_Driver, WindowState::kMinimizedNoFocus));
    }
    EXPECT_EQ(t.File("drive_c/Casio/CAS.txt"), c.mf_file_after) << c.name;
    EXPECT_EQ(LogLines(t.folder), std::vector<std::string>{"File scontrino: " + job +
                                                           " - non ha generato file di output "
                                                           "C:\\Casio\\Out.txt"})
        << c.name;
    EXPECT_TRUE(t.log.Contains("job " + t.Native(job))) << c.name << ": the reason is in the log";
  }
}

// FP-Mate moves one receipt into Epson's folder; a protocol of no register hands nothing on.
// Neither waits, starts a process or logs.
TEST(InviaFileMFTest, FPMateHandsOverMFFileOrTheLowestBufferedReceipt) {
  using FileSet = std::map<std::string, std::optional<std::string>>;  // nullopt: no such file
  struct Case {
    const char* name;
    const char* prot;
    bool buffer;
    FileSet before;
    FileSet after;
  };
  const std::string epson = "drive_c/CALDERA/Epson/Scontr.xml";
  const std::string slot2 = "drive_c/CALDERA/_Buffer/#0002";
  const std::string slot5 = "drive_c/CALDERA/_Buffer/#0005";
  const std::string mf = "drive_c/Casio/CAS.txt";
  const FileSet untouched = {{mf, "earlier"}, {slot2, "r2"}, {epson, std::nullopt}};
  // clang-format off
  const Case cases[] = {
      {"buffer: only the lowest occupied slot moves", kProtFPMate, true,
       {{slot2, "r2"}, {slot5, "r5"}, {"drive_c/CALDERA/Epson/.keep", ""}},
       {{epson, "r2"}, {slot2, std::nullopt}, {slot5, "r5"}}},
      {"buffer: nothing moves while Scontr.xml is there", kProtFPMate, true,
       {{slot2, "r2"}, {slot5, "r5"}, {epson, "old"}},
       {{epson, "old"}, {slot2, "r2"}, {slot5, "r5"}}},
      {"no buffer: MF_File replaces Scontr.xml", kProtFPMate, false,
       {{mf, "receipt"}, {epson, "old"}}, {{epson, "receipt"}, {mf, std::nullopt}}},
      {"no buffer: a receipt that cannot be copied stays in MF_File", kProtFPMate, false,
       {{mf, "receipt"}}, {{epson, std::nullopt}, {mf, "receipt"}}},
      {"Non Presente", "Non Presente", false, untouched, untouched},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FiscalTest t(c.prot);
    t.ctx.cfg.MF_Buffer = c.buffer;
    for (const auto& [rel, content] : c.before)
      if (content) t.folder.Write(rel, *content);
    t.mf.InviaFileMF(Job(t.folder, "T003.txt", "new"));
    for (const auto& [rel, content] : c.after) EXPECT_EQ(t.File(rel), content) << rel;
    EXPECT_TRUE(t.processes.started.empty());
    EXPECT_EQ(t.clock.slept(), 0ms);
    EXPECT_FALSE(t.folder.Has("drive_c/Valico/MF.log"));
  }
}

// The whole way, in the real program: a job dropped into Borea reaches the Globe driver, and its
// answer is cleared.
TEST(FiscalDriversTest, ValicoHandsJobsFromBoreaToTheGlobeDriver) {
  testing::TestPlatform t;
  std::unique_ptr<Processes> processes = MakeProcesses(t.log, t.files, "wine");
  for (const char* d : {"Globe", "Valico"})
    t.folder.Write(std::string("drive_c/") + d + "/.keep", "");
  // The fake driver answers in 20 ms on in.txt and out.txt of C:\Globe.
  std::string driver = Quoted(TestProgram("fake_fiscal_driver")) + " answer " +
                       Quoted(t.Native("C:\\Globe")) + " 20";
  t.WriteValico(
      "Borea_Setting=0\r\nMF_Active=-1\r\nMF_Prot=GLOBE DRIVER - 106\r\n"
      "MF_File=C:\\Globe\\in.txt\r\nMF_File_Output=C:\\Globe\\out.txt\r\n"
      "MF_Ritardo=2\r\nMF_ChkLog=-1\r\nMF_Driver=" +
      driver + "\r\n");
  std::string err;
  ProcessId valico =
      processes->Start(Quoted(TestProgram("valico")) + " --home " + Quoted(t.folder.path()) +
                           " --drive " + Quoted("C=" + t.mapper.DriveRoot('C')) + " run --ticks 12",
                       WindowState::kHidden, &err);
  ASSERT_NE(valico, 0) << err;
  // The start-up empties the drop folder; RunTimeBorea is written after that.
  ASSERT_TRUE(testing::WaitFor(
      [&] { return t.folder.Read("_Valico.ini").find("RunTimeBorea") != std::string::npos; }, 20s))
      << "valico did not start";
  t.folder.Write("Borea/T030.txt", "receipt 30\r\n");
  ASSERT_TRUE(processes->Wait(valico, 60s));
  EXPECT_EQ(t.folder.Read("drive_c/Globe/printed.txt"), "receipt 30\r\n");
  EXPECT_FALSE(t.folder.Has("drive_c/Globe/out.txt"));
  EXPECT_FALSE(t.folder.Has("Borea/T030.txt"));
  EXPECT_FALSE(t.folder.Has("IN/T030.txt"));
  EXPECT_FALSE(t.folder.Has("drive_c/Valico/MF.log"));
}

}  // namespace
}  // namespace valico
