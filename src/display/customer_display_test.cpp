#include "display/customer_display.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "core/testing/test_context.h"
#include "display/virtual_display.h"
#include "platform/testing/loopback_port.h"

namespace valico {
namespace {

using namespace std::chrono_literals;

const char* const kDisplayFile = "drive_c/Valico/Display.txt";

// A display whose port is a real serial line (a pseudo-terminal on POSIX), so the tests see
// the bytes at its far end.
class CustomerDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    far_ = testing::LoopbackPort::Create(&why);
    if (!far_) GTEST_SKIP() << "no loopback serial line: " << why;
    ports_ = MakeSerialPorts({{2, far_->device()}}, t.log);
    port_ = std::make_unique<SerialControl>(*ports_, t.log, "display port");
    cfg_.Display_File = "C:\\Valico\\Display.txt";
    port_->SetPort(2);
    port_->SetSettings("9600,N,8,1");
    display_ = std::make_unique<CustomerDisplay>(cfg_, t.files, t.clock, t.watch, t.log, *port_);
  }

  testing::TestContext t;
  Config cfg_;
  std::unique_ptr<testing::LoopbackPort> far_;
  std::unique_ptr<SerialPorts> ports_;
  std::unique_ptr<SerialControl> port_;
  std::unique_ptr<CustomerDisplay> display_;
};

TEST_F(CustomerDisplayTest, EachModelSendsItsBytesAndHandlesItsPort) {
  const std::string k20 = "ABCDEFGHIJKLMNOPQRST";
  struct Case {
    const char* name;
    const char* type;
    std::string file;
    std::string bytes;
    bool open_after;
  } cases[] = {
      {"ASEM, three lines: the later two under ESC QB", "ASEM", "uno\r\ndue\r\ntre\r\n",
       "\033QAuno\r\033QBdue\r\033QBtre\r", true},
      {"WINCOR-NIXDORF, a line of 25 then a short one", "WINCOR-NIXDORF",
       k20 + "UVWXY\r\nEUR 1\r\n", "\033[1;1H" + k20 + "\033[2;1HEUR 1", false},
      {"KUBE-D sends the first 40 characters of the first line only", "KUBE-D",
       k20 + k20 + "12345\r\nnever sent\r\n", k20 + k20, true},
      {"CD1-01", "CD1-01", "Totale\r" + k20 + "xyz\r", "\033F ATotale\r\033F B" + k20 + "\r", true},
      {"POSLINE cuts the first line at 19, later ones at 20", "POSLINE",
       k20 + "\r\n" + k20 + "\r\n", "\033A" + k20.substr(0, 19) + "\r\033B" + k20 + "\r", true},
  };
  for (const Case& c : cases) {
    cfg_.Display_Type = c.type;
    // Every model starts from an open port: WINCOR-NIXDORF must close and reopen it.
    if (!port_->IsOpen()) {
      ASSERT_TRUE(port_->Open()) << c.name;
    }
    t.folder.Write(kDisplayFile, c.file);
    display_->LanciaFileDLY();
    EXPECT_EQ(far_->Read(c.bytes.size()), c.bytes) << c.name;
    EXPECT_EQ(port_->IsOpen(), c.open_after) << c.name;
    EXPECT_FALSE(t.folder.Has(kDisplayFile)) << c.name;
  }
}

// What reaches the port, seen through a fake that records each write separately.
class WriteRecordingPorts : public SerialPorts {
 public:
  std::unique_ptr<SerialLine> Open(int, const SerialSettings&, std::size_t, std::size_t,
                                   std::string* err) override {
    ++opens;
    if (fail_open) {
      *err = "no such port";
      return nullptr;
    }
    return std::make_unique<Line>(*this);
  }
  std::vector<std::string> writes;
  int opens = 0;
  bool fail_open = false;
  int fail_from_write = 1000;
  std::function<void()> on_write;

 private:
  struct Line : SerialLine {
    explicit Line(WriteRecordingPorts& p) : p(p) {}
    bool Write(std::string_view bytes, std::string* err) override {
      if (static_cast<int>(p.writes.size()) >= p.fail_from_write) {
        *err = "timed out";
        return false;
      }
      p.writes.emplace_back(bytes);
      if (p.on_write) p.on_write();
      return true;
    }
    WriteRecordingPorts& p;
  };
};

