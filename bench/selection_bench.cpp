// The model-space scans (ssgetX-all, -circle, -polyline, -block with and without a
// name) called from LISP over a drawing of 1 000 000 entities, against the limit: a bare
// walk of model space with the block table record's iterator in C++, which only steps
// the ids. A second floor walks the same iterator and opens every entity for read, the
// least any scan by class must do. All sides are timed in the same run; each reports
// nanoseconds per entity and its ratio over the bare walk (`vs_iterator`, clock, and
// `vs_iterator_cpu`, this thread's processor time, steadier on a busy machine).
//
// The host runs without loading the module file: this executable holds the module's
// code and registers its drawing functions as the drawing load does.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <string>

#include "HostSession.h"
#include "HostTesting.h"
#include "acedads.h"
#include "acutads.h"
#include "dbents.h"
#include "dbpl.h"
#include "dbsymtb.h"
#include "host/LispFunctionTable.h"
#include "lisp/Reader.h"

using namespace tabrik::arx;

namespace {

constexpr int kEntities = 1000000;

using Clock = std::chrono::steady_clock;

double threadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Timing {
  Timing() : wallStart(Clock::now()), cpuStart(threadCpuSeconds()) {}
  void stop() {
    wall = std::chrono::duration<double>(Clock::now() - wallStart).count();
    cpu = threadCpuSeconds() - cpuStart;
  }
  Clock::time_point wallStart;
  double cpuStart;
  double wall = 0;
  double cpu = 0;
};

AcDbDatabase* db() { return acdbHostApplicationServices()->workingDatabase(); }

// The result floor: every model-space name as a LISP list, straight from the ids.
constexpr int kNamesFloorCode = 30001;
int namesFloor() {
  AcDbBlockTableRecord* space = nullptr;
  acdbOpenObject(space, db()->modelSpaceId(), AcDb::kForRead);
  AcDbBlockTableRecordIterator* it = nullptr;
  space->newIterator(it);
  resbuf* head = acutNewRb(RTLB);
  resbuf* last = head;
  for (; !it->done(); it->step()) {
    AcDbObjectId id;
    it->getEntityId(id);
    resbuf* name = acutNewRb(RTENAME);
    acdbGetAdsName(name->resval.rlname, id);
    last = last->rbnext = name;
  }
  last->rbnext = acutNewRb(RTLE);
  delete it;
  space->close();
  acedRetList(head);
  acutRelRb(head);
  return RSRSLT;
}

AcDbObjectId makeBlock(const wchar_t* name) {
  AcDbBlockTable* table = nullptr;
  db()->getBlockTable(table, AcDb::kForWrite);
  auto* block = new AcDbBlockTableRecord();
  block->setName(name);
  AcDbObjectId id;
  table->add(id, block);
  auto* circle = new AcDbCircle(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, 0.5);
  block->appendAcDbEntity(circle);
  circle->close();
  block->close();
  table->close();
  return id;
}

// Model space of kEntities: of every ten, six lines, two circles, one lightweight
// polyline and one block reference (alternately "Valve" and "Pump").
class Fixture {
 public:
  static Fixture& get() {
    static Fixture fixture;
    return fixture;
  }
  tabrik::lisp::Value eval(const std::string& text) {
    return m_session->scriptRuntime()->eval(tabrik::lisp::readFirst(text));
  }

 private:
  Fixture() {
    tabrik::acad::SessionOptions options;
    options.noModule = true;
    options.quiet = true;
    m_session = std::make_unique<tabrik::acad::HostSession>(options);
    m_session->start();
    registerFunctionTable(drawingFunctionTable(), static_cast<int>(databaseFunctionTable().size()));
    acedDefun(L"bench_names", kNamesFloorCode);
    acedRegFunc(namesFloor, kNamesFloorCode);
    AcDbObjectId valve = makeBlock(L"Valve");
    AcDbObjectId pump = makeBlock(L"Pump");
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, db()->modelSpaceId(), AcDb::kForWrite);
    for (int i = 0; i < kEntities; ++i) {
      AcDbEntity* entity = nullptr;
      AcGePoint3d at(i % 1000, i / 1000, 0);
      switch (i % 10) {
        case 6:
        case 7:
          entity = new AcDbCircle(at, AcGeVector3d::kZAxis, 0.4);
          break;
        case 8: {
          auto* polyline = new AcDbPolyline();
          polyline->addVertexAt(0, AcGePoint2d(at.x, at.y));
          polyline->addVertexAt(1, AcGePoint2d(at.x + 0.5, at.y));
          entity = polyline;
          break;
        }
        case 9:
          entity = new AcDbBlockReference(at, (i / 10) % 2 == 0 ? valve : pump);
          break;
        default:
          entity = new AcDbLine(at, AcGePoint3d(at.x + 0.5, at.y + 0.5, 0));
          break;
      }
      space->appendAcDbEntity(entity);
      entity->close();
    }
    space->close();
  }
  ~Fixture() {
    tabrik::acad::testing::OutputCapture quiet;
    m_session.reset();
  }

