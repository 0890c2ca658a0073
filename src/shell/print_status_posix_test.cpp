// `valico status` and `valico reprint` on a program folder as a till leaves it while printer A
// is unreachable. Printers are those of _Stampanti.ini (the Windows ones are the spooler's).
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/program_folder_lock.h"
#include "platform/testing/temp_folder.h"
#include "printing/queue_file.h"
#include "printing/unprinted_documents.h"
#include "shell/status_file.h"
#include "shell/testing/run_valico.h"

namespace valico {
namespace {

using testing::CommandResult;

Document Page(const std::string& printer, const std::string& text) {
  PrinterOp line;
  line.text = text;
  return Document{printer, {line}};
}

void QueueJob(const testing::TempFolder& home, const std::string& where, const std::string& printer,
              std::int64_t queued_ms) {
  home.Write("CodaStampa/" + where,
             EncodeQueueFile(QueueFile{printer, queued_ms, std::nullopt, {Page(printer, where)}}));
}

// Jobs in the spool folders, two printers' queues, three documents set aside, and the status
// file the serving program left.
void MakeTill(const testing::TempFolder& home) {
  home.Write("_Valico.ini", "[Varie]\r\nBorea_Setting=0\r\nMF_Active=-1\r\nCort_Active=-1\r\n");
  home.Write("_Stampanti.ini", "[Stampante A]\nPorta=COM3:\n[Stampante B]\nPorta=COM4:\n");
  home.Write("Borea/s1.txt", "scontrino");
  home.Write("CortBorea/p1.txt", "preconto");
  home.Write("CortBorea/p2.txt", "preconto");
  QueueJob(home, "a/0000000007.job", "Stampante A", 1796600000000);
  QueueJob(home, "a/0000000008.job", "Stampante A", 1796600060000);
  QueueJob(home, "b/0000000001.job", "Stampante B", 1796600120000);
  UnprintedDocuments unprinted(home / "NonStampati", nullptr, nullptr);
  std::string kept, err;
  for (auto [printer, reason] : {std::pair{"Stampante A", "connection refused"},
                                 {"Stampante B", "carta esaurita"},
                                 {"Stampante A", "timeout"}})
    ASSERT_TRUE(unprinted.Keep(Page(printer, reason), 1796500000000, reason, &kept, &err)) << err;
  ServiceStatus s;
  s.started_ms = 1796590000000;
  s.written_ms = 1796600130000;
  s.devices[static_cast<int>(StatusDevice::kPrebill)] = {"p0.txt passato a SAMSUNG", 1796600100000};
  PrinterQueueState a;
  a.printer = "Stampante A";
  a.last_error = "connection refused";
  a.next_attempt_ms = 1796600140000;
  s.printers = {a};
  home.Write(kStatusFileName, EncodeStatusFile(s));
}

bool Holds(const std::string& text, const std::string& line) {
  return text.find(line) != std::string::npos;
}

TEST(PrintStatusPosixTest, StatusTellsWhatWaitsAndReprintQueuesDocumentsAgain) {
  testing::ValicoHome home;
  MakeTill(home);
  CommandResult r = home.Run({"status"});
  EXPECT_EQ(r.status, 0) << r.err;
  for (const char* line :
       {"Servizio: NON attivo", "MISURATORE FISCALE: in uso\n  In attesa: Borea 1, IN 0\n",
        "STAMPANTE di PRECONTO: in uso\n  In attesa: CortBorea 2, CortIN 0\n"
        "  Ultimo: p0.txt passato a SAMSUNG, ",
        "  \"Stampante A\": 2 in coda, il primo del ",
        "    Ultimo errore: connection refused\n"
        "    Prossimo tentativo: al prossimo avvio di Valico\n",
        "  \"Stampante B\": 1 in coda, il primo del ",
        "NON STAMPATI (NonStampati): 3, il primo del ",
        "  1: \"Stampante A\", connection refused\n  2: \"Stampante B\", carta esaurita\n"
        "  3: \"Stampante A\", timeout\n"})
    EXPECT_TRUE(Holds(r.out, line)) << line << "\nnot in:\n" << r.out;
  {
    ProgramFolderLock serving(home.path());
    r = home.Run({"status"});
    EXPECT_TRUE(Holds(r.out, "Servizio: attivo")) << r.out;
    EXPECT_TRUE(Holds(r.out, "    Prossimo tentativo: ")) << r.out;
  }
  EXPECT_EQ(home.Read("CortBorea/p1.txt"), "preconto") << "the spools are left alone";

  // Document 2 goes into the inbox of the print queue, and out of NonStampati.
  r = home.Run({"reprint", "2"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Holds(r.out, "Documento 2: di nuovo in coda per \"Stampante B\"\n")) << r.out;
  EXPECT_TRUE(Holds(r.out, "saranno stampati al suo prossimo avvio")) << r.out;
  std::vector<std::string> inbox;
  for (const auto& e : std::filesystem::directory_iterator(home / "CodaStampa"))
    if (e.is_regular_file()) inbox.push_back(e.path().filename().string());
  ASSERT_EQ(inbox.size(), 1u);
  QueueFile job;
  std::string err;
  ASSERT_TRUE(DecodeQueueFile(home.Read("CodaStampa/" + inbox[0]), &job, &err)) << err;
  EXPECT_EQ(job.printer, "Stampante B");
  EXPECT_EQ(job.documents.at(0).ops.at(0).text, "carta esaurita");
  EXPECT_FALSE(home.Has("NonStampati/0002-Stampante_B.job"));
  EXPECT_TRUE(home.Has("NonStampati/0001-Stampante_A.job"));

  r = home.Run({"reprint", "99"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Holds(r.err, "Documento 99: non si trova in NonStampati")) << r.err;
  r = home.Run({"reprint", "1", "--printer", "Nessuna"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Holds(r.err, "\"Nessuna\" non risulta installata")) << r.err;
  EXPECT_TRUE(home.Has("NonStampati/0001-Stampante_A.job")) << "kept when not queued";
  r = home.Run({"reprint"});
  EXPECT_EQ(r.status, 1) << "nothing chosen";
  EXPECT_TRUE(Holds(r.out, "NON STAMPATI (NonStampati): 2")) << r.out;
}

}  // namespace
}  // namespace valico
