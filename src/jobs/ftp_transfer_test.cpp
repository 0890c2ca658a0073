#include "jobs/ftp_transfer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "jobs/testing/transfer_context.h"
#include "platform/testing/ftp_test_server.h"

namespace valico {
namespace {

using testing::TestContext;

std::string Key(TestContext& t, const char* key) {
  return t.ctx.ini.LeggiINI("Varie", key, "<none>", t.ctx.cfg.IniValico);
}

TEST(FtpImportTest, ImportsCopyBoreaAccountsUnlessSwitchedOff) {
  struct Case {
    const char* name;
    const char* valico;
    const char* local;
    std::vector<std::pair<const char*, const char*>> expect;
  };
  // clang-format off
  const Case cases[] = {
      {"all set", "",
       "Si_FTP_ptp=ftp.negozio.it\r\nSi_NomeUT_ptp=cassa\r\nSi_Psw_ptp=pw1\r\n"
       "GG_CONNESSIONE=Ufficio\r\nGG_ACCOUNT=mario\r\nGG_PSW=pw2\r\n",
       {{"FTP_Indirizzo", "ftp.negozio.it"}, {"FTP_User", "cassa"}, {"FTP_Pw", "pw1"},
        {"WEB_Connection", "Ufficio"}, {"WEB_User", "mario"}, {"WEB_Pw", "pw2"},
        {"WEB_chkDial", "-1"}}},
      {"password missing: no dial, empty values written", "FTP_Indirizzo=old\r\n",
       "GG_CONNESSIONE=Ufficio\r\nGG_ACCOUNT=mario\r\n",
       {{"FTP_Indirizzo", ""}, {"WEB_User", "mario"}, {"WEB_Pw", ""}, {"WEB_chkDial", "0"}}},
      {"Borea_Setting false: nothing written", "Borea_Setting=0\r\nFTP_Indirizzo=old\r\n",
       "Si_FTP_ptp=new\r\nGG_CONNESSIONE=U\r\nGG_ACCOUNT=m\r\nGG_PSW=p\r\n",
       {{"FTP_Indirizzo", "old"}, {"FTP_User", "<none>"}, {"WEB_chkDial", "<none>"}}},
  };
  // clang-format on
  for (const Case& c : cases) {
    TestContext t;
    t.ctx.cfg.IniLocal = "C:\\CALDERA\\_Local.ini";
    t.WriteValico(c.valico);
    t.folder.Write("drive_c/CALDERA/_Local.ini", std::string("[Varie]\r\n") + c.local);
    FTP_StartUP_Borea(t.ctx.ini, t.ctx.cfg);
    WEB_StartUP_Borea(t.ctx.ini, t.ctx.cfg);
    for (const auto& [key, value] : c.expect) EXPECT_EQ(Key(t, key), value) << c.name << " " << key;
  }
}

class LanciaFtpRealTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!server.problem().empty()) GTEST_SKIP() << server.problem();
    client = MakeFtpClient(log, std::chrono::seconds(5));
    r = std::make_unique<TestContext>(client.get());
    r->ctx.cfg.IniLocal = "C:\\CALDERA\\_Local.ini";
  }
  std::string Unique(const std::string& name) const {
    return std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
           name;
  }
  // Asks for a transfer of `file` in `dir` through _Valico.ini, as a requester does.
  void Request(const std::string& azione, const std::string& dir, const std::string& file,
               const std::string& password = "segreto", const std::string& extra = "") {
    r->WriteValico("FTP_Indirizzo=" + server.server() +
                   "\r\nFTP_User=valico\r\nFTP_Pw=" + password + "\r\nFTP_Azione=" + azione +
                   "\r\nFTP_Directory=" + dir + "\r\nFTP_NomeFile=" + file + "\r\n" + extra);
  }

  testing::FtpTestServer server;
  testing::RecordingLog log;
  std::unique_ptr<FtpClient> client;
  std::unique_ptr<TestContext> r;
};

