// The print queue's own cost per pre-bill, in-process on the real core: PREBILLS pre-bill jobs
// go through the SAMSUNG routine to an ESC/POS network printer, and each PrintQueue::Submit
// (encode the job, write it, force it to the disk, rename it, log it, wake the printer's
// worker) is timed, beside a plain write + fdatasync + rename of the same bytes into the same
// file system (and the same with the folder forced to the disk too, as the queue does), taken
// in turns in the same loop. The printer is slow (a TCP sink reading BYTES_PER_SECOND that
// answers the status questions); at the end every pre-bill must have reached it once, in
// order, as its marker shows.
//
//   valico_queue_submit_bench [PREBILLS] [BYTES_PER_SECOND]
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "fake_printers.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/path_mapper.h"
#include "platform/regional.h"
#include "prebill/prebill_renderer.h"
#include "printing/print_queue.h"
#include "printing/queue_file.h"

namespace {

namespace fs = std::filesystem;
using bench::Clock;
using bench::Ms;
using bench::Write;
using namespace std::chrono_literals;

// A plain durable write: a temporary file, its data forced to the disk, renamed; with
// `folder_too`, the folder's entry forced to the disk as well.
void PlainWrite(const fs::path& path, const std::string& bytes, bool folder_too) {
  std::string tmp = path.string() + ".tmp";
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
      ::fdatasync(fd) != 0 || ::close(fd) != 0 || ::rename(tmp.c_str(), path.c_str()) != 0) {
    std::perror("plain write");
    std::exit(2);
  }
  if (!folder_too) return;
  int dir = ::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ::fsync(dir);
  ::close(dir);
}

// Hands every job to the print queue, timing the queue's Submit, and writes the same bytes
// the plain ways beside it, in turns so that neither always follows the other.
class TimedOutlet : public valico::PrintOutlet {
 public:
  TimedOutlet(valico::PrintQueue& queue, fs::path baseline)
      : queue_(queue), baseline_(std::move(baseline)) {
    fs::create_directories(baseline_);
  }
  valico::SubmitResult Submit(std::vector<valico::Document> documents,
                              const valico::SourceFile* source) override {
    const std::string bytes = valico::EncodeQueueFile(
        valico::QueueFile{documents.front().printer, 0, std::nullopt, documents});
    valico::SubmitResult result;
    const int turn = n_++;
    for (int k = 0; k < 3; ++k) {
      auto t0 = Clock::now();
      switch ((turn + k) % 3) {
        case 0:
          result = queue_.Submit(std::move(documents), source);
          queue_ms.push_back(Ms(Clock::now() - t0));
          break;
        case 1:
          PlainWrite(baseline_ / (std::to_string(turn) + ".a"), bytes, false);
          plain_ms.push_back(Ms(Clock::now() - t0));
          break;
        case 2:
          PlainWrite(baseline_ / (std::to_string(turn) + ".b"), bytes, true);
          plain_folder_ms.push_back(Ms(Clock::now() - t0));
          break;
      }
    }
    job_bytes = bytes.size();
    return result;
  }
  std::vector<double> queue_ms, plain_ms, plain_folder_ms;
  std::size_t job_bytes = 0;

 private:
  valico::PrintQueue& queue_;
  fs::path baseline_;
  int n_ = 0;
};

std::string Prebill(int n) {
  char marker[16];
  std::snprintf(marker, sizeof marker, "PB%05d", n);
  return std::string("Tavolo 5#0#8#0\r\nConto ") + marker +
         "#0#8#0\r\nPizza margherita  7.50#0#9#0\r\nAcqua naturale  1.50#0#9#0\r\n"
         "Caffe  1.20#0#9#0\r\nTotale  10.20#0#9#1\r\nGrazie e arrivederci#0#8#0\r\n#1\r\n";
}

