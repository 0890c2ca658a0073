#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/command_line_split.h"
#include "platform/diag_log.h"
#include "platform/files.h"
#include "platform/processes.h"

extern char** environ;

namespace valico {
namespace {

bool EndsWithNoCase(const std::string& s, std::string_view tail) {
  if (s.size() < tail.size()) return false;
  for (size_t i = 0; i < tail.size(); ++i) {
    char a = s[s.size() - tail.size() + i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (a != tail[i]) return false;
  }
  return true;
}

ProgramAndArguments ResolveProgram(const std::string& line, const Files& files) {
  return SplitProgram(line, [&files](const std::string& name) { return files.IsFile(name); });
}

// A batch file written the Windows way ends its lines with CR LF, and the shell would take
// each CR as part of the line's last word (a password "pw1" would arrive as "pw1\r"). Such a
// script is handed to the shell without its CRs ("sh -c SCRIPT FILE ARGS...", so $0 is still
// the file), and the file stays as Windows expects it. A file too large to pass that way runs
// as it is.
std::vector<std::string> ShellArguments(const std::string& native) {
  constexpr std::size_t kMaxScript = 100000;  // one argument may hold 128 KiB on Linux
  std::string script;
  if (ReadNativeFile(native, kMaxScript, &script, nullptr) != ReadStatus::kRead ||
      script.find('\r') == std::string::npos || script.find('\0') != std::string::npos)
    return {"/bin/sh", native};
  std::string lines;
  for (size_t i = 0; i < script.size(); ++i) {
    if (script[i] != '\r') {
      lines += script[i];
    } else if (i + 1 >= script.size() || script[i + 1] != '\n') {
      lines += '\n';  // a line that ends at a CR alone
    }
  }
  return {"/bin/sh", "-c", lines, native};
}

// The children started here that have not ended yet, and the one thread that reaps them all.
// The thread sleeps in poll() on a pidfd per child (and on a pipe that says a child was
// added), and collects a child with waitpid on that pid alone the moment it ends: no zombie is
// left even if nobody waits, and the status of a child someone else started is never taken.
// It runs only while children do, also after the Processes object is gone.
class Reaper : public std::enable_shared_from_this<Reaper> {
 public:
  Reaper() {
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
  }
  ~Reaper() {
    for (int fd : wake_)
      if (fd >= 0) ::close(fd);
  }

  // Watches a child just started. False (the child cannot be waited for) when no thread
  // could be started to reap it.
  bool Add(pid_t pid, std::string* why) {
    // A child without a pidfd (an old kernel, no descriptors left) is looked at every 100 ms.
    int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    std::lock_guard lock(mu_);
    auto child = running_.emplace(pid, pidfd);
    if (thread_running_) {
      char byte = 0;
      if (wake_[1] >= 0 && ::write(wake_[1], &byte, 1) < 0) {
        // The pipe is full: the thread is due to wake up anyway.
      }
      return true;
    }
    // The reaper must never take a signal meant for the process (the service loop collects
    // SIGINT and SIGTERM with sigtimedwait): it starts with every signal blocked.
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &old);
    try {
      std::thread([self = shared_from_this()] { self->Run(); }).detach();
      thread_running_ = true;
    } catch (const std::system_error& e) {
      *why = e.what();
      Forget(child);
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return thread_running_;
  }

  bool Wait(pid_t pid, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mu_);
    auto gone = [&] { return running_.count(pid) == 0; };
    if (timeout.count() < 0) {
      ended_.wait(lock, gone);
      return true;
    }
    return ended_.wait_for(lock, timeout, gone);
  }

 private:
  using Children = std::multimap<pid_t, int>;  // pid -> its pidfd or -1; a reused pid may
                                               // briefly be there twice

  void Run() {
    for (;;) {
      std::vector<pollfd> fds;
      std::vector<std::pair<pid_t, int>> children;
      {
        std::lock_guard lock(mu_);
        if (running_.empty()) {
          thread_running_ = false;
          return;
        }
        children.assign(running_.begin(), running_.end());
      }
      bool sweep = false;
      if (wake_[0] >= 0) fds.push_back({wake_[0], POLLIN, 0});
      for (const auto& [pid, pidfd] : children) {
        if (pidfd >= 0) fds.push_back({pidfd, POLLIN, 0});
        sweep |= pidfd < 0;
      }
      ::poll(fds.data(), fds.size(), sweep || wake_[0] < 0 ? 100 : -1);
      char drain[64];
      while (wake_[0] >= 0 && ::read(wake_[0], drain, sizeof drain) > 0) {
      }
      for (const auto& [pid, pidfd] : children) {
        int status = 0;
        pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == 0 || (r < 0 && errno == EINTR)) continue;  // still running
        std::lock_guard lock(mu_);
        for (auto it = running_.lower_bound(pid); it != running_.end() && it->first == pid; ++it) {
          if (it->second == pidfd) {
            Forget(it);
            break;
          }
        }
        ended_.notify_all();
      }
    }
  }

