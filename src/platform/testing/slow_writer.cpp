// A program for the folder-watch tests: slow_writer FILE PAUSE_MS PIECE...
// Creates FILE and writes the pieces into it one by one, flushed, pausing PAUSE_MS
// milliseconds between them, and closes it only after the last: a writer that holds its job
// open for a long time.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  std::FILE* f = std::fopen(argv[1], "wb");
  if (!f) return 1;
  for (int i = 3; i < argc; ++i) {
    if (i > 3) std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
    std::fputs(argv[i], f);
    std::fflush(f);
  }
  return std::fclose(f) == 0 ? 0 : 1;
}
