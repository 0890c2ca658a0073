#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <set>
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

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool EndsWithNoCase(const std::string& s, std::string_view tail) {
  if (s.size() < tail.size()) return false;
  for (size_t i = 0; i < tail.size(); ++i) {
    char a = s[s.size() - tail.size() + i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (a != tail[i]) return false;
  }
  return true;
}

// The program of a command line and its arguments, the program still a settings path.
struct Resolved {
  std::string program;
  std::vector<std::string> args;
};

// An unquoted program path may hold blanks: like CreateProcess, try each prefix that ends
// at a blank, shortest first, as it is and with ".exe" appended, and take the first that
// names a file. Without a match the first blank-separated word is the program.
Resolved ResolveProgram(const std::string& line, const Files& files) {
  std::vector<std::string> words = SplitCommandLine(line);
  Resolved r;
  if (words.empty()) return r;
  size_t begin = line.find_first_not_of(" \t");
  if (line[begin] != '"') {
    for (size_t end = begin; end <= line.size(); ++end) {
      if (end < line.size() && !IsBlank(line[end])) continue;
      if (end > begin && !IsBlank(line[end - 1])) {
        std::string candidate = line.substr(begin, end - begin);
        for (const std::string& name : {candidate, candidate + ".exe"}) {
          if (files.IsFile(name)) {
            r.program = name;
            r.args = SplitArguments(std::string_view(line).substr(end));
            return r;
          }
        }
      }
    }
  }
  r.program = words.front();
  r.args.assign(words.begin() + 1, words.end());
  return r;
}

// Children started here that have not ended yet. Each child has a thread of its own blocked
// in waitpid on that one pid: it reaps the child the moment it ends (no zombie is left even
// if nobody waits) and never collects the status of a child someone else started.
struct Children {
  std::mutex mu;
  std::condition_variable ended;
  std::multiset<pid_t> running;  // a reused pid may briefly be there twice
};

class PosixProcesses : public Processes {
 public:
  PosixProcesses(DiagLog& log, const Files& files, std::string wine)
      : log_(log), files_(files), wine_(std::move(wine)), children_(std::make_shared<Children>()) {}

  ProcessId Start(const std::string& command_line, WindowState, std::string* err) override {
    Resolved r = ResolveProgram(command_line, files_);
    if (r.program.empty()) return Fail(err, "cannot start a program: the command line is empty");
    std::string native = files_.Native(r.program);

    std::vector<std::string> argv;
    std::string exe;
    bool search_path = false;
    if (EndsWithNoCase(r.program, ".bat") || EndsWithNoCase(r.program, ".cmd")) {
      exe = "/bin/sh";
      argv = {exe, native};
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
    Watch(pid);
    log_.Debug("started process " + std::to_string(pid) + ": " + command_line);
    return pid;
  }

  bool Wait(ProcessId pid, std::chrono::milliseconds timeout) override {
    std::unique_lock lock(children_->mu);
    auto gone = [&] { return children_->running.count(static_cast<pid_t>(pid)) == 0; };
    if (timeout.count() < 0) {
      children_->ended.wait(lock, gone);
      return true;
    }
    return children_->ended.wait_for(lock, timeout, gone);
  }

 private:
  static ProcessId Fail(std::string* err, const std::string& why) {
    if (err) *err = why;
    return 0;
  }

  static bool Spawn(const std::string& exe, bool search_path, const std::vector<std::string>& args,
                    pid_t* pid, std::string* why) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    // Ports and files Valico holds open stay Valico's.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    // The service loop blocks its stop signals; the child must not inherit that, nor a
    // handler's disposition.
    sigset_t none, defaults;
    sigemptyset(&none);
    sigfillset(&defaults);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    // Its own process group, so Ctrl+C in Valico's terminal does not stop a driver mid-job.
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(
        &attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    int rc = search_path ? posix_spawnp(pid, exe.c_str(), &actions, &attr, argv.data(), environ)
                         : posix_spawn(pid, exe.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) *why = strerror(rc);
    return rc == 0;
  }

  void Watch(pid_t pid) {
    {
      std::lock_guard lock(children_->mu);
      children_->running.insert(pid);
    }
    // The reaper must never take a signal meant for the process (the service loop collects
    // SIGINT and SIGTERM with sigtimedwait): it starts with every signal blocked.
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &old);
    try {
      std::thread([children = children_, pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        std::lock_guard lock(children->mu);
        children->running.erase(children->running.find(pid));
        children->ended.notify_all();
      }).detach();
    } catch (const std::system_error& e) {
      // No thread, no reaper: the child runs on but cannot be waited for.
      log_.Error("process " + std::to_string(pid) + " cannot be watched: " + e.what());
      std::lock_guard lock(children_->mu);
      children_->running.erase(children_->running.find(pid));
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
  }

  DiagLog& log_;
  const Files& files_;
  std::string wine_;
  std::shared_ptr<Children> children_;
};

}  // namespace

std::unique_ptr<Processes> MakeProcesses(DiagLog& log, const Files& files,
                                         const std::string& wine) {
  return std::make_unique<PosixProcesses>(log, files, wine.empty() ? "wine" : wine);
}

}  // namespace valico
