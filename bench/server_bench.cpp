// The DAO engine on a PostgreSQL server against libpq with prepared statements doing
// the same work on the same server: appending records one committed Update at a time,
// walking a table in key order reading every field, and seeking by key. Each
// benchmark reports `vs_libpq`, its clock time per record divided by libpq's (the
// server's own work lies on both sides, so only the clock compares). Needs a server:
// TABRIK_TEST_PG (libpq connection text, as scripts/pg-server.sh prints it); without
// one, or with an engine that reaches no server, the benchmarks say so and skip.
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>

#include "afxdao.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string env(const char* name, const char* otherwise) {
  const char* value = std::getenv(name);
  return value && *value ? value : otherwise;
}

// A database of the benchmark's own on the server, dropped at the end; `why` says why
// there is none.
class BenchDatabase {
 public:
  BenchDatabase() {
    if (env("TABRIK_TEST_PG", "").empty()) {
      why = "no server: set TABRIK_TEST_PG (scripts/pg-server.sh start DIR prints it)";
      return;
    }
    name = "tabrik_bench_" + std::to_string(::getpid());
    if (!admin("DROP DATABASE IF EXISTS " + name) || !admin("CREATE DATABASE " + name)) {
      name.clear();
      return;
    }
    raw = PQconnectdb((env("TABRIK_TEST_PG", "") + " dbname=" + name).c_str());
    if (PQstatus(raw) != CONNECTION_OK) why = PQerrorMessage(raw);
    PQsetNoticeProcessor(raw, quiet, nullptr);
  }
  ~BenchDatabase() {
    if (raw) PQfinish(raw);
    if (!name.empty()) admin("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
  }
  bool ready() const { return why.empty(); }
  CString connectString() const {
    return CString(("ODBC;DRIVER={PostgreSQL Unicode};SERVER=" + env("PGHOST", "127.0.0.1") +
                    ";PORT=" + env("PGPORT", "5432") + ";DATABASE=" + name +
                    ";UID=" + env("PGUSER", "tabrik"))
                       .c_str());
  }
  void exec(const char* sql) { PQclear(PQexec(raw, sql)); }

  std::string name, why;
  PGconn* raw = nullptr;

 private:
  // The server's notices ("does not exist, skipping") are not the benchmark's output.
  static void quiet(void*, const char*) {}
  bool admin(const std::string& sql) {
    PGconn* c = PQconnectdb(env("TABRIK_TEST_PG", "").c_str());
    PQsetNoticeProcessor(c, quiet, nullptr);
    bool done = PQstatus(c) == CONNECTION_OK;
    if (done) {
      PGresult* r = PQexec(c, sql.c_str());
      done = PQresultStatus(r) == PGRES_COMMAND_OK;
      PQclear(r);
    }
    if (!done) why = PQerrorMessage(c);
    PQfinish(c);
    return done;
  }
};

// The engine's database on the server with the Parts table, or the error that stopped it.
std::optional<std::string> openEngine(CDaoDatabase& db, const BenchDatabase& server) {
  try {
    db.Open(server.connectString(), FALSE, FALSE, server.connectString());
    CDaoTableDef td(&db);
    td.Create(L"Parts");
    td.CreateField(L"ID", dbLong, 0);
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
    return std::nullopt;
  } catch (CDaoException* e) {
    std::string why = "the engine reached no server: error " +
                      std::to_string(e->m_pErrorInfo ? e->m_pErrorInfo->m_lErrorCode : 0);
    e->Delete();
    return why;
  }
}

// libpq's side: its own table, a prepared INSERT per record in autocommit (each one a
// transaction, as each engine Update is). Returns seconds per record.
double libpqAppendSeconds(BenchDatabase& server, int count) {
  server.exec("DROP TABLE IF EXISTS raw_parts");
  server.exec(
      "CREATE TABLE raw_parts (id integer PRIMARY KEY, name varchar(50), code integer, "
      "weight double precision)");
  PQclear(
      PQprepare(server.raw, "ins", "INSERT INTO raw_parts VALUES ($1, $2, $3, $4)", 4, nullptr));
  const auto start = Clock::now();
  for (int i = 1; i <= count; ++i) {
    const std::string id = std::to_string(i), name = "part " + id, code = std::to_string(i * 7),
                      weight = std::to_string(i * 0.5);
    const char* values[] = {id.c_str(), name.c_str(), code.c_str(), weight.c_str()};
    PQclear(PQexecPrepared(server.raw, "ins", 4, values, nullptr, nullptr, 0));
  }
  const double seconds = secondsSince(start) / count;
  PQclear(PQexec(server.raw, "DEALLOCATE ins"));
  return seconds;
}

void fillRaw(BenchDatabase& server, int count) {
  server.exec("DROP TABLE IF EXISTS raw_parts");
  server.exec(
      "CREATE TABLE raw_parts (id integer PRIMARY KEY, name varchar(50), code integer, "
      "weight double precision)");
  server.exec(("INSERT INTO raw_parts SELECT i, 'part ' || i, i * 7, i * 0.5 FROM "
               "generate_series(1, " +
               std::to_string(count) + ") AS i")
                  .c_str());
}

void fillEngine(CDaoDatabase& db, int count) {
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"Parts");
  CDaoWorkspace* ws = db.m_pWorkspace;
  if (ws) ws->BeginTrans();
  for (long i = 1; i <= count; ++i) {
    rs.AddNew();
    rs.SetFieldValue(L"ID", COleVariant(i));
    rs.SetFieldValue(L"Name", COleVariant(CString((L"part " + std::to_wstring(i)).c_str())));
    rs.SetFieldValue(L"Code", COleVariant(i * 7));
    rs.SetFieldValue(L"Weight", COleVariant(i * 0.5));
    rs.Update();
  }
  if (ws) ws->CommitTrans();
}

