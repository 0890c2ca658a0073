#include <windows.h>

#include <vector>

#include "platform/system_error_win32.h"
#include "platform/write_access.h"

namespace valico {
namespace {

bool Fail(std::string* why, const std::string& text) {
  *why = text;
  return false;
}

// Whether this process's user is granted `want` by the security of the file or folder.
bool Granted(const std::string& native, DWORD want, std::string* why) {
  const SECURITY_INFORMATION info =
      OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  DWORD need = 0;
  ::GetFileSecurityA(native.c_str(), info, nullptr, 0, &need);
  std::vector<char> sd(need ? need : 1);
  if (!::GetFileSecurityA(native.c_str(), info, sd.data(), need, &need))
    return Fail(why, SystemErrorText(::GetLastError()));
  HANDLE token = nullptr;
  if (!::ImpersonateSelf(SecurityImpersonation))
    return Fail(why, SystemErrorText(::GetLastError()));
  BOOL opened = ::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &token);
  ::RevertToSelf();
  if (!opened) return Fail(why, SystemErrorText(::GetLastError()));
  GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                          FILE_ALL_ACCESS};
  ::MapGenericMask(&want, &mapping);
  PRIVILEGE_SET privileges{};
  DWORD privileges_size = sizeof privileges, granted = 0;
  BOOL allowed = FALSE;
  BOOL asked = ::AccessCheck(sd.data(), token, want, &mapping, &privileges, &privileges_size,
                             &granted, &allowed);
  DWORD code = ::GetLastError();
  ::CloseHandle(token);
  if (!asked) return Fail(why, SystemErrorText(code));
  return allowed ? true : Fail(why, SystemErrorText(ERROR_ACCESS_DENIED));
}

}  // namespace

bool CanWrite(const std::string& native, std::string* why) {
  DWORD attributes = ::GetFileAttributesA(native.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Fail(why, SystemErrorText(::GetLastError()));
  if (attributes & FILE_ATTRIBUTE_DIRECTORY)
    return Granted(native, FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY, why);
  if (attributes & FILE_ATTRIBUTE_READONLY) return Fail(why, "the file is read-only");
  return Granted(native, FILE_GENERIC_WRITE, why);
}

}  // namespace valico
