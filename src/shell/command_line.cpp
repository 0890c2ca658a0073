#include "shell/command_line.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>

#include "jobs/ftp_transfer.h"
#include "jobs/scheduler.h"
#include "platform/diag_log.h"
#include "platform/native_path.h"
#include "platform/path_mapper.h"
#include "platform/program_folder_lock.h"
#include "platform/standard_output.h"
#include "prebill/serial_prebill.h"
#include "printing/sample_page.h"
#include "receipt/printer_list.h"
#include "receipt/slip_calibration.h"
#include "shell/app.h"
#include "shell/desktop_program.h"
#include "shell/doctor.h"
#include "shell/print_status.h"
#include "shell/render.h"
#include "shell/reprint.h"
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
    if (!SplitAssignment(s, &l, &r) || l.size() != 1 ||
        !std::isalpha(static_cast<unsigned char>(l[0])))
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

// The regional settings a command works with: --locale, or the user's.
Regional RegionalOf(const MachineOptions& machine) {
  return machine.locale.empty() ? UserRegional() : RegionalFor(machine.locale);
}

// A store of its own for the "ini" commands, which name native files.
struct IniTool {
  PathMapper mapper{PathMapper::Options{AbsoluteNativePath("."), {}}};
  Files files{mapper};
  std::unique_ptr<DiagLog> log = MakeDiagLog("", true);
  Regional regional;
  IniStore store{files, regional, *log};
};

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

// What the commands' own options fill in.
struct CommandArgs {
  long ticks = 0;                                               // run
  std::string ini_action, file, section, key, value, fallback;  // ini
  std::string at, postazione;                                   // schedule
  std::string printer;                                          // print-test, render, reprint
  std::vector<long> numbers;                                    // reprint
  bool all = false;                                             // reprint
  std::string model, folder;                                    // render (and FILE)
  // slip-test, from the test window's initial texts
  std::string rows = SlipTestWindowText::kRows, cols = SlipTestWindowText::kColumns;
  NoCommand gui = nullptr;  // gui: the tray program, where it is built in
};

// One command of the command line: its name and help line, the options of its own (none when
// null), and what it does once the line is parsed. A new command is one row of kCommands and
// one function.
struct Command {
  const char* name;
  const char* help;
  void (*add_options)(CLI::App& command, CommandArgs& args);
  int (*run)(const MachineOptions& machine, const CommandArgs& args);
};

void RunOptions(CLI::App& command, CommandArgs& args) {
  command.add_option("--ticks", args.ticks, "Stop after this many ticks");
}

// One copy per program folder: a second would hand every job to its device twice.
int RunCommand(const MachineOptions& machine, const CommandArgs& args) {
  MachineOptions options = CompleteFromEnvironment(machine);
  ProgramFolderLock lock(options.home);
  if (!lock.held()) {
    std::cerr << "Errore: Valico is already running on " << options.home << "\n";
    return 1;
  }
  App valico(options);
  return RunService(valico.ctx(), args.ticks);
}

// The tray program: built in, or the desktop program beside this one.
int GuiCommand(const MachineOptions& machine, const CommandArgs& args) {
  return args.gui ? args.gui(machine) : StartDesktopProgram(machine);
}

void IniOptions(CLI::App& command, CommandArgs& args) {
  command.require_subcommand(1);
  auto action = [&args](CLI::App* sub) {
    sub->parse_complete_callback([&args, sub] { args.ini_action = sub->get_name(); });
  };
  CLI::App* get = command.add_subcommand("get", "Print a value (or DEFAULT)");
  get->add_option("FILE", args.file)->required();
  get->add_option("SECTION", args.section)->required();
  get->add_option("KEY", args.key)->required();
  get->add_option("DEFAULT", args.fallback);
  action(get);
  CLI::App* set = command.add_subcommand("set", "Write a value; an empty KEY removes SECTION");
  set->add_option("FILE", args.file)->required();
  set->add_option("SECTION", args.section)->required();
  set->add_option("KEY", args.key)->required();
  set->add_option("VALUE", args.value)->required();
  action(set);
  CLI::App* typed =
      command.add_subcommand("typed", "Print the typed value of KEY in section VARIE");
  typed->add_option("FILE", args.file)->required();
  typed->add_option("KEY", args.key)->required();
  action(typed);
}

