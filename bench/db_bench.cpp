// The tb_ functions called from LISP against the same work done with the SQLite C
// API directly: 100 000 records appended one committed record at a time, walked from
// first to last reading each record, sought at random on an indexed Long and on an
// indexed Text field, and counted. Each benchmark runs once and reports the time per
// operation of both sides and their ratio: `vs_sqlite` on the clock, `vs_sqlite_cpu`
// on this thread's processor time, which a machine shared with other work disturbs
// less (waits for the disk count only in the former).
//
// The host runs without loading the module file: this executable holds the module's
// code and registers its database functions in the drawing as the drawing load does.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <afxdao.h>

#include "HostSession.h"
#include "HostTesting.h"
#include "acedads.h"
#include "db/ConnectionList.h"
#include "host/DaoStartup.h"
#include "host/LispFunctionTable.h"
#include "lisp/Reader.h"

using namespace tabrik::arx;

namespace {

constexpr int kRecords = 100000;
constexpr int kSeeks = 100000;
constexpr int kCounts = 1000;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double threadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Wall and processor time of one side of a comparison.
struct Timing {
  Timing() : wallStart(Clock::now()), cpuStart(threadCpuSeconds()) {}
  void stop() {
    wall = secondsSince(wallStart);
    cpu = threadCpuSeconds() - cpuStart;
  }
  Clock::time_point wallStart;
  double cpuStart;
  double wall = 0;
  double cpu = 0;
};

std::string partName(int i) { return "part " + std::to_string(i); }

// An external function that reads nothing and returns nothing: the floor of any
// module function called from LISP.
constexpr int kEmptyCode = 30000;
int nothing() { return RSRSLT; }

// The random keys both sides seek, the same for both.
std::vector<int> randomKeys() {
  std::mt19937 generator(20100);
  std::uniform_int_distribution<int> pick(1, kRecords);
  std::vector<int> keys(kSeeks);
  for (int& key : keys) key = pick(generator);
  return keys;
}

// One scratch folder, a LISP session with the database functions, and a SQLite file
// with the same table, for the whole run: the benchmarks build on each other in
// registration order (append fills both tables, the others read them).
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
    char folder[] = "/tmp/tabrik_db_bench_XXXXXX";
    m_folder = mkdtemp(folder) != nullptr ? folder : "/tmp";
    bool started = false;
    startDatabaseEngine(started);
    const std::string mdb = m_folder + "/parts.mdb";
    makeDatabase(CString(mdb.c_str()));

    tabrik::acad::SessionOptions options;
    options.noModule = true;
    options.quiet = true;
    m_session = std::make_unique<tabrik::acad::HostSession>(options);
    m_session->start();
    registerFunctionTable(databaseFunctionTable(), 0);
    db::AddDocumentRecord();
    eval("(tb_connect \"" + mdb + "\")");
    eval("(tb_table \"Parts\" \"PrimaryKey\")");
    acedDefun(L"bench_nothing", kEmptyCode);
    acedRegFunc(nothing, kEmptyCode);

    // The same schema, journal and commit rule as the engine's file.
    sqlite3_open((m_folder + "/parts.sqlite").c_str(), &m_sqlite);
    sqlite3_exec(m_sqlite,
                 "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
                 "CREATE TABLE Parts (ID INTEGER PRIMARY KEY AUTOINCREMENT, Code INTEGER, Name "
                 "TEXT COLLATE NOCASE,"
                 " Weight REAL);"
                 "CREATE INDEX ByCode ON Parts (Code); CREATE INDEX ByName ON Parts (Name);",
                 nullptr, nullptr, nullptr);
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

