#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/testing/fake_clock.h"
#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"
#include "shell/context.h"

namespace valico::testing {

// Processes that are never started: records the command lines.
class RecordingProcesses : public Processes {
 public:
  ProcessId Start(const std::string& command_line, WindowState state, std::string*) override {
    started.push_back({command_line, state});
    return static_cast<ProcessId>(started.size());
  }
  bool Wait(ProcessId, std::chrono::milliseconds) override { return true; }
  std::vector<std::pair<std::string, WindowState>> started;
};

// Serial ports that record what each opened port receives.
class RecordingSerialPorts : public SerialPorts {
 public:
  struct Port {
    int number = 0;
    SerialSettings settings;
    std::string bytes;
    bool open = false;
  };
  std::unique_ptr<SerialLine> Open(int port, const SerialSettings& s, std::size_t, std::size_t,
                                   std::string* err) override {
    if (fail_open) {
      if (err) *err = "no such port";
      return nullptr;
    }
    ports.push_back(std::make_shared<Port>(Port{port, s, "", true}));
    return std::make_unique<Line>(ports.back());
  }
  std::vector<std::shared_ptr<Port>> ports;
  bool fail_open = false;

 private:
  class Line : public SerialLine {
   public:
    explicit Line(std::shared_ptr<Port> p) : p_(std::move(p)) {}
    ~Line() override { p_->open = false; }
    bool Write(std::string_view bytes, std::string*) override {
      p_->bytes += bytes;
      return true;
    }

   private:
    std::shared_ptr<Port> p_;
  };
};

// An FTP client that fails every call; tests that need FTP use a real server.
class NoFtpClient : public FtpClient {
 public:
  bool DeleteRemote(const FtpAccount&, const std::string&, std::string*) override { return false; }
  bool PutFile(const FtpAccount&, const std::string&, const std::string&, std::string*) override {
    return false;
  }
  bool GetFile(const FtpAccount&, const std::string&, const std::string&, std::string*) override {
    return false;
  }
};

// Every drive letter X: as the folder "drive_x" inside `folder`, so that tests never touch the
// machine's real drives (on Windows drive paths are otherwise used as they are).
inline std::map<char, std::string> DrivesInside(const TempFolder& folder) {
  std::map<char, std::string> drives;
  for (char d = 'A'; d <= 'Z'; ++d)
    drives[d] = folder / (std::string("drive_") + static_cast<char>(d - 'A' + 'a'));
  return drives;
}

// A Context over a fresh program folder, with the drives inside it, Italian regional settings,
// a fake clock and recording fakes for the other services.
class TestContext {
 public:
  TestContext() : TestContext(nullptr) {}
  // With a real (or another) FTP client in place of the failing one.
  explicit TestContext(FtpClient* ftp_client)
      : mapper(PathMapper::Options{folder.path(), DrivesInside(folder)}),
        files(mapper),
        dialogs(log),
        ctx(Services{files, clock, log, dialogs, processes, serial, ftp_client ? *ftp_client : ftp,
                     RegionalFor("it_IT")},
            folder.path()) {
    ctx.cfg.IniValico = ctx.InProgramFolder("_Valico.ini");
    ctx.ini.SetValicoIni(ctx.cfg.IniValico);
  }

  // Native path of a settings path.
  std::string Native(const std::string& path) const { return mapper.ToNative(path); }
  // Writes _Valico.ini with the given lines under [Varie].
  void WriteValico(const std::string& body) const {
    folder.Write("_Valico.ini", "[Varie]\r\n" + body);
  }

  TempFolder folder;
  PathMapper mapper;
  Files files;
  FakeClock clock;
  RecordingLog log;
  HeadlessDialogs dialogs;
  RecordingProcesses processes;
  RecordingSerialPorts serial;
  NoFtpClient ftp;
  Context ctx;
};

}  // namespace valico::testing
