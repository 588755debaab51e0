// The DAO engine against the SQLite C API doing the same work: appending records one
// committed Update at a time, walking a table reading every field (in index order,
// and forward-only through a statement as tb_sql reads), seeking, and translating a
// Jet statement (and looking it up in the statement cache) against SQLite's prepare.
// Each benchmark reports `vs_sqlite`, its time per record divided by the C API's;
// the walks also `vs_sqlite_cpu`, on this thread's processor time, which a machine
// shared with other work disturbs less.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <optional>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "afxdao.h"
#include "DaoStore.h"
#include "jetsql/JetStatementCache.h"
#include "jetsql/JetTranslator.h"

namespace {

double threadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Scratch {
  Scratch() {
    char tmpl[] = "/tmp/tabrik_dao_bench_XXXXXX";
    const char* made = mkdtemp(tmpl);
    dir = made ? made : "/tmp";
  }
  ~Scratch() { std::system(("rm -rf '" + dir + "'").c_str()); }
  std::string dir;
};

void makeTable(CDaoDatabase& db) {
  CDaoTableDef td(&db);
  td.Create(L"Parts");
  td.CreateField(L"ID", dbLong, 0, dbAutoIncrField);
  td.CreateField(L"Name", dbText, 50);
  td.CreateField(L"Code", dbLong, 0);
  td.CreateField(L"Weight", dbDouble, 0);
  CDaoIndexFieldInfo field;
  field.m_strName = L"ID";
  CDaoIndexInfo pk;
  pk.m_strName = L"PrimaryKey";
  pk.m_pFieldInfos = &field;
  pk.m_nFields = 1;
  pk.m_bPrimary = TRUE;
  td.CreateIndex(pk);
  pk.m_pFieldInfos = nullptr;
  td.Append();
}

// Parts 1 to 20 000, in Jet's SQL (a cross join of digits: Jet has no recursive WITH).
void fillParts(CDaoDatabase& db) {
  db.Execute(L"CREATE TABLE Digits (D LONG)");
  for (int d = 0; d < 10; ++d)
    db.Execute(CString(L"INSERT INTO Digits (D) VALUES (") + std::to_wstring(d).c_str() + L")");
  db.Execute(
      L"INSERT INTO Parts (ID, Name, Code, Weight) SELECT n, 'part ' & n, n * 7, n * 0.5 FROM "
      L"(SELECT a.D * 10000 + b.D * 1000 + c.D * 100 + d.D * 10 + e.D + 1 AS n FROM Digits AS a, "
      L"Digits AS b, Digits AS c, Digits AS d, Digits AS e WHERE a.D < 2)");
  db.Execute(L"DROP TABLE Digits");
}

// The same table and journal settings through the C API; returns seconds per insert.
double sqliteInsertSeconds(const std::string& path, int count) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr,
               nullptr);
  sqlite3_exec(db,
               "CREATE TABLE Parts (ID INTEGER, Name TEXT, Code INTEGER, Weight REAL);"
               "CREATE UNIQUE INDEX pk ON Parts (ID)",
               nullptr, nullptr, nullptr);
  sqlite3_stmt* ins = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO Parts VALUES (?, ?, ?, ?)", -1, &ins, nullptr);
  auto start = std::chrono::steady_clock::now();
  for (int i = 1; i <= count; ++i) {
    sqlite3_bind_int(ins, 1, i);
    std::string name = "part " + std::to_string(i);
    sqlite3_bind_text(ins, 2, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(ins, 3, i * 7);
    sqlite3_bind_double(ins, 4, i * 0.5);
    sqlite3_step(ins);
    sqlite3_reset(ins);
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  sqlite3_finalize(ins);
  sqlite3_close(db);
  return seconds / count;
}

double sqliteWalkSeconds(const std::string& path, double* cpuPerRow = nullptr) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_stmt* q = nullptr;
  sqlite3_prepare_v2(db, "SELECT ID, Name, Code, Weight FROM Parts ORDER BY ID", -1, &q, nullptr);
  long rows = 0;
  const double cpuStart = threadCpuSeconds();
  auto start = std::chrono::steady_clock::now();
  while (sqlite3_step(q) == SQLITE_ROW) {
    benchmark::DoNotOptimize(sqlite3_column_int(q, 0));
    benchmark::DoNotOptimize(sqlite3_column_text(q, 1));
    benchmark::DoNotOptimize(sqlite3_column_int(q, 2));
    benchmark::DoNotOptimize(sqlite3_column_double(q, 3));
    ++rows;
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (cpuPerRow != nullptr) *cpuPerRow = rows ? (threadCpuSeconds() - cpuStart) / rows : 0;
  sqlite3_finalize(q);
  sqlite3_close(db);
  return rows ? seconds / rows : 0;
}

// A table of 20 000 parts in a new file.
void makeWalkFile(const std::string& path) {
  CDaoDatabase db;
  db.Create(CString(path.c_str()));
  makeTable(db);
  db.Execute(
      L"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) "
      L"INSERT INTO Parts SELECT i, 'part ' || i, i * 7, i * 0.5 FROM n");
}

void BM_DaoAppendUpdate(benchmark::State& state) {
  Scratch scratch;
  double baseline = sqliteInsertSeconds(scratch.dir + "/raw.db", 5000);
  CDaoDatabase db;
  db.Create(CString((scratch.dir + "/dao.mdb").c_str()));
  makeTable(db);
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"Parts");
  long i = 0;
  auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    ++i;
    rs.AddNew();
    CString name;
    name.Format(L"part %ld", i);
    rs.SetFieldValue(L"Name", COleVariant(name));
    rs.SetFieldValue(L"Code", COleVariant(i * 7));
    rs.SetFieldValue(L"Weight", COleVariant(i * 0.5));
    rs.Update();
  }
  double perOp =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / i;
  state.counters["vs_sqlite"] = baseline > 0 ? perOp / baseline : 0;
}
BENCHMARK(BM_DaoAppendUpdate)->Unit(benchmark::kMicrosecond);

