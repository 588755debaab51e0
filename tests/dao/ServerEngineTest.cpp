// The engine on a server database with several sessions: what a file's one write lock
// gave for free (a record under a pessimistic edit, auto-numbers never given twice, a
// schema change seen by every session) holds with the server's row locks, and a
// session outlives a lost connection. Runs where the engine's suites run on the test
// server (TABRIK_TEST_PG_ENGINE, see DaoTestSupport.h).
#include <sys/stat.h>

#include <fstream>

#include "DaoTestSupport.h"
#include "tabrik/DaoHost.h"

using namespace daotest;

namespace {

class ServerEngine : public testing::Test {
 protected:
  void SetUp() override {
    if (!engineServer())
      GTEST_SKIP() << "TABRIK_TEST_PG_ENGINE and TABRIK_TEST_PG are not set: no test server";
    connect = dir.database("shared.mdb");
    first.Create(connect);
    makeTable(first, L"Parts",
              {{L"ID", dbLong, 0, dbAutoIncrField}, {L"Name", dbText, 40}, {L"Qty", dbLong, 0}},
              {{L"PK", {{L"ID", false}}, true, true}, {L"ByName", {{L"Name", false}}, true}});
    CDaoRecordset rs(&first);
    rs.Open(dbOpenTable, L"Parts");
    for (const wchar_t* name : {L"bolt", L"Nut", L"washer"}) {
      rs.AddNew();
      rs.SetFieldValue(L"Name", COleVariant(name));
      rs.SetFieldValue(L"Qty", COleVariant(10L));
      rs.Update();
    }
    second.Open(connect);
  }

  // The server database's name, from the connect string.
  std::string databaseName() const {
    std::string text;
    for (const wchar_t* p = connect.GetString(); *p; ++p) text += static_cast<char>(*p);
    return text.substr(text.find("DATABASE=") + 9);
  }

  // The records' IDs and names in primary key order, as a session sees them.
  static std::string parts(CDaoDatabase& db) {
    CDaoRecordset rs(&db);
    rs.Open(dbOpenTable, L"Parts");
    rs.SetCurrentIndex(L"PK");
    std::string out;
    for (; !rs.IsEOF(); rs.MoveNext())
      out += (out.empty() ? "" : ";") + showValue(rs.GetFieldValue(L"ID")) + "=" +
             showValue(rs.GetFieldValue(L"Name"));
    return out;
  }

  // Moves a table recordset on PK to the record with this ID.
  static void seekId(CDaoRecordset& rs, long id) {
    rs.SetCurrentIndex(L"PK");
    COleVariant key(id);
    ASSERT_TRUE(rs.Seek(L"=", &key));
  }

