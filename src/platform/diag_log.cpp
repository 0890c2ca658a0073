#include "platform/diag_log.h"

#include <spdlog/logger.h>
#include <spdlog/sinks/rotating_file_sink.h>
#include <spdlog/sinks/stdout_sinks.h>

#include <vector>

namespace valico {
namespace {

std::string CutAt(std::string_view value, size_t longest) {
  if (value.size() <= longest) return std::string(value);
  return std::string(value.substr(0, longest)) + "... (" + std::to_string(value.size()) +
         " characters)";
}

class SpdDiagLog : public DiagLog {
 public:
  explicit SpdDiagLog(std::shared_ptr<spdlog::logger> logger) : logger_(std::move(logger)) {}
  ~SpdDiagLog() override { logger_->flush(); }

  void Write(LogLevel level, std::string_view whole) override {
    // The settings speak Windows-1252; the log keeps their bytes as they are.
    constexpr size_t kLongestLine = 2000;
    std::string cut;
    std::string_view message = whole;
    if (whole.size() > kLongestLine) message = cut = CutAt(whole, kLongestLine);
    switch (level) {
      case LogLevel::kDebug:
        logger_->debug("{}", message);
        break;
      case LogLevel::kInfo:
        logger_->info("{}", message);
        break;
      case LogLevel::kWarning:
        logger_->warn("{}", message);
        break;
      case LogLevel::kError:
        logger_->error("{}", message);
        break;
    }
  }

 private:
  std::shared_ptr<spdlog::logger> logger_;
};

}  // namespace

std::string Cut(std::string_view value) { return CutAt(value, 200); }

std::string Shown(std::string_view value) { return "\"" + Cut(value) + "\""; }

std::unique_ptr<DiagLog> MakeDiagLog(const std::string& folder, bool to_stderr) {
  std::vector<spdlog::sink_ptr> sinks;
  if (to_stderr) sinks.push_back(std::make_shared<spdlog::sinks::stderr_sink_mt>());
  if (!folder.empty()) {
    try {
      sinks.push_back(std::make_shared<spdlog::sinks::rotating_file_sink_mt>(folder + "/Valico.log",
                                                                             1024 * 1024, 3));
    } catch (const std::exception&) {
      // A read-only program folder must not stop the service: keep the other sinks.
    }
  }
  // Not registered with spdlog's global registry: every context owns its own logger.
  auto logger = std::make_shared<spdlog::logger>("valico", sinks.begin(), sinks.end());
  logger->set_level(spdlog::level::debug);
  logger->set_pattern("%Y-%m-%d %H:%M:%S.%e %-7l %v");
  logger->flush_on(spdlog::level::info);
  return std::make_unique<SpdDiagLog>(std::move(logger));
}

}  // namespace valico