void BM_DaoWalk(benchmark::State& state) {
  Scratch scratch;
  std::string path = scratch.dir + "/walk.mdb";
  {
    CDaoDatabase db;
    db.Create(CString(path.c_str()));
    makeTable(db);
    fillParts(db);
  }
  double baselineCpu = 0;
  double baseline = sqliteWalkSeconds(path, &baselineCpu);
  CDaoDatabase db;
  db.Open(CString(path.c_str()));
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"Parts");
  rs.SetCurrentIndex(L"PrimaryKey");
  long rows = 0;
  const double cpuStart = threadCpuSeconds();
  auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    if (rs.IsEOF()) rs.MoveFirst();
    for (int f = 0; f < 4; ++f) benchmark::DoNotOptimize(rs.GetFieldValue(f));
    rs.MoveNext();
    ++rows;
  }
  double perOp =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / rows;
  double cpuPerOp = (threadCpuSeconds() - cpuStart) / rows;
  state.counters["vs_sqlite"] = baseline > 0 ? perOp / baseline : 0;
  state.counters["vs_sqlite_cpu"] = baselineCpu > 0 ? cpuPerOp / baselineCpu : 0;
}
BENCHMARK(BM_DaoWalk)->Unit(benchmark::kMicrosecond);

// A forward-only recordset of a statement, as tb_sql reads one: each row read field by
// field straight from the statement, against stepping the same SELECT.
void BM_DaoForwardOnly(benchmark::State& state) {
  Scratch scratch;
  std::string path = scratch.dir + "/forward.mdb";
  makeWalkFile(path);
  double baselineCpu = 0;
  double baseline = sqliteWalkSeconds(path, &baselineCpu);
  CDaoDatabase db;
  db.Open(CString(path.c_str()));
  long rows = 0;
  double cpu = 0;
  double wall = 0;
  for (auto _ : state) {
    CDaoRecordset rs(&db);
    const double cpuStart = threadCpuSeconds();
    auto start = std::chrono::steady_clock::now();
    rs.Open(dbOpenForwardOnly, L"SELECT ID, Name, Code, Weight FROM Parts ORDER BY ID");
    COleVariant value;
    for (; !rs.IsEOF(); rs.MoveNext(), ++rows) {
      for (int f = 0; f < 4; ++f) {
        rs.GetFieldValue(f, value);
        benchmark::DoNotOptimize(value.vt);
      }
    }
    rs.Close();
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    cpu += threadCpuSeconds() - cpuStart;
  }
  state.counters["vs_sqlite"] = baseline > 0 && rows ? wall / rows / baseline : 0;
  state.counters["vs_sqlite_cpu"] = baselineCpu > 0 && rows ? cpu / rows / baselineCpu : 0;
}
BENCHMARK(BM_DaoForwardOnly)->Unit(benchmark::kMillisecond);

