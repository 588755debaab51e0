// The connection's cache of translated Jet statements: a statement run again is a
// lookup (the same translation object), the least recently used entry makes room,
// a statement that does not translate is never kept, and any change of the file's
// schema (a table created, renamed, dropped or linked, here or by another connection)
// drops every entry, so that a statement run after it meets the new schema's DAO
// error instead of an old translation.
#include <functional>
#include <string>
#include <vector>

#include "DaoStore.h"
#include "DaoTestSupport.h"
#include "jetsql/JetStatementCache.h"

namespace {

using namespace daotest;
using tabrik::dao::jetsql::StatementCache;

TEST(StatementCache, KeepsTheMostRecentlyUsedUnderOneSchemaVersion) {
  // Capacity 2. Each step looks a statement up under a schema version and expects a
  // hit or a miss, then the number of entries.
  const struct {
    const char* jet;
    long long version;
    bool hit;
    std::size_t entries;
  } steps[] = {
      {"SELECT 1", 7, false, 1},  {"SELECT 1", 7, true, 1},
      {"SELECT 2", 7, false, 2},  {"SELECT 1", 7, true, 2},  // now the most recently used
      {"SELECT 3", 7, false, 2},                             // SELECT 2 makes room
      {"SELECT 1", 7, true, 2},   {"SELECT 2", 7, false, 2},
      {"SELECT 2", 8, false, 1},  // another schema: everything made before goes
      {"SELECT 1", 8, false, 2},  {"SELECT 1", -1, false, 0},  // no version: nothing is kept
      {"SELECT 1", -1, false, 0}, {"SELECT 1", 8, false, 1},
  };
  StatementCache cache(2);
  std::uint64_t hits = 0;
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const auto& step = steps[i];
    SCOPED_TRACE("step " + std::to_string(i) + ": " + step.jet);
    auto first = cache.translation(step.jet, step.version);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->jet, step.jet);
    hits += step.hit ? 1 : 0;
    EXPECT_EQ(cache.hits(), hits);
    EXPECT_EQ(cache.size(), step.entries);
  }
}

TEST(StatementCache, AStatementThatDoesNotTranslateIsNotKept) {
  StatementCache cache;
  for (const char* bad : {"SELECT (1 FROM T", "SELECT #13/45/2001# FROM T", "SELECT 1; SELECT 2"}) {
    SCOPED_TRACE(bad);
    for (int run = 0; run < 2; ++run) EXPECT_NE(daoError([&] { cache.translation(bad, 1); }), 0);
  }
  EXPECT_EQ(cache.size(), 0u);
  EXPECT_EQ(cache.hits(), 0u);
}

class StatementCacheInEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Create(dir.file("cache.mdb"));
    makeTable(db, L"Parts", {{L"ID", dbLong, 4}, {L"Name", dbText, 20}});
    db.Execute(L"INSERT INTO Parts VALUES (1, 'bolt'), (2, 'nut')");
    CDaoDatabase other;
    other.Create(dir.file("other.mdb"));
    makeTable(other, L"Src", {{L"A", dbLong, 0}});
    other.Execute(L"INSERT INTO Src VALUES (7)");
  }
  StatementCache& cache() { return db.m_pDAODatabase->jetStatements(); }
  std::string rows(const wchar_t* sql) { return snapshotRows(db, sql); }
  long error(const wchar_t* sql) {
    return daoError([&] { rows(sql); });
  }

  ScratchDir dir;
  CDaoDatabase db;
};

TEST_F(StatementCacheInEngine, ARepeatedStatementIsALookup) {
  const wchar_t* select = L"SELECT Name FROM Parts WHERE ID = 2";
  EXPECT_EQ(rows(select), "nut");
  const std::uint64_t hits = cache().hits();
  const std::uint64_t misses = cache().misses();
  for (int run = 0; run < 3; ++run) EXPECT_EQ(rows(select), "nut");
  EXPECT_EQ(cache().hits(), hits + 3);
  EXPECT_EQ(cache().misses(), misses);
  // Action statements and stored queries share the cache; values change, the text
  // does not.
  for (int run = 0; run < 2; ++run) db.Execute(L"UPDATE Parts SET Name = Name & '+' WHERE ID = 1");
  EXPECT_EQ(rows(L"SELECT Name FROM Parts WHERE ID = 1"), "bolt++");
  EXPECT_EQ(cache().hits(), hits + 4);
}

TEST_F(StatementCacheInEngine, ASchemaChangeIsSeenByTheNextRun) {
  const struct {
    const char* name;
    std::function<void(CDaoDatabase&)> change;
    const wchar_t* statement;
    long error;  // 0: the statement runs and gives `rows`
    const char* rows;
  } cases[] = {
      {"renamed away",
       [](CDaoDatabase& d) {
         CDaoTableDef td(&d);
         td.Open(L"Parts");
         td.SetName(L"Items");
       },
       L"SELECT Name FROM Parts ORDER BY ID", 3078, ""},
      {"renamed back",
       [](CDaoDatabase& d) {
         CDaoTableDef td(&d);
         td.Open(L"Items");
         td.SetName(L"Parts");
       },
       L"SELECT Name FROM Parts ORDER BY ID", 0, "bolt;nut"},
      {"dropped", [](CDaoDatabase& d) { d.Execute(L"DROP TABLE Parts"); },
       L"SELECT Name FROM Parts ORDER BY ID", 3078, ""},
      {"made again with other rows",
       [](CDaoDatabase& d) {
         d.Execute(L"CREATE TABLE Parts (ID LONG, Name TEXT(20))");
         d.Execute(L"INSERT INTO Parts VALUES (5, 'pin')");
       },
       L"SELECT Name FROM Parts ORDER BY ID", 0, "pin"},
      {"linked under the name",
       [this](CDaoDatabase& d) {
         d.DeleteTableDef(L"Parts");
         CDaoTableDef td(&d);
         td.Create(L"Parts", 0, L"Src", L";DATABASE=" + dir.file("other.mdb"));
         td.Append();
       },
       L"SELECT A FROM Parts", 0, "7"},
      {"link deleted", [](CDaoDatabase& d) { d.DeleteTableDef(L"Parts"); }, L"SELECT A FROM Parts",
       3078, ""},
  };
  // Each statement runs twice before its change, so that it is in the cache.
  const wchar_t* before = L"SELECT Name FROM Parts ORDER BY ID";
  EXPECT_EQ(rows(before), "bolt;nut");
  EXPECT_EQ(rows(before), "bolt;nut");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.change(db);
    EXPECT_EQ(error(c.statement), c.error);
    if (c.error == 0) {
      EXPECT_EQ(rows(c.statement), c.rows);
      EXPECT_EQ(rows(c.statement), c.rows);  // and again, from the cache
    } else {
      EXPECT_EQ(error(c.statement), c.error);
    }
  }
}

TEST_F(StatementCacheInEngine, AnotherConnectionsSchemaChangeIsSeen) {
  const wchar_t* select = L"SELECT Name FROM Parts ORDER BY ID";
  EXPECT_EQ(rows(select), "bolt;nut");
  EXPECT_EQ(rows(select), "bolt;nut");
  {
    CDaoDatabase other;
    other.Open(dir.file("cache.mdb"));
    CDaoTableDef td(&other);
    td.Open(L"Parts");
    td.SetName(L"Items");
  }
  EXPECT_EQ(error(select), 3078);
  EXPECT_EQ(rows(L"SELECT Name FROM Items ORDER BY ID"), "bolt;nut");
}

}  // namespace
