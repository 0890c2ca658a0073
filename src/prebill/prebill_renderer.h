#pragma once

#include <string>

namespace valico {

class Context;

// The pre-bill models that print through a printer installed in the platform's printing
// system. Each takes the job's full path; none reports an outcome.
class PrebillRenderer {
 public:
  virtual ~PrebillRenderer() = default;
  virtual void StampaCortOlivetti(Context& ctx, const std::string& job) = 0;  // plain lines
  virtual void StampaCortSamsung(Context& ctx, const std::string& job) = 0;   // field format
  virtual void StampaCortSolipos(Context& ctx, const std::string& job) = 0;   // N:SCO:TXT:
};

// The renderer of this build: printing on an installed printer is not part of it, so each
// job is left unprinted and the diagnostic log says so.
class UnavailablePrebillRenderer : public PrebillRenderer {
 public:
  void StampaCortOlivetti(Context& ctx, const std::string& job) override;
  void StampaCortSamsung(Context& ctx, const std::string& job) override;
  void StampaCortSolipos(Context& ctx, const std::string& job) override;
};

}  // namespace valico