// Random Seek "=" on the primary key against a prepared SELECT by key.
void BM_DaoSeek(benchmark::State& state) {
  Scratch scratch;
  std::string path = scratch.dir + "/seek.mdb";
  constexpr int kRows = 20000;
  {
    CDaoDatabase db;
    db.Create(CString(path.c_str()));
    makeTable(db);
    fillParts(db);
  }
  double baseline = 0;
  {
    sqlite3* raw = nullptr;
    sqlite3_open(path.c_str(), &raw);
    sqlite3_stmt* q = nullptr;
    sqlite3_prepare_v2(raw, "SELECT ID, Name, Code, Weight FROM Parts WHERE ID = ?", -1, &q,
                       nullptr);
    unsigned seed = 1;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 20000; ++i) {
      seed = seed * 1103515245u + 12345u;
      sqlite3_bind_int(q, 1, static_cast<int>(seed % kRows) + 1);
      if (sqlite3_step(q) == SQLITE_ROW) benchmark::DoNotOptimize(sqlite3_column_text(q, 1));
      sqlite3_reset(q);
    }
    baseline =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / 20000;
    sqlite3_finalize(q);
    sqlite3_close(raw);
  }
  CDaoDatabase db;
  db.Open(CString(path.c_str()));
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"Parts");
  rs.SetCurrentIndex(L"PrimaryKey");
  unsigned seed = 1;
  long n = 0;
  auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    seed = seed * 1103515245u + 12345u;
    COleVariant key(static_cast<long>(seed % kRows) + 1);
    if (rs.Seek(L"=", &key)) benchmark::DoNotOptimize(rs.GetFieldValue(1));
    ++n;
  }
  double perOp =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / n;
  state.counters["vs_sqlite"] = baseline > 0 ? perOp / baseline : 0;
}
BENCHMARK(BM_DaoSeek)->Unit(benchmark::kMicrosecond);

// The Jet SQL translator's cost per statement, against SQLite preparing the statement
// it produces (`vs_prepare`): what every Execute and snapshot pays before SQLite works.
void BM_JetTranslate(benchmark::State& state) {
  const std::string jet =
      "SELECT TOP 10 ID, Name & ' (' & Code & ')' AS Label, IIf(Weight > 5, 'heavy', 'light') AS "
      "Class "
      "FROM [Parts] WHERE Name Like 'part 1*' AND Code \\ 7 Mod 3 = 1 AND Weight < #3/5/2024# "
      "ORDER BY Name DESC, ID";
  Scratch scratch;
  CDaoDatabase db;
  db.Create(CString((scratch.dir + "/translate.mdb").c_str()));
  makeTable(db);
  db.Close();
  std::string sql = tabrik::dao::jetsql::translateSql(jet);
  sqlite3* raw = nullptr;
  sqlite3_open((scratch.dir + "/translate.mdb").c_str(), &raw);
  sqlite3_create_collation(raw, "JETTEXT", SQLITE_UTF8, nullptr,
                           [](void*, int na, const void* a, int nb, const void* b) {
                             int c = std::memcmp(a, b, static_cast<size_t>(na < nb ? na : nb));
                             return c ? c : na - nb;
                           });
  for (const char* fn : {"jet_concat", "jet_intdiv", "jet_mod", "jet_like", "jet_ceil", "iif"})
    for (int args : {1, 2, 3})
      sqlite3_create_function(
          raw, fn, args, SQLITE_UTF8, nullptr,
          [](sqlite3_context* c, int, sqlite3_value**) { sqlite3_result_null(c); }, nullptr,
          nullptr);
  constexpr int kPrepares = 2000;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kPrepares; ++i) {
    sqlite3_stmt* q = nullptr;
    sqlite3_prepare_v2(raw, sql.c_str(), -1, &q, nullptr);
    sqlite3_finalize(q);
  }
  double prepare =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / kPrepares;
  sqlite3_close(raw);
  long n = 0;
  start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    benchmark::DoNotOptimize(tabrik::dao::jetsql::translateSql(jet));
    ++n;
  }
  double perOp =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / n;
  // The same statement from the statement cache, as every run after the first is.
  tabrik::dao::jetsql::StatementCache cache;
  constexpr int kLookups = 100000;
  start = std::chrono::steady_clock::now();
  for (int i = 0; i < kLookups; ++i)
    benchmark::DoNotOptimize(cache.translation(jet, /*schemaVersion=*/1)->sql.size());
  double lookup =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / kLookups;
  state.counters["vs_prepare"] = prepare > 0 ? perOp / prepare : 0;
  state.counters["cached_vs_prepare"] = prepare > 0 ? lookup / prepare : 0;
  state.counters["cached_us"] = lookup * 1e6;
}
BENCHMARK(BM_JetTranslate)->Unit(benchmark::kMicrosecond);

