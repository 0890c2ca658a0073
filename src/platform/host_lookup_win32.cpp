#include <winsock2.h>
#include <ws2tcpip.h>

#include "platform/host_lookup.h"
#include "platform/system_error_win32.h"

namespace valico {

bool LookUpHost(const std::string& host, std::string* address, std::string* why) {
  WSADATA wsa;
  if (int r = ::WSAStartup(MAKEWORD(2, 2), &wsa); r != 0) {
    *why = SystemErrorText(static_cast<unsigned long>(r));
    return false;
  }
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  int r = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (r == 0) {
    char text[NI_MAXHOST] = "";
    ::getnameinfo(found->ai_addr, static_cast<socklen_t>(found->ai_addrlen), text, sizeof text,
                  nullptr, 0, NI_NUMERICHOST);
    *address = text;
    ::freeaddrinfo(found);
  } else {
    *why = SystemErrorText(static_cast<unsigned long>(r));
  }
  ::WSACleanup();
  return r == 0;
}

}  // namespace valico