int IniCommand(const MachineOptions& machine, const CommandArgs& args) {
  IniTool tool;
  tool.regional = RegionalOf(machine);
  const std::string file = AbsoluteNativePath(args.file);
  if (args.ini_action == "get") {
    std::cout << tool.store.LeggiINI(args.section, args.key, args.fallback, file) << "\n";
    return 0;
  }
  if (args.ini_action == "set")
    return tool.store.ScriviINI(args.section, args.key, args.value, file) ? 0 : 1;
  std::cout << DescribeTyped(tool.store.LeggiVarie(args.key, file)) << "\n";
  return 0;
}

int FtpCommand(const MachineOptions& machine, const CommandArgs&) {
  App valico(CompleteFromEnvironment(machine));
  Context& ctx = valico.ctx();
  LoadSettings(ctx);
  LanciaFTP(TransferServices{ctx.ini, ctx.svc.files, ctx.svc.log, ctx.svc.processes, ctx.svc.ftp,
                             ctx.svc.regional, ctx.program_folder()});
  std::string esito = ctx.ini.LeggiINI("Varie", "FTP_Esito", "", ctx.cfg.IniValico);
  std::cout << "FTP_Esito=" << esito << "\n";
  return esito == "-1" ? 0 : 1;
}

void ScheduleOptions(CLI::App& command, CommandArgs& args) {
  command.add_option("--at", args.at, "The minute to run as, \"YYYY-MM-DD HH:MM\"");
  command.add_option("--postazione", args.postazione, "Workstation role for this run")
      ->check(CLI::IsMember({"CLIENT", "SERVER"}));
}

int ScheduleCommand(const MachineOptions& machine, const CommandArgs& args) {
  std::optional<LocalTime> minute;
  if (!args.at.empty() && !(minute = ParseMinute(args.at))) {
    std::cerr << "--at expects \"YYYY-MM-DD HH:MM\", got \"" << args.at << "\"\n";
    return 2;
  }
  App valico(CompleteFromEnvironment(machine));
  Context& ctx = valico.ctx();
  LoadSettings(ctx);
  if (!args.postazione.empty()) ctx.cfg.Postazione = args.postazione;
  OperazioniPianificateAt(ctx.svc, ctx.ini, ctx.cfg, minute ? *minute : ctx.svc.clock.LocalNow());
  return 0;
}

// The settings give the test its port and line settings; the spools are left alone, so the
// test may run beside a running service.
int PrebillTestCommand(const MachineOptions& machine, const CommandArgs&) {
  App valico(CompleteFromEnvironment(machine));
  Context& ctx = valico.ctx();
  LoadSettings(ctx);
  SerialPrebill prebill(ctx.cfg, ctx.svc.regional, ctx.com_preconto, ctx.svc.files, ctx.svc.log,
                        ctx.svc.dialogs);
  return prebill.Command1_Click() ? 0 : 1;
}

// A command that prints delivers at once on a folder no Valico serves, and tells whether the
// printer confirmed it; beside the Valico that serves the folder it leaves its documents to
// that program's print queue, so one program at a time sends to a printer.
struct PrintingCommand {
  explicit PrintingCommand(const MachineOptions& machine)
      : options(CompleteFromEnvironment(machine)),
        lock(options.home),
        valico(options, nullptr,
               lock.held() ? PrintQueueOptions::Mode::kDirect : PrintQueueOptions::Mode::kInbox) {}
  MachineOptions options;
  ProgramFolderLock lock;
  App valico;
};

// The installed printers with their ports, as the installer's list shows them.
int PrintersCommand(const MachineOptions& machine, const CommandArgs&) {
  App valico(CompleteFromEnvironment(machine));
  std::string text, err;
  if (!ListaStampanti(valico.ctx().printers, &text, &err)) {
    std::cerr << "Errore: " << err << "\n";
    return 1;
  }
  return WriteStandardOutput(text) ? 0 : 1;
}

void PrintTestOptions(CLI::App& command, CommandArgs& args) {
  command.add_option("--printer", args.printer, "Device name of the printer (default: current)");
}