// The pre-bill markers in the order they reached the printer.
std::vector<int> MarkersAt(const bench::SlowPrinter& printer, std::size_t* unconfirmed) {
  std::vector<int> seen;
  *unconfirmed = 0;
  for (const bench::Connection& c : printer.Connections()) {
    *unconfirmed += !c.confirmed();
    for (size_t at = c.bytes.find("PB"); at != std::string::npos; at = c.bytes.find("PB", at + 2))
      if (at + 7 <= c.bytes.size()) seen.push_back(std::atoi(c.bytes.substr(at + 2, 5).c_str()));
  }
  return seen;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int rate = argc > 2 ? std::atoi(argv[2]) : 10000;
  bench::SlowPrinter printer(rate);
  const fs::path home =
      fs::temp_directory_path() / ("queue-submit-bench-" + std::to_string(getpid()));
  fs::remove_all(home);
  Write(home / "_Stampanti.ini",
        "[SAMSUNG SRP-350 Preconto]\r\nPorta=COM4:\r\nUscita=escpos:tcp://" + printer.address() +
            "\r\n");
  fs::create_directories(home / "jobs");

  valico::PathMapper mapper(valico::PathMapper::Options{home.string(), {}});
  valico::Files files(mapper);
  auto log = valico::MakeDiagLog(home.string(), false);
  valico::HeadlessDialogs dialogs(*log);
  valico::PrintSystemOptions printing;
  printing.home = home.string();
  printing.log = log.get();
  auto system = valico::MakePrintSystem(printing);
  valico::PrintQueue queue(*system, *log, {home.string()});
  queue.Start();
  TimedOutlet outlet(queue, home / "baseline");
  valico::Printers printers(*system, outlet, *log);
  valico::Config cfg;
  cfg.Cort_Com = valico::TypedValue::FromInt(4);
  valico::Regional regional = valico::RegionalFor("it_IT");
  valico::InstalledPrinterPrebill prebill(cfg, regional, files, printers, dialogs, *log);

  const auto start = Clock::now();
  for (int i = 0; i < count; ++i) {
    fs::path job = home / "jobs" / ("conto" + std::to_string(i) + ".txt");
    Write(job, Prebill(i));
    prebill.StampaCortSamsung(job.string());
  }
  const double submitted_s = Ms(Clock::now() - start) / 1000;
  bool idle = queue.WaitUntilIdle(std::chrono::minutes(20));
  const double drained_s = Ms(Clock::now() - start) / 1000;
  queue.Stop();

  bench::Percentiles q = bench::Of(outlet.queue_ms), p = bench::Of(outlet.plain_ms),
                     f = bench::Of(outlet.plain_folder_ms);
  std::printf("job file %zu bytes, %d pre-bills\n", outlet.job_bytes, count);
  std::printf("%-46s p50 %6.3f ms  p99 %6.3f ms  max %7.3f ms (n=%zu)\n", "queue Submit", q.p50,
              q.p99, q.max, q.n);
  std::printf("%-46s p50 %6.3f ms  p99 %6.3f ms  max %7.3f ms (n=%zu)\n",
              "baseline: write + fdatasync + rename", p.p50, p.p99, p.max, p.n);
  std::printf("%-46s p50 %6.3f ms  p99 %6.3f ms  max %7.3f ms (n=%zu)\n",
              "baseline: the same + fsync of the folder", f.p50, f.p99, f.max, f.n);
  std::printf("queue Submit p50 %s 1 ms\n", q.p50 <= 1 ? "<=" : "ABOVE");

  std::size_t unconfirmed = 0;
  std::vector<int> seen = MarkersAt(printer, &unconfirmed);
  std::map<int, int> times;
  for (int m : seen) ++times[m];
  bool in_order = std::is_sorted(seen.begin(), seen.end());
  std::size_t twice = 0;
  for (auto& [m, n] : times) twice += n > 1;
  std::printf(
      "%d pre-bills to a printer reading %d bytes/s: submitted in %.2f s, %s after %.1f s; "
      "at the printer %zu of %d (%zu connections not confirmed), %s, %zu twice -> %s\n",
      count, rate, submitted_s, idle ? "all delivered" : "NOT DRAINED", drained_s, times.size(),
      count, unconfirmed, in_order ? "in order" : "OUT OF ORDER", twice,
      idle && times.size() == static_cast<std::size_t>(count) && in_order && twice == 0 ? "ok"
                                                                                        : "FAILED");
  fs::remove_all(home);
  return 0;
}
