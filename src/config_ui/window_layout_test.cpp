#include "config_ui/window_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "config_ui/form_model.h"
#include "config_ui/save_settings.h"
#include "platform/testing/test_platform.h"

namespace valico {
namespace {

namespace c = controls;

TEST(WindowLayoutTest, TipsShowTheValueAndNameTheKeyAndItsFile) {
  struct Case {
    const char* control;
    const char* value;
    const char* tip;
  };
  for (const Case& k : {
           Case{c::MF_File, "C:\\CALDERA\\Casio\\CAS.txt",
                "C:\\CALDERA\\Casio\\CAS.txt\nMF_File in _Valico.ini"},
           Case{c::DLY_Active, "", "Display_Active in _Valico.ini"},
           Case{c::RF_COM, "3",
                "3\nse COM indicare solo numero, altrimenti per esteso (es Ne01)\n"
                "RF_Seriale in _Valico.ini"},
           Case{c::MF_Driver, "",
                "MF_Driver in _Valico.ini: sola lettura, la finestra non lo salva"},
           Case{c::RF_FILE_2, "R2.txt",
                "R2.txt\nRF_FILE_2 in _Valico.ini, salvato a ogni modifica del secondo File"},
           Case{c::FTP_Parola, "segreta", "Non salvato: vale solo in questa finestra"},
       }) {
    SCOPED_TRACE(k.control);
    const LayoutField* field = FieldOf(k.control);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(FieldTip(*field, k.value), k.tip);
  }
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char ch) { return std::tolower(ch); });
  return s;
}

// The tooltips name the keys the save really writes: those of the fields it stores, no other.
TEST(WindowLayoutTest, TheSaveWritesTheKeysOfTheFieldsItStores) {
  testing::TestPlatform p;
  IniStore ini(p.files, p.regional, p.log);
  ini.SetValicoIni(p.InFolder("_Valico.ini"));
  SalvaConfigurazione(ini, FormModel());
  std::set<std::string> written, stored;
  std::string file = p.folder.Read("_Valico.ini");
  for (size_t at = 0; (at = file.find("\r\n", at)) != std::string::npos;) {
    at += 2;
    size_t eq = file.find('=', at);
    if (eq != std::string::npos) written.insert(Lower(file.substr(at, eq - at)));
  }
  for (const LayoutGroup& group : WindowGroups()) {
    for (const LayoutField& field : group.fields) {
      if (field.stored == Stored::kBySave) stored.insert(Lower(field.key));
    }
  }
  EXPECT_EQ(written, stored);
}

TEST(WindowLayoutTest, EveryControlAndCommandOnce) {
  std::map<std::string, int> shown;
  for (const LayoutGroup& g : WindowGroups()) {
    for (const LayoutField& field : g.fields) ++shown[field.control];
  }
  for (const auto& [name, count] : shown) EXPECT_EQ(count, 1) << name;
  std::map<WindowCommand, int> commands;
  for (const LayoutButton& b : WindowButtons()) ++commands[b.command.command];
  for (const LayoutMenu& m : WindowMenus()) {
    if (m.items.empty()) ++commands[m.command.command];
    for (const LayoutCommand& item : m.items) ++commands[item.command];
  }
  EXPECT_EQ(commands.size(), static_cast<size_t>(kWindowCommands));
  for (const auto& [command, count] : commands) EXPECT_EQ(count, 1);
}

}  // namespace
}  // namespace valico
