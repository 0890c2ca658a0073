// Drop -> device, measured on the real program as Borea meets it: a release build of valico
// runs with a DPT-282 pre-bill printer and an ASEM display on pseudo-terminals; jobs are
// dropped at random moments and the time from the drop to the first byte at the terminal is
// taken. Then bursts of pre-bills dropped at once, each checked to arrive exactly once, with
// the CPU they cost and the system calls per job.
// Beside each figure, measured in the same run: the floor, job_floor.c (a program that only
// waits for the folder's notice and opens, reads, writes to the terminal and deletes each
// job), its folder at the same depth as the program folder; and, when given, another valico
// (an older build).
//
//   valico_drop_bench [--home DIR] [--drops N] [--bursts N,N,...] [--no-strace]
//                     VALICO [OTHER_VALICO]
//
// --home is the program folder (created, and removed at the end; default: a temporary
// folder), e.g. /var/lib/valico-bench or /home/cassa/.wine/drive_c/Valico.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
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
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "fake_printers.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using bench::Clock;
using bench::Of;
using bench::Percentiles;
using bench::Read;
using bench::Terminal;
using bench::Write;
using namespace std::chrono_literals;

std::string Numbered(const char* prefix, int i) { return prefix + std::to_string(i); }

pid_t Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), environ) != 0) pid = 0;
  posix_spawn_file_actions_destroy(&fa);
  return pid;
}

// CPU time of every thread of a process, in seconds (the kernel's own count).
double CpuSeconds(pid_t pid) {
  double ns = 0;
  std::error_code ec;
  for (const auto& t : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
    std::ifstream in(t.path() / "schedstat");
    double run = 0;
    if (in >> run) ns += run;
  }
  return ns / 1e9;
}

// A pseudo-terminal whose far end the program under test opens; we read what it writes.
// Something that takes the pre-bills of a drop folder to a terminal: a valico, or the floor.
class Taker {
 public:
  virtual ~Taker() {
    if (pid_ > 0) kill(pid_, SIGTERM), waitpid(pid_, nullptr, 0);
    fs::remove_all(home_);
  }
  pid_t pid() const { return pid_; }
  const fs::path& home() const { return home_; }
  fs::path drop() const { return home_ / "CortBorea"; }
  fs::path staging() const { return home_ / "staging"; }
  // What the terminal receives last for each job.
  virtual std::string_view end_of_job() const = 0;

  Terminal printer, display;

 protected:
  explicit Taker(fs::path home) : home_(std::move(home)) {
    fs::remove_all(home_);
    fs::create_directories(staging());
  }
  fs::path home_;
  pid_t pid_ = 0;
};

class Valico : public Taker {
 public:
  Valico(const std::string& binary, const fs::path& home) : Taker(home) {
    Write(home_ / "_Valico.ini",
          "[Varie]\r\nBorea_Setting=0\r\nCort_Active=-1\r\nCort_Printer=DPT-282\r\nCort_COM=5\r\n"
          "Cort_Sett=115200,N,8,1\r\nDisplay_Active=-1\r\nDisplay_Type=ASEM\r\n"
          "Display_File=C:\\Valico\\Display.txt\r\nDisplay_COM=6\r\n"
          "Display_Parametri=9600,N,8,1\r\n");
    fs::create_directories(home_ / "drive_c/Valico");
    pid_ = Spawn({binary, "--home", home_.string(), "--com", "5=" + printer.device, "--com",
                  "6=" + display.device, "run"});
    auto end = Clock::now() + 20s;
    while (Clock::now() < end &&
           Read(home_ / "_Valico.ini").find("RunTimeBorea") == std::string::npos)
      std::this_thread::sleep_for(20ms);
    std::this_thread::sleep_for(600ms);  // past the first tick
  }
  std::string_view end_of_job() const override { return "\x1bm"; }
};

class Floor : public Taker {
 public:
  Floor(const std::string& binary, const fs::path& home) : Taker(home) {
    fs::create_directories(drop());
    pid_ = Spawn({binary, drop().string(), printer.device});
    std::this_thread::sleep_for(100ms);
  }
  std::string_view end_of_job() const override { return "\r\n"; }
};

