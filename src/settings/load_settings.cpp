#include "settings/load_settings.h"

#include <variant>

#include "core/context.h"

namespace valico {
namespace {

using TV = TypedValue;

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
      {"MF_Active", TV::FromInt(0), &Config::MF_Active, "MF_Active"},
      {"MF_File", TV::FromText(""), &Config::MF_File, "MF_File"},
      {"MF_File_Output", TV::FromText(""), &Config::MF_File_Output, "MF_FileOutput"},
      {"MF_type", TV::FromText(""), &Config::MF_Type, "MF_Type"},
      {"MF_Prot", TV::FromText(""), &Config::MF_Prot, "MF_Protocol"},
      {"MF_COM", TV::FromText("1"), &Config::MF_COM, "MF_Com"},
      {"MF_Parametri", TV::FromText("9600,N,8,1"), &Config::MF_Parametri, "MF_Param"},
      {"MF_Buffer", TV::FromInt(0), &Config::MF_Buffer, "MF_Buffer"},
      {"MF_Ritardo", TV::FromInt(50), &Config::MF_Ritardo, "MF_Delay"},
      {"MF_ChkLog", TV::FromInt(0), &Config::MF_ChkLog, "MF_chkLog"},
      {"MF_Driver", TV::FromText(""), &Config::MF_Driver, "MF_Driver"},
      {"RF_Active", TV::FromInt(0), &Config::RF_Active, "RF_Active"},
      {"RF_Stampante", TV::FromText(""), &Config::RF_Stampante, "RF_Printer"},
      {"RF_Seriale", TV::FromText(""), &Config::RF_Seriale, "RF_COM"},
      {"RF_File", TV::FromText(""), &Config::RF_File, "RF_File"},
      // No default: a blank value leaves the field as it was.
      {"RF_Righe", TV::Null(), &Config::RF_Righe, "RF_Righe"},
      {"Cort_Active", TV::FromInt(0), &Config::Cort_Active, "Cort_Active"},
      {"Cort_Printer", TV::FromText("NON PRESENTE"), &Config::Cort_Printer, "Cort_Printer"},
      {"Cort_Com", TV::FromText(""), &Config::Cort_Com, "Cort_COM"},
      {"Cort_Sett", TV::FromText("9600,N,8,1"), &Config::Cort_Sett, nullptr},
      {"Cort_File", TV::FromText(""), &Config::Cort_File, "Cort_File"},
      {"Cort_Logo", TV::FromInt(0), &Config::Cort_Logo, "Cort_Logo"},
      {"OP_Attive", TV::FromInt(0), &Config::OP_Attive, "chkOpPian"},
      {"Postazione", TV::FromText(""), &Config::Postazione, "Postazione"},
  };
  return rows;
}

