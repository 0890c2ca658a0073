#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "printing/print_outlet.h"
#include "printing/print_system.h"
#include "printing/unprinted_documents.h"

namespace valico {

class DiagLog;
class QueueFolder;

struct PrintQueueOptions {
  enum class Mode {
    // The program that serves the folder: jobs are written into CodaStampa/<printer>/ and a
    // delivery worker per printer sends them, off the caller's thread.
    kService,
    // An installer's command on a folder nobody serves: each document is delivered at once,
    // and the caller learns whether it was printed.
    kDirect,
    // A command beside the program that serves the folder: jobs are written into
    // CodaStampa/ itself, where that program takes them into its printers' queues.
    kInbox,
  };
  std::string home;  // program folder (native): CodaStampa/ and NonStampati/
  Mode mode = Mode::kService;
  // How long a printer may stay unreachable before its documents are set aside in
  // NonStampati/ (a printer's own setting comes first).
  std::chrono::milliseconds wait = std::chrono::minutes(10);
  // The pause after a failed delivery, twice as long after each further one, up to the last.
  std::chrono::milliseconds first_pause = std::chrono::seconds(1);
  std::chrono::milliseconds max_pause = std::chrono::seconds(60);
  std::size_t max_unprinted = UnprintedDocuments::kDefaultMaxKept;
};

// One printer's queue, as `valico status` tells it.
struct PrinterQueueState {
  std::string printer;
  std::size_t jobs = 0;
  std::int64_t oldest_ms = 0;        // when the oldest waiting job was queued (wall clock)
  std::string last_error;            // of the document being tried, while it fails
  std::int64_t next_attempt_ms = 0;  // when it is tried again
  std::string last_done;             // what happened to the last document sent
  std::int64_t last_done_ms = 0;
};

// The print queue: the spooler of Valico. Submitting a job writes it whole into the program
// folder (temporary name, forced to the disk, renamed: a crash leaves it whole or absent) and
// returns at once; one delivery worker per printer with waiting jobs sends them in order, each
// attempt bounded by the printing system. A document that fails is tried again after a pause
// that doubles from first_pause to max_pause, and the printer's later documents wait behind
// it; once the printer has been unreachable for its wait, each document still failing is set
// aside in NonStampati/ with its reason. Progress is written beside each job, so after a crash
// delivery resumes at the first document not confirmed, and only a document whose delivery was
// cut can go out twice (the log says so). The log says "queued", then "printed", "handed over"
// or "not printed (why)" of every document, never two of them.
//
// Submit, Start, Stop and AdoptInbox belong to one thread (the main thread); the workers
// are owned here and joined by Stop.
class PrintQueue : public PrintOutlet {
 public:
  PrintQueue(PrintSystem& system, DiagLog& log, PrintQueueOptions options);
  ~PrintQueue() override;
  PrintQueue(const PrintQueue&) = delete;
  PrintQueue& operator=(const PrintQueue&) = delete;

  // The queue's folder (native): CodaStampa/ of the program folder.
  const std::string& folder() const { return folder_; }
  UnprintedDocuments& unprinted() { return unprinted_; }

  // Takes over what an earlier run left: jobs held for their job file, deliveries that were
  // cut, jobs other programs left in the inbox; then starts the workers. Service mode only.
  void Start();
  // Cuts short the deliveries in progress (their documents stay queued for the next start)
  // and joins the workers.
  void Stop();

  SubmitResult Submit(std::vector<Document> documents, const SourceFile* source) override;

  // Takes the jobs other programs wrote into CodaStampa/ (`valico reprint`, a print test
  // beside the service) into their printers' queues, behind the jobs already there.
  void AdoptInbox();

  // The wait of printers that have none of their own.
  void SetWait(std::chrono::milliseconds wait);

  std::vector<PrinterQueueState> States() const;

  // Waits until no printer has jobs waiting, for at most `timeout`. True when idle.
  bool WaitUntilIdle(std::chrono::milliseconds timeout);

 private:
  struct Line;

  SubmitResult DeliverNow(std::vector<Document> documents, const SourceFile* source);
  SubmitResult WriteToInbox(const std::vector<Document>& documents);
  SubmitResult KeepInstead(const std::vector<Document>& documents, const std::string& why);
  Line& LineFor(const std::string& printer, std::string folder = {});
  void TakeOverFolder(const std::string& path);
  void Wake(Line& line);
  void Run(Line& line, std::stop_token stop);
  enum class Attempt { kDelivered, kWaitedTooLong, kStopped };
  bool DeliverJob(Line& line, std::uint64_t number, std::stop_token stop);
  Attempt DeliverDocument(Line& line, std::uint64_t number, const QueueFile& job, std::size_t index,
                          std::stop_token stop, std::string* why);
  bool Pause(Line& line, std::chrono::milliseconds pause, std::stop_token stop);
  std::size_t KeepAll(const std::vector<Document>& documents, std::size_t from,
                      const std::string& why, std::uint64_t number, QueueFolder* folder);
  std::chrono::milliseconds WaitOf(const std::string& printer);
  void Finished(Line& line, std::uint64_t number);

  PrintSystem& system_;
  DiagLog& log_;
  PrintQueueOptions o_;
  std::string folder_;
  UnprintedDocuments unprinted_;
  std::mutex keep_mu_;     // one document at a time goes into NonStampati/
  mutable std::mutex mu_;  // guards lines_ and every Line's fields but its files
  std::condition_variable_any changed_;
  std::map<std::string, std::unique_ptr<Line>> lines_;  // by device name
  bool stopping_ = false;
};

// Removes the job file `source` names if it is still the file that was read (same identity,
// size and time stamps). False, with the reason, when it changed or cannot be removed.
bool RemoveSourceIfUnchanged(const SourceFile& source, std::string* why);

}  // namespace valico