  // Drops a child from the watch list (with mu_ held).
  void Forget(Children::iterator it) {
    if (it->second >= 0) ::close(it->second);
    running_.erase(it);
  }

  std::mutex mu_;
  std::condition_variable ended_;
  Children running_;
  bool thread_running_ = false;
  int wake_[2];
};

class LinuxProcesses : public Processes {
 public:
  LinuxProcesses(DiagLog& log, const Files& files, std::string wine)
      : log_(log), files_(files), wine_(std::move(wine)), reaper_(std::make_shared<Reaper>()) {}

  ProcessId Start(const std::string& command_line, WindowState, std::string* err) override {
    ProgramAndArguments r = ResolveProgram(command_line, files_);
    if (r.program.empty()) return Fail(err, "cannot start a program: the command line is empty");
    std::string native = files_.Native(r.program);

    std::vector<std::string> argv;
    std::string exe;
    bool search_path = false;
    if (EndsWithNoCase(r.program, ".bat") || EndsWithNoCase(r.program, ".cmd")) {
      exe = "/bin/sh";
      argv = ShellArguments(native);
    } else if (EndsWithNoCase(r.program, ".exe")) {
      exe = wine_;
      search_path = wine_.find('/') == std::string::npos;
      argv = {exe, native};
    } else {
      exe = native;
      argv = {native};
    }
    // The interpreter would start and then fail; say plainly that the file is missing.
    if (exe != native && !files_.IsFile(r.program))
      return Fail(err, "cannot start " + r.program + ": no such file " + native);
    argv.insert(argv.end(), r.args.begin(), r.args.end());

    pid_t pid = 0;
    std::string why;
    if (!Spawn(exe, search_path, argv, &pid, &why))
      return Fail(err, "cannot start " + r.program + " (" + exe + "): " + why);
    if (!reaper_->Add(pid, &why)) {
      // No reaper: the child runs on but cannot be waited for.
      log_.Error("process " + std::to_string(pid) + " cannot be watched: " + why);
    }
    log_.Debug("started process " + std::to_string(pid) + ": " + command_line);
    return pid;
  }

  bool Wait(ProcessId pid, std::chrono::milliseconds timeout) override {
    return reaper_->Wait(static_cast<pid_t>(pid), timeout);
  }

 private:
  static ProcessId Fail(std::string* err, const std::string& why) {
    if (err) *err = why;
    return 0;
  }

  // The spawn attributes and file actions of a child, destroyed with this object.
  struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    bool has_actions = false, has_attr = false;
    ~SpawnSetup() {
      if (has_attr) posix_spawnattr_destroy(&attr);
      if (has_actions) posix_spawn_file_actions_destroy(&actions);
    }
  };

  // Records the first failing set-up call: its name and the reason.
  static bool Check(int rc, const char* call, std::string* why) {
    if (rc != 0 && why->empty()) *why = std::string(call) + ": " + strerror(rc);
    return rc == 0;
  }

