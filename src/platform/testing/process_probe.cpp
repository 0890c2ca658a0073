// A program for the process tests: process_probe OUT_FILE SLEEP_MS [ARG...]
// Sleeps SLEEP_MS milliseconds, then writes each ARG followed by "\n" to OUT_FILE (through a
// temporary file, so the file appears whole) and exits with status 0.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
  std::string out = argv[1];
  {
    std::ofstream f(out + ".tmp", std::ios::binary);
    for (int i = 3; i < argc; ++i) f << argv[i] << '\n';
  }
  std::error_code ec;
  std::filesystem::remove(out, ec);
  std::filesystem::rename(out + ".tmp", out, ec);
  return ec ? 1 : 0;
}
