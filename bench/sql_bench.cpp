// tb_sql and tb_command called from LISP against the same statements run through the
// SQLite C API: a SELECT of 100 000 rows of 5 columns that LISP receives as record
// lists, and an UPDATE of the same 100 000 rows; the memory of a 3-column result
// against the same lists built in plain LISP; plus the Jet SQL translator's cost per
// statement, translated and from the statement cache, against SQLite's prepare. Each
// benchmark runs once and reports the time per row (or per statement) of both sides
// and their ratio: `vs_sqlite` on the clock, `vs_sqlite_cpu` on this thread's
// processor time.
//
// The host runs without loading the module file: this executable holds the module's
// code and registers its database functions in the drawing as the drawing load does.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>

#include <afxdao.h>

#include "HostSession.h"
#include "HostTesting.h"
#include "db/ConnectionList.h"
#include "host/DaoStartup.h"
#include "host/LispFunctionTable.h"
#include "jetsql/JetStatementCache.h"
#include "jetsql/JetTranslator.h"
#include "lisp/Reader.h"

using namespace tabrik::arx;

namespace {

constexpr int kRows = 100000;
constexpr int kTranslations = 20000;

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

// The rows both sides hold: 100 000 parts with a key, a code, a name, a weight and a
// date (an OLE date, as Date/Time is stored).
const char kSqliteFill[] =
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
    "INSERT INTO Parts (Code, Name, Weight, Made) SELECT i, 'part ' || i, i * 0.5, 45000 + i % "
    "1000 FROM n";
// The same rows in Jet's SQL, which has no recursive WITH: a cross join of digits.
const char kFill[] =
    "INSERT INTO Parts (Code, Name, Weight, Made) SELECT n, 'part ' & n, n * 0.5, 45000 + (n Mod "
    "1000) FROM (SELECT a.D * 10000 + b.D * 1000 + c.D * 100 + d.D * 10 + e.D + 1 AS n FROM Digits "
    "AS a, Digits AS b, Digits AS c, Digits AS d, Digits AS e)";
const char kSelect[] = "SELECT ID, Code, Name, Weight, Made FROM Parts";
const char kUpdate[] = "UPDATE Parts SET Weight = Weight + 1, Code = Code * 2";

// A LISP session with the database functions on an engine file, and an SQLite file
// with the same table and rows.
class Fixture {
 public:
  static Fixture& get() {
    static Fixture fixture;
    return fixture;
  }
  tabrik::lisp::Value eval(const std::string& text) {
    return m_session->scriptRuntime()->eval(tabrik::lisp::readFirst(text));
  }
  sqlite3* sqlite() { return m_sqlite; }

 private:
  Fixture() {
    char folder[] = "/tmp/tabrik_sql_bench_XXXXXX";
    m_folder = mkdtemp(folder) != nullptr ? folder : "/tmp";
    bool started = false;
    startDatabaseEngine(started);
    const std::string mdb = m_folder + "/parts.mdb";
    {
      CDaoDatabase database;
      database.Create(CString(mdb.c_str()));
      database.Execute(
          L"CREATE TABLE Parts (ID COUNTER PRIMARY KEY, Code LONG, Name TEXT(50), Weight DOUBLE, "
          L"Made DATETIME)");
      database.Execute(L"CREATE TABLE Digits (D LONG)");
      for (int d = 0; d < 10; ++d)
        database.Execute(CString(L"INSERT INTO Digits (D) VALUES (") + std::to_wstring(d).c_str() +
                         L")");
      database.Execute(CString(kFill));
      database.Execute(L"DROP TABLE Digits");
      database.Close();
    }
    tabrik::acad::SessionOptions options;
    options.noModule = true;
    options.quiet = true;
    m_session = std::make_unique<tabrik::acad::HostSession>(options);
    m_session->start();
    registerFunctionTable(databaseFunctionTable(), 0);
    db::AddDocumentRecord();
    eval("(tb_connect \"" + mdb + "\")");

    sqlite3_open((m_folder + "/parts.sqlite").c_str(), &m_sqlite);
    sqlite3_exec(m_sqlite,
                 "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
                 "CREATE TABLE Parts (ID INTEGER PRIMARY KEY AUTOINCREMENT, Code INTEGER, Name "
                 "TEXT COLLATE NOCASE,"
                 " Weight REAL, Made REAL);",
                 nullptr, nullptr, nullptr);
    sqlite3_exec(m_sqlite, kSqliteFill, nullptr, nullptr, nullptr);
  }
  ~Fixture() {
    {
      tabrik::acad::testing::OutputCapture quiet;
      m_session.reset();
    }
    db::discardAllConnections();
    sqlite3_close(m_sqlite);
    std::system(("rm -rf '" + m_folder + "'").c_str());
  }

