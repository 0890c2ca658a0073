#include "display/virtual_display.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/testing/test_context.h"

namespace valico {
namespace {

std::string Row(const std::string& text) {
  std::string r = text;
  r.resize(VirtualDisplay::kColumns, ' ');
  return r;
}

// Each case gives the screen as "upper|lower".
TEST(VirtualDisplayTest, ScreenAfterSequencesOfUpdates) {
  const std::string dashes(20, '-');
  struct Case {
    const char* name;
    std::vector<std::string> writes;
    std::string screen;
  } cases[] = {
      {"line commands replace one row", {"\033QAHELLO\r\033QBsecond\r", "\033QAX\r"}, "X|second"},
      {"a replaced line is cut to 20",
       {"\033QB12345678901234567890XYZ\r"},
       "|12345678901234567890"},
      {"ESC F A / F B, ESC A / B", {"\033F Aone\r\033F Btwo\r", "\033Bthree\r"}, "one|three"},
      {"cursor positioning overwrites",
       {"\033[1;1HHELLO WORLD", "\033[2;1Hbelow", "\033[1;1HABC"},
       "ABCLO WORLD|below"},
      {"plain text flows to the lower line",
       {"0123456789abcdefghijKLMNOPQRSTUVWXYZ!?"},
       "0123456789abcdefghij|KLMNOPQRSTUVWXYZ!?"},
      {"past the end starts at the top left",
       {dashes + dashes + "AB"},
       "AB" + dashes.substr(2) + "|" + dashes},
      {"a sequence split across writes", {"\033", "Q", "AHel", "lo\r"}, "Hello|"},
      {"positions out of range go to the edge",
       {"\033[9;99HZ", "\033[0;0HA", "\033[H"},
       "A|                   Z"},
      {"unknown escapes change nothing", {"\033@\033[2J\033Qz\033F x\033QAok\r"}, "ok|"},
      {"CR to the row start, LF down", {"abcdef\rXY\nZ"}, "XYcdef|  Z"},
  };
  for (const Case& c : cases) {
    VirtualDisplay d;
    for (const std::string& w : c.writes) d.Feed(w);
    std::size_t bar = c.screen.find('|');
    EXPECT_EQ(d.Row(0) + "|" + d.Row(1),
              Row(c.screen.substr(0, bar)) + "|" + Row(c.screen.substr(bar + 1)))
        << c.name;
  }
}

TEST(VirtualDisplayTest, PortWritesTheScreenFileAndKeepsTheScreenAcrossReopening) {
  testing::TempFolder folder;
  auto owned = std::make_unique<testing::RecordingSerialPorts>();
  testing::RecordingSerialPorts& real = *owned;
  std::string screen = folder / "screen.txt";
  PortsWithVirtualDisplays ports({{4, "display:" + screen}, {5, "/dev/ttyUSB0"}, {6, "display:"}},
                                 std::move(owned));
  std::string err;
  auto line = ports.Open(4, SerialSettings{}, 1024, 512, &err);
  ASSERT_TRUE(line) << err;
  EXPECT_FALSE(folder.Has("screen.txt")) << "the screen file appears with the first write";
  ASSERT_TRUE(line->Write("\033[1;1HHELLO WORLD\033[2;1HEUR 3,20", &err)) << err;
  EXPECT_EQ(folder.Read("screen.txt"), Row("HELLO WORLD") + "\n" + Row("EUR 3,20") + "\n");
  line.reset();
  line = ports.Open(4, SerialSettings{}, 1024, 512, &err);
  ASSERT_TRUE(line->Write("\033[1;1HABC", &err)) << err;
  EXPECT_EQ(folder.Read("screen.txt"), Row("ABCLO WORLD") + "\n" + Row("EUR 3,20") + "\n");

  EXPECT_TRUE(ports.Open(5, SerialSettings{}, 1024, 512, &err)) << "other ports are real ones";
  ASSERT_EQ(real.ports.size(), 1u);
  EXPECT_EQ(real.ports[0]->number, 5);
  EXPECT_EQ(ports.Open(6, SerialSettings{}, 1024, 512, &err), nullptr);
  EXPECT_NE(err.find("no screen file"), std::string::npos) << err;

  // A screen file that cannot be written fails the write, as a dead display would.
  PortsWithVirtualDisplays broken({{1, "display:" + folder / "no/such/folder/screen.txt"}},
                                  std::make_unique<testing::RecordingSerialPorts>());
  line = broken.Open(1, SerialSettings{}, 1024, 512, &err);
  ASSERT_TRUE(line);
  EXPECT_FALSE(line->Write("x", &err));
}

}  // namespace
}  // namespace valico
