#include "settings/ini_store.h"

#include <algorithm>
#include <cctype>

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

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

void IniStore::LogOnce(std::map<std::string, std::string, std::less<>>& last, std::string_view file,
                       const std::string& reason) const {
  auto it = last.find(file);
  if (it != last.end() && it->second == reason) return;
  log_.Warn(reason);
  last[std::string(file)] = reason;
}

IniStore::Reading IniStore::ReadFresh(std::string_view file) const {
  Reading r;
  std::string err;
  r.status = files_.Read(file, &r.content, &err, kMaxFileBytes);
  if (r.status == ReadStatus::kFailed) {
    LogOnce(read_failures_, file, "settings read as missing: " + err);
    r.content.clear();
  } else if (auto it = read_failures_.find(file); it != read_failures_.end()) {
    read_failures_.erase(it);
  }
  return r;
}

IniStore::Reading IniStore::ReadOf(std::string_view file) const {
  if (one_reading_ == 0) return ReadFresh(file);
  auto named = native_of_.find(file);
  if (named == native_of_.end())
    named = native_of_.emplace(std::string(file), files_.Native(file)).first;
  auto kept = kept_.find(named->second);
  if (kept == kept_.end()) kept = kept_.emplace(named->second, ReadFresh(file)).first;
  return kept->second;
}

void IniStore::Wrote(std::string_view file, const std::optional<std::string>& now) {
  if (one_reading_ == 0) return;
  std::string native = files_.Native(file);
  // The same file named with other letter case (a Windows path is not looked up) is read again.
  std::erase_if(kept_, [&](const auto& kept) { return SameIgnoringCase(kept.first, native); });
  if (now) kept_[native] = Reading{ReadStatus::kRead, *now};
}

IniStore::OneReading::OneReading(const IniStore& store) : store_(store) {
  std::lock_guard lock(store_.mu_);
  ++store_.one_reading_;
}

IniStore::OneReading::~OneReading() {
  std::lock_guard lock(store_.mu_);
  if (--store_.one_reading_ > 0) return;
  store_.native_of_.clear();
  store_.kept_.clear();
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
  std::string err;
  // A value already stored is not written: an idle Valico neither rewrites nor locks the file.
  Reading current;
  if (one_reading_ > 0)
    current = ReadOf(file);
  else  // a file that cannot be read is logged by the write that fails on it
    current.status = files_.Read(file, &current.content, nullptr, kMaxFileBytes);
  if (current.status != ReadStatus::kFailed && !Edit(current.content, section, key, value))
    return true;
  // An existing file that cannot be read is never replaced by one holding only this key.
  std::optional<std::string> now;  // the file as the update left it
  bool written = files_.Update(
      file, kMaxFileBytes,
      [&](const std::string& content) {
        std::optional<std::string> edited = Edit(content, section, key, value);
        now = edited ? *edited : content;
        return edited;
      },
      &err);
  Wrote(file, written ? now : std::nullopt);
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
