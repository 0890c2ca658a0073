#include "settings/ini_store.h"

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

std::string_view DropTrailingBlanks(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\v'))
    s.remove_suffix(1);
  return s;
}

}  // namespace

std::string IniStore::LeggiINI(std::string_view section, std::string_view key,
                               std::string_view fallback, std::string_view file) const {
  return LeggiINIIn(ReadText(file), section, key, fallback);
}

std::string IniStore::ReadText(std::string_view file) const {
  std::lock_guard lock(mu_);
  std::string content;
  if (files_.IsFile(file)) files_.ReadAll(file, &content, nullptr);
  return content;
}

std::string IniStore::LeggiINIIn(std::string_view text, std::string_view section,
                                 std::string_view key, std::string_view fallback) {
  if (auto v = IniFind(text, section, key)) return Clip(std::move(*v));
  return Clip(std::string(DropTrailingBlanks(fallback)));
}

bool IniStore::ScriviINI(std::string_view section, std::string_view key, std::string_view value,
                         std::string_view file) {
  std::lock_guard lock(mu_);
  std::string content, err;
  // An existing file that cannot be read must not be replaced by one holding only this key.
  if (files_.Exists(file) && !files_.ReadAll(file, &content, &err)) {
    log_.Warn("settings not written: " + err);
    return false;
  }
  bool changed = false;
  std::string updated = TrimBlanks(key).empty() ? IniRemoveSection(content, section, &changed)
                                                : IniSet(content, section, key, value, &changed);
  if (!changed) return true;
  if (!files_.WriteAtomically(file, updated, &err)) {
    log_.Warn("settings not written: " + err);
    return false;
  }
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
