#include "printing/escpos_encoder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "printing/barcodes.h"
#include "printing/code_pages.h"
#include "printing/control_font.h"
#include "printing/device_fonts.h"

namespace valico {
namespace {

constexpr char ESC = 0x1b, GS = 0x1d, LF = 0x0a;

// Barcodes whose text state has no size yet are this tall.
constexpr double kDefaultBarcodePoints = 18;

// Walks a document's operations once, keeping the text state it asks for and what the
// printer has been sent, and sends only the changes.
class EscPosWriter {
 public:
  EscPosWriter(const PrinterProfile& p, std::vector<std::string>* notes) : p_(p), notes_(notes) {}

  std::string Encode(const Document& doc) {
    out_.reserve(64 + doc.ops.size() * 48);
    out_ += {ESC, '@', ESC, 't', static_cast<char>(p_.code_page == 858 ? 19 : 16)};
    for (const PrinterOp& op : doc.ops) Apply(op);
    Flush();
    out_ += p_.end_of_document;
    return std::move(out_);
  }

 private:
  enum class FontKind { kText, kControl, kBarcode };

  void Apply(const PrinterOp& op) {
    using Kind = PrinterOp::Kind;
    switch (op.kind) {
      case Kind::kFontName:
        // Receipts name the font on every line: resolve it only when it changes.
        if (op.text != font_name_) font_name_ = op.text, resolved_ = false;
        break;
      case Kind::kFontSize:
        if (op.size != size_) size_ = op.size, resolved_ = false;
        break;
      case Kind::kBold:
        bold_ = op.bold;
        break;
      case Kind::kColour:
        red_ = !(op.colour == kBlack);  // the ribbon's or paper's second colour
        break;
      case Kind::kPrintLine:
        Resolve();
        if (kind_ == FontKind::kControl)
          PrintControl(op.text);
        else if (kind_ == FontKind::kBarcode)
          PrintBarcode(op.text);
        else
          PrintText(op.text);
        break;
      case Kind::kPosition:
        MoveTo(op.x, op.y);
        break;
      case Kind::kDrawBitmap:
        if (op.bitmap) PrintBitmap(*op.bitmap);
        break;
      case Kind::kEndDocument:
        break;
    }
  }

  void Resolve() {
    if (resolved_) return;
    resolved_ = true;
    barcode_ = nullptr;
    if (IsControlFont(font_name_)) {
      kind_ = FontKind::kControl;
    } else if ((barcode_ = FindBarcodeFont(font_name_))) {
      kind_ = FontKind::kBarcode;
    } else {
      kind_ = FontKind::kText;
      font_ = ResolveTextFont(font_name_, size_);
    }
  }

  void PrintControl(std::string_view text) {
    for (char c : text) {
      ControlCommand cmd = ControlCommandFor(c, p_);
      if (cmd.effect == ControlCommand::Effect::kNone) Note(cmd.note);
      if (cmd.bytes.empty()) continue;
      Flush();
      out_ += cmd.bytes;
      if (cmd.effect == ControlCommand::Effect::kFeed) Advance(LineAdvance(kFontA));
    }
  }

  void PrintBarcode(std::string_view text) {
    std::string data, why;
    if (!BarcodeData(barcode_->symbology, text, &data, &why)) {
      Note(std::string(barcode_->name) + ": " + why + "; printed as text");
      font_ = kFontA;
      PrintText(text);
      return;
    }
    Flush();
    double points = size_ > 0 ? size_ : kDefaultBarcodePoints;
    int height = std::clamp(static_cast<int>(std::lround(points * p_.dpi / 72)), 1, 255);
    out_ += {GS,
             'h',
             static_cast<char>(height),
             GS,
             'w',
             2,
             GS,
             'f',
             0,
             GS,
             'k',
             static_cast<char>(barcode_->m),
             static_cast<char>(data.size())};
    out_ += data;
    Advance(height + LineAdvance(kFontA));
  }

  void PrintText(std::string_view text) {
    if (text.empty()) {
      // A blank line is held back: a move to the top of a page that has printed nothing
      // yet drops it, as it would on a page printer.
      ++pending_feeds_;
      y_ += LineAdvance(font_);
      x_ = 0;
      return;
    }
    Flush();
    SendTextState();
    if (x_ > 0) out_ += {ESC, '$', static_cast<char>(x_ & 0xff), static_cast<char>(x_ >> 8)};
    size_t start = out_.size();
    if (p_.code_page == 858)
      out_ += Cp1252ToCp858(text);
    else
      out_ += text;
    // Control bytes would reach the printer as commands.
    for (size_t i = start; i < out_.size(); ++i)
      if (static_cast<unsigned char>(out_[i]) < 0x20 || out_[i] == 0x7f) out_[i] = ' ';
    out_ += LF;
    Advance(LineAdvance(font_));
  }

  void SendTextState() {
    const TextFont& f = font_;
    if (p_.dialect == EscPosDialect::kEscBang) {
      int n = (f.font_b ? 0x01 : 0) | (bold_ ? 0x08 : 0) | (f.height_mul > 1 ? 0x10 : 0) |
              (f.width_mul > 1 ? 0x20 : 0);
      if (n != sent_bang_) out_ += {ESC, '!', static_cast<char>(n)};
      sent_bang_ = n;
    } else {
      if (f.font_b != sent_font_.font_b) out_ += {ESC, 'M', static_cast<char>(f.font_b ? 1 : 0)};
      if (f.width_mul != sent_font_.width_mul || f.height_mul != sent_font_.height_mul)
        out_ += {GS, '!', static_cast<char>((f.width_mul - 1) << 4 | (f.height_mul - 1))};
      if (bold_ != sent_bold_) out_ += {ESC, 'E', static_cast<char>(bold_ ? 1 : 0)};
      sent_bold_ = bold_;
    }
    if (f.right_spacing != sent_font_.right_spacing)
      out_ += {ESC, ' ', static_cast<char>(f.right_spacing)};
    sent_font_ = f;
    if (red_ != sent_red_) out_ += {ESC, 'r', static_cast<char>(red_ ? 1 : 0)};
    sent_red_ = red_;
  }

