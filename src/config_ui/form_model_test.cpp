#include "config_ui/form_model.h"

#include <gtest/gtest.h>

namespace valico {
namespace {

TEST(FormModelTest, DropDownsShowOnlyTheirItemsCombosAnyText) {
  FormModel f;
  f.AddItem("MF_Protocol", "CASIO/DITRON - 24");
  f.AddItem("MF_Protocol", "Nessuno");
  f.SetText("MF_Protocol", "Nessuno");
  EXPECT_EQ(f.Text("MF_Protocol"), "Nessuno");
  EXPECT_EQ(f.Get("MF_Protocol").selected, 1);
  f.SetText("MF_Protocol", "FPMate - 29");
  EXPECT_EQ(f.Text("MF_Protocol"), "");
  EXPECT_EQ(f.Get("MF_Protocol").selected, -1);

  f.AddItem("DLY_com", "1");
  f.SetText("DLY_com", "17");
  EXPECT_EQ(f.Text("DLY_com"), "17");
  EXPECT_EQ(f.Get("DLY_com").selected, -1);
  EXPECT_EQ(f.Text("DLY_File"), "C:\\Valico\\Display.txt");
  EXPECT_THROW(f.SetText("NoSuchControl", "x"), std::out_of_range);
}

}  // namespace
}  // namespace valico
