#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/diag_log.h"
#include "platform/file_identity.h"
#include "printing/printer_declarations.h"

namespace valico {

// The printers that _Stampanti.ini of the program folder declares, for the printing system on
// Linux. Current() looks at the file once (one stat) and reads it again only when it changed,
// so it may be called at every print. The file is read whole, at most IniStore::kMaxFileBytes:
// a larger file, a folder or a file that cannot be read declares no printers and is logged
// once, with the reason, until it changes; a missing file declares none (logged once, as
// information). Each problem of a version of the file is logged once.
//
// Safe to call from several threads at once: the refresh is serialised, and each caller gets
// a set that no refresh changes.
class DeclaredPrinters {
 public:
  static constexpr const char* kFileName = "_Stampanti.ini";

  // One reading of the file, never changed once made.
  class Snapshot {
   public:
    Snapshot() = default;
    explicit Snapshot(std::vector<PrinterDeclaration> printers);
    // In the file's order.
    const std::vector<PrinterDeclaration>& printers() const { return printers_; }
    // The printer of exactly this device name; null when there is none.
    const PrinterDeclaration* Find(std::string_view device) const;
    // The default printer (Predefinita); null when no printer is.
    const PrinterDeclaration* Default() const;

   private:
    std::vector<PrinterDeclaration> printers_;
    std::unordered_map<std::string, size_t> by_device_;
  };

  // `native_home`: the program folder. `log` may be null.
  DeclaredPrinters(const std::string& native_home, DiagLog* log);

  // The printers as the file declares them now. Never null.
  std::shared_ptr<const Snapshot> Current();
  const std::string& path() const { return path_; }
  // How many times the file was read (for tests and benchmarks).
  long reads() const;

 private:
  enum class State { kUnknown, kMissing, kRefused, kRead };
  void Refresh();
  void Missing();
  void Refuse(const std::string& reason);
  void Load(std::string text);
  void Log(LogLevel level, const std::string& text) const;

  const std::string path_;
  DiagLog* const log_;
  mutable std::mutex mu_;
  std::optional<FileIdentity> seen_;
  bool trusted_ = false;  // seen_ may be compared with a later look
  State state_ = State::kUnknown;
  std::string refusal_;  // the reason last logged for a refused file
  std::string text_;     // the text of the current snapshot
  std::shared_ptr<const Snapshot> current_ = std::make_shared<const Snapshot>();
  long reads_ = 0;
};

}  // namespace valico
