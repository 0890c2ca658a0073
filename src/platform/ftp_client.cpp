#include "platform/ftp_client.h"

#include <cctype>

namespace valico {

bool ParseFtpServer(const std::string& server, std::string* host, int* port, std::string* err) {
  std::string h = server;
  int p = 21;
  size_t colon = server.find(':');
  if (colon != std::string::npos) {
    h = server.substr(0, colon);
    std::string digits = server.substr(colon + 1);
    p = 0;
    // At most five digits are added up, so no port text, however long, overflows the sum.
    bool ok = !digits.empty() && digits.size() <= 5;
    for (size_t i = 0; ok && i < digits.size(); ++i) {
      ok = std::isdigit(static_cast<unsigned char>(digits[i])) != 0;
      if (ok) p = p * 10 + (digits[i] - '0');
    }
    if (!ok || p < 1 || p > 65535) {
      if (err) *err = "FTP server \"" + server + "\": the port must be a number from 1 to 65535";
      return false;
    }
  }
  if (h.empty()) {
    if (err) *err = "no FTP server is set (FTP_Indirizzo is empty)";
    return false;
  }
  for (char c : h) {
    unsigned char u = static_cast<unsigned char>(c);
    if (!std::isalnum(u) && c != '.' && c != '-' && c != '_') {
      if (err) *err = "FTP server \"" + server + "\" is not a host name or host:port";
      return false;
    }
  }
  *host = h;
  *port = p;
  return true;
}

}  // namespace valico
