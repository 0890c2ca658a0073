#include "settings/ini_store.h"

#include "settings/ini_encoding.h"
#include "settings/ini_text.h"

namespace valico {
namespace {

// The profile functions return at most 254 characters (a 255-byte buffer with its NUL) and
// stop at an embedded NUL.
std::string Clip(std::string s) {
  size_t nul = s.find('\0');
  if (nul != std::string::npos) s.resize(nul);
  if (s.size() > 254) s.resize(254);
  return s;
}

// A default loses its trailing spaces, not its tabs.
std::string_view DropTrailingSpaces(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

std::optional<std::string> Find(std::string_view content, std::string_view section,
                                std::string_view key) {
  if (!IsUtf16File(content)) return IniFind(content, section, key);
  auto v = IniFind(Utf16FromFile(content), WidenCp1252(section), WidenCp1252(key));
  if (!v) return std::nullopt;
  return NarrowCp1252(*v);
}

// The file's new content, in the file's own encoding; nothing when it stays as it is. An empty
// key removes the section.
std::optional<std::string> Edit(const std::string& content, std::string_view section,
                                std::string_view key, std::string_view value) {
  bool changed = false;
  const bool remove = TrimBlanks(key).empty();
  if (IsUtf16File(content)) {
    std::u16string text = Utf16FromFile(content), s = WidenCp1252(section);
    std::u16string updated = remove
                                 ? IniRemoveSection(text, s, &changed)
                                 : IniSet(text, s, WidenCp1252(key), WidenCp1252(value), &changed);
    if (!changed) return std::nullopt;
    return FileFromUtf16(updated);
  }
  std::string updated = remove ? IniRemoveSection(content, section, &changed)
                               : IniSet(content, section, key, value, &changed);
  if (!changed) return std::nullopt;
  return updated;
}

}  // namespace

void IniStore::LogOnce(std::map<std::string, std::string, std::less<>>& last, std::string_view file,
                       const std::string& reason) const {
  auto it = last.find(file);
  if (it != last.end() && it->second == reason) return;
  log_.Warn(reason);
  last[std::string(file)] = reason;
}

std::string IniStore::ReadFile(std::string_view file) const {
  std::string content, err;
  if (files_.Read(file, &content, &err, kMaxFileBytes) == ReadStatus::kFailed) {
    LogOnce(read_failures_, file, "settings read as missing: " + err);
    return {};
  }
  if (auto it = read_failures_.find(file); it != read_failures_.end()) read_failures_.erase(it);
  return content;
}

std::string IniStore::LeggiINI(std::string_view section, std::string_view key,
                               std::string_view fallback, std::string_view file) const {
  return LeggiINIIn(ReadText(file), section, key, fallback);
}

std::string IniStore::ReadText(std::string_view file) const {
  std::lock_guard lock(mu_);
  return ReadFile(file);
}

std::string IniStore::LeggiINIIn(std::string_view text, std::string_view section,
                                 std::string_view key, std::string_view fallback) {
  if (auto v = Find(text, section, key)) return Clip(std::move(*v));
  return Clip(std::string(DropTrailingSpaces(fallback)));
}

bool IniStore::ScriviINI(std::string_view section, std::string_view key, std::string_view value,
                         std::string_view file) {
  std::lock_guard lock(mu_);
  std::string current, err;
  // A value already stored is not written: an idle Valico neither rewrites nor locks the file.
  if (files_.Read(file, &current, nullptr, kMaxFileBytes) != ReadStatus::kFailed &&
      !Edit(current, section, key, value))
    return true;
  // An existing file that cannot be read is never replaced by one holding only this key.
  bool written = files_.Update(
      file, kMaxFileBytes,
      [&](const std::string& content) { return Edit(content, section, key, value); }, &err);
  if (!written) {
    LogOnce(write_failures_, file, "settings not written: " + err);
    return false;
  }
  if (auto it = write_failures_.find(file); it != write_failures_.end()) write_failures_.erase(it);
  return true;
}

TypedValue IniStore::LeggiVarie(std::string_view key, std::string_view file) const {
  return ConvertStoredText(LeggiINI("VARIE", key, "", FileOrValico(file)), regional_);
}

TypedValue IniStore::LeggiVarieDef(std::string_view key, const TypedValue& fallback,
                                   std::string_view file) const {
  TypedValue v = LeggiVarie(key, file);
  return IsVuoto(v, regional_) ? fallback : v;
}

void IniStore::ScriviVarie(std::string_view key, const TypedValue& value, std::string_view file) {
  if (IsVuoto(key)) return;
  ScriviINI("VARIE", key, value.ToText(regional_), FileOrValico(file));
}

}  // namespace valico
