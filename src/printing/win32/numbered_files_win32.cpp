#include "printing/win32/numbered_files_win32.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/native_path.h"

namespace valico {
namespace {

std::string Fail(std::string* err, const std::string& why) {
  if (err) *err = why;
  return "";
}

std::string FileNamePart(const std::string& device) {
  std::string name = device.substr(0, 64);
  for (char& c : name)
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos)
      c = '_';
  return name;
}

// The highest running number at the start of a file name in the folder.
long HighestNumber(const std::filesystem::path& folder) {
  long highest = 0;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    std::string name = NarrowPath(entry.path().filename());
    std::size_t digits = 0;
    while (digits < name.size() && digits < 9 &&
           std::isdigit(static_cast<unsigned char>(name[digits])))
      ++digits;
    if (digits > 0) highest = std::max(highest, std::stol(name.substr(0, digits)));
  }
  return highest;
}

}  // namespace

std::string CreateNumberedFile(const std::string& native_folder, const std::string& device,
                               const std::string& extension, std::string* err) {
  if (native_folder.empty()) return Fail(err, "no folder to write into");
  std::filesystem::path folder = FsPath(native_folder);
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!std::filesystem::is_directory(folder, ec))
    return Fail(err, "cannot create the folder " + native_folder);
  // Joined as bytes, in the ANSI code page of the other calls.
  std::string prefix = native_folder;
  if (prefix.back() != '\\' && prefix.back() != '/') prefix += '\\';
  const std::string tail = " " + FileNamePart(device) + extension;
  // Another writer may take the same number between the listing and the creation: CREATE_NEW
  // then fails and the next number is tried.
  for (long n = HighestNumber(folder) + 1, tries = 0; tries < 1000; ++n, ++tries) {
    char number[16];
    std::snprintf(number, sizeof number, "%06ld", n);
    std::string path = prefix + number + tail;
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      ::CloseHandle(file);
      return path;
    }
    DWORD code = ::GetLastError();
    if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS)
      return Fail(err, "cannot create " + path + " (error " + std::to_string(code) + ")");
  }
  return Fail(err, "no free file name in " + native_folder);
}

}  // namespace valico
