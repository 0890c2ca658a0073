// libFuzzer target for receipt job files: any bytes read as fields that hold no line end and
// no more bytes than the file, and lay out on each model as whole documents (each ended) or
// are refused with a reason.
#include <cstddef>
#include <cstdint>
#include <string>

#include "receipt/receipt_fields.h"
#include "receipt/receipt_layouts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  std::size_t kept = 0;
  for (const std::string& field : valico::ReadReceiptFields(in)) {
    if (field.find_first_of("\r\n") != std::string::npos) __builtin_trap();
    kept += field.size();
  }
  if (kept > size) __builtin_trap();

  for (valico::RfModel model :
       {valico::RfModel::kTmL90, valico::RfModel::kKube, valico::RfModel::kTmU295}) {
    std::vector<std::vector<valico::PrinterOp>> documents;
    std::string why;
    if (!valico::LayOutReceiptJob(model, in, &documents, &why)) {
      if (why.empty() || !documents.empty()) __builtin_trap();
      continue;
    }
    if (documents.size() > valico::kMaxReceiptPages) __builtin_trap();
    for (const auto& document : documents)
      if (document.empty() || document.back().kind != valico::PrinterOp::Kind::kEndDocument)
        __builtin_trap();
  }
  return 0;
}
