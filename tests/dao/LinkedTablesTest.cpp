// Linked tables: a table of another database (a file, or a server's through an ODBC
// connect string) reached through a connect string, read as a snapshot, with DAO's
// errors for broken links.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "DaoTestSupport.h"

using namespace daotest;

namespace {

class LinkedTables : public testing::Test {
 protected:
  void SetUp() override {
    CDaoDatabase other;
    other.Create(dir.file("other.mdb"));
    makeTable(other, L"Src", {{L"A", dbLong, 0}, {L"B", dbText, 12}});
    other.Execute(L"INSERT INTO Src VALUES (1, 'one'), (2, 'two')");
    db.Create(dir.database("main.mdb"));
    makeTable(db, L"Mine", {{L"X", dbLong, 0}});
  }
  void link(const wchar_t* local, const CString& path, const wchar_t* source) {
    CDaoTableDef td(&db);
    td.Create(local, 0, source, L";DATABASE=" + path);
    td.Append();
  }
  ScratchDir dir;
  CDaoDatabase db;
};

TEST_F(LinkedTables, ReadThroughTheLinkAsASnapshot) {
  link(L"Local", dir.file("other.mdb"), L"Src");
  CDaoTableDefInfo info;
  db.GetTableDefInfo(L"Local", info, AFX_DAO_SECONDARY_INFO);
  EXPECT_EQ(info.m_lAttributes & dbAttachedTable, dbAttachedTable);
  EXPECT_STREQ(info.m_strConnect, L";DATABASE=" + dir.file("other.mdb"));
  EXPECT_STREQ(info.m_strSrcTableName, L"Src");

  CDaoRecordset rs(&db);
  EXPECT_EQ(daoError([&] { rs.Open(dbOpenTable, L"Local"); }), 3219);
  rs.Open(dbOpenDynaset, L"Local");
  EXPECT_EQ(rs.GetRecordCount(), 2);
  EXPECT_STREQ(text(rs.GetFieldValue(L"B")), L"one");
  CDaoFieldInfo field;
  rs.GetFieldInfo(L"B", field);
  EXPECT_EQ(field.m_nType, dbText);
  EXPECT_EQ(field.m_lSize, 12);
  rs.Close();

  {  // the source's later changes show through the link
    CDaoDatabase other;
    other.Open(dir.file("other.mdb"));
    other.Execute(L"INSERT INTO Src VALUES (3, 'three')");
  }
  CDaoDatabase again;  // another connection finds and attaches the link itself
  again.Open(dir.database("main.mdb"));
  CDaoRecordset q(&again);
  q.Open(dbOpenSnapshot, L"SELECT count(*) FROM Local WHERE B = 'THREE'");
  EXPECT_EQ(q.GetFieldValue(0).lVal, 1);

  db.DeleteTableDef(L"Local");
  EXPECT_EQ(daoError([&] { db.GetTableDefInfo(L"Local", info); }), 3265);
  CDaoDatabase other;
  other.Open(dir.file("other.mdb"));
  CDaoRecordset src(&other);
  src.Open(dbOpenTable, L"Src");
  EXPECT_EQ(src.GetRecordCount(), 3);  // deleting the link leaves the source alone
}

TEST_F(LinkedTables, BrokenLinksHaveTheirErrors) {
  std::ofstream(dir.path() + "/junk.mdb") << "no database here, only text in a file";
  struct Case {
    const char* what;
    const wchar_t* local;
    CString path;
    const wchar_t* source;
    long code;
    CString text;
  };
  CString missing = dir.file("missing.mdb");
  const Case cases[] = {
      {"missing file", L"L1", missing, L"Src", 3024, L"Could not find file '" + missing + L"'."},
      {"missing folder", L"L2", dir.file("nope/x.mdb"), L"Src", 3044, L""},
      {"missing source table", L"L3", dir.file("other.mdb"), L"Nothing", 3011,
       L"The Microsoft Jet database engine could not find the object 'Nothing'.  Make sure the "
       L"object exists and "
       L"that you spell its name and the path name correctly."},
      {"local name taken", L"Mine", dir.file("other.mdb"), L"Src", 3010,
       L"Table 'Mine' already exists."},
      {"no database", L"L4", dir.file("junk.mdb"), L"Src", 3343, L""},
  };
  for (const auto& c : cases) {
    CString msg;
    EXPECT_EQ(daoError([&] { link(c.local, c.path, c.source); }, &msg), c.code) << c.what;
    if (!c.text.IsEmpty()) {
      EXPECT_STREQ(msg, c.text) << c.what;
    }
  }
  // A link whose file disappears afterwards fails when it is used.
  link(L"Gone", dir.file("other.mdb"), L"Src");
  db.Close();
  ASSERT_EQ(std::rename((dir.path() + "/other.mdb").c_str(), (dir.path() + "/moved.mdb").c_str()),
            0);
  db.Open(dir.database("main.mdb"));
  CDaoRecordset rs(&db);
  EXPECT_EQ(daoError([&] { rs.Open(dbOpenSnapshot, L"Gone"); }), 3024);
}

// Every pair of back ends the test run has: a file or a server database linking a
// table of a file or of a server database.
TEST(LinkedTablesAcross, EveryPairOfBackEndsReadsThroughTheLink) {
  ScratchDir dir;
  struct Case {
    const char* what;
    CString main, source;
  };
  std::vector<Case> cases = {{"file in file", dir.file("m1.mdb"), dir.file("s1.mdb")}};
  if (engineServer()) {
    cases.push_back({"server in file", dir.file("m2.mdb"), dir.database("s2.mdb")});
    cases.push_back({"file in server", dir.database("m3.mdb"), dir.file("s3.mdb")});
    cases.push_back({"server in server", dir.database("m4.mdb"), dir.database("s4.mdb")});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CDaoDatabase source;
    source.Create(c.source);
    makeTable(source, L"Src", {{L"A", dbLong, 0}, {L"B", dbText, 12}, {L"C", dbDouble, 0}});
    source.Execute(L"INSERT INTO Src VALUES (1, 'one', 1.5), (2, 'Two', Null)");
    CDaoDatabase db;
    db.Create(c.main);
    const CString connect =
        c.source.Left(5).CompareNoCase(L"ODBC;") == 0 ? c.source : L";DATABASE=" + c.source;
    {
      CDaoTableDef link(&db);
      link.Create(L"Local", 0, L"Src", connect);
      link.Append();
    }
    CDaoTableDefInfo info;
    db.GetTableDefInfo(L"Local", info, AFX_DAO_SECONDARY_INFO);
    EXPECT_STREQ(info.m_strConnect, connect);
    EXPECT_EQ(snapshotRows(db, L"SELECT A, B, C FROM Local ORDER BY A"), "1|one|1.5;2|Two|Null");
    EXPECT_EQ(snapshotRows(db, L"SELECT A FROM Local WHERE B = 'TWO'"), "2");
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, L"Local");
    CDaoFieldInfo field;
    rs.GetFieldInfo(L"B", field);
    EXPECT_EQ(field.m_nType, dbText);
    EXPECT_EQ(field.m_lSize, 12);
    EXPECT_EQ(rs.GetRecordCount(), 2);
    rs.Close();
    // Read-only to SQL, and the source untouched.
    EXPECT_NE(daoError([&] { db.Execute(L"DELETE FROM Local"); }), 0);
    EXPECT_EQ(snapshotRows(source, L"SELECT count(*) FROM Src"), "2");
    // The source's later commits show through the same session's link: a server
    // source's reach it with the server's notification, a moment later.
    source.Execute(L"INSERT INTO Src VALUES (3, 'three', 3)");
    std::string count;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while ((count = snapshotRows(db, L"SELECT count(*) FROM Local")) != "3" &&
           std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(count, "3");
    // Another session finds the link itself; deleting the link leaves the source.
    {
      CDaoDatabase again;
      again.Open(c.main, FALSE, TRUE);
      EXPECT_EQ(snapshotRows(again, L"SELECT B FROM Local WHERE A = 3"), "three");
    }
    db.DeleteTableDef(L"Local");
    EXPECT_EQ(daoError([&] { db.GetTableDefInfo(L"Local", info); }), 3265);
    EXPECT_EQ(daoError([&] { snapshotRows(db, L"SELECT count(*) FROM Local"); }), 3078);
    EXPECT_EQ(snapshotRows(source, L"SELECT count(*) FROM Src"), "3");
  }
}

// A link to a server that cannot be reached, or to a table it does not have.
TEST(LinkedTablesAcross, ServerLinksHaveTheirErrors) {
  ScratchDir dir;
  CDaoDatabase db;
  db.Create(dir.file("main.mdb"));
  struct Case {
    const char* what;
    CString connect;
    long code;
  };
  std::vector<Case> cases = {
      {"no server there", L"ODBC;DRIVER={PostgreSQL};SERVER=127.0.0.1;PORT=1;DATABASE=x", 3151}};
  if (engineServer()) {
    CString source = dir.database("src.mdb");
    CDaoDatabase made;
    made.Create(source);
    cases.push_back({"no such table", source, 3011});
  }
  for (const Case& c : cases) {
    CDaoTableDef link(&db);
    link.Create(L"Far", 0, L"Src", c.connect);
    EXPECT_EQ(daoError([&] { link.Append(); }), c.code) << c.what;
  }
}

// A copy first made inside a transaction that is rolled back goes with it, and the
// next read makes it again.
TEST(LinkedTablesAcross, ACopyMadeInARolledBackTransactionIsMadeAgain) {
  if (!engineServer()) GTEST_SKIP() << "TABRIK_TEST_PG_ENGINE and TABRIK_TEST_PG are not set";
  ScratchDir dir;
  struct Case {
    const char* what;
    CString main, source;
  };
  const Case cases[] = {{"server in file", dir.file("m1.mdb"), dir.database("s1.mdb")},
                        {"file in server", dir.database("m2.mdb"), dir.file("s2.mdb")}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    {
      CDaoDatabase source;
      source.Create(c.source);
      makeTable(source, L"Src", {{L"A", dbLong, 0}});
      source.Execute(L"INSERT INTO Src VALUES (1), (2)");
      CDaoDatabase db;
      db.Create(c.main);
      CDaoTableDef link(&db);
      link.Create(L"Local", 0, L"Src",
                  c.source.Left(5) == L"ODBC;" ? c.source : L";DATABASE=" + c.source);
      link.Append();
    }
    CDaoWorkspace ws;
    ws.Open();
    CDaoDatabase db(&ws);
    db.Open(c.main);
    ws.BeginTrans();
    EXPECT_EQ(snapshotRows(db, L"SELECT count(*) FROM Local"), "2");
    ws.Rollback();
    EXPECT_EQ(snapshotRows(db, L"SELECT count(*) FROM Local"), "2");
    CDaoRecordset rs(&db);
    rs.Open(dbOpenSnapshot, L"Local");
    EXPECT_EQ(rs.GetRecordCount(), 2);
  }
}

}  // namespace