enum class How { kMovedIn, kClosedByWriter };

// Drops one pre-bill; ms from drop to first byte, or nothing when it did not arrive.
std::optional<double> PrebillDrop(Taker& v, int i, How how) {
  std::string job = Numbered("N2:01:Tavolo ", i) + "\r\n";
  std::string name = Numbered("job", i) + ".txt";
  Clock::time_point t0;
  if (how == How::kMovedIn) {
    Write(v.staging() / name, job);
    t0 = Clock::now();
    fs::rename(v.staging() / name, v.drop() / name);
  } else {
    {
      std::ofstream out(v.drop() / name, std::ios::binary);
      out << job;
    }
    t0 = Clock::now();
  }
  auto done = [&](const std::string& s) { return s.find(v.end_of_job()) != std::string::npos; };
  Clock::time_point first;
  if (!v.printer.ReadUntil(done, 5s, &first)) return std::nullopt;
  v.printer.pending.clear();
  return std::chrono::duration<double, std::milli>(first - t0).count();
}

// Drops `n` pre-bills to each taker at random moments, taking turns drop by drop, so that
// each sees the machine as the others do; the percentiles of each.
std::vector<Percentiles> PrebillDrops(const std::vector<Taker*>& takers, int n, How how,
                                      std::mt19937& rng) {
  std::vector<std::vector<double>> ms(takers.size());
  std::uniform_int_distribution<int> pause(0, 500);
  for (int i = 0; i < n; ++i)
    for (size_t k = 0; k < takers.size(); ++k) {
      std::this_thread::sleep_for(std::chrono::milliseconds(pause(rng)));
      if (std::optional<double> t = PrebillDrop(*takers[k], i, how)) ms[k].push_back(*t);
    }
  std::vector<Percentiles> out;
  for (const auto& m : ms) out.push_back(Of(m));
  return out;
}

Percentiles DisplayDrops(Valico& v, int n, std::mt19937& rng) {
  std::vector<double> ms;
  std::uniform_int_distribution<int> pause(0, 500);
  for (int i = 0; i < n; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(pause(rng)));
    Write(v.staging() / "Display.txt", Numbered("CAFFE ", i) + "\r\n");
    auto t0 = Clock::now();
    fs::rename(v.staging() / "Display.txt", v.home() / "drive_c/Valico/Display.txt");
    Clock::time_point first;
    auto line_done = [](const std::string& s) { return s.find('\r') != std::string::npos; };
    if (!v.display.ReadUntil(line_done, 5s, &first)) continue;
    v.display.pending.clear();
    ms.push_back(std::chrono::duration<double, std::milli>(first - t0).count());
  }
  return Of(ms);
}

struct BurstResult {
  double seconds = 0, cpu = 0;
  bool exact = false;
};

// `n` pre-bills renamed in at once: seconds until the last is printed, the taker's CPU
// seconds meanwhile, and whether each arrived exactly once.
BurstResult Burst(Taker& v, int n) {
  for (int i = 0; i < n; ++i)
    Write(v.staging() / Numbered("b", i), Numbered("N2:01:Conto ", i) + "\r\n");
  double cpu0 = CpuSeconds(v.pid());
  auto t0 = Clock::now();
  for (int i = 0; i < n; ++i)
    fs::rename(v.staging() / Numbered("b", i), v.drop() / Numbered("b", i));
  size_t counted = 0, scanned = 0;  // counts as it goes: the text grows to megabytes
  auto all = [&](const std::string& s) {
    for (size_t at; (at = s.find("Conto ", scanned)) != std::string::npos; scanned = at + 6)
      ++counted;
    scanned = std::max(scanned, s.size() < 5 ? 0 : s.size() - 5);
    return counted >= static_cast<size_t>(n);
  };
  BurstResult r;
  bool done = v.printer.ReadUntil(all, 300s);
  r.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  r.cpu = CpuSeconds(v.pid()) - cpu0;
  std::map<int, int> seen;
  const std::string& s = v.printer.pending;
  for (size_t at = s.find("Conto "); at != std::string::npos; at = s.find("Conto ", at + 6))
    ++seen[std::atoi(s.c_str() + at + 6)];
  r.exact = done && seen.size() == static_cast<size_t>(n) &&
            std::all_of(seen.begin(), seen.end(), [](auto& e) { return e.second == 1; });
  v.printer.pending.clear();
  return r;
}

