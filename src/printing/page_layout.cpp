#include "printing/page_layout.h"

#include <algorithm>
#include <cmath>

#include "printing/barcodes.h"
#include "printing/control_font.h"

namespace valico {
namespace {

constexpr double kDefaultBarcodePoints = 18;
constexpr int kBarcodeModule = 2;

enum class Align { kLeft, kCentre, kRight };

class Layouter {
 public:
  explicit Layouter(const PrinterProfile& p) : p_(p) { page_.width = p.width_dots; }

  PageLayout Run(const Document& doc) {
    for (const PrinterOp& op : doc.ops) Apply(op);
    page_.height = std::min(std::max(y_, bottom_), kMaxPageDots);
    return std::move(page_);
  }

 private:
  void Apply(const PrinterOp& op) {
    using Kind = PrinterOp::Kind;
    switch (op.kind) {
      case Kind::kFontName:
        font_name_ = op.text;
        break;
      case Kind::kFontSize:
        size_ = op.size;
        break;
      case Kind::kBold:
        bold_ = op.bold;
        break;
      case Kind::kColour:
        red_ = !(op.colour == kBlack);
        break;
      case Kind::kPrintLine:
        Print(op.text);
        break;
      case Kind::kPosition:
        if (op.x) x_ = std::clamp(Dots(*op.x), 0, p_.width_dots);
        if (op.y) y_ = std::clamp(Dots(*op.y), 0, kMaxPageDots);
        break;
      case Kind::kDrawBitmap:
        if (op.bitmap) DrawBitmap(op.bitmap);
        break;
      case Kind::kEndDocument:
        break;
    }
  }

  void Print(std::string_view text) {
    if (IsControlFont(font_name_)) return Control(text);
    if (const BarcodeFont* f = FindBarcodeFont(font_name_)) return Barcode(*f, text);
    Text(ResolveTextFont(font_name_, size_), text);
  }

  void Control(std::string_view text) {
    using Effect = ControlCommand::Effect;
    for (char c : text) {
      ControlCommand cmd = ControlCommandFor(c, p_);
      if (c != ' ') AddNote(cmd.note);
      switch (cmd.effect) {
        case Effect::kFeed:
          NextLine(LineAdvance(kFontA));
          break;
        case Effect::kAlignLeft:
          align_ = Align::kLeft;
          break;
        case Effect::kAlignCentre:
          align_ = Align::kCentre;
          break;
        case Effect::kAlignRight:
          align_ = Align::kRight;
          break;
        case Effect::kDigitsBelow:
          digits_below_ = true;
          break;
        case Effect::kNoDigits:
          digits_below_ = false;
          break;
        default:
          break;
      }
    }
  }

  void Barcode(const BarcodeFont& f, std::string_view text) {
    std::string data, why;
    if (!BarcodeData(f.symbology, text, &data, &why)) {
      AddNote(std::string(f.name) + ": " + why);
      return Text(kFontA, text);
    }
    double points = size_ > 0 ? size_ : kDefaultBarcodePoints;
    int height = std::clamp(static_cast<int>(std::lround(points * p_.dpi / 72)), 1, 255);
    if (f.symbology != Symbology::kEan13) {
      AddNote(std::string(f.name) + " barcode, shown as its text");
      return Text(kFontA, data);
    }
    PageLayout::Bars bars;
    bars.modules = Ean13Modules(data);
    bars.module = kBarcodeModule;
    bars.height = height;
    bars.x = Aligned(static_cast<int>(bars.modules.size()) * kBarcodeModule);
    bars.y = y_;
    if (digits_below_) bars.digits = data;
    if (!Fits(height)) {
      ++page_.lines_left_out;
      return;
    }
    page_.bars.push_back(std::move(bars));
    NextLine(height + (digits_below_ ? LineAdvance(kFontA) : 0));
  }

  void Text(const TextFont& f, std::string_view text) {
    int unit_columns = f.font_b ? p_.columns_b : p_.columns_a;
    double unit = unit_columns > 0 ? static_cast<double>(p_.width_dots) / unit_columns
                                   : (f.font_b ? kFontB : kFontA).cell_width;
    double advance = unit * f.cell_width / (f.font_b ? kFontB : kFontA).cell_width;
    int height = f.cell_height * f.height_mul;
    int line = LineAdvance(f);
    // A line longer than the paper goes on in the next line, as the printer wraps it.
    size_t per_line = std::max<size_t>(1, static_cast<size_t>((p_.width_dots - x_) / advance));
    size_t start = 0;
    do {
      std::string_view part = text.substr(start, per_line);
      if (!Fits(line)) {
        page_.lines_left_out += static_cast<int>((text.size() - start + per_line - 1) / per_line);
        return;
      }
      PageLayout::Text t;
      t.advance = advance;
      t.spacing = advance * f.right_spacing / f.cell_width;
      t.height = height;
      t.x = x_ + Aligned(static_cast<int>(std::lround(part.size() * advance)), p_.width_dots - x_);
      t.y = y_ + line - height;  // characters stand on the line's base
      t.bold = bold_;
      t.red = red_;
      t.text = part;
      for (char& c : t.text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
      if (!t.text.empty()) page_.texts.push_back(std::move(t));
      NextLine(line);
      start += per_line;
    } while (start < text.size());
  }

  void DrawBitmap(const std::shared_ptr<const Bitmap>& b) {
    PageLayout::Image img;
    img.picture_width = PictureDots(b->width, p_.dpi);
    img.height = PictureDots(b->height, p_.dpi);
    img.width = std::min(img.picture_width, p_.width_dots - x_);
    if (img.width <= 0 || img.height <= 0) return;
    img.x = x_;
    img.y = y_;
    img.bitmap = b;
    if (!Fits(img.height)) {
      ++page_.lines_left_out;
      return;
    }
    int height = img.height;
    page_.images.push_back(std::move(img));
    NextLine(height);
  }

  // Where a piece `w` dots wide starts in a line of `room` dots.
  int Aligned(int w, int room = -1) const {
    if (room < 0) room = p_.width_dots;
    if (align_ == Align::kCentre) return std::max(0, (room - w) / 2);
    if (align_ == Align::kRight) return std::max(0, room - w);
    return 0;
  }

  bool Fits(int height) {
    if (y_ + height <= kMaxPageDots) return true;
    if (!cut_noted_) page_.notes.push_back({kMaxPageDots - 40, "preview ends here"});
    cut_noted_ = true;
    return false;
  }

  void AddNote(std::string text) {
    if (y_ < kMaxPageDots) page_.notes.push_back({y_, std::move(text)});
  }

  void NextLine(int dots) {
    y_ = std::min(y_ + dots, kMaxPageDots);
    bottom_ = std::max(bottom_, y_);
    x_ = 0;
  }

  int LineAdvance(const TextFont& f) const {
    return std::max(p_.dpi / 6, f.cell_height * f.height_mul);
  }
  int Dots(double points) const {
    return static_cast<int>(std::lround(std::clamp(points, -1e6, 1e6) * p_.dpi / 72));
  }

  const PrinterProfile& p_;
  PageLayout page_;
  std::string font_name_;
  double size_ = 0;
  bool bold_ = false, red_ = false;
  Align align_ = Align::kLeft;
  bool digits_below_ = false;
  int x_ = 0, y_ = 0, bottom_ = 0;
  bool cut_noted_ = false;
};

}  // namespace

PageLayout LayoutPage(const Document& doc, const PrinterProfile& profile) {
  return Layouter(profile).Run(doc);
}

}  // namespace valico
