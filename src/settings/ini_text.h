#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace valico {

// The text of an INI file, read and edited the way the Windows private-profile functions do,
// as pure functions over the file's bytes (Windows-1252; bytes above 0x7F pass untouched), or
// over its UTF-16 code units for a file that starts with a UTF-16LE byte-order mark.
//
// Lines end at CR, LF or CR LF. A line whose first non-blank is ";" is a comment; "[" opens a
// section header whose name runs to the last "]" of the line (or to the line end when it has
// none), trimmed: "[Printer [A]] ; note" is the section "Printer [A]". Other non-blank lines
// are entries, split at the first "=". Names compare without regard to letter case.
// Section and key names passed in lose their spaces, but not their tabs: "Key<TAB>" is not
// "Key".

// The value of `key` in the first section called `section`: trimmed of blanks, one pair of
// enclosing quotes removed. Empty optional when the section, the key or its "=" is missing.
std::optional<std::string> IniFind(std::string_view content, std::string_view section,
                                   std::string_view key);
std::optional<std::u16string> IniFind(std::u16string_view content, std::u16string_view section,
                                      std::u16string_view key);

// The content with `key` set to `value` in `section`, every other byte kept. An existing
// entry's line is rewritten in the file's own spelling of the key (and given CR LF when it
// was the file's unended last line); a new key goes after the last entry of its section; a
// new section goes at the end. `*changed` is false (and the content returned as it was) when
// the stored value already is `value`.
std::string IniSet(std::string_view content, std::string_view section, std::string_view key,
                   std::string_view value, bool* changed);
std::u16string IniSet(std::u16string_view content, std::u16string_view section,
                      std::u16string_view key, std::u16string_view value, bool* changed);

// The content without the first section called `section`: its header and its entries go,
// comment lines inside it stay.
std::string IniRemoveSection(std::string_view content, std::string_view section, bool* changed);
std::u16string IniRemoveSection(std::u16string_view content, std::u16string_view section,
                                bool* changed);

// One section of a file, with its entries in file order.
struct IniEntry {
  std::string key;
  std::string value;  // as IniFind returns it: trimmed, one pair of enclosing quotes removed
};
struct IniSection {
  std::string name;
  std::vector<IniEntry> entries;                  // the lines with "=", duplicates kept
  std::vector<std::string> lines_without_equals;  // trimmed; no key the profile functions read
};

// Every section of the text in file order, in one pass (lines before the first header belong
// to none). IniFind's answer for (section, key) is the value of the first entry of `key` in
// the first section named `section`, names compared as IniNamesEqual does.
std::vector<IniSection> IniSections(std::string_view content);
// The sections of a file's bytes as the store reads them: a file with the UTF-16LE byte-order
// mark is read as UTF-16, its names and values narrowed to Windows-1252.
std::vector<IniSection> IniFileSections(std::string_view file);

// Whether two names in the file are the same name, and the name's form in which equal names
// are equal bytes (for hashing).
bool IniNamesEqual(std::string_view a, std::string_view b);
std::string IniFoldName(std::string_view name);

// Blanks as the profile functions trim them: space, tab, vertical tab.
std::string_view TrimBlanks(std::string_view s);

}  // namespace valico
