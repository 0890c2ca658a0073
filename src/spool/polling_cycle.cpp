#include "spool/polling_cycle.h"

#include <exception>

#include "platform/file_identity.h"
#include "spool/device_handlers.h"
#include "spool/spool_folders.h"

namespace valico {

template <typename F>
void PollingCycle::Contained(const char* what, F&& step) {
  try {
    step();
  } catch (const std::exception& e) {
    log_.Error(std::string("tick: ") + what + " failed: " + e.what());
  } catch (...) {
    log_.Error(std::string("tick: ") + what + " failed");
  }
}

void PollingCycle::FollowSpools() {
  if (cfg_.Display_Active && !cfg_.Display_File.empty())
    watch_.FollowFile(files_.Native(cfg_.Display_File));
  if (cfg_.MF_Active && !cfg_.MF_File.empty())
    watch_.Follow(files_.Native(InProgramFolder(kFiscalSpool.drop)));
  if (cfg_.RF_Active && !cfg_.RF_File.empty()) watch_.FollowFile(files_.Native(cfg_.RF_File));
  if (cfg_.Cort_Active) watch_.Follow(files_.Native(InProgramFolder(kPrebillSpool.drop)));
}

void PollingCycle::Timer1_Timer(bool notices_read) {
  if (in_tick_) return;
  in_tick_ = true;
  backlog_ = false;
  if (!notices_read) watch_.Poll();  // what arrived since the last look
  Contained("settings", [&] { settings_.Refresh(); });
  Contained("display", [&] { DisplayStep(); });
  Contained("fiscal register", [&] { FiscalStep(); });
  Contained("receipt forms", [&] { ReceiptStep(); });
  Contained("pre-bills", [&] { PrebillStep(); });
  in_tick_ = false;
}

// A spool flag is read from the file at every tick; a text that is neither a flag nor a
// number holds the spool off.
bool PollingCycle::SpoolOpen(SpoolKind kind) const {
  return settings_.LeggiVarieDef(SpoolFlag(kind), TypedValue::FromFlag(true)).IsTrue();
}

bool PollingCycle::Polled(const std::string& path) {
  std::string native = files_.Native(path);
  watch_.FollowFile(native);
  std::optional<FileIdentity> id = IdentityOf(native);
  return id && !id->is_folder;
}

void PollingCycle::DisplayStep() {
  if (cfg_.Display_Active && !cfg_.Display_File.empty() && Polled(cfg_.Display_File))
    devices_.LanciaFileDLY();
}

// The intake opens the spool flag again at the end of its pass.
void PollingCycle::FiscalStep() {
  if (!cfg_.MF_Active || cfg_.MF_File.empty() || !SpoolOpen(SpoolKind::kFiscal)) return;
  std::string err;
  if (!cfg_.MF_File_Output.empty() && files_.IsFile(cfg_.MF_File_Output) &&
      !files_.Remove(cfg_.MF_File_Output, &err))
    log_.Warn(err);
  fiscal_.PrelevaSpool(InProgramFolder(kFiscalSpool.drop), cfg_.IniValico,
                       InProgramFolder(kFiscalSpool.taken), SpoolKind::kFiscal);
  backlog_ = backlog_ || fiscal_.stopped_at_cap();
}

void PollingCycle::ReceiptStep() {
  if (!cfg_.RF_Active || cfg_.RF_File.empty() || !Polled(cfg_.RF_File) || cfg_.RF_Stampante.empty())
    return;
  // The port must be a number above 0; a port named in full ("Ne01") does not pass, and the
  // job waits. Said once, not at every tick.
  if (!IsNumberAboveZero(cfg_.RF_Seriale)) {
    if (!rf_port_reported_)
      log_.Warn(
          "receipt forms: RF_Seriale is not a port number above 0 (a port named in full, "
          "such as Ne01, is not one): " +
          files_.Native(cfg_.RF_File) + " waits");
    rf_port_reported_ = true;
    return;
  }
  rf_port_reported_ = false;
  devices_.LanciaFileRF();
}

void PollingCycle::PrebillStep() {
  if (!cfg_.Cort_Active || !SpoolOpen(SpoolKind::kPrebill)) return;
  prebill_.PrelevaSpool(InProgramFolder(kPrebillSpool.drop), cfg_.IniValico,
                        InProgramFolder(kPrebillSpool.taken), SpoolKind::kPrebill);
  backlog_ = backlog_ || prebill_.stopped_at_cap();
}

}  // namespace valico
