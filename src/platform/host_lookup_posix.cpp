#include <netdb.h>
#include <sys/socket.h>

#include "platform/host_lookup.h"

namespace valico {

bool LookUpHost(const std::string& host, std::string* address, std::string* why) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (int r = ::getaddrinfo(host.c_str(), nullptr, &hints, &found); r != 0) {
    *why = ::gai_strerror(r);
    return false;
  }
  char text[NI_MAXHOST] = "";
  ::getnameinfo(found->ai_addr, found->ai_addrlen, text, sizeof text, nullptr, 0, NI_NUMERICHOST);
  *address = text;
  ::freeaddrinfo(found);
  return true;
}

}  // namespace valico
