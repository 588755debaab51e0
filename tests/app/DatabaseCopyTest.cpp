// Copying a database through the DAO classes: the copy holds what the source holds
// (definitions, records, indexes, relations, queries), refuses a target that is not
// empty, and a new target file appears whole or not at all.
#include <cstdlib>
#include <fstream>

#include "../dao/DaoTestSupport.h"
#include "DaoMessage.h"
#include "tabrik/DatabaseCopy.h"
#include "ServerTestSupport.h"

using namespace daotest;
using tabrik::dao::copyDatabaseBetween;
using tabrik::dao::CopyRefused;
using tabrik::dao::DatabaseCopyReport;

namespace {

bool exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// A database with every field type the engine holds, counters with gaps, Nulls, defaults, indexes
// of each kind, a cascading relation, a link and stored queries (one reading another).
void makeSource(const CString& path, const CString& linkedPath) {
  {
    CDaoDatabase other;
    other.Create(linkedPath);
    makeTable(other, L"Far", {{L"K", dbLong, 0}});
    other.Execute(L"INSERT INTO Far VALUES (7)");
  }
  CDaoDatabase db;
  db.Create(path);
  makeTable(db, L"Kinds",
            {{L"ID", dbLong, 0, dbAutoIncrField},
             {L"Name", dbText, 40, 0, /*required=*/true},
             {L"Note", dbMemo, 0, 0, false, /*allowZeroLength=*/true},
             {L"Flag", dbBoolean, 0},
             {L"Small", dbByte, 0},
             {L"Count", dbInteger, 0, 0, false, false, L"3"},
             {L"Price", dbCurrency, 0},
             {L"Ratio", dbSingle, 0},
             {L"Length", dbDouble, 0},
             {L"Made", dbDate, 0}},
            {{L"PrimaryKey", {{L"ID", false}}, true, true},
             {L"ByName", {{L"Name", false}}, /*unique=*/true},
             {L"ByMadeLength", {{L"Made", true}, {L"Length", false}}}});
  makeTable(db, L"Parts", {{L"PartID", dbLong, 0}, {L"KindID", dbLong, 0}, {L"Code", dbText, 8}},
            {{L"PrimaryKey", {{L"PartID", false}}, true, true}});
  db.Execute(
      L"INSERT INTO Kinds (ID, Name, Note, Flag, Small, Count, Price, Ratio, Length, Made) "
      L"VALUES (1, 'Duct', 'round ''and'' square', -1, 255, -32768, 1234.5678, 0.25, "
      L"1e300, #12/31/1899#)");
  db.Execute(L"INSERT INTO Kinds (ID, Name, Price) VALUES (2, 'Elbow', 2.5)");
  db.Execute(
      L"INSERT INTO Kinds (ID, Name, Note, Made, Length) VALUES (5, 'Tee', '', #2/29/2024 "
      L"13:45:10#, -0.5)");
  db.Execute(L"INSERT INTO Parts VALUES (10, 1, 'D-100'), (11, 1, 'D-200'), (12, 5, 'T-1')");
  CDaoRelationFieldInfo fields[1];
  fields[0].m_strName = L"ID";
  fields[0].m_strForeignName = L"KindID";
  CDaoRelationInfo relation;
  relation.m_strName = L"KindsParts";
  relation.m_strTable = L"Kinds";
  relation.m_strForeignTable = L"Parts";
  relation.m_lAttributes = dbRelationDeleteCascade;
  relation.m_pFieldInfos = fields;
  relation.m_nFields = 1;
  db.CreateRelation(relation);
  relation.m_pFieldInfos = nullptr;
  relation.m_nFields = 0;
  CDaoTableDef link(&db);
  link.Create(L"FarLink", 0, L"Far", L";DATABASE=" + linkedPath);
  link.Append();
  // AFirst reads ZLast, which comes after it in name order.
  for (auto [name, sql] : {std::pair{L"Cheap", L"SELECT Name FROM Kinds WHERE Price < 10"},
                           std::pair{L"CheapCount", L"SELECT Count(*) AS N FROM Cheap"},
                           std::pair{L"ZLast", L"SELECT Name FROM Kinds WHERE ID > 1"},
                           std::pair{L"AFirst", L"SELECT Name FROM ZLast"}}) {
    CDaoQueryDef q(&db);
    q.Create(name, sql);
    q.Append();
  }
}

// Everything a database says about itself, as text: definitions, indexes, relations,
// queries and every record, in a fixed order. A copy must describe itself the same.
std::string describe(CDaoDatabase& db) {
  std::string out;
  auto add = [&](const CString& s) {
    for (const wchar_t* p = s.GetString(); *p; ++p) out += static_cast<char>(*p);
  };
  for (short t = 0; t < db.GetTableDefCount(); ++t) {
    CDaoTableDefInfo info;
    db.GetTableDefInfo(t, info, AFX_DAO_SECONDARY_INFO);
    if (info.m_lAttributes & dbSystemObject) continue;
    out += "\ntable ";
    add(info.m_strName);
    out += " attributes " + std::to_string(info.m_lAttributes) + " source ";
    add(info.m_strSrcTableName);
    CDaoTableDef def(&db);
    def.Open(info.m_strName);
    for (short f = 0; f < def.GetFieldCount(); ++f) {
      CDaoFieldInfo field;
      def.GetFieldInfo(f, field, AFX_DAO_ALL_INFO);
      out += "\n  field ";
      add(field.m_strName);
      out += " " + std::to_string(field.m_nType) + " " + std::to_string(field.m_lSize) + " " +
             std::to_string(field.m_lAttributes) + " " + std::to_string(field.m_bRequired) + " " +
             std::to_string(field.m_bAllowZeroLength) + " default ";
      add(field.m_strDefaultValue);
    }
    for (short i = 0; i < def.GetIndexCount(); ++i) {
      CDaoIndexInfo index;
      def.GetIndexInfo(i, index, AFX_DAO_ALL_INFO);
      out += "\n  index ";
      add(index.m_strName);
      out += " " + std::to_string(index.m_bPrimary) + std::to_string(index.m_bUnique) +
             std::to_string(index.m_bIgnoreNulls) + std::to_string(index.m_bRequired) +
             std::to_string(index.m_bForeign);
      for (short k = 0; k < index.m_nFields; ++k) {
        out += " ";
        add(index.m_pFieldInfos[k].m_strName);
        out += index.m_pFieldInfos[k].m_bDescending ? "-" : "+";
      }
    }
    CDaoRecordset rs(&db);
    rs.Open(dbOpenSnapshot, L"SELECT * FROM [" + info.m_strName + L"]");
    for (; !rs.IsEOF(); rs.MoveNext()) {
      out += "\n  row";
      for (short f = 0; f < rs.GetFieldCount(); ++f) {
        out += " " + showValue(rs.GetFieldValue(f), 17);
      }
    }
  }
  for (short r = 0; r < db.GetRelationCount(); ++r) {
    CDaoRelationInfo relation;
    db.GetRelationInfo(r, relation, AFX_DAO_ALL_INFO);
    out += "\nrelation ";
    add(relation.m_strName + L" " + relation.m_strTable + L" " + relation.m_strForeignTable);
    out += " " + std::to_string(relation.m_lAttributes);
    for (short k = 0; k < relation.m_nFields; ++k)
      add(L" " + relation.m_pFieldInfos[k].m_strName + L"=" +
          relation.m_pFieldInfos[k].m_strForeignName);
  }
  for (short q = 0; q < db.GetQueryDefCount(); ++q) {
    CDaoQueryDefInfo info;
    db.GetQueryDefInfo(q, info, AFX_DAO_ALL_INFO);
    out += "\nquery ";
    add(info.m_strName + L": " + info.m_strSQL);
  }
  return out;
}

class DatabaseCopy : public testing::Test {
 protected:
  void SetUp() override {
    CString why;
    ASSERT_EQ(daoError([&] { makeSource(dir.file("source.mdb"), dir.file("far.mdb")); }, &why), 0)
        << testing::PrintToString(std::wstring(why.GetString()));
  }
  std::string describeFile(const CString& path) {
    CDaoDatabase db;
    db.Open(path, FALSE, /*bReadOnly=*/TRUE);
    return describe(db);
  }
  ScratchDir dir;
};

TEST_F(DatabaseCopy, TheCopyHoldsWhatTheSourceHolds) {
  std::vector<std::string> lines;
  const DatabaseCopyReport report =
      copyDatabaseBetween(dir.file("source.mdb").GetString(), dir.file("copy.mdb").GetString(),
                          [&](const tabrik::dao::CopiedTable& t) {
                            lines.push_back(std::to_string(t.records) + (t.linked ? " link" : ""));
                          });
  EXPECT_EQ(report.tables.size(), 3u);
  EXPECT_EQ(report.relations, 1);
  EXPECT_EQ(report.queries, 4);
  EXPECT_EQ(lines, (std::vector<std::string>{"0 link", "3", "3"}));
  const std::string source = describeFile(dir.file("source.mdb"));
  EXPECT_EQ(describeFile(dir.file("copy.mdb")), source);
  // Copied again from the copy, through a pointer-free second hop: still the same.
  copyDatabaseBetween(dir.file("copy.mdb").GetString(), dir.file("again.mdb").GetString(), {});
  EXPECT_EQ(describeFile(dir.file("again.mdb")), source);
  // the temporary file the copy was made in is gone
  EXPECT_EQ(std::system(("ls '" + dir.path() + "' | grep -q copying").c_str()) == 0, false);
}

TEST_F(DatabaseCopy, CopiedRecordsBehaveAsTheSourcesDid) {
  copyDatabaseBetween(dir.file("source.mdb").GetString(), dir.file("copy.mdb").GetString(), {});
  CDaoDatabase db;
  db.Open(dir.file("copy.mdb"));
  struct Case {
    const wchar_t* sql;
    std::string rows;
  };
  const Case cases[] = {
      // counters keep their numbers, gaps included, and go on after the highest
      {L"SELECT ID FROM Kinds ORDER BY ID", "1;2;5"},
      {L"SELECT Count, Price, Ratio FROM Kinds WHERE ID = 1", "-32768|1234.5678|0.25"},
      {L"SELECT Made FROM Kinds WHERE ID = 5", "45351.5730324074"},
      {L"SELECT Name FROM Cheap", "Elbow"},
      {L"SELECT Count(*) FROM Cheap WHERE Name Like 'E*'", "1"},
      {L"SELECT K FROM FarLink", "7"},
      // Jet's text order and comparison come with the table
      {L"SELECT Name FROM Kinds WHERE Name = 'ELBOW'", "Elbow"},
  };
  CDaoDatabase source;
  source.Open(dir.file("source.mdb"), FALSE, /*bReadOnly=*/TRUE);
  for (const Case& c : cases) {
    for (CDaoDatabase* each : {&source, &db}) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(c.sql)) +
                   (each == &db ? " in the copy" : " in the source"));
      std::string rows;
      CString why;
      EXPECT_EQ(daoError([&] { rows = snapshotRows(*each, c.sql); }, &why), 0)
          << testing::PrintToString(std::wstring(why.GetString()));
      EXPECT_EQ(rows, c.rows);
    }
  }
  CString why;
  EXPECT_EQ(daoError([&] { db.Execute(L"INSERT INTO Kinds (Name) VALUES ('Cap')"); }, &why), 0)
      << testing::PrintToString(std::wstring(why.GetString()));
  EXPECT_EQ(snapshotRows(db, L"SELECT ID FROM Kinds WHERE Name = 'Cap'"), "6");
  // the unique index and the relation hold in the copy
  EXPECT_EQ(daoError([&] { db.Execute(L"INSERT INTO Kinds (Name) VALUES ('Duct')"); }), 3022);
  EXPECT_EQ(daoError([&] { db.Execute(L"INSERT INTO Parts VALUES (13, 99, 'X')"); }), 3201);
  EXPECT_EQ(daoError([&] { db.Execute(L"DELETE FROM Kinds WHERE ID = 1"); }, &why), 0)
      << testing::PrintToString(std::wstring(why.GetString()));
  EXPECT_EQ(snapshotRows(db, L"SELECT PartID FROM Parts"), "12");
}

