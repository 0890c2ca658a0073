// Dial-up with real child processes on Windows (or Wine): Dial.bat runs through the command
// interpreter and reaches a fake "rasdial" on the PATH.
#include <gtest/gtest.h>
#include <windows.h>

#include "jobs/dialup.h"
#include "core/testing/test_context.h"

namespace valico {
namespace {

// Puts a folder first on the PATH for the life of the object.
class PathPrefix {
 public:
  explicit PathPrefix(const std::string& folder) {
    char buf[32768];
    DWORD n = ::GetEnvironmentVariableA("PATH", buf, sizeof buf);
    old_.assign(buf, n < sizeof buf ? n : 0);
    ::SetEnvironmentVariableA("PATH", (folder + ";" + old_).c_str());
  }
  ~PathPrefix() { ::SetEnvironmentVariableA("PATH", old_.c_str()); }

 private:
  std::string old_;
};

TEST(JobsProcessesTest, DialBatchReachesRasdialAndConnessioneWaitsForIt) {
  testing::TestContext t;
  std::string calls = t.folder / "bin\\calls.txt";
  t.folder.Write("bin/rasdial.cmd", "@echo off\r\necho %*>> \"" + calls + "\"\r\nexit /b 3\r\n");
  PathPrefix path(t.folder / "bin");
  std::unique_ptr<Processes> real = MakeProcesses(t.log, t.files, "wine");
  Context ctx(
      Services{t.files, t.clock, t.log, t.dialogs, *real, t.serial, t.ftp, RegionalFor("it_IT")},
      t.folder.path());
  ctx.cfg.IniValico = ctx.InProgramFolder("_Valico.ini");
  ctx.ini.SetValicoIni(ctx.cfg.IniValico);
  t.WriteValico("Int_Indirizzo=Ufficio\r\nInd_User=mario\r\nInd_Pw=segreto\r\n");

  EXPECT_TRUE(Connessione(ctx, 1));
  EXPECT_EQ(t.folder.Read("bin/calls.txt"), "Ufficio mario segreto\r\n")
      << "written before Connessione returned: it waited";
  EXPECT_TRUE(Connessione(ctx, 2));
  EXPECT_EQ(t.folder.Read("bin/calls.txt"), "Ufficio mario segreto\r\n/disconnect\r\n");
}

}  // namespace
}  // namespace valico
