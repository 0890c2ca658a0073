// Dial-up with real child processes: Dial.bat runs through /bin/sh and reaches a fake
// "rasdial" on the PATH.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "jobs/dialup.h"
#include "jobs/testing/transfer_context.h"

namespace valico {
namespace {

// Puts a folder first on the PATH for the life of the object.
class PathPrefix {
 public:
  explicit PathPrefix(const std::string& folder) {
    const char* old = std::getenv("PATH");
    old_ = old ? old : "";
    setenv("PATH", (folder + ":" + old_).c_str(), 1);
  }
  ~PathPrefix() { setenv("PATH", old_.c_str(), 1); }

 private:
  std::string old_;
};

TEST(JobsProcessesTest, DialBatchReachesRasdialAndConnessioneWaitsForIt) {
  testing::TestContext t;
  // The fake rasdial records its arguments, each followed by "|", and takes its time, so that
  // a caller that did not wait would find nothing recorded yet.
  t.folder.Write("bin/rasdial",
                 "#!/bin/sh\nsleep 0.3\nprintf '%s|' \"$@\" >> \"$(dirname \"$0\")/calls\"\n"
                 "printf 'exit 3\\n' >> \"$(dirname \"$0\")/calls\"\nexit 3\n");
  ::chmod((t.folder / "bin/rasdial").c_str(), 0755);
  PathPrefix path(t.folder / "bin");
  std::unique_ptr<Processes> real = MakeProcesses(t.log, t.files, "wine");
  TransferServices transfer = testing::TransferOf(t, real.get());
  t.WriteValico("Int_Indirizzo=Ufficio\r\nInd_User=mario\r\nInd_Pw=segreto\r\n");

  EXPECT_TRUE(Connessione(transfer, 1));
  // Dial.bat keeps its Windows line end in the file; the shell gets the lines without the CR.
  EXPECT_EQ(t.folder.Read("Dial.bat"), "rasdial Ufficio mario segreto\r\n");
  EXPECT_EQ(t.folder.Read("bin/calls"), "Ufficio|mario|segreto|exit 3\n");
  EXPECT_TRUE(Connessione(transfer, 2)) << "the batch ran, whatever rasdial answered";
  EXPECT_EQ(t.folder.Read("bin/calls"), "Ufficio|mario|segreto|exit 3\n/disconnect|exit 3\n");
}

}  // namespace
}  // namespace valico
