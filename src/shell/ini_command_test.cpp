// `valico ini set` from several processes at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "platform/files.h"
#include "platform/native_path.h"
#include "platform/processes.h"
#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"
#include "platform/testing/test_programs.h"

namespace valico {
namespace {

using namespace std::chrono_literals;
using testing::Quoted;
using testing::TestProgram;

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Three processes write 150 keys each through the ini command's code, one write after the
// other, while this process reads the file again and again: every key arrives, no temporary file
// stays, and no read finds the file empty, cut short or without a key it held before. In memory
// where the machine has it: every write is forced to the disk.
TEST(IniCommandTest, ConcurrentWritersLoseNothingAndReadersNeverSeeHalfAFile) {
  std::error_code ec;
  testing::TempFolder dir(std::filesystem::is_directory("/dev/shm", ec)
                              ? std::filesystem::path("/dev/shm")
                              : std::filesystem::temp_directory_path());
  std::string ini = "[Varie]\r\n";
  for (int i = 0; i < 200; ++i) ini += "Key" + std::to_string(1000 + i) + "=value\r\n";
  dir.Write("_Valico.ini", ini);
  // Absolute in the system's own form: under Wine "/dev/shm" is a folder too, and Windows
  // programs read "/x" as an option.
  const std::string file = AbsoluteNativePath(dir / "_Valico.ini");
  testing::RecordingLog log;
  PathMapper mapper({dir.path(), {}});
  Files files(mapper);
  std::unique_ptr<Processes> processes = MakeProcesses(log, files, "");
  const int kWrites = 150;

  testing::TempFolder reports;
  std::vector<std::string> commands;
  for (std::string prefix : {"A", "B", "C"})
    commands.push_back(Quoted(TestProgram("ini_set_loop")) + " " + Quoted(file) + " " + prefix +
                       " " + std::to_string(kWrites) + " " + Quoted(reports / prefix));
  std::vector<ProcessId> writers;
  for (const std::string& command : commands) {
    std::string err;
    writers.push_back(processes->Start(command, WindowState::kHidden, &err));
    ASSERT_NE(writers.back(), 0) << err;
  }
  auto running = [&] {
    return std::any_of(writers.begin(), writers.end(),
                       [&](ProcessId pid) { return !processes->Wait(pid, 0ms); });
  };

  size_t reads = 0, bad = 0, last_lines = 0;
  std::string seen, why;
  while (running()) {
    if (ReadNativeFile(file, kNoSizeLimit, &seen, &why) == ReadStatus::kRead) {
      size_t lines = Count(seen, "\r\n");
      bad += seen.rfind("[Varie]\r\n", 0) != 0 || Count(seen, "\r\nKey1") != 200 ||
             lines < last_lines || seen.substr(seen.size() - 2) != "\r\n";
      last_lines = lines;
      ++reads;
    } else {
      ++bad;
    }
    std::this_thread::sleep_for(10ms);  // still fifty times as often as the service reads it
  }

  EXPECT_EQ(bad, 0u) << "of " << reads << " reads: " << why;
  std::string final = dir.Read("_Valico.ini");
  for (const char* prefix : {"A", "B", "C"}) {
    for (int n = 0; n < kWrites; ++n) {
      std::string entry =
          "\r\n" + std::string(prefix) + std::to_string(n) + "=" + std::to_string(n) + "\r\n";
      ASSERT_NE(final.find(entry), std::string::npos)
          << "lost: " << entry << "the writer said: " << reports.Read(prefix);
    }
  }
  std::string err;
  EXPECT_EQ(files.ListFiles(dir.path(), &err), std::vector<std::string>{"_Valico.ini"});
}

}  // namespace
}  // namespace valico
