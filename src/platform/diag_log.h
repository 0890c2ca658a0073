#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace valico {

enum class LogLevel { kDebug, kInfo, kWarning, kError };

// Valico's own diagnostic log: where the reason goes when a device stays quiet (a port that
// did not open, a copy that failed). The fiscal hand-off log is a different, fixed-format file.
class DiagLog {
 public:
  virtual ~DiagLog() = default;
  virtual void Write(LogLevel level, std::string_view message) = 0;

  void Debug(std::string_view m) { Write(LogLevel::kDebug, m); }
  void Info(std::string_view m) { Write(LogLevel::kInfo, m); }
  void Warn(std::string_view m) { Write(LogLevel::kWarning, m); }
  void Error(std::string_view m) { Write(LogLevel::kError, m); }
};

// A value from outside (a setting, a file name, a printer's answer) as a log line shows it:
// cut at 200 characters, so that a huge value never floods the log; Shown also puts it in
// double quotes. Every log line is cut at 2,000 characters all the same.
std::string Cut(std::string_view value);
std::string Shown(std::string_view value);

// The real log: to standard error and to a rotating file "Valico.log" in `folder` (native).
// `folder` may be empty for standard error only.
std::unique_ptr<DiagLog> MakeDiagLog(const std::string& folder, bool to_stderr);

}  // namespace valico
