#include "jobs/dialup.h"

#include <gtest/gtest.h>

#include "jobs/testing/transfer_context.h"

namespace valico {
namespace {

using testing::TestContext;

TEST(DialupTest, BatchLineWindowStateAndResult) {
  struct Case {
    const char* name;
    const char* settings;
    int azione;
    bool result;
    const char* batch;  // Dial.bat afterwards, or null when there is none
    std::vector<WindowState> started;
  };
  const char* kAll = "Int_Indirizzo=Ufficio\r\nInd_User=mario\r\nInd_Pw=pa ss\r\n";
  // clang-format off
  const Case cases[] = {
      {"connect", kAll, 1, true, "rasdial Ufficio mario pa ss\r\n", {WindowState::kMinimizedNoFocus}},
      {"disconnect", kAll, 2, true, "rasdial /disconnect\r\n", {WindowState::kHidden}},
      {"other action deletes the batch", kAll, 3, false, nullptr, {}},
      {"entry missing", "Ind_User=mario\r\nInd_Pw=x\r\n", 1, false, "old\r\n", {}},
      {"password missing", "Int_Indirizzo=U\r\nInd_User=mario\r\n", 2, false, "old\r\n", {}},
  };
  // clang-format on
  for (const Case& c : cases) {
    TestContext t;
    t.WriteValico(c.settings);
    t.folder.Write("Dial.bat", "old\r\n");
    EXPECT_EQ(Connessione(testing::TransferOf(t), c.azione), c.result) << c.name;
    if (c.batch) {
      EXPECT_EQ(t.folder.Read("Dial.bat"), c.batch) << c.name;
    } else {
      EXPECT_FALSE(t.folder.Has("Dial.bat")) << c.name;
    }
    ASSERT_EQ(t.processes.started.size(), c.started.size()) << c.name;
    for (size_t i = 0; i < c.started.size(); ++i) {
      EXPECT_EQ(t.processes.started[i].first, t.ctx.InProgramFolder("Dial.bat")) << c.name;
      EXPECT_EQ(t.processes.started[i].second, c.started[i]) << c.name;
    }
    for (const std::string& line : t.log.lines())
      EXPECT_EQ(line.find("pa ss"), std::string::npos) << "no password in the log: " << line;
  }
}

}  // namespace
}  // namespace valico
