// The hand-off against real driver processes, in real time: the fake driver program built with
// the tests plays the register maker's driver.
#include <gtest/gtest.h>

#include <regex>

#include "fiscal/invia_file_mf.h"
#include "platform/testing/test_platform.h"
#include "platform/testing/test_programs.h"
#include "platform/testing/wait_for.h"

namespace valico {
namespace {

using namespace std::chrono_literals;
using testing::TestProgram;

using testing::Quoted;

// The hand-off with the machine's clock and process starter over a temporary program folder.
struct RealDrivers {
  explicit RealDrivers(const char* prot) {
    folder.Write("drive_c/Valico/.keep", "");
    folder.Write("drive_c/Globe/.keep", "");
    cfg.MF_Prot = prot;
    ParseChoices(cfg);
    cfg.DirBorea = "C:\\CALDERA";
    cfg.MF_File = "C:\\Globe\\in.txt";
    cfg.MF_File_Output = "C:\\Globe\\out.txt";
    cfg.MF_Ritardo = 2;
    cfg.MF_ChkLog = true;
  }
  std::string Job(const std::string& name, const std::string& content) {
    folder.Write("IN/" + name, content);
    return JoinPath(folder.path(), "IN\\" + name);
  }
  // The hand-off log's messages; a line without a "dd/mm/yyyy hh:nn - " stamp is kept whole.
  std::vector<std::string> LogLines() const {
    static const std::regex stamp(R"(\d\d/\d\d/\d{4} \d\d:\d\d - )");
    std::vector<std::string> lines;
    std::string data = folder.Read("drive_c/Valico/MF.log");
    for (size_t at = 0, end; (end = data.find("\r\n", at)) != std::string::npos; at = end + 2) {
      std::string line = data.substr(at, end - at);
      lines.push_back(std::regex_match(line.substr(0, 19), stamp) ? line.substr(19) : line);
    }
    return lines;
  }

  testing::TempFolder folder;
  PathMapper mapper{PathMapper::Options{folder.path(), testing::DrivesInside(folder)}};
  Files files{mapper};
  SystemClock clock;
  testing::RecordingLog log;
  std::unique_ptr<Processes> processes = MakeProcesses(log, files, "wine");
  Config cfg;
  FiscalHandOff mf{cfg, files, clock, log, *processes};
};

// A driver that cannot be started is not waited for: MF_File is withdrawn at once, and both
// logs say why. (A driver that never answers is the hand-off's test, on the fake clock.)
TEST(FiscalDriversTest, AGlobeDriverThatCannotStartIsNotWaitedFor) {
  for (const char* driver : {"C:\\Programmi\\GlobeDriver\\GlobeDriver.exe", ""}) {
    RealDrivers t(kProtGlobe);
    t.cfg.MF_Ritardo = 50;
    t.cfg.MF_Driver = driver;
    std::string job = t.Job("T011.txt", "receipt 11\r\n");
    auto start = std::chrono::steady_clock::now();
    t.mf.InviaFileMF(job);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms) << driver << ": not waited for";
    EXPECT_FALSE(t.folder.Has("drive_c/Globe/in.txt")) << driver << ": MF_File withdrawn";
    EXPECT_EQ(t.LogLines(), std::vector<std::string>{"File scontrino: " + job +
                                                     " - non ha generato file di output "
                                                     "C:\\Globe\\out.txt"})
        << driver;
    EXPECT_TRUE(t.log.Contains("driver not started")) << driver;
  }
}

// The whole way, in the real program: a job dropped into Borea reaches the Globe driver, and its
// answer is cleared.
TEST(FiscalDriversTest, ValicoHandsJobsFromBoreaToTheGlobeDriver) {
  RealDrivers t(kProtGlobe);
  // The fake driver answers in 20 ms on in.txt and out.txt of C:\Globe.
  std::string driver = Quoted(TestProgram("fake_fiscal_driver")) + " answer " +
                       Quoted(t.mapper.ToNative("C:\\Globe")) + " 20";
  t.folder.Write("_Valico.ini",
                 "[Varie]\r\nBorea_Setting=0\r\nMF_Active=-1\r\nMF_Prot=GLOBE DRIVER - 106\r\n"
                 "MF_File=C:\\Globe\\in.txt\r\nMF_File_Output=C:\\Globe\\out.txt\r\n"
                 "MF_Ritardo=2\r\nMF_ChkLog=-1\r\nMF_Driver=" +
                     driver + "\r\n");
  std::string err;
  ProcessId valico = t.processes->Start(
      Quoted(TestProgram("valico")) + " --home " + Quoted(t.folder.path()) + " --drive " +
          Quoted("C=" + t.mapper.DriveRoot('C')) + " run --ticks 12",
      WindowState::kHidden, &err);
  ASSERT_NE(valico, 0) << err;
  // The start-up empties the drop folder; RunTimeBorea is written after that.
  ASSERT_TRUE(testing::WaitFor(
      [&] { return t.folder.Read("_Valico.ini").find("RunTimeBorea") != std::string::npos; }, 20s))
      << "valico did not start";
  t.folder.Write("Borea/T030.txt", "receipt 30\r\n");
  ASSERT_TRUE(t.processes->Wait(valico, 60s));
  EXPECT_EQ(t.folder.Read("drive_c/Globe/printed.txt"), "receipt 30\r\n");
  EXPECT_FALSE(t.folder.Has("drive_c/Globe/out.txt"));
  EXPECT_FALSE(t.folder.Has("Borea/T030.txt"));
  EXPECT_FALSE(t.folder.Has("IN/T030.txt"));
  EXPECT_FALSE(t.folder.Has("drive_c/Valico/MF.log"));
}

}  // namespace
}  // namespace valico
