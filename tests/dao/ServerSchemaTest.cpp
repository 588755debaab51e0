// Schema changes on a server database with two sessions: Jet's DDL and relations made
// by one session hold in the other once committed; a related record being written
// holds its primary record against another session's delete; long names keep their
// own indexes and triggers under the server's identifier length; no trigger function
// outlives its table or relation. Runs where the engine's suites run on the test
// server (TABRIK_TEST_PG_ENGINE, see DaoTestSupport.h).
#include <functional>

#include "DaoTestSupport.h"

using namespace daotest;

namespace {

class ServerSchema : public testing::Test {
 protected:
  void SetUp() override {
    if (!engineServer())
      GTEST_SKIP() << "TABRIK_TEST_PG_ENGINE and TABRIK_TEST_PG are not set: no test server";
    connect = dir.database("schema.mdb");
    first.Create(connect);
    first.Execute(
        L"CREATE TABLE Orders (OrderID LONG CONSTRAINT PK PRIMARY KEY, Customer TEXT(20))");
    first.Execute(L"CREATE TABLE Kinds (Kind TEXT(5) CONSTRAINT PK PRIMARY KEY)");
    first.Execute(L"CREATE TABLE Lines (LineID COUNTER, OrderID LONG, Kind TEXT(5))");
    first.Execute(L"INSERT INTO Orders VALUES (1, 'ann')");
    first.Execute(L"INSERT INTO Orders VALUES (2, 'bea')");
    first.Execute(L"INSERT INTO Kinds VALUES ('bolt')");
    second.Open(connect);
  }

  // One number from the server database, read outside the engine.
  long long serverNumber(const std::string& sql) {
    std::string text;
    for (const wchar_t* p = connect.GetString(); *p; ++p) text += static_cast<char>(*p);
    std::string conninfo =
        std::string(engineServer()) + " dbname=" + text.substr(text.find("DATABASE=") + 9);
    PGconn* c = PQconnectdb(conninfo.c_str());
    PGresult* r = PQexec(c, sql.c_str());
    long long n = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1
                      ? std::atoll(PQgetvalue(r, 0, 0))
                      : -1;
    PQclear(r);
    PQfinish(c);
    return n;
  }

  static long addLine(CDaoDatabase& db, const wchar_t* values) {
    return daoError([&] {
      db.Execute(CString(L"INSERT INTO Lines (OrderID, Kind) VALUES (") + values + L")");
    });
  }

