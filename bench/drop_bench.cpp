// Drop -> device, measured on the real program as Borea meets it: a release build of valico
// runs with a DPT-282 pre-bill printer and an ASEM display on pseudo-terminals; jobs are
// dropped at random moments and the time from the drop to the first byte at the terminal is
// taken. Then bursts of pre-bills dropped at once, each checked to arrive exactly once.
// Beside each figure: the same measurement on a forwarder that does nothing but wait for the
// folder's notice and write a byte (the floor the system itself sets), and, when given, on
// another valico (an older build).
//
//   valico_drop_bench VALICO [OTHER_VALICO] [DROPS]
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

std::string Numbered(const char* prefix, int i) {
  std::string s(prefix);
  s += std::to_string(i);
  return s;
}

void Write(const fs::path& p, const std::string& data) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << data;
}

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A pseudo-terminal whose far end the program under test opens; we read what it writes.
struct Terminal {
  int master = -1, slave = -1;
  std::string device;
  std::string pending;
  Terminal() {
    char name[256];
    openpty(&master, &slave, name, nullptr, nullptr);
    device = name;
    fcntl(master, F_SETFL, O_NONBLOCK);
  }
  // Reads until `until` holds on what arrived, or `limit` passes; the time of the first byte.
  bool ReadUntil(const std::function<bool(const std::string&)>& until,
                 std::chrono::milliseconds limit, Clock::time_point* first = nullptr) {
    auto end = Clock::now() + limit;
    bool got_first = !pending.empty();
    while (!until(pending)) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
      if (left <= 0ms) return false;
      pollfd p{master, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
      char buf[65536];
      ssize_t n = read(master, buf, sizeof buf);
      if (n <= 0) continue;
      if (!got_first && first) *first = Clock::now();
      got_first = true;
      pending.append(buf, static_cast<size_t>(n));
    }
    return true;
  }
};

struct Percentiles {
  double p50, p99, max;
};
Percentiles Of(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  auto at = [&](double q) {
    return ms[std::min(ms.size() - 1, static_cast<size_t>(q * ms.size()))];
  };
  return {at(0.50), at(0.99), ms.back()};
}
void Report(const char* what, const char* who, const std::vector<double>& ms) {
  if (ms.empty()) return std::printf("%-34s %-10s no result\n", what, who), void();
  Percentiles p = Of(ms);
  std::printf("%-34s %-10s p50 %7.2f ms  p99 %7.2f ms  max %7.2f ms  (n=%zu)\n", what, who, p.p50,
              p.p99, p.max, ms.size());
}

// One valico under test, with its home, printer and display.
class Valico {
 public:
  explicit Valico(const std::string& binary)
      : home_(fs::temp_directory_path() /
              (Numbered("drop-bench-", getpid()) + Numbered("-", ++count_))) {
    fs::remove_all(home_);
    Write(home_ / "_Valico.ini",
          "[Varie]\r\nBorea_Setting=0\r\nCort_Active=-1\r\nCort_Printer=DPT-282\r\nCort_COM=5\r\n"
          "Cort_Sett=115200,N,8,1\r\nDisplay_Active=-1\r\nDisplay_Type=ASEM\r\n"
          "Display_File=C:\\Valico\\Display.txt\r\nDisplay_COM=6\r\n"
          "Display_Parametri=9600,N,8,1\r\n");
    fs::create_directories(home_ / "drive_c/Valico");
    fs::create_directories(home_ / "staging");
    std::vector<std::string> args = {binary,
                                     "--home",
                                     home_.string(),
                                     "--com",
                                     "5=" + printer.device,
                                     "--com",
                                     "6=" + display.device,
                                     "run"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn(&pid_, argv[0], &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    auto end = Clock::now() + 20s;
    while (Clock::now() < end &&
           Read(home_ / "_Valico.ini").find("RunTimeBorea") == std::string::npos)
      std::this_thread::sleep_for(20ms);
    std::this_thread::sleep_for(600ms);  // past the first tick
  }
  ~Valico() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    fs::remove_all(home_);
  }
  pid_t pid() const { return pid_; }
  const fs::path& home() const { return home_; }

  Terminal printer, display;

 private:
  static inline int count_ = 0;
  fs::path home_;
  pid_t pid_ = 0;
};

bool JobDone(const std::string& s) { return s.find("\x1bm") != std::string::npos; }
void TakeJob(Terminal& t) {
  size_t at = t.pending.find("\x1bm");
  t.pending.erase(0, at == std::string::npos ? t.pending.size() : at + 2);
}

enum class How { kMovedIn, kClosedByWriter };

// Drops `n` pre-bills one at a time at random moments; ms from drop to first byte.
std::vector<double> PrebillDrops(Valico& v, int n, How how, std::mt19937& rng) {
  std::vector<double> ms;
  std::uniform_int_distribution<int> pause(0, 500);
  for (int i = 0; i < n; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(pause(rng)));
    std::string job = Numbered("N2:01:Tavolo ", i) + "\r\n";
    std::string name = Numbered("job", i) + ".txt";
    Clock::time_point t0;
    if (how == How::kMovedIn) {
      Write(v.home() / "staging" / name, job);
      t0 = Clock::now();
      fs::rename(v.home() / "staging" / name, v.home() / "CortBorea" / name);
    } else {
      {
        std::ofstream out(v.home() / "CortBorea" / name, std::ios::binary);
        out << job;
      }
      t0 = Clock::now();
    }
    Clock::time_point first;
    if (!v.printer.ReadUntil(JobDone, 5s, &first)) continue;
    TakeJob(v.printer);
    ms.push_back(std::chrono::duration<double, std::milli>(first - t0).count());
  }
  return ms;
}

