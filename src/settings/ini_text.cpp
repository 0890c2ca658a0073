#include "settings/ini_text.h"

#include <type_traits>
#include <vector>

#include "settings/ini_encoding.h"

namespace valico {
namespace {

// The same rules over bytes (Windows-1252) and over UTF-16 code units: the profile functions
// read a file with a UTF-16LE byte-order mark as UTF-16.
template <typename Char>
using View = std::basic_string_view<Char>;
template <typename Char>
using Text = std::basic_string<Char>;

template <typename Char>
bool IsBlank(Char c) {
  return c == ' ' || c == '\t' || c == '\v';
}

// Letter case folding of Windows-1252 (and of the same letters in UTF-16): ASCII and the
// accented capitals 0xC0-0xDE (not 0xD7).
template <typename Char>
unsigned Fold(Char ch) {
  unsigned c = static_cast<std::make_unsigned_t<Char>>(ch);
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  return c;
}

template <typename Char>
bool NamesEqual(View<Char> a, View<Char> b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

// Names and values in the file: blanks around them dropped.
template <typename Char>
View<Char> TrimLine(View<Char> s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Names a caller passes in lose their spaces only: a tab stays part of the name.
template <typename Char>
View<Char> TrimSpaces(View<Char> s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

template <typename Char>
constexpr Char kLineEnd[] = {'\r', '\n', 0};

enum class Kind { kBlank, kComment, kHeader, kEntry };

template <typename Char>
struct Line {
  size_t begin = 0;  // first unit of the line
  size_t end = 0;    // one past its last unit, line end excluded
  size_t next = 0;   // first unit of the next line
  Kind kind = Kind::kBlank;
  View<Char> name;   // section name or key name, trimmed
  View<Char> value;  // entry value, trimmed (raw: quotes kept)
  bool has_equals = false;
};

// The line that starts at `pos`: the one place that decides what a header, a comment and an
// entry are.
template <typename Char>
Line<Char> ReadLine(View<Char> text, size_t pos) {
  Line<Char> l;
  l.begin = pos;
  size_t e = text.find_first_of(kLineEnd<Char>, pos);
  if (e == View<Char>::npos) e = text.size();
  l.end = e;
  l.next = e;
  if (l.next < text.size() && text[l.next] == '\r') ++l.next;
  if (l.next < text.size() && text[l.next] == '\n' && (l.next == e || text[e] == '\r')) ++l.next;
  View<Char> body = TrimLine(text.substr(l.begin, l.end - l.begin));
  if (body.empty()) {
    l.kind = Kind::kBlank;
  } else if (body[0] == ';') {
    l.kind = Kind::kComment;
  } else if (body[0] == '[') {
    // The name runs to the line's last "]", so a name may hold brackets ("Printer [A]");
    // without any "]" it runs to the line end.
    l.kind = Kind::kHeader;
    View<Char> inner = body.substr(1);
    l.name = TrimLine(inner.substr(0, inner.rfind(Char(']'))));
  } else {
    l.kind = Kind::kEntry;
    size_t eq = body.find(Char('='));
    l.has_equals = eq != View<Char>::npos;
    l.name = TrimLine(body.substr(0, eq));
    if (l.has_equals) l.value = TrimLine(body.substr(eq + 1));
  }
  return l;
}

template <typename Char>
std::vector<Line<Char>> SplitLines(View<Char> text) {
  std::vector<Line<Char>> lines;
  for (size_t pos = 0; pos < text.size(); pos = lines.back().next)
    lines.push_back(ReadLine(text, pos));
  return lines;
}

// Index range [first, last) of the lines of the first section named `section`, header
// excluded.
struct Range {
  bool found = false;
  size_t header = 0;
  size_t first = 0;
  size_t last = 0;
};

template <typename Char>
Range FindSection(const std::vector<Line<Char>>& lines, View<Char> section) {
  Range r;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind == Kind::kHeader && NamesEqual(lines[i].name, section)) {
      r.found = true;
      r.header = i;
      r.first = i + 1;
      r.last = r.first;
      while (r.last < lines.size() && lines[r.last].kind != Kind::kHeader) ++r.last;
      return r;
    }
  }
  return r;
}

template <typename Char>
View<Char> Unquote(View<Char> v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

// A value never spans lines: what follows a line break would become entries of its own.
template <typename Char>
View<Char> FirstLine(View<Char> v) {
  return v.substr(0, v.find_first_of(kLineEnd<Char>));
}

template <typename Char>
Text<Char> Entry(View<Char> key, View<Char> value) {
  Text<Char> s(key);
  s += Char('=');
  s += value;
  return s;
}

// One pass, stopping at the answer: only the first section of the name is searched.
template <typename Char>
std::optional<Text<Char>> Find(View<Char> content, View<Char> section, View<Char> key) {
  section = TrimSpaces(section);
  key = TrimSpaces(key);
  bool inside = false;
  for (size_t pos = 0; pos < content.size();) {
    Line<Char> l = ReadLine(content, pos);
    pos = l.next;
    if (l.kind == Kind::kHeader) {
      if (inside) return std::nullopt;
      inside = NamesEqual(l.name, section);
    } else if (inside && l.kind == Kind::kEntry && l.has_equals && NamesEqual(l.name, key)) {
      return Text<Char>(Unquote(l.value));
    }
  }
  return std::nullopt;
}

// Every section in file order, its names and values made text by `text`.
template <typename Char, typename ToText>
std::vector<IniSection> Sections(View<Char> content, ToText text) {
  std::vector<IniSection> sections;
  for (size_t pos = 0; pos < content.size();) {
    Line<Char> l = ReadLine(content, pos);
    pos = l.next;
    if (l.kind == Kind::kHeader) {
      sections.push_back({text(l.name), {}, {}});
    } else if (l.kind == Kind::kEntry && !sections.empty()) {
      IniSection& s = sections.back();
      if (l.has_equals)
        s.entries.push_back({text(l.name), text(Unquote(l.value))});
      else
        s.lines_without_equals.push_back(text(l.name));
    }
  }
  return sections;
}

template <typename Char>
Text<Char> Set(View<Char> content, View<Char> section, View<Char> key, View<Char> value,
               bool* changed) {
  section = TrimSpaces(section);
  key = TrimSpaces(key);
  value = FirstLine(value);
  const View<Char> crlf = kLineEnd<Char>;
  std::vector<Line<Char>> lines = SplitLines(content);
  Range r = FindSection(lines, section);
  Text<Char> out;
  *changed = true;
  if (!r.found) {
    out = Text<Char>(content);
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += crlf;
    out += Char('[');
    out += section;
    out += Char(']');
    out += crlf;
    out += Entry(key, value);
    out += crlf;
    return out;
  }
  for (size_t i = r.first; i < r.last; ++i) {
    const Line<Char>& l = lines[i];
    if (l.kind != Kind::kEntry || !l.has_equals || !NamesEqual(l.name, key)) continue;
    if (l.value == value) {
      *changed = false;
      return Text<Char>(content);
    }
    out = Text<Char>(content.substr(0, l.begin));
    out += Entry(l.name, value);
    // The file's unended last line gets its line end with the new value.
    out += l.next == l.end ? crlf : content.substr(l.end);
    return out;
  }
  // A new key goes after the section's last entry, so trailing comments stay last.
  size_t after = r.header;
  for (size_t i = r.first; i < r.last; ++i)
    if (lines[i].kind == Kind::kEntry) after = i;
  const Line<Char>& anchor = lines[after];
  out = Text<Char>(content.substr(0, anchor.next));
  if (anchor.next == anchor.end) out += crlf;  // the anchor was the file's unended last line
  out += Entry(key, value);
  out += crlf;
  out += content.substr(anchor.next);
  return out;
}

// The section's header and entries go; comment lines that stood in it stay where they were.
template <typename Char>
Text<Char> RemoveSection(View<Char> content, View<Char> section, bool* changed) {
  std::vector<Line<Char>> lines = SplitLines(content);
  Range r = FindSection(lines, TrimSpaces(section));
  *changed = r.found;
  if (!r.found) return Text<Char>(content);
  Text<Char> out(content.substr(0, lines[r.header].begin));
  for (size_t i = r.first; i < r.last; ++i)
    if (lines[i].kind == Kind::kComment)
      out += content.substr(lines[i].begin, lines[i].next - lines[i].begin);
  if (r.last < lines.size()) out += content.substr(lines[r.last].begin);
  return out;
}

}  // namespace

std::string_view TrimBlanks(std::string_view s) { return TrimLine(s); }

bool IniNamesEqual(std::string_view a, std::string_view b) { return NamesEqual(a, b); }

std::string IniFoldName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = static_cast<char>(Fold(c));
  return folded;
}

std::vector<IniSection> IniSections(std::string_view content) {
  return Sections(content, [](std::string_view v) { return std::string(v); });
}

std::vector<IniSection> IniFileSections(std::string_view file) {
  if (!IsUtf16File(file)) return IniSections(file);
  std::u16string text = Utf16FromFile(file);
  return Sections(std::u16string_view(text), [](std::u16string_view v) { return NarrowCp1252(v); });
}

std::optional<std::string> IniFind(std::string_view content, std::string_view section,
                                   std::string_view key) {
  return Find(content, section, key);
}
std::optional<std::u16string> IniFind(std::u16string_view content, std::u16string_view section,
                                      std::u16string_view key) {
  return Find(content, section, key);
}

std::string IniSet(std::string_view content, std::string_view section, std::string_view key,
                   std::string_view value, bool* changed) {
  return Set(content, section, key, value, changed);
}
std::u16string IniSet(std::u16string_view content, std::u16string_view section,
                      std::u16string_view key, std::u16string_view value, bool* changed) {
  return Set(content, section, key, value, changed);
}

std::string IniRemoveSection(std::string_view content, std::string_view section, bool* changed) {
  return RemoveSection(content, section, changed);
}
std::u16string IniRemoveSection(std::u16string_view content, std::u16string_view section,
                                bool* changed) {
  return RemoveSection(content, section, changed);
}

}  // namespace valico