  ScratchDir dir;
  CString connect;
  CDaoDatabase first, second;
};

TEST_F(ServerEngine, APessimisticEditLocksItsRecordOnly) {
  CDaoRecordset a(&first), b(&second);
  a.Open(dbOpenTable, L"Parts");
  b.Open(dbOpenTable, L"Parts");
  a.SetLockingMode(TRUE);
  b.SetLockingMode(TRUE);
  seekId(a, 2);
  a.Edit();
  a.SetFieldValue(L"Qty", COleVariant(11L));
  struct Case {
    long id;
    long code;  // what the second session's Edit gives
  };
  for (const Case& c : {Case{2, 3218}, Case{1, 0}, Case{3, 0}}) {
    seekId(b, c.id);
    EXPECT_EQ(daoError([&] { b.Edit(); }), c.code) << "record " << c.id;
    if (c.code == 0) b.CancelUpdate();
  }
  a.Update();
  seekId(b, 2);
  EXPECT_EQ(daoError([&] {
              b.Edit();
              b.SetFieldValue(L"Qty", COleVariant(12L));
              b.Update();
            }),
            0);
  CDaoRecordset check(&first);
  check.Open(dbOpenTable, L"Parts");
  seekId(check, 2);
  EXPECT_EQ(showValue(check.GetFieldValue(L"Qty")), "12");
}

TEST_F(ServerEngine, AutoNumbersAreNeverGivenAgain) {
  {
    CDaoRecordset rs(&second);
    rs.Open(dbOpenTable, L"Parts");
    seekId(rs, 3);
    rs.Delete();
  }
  struct Step {
    CDaoDatabase* session;
    const wchar_t* name;
  };
  for (const Step& s : {Step{&first, L"pin"}, Step{&second, L"clip"}, Step{&first, L"rivet"}}) {
    CDaoRecordset rs(s.session);
    rs.Open(dbOpenTable, L"Parts");
    rs.AddNew();
    rs.SetFieldValue(L"Name", COleVariant(s.name));
    rs.Update();
  }
  EXPECT_EQ(parts(first), "1=bolt;2=Nut;4=pin;5=clip;6=rivet");
  EXPECT_EQ(parts(second), parts(first));
}

TEST_F(ServerEngine, UniqueIndexesAndTextOrderHoldAcrossSessions) {
  CDaoRecordset rs(&second);
  rs.Open(dbOpenTable, L"Parts");
  rs.SetCurrentIndex(L"ByName");
  std::string order;
  for (; !rs.IsEOF(); rs.MoveNext()) order += showValue(rs.GetFieldValue(L"Name")) + " ";
  EXPECT_EQ(order, "bolt Nut washer ");  // case does not count in the order
  struct Case {
    const wchar_t* key;
    const char* found;  // "" = none
  };
  const Case cases[] = {{L"NUT", "Nut"}, {L"nut  ", "Nut"}, {L"Bolt", "bolt"}, {L"screw", ""}};
  for (const auto& c : cases) {
    COleVariant key(c.key);
    BOOL found = rs.Seek(L"=", &key);
    EXPECT_EQ(found != FALSE, *c.found != 0) << c.found;
    if (found) {
      EXPECT_EQ(showValue(rs.GetFieldValue(L"Name")), c.found);
    }
  }
  rs.AddNew();
  rs.SetFieldValue(L"Name", COleVariant(L"NUT"));  // "Nut" in another case
  EXPECT_EQ(daoError([&] { rs.Update(); }), 3022);
  rs.CancelUpdate();
  EXPECT_EQ(parts(first), "1=bolt;2=Nut;3=washer");
}

TEST_F(ServerEngine, SchemaChangesReachTheOtherSession) {
  short before = second.GetTableDefCount();
  makeTable(first, L"Layers", {{L"Layer", dbText, 30}});
  EXPECT_EQ(second.GetTableDefCount(), before + 1);
  CDaoRecordset rs(&second);
  rs.Open(dbOpenTable, L"Layers");
  rs.AddNew();
  rs.SetFieldValue(L"Layer", COleVariant(L"DUCT"));
  rs.Update();
  CDaoRecordset back(&first);
  back.Open(dbOpenTable, L"Layers");
  ASSERT_FALSE(back.IsEOF());
  EXPECT_EQ(showValue(back.GetFieldValue(L"Layer")), "DUCT");
}

TEST_F(ServerEngine, APointerFileOpensTheServerDatabase) {
  std::string pointer = dir.path() + "/standards.mdb";
  {
    std::ofstream out(pointer);
    out << "# moved to the server\n\n";
    for (const wchar_t* p = connect.GetString(); *p; ++p) out << static_cast<char>(*p);
    out << "\r\n";
  }
  CDaoDatabase viaFile;
  viaFile.Open(CString(pointer.c_str()));
  EXPECT_EQ(parts(viaFile), "1=bolt;2=Nut;3=washer");
  // A server database made anew over a pointer file's path would lose nothing: the
  // file is not a server to make.
  CDaoDatabase again;
  EXPECT_EQ(daoError([&] { again.Create(CString(pointer.c_str())); }), 3204);
}

TEST_F(ServerEngine, ALostConnectionIs3043AndTheSessionGoesOn) {
  serverAdmin("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '" +
              databaseName() + "'");
  CDaoRecordset rs(&first);
  long code = daoError([&] {
    rs.Open(dbOpenTable, L"Parts");
    rs.AddNew();
    rs.SetFieldValue(L"Name", COleVariant(L"lost"));
    rs.Update();
  });
  EXPECT_EQ(code, 3043);
  if (rs.IsOpen()) rs.Close();
  // The next calls reconnect, in both sessions.
  EXPECT_EQ(daoError([&] {
              CDaoRecordset again(&first);
              again.Open(dbOpenTable, L"Parts");
              again.AddNew();
              again.SetFieldValue(L"Name", COleVariant(L"found"));
              again.Update();
            }),
            0);
  // The other session lost its connection too: its first call says so, the next works.
  EXPECT_EQ(daoError([&] { parts(second); }), 3043);
  EXPECT_EQ(parts(second), "1=bolt;2=Nut;3=washer;4=found");
}

// Compacting a server database makes a copy (the server keeps its own storage
// compact): into a new file, or from a file into an empty server database.
TEST_F(ServerEngine, CompactingAServerDatabaseMakesAWholeCopy) {
  CDaoWorkspace ws;
  std::string copy = dir.path() + "/compacted.mdb";
  // Not while another session has it open for writing, as a file.
  EXPECT_EQ(daoError([&] { ws.CompactDatabase(connect, CString(copy.c_str())); }), 3356);
  struct stat st {};
  EXPECT_NE(stat(copy.c_str(), &st), 0);
  first.Close();
  second.Close();
  ws.CompactDatabase(connect, CString(copy.c_str()));
  CDaoDatabase onFile;
  onFile.Open(CString(copy.c_str()));
  EXPECT_EQ(parts(onFile), "1=bolt;2=Nut;3=washer");
  CDaoIndexInfo primary;
  CDaoTableDef td(&onFile);
  td.Open(L"Parts");
  td.GetIndexInfo(L"PK", primary);
  EXPECT_TRUE(primary.m_bPrimary);
  td.Close();
  onFile.Close();
  // A destination that exists is refused, a file or a server database with tables.
  EXPECT_EQ(daoError([&] { ws.CompactDatabase(connect, CString(copy.c_str())); }), 3204);
  EXPECT_EQ(daoError([&] { ws.CompactDatabase(CString(copy.c_str()), connect); }), 3204);
  // Back to a server database of its own.
  CString back = dir.database("back.mdb");
  ws.CompactDatabase(CString(copy.c_str()), back);
  CDaoDatabase onServer;
  onServer.Open(back);
  EXPECT_EQ(parts(onServer), "1=bolt;2=Nut;3=washer");
  onServer.Close();
  EXPECT_EQ(daoError([&] { ws.RepairDatabase(connect); }), 0);
}

int g_escapes = 0;
bool escapePressed() {
  ++g_escapes;
  return true;
}

// Escape stops a caller's statement that runs long on the server, which rolls it back;
// the session goes on. Each statement below runs for seconds (millions of rows), far
// past the first wait before the check is asked.
TEST_F(ServerEngine, ALongStatementStopsAtEscapeAndChangesNothing) {
  makeTable(first, L"Nums", {{L"N", dbLong, 4}});
  for (int i = 1; i <= 150; ++i)
    first.Execute(CString(L"INSERT INTO Nums (N) VALUES (") + std::to_wstring(i).c_str() + L")");
  const wchar_t* statements[] = {
      L"INSERT INTO Parts (Name, Qty) SELECT 'x' & a.N & '/' & b.N & '/' & c.N, 1 "
      L"FROM Nums a, Nums b, Nums c",
      L"UPDATE Parts SET Qty = (SELECT Count(*) FROM Nums a, Nums b, Nums c, Nums d)",
      L"SELECT Count(*) FROM Nums a, Nums b, Nums c, Nums d",
  };
  tabrik::dao::setCancelCheck(&escapePressed);
  for (std::size_t i = 0; i < std::size(statements); ++i) {
    const wchar_t* sql = statements[i];
    SCOPED_TRACE(testing::Message() << "statement " << i);
    int before = g_escapes;
    CString text;
    long code = daoError(
        [&] {
          if (std::wstring(sql).rfind(L"SELECT", 0) == 0) {
            CDaoRecordset rs(&first);
            rs.Open(dbOpenSnapshot, sql);
          } else {
            first.Execute(sql);
          }
        },
        &text);
    EXPECT_EQ(code, 3059);
    EXPECT_EQ(text, CString(L"Operation canceled by user."));
    EXPECT_GT(g_escapes, before);
  }
  tabrik::dao::setCancelCheck(nullptr);
  // Nothing of the stopped statements stayed, and both sessions go on.
  EXPECT_EQ(parts(first), "1=bolt;2=Nut;3=washer");
  first.Execute(L"UPDATE Parts SET Qty = Qty + 1 WHERE ID = 1");
  EXPECT_EQ(first.GetRecordsAffected(), 1);
  EXPECT_EQ(parts(second), "1=bolt;2=Nut;3=washer");
}

TEST(ServerEngineOpen, AnEmptyServerDatabaseGetsTheCatalogOnItsFirstWritableOpen) {
  if (!engineServer()) GTEST_SKIP() << "TABRIK_TEST_PG_ENGINE and TABRIK_TEST_PG are not set";
  ScratchDir dir;
  CString empty = dir.database("empty.mdb");
  struct Case {
    CString connect;
    bool readOnly;
    long code;
  };
  const Case cases[] = {
      {empty, true, 3343},  // no catalog, and a reader may not make it
      {empty, false, 0},    // the first writer makes it
      {empty, true, 0},     // then readers open it
      {L"ODBC;DRIVER={PostgreSQL};SERVER=127.0.0.1;PORT=1;DATABASE=x", false, 3151},
      {L"ODBC;DRIVER={PostgreSQL};DATABASE=tabrik_no_such_database", false, 3151},
  };
  for (const auto& c : cases) {
    CDaoDatabase db;
    EXPECT_EQ(daoError([&] { db.Open(c.connect, FALSE, c.readOnly); }), c.code) << (&c - cases);
    EXPECT_EQ(db.IsOpen() != FALSE, c.code == 0) << (&c - cases);
    if (db.IsOpen()) {
      EXPECT_EQ(db.GetTableDefCount(), 9) << "the catalog's own tables";
    }
  }
}

}  // namespace