std::vector<double> DisplayDrops(Valico& v, int n, std::mt19937& rng) {
  std::vector<double> ms;
  std::uniform_int_distribution<int> pause(0, 500);
  for (int i = 0; i < n; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(pause(rng)));
    Write(v.home() / "staging/Display.txt", Numbered("CAFFE ", i) + "\r\n");
    auto t0 = Clock::now();
    fs::rename(v.home() / "staging/Display.txt", v.home() / "drive_c/Valico/Display.txt");
    Clock::time_point first;
    auto line_done = [](const std::string& s) { return s.find('\r') != std::string::npos; };
    if (!v.display.ReadUntil(line_done, 5s, &first)) continue;
    v.display.pending.clear();
    ms.push_back(std::chrono::duration<double, std::milli>(first - t0).count());
  }
  return ms;
}

// `n` pre-bills renamed in at once; seconds until the last is printed, and whether each
// arrived exactly once.
double Burst(Valico& v, int n, bool* exact) {
  for (int i = 0; i < n; ++i)
    Write(v.home() / "staging" / Numbered("b", i), Numbered("N2:01:Conto ", i) + "\r\n");
  auto t0 = Clock::now();
  for (int i = 0; i < n; ++i)
    fs::rename(v.home() / "staging" / Numbered("b", i), v.home() / "CortBorea" / Numbered("b", i));
  auto count = [&](const std::string& s) {
    size_t c = 0;
    for (size_t at = s.find("\x1bm"); at != std::string::npos; at = s.find("\x1bm", at + 2)) ++c;
    return c >= static_cast<size_t>(n);
  };
  bool done = v.printer.ReadUntil(count, std::chrono::milliseconds(120000));
  double s = std::chrono::duration<double>(Clock::now() - t0).count();
  std::map<int, int> seen;
  for (size_t at = v.printer.pending.find("Conto "); at != std::string::npos;
       at = v.printer.pending.find("Conto ", at + 6))
    ++seen[std::atoi(v.printer.pending.c_str() + at + 6)];
  *exact = done && seen.size() == static_cast<size_t>(n) &&
           std::all_of(seen.begin(), seen.end(), [](auto& e) { return e.second == 1; });
  v.printer.pending.clear();
  return s;
}

// The floor: a process that only waits for the folder's notice and writes a byte.
std::vector<double> FloorDrops(int n, std::mt19937& rng) {
  fs::path dir = fs::temp_directory_path() / Numbered("drop-bench-floor-", getpid());
  fs::create_directories(dir / "in");
  fs::create_directories(dir / "staging");
  Terminal t;
  pid_t child = fork();
  if (child == 0) {
    int fd = inotify_init1(0);
    inotify_add_watch(fd, (dir / "in").c_str(), IN_MOVED_TO);
    int out = open(t.device.c_str(), O_WRONLY | O_NOCTTY);
    char buf[4096];
    for (;;) {
      if (read(fd, buf, sizeof buf) <= 0) _exit(0);
      if (write(out, "x", 1) != 1) _exit(1);
    }
  }
  std::this_thread::sleep_for(100ms);
  std::vector<double> ms;
  std::uniform_int_distribution<int> pause(0, 500);
  for (int i = 0; i < n; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(pause(rng)));
    std::string name = Numbered("j", i);
    Write(dir / "staging" / name, "x");
    auto t0 = Clock::now();
    fs::rename(dir / "staging" / name, dir / "in" / name);
    Clock::time_point first;
    if (!t.ReadUntil([](const std::string& s) { return !s.empty(); }, 5s, &first)) continue;
    t.pending.clear();
    ms.push_back(std::chrono::duration<double, std::milli>(first - t0).count());
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  fs::remove_all(dir);
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s VALICO [OTHER_VALICO] [DROPS]\n", argv[0]);
    return 2;
  }
  std::string other = argc > 2 ? argv[2] : "";
  int drops = argc > 3 ? std::atoi(argv[3]) : 200;
  std::mt19937 rng(12);
  {
    Valico v(argv[1]);
    Report("pre-bill moved in", "valico", PrebillDrops(v, drops, How::kMovedIn, rng));
    Report("pre-bill closed by its writer", "valico",
           PrebillDrops(v, drops, How::kClosedByWriter, rng));
    Report("display file moved in", "valico", DisplayDrops(v, drops, rng));
  }
  Report("moved in, notice -> byte", "floor", FloorDrops(drops, rng));
  if (!other.empty()) {
    Valico v(other);
    Report("pre-bill moved in", "other", PrebillDrops(v, drops, How::kMovedIn, rng));
    Report("display file moved in", "other", DisplayDrops(v, drops, rng));
  }
  for (int n : {1000, 10000}) {
    for (const std::string& bin : {std::string(argv[1]), other}) {
      if (bin.empty()) continue;
      Valico v(bin);
      bool exact = false;
      double s = Burst(v, n, &exact);
      std::printf("%-34s %-10s %7.2f s  %s\n", (std::to_string(n) + " pre-bills at once").c_str(),
                  bin == argv[1] ? "valico" : "other", s,
                  exact ? "each printed once" : "LOST OR DOUBLED");
    }
  }
  return 0;
}
