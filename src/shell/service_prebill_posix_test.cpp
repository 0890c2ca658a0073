// The real program the whole way: a field-format pre-bill dropped into CortBorea comes out as
// ESC/POS bytes at the far end of a serial line, and as a preview.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>

#include "platform/testing/loopback_port.h"
#include "platform/testing/temp_folder.h"
#include "platform/testing/wait_for.h"
#include "printing/testing/bitmap_files.h"

extern char** environ;

namespace valico {
namespace {

const char kJob[] =
    "Tavolo 5#0#8#0\r\n"
    "Pizza margherita  7,50#0#9#0\r\n"
    "8001234567897#0#9#13\r\n"
    "Grazie#0#8#0\r\n"
    "#1\r\n";

using namespace std::chrono_literals;
using testing::WaitFor;

// Starts `valico --home HOME [options] run`, drops the job into CortBorea once the start-up
// (which discards jobs left there) is over, waits until a tick has taken it, and stops the
// program with SIGTERM. True when all went so and the program ended with status 0.
bool RunWithJob(const testing::TempFolder& home, std::vector<std::string> options) {
  const char* dir = std::getenv("VALICO_TEST_BIN_DIR");
  std::vector<std::string> args = {std::string(dir ? dir : ".") + "/valico", "--home", home.path()};
  args.insert(args.end(), options.begin(), options.end());
  args.push_back("run");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  bool taken = WaitFor(
      [&] { return home.Read("_Valico.ini").find("RunTimeBorea=") != std::string::npos; }, 5s);
  if (taken) {
    home.Write("CortBorea/conto.txt", kJob);
    taken = WaitFor(
        [&] { return !home.Has("CortBorea/conto.txt") && !home.Has("CortIN/conto.txt"); }, 5s);
  }
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  return taken && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(ServicePrebillPosixTest, AFieldFormatJobBecomesEscPosBytesAndAPreview) {
  std::string why;
  auto line = testing::LoopbackPort::Create(&why);
  if (!line) GTEST_SKIP() << why;
  testing::TempFolder home;
  home.Write("drive_c/CALDERA/LogoCassa.bmp", testing::BitmapFile(3, 2));
  home.Write("_Stampanti.ini",
             "[Anteprima SRP-350]\r\nPorta=COM5:\r\nUscita=anteprima:Anteprime\r\n"
             "[SAMSUNG SRP-350 Receipt]\r\nPorta=COM4:\r\nUscita=escpos:COM7\r\n");
  const std::string settings =
      "[Varie]\r\nCort_Active=-1\r\nCort_Printer=SAMSUNG\r\nCort_Logo=-1\r\n";

  home.Write("_Valico.ini", settings + "Cort_COM=4\r\n");
  ASSERT_TRUE(RunWithJob(home, {"--com", "7=" + line->device()}));
  const std::string init = "\x1b@\x1bt\x10";
  const std::string expected =
      init + std::string("\x1dv0\0\x01\0\x03\0\xc0\xc0\0", 11) +  // the logo, a job of its own
      init + "Tavolo 5\nPizza margherita  7,50\n" +
      "\x1dH\x02\x1b"
      "a\x01\x1dh\x2d\x1dw\x02\x1d"
      "f" +
      std::string(1, '\0') +
      "\x1dkC\x0d"
      "8001234567897" +
      "Grazie\n\n\n" + std::string("\x1dVB\0", 4);
  EXPECT_EQ(line->Read(expected.size()), expected);

  home.Write("_Valico.ini", settings + "Cort_COM=5\r\n");
  ASSERT_TRUE(RunWithJob(home, {}));
  EXPECT_EQ(home.Read("Anteprime/0001-Anteprima_SRP-350.txt"),
            "printer Anteprima SRP-350\nposition x=0 y=0\nbitmap 3x2\n");
  std::string receipt = home.Read("Anteprime/0002-Anteprima_SRP-350.txt");
  for (const char* op : {"font FontA1x1\nsize 10\nprint Tavolo 5\n", "print Pizza margherita",
                         "font JAN13(EAN)\nprint 8001234567897\n", "print P\n"})
    EXPECT_NE(receipt.find(op), std::string::npos) << op << " in\n" << receipt;
  EXPECT_TRUE(home.Has("Anteprime/0002-Anteprima_SRP-350.png"));
}

}  // namespace
}  // namespace valico
