// The drawing's speed: walking a drawing through acdbEntNext against the block table
// record's iterator in C++, and the everyday LISP loop of entmake + entlast against
// entmake alone. Each benchmark times both sides in the same run and reports their
// ratio, so the figures compare on a machine that is busy with other work.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "HostSession.h"
#include "HostTesting.h"
#include "acedads.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "lisp/Reader.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class Session {
 public:
  Session() {
    tabrik::acad::SessionOptions options;
    options.noModule = true;
    options.quiet = true;
    m_session = std::make_unique<tabrik::acad::HostSession>(options);
    m_session->start();
  }
  tabrik::lisp::Runtime& runtime() { return *m_session->scriptRuntime(); }
  static AcDbDatabase* db() { return acdbHostApplicationServices()->workingDatabase(); }

 private:
  std::unique_ptr<tabrik::acad::HostSession> m_session;
};

void fillModelSpace(int count) {
  AcDbBlockTableRecord* space = nullptr;
  acdbOpenObject(space, Session::db()->modelSpaceId(), AcDb::kForWrite);
  for (int i = 0; i < count; ++i) {
    auto* line = new AcDbLine(AcGePoint3d(i, 0, 0), AcGePoint3d(i, 1, 0));
    space->appendAcDbEntity(line);
    line->close();
  }
  space->close();
}

// Entities walked per run: state.range(0). Counters: ns per entity for both walks and
// entnext_over_iterator, the price of the ads walk over the C++ one.
void DrawingWalk(benchmark::State& state) {
  Session session;
  const auto count = static_cast<int>(state.range(0));
  fillModelSpace(count);
  double iteratorSeconds = 0, entnextSeconds = 0;
  int64_t walked = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, Session::db()->modelSpaceId(), AcDb::kForRead);
    AcDbBlockTableRecordIterator* it = nullptr;
    space->newIterator(it);
    int64_t seen = 0;
    for (; !it->done(); it->step()) {
      AcDbObjectId id;
      it->getEntityId(id);
      benchmark::DoNotOptimize(id);
      ++seen;
    }
    delete it;
    space->close();
    iteratorSeconds += secondsSince(start);

    start = Clock::now();
    ads_name at = {0, 0}, next;
    int64_t stepped = 0;
    while (acdbEntNext(at, next) == RTNORM) {
      at[0] = next[0];
      at[1] = next[1];
      ++stepped;
    }
    entnextSeconds += secondsSince(start);
    if (seen != count || stepped != count) state.SkipWithError("the walks missed entities");
    walked += count;
  }
  state.counters["iterator_ns"] = iteratorSeconds / static_cast<double>(walked) * 1e9;
  state.counters["entnext_ns"] = entnextSeconds / static_cast<double>(walked) * 1e9;
  state.counters["entnext_over_iterator"] =
      iteratorSeconds > 0 ? entnextSeconds / iteratorSeconds : 0;
}
BENCHMARK(DrawingWalk)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// 10 000 entities made from LISP with entmake, each followed by entlast, against the
// same loop without entlast (the drawing grows by 20 000 entities per run, so a cost
// that grew with the drawing would show across repetitions).
void EntmakeEntlastLoop(benchmark::State& state) {
  Session session;
  constexpr int kCount = 10000;
  const std::string make = "(entmake '((0 . \"LINE\") (10 0.0 0.0 0.0) (11 1.0 1.0 0.0)))";
  tabrik::lisp::Value withLast = tabrik::lisp::readFirst("(repeat " + std::to_string(kCount) + " " +
                                                         make + " (setq e (entlast)))");
  tabrik::lisp::Value alone =
      tabrik::lisp::readFirst("(repeat " + std::to_string(kCount) + " " + make + ")");
  double withSeconds = 0, aloneSeconds = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    benchmark::DoNotOptimize(session.runtime().eval(withLast));
    withSeconds += secondsSince(start);
    start = Clock::now();
    benchmark::DoNotOptimize(session.runtime().eval(alone));
    aloneSeconds += secondsSince(start);
  }
  auto runs = static_cast<double>(state.iterations());
  state.counters["entmake_entlast_s"] = withSeconds / runs;
  state.counters["entmake_alone_s"] = aloneSeconds / runs;
  state.counters["with_entlast_over_alone"] = aloneSeconds > 0 ? withSeconds / aloneSeconds : 0;
}
BENCHMARK(EntmakeEntlastLoop)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
