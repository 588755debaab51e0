// The drawing's speed: walking a drawing through acdbEntNext against the block table
// record's iterator in C++, the everyday LISP loop of entmake + entlast against
// entmake alone, and DXF filing against ezdxf and a plain copy of the file's bytes.
// Each benchmark times all sides in the same run and reports their ratios, so the
// figures compare on a machine that is busy with other work.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "HostSession.h"
#include "HostTesting.h"
#include "DxfFile.h"
#include "acedads.h"
#include "dbents.h"
#include "dbmtext.h"
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

// 1 000 layers made through the command line ((command "_.-LAYER" "_New" name ""):
// a command thread, four hand-offs and an undo step each) against entmake of the same
// layers, the raw baseline.
void CommandLayerLoop(benchmark::State& state) {
  Session session;
  constexpr int kCount = 1000;
  session.runtime().eval(tabrik::lisp::readFirst("(setvar \"CMDECHO\" 0)"));
  tabrik::lisp::Value byCommand = tabrik::lisp::readFirst(
      "(repeat " + std::to_string(kCount) +
      " (command \"_.-LAYER\" \"_New\" (strcat \"C\" (itoa (setq n (1+ n)))) \"\"))");
  tabrik::lisp::Value byEntmake = tabrik::lisp::readFirst(
      "(repeat " + std::to_string(kCount) +
      " (entmake (list '(0 . \"LAYER\") '(100 . \"AcDbSymbolTableRecord\")"
      " '(100 . \"AcDbLayerTableRecord\") (cons 2 (strcat \"E\" (itoa (setq n (1+ n)))))"
      " '(70 . 0))))");
  session.runtime().eval(tabrik::lisp::readFirst("(setq n 0)"));
  double commandSeconds = 0, entmakeSeconds = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    benchmark::DoNotOptimize(session.runtime().eval(byCommand));
    commandSeconds += secondsSince(start);
    start = Clock::now();
    benchmark::DoNotOptimize(session.runtime().eval(byEntmake));
    entmakeSeconds += secondsSince(start);
  }
  auto runs = static_cast<double>(state.iterations());
  state.counters["command_s"] = commandSeconds / runs;
  state.counters["entmake_s"] = entmakeSeconds / runs;
  state.counters["command_over_entmake"] = entmakeSeconds > 0 ? commandSeconds / entmakeSeconds : 0;
}
BENCHMARK(CommandLayerLoop)->Unit(benchmark::kMillisecond)->Iterations(3);

// --- DXF filing -----------------------------------------------------------------------

// A field of /proc/self/status in kilobytes (VmRSS, VmHWM).
long statusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == field) {
      status >> value;
      return value;
    }
    status.ignore(1 << 12, '\n');
  }
  return 0;
}

// The name=value lines a command prints.
std::map<std::string, double> run(const std::string& command) {
  std::map<std::string, double> values;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return values;
  char line[512];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::string text(line);
    size_t equals = text.find('=');
    if (equals != std::string::npos) values[text.substr(0, equals)] = std::atof(&text[equals + 1]);
  }
  pclose(pipe);
  return values;
}

double copyFile(const std::string& from, const std::string& to) {
  auto start = Clock::now();
  std::FILE* in = std::fopen(from.c_str(), "rb");
  std::FILE* out = std::fopen(to.c_str(), "wb");
  std::vector<char> buffer(1 << 20);
  size_t n = 0;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0)
    std::fwrite(buffer.data(), 1, n, out);
  std::fclose(in);
  std::fclose(out);
  return secondsSince(start);
}

// Reads a DXF file in this process and prints the seconds it took and the growth of
// the peak resident set: the benchmark runs itself with --read-dxf for that, so that
// no memory of its own drawing is reused by the read.
int readDxfAndReport(const char* path) {
  long before = statusKb("VmRSS:");
  AcDbDatabase db(false);
  std::string narrow(path);
  auto start = Clock::now();
  Acad::ErrorStatus status = tabrik::dxf::readFile(&db, std::wstring(narrow.begin(), narrow.end()));
  double seconds = secondsSince(start);
  std::printf("read_s=%f\npeak_kb=%ld\n", status == Acad::eOk ? seconds : -1.0,
              statusKb("VmHWM:") - before);
  return status == Acad::eOk ? 0 : 1;
}

std::string g_self;  // this executable

