// The storage interface's contract, held to on every back end: values come back as
// they were bound, failures are DAO's numbers, transactions and the changed-row count
// behave alike, a lock held elsewhere is the caller's busy code. The SQLite back end
// always runs; the server back end runs when TABRIK_TEST_PG holds a libpq connection
// text (scripts/pg-server.sh prints one), each test in a schema of its own.
#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "DaoStore.h"
#include "DaoTestSupport.h"
#include "store/PgStore.h"
#include "store/SqliteStore.h"

using namespace daotest;
using tabrik::dao::Value;
using namespace tabrik::dao::storage;

namespace {

const char* serverText() {
  const char* t = std::getenv("TABRIK_TEST_PG");
  return t && *t ? t : nullptr;
}

// One back end's database for one test: an SQLite file in a scratch folder, or a
// fresh schema on the test server (dropped afterwards). connect() opens another
// connection to the same database.
class Backing {
 public:
  virtual ~Backing() = default;
  virtual std::unique_ptr<Connection> connect() = 0;
};

class SqliteBacking : public Backing {
 public:
  ~SqliteBacking() override {
    for (sqlite3* db : m_handles) sqlite3_close_v2(db);
  }
  std::unique_ptr<Connection> connect() override {
    sqlite3* db = nullptr;
    sqlite3_open_v2((m_dir.path() + "/contract.db").c_str(), &db,
                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 100);
    m_handles.push_back(db);
    return std::make_unique<SqliteConnection>(db, L"contract.db");
  }

 private:
  ScratchDir m_dir;
  std::vector<sqlite3*> m_handles;
};

class ServerBacking : public Backing {
 public:
  explicit ServerBacking(std::string base) : m_base(std::move(base)) {
    static int serial = 0;
    m_schema = "contract_" + std::to_string(getpid()) + "_" + std::to_string(++serial);
    admin("DROP SCHEMA IF EXISTS " + m_schema + " CASCADE; CREATE SCHEMA " + m_schema);
  }
  ~ServerBacking() override { admin("DROP SCHEMA IF EXISTS " + m_schema + " CASCADE"); }
  std::unique_ptr<Connection> connect() override {
    return std::make_unique<PgConnection>(conninfo(), L"test server");
  }
  std::string conninfo() const { return m_base + " options='-c search_path=" + m_schema + "'"; }
  // Runs SQL on a connection of the test's own, outside the engine.
  void admin(const std::string& sql) const {
    PGconn* c = PQconnectdb(m_base.c_str());
    PQsetNoticeProcessor(
        c, [](void*, const char*) {}, nullptr);
    PQclear(PQexec(c, sql.c_str()));
    PQfinish(c);
  }

 private:
  std::string m_base, m_schema;
};

enum class Kind { Sqlite, Server };

std::string kindName(const testing::TestParamInfo<Kind>& info) {
  return info.param == Kind::Sqlite ? "Sqlite" : "Server";
}

class StorageContract : public testing::TestWithParam<Kind> {
 protected:
  void SetUp() override {
    if (GetParam() == Kind::Sqlite) {
      backing = std::make_unique<SqliteBacking>();
    } else {
      if (!serverText()) GTEST_SKIP() << "TABRIK_TEST_PG is not set: no test server to run on";
      server = new ServerBacking(serverText());
      backing.reset(server);
    }
    conn = backing->connect();
  }
  // The DAO error number body throws, 0 for none.
  static long code(const std::function<void()>& body) { return daoError(body); }
  void fill() {
    conn->exec("CREATE TABLE t (k BIGINT PRIMARY KEY, r DOUBLE PRECISION, s TEXT NOT NULL)", 3211);
    auto ins = conn->prepare("INSERT INTO t (k, r, s) VALUES (?, ?, ?)");
    for (int k = 1; k <= 5; ++k) {
      ins->bindInt(1, k);
      ins->bindReal(2, k / 2.0);
      ins->bindText(3, L"row " + std::to_wstring(k));
      while (ins->step(3218)) {
      }
      ins->reset();
    }
  }

