// Linked tables: a table of another database file reached through a connect string,
// read as a snapshot, with DAO's errors for broken links.
#include <cstdio>
#include <fstream>

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
    db.Create(dir.file("main.mdb"));
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
  again.Open(dir.file("main.mdb"));
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
  db.Open(dir.file("main.mdb"));
  CDaoRecordset rs(&db);
  EXPECT_EQ(daoError([&] { rs.Open(dbOpenSnapshot, L"Gone"); }), 3024);
}

}  // namespace
