#include "platform/ftp_client.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <functional>

#include "platform/testing/ftp_test_server.h"
#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"

namespace valico {
namespace {

TEST(FtpClientTest, ParsesServerAndPort) {
  struct Case {
    const char* name;
    const char* server;
    bool ok;
    const char* host;
    int port;
  };
  const Case cases[] = {
      {"host alone", "ftp.example.it", true, "ftp.example.it", 21},
      {"host and port", "127.0.0.1:2121", true, "127.0.0.1", 2121},
      {"empty", "", false, "", 0},
      {"port not a number", "host:ftp", false, "", 0},
      {"port zero", "host:0", false, "", 0},
      {"port too big", "host:65536", false, "", 0},
      {"port longer than an int holds", "a:99999999999", false, "", 0},
      {"a URL", "ftp://host", false, "", 0},
      {"user in host", "mario@host", false, "", 0},
  };
  for (const Case& c : cases) {
    std::string host, err;
    int port = 0;
    EXPECT_EQ(ParseFtpServer(c.server, &host, &port, &err), c.ok) << c.name;
    if (c.ok) {
      EXPECT_EQ(host, c.host) << c.name;
      EXPECT_EQ(port, c.port) << c.name;
    } else {
      EXPECT_FALSE(err.empty()) << c.name;
    }
  }
}

class FtpClientServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!server.problem().empty()) GTEST_SKIP() << server.problem();
    client = MakeFtpClient(log, std::chrono::seconds(5));
    account = {server.server(), "valico", "segreto"};
  }
  std::string Unique(const std::string& name) const {
    return std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
           name;
  }
  bool RootHas(const std::string& name) const {
    return std::filesystem::exists(server.InRoot(name));
  }

  testing::FtpTestServer server;
  testing::RecordingLog log;
  testing::TempFolder local;
  std::unique_ptr<FtpClient> client;
  FtpAccount account;
};

TEST_F(FtpClientServerTest, PutGetAndDeleteMoveWholeFiles) {
  const std::string bytes("riga 1\r\n\x00\x80\xE8 fine\n", 18);
  const std::string name = Unique("dati.txt");
  local.Write("out.txt", bytes);
  std::string err;

  ASSERT_TRUE(client->PutFile(account, local / "out.txt", name, &err)) << err;
  EXPECT_EQ(std::filesystem::file_size(server.InRoot(name)), bytes.size());

  local.Write("in.txt", "an older file");
  ASSERT_TRUE(client->GetFile(account, name, local / "in.txt", &err)) << err;
  EXPECT_EQ(local.Read("in.txt"), bytes) << "binary, byte for byte, replacing the old file";

  local.Write("out.txt", "shorter");
  ASSERT_TRUE(client->PutFile(account, local / "out.txt", name, &err)) << err;
  ASSERT_TRUE(client->GetFile(account, name, local / "in.txt", &err)) << err;
  EXPECT_EQ(local.Read("in.txt"), "shorter") << "a put replaces the remote file";

  ASSERT_TRUE(client->DeleteRemote(account, name, &err)) << err;
  EXPECT_FALSE(RootHas(name));
  EXPECT_TRUE(client->DeleteRemote(account, name, &err))
      << "absent already counts as deleted: " << err;
  EXPECT_TRUE(client->DeleteRemote(account, "C:\\dati\\" + name, &err))
      << "a Windows path names no remote file: " << err;
  EXPECT_EQ(log.Count("segreto"), 0);
}

TEST_F(FtpClientServerTest, FailuresEndFalseWithTheReason) {
  const std::string kept = Unique("kept.txt");
  local.Write("kept.txt", "k");
  std::string err;
  ASSERT_TRUE(client->PutFile(account, local / "kept.txt", kept, &err)) << err;
  local.Write("old.txt", "old local file");

  FtpAccount wrong = account;
  wrong.password = "sbagliata";
  FtpAccount reader{server.server(), "reader", "reader"};
  FtpAccount closed{"127.0.0.1:1", "valico", "segreto"};
  struct Case {
    const char* name;
    std::function<bool(std::string*)> call;
    const char* reason;  // a part of the error text
  };
  const Case cases[] = {
      {"refused login", [&](std::string* e) { return client->DeleteRemote(wrong, "x", e); },
       "login"},
      {"unreachable port", [&](std::string* e) { return client->DeleteRemote(closed, "x", e); },
       "127.0.0.1:1"},
      {"delete refused on a file that is there",
       [&](std::string* e) { return client->DeleteRemote(reader, kept, e); }, "kept"},
      {"missing local file",
       [&](std::string* e) { return client->PutFile(account, local / "none.txt", "none.txt", e); },
       "none.txt"},
      {"no remote name",
       [&](std::string* e) { return client->PutFile(account, local / "kept.txt", "", e); },
       "no remote file name"},
      {"missing remote file",
       [&](std::string* e) {
         return client->GetFile(account, Unique("no.txt"), local / "old.txt", e);
       },
       "127.0.0.1"},
      {"no server", [&](std::string* e) { return client->DeleteRemote(FtpAccount{}, "x", e); },
       "ftp_indirizzo"},
  };
  for (const Case& c : cases) {
    std::string why;
    EXPECT_FALSE(c.call(&why)) << c.name;
    std::string lower = why;
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_NE(lower.find(c.reason), std::string::npos) << c.name << ": " << why;
    EXPECT_EQ(why.find("segreto"), std::string::npos) << c.name;
    EXPECT_EQ(why.find("sbagliata"), std::string::npos) << c.name;
  }
  EXPECT_TRUE(RootHas(kept));
  EXPECT_EQ(local.Read("old.txt"), "old local file") << "a failed download leaves the file";
  EXPECT_FALSE(local.Has("old.txt.valico-part"));
}

// A server that accepts the connection but never says a word: the client gives up after its
// time-out instead of hanging; an aborted client does not even try.
TEST_F(FtpClientServerTest, SilentServerEndsWithinTheTimeoutAndAbortEndsAtOnce) {
  auto quick = MakeFtpClient(log, std::chrono::seconds(1));
  local.Write("a.txt", "a");
  auto start = std::chrono::steady_clock::now();
  std::string err;
  EXPECT_FALSE(quick->PutFile({server.silent_server(), "valico", "segreto"}, local / "a.txt",
                              "a.txt", &err));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
  EXPECT_FALSE(err.empty());
  quick->SetAborted(true);
  EXPECT_FALSE(quick->DeleteRemote(account, "x", &err));
  EXPECT_NE(err.find("cancelled"), std::string::npos) << err;
}

}  // namespace
}  // namespace valico
