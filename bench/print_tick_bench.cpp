// A printer never holds the till, measured in-process on the real core: App's services, the
// start-up, and ServiceTicks::Tick driven by RunServiceLoop as `valico run` drives it, with
// every tick timed. For SECONDS (default 60) a display job (ASEM on a pseudo-terminal) is
// dropped every 300 ms and its drop -> first byte at the display taken, while 10 pre-bills
// (SAMSUNG, on the port of the receipt printer) and 3 two-page receipt forms (EPSON TM-L90
// Receipt), dropped halfway between two display jobs in the first 10 s, go to one network
// printer that
//   - accepts and never reads, or
//   - never completes the connection (its accept queue is full),
// beside the same run on a preview printer (anteprima:), whose documents are printed at once.
//
//   valico_print_tick_bench [SECONDS]
#include <pthread.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "fake_printers.h"
#include "platform/service_loop.h"
#include "shell/app.h"
#include "shell/service.h"
#include "shell/startup.h"

namespace {

namespace fs = std::filesystem;
using bench::Clock;
using bench::Ms;
using bench::Write;
using namespace std::chrono_literals;

// Written beside, then renamed in: the program sees the job whole.
void Drop(const fs::path& home, const fs::path& to, const std::string& data) {
  Write(home / "staging/job", data);
  fs::rename(home / "staging/job", to);
}

std::string Prebill(int n) {
  return "Tavolo " + std::to_string(n + 1) + "#0#8#0\r\nPizza margherita  7.50#0#9#0\r\n" +
         "Acqua naturale  1.50#0#9#0\r\nTotale  9.00#0#9#1\r\nGrazie#0#8#0\r\n#1\r\n";
}

std::string Receipt(int n) {
  std::string job = "I1 Trattoria da Bench\r\nI2 Ricevuta " + std::to_string(n + 1) + "\r\n";
  for (int k = 1; k <= 30; ++k) job += "RR Coperto " + std::to_string(k) + "  2.00\r\n";
  return job;
}

struct RunResult {
  std::vector<double> ticks_ms, display_ms;
  std::vector<double> job_ticks_ms;          // the ticks that queued a print job (as the log says)
  int prebills_left = 0, receipts_left = 0;  // job files the program had not taken at the end
  std::size_t previews = 0, queued_jobs = 0;
};

// The till's side: every 300 ms a display job; pre-bills one a second from 1 s on; receipt
// forms at 2, 5 and 8 s (each once the one before is taken).
void Drive(const fs::path& home, bench::Terminal& display, std::chrono::seconds length,
           RunResult* r) {
  const fs::path rf = home / "drive_c/Borea/Ricevuta.txt";
  auto line_done = [](const std::string& s) { return s.find('\r') != std::string::npos; };
  // A first display job, not timed: the display's port opens, its folder comes under watch.
  Drop(home, home / "drive_c/Valico/Display.txt", "BENVENUTI\r\n");
  display.ReadUntil(line_done, 5s);
  display.pending.clear();
  const auto start = Clock::now();
  int prebills = 0, receipts = 0;
  for (int i = 1; Clock::now() - start < length; ++i) {
    // The printer's jobs halfway between two display jobs: a display job waits for no tick
    // that is writing a print job to the disk.
    std::this_thread::sleep_until(start + 300ms * i - 150ms);
    auto t = Clock::now() - start;
    if (prebills < 10 && t >= 1s * (prebills + 1)) {
      Drop(home, home / "CortBorea" / ("conto" + std::to_string(prebills) + ".txt"),
           Prebill(prebills));
      ++prebills;
    }
    if (receipts < 3 && t >= 2s + 3s * receipts && !fs::exists(rf))
      Drop(home, rf, Receipt(receipts++));
    std::this_thread::sleep_until(start + 300ms * i);
    Drop(home, home / "drive_c/Valico/Display.txt", "CAFFE " + std::to_string(i) + "\r\n");
    auto dropped = Clock::now();
    Clock::time_point first;
    if (display.ReadUntil(line_done, 5s, &first)) r->display_ms.push_back(Ms(first - dropped));
    display.pending.clear();
  }
}

std::size_t FilesIn(const fs::path& folder) {
  std::error_code ec;
  std::size_t n = 0;
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::end(it);
       it.increment(ec))
    n += it->is_regular_file();
  return n;
}