  static void makeDatabase(const CString& path) {
    CDaoDatabase database;
    database.Create(path);
    CDaoTableDef table(&database);
    table.Create(L"Parts");
    table.CreateField(L"ID", dbLong, 4, dbAutoIncrField);
    table.CreateField(L"Code", dbLong, 4);
    table.CreateField(L"Name", dbText, 50);
    table.CreateField(L"Weight", dbDouble, 8);
    for (const wchar_t* field : {L"ID", L"Code", L"Name"}) {
      CDaoIndexFieldInfo part;
      part.m_strName = field;
      CDaoIndexInfo index;
      index.m_strName =
          std::wstring(field) == L"ID" ? L"PrimaryKey" : (std::wstring(L"By") + field).c_str();
      index.m_pFieldInfos = &part;
      index.m_nFields = 1;
      index.m_bPrimary = std::wstring(field) == L"ID";
      index.m_bUnique = index.m_bPrimary;
      table.CreateIndex(index);
      index.m_pFieldInfos = nullptr;
    }
    table.Append();
    database.Close();
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

// Reads every column of the current row, as tb_getrec reads every field.
void readRow(sqlite3_stmt* statement) {
  benchmark::DoNotOptimize(sqlite3_column_int(statement, 0));
  benchmark::DoNotOptimize(sqlite3_column_int(statement, 1));
  benchmark::DoNotOptimize(sqlite3_column_text(statement, 2));
  benchmark::DoNotOptimize(sqlite3_column_double(statement, 3));
}

// tb_append commits each record and hands the new record back: an INSERT in its own
// transaction, then the row read by its key.
void AppendRecords(benchmark::State& state) {
  Fixture& f = Fixture::get();
  for (auto _ : state) {
    Timing lisp;
    f.eval("(progn (setq i 0) (repeat " + std::to_string(kRecords) +
           " (setq i (1+ i)) (tb_append (list (list \"Code\" i) (list \"Name\" (strcat \"part \" "
           "(itoa i)))"
           " (list \"Weight\" (* i 0.5))))))");
    lisp.stop();

    sqlite3_stmt* insert = nullptr;
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(f.sqlite(), "INSERT INTO Parts (Code, Name, Weight) VALUES (?, ?, ?)", -1,
                       &insert, nullptr);
    sqlite3_prepare_v2(f.sqlite(), "SELECT * FROM Parts WHERE ID = ?", -1, &read, nullptr);
    Timing direct;
    for (int i = 1; i <= kRecords; ++i) {
      sqlite3_bind_int(insert, 1, i);
      const std::string name = partName(i);
      sqlite3_bind_text(insert, 2, name.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_double(insert, 3, i * 0.5);
      sqlite3_step(insert);
      sqlite3_reset(insert);
      sqlite3_bind_int64(read, 1, sqlite3_last_insert_rowid(f.sqlite()));
      if (sqlite3_step(read) == SQLITE_ROW) readRow(read);
      sqlite3_reset(read);
    }
    direct.stop();
    sqlite3_finalize(insert);
    sqlite3_finalize(read);
    report(state, lisp, direct, kRecords);
  }
}
BENCHMARK(AppendRecords)->Iterations(1)->Unit(benchmark::kSecond);

// tb_top, then tb_skip and tb_getrec for every record.
void WalkRecords(benchmark::State& state) {
  Fixture& f = Fixture::get();
  for (auto _ : state) {
    Timing lisp;
    f.eval(
        "(progn (tb_table \"Parts\" \"PrimaryKey\") (setq n 0) (tb_top) (while (tb_skip) (setq n "
        "(1+ n)) (tb_getrec)) n)");
    lisp.stop();

    sqlite3_stmt* walk = nullptr;
    sqlite3_prepare_v2(f.sqlite(), "SELECT * FROM Parts ORDER BY ID", -1, &walk, nullptr);
    Timing direct;
    while (sqlite3_step(walk) == SQLITE_ROW) readRow(walk);
    direct.stop();
    sqlite3_finalize(walk);
    report(state, lisp, direct, kRecords);

    // The same loop with two empty external calls per record in place of tb_skip and
    // tb_getrec: what the call path alone costs.
    Timing floor;
    f.eval("(progn (setq n 0) (while (< n " + std::to_string(kRecords) +
           ") (bench_nothing) (setq n (1+ n)) (bench_nothing)) n)");
    floor.stop();
    state.counters["floor_cpu_us_per_op"] = floor.cpu / kRecords * 1e6;
    state.counters["vs_floor_cpu"] = floor.cpu > 0 ? lisp.cpu / floor.cpu : 0;
  }
}
BENCHMARK(WalkRecords)->Iterations(1)->Unit(benchmark::kSecond);

// tb_seek on an index of one field with random keys, against a prepared SELECT by
// the same indexed column.
void seekBenchmark(benchmark::State& state, const char* index, bool text) {
  Fixture& f = Fixture::get();
  const std::vector<int> keys = randomKeys();
  std::string list = "(setq keys '(";
  for (int key : keys)
    list += text ? "\"PART " + std::to_string(key) + "\" " : std::to_string(key) + " ";
  list += "))";
  f.eval(list);
  for (auto _ : state) {
    f.eval(std::string("(tb_table \"Parts\" \"") + index + "\")");
    Timing lisp;
    f.eval(
        "(progn (setq found 0) (foreach k keys (if (tb_seek k) (setq found (1+ found)))) found)");
    lisp.stop();

    sqlite3_stmt* seek = nullptr;
    const std::string sql = text ? "SELECT * FROM Parts WHERE Name = ? LIMIT 1"
                                 : "SELECT * FROM Parts WHERE Code = ? LIMIT 1";
    sqlite3_prepare_v2(f.sqlite(), sql.c_str(), -1, &seek, nullptr);
    Timing direct;
    for (int key : keys) {
      if (text) {
        const std::string name = "PART " + std::to_string(key);
        sqlite3_bind_text(seek, 1, name.c_str(), -1, SQLITE_TRANSIENT);
      } else {
        sqlite3_bind_int(seek, 1, key);
      }
      if (sqlite3_step(seek) == SQLITE_ROW) readRow(seek);
      sqlite3_reset(seek);
    }
    direct.stop();
    sqlite3_finalize(seek);
    report(state, lisp, direct, kSeeks);
  }
}

void SeekLong(benchmark::State& state) { seekBenchmark(state, "ByCode", /*text=*/false); }
BENCHMARK(SeekLong)->Iterations(1)->Unit(benchmark::kSecond);

void SeekText(benchmark::State& state) { seekBenchmark(state, "ByName", /*text=*/true); }
BENCHMARK(SeekText)->Iterations(1)->Unit(benchmark::kSecond);

void CountRecords(benchmark::State& state) {
  Fixture& f = Fixture::get();
  for (auto _ : state) {
    f.eval("(tb_table \"Parts\" \"PrimaryKey\")");
    Timing lisp;
    f.eval("(repeat " + std::to_string(kCounts) + " (tb_count))");
    lisp.stop();

    sqlite3_stmt* count = nullptr;
    sqlite3_prepare_v2(f.sqlite(), "SELECT COUNT(*) FROM Parts", -1, &count, nullptr);
    Timing direct;
    for (int i = 0; i < kCounts; ++i) {
      if (sqlite3_step(count) == SQLITE_ROW) benchmark::DoNotOptimize(sqlite3_column_int(count, 0));
      sqlite3_reset(count);
    }
    direct.stop();
    sqlite3_finalize(count);
    report(state, lisp, direct, kCounts);
  }
}
BENCHMARK(CountRecords)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
