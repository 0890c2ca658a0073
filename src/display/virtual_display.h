#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/serial_port.h"

namespace valico {

class DiagLog;

// A 2x20 customer pole display that understands what the supported display models send:
//   ESC "QA" / ESC "F A" / ESC "A"  text CR   replace the upper line (cut to 20, blank-filled)
//   ESC "QB" / ESC "F B" / ESC "B"  text CR   replace the lower line
//   ESC "[y;xH"                                move the cursor (1-based); text then overwrites
// Any other byte from the space up is shown at the cursor, which moves right, from the end of
// the upper line to the start of the lower one and from the end of the lower line back to the
// top left. CR returns to the start of the row, LF moves to the lower row; other control bytes
// and unknown escape sequences change nothing. A sequence may be split across writes.
class VirtualDisplay {
 public:
  static constexpr int kRows = 2;
  static constexpr int kColumns = 20;

  VirtualDisplay();

  void Feed(std::string_view bytes);
  // The two rows, each exactly kColumns bytes.
  const std::string& Row(int r) const { return rows_[r]; }
  // The screen as its file shows it: the two rows, each ended by a line feed.
  std::string ScreenText() const;

 private:
  enum class State { kText, kEsc, kEscQ, kEscF, kEscFSpace, kCsi, kLine };
  void Put(char c);
  void StartLine(int row);
  // "A" starts the upper line, "B" the lower one; false for any other byte.
  bool SelectLine(char c);
  void EndLine();
  void MoveCursor();

  std::array<std::string, kRows> rows_;
  int row_ = 0;
  int col_ = 0;
  State state_ = State::kText;
  int line_row_ = 0;    // row replaced by the line being collected
  std::string line_;    // its text so far
  std::string params_;  // parameters of the ESC "[" sequence so far
};

// The device of a serial port that is a virtual pole display: "display:" and its screen file.
inline constexpr std::string_view kDisplayPrefix = "display:";

// Serial ports where some numbers are virtual pole displays: a device "display:FILE" makes
// that port a VirtualDisplay whose screen is rewritten into FILE (native path) after every
// write; the display keeps its screen while the port is closed and reopened. Every other port
// goes to `native`.
class PortsWithVirtualDisplays : public SerialPorts {
 public:
  PortsWithVirtualDisplays(const std::map<int, std::string>& devices,
                           std::unique_ptr<SerialPorts> native);

  std::unique_ptr<SerialLine> Open(int port, const SerialSettings& settings,
                                   std::size_t input_buffer, std::size_t output_buffer,
                                   std::string* err) override;

 private:
  struct Screen {
    VirtualDisplay display;
    std::string file;
  };
  std::map<int, std::shared_ptr<Screen>> screens_;
  std::unique_ptr<SerialPorts> native_;
};

// The machine's serial ports: the operating system's, where `devices` may say where port n
// lives ("/dev/ttyUSB0"), and virtual pole displays for the ports whose device is
// "display:FILE".
std::unique_ptr<SerialPorts> MakeSerialPorts(const std::map<int, std::string>& devices,
                                             DiagLog& log);

}  // namespace valico
