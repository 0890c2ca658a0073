// Dial-up with real child processes on Windows (or Wine): Dial.bat runs through the command
// interpreter and reaches a fake "rasdial" on the PATH.
#include <gtest/gtest.h>
#include <windows.h>

#include "jobs/dialup.h"
#include "jobs/testing/transfer_context.h"

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
  TransferServices transfer = testing::TransferOf(t, real.get());
  t.WriteValico("Int_Indirizzo=Ufficio\r\nInd_User=mario\r\nInd_Pw=segreto\r\n");

  EXPECT_TRUE(Connessione(transfer, 1));
  EXPECT_EQ(t.folder.Read("bin/calls.txt"), "Ufficio mario segreto\r\n")
      << "written before Connessione returned: it waited";
  EXPECT_TRUE(Connessione(transfer, 2));
  EXPECT_EQ(t.folder.Read("bin/calls.txt"), "Ufficio mario segreto\r\n/disconnect\r\n");
}

}  // namespace
}  // namespace valico
