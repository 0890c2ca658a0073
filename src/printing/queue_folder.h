#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "printing/queue_file.h"

namespace valico {

// One printer's folder of the print queue, as files: its jobs "NNNNNNNNNN.job" in the order of
// their numbers, the progress of each ("NNNNNNNNNN.progress": one line per event, "start 2",
// "done 2", "failed 2", "kept 2" for document 2 set aside), and jobs "NNNNNNNNNN.held" that wait
// for their job file to be removed. Every write is durable; no threads here.
class QueueFolder {
 public:
  explicit QueueFolder(std::string native_path) : path_(std::move(native_path)) {}

  // The folder's name for a printer: its device name made a file name, and a hash of the
  // exact name, so that names differing only in characters a file name cannot hold stay apart.
  static std::string NameFor(const std::string& printer);

  const std::string& path() const { return path_; }
  std::string JobPath(std::uint64_t number) const;
  // The name of a job for the log: "<folder>/NNNNNNNNNN".
  std::string JobName(std::uint64_t number) const;

  // The number after the highest job in the folder (1 for an empty one).
  std::uint64_t NextNumber() const;
  // Writes a job whole under the first free number from *next on (held: as "….held").
  bool Write(const std::string& bytes, bool held, std::uint64_t* next, std::uint64_t* number,
             std::string* err);
  // A held job becomes a job.
  bool Release(std::uint64_t number, std::string* err);
  // Removes a job and its progress.
  void Remove(std::uint64_t number);

  // Where a job's delivery got to: the first document not done, and whether its delivery
  // was cut (started, neither done nor failed: the program stopped meanwhile).
  struct Progress {
    std::size_t first_undone = 0;
    bool cut = false;
  };
  Progress ReadProgress(std::uint64_t number) const;
  void Note(std::uint64_t number, const char* event, std::size_t document);

  // The folder as an earlier run left it: temporary files of writes a crash cut short go,
  // held jobs are released after `on_held` has seen them, progress of jobs that are gone goes.
  // The numbers of the jobs, in order.
  std::vector<std::uint64_t> TakeOver(const std::function<void(const QueueFile&)>& on_held);

 private:
  std::string Path(std::uint64_t number, std::string_view extension) const;

  std::string path_;
};

// Reads a job file; false with the reason (naming the file) when it is missing or no job.
bool ReadQueueFile(const std::string& native_path, QueueFile* job, std::string* err);

}  // namespace valico
