#include "prebill/field_format.h"

#include <optional>

#include "settings/typed_value.h"

namespace valico {
namespace {

constexpr std::string_view kFontA15 = "FontA15cpi";
constexpr std::string_view kFontB17 = "FontB17cpi";
constexpr std::string_view kFontA1x1 = "FontA1x1";
constexpr std::string_view kFontB1x1 = "FontB1x1";
constexpr std::string_view kFontB1x2 = "FontB1x2";
constexpr double kBarcodeSize = 18;

// The integer part of the field as written, rounded down: 2.7 gives 2, -0.5 gives -1,
// 12.99999 gives 12. Empty when the field is not a number.
std::optional<std::int64_t> WholePart(std::string_view field, const Regional& regional) {
  auto p = ParseIntegerPart(field, regional);
  if (!p) return std::nullopt;
  return p->value;
}

// Dimensione of families 350 and 103: a number equal to 8 ("8.00001" is not), an empty field
// or one that is not a number all give the small size.
bool SmallSize(std::string_view field, const Regional& regional) {
  auto p = ParseIntegerPart(field, regional);
  return !p || (p->value == 8 && !p->has_fraction);
}

}  // namespace

PrinterFamily PrinterFamilyOf(std::string_view device_name) {
  if (device_name.find("500") != std::string_view::npos) return PrinterFamily::k500;
  if (device_name.find("350") != std::string_view::npos) return PrinterFamily::k350;
  return PrinterFamily::k103;
}

const char* FamilyName(PrinterFamily family) {
  switch (family) {
    case PrinterFamily::k500:
      return "500";
    case PrinterFamily::k350:
      return "350";
    case PrinterFamily::k103:
      return "103";
  }
  return "?";
}

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t pos = 0;
  while (pos < line.size()) {
    size_t hash = line.find('#', pos);
    if (hash == std::string_view::npos) {
      fields.push_back(line.substr(pos));
      break;
    }
    fields.push_back(line.substr(pos, hash - pos));
    pos = hash + 1;
  }
  return fields;
}

FieldFormatReader::FieldFormatReader(PrinterFamily family, const Regional& regional)
    : family_(family), regional_(regional) {
  if (family_ == PrinterFamily::k350) {
    font_ = kFontA1x1;
    size_ = 10;
  }
}

void FieldFormatReader::ReadWholeNumber(std::string_view field, std::int64_t* value) const {
  if (field.empty()) {
    *value = 0;
  } else if (auto n = WholePart(field, regional_)) {
    *value = *n;
  }
}

void FieldFormatReader::ReadField500(size_t index, std::string_view field) {
  switch (index) {
    case 0:
      testo_ = field.empty() ? "a" : std::string(field);
      break;
    case 1:
      ReadWholeNumber(field, &tipo_riga_);
      break;
    case 2:
      size_ = field == "8" ? 8 : field == "18" ? 18 : 9;
      break;
    case 3: {
      // Formato picks the font; Dimensione 8 only chooses the narrow font, and the size
      // then comes from Formato.
      auto n = WholePart(field, regional_);
      if (field.empty()) {
        font_ = kFontA15, size_ = 9;
      } else if (size_ == 8) {
        font_ = kFontB17, size_ = 9;
      } else if (!n || *n == 0 || *n == 13) {
        font_ = kFontA15, size_ = 9;
      } else {
        font_ = kFontA15, size_ = 18;
      }
      break;
    }
    case 4:
      ReadWholeNumber(field, &grassetto_);
      break;
    case 5:
      colore_ = field.empty() ? "N" : std::string(field);
      break;
  }
}

void FieldFormatReader::ReadField350(size_t index, std::string_view field) {
  switch (index) {
    case 0:
      testo_ = field;
      break;
    case 1:
      ReadWholeNumber(field, &tipo_riga_);
      break;
    case 2: {
      size_ = SmallSize(field, regional_) ? 10 : 14;
      break;
    }
    case 3: {
      auto n = WholePart(field, regional_);
      if (!n || *n == 0 || *n == 1) {
        font_ = kFontA1x1;
      } else if (*n == 13) {
        font_ = kFontBarcode;
      }  // any other number leaves the font as it was
      break;
    }
  }
}

void FieldFormatReader::ReadField103(size_t index, std::string_view field) {
  switch (index) {
    case 2: {
      size_ = SmallSize(field, regional_) ? 7 : 14;
      break;
    }
    case 3: {
      auto n = WholePart(field, regional_);
      if (!n || *n == 0) {
        font_ = kFontB1x1;
      } else if (*n == 1) {
        font_ = kFontB1x2;
      } else if (*n == 13) {
        font_ = kFontBarcode;
      }
      break;
    }
    default:  // Testo and TipoRiga read as in family 350
      ReadField350(index, field);
  }
}

FieldAction FieldFormatReader::Read(std::string_view line) {
  std::vector<std::string_view> fields = SplitFields(line);
  const size_t read = family_ == PrinterFamily::k500 ? 6 : 4;
  for (size_t i = 0; i < fields.size() && i < read; ++i) {
    switch (family_) {
      case PrinterFamily::k500:
        ReadField500(i, fields[i]);
        break;
      case PrinterFamily::k350:
        ReadField350(i, fields[i]);
        break;
      case PrinterFamily::k103:
        ReadField103(i, fields[i]);
        break;
    }
  }

  FieldAction a;
  a.text = testo_;
  a.font = font_;
  a.size = size_;
  if (family_ == PrinterFamily::k500) {
    if (tipo_riga_ != 0) {
      a.kind = FieldActionKind::kEndReceipt;
    } else {
      a.bold = grassetto_ == 1;
      a.red = colore_ == "R";
    }
    return a;
  }
  if (tipo_riga_ == 1) {
    a.kind = FieldActionKind::kEndReceipt;
  } else if (font_ == kFontBarcode) {
    a.kind = FieldActionKind::kPrintBarcode;
    a.size = kBarcodeSize;
  } else if (family_ == PrinterFamily::k103 && size_ == 7) {
    // The small size always prints in the narrow font, which stays chosen for later lines.
    font_ = kFontB1x1;
    a.font = font_;
  }
  return a;
}

}  // namespace valico
