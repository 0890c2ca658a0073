#pragma once

#include <string>

#include "platform/diag_log.h"
#include "platform/files.h"
#include "platform/ftp_client.h"
#include "platform/processes.h"
#include "platform/regional.h"
#include "settings/ini_store.h"

namespace valico {

// What an FTP transfer and its dial-up use. A transfer runs on a worker thread beside the
// tick, so it gets only what may be used from there, and copies of the rest.
struct TransferServices {
  IniStore& ini;         // serialises its calls with its own lock
  const Files& files;    // thread-safe
  DiagLog& log;          // thread-safe
  Processes& processes;  // may be used from several threads
  FtpClient& ftp;        // one transfer at a time
  Regional regional;     // a copy
  std::string program_folder;
};

}  // namespace valico
