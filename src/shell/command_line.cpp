#include "shell/command_line.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>

#include "jobs/ftp_transfer.h"
#include "jobs/scheduler.h"
#include "platform/diag_log.h"
#include "prebill/serial_prebill.h"
#include "shell/app.h"
#include "shell/service.h"
#include "shell/startup.h"

namespace valico {
namespace {

// Splits "X=VALUE" at the first "=".
bool SplitAssignment(const std::string& s, std::string* left, std::string* right) {
  size_t eq = s.find('=');
  if (eq == std::string::npos || eq == 0) return false;
  *left = s.substr(0, eq);
  *right = s.substr(eq + 1);
  return true;
}

std::string ParseDrives(const std::vector<std::string>& in, std::map<char, std::string>* out) {
  for (const std::string& s : in) {
    std::string l, r;
    if (!SplitAssignment(s, &l, &r) || l.size() != 1 || !std::isalpha(static_cast<unsigned char>(l[0])))
      return "--drive expects X=PATH, got \"" + s + "\"";
    (*out)[static_cast<char>(std::toupper(static_cast<unsigned char>(l[0])))] = r;
  }
  return "";
}

std::string ParseComPorts(const std::vector<std::string>& in, std::map<int, std::string>* out) {
  for (const std::string& s : in) {
    std::string l, r;
    int n = 0;
    try {
      if (SplitAssignment(s, &l, &r)) n = std::stoi(l);
    } catch (const std::exception&) {
      n = 0;
    }
    if (n <= 0) return "--com expects N=DEVICE, got \"" + s + "\"";
    (*out)[n] = r;
  }
  return "";
}

// A store of its own for the "ini" commands, which name native files.
struct IniTool {
  PathMapper mapper{PathMapper::Options{std::filesystem::current_path().string(), {}}};
  Files files{mapper};
  std::unique_ptr<DiagLog> log = MakeDiagLog("", true);
  Regional regional;
  IniStore store{files, regional, *log};
};

std::string Absolute(const std::string& path) {
  std::error_code ec;
  auto p = std::filesystem::absolute(path, ec);
  return ec ? path : p.string();
}

std::string DescribeTyped(const TypedValue& v) {
  if (v.is_flag()) return "flag " + std::to_string(v.flag());
  if (v.is_number()) return "number " + v.ToText(Regional{});  // "." as decimal separator
  if (v.is_text()) return "text " + v.text();
  return "null";
}

// "YYYY-MM-DD HH:MM" as a local time with its weekday; empty when it is not a real date.
std::optional<LocalTime> ParseMinute(const std::string& text) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d%c", &y, &mo, &d, &h, &mi, &tail) != 5)
    return std::nullopt;
  using namespace std::chrono;
  year_month_day date{year{y}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(d)}};
  if (!date.ok() || h < 0 || h > 23 || mi < 0 || mi > 59) return std::nullopt;
  int wd = static_cast<int>(weekday{sys_days{date}}.c_encoding());
  return LocalTime{y, mo, d, h, mi, 0, wd};
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
  CLI::App app{"Valico - Versione 2.2.0: hands Borea's spool jobs to the shop's devices"};
  app.require_subcommand(0, 1);

  MachineOptions machine;
  std::vector<std::string> drives, coms;
  app.add_option("--home", machine.home, "Program folder (default: the executable's folder)");
  app.add_option("--drive", drives, "Native root of a Windows drive, X=PATH (repeatable)");
  app.add_option("--com", coms, "Device of serial port N, N=DEVICE (repeatable)");
  app.add_option("--locale", machine.locale, "Regional settings, e.g. it_IT (default: the user's)");
  app.add_option("--wine", machine.wine, "Program that runs Windows .exe drivers");
  app.add_option("--ftp-timeout", machine.ftp_timeout_s,
                 "Seconds an FTP server may stay silent or a transfer stand still (default 30)")
      ->check(CLI::Range(1, 3600));

  long ticks = 0;
  CLI::App* run = app.add_subcommand("run", "Run the service: a tick every 500 ms until stopped");
  run->add_option("--ticks", ticks, "Stop after this many ticks");

