// _Stampanti.ini with 10,000 printers, on the real program: the CPU time (user + system, from
// the child's resource usage) of `valico printers` and of the service's start
// (`valico run --ticks 1`: the start-up, one tick and the exit), beside the same commands on a
// home with 3 printers. Each figure is the median of RUNS runs, after one run not counted.
//
//   valico_printers_cpu_bench VALICO [RUNS]
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// `count` printers of 3 to 5 keys each, all on this machine's own addresses.
std::string Declarations(int count) {
  std::string text = "; printers of this till\r\n";
  for (int i = 0; i < count; ++i) {
    text += "[Printer " + std::to_string(i) + "]\r\nPorta=COM" + std::to_string(i % 9 + 1) +
            ":\r\nUscita=escpos:tcp://127.0.0." + std::to_string(i % 250 + 1) + ":9100\r\n";
    if (i % 2) text += "Dpi=203\r\n";
    if (i % 3) text += "Larghezza=576\r\n";
  }
  return text;
}

struct Cost {
  double cpu_ms = 0, wall_ms = 0;
};

Cost RunOnce(const std::vector<std::string>& args) {
  std::vector<std::string> copy = args;
  std::vector<char*> argv;
  for (auto& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ) != 0) {
    std::perror("spawn");
    std::exit(2);
  }
  posix_spawn_file_actions_destroy(&fa);
  int status = 0;
  rusage ru{};
  wait4(pid, &status, 0, &ru);
  Cost c;
  c.wall_ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  c.cpu_ms = (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 +
             (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    std::fprintf(stderr, "%s %s ended with status %d\n", args[0].c_str(), args.back().c_str(),
                 status);
  return c;
}

Cost Median(const std::vector<std::string>& args, int runs) {
  RunOnce(args);
  std::vector<double> cpu, wall;
  for (int i = 0; i < runs; ++i) {
    Cost c = RunOnce(args);
    cpu.push_back(c.cpu_ms);
    wall.push_back(c.wall_ms);
  }
  std::sort(cpu.begin(), cpu.end());
  std::sort(wall.begin(), wall.end());
  return {cpu[cpu.size() / 2], wall[wall.size() / 2]};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s VALICO [RUNS]\n", argv[0]);
    return 2;
  }
  const std::string valico = argv[1];
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const fs::path root =
      fs::temp_directory_path() / ("printers-cpu-bench-" + std::to_string(getpid()));
  std::printf("%-26s %-22s %-22s\n", "", "3 printers", "10,000 printers");
  struct Command {
    const char* name;
    std::vector<std::string> tail;
  };
  const Command commands[] = {{"valico printers", {"printers"}},
                              {"valico run --ticks 1", {"run", "--ticks", "1"}}};
  for (const Command& command : commands) {
    Cost costs[2];
    int i = 0;
    for (int count : {3, 10000}) {
      fs::path home = root / std::to_string(count);
      fs::create_directories(home);
      std::ofstream(home / "_Valico.ini", std::ios::binary) << "[Varie]\r\nBorea_Setting=0\r\n";
      std::ofstream(home / "_Stampanti.ini", std::ios::binary) << Declarations(count);
      std::vector<std::string> args = {valico, "--home", home.string()};
      args.insert(args.end(), command.tail.begin(), command.tail.end());
      costs[i++] = Median(args, runs);
    }
    std::printf("%-26s CPU %6.1f ms (%5.1f wall) CPU %6.1f ms (%5.1f wall)  %s\n", command.name,
                costs[0].cpu_ms, costs[0].wall_ms, costs[1].cpu_ms, costs[1].wall_ms,
                costs[1].cpu_ms <= 100 ? "<= 100 ms" : "ABOVE 100 ms");
  }
  fs::remove_all(root);
  return 0;
}