  static bool Spawn(const std::string& exe, bool search_path, const std::vector<std::string>& args,
                    pid_t* pid, std::string* why) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    SpawnSetup s;
    why->clear();
    if (!Check(posix_spawn_file_actions_init(&s.actions), "posix_spawn_file_actions_init", why))
      return false;
    s.has_actions = true;
    if (!Check(posix_spawnattr_init(&s.attr), "posix_spawnattr_init", why)) return false;
    s.has_attr = true;
    bool ok = Check(posix_spawn_file_actions_addopen(&s.actions, 0, "/dev/null", O_RDONLY, 0),
                    "posix_spawn_file_actions_addopen", why);
    // Ports and files Valico holds open stay Valico's.
    ok = ok && Check(posix_spawn_file_actions_addclosefrom_np(&s.actions, 3),
                     "posix_spawn_file_actions_addclosefrom_np", why);
    // The service loop blocks its stop signals; the child must not inherit that, nor a
    // handler's disposition.
    sigset_t none, defaults;
    sigemptyset(&none);
    sigfillset(&defaults);
    ok = ok && Check(posix_spawnattr_setsigmask(&s.attr, &none), "posix_spawnattr_setsigmask", why);
    ok = ok && Check(posix_spawnattr_setsigdefault(&s.attr, &defaults),
                     "posix_spawnattr_setsigdefault", why);
    // Its own process group, so Ctrl+C in Valico's terminal does not stop a driver mid-job.
    ok = ok && Check(posix_spawnattr_setpgroup(&s.attr, 0), "posix_spawnattr_setpgroup", why);
    ok = ok &&
         Check(posix_spawnattr_setflags(
                   &s.attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP),
               "posix_spawnattr_setflags", why);
    if (!ok) return false;
    int rc = search_path ? posix_spawnp(pid, exe.c_str(), &s.actions, &s.attr, argv.data(), environ)
                         : posix_spawn(pid, exe.c_str(), &s.actions, &s.attr, argv.data(), environ);
    if (rc != 0) *why = strerror(rc);
    return rc == 0;
  }

  DiagLog& log_;
  const Files& files_;
  std::string wine_;
  std::shared_ptr<Reaper> reaper_;
};

}  // namespace

std::unique_ptr<Processes> MakeProcesses(DiagLog& log, const Files& files,
                                         const std::string& wine) {
  return std::make_unique<LinuxProcesses>(log, files, wine.empty() ? "wine" : wine);
}

namespace {

// The executable file `name` names: itself when it holds a "/", else the first on PATH.
std::string Executable(const std::string& name) {
  if (name.find('/') != std::string::npos) return ::access(name.c_str(), X_OK) == 0 ? name : "";
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/bin:/bin";
  for (size_t begin = 0; begin <= folders.size();) {
    size_t end = std::min(folders.find(':', begin), folders.size());
    std::string candidate = folders.substr(begin, end - begin) + "/" + name;
    if (end > begin && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    begin = end + 1;
  }
  return "";
}

}  // namespace

bool FindProgram(const Files& files, const std::string& command_line, const std::string& wine,
                 std::string* program, std::string* runner, std::string* why) {
  ProgramAndArguments r = ResolveProgram(command_line, files);
  if (r.program.empty()) {
    *why = "the command line is empty";
    return false;
  }
  *program = files.Native(r.program);
  runner->clear();
  if (!files.IsFile(r.program)) {
    *why = "no such file " + *program;
    return false;
  }
  if (EndsWithNoCase(r.program, ".bat") || EndsWithNoCase(r.program, ".cmd")) {
    *runner = "/bin/sh";
  } else if (EndsWithNoCase(r.program, ".exe")) {
    *runner = Executable(wine.empty() ? "wine" : wine);
    if (runner->empty()) {
      *why = "the program that runs .exe files, " + (wine.empty() ? "wine" : wine) +
             ", is not found or cannot be run (--wine)";
      return false;
    }
  } else if (::access(program->c_str(), X_OK) != 0) {
    *why = *program + " cannot be run: " + strerror(errno);
    return false;
  }
  return true;
}

}  // namespace valico
