#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "platform/files.h"
#include "platform/native_path.h"
#include "platform/system_error_win32.h"
#include "platform/unique_handle_win32.h"

namespace valico {
namespace {

// How long a writer waits for another one, and for readers that hold the file, before it
// gives up.
constexpr DWORD kLockWaitMs = 10000;
constexpr DWORD kBusyWaitMs = 3000;
// How long the rename that puts a new settings file in place waits for readers to let go of
// the old one. Windows refuses it while any reader has the file open; readers hold it for the
// moment of a read, but on a busy machine those moments add up.
constexpr DWORD kReplaceWaitMs = 10000;
constexpr const char* kTempSuffix = ".valico-tmp";

bool Fail(std::string* err, const std::string& what, DWORD code) {
  if (err) *err = what + ": " + SystemErrorText(code);
  return false;
}

bool Fail(std::string* err, const std::string& what) {
  if (err) *err = what;
  return false;
}

bool IsBusy(DWORD e) {
  return e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION || e == ERROR_ACCESS_DENIED;
}

std::string FolderOf(const std::string& path) {
  size_t sep = path.find_last_of("\\/");
  return sep == std::string::npos ? std::string(".") : path.substr(0, sep);
}

// Valico's writers of one file take turns through a named mutex of the session, named after
// the file's full path. Its security lets every user of the session wait on it, so an
// installer's elevated `valico ini set` and the shop user's Valico share it. When no mutex
// can be had, the file is written without one.
class WriterLock {
 public:
  ~WriterLock() {
    if (owned_) ::ReleaseMutex(mutex_.get());
  }
  bool owned() const { return owned_; }

  bool Acquire(const std::string& target, std::string* err) {
    char full[MAX_PATH * 4];
    DWORD n = ::GetFullPathNameA(target.c_str(), sizeof full, full, nullptr);
    std::string key = n > 0 && n < sizeof full ? std::string(full, n) : target;
    // FNV-1a over the upper-cased path: names compare without regard to case.
    unsigned long long hash = 1469598103934665603ull;
    for (char c : key) {
      char up = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c == '/' ? '\\' : c;
      hash = (hash ^ static_cast<unsigned char>(up)) * 1099511628211ull;
    }
    char name[64];
    std::snprintf(name, sizeof name, "Local\\valico-settings-%016llx", hash);
    SECURITY_DESCRIPTOR sd;
    ::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE);
    SECURITY_ATTRIBUTES sa{sizeof sa, &sd, FALSE};
    HANDLE m = ::CreateMutexA(&sa, FALSE, name);
    if (!m) return true;
    mutex_.Reset(m);
    DWORD r = ::WaitForSingleObject(m, kLockWaitMs);
    if (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED) {  // abandoned: its writer died, not the file
      owned_ = true;
      return true;
    }
    return Fail(err, "another program has been writing " + target + " for " +
                         std::to_string(kLockWaitMs / 1000) + " s; gave up waiting");
  }

