#include "prebill/prebill_renderer.h"

#include "platform/file_identity.h"
#include "platform/text_lines.h"
#include "prebill/field_format.h"
#include "prebill/job_formats.h"
#include "prebill/printer_by_port.h"
#include "prebill/printer_operations.h"
#include "printing/bitmap_file.h"
#include "printing/ops.h"

namespace valico {
namespace {

constexpr const char* kLogoFile = "LogoCassa.bmp";
constexpr const char* kPrinterNotFound = "Stampante NON trovata";
constexpr const char* kErrorLine = "ERRORE: file scontrino mancante o errato!";

}  // namespace

InstalledPrinterPrebill::JobLines InstalledPrinterPrebill::ReadJob(const std::string& job) {
  JobLines j;
  j.read = ReadTextLines(files_, job, &j.lines, &j.err);
  return j;
}

void InstalledPrinterPrebill::ChoosePrinterOrCurrent(const std::string& port,
                                                     const std::string& job) {
  std::string why;
  if (CercaStampantePorta(printers_, port, PortMatch::kIgnoreCase, &why)) return;
  log_.Warn("pre-bill job " + files_.Native(job) + ": " + why +
            "; it prints on the current printer \"" + printers_.Current() + "\"");
}

void InstalledPrinterPrebill::RemoveJob(const std::string& job) {
  std::string err;
  if (!files_.Remove(job, &err)) log_.Debug("pre-bill job not deleted: " + err);
}

// From here on the documents the job ends are collected, to go to the print queue together.
void InstalledPrinterPrebill::BeginJob(const std::string& job) {
  printers_.BeginBatch();
  job_read_from_ = IdentityOf(files_.Native(job));
}

// The job's documents go to the print queue as one job, which removes the job file once they
// are durably queued: a crash can leave a job file that was not queued, never one that was.
// A job that ended no document is removed here when its routine removes its job. False when
// documents were dropped: the job file stays, to be taken again.
bool InstalledPrinterPrebill::Finish(const std::string& job, bool remove) {
  std::optional<SourceFile> source;
  if (job_read_from_) source = SourceFile{files_.Native(job), *job_read_from_};
  SubmitResult r = printers_.SubmitBatch(source ? &*source : nullptr);
  if (!r.ok())
    log_.Error("pre-bill job " + files_.Native(job) + " not printed: " + r.detail);
  else if (remove && !r.source_removed)
    RemoveJob(job);
  return !r.dropped;
}

bool InstalledPrinterPrebill::StampaCortOlivetti(const std::string& job) {
  BeginJob(job);
  const std::string port = PortNameOf(cfg_.Cort_Com, regional_);
  JobLines j = ReadJob(job);
  if (!j.read)
    log_.Warn("pre-bill job " + files_.Native(job) + " cannot be read, nothing printed: " + j.err);
  ChoosePrinterOrCurrent(port, job);
  for (const std::string& line : j.lines)
    printers_.Apply({ops::FontName("FontA11"), ops::Print(TextOfPlainLine(line))});
  printers_.Apply(ops::EndDocument());
  return Finish(job, true);
}

bool InstalledPrinterPrebill::StampaCortSolipos(const std::string& job) {
  BeginJob(job);
  const std::string port = PortNameOf(cfg_.Cort_Com, regional_);
  ChoosePrinterOrCurrent(port, job);
  JobLines j = ReadJob(job);
  if (!j.read)
    log_.Warn("pre-bill job " + files_.Native(job) + " cannot be read, nothing printed: " + j.err);
  for (const std::string& line : j.lines) {
    if (std::optional<std::string> text = TextOfScoLine(line))
      printers_.Apply({ops::FontName("Courier New"), ops::FontSize(9), ops::Print(*text)});
  }
  printers_.Apply(ops::EndDocument());
  return Finish(job, true);
}

std::shared_ptr<const Bitmap> InstalledPrinterPrebill::LoadLogo(std::string* err) {
  return LoadBitmapFile(files_, JoinPath(cfg_.DirBorea, kLogoFile), err);
}

// The logo goes out as a print job of its own, drawn at the top of its page. A logo that was
// not loaded leaves the move and the end of the document, which sends whatever was open.
void InstalledPrinterPrebill::PrintLogo(std::shared_ptr<const Bitmap> logo) {
  printers_.Apply(ops::Position(0, 0));
  if (logo) printers_.Apply(ops::DrawBitmap(std::move(logo)));
  printers_.Apply(ops::EndDocument());
}

bool InstalledPrinterPrebill::PrintErrorLine(const std::string& job, const std::string& why) {
  log_.Warn("pre-bill job " + files_.Native(job) + ": " + why +
            "; the error line is printed instead");
  printers_.Apply({ops::FontSize(9), ops::FontName("FontA12cpi"), ops::Bold(true),
                   ops::Print(kErrorLine), ops::Bold(false), ops::EndDocument()});
  return false;
}

bool InstalledPrinterPrebill::StampaCortSamsung(const std::string& job) {
  BeginJob(job);
  bool remove = PrintSamsung(job);
  return Finish(job, remove);
}

// The field-format job; true when its family removes the job file once printed.
bool InstalledPrinterPrebill::PrintSamsung(const std::string& job) {
  const std::string port = ComPortName(cfg_.Cort_Com, regional_);
  JobLines j = ReadJob(job);
  std::string why;
  std::optional<std::string> device = CercaStampantePorta(printers_, port, PortMatch::kExact, &why);
  if (!device) {
    log_.Warn("pre-bill job " + files_.Native(job) + " not printed: " + why);
    dialogs_.Message(kPrinterNotFound);
    return false;
  }
  const PrinterFamily family = PrinterFamilyOf(*device);
  std::string err;
  if (family == PrinterFamily::k500) {
    // Only the job file's first line is watched here: a logo that does not load is left out.
    if (cfg_.Cort_Logo) {
      std::shared_ptr<const Bitmap> logo = LoadLogo(&err);
      if (!logo) log_.Warn("pre-bill logo left out: " + err);
      PrintLogo(std::move(logo));
    }
    printers_.Apply(JobStartOperations(family));
    if (!j.read) return PrintErrorLine(job, "the job file cannot be read (" + j.err + ")");
  } else {
    // The logo and the job file's first line are both watched: either one missing prints
    // the error line instead of the receipt.
    if (cfg_.Cort_Logo) {
      std::shared_ptr<const Bitmap> logo = LoadLogo(&err);
      if (!logo) return PrintErrorLine(job, "the logo cannot be loaded (" + err + ")");
      PrintLogo(std::move(logo));
    }
    if (!j.read) return PrintErrorLine(job, "the job file cannot be read (" + j.err + ")");
  }
  FieldFormatReader reader(family, regional_);
  for (const std::string& line : j.lines) printers_.Apply(OperationsFor(family, reader.Read(line)));
  return family != PrinterFamily::k500;
}

}  // namespace valico
