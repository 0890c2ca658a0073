#include "shell/desktop_program.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "platform/exec_program.h"
#include "platform/program_folder.h"

namespace valico {
namespace {

std::string DesktopProgramPath() { return ExecutableFolder() + "/valico-gui"; }

// The machine options as a command line: the desktop program reads them as valico did.
// Settings from the environment (VALICO_DRIVE_X, VALICO_COMn) it reads itself.
std::vector<std::string> OptionArguments(const MachineOptions& m) {
  std::vector<std::string> args;
  if (!m.home.empty()) args.insert(args.end(), {"--home", m.home});
  for (const auto& [drive, root] : m.drives)
    args.insert(args.end(), {"--drive", std::string(1, drive) + "=" + root});
  for (const auto& [n, device] : m.com_ports)
    args.insert(args.end(), {"--com", std::to_string(n) + "=" + device});
  if (!m.locale.empty()) args.insert(args.end(), {"--locale", m.locale});
  if (m.wine != MachineOptions{}.wine) args.insert(args.end(), {"--wine", m.wine});
  if (m.ftp_timeout_s != MachineOptions{}.ftp_timeout_s)
    args.insert(args.end(), {"--ftp-timeout", std::to_string(m.ftp_timeout_s)});
  return args;
}

bool DesktopSession() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* v = std::getenv(name);
    if (v && *v) return true;
  }
  return false;
}

}  // namespace

int StartDesktopProgram(const MachineOptions& machine) {
  std::error_code ec;
  if (!std::filesystem::exists(DesktopProgramPath(), ec)) {
    // A till without a desktop installs valico alone; the desktop program is a package of its
    // own, as it brings Qt.
    std::cerr << "Errore: the desktop program " << DesktopProgramPath()
              << " is not installed: install the package valico-gui (apt install valico-gui)\n";
    return 1;
  }
  std::vector<std::string> args = OptionArguments(machine);
  args.push_back("gui");
  std::string err;
  ExecProgram(DesktopProgramPath(), args, &err);
  std::cerr << "Errore: the desktop program could not be started: " << err << "\n";
  return 1;
}

NoCommand DesktopProgramIfAny() {
  std::error_code ec;
  if (DesktopSession() && std::filesystem::exists(DesktopProgramPath(), ec))
    return StartDesktopProgram;
  return nullptr;
}

}  // namespace valico
