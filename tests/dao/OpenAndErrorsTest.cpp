// Opening databases: the path errors, files that are no database, read-only and
// exclusive modes within one process, table definitions, and the engine's start.
#include <sqlite3.h>

#include <cstdio>
#include <algorithm>
#include <fstream>

#include "DaoTestSupport.h"

using namespace daotest;

namespace {

TEST(OpenErrors, PathsFilesAndFormats) {
  ScratchDir dir;
  {
    std::ofstream junk(dir.path() + "/junk.mdb");
    junk
        << "Standard Jet DB? no, just some text that is not a database file at all................";
  }
  {  // an SQLite file that lacks DAO's catalog
    sqlite3* raw = nullptr;
    sqlite3_open((dir.path() + "/plain.db").c_str(), &raw);
    sqlite3_exec(raw, "CREATE TABLE t (x)", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
  }
  std::ofstream(dir.path() + "/empty.mdb").close();
  struct Case {
    CString path;
    long code;
    CString text;
  };
  CString missing = dir.file("missing.mdb");
  CString noFolder = dir.file("nofolder/x.mdb");
  CString junk = dir.file("junk.mdb");
  const Case cases[] = {
      {missing, 3024, L"Could not find file '" + missing + L"'."},
      {noFolder, 3044,
       L"'" + noFolder +
           L"' is not a valid path.  Make sure that the path name is spelled correctly and that "
           L"you are connected to "
           L"the server on which the file resides."},
      {junk, 3343, L"Unrecognized database format '" + junk + L"'."},
      {dir.file("plain.db"), 3343,
       L"Unrecognized database format '" + dir.file("plain.db") + L"'."},
      {dir.file("empty.mdb"), 3343,
       L"Unrecognized database format '" + dir.file("empty.mdb") + L"'."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    CDaoDatabase db;
    CString msg;
    EXPECT_EQ(daoError([&] { db.Open(c.path); }, &msg), c.code);
    EXPECT_STREQ(msg, c.text);
    EXPECT_FALSE(db.IsOpen());
  }
}

TEST(OpenErrors, BackslashesSeparateFoldersAndTheNameKeepsItsForm) {
  ScratchDir dir;
  CString slashes = dir.file("win.mdb");
  CString backslashes = slashes;
  backslashes.Replace(L'/', L'\\');
  CDaoDatabase a;
  a.Create(backslashes);
  EXPECT_STREQ(a.GetName(), backslashes);
  a.Close();
  CDaoDatabase b;
  b.Open(slashes);
  EXPECT_STREQ(b.GetName(), slashes);
  EXPECT_TRUE(b.CanUpdate());
  CString msg;
  CDaoDatabase c;
  EXPECT_EQ(daoError([&] { c.Create(slashes); }, &msg), 3204);
  EXPECT_STREQ(msg, L"Database already exists.");
}

TEST(OpenErrors, DamagedHeaderIsNotALockError) {
  ScratchDir dir;
  {
    CDaoDatabase db;
    db.Create(dir.file("d.mdb"));
    makeTable(db, L"T", {{L"A", dbLong, 0}});
  }
  {
    std::fstream f(dir.path() + "/d.mdb", std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(0);
    f << "garbage garbage!";  // the 16-byte SQLite magic string
  }
  CDaoDatabase db;
  long code = daoError([&] { db.Open(dir.file("d.mdb")); });
  EXPECT_NE(code, 0);
  EXPECT_NE(code, 3051);
}

TEST(OpenModes, ReadOnlyFilesAndExclusiveUseWithinOneProcess) {
  ScratchDir dir;
  CString path = dir.file("m.mdb");
  {
    CDaoDatabase db;
    db.Create(path);
  }
  {
    CDaoDatabase exclusive;
    exclusive.Open(path, /*bExclusive=*/TRUE);
    CDaoDatabase writer;
    CString msg;
    EXPECT_EQ(daoError([&] { writer.Open(path); }, &msg), 3051);
    EXPECT_STREQ(msg, L"The Microsoft Jet database engine cannot open the file '" + path +
                          L"'.  It is already opened exclusively by another user, or you need "
                          L"permission to view its "
                          L"data.");
    CDaoDatabase reader;
    reader.Open(path, FALSE, /*bReadOnly=*/TRUE);
    EXPECT_FALSE(reader.CanUpdate());
  }
  {
    CDaoDatabase writer;
    writer.Open(path);
    CDaoDatabase exclusive;
    CString msg;
    EXPECT_EQ(daoError([&] { exclusive.Open(path, TRUE); }, &msg), 3045);
    EXPECT_STREQ(msg, L"Could not use '" + path + L"'; file already in use.");
  }
  ASSERT_EQ(chmod((dir.path() + "/m.mdb").c_str(), 0444), 0);
  CDaoDatabase db;
  EXPECT_EQ(daoError([&] { db.Open(path); }), 3051);
  db.Open(path, FALSE, TRUE);
  EXPECT_FALSE(db.CanUpdate());
}

TEST(OpenModes, TheLockFileGoesWithTheLastWriter) {
  ScratchDir dir;
  std::string lockFile = dir.path() + "/l.ldb";
  auto exists = [&] { return access(lockFile.c_str(), F_OK) == 0; };
  CDaoDatabase a, b;
  a.Create(dir.file("l.mdb"));
  EXPECT_TRUE(exists());
  b.Open(dir.file("l.mdb"));
  a.Close();
  EXPECT_TRUE(exists());  // b still writes
  CDaoDatabase exclusive;
  EXPECT_EQ(daoError([&] { exclusive.Open(dir.file("l.mdb"), TRUE); }), 3045);
  b.Close();
  EXPECT_FALSE(exists());
  exclusive.Open(dir.file("l.mdb"), TRUE);  // nobody left: exclusive use is granted
  EXPECT_TRUE(exclusive.CanUpdate());
}

TEST(TableDefs, CreateListRenameDelete) {
  ScratchDir dir;
  CDaoDatabase db;
  db.Create(dir.file("defs.mdb"));
  makeTable(db, L"Zeta", {{L"A", dbLong, 0}});
  makeTable(db, L"alpha", {{L"A", dbLong, 0}});
  CString msg;
  EXPECT_EQ(daoError([&] { makeTable(db, L"ZETA", {{L"A", dbLong, 0}}); }, &msg), 3010);
  EXPECT_STREQ(msg, L"Table 'ZETA' already exists.");
  EXPECT_EQ(daoError([&] { makeTable(db, L"Bad.Name", {{L"A", dbLong, 0}}); }), 3125);
  EXPECT_EQ(daoError([&] {
              makeTable(db, L"Twice", {{L"A", dbLong, 0}, {L"a", dbText, 5}});
            }),
            3191);
  EXPECT_EQ(daoError([&] { makeTable(db, L"Odd", {{L"A", dbBinary, 0}}); }), 3259);
  EXPECT_EQ(daoError([&] { makeTable(db, L"Empty", {}); }), 3264);

  // DAO lists every table by name, Jet's system tables among them.
  std::vector<CString> names;
  for (short i = 0; i < db.GetTableDefCount(); ++i) {
    CDaoTableDefInfo info;
    db.GetTableDefInfo(i, info);
    names.push_back(info.m_strName);
  }
  ASSERT_GE(names.size(), 3u);
  EXPECT_STREQ(names.front(), L"alpha");
  EXPECT_STREQ(names.back(), L"Zeta");
  EXPECT_TRUE(std::find(names.begin(), names.end(), CString(L"MSysObjects")) != names.end());

  CDaoTableDef td(&db);
  EXPECT_EQ(daoError([&] { td.Open(L"nothere"); }), 3265);
  td.Open(L"zeta");
  td.CreateField(L"Added", dbText, 20);
  EXPECT_EQ(daoError([&] { td.CreateField(L"added", dbLong, 0); }), 3191);
  CDaoIndexFieldInfo field;
  field.m_strName = L"Added";
  CDaoIndexInfo ix;
  ix.m_strName = L"ByAdded";
  ix.m_pFieldInfos = &field;
  ix.m_nFields = 1;
  td.CreateIndex(ix);
  EXPECT_EQ(daoError([&] { td.CreateIndex(ix); }), 3284);
  ix.m_pFieldInfos = nullptr;
  EXPECT_EQ(td.GetFieldCount(), 2);
  EXPECT_EQ(td.GetIndexCount(), 1);
  td.SetName(L"Omega");
  EXPECT_STREQ(td.GetName(), L"Omega");
  td.Close();

  CDaoRecordset rs(&db);
  EXPECT_EQ(daoError([&] { rs.Open(dbOpenTable, L"Zeta"); }, &msg), 3078);
  EXPECT_STREQ(msg,
               L"The Microsoft Jet database engine cannot find the input table or query 'Zeta'.  "
               L"Make sure it "
               L"exists and that its name is spelled correctly.");
  rs.Open(dbOpenTable, L"Omega");
  rs.SetCurrentIndex(L"ByAdded");
  rs.Close();
  db.DeleteTableDef(L"Omega");
  EXPECT_EQ(daoError([&] { db.DeleteTableDef(L"Omega"); }), 3265);
  CDaoDatabase again;
  again.Open(dir.file("defs.mdb"));
  CDaoTableDefInfo info;
  EXPECT_EQ(daoError([&] { again.GetTableDefInfo(L"Omega", info); }), 3265);
  again.GetTableDefInfo(L"ALPHA", info);
  EXPECT_STREQ(info.m_strName, L"alpha");
}

TEST(TableDefs, SqlThroughExecute) {
  ScratchDir dir;
  CDaoDatabase db;
  db.Create(dir.file("sql.mdb"));
  makeTable(db, L"T", {{L"A", dbLong, 0}, {L"B", dbText, 10}});
  db.Execute(L"INSERT INTO T (A, B) VALUES (1, 'x'), (2, 'y')");
  EXPECT_EQ(db.GetRecordsAffected(), 2);
  CString msg;
  EXPECT_EQ(daoError([&] { db.Execute(L"DELETE FROM NoSuch"); }, &msg), 3078);
  EXPECT_STREQ(msg,
               L"The Microsoft Jet database engine cannot find the input table or query 'NoSuch'.  "
               L"Make sure it "
               L"exists and that its name is spelled correctly.");
  CDaoRecordset rs(&db);
  rs.Open(dbOpenSnapshot, L"SELECT count(*) FROM T WHERE B = 'X '");
  EXPECT_EQ(rs.GetFieldValue(0).lVal, 1);  // Jet's text comparison
}

TEST(Engine, StartFailureAndTermination) {
  AfxDaoTerm();
  setenv("TABRIK_DAO_INIT_FAIL", "1", 1);
  long code = 0;
  try {
    AfxDaoInit();
  } catch (CDaoException* e) {
    code = e->m_nAfxDaoError;
    e->Delete();
  }
  unsetenv("TABRIK_DAO_INIT_FAIL");
  EXPECT_EQ(code, AFX_DAO_ERROR_ENGINE_INITIALIZATION);
  AfxDaoInit();

  ScratchDir dir;
  CDaoDatabase db;
  db.Create(dir.file("e.mdb"));
  EXPECT_EQ(db.m_nStatus, AFX_DAO_IMPLICIT_WS);
  AfxDaoTerm();
  EXPECT_FALSE(db.IsOpen());
  EXPECT_NE(db.m_nStatus & AFX_DAO_IMPLICIT_CLOSE, 0);
  EXPECT_EQ(daoError([&] { db.Open(dir.file("e.mdb")); }), 3420);
  AfxDaoInit();
}

}  // namespace

namespace {

TEST(Recordsets, ClosingADatabaseClosesOnlyItsOwnRecordsets) {
  ScratchDir dir;
  CDaoDatabase a, b;
  a.Create(dir.file("a.mdb"));
  b.Create(dir.file("b.mdb"));
  makeTable(a, L"T", {{L"X", dbLong, 0}});
  makeTable(b, L"T", {{L"X", dbLong, 0}});
  CDaoRecordset rs(&b);
  rs.Open(dbOpenTable, L"T");
  CDaoTableDef td(&a);
  td.Open(L"T");
  rs.Open(&td);  // moves to database a
  EXPECT_EQ(rs.m_pDatabase, &a);
  b.Close();
  EXPECT_TRUE(rs.IsOpen());
  CDaoRecordset other(&a);
  other.Open(dbOpenTable, L"T");
  a.Close();
  EXPECT_FALSE(rs.IsOpen());
  EXPECT_FALSE(other.IsOpen());
  EXPECT_EQ(daoError([&] { other.MoveNext(); }), -AFX_DAO_ERROR_OBJECT_NOT_OPEN);
}

}  // namespace
