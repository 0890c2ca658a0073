#include "printing/queue_folder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/durable_files.h"
#include "platform/files.h"
#include "platform/native_path.h"

namespace valico {
namespace {

constexpr std::string_view kJob = ".job";
constexpr std::string_view kHeld = ".held";
constexpr std::string_view kProgress = ".progress";
constexpr std::string_view kTemporary = ".tmp";
// A job file can hold a few large pictures; anything larger is no job of this program.
constexpr std::size_t kLargestJob = std::size_t{1} << 30;

bool EndsWith(std::string_view s, std::string_view end) {
  return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

std::string NumberName(std::uint64_t number) {
  char name[24];
  std::snprintf(name, sizeof name, "%010llu", static_cast<unsigned long long>(number));
  return name;
}

// The number of a queue file's name ("0000000042.job"); 0 when it is none.
std::uint64_t NumberOf(std::string_view name, std::string_view extension) {
  if (!EndsWith(name, extension) || name.size() != 10 + extension.size()) return 0;
  std::uint64_t n = 0;
  for (char c : name.substr(0, 10)) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return n;
}

}  // namespace

bool ReadQueueFile(const std::string& native_path, QueueFile* job, std::string* err) {
  std::string bytes;
  if (ReadNativeFile(native_path, kLargestJob, &bytes, err) != ReadStatus::kRead) {
    if (err->empty()) *err = native_path + " is missing";
    return false;
  }
  if (DecodeQueueFile(bytes, job, err)) return true;
  *err = native_path + ": " + *err;
  return false;
}

std::string QueueFolder::NameFor(const std::string& printer) {
  std::uint32_t hash = 2166136261u;
  for (char c : printer) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  std::string name = printer.substr(0, 48);
  for (char& c : name) {
    bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                c == '-' || c == '.';
    if (!keep) c = '_';
  }
  char tail[16];
  std::snprintf(tail, sizeof tail, "-%08x", hash);
  return name + tail;
}

std::string QueueFolder::Path(std::uint64_t number, std::string_view extension) const {
  return InNativeFolder(path_, NumberName(number) + std::string(extension));
}

std::string QueueFolder::JobPath(std::uint64_t number) const { return Path(number, kJob); }

std::string QueueFolder::JobName(std::uint64_t number) const {
  return NarrowPath(FsPath(path_).filename()) + "/" + NumberName(number);
}

std::uint64_t QueueFolder::NextNumber() const {
  std::vector<std::string> names;
  std::string err;
  ListNativeFolder(path_, false, &names, &err);
  std::uint64_t next = 1;
  for (const std::string& name : names)
    for (std::string_view ext : {kJob, kHeld}) next = std::max(next, NumberOf(name, ext) + 1);
  return next;
}

bool QueueFolder::Write(const std::string& bytes, bool held, std::uint64_t* next,
                        std::uint64_t* number, std::string* err) {
  bool folder_made = false;
  for (int tries = 0; tries < 100; ++tries) {
    *number = (*next)++;
    bool exists = false;
    if (CreateFileDurably(Path(*number, held ? kHeld : kJob), bytes, &exists, err)) return true;
    if (exists) continue;
    // The folder may be gone (removed by hand) or never made (a full disk at the first job):
    // it is made again once, rather than failing every job until the next start.
    if (folder_made || !CreateNativeFolders(path_, nullptr)) return false;
    folder_made = true;
    --*next;
  }
  return false;
}

bool QueueFolder::Release(std::uint64_t number, std::string* err) {
  return MoveWithoutReplace(Path(number, kHeld), Path(number, kJob), err);
}

void QueueFolder::Remove(std::uint64_t number) {
  std::string err;
  RemoveNativeFile(Path(number, kJob), &err);
  RemoveNativeFile(Path(number, kProgress), &err);
}

QueueFolder::Progress QueueFolder::ReadProgress(std::uint64_t number) const {
  std::string text;
  Progress p;
  if (ReadNativeFile(Path(number, kProgress), 1 << 20, &text, nullptr) != ReadStatus::kRead)
    return p;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) break;  // a line cut by a crash says nothing
    std::string_view line(text.data() + pos, end - pos);
    pos = end + 1;
    size_t space = line.find(' ');
    if (space == std::string_view::npos) continue;
    std::size_t k = std::strtoull(std::string(line.substr(space + 1)).c_str(), nullptr, 10);
    std::string_view event = line.substr(0, space);
    if ((event == "done" || event == "kept") && k + 1 > p.first_undone) p.first_undone = k + 1;
    // The last event of the first document not done says whether its delivery was cut.
    if (k == p.first_undone || event != "start") p.cut = event == "start" && k == p.first_undone;
  }
  return p;
}

void QueueFolder::Note(std::uint64_t number, const char* event, std::size_t document) {
  std::string err;
  AppendDurably(Path(number, kProgress), std::string(event) + " " + std::to_string(document) + "\n",
                &err);
}

std::vector<std::uint64_t> QueueFolder::TakeOver(
    const std::function<void(const QueueFile&)>& on_held) {
  std::vector<std::string> names;
  std::string err;
  ListNativeFolder(path_, false, &names, &err);
  std::vector<std::uint64_t> numbers;
  for (const std::string& name : names) {
    std::string path = InNativeFolder(path_, name);
    if (EndsWith(name, kTemporary)) RemoveNativeFile(path, &err);
    if (std::uint64_t n = NumberOf(name, kHeld)) {
      QueueFile job;
      if (ReadQueueFile(path, &job, &err)) on_held(job);
      if (Release(n, &err)) numbers.push_back(n);
    }
    if (std::uint64_t n = NumberOf(name, kJob)) numbers.push_back(n);
  }
  std::sort(numbers.begin(), numbers.end());
  for (const std::string& name : names) {
    std::uint64_t n = NumberOf(name, kProgress);
    if (n && !std::binary_search(numbers.begin(), numbers.end(), n))
      RemoveNativeFile(InNativeFolder(path_, name), &err);
  }
  return numbers;
}

}  // namespace valico