  std::string m_folder;
  std::unique_ptr<tabrik::acad::HostSession> m_session;
  sqlite3* m_sqlite = nullptr;
};

void report(benchmark::State& state, const Timing& lisp, const Timing& sqlite, int operations) {
  state.counters["lisp_us_per_op"] = lisp.wall / operations * 1e6;
  state.counters["sqlite_us_per_op"] = sqlite.wall / operations * 1e6;
  state.counters["vs_sqlite"] = sqlite.wall > 0 ? lisp.wall / sqlite.wall : 0;
  state.counters["lisp_cpu_us_per_op"] = lisp.cpu / operations * 1e6;
  state.counters["sqlite_cpu_us_per_op"] = sqlite.cpu / operations * 1e6;
  state.counters["vs_sqlite_cpu"] = sqlite.cpu > 0 ? lisp.cpu / sqlite.cpu : 0;
}

// tb_sql's rows as LISP record lists, against stepping the same SELECT and reading
// every column of every row.
void SelectRows(benchmark::State& state) {
  Fixture& f = Fixture::get();
  for (auto _ : state) {
    Timing lisp;
    tabrik::lisp::Value n = f.eval(std::string("(length (tb_sql \"") + kSelect + "\"))");
    lisp.stop();
    benchmark::DoNotOptimize(n);

    sqlite3_stmt* select = nullptr;
    Timing direct;
    sqlite3_prepare_v2(f.sqlite(), kSelect, -1, &select, nullptr);
    while (sqlite3_step(select) == SQLITE_ROW) {
      benchmark::DoNotOptimize(sqlite3_column_int(select, 0));
      benchmark::DoNotOptimize(sqlite3_column_int(select, 1));
      benchmark::DoNotOptimize(sqlite3_column_text(select, 2));
      benchmark::DoNotOptimize(sqlite3_column_double(select, 3));
      benchmark::DoNotOptimize(sqlite3_column_double(select, 4));
    }
    sqlite3_finalize(select);
    direct.stop();
    report(state, lisp, direct, kRows);
  }
}
BENCHMARK(SelectRows)->Iterations(1)->Unit(benchmark::kMillisecond);

// A line of /proc/self/status in bytes ("VmRSS", "VmHWM").
double statusBytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::stod(line.substr(field.size() + 1)) * 1024;
  }
  return 0;
}

// The resident memory a LISP expression adds at its peak and keeps while its value is
// held (in the variable `rows`); freed memory is handed back first so that both start
// from the same floor.
struct MemoryUse {
  double peak = 0;
  double held = 0;
};
MemoryUse memoryOf(Fixture& f, const std::string& expression) {
  f.eval("(setq rows nil)");
  malloc_trim(0);
  const double before = statusBytes("VmRSS");
  std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
  f.eval("(setq rows " + expression + ")");
  MemoryUse use;
  use.peak = statusBytes("VmHWM") - before;
  malloc_trim(0);  // what was freed while the value was built is not held by it
  use.held = statusBytes("VmRSS") - before;
  f.eval("(setq rows nil)");
  malloc_trim(0);
  return use;
}

// The memory of a 3-column result as LISP record lists, at its peak (while the result
// is built) and held, against the same lists built in plain LISP.
void SelectMemory(benchmark::State& state) {
  Fixture& f = Fixture::get();
  for (auto _ : state) {
    const MemoryUse sql = memoryOf(f, "(tb_sql \"SELECT ID, Code, Name FROM Parts\")");
    const MemoryUse plain =
        memoryOf(f, "(progn (setq i 0 out nil) (repeat " + std::to_string(kRows) +
                        " (setq i (1+ i)) (setq out (cons (list (cons \"ID\" i) (cons \"Code\" i)"
                        " (cons \"Name\" (strcat \"part \" (itoa i)))) out))) (setq i nil) out)");
    state.counters["sql_peak_bytes_per_row"] = sql.peak / kRows;
    state.counters["sql_held_bytes_per_row"] = sql.held / kRows;
    state.counters["plain_lisp_bytes_per_row"] = plain.held / kRows;
    state.counters["peak_vs_plain"] = plain.held > 0 ? sql.peak / plain.held : 0;
    state.counters["held_vs_plain"] = plain.held > 0 ? sql.held / plain.held : 0;
  }
}
BENCHMARK(SelectMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// tb_command's UPDATE of every row, against the same UPDATE in one transaction.
void UpdateRows(benchmark::State& state) {
  Fixture& f = Fixture::get();
  for (auto _ : state) {
    Timing lisp;
    tabrik::lisp::Value n = f.eval(std::string("(tb_command \"") + kUpdate + "\")");
    lisp.stop();
    benchmark::DoNotOptimize(n);

    Timing direct;
    sqlite3_exec(f.sqlite(), kUpdate, nullptr, nullptr, nullptr);
    direct.stop();
    report(state, lisp, direct, kRows);
  }
}
BENCHMARK(UpdateRows)->Iterations(1)->Unit(benchmark::kMillisecond);

// The translator alone, per statement, on statements of the kinds the module sends.
void TranslateStatement(benchmark::State& state) {
  const char* statements[] = {
      "SELECT ID, Code, Name FROM Parts WHERE Name Like 'part 1*' AND Made >= #3/5/2024# ORDER BY "
      "Name",
      "UPDATE Parts SET Weight = Weight + 1 WHERE Code \\ 2 = 5 AND Name = \"x\"",
      "SELECT TOP 10 Name & '/' & Code AS Tag, IIf(Weight > 5, 'heavy', 'light') FROM Parts ORDER "
      "BY Weight DESC",
  };
  for (auto _ : state) {
    Timing translating;
    for (int i = 0; i < kTranslations; ++i)
      benchmark::DoNotOptimize(tabrik::dao::jetsql::translate(statements[i % 3]).sql.size());
    translating.stop();
    // The same statements again and again, as programs run them: a lookup each.
    tabrik::dao::jetsql::StatementCache cache;
    const std::string texts[] = {statements[0], statements[1], statements[2]};
    Timing cached;
    for (int i = 0; i < kTranslations; ++i)
      benchmark::DoNotOptimize(cache.translation(texts[i % 3], /*schemaVersion=*/1)->sql.size());
    cached.stop();
    state.counters["translate_us_per_statement"] = translating.wall / kTranslations * 1e6;
    state.counters["translate_cpu_us_per_statement"] = translating.cpu / kTranslations * 1e6;
    state.counters["cached_cpu_us_per_statement"] = cached.cpu / kTranslations * 1e6;
    state.counters["cached_vs_translate_cpu"] =
        translating.cpu > 0 ? cached.cpu / translating.cpu : 0;
  }
}
BENCHMARK(TranslateStatement)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
