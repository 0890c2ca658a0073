#pragma once

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "platform/diag_log.h"
#include "platform/files.h"
#include "platform/folder_watch.h"
#include "settings/ini_snapshot.h"

namespace valico {

class DeviceHandlers;

// The spools, as the system's intake names them: "MF" (fiscal register), "CR" (pre-bills),
// "RF" (receipt forms: moved and deleted, no device).
enum class SpoolKind { kFiscal, kPrebill, kReceipt };

// The spool flag of a kind: MF_Vuoto, Cort_Vuoto or RF_Vuoto.
const char* SpoolFlag(SpoolKind kind);

// The spool intake: moves the jobs of a drop folder into its intake folder, hands each to its
// device, deletes it, and opens the spool flag again. One Intake per drop folder. A job is
// taken only once the folder watch says it is whole, so a file Borea is still writing is left
// alone. Where the watch names the files that arrived, a pass takes those without listing the
// folder; a pass finds nothing to do without looking when the watch saw no change there and
// the last pass left nothing behind.
class Intake {
 public:
  // At most this many jobs are handed off per pass; further files wait for the next pass.
  static constexpr int kMaxJobsPerPass = 101;
  // Passes a spool is held after jobs went back to its drop folder: the first time, then
  // doubling up to the longest (about a second, then about a minute, at two passes a second).
  static constexpr int kFirstHold = 2;
  static constexpr int kLongestHold = 128;

  Intake(const Files& files, DiagLog& log, FolderWatch& watch, IniSnapshot& settings,
         DeviceHandlers& devices)
      : files_(files), log_(log), watch_(watch), settings_(settings), devices_(devices) {}

  // One pass. Ends by writing the kind's spool flag "-1" into `file_ini`: the one place a
  // pass opens its spool again.
  void PrelevaSpool(std::string cartella_origine, const std::string& file_ini,
                    std::string cartella_destinazione, SpoolKind tipo);

  // True when the last pass stopped at kMaxJobsPerPass with jobs still waiting.
  bool stopped_at_cap() const { return stopped_at_cap_; }

 private:
  struct Job {
    std::string path;         // as the devices get it: the intake folder's path and the name
    std::string native;       // where it lies
    std::string drop_native;  // where it was dropped
  };

  // The native path of a spool folder, whether a folder is there, and whether it is there with
  // its name as written.
  std::string Locate(const std::string& folder, bool* there, bool* as_written) const;
  // Creates a missing spool folder (a failure is logged); its native path.
  std::string Create(const std::string& folder);
  // The drop folder: where the last pass found it, while the watch still follows it there.
  std::string DropFolder(const std::string& origine, bool* there);
  // The intake folder (created when missing): where the last pass found it. A move into it
  // that fails makes IntakeFolderAgain look for it again, and create it if it went.
  std::string IntakeFolder(const std::string& destinazione);
  bool IntakeFolderAgain(std::string* dest);
  // The names of the whole files in the drop folder (native path `drop`), at most
  // kMaxJobsPerPass of them: those the watch named, in the order they came, or else those
  // of a listing, in its order.
  std::vector<std::string> WholeFiles(const std::string& drop);
  // Moves the files named into the intake folder `destinazione` (native path `dest`),
  // replacing what stands there under the same name; the jobs that moved. A move that finds
  // the name free costs one call.
  std::vector<Job> MoveIn(const std::vector<std::string>& names, const std::string& drop,
                          const std::string& destinazione, std::string dest);
  bool MoveOverLeftover(const std::string& from, const std::string& to, const std::string& path);
  // Hands each job to the device of `tipo`, then deletes it if the device left it. A job the
  // device could not do (nothing of it could even be kept: a full disk) goes back into the
  // drop folder `drop` with the rest of the pass, and the spool is held for a while.
  void HandOff(const std::vector<Job>& jobs, SpoolKind tipo, const std::string& drop);
  bool HandOffOne(const Job& job, SpoolKind tipo);
  bool PutBack(const Job& job);

  const Files& files_;
  DiagLog& log_;
  FolderWatch& watch_;
  IniSnapshot& settings_;
  DeviceHandlers& devices_;
  // Spool folders found with their names as written at an earlier pass: looking again at each
  // pass would cost a look each, before the first job.
  struct Found {
    std::string folder, native;
  };
  Found drop_, in_;
  bool in_unchecked_ = false;  // this pass took the intake folder from an earlier one
  // What the next pass looks at besides what the watch names: a listing of the whole folder
  // (files were left there that only a listing finds again), and files the watch named that
  // were not taken yet (still being written, or past the cap).
  bool list_again_ = false;
  std::deque<std::string> known_;
  bool stopped_at_cap_ = false;
  int held_passes_ = 0;             // passes still to skip after jobs went back
  int hold_length_ = 0;             // the last hold, doubled at each hold in a row
  std::set<std::string> refused_;   // files whose move failed, said once each
  std::set<std::string> unnamed_;   // names a Windows path cannot hold, already logged
  std::set<std::string> not_made_;  // spool folders that could not be made, already logged
};

}  // namespace valico
