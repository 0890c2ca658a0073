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

namespace {

// A decimal number as written: its sign, its whole part and its fractional digits.
struct Decimal {
  bool negative = false;
  std::uint64_t whole = 0;
  std::string_view fraction;  // the digits after the decimal separator
};

// Up to 19 significant digits: the magnitude must fit in ten-thousandths in 64 bits.
constexpr std::uint64_t kMaxMagnitude =
    static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

std::optional<Decimal> ScanDecimal(std::string_view text, const Regional& regional) {
  text = TrimBlanks(text);
  Decimal d;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    d.negative = text[0] == '-';
    text.remove_prefix(1);
  }
  bool seen_digit = false;
  size_t decimal = std::string_view::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      seen_digit = true;
      if (decimal != std::string_view::npos) continue;
      int digit = c - '0';
      if (d.whole > (kMaxMagnitude / 10000 - digit) / 10) return std::nullopt;
      d.whole = d.whole * 10 + digit;
    } else if (c == regional.decimal_separator && decimal == std::string_view::npos) {
      decimal = i;
    } else if (c == regional.group_separator && decimal == std::string_view::npos) {
      // Group separators are ignored wherever they stand in the whole part.
    } else {
      return std::nullopt;
    }
  }
  if (!seen_digit) return std::nullopt;
  if (decimal != std::string_view::npos) d.fraction = text.substr(decimal + 1);
  return d;
}

}  // namespace

std::optional<std::int64_t> ParseTenThousandths(std::string_view text, const Regional& regional) {
  auto d = ScanDecimal(text, regional);
  if (!d) return std::nullopt;
  std::uint64_t frac = 0;
  for (size_t i = 0; i < 4; ++i)
    frac = frac * 10 + (i < d->fraction.size() ? d->fraction[i] - '0' : 0);
  // Rounded half to even on the fifth digit; any non-zero digit after it breaks a tie.
  int round_digit = d->fraction.size() > 4 ? d->fraction[4] - '0' : 0;
  bool sticky = d->fraction.size() > 5 &&
                d->fraction.substr(5).find_first_not_of('0') != std::string_view::npos;
  std::uint64_t t = d->whole * 10000 + frac;
  if (round_digit > 5 || (round_digit == 5 && (sticky || t % 2 != 0))) ++t;
  if (t > kMaxMagnitude) return std::nullopt;
  std::int64_t v = static_cast<std::int64_t>(t);
  return d->negative ? -v : v;
}

std::optional<IntegerPart> ParseIntegerPart(std::string_view text, const Regional& regional) {
  auto d = ScanDecimal(text, regional);
  if (!d) return std::nullopt;
  IntegerPart p;
  p.has_fraction = d->fraction.find_first_not_of('0') != std::string_view::npos;
  p.value = static_cast<std::int64_t>(d->whole);
  if (d->negative) p.value = p.has_fraction ? -p.value - 1 : -p.value;
  return p;
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
