#include "display/virtual_display.h"

#include <algorithm>

#include "platform/diag_log.h"
#include "platform/files.h"

namespace valico {
namespace {

constexpr char kEsc = 27;
constexpr char kCr = 13;
constexpr char kLf = 10;

}  // namespace

VirtualDisplay::VirtualDisplay() { rows_.fill(std::string(kColumns, ' ')); }

std::string VirtualDisplay::ScreenText() const {
  std::string s;
  for (const std::string& r : rows_) s += r + '\n';
  return s;
}

void VirtualDisplay::Put(char c) {
  rows_[row_][col_] = c;
  if (++col_ == kColumns) {
    col_ = 0;
    row_ = (row_ + 1) % kRows;
  }
}

void VirtualDisplay::StartLine(int row) {
  state_ = State::kLine;
  line_row_ = row;
  line_.clear();
}

bool VirtualDisplay::SelectLine(char c) {
  if (c != 'A' && c != 'B') return false;
  StartLine(c == 'A' ? 0 : 1);
  return true;
}

void VirtualDisplay::EndLine() {
  std::string text = line_.substr(0, kColumns);
  text.resize(kColumns, ' ');
  rows_[line_row_] = text;
  row_ = line_row_;
  col_ = 0;
  state_ = State::kText;
}

// Parameters "y;x" of ESC "[y;xH". A missing number means 1, as on a terminal; a number out
// of range goes to the nearest edge.
void VirtualDisplay::MoveCursor() {
  int n[2] = {0, 0};
  int i = 0;
  for (char c : params_) {
    if (c == ';') {
      if (++i == 2) break;
    } else if (n[i] < 1000) {
      n[i] = n[i] * 10 + (c - '0');
    }
  }
  row_ = std::clamp(n[0], 1, kRows) - 1;
  col_ = std::clamp(n[1], 1, kColumns) - 1;
}

void VirtualDisplay::Feed(std::string_view bytes) {
  for (char c : bytes) {
    switch (state_) {
      case State::kText:
        if (c == kEsc)
          state_ = State::kEsc;
        else if (c == kCr)
          col_ = 0;
        else if (c == kLf)
          row_ = kRows - 1;
        else if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f)
          Put(c);
        break;
      case State::kEsc:
        state_ = State::kText;
        if (c == 'Q')
          state_ = State::kEscQ;
        else if (c == 'F')
          state_ = State::kEscF;
        else if (c == '[')
          state_ = State::kCsi, params_.clear();
        else if (!SelectLine(c) && c == kEsc)
          state_ = State::kEsc;
        break;
      case State::kEscQ:
      case State::kEscFSpace:
        state_ = State::kText;
        if (!SelectLine(c) && c == kEsc) state_ = State::kEsc;
        break;
      case State::kEscF:
        state_ = c == ' ' ? State::kEscFSpace : c == kEsc ? State::kEsc : State::kText;
        break;
      case State::kCsi:
        if ((c >= '0' && c <= '9') || c == ';') {
          if (params_.size() < 16) params_ += c;
        } else {
          // Any other byte ends the sequence; only "H" (cursor position) means something here.
          state_ = State::kText;
          if (c == 'H')
            MoveCursor();
          else if (c == kEsc)
            state_ = State::kEsc;
        }
        break;
      case State::kLine:
        if (c == kCr) {
          EndLine();
        } else if (c == kEsc) {
          // A line cut short by the next command still shows what arrived of it.
          EndLine();
          state_ = State::kEsc;
        } else if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) {
          if (line_.size() < kColumns) line_ += c;
        }
        break;
    }
  }
}

namespace {

// The port of a virtual display: every write updates the screen and rewrites its file.
class VirtualDisplayLine : public SerialLine {
 public:
  VirtualDisplayLine(std::shared_ptr<VirtualDisplay> display, std::string file)
      : display_(std::move(display)), file_(std::move(file)) {}
  bool Write(std::string_view bytes, std::string* err) override {
    display_->Feed(bytes);
    return WriteNativeFileAtomically(file_, display_->ScreenText(), err);
  }

 private:
  std::shared_ptr<VirtualDisplay> display_;
  std::string file_;
};

}  // namespace

PortsWithVirtualDisplays::PortsWithVirtualDisplays(const std::map<int, std::string>& devices,
                                                   std::unique_ptr<SerialPorts> native)
    : native_(std::move(native)) {
  for (const auto& [port, device] : devices) {
    if (device.rfind(kDisplayPrefix, 0) == 0) {
      auto screen = std::make_shared<Screen>();
      screen->file = device.substr(kDisplayPrefix.size());
      screens_[port] = std::move(screen);
    }
  }
}

std::unique_ptr<SerialLine> PortsWithVirtualDisplays::Open(int port, const SerialSettings& settings,
                                                           std::size_t input_buffer,
                                                           std::size_t output_buffer,
                                                           std::string* err) {
  auto it = screens_.find(port);
  if (it == screens_.end()) return native_->Open(port, settings, input_buffer, output_buffer, err);
  if (it->second->file.empty()) {
    if (err) *err = "display: names no screen file";
    return nullptr;
  }
  // The line shares the screen, so the display keeps what it shows across close and open.
  std::shared_ptr<VirtualDisplay> display(it->second, &it->second->display);
  return std::make_unique<VirtualDisplayLine>(std::move(display), it->second->file);
}

std::unique_ptr<SerialPorts> MakeSerialPorts(const std::map<int, std::string>& devices,
                                             DiagLog& log) {
  return std::make_unique<PortsWithVirtualDisplays>(
      devices, MakeNativeSerialPorts(devices, log, kSerialWriteBound));
}

}  // namespace valico
