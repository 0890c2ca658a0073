// `valico ini set` in real processes on Windows: writers in several processes at once, and
// settings paths with the accented letters of Italian shops.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/testing/temp_folder.h"
#include "platform/testing/test_programs.h"
#include "shell/command_line.h"

namespace valico {
namespace {

HANDLE Start(const std::string& command_line) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string line = command_line;
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
    return nullptr;
  ::CloseHandle(pi.hThread);
  return pi.hProcess;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

int RunValico(std::vector<std::string> args) {
  args.insert(args.begin(), "valico");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  ::testing::internal::CaptureStdout();
  int status = RunCommandLine(static_cast<int>(argv.size()), argv.data());
  ::testing::internal::GetCapturedStdout();
  return status;
}

// Three processes write keys of their own while this one reads: every key arrives, and no
// read finds the file empty, cut short or missing a key it held before. (Fewer writes than on
// Linux: every process start costs much more under Wine.)
TEST(IniCommandWin32Test, ConcurrentWritersLoseNothingAndReadersNeverSeeHalfAFile) {
  testing::TempFolder dir;
  std::string base = "[Varie]\r\n";
  for (int i = 0; i < 200; ++i) base += "Key" + std::to_string(1000 + i) + "=value\r\n";
  dir.Write("_Valico.ini", base);
  const std::string file = dir / "_Valico.ini";
  const int kWrites = 100;
  std::vector<HANDLE> writers;
  for (const char* prefix : {"A", "B", "C"})
    writers.push_back(Start("\"" + testing::TestProgram("ini_set_loop") + "\" \"" + file + "\" " +
                            prefix + " " + std::to_string(kWrites)));
  for (HANDLE h : writers) ASSERT_NE(h, nullptr);

  size_t reads = 0, bad = 0, last_lines = 0;
  std::string seen, why;
  while (::WaitForMultipleObjects(static_cast<DWORD>(writers.size()), writers.data(), TRUE, 1) ==
         WAIT_TIMEOUT) {
    if (ReadNativeFile(file, kNoSizeLimit, &seen, &why) != ReadStatus::kRead) {
      ++bad;
      continue;
    }
    ++reads;
    size_t lines = Count(seen, "\r\n");
    if (seen.rfind("[Varie]\r\n", 0) != 0 || Count(seen, "\r\nKey1") != 200 || lines < last_lines ||
        seen.substr(seen.size() - 2) != "\r\n")
      ++bad;
    last_lines = lines;
  }
  for (HANDLE h : writers) {
    DWORD code = 1;
    ::GetExitCodeProcess(h, &code);
    EXPECT_EQ(code, 0u) << "every write succeeded";
    ::CloseHandle(h);
  }
  EXPECT_EQ(bad, 0u) << "of " << reads << " reads: " << why;
  std::string final = dir.Read("_Valico.ini");
  for (const char* prefix : {"A", "B", "C"})
    for (int n = 0; n < kWrites; ++n)
      ASSERT_NE(final.find("\r\n" + std::string(prefix) + std::to_string(n) + "=" +
                           std::to_string(n) + "\r\n"),
                std::string::npos)
          << prefix << n;
}

// "C:\Caffè\_Local.ini" is a real settings path: the command line and the store keep its bytes.
TEST(IniCommandWin32Test, SettingsPathsWithAccentedLettersWork) {
  testing::TempFolder dir;
  const std::string folder = dir.path() + "\\Caff\xe8";
  ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
  const std::string file = folder + "\\_Local.ini";
  EXPECT_EQ(RunValico({"ini", "set", file, "Varie", "Citt\xe0", "Forl\xec"}), 0);
  std::string data, err;
  ASSERT_EQ(ReadNativeFile(file, kNoSizeLimit, &data, &err), ReadStatus::kRead) << err;
  EXPECT_EQ(data, "[Varie]\r\nCitt\xe0=Forl\xec\r\n");
}

}  // namespace
}  // namespace valico
