#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/ftp_client.h"
#include "platform/processes.h"
#include "platform/regional.h"
#include "platform/serial_port.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_folder_watch.h"
#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"

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
    std::vector<std::size_t> writes;  // the size of each write, taken or refused
  };
  std::unique_ptr<SerialLine> Open(int port, const SerialSettings& s, std::size_t, std::size_t,
                                   std::string* err) override {
    if (fail_open) {
      if (err) *err = "no such port";
      return nullptr;
    }
    ports.push_back(std::make_shared<Port>(Port{port, s, "", true, {}}));
    return std::make_unique<Line>(ports.back(), refuse_writes);
  }
  std::vector<std::shared_ptr<Port>> ports;
  bool fail_open = false;
  bool refuse_writes = false;  // a printer that takes no byte: every write fails

 private:
  class Line : public SerialLine {
   public:
    Line(std::shared_ptr<Port> p, bool refuse) : p_(std::move(p)), refuse_(refuse) {}
    ~Line() override { p_->open = false; }
    bool Write(std::string_view bytes, std::string* err) override {
      p_->writes.push_back(bytes.size());
      if (refuse_) {
        if (err) *err = "timed out";
        return false;
      }
      p_->bytes += bytes;
      return true;
    }

   private:
    std::shared_ptr<Port> p_;
    bool refuse_;
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

// A fresh program folder with the drives inside it, Italian regional settings, a fake clock
// and recording fakes for the other platform services.
struct TestPlatform {
  TestPlatform()
      : mapper(PathMapper::Options{folder.path(), DrivesInside(folder)}), files(mapper) {}

  // Native path of a settings path.
  std::string Native(const std::string& path) const { return mapper.ToNative(path); }
  // Settings path of a file in the program folder.
  std::string InFolder(const std::string& name) const { return JoinPath(folder.path(), name); }
  // Writes _Valico.ini with the given lines under [Varie].
  void WriteValico(const std::string& body) const {
    folder.Write("_Valico.ini", "[Varie]\r\n" + body);
  }

  TempFolder folder;
  PathMapper mapper;
  Files files;
  FakeClock clock;
  FakeFolderWatch watch;
  RecordingLog log;
  HeadlessDialogs dialogs{log};
  RecordingProcesses processes;
  RecordingSerialPorts serial;
  NoFtpClient ftp;
  Regional regional = RegionalFor("it_IT");
};

}  // namespace valico::testing
