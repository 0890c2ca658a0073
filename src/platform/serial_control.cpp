#include "platform/serial_control.h"

namespace valico {

bool SerialControl::Open(std::string* err) {
  std::string why;
  if (line_) {
    why = "port already open";
  } else {
    SerialSettings s;
    if (!ParseSerialSettings(settings_, &s, &why)) {
      why = "settings \"" + settings_ + "\": " + why;
    } else {
      line_ = ports_.Open(port_, s, input_buffer_, output_buffer_, &why);
      if (line_) return true;
    }
  }
  log_.Warn(name_ + ": cannot open COM" + std::to_string(port_) + ": " + why);
  if (err) *err = why;
  return false;
}

bool SerialControl::Write(std::string_view bytes, std::string* err) {
  std::string why = "port not open";
  if (line_ && line_->Write(bytes, &why)) return true;
  log_.Warn(name_ + ": write to COM" + std::to_string(port_) + " failed: " + why);
  if (err) *err = why;
  return false;
}

}  // namespace valico
