// The host's speed: a tight LISP loop, an external function called from LISP with
// five arguments and a list result, and the bridge's overhead over calling the same
// handler directly with a prepared argument list.
#include <benchmark/benchmark.h>

#include <chrono>

#include "HostSession.h"
#include "HostTesting.h"
#include "acedads.h"
#include "acutads.h"
#include "aced/ads/ExternalCall.h"
#include "aced/doc/DocManager.h"
#include "lisp/Reader.h"

namespace {

constexpr int kLoopCount = 100000;
constexpr int kCode = 100;

// Reads its five arguments and returns them as a list, as a typical module function
// takes a record and hands one back.
int fiveArguments() {
  resbuf* args = acedGetArgs();
  int count = 0;
  for (resbuf* rb = args; rb != nullptr; rb = rb->rbnext) ++count;
  resbuf* result = acutBuildList(RTLB, RTSHORT, count, RTSTR, L"five", RTREAL, 2.5, RTLE, 0);
  acedRetList(result);
  acutRelRb(result);
  acutRelRb(args);
  return RSRSLT;
}

class Session {
 public:
  Session() {
    tabrik::acad::SessionOptions options;
    options.noModule = true;
    options.quiet = true;
    m_session = std::make_unique<tabrik::acad::HostSession>(options);
    m_session->start();
    acedDefun(L"bench5", kCode);
    acedRegFunc(fiveArguments, kCode);
  }
  tabrik::lisp::Runtime& runtime() { return *m_session->scriptRuntime(); }

 private:
  std::unique_ptr<tabrik::acad::HostSession> m_session;
};

void LispLoop(benchmark::State& state) {
  Session session;
  tabrik::lisp::Value form = tabrik::lisp::readFirst(
      "(progn (setq i 0) (while (< i " + std::to_string(kLoopCount) + ") (setq i (1+ i))))");
  for (auto _ : state) benchmark::DoNotOptimize(session.runtime().eval(form));
  state.counters["loop_iterations_per_s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kLoopCount, benchmark::Counter::kIsRate);
}
BENCHMARK(LispLoop)->Unit(benchmark::kMillisecond);

void ExternalCallFromLisp(benchmark::State& state) {
  Session session;
  tabrik::lisp::Value form = tabrik::lisp::readFirst("(bench5 1 2.5 \"text\" '(1.0 2.0 3.0) T)");
  for (auto _ : state) benchmark::DoNotOptimize(session.runtime().eval(form));
  double lispSeconds = 0;
  double directSeconds = 0;
  // The same number of calls of the handler itself, with the arguments the bridge
  // would have built, prepared once.
  ads_point point = {1, 2, 3};
  resbuf* prepared =
      acutBuildList(RTSHORT, 1, RTREAL, 2.5, RTSTR, L"text", RT3DPOINT, point, RTT, 0);
  tabrik::acad::Document* document = tabrik::acad::docManager().current();
  const int64_t calls = std::max<int64_t>(state.iterations(), 1000);
  auto start = std::chrono::steady_clock::now();
  for (int64_t i = 0; i < calls; ++i) benchmark::DoNotOptimize(session.runtime().eval(form));
  lispSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  start = std::chrono::steady_clock::now();
  for (int64_t i = 0; i < calls; ++i) {
    tabrik::acad::ExternalCall call;
    tabrik::acad::runExternal(*document, kCode, tabrik::acad::copyResbufChain(prepared), call);
    benchmark::DoNotOptimize(call.result.get());
  }
  directSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  acutRelRb(prepared);
  state.counters["calls_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["direct_ns"] = directSeconds / calls * 1e9;
  state.counters["bridge_overhead_ratio"] = directSeconds > 0 ? lispSeconds / directSeconds : 0;
}
BENCHMARK(ExternalCallFromLisp);

}  // namespace

BENCHMARK_MAIN();