struct CallCount {
  double per_job = 0;
  std::string top;  // the most frequent calls, per job
};

// A burst of `n` with strace counting the taker's system calls.
CallCount TracedBurst(Taker& v, int n) {
  fs::path out = v.home().parent_path() / (v.home().filename().string() + ".strace");
  pid_t tracer = Spawn({"strace", "-c", "-f", "-p", std::to_string(v.pid()), "-o", out.string()});
  std::this_thread::sleep_for(1s);  // attached
  BurstResult r = Burst(v, n);
  kill(tracer, SIGINT);
  waitpid(tracer, nullptr, 0);
  std::ifstream in(out);
  std::vector<std::pair<long, std::string>> calls;
  CallCount c;
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string x; words >> x;) w.push_back(x);
    // % time, seconds, usecs/call, calls, [errors,] syscall
    if (w.size() < 5 || !std::isdigit(static_cast<unsigned char>(w[3][0]))) continue;
    long count = std::atol(w[3].c_str());
    if (w.back() == "total")
      c.per_job = static_cast<double>(count) / n;
    else
      calls.emplace_back(count, w.back());
  }
  fs::remove(out);
  std::sort(calls.rbegin(), calls.rend());
  char buf[64];
  for (size_t i = 0; i < calls.size() && i < 6; ++i) {
    std::snprintf(buf, sizeof buf, "%s%.1f %s", i ? ", " : "", double(calls[i].first) / n,
                  calls[i].second.c_str());
    c.top += buf;
  }
  if (!r.exact) c.top += " (LOST OR DOUBLED)";
  return c;
}

std::string Latency(const Percentiles& p) {
  if (p.n == 0) return "no result";
  char buf[96];
  std::snprintf(buf, sizeof buf, "p50 %.2f ms, p99 %.2f ms", p.p50, p.p99);
  return buf;
}
std::string Ratio(double a, double b) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f×", b > 0 ? a / b : 0);
  return buf;
}
std::string BurstText(const BurstResult& r, int n) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%.3f s, CPU %.3f s (%.0f µs/job)%s", r.seconds, r.cpu,
                r.cpu / n * 1e6, r.exact ? "" : " LOST OR DOUBLED");
  return buf;
}

void Row(const std::string& what, const std::string& valico, const std::string& floor,
         const std::string& ratio) {
  std::printf("| %s | %s | %s | %s |\n", what.c_str(), valico.c_str(), floor.c_str(),
              ratio.c_str());
  std::fflush(stdout);
}

struct Options {
  fs::path home;
  int drops = 200;
  std::vector<int> bursts = {101, 1000, 10000};
  bool strace = true;
  std::string valico, other, floor;
};

bool Parse(int argc, char** argv, Options* o) {
  std::vector<std::string> rest;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    bool has_value = i + 1 < argc;
    if (a == "--home" && has_value)
      o->home = argv[++i];
    else if (a == "--drops" && has_value)
      o->drops = std::atoi(argv[++i]);
    else if (a == "--no-strace")
      o->strace = false;
    else if (a == "--bursts" && has_value) {
      o->bursts.clear();
      std::istringstream list(argv[++i]);
      for (std::string n; std::getline(list, n, ',');) o->bursts.push_back(std::atoi(n.c_str()));
    } else
      rest.push_back(a);
  }
  if (rest.empty() || rest.size() > 2) return false;
  o->valico = rest[0];
  if (rest.size() > 1) o->other = rest[1];
  if (o->home.empty()) o->home = fs::temp_directory_path() / Numbered("drop-bench-", getpid());
  o->home = fs::absolute(o->home).lexically_normal();
  if (o->home.filename().empty()) o->home = o->home.parent_path();
  o->floor = (fs::path(argv[0]).parent_path() / "job_floor").string();
  return true;
}

