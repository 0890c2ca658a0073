#include "config_ui/form_model.h"

#include <gtest/gtest.h>

#include <vector>

namespace valico {
namespace {

namespace c = controls;

// A value a list lacks stays the list's current entry, after its items, until another is
// chosen; it can be chosen again. Printers the machine lacks are marked so.
TEST(FormModelTest, ListsKeepAValueTheyLackAsTheirLastEntry) {
  struct Case {
    const char* control;
    const char* value;
    std::vector<std::string> entries;
    int current;
  };
  for (const Case& k : {
           Case{c::MF_Protocol, "Nessuno", {"CASIO/DITRON - 24", "Nessuno"}, 1},
           Case{c::MF_Protocol, "FPMate - 29", {"CASIO/DITRON - 24", "Nessuno", "FPMate - 29"}, 2},
           Case{c::MF_Protocol, "", {"CASIO/DITRON - 24", "Nessuno"}, -1},
           Case{c::RF_Printer,
                "EPSON",
                {"CASIO/DITRON - 24", "Nessuno", "EPSON (non installata)"},
                2},
           Case{c::DLY_com, "17", {"CASIO/DITRON - 24", "Nessuno"}, -1},  // a combo takes any text
       }) {
    SCOPED_TRACE(k.value);
    FormModel f;
    for (const char* item : {"CASIO/DITRON - 24", "Nessuno"}) f.AddItem(k.control, item);
    f.SetText(k.control, k.value);
    EXPECT_EQ(f.Text(k.control), k.value) << "the save writes it back";
    EXPECT_EQ(f.Entries(k.control), k.entries);
    EXPECT_EQ(f.CurrentEntry(k.control), k.current);
    ASSERT_TRUE(f.Choose(k.control, 0));
    EXPECT_EQ(f.Text(k.control), "CASIO/DITRON - 24");
    EXPECT_EQ(f.Choose(k.control, 2), k.entries.size() == 3);
    EXPECT_EQ(f.Text(k.control), k.entries.size() == 3 ? k.value : "CASIO/DITRON - 24");
  }
}

TEST(FormModelTest, ANameTheWindowLacksIsNoError) {
  FormModel f;
  EXPECT_FALSE(f.SetText("NoSuchControl", "x"));
  EXPECT_FALSE(f.SetChecked("NoSuchControl", true));
  EXPECT_EQ(f.Text("NoSuchControl"), "");
  EXPECT_FALSE(f.Has("NoSuchControl"));
}

}  // namespace
}  // namespace valico
