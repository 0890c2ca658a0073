#pragma once

#include <string>

#include "platform/diag_log.h"

namespace valico {

// The pre-bill models that print through a printer installed in the platform's printing
// system. Each takes the job's full path; none reports an outcome. A renderer is built with
// whatever it prints with.
class PrebillRenderer {
 public:
  virtual ~PrebillRenderer() = default;
  virtual void StampaCortOlivetti(const std::string& job) = 0;  // plain lines
  virtual void StampaCortSamsung(const std::string& job) = 0;   // field format
  virtual void StampaCortSolipos(const std::string& job) = 0;   // N:SCO:TXT:
};

// The renderer of this build: printing on an installed printer is not part of it, so each
// job is left unprinted and the diagnostic log says so.
class UnavailablePrebillRenderer : public PrebillRenderer {
 public:
  explicit UnavailablePrebillRenderer(DiagLog& log) : log_(log) {}
  void StampaCortOlivetti(const std::string& job) override;
  void StampaCortSamsung(const std::string& job) override;
  void StampaCortSolipos(const std::string& job) override;

 private:
  void NotPrinted(const char* model, const std::string& job);

  DiagLog& log_;
};

}  // namespace valico