// What the authorizer costs a caller's statement: compiling it on the engine's
// connection (defensive mode, the authorizer asked about every table, column and
// function) against a plain SQLite connection compiling the same text
// (`vs_plain_prepare`, CPU time, so that a busy machine does not tilt it).
void BM_CallerPrepare(benchmark::State& state) {
  const std::string sql = tabrik::dao::jetsql::translateSql(
      "SELECT ID, Name & ' (' & Code & ')' AS Label, IIf(Weight > 5, 'heavy', 'light') AS Class "
      "FROM Parts WHERE Name Like 'part 1*' AND Code \\ 7 Mod 3 = 1 ORDER BY Name DESC, ID");
  Scratch scratch;
  const std::string path = scratch.dir + "/prepare.mdb";
  {
    CDaoDatabase db;
    db.Create(CString(path.c_str()));
    makeTable(db);
  }
  DAODatabase engine;
  engine.open(std::wstring(CString(path.c_str()).GetString()), false, false, false, L"");
  // The plain connection: the same collation and functions, no authorizer.
  sqlite3* plain = nullptr;
  sqlite3_open(path.c_str(), &plain);
  sqlite3_create_collation(plain, "JETTEXT", SQLITE_UTF8, nullptr,
                           [](void*, int na, const void* a, int nb, const void* b) {
                             int c = std::memcmp(a, b, static_cast<size_t>(na < nb ? na : nb));
                             return c ? c : na - nb;
                           });
  for (const char* fn : {"jet_concat", "jet_intdiv", "jet_mod", "jet_like", "iif"})
    for (int args : {2, 3})
      sqlite3_create_function(
          plain, fn, args, SQLITE_UTF8, nullptr,
          [](sqlite3_context* c, int, sqlite3_value**) { sqlite3_result_null(c); }, nullptr,
          nullptr);
  auto cpuPerPrepare = [&sql](sqlite3* db, DAODatabase* caller) {
    constexpr int kPrepares = 4000;
    std::clock_t start = std::clock();
    for (int i = 0; i < kPrepares; ++i) {
      std::optional<DAODatabase::CallerSql> scope;
      if (caller) scope.emplace(*caller);
      sqlite3_stmt* q = nullptr;
      if (sqlite3_prepare_v2(db, sql.c_str(), -1, &q, nullptr) != SQLITE_OK) std::abort();
      sqlite3_finalize(q);
    }
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC / kPrepares;
  };
  double baseline = cpuPerPrepare(plain, nullptr);
  double guarded = 0;
  for (auto _ : state) guarded = cpuPerPrepare(engine.db, &engine);
  sqlite3_close(plain);
  state.counters["vs_plain_prepare"] = baseline > 0 ? guarded / baseline : 0;
}
BENCHMARK(BM_CallerPrepare)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
