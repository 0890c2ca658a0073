#pragma once

#include <string>

namespace valico::testing {

// A printer installed in the running Wine prefix for the length of a test, with Wine's own
// PostScript driver (its PPD comes from winspool.drv), so GDI prints real PostScript without
// CUPS. The spooler lists it under exactly `device` and `port`; printing to a COM port needs
// DOCINFO's output file. Removed again when the object goes.
class WinePrinter {
 public:
  WinePrinter(std::string device, std::string port);
  ~WinePrinter();
  WinePrinter(const WinePrinter&) = delete;
  WinePrinter& operator=(const WinePrinter&) = delete;

  // Empty when the printer is installed; otherwise why it is not.
  const std::string& error() const { return error_; }
  const std::string& device() const { return device_; }

  // Makes this printer the system's default printer.
  bool MakeDefault();

 private:
  std::string device_;
  std::string error_;
  bool installed_ = false;
};

// The text that Wine's PostScript driver drew, which it writes one "/name glyphshow" per
// character, back as Windows-1252 bytes: letters, digits, blanks and a few signs ("?" for
// any other glyph).
std::string WinePostScriptText(const std::string& ps);

}  // namespace valico::testing
