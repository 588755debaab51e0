// The host's speed: a tight LISP loop, an external function called from LISP with
// five arguments and a list result, and the bridge's overhead over calling the same
// handler directly with a prepared argument list; and the floor of every module
// function called from LISP: an external call that reads nothing and returns nothing,
// against a built-in function call.
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
constexpr int kEmptyCode = 101;

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

int nothing() { return RSRSLT; }

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
    acedDefun(L"bench0", kEmptyCode);
    acedRegFunc(nothing, kEmptyCode);
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

// The floor of the call path: 100 000 calls of an external function without arguments
// or result, against as many calls of a built-in (1+), in the same loop.
void EmptyExternalCall(benchmark::State& state) {
  Session session;
  const std::string count = std::to_string(kLoopCount);
  tabrik::lisp::Value external =
      tabrik::lisp::readFirst("(repeat " + count + " (bench0) (bench0) (bench0) (bench0))");
  tabrik::lisp::Value builtin =
      tabrik::lisp::readFirst("(repeat " + count + " (1+ 1) (1+ 1) (1+ 1) (1+ 1))");
  double externalSeconds = 0;
  double builtinSeconds = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(session.runtime().eval(external));
    externalSeconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(session.runtime().eval(builtin));
    builtinSeconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  const double calls = static_cast<double>(state.iterations()) * kLoopCount * 4;
  state.counters["external_ns_per_call"] = externalSeconds / calls * 1e9;
  state.counters["builtin_ns_per_call"] = builtinSeconds / calls * 1e9;
  state.counters["vs_builtin"] = builtinSeconds > 0 ? externalSeconds / builtinSeconds : 0;
}
BENCHMARK(EmptyExternalCall)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
