#pragma once

#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/diag_log.h"
#include "platform/files.h"
#include "platform/regional.h"
#include "settings/typed_value.h"

namespace valico {

// The only way the system touches its INI files (_Valico.ini, Borea's _Local.ini, the
// scheduler file). Every call reads or writes the file afresh: another program's write is
// seen at the next read (but while a OneReading lives, see there). Calls are serialised by one
// lock, so a worker thread may use the store beside the tick; writes of several processes take
// turns through the files' own lock (Files::Update), so none is lost.
//
// A file that cannot be read (a folder, no permission, larger than kMaxFileBytes) reads as
// missing, and writes to it fail; the reason goes to the log once, until the file reads
// (or writes) again.
class IniStore {
 public:
  // The largest settings file read. The largest real one is a scheduler file with a job for
  // every minute of the week (10,080 keys, about 200 KB); a larger file is a mistake or an
  // attack, and reading it every tick would stall the devices.
  static constexpr std::size_t kMaxFileBytes = 1 << 20;

  IniStore(const Files& files, const Regional& regional, DiagLog& log)
      : files_(files), regional_(regional), log_(log) {}

  // The program's own settings file, used when a typed operation names no file.
  void SetValicoIni(std::string path) { valico_ini_ = std::move(path); }
  const std::string& valico_ini() const { return valico_ini_; }
  const Regional& regional() const { return regional_; }

  // The value of `key` in `section` of `file`, or `fallback` (trailing spaces dropped) when
  // the file, section or key is missing; at most 254 characters, up to the first NUL.
  std::string LeggiINI(std::string_view section, std::string_view key, std::string_view fallback,
                       std::string_view file) const;
  // The text of `file` as LeggiINI reads it ("" when missing or unreadable), and LeggiINI's
  // answer from such a text: for a caller that reads many keys from one reading.
  std::string ReadText(std::string_view file) const;
  static std::string LeggiINIIn(std::string_view text, std::string_view section,
                                std::string_view key, std::string_view fallback);
  // Writes `value`; an empty `key` removes the whole section. Creates file and section as
  // needed; writes nothing when the value is already stored. False when the write failed
  // (the file is then as it was).
  bool ScriviINI(std::string_view section, std::string_view key, std::string_view value,
                 std::string_view file);

  // Typed operations on section "VARIE" of `file` (of _Valico.ini when `file` is empty).
  TypedValue LeggiVarie(std::string_view key, std::string_view file = {}) const;
  TypedValue LeggiVarieDef(std::string_view key, const TypedValue& fallback,
                           std::string_view file = {}) const;
  void ScriviVarie(std::string_view key, const TypedValue& value, std::string_view file = {});

  // While an object of this kind lives, each file is read once: later reads answer from that
  // reading, and the store's own writes bring it up to date, so a write made meanwhile by the
  // program itself is seen by the reads after it, as with a read per key. Another program's
  // write is seen by the first read after the last such object ended. For a run of many
  // reads, such as the load of the settings. Objects may nest; any thread.
  class OneReading {
   public:
    explicit OneReading(const IniStore& store);
    ~OneReading();
    OneReading(const OneReading&) = delete;
    OneReading& operator=(const OneReading&) = delete;

   private:
    const IniStore& store_;
  };

  // Holds the store's lock until the returned lock is released, so that a read followed by a
  // write made on this thread cannot interleave with another thread's calls. Calls made while
  // holding it are allowed (the lock is recursive).
  [[nodiscard]] std::unique_lock<std::recursive_mutex> Hold() const {
    return std::unique_lock<std::recursive_mutex>(mu_);
  }

 private:
  std::string_view FileOrValico(std::string_view file) const {
    return file.empty() ? std::string_view(valico_ini_) : file;
  }
  // What one reading of a file found.
  struct Reading {
    ReadStatus status = ReadStatus::kMissing;
    std::string content;  // "" unless read
  };
  // The file's bytes; "" when it is missing or cannot be read (the reason logged once).
  std::string ReadFile(std::string_view file) const { return ReadOf(file).content; }
  // The file's reading: a fresh one, or while a OneReading lives, the one kept.
  Reading ReadOf(std::string_view file) const;
  Reading ReadFresh(std::string_view file) const;
  // After a write to `file`: the kept reading of it becomes `now` (none: read it again).
  void Wrote(std::string_view file, const std::optional<std::string>& now);
  // Logs `reason` unless it was the last one logged for `file` in `last`.
  void LogOnce(std::map<std::string, std::string, std::less<>>& last, std::string_view file,
               const std::string& reason) const;

  const Files& files_;
  const Regional& regional_;
  DiagLog& log_;
  std::string valico_ini_;
  mutable std::recursive_mutex mu_;
  // While a OneReading lives: how many do, the native path of each file read, and the
  // reading of each native path.
  mutable int one_reading_ = 0;
  mutable std::map<std::string, std::string, std::less<>> native_of_;
  mutable std::map<std::string, Reading> kept_;
  // Per file, the last reason logged why it could not be read or written.
  mutable std::map<std::string, std::string, std::less<>> read_failures_, write_failures_;
};

}  // namespace valico