  ScratchDir dir;
  CString connect;
  CDaoDatabase first, second;
};

short fieldCount(CDaoDatabase& db, const wchar_t* table) {
  CDaoTableDef td(&db);
  td.Open(table);
  return td.GetFieldCount();
}

short indexCount(CDaoDatabase& db, const wchar_t* table) {
  CDaoTableDef td(&db);
  td.Open(table);
  return td.GetIndexCount();
}

TEST_F(ServerSchema, JetDdlOfOneSessionReachesTheOther) {
  struct Step {
    CDaoDatabase* by;  // the session that changes the schema
    const wchar_t* ddl;
    std::function<std::string(CDaoDatabase&)> seen;  // read in the other session
    const char* expected;
  };
  auto fields = [](CDaoDatabase& db) { return std::to_string(fieldCount(db, L"Parts")); };
  auto indexes = [](CDaoDatabase& db) { return std::to_string(indexCount(db, L"Parts")); };
  auto rowsOf = [](CDaoDatabase& db) {
    return snapshotRows(db, L"SELECT * FROM Parts ORDER BY Code");
  };
  const Step steps[] = {
      {&first, L"CREATE TABLE Parts (Code TEXT(10) CONSTRAINT PK PRIMARY KEY, Qty LONG)", fields,
       "2"},
      {&second, L"INSERT INTO Parts VALUES ('a', 1)", rowsOf, "a|1"},
      {&first, L"ALTER TABLE Parts ADD COLUMN Note TEXT(30)", fields, "3"},
      {&second, L"UPDATE Parts SET Note = 'seen'", rowsOf, "a|1|seen"},
      {&second, L"CREATE UNIQUE INDEX ByNote ON Parts (Note) WITH IGNORE NULL", indexes, "2"},
      {&first, L"ALTER TABLE Parts DROP COLUMN Qty", rowsOf, "a|seen"},
      {&first, L"DROP INDEX ByNote ON Parts", indexes, "1"},
      {&second, L"SELECT Code, Note INTO Copies FROM Parts",
       [](CDaoDatabase& db) { return snapshotRows(db, L"SELECT * FROM Copies"); }, "a|seen"},
      {&first, L"DROP TABLE Parts",
       [](CDaoDatabase& db) {
         CDaoTableDefInfo info;
         return std::to_string(daoError([&] { db.GetTableDefInfo(L"Parts", info); }));
       },
       "3265"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(CString(s.ddl).GetString());
    s.by->Execute(s.ddl);
    CDaoDatabase& other = s.by == &first ? second : first;
    EXPECT_EQ(s.seen(other), s.expected);
  }
}

TEST_F(ServerSchema, ASchemaChangeIsSeenWhenItCommits) {
  CDaoWorkspace ws;
  ws.Open();
  CDaoDatabase writer(&ws);
  writer.Open(connect);
  const short before = second.GetTableDefCount();
  ws.BeginTrans();
  writer.Execute(L"CREATE TABLE Layers (Layer TEXT(30) CONSTRAINT PK PRIMARY KEY)");
  writer.Execute(L"ALTER TABLE Lines ADD COLUMN Layer TEXT(30)");
  EXPECT_EQ(second.GetTableDefCount(), before);  // not yet committed
  EXPECT_EQ(fieldCount(second, L"Lines"), 3);
  // Another schema change waits for this one, then gives up with the lock error.
  EXPECT_EQ(daoError([&] { second.Execute(L"CREATE TABLE Other (A LONG)"); }), 3211);
  ws.CommitTrans();
  EXPECT_EQ(second.GetTableDefCount(), before + 1);
  EXPECT_EQ(fieldCount(second, L"Lines"), 4);
  second.Execute(L"INSERT INTO Layers VALUES ('duct')");
  second.Execute(L"UPDATE Lines SET Layer = 'duct'");
  // A change rolled back is never seen.
  ws.BeginTrans();
  writer.Execute(L"DROP TABLE Layers");
  ws.Rollback();
  EXPECT_EQ(snapshotRows(second, L"SELECT Layer FROM Layers"), "duct");
  EXPECT_EQ(snapshotRows(writer, L"SELECT Layer FROM Layers"), "duct");
}

TEST_F(ServerSchema, ARelationOfOneSessionHoldsInTheOther) {
  first.Execute(
      L"ALTER TABLE Lines ADD CONSTRAINT OrderLines FOREIGN KEY (OrderID) REFERENCES Orders "
      L"(OrderID)");
  second.CreateRelation(L"KindLines", L"Kinds", L"Lines", dbRelationUpdateCascade, L"Kind",
                        L"Kind");
  struct Case {
    CDaoDatabase* by;
    const wchar_t* sql;
    long code;
  };
  const Case cases[] = {
      {&second, L"INSERT INTO Lines (OrderID) VALUES (99)", 3201},
      {&first, L"INSERT INTO Lines (Kind) VALUES ('nut')", 3201},
      {&second, L"INSERT INTO Lines (OrderID, Kind) VALUES (1, 'BOLT')", 0},  // case does not count
      {&second, L"DELETE FROM Orders WHERE OrderID = 1", 3200},
      {&first, L"UPDATE Kinds SET Kind = 'screw'", 0},  // carried into Lines
      {&first, L"DELETE FROM Kinds", 3200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(CString(c.sql).GetString());
    EXPECT_EQ(daoError([&] { c.by->Execute(c.sql); }), c.code);
  }
  EXPECT_EQ(snapshotRows(second, L"SELECT OrderID, Kind FROM Lines"), "1|screw");
  first.Execute(L"ALTER TABLE Lines DROP CONSTRAINT OrderLines");
  EXPECT_EQ(addLine(second, L"99, Null"), 0);
  EXPECT_EQ(indexCount(second, L"Lines"), 1);  // KindLines' own
}

TEST_F(ServerSchema, APrimaryRecordIsHeldWhileARelatedRecordIsWritten) {
  first.CreateRelation(L"OrderLines", L"Orders", L"Lines", 0, L"OrderID", L"OrderID");
  CDaoWorkspace ws;
  ws.Open();
  CDaoDatabase writer(&ws);
  writer.Open(connect);
  ws.BeginTrans();
  ASSERT_EQ(addLine(writer, L"1, Null"), 0);
  // Not yet committed, the related record is invisible to the other session; its
  // primary record is locked against a delete, and only that record.
  EXPECT_EQ(daoError([&] { second.Execute(L"DELETE FROM Orders WHERE OrderID = 1"); }), 3218);
  EXPECT_EQ(daoError([&] { second.Execute(L"DELETE FROM Orders WHERE OrderID = 2"); }), 0);
  ws.CommitTrans();
  EXPECT_EQ(daoError([&] { second.Execute(L"DELETE FROM Orders WHERE OrderID = 1"); }), 3200);
  EXPECT_EQ(snapshotRows(second, L"SELECT OrderID FROM Lines"), "1");
}

TEST_F(ServerSchema, LongNamesKeepTheirOwnIndexesAndTriggers) {
  // Two relation names alike in their first 59 characters, longer with the foreign
  // table's name than the server keeps of an index name.
  const CString byOrder = CString(L'r', 59) + L"Order";
  const CString byKind = CString(L'r', 59) + L"Kind1";
  first.CreateRelation(byOrder, L"Orders", L"Lines", 0, L"OrderID", L"OrderID");
  first.CreateRelation(byKind, L"Kinds", L"Lines", 0, L"Kind", L"Kind");
  EXPECT_EQ(indexCount(second, L"Lines"), 2);
  EXPECT_EQ(addLine(second, L"99, Null"), 3201);
  EXPECT_EQ(addLine(second, L"Null, 'nut'"), 3201);
  second.DeleteRelation(byOrder);
  EXPECT_EQ(addLine(first, L"99, Null"), 0);
  EXPECT_EQ(addLine(first, L"Null, 'nut'"), 3201);  // the other relation's trigger stays
  CDaoTableDef lines(&first);
  lines.Open(L"Lines");
  ASSERT_EQ(lines.GetIndexCount(), 1);
  CDaoIndexInfo info;
  lines.GetIndexInfo(0, info);
  EXPECT_STREQ(info.m_strName, byKind);
  lines.Close();
  first.DeleteRelation(byKind);
  EXPECT_EQ(indexCount(second, L"Lines"), 0);
}

TEST_F(ServerSchema, LongTableNamesKeepTheirOwnAutoNumbers) {
  // Alike in more characters than the server keeps of a trigger's name after its prefix.
  const CString alpha = CString(L'L', 50) + L"Alpha";
  const CString bravo = CString(L'L', 50) + L"Bravo";
  for (const CString& t : {alpha, bravo})
    first.Execute(L"CREATE TABLE [" + t + L"] (ID COUNTER, Note TEXT(10))");
  struct Step {
    const CString* table;
    int appended;
    const char* ids;  // the table's IDs after the appends
  };
  const Step steps[] = {{&alpha, 3, "1;2;3"}, {&bravo, 1, "1"}, {&alpha, 1, "1;2;3;4"}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.ids);
    for (int i = 0; i < s.appended; ++i)
      second.Execute(L"INSERT INTO [" + *s.table + L"] (Note) VALUES ('x')");
    EXPECT_EQ(snapshotRows(first, L"SELECT ID FROM [" + *s.table + L"] ORDER BY ID"), s.ids);
  }
  first.DeleteTableDef(alpha);
  second.Execute(L"INSERT INTO [" + bravo + L"] (Note) VALUES ('y')");
  EXPECT_EQ(snapshotRows(first, L"SELECT ID FROM [" + bravo + L"] ORDER BY ID"), "1;2");
}

TEST_F(ServerSchema, NoTriggerFunctionOutlivesItsTableOrRelation) {
  const std::string functions = "SELECT count(*) FROM pg_proc WHERE proname LIKE 'MSys%'";
  first.CreateRelation(L"OrderLines", L"Orders", L"Lines", dbRelationDeleteCascade, L"OrderID",
                       L"OrderID");
  // Lines' auto-number, and the relation's three.
  EXPECT_EQ(serverNumber(functions), 4);
  CDaoTableDef td(&second);
  td.Open(L"Lines");
  td.SetName(L"Items");
  td.SetName(L"ITEMS");
  td.Close();
  EXPECT_EQ(serverNumber(functions), 4);
  EXPECT_EQ(addLine(first, L"1, Null"), 3078);  // Lines is gone by that name
  first.Execute(L"INSERT INTO Items (OrderID) VALUES (1)");
  first.Execute(L"DELETE FROM Orders WHERE OrderID = 1");  // cascades to the renamed table
  EXPECT_EQ(snapshotRows(second, L"SELECT count(*) FROM Items"), "0");
  second.DeleteRelation(L"OrderLines");
  EXPECT_EQ(serverNumber(functions), 1);
  second.DeleteTableDef(L"Items");
  EXPECT_EQ(serverNumber(functions), 0);
}

}  // namespace
