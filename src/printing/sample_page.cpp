#include "printing/sample_page.h"

#include "printing/ops.h"
#include "printing/printers.h"

namespace valico {

std::vector<PrinterOp> SamplePageOperations(const std::string& device) {
  using namespace ops;
  std::vector<PrinterOp> p = {FontSize(9),
                              FontName("FontControl"),
                              Print("w"),
                              FontName("FontA11"),
                              FontSize(10),
                              Bold(true),
                              Print("Valico - stampa di prova"),
                              Bold(false),
                              Print(device),
                              Print("")};
  for (const char* font : {"FontA11", "FontA12", "FontB11", "FontB12", "FontA15cpi", "FontA12cpi",
                           "FontB17cpi", "Courier New"}) {
    p.push_back(FontName(font));
    p.push_back(Print(std::string(font) + ": 1234567890 \xe0\xe8\xe9\xec\xf2\xf9 \x80"));
  }
  p.insert(p.end(), {FontName("FontA11"),
                     Bold(true),
                     Print("Grassetto"),
                     Bold(false),
                     Colour(kRed),
                     Print("Rosso"),
                     Colour(kBlack),
                     Print(""),
                     FontSize(8.5),
                     FontName("FontControl"),
                     Print("r"),
                     Print("x"),
                     FontSize(18),
                     FontName("JAN13(EAN)"),
                     Print(kSampleEan13),
                     FontSize(9),
                     FontName("FontControl"),
                     Print("w"),
                     Print(" "),
                     Print(" "),
                     Print("P"),
                     EndDocument()});
  return p;
}

SubmitResult PrintSamplePage(Printers& printers, const std::string& device) {
  SubmitResult not_printed{Submitted::kNotPrinted, ""};
  if (!device.empty() && !printers.ChooseInstalled(device, &not_printed.detail)) return not_printed;
  if (printers.Current().empty()) {
    not_printed.detail = "no printer is installed";
    return not_printed;
  }
  printers.BeginBatch();
  printers.Apply(SamplePageOperations(printers.Current()));
  return printers.SubmitBatch();
}

}  // namespace valico