  CLI::App* prebill_test = app.add_subcommand(
      "prebill-test", "Send the test print to the serial pre-bill printer (Cort_Com, Cort_Sett)");

  CLI::App* ini = app.add_subcommand("ini", "Read or write an INI file as Valico does");
  ini->require_subcommand(1);
  std::string file, section, key, value, fallback;
  CLI::App* get = ini->add_subcommand("get", "Print a value (or DEFAULT)");
  get->add_option("FILE", file)->required();
  get->add_option("SECTION", section)->required();
  get->add_option("KEY", key)->required();
  get->add_option("DEFAULT", fallback);
  CLI::App* set = ini->add_subcommand("set", "Write a value; an empty KEY removes SECTION");
  set->add_option("FILE", file)->required();
  set->add_option("SECTION", section)->required();
  set->add_option("KEY", key)->required();
  set->add_option("VALUE", value)->required();
  CLI::App* typed = ini->add_subcommand("typed", "Print the typed value of KEY in section VARIE");
  typed->add_option("FILE", file)->required();
  typed->add_option("KEY", key)->required();

  CLI::App* ftp =
      app.add_subcommand("ftp", "Carry out the FTP request written in _Valico.ini now, then exit");
  std::string at, postazione;
  CLI::App* schedule = app.add_subcommand(
      "schedule", "Run the scheduled operations once, as at the current minute or at --at");
  schedule->add_option("--at", at, "The minute to run as, \"YYYY-MM-DD HH:MM\"");
  schedule->add_option("--postazione", postazione, "Workstation role for this run")
      ->check(CLI::IsMember({"CLIENT", "SERVER"}));

  CLI11_PARSE(app, argc, argv);

  std::optional<LocalTime> minute;
  if (!at.empty() && !(minute = ParseMinute(at))) {
    std::cerr << "--at expects \"YYYY-MM-DD HH:MM\", got \"" << at << "\"\n";
    return 2;
  }

  std::string bad = ParseDrives(drives, &machine.drives);
  if (bad.empty()) bad = ParseComPorts(coms, &machine.com_ports);
  if (!bad.empty()) {
    std::cerr << bad << "\n";
    return 2;
  }

  if (ini->parsed()) {
    IniTool tool;
    if (!machine.locale.empty()) tool.regional = RegionalFor(machine.locale);
    else tool.regional = UserRegional();
    file = Absolute(file);
    if (get->parsed()) {
      std::cout << tool.store.LeggiINI(section, key, fallback, file) << "\n";
      return 0;
    }
    if (set->parsed()) return tool.store.ScriviINI(section, key, value, file) ? 0 : 1;
    std::cout << DescribeTyped(tool.store.LeggiVarie(key, file)) << "\n";
    return 0;
  }

  machine = CompleteFromEnvironment(machine);
  App valico(machine);
  Context& ctx = valico.ctx();
  if (ftp->parsed()) {
    LoadSettings(ctx);
    LanciaFTP(TransferServices{ctx.ini, ctx.svc.files, ctx.svc.log, ctx.svc.processes, ctx.svc.ftp,
                               ctx.svc.regional, ctx.program_folder()});
    std::string esito = ctx.ini.LeggiINI("Varie", "FTP_Esito", "", ctx.cfg.IniValico);
    std::cout << "FTP_Esito=" << esito << "\n";
    return esito == "-1" ? 0 : 1;
  }
  if (prebill_test->parsed()) {
    // The settings give the test its port and line settings; the spools are left alone, so
    // the test may run beside a running service.
    LoadSettings(ctx);
    SerialPrebill prebill(ctx.cfg, ctx.svc.regional, ctx.com_preconto, ctx.svc.files, ctx.svc.log,
                          ctx.svc.dialogs);
    return prebill.Command1_Click() ? 0 : 1;
  }
  if (schedule->parsed()) {
    LoadSettings(ctx);
    if (!postazione.empty()) ctx.cfg.Postazione = postazione;
    OperazioniPianificateAt(ctx.svc, ctx.ini, ctx.cfg, minute ? *minute : ctx.svc.clock.LocalNow());
    return 0;
  }
  return RunService(ctx, ticks);
}

}  // namespace valico
