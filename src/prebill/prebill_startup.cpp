#include "prebill/prebill_startup.h"

namespace valico {
namespace {

using TV = TypedValue;

// The printer code of BANCO_DS_STAMPANTE as a 16-bit integer, or the reason it is not one.
bool PrinterCode(const TypedValue& v, const Regional& regional, std::int16_t* code,
                 std::string* err) {
  if (auto n = v.ToInt16(regional)) {
    *code = *n;
    return true;
  }
  std::string text = v.ToText(regional);
  bool is_number = v.is_number() || ParseTenThousandths(text, regional).has_value();
  *err = std::string(is_number ? "Overflow" : "Tipo non corrispondente") +
         ": BANCO_DS_STAMPANTE = \"" + text + "\"";
  return false;
}

}  // namespace

void Cort_StartUP_Valori(FormModel& form) {
  for (std::string_view model : kCortPrinterModels)
    form.AddItem(controls::Cort_Printer, std::string(model));
}

void Cort_StartUP_Borea(IniStore& ini, const Config& cfg, Dialogs& dialogs) {
  const Regional& reg = ini.regional();
  const std::string& local = cfg.IniLocal;

  TypedValue stampante = ini.LeggiVarie("BANCO_DS_STAMPANTE", local);
  if (IsVuoto(stampante, reg)) return;
  std::int16_t code = 0;
  std::string err;
  if (!PrinterCode(stampante, reg, &code, &err)) {
    dialogs.Message("Stampante Cortesia Borea - Errore\r\n" + err);
    return;
  }

  // The port, read with the default "", is only taken over when Borea names one.
  TypedValue port = ini.LeggiVarieDef("BANCO_DS_STAMPANTE_C", TV::FromText(""), local);
  const bool has_port = port.ToText(reg) != "";
  // A setting of _Valico.ini kept as it is, or given its default when blank.
  auto keep_or = [&](const char* key, const TypedValue& fallback) {
    ini.ScriviVarie(key, ini.LeggiVarieDef(key, fallback));
  };

  switch (code) {
    case 28:
      ini.ScriviVarie("CORT_Printer", TV::FromText(kCortOlivetti));
      ini.ScriviVarie("CORT_File", TV::FromText(""));
      if (has_port) ini.ScriviVarie("CORT_COM", port);
      ini.ScriviVarie("CORT_Logo", TV::FromInt(0));
      break;
    case 66:
      ini.ScriviVarie("CORT_Printer", TV::FromText(kCortSamsung));
      keep_or("CORT_File", TV::FromText("c:\\Caldera\\LogoCassa.bmp"));
      if (has_port) ini.ScriviVarie("CORT_COM", port);
      keep_or("CORT_Logo", TV::FromInt(0));
      break;
    case 108:
    case 111:
      ini.ScriviVarie("CORT_COM", ini.LeggiVarie("BANCO_DS_STAMPANTE_C", local));
      if (has_port) {
        ini.ScriviVarie("CORT_Sett", ini.LeggiVarieDef("BANCO_DS_STAMPANTE_P",
                                                       TV::FromText("9600,N,8,1"), local));
        keep_or("CORT_Logo", TV::FromInt(0));
      }
      break;
    default:
      ini.ScriviVarie("CORT_Printer", TV::FromText(kCortNonPresente));
      ini.ScriviVarie("CORT_File", TV::FromText(""));
      ini.ScriviVarie("CORT_Com", TV::FromText(""));
      ini.ScriviVarie("CORT_Logo", TV::FromInt(0));
      break;
  }
}

}  // namespace valico