TEST(CustomerDisplayPortTest, OneWritePerLineAndAFailedPortLosesOnlyThatUpdate) {
  testing::TestContext t;
  WriteRecordingPorts ports;
  SerialControl port(ports, t.log, "display port");
  Config cfg;
  cfg.Display_File = "C:\\Valico\\Display.txt";
  CustomerDisplay display(cfg, t.files, t.clock, t.watch, t.log, port);
  auto update = [&](const std::string& text) {
    t.folder.Write(kDisplayFile, text);
    display.LanciaFileDLY();
    display.LanciaFileDLY();  // a second look finds nothing new
  };

  // An unknown model leaves the file and the port alone, and says so once.
  for (const char* type : {"NON PRESENTE", "asem", ""}) {
    cfg.Display_Type = type;
    update("hello\r\n");
    EXPECT_TRUE(t.folder.Has(kDisplayFile)) << type;
    EXPECT_EQ(t.log.Count("model \"" + std::string(type) + "\" is unknown"), 1) << type;
  }
  EXPECT_EQ(ports.opens, 0);

  // A file Borea is still writing is left until it is whole.
  cfg.Display_Type = "ASEM";
  t.watch.writing.insert(t.Native(cfg.Display_File));
  update("partial");
  EXPECT_TRUE(t.folder.Has(kDisplayFile));
  EXPECT_EQ(ports.opens, 0);
  t.watch.writing.clear();

  // So is a file that cannot be read (here a folder in its place), with one warning.
  const std::string native = t.Native(cfg.Display_File);
  std::filesystem::remove(native);
  std::filesystem::create_directory(native);
  display.LanciaFileDLY();
  display.LanciaFileDLY();
  EXPECT_EQ(ports.opens, 0);
  EXPECT_EQ(t.log.Count("trying again at a later tick"), 1);
  EXPECT_TRUE(std::filesystem::remove(native));

  update("1\r\n2\r\n3\r\n");
  EXPECT_EQ(ports.writes, (std::vector<std::string>{"\033QA1\r", "\033QB2\r", "\033QB3\r"}));

  // A write that fails: the rest of the update is dropped, the file is gone all the same, and
  // the port is closed so the next update opens it afresh.
  ports.writes.clear();
  ports.fail_from_write = 1;
  update("a\r\nb\r\nc\r\n");
  EXPECT_EQ(ports.writes, (std::vector<std::string>{"\033QAa\r"}));
  EXPECT_FALSE(port.IsOpen());
  EXPECT_FALSE(t.folder.Has(kDisplayFile));
  EXPECT_TRUE(t.log.Contains("timed out"));
  ports.fail_from_write = 1000;
  update("d\r\n");
  EXPECT_EQ(ports.opens, 2) << "opened afresh";
  EXPECT_EQ(ports.writes.back(), "\033QAd\r");

  // A slow port: the lines still unsent when the update has taken the write bound are
  // dropped, so a long file cannot hold the tick.
  ports.writes.clear();
  ports.on_write = [&] { t.clock.Advance(kSerialWriteBound / 3); };
  update("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
  EXPECT_EQ(ports.writes.size(), 3u);
  EXPECT_TRUE(t.log.Contains("3 of 6 lines were not sent"));
  EXPECT_TRUE(port.IsOpen()) << "the port itself is fine";
  ports.on_write = nullptr;

  // A port that does not open: nothing is written, the update is lost, the file deleted.
  port.Close();
  ports.fail_open = true;
  ports.writes.clear();
  update("e\r\nf\r\n");
  EXPECT_TRUE(ports.writes.empty());
  EXPECT_FALSE(t.folder.Has(kDisplayFile));
  EXPECT_EQ(ports.opens, 3) << "one attempt per update, not one per line";

  // Settings that do not parse never reach the port.
  ports.fail_open = false;
  port.SetSettings("9600,X,8,1");
  update("g\r\n");
  EXPECT_EQ(ports.opens, 3);
  EXPECT_TRUE(t.log.Contains("parity \"X\""));
  EXPECT_FALSE(t.folder.Has(kDisplayFile));
}

TEST(DisplayStartupTest, ImportFromBorea) {
  struct Case {
    const char* name;
    std::string local;  // lines of [Varie] in _Local.ini
    bool borea_setting;
    std::string active, type, com, params;  // "-" for a key that must not be written
  } cases[] = {
      {"1 is WINCOR-NIXDORF",
       "Banco_DisplayNoNd=1\r\nDis_PortaCom=3\r\nDis_Parametri=9600,N,8,1\r\n", true, "-1",
       "WINCOR-NIXDORF", "3", "9600,N,8,1"},
      {"4 is KUBE-D", "Banco_DisplayNoNd=4\r\nDis_PortaCom=12\r\n", true, "-1", "KUBE-D", "12", ""},
      {"3 switches the display off", "Banco_DisplayNoNd=3\r\nDis_PortaCom=2\r\n", true, "0",
       "NON PRESENTE", "", ""},
      {"nothing while Borea_Setting is false", "Banco_DisplayNoNd=2\r\nDis_PortaCom=2\r\n", false,
       "-", "-", "-", "-"},
  };
  for (const Case& c : cases) {
    testing::TestContext t;
    t.WriteValico("Display_COM=7\r\n");
    t.folder.Write("drive_c/CALDERA/_Local.ini", "[Varie]\r\n" + c.local);
    t.ctx.cfg.IniLocal = "C:\\CALDERA\\_Local.ini";
    t.ctx.cfg.SettaggiBorea = c.borea_setting;
    DLY_StartUP_Borea(t.ctx.ini, t.ctx.cfg);
    auto key = [&](const char* k) {
      return t.ctx.ini.LeggiINI("Varie", k, "-", t.ctx.cfg.IniValico);
    };
    EXPECT_EQ(key("Display_Active"), c.active) << c.name;
    EXPECT_EQ(key("Display_Type"), c.type) << c.name;
    EXPECT_EQ(key("Display_COM"), c.borea_setting ? c.com : "7") << c.name;
    EXPECT_EQ(key("Display_Parametri"), c.params) << c.name;
  }
}

}  // namespace
}  // namespace valico