RunResult Run(const std::string& output, std::chrono::seconds length) {
  static int count = 0;
  const fs::path home =
      fs::temp_directory_path() /
      ("print-tick-bench-" + std::to_string(getpid()) + "-" + std::to_string(++count));
  fs::remove_all(home);
  Write(home / "_Valico.ini",
        "[Varie]\r\nBorea_Setting=0\r\nCort_Active=-1\r\nCort_Printer=SAMSUNG\r\nCort_COM=4\r\n"
        "RF_Active=-1\r\nRF_Stampante=EPSON TM-L90 Receipt\r\nRF_Seriale=1\r\n"
        "RF_File=C:\\Borea\\Ricevuta.txt\r\nDisplay_Active=-1\r\nDisplay_Type=ASEM\r\n"
        "Display_File=C:\\Valico\\Display.txt\r\nDisplay_COM=6\r\n"
        "Display_Parametri=9600,N,8,1\r\n");
  Write(home / "_Stampanti.ini",
        "[EPSON TM-L90 Receipt]\r\nPorta=COM4:\r\nUscita=" + output + "\r\n");
  fs::create_directories(home / "drive_c/Valico");
  fs::create_directories(home / "drive_c/Borea");
  bench::Terminal display;
  valico::MachineOptions o;
  o.home = home.string();
  o.com_ports[6] = display.device;
  o.log_to_stderr = false;
  RunResult r;
  {
    valico::App app(o);
    valico::Context& ctx = app.ctx();
    valico::StartUp(ctx);
    valico::ServiceTicks ticks(ctx);
    const pthread_t loop = pthread_self();
    std::thread till([&] {
      Drive(home, display, length, &r);
      pthread_kill(loop, SIGTERM);  // the loop's own stop request
    });
    std::ifstream log(home / "Valico.log", std::ios::binary);
    valico::RunServiceLoop(
        500ms, 0,
        [&] {
          auto t0 = Clock::now();
          bool more = ticks.Tick();
          double ms = Ms(Clock::now() - t0);
          r.ticks_ms.push_back(ms);
          std::string added((std::istreambuf_iterator<char>(log)),
                            std::istreambuf_iterator<char>());
          log.clear();
          if (added.find(" queued (") != std::string::npos) r.job_ticks_ms.push_back(ms);
          return more;
        },
        ticks.Wake());
    till.join();
    for (const valico::PrinterQueueState& s : ctx.print_queue.States()) r.queued_jobs += s.jobs;
    ticks.Stop();
    valico::ShutDown(ctx);
  }
  r.prebills_left = static_cast<int>(FilesIn(home / "CortBorea") + FilesIn(home / "CortIN"));
  r.receipts_left = fs::exists(home / "drive_c/Borea/Ricevuta.txt");
  r.previews = FilesIn(home / "Anteprime") / 3;  // .txt, .png and .pdf per document
  fs::remove_all(home);
  return r;
}

void Report(const char* printer, const RunResult& r) {
  std::vector<double> others = r.ticks_ms;
  for (double ms : r.job_ticks_ms) others.erase(std::find(others.begin(), others.end(), ms));
  bench::Percentiles t = bench::Of(r.ticks_ms), j = bench::Of(r.job_ticks_ms),
                     o = bench::Of(others), d = bench::Of(r.display_ms);
  std::printf(
      "%-15s ticks p50 %5.2f p99 %6.2f max %6.2f ms (n=%zu); of them queueing a job p50 %5.2f "
      "max %6.2f ms (n=%zu), the others p99 %5.2f max %6.2f ms\n"
      "%-15s display p50 %5.2f p99 %6.2f max %6.2f ms (n=%zu); jobs left %d+%d, in the queue "
      "at the end %zu, previews %zu\n",
      printer, t.p50, t.p99, t.max, t.n, j.p50, j.max, j.n, o.p99, o.max, "", d.p50, d.p99, d.max,
      d.n, r.prebills_left, r.receipts_left, r.queued_jobs, r.previews);
}

}  // namespace

int main(int argc, char** argv) {
  std::chrono::seconds length(argc > 1 ? std::atoi(argv[1]) : 60);
  // Every thread blocks the stop signals: the one sent to the loop waits for its signalfd.
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);

  RunResult preview = Run("anteprima:Anteprime", length);
  Report("preview", preview);
  RunResult never_reads, never_connects;
  {
    bench::NeverReadingPrinter printer;
    never_reads = Run("escpos:tcp://" + printer.address(), length);
  }
  Report("never reads", never_reads);
  {
    bench::NeverConnectingPrinter printer;
    never_connects = Run("escpos:tcp://" + printer.address(), length);
  }
  Report("never connects", never_connects);

  bench::Percentiles base = bench::Of(preview.display_ms);
  for (auto [name, r] :
       {std::pair{"never reads", &never_reads}, {"never connects", &never_connects}}) {
    bench::Percentiles t = bench::Of(r->ticks_ms), d = bench::Of(r->display_ms);
    std::printf("%-16s tick p99 %s 20 ms; display p50 %.2fx, p99 %.2fx the preview run (%s)\n",
                name, t.p99 <= 20 ? "<=" : "ABOVE", d.p50 / base.p50, d.p99 / base.p99,
                d.p50 <= 2 * base.p50 && d.p99 <= 2 * base.p99 ? "within 2x" : "NOT within 2x");
  }
  return 0;
}