// state.range(0) lines and a tenth as many MTexts, built through the C++ API, saved
// and read back by this host; ezdxf builds, saves and reads the same drawing in a
// subprocess; a plain copy of the file's bytes is the floor. Memory: the resident
// growth while building, and the peak growth while reading, per entity.
void DxfFiling(benchmark::State& state) {
  const auto lines = static_cast<int>(state.range(0));
  const int mtexts = lines / 10;
  const std::string dir = "/tmp/tabrik-dxf-bench-" + std::to_string(getpid());
  const std::string ours = dir + "-ours.dxf", theirs = dir + "-ezdxf.dxf", copy = dir + "-copy.dxf";
  for (auto _ : state) {
    long rssBefore = statusKb("VmRSS:");
    auto start = Clock::now();
    auto* db = new AcDbDatabase(true);
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, db->modelSpaceId(), AcDb::kForWrite);
    for (int i = 0; i < lines; ++i) {
      auto* line = new AcDbLine(AcGePoint3d(i, 0, 0), AcGePoint3d(i, 1, 0));
      space->appendAcDbEntity(line);
      line->close();
    }
    for (int i = 0; i < mtexts; ++i) {
      auto* text = new AcDbMText;
      text->setLocation(AcGePoint3d(i, 2, 0));
      text->setTextHeight(2.5);
      text->setContents((L"Text number " + std::to_wstring(i)).c_str());
      space->appendAcDbEntity(text);
      text->close();
    }
    space->close();
    double buildSeconds = secondsSince(start);
    long builtKb = statusKb("VmRSS:") - rssBefore;
    start = Clock::now();
    if (tabrik::dxf::writeFile(db, std::wstring(ours.begin(), ours.end())) != Acad::eOk)
      state.SkipWithError("the drawing was not saved");
    double writeSeconds = secondsSince(start);
    delete db;
    std::ifstream probe(ours, std::ios::binary | std::ios::ate);
    auto fileBytes = static_cast<double>(probe.tellg());
    double copySeconds = copyFile(ours, copy);
    auto ourRead = run(g_self + " --read-dxf " + ours);
    double readSeconds = ourRead["read_s"];
    double readPeakKb = ourRead["peak_kb"];
    if (!(readSeconds > 0)) state.SkipWithError("the drawing was not read back");

    auto written = run("/usr/bin/python3 " BENCH_DIR "/dxf_ezdxf.py write " + theirs + " " +
                       std::to_string(lines) + " " + std::to_string(mtexts));
    auto read = run("/usr/bin/python3 " BENCH_DIR "/dxf_ezdxf.py read " + ours);
    const double entities = lines + mtexts;
    state.counters["file_MB"] = fileBytes / 1e6;
    state.counters["ours_build_s"] = buildSeconds;
    state.counters["ours_write_s"] = writeSeconds;
    state.counters["ours_read_s"] = readSeconds;
    state.counters["copy_s"] = copySeconds;
    state.counters["ezdxf_build_s"] = written["build_s"];
    state.counters["ezdxf_write_s"] = written["save_s"];
    state.counters["ezdxf_read_s"] = read["read_s"];
    state.counters["write_vs_ezdxf"] = written["save_s"] / writeSeconds;
    state.counters["build_write_vs_ezdxf"] =
        (written["build_s"] + written["save_s"]) / (buildSeconds + writeSeconds);
    state.counters["read_vs_ezdxf"] = read["read_s"] / readSeconds;
    state.counters["write_over_copy"] = writeSeconds / copySeconds;
    state.counters["read_over_copy"] = readSeconds / copySeconds;
    state.counters["built_B_per_entity"] = static_cast<double>(builtKb) * 1024 / entities;
    state.counters["read_peak_B_per_entity"] = readPeakKb * 1024 / entities;
    state.counters["ezdxf_read_peak_B_per_entity"] = read["peak_kb"] * 1024 / entities;
    state.counters["ezdxf_read_entities"] = read["entities"];
  }
  std::remove(ours.c_str());
  std::remove(theirs.c_str());
  std::remove(copy.c_str());
}
BENCHMARK(DxfFiling)->Arg(100000)->Arg(1000000)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  tabrik::dxf::install();
  if (argc == 3 && std::string(argv[1]) == "--read-dxf") return readDxfAndReport(argv[2]);
  char self[4096];
  ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  g_self = length > 0 ? std::string(self, static_cast<size_t>(length)) : std::string(argv[0]);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