  std::unique_ptr<Backing> backing;
  ServerBacking* server = nullptr;  // the backing, when it is the server
  std::unique_ptr<Connection> conn;
};

TEST_P(StorageContract, ValuesComeBackAsBound) {
  conn->exec("CREATE TABLE v (n BIGINT, r DOUBLE PRECISION, s TEXT)", 3211);
  struct Case {
    Value in;
    int column;  // 0 integer, 1 real, 2 text
  };
  const Case cases[] = {
      {Value::ofInt(0), 0},
      {Value::ofInt(-1), 0},
      {Value::ofInt(std::numeric_limits<long long>::max()), 0},
      {Value::ofInt(std::numeric_limits<long long>::min()), 0},
      {Value::ofReal(0.1), 1},
      {Value::ofReal(-1e300), 1},
      {Value::ofReal(45000.5), 1},  // an OLE date with its time of day
      {Value::ofReal(1.0 / 3.0), 1},
      {Value::ofText(L""), 2},
      {Value::ofText(L"Ärger über Öl – ≠ 日本"), 2},
      {Value::ofText(L"it's \"quoted\" ? and $1"), 2},
      {Value::ofText(std::wstring(70000, L'x')), 2},
      {Value::null(), 0},
      {Value::null(), 2},
  };
  const char* columns[] = {"n", "r", "s"};
  for (const auto& c : cases) {
    conn->exec("DELETE FROM v", 3218);
    std::string col = columns[c.column];
    auto ins = conn->prepare("INSERT INTO v (" + col + ") VALUES (?)");
    ins->bind(1, c.in);
    EXPECT_FALSE(ins->step(3218));
    auto sel = conn->prepare("SELECT " + col + " FROM v");
    ASSERT_EQ(sel->columnCount(), 1);
    EXPECT_EQ(sel->columnName(0), col);
    ASSERT_TRUE(sel->step(3218));
    Value out = sel->column(0);
    EXPECT_TRUE(out == c.in) << "column " << col << " kind " << c.in.kind << " came back as kind "
                             << out.kind;
    EXPECT_EQ(sel->columnIsNull(0), c.in.isNull());
    EXPECT_FALSE(sel->step(3218));
  }
}

TEST_P(StorageContract, ParametersAreReboundAfterReset) {
  fill();
  auto s = conn->prepare("SELECT s, r FROM t WHERE k = ?");
  EXPECT_EQ(s->parameterCount(), 1);
  for (int k : {3, 1, 5, 9}) {
    s->bindInt(1, k);
    EXPECT_FALSE(s->busy());
    bool found = s->step(3218);
    EXPECT_EQ(found, k <= 5) << k;
    if (found) {
      EXPECT_TRUE(s->busy());
      EXPECT_EQ(s->columnText(0), L"row " + std::to_wstring(k));
      EXPECT_DOUBLE_EQ(s->columnReal(1), k / 2.0);
    }
    s->reset();
  }
  // Numbered parameters may repeat and come in any order.
  auto n = conn->prepare("SELECT count(*) FROM t WHERE k >= ?2 AND k <= ?1 AND k <> ?2");
  n->bindInt(1, 4);
  n->bindInt(2, 2);
  ASSERT_TRUE(n->step(3218));
  EXPECT_EQ(n->columnInt(0), 2);
}

TEST_P(StorageContract, ChangedRowsAndTransactions) {
  fill();
  struct Case {
    const char* sql;
    long long changed;
  };
  const Case cases[] = {
      {"UPDATE t SET r = r + 1 WHERE k > 2", 3},
      {"UPDATE t SET r = 0 WHERE k = 42", 0},
      {"DELETE FROM t WHERE k = 1", 1},
      {"INSERT INTO t (k, r, s) VALUES (10, 1, 'a')", 1},
  };
  for (const auto& c : cases) {
    auto s = conn->prepare(c.sql);
    EXPECT_FALSE(s->step(3218));
    EXPECT_EQ(conn->changes(), c.changed) << c.sql;
  }
  auto count = [&] {
    auto s = conn->prepare("SELECT count(*) FROM t");
    EXPECT_TRUE(s->step(3218));
    return s->columnInt(0);
  };
  EXPECT_FALSE(conn->inTransaction());
  conn->beginWrite(3218);
  EXPECT_TRUE(conn->inTransaction());
  conn->exec("DELETE FROM t", 3218);
  EXPECT_EQ(count(), 0);
  conn->rollbackQuietly();
  EXPECT_FALSE(conn->inTransaction());
  EXPECT_EQ(count(), 5);
  conn->beginWrite(3218);
  conn->exec("DELETE FROM t WHERE k = 2", 3218);
  conn->commit(3218);
  EXPECT_EQ(count(), 4);
}

TEST_P(StorageContract, FailuresAreDaoErrors) {
  fill();
  conn->exec("CREATE INDEX t_s ON t (s)", 3211);
  struct Case {
    const char* sql;
    long code;
    const wchar_t* text;  // the description, when it names something
  };
  const Case cases[] = {
      {"INSERT INTO t (k, r, s) VALUES (1, 0, 'again')", 3022, nullptr},
      {"INSERT INTO t (k, r) VALUES (77, 0)", 3058, nullptr},
      {"SELECT * FROM nowhere", 3078,
       L"The Microsoft Jet database engine cannot find the input table or query 'nowhere'.  "
       L"Make sure it exists and that its name is spelled correctly."},
      {"SELECT nocolumn FROM t", 3061, nullptr},
      {"SELEKT 1", 3129, nullptr},
      {"CREATE TABLE t (x INTEGER)", 3010, L"Table 't' already exists."},
      {"CREATE INDEX t_s ON t (r)", 3284, nullptr},
  };
  for (const auto& c : cases) {
    CString text;
    long got = daoError(
        [&] {
          auto s = conn->prepare(c.sql);
          while (s->step(3218)) {
          }
        },
        &text);
    EXPECT_EQ(got, c.code) << c.sql;
    if (c.text) {
      EXPECT_EQ(std::wstring(text.GetString()), c.text) << c.sql;
    }
  }
  // A failed statement leaves the connection usable.
  auto s = conn->prepare("SELECT count(*) FROM t");
  ASSERT_TRUE(s->step(3218));
  EXPECT_EQ(s->columnInt(0), 5);
}

TEST_P(StorageContract, AWriteLockHeldElsewhereIsTheCallersBusyCode) {
  fill();
  auto other = backing->connect();
  conn->beginWrite(3218);
  conn->exec("UPDATE t SET r = -1 WHERE k = 2", 3218);
  for (long busy : {3218L, 3046L, 3211L}) {
    long got = code([&] {
      other->beginWrite(busy);
      other->exec("UPDATE t SET r = -2 WHERE k = 2", busy);
    });
    EXPECT_EQ(got, busy);
    other->rollbackQuietly();
  }
  conn->commit(3218);
  // Once the lock is gone the other connection writes.
  EXPECT_EQ(code([&] {
              other->beginWrite(3218);
              other->exec("UPDATE t SET r = -2 WHERE k = 2", 3218);
              other->commit(3218);
            }),
            0);
  auto s = conn->prepare("SELECT r FROM t WHERE k = 2");
  ASSERT_TRUE(s->step(3218));
  EXPECT_EQ(s->columnReal(0), -2.0);
}

INSTANTIATE_TEST_SUITE_P(Backends, StorageContract, testing::Values(Kind::Sqlite, Kind::Server),
                         kindName);

// The server gone under a session: the call that finds it out is 3043, the next one
// reconnects, and statements prepared before work again.
TEST(ServerConnection, ALostConnectionIs3043AndTheNextCallReconnects) {
  if (!serverText()) GTEST_SKIP() << "TABRIK_TEST_PG is not set: no test server to run on";
  ServerBacking server(serverText());
  PgConnection conn(server.conninfo(), L"test server");
  conn.exec("CREATE TABLE t (k BIGINT)", 3211);
  conn.exec("INSERT INTO t VALUES (1), (2)", 3218);
  auto count = conn.prepare("SELECT count(*) FROM t");
  int pid = PQbackendPID(conn.handle());
  conn.beginWrite(3218);
  server.admin("SELECT pg_terminate_backend(" + std::to_string(pid) + ")");
  EXPECT_EQ(daoError([&] { conn.exec("INSERT INTO t VALUES (3)", 3218); }), 3043);
  EXPECT_FALSE(conn.inTransaction());  // the transaction went with the connection
  ASSERT_TRUE(count->step(3218));
  EXPECT_EQ(count->columnInt(0), 2);  // the insert inside the lost transaction is gone
  EXPECT_NE(PQbackendPID(conn.handle()), pid);
}

TEST(ServerConnection, AServerThatCannotBeReachedIs3151) {
  CString text;
  long got = daoError(
      [] { PgConnection c("host=127.0.0.1 port=1 connect_timeout=2", L"PostgreSQL on port 1"); },
      &text);
  EXPECT_EQ(got, 3151);
  EXPECT_EQ(std::wstring(text.GetString()), L"ODBC--connection to 'PostgreSQL on port 1' failed.");
}

TEST(ServerConnection, ParametersAreNumberedOutsideQuotes) {
  struct Case {
    const char* in;
    const char* out;
    int count;
  };
  const Case cases[] = {
      {"SELECT 1", "SELECT 1", 0},
      {"a = ? AND b = ?", "a = $1 AND b = $2", 2},
      {"'?' = ? AND \"x?\" = ?", "'?' = $1 AND \"x?\" = $2", 2},
      {"'it''s ?' || ?", "'it''s ?' || $1", 1},
      {"?2 + ?1 + ?2", "$2 + $1 + $2", 2},
      {"? + ?5", "$1 + $5", 5},
      {"?", "$1", 1},
  };
  for (const auto& c : cases) {
    int count = -1;
    EXPECT_EQ(numberedParameters(c.in, count), c.out) << c.in;
    EXPECT_EQ(count, c.count) << c.in;
  }
}

}  // namespace
