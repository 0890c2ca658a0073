#include "printing/queue_file.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <unordered_map>

#include "printing/bitmap_file.h"

namespace valico {
namespace {

using Kind = PrinterOp::Kind;

constexpr std::string_view kMagic = "VALICO-CODA";
constexpr std::string_view kVersion = "1";
// The longest field written: a signed 64-bit number, a NaN's bits ("nan:" and 16 hex
// digits), or a double in its shortest form ("-2.2250738585072014e-308").
constexpr std::size_t kLongestField = 32;

constexpr struct {
  Kind kind;
  std::string_view word;
} kOpWords[] = {
    {Kind::kFontName, "font"},     {Kind::kFontSize, "size"},
    {Kind::kBold, "bold"},         {Kind::kColour, "colour"},
    {Kind::kPrintLine, "print"},   {Kind::kPosition, "position"},
    {Kind::kDrawBitmap, "bitmap"}, {Kind::kEndDocument, "end-document"},
};

std::string_view WordOf(Kind kind) {
  for (const auto& w : kOpWords)
    if (w.kind == kind) return w.word;
  return "?";
}

// ---- Writing ----

template <typename Int>
void PutInt(std::string& out, Int v, int base = 10) {
  char buf[24];
  out.append(buf, std::to_chars(buf, buf + sizeof buf, v, base).ptr);
}

// The shortest decimal that reads back as the same double (locale-free), or a NaN's bits.
void PutReal(std::string& out, double v) {
  if (std::isnan(v)) {
    out += "nan:";
    PutInt(out, std::bit_cast<std::uint64_t>(v), 16);
    return;
  }
  char buf[kLongestField];
  out.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

void PutOptionalReal(std::string& out, const std::optional<double>& v) {
  out += ' ';
  if (v)
    PutReal(out, *v);
  else
    out += '-';
}

void PutText(std::string& out, std::string_view s) {
  out += ' ';
  PutInt(out, s.size());
  out += ':';
  out += s;
}

// The bitmaps drawn, each numbered once in the order first drawn.
struct BitmapNumbers {
  std::unordered_map<const Bitmap*, std::size_t> number;
  std::vector<const Bitmap*> drawn;

  std::size_t Of(const Bitmap* b) {
    auto [it, added] = number.try_emplace(b, drawn.size());
    if (added) drawn.push_back(b);
    return it->second;
  }
};

void PutOp(std::string& out, const PrinterOp& op, BitmapNumbers* bitmaps) {
  out += WordOf(op.kind);
  switch (op.kind) {
    case Kind::kFontName:
    case Kind::kPrintLine:
      PutText(out, op.text);
      break;
    case Kind::kFontSize:
      out += ' ';
      PutReal(out, op.size);
      break;
    case Kind::kBold:
      out += op.bold ? " 1" : " 0";
      break;
    case Kind::kColour:
      for (std::uint8_t c : {op.colour.r, op.colour.g, op.colour.b}) {
        out += ' ';
        PutInt(out, c);
      }
      break;
    case Kind::kPosition:
      PutOptionalReal(out, op.x);
      PutOptionalReal(out, op.y);
      break;
    case Kind::kDrawBitmap:
      out += ' ';
      if (op.bitmap)
        PutInt(out, bitmaps->Of(op.bitmap.get()));
      else
        out += '-';
      break;
    case Kind::kEndDocument:
      break;
  }
  out += '\n';
}

void PutPixels(std::string& out, std::size_t number, const Bitmap& b) {
  out += "pixels ";
  PutInt(out, number);
  out += ' ';
  PutInt(out, b.width);
  out += 'x';
  PutInt(out, b.height);
  PutText(out, std::string_view(reinterpret_cast<const char*>(b.rgb.data()), b.rgb.size()));
  out += '\n';
}

std::size_t TextBytes(const QueueFile& job) {
  std::size_t n = 128 + job.printer.size() + (job.source ? job.source->native_path.size() : 0);
  for (const Document& d : job.documents) {
    n += 16;
    for (const PrinterOp& op : d.ops) n += 32 + op.text.size();
  }
  return n;
}

// ---- Reading ----

// The whole of `s` as a number (from_chars: no locale, no spaces, no sign for unsigned).
template <typename Number, typename... Base>
bool Parse(std::string_view s, Number* v, Base... base) {
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), *v, base...);
  return !s.empty() && ec == std::errc() && end == s.data() + s.size();
}

bool ParseReal(std::string_view s, double* v) {
  std::uint64_t bits;
  if (s.starts_with("nan:")) {
    if (!Parse(s.substr(4), &bits, 16)) return false;
    *v = std::bit_cast<double>(bits);
    return std::isnan(*v);
  }
  return Parse(s, v);
}

// A field as a reason shows it, control characters as '?'.
std::string Shown(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  return out;
}

// Reads the fields of a queue file from the front, and keeps the reason of the first failure
// with the line it happened on.
class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) {}

  // The keyword that starts a line.
  bool Keyword(std::string_view* word) {
    if (!Token(word)) return false;
    if (word->empty()) return Fail("a line without a keyword");
    return true;
  }
  bool Expect(std::string_view keyword) {
    std::string_view word;
    return Keyword(&word) && (word == keyword || Fail("'" + Shown(word) + "' instead of '" +
                                                      std::string(keyword) + "'"));
  }
  // A field after a space.
  bool Field(std::string_view* field) { return Char(' ') && Token(field); }
  bool LineEnd() { return Char('\n'); }

  bool Unsigned(std::uint64_t max, std::uint64_t* v) {
    std::string_view f;
    if (!Field(&f)) return false;
    if (!Parse(f, v)) return Fail("'" + Shown(f) + "' is not a number");
    return *v <= max || Fail(std::string(f) + " is out of range");
  }
  bool Signed(std::int64_t* v) {
    std::string_view f;
    return Field(&f) && (Parse(f, v) || Fail("'" + Shown(f) + "' is not a number"));
  }
  bool Real(double* v) {
    std::string_view f;
    return Field(&f) && (ParseReal(f, v) || Fail("'" + Shown(f) + "' is not a number"));
  }
  bool OptionalReal(std::optional<double>* v) {
    std::string_view f;
    if (!Field(&f)) return false;
    if (f == "-") {
      v->reset();
      return true;
    }
    double d;
    if (!ParseReal(f, &d)) return Fail("'" + Shown(f) + "' is neither a number nor '-'");
    *v = d;
    return true;
  }
  // " LENGTH:BYTES".
  bool Text(std::string_view* text);

  bool AtEnd() const { return pos_ == in_.size(); }
  // Records the first failure; always false.
  bool Fail(const std::string& what);
  const std::string& Error() const { return err_; }

 private:
  bool Char(char c) {
    if (pos_ < in_.size() && in_[pos_] == c) return ++pos_, true;
    return Fail(c == '\n' ? "more than the line's fields" : "a missing field");
  }
  // The bytes up to the next space or line end.
  bool Token(std::string_view* token) {
    std::size_t end = pos_;
    while (end < in_.size() && in_[end] != ' ' && in_[end] != '\n' && end - pos_ <= kLongestField)
      ++end;
    if (end - pos_ > kLongestField) return Fail("a field longer than any this format writes");
    *token = in_.substr(pos_, end - pos_);
    pos_ = end;
    return true;
  }

  std::string_view in_;
  std::size_t pos_ = 0;
  std::string err_;
};