// The floor's folder beside the program folder, at the same depth.
fs::path FloorHome(const Options& o) { return o.home.string() + "-floor"; }

void Latencies(const Options& o, std::mt19937& rng) {
  Valico v(o.valico, o.home);
  Floor f(o.floor, FloorHome(o));
  std::optional<Valico> other;
  std::vector<Taker*> takers = {&v, &f};
  if (!o.other.empty()) takers.push_back(&other.emplace(o.other, o.home.string() + "-other"));
  std::vector<Percentiles> moved = PrebillDrops(takers, o.drops, How::kMovedIn, rng);
  std::vector<Percentiles> closed = PrebillDrops(takers, o.drops, How::kClosedByWriter, rng);
  Percentiles display = DisplayDrops(v, o.drops, rng);
  auto ratios = [](const Percentiles& a, const Percentiles& b) {
    return Ratio(a.p50, b.p50) + " / " + Ratio(a.p99, b.p99);
  };
  std::string n = std::to_string(o.drops);
  Row("pre-bill moved in, drop to first byte (" + n + " drops, turn about with the floor)",
      Latency(moved[0]), Latency(moved[1]), ratios(moved[0], moved[1]));
  Row("pre-bill written in place, writer's close to first byte", Latency(closed[0]),
      Latency(closed[1]), ratios(closed[0], closed[1]));
  Row("display file moved in, to first byte at the display", Latency(display), "", "");
  if (other) {
    Row("pre-bill moved in (other build)", Latency(moved[2]), "", ratios(moved[2], moved[1]));
    Row("writer's close (other build)", Latency(closed[2]), "", ratios(closed[2], closed[1]));
  }
}

void Bursts(const Options& o) {
  for (int n : o.bursts) {
    BurstResult mine, floor, other;
    {
      Valico v(o.valico, o.home);
      mine = Burst(v, n);
    }
    {
      Floor f(o.floor, FloorHome(o));
      floor = Burst(f, n);
    }
    Row(std::to_string(n) + " pre-bills dropped at once, all printed", BurstText(mine, n),
        BurstText(floor, n),
        Ratio(mine.seconds, floor.seconds) + " (CPU " + Ratio(mine.cpu, floor.cpu) + ")");
    if (o.other.empty()) continue;
    {
      Valico v(o.other, o.home);
      other = Burst(v, n);
    }
    Row(std::to_string(n) + " at once (other build)", BurstText(other, n), "", "");
  }
}

void SystemCalls(const Options& o) {
  constexpr int n = 1000;
  CallCount mine, floor;
  {
    Valico v(o.valico, o.home);
    mine = TracedBurst(v, n);
  }
  {
    Floor f(o.floor, FloorHome(o));
    floor = TracedBurst(f, n);
  }
  char a[32], b[32];
  std::snprintf(a, sizeof a, "%.1f", mine.per_job);
  std::snprintf(b, sizeof b, "%.1f", floor.per_job);
  Row("system calls per job (1,000 at once)", std::string(a) + " (" + mine.top + ")",
      std::string(b) + " (" + floor.top + ")", Ratio(mine.per_job, floor.per_job));
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!Parse(argc, argv, &o)) {
    std::fprintf(stderr,
                 "usage: %s [--home DIR] [--drops N] [--bursts N,N,...] [--no-strace] VALICO "
                 "[OTHER_VALICO]\n",
                 argv[0]);
    return 2;
  }
  size_t depth = std::distance(o.home.begin(), o.home.end()) - 1;
  std::printf("program folder %s (%zu folders deep); the floor's beside it\n\n", o.home.c_str(),
              depth);
  Row("What", "Valico", "Floor", "Ratio");
  Row("---", "---", "---", "---");
  std::mt19937 rng(12);
  if (o.drops > 0) Latencies(o, rng);
  Bursts(o);
  if (o.strace) SystemCalls(o);
  return 0;
}