// One sample page, so an installer checks a new printer in one command.
int PrintTestCommand(const MachineOptions& machine, const CommandArgs& args) {
  PrintingCommand command(machine);
  Printers& printers = command.valico.ctx().printers;
  SubmitResult r = PrintSamplePage(printers, args.printer);
  const std::string printer = "\"" + printers.Current() + "\"";
  switch (r.status) {
    case Submitted::kPrinted:
      std::cout << "sample page printed on " << printer << " (" << r.detail << ")\n";
      return 0;
    case Submitted::kHandedOver:
      std::cout << "sample page handed over to " << printer << " (" << r.detail
                << "); the printer cannot confirm that it printed it\n";
      return 0;
    case Submitted::kQueued:
      std::cout << "sample page queued for " << printer
                << ": the Valico that serves this folder prints it (valico status tells when)\n";
      return 0;
    default:
      std::cerr << "Errore: " << r.detail << "\n";
      return 1;
  }
}

void SlipTestOptions(CLI::App& command, CommandArgs& args) {
  command.add_option("--rows", args.rows, "Rows to print (default 41)");
  command.add_option("--cols", args.cols, "Columns of the ruler (default 42)");
}

// The installer's calibration test of the slip printer, with the settings of _Valico.ini; the
// spools are left alone, so it may run beside the service.
int SlipTestCommand(const MachineOptions& machine, const CommandArgs& args) {
  PrintingCommand command(machine);
  Context& ctx = command.valico.ctx();
  LoadSettings(ctx);
  SlipTestResult r = StampaTestU295(ctx.cfg, ctx.svc.regional, ctx.printers, args.rows, args.cols);
  std::string message = r.message;
  for (size_t at; (at = message.find("\r\n")) != std::string::npos;) message.replace(at, 2, "\n");
  (r.printed ? std::cout : std::cerr) << message << "\n";
  return r.printed ? 0 : 1;
}

void RenderOptions(CLI::App& command, CommandArgs& args) {
  command.add_option("FILE", args.file, "The job file (left as it is)")->required();
  command.add_option("--as", args.model, "The printer model that prints it")
      ->required()
      ->check(CLI::IsMember(RenderModelNames()));
  command.add_option("--out", args.folder, "Folder of the previews (default: the current one)");
  command.add_option("--printer", args.printer,
                     "Device name of the preview printer (default: the model's name)");
}

// What a job would print, as previews: support staff see it without the printer or the service.
int RenderCommand(const MachineOptions& machine, const CommandArgs& args) {
  std::unique_ptr<DiagLog> log = MakeDiagLog("", true);
  RenderRequest request{AbsoluteNativePath(args.file), args.model, args.printer,
                        AbsoluteNativePath(args.folder.empty() ? "." : args.folder),
                        RegionalOf(machine)};
  std::vector<std::string> files;
  std::string err;
  bool ok = RenderJob(request, *log, &files, &err);
  for (const std::string& f : files) std::cout << f << "\n";
  if (ok) return 0;
  std::cerr << "Errore: " << err << "\n";
  return 1;
}

// Whether a Valico serves the folder: its lock is taken by another. Given back at once.
bool Served(const std::string& home) {
  ProgramFolderLock probe(home);
  return !probe.held();
}

// What waits and what was done, read beside the serving Valico or without it: the folder is
// only read (the settings' imports from Borea aside, as for every command that loads them).
int StatusCommand(const MachineOptions& machine, const CommandArgs&) {
  MachineOptions options = CompleteFromEnvironment(machine);
  const bool served = Served(options.home);
  App valico(options, nullptr, PrintQueueOptions::Mode::kInbox);
  LoadSettings(valico.ctx());
  std::cout << PrintStatusReport(valico.ctx(), served);
  return 0;
}

void ReprintOptions(CLI::App& command, CommandArgs& args) {
  CLI::Option* numbers =
      command.add_option("N", args.numbers, "Numbers of the documents of NonStampati")
          ->check(CLI::PositiveNumber);
  command.add_flag("--all", args.all, "Every document of NonStampati")->excludes(numbers);
  command.add_option("--printer", args.printer, "Print them on this printer instead of their own");
}

