#include <cctype>
#include <charconv>
#include <filesystem>
#include <optional>
#include <set>

#include "display/virtual_display.h"
#include "platform/durable_files.h"
#include "platform/host_lookup.h"
#include "platform/native_path.h"
#include "platform/program_folder_lock.h"
#include "platform/serial_device.h"
#include "platform/write_access.h"
#include "prebill/printer_by_port.h"
#include "printing/printer_check.h"
#include "printing/queue_file.h"
#include "shell/doctor.h"
#include "shell/print_status.h"
#include "spool/spool_folders.h"

namespace valico {
namespace {

using Lines = std::vector<DoctorLine>;

constexpr const char* kWriteTodo =
    "dare a questo utente il permesso di scrivere (Linux: adduser UTENTE valico; per il servizio "
    "la cartella sta in ReadWritePaths)";

void Add(Lines& out, bool ok, std::string subject, std::string found, std::string todo) {
  out.push_back({ok, std::move(subject), std::move(found), ok ? "" : std::move(todo)});
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// A settings file read as the settings store reads it: whole, within its bound.
bool Readable(const std::string& native, std::string* found) {
  std::string text, err;
  switch (ReadNativeFile(native, IniStore::kMaxFileBytes, &text, &err)) {
    case ReadStatus::kRead:
      *found = "leggibile: " + native + " (" + std::to_string(text.size()) + " byte)";
      return true;
    case ReadStatus::kMissing:
      *found = "non trovato: " + native;
      return false;
    case ReadStatus::kFailed:
      break;
  }
  *found = native + ": " + err;
  return false;
}

// The file, or the folder it goes into when it is not there yet, may be written.
void WritableHere(Lines& out, const std::string& subject, const std::string& native,
                  const std::string& folder, const char* created) {
  std::error_code ec;
  const bool there = std::filesystem::exists(FsPath(native), ec);
  std::string why;
  const bool ok = CanWrite(there ? native : folder, &why);
  Add(out, ok, subject,
      ok ? (there ? "scrivibile" : created) : (there ? native : folder) + ": " + why, kWriteTodo);
}

void ProgramFolder(Context& ctx, bool, Lines& out) {
  std::string why;
  const bool ok = CanWrite(ctx.program_folder(), &why);
  Add(out, ok, "Cartella del programma " + ctx.program_folder(), ok ? "scrivibile" : why,
      kWriteTodo);
}

void SpoolFolders(Context& ctx, bool, Lines& out) {
  for (const char* name :
       {kFiscalSpool.drop, kFiscalSpool.taken, kPrebillSpool.drop, kPrebillSpool.taken}) {
    const std::string subject = std::string("Cartella di spool ") + name;
    const std::string native = InNativeFolder(ctx.program_folder(), name);
    std::error_code ec;
    if (std::filesystem::exists(FsPath(native), ec) &&
        !std::filesystem::is_directory(FsPath(native), ec)) {
      Add(out, false, subject, native + " non e' una cartella",
          "toglierlo: Valico crea la cartella al prossimo avvio");
      continue;
    }
    WritableHere(out, subject, native, ctx.program_folder(),
                 "assente: Valico la crea al prossimo avvio");
  }
}

void ValicoIni(Context& ctx, bool, Lines& out) {
  std::string found;
  const bool ok = Readable(ctx.svc.files.Native(ctx.cfg.IniValico), &found);
  Add(out, ok, "_Valico.ini", ok ? found : found + " (valgono i valori predefiniti)",
      "salvare la configurazione (SALVA CONFIGURAZIONE), o renderlo leggibile a questo utente e "
      "sotto 1 MiB");
  std::vector<std::string> names, left;
  std::string err;
  ListNativeFolder(ctx.program_folder(), false, &names, &err);
  const std::string head = "_Valico.ini.", tail = ".valico-tmp";
  for (const std::string& n : names)
    if (n.size() > head.size() + tail.size() && n.rfind(head, 0) == 0 &&
        n.compare(n.size() - tail.size(), tail.size(), tail) == 0)
      left.push_back(n);
  std::string found_left = std::to_string(left.size()) + " rimasti";
  for (const std::string& n : left) found_left += " " + n;
  Add(out, left.empty(), "File temporanei di _Valico.ini", left.empty() ? "nessuno" : found_left,
      "cancellarli: li ha lasciati una scrittura interrotta");
}

void BoreaLocal(Context& ctx, bool, Lines& out) {
  if (!ctx.cfg.SettaggiBorea) {
    Add(out, true, "_Local.ini di Borea", "non usato (Borea_Setting spento)", "");
    return;
  }
  std::string found;
  const bool ok = Readable(ctx.svc.files.Native(ctx.cfg.IniLocal), &found);
  Add(out, ok, "_Local.ini di Borea (Borea_Setting acceso)", found,
      "correggere Borea_Directory (" + ctx.cfg.DirBorea + ") o spegnere \"Settaggi come Borea\"");
}

// The drive letters of the paths the settings in use hold, each once.
std::set<char> UsedDrives(Context& ctx) {
  const Config& c = ctx.cfg;
  std::vector<std::string> paths = {c.DirBorea};
  if (c.Display_Active) paths.push_back(c.Display_File);
  if (c.MF_Active) paths.insert(paths.end(), {c.MF_File, c.MF_File_Output, c.MF_Driver});
  if (c.RF_Active) paths.push_back(c.RF_File);
  if (c.Cort_Active && c.Cort_Logo) paths.push_back(c.Cort_File);
  paths.push_back(ctx.ini.LeggiINI("Varie", "FTP_Directory", "", c.IniValico));
  std::set<char> letters;
  for (const std::string& p : paths) {
    size_t at = p.find_first_not_of(" \t\"");
    if (at != std::string::npos && at + 1 < p.size() && p[at + 1] == ':' &&
        std::isalpha(static_cast<unsigned char>(p[at])))
      letters.insert(static_cast<char>(std::toupper(static_cast<unsigned char>(p[at]))));
  }
  return letters;
}

void Drives(Context& ctx, bool, Lines& out) {
  for (char letter : UsedDrives(ctx)) {
    const std::string drive(1, letter);
    const std::string root = ctx.svc.files.Native(drive + ":\\");
    std::error_code ec;
    std::filesystem::file_status st = std::filesystem::status(FsPath(root), ec);
    if (!ec && st.type() == std::filesystem::file_type::not_found)
      ec = std::make_error_code(std::errc::no_such_file_or_directory);
    const bool ok = !ec && std::filesystem::is_directory(st);
    Add(out, ok, "Disco " + drive,
        drive + ": = " + root +
            (ok ? "" : ": " + (ec ? ec.message() : std::string("non e' una cartella"))),
        "indicare la cartella con --drive " + drive + "=CARTELLA o VALICO_DRIVE_" + drive +
            " (servizio: /etc/default/valico, e la cartella in ReadWritePaths); su Windows "
            "collegare il disco");
  }
}

std::optional<int> PortNumber(const std::string& text) {
  size_t begin = text.find_first_not_of(' '), end = text.find_last_not_of(' ');
  if (begin == std::string::npos) return std::nullopt;
  int port = 0;
  auto r = std::from_chars(text.data() + begin, text.data() + end + 1, port);
  if (r.ec != std::errc() || r.ptr != text.data() + end + 1 || port < 1) return std::nullopt;
  return port;
}

DoctorLine PortLine(Context& ctx, bool serving, std::string subject, const std::string& text) {
  const char* todo =
      "collegare il dispositivo o indicarlo con --com N=DISPOSITIVO (VALICO_COMn); chiudere il "
      "programma che tiene la porta";
  std::optional<int> port = PortNumber(text);
  if (!port)
    return {false, subject, Quoted(text) + " non e' un numero di porta",
            "scrivere il numero della porta (1 per COM1)"};
  const std::string device = SerialDeviceOf(*port, ctx.machine.com_devices);
  subject += " COM" + std::to_string(*port);
  if (device.rfind(kDisplayPrefix, 0) == 0) {
    std::string file = device.substr(kDisplayPrefix.size()), why;
    std::string folder = NarrowPath(FsPath(file).parent_path());
    bool ok = CanWrite(folder.empty() ? "." : folder, &why);
    return {ok, subject, "display virtuale su " + file + (ok ? "" : ": " + why), ok ? "" : todo};
  }
  for (const SerialControl* own : {&ctx.mscomm1, &ctx.com_preconto})
    if (serving && own->IsOpen() && own->port() == *port)
      return {true, subject, device + " aperta da questo programma", ""};
  std::string why;
  if (ProbeSerialDevice(device, &why)) return {true, subject, device + " presente e libera", ""};
  return {false, subject, why, todo};
}

void SerialPortsInUse(Context& ctx, bool serving, Lines& out) {
  const Config& c = ctx.cfg;
  const struct {
    bool used;
    const char* subject;
    std::string text;
  } uses[] = {
      {c.Display_Active, "Porta del display (Display_COM)", c.Display_COM},
      {c.MF_Active, "Porta del misuratore fiscale (MF_COM)", c.MF_COM},
      {c.Cort_Active && c.cort_model == CortModel::kDpt282,
       "Porta della stampante di preconto (Cort_Com)", c.Cort_Com.ToText(ctx.svc.regional)},
  };
  size_t before = out.size();
  for (const auto& use : uses)
    if (use.used) out.push_back(PortLine(ctx, serving, use.subject, use.text));
  if (out.size() == before) Add(out, true, "Porte seriali", "nessuna in uso", "");
}

// A printer the settings name: by its device name, or by the port the pre-bill printer is
// looked up on.
struct NamedPrinter {
  std::string subject, device, port;
  bool port_case = true;  // the port compares with its letter case
};

std::vector<NamedPrinter> NamedPrinters(Context& ctx) {
  const Config& c = ctx.cfg;
  std::vector<NamedPrinter> named;
  const std::string second = ctx.ini.LeggiINI("Varie", "RF_PRINTER_2", "", c.IniValico);
  if (c.RF_Active && !c.RF_Stampante.empty())
    named.push_back({"Stampante delle ricevute (RF_Stampante)", c.RF_Stampante, ""});
  if (c.RF_Active && !second.empty())
    named.push_back({"Seconda stampante delle ricevute (RF_PRINTER_2)", second, ""});
  const std::string subject = "Stampante di preconto (" + c.Cort_Printer + ")";
  if (c.Cort_Active && c.cort_model == CortModel::kSamsung)
    named.push_back({subject, "", ComPortName(c.Cort_Com, ctx.svc.regional)});
  if (c.Cort_Active &&
      (c.cort_model == CortModel::kOlivetti || c.cort_model == CortModel::kSolipos))
    named.push_back({subject, "", PortNameOf(c.Cort_Com, ctx.svc.regional), false});
  return named;
}

bool SamePort(const std::string& a, const std::string& b, bool with_case) {
  if (with_case || a.size() != b.size()) return a == b;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

DoctorLine PrinterLine(Context& ctx, const std::vector<PrinterInfo>& installed,
                       const NamedPrinter& p) {
  const PrinterInfo* found = nullptr;
  for (const PrinterInfo& info : installed)
    if (found == nullptr &&
        (p.device.empty() ? SamePort(info.port, p.port, p.port_case) : info.device == p.device))
      found = &info;
  if (!found)
    return {false, p.subject,
            p.device.empty() ? "nessuna stampante installata sulla porta " + p.port
                             : Quoted(p.device) + " non installata",
            "Linux: dichiararla in _Stampanti.ini (Porta, Uscita); Windows: installarla con "
            "questo nome e questa porta"};
  std::string what;
  const bool ok =
      CheckPrinterOutput({ctx.program_folder(), ctx.machine.com_devices, std::chrono::seconds(2)},
                         found->device, &what);
  return {ok, p.subject, Quoted(found->device) + ": " + what,
          ok ? ""
             : "accenderla e collegarla, poi provarla con valico print-test --printer " +
                   Quoted(found->device)};
}

void PrintersNamed(Context& ctx, bool, Lines& out) {
  std::vector<NamedPrinter> named = NamedPrinters(ctx);
  if (named.empty()) return Add(out, true, "Stampanti", "nessuna nominata dalle impostazioni", "");
  std::vector<PrinterInfo> installed;
  std::string err;
  if (!ctx.svc.printing.ListPrinters(&installed, &err))
    return Add(out, false, "Stampanti installate", err, "correggere _Stampanti.ini (Linux)");
  for (const NamedPrinter& p : named) out.push_back(PrinterLine(ctx, installed, p));
}

void FiscalDriver(Context& ctx, bool, Lines& out) {
  const Config& c = ctx.cfg;
  const bool needed = c.MF_Active && c.mf_protocol == MfProtocol::kGlobe;
  if (!needed && (!c.MF_Active || c.MF_Driver.empty()))
    return Add(out, true, "Driver del misuratore (MF_Driver)", "non usato", "");
  std::string program, runner, why;
  const bool ok =
      FindProgram(ctx.svc.files, c.MF_Driver, ctx.machine.wine, &program, &runner, &why);
  Add(out, ok, "Driver del misuratore (MF_Driver)",
      ok ? program + (runner.empty() ? "" : ", eseguito da " + runner) : why,
      "installare il driver e scriverne il percorso in MF_Driver (Linux: wine, o --wine "
      "PROGRAMMA)");
}

void FtpServer(Context& ctx, bool, Lines& out) {
  std::string host = ctx.ini.LeggiINI("Varie", "FTP_Indirizzo", "", ctx.cfg.IniValico);
  if (host.empty()) return Add(out, true, "Server FTP (FTP_Indirizzo)", "non impostato", "");
  if (host.front() == '[') {
    host = host.substr(1, host.find(']') - 1);
  } else if (size_t colon = host.find(':');
             colon != std::string::npos && host.find(':', colon + 1) == std::string::npos) {
    host.resize(colon);
  }
  std::string address, why;
  const bool ok = LookUpHost(host, &address, &why);
  Add(out, ok, "Server FTP (FTP_Indirizzo)", ok ? host + " = " + address : host + ": " + why,
      "correggere FTP_Indirizzo, o il nome nel DNS della rete (o in /etc/hosts)");
}

void SchedulerFiles(Context& ctx, bool, Lines& out) {
  if (!ctx.cfg.OP_Attive) return Add(out, true, "Operazioni pianificate", "spente (OP_Attive)", "");
  for (const char* name : {"_Schedulatore.ini", "_Local.ini"}) {
    std::string found;
    const bool ok = Readable(ctx.svc.files.Native(JoinPath(ctx.cfg.DirBorea, name)), &found);
    Add(out, ok, std::string("Operazioni pianificate: ") + name, found,
        "controllare Borea_Directory (" + ctx.cfg.DirBorea + ") e i permessi del file");
  }
}

void OtherCopy(Context& ctx, bool serving, Lines& out) {
  if (serving) return Add(out, true, "Valico su questa cartella", "la serve questo programma", "");
  ProgramFolderLock probe(ctx.program_folder());  // given back at once
  Add(out, probe.held(), "Altro Valico su questa cartella",
      probe.held() ? "nessuno" : "un Valico la serve: le porte che tiene risultano occupate",
      "per una verifica completa fermarlo (systemctl stop valico, o File > Esci), o usare "
      "Strumenti > Verifica installazione nel programma");
}

void LogFile(Context& ctx, bool, Lines& out) {
  WritableHere(out, "Log Valico.log", InNativeFolder(ctx.program_folder(), "Valico.log"),
               ctx.program_folder(), "assente: Valico lo crea");
}

void PrintQueueWaiting(Context& ctx, bool, Lines& out) {
  QueueTotals q = QueueTotalsOf(ctx);
  Add(out, q.jobs == 0, "Coda di stampa (CodaStampa)",
      q.jobs == 0 ? "vuota"
                  : std::to_string(q.jobs) + " in coda" +
                        (q.oldest_ms > 0 ? ", il primo del " + ShownTime(q.oldest_ms) : ""),
      "valico status dice il motivo (stampante spenta o irraggiungibile?)");
}

void UnprintedKept(Context& ctx, bool, Lines& out) {
  std::string err;
  const UnprintedDocuments& kept = ctx.print_queue.unprinted();
  std::vector<long> numbers = kept.Numbers(&err);
  QueueFile oldest;
  std::string found = std::to_string(numbers.size()) + " documenti";
  if (!numbers.empty() && kept.Read(numbers.front(), &oldest, nullptr))
    found += ", il primo del " + ShownTime(oldest.queued_ms);
  Add(out, numbers.empty(), "Non stampati (NonStampati)", numbers.empty() ? "nessuno" : found,
      "sistemare la stampante, poi valico reprint --all (o Stato stampe > Ristampa)");
}

using Check = void (*)(Context& ctx, bool serving, Lines& out);

// In the order an installer works: the folder, the settings, the devices, the rest.
constexpr Check kChecks[] = {
    ProgramFolder,    SpoolFolders,  ValicoIni,         BoreaLocal,    Drives,
    SerialPortsInUse, PrintersNamed, FiscalDriver,      FtpServer,     SchedulerFiles,
    OtherCopy,        LogFile,       PrintQueueWaiting, UnprintedKept,
};

}  // namespace

std::vector<DoctorLine> RunDoctor(Context& ctx, bool serving) {
  Lines out;
  for (Check check : kChecks) check(ctx, serving, out);
  return out;
}

}  // namespace valico
