#include "shell/app.h"

#include <cstdlib>

#include "display/virtual_display.h"
#include "platform/native_path.h"
#include "platform/program_folder.h"
#include "printing/print_system.h"

namespace valico {
namespace {

PathMapper::Options MapperOptions(const MachineOptions& o) {
  return PathMapper::Options{o.home, o.drives};
}

}  // namespace

MachineOptions CompleteFromEnvironment(MachineOptions o) {
  if (o.home.empty()) o.home = ExecutableFolder();
  o.home = AbsoluteNativePath(o.home);
  while (o.home.size() > 1 && (o.home.back() == '/' || o.home.back() == '\\')) o.home.pop_back();
  for (char d = 'A'; d <= 'Z'; ++d) {
    const char* v = std::getenv((std::string("VALICO_DRIVE_") + d).c_str());
    if (v && *v && !o.drives.count(d)) o.drives[d] = v;
  }
  for (int n = 1; n <= 32; ++n) {
    const char* v = std::getenv(("VALICO_COM" + std::to_string(n)).c_str());
    if (v && *v && !o.com_ports.count(n)) o.com_ports[n] = v;
  }
  return o;
}

App::App(const MachineOptions& o, MakeDialogs make_dialogs, PrintQueueOptions::Mode mode)
    : mapper_(MapperOptions(o)),
      files_(mapper_),
      log_(MakeDiagLog(o.log_to_file ? o.home : "", o.log_to_stderr)),
      watch_(MakeFolderWatch(*log_)),
      dialogs_(make_dialogs ? make_dialogs(*log_) : std::make_unique<HeadlessDialogs>(*log_)),
      processes_(MakeProcesses(*log_, files_, o.wine)),
      serial_ports_(MakeSerialPorts(o.com_ports, *log_)),
      ftp_(MakeFtpClient(*log_, std::chrono::seconds(o.ftp_timeout_s))) {
  PrintSystemOptions printing;
  printing.home = o.home;
  printing.log = log_.get();
  printing.serial_ports = serial_ports_.get();
  print_system_ = MakePrintSystem(printing);
  Regional regional = o.locale.empty() ? UserRegional() : RegionalFor(o.locale);
  ctx_ = std::make_unique<Context>(Services{files_, clock_, *watch_, *log_, *dialogs_, *processes_,
                                            *serial_ports_, *ftp_, *print_system_, regional},
                                   o.home, mode);
  ctx_->machine = {o.com_ports, o.wine};
}

}  // namespace valico
