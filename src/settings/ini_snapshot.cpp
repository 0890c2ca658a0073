#include "settings/ini_snapshot.h"

namespace valico {

void IniSnapshot::Refresh() {
  std::optional<FileIdentity> now;
  if (!native_.empty()) now = IdentityOf(native_);
  if (!now) {
    native_ = files_.Native(file_);
    now = IdentityOf(native_);
  }
  if (trusted_ && now == seen_) return;
  // The look is taken before the read: a change made during the read shows at the next one.
  seen_ = now;
  trusted_ = !now || !IsRecent(*now);
  text_ = now ? store_.ReadText(file_) : std::string();
  answers_.clear();
  if (now) ++reads_;
}

std::string IniSnapshot::LeggiINI(std::string_view section, std::string_view key,
                                  std::string_view fallback) const {
  std::string question;
  for (std::string_view part : {section, key, fallback}) (question += part) += '\0';
  auto [it, added] = answers_.try_emplace(question);
  if (added) it->second = IniStore::LeggiINIIn(text_, section, key, fallback);
  return it->second;
}

TypedValue IniSnapshot::LeggiVarieDef(std::string_view key, const TypedValue& fallback) const {
  const Regional& regional = store_.regional();
  TypedValue v = ConvertStoredText(LeggiINI("VARIE", key, ""), regional);
  return IsVuoto(v, regional) ? fallback : v;
}

void IniSnapshot::ScriviVarie(std::string_view key, const TypedValue& value,
                              std::string_view file) {
  if (file == file_ && LeggiINI("VARIE", key, "") == value.ToText(store_.regional())) return;
  store_.ScriviVarie(key, value, file);
  if (file == file_) trusted_ = false;  // read it again at the next refresh
}

}  // namespace valico
