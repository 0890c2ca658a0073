#include "config_ui/load_settings.h"

#include <variant>

namespace valico {
namespace {

using TV = TypedValue;
namespace c = controls;

// Where a loaded key goes: a field of the model, in the kind the model keeps it.
using Field = std::variant<bool Config::*, std::string Config::*, std::int16_t Config::*,
                           TypedValue Config::*>;

// One row of the load: key, default when missing or blank, model field, window control.
struct KeyRow {
  const char* key;
  TypedValue fallback;
  Field field;
  const char* control;
};

// The fiscal register, receipt and pre-bill keys in the order the load reads them, then the
// scheduler's switch and the workstation role.
const std::vector<KeyRow>& DeviceKeys() {
  static const std::vector<KeyRow> rows = {
      {"MF_Active", TV::FromInt(0), &Config::MF_Active, c::MF_Active},
      {"MF_File", TV::FromText(""), &Config::MF_File, c::MF_File},
      {"MF_File_Output", TV::FromText(""), &Config::MF_File_Output, c::MF_FileOutput},
      {"MF_type", TV::FromText(""), &Config::MF_Type, c::MF_Type},
      {"MF_Prot", TV::FromText(""), &Config::MF_Prot, c::MF_Protocol},
      {"MF_COM", TV::FromText("1"), &Config::MF_COM, c::MF_Com},
      {"MF_Parametri", TV::FromText("9600,N,8,1"), &Config::MF_Parametri, c::MF_Param},
      {"MF_Buffer", TV::FromInt(0), &Config::MF_Buffer, c::MF_Buffer},
      {"MF_Ritardo", TV::FromInt(50), &Config::MF_Ritardo, c::MF_Delay},
      {"MF_ChkLog", TV::FromInt(0), &Config::MF_ChkLog, c::MF_chkLog},
      {"MF_Driver", TV::FromText(""), &Config::MF_Driver, c::MF_Driver},
      {"RF_Active", TV::FromInt(0), &Config::RF_Active, c::RF_Active},
      {"RF_Stampante", TV::FromText(""), &Config::RF_Stampante, c::RF_Printer},
      {"RF_Seriale", TV::FromText(""), &Config::RF_Seriale, c::RF_COM},
      {"RF_File", TV::FromText(""), &Config::RF_File, c::RF_File},
      // No default: a blank value leaves the field as it was.
      {"RF_Righe", TV::Null(), &Config::RF_Righe, c::RF_Righe},
      {"Cort_Active", TV::FromInt(0), &Config::Cort_Active, c::Cort_Active},
      {"Cort_Printer", TV::FromText("NON PRESENTE"), &Config::Cort_Printer, c::Cort_Printer},
      {"Cort_Com", TV::FromText(""), &Config::Cort_Com, c::Cort_COM},
      {"Cort_Sett", TV::FromText("9600,N,8,1"), &Config::Cort_Sett, nullptr},
      {"Cort_File", TV::FromText(""), &Config::Cort_File, c::Cort_File},
      {"Cort_Logo", TV::FromInt(0), &Config::Cort_Logo, c::Cort_Logo},
      {"OP_Attive", TV::FromInt(0), &Config::OP_Attive, c::chkOpPian},
      {"Postazione", TV::FromText(""), &Config::Postazione, c::Postazione},
  };
  return rows;
}

// Puts one loaded value into its field and control. A value that does not convert to the
// field's kind leaves the field as it was; a check box keeps its tick, a number box shows the
// field's number.
void Apply(const Regional& reg, Config& cfg, FormModel& form, const KeyRow& row,
           const TypedValue& v) {
  std::visit(
      [&](auto member) {
        using T = std::remove_reference_t<decltype(cfg.*member)>;
        if constexpr (std::is_same_v<T, bool>) {
          if (auto b = AsFlag(v)) {
            cfg.*member = *b;
            if (row.control) form.SetChecked(row.control, *b);
          }
        } else if constexpr (std::is_same_v<T, std::int16_t>) {
          // The box shows the number the field holds, also when the stored text did not
          // convert, so that the next save writes a number again.
          if (auto n = v.ToInt16(reg)) cfg.*member = *n;
          if (row.control) form.SetText(row.control, std::to_string(cfg.*member));
        } else if constexpr (std::is_same_v<T, std::string>) {
          cfg.*member = v.ToText(reg);
          if (row.control) form.SetText(row.control, cfg.*member);
        } else {
          cfg.*member = v;
          if (row.control) form.SetText(row.control, v.ToText(reg));
        }
      },
      row.field);
}

// Applies a serial control's port number from a setting; a value that is not a number leaves
// the port as it was.
void SetPortFrom(const Regional& reg, SerialControl& port, const TypedValue& v) {
  if (auto n = v.ToInt16(reg)) port.SetPort(*n);
}

void LoadDisplay(const IniStore& ini, Config& cfg, FormModel& form, SerialControl& port) {
  TypedValue active = ini.LeggiVarieDef("Display_Active", TV::FromInt(0));
  // A text that is neither a flag nor a number cannot switch the display on.
  cfg.Display_Active = active.IsTrue();
  form.SetChecked(c::DLY_Active, cfg.Display_Active);
  const std::string& file = cfg.IniValico;
  if (!cfg.Display_Active) {
    // Only the window shows a display that is off, so that a save made meanwhile writes its
    // model, port and settings back instead of blanks; the model and the port take nothing.
    const std::pair<const char*, const char*> shown[] = {{"Display_File", c::DLY_File},
                                                         {"Display_COM", c::DLY_com},
                                                         {"Display_Parametri", c::DLY_Param}};
    for (const auto& [key, control] : shown)
      form.SetText(control, ini.LeggiINI("Varie", key, form.Text(control), file));
    std::string type = ini.LeggiINI("Varie", "Display_Type", "0", file);
    if (type != "0") form.SetText(c::DLY_Type, type);
    return;
  }
  cfg.Display_File = ini.LeggiINI("Varie", "Display_File", "", file);
  cfg.Display_Type = ini.LeggiINI("Varie", "Display_Type", "", file);
  cfg.Display_COM = ini.LeggiINI("Varie", "Display_COM", "", file);
  cfg.Display_Parametri = ini.LeggiINI("Varie", "Display_Parametri", "", file);
  form.SetText(c::DLY_File, cfg.Display_File);
  if (cfg.Display_Type != "0") form.SetText(c::DLY_Type, cfg.Display_Type);
  form.SetText(c::DLY_com, cfg.Display_COM);
  form.SetText(c::DLY_Param, cfg.Display_Parametri);
  SetPortFrom(ini.regional(), port, ConvertStoredText(cfg.Display_COM, ini.regional()));
  port.SetSettings(cfg.Display_Parametri);
}

}  // namespace

void ImpostaCartellaBorea(IniStore& ini, Config& cfg, FormModel& form) {
  std::string folder =
      ini.LeggiVarieDef("Borea_Directory", TV::FromText("")).ToText(ini.regional());
  if (folder.empty()) {
    folder = "C:\\Caldera";
  } else if (folder.back() == '\\') {
    folder.pop_back();  // only one trailing backslash
  }
  form.SetText(c::BoreaDir, folder);
  cfg.DirBorea = folder;
  ini.ScriviINI("Varie", "Borea_Directory", cfg.DirBorea, cfg.IniValico);
  cfg.IniLocal = JoinPath(cfg.DirBorea, "_Local.ini");
  cfg.RunTimeBorea =
      ini.LeggiVarieDef("RT_Access", TV::FromText("C:\\Programmi\\Access 97 Runtime\\msaccess.exe"),
                        cfg.IniLocal)
          .ToText(ini.regional());
  ini.ScriviVarie("RunTimeBorea", TV::FromText(cfg.RunTimeBorea));
}

void CaricaSettaggi(const IniStore& ini, Config& cfg, FormModel& form, SerialControl& mscomm1,
                    SerialControl& com_preconto) {
  IniStore::OneReading once(ini);  // some forty keys, one reading
  cfg.SettaggiBorea = ReadSettaggiBorea(ini, cfg);
  form.SetChecked(c::chkBorea, cfg.SettaggiBorea);

  cfg.DirBorea = ini.LeggiINI("Varie", "Borea_Directory", "C:\\CALDERA", cfg.IniValico);
  form.SetText(c::BoreaDir, cfg.DirBorea);
  cfg.IniLocal = JoinPath(cfg.DirBorea, "_Local.ini");

  LoadDisplay(ini, cfg, form, mscomm1);

  for (const KeyRow& row : DeviceKeys()) {
    Apply(ini.regional(), cfg, form, row, ini.LeggiVarieDef(row.key, row.fallback));
    if (std::string_view(row.key) == "RF_File") {
      // The second receipt printer's keys go to their controls as stored; loading them
      // stores nothing.
      form.SetText(c::RF_FILE_2, ini.LeggiVarie("RF_FILE_2").ToText(ini.regional()));
      form.SetText(c::RF_PRINTER_2, ini.LeggiVarie("RF_PRINTER_2").ToText(ini.regional()));
      form.SetText(c::RF_COM_2, ini.LeggiVarie("RF_COM_2").ToText(ini.regional()));
    }
  }
  ParseChoices(cfg);

  if (cfg.cort_model == CortModel::kDpt282) {
    SetPortFrom(ini.regional(), com_preconto, cfg.Cort_Com);
    com_preconto.SetSettings(cfg.Cort_Sett);
  }
}

}  // namespace valico
