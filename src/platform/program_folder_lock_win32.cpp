#include <windows.h>

#include <cstdio>

#include "platform/program_folder_lock.h"

namespace valico {

std::string ProgramFolderKey(const std::string& folder) {
  char full[MAX_PATH * 4];
  DWORD n = ::GetFullPathNameA(folder.c_str(), sizeof(full), full, nullptr);
  std::string path = n > 0 && n < sizeof(full) ? std::string(full, n) : folder;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  ::CharUpperBuffA(path.data(), static_cast<DWORD>(path.size()));
  return KeyOfFolderPath(path);
}

ProgramFolderLock::ProgramFolderLock(const std::string& folder) {
  // "Local\": the session's own namespace, which every user may create objects in.
  // A mutex that cannot be made at all does not stop the program.
  HANDLE mutex = ::CreateMutexA(nullptr, FALSE, ("Local\\" + ProgramFolderKey(folder)).c_str());
  held_ = true;
  if (!mutex) return;
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    held_ = false;
    ::CloseHandle(mutex);
    return;
  }
  handle_ = reinterpret_cast<std::intptr_t>(mutex);
}

ProgramFolderLock::~ProgramFolderLock() {
  if (handle_ != -1) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace valico
