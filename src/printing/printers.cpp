#include "printing/printers.h"

#include <cstdio>

#include "printing/ops.h"

namespace valico {
namespace {

// A Windows face name holds at most 31 characters; a longer name cannot name a font.
constexpr size_t kMaxFaceName = 31;
constexpr double kMaxFontPoints = 2048;

std::string Quoted(const std::string& s) {
  constexpr size_t kShown = 40;
  return "\"" + (s.size() <= kShown ? s : s.substr(0, kShown) + "...") + "\"";
}

}  // namespace

Printers::~Printers() {
  if (batch_) SubmitBatch();
  for (auto& [device, s] : printers_) {
    if (!s.open) continue;
    log_.Warn("Valico exits with a document open on printer " + Quoted(device) +
              ": it is ended and handed over now");
    Send(std::move(*s.open));
  }
}

bool Printers::List(std::vector<PrinterInfo>* out, std::string* err) {
  return system_.ListPrinters(out, err);
}

const std::string& Printers::Current() {
  if (current_) return *current_;
  std::string device = system_.DefaultPrinter();
  std::vector<PrinterInfo> list;
  std::string err;
  if (device.empty() && system_.ListPrinters(&list, &err) && !list.empty())
    device = list.front().device;
  if (device.empty()) log_.Warn("no printer is installed: printed documents will be kept");
  current_ = device;
  return *current_;
}

void Printers::MakeCurrent(const std::string& device) { current_ = device; }

bool Printers::ChooseInstalled(const std::string& device, std::string* err) {
  std::vector<PrinterInfo> installed;
  if (!List(&installed, err)) return false;
  for (const PrinterInfo& p : installed) {
    if (p.device == device) {
      MakeCurrent(device);
      return true;
    }
  }
  *err = "printer " + Quoted(device) + " is not installed";
  return false;
}

Printers::PrinterState& Printers::Cur() { return printers_[Current()]; }

const Printers::TextState& Printers::State() { return Cur().text; }

bool Printers::HasOpenDocument() { return Cur().open.has_value(); }

bool Printers::Apply(const std::vector<PrinterOp>& ops) {
  bool ok = true;
  for (const PrinterOp& op : ops) ok = Apply(op) && ok;
  return ok;
}

bool Printers::Apply(const PrinterOp& op) {
  using Kind = PrinterOp::Kind;
  PrinterState& s = Cur();
  switch (op.kind) {
    case Kind::kFontName:
      if (op.text.size() > kMaxFaceName) {
        log_.Warn("printer " + Quoted(Current()) + ": the font name " + Quoted(op.text) + " has " +
                  std::to_string(op.text.size()) + " characters, more than a font name can " +
                  "have (31): the font stays " + Quoted(s.text.font));
        return true;
      }
      s.text.font = op.text;
      break;
    case Kind::kFontSize:
      if (!(op.size > 0 && op.size <= kMaxFontPoints)) {
        char size[32];
        std::snprintf(size, sizeof size, "%g", op.size);
        log_.Warn("printer " + Quoted(Current()) + ": font size " + size +
                  " is out of range: the size stays as it was");
        return true;
      }
      s.text.size = op.size;
      break;
    case Kind::kBold:
      s.text.bold = op.bold;
      break;
    case Kind::kColour:
      s.text.colour = op.colour;
      break;
    case Kind::kPosition:
      if (!s.open) {
        if (op.x) s.x = op.x;
        if (op.y) s.y = op.y;
        return true;
      }
      break;
    case Kind::kPrintLine:
      if (!s.open) Open(s);
      PrintLines(s, op.text);
      return true;
    case Kind::kDrawBitmap:
      if (!op.bitmap) {
        log_.Warn("printer " + Quoted(Current()) + ": a bitmap that was not loaded is not drawn");
        return true;
      }
      if (!s.open) Open(s);
      break;
    case Kind::kEndDocument: {
      if (!s.open) return true;
      Document doc = std::move(*s.open);
      s.open.reset();
      return Send(std::move(doc));
    }
  }
  Record(s, op);
  return true;
}

void Printers::Record(PrinterState& s, const PrinterOp& op) {
  if (s.open) s.open->ops.push_back(op);
}

void Printers::Open(PrinterState& s) {
  Document doc;
  doc.printer = Current();
  const TextState& t = s.text;
  if (!t.font.empty()) doc.ops.push_back(ops::FontName(t.font));
  if (t.size > 0) doc.ops.push_back(ops::FontSize(t.size));
  if (t.bold) doc.ops.push_back(ops::Bold(true));
  if (!(t.colour == kBlack)) doc.ops.push_back(ops::Colour(t.colour));
  if (s.x || s.y) doc.ops.push_back(ops::Position(s.x, s.y));
  s.x.reset();
  s.y.reset();
  s.open = std::move(doc);
}

void Printers::PrintLines(PrinterState& s, const std::string& text) {
  size_t blanks = 0, start = 0;
  for (;;) {
    size_t end = text.find("\r\n", start);
    PrinterOp op = ops::Print(std::string_view(text).substr(start, end - start));
    for (char& c : op.text) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
        c = ' ';
        ++blanks;
      }
    }
    s.open->ops.push_back(std::move(op));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  if (blanks > 0)
    log_.Warn("printer " + Quoted(Current()) + ": " + std::to_string(blanks) +
              " control bytes in a printed text are printed as blanks");
}

bool Printers::Send(Document doc) {
  if (batch_) {
    batch_->push_back(std::move(doc));
    return true;
  }
  std::vector<Document> one;
  one.push_back(std::move(doc));
  return outlet_.Submit(std::move(one), nullptr).ok();
}

void Printers::BeginBatch() {
  if (batch_) SubmitBatch();
  batch_.emplace();
}

SubmitResult Printers::SubmitBatch(const SourceFile* source) {
  std::vector<Document> documents = batch_ ? std::move(*batch_) : std::vector<Document>{};
  batch_.reset();
  SubmitResult result{Submitted::kNothingToPrint, "no document was ended"};
  bool dropped = false;
  // Consecutive documents of one printer make one job; the job file goes with the last.
  for (size_t first = 0; first < documents.size();) {
    size_t end = first + 1;
    while (end < documents.size() && documents[end].printer == documents[first].printer) ++end;
    std::vector<Document> job(std::make_move_iterator(documents.begin() + first),
                              std::make_move_iterator(documents.begin() + end));
    SubmitResult r = outlet_.Submit(std::move(job), end == documents.size() ? source : nullptr);
    dropped = dropped || r.dropped;
    if (result.ok()) result = r;
    first = end;
  }
  result.dropped = dropped;
  return result;
}

}  // namespace valico
