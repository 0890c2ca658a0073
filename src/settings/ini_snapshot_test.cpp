#include "settings/ini_snapshot.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/testing/test_platform.h"

namespace valico {
namespace {

namespace fs = std::filesystem;

class IniSnapshotTest : public ::testing::Test {
 protected:
  IniSnapshotTest() { store.SetValicoIni(file); }
  // Puts the file's time stamps an hour back, as a file nobody touched lately.
  void Age() const {
    fs::path p = t.Native(file);
    fs::last_write_time(p, fs::last_write_time(p) - std::chrono::hours(1));
  }

  testing::TestPlatform t;
  IniStore store{t.files, t.regional, t.log};
  std::string file = t.InFolder("_Valico.ini");
  IniSnapshot snapshot{store, t.files, file};
};

TEST_F(IniSnapshotTest, AnswersAsTheStoreAndReadsOnlyWhatChanged) {
  snapshot.Refresh();
  EXPECT_EQ(snapshot.LeggiINI("Varie", "MF_Vuoto", "def  "), "def") << "no file yet";
  t.WriteValico("MF_Vuoto=0\r\nFTP_Azione=1\r\n");
  Age();
  snapshot.Refresh();
  for (const char* key : {"MF_Vuoto", "FTP_Azione", "Cort_Vuoto"})
    EXPECT_EQ(snapshot.LeggiINI("VARIE", key, "x"), store.LeggiINI("VARIE", key, "x", file)) << key;
  EXPECT_EQ(snapshot.LeggiVarieDef("Cort_Vuoto", TypedValue::FromFlag(true)),
            TypedValue::FromFlag(true));
  long reads = snapshot.reads();
  for (int i = 0; i < 5; ++i) snapshot.Refresh();
  EXPECT_EQ(snapshot.reads(), reads) << "an unchanged file is not read again";

  // Another program's change of the same size, within the same instant: a file this fresh is
  // read again at every refresh, since its stamps could not show the next change.
  t.WriteValico("MF_Vuoto=0\r\nFTP_Azione=2\r\n");
  snapshot.Refresh();
  EXPECT_EQ(snapshot.LeggiINI("Varie", "FTP_Azione", ""), "2");
  t.WriteValico("MF_Vuoto=0\r\nFTP_Azione=3\r\n");
  snapshot.Refresh();
  EXPECT_EQ(snapshot.LeggiINI("Varie", "FTP_Azione", ""), "3");
}

TEST_F(IniSnapshotTest, AWriteOfTheValueAlreadyHeldWritesNothing) {
  t.WriteValico("MF_Vuoto=-1\r\nCort_Vuoto=0\r\n");
  Age();
  snapshot.Refresh();
  auto stamp = fs::last_write_time(t.Native(file));
  snapshot.ScriviVarie("MF_Vuoto", TypedValue::FromFlag(true), file);
  EXPECT_EQ(fs::last_write_time(t.Native(file)), stamp);
  snapshot.ScriviVarie("Cort_Vuoto", TypedValue::FromFlag(true), file);
  EXPECT_EQ(store.LeggiINI("Varie", "Cort_Vuoto", "", file), "-1");
  snapshot.Refresh();
  EXPECT_EQ(snapshot.LeggiINI("Varie", "Cort_Vuoto", ""), "-1") << "its own write is seen";
}

}  // namespace
}  // namespace valico
