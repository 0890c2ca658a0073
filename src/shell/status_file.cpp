#include "shell/status_file.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <optional>
#include <tuple>

#include "platform/files.h"
#include "platform/native_path.h"
#include "settings/ini_text.h"

namespace valico {
namespace {

// The sections of the devices, in the order of StatusDevice.
constexpr const char* kDeviceSections[kStatusDevices] = {"Display", "Misuratore", "Ricevute",
                                                         "Preconti"};
// More printers than a till has; a file that says more is no file of this program.
constexpr int kMostPrinters = 100;
constexpr std::size_t kLongestValue = 500;
constexpr std::size_t kLargestFile = 1 << 20;
constexpr auto kLookInterval = std::chrono::seconds(1);

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// A text as one value: on one line, cut short, and quoted so that its own blanks and quotes
// come back as they were.
std::string Quoted(std::string_view value) {
  std::string s = "\"";
  for (char c : value.substr(0, kLongestValue)) s += c == '\r' || c == '\n' || c == '\0' ? ' ' : c;
  return s + "\"";
}

struct Section {
  std::string text;
  explicit Section(std::string_view name) : text("[" + std::string(name) + "]\r\n") {}
  Section& Add(std::string_view key, const std::string& value) {
    text += std::string(key) + "=" + value + "\r\n";
    return *this;
  }
  Section& Add(std::string_view key, std::int64_t value) { return Add(key, std::to_string(value)); }
};

std::string PrinterSection(int n) { return "Stampante" + std::to_string(n); }

std::int64_t NumberIn(std::string_view text, std::string_view section, std::string_view key) {
  std::optional<std::string> v = IniFind(text, section, key);
  std::int64_t n = 0;
  if (v) std::from_chars(v->data(), v->data() + v->size(), n);
  return n;
}

std::string TextIn(std::string_view text, std::string_view section, std::string_view key) {
  return IniFind(text, section, key).value_or("");
}

// The printers of the queue, with what an earlier run last printed on each where this run has
// printed nothing on it yet.
std::vector<PrinterQueueState> WithEarlier(std::vector<PrinterQueueState> now,
                                           const std::vector<PrinterQueueState>& earlier) {
  for (const PrinterQueueState& e : earlier) {
    auto it = std::find_if(now.begin(), now.end(),
                           [&](const PrinterQueueState& p) { return p.printer == e.printer; });
    if (it == now.end()) {
      PrinterQueueState kept;
      kept.printer = e.printer;
      it = now.insert(now.end(), kept);
    }
    if (it->last_done.empty()) {
      it->last_done = e.last_done;
      it->last_done_ms = e.last_done_ms;
    }
  }
  return now;
}

bool SameStates(const std::vector<PrinterQueueState>& a, const std::vector<PrinterQueueState>& b) {
  auto fields = [](const PrinterQueueState& s) {
    return std::tie(s.printer, s.jobs, s.oldest_ms, s.last_error, s.next_attempt_ms, s.last_done,
                    s.last_done_ms);
  };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [&](const auto& x, const auto& y) { return fields(x) == fields(y); });
}

// Whole under a temporary name, then renamed over the old file: a reader sees the old file or
// the new one. Not forced to the disk, unlike the settings and the queue: it is a report,
// rewritten at every change, and a crash that loses the last one loses nothing else.
bool WriteWhole(const std::string& path, const std::string& data, std::string* err) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(FsPath(temporary), std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.close();
    if (!out) {
      *err = "cannot write " + temporary;
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(FsPath(temporary), FsPath(path), ec);
  if (ec) *err = "cannot rename " + temporary + ": " + ec.message();
  return !ec;
}

}  // namespace

std::string EncodeStatusFile(const ServiceStatus& s) {
  std::string text =
      Section("Valico").Add("Avviato", s.started_ms).Add("Scritto", s.written_ms).text;
  for (int d = 0; d < kStatusDevices; ++d)
    text += Section(kDeviceSections[d])
                .Add("Ultimo", Quoted(s.devices[d].what))
                .Add("Quando", s.devices[d].when_ms)
                .text;
  const int count = std::min(static_cast<int>(s.printers.size()), kMostPrinters);
  text += Section("Stampanti").Add("Numero", count).text;
  for (int n = 1; n <= count; ++n) {
    const PrinterQueueState& p = s.printers[n - 1];
    text += Section(PrinterSection(n))
                .Add("Nome", Quoted(p.printer))
                .Add("Lavori", static_cast<std::int64_t>(p.jobs))
                .Add("Primo", p.oldest_ms)
                .Add("Errore", Quoted(p.last_error))
                .Add("Tentativo", p.next_attempt_ms)
                .Add("Ultimo", Quoted(p.last_done))
                .Add("Quando", p.last_done_ms)
                .text;
  }
  return text;
}

ServiceStatus DecodeStatusFile(std::string_view text) {
  ServiceStatus s;
  s.started_ms = NumberIn(text, "Valico", "Avviato");
  s.written_ms = NumberIn(text, "Valico", "Scritto");
  for (int d = 0; d < kStatusDevices; ++d) {
    s.devices[d].what = TextIn(text, kDeviceSections[d], "Ultimo");
    s.devices[d].when_ms = NumberIn(text, kDeviceSections[d], "Quando");
  }
  const std::int64_t count =
      std::clamp<std::int64_t>(NumberIn(text, "Stampanti", "Numero"), 0, kMostPrinters);
  for (int n = 1; n <= count; ++n) {
    const std::string section = PrinterSection(n);
    PrinterQueueState p;
    p.printer = TextIn(text, section, "Nome");
    p.jobs = static_cast<std::size_t>(std::max<std::int64_t>(0, NumberIn(text, section, "Lavori")));
    p.oldest_ms = NumberIn(text, section, "Primo");
    p.last_error = TextIn(text, section, "Errore");
    p.next_attempt_ms = NumberIn(text, section, "Tentativo");
    p.last_done = TextIn(text, section, "Ultimo");
    p.last_done_ms = NumberIn(text, section, "Quando");
    s.printers.push_back(std::move(p));
  }
  return s;
}

bool ReadStatusFile(const std::string& home, ServiceStatus* status, std::string* err) {
  std::string text;
  const std::string path = InNativeFolder(home, kStatusFileName);
  std::string why;
  switch (ReadNativeFile(path, kLargestFile, &text, &why)) {
    case ReadStatus::kRead:
      *status = DecodeStatusFile(text);
      return true;
    case ReadStatus::kMissing:
      if (err) *err = path + " is missing";
      return false;
    case ReadStatus::kFailed:
      break;
  }
  if (err) *err = why;
  return false;
}

StatusFileWriter::StatusFileWriter(const std::string& home, const PrintQueue& queue,
                                   const Clock& clock, DiagLog& log)
    : path_(InNativeFolder(home, kStatusFileName)), queue_(queue), clock_(clock), log_(log) {
  ServiceStatus earlier;
  if (ReadStatusFile(home, &earlier, nullptr)) {
    status_.devices = earlier.devices;
    earlier_printers_ = std::move(earlier.printers);
  }
  status_.started_ms = NowMs();
}

void StatusFileWriter::Record(StatusDevice device, std::string what) {
  DeviceDone& done = status_.devices[static_cast<int>(device)];
  done.what = std::move(what);
  done.when_ms = NowMs();
  changed_ = true;
}

void StatusFileWriter::Tick() {
  const auto now = clock_.Now();
  if (now < next_look_) return;
  next_look_ = now + kLookInterval;
  std::vector<PrinterQueueState> printers = queue_.States();
  if (changed_ || !SameStates(printers, last_seen_)) Write(std::move(printers));
}

void StatusFileWriter::Flush() {
  std::vector<PrinterQueueState> printers = queue_.States();
  if (changed_ || !SameStates(printers, last_seen_)) Write(std::move(printers));
}

void StatusFileWriter::Write(std::vector<PrinterQueueState> printers) {
  last_seen_ = printers;
  status_.printers = WithEarlier(std::move(printers), earlier_printers_);
  status_.written_ms = NowMs();
  // A file that cannot be written is tried again at the next change, not at every look.
  changed_ = false;
  std::string err;
  if (WriteWhole(path_, EncodeStatusFile(status_), &err)) {
    failure_logged_ = false;
  } else if (!failure_logged_) {
    failure_logged_ = true;
    log_.Warn("the status file is not written: " + err);
  }
}

}  // namespace valico
