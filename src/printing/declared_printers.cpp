#include "printing/declared_printers.h"

#include "platform/files.h"
#include "settings/ini_store.h"

namespace valico {
namespace {

// A file of garbage may hold a problem on every line: the log gets the first ones.
constexpr size_t kMaxProblemsLogged = 100;

std::string InFolder(const std::string& folder, const char* name) {
  if (folder.empty()) return name;
  char last = folder.back();
  return folder + (last == '/' || last == '\\' ? "" : "/") + name;
}

}  // namespace

DeclaredPrinters::Snapshot::Snapshot(std::vector<PrinterDeclaration> printers)
    : printers_(std::move(printers)) {
  by_device_.reserve(printers_.size());
  for (size_t i = 0; i < printers_.size(); ++i) by_device_.emplace(printers_[i].info.device, i);
}

const PrinterDeclaration* DeclaredPrinters::Snapshot::Find(std::string_view device) const {
  auto it = by_device_.find(std::string(device));
  return it == by_device_.end() ? nullptr : &printers_[it->second];
}

const PrinterDeclaration* DeclaredPrinters::Snapshot::Default() const {
  for (const PrinterDeclaration& d : printers_)
    if (d.is_default) return &d;
  return nullptr;
}

DeclaredPrinters::DeclaredPrinters(const std::string& native_home, DiagLog* log)
    : path_(InFolder(native_home, kFileName)), log_(log) {}

std::shared_ptr<const DeclaredPrinters::Snapshot> DeclaredPrinters::Current() {
  std::lock_guard lock(mu_);
  Refresh();
  return current_;
}

long DeclaredPrinters::reads() const {
  std::lock_guard lock(mu_);
  return reads_;
}

void DeclaredPrinters::Refresh() {
  std::optional<FileIdentity> now = IdentityOf(path_);
  if (trusted_ && now == seen_) return;
  // The look is taken before the read: a change made during the read shows at the next one.
  seen_ = now;
  trusted_ = !now || !IsRecent(*now);
  if (!now) return Missing();
  std::string text, err;
  ++reads_;
  switch (ReadNativeFile(path_, IniStore::kMaxFileBytes, &text, &err)) {
    case ReadStatus::kMissing:
      return Missing();
    case ReadStatus::kFailed:
      return Refuse(err);
    case ReadStatus::kRead:
      return Load(std::move(text));
  }
}

void DeclaredPrinters::Missing() {
  if (state_ != State::kMissing)
    Log(LogLevel::kInfo, path_ + " is missing: no printers are installed");
  state_ = State::kMissing;
  text_.clear();
  current_ = std::make_shared<const Snapshot>();
}

void DeclaredPrinters::Refuse(const std::string& reason) {
  if (state_ != State::kRefused || reason != refusal_)
    Log(LogLevel::kWarning, reason + ": no printers are installed");
  state_ = State::kRefused;
  refusal_ = reason;
  text_.clear();
  current_ = std::make_shared<const Snapshot>();
}

void DeclaredPrinters::Load(std::string text) {
  // A file written again with the same text (or read again while its stamps are too fresh to
  // trust) keeps its printers, and its problems are not logged again.
  if (state_ == State::kRead && text == text_) return;
  std::vector<std::string> problems;
  current_ = std::make_shared<const Snapshot>(ParsePrinterDeclarations(text, &problems));
  state_ = State::kRead;
  text_ = std::move(text);
  for (size_t i = 0; i < problems.size() && i < kMaxProblemsLogged; ++i)
    Log(LogLevel::kWarning, std::string(kFileName) + " " + problems[i]);
  if (problems.size() > kMaxProblemsLogged)
    Log(LogLevel::kWarning, std::string(kFileName) + ": " +
                                std::to_string(problems.size() - kMaxProblemsLogged) +
                                " more problems are not listed");
}

void DeclaredPrinters::Log(LogLevel level, const std::string& text) const {
  if (log_) log_->Write(level, text);
}

}  // namespace valico
