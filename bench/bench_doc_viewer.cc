// The document viewer over a document of 100 000 lines: opening (counting the lines), the first
// screen, a page down, a jump to the end; and, as the peer in the same run, reaching the last
// page by reading the document from its start, which is what the viewer would do without its
// line index. The CPU column is the figure to read: each screen must take well under 1 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/console.h"
#include "ui/document/doc_viewer.h"
#include "ui/document/document.h"
#include "ui/screen.h"

namespace {

constexpr long kLines = 100000;

// A report-like document in a directory of its own, the headless screen open on it.
struct FIXTURE {
  std::string dir, path;
  FIXTURE() {
    char templ[] = "/tmp/bench_doc_XXXXXX";
    if (!mkdtemp(templ)) std::abort();
    dir = templ;
    path = dir + "/raport.txt";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    for (long i = 0; i < kLines; ++i)
      std::fprintf(f, "%8ld  Towar numer %-8ld  %12.2f  %12.2f  szt.\r\n", i, i, i * 1.25, i * 2.5);
    std::fclose(f);
    console_select(kConsoleHeadless);
    if (screen_open() != 0) std::abort();
  }
  ~FIXTURE() {
    doc_close();
    screen_close();
    std::remove(path.c_str());
    rmdir(dir.c_str());
  }
};

FIXTURE& Fixture() {
  static FIXTURE f;
  return f;
}

void BM_OpenAndCountLines(benchmark::State& state) {
  FIXTURE& f = Fixture();
  for (auto _ : state) {
    if (doc_open_file(f.path.c_str(), 2) != 0) std::abort();
  }
  if (doc_lines() != kLines) std::abort();
}
BENCHMARK(BM_OpenAndCountLines)->Unit(benchmark::kMillisecond);

void BM_FirstScreen(benchmark::State& state) {
  FIXTURE& f = Fixture();
  if (doc_open_file(f.path.c_str(), 2) != 0) std::abort();
  TXTDOCWINDOW w;
  txtdoc_init(&w);
  w.open = 1;
  for (auto _ : state) twindow_repaint(&w);
}
BENCHMARK(BM_FirstScreen)->Unit(benchmark::kMicrosecond);

// Page down through the whole document, one page per iteration, starting over at the end.
void BM_PageDown(benchmark::State& state) {
  FIXTURE& f = Fixture();
  if (doc_open_file(f.path.c_str(), 2) != 0) std::abort();
  TXTDOCWINDOW w;
  txtdoc_init(&w);
  w.open = 1;
  const KeyEvent pgdn{0, kScanPgDn, 0}, home{0, kScanHome, 0};
  for (auto _ : state) {
    if (w.top >= kLines - 21) {
      state.PauseTiming();
      w.on_key(home);
      state.ResumeTiming();
    }
    w.on_key(pgdn);
  }
}
BENCHMARK(BM_PageDown)->Unit(benchmark::kMicrosecond);

void BM_HomeEnd(benchmark::State& state) {
  FIXTURE& f = Fixture();
  if (doc_open_file(f.path.c_str(), 2) != 0) std::abort();
  TXTDOCWINDOW w;
  txtdoc_init(&w);
  w.open = 1;
  const KeyEvent end{0, kScanEnd, 0}, home{0, kScanHome, 0};
  for (auto _ : state) {
    w.on_key(end);
    w.on_key(home);
  }
  state.SetItemsProcessed(state.iterations() * 2);  // screens
}
BENCHMARK(BM_HomeEnd)->Unit(benchmark::kMicrosecond);

// The peer: the last page reached by reading every line before it.
void BM_LastPageByReadingFromTheStart(benchmark::State& state) {
  FIXTURE& f = Fixture();
  if (doc_open_file(f.path.c_str(), 2) != 0) std::abort();
  char line[kDocLineMax + 1];
  for (auto _ : state) {
    if (doc_seek_line(0) != 0) std::abort();
    for (long i = 0; i < kLines; ++i) benchmark::DoNotOptimize(doc_read_line(line, sizeof line));
  }
}
BENCHMARK(BM_LastPageByReadingFromTheStart)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
