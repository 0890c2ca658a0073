#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "platform/regional.h"

namespace valico {

// A value as the typed settings operations return it: Null, a flag (-1 true, 0 false), a
// number held with four fractional digits (a count of ten-thousandths), or a text.
class TypedValue {
 public:
  struct Flag {
    std::int16_t value;
    bool operator==(const Flag&) const = default;
  };
  struct Number {
    std::int64_t ten_thousandths;
    bool operator==(const Number&) const = default;
  };

  TypedValue() = default;  // Null
  static TypedValue Null() { return TypedValue(); }
  static TypedValue FromFlag(bool b) { return TypedValue(Flag{static_cast<int16_t>(b ? -1 : 0)}); }
  static TypedValue FromInt(std::int64_t n) { return TypedValue(Number{n * 10000}); }
  static TypedValue FromNumber(Number n) { return TypedValue(n); }
  static TypedValue FromText(std::string s) { return TypedValue(std::move(s)); }

  bool is_null() const { return std::holds_alternative<std::monostate>(v_); }
  bool is_flag() const { return std::holds_alternative<Flag>(v_); }
  bool is_number() const { return std::holds_alternative<Number>(v_); }
  bool is_text() const { return std::holds_alternative<std::string>(v_); }
  const std::string& text() const { return std::get<std::string>(v_); }
  std::int64_t ten_thousandths() const { return std::get<Number>(v_).ten_thousandths; }
  std::int16_t flag() const { return std::get<Flag>(v_).value; }

  // True for the flag -1 and for any non-zero number; texts and Null are false.
  bool IsTrue() const;
  // The value as text: a flag as "-1"/"0", a number in its decimal form by the regional
  // settings (12.5 as "12,5" in Italian), Null as "".
  std::string ToText(const Regional& regional) const;
  // The value as a 16-bit integer (a number rounded half to even, a text converted by the
  // regional settings); empty when it does not convert or does not fit.
  std::optional<std::int16_t> ToInt16(const Regional& regional) const;

  bool operator==(const TypedValue&) const = default;

 private:
  explicit TypedValue(Flag f) : v_(f) {}
  explicit TypedValue(Number n) : v_(n) {}
  explicit TypedValue(std::string s) : v_(std::move(s)) {}
  std::variant<std::monostate, Flag, Number, std::string> v_;
};

// True when the text is made only of digits, "." and "," and does not begin with "0" (the
// empty text too). Null counts as a text that is not a number.
bool IsNumero(std::string_view text);
// True when the text, trimmed of blanks, is empty.
bool IsVuoto(std::string_view text);
bool IsVuoto(const TypedValue& v, const Regional& regional);

// A decimal number written by the regional settings ("1.234,5" in Italian): an optional sign,
// digits with group separators, at most one decimal separator; blanks around are allowed.
// Rounded half to even to four fractional digits; empty when it does not convert or overflows.
std::optional<std::int64_t> ParseTenThousandths(std::string_view text, const Regional& regional);

// The integer part of a decimal number as written, rounded down (2.7 gives 2, -0.5 gives -1),
// and whether it has a fractional part: from the digits themselves, not from the number
// rounded to four decimals ("12.99999" gives 12, "8.00001" is not a whole 8).
struct IntegerPart {
  std::int64_t value = 0;
  bool has_fraction = false;
};
std::optional<IntegerPart> ParseIntegerPart(std::string_view text, const Regional& regional);

// The conversion of a stored text by the typed read: number, flag word, or text as it is.
TypedValue ConvertStoredText(const std::string& text, const Regional& regional);

// True for a number greater than 0, as the receipt printer's port must be. A flag (-1 or 0)
// is not one, nor is a text such as a port named in full ("Ne01").
bool IsNumberAboveZero(const TypedValue& v);

// A typed value as a flag: a flag or a number; empty for a text, which cannot be one.
std::optional<bool> AsFlag(const TypedValue& v);

}  // namespace valico
