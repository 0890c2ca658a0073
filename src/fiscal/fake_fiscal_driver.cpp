// A stand-in for a fiscal register's driver program, for the tests.
//   fake_fiscal_driver answer INPUT OUTPUT RECEIVED MS
//       after MS milliseconds copies INPUT to RECEIVED (what it "printed") and writes OUTPUT,
//       as the Globe driver answers a job.
//   fake_fiscal_driver take INPUT READY MS
//       writes READY, waits for INPUT to appear, then takes it away MS milliseconds later,
//       as the CASIO/DITRON driver takes its input file.
//   fake_fiscal_driver silent INPUT
//       never answers; ends once INPUT is gone.
// Every mode gives up after 20 seconds, so no test leaves it behind.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

template <typename Pred>
bool WaitUntil(Pred pred) {
  auto end = std::chrono::steady_clock::now() + 20s;
  while (!pred()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

void WriteWhole(const std::string& path, const std::string& data) {
  {
    std::ofstream f(path + ".tmp", std::ios::binary);
    f << data;
  }
  std::error_code ec;
  fs::remove(path, ec);
  fs::rename(path + ".tmp", path, ec);
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  std::error_code ec;
  if (mode == "answer" && argc == 6) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[5])));
    std::ifstream in(argv[2], std::ios::binary);
    std::string job((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    WriteWhole(argv[4], job);
    WriteWhole(argv[3], "OK\r\n");
    return 0;
  }
  if (mode == "take" && argc == 5) {
    WriteWhole(argv[3], "ready");
    if (!WaitUntil([&] { return fs::exists(argv[2], ec); })) return 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[4])));
    fs::remove(argv[2], ec);
    return 0;
  }
  if (mode == "silent" && argc == 3) {
    WaitUntil([&] { return !fs::exists(argv[2], ec); });
    return 0;
  }
  return 2;
}