// Documents of NonStampati/ go back into the print queue through its inbox: the serving Valico
// takes them at once, or the next one to start.
int ReprintCommand(const MachineOptions& machine, const CommandArgs& args) {
  MachineOptions options = CompleteFromEnvironment(machine);
  const bool served = Served(options.home);
  App valico(options, nullptr, PrintQueueOptions::Mode::kInbox);
  Context& ctx = valico.ctx();
  if (args.numbers.empty() && !args.all) {
    std::cout << UnprintedReport(ctx)
              << "Nessun documento scelto: indicarne i numeri (valico reprint N...) o --all\n";
    return 1;
  }
  ReprintOutcome r = ReprintUnprinted(ctx.print_queue.unprinted(), ctx.print_queue, ctx.printers,
                                      {args.numbers, args.all, args.printer});
  for (const ReprintOutcome::Line& line : r.lines)
    (line.queued ? std::cout : std::cerr) << (line.queued ? "" : "Errore: ") << line.text << "\n";
  if (r.lines.empty()) std::cout << "NonStampati non contiene documenti\n";
  if (r.any_queued() && !served)
    std::cout << "Nessun Valico serve questa cartella: saranno stampati al suo prossimo avvio\n";
  return r.all_queued() ? 0 : 1;
}

// The installer's check: the settings as stored are read (no import from Borea), nothing is
// written, not even the log, and a Valico that serves the folder is left undisturbed.
int DoctorCommand(const MachineOptions& machine, const CommandArgs&) {
  MachineOptions options = CompleteFromEnvironment(machine);
  options.log_to_file = options.log_to_stderr = false;
  App valico(options, nullptr, PrintQueueOptions::Mode::kInbox);
  ReadSettings(valico.ctx());
  std::vector<DoctorLine> lines = RunDoctor(valico.ctx(), false);
  bool written = WriteMarkedText(DoctorText(lines, {&kPassedMark, 1}, {&kFailedMark, 1}));
  return written && AllPassed(lines) ? 0 : 1;
}

// The first row is the command run when none is named.
constexpr Command kCommands[] = {
    {"run", "Run the service: a tick every 500 ms until stopped", RunOptions, RunCommand},
    {"gui", "Run the tray program with its configuration window (a desktop session)", nullptr,
     GuiCommand},
    {"ini", "Read or write an INI file as Valico does", IniOptions, IniCommand},
    {"ftp", "Carry out the FTP request written in _Valico.ini now, then exit", nullptr, FtpCommand},
    {"schedule", "Run the scheduled operations once, as at the current minute or at --at",
     ScheduleOptions, ScheduleCommand},
    {"prebill-test", "Send the test print to the serial pre-bill printer (Cort_Com, Cort_Sett)",
     nullptr, PrebillTestCommand},
    {"printers", "List the installed printers with their ports", nullptr, PrintersCommand},
    {"print-test", "Print a sample page (device fonts, bold, red, EAN-13, cut)", PrintTestOptions,
     PrintTestCommand},
    {"slip-test", "Print the calibration test on the slip printer EPSON TM-U295 Slip",
     SlipTestOptions, SlipTestCommand},
    {"render", "Lay a job file out on a preview printer, as a printer model would print it",
     RenderOptions, RenderCommand},
    {"status", "Print what waits and what was last done, per device and printer", nullptr,
     StatusCommand},
    {"reprint", "Queue documents of NonStampati again (by number, or --all)", ReprintOptions,
     ReprintCommand},
    {"doctor", "Check the installation: folders, settings, drives, ports, printers, queue", nullptr,
     DoctorCommand},
};

}  // namespace

int RunCommandLine(int argc, char** argv, NoCommand no_command) {
  CLI::App app{"Valico - Versione " VALICO_VERSION
               ": hands Borea's spool jobs to the shop's devices"};
  app.set_version_flag("--version", "valico " VALICO_VERSION);
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

  CommandArgs args;
  args.gui = no_command;
  std::vector<CLI::App*> commands;
  for (const Command& command : kCommands) {
    commands.push_back(app.add_subcommand(command.name, command.help));
    if (command.add_options) command.add_options(*commands.back(), args);
  }

  CLI11_PARSE(app, argc, argv);

  std::string bad = ParseDrives(drives, &machine.drives);
  if (bad.empty()) bad = ParseComPorts(coms, &machine.com_ports);
  if (!bad.empty()) {
    std::cerr << bad << "\n";
    return 2;
  }
  for (size_t i = 0; i < commands.size(); ++i) {
    if (commands[i]->parsed()) return kCommands[i].run(machine, args);
  }
  return no_command ? no_command(machine) : kCommands[0].run(machine, args);
}

}  // namespace valico
