#include "config_ui/form_model.h"

#include <gtest/gtest.h>

#include <map>

#include "config_ui/window_layout.h"

namespace valico {
namespace {

namespace c = controls;

TEST(FormModelTest, DropDownsShowOnlyTheirItemsCombosAnyText) {
  FormModel f;
  f.AddItem(c::MF_Protocol, "CASIO/DITRON - 24");
  f.AddItem(c::MF_Protocol, "Nessuno");
  f.SetText(c::MF_Protocol, "Nessuno");
  EXPECT_EQ(f.Text(c::MF_Protocol), "Nessuno");
  EXPECT_EQ(f.Get(c::MF_Protocol).selected, 1);
  f.SetText(c::MF_Protocol, "FPMate - 29");
  EXPECT_EQ(f.Text(c::MF_Protocol), "");
  EXPECT_EQ(f.Get(c::MF_Protocol).selected, -1);

  f.AddItem(c::DLY_com, "1");
  f.SetText(c::DLY_com, "17");
  EXPECT_EQ(f.Text(c::DLY_com), "17");
  EXPECT_EQ(f.Get(c::DLY_com).selected, -1);
  EXPECT_EQ(f.Text(c::DLY_File), "C:\\Valico\\Display.txt");

  // A window without the control: nothing happens, nothing is thrown.
  EXPECT_FALSE(f.SetText("NoSuchControl", "x"));
  EXPECT_FALSE(f.SetChecked("NoSuchControl", true));
  EXPECT_EQ(f.Text("NoSuchControl"), "");
  EXPECT_FALSE(f.Has("NoSuchControl"));
}

// The window the GUIs draw from the layout shows every control of the form model once.
TEST(FormModelTest, TheLayoutShowsEveryControlOnce) {
  FormModel f;
  std::map<std::string, int> shown;
  for (const LayoutGroup& g : WindowGroups()) {
    for (const LayoutField& field : g.fields) {
      ++shown[field.control];
      if (field.second) ++shown[field.second];
    }
  }
  for (const auto& [name, count] : shown) {
    EXPECT_TRUE(f.Has(name)) << name;
    EXPECT_EQ(count, 1) << name;
  }
  EXPECT_EQ(shown.size(), f.size());
}

}  // namespace
}  // namespace valico