bool Reader::Text(std::string_view* text) {
  if (!Char(' ')) return false;
  std::size_t colon = pos_;
  while (colon < in_.size() && colon - pos_ < 20 && in_[colon] >= '0' && in_[colon] <= '9') ++colon;
  std::uint64_t n = 0;
  if (colon == in_.size()) {
    pos_ = colon;
    return Fail("a text's length is cut short");
  }
  if (in_[colon] != ':' || !Parse(in_.substr(pos_, colon - pos_), &n))
    return Fail("a text without its length");
  pos_ = colon + 1;
  if (n > in_.size() - pos_)
    return Fail("a text of " + std::to_string(n) + " bytes runs past the end of the file");
  *text = in_.substr(pos_, n);
  pos_ += n;
  return true;
}

bool Reader::Fail(const std::string& what) {
  if (!err_.empty()) return false;
  std::size_t line = 1;
  for (std::size_t i = 0; i < pos_ && i < in_.size(); ++i) line += in_[i] == '\n';
  // Whatever was expected, a file that ends before its end marker was cut short.
  if (AtEnd())
    err_ = "the queue file is cut short in line " + std::to_string(line) + " (no end marker)";
  else
    err_ = "queue file, line " + std::to_string(line) + ": " + what;
  return false;
}

// The bitmaps drawn, in the order first drawn; each gets its pixels from its "pixels" line
// after the documents.
struct DrawnBitmaps {
  std::vector<std::shared_ptr<Bitmap>> drawn;
  std::size_t filled = 0;
};

bool ReadBitmapNumber(Reader& r, DrawnBitmaps* bitmaps, std::shared_ptr<const Bitmap>* out) {
  std::string_view f;
  if (!r.Field(&f)) return false;
  if (f == "-") return true;
  std::size_t n;
  if (!Parse(f, &n)) return r.Fail("'" + Shown(f) + "' is neither a bitmap number nor '-'");
  // A new bitmap takes the next number, so the bitmaps never outnumber the lines.
  if (n == bitmaps->drawn.size()) bitmaps->drawn.push_back(std::make_shared<Bitmap>());
  if (n >= bitmaps->drawn.size())
    return r.Fail("bitmap " + std::string(f) + " is drawn before bitmap " +
                  std::to_string(bitmaps->drawn.size()));
  *out = bitmaps->drawn[n];
  return true;
}