void BM_ServerAppendUpdate(benchmark::State& state) {
  BenchDatabase server;
  if (!server.ready()) return state.SkipWithError(server.why.c_str());
  const double baseline = libpqAppendSeconds(server, 2000);
  state.counters["libpq_us"] = baseline * 1e6;
  CDaoDatabase db;
  if (auto why = openEngine(db, server)) return state.SkipWithError(why->c_str());
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"Parts");
  long i = 0;
  const auto start = Clock::now();
  for (auto _ : state) {
    ++i;
    rs.AddNew();
    rs.SetFieldValue(L"ID", COleVariant(i));
    rs.SetFieldValue(L"Name", COleVariant(CString((L"part " + std::to_wstring(i)).c_str())));
    rs.SetFieldValue(L"Code", COleVariant(i * 7));
    rs.SetFieldValue(L"Weight", COleVariant(i * 0.5));
    rs.Update();
  }
  state.counters["vs_libpq"] = baseline > 0 && i ? secondsSince(start) / i / baseline : 0;
}
BENCHMARK(BM_ServerAppendUpdate)->Unit(benchmark::kMicrosecond);

constexpr int kWalkRecords = 20000;

// Every record in key order, every field read.
void BM_ServerWalk(benchmark::State& state) {
  BenchDatabase server;
  if (!server.ready()) return state.SkipWithError(server.why.c_str());
  fillRaw(server, kWalkRecords);
  double baseline = 0;
  {
    const auto start = Clock::now();
    PGresult* r =
        PQexecParams(server.raw, "SELECT id, name, code, weight FROM raw_parts ORDER BY id", 0,
                     nullptr, nullptr, nullptr, nullptr, 0);
    for (int row = 0; row < PQntuples(r); ++row) {
      benchmark::DoNotOptimize(std::atol(PQgetvalue(r, row, 0)));
      benchmark::DoNotOptimize(PQgetvalue(r, row, 1));
      benchmark::DoNotOptimize(std::atol(PQgetvalue(r, row, 2)));
      benchmark::DoNotOptimize(std::atof(PQgetvalue(r, row, 3)));
    }
    baseline = secondsSince(start) / kWalkRecords;
    PQclear(r);
  }
  state.counters["libpq_us"] = baseline * 1e6;
  CDaoDatabase db;
  if (auto why = openEngine(db, server)) return state.SkipWithError(why->c_str());
  fillEngine(db, kWalkRecords);
  long rows = 0;
  const auto start = Clock::now();
  for (auto _ : state) {
    CDaoRecordset rs(&db);
    rs.Open(dbOpenTable, L"Parts");
    rs.SetCurrentIndex(L"PrimaryKey");
    for (; !rs.IsEOF(); rs.MoveNext(), ++rows)
      for (short f = 0; f < 4; ++f) benchmark::DoNotOptimize(rs.GetFieldValue(f));
  }
  state.counters["vs_libpq"] = baseline > 0 && rows ? secondsSince(start) / rows / baseline : 0;
}
BENCHMARK(BM_ServerWalk)->Unit(benchmark::kMillisecond);

// Random Seek "=" on the primary key against a prepared SELECT by key.
void BM_ServerSeek(benchmark::State& state) {
  BenchDatabase server;
  if (!server.ready()) return state.SkipWithError(server.why.c_str());
  constexpr int kRecords = 5000, kProbes = 2000;
  fillRaw(server, kRecords);
  std::mt19937 random(7);
  PQclear(PQprepare(server.raw, "by_id",
                    "SELECT id, name, code, weight FROM raw_parts WHERE id = $1", 1, nullptr));
  double baseline = 0;
  {
    const auto start = Clock::now();
    for (int i = 0; i < kProbes; ++i) {
      const std::string id = std::to_string(1 + random() % kRecords);
      const char* values[] = {id.c_str()};
      PGresult* r = PQexecPrepared(server.raw, "by_id", 1, values, nullptr, nullptr, 0);
      benchmark::DoNotOptimize(PQgetvalue(r, 0, 1));
      PQclear(r);
    }
    baseline = secondsSince(start) / kProbes;
  }
  state.counters["libpq_us"] = baseline * 1e6;
  CDaoDatabase db;
  if (auto why = openEngine(db, server)) return state.SkipWithError(why->c_str());
  fillEngine(db, kRecords);
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"Parts");
  rs.SetCurrentIndex(L"PrimaryKey");
  long seeks = 0;
  const auto start = Clock::now();
  for (auto _ : state) {
    COleVariant key(static_cast<long>(1 + random() % kRecords));
    if (rs.Seek(L"=", &key)) benchmark::DoNotOptimize(rs.GetFieldValue(1));
    ++seeks;
  }
  state.counters["vs_libpq"] = baseline > 0 && seeks ? secondsSince(start) / seeks / baseline : 0;
}
BENCHMARK(BM_ServerSeek)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
