#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_identity.h"
#include "platform/files.h"
#include "settings/ini_store.h"

namespace valico {

// One settings file as last read, for the many reads of one tick: Refresh looks at the file
// once (one stat) and reads it again only when it changed (another file in its place, another
// size, newer time stamps) or changed too lately for its stamps to show the next change.
// Answers as the store's LeggiINI would. Main thread only.
class IniSnapshot {
 public:
  IniSnapshot(IniStore& store, const Files& files, std::string file)
      : store_(store), files_(files), file_(std::move(file)) {}

  const std::string& file() const { return file_; }
  // Brings the snapshot up to date with the file.
  void Refresh();
  // How many times the file was read (for the benchmarks of an idle tick).
  long reads() const { return reads_; }

  std::string LeggiINI(std::string_view section, std::string_view key,
                       std::string_view fallback) const;
  TypedValue LeggiVarieDef(std::string_view key, const TypedValue& fallback) const;
  // The store's ScriviVarie into `file`, but nothing at all when `file` is this snapshot's
  // file and the snapshot already holds that text (an idle tick writes nothing, and reads
  // nothing to find that out).
  void ScriviVarie(std::string_view key, const TypedValue& value, std::string_view file);

 private:
  IniStore& store_;
  const Files& files_;
  std::string file_;
  std::string native_;  // where file_ was found; looked up again when it is not there
  std::string text_;
  // Answers already looked up in text_ (a large file is searched once per key per reading).
  mutable std::map<std::string, std::string> answers_;
  std::optional<FileIdentity> seen_;
  bool trusted_ = false;  // seen_ may be compared with a later look
  long reads_ = 0;
};

}  // namespace valico
