#include "display/customer_display.h"

#include "core/text_lines.h"

namespace valico {
namespace {

// What one display model is sent, line by line, and how its port is handled.
struct DisplayModel {
  std::string_view name;
  bool reopen_port;      // closed and opened around every update, instead of left open
  bool first_line_only;  // later lines of the file are never sent
  std::string_view first_prefix;
  std::size_t first_cut;
  std::string_view later_prefix;
  std::size_t later_cut;
  std::string_view suffix;  // after the text of every line
};

// ESC is \033, CR is \r. Every line after the first goes under the one "later" sequence.
constexpr DisplayModel kModels[] = {
    {"WINCOR-NIXDORF", true, false, "\033[1;1H", 20, "\033[2;1H", 20, ""},
    {"ASEM", false, false, "\033QA", 20, "\033QB", 20, "\r"},
    {"KUBE-D", false, true, "", 40, "", 40, ""},
    {"CD1-01", false, false, "\033F A", 20, "\033F B", 20, "\r"},
    // The upper line of this model takes 19 characters, the lower one 20.
    {"POSLINE", false, false, "\033A", 19, "\033B", 20, "\r"},
};

const DisplayModel* FindModel(const std::string& name) {
  for (const DisplayModel& m : kModels)
    if (m.name == name) return &m;
  return nullptr;
}

std::string LineBytes(const DisplayModel& m, bool first, const std::string& line) {
  std::string bytes(first ? m.first_prefix : m.later_prefix);
  bytes += line.substr(0, first ? m.first_cut : m.later_cut);
  bytes += m.suffix;
  return bytes;
}

}  // namespace

void CustomerDisplay::Warn(const std::string& message) {
  // The same trouble on every tick is written once, until an update goes through.
  if (message == last_warning_) return;
  last_warning_ = message;
  log_.Warn(message);
}

void CustomerDisplay::LanciaFileDLY() {
  const Config& cfg = cfg_;
  const Files& files = files_;
  const DisplayModel* model = FindModel(cfg.Display_Type);
  if (!model) {
    Warn("display: model \"" + cfg.Display_Type + "\" is unknown; " +
         files.Native(cfg.Display_File) + " is left as it is");
    return;
  }
  const std::string& path = cfg.Display_File;
  if (!watch_.IsWhole(files.Native(path))) return;  // Borea is still writing it
  std::string text, err;
  if (!files.ReadAll(path, &text, &err)) {
    Warn("display: " + err + "; trying again at a later tick");
    return;
  }

  std::vector<std::string> lines = SplitTextLines(text);
  if (model->first_line_only && lines.size() > 1) lines.resize(1);
  SerialControl& port = port_;
  if (model->reopen_port && port.IsOpen()) port.Close();
  // A failed open or write loses this update (the control logs why). The rest of the update
  // is not written, so a dead port costs one write bound per update rather than one per line,
  // and the port is closed so that the next update opens it afresh.
  bool ok = port.IsOpen() || port.Open();
  // A long file on a slow port must not hold the tick either: lines still unsent when the
  // update has taken the write bound are dropped (a 2x20 display shows the last ones anyway).
  const auto deadline = clock_.Now() + kSerialWriteBound;
  for (std::size_t i = 0; ok && i < lines.size(); ++i) {
    if (i > 0 && clock_.Now() >= deadline) {
      log_.Warn("display: the port took too long; " + std::to_string(lines.size() - i) + " of " +
                std::to_string(lines.size()) + " lines were not sent");
      break;
    }
    ok = port.Write(LineBytes(*model, i == 0, lines[i]));
  }
  if (model->reopen_port || !ok) port.Close();
  if (ok)
    log_.Debug("display: " + std::to_string(lines.size()) + " line(s) sent to COM" +
               std::to_string(port.port()));

  if (files.Remove(path, &err)) {
    last_warning_.clear();
  } else {
    Warn("display: " + err + "; it will be sent again");
  }
}

void DLY_StartUP_Valori(FormModel& form) {
  for (const char* type : {"ASEM", "WINCOR-NIXDORF", "KUBE-D", "POSLINE", "NON PRESENTE"})
    form.AddItem(controls::DLY_Type, type);
  for (int n = 1; n <= 16; ++n) form.AddItem(controls::DLY_com, std::to_string(n));
}

void DLY_StartUP_Borea(IniStore& ini, const Config& cfg) {
  if (!cfg.SettaggiBorea) return;
  const std::string& local = cfg.IniLocal;
  std::string code = ini.LeggiINI("Varie", "Banco_DisplayNoNd", "0", local);
  const char* type = code == "1"     ? "WINCOR-NIXDORF"
                     : code == "2"   ? "ASEM"
                     : code == "4"   ? "KUBE-D"
                     : code == "999" ? "POSLINE"
                                     : nullptr;
  ini.ScriviVarie("Display_Active", TypedValue::FromFlag(type != nullptr));
  ini.ScriviVarie("Display_Type", TypedValue::FromText(type ? type : "NON PRESENTE"));
  // The port and its settings are copied as Borea stores them, each read just before it is
  // written.
  ini.ScriviVarie("Display_COM",
                  type ? ini.LeggiVarie("Dis_PortaCom", local) : TypedValue::FromText(""));
  ini.ScriviVarie("Display_Parametri",
                  type ? ini.LeggiVarie("Dis_Parametri", local) : TypedValue::FromText(""));
}

}  // namespace valico