bool ReadOp(Reader& r, Kind kind, DrawnBitmaps* bitmaps, PrinterOp* op) {
  op->kind = kind;
  std::string_view text;
  std::uint64_t v[3];
  switch (kind) {
    case Kind::kFontName:
    case Kind::kPrintLine:
      if (!r.Text(&text)) return false;
      op->text = text;
      break;
    case Kind::kFontSize:
      if (!r.Real(&op->size)) return false;
      break;
    case Kind::kBold:
      if (!r.Unsigned(1, &v[0])) return false;
      op->bold = v[0] == 1;
      break;
    case Kind::kColour:
      if (!r.Unsigned(255, &v[0]) || !r.Unsigned(255, &v[1]) || !r.Unsigned(255, &v[2]))
        return false;
      op->colour = Rgb{static_cast<std::uint8_t>(v[0]), static_cast<std::uint8_t>(v[1]),
                       static_cast<std::uint8_t>(v[2])};
      break;
    case Kind::kPosition:
      if (!r.OptionalReal(&op->x) || !r.OptionalReal(&op->y)) return false;
      break;
    case Kind::kDrawBitmap:
      if (!ReadBitmapNumber(r, bitmaps, &op->bitmap)) return false;
      break;
    case Kind::kEndDocument:
      break;
  }
  return r.LineEnd();
}

// The operations of a document, up to the first line that is not one: its keyword goes to
// *next.
bool ReadOps(Reader& r, DrawnBitmaps* bitmaps, Document* doc, std::string_view* next) {
  for (;;) {
    if (!r.Keyword(next)) return false;
    const auto* word = std::find_if(std::begin(kOpWords), std::end(kOpWords),
                                    [&](const auto& w) { return w.word == *next; });
    if (word == std::end(kOpWords)) return true;
    if (!ReadOp(r, word->kind, bitmaps, &doc->ops.emplace_back())) return false;
  }
}

// "pixels N WIDTHxHEIGHT LENGTH:RGB": the pixels of the next bitmap drawn.
bool ReadPixels(Reader& r, DrawnBitmaps* bitmaps) {
  std::uint64_t n;
  if (!r.Unsigned(bitmaps->drawn.size(), &n)) return false;
  if (n != bitmaps->filled || n == bitmaps->drawn.size())
    return r.Fail("pixels of bitmap " + std::to_string(n) + " where those of bitmap " +
                  std::to_string(bitmaps->filled) + " belong");
  std::string_view size, rgb;
  if (!r.Field(&size)) return false;
  std::size_t x = size.find('x');
  int width, height;
  if (x == size.npos || !Parse(size.substr(0, x), &width) || !Parse(size.substr(x + 1), &height))
    return r.Fail("'" + Shown(size) + "' is not a bitmap's size");
  if (width < 0 || height < 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
      static_cast<long long>(width) * height > kMaxBitmapPixels)
    return r.Fail("a bitmap of " + std::string(size) + " pixels is out of range");
  if (!r.Text(&rgb)) return false;
  if (rgb.size() != static_cast<std::size_t>(width) * height * 3)
    return r.Fail(std::to_string(rgb.size()) + " bytes of pixels for a bitmap of " +
                  std::string(size));
  if (!r.LineEnd()) return false;
  Bitmap& b = *bitmaps->drawn[bitmaps->filled++];
  b.width = width;
  b.height = height;
  const auto* first = reinterpret_cast<const std::uint8_t*>(rgb.data());
  b.rgb.assign(first, first + rgb.size());  // bytes of the same type: one copy
  return true;
}

// "VALICO-CODA 1", the printer, the time queued, and the source file if there is one; the
// keyword of the next line goes to *next.
bool ReadHead(Reader& r, QueueFile* job, std::string_view* next) {
  std::string_view word, version, text;
  if (!r.Keyword(&word)) return false;
  if (word != kMagic) return r.Fail("not a queue file");
  if (!r.Field(&version)) return false;
  if (version != kVersion)
    return r.Fail("a queue file of version '" + Shown(version) + "' (this build reads version " +
                  std::string(kVersion) + ")");
  if (!r.LineEnd() || !r.Expect("printer") || !r.Text(&text) || !r.LineEnd()) return false;
  job->printer = text;
  if (!r.Expect("queued") || !r.Signed(&job->queued_ms) || !r.LineEnd()) return false;
  if (!r.Keyword(next)) return false;
  if (*next != "source") return true;
  SourceFile& source = job->source.emplace();
  FileIdentity& id = source.identity;
  constexpr auto kAny = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t folder;
  if (!r.Text(&text) || !r.LineEnd() || !r.Expect("identity") || !r.Unsigned(kAny, &id.device) ||
      !r.Unsigned(kAny, &id.file) || !r.Unsigned(kAny, &id.size) || !r.Signed(&id.modified_ns) ||
      !r.Signed(&id.changed_ns) || !r.Unsigned(1, &folder) || !r.LineEnd())
    return false;
  source.native_path = text;
  id.is_folder = folder == 1;
  return r.Keyword(next);
}