TEST_F(DatabaseCopy, RefusalsLeaveTheTargetAsItWas) {
  {
    CDaoDatabase withTable;
    withTable.Create(dir.file("table.mdb"));
    makeTable(withTable, L"Mine", {{L"X", dbLong, 0}});
    CDaoDatabase withQuery;
    withQuery.Create(dir.file("query.mdb"));
    CDaoQueryDef q(&withQuery);
    q.Create(L"One", L"SELECT 1 AS X");
    q.Append();
    CDaoDatabase empty;
    empty.Create(dir.file("empty.mdb"));
  }
  struct Case {
    const char* name;
    const char* target;
    bool refused;
  };
  const Case cases[] = {
      {"a table in the target", "table.mdb", true},
      {"a query in the target", "query.mdb", true},
      {"an empty database is filled", "empty.mdb", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CString target = dir.file(c.target);
    const std::string before = describeFile(target);
    bool refused = false;
    try {
      copyDatabaseBetween(dir.file("source.mdb").GetString(), target.GetString(), {});
    } catch (const CopyRefused& e) {
      refused = true;
      EXPECT_NE(std::string(e.what()).find("copy into an empty database"), std::string::npos);
    }
    EXPECT_EQ(refused, c.refused);
    if (c.refused)
      EXPECT_EQ(describeFile(target), before);
    else
      EXPECT_EQ(describeFile(target), describeFile(dir.file("source.mdb")));
  }
}

TEST_F(DatabaseCopy, ErrorsAreDaosAndLeaveNoFile) {
  struct Case {
    const char* name;
    std::string source, target;
    long error;
  };
  const Case cases[] = {
      {"missing source", dir.path() + "/nowhere.mdb", dir.path() + "/out1.mdb", 3024},
      {"missing target folder", dir.path() + "/source.mdb", dir.path() + "/no/out2.mdb", 3044},
      {"source not a database", dir.path() + "/text.mdb", dir.path() + "/out3.mdb", 3343},
  };
  std::ofstream(dir.path() + "/text.mdb") << "just some text\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(daoError([&] {
                copyDatabaseBetween(CString(c.source.c_str()).GetString(),
                                    CString(c.target.c_str()).GetString(), {});
              }),
              c.error);
    EXPECT_FALSE(exists(c.target));
  }
}

