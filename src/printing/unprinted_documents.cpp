#include "printing/unprinted_documents.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "platform/diag_log.h"
#include "platform/durable_files.h"
#include "platform/files.h"
#include "platform/native_path.h"
#include "printing/print_system.h"
#include "printing/trace.h"

namespace valico {
namespace {

constexpr const char* kJob = ".job";
constexpr const char* kTrace = ".txt";
constexpr std::string_view kReasonPrefix = "Non stampato: ";

// The running number a kept file's name starts with; 0 when it starts with none.
long NumberOf(const std::string& name) {
  long n = 0;
  size_t i = 0;
  for (; i < name.size() && i < 9 && name[i] >= '0' && name[i] <= '9'; ++i)
    n = n * 10 + (name[i] - '0');
  return i > 0 && i < name.size() && name[i] == '-' ? n : 0;
}

// The device name as a file name: letters, digits, "-" and "." stay, the rest become "_".
std::string FileNamePart(const std::string& device) {
  std::string s = device.empty() ? "nessuna-stampante" : device.substr(0, 64);
  for (char& c : s) {
    bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                c == '-' || c == '.';
    if (!keep) c = '_';
  }
  return s;
}

std::string StripExtension(const std::string& name) {
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// The kept documents' file names by number, lowest first.
std::map<long, std::vector<std::string>> Kept(const std::string& folder, std::string* err) {
  std::vector<std::string> names;
  std::map<long, std::vector<std::string>> kept;
  ListNativeFolder(folder, false, &names, err);
  for (std::string& name : names) {
    // A temporary file a crash left half way is no kept document.
    if (name.size() > 4 && name.substr(name.size() - 4) == ".tmp") continue;
    if (long n = NumberOf(name); n > 0) kept[n].push_back(std::move(name));
  }
  return kept;
}

}  // namespace

bool UnprintedDocuments::Keep(const Document& doc, std::int64_t queued_ms,
                              const std::string& reason, std::string* kept_as, std::string* err) {
  std::string why;
  CreateNativeFolders(folder_, nullptr);  // a folder that cannot be made fails the keeping below
  std::map<long, std::vector<std::string>> kept = Kept(folder_, &why);
  long number = kept.empty() ? 1 : kept.rbegin()->first + 1;
  const std::string job = EncodeQueueFile(QueueFile{doc.printer, queued_ms, std::nullopt, {doc}});
  std::string base;
  // Another program may take the same number at the same moment: the next one is tried.
  for (int tries = 0;; ++tries, ++number) {
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "%04ld-", number);
    base = InNativeFolder(folder_, prefix + FileNamePart(doc.printer));
    bool exists = false;
    if (CreateFileDurably(base + kJob, job, &exists, err)) break;
    if (!exists || tries == 100) return false;
  }
  *kept_as = base + kJob;
  std::vector<std::string> files;
  std::string draw_err;
  bool drawn = system_ && system_->KeepAsPreview(doc, base, &files, &draw_err);
  // The reason goes first in the trace, so that a look at the folder tells why.
  std::string trace;
  if (!drawn || ReadNativeFile(base + kTrace, 1 << 24, &trace, nullptr) != ReadStatus::kRead)
    trace = TraceText(doc);
  std::string head = std::string(kReasonPrefix) + reason + "\n";
  if (!drawn && system_) head += "(no drawing: " + draw_err + ")\n";
  std::string write_err;
  if (!WriteNativeFileAtomically(base + kTrace, head + trace, &write_err) && log_)
    log_->Warn("the trace of " + *kept_as + " was not written: " + write_err);
  DropOldest();
  return true;
}

void UnprintedDocuments::DropOldest() {
  std::string err;
  std::map<long, std::vector<std::string>> kept = Kept(folder_, &err);
  while (kept.size() > max_kept_) {
    auto oldest = kept.begin();
    for (const std::string& name : oldest->second)
      RemoveNativeFile(InNativeFolder(folder_, name), &err);
    if (log_)
      log_->Warn(folder_ + " holds more than " + std::to_string(max_kept_) +
                 " documents: the oldest, number " + std::to_string(oldest->first) +
                 ", is removed");
    kept.erase(oldest);
  }
}

std::vector<UnprintedDocuments::Entry> UnprintedDocuments::List(std::string* err) const {
  std::vector<Entry> entries;
  for (const auto& [number, names] : Kept(folder_, err)) {
    Entry e;
    e.number = number;
    e.base = InNativeFolder(folder_, StripExtension(names.front()));
    std::string text;
    if (ReadNativeFile(e.base + kTrace, 4096, &text, nullptr) != ReadStatus::kFailed) {
      text = text.substr(0, text.find('\n'));
      if (text.rfind(kReasonPrefix, 0) == 0) e.reason = text.substr(kReasonPrefix.size());
    }
    QueueFile job;
    if (Read(number, &job, nullptr)) {
      e.printer = job.printer;
      e.queued_ms = job.queued_ms;
    }
    entries.push_back(std::move(e));
  }
  return entries;
}

std::vector<long> UnprintedDocuments::Numbers(std::string* err) const {
  std::vector<long> numbers;
  for (const auto& [number, names] : Kept(folder_, err)) numbers.push_back(number);
  return numbers;
}

bool UnprintedDocuments::Read(long number, QueueFile* job, std::string* err) const {
  std::map<long, std::vector<std::string>> kept = Kept(folder_, err);
  auto it = kept.find(number);
  if (it == kept.end()) {
    if (err) *err = "no document " + std::to_string(number) + " in " + folder_;
    return false;
  }
  for (const std::string& name : it->second) {
    if (name.size() < 4 || name.substr(name.size() - 4) != kJob) continue;
    std::string bytes;
    std::string path = InNativeFolder(folder_, name);
    if (ReadNativeFile(path, std::size_t{1} << 30, &bytes, err) != ReadStatus::kRead) return false;
    if (DecodeQueueFile(bytes, job, err)) return true;
    if (err) *err = path + ": " + *err;
    return false;
  }
  if (err) *err = "document " + std::to_string(number) + " has no job file (.job) to print again";
  return false;
}

bool UnprintedDocuments::Remove(long number, std::string* err) const {
  std::map<long, std::vector<std::string>> kept = Kept(folder_, err);
  auto it = kept.find(number);
  if (it == kept.end()) return true;
  bool ok = true;
  for (const std::string& name : it->second)
    ok = RemoveNativeFile(InNativeFolder(folder_, name), err) && ok;
  return ok;
}

}  // namespace valico