bool ReadJob(Reader& r, QueueFile* job) {
  std::string_view word;
  if (!ReadHead(r, job, &word)) return false;
  DrawnBitmaps bitmaps;
  while (word == "document") {
    if (!r.LineEnd()) return false;
    Document& doc = job->documents.emplace_back();
    doc.printer = job->printer;
    if (!ReadOps(r, &bitmaps, &doc, &word)) return false;
  }
  while (word == "pixels") {
    if (!ReadPixels(r, &bitmaps) || !r.Keyword(&word)) return false;
  }
  if (word != "end") return r.Fail("'" + Shown(word) + "' has no place here");
  if (!r.LineEnd()) return false;
  if (bitmaps.filled < bitmaps.drawn.size())
    return r.Fail("bitmap " + std::to_string(bitmaps.filled) + " has no pixels");
  return r.AtEnd() || r.Fail("bytes after the end marker");
}

bool SameBits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool SameBits(const std::optional<double>& a, const std::optional<double>& b) {
  return a.has_value() == b.has_value() && (!a || SameBits(*a, *b));
}

bool SamePixels(const std::shared_ptr<const Bitmap>& a, const std::shared_ptr<const Bitmap>& b) {
  if (!a || !b) return a == b;
  return a->width == b->width && a->height == b->height && a->rgb == b->rgb;
}

bool SameOp(const PrinterOp& a, const PrinterOp& b) {
  return a.kind == b.kind && a.text == b.text && SameBits(a.size, b.size) && a.bold == b.bold &&
         a.colour == b.colour && SameBits(a.x, b.x) && SameBits(a.y, b.y) &&
         SamePixels(a.bitmap, b.bitmap);
}

}  // namespace

std::string EncodeQueueFile(const QueueFile& job) {
  std::string out;
  out.reserve(TextBytes(job));
  out.append(kMagic).append(" ").append(kVersion).append("\nprinter");
  PutText(out, job.printer);
  out += "\nqueued ";
  PutInt(out, job.queued_ms);
  out += '\n';
  if (job.source) {
    const FileIdentity& id = job.source->identity;
    out += "source";
    PutText(out, job.source->native_path);
    out += "\nidentity";
    for (std::uint64_t v : {id.device, id.file, id.size}) PutInt(out += ' ', v);
    for (std::int64_t v : {id.modified_ns, id.changed_ns}) PutInt(out += ' ', v);
    out += id.is_folder ? " 1\n" : " 0\n";
  }
  BitmapNumbers bitmaps;
  for (const Document& doc : job.documents) {
    out += "document\n";
    for (const PrinterOp& op : doc.ops) PutOp(out, op, &bitmaps);
  }
  std::size_t pixels = 0;
  for (const Bitmap* b : bitmaps.drawn) pixels += 64 + b->rgb.size();
  out.reserve(out.size() + pixels + 4);
  for (std::size_t i = 0; i < bitmaps.drawn.size(); ++i) PutPixels(out, i, *bitmaps.drawn[i]);
  out += "end\n";
  return out;
}

bool DecodeQueueFile(std::string_view bytes, QueueFile* out, std::string* err) {
  Reader r(bytes);
  QueueFile job;
  if (!ReadJob(r, &job)) {
    if (err) *err = r.Error();
    return false;
  }
  *out = std::move(job);
  return true;
}

bool SameQueueFile(const QueueFile& a, const QueueFile& b) {
  if (a.printer != b.printer || a.queued_ms != b.queued_ms || a.source != b.source ||
      a.documents.size() != b.documents.size())
    return false;
  for (std::size_t d = 0; d < a.documents.size(); ++d) {
    const Document& x = a.documents[d];
    const Document& y = b.documents[d];
    if (x.printer != y.printer || x.ops.size() != y.ops.size()) return false;
    for (std::size_t i = 0; i < x.ops.size(); ++i)
      if (!SameOp(x.ops[i], y.ops[i])) return false;
  }
  return true;
}

}  // namespace valico
