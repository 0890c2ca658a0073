#include "settings/typed_value.h"

#include <limits>

#include "settings/ini_text.h"

namespace valico {

bool TypedValue::IsTrue() const {
  if (is_flag()) return flag() != 0;
  if (is_number()) return ten_thousandths() != 0;
  return false;
}

std::string TypedValue::ToText(const Regional& regional) const {
  if (is_null()) return "";
  if (is_text()) return text();
  if (is_flag()) return flag() ? "-1" : "0";
  std::int64_t n = ten_thousandths();
  bool negative = n < 0;
  // Work on the unsigned magnitude so the most negative value does not overflow.
  std::uint64_t m = negative ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
  std::string s = std::to_string(m / 10000);
  std::uint64_t frac = m % 10000;
  if (frac != 0) {
    std::string f = std::to_string(frac);
    f.insert(0, 4 - f.size(), '0');
    while (f.back() == '0') f.pop_back();
    s += regional.decimal_separator;
    s += f;
  }
  return negative ? "-" + s : s;
}

namespace {

// Rounds a count of ten-thousandths to whole units, half to even.
std::int64_t RoundHalfEven(std::int64_t t) {
  std::int64_t q = t / 10000, r = t % 10000;
  if (r < 0) {
    r += 10000;
    q -= 1;
  }
  if (r > 5000 || (r == 5000 && (q % 2 != 0))) ++q;
  return q;
}

}  // namespace

std::optional<std::int16_t> TypedValue::ToInt16(const Regional& regional) const {
  std::int64_t whole;
  if (is_flag()) {
    whole = flag();
  } else if (is_number()) {
    whole = RoundHalfEven(ten_thousandths());
  } else if (is_text()) {
    auto t = ParseTenThousandths(text(), regional);
    if (!t) return std::nullopt;
    whole = RoundHalfEven(*t);
  } else {
    return std::nullopt;
  }
  if (whole < std::numeric_limits<std::int16_t>::min() ||
      whole > std::numeric_limits<std::int16_t>::max())
    return std::nullopt;
  return static_cast<std::int16_t>(whole);
}

bool IsNumero(std::string_view text) {
  if (!text.empty() && text[0] == '0') return false;
  for (char c : text) {
    if (!(c >= '0' && c <= '9') && c != '.' && c != ',') return false;
  }
  return true;
}

bool IsVuoto(std::string_view text) {
  for (char c : text)
    if (c != ' ' && c != '\t') return false;
  return true;
}

bool IsVuoto(const TypedValue& v, const Regional& regional) {
  return v.is_null() || IsVuoto(v.ToText(regional));
}

std::optional<std::int64_t> ParseTenThousandths(std::string_view text, const Regional& regional) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  // Up to 19 significant digits: the magnitude is kept in ten-thousandths in 64 bits.
  constexpr std::uint64_t kMax =
      static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  std::uint64_t whole = 0;
  std::uint64_t frac = 0;  // ten-thousandths
  int frac_digits = 0;
  int round_digit = -1;  // the fifth fractional digit, for rounding
  bool sticky = false;   // a non-zero digit after the fifth
  bool seen_decimal = false, seen_digit = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      seen_digit = true;
      int d = c - '0';
      if (!seen_decimal) {
        if (whole > (kMax / 10000 - d) / 10) return std::nullopt;
        whole = whole * 10 + d;
      } else if (frac_digits < 4) {
        frac = frac * 10 + d;
        ++frac_digits;
      } else if (round_digit < 0) {
        round_digit = d;
      } else if (d != 0) {
        sticky = true;
      }
    } else if (c == regional.decimal_separator && !seen_decimal) {
      seen_decimal = true;
    } else if (c == regional.group_separator && !seen_decimal) {
      // Group separators are ignored wherever they stand in the whole part.
    } else {
      return std::nullopt;
    }
  }
  if (!seen_digit) return std::nullopt;
  while (frac_digits < 4) {
    frac *= 10;
    ++frac_digits;
  }
  std::uint64_t t = whole * 10000 + frac;
  if (round_digit > 5 || (round_digit == 5 && (sticky || t % 2 != 0))) ++t;
  if (t > kMax) return std::nullopt;
  std::int64_t v = static_cast<std::int64_t>(t);
  return negative ? -v : v;
}

TypedValue ConvertStoredText(const std::string& text, const Regional& regional) {
  TypedValue v = TypedValue::FromText(text);
  if (IsNumero(text) && !(text.size() > 0 && text[0] == '0')) {
    if (auto n = ParseTenThousandths(text, regional)) v = TypedValue::FromNumber({*n});
  }
  if (text == "Vero" || text == "True" || text == "-1") return TypedValue::FromFlag(true);
  if (text == "Falso" || text == "False" || text == "0") return TypedValue::FromFlag(false);
  return v;
}

std::optional<bool> AsFlag(const TypedValue& v) {
  if (v.is_flag() || v.is_number()) return v.IsTrue();
  return std::nullopt;
}

bool IsNumberAboveZero(const TypedValue& v) { return v.is_number() && v.ten_thousandths() > 0; }

}  // namespace valico
