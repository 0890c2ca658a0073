#include "printing/print_queue.h"

#include <algorithm>
#include <cstdio>
#include <random>

#include "platform/diag_log.h"
#include "platform/durable_files.h"
#include "platform/file_identity.h"
#include "platform/files.h"
#include "platform/native_path.h"
#include "printing/queue_folder.h"

namespace valico {
namespace {

using SteadyClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr const char* kQueueFolder = "CodaStampa";
constexpr const char* kUnprintedFolder = "NonStampati";
constexpr std::string_view kInboxJob = ".job";
constexpr std::string_view kBroken = ".broken";
// A worker with nothing to do for this long ends; the next job starts another.
constexpr auto kIdleWorker = std::chrono::seconds(30);

std::int64_t NowMs() {
  return std::chrono::duration_cast<milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::string Seconds(milliseconds d) {
  char s[32];
  std::snprintf(s, sizeof s, "%.3g s", static_cast<double>(d.count()) / 1000);
  return s;
}

}  // namespace

struct PrintQueue::Line {
  explicit Line(std::string native_folder) : folder(std::move(native_folder)) {}
  std::string printer;
  QueueFolder folder;
  std::deque<std::uint64_t> jobs;
  std::uint64_t next = 1;  // the number of the next job: main thread only
  std::jthread worker;
  bool running = false;
  std::optional<SteadyClock::time_point> outage_since;
  PrinterQueueState state;
};

bool RemoveSourceIfUnchanged(const SourceFile& source, std::string* why) {
  std::optional<FileIdentity> now = IdentityOf(source.native_path);
  if (!now) return true;  // gone already
  if (*now != source.identity) {
    *why = "it changed after it was read, so it holds another job";
    return false;
  }
  return RemoveNativeFile(source.native_path, why);
}

PrintQueue::PrintQueue(PrintSystem& system, DiagLog& log, PrintQueueOptions options)
    : system_(system),
      log_(log),
      o_(std::move(options)),
      folder_(InNativeFolder(o_.home, kQueueFolder)),
      unprinted_(InNativeFolder(o_.home, kUnprintedFolder), &system, &log, o_.max_unprinted) {}

PrintQueue::~PrintQueue() { Stop(); }

void PrintQueue::SetWait(milliseconds wait) {
  std::lock_guard lock(mu_);
  o_.wait = wait;
}

milliseconds PrintQueue::WaitOf(const std::string& printer) {
  if (auto own = system_.QueueSettings(printer).wait) return *own;
  std::lock_guard lock(mu_);
  return o_.wait;
}

PrintQueue::Line& PrintQueue::LineFor(const std::string& printer, std::string folder) {
  std::lock_guard lock(mu_);
  std::unique_ptr<Line>& line = lines_[printer];
  if (line) return *line;
  line = std::make_unique<Line>(
      folder.empty() ? InNativeFolder(folder_, QueueFolder::NameFor(printer)) : folder);
  line->printer = printer;
  line->state.printer = printer;
  CreateNativeFolders(line->folder.path(), nullptr);
  // Numbers go on from the highest in the folder, also one an earlier run left.
  line->next = line->folder.NextNumber();
  return *line;
}

SubmitResult PrintQueue::Submit(std::vector<Document> documents, const SourceFile* source) {
  if (documents.empty()) return {Submitted::kNothingToPrint, "no document"};
  if (o_.mode == PrintQueueOptions::Mode::kDirect) return DeliverNow(std::move(documents), source);
  if (o_.mode == PrintQueueOptions::Mode::kInbox) return WriteToInbox(documents);

  const std::string printer = documents.front().printer;
  const std::size_t count = documents.size();
  if (printer.empty()) return KeepInstead(documents, "no printer is installed");
  Line& line = LineFor(printer);
  const std::string bytes = EncodeQueueFile(
      QueueFile{printer, NowMs(), source ? std::optional(*source) : std::nullopt, documents});
  std::uint64_t number = 0;
  std::string err;
  if (!line.folder.Write(bytes, source != nullptr, &line.next, &number, &err))
    return KeepInstead(documents, "cannot be queued: " + err);
  SubmitResult result{Submitted::kQueued, line.folder.JobName(number)};
  if (source) {
    // Held until its job file is gone: a crash between the two leaves a held job, which the
    // next start releases once it has removed the file.
    result.source_removed = RemoveSourceIfUnchanged(*source, &result.source_kept);
    if (!line.folder.Release(number, &err))
      log_.Error("printer " + Shown(printer) + ": job " + result.detail +
                 " cannot be released: " + err);
  }
  log_.Info("printer " + Shown(printer) + ": job " + result.detail + " queued (" +
            std::to_string(count) + " document(s)" + (source ? " of " + source->native_path : "") +
            ")");
  {
    std::lock_guard lock(mu_);
    line.jobs.push_back(number);
  }
  Wake(line);
  return result;
}

// Documents that cannot be queued go into NonStampati/, to be printed again from there.
SubmitResult PrintQueue::KeepInstead(const std::vector<Document>& documents,
                                     const std::string& why) {
  SubmitResult result{Submitted::kNotPrinted, why};
  result.dropped = KeepAll(documents, 0, why, 0, nullptr) < documents.size();
  return result;
}

SubmitResult PrintQueue::WriteToInbox(const std::vector<Document>& documents) {
  const std::string& printer = documents.front().printer;
  std::random_device random;
  char name[48];
  std::snprintf(name, sizeof name, "%013lld-%08x.job", static_cast<long long>(NowMs()), random());
  CreateNativeFolders(folder_, nullptr);
  std::string path = InNativeFolder(folder_, name), err;
  bool exists = false;
  if (!CreateFileDurably(path,
                         EncodeQueueFile(QueueFile{printer, NowMs(), std::nullopt, documents}),
                         &exists, &err))
    return {Submitted::kNotPrinted, "cannot be queued: " + err};
  log_.Info("printer " + Shown(printer) + ": " + std::to_string(documents.size()) +
            " document(s) queued as " + path + " for the Valico that serves this folder");
  return {Submitted::kQueued, path};
}

SubmitResult PrintQueue::DeliverNow(std::vector<Document> documents, const SourceFile* source) {
  SubmitResult result{Submitted::kPrinted, ""};
  for (std::size_t i = 0; i < documents.size(); ++i) {
    const Document& doc = documents[i];
    DeliveryResult r = system_.Deliver(doc, {});
    std::string what = "printer " + Shown(doc.printer) + ": document " + std::to_string(i + 1) +
                       " of " + std::to_string(documents.size());
    if (r.status == Delivery::kPrinted) {
      log_.Info(what + " printed (" + r.detail + ")");
    } else if (r.status == Delivery::kHandedOver) {
      log_.Info(what + " handed over (" + r.detail + ")");
      if (result.status == Submitted::kPrinted) result.status = Submitted::kHandedOver;
    } else {
      std::string kept, err;
      std::string where = unprinted_.Keep(doc, NowMs(), r.detail, &kept, &err)
                              ? "kept as " + kept
                              : "could not be kept: " + err;
      log_.Error(what + " not printed (" + r.detail + "): " + where);
      result.status = Submitted::kNotPrinted;
      r.detail += "; " + where;
    }
    result.detail += (result.detail.empty() ? "" : "; ") + r.detail;
  }
  if (source && result.ok())
    result.source_removed = RemoveSourceIfUnchanged(*source, &result.source_kept);
  return result;
}

void PrintQueue::Wake(Line& line) {
  std::unique_lock lock(mu_);
  if (stopping_ || line.jobs.empty()) return;
  if (!line.running) {
    if (line.worker.joinable()) {
      lock.unlock();
      line.worker.join();  // it has ended: running is false
      lock.lock();
    }
    line.running = true;
    line.worker = std::jthread([this, &line](std::stop_token stop) { Run(line, stop); });
  }
  changed_.notify_all();
}

void PrintQueue::Run(Line& line, std::stop_token stop) {
  std::unique_lock lock(mu_);
  for (;;) {
    changed_.wait_for(lock, stop, kIdleWorker, [&] { return !line.jobs.empty(); });
    if (stop.stop_requested() || line.jobs.empty()) break;
    std::uint64_t number = line.jobs.front();
    lock.unlock();
    bool finished = DeliverJob(line, number, stop);
    lock.lock();
    if (!finished) break;
  }
  line.running = false;
  changed_.notify_all();
}

void PrintQueue::Finished(Line& line, std::uint64_t number) {
  line.folder.Remove(number);
  std::lock_guard lock(mu_);
  if (!line.jobs.empty() && line.jobs.front() == number) line.jobs.pop_front();
  changed_.notify_all();
}

bool PrintQueue::DeliverJob(Line& line, std::uint64_t number, std::stop_token stop) {
  QueueFile job;
  std::string err;
  if (!ReadQueueFile(line.folder.JobPath(number), &job, &err)) {
    std::string moved = line.folder.JobPath(number) + std::string(kBroken);
    MoveWithoutReplace(line.folder.JobPath(number), moved, nullptr);
    log_.Error("printer " + Shown(line.printer) + ": a queued job cannot be read (" + err +
               "): it is set aside as " + moved);
    Finished(line, number);
    return true;
  }
  const std::size_t count = job.documents.size();
  for (std::size_t k = line.folder.ReadProgress(number).first_undone; k < count;) {
    std::string why;
    switch (DeliverDocument(line, number, job, k, stop, &why)) {
      case Attempt::kDelivered:
        ++k;
        break;
      case Attempt::kStopped:
        return false;
      case Attempt::kWaitedTooLong:
        // Set aside, the rest of the job is done with; what cannot even be kept stays queued
        // and is tried again after the longest pause.
        k = KeepAll(job.documents, k, why, number, &line.folder);
        {
          std::lock_guard lock(mu_);
          line.state.last_done = "not printed (" + why + ")";
          line.state.last_done_ms = NowMs();
        }
        if (k < count && !Pause(line, o_.max_pause, stop)) return false;
        break;
    }
  }
  Finished(line, number);
  return true;
}

bool PrintQueue::Pause(Line& line, milliseconds pause, std::stop_token stop) {
  std::unique_lock lock(mu_);
  line.state.next_attempt_ms = NowMs() + pause.count();
  changed_.wait_for(lock, stop, pause, [] { return false; });
  return !stop.stop_requested();
}

// Delivers document `index` of `job`, trying again after each failure, until it is delivered,
// the printer has been unreachable for its wait (*why says what failed last), or the queue
// stops.
PrintQueue::Attempt PrintQueue::DeliverDocument(Line& line, std::uint64_t number,
                                                const QueueFile& job, std::size_t index,
                                                std::stop_token stop, std::string* why) {
  const std::string what =
      "printer " + Shown(line.printer) + ": document " + std::to_string(index + 1) + " of " +
      std::to_string(job.documents.size()) + " of job " + line.folder.JobName(number);
  milliseconds pause = o_.first_pause;
  for (;;) {
    line.folder.Note(number, "start", index);
    DeliveryResult r = system_.Deliver(job.documents[index], stop);
    if (r.status != Delivery::kFailed) {
      line.folder.Note(number, "done", index);
      std::string done =
          (r.status == Delivery::kPrinted ? "printed (" : "handed over (") + r.detail + ")";
      log_.Info(what + " " + done);
      std::lock_guard lock(mu_);
      line.outage_since.reset();
      line.state.last_error.clear();
      line.state.next_attempt_ms = 0;
      line.state.last_done = done;
      line.state.last_done_ms = NowMs();
      return Attempt::kDelivered;
    }
    if (stop.stop_requested()) return Attempt::kStopped;  // it goes out again at the next start
    line.folder.Note(number, "failed", index);
    *why = r.detail;
    const milliseconds wait = WaitOf(line.printer);
    {
      std::lock_guard lock(mu_);
      auto now = SteadyClock::now();
      if (!line.outage_since) line.outage_since = now;
      if (now - *line.outage_since >= wait) return Attempt::kWaitedTooLong;
      if (r.detail != line.state.last_error)
        log_.Warn(what + " not delivered (" + r.detail + "); tried again in " + Seconds(pause) +
                  ", the printer's later documents wait");
      line.state.last_error = r.detail;
    }
    if (!Pause(line, pause, stop)) return Attempt::kStopped;
    pause = std::min(pause * 2, o_.max_pause);
  }
}

// Keeps documents `from`... of `documents` in NonStampati/ with the reason, each noted as kept
// in the progress of job `number` of `folder` (when given). Returns the index of the first one
// not kept (the size when all were kept).
std::size_t PrintQueue::KeepAll(const std::vector<Document>& documents, std::size_t from,
                                const std::string& why, std::uint64_t number, QueueFolder* folder) {
  std::lock_guard keep_lock(keep_mu_);
  for (std::size_t i = from; i < documents.size(); ++i) {
    std::string kept, err;
    std::string what = "printer " + Shown(documents[i].printer) + ": document " +
                       std::to_string(i + 1) + " of " + std::to_string(documents.size());
    if (!unprinted_.Keep(documents[i], NowMs(), why, &kept, &err)) {
      log_.Error(what + " not printed (" + why + ") and it cannot be kept in NonStampati (" + err +
                 ")" + (folder ? ": it stays queued" : ""));
      return i;
    }
    log_.Error(what + " not printed (" + why + "): kept as " + kept);
    if (folder) folder->Note(number, "kept", i);
  }
  return documents.size();
}

void PrintQueue::Start() {
  if (o_.mode != PrintQueueOptions::Mode::kService) return;
  std::vector<std::string> folders;
  std::string err;
  CreateNativeFolders(folder_, nullptr);
  if (!ListNativeFolder(folder_, true, &folders, &err)) log_.Error("print queue: " + err);
  for (const std::string& name : folders) TakeOverFolder(InNativeFolder(folder_, name));
  AdoptInbox();
}

// One printer's folder as an earlier run left it: a job held for its job file is released
// (the file goes if it is still the one read); deliveries that were cut are said; the jobs
// wait in order.
void PrintQueue::TakeOverFolder(const std::string& path) {
  QueueFolder folder(path);
  std::vector<std::uint64_t> numbers = folder.TakeOver([this](const QueueFile& held) {
    std::string why;
    if (held.source && !RemoveSourceIfUnchanged(*held.source, &why))
      log_.Warn("print queue: " + held.source->native_path + " stays: " + why);
  });
  QueueFile first;
  std::string err;
  if (numbers.empty()) return;
  if (!ReadQueueFile(folder.JobPath(numbers.front()), &first, &err)) {
    log_.Error("print queue: " + err);
    return;
  }
  Line& line = LineFor(first.printer, path);
  for (std::uint64_t n : numbers) {
    QueueFolder::Progress p = folder.ReadProgress(n);
    if (p.cut)
      log_.Warn("printer " + Shown(line.printer) + ": the delivery of document " +
                std::to_string(p.first_undone + 1) + " of job " + folder.JobName(n) +
                " was cut when Valico stopped: it goes out again, and may print twice");
  }
  {
    std::lock_guard lock(mu_);
    line.jobs.assign(numbers.begin(), numbers.end());
    line.next = std::max(line.next, numbers.back() + 1);
  }
  log_.Info("printer " + Shown(line.printer) + ": " + std::to_string(numbers.size()) +
            " job(s) of an earlier run wait in " + path);
  Wake(line);
}

void PrintQueue::AdoptInbox() {
  std::vector<std::string> names;
  std::string err;
  ListNativeFolder(folder_, false, &names, &err);
  std::sort(names.begin(), names.end());  // named by the time they were written
  for (const std::string& name : names) {
    if (name.size() < kInboxJob.size() || name.substr(name.size() - kInboxJob.size()) != kInboxJob)
      continue;
    std::string path = InNativeFolder(folder_, name);
    QueueFile job;
    if (!ReadQueueFile(path, &job, &err)) {
      MoveWithoutReplace(path, path + std::string(kBroken), nullptr);
      log_.Error("print queue: a job from another program cannot be read (" + err +
                 "): it is set aside as " + path + std::string(kBroken));
      continue;
    }
    Line& line = LineFor(job.printer);
    for (int tries = 0; tries < 100; ++tries) {
      std::uint64_t number;
      {
        std::lock_guard lock(mu_);
        number = line.next++;
      }
      if (!MoveWithoutReplace(path, line.folder.JobPath(number), &err)) continue;
      log_.Info("printer " + Shown(job.printer) + ": job " + name +
                " of another program queued as " + line.folder.JobName(number) + " (" +
                std::to_string(job.documents.size()) + " document(s))");
      {
        std::lock_guard lock(mu_);
        line.jobs.push_back(number);
      }
      Wake(line);
      break;
    }
  }
}

void PrintQueue::Stop() {
  std::vector<Line*> lines;
  {
    std::lock_guard lock(mu_);
    stopping_ = true;
    for (auto& [printer, line] : lines_) {
      line->worker.request_stop();
      lines.push_back(line.get());
    }
    changed_.notify_all();
  }
  for (Line* line : lines)
    if (line->worker.joinable()) line->worker.join();
}

std::vector<PrinterQueueState> PrintQueue::States() const {
  std::lock_guard lock(mu_);
  std::vector<PrinterQueueState> states;
  for (const auto& [printer, line] : lines_) {
    PrinterQueueState s = line->state;
    s.jobs = line->jobs.size();
    if (!line->jobs.empty()) {
      auto id = IdentityOf(line->folder.JobPath(line->jobs.front()));
      if (id) s.oldest_ms = id->modified_ns / 1000000;
    }
    states.push_back(std::move(s));
  }
  return states;
}

bool PrintQueue::WaitUntilIdle(milliseconds timeout) {
  std::unique_lock lock(mu_);
  return changed_.wait_for(lock, timeout, [&] {
    for (const auto& [printer, line] : lines_)
      if (!line->jobs.empty()) return false;
    return true;
  });
}

}  // namespace valico