  void PrintBitmap(const Bitmap& b) {
    std::string raster = RasterImage(b, x_, p_.width_dots, p_.dpi);
    if (raster.empty()) {
      Note("a bitmap of " + std::to_string(b.width) + "x" + std::to_string(b.height) +
           " pixels at " + std::to_string(x_) + " dots has nothing within the printable width");
      return;
    }
    Flush();
    out_ += raster;
    Advance(PictureDots(b.height, p_.dpi));
    x_ = 0;
  }

  void MoveTo(std::optional<double> x, std::optional<double> y) {
    if (x) x_ = std::clamp(Dots(*x), 0, p_.width_dots);
    if (!y) return;
    int target = std::max(0, Dots(*y));
    if (!printed_) {
      pending_feeds_ = 0;
      y_ = 0;
    }
    if (target < y_) {
      Note("a move back up the page to " + std::to_string(target) + " dots: a roll cannot go back");
      return;
    }
    Flush();
    for (int left = target - y_; left > 0; left -= 255)
      out_ += {ESC, 'J', static_cast<char>(std::min(left, 255))};
    if (target > y_) printed_ = true;
    y_ = target;
  }

  void Flush() {
    if (pending_feeds_ > 0) printed_ = true;
    out_.append(static_cast<size_t>(pending_feeds_), LF);
    pending_feeds_ = 0;
  }

  void Advance(int dots) {
    y_ += dots;
    printed_ = true;
  }

  // Text lines are at least one sixth of an inch apart (the printers' default spacing).
  int LineAdvance(const TextFont& f) const {
    return std::max(p_.dpi / 6, f.cell_height * f.height_mul);
  }
  int Dots(double points) const {
    return static_cast<int>(std::lround(std::clamp(points, -1e6, 1e6) * p_.dpi / 72));
  }
  void Note(std::string note) {
    if (notes_) notes_->push_back(std::move(note));
  }

  const PrinterProfile& p_;
  std::vector<std::string>* notes_;
  std::string out_;
  // The text state the document asks for, and the font it resolves to.
  std::string font_name_;
  double size_ = 0;
  bool bold_ = false;
  bool red_ = false;
  bool resolved_ = false;
  FontKind kind_ = FontKind::kText;
  TextFont font_ = kFontA;
  const BarcodeFont* barcode_ = nullptr;
  // What the printer has been sent since ESC @.
  TextFont sent_font_ = kFontA;
  bool sent_bold_ = false;
  bool sent_red_ = false;
  int sent_bang_ = 0;
  // Where the paper is.
  int pending_feeds_ = 0;
  bool printed_ = false;  // something has moved the paper in this document
  int y_ = 0;             // dots from the top of the document
  int x_ = 0;             // dots from the left margin where the next line starts
};

}  // namespace

std::string RasterImage(const Bitmap& b, int x, int width_dots, int dpi) {
  const int dots_w = PictureDots(b.width, dpi), dots_h = PictureDots(b.height, dpi);
  const int width = static_cast<int>(std::min<std::int64_t>(std::int64_t{x} + dots_w, width_dots));
  if (b.width <= 0 || b.height <= 0 || dots_w <= 0 || dots_h <= 0 || width <= x ||
      b.rgb.size() < static_cast<size_t>(b.width) * b.height * 3)
    return "";
  // The pixel each dot of a row shows, and which pixels are dark.
  std::vector<int> column(static_cast<size_t>(width - x));
  for (int c = 0; c < width - x; ++c)
    column[c] = static_cast<int>(std::int64_t{c} * b.width / dots_w);
  std::vector<bool> dark(static_cast<size_t>(b.width) * b.height);
  for (size_t i = 0; i < dark.size(); ++i) {
    const std::uint8_t* px = &b.rgb[i * 3];
    dark[i] = px[0] * 299 + px[1] * 587 + px[2] * 114 < 128000;
  }
  int row_bytes = (width + 7) / 8;
  std::string out;
  for (int top = 0; top < dots_h; top += 255) {
    int rows = std::min(255, dots_h - top);
    out += {GS,
            'v',
            '0',
            0,
            static_cast<char>(row_bytes & 0xff),
            static_cast<char>(row_bytes >> 8),
            static_cast<char>(rows),
            0};
    size_t band = out.size();
    out.append(static_cast<size_t>(row_bytes) * rows, '\0');
    for (int r = 0; r < rows; ++r) {
      size_t pixel_row = static_cast<size_t>(std::int64_t{top + r} * b.height / dots_h) * b.width;
      char* row = &out[band + static_cast<size_t>(r) * row_bytes];
      for (int c = 0; c < width - x; ++c) {
        if (!dark[pixel_row + column[c]]) continue;
        int dot = x + c;
        row[dot / 8] = static_cast<char>(row[dot / 8] | (0x80 >> (dot % 8)));
      }
    }
  }
  return out;
}

std::string EncodeEscPos(const Document& doc, const PrinterProfile& profile,
                         std::vector<std::string>* notes) {
  return EscPosWriter(profile, notes).Encode(doc);
}

}  // namespace valico
