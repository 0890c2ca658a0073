// A stand-in for a fiscal register's driver program, for the tests and benchmarks. It works
// in one folder DIR, where in.txt is its input file and out.txt its output file (the paths stay
// short, as a driver's command line read from an INI file must).
//   fake_fiscal_driver answer DIR MS
//       after MS milliseconds copies in.txt to printed.txt (what it "printed") and writes
//       out.txt, as the Globe driver answers a job.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Writes through a temporary file, so that the file appears whole.
void WriteWhole(const fs::path& path, const std::string& data) {
  fs::path tmp = path;
  tmp += ".tmp";
  {
    std::ofstream f(tmp, std::ios::binary);
    f << data;
  }
  std::error_code ec;
  fs::remove(path, ec);
  fs::rename(tmp, path, ec);
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 2 ? argv[1] : "";
  fs::path dir = argc > 2 ? argv[2] : "";
  fs::path in = dir / "in.txt";
  auto ms = std::chrono::milliseconds(argc > 3 ? std::atoi(argv[3]) : 0);
  if (mode == "answer") {
    std::this_thread::sleep_for(ms);
    std::ifstream f(in, std::ios::binary);
    std::string job((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    WriteWhole(dir / "printed.txt", job);
    WriteWhole(dir / "out.txt", "OK\r\n");
    return 0;
  }
  return 2;
}