  std::unique_ptr<tabrik::acad::HostSession> m_session;
};

// The limit: the iterator steps over model space and hands out each id.
Timing bareWalk(bool open) {
  Timing timing;
  AcDbBlockTableRecord* space = nullptr;
  acdbOpenObject(space, db()->modelSpaceId(), AcDb::kForRead);
  AcDbBlockTableRecordIterator* it = nullptr;
  space->newIterator(it);
  int64_t seen = 0;
  for (; !it->done(); it->step()) {
    if (open) {
      AcDbEntity* entity = nullptr;
      if (it->getEntity(entity, AcDb::kForRead) == Acad::eOk) {
        benchmark::DoNotOptimize(entity->isA());
        entity->close();
      }
    } else {
      AcDbObjectId id;
      it->getEntityId(id);
      benchmark::DoNotOptimize(id);
    }
    ++seen;
  }
  delete it;
  space->close();
  timing.stop();
  benchmark::DoNotOptimize(seen);
  return timing;
}

// One scan from LISP, state.range(0) selecting which; the list it returns is kept in a
// variable (and its length checked) so that the result's conversion is counted too.
const char* const kScans[] = {
    "(ssgetX-all)",   "(ssgetX-circle)",          "(ssgetX-polyline)",
    "(ssgetX-block)", "(ssgetX-block \"valve\")",
};
const int64_t kExpected[] = {kEntities, kEntities / 5, kEntities / 10, kEntities / 10,
                             kEntities / 20};

// The faster of two timings, by processor time.
Timing best(const Timing& a, const Timing& b) { return b.cpu < a.cpu ? b : a; }

constexpr int kRounds = 3;

void ModelSpaceScan(benchmark::State& state) {
  Fixture& fixture = Fixture::get();
  const auto which = static_cast<size_t>(state.range(0));
  state.SetLabel(kScans[which]);
  const std::string call = std::string("(progn (setq found ") + kScans[which] + ") nil)";
  Timing scan, bare, opened, names;
  for (auto _ : state) {
    bareWalk(false);  // warms the caches for all sides alike
    // The first names handed out are registered by the host; both LISP sides are timed
    // after that.
    fixture.eval("(progn (setq found (bench_names)) (setq found nil))");
    // Each side's best of a few rounds, interleaved, so that a burst of other work on
    // the machine does not land on one side only.
    for (int round = 0; round < kRounds; ++round) {
      Timing b = bareWalk(false);
      Timing o = bareWalk(true);
      Timing s;
      fixture.eval(call);
      s.stop();
      tabrik::lisp::Value length = fixture.eval("(length found)");
      fixture.eval("(setq found nil)");
      if (!length.isInt() || length.asInt() != kExpected[which])
        state.SkipWithError("the scan found another number of entities");
      bare = round == 0 ? b : best(bare, b);
      opened = round == 0 ? o : best(opened, o);
      scan = round == 0 ? s : best(scan, s);
      if (which == 0) {
        Timing f;
        fixture.eval("(progn (setq found (bench_names)) nil)");
        f.stop();
        fixture.eval("(setq found nil)");
        names = round == 0 ? f : best(names, f);
      }
    }
  }
  const double n = kEntities;
  state.counters["scan_ns_per_entity"] = scan.wall / n * 1e9;
  state.counters["scan_cpu_ns_per_entity"] = scan.cpu / n * 1e9;
  state.counters["iterator_cpu_ns_per_entity"] = bare.cpu / n * 1e9;
  state.counters["open_cpu_ns_per_entity"] = opened.cpu / n * 1e9;
  state.counters["vs_iterator"] = bare.wall > 0 ? scan.wall / bare.wall : 0;
  state.counters["vs_iterator_cpu"] = bare.cpu > 0 ? scan.cpu / bare.cpu : 0;
  state.counters["vs_open_cpu"] = opened.cpu > 0 ? scan.cpu / opened.cpu : 0;
  if (which == 0) {
    state.counters["names_floor_cpu_ns_per_entity"] = names.cpu / n * 1e9;
    state.counters["vs_names_floor_cpu"] = names.cpu > 0 ? scan.cpu / names.cpu : 0;
  }
}
BENCHMARK(ModelSpaceScan)->DenseRange(0, 4)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