 private:
  UniqueHandle mutex_;
  bool owned_ = false;
};

// Temporary files of `target` that a writer killed half way left behind (the caller holds
// the writers' lock, so no writer of Valico is using one).
void RemoveLeftovers(const std::string& target) {
  std::string folder = FolderOf(target);
  WIN32_FIND_DATAA fd;
  HANDLE find = ::FindFirstFileA((target + ".*" + kTempSuffix).c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    ::DeleteFileA((folder + "\\" + fd.cFileName).c_str());
  } while (::FindNextFileA(find, &fd));
  ::FindClose(find);
}

// Windows' own profile functions refuse a read-only file and one the caller may not write,
// also to an administrator.
bool MayWriteInPlace(const std::string& target, DWORD attrs, std::string* err) {
  if (attrs & FILE_ATTRIBUTE_READONLY)
    return Fail(err, "cannot write " + target + ": the file is read-only");
  DWORD waited = 0;
  for (;;) {
    UniqueHandle h(::CreateFileA(target.c_str(), GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (h.valid()) return true;
    DWORD e = ::GetLastError();
    if (e != ERROR_SHARING_VIOLATION || waited >= kBusyWaitMs)
      return Fail(err, "cannot write " + target, e);
    ::Sleep(10);
    waited += 10;
  }
}

bool ReplaceLocked(const std::string& target, std::string_view data, bool locked,
                   std::string* err) {
  DWORD attrs = ::GetFileAttributesA(target.c_str());
  bool existed = attrs != INVALID_FILE_ATTRIBUTES;
  if (existed && (attrs & FILE_ATTRIBUTE_DIRECTORY))
    return Fail(err, "cannot write " + target + ": a folder");
  if (existed && !MayWriteInPlace(target, attrs, err)) return false;
  if (locked) RemoveLeftovers(target);

  std::string tmp;
  UniqueHandle h;
  std::random_device random;
  for (int attempt = 0; attempt < 16 && !h.valid(); ++attempt) {
    char id[20];
    std::snprintf(id, sizeof id, ".%08x%08x", random(), random());
    tmp = target + id + kTempSuffix;
    h.Reset(::CreateFileA(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                          nullptr));
    DWORD e = ::GetLastError();
    if (!h.valid() && e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS)
      return Fail(err, "cannot create a temporary file in " + FolderOf(target), e);
  }
  if (!h.valid()) return Fail(err, "cannot find a free temporary name beside " + target);
  auto discard = [&](const std::string& what, DWORD e) {
    h.Close();
    ::DeleteFileA(tmp.c_str());
    return Fail(err, what, e);
  };
  while (!data.empty()) {
    DWORD chunk = data.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(data.size());
    DWORD written = 0;
    if (!::WriteFile(h.get(), data.data(), chunk, &written, nullptr) || written == 0)
      return discard("cannot write " + tmp, ::GetLastError());
    data.remove_prefix(written);
  }
  if (!::FlushFileBuffers(h.get())) return discard("cannot flush " + tmp, ::GetLastError());
  h.Close();
  if (existed) {
    constexpr DWORD kKept = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (attrs & kKept) ::SetFileAttributesA(tmp.c_str(), attrs & kKept);
  }

  // One rename puts the new file in place: a reader sees the old file or the new one, never
  // none (ReplaceFile would keep the old file's security, but may leave a moment without the
  // file). While any reader has the file open the rename is refused, so it is tried again
  // after pauses of random length: a reader that comes back at a steady pace cannot keep
  // meeting it.
  std::minstd_rand jitter(random());
  for (DWORD waited = 0;;) {
    if (::MoveFileExA(tmp.c_str(), target.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    DWORD e = ::GetLastError();
    if (!IsBusy(e) || waited >= kReplaceWaitMs)
      return discard("cannot replace " + target + " with " + tmp, e);
    DWORD pause = 1 + jitter() % 16;
    ::Sleep(pause);
    waited += pause;
  }
}

}  // namespace

ReadStatus ReadNativeFile(const std::string& native, std::size_t limit, std::string* out,
                          std::string* err) {
  DWORD attrs = ::GetFileAttributesA(native.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) {
    DWORD e = ::GetLastError();
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) return ReadStatus::kMissing;
  } else if (attrs & FILE_ATTRIBUTE_DIRECTORY) {
    Fail(err, "cannot read " + native + ": a folder");
    return ReadStatus::kFailed;
  }
  // Sharing everything, so that a writer can replace the file meanwhile; a writer that holds
  // it without sharing is waited for a moment.
  UniqueHandle h;
  for (DWORD waited = 0;; waited += 10) {
    h.Reset(::CreateFileA(native.c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (h.valid()) break;
    DWORD e = ::GetLastError();
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) return ReadStatus::kMissing;
    if (e != ERROR_SHARING_VIOLATION || waited >= kBusyWaitMs) {
      Fail(err, "cannot open " + native, e);
      return ReadStatus::kFailed;
    }
    ::Sleep(10);
  }
  LARGE_INTEGER size;
  auto too_large = [&] {
    Fail(err, "not reading " + native + ": larger than " + std::to_string(limit) + " bytes");
    return ReadStatus::kFailed;
  };
  if (::GetFileSizeEx(h.get(), &size) && static_cast<unsigned long long>(size.QuadPart) > limit)
    return too_large();
  std::string data;
  char buf[65536];
  for (;;) {
    DWORD n = 0;
    if (!::ReadFile(h.get(), buf, sizeof buf, &n, nullptr)) {
      Fail(err, "cannot read " + native, ::GetLastError());
      return ReadStatus::kFailed;
    }
    if (n == 0) break;
    if (data.size() + n > limit) return too_large();
    data.append(buf, n);
  }
  *out = std::move(data);
  return ReadStatus::kRead;
}

bool ReplaceNativeFile(const std::string& native, std::string_view data, std::string* err) {
  WriterLock lock;
  if (!lock.Acquire(native, err)) return false;
  return ReplaceLocked(native, data, lock.owned(), err);
}

bool UpdateNativeFile(const std::string& native, std::size_t limit, const FileEdit& edit,
                      std::string* err) {
  WriterLock lock;
  if (!lock.Acquire(native, err)) return false;
  std::string current;
  if (ReadNativeFile(native, limit, &current, err) == ReadStatus::kFailed) return false;
  std::optional<std::string> updated = edit(current);
  if (!updated) return true;
  return ReplaceLocked(native, *updated, lock.owned(), err);
}

bool MoveWithoutReplace(const std::string& from_native, const std::string& to_native,
                        std::string* err) {
  // No MOVEFILE_REPLACE_EXISTING: an existing target is refused by the system itself.
  // Without MOVEFILE_COPY_ALLOWED a file that is still open elsewhere is never half-copied.
  if (::MoveFileExA(from_native.c_str(), to_native.c_str(), 0)) return true;
  DWORD e = ::GetLastError();
  if (err) {
    switch (e) {
      case ERROR_ALREADY_EXISTS:
      case ERROR_FILE_EXISTS:
        *err = "the target exists";
        break;
      case ERROR_SHARING_VIOLATION:
      case ERROR_LOCK_VIOLATION:
        *err = "another program still has the file open";
        break;
      default:
        *err = SystemErrorText(e);
    }
  }
  return false;
}

bool VisitNativeFiles(const std::string& native,
                      const std::function<bool(const std::string&)>& visit, std::string* err) {
  std::error_code ec;
  std::filesystem::directory_iterator it(FsPath(native), ec), end;
  if (ec) return Fail(err, "cannot list " + native + ": " + ec.message());
  for (; it != end; it.increment(ec)) {
    std::error_code ec2;
    if (it->is_regular_file(ec2) && !visit(NarrowPath(it->path().filename()))) return true;
  }
  // A failed step ends the listing: the names so far were visited.
  if (ec) return Fail(err, "cannot list all of " + native + ": " + ec.message());
  return true;
}

bool CopyReplacing(const std::string& from_native, const std::string& to_native, std::string* err) {
  if (::CopyFileA(from_native.c_str(), to_native.c_str(), /*bFailIfExists=*/FALSE)) return true;
  if (err) *err = SystemErrorText(::GetLastError());
  return false;
}

}  // namespace valico
