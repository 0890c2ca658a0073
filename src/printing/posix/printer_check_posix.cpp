#include <filesystem>

#include "platform/write_access.h"
#include "printing/declared_printers.h"
#include "printing/posix/cups_delivery_posix.h"
#include "printing/posix/escpos_delivery_posix.h"
#include "printing/printer_check.h"

namespace valico {
namespace {

// A preview folder is written, or created in its parent folder at the first document.
bool PreviewFolderWritable(const std::string& home, const std::string& target, std::string* found) {
  std::filesystem::path folder(target);
  if (folder.is_relative()) folder = std::filesystem::path(home) / folder;
  std::error_code ec;
  const bool there = std::filesystem::is_directory(folder, ec);
  const std::string asked = there ? folder.string() : folder.parent_path().string();
  std::string why;
  if (!CanWrite(asked, &why)) {
    *found = "previews in " + folder.string() + ": " + asked + ": " + why;
    return false;
  }
  *found = "previews in " + folder.string() + (there ? "" : " (created at the first document)");
  return true;
}

}  // namespace

bool CheckPrinterOutput(const PrinterCheckOptions& options, const std::string& device,
                        std::string* found) {
  DeclaredPrinters declared(options.home, nullptr);
  std::shared_ptr<const DeclaredPrinters::Snapshot> printers = declared.Current();
  const PrinterDeclaration* printer = printers->Find(device);
  if (!printer) {
    *found = "not declared in " + declared.path();
    return false;
  }
  switch (printer->output) {
    case PrinterOutput::kPreview:
      return PreviewFolderWritable(options.home, printer->target, found);
    case PrinterOutput::kEscPos:
      return EscPosTargetReachable(printer->target, options.home, options.com_devices,
                                   options.bound, found);
    case PrinterOutput::kCups:
      return CupsQueueAccepts(printer->target, options.bound, found);
    case PrinterOutput::kNone:
      break;
  }
  *found = "Uscita=\"" + printer->uscita + "\" names no output: the printer prints nothing";
  return false;
}

}  // namespace valico