// Up to a server and back into a file, the way back through a pointer file: the file
// at the end describes itself as the source does; the server, now full, is refused.
TEST_F(DatabaseCopy, ToAServerAndBack) {
  auto server = daotest::TestServerDatabase::make("copy");
  if (!server) GTEST_SKIP() << daotest::TestServerDatabase::whyNot();
  const std::wstring connect = CString(server->connectString().c_str()).GetString();
  const DatabaseCopyReport up =
      copyDatabaseBetween(dir.file("source.mdb").GetString(), connect, {});
  EXPECT_EQ(up.tables.size(), 3u);
  std::ofstream(dir.path() + "/pointer.mdb") << "# on the server\n"
                                             << server->connectString() << "\n";
  copyDatabaseBetween(dir.file("pointer.mdb").GetString(), dir.file("back.mdb").GetString(), {});
  EXPECT_EQ(describeFile(dir.file("back.mdb")), describeFile(dir.file("source.mdb")));
  EXPECT_THROW(copyDatabaseBetween(dir.file("source.mdb").GetString(), connect, {}), CopyRefused);
}

// A server that cannot be reached, named directly or through a pointer file: DAO's
// error, and the message printed shows no password.
TEST(DatabaseCopyMessages, NoPasswordInWhatIsPrinted) {
  ScratchDir dir;
  const std::string connect =
      "ODBC;DRIVER={PostgreSQL};SERVER=127.0.0.1;PORT=1;DATABASE=x;UID=u;PWD=s3cret;";
  std::ofstream(dir.path() + "/pointer.mdb") << "# moved to the server\n" << connect << "\n";
  const std::string sources[] = {connect, dir.path() + "/pointer.mdb"};
  for (const std::string& source : sources) {
    SCOPED_TRACE(source);
    std::string message;
    try {
      copyDatabaseBetween(CString(source.c_str()).GetString(), dir.file("out.mdb").GetString(), {});
    } catch (CDaoException* e) {
      message = tabrik::app::daoMessage(e);
    }
    EXPECT_EQ(message.rfind("(", 0), 0u) << message;  // "(number) description"
    EXPECT_EQ(message.find("s3cret"), std::string::npos) << message;
    EXPECT_FALSE(exists(dir.path() + "/out.mdb"));
  }
}

// An Access file is read through the engine's converted copy: Northwind's own counts.
TEST(DatabaseCopyFromAccess, NorthwindComesOverWhole) {
  ScratchDir dir;
  const std::string nwind = std::string(TABRIK_ACCESS_TEST_DIR) + "/nwind.mdb";
  const DatabaseCopyReport report =
      copyDatabaseBetween(CString(nwind.c_str()).GetString(), dir.file("nw.mdb").GetString(), {});
  struct Case {
    const wchar_t* table;
    long records;
  };
  const Case cases[] = {{L"Orders", 830},
                        {L"Order Details", 2155},
                        {L"Customers", 91},
                        {L"Products", 77},
                        {L"Shippers", 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.table)));
    long records = -1;
    for (const auto& t : report.tables)
      if (t.name == c.table) records = t.records;
    EXPECT_EQ(records, c.records);
  }
  CDaoDatabase db;
  db.Open(dir.file("nw.mdb"));
  EXPECT_EQ(snapshotRows(db, L"SELECT CompanyName FROM Customers WHERE CustomerID = 'ALFKI'"),
            "Alfreds Futterkiste");
  EXPECT_EQ(db.GetRelationCount(), 7);
}

}  // namespace
