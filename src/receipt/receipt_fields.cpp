#include "receipt/receipt_fields.h"

namespace valico {
namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

std::vector<std::string> ReadReceiptFields(std::string_view t) {
  std::vector<std::string> fields;
  const size_t n = t.size();
  size_t i = 0;
  while (i < n) {
    while (i < n && (t[i] == ' ' || t[i] == '\t')) ++i;
    size_t end = i;
    if (i < n && t[i] == '"') {
      size_t close = i + 1;
      while (close < n && t[close] != '"' && !IsLineEnd(t[close])) ++close;
      fields.emplace_back(t.substr(i + 1, close - i - 1));
      end = close < n && t[close] == '"' ? close + 1 : close;
      while (end < n && t[end] != ',' && !IsLineEnd(t[end])) ++end;
    } else {
      while (end < n && t[end] != ',' && !IsLineEnd(t[end])) ++end;
      fields.emplace_back(t.substr(i, end - i));
    }
    i = end;
    if (i == n) break;
    if (t[i] == ',') {
      if (++i == n) fields.emplace_back();
      continue;
    }
    if (t[i] == '\r' && i + 1 < n && t[i + 1] == '\n') ++i;
    ++i;
  }
  return fields;
}

}  // namespace valico
