#include "config_ui/save_settings.h"

#include <iterator>

namespace valico {
namespace {

namespace c = controls;

// How a key's value is taken from the window.
enum class From {
  kText,   // the control's text, exactly as shown
  kValue,  // a check box's state, "0" or "1"
  kFlag,   // "-1" when the check box is ticked and the window names a device, else "0"
};

// When a device counts as named for its in-use flag.
enum class Named {
  kNotNonPresente,      // the choice is not "NON PRESENTE"
  kNotZeroNonPresente,  // the choice is not "0 - NON PRESENTE"
  kNotBlank,            // the text is not blank (IsVuoto)
};

struct SaveRow {
  const char* key;
  From from;
  const char* control;
  const char* device = nullptr;  // kFlag: the control that names the device
  Named named = Named::kNotBlank;
};

// The keys of the save in the order they are written. The first two go through ScriviINI on
// section "Varie", the rest through ScriviVarie; the pre-bill keys keep their upper-case
// spelling, which names the same keys as the load's.
constexpr SaveRow kSaveRows[] = {
    {"Borea_Directory", From::kText, c::BoreaDir},
    {"Borea_Setting", From::kValue, c::chkBorea},
    {"Display_Active", From::kFlag, c::DLY_Active, c::DLY_Type, Named::kNotNonPresente},
    {"Display_File", From::kText, c::DLY_File},
    {"Display_Type", From::kText, c::DLY_Type},
    {"Display_COM", From::kText, c::DLY_com},
    {"Display_Parametri", From::kText, c::DLY_Param},
    {"MF_Active", From::kFlag, c::MF_Active, c::MF_Type, Named::kNotZeroNonPresente},
    {"MF_File", From::kText, c::MF_File},
    {"MF_File_Output", From::kText, c::MF_FileOutput},
    {"MF_Type", From::kText, c::MF_Type},
    {"MF_Prot", From::kText, c::MF_Protocol},
    {"MF_COM", From::kText, c::MF_Com},
    {"MF_Parametri", From::kText, c::MF_Param},
    {"MF_Buffer", From::kValue, c::MF_Buffer},
    {"MF_Ritardo", From::kText, c::MF_Delay},
    {"RF_Active", From::kFlag, c::RF_Active, c::RF_File, Named::kNotBlank},
    {"RF_Stampante", From::kText, c::RF_Printer},
    {"RF_Seriale", From::kText, c::RF_COM},
    {"RF_File", From::kText, c::RF_File},
    {"RF_Righe", From::kText, c::RF_Righe},
    {"CORT_Active", From::kFlag, c::Cort_Active, c::Cort_Printer, Named::kNotNonPresente},
    {"CORT_Printer", From::kText, c::Cort_Printer},
    {"CORT_File", From::kText, c::Cort_File},
    {"CORT_COM", From::kText, c::Cort_COM},
    {"CORT_Logo", From::kValue, c::Cort_Logo},
};
constexpr int kWrittenWithScriviINI = 2;

bool DeviceNamed(const FormModel& form, const SaveRow& row) {
  const std::string& text = form.Text(row.device);
  switch (row.named) {
    case Named::kNotNonPresente:
      return text != "NON PRESENTE";
    case Named::kNotZeroNonPresente:
      return text != "0 - NON PRESENTE";
    case Named::kNotBlank:
      return !IsVuoto(text);
  }
  return true;
}

TypedValue ValueOf(const FormModel& form, const SaveRow& row) {
  switch (row.from) {
    case From::kText:
      return TypedValue::FromText(form.Text(row.control));
    case From::kValue:
      return TypedValue::FromText(form.Checked(row.control) ? "1" : "0");
    case From::kFlag:
      return TypedValue::FromFlag(form.Checked(row.control) && DeviceNamed(form, row));
  }
  return TypedValue::Null();
}

}  // namespace

void SalvaConfigurazione(IniStore& ini, const FormModel& form) {
  for (int i = 0; i < static_cast<int>(std::size(kSaveRows)); ++i) {
    const SaveRow& row = kSaveRows[i];
    TypedValue value = ValueOf(form, row);
    if (i < kWrittenWithScriviINI) {
      ini.ScriviINI("Varie", row.key, value.ToText(ini.regional()), ini.valico_ini());
    } else {
      ini.ScriviVarie(row.key, value);
    }
  }
}

void RF_FILE_2_Change(IniStore& ini, const FormModel& form) {
  ini.ScriviVarie("RF_FILE_2", TypedValue::FromText(form.Text(c::RF_FILE_2)));
  ini.ScriviVarie("RF_PRINTER_2", TypedValue::FromText(form.Text(c::RF_PRINTER_2)));
  ini.ScriviVarie("RF_COM_2", TypedValue::FromText(form.Text(c::RF_COM_2)));
}

}  // namespace valico
