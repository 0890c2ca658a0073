// `valico doctor` on a till where every device check has something wrong.
#include <gtest/gtest.h>

#include "platform/program_folder_lock.h"
#include "platform/testing/temp_folder.h"
#include "printing/queue_file.h"
#include "printing/unprinted_documents.h"
#include "shell/testing/run_valico.h"

namespace valico {
namespace {

TEST(DoctorTest, ATillWithEveryDeviceWrongFailsEachCheckAndSaysWhy) {
  testing::ValicoHome home;
  home.Write("_Valico.ini",
             "[Varie]\r\nBorea_Setting=-1\r\nBorea_Directory=Q:\\Borea\r\n"
             "Display_Active=-1\r\nDisplay_COM=99\r\n"
             "MF_Active=-1\r\nMF_Prot=GLOBE DRIVER - 106\r\nMF_COM=abc\r\n"
             "MF_Driver=Q:\\drv\\driver.exe\r\n"
             "RF_Active=-1\r\nRF_Stampante=Nessuna Stampante\r\n"
             "Cort_Active=-1\r\nCort_Printer=SAMSUNG\r\nCort_Com=7\r\n"
             "OP_Attive=-1\r\nFTP_Indirizzo=nessuno.invalid:21\r\n");
  home.Write("_Valico.ini.4711.valico-tmp", "[Varie]\r\n");
  home.Write("Borea", "a file where a spool folder belongs");
  home.Write("CodaStampa/p/0000000001.job", "");
  UnprintedDocuments unprinted(home / "NonStampati", nullptr, nullptr);
  std::string kept, err;
  ASSERT_TRUE(unprinted.Keep(Document{"Nessuna Stampante", {}}, 1, "spenta", &kept, &err)) << err;
  ProgramFolderLock other_copy(home.path());

  testing::CommandResult r = home.Run({"doctor"});
  EXPECT_EQ(r.status, 1) << r.out;
  const struct {
    const char* subject;
    const char* found;
  } rows[] = {
      {"Cartella di spool Borea:", "non e' una cartella"},
      {"File temporanei di _Valico.ini:", "1 rimasti _Valico.ini.4711.valico-tmp"},
      {"_Local.ini di Borea", "_Local.ini"},
      {"Disco Q:", "Q: = "},
      {"(Display_COM) COM99:", "COM99"},
      {"(MF_COM):", "\"abc\" non"},
      {"(RF_Stampante):", "\"Nessuna Stampante\" non installata"},
      {"(SAMSUNG):", "nessuna stampante installata sulla porta COM7:"},
      {"(MF_Driver):", "no such file"},
      {"(FTP_Indirizzo):", "nessuno.invalid: "},
      {"pianificate: _Schedulatore.ini:", "_Schedulatore.ini"},
      {"Altro Valico su questa cartella:", "un Valico la serve"},
      {"(CodaStampa):", "1 in coda"},
      {"(NonStampati):", "1 documenti, il primo del "},
  };
  for (const auto& row : rows) {
    std::string line = testing::LineOf(r.out, row.subject);
    EXPECT_EQ(line.rfind("\u2717 ", 0), 0u) << row.subject << "\n" << r.out;
    EXPECT_NE(line.find(row.found), std::string::npos) << line;
    EXPECT_NE(line.find("; da fare: "), std::string::npos) << line;
  }
  EXPECT_NE(r.out.find("Esito: "), std::string::npos);
  EXPECT_NE(r.out.find("non superati"), std::string::npos);
  EXPECT_TRUE(home.Has("_Valico.ini.4711.valico-tmp")) << "the check changes nothing";
  EXPECT_FALSE(home.Has("Valico.log")) << "nor writes the log";
}

}  // namespace
}  // namespace valico
