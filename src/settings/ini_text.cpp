#include "settings/ini_text.h"

#include <vector>

namespace valico {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

// Letter case folding of Windows-1252: ASCII and the accented capitals 0xC0-0xDE (not 0xD7).
unsigned char Fold(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  return c;
}

bool NamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

enum class Kind { kBlank, kComment, kHeader, kEntry };

struct Line {
  size_t begin = 0;  // first byte of the line
  size_t end = 0;    // one past its last byte, line end excluded
  size_t next = 0;   // first byte of the next line
  Kind kind = Kind::kBlank;
  std::string_view name;   // section name or key name, trimmed
  std::string_view value;  // entry value, trimmed (raw: quotes kept)
  bool has_equals = false;
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    Line l;
    l.begin = pos;
    size_t e = text.find_first_of("\r\n", pos);
    if (e == std::string_view::npos) e = text.size();
    l.end = e;
    l.next = e;
    if (l.next < text.size() && text[l.next] == '\r') ++l.next;
    if (l.next < text.size() && text[l.next] == '\n' && (l.next == e || text[e] == '\r')) ++l.next;
    std::string_view body = TrimBlanks(text.substr(l.begin, l.end - l.begin));
    if (body.empty()) {
      l.kind = Kind::kBlank;
    } else if (body[0] == ';') {
      l.kind = Kind::kComment;
    } else if (body[0] == '[') {
      l.kind = Kind::kHeader;
      std::string_view inner = body.substr(1);
      size_t close = inner.find(']');
      l.name = TrimBlanks(inner.substr(0, close));
    } else {
      l.kind = Kind::kEntry;
      size_t eq = body.find('=');
      l.has_equals = eq != std::string_view::npos;
      l.name = TrimBlanks(body.substr(0, eq));
      if (l.has_equals) l.value = TrimBlanks(body.substr(eq + 1));
    }
    lines.push_back(l);
    pos = l.next;
  }
  return lines;
}

// Index range [first, last) of the lines of the first section named `section`, header
// excluded; first == 0 when there is no such section (a header is never line -1).
struct Range {
  bool found = false;
  size_t header = 0;
  size_t first = 0;
  size_t last = 0;
};

Range FindSection(const std::vector<Line>& lines, std::string_view section) {
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

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

// A value never spans lines: what follows a line break would become entries of its own.
std::string_view FirstLine(std::string_view v) { return v.substr(0, v.find_first_of("\r\n")); }

}  // namespace

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::optional<std::string> IniFind(std::string_view content, std::string_view section,
                                   std::string_view key) {
  std::vector<Line> lines = SplitLines(content);
  Range r = FindSection(lines, TrimBlanks(section));
  if (!r.found) return std::nullopt;
  key = TrimBlanks(key);
  for (size_t i = r.first; i < r.last; ++i) {
    const Line& l = lines[i];
    if (l.kind == Kind::kEntry && l.has_equals && NamesEqual(l.name, key))
      return std::string(Unquote(l.value));
  }
  return std::nullopt;
}

std::string IniSet(std::string_view content, std::string_view section, std::string_view key,
                   std::string_view value, bool* changed) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  value = FirstLine(value);
  std::vector<Line> lines = SplitLines(content);
  Range r = FindSection(lines, section);
  std::string out;
  *changed = true;
  if (!r.found) {
    out = std::string(content);
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += "\r\n";
    out.append("[").append(section).append("]\r\n");
    out.append(key).append("=").append(value).append("\r\n");
    return out;
  }
  for (size_t i = r.first; i < r.last; ++i) {
    const Line& l = lines[i];
    if (l.kind != Kind::kEntry || !l.has_equals || !NamesEqual(l.name, key)) continue;
    if (l.value == value) {
      *changed = false;
      return std::string(content);
    }
    out = std::string(content.substr(0, l.begin));
    out += std::string(l.name) + "=" + std::string(value);
    out += content.substr(l.end);
    return out;
  }
  // A new key goes after the section's last entry, so trailing comments stay last.
  size_t after = r.header;
  for (size_t i = r.first; i < r.last; ++i)
    if (lines[i].kind == Kind::kEntry) after = i;
  const Line& anchor = lines[after];
  out = std::string(content.substr(0, anchor.next));
  if (anchor.next == anchor.end) out += "\r\n";  // the anchor was the file's unended last line
  out += std::string(key) + "=" + std::string(value) + "\r\n";
  out += content.substr(anchor.next);
  return out;
}

std::string IniRemoveSection(std::string_view content, std::string_view section, bool* changed) {
  std::vector<Line> lines = SplitLines(content);
  Range r = FindSection(lines, TrimBlanks(section));
  if (!r.found) {
    *changed = false;
    return std::string(content);
  }
  *changed = true;
  size_t from = lines[r.header].begin;
  size_t to = r.last < lines.size() ? lines[r.last].begin : content.size();
  return std::string(content.substr(0, from)) + std::string(content.substr(to));
}

}  // namespace valico
