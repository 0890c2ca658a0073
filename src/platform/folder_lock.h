#pragma once

#include <memory>
#include <string>

namespace valico {

// The claim of one running Valico on its program folder, so that two programs (the system
// service and a desktop session's tray program, or two starts of either) never poll one
// spool. It is a lock on the file ".valico.lock" in the folder, held until the object goes;
// the system drops it when the process ends, however it ends. Per-OS.
class FolderLock {
 public:
  virtual ~FolderLock() = default;
};

struct FolderClaim {
  std::unique_ptr<FolderLock> lock;  // null when not claimed
  bool held_elsewhere = false;       // another program holds the folder
  std::string error;                 // why it could not be claimed otherwise
};

// Claims `folder` (native). `wait`: until the holder lets go; otherwise at once.
FolderClaim LockFolder(const std::string& folder, bool wait);

}  // namespace valico
