#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>

#include "platform/ftp_client.h"
#include "platform/testing/recording_log.h"

namespace valico {
namespace {

// A server that accepts the connection (the kernel does, from the backlog) but never says a
// word: the client must give up after its time-out instead of hanging.
TEST(FtpClientPosixTest, SilentServerEndsWithinTheTimeout) {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(s, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(listen(s, 4), 0);
  socklen_t len = sizeof addr;
  ASSERT_EQ(getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len), 0);
  std::string server = "127.0.0.1:" + std::to_string(ntohs(addr.sin_port));

  testing::RecordingLog log;
  auto client = MakeFtpClient(log, std::chrono::seconds(1));
  auto start = std::chrono::steady_clock::now();
  std::string err;
  EXPECT_FALSE(client->DeleteRemote(FtpAccount{server, "valico", "segreto"}, "x", &err));
  auto took = std::chrono::steady_clock::now() - start;
  EXPECT_LT(took, std::chrono::seconds(4)) << err;
  EXPECT_NE(err.find("imeout"), std::string::npos) << err;
  close(s);
}

// A transfer cut short from another thread ends at once, as a failure.
TEST(FtpClientPosixTest, AbortedClientFailsAtOnce) {
  testing::RecordingLog log;
  auto client = MakeFtpClient(log, std::chrono::seconds(1));
  client->SetAborted(true);
  std::string err;
  EXPECT_FALSE(client->DeleteRemote(FtpAccount{"127.0.0.1:1", "u", "p"}, "x", &err));
  EXPECT_NE(err.find("cancelled"), std::string::npos) << err;
}

}  // namespace
}  // namespace valico