// Puts one loaded value into its field and control. A value that does not convert to the
// field's kind is skipped: the field and the control keep what they had.
void Apply(Context& ctx, const KeyRow& row, const TypedValue& v) {
  const Regional& reg = ctx.svc.regional;
  Config& cfg = ctx.cfg;
  FormModel& form = ctx.form;
  std::visit(
      [&](auto member) {
        using T = std::remove_reference_t<decltype(cfg.*member)>;
        if constexpr (std::is_same_v<T, bool>) {
          if (auto b = AsFlag(v)) {
            cfg.*member = *b;
            if (row.control) form.SetChecked(row.control, *b);
          }
        } else if constexpr (std::is_same_v<T, std::int16_t>) {
          if (auto n = v.ToInt16(reg)) {
            cfg.*member = *n;
            if (row.control) form.SetText(row.control, std::to_string(*n));
          }
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
void SetPortFrom(Context& ctx, SerialControl& port, const TypedValue& v) {
  if (auto n = v.ToInt16(ctx.svc.regional)) port.SetPort(*n);
}

void LoadDisplay(Context& ctx) {
  Config& cfg = ctx.cfg;
  TypedValue active = ctx.ini.LeggiVarieDef("Display_Active", TV::FromInt(0));
  // A text that is neither a flag nor a number cannot switch the display on.
  cfg.Display_Active = active.IsTrue();
  ctx.form.SetChecked("DLY_Active", cfg.Display_Active);
  if (!cfg.Display_Active) return;
  const std::string& ini = cfg.IniValico;
  cfg.Display_File = ctx.ini.LeggiINI("Varie", "Display_File", "", ini);
  cfg.Display_Type = ctx.ini.LeggiINI("Varie", "Display_Type", "", ini);
  cfg.Display_COM = ctx.ini.LeggiINI("Varie", "Display_COM", "", ini);
  cfg.Display_Parametri = ctx.ini.LeggiINI("Varie", "Display_Parametri", "", ini);
  ctx.form.SetText("DLY_File", cfg.Display_File);
  if (cfg.Display_Type != "0") ctx.form.SetText("DLY_Type", cfg.Display_Type);
  ctx.form.SetText("DLY_com", cfg.Display_COM);
  ctx.form.SetText("DLY_Param", cfg.Display_Parametri);
  SetPortFrom(ctx, ctx.mscomm1, ConvertStoredText(cfg.Display_COM, ctx.svc.regional));
  ctx.mscomm1.SetSettings(cfg.Display_Parametri);
}

}  // namespace

std::optional<bool> AsFlag(const TypedValue& v) {
  if (v.is_flag() || v.is_number()) return v.IsTrue();
  return std::nullopt;
}

bool ReadSettaggiBorea(const Context& ctx) {
  std::string s = ctx.ini.LeggiINI("Varie", "Borea_Setting", "-1", ctx.cfg.IniValico);
  return AsFlag(ConvertStoredText(s, ctx.svc.regional)).value_or(ctx.cfg.SettaggiBorea);
}

void ImpostaCartellaBorea(Context& ctx) {
  Config& cfg = ctx.cfg;
  std::string folder = ctx.ini.LeggiVarieDef("Borea_Directory", TV::FromText(""))
                           .ToText(ctx.svc.regional);
  if (folder.empty()) {
    folder = "C:\\Caldera";
  } else if (folder.back() == '\\') {
    folder.pop_back();  // only one trailing backslash
  }
  ctx.form.SetText("BoreaDir", folder);
  cfg.DirBorea = folder;
  ctx.ini.ScriviINI("Varie", "Borea_Directory", cfg.DirBorea, cfg.IniValico);
  cfg.IniLocal = JoinPath(cfg.DirBorea, "_Local.ini");
  cfg.RunTimeBorea =
      ctx.ini
          .LeggiVarieDef("RT_Access",
                         TV::FromText("C:\\Programmi\\Access 97 Runtime\\msaccess.exe"),
                         cfg.IniLocal)
          .ToText(ctx.svc.regional);
  ctx.ini.ScriviVarie("RunTimeBorea", TV::FromText(cfg.RunTimeBorea));
}

void CaricaSettaggi(Context& ctx) {
  Config& cfg = ctx.cfg;
  cfg.SettaggiBorea = ReadSettaggiBorea(ctx);
  ctx.form.SetChecked("chkBorea", cfg.SettaggiBorea);

  ctx.form.SetText("BoreaDir",
                   ctx.ini.LeggiINI("Varie", "Borea_Directory", "C:\\CALDERA", cfg.IniValico));
  cfg.DirBorea = ctx.form.Text("BoreaDir");
  cfg.DirProgramma = ctx.program_folder();
  cfg.IniLocal = JoinPath(cfg.DirBorea, "_Local.ini");

  LoadDisplay(ctx);

  for (const KeyRow& row : DeviceKeys()) {
    Apply(ctx, row, ctx.ini.LeggiVarieDef(row.key, row.fallback));
    if (std::string_view(row.key) == "RF_File") {
      // The second receipt printer's keys go to their controls as stored; loading them
      // stores nothing.
      for (const char* key : {"RF_FILE_2", "RF_PRINTER_2", "RF_COM_2"})
        ctx.form.SetText(key, ctx.ini.LeggiVarie(key).ToText(ctx.svc.regional));
    }
  }

  if (cfg.Cort_Printer == "DPT-282") {
    SetPortFrom(ctx, ctx.com_preconto, cfg.Cort_Com);
    ctx.com_preconto.SetSettings(cfg.Cort_Sett);
  }
}

}  // namespace valico
