#include "receipt/receipt_layouts.h"

#include "printing/ops.h"
#include "receipt/receipt_fields.h"

namespace valico {
namespace {

using Documents = std::vector<std::vector<PrinterOp>>;
using namespace ops;

constexpr size_t kFirstPageLines = 23;
constexpr size_t kPageLines = 22;  // every later page
constexpr size_t kU295FormLines = 41;

std::string Repeat(std::string_view s, size_t times) {
  std::string out;
  for (size_t i = 0; i < times; ++i) out += s;
  return out;
}

// The text of a record: from its fourth character on.
std::string_view TextOf(std::string_view record) {
  return record.size() > 3 ? record.substr(3) : std::string_view();
}

// Page 1 holds receipt lines 0..22, each later page the next 22.
size_t BlockOf(size_t r) {
  return r < kFirstPageLines ? 0 : 1 + (r - kFirstPageLines) / kPageLines;
}
bool EndsBlock(size_t r) {
  return r + 1 >= kFirstPageLines && (r + 1 - kFirstPageLines) % kPageLines == 0;
}

// Each page starts at its top: an empty print opens the document, then back to line 0.
void PageTop(std::vector<PrinterOp>& d) {
  d.push_back(Print(""));
  d.push_back(Position(std::nullopt, 0));
}

// Two copies of the form per page, headers in the printer's fonts fontB12 and fontA11.
Documents TmL90(const ReceiptForm& f) {
  Documents docs;
  for (size_t p = 0; p < f.blocks.size(); ++p) {
    std::vector<PrinterOp> d;
    PageTop(d);
    d.insert(d.end(), {FontName("fontB12"), FontSize(10), Print(f.header1), FontName("fontA11"),
                       FontSize(10), Print(f.header2), Print("\r\n"), Print(f.blocks[p])});
    if (p + 1 == f.blocks.size()) d.push_back(Print(f.filler));
    d.push_back(Print(Repeat("\r\n", p == 0 ? 10 : 11)));
    d.insert(d.end(),
             {FontName("fontB12"), FontSize(10), Print(f.header1), FontName("fontA11"),
              FontSize(10), Print(f.header2), Print("\r\n"), Print(f.blocks[p]), EndDocument()});
    docs.push_back(std::move(d));
  }
  return docs;
}

// Two copies of the form per page in Courier New bold, below a top margin.
Documents Kube(const ReceiptForm& f) {
  Documents docs;
  for (size_t p = 0; p < f.blocks.size(); ++p) {
    std::vector<PrinterOp> d;
    PageTop(d);
    d.insert(d.end(), {FontSize(10), FontName("Courier New"), Bold(true), Print("\r\n\r\n"),
                       Print(f.header1), Print(f.header2), Print("\r\n"), Print(f.blocks[p])});
    if (p + 1 == f.blocks.size()) d.push_back(Print(f.filler));
    d.push_back(Print(Repeat("\r\n", p == 0 ? 3 : 4)));
    d.insert(d.end(), {Print(f.header1), Print(f.header2), Print("\r\n"), Print(f.blocks[p]),
                       EndDocument()});
    docs.push_back(std::move(d));
  }
  return docs;
}

// Every record as a plain line in FontB11, whatever its tag; 41 lines to a form.
Documents TmU295(const std::vector<std::string>& records) {
  Documents docs;
  size_t lines = 0;
  for (const std::string& record : records) {
    if (lines == 0) docs.emplace_back();
    docs.back().push_back(FontName("FontB11"));
    docs.back().push_back(Print(TextOf(record)));
    if (++lines == kU295FormLines) {
      docs.back().push_back(EndDocument());
      lines = 0;
    }
  }
  if (lines > 0) docs.back().push_back(EndDocument());
  return docs;
}

}  // namespace

ReceiptForm CollectReceiptForm(const std::vector<std::string>& records) {
  ReceiptForm f;
  size_t h1 = 0, h2 = 0, n = 0;
  for (const std::string& record : records) {
    std::string_view tag = std::string_view(record).substr(0, 2);
    std::string_view text = TextOf(record);
    if (tag == "I1") {
      (f.header1 += text) += "\r\n";
      ++h1;
    } else if (tag == "I2") {
      (f.header2 += text) += "\r\n";
      ++h2;
    } else if (tag == "RR") {
      size_t block = BlockOf(n);
      if (f.blocks.size() <= block) f.blocks.resize(block + 1);
      f.blocks[block] += text;
      if (!EndsBlock(n)) f.blocks[block] += "\r\n";
      ++n;
    }
  }
  if (h1 < 4) f.header1 += Repeat("\r\n ", 4 - h1);
  if (h2 < 3) f.header2 += Repeat("\r\n ", 3 - h2);
  if (f.blocks.empty()) {
    f.blocks.emplace_back();
    return f;  // no receipt lines: no filler
  }
  // The filler brings the last page to the length of a full one. Its test is n + 1 < 22 on
  // page 1 (so 21 to 23 lines get none), n + 1 < 44 on page 2, and so on.
  size_t full = kPageLines * f.blocks.size();
  if (n + 1 < full) f.filler = Repeat(" \r\n", full - n);
  return f;
}

std::vector<std::vector<PrinterOp>> ReceiptDocuments(RfModel model,
                                                     const std::vector<std::string>& records) {
  switch (model) {
    case RfModel::kTmL90:
      return TmL90(CollectReceiptForm(records));
    case RfModel::kKube:
      return Kube(CollectReceiptForm(records));
    case RfModel::kTmU295:
      return TmU295(records);
    case RfModel::kOther:
      break;
  }
  return {};
}

bool LayOutReceiptJob(RfModel model, std::string_view text,
                      std::vector<std::vector<PrinterOp>>* documents, std::string* why) {
  documents->clear();
  if (text.find('\0') != std::string_view::npos) {
    *why = "it holds NUL bytes, so it is no text";
    return false;
  }
  auto laid_out = ReceiptDocuments(model, ReadReceiptFields(text));
  if (laid_out.size() > kMaxReceiptPages) {
    *why = "it would print " + std::to_string(laid_out.size()) +
           " pages, more than a receipt can have (" + std::to_string(kMaxReceiptPages) + ")";
    return false;
  }
  *documents = std::move(laid_out);
  return true;
}

}  // namespace valico