TEST_F(LanciaFtpRealTest, UploadDeletesThenPutsAndDownloadJoinsFolderAndName) {
  const std::string name = Unique("a.txt");
  r->folder.Write("drive_c/dati/" + name, "dati di oggi\r\n");
  Request("1", "C:\\dati\\", name);
  LanciaFTP(testing::TransferOf(*r));
  EXPECT_EQ(Key(*r, "FTP_Esito") + Key(*r, "FTP_Finish") + Key(*r, "FTP_NomeFile") +
                Key(*r, "FTP_Directory"),
            "-1FinitoC:\\dati\\");
  EXPECT_NE(r->folder.Read("_Valico.ini").find("FTP_Azione=\r\n"), std::string::npos)
      << "emptied, the key kept";
  std::string commands = server.Commands();
  size_t dele = commands.find("DELE C:\\dati\\" + name + "\n");
  ASSERT_NE(dele, std::string::npos) << commands;
  EXPECT_LT(dele, commands.find("STOR " + name + "\n")) << "the delete comes first: " << commands;
  EXPECT_TRUE(std::filesystem::exists(server.InRoot(name)));
  EXPECT_TRUE(r->processes.started.empty()) << "no dial-up without WEB_chkDial";
  EXPECT_FALSE(r->log.Contains("segreto"));

  // Back down with "C:\dati" lacking its backslash: the file lands in C:\ as "dati" + name.
  Request("2", "C:\\dati", name);
  LanciaFTP(testing::TransferOf(*r));
  EXPECT_EQ(Key(*r, "FTP_Esito"), "-1");
  EXPECT_EQ(r->folder.Read("drive_c/dati" + name), "dati di oggi\r\n");
}

TEST_F(LanciaFtpRealTest, FailuresAlwaysEndFinishedWithEsitoZero) {
  const std::string present = Unique("c.txt");
  r->folder.Write("drive_c/dati/" + present, "c");
  struct Case {
    const char* name;
    std::string password, file, extra;
  };
  const Case cases[] = {
      {"wrong password", "sbagliata", present, ""},
      {"missing local file", "segreto", Unique("missing.txt"), ""},
      {"dial-up asked but not set up", "segreto", present, "WEB_chkDial=-1\r\n"},
  };
  for (const Case& c : cases) {
    Request("1", "C:\\dati\\", c.file, c.password, c.extra);
    size_t before = server.Commands().size();
    LanciaFTP(testing::TransferOf(*r));
    EXPECT_EQ(Key(*r, "FTP_Esito") + Key(*r, "FTP_Finish") + Key(*r, "FTP_Azione") +
                  Key(*r, "FTP_NomeFile"),
              "0Finito")
        << c.name << ": failed, finished, the request emptied";
    std::string commands = server.Commands().substr(before);
    EXPECT_EQ(commands.find("STOR"), std::string::npos) << c.name << ": " << commands;
    if (!c.extra.empty()) {
      EXPECT_EQ(commands, "") << c.name << ": the server is not even contacted";
    }
  }
  EXPECT_TRUE(r->processes.started.empty()) << "nothing dialled";
  EXPECT_FALSE(r->folder.Has("Dial.bat"));
}

// An FTP client whose upload runs a callback in the middle of the transfer.
class CallbackFtp : public FtpClient {
 public:
  std::function<void()> during_put;
  bool put_result = true;
  bool DeleteRemote(const FtpAccount&, const std::string&, std::string*) override { return true; }
  bool PutFile(const FtpAccount&, const std::string&, const std::string&, std::string*) override {
    if (during_put) during_put();
    return put_result;
  }
  bool GetFile(const FtpAccount&, const std::string&, const std::string&, std::string*) override {
    return false;
  }
};

// A request written while the transfer runs stays for the next run, whatever the outcome.
TEST(LanciaFtpRequestTest, DialsAroundTheTransferAndKeepsARequestWrittenDuringIt) {
  for (bool put_ok : {true, false}) {
    SCOPED_TRACE(put_ok ? "transfer ok" : "transfer failed");
    CallbackFtp ftp;
    TestContext t(&ftp);
    std::vector<std::string> at_put;  // FTP_Finish and Dial.bat during the transfer
    ftp.during_put = [&] {
      at_put = {Key(t, "FTP_Finish"), t.folder.Read("Dial.bat")};
      t.ctx.ini.ScriviINI("Varie", "FTP_NomeFile", "b.txt", t.ctx.cfg.IniValico);
    };
    ftp.put_result = put_ok;
    t.WriteValico(
        "FTP_Indirizzo=h\r\nFTP_Azione=1\r\nFTP_Directory=C:\\dati\\\r\nFTP_NomeFile=a.txt\r\n"
        "WEB_chkDial=-1\r\nInt_Indirizzo=Ufficio\r\nInd_User=mario\r\nInd_Pw=pw\r\n");
    LanciaFTP(testing::TransferOf(t));
    EXPECT_EQ(
        Key(t, "FTP_Esito") + Key(t, "FTP_Finish") + Key(t, "FTP_Azione") + Key(t, "FTP_NomeFile"),
        std::string(put_ok ? "-1" : "0") + "Finito1b.txt");
    // The batch lines and window states of the dial-up are Connessione's test.
    EXPECT_EQ(t.processes.started.size(), 2u);
    EXPECT_EQ(at_put, (std::vector<std::string>{"In Corso", "rasdial Ufficio mario pw\r\n"}));
    EXPECT_EQ(t.folder.Read("Dial.bat"), "rasdial /disconnect\r\n");
  }
}

}  // namespace
}  // namespace valico
