#include <windows.h>

#include "platform/folder_lock.h"

namespace valico {
namespace {

class Win32FolderLock : public FolderLock {
 public:
  explicit Win32FolderLock(HANDLE file) : file_(file) {}
  ~Win32FolderLock() override { ::CloseHandle(file_); }

 private:
  HANDLE file_;
};

std::string LastError() { return "system error " + std::to_string(::GetLastError()); }

}  // namespace

FolderClaim LockFolder(const std::string& folder, bool wait) {
  FolderClaim claim;
  const std::string path = folder + "\\.valico.lock";
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    claim.error = path + ": " + LastError();
    return claim;
  }
  OVERLAPPED at{};
  DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
  if (!::LockFileEx(file, flags, 0, 1, 0, &at)) {
    claim.held_elsewhere = ::GetLastError() == ERROR_LOCK_VIOLATION;
    if (!claim.held_elsewhere) claim.error = path + ": " + LastError();
    ::CloseHandle(file);
    return claim;
  }
  claim.lock = std::make_unique<Win32FolderLock>(file);
  return claim;
}

}  // namespace valico
