// The real program in real time under Windows (or Wine): an FTP request written while the
// service runs is carried out with WinINet against the tests' FTP server.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/testing/ftp_test_server.h"
#include "platform/testing/temp_folder.h"
#include "platform/testing/wait_for.h"
#include "platform/testing/test_programs.h"

namespace valico {
namespace {

using namespace std::chrono_literals;

using testing::WaitFor;

TEST(ServiceJobsTest, RequestWrittenWhileRunningIsCarriedOut) {
  testing::FtpTestServer server;
  if (!server.problem().empty()) GTEST_SKIP() << server.problem();
  testing::TempFolder home;
  home.Write("_Valico.ini", "[Varie]\r\nBorea_Setting=0\r\n");
  home.Write("drive_c/out/vendite-win.txt", "vendite\r\n");

  std::string cmd = "\"";
  cmd += testing::TestProgram("valico");
  cmd += "\" --home \"";
  cmd += home.path();
  cmd += "\" --drive \"C=";
  cmd += home / "drive_c";
  cmd += "\" run";
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(::CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                               nullptr, nullptr, &si, &pi))
      << cmd;
  ASSERT_TRUE(WaitFor(
      [&] { return home.Read("_Valico.ini").find("RunTimeBorea=") != std::string::npos; }, 10s));

  // The request, replacing the file in one step as a requester should.
  home.Write("_Valico.new", home.Read("_Valico.ini") + "FTP_Indirizzo=" + server.server() +
                                "\r\nFTP_User=valico\r\nFTP_Pw=segreto\r\nFTP_Directory=C:\\out\\"
                                "\r\nFTP_NomeFile=vendite-win.txt\r\nFTP_Azione=1\r\n");
  ASSERT_TRUE(::MoveFileExA((home / "_Valico.new").c_str(), (home / "_Valico.ini").c_str(),
                            MOVEFILE_REPLACE_EXISTING));
  EXPECT_TRUE(WaitFor(
      [&] { return home.Read("_Valico.ini").find("FTP_Finish=Finito") != std::string::npos; }, 15s))
      << home.Read("_Valico.ini");
  std::string ini = home.Read("_Valico.ini");
  EXPECT_NE(ini.find("FTP_Esito=-1"), std::string::npos) << ini;
  EXPECT_NE(ini.find("FTP_Azione=\r\n"), std::string::npos) << ini;
  EXPECT_TRUE(std::filesystem::exists(server.InRoot("vendite-win.txt")));

  ::TerminateProcess(pi.hProcess, 0);
  ::WaitForSingleObject(pi.hProcess, 5000);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
}

}  // namespace
}  // namespace valico
