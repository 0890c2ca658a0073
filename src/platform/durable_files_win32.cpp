#include <windows.h>

#include <cstdio>
#include <random>

#include "platform/durable_files.h"
#include "platform/system_error_win32.h"

namespace valico {
namespace {

bool Fail(std::string* err, const std::string& what, DWORD code) {
  if (err) *err = what + ": " + SystemErrorText(code);
  return false;
}

// Runs `call` (an open, a rename, a removal) again while another program holds the file without
// sharing it (an antivirus or a backup looking at a new file), for at most 3 s, as the
// settings files wait for their readers: a queued job whose removal failed would print again.
// The error of the last try in *code.
template <typename Call>
bool UnlessBusy(const Call& call, DWORD* code) {
  for (DWORD waited = 0;; waited += 10) {
    if (call()) return true;
    *code = ::GetLastError();
    if (*code != ERROR_SHARING_VIOLATION || waited >= 3000) return false;
    ::Sleep(10);
  }
}

bool WriteAll(HANDLE h, std::string_view data) {
  while (!data.empty()) {
    DWORD chunk = data.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(data.size());
    DWORD n = 0;
    if (!::WriteFile(h, data.data(), chunk, &n, nullptr) || n == 0) return false;
    data.remove_prefix(n);
  }
  return true;
}

}  // namespace

bool CreateFileDurably(const std::string& native_path, std::string_view data, bool* exists,
                       std::string* err) {
  *exists = false;
  std::random_device random;
  char id[24];
  std::snprintf(id, sizeof id, ".%08x.tmp", random());
  const std::string tmp = native_path + id;
  HANDLE h = ::CreateFileA(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD code = ::GetLastError();
    return Fail(err, "cannot create " + tmp, code);
  }
  bool written = WriteAll(h, data) && ::FlushFileBuffers(h);
  DWORD code = ::GetLastError();
  ::CloseHandle(h);
  if (!written) {
    ::DeleteFileA(tmp.c_str());
    return Fail(err, "cannot write " + tmp, code);
  }
  // No MOVEFILE_REPLACE_EXISTING: an existing file of that name is never replaced. Write-through:
  // the new name is on the disk before this returns, as the caller may then delete the only
  // other copy of the data (the job file it was read from).
  if (!UnlessBusy(
          [&] { return ::MoveFileExA(tmp.c_str(), native_path.c_str(), MOVEFILE_WRITE_THROUGH); },
          &code)) {
    ::DeleteFileA(tmp.c_str());
    *exists = code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS;
    return Fail(err, "cannot name " + native_path, code);
  }
  return true;
}

bool AppendDurably(const std::string& native_path, std::string_view data, std::string* err) {
  HANDLE h = INVALID_HANDLE_VALUE;
  DWORD code = 0;
  auto open = [&] {
    h = ::CreateFileA(native_path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
    return h != INVALID_HANDLE_VALUE;
  };
  if (!UnlessBusy(open, &code)) return Fail(err, "cannot open " + native_path, code);
  bool ok = WriteAll(h, data) && ::FlushFileBuffers(h);
  code = ::GetLastError();
  ::CloseHandle(h);
  return ok || Fail(err, "cannot write " + native_path, code);
}

bool ListNativeFolder(const std::string& native_folder, bool folders,
                      std::vector<std::string>* names, std::string* err) {
  names->clear();
  WIN32_FIND_DATAA fd;
  HANDLE find = ::FindFirstFileA((native_folder + "\\*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) {
    DWORD e = ::GetLastError();
    return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ||
           Fail(err, "cannot list " + native_folder, e);
  }
  do {
    std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    bool is_folder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (is_folder == folders) names->push_back(std::move(name));
  } while (::FindNextFileA(find, &fd));
  DWORD e = ::GetLastError();
  ::FindClose(find);
  // A listing cut short would hide queued jobs: it fails instead.
  return e == ERROR_NO_MORE_FILES || Fail(err, "cannot list " + native_folder, e);
}

bool RemoveNativeFile(const std::string& native_path, std::string* err) {
  DWORD e = 0;
  if (UnlessBusy([&] { return ::DeleteFileA(native_path.c_str()); }, &e)) return true;
  return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ||
         Fail(err, "cannot remove " + native_path, e);
}

}  // namespace valico
