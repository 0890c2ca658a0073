#include "spool/intake.h"

#include <algorithm>
#include <deque>
#include <exception>
#include <set>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/file_identity.h"
#include "platform/native_path.h"
#include "spool/device_handlers.h"

namespace valico {

const char* SpoolFlag(SpoolKind kind) {
  switch (kind) {
    case SpoolKind::kFiscal:
      return "MF_Vuoto";
    case SpoolKind::kReceipt:
      return "RF_Vuoto";
    case SpoolKind::kPrebill:
      break;
  }
  return "Cort_Vuoto";
}

// A spool folder is usually there with its name as written: then one look finds it.
std::string Intake::Locate(const std::string& folder, bool* there, bool* as_written) const {
  std::string native = files_.mapper().AsWritten(folder);
  std::optional<FileIdentity> id = IdentityOf(native);
  *as_written = id && id->is_folder;
  if (!id) {
    std::string resolved = files_.Native(folder);
    if (resolved != native) id = IdentityOf(resolved);
    native = resolved;
  }
  *there = id && id->is_folder;
  return native;
}

// A folder that cannot be made (a file stands in its place) is tried at every pass, and said
// once until it is made: twice a second, the log would soon rotate everything else away.
std::string Intake::Create(const std::string& folder) {
  std::string err;
  if (files_.CreateFolder(folder, &err))
    not_made_.erase(folder);
  else if (not_made_.insert(folder).second)
    log_.Error(err + "; it is tried again at every pass");
  return files_.Native(folder);
}

std::string Intake::DropFolder(const std::string& origine, bool* there) {
  if (drop_.folder == origine && watch_.Watching(drop_.native)) {
    *there = true;
    return drop_.native;
  }
  bool as_written = false;
  std::string native = Locate(origine, there, &as_written);
  drop_ = as_written ? Found{origine, native} : Found{};
  return native;
}

std::string Intake::IntakeFolder(const std::string& destinazione) {
  in_unchecked_ = !in_.folder.empty() && in_.folder == destinazione;
  if (in_unchecked_) return in_.native;
  bool there = false, as_written = false;
  std::string native = Locate(destinazione, &there, &as_written);
  in_ = as_written ? Found{destinazione, native} : Found{};
  return there ? native : Create(destinazione);
}

// Someone may have deleted or moved the intake folder since an earlier pass found it: it is
// looked for (and made) again, once a pass. True when a failed move is worth trying again.
bool Intake::IntakeFolderAgain(std::string* dest) {
  if (!in_unchecked_) return false;
  std::string folder = std::exchange(in_, Found{}).folder;
  *dest = IntakeFolder(folder);
  in_unchecked_ = false;
  return true;
}

std::vector<std::string> Intake::WholeFiles(const std::string& drop) {
  std::vector<std::string> names;
  std::unordered_set<std::string> taken;
  std::vector<std::string> waiting;
  std::set<std::string> unnamed_now;
  // Stops at the first file past the limit: a folder of ten thousand files costs a pass what
  // a folder of a hundred does. A name the watch gave is taken only while it is a plain file,
  // as a listing would list it (a pipe is no job: reading it could wait for ever).
  auto take = [&](const std::string& name, bool named = false) {
    if (static_cast<int>(names.size()) >= kMaxJobsPerPass) {
      stopped_at_cap_ = true;
      return false;
    }
    std::string native = InNativeFolder(drop, name);
    if (named && !IsNativeFile(native)) return true;
    // A name holding a backslash (possible on Linux) has no Windows path: the file stays,
    // and the log says why once for as long as it stays.
    if (name.find('\\') != std::string::npos) {
      if (!unnamed_.count(name))
        log_.Warn("job file \"" + name + "\" in " + drop + " is not taken: a backslash in " +
                  "its name cannot stand in a Windows path; rename it");
      unnamed_now.insert(name);
    } else if (!watch_.IsWhole(native)) {
      waiting.push_back(name);  // still being written: looked at again at every pass
    } else if (taken.insert(name).second) {
      names.push_back(name);
    }
    return true;
  };
  std::optional<std::vector<std::string>> arrivals = watch_.TakeArrivals(drop);
  if (!arrivals || list_again_) {
    list_again_ = false;
    known_.clear();  // the listing finds them
    std::string err;
    if (!VisitNativeFiles(drop, take, &err)) list_again_ = true;
    list_again_ = list_again_ || stopped_at_cap_;  // the names past the cap were not seen
    if (stopped_at_cap_)  // nor were their names: keep what was said of them
      unnamed_.insert(unnamed_now.begin(), unnamed_now.end());
    else
      unnamed_ = std::move(unnamed_now);
  } else {
    // The files the notices named since the last pass, after those still to look at from
    // earlier passes: no listing needed.
    known_.insert(known_.end(), arrivals->begin(), arrivals->end());
    for (; !known_.empty(); known_.pop_front())
      if (!take(known_.front(), /*named=*/true)) break;
    unnamed_.insert(unnamed_now.begin(), unnamed_now.end());
  }
  known_.insert(known_.end(), waiting.begin(), waiting.end());
  return names;
}

std::vector<Intake::Job> Intake::MoveIn(const std::vector<std::string>& names,
                                        const std::string& drop, const std::string& destinazione,
                                        std::string dest) {
  if (refused_.size() > 1000) refused_.clear();
  std::vector<Job> jobs;
  for (const std::string& name : names) {
    std::string from = InNativeFolder(drop, name), to = InNativeFolder(dest, name), why;
    auto move = [&] {
      return MoveWithoutReplace(from, to, &why) || MoveOverLeftover(from, to, destinazione + name);
    };
    bool moved = move();
    if (!moved && IntakeFolderAgain(&dest)) {
      to = InNativeFolder(dest, name);
      moved = move();
    }
    if (!moved) {
      // Still held by its writer, or the intake folder refuses it: try again next pass.
      list_again_ = true;
      if (refused_.insert(name).second)
        log_.Warn("cannot move " + from + " to " + to + ": " + why +
                  "; it is tried again at every pass");
      continue;
    }
    refused_.erase(name);
    jobs.push_back({destinazione + name, to, from});
  }
  return jobs;
}

// What an earlier run left in the intake folder under a job's name (its move found the name
// taken; on Windows also in another letter case) is deleted, and the move tried once more.
bool Intake::MoveOverLeftover(const std::string& from, const std::string& to,
                              const std::string& path) {
  std::string err;
  if (!files_.Exists(path)) return false;
  if (!files_.Remove(path, &err)) {
    log_.Warn(err);
    return false;
  }
  return MoveWithoutReplace(from, to, &err);
}

// True unless the device left the job to be taken again.
bool Intake::HandOffOne(const Job& job, SpoolKind tipo) {
  try {
    switch (tipo) {
      case SpoolKind::kFiscal:
        devices_.InviaFileMF(job.path);
        break;
      case SpoolKind::kPrebill:
        return devices_.LanciaFileCort(job.path);
      case SpoolKind::kReceipt:
        break;  // no device takes a receipt job here
    }
  } catch (const std::exception& e) {
    // A failed hand-off must not keep the rest of the pass from its devices.
    log_.Error("hand-off of " + job.native + " failed: " + e.what());
  }
  return true;
}

void Intake::HandOff(const std::vector<Job>& jobs, SpoolKind tipo, const std::string& drop) {
  std::size_t not_done = 0, put_back = 0;
  for (const Job& job : jobs) {
    // Once one job could not even be kept, the rest of the pass would fare no better.
    if (not_done > 0 || !HandOffOne(job, tipo)) {
      ++not_done;
      put_back += PutBack(job) ? 1 : 0;
      continue;
    }
    // The device may have deleted the job itself already.
    std::string err;
    if (!RemoveNativeIfPresent(job.native, &err)) log_.Warn(err);
  }
  if (tipo == SpoolKind::kPrebill && !jobs.empty()) devices_.EndOfPrebillPass();
  if (not_done == 0) {
    hold_length_ = 0;
    return;
  }
  hold_length_ = std::clamp(hold_length_ * 2, kFirstHold, kLongestHold);
  held_passes_ = hold_length_;
  list_again_ = true;
  if (put_back > 0)
    log_.Warn(std::to_string(put_back) + " job(s) could not be done and went back to " + drop +
              ": they are taken again in " + std::to_string(held_passes_) + " passes");
}

// A job whose documents could be neither queued nor kept goes back into the drop folder, so
// that nothing of it is lost; the spool is then left alone for a while (see held_passes_).
bool Intake::PutBack(const Job& job) {
  std::string why;
  if (MoveWithoutReplace(job.native, job.drop_native, &why)) return true;
  log_.Error("job " + job.native + " could not be done and cannot go back to " + job.drop_native +
             ": " + why + "; it stays where it is");
  return false;
}

void Intake::PrelevaSpool(std::string origine, const std::string& file_ini,
                          std::string destinazione, SpoolKind tipo) {
  if (held_passes_ > 0) {
    // Jobs were put back because they could not be done: give the cause (a full disk) time.
    --held_passes_;
    settings_.ScriviVarie(SpoolFlag(tipo), TypedValue::FromFlag(true), file_ini);
    return;
  }
  bool there = false;
  std::string drop = DropFolder(origine, &there);
  watch_.Follow(drop);
  stopped_at_cap_ = false;
  if (!watch_.TakeChange(drop) && !list_again_ && known_.empty()) {
    // Nothing arrived since a pass that left nothing behind: no job to take.
    settings_.ScriviVarie(SpoolFlag(tipo), TypedValue::FromFlag(true), file_ini);
    return;
  }
  if (!there) drop = Create(origine);
  std::string dest = IntakeFolder(destinazione);
  if (origine.empty() || origine.back() != '\\') origine += '\\';
  if (destinazione.empty() || destinazione.back() != '\\') destinazione += '\\';

  // Take every whole file before the first hand-off: a job dropped during the hand-offs
  // waits for the next pass.
  std::vector<Job> jobs = MoveIn(WholeFiles(drop), drop, destinazione, dest);
  HandOff(jobs, tipo, drop);
  // Another program may have written the flag during the hand-offs: it is opened all the same.
  if (!jobs.empty()) settings_.Refresh();
  settings_.ScriviVarie(SpoolFlag(tipo), TypedValue::FromFlag(true), file_ini);
}

}  // namespace valico
