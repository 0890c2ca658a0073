#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace valico {

class Context;


// The customer pole display: sends the display file to the display's port (the context's
// mscomm1) with the escape sequences of the model Display_Type names, then deletes the file.
// It remembers between ticks how the file looked, so a file Borea is still writing is left
// until it has stopped changing.
class CustomerDisplay {
 public:
  // The file is taken once it has looked the same for at least this long, seen on two ticks.
  static constexpr std::chrono::milliseconds kSettleTime{400};

  explicit CustomerDisplay(Context& ctx) : ctx_(ctx) {}

  // One look at the display file, from the polling cycle. An unknown model leaves the file
  // alone; a file that cannot be read is left for a later tick.
  void LanciaFileDLY();

 private:
  bool IsSettled(const std::string& path);
  void Warn(const std::string& message);

  Context& ctx_;
  std::string last_warning_;
  struct Sighting {
    std::string path;
    FileStamp stamp;
    std::chrono::steady_clock::time_point since;
  };
  std::optional<Sighting> seen_;
};

// Fills the display model and port choices of the configuration window.
void DLY_StartUP_Valori(Context& ctx);
// Takes the display settings from Borea's _Local.ini into _Valico.ini (only while
// Borea_Setting is true).
void DLY_StartUP_Borea(Context& ctx);

}  // namespace valico
