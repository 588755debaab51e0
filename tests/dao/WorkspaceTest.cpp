// Workspace transactions (commit, roll back, nesting) and the compaction and repair
// of closed files with DAO's errors.
#include <fstream>

#include "DaoTestSupport.h"

using namespace daotest;

namespace {

long count(CDaoDatabase& db) {
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"T");
  return rs.GetRecordCount();
}

void append(CDaoDatabase& db, long a) {
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"T");
  rs.AddNew();
  rs.SetFieldValue(L"A", COleVariant(a));
  rs.Update();
}

TEST(Workspace, TransactionsCommitRollBackAndNest) {
  ScratchDir dir;
  {
    CDaoDatabase db;
    db.Create(dir.file("w.mdb"));
    makeTable(db, L"T", {{L"A", dbLong, 0}});
  }
  CDaoWorkspace ws;
  ws.Open();
  CDaoDatabase db(&ws);
  db.Open(dir.file("w.mdb"));
  EXPECT_EQ(daoError([&] { ws.CommitTrans(); }), 3034);
  EXPECT_EQ(daoError([&] { ws.Rollback(); }), 3034);

  ws.BeginTrans();
  append(db, 1);
  ws.Rollback();
  EXPECT_EQ(count(db), 0);

  ws.BeginTrans();
  append(db, 1);
  ws.BeginTrans();
  append(db, 2);
  ws.Rollback();  // only the inner level
  EXPECT_EQ(count(db), 1);
  ws.CommitTrans();
  {
    CDaoDatabase other;  // another connection sees the committed record
    other.Open(dir.file("w.mdb"), FALSE, TRUE);
    EXPECT_EQ(count(other), 1);
  }
  ws.BeginTrans();
  append(db, 3);
  ws.Close();  // an open transaction is rolled back
  CDaoDatabase after;
  after.Open(dir.file("w.mdb"));
  EXPECT_EQ(count(after), 1);
}

TEST(Workspace, CompactCopiesAClosedDatabase) {
  ScratchDir dir;
  CString src = dir.file("src.mdb"), dst = dir.file("dst.mdb");
  {
    CDaoDatabase db;
    db.Create(src);
    makeTable(db, L"T", {{L"ID", dbLong, 0, dbAutoIncrField}, {L"A", dbLong, 0}},
              {{L"PK", {{L"ID", false}}, true, true}});
    for (long i = 1; i <= 5; ++i) append(db, i);
    db.Execute(L"DELETE FROM T WHERE A = 5");
  }
  CDaoWorkspace::CompactDatabase(src, dst, dbLangGeneral);
  CDaoDatabase db;
  db.Open(dst);
  EXPECT_EQ(count(db), 4);
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"T");
  rs.AddNew();
  rs.Update();
  rs.SetBookmark(rs.GetLastModifiedBookmark());
  EXPECT_EQ(rs.GetFieldValue(L"ID").lVal, 6);  // the deleted number stays used
  rs.Close();
  db.Close();
  CDaoDatabase original;
  original.Open(src);
  EXPECT_EQ(count(original), 4);
}

TEST(Workspace, CompactErrors) {
  ScratchDir dir;
  CString src = dir.file("src.mdb");
  {
    CDaoDatabase db;
    db.Create(src);
  }
  std::ofstream(dir.path() + "/taken.mdb") << "x";
  std::ofstream(dir.path() + "/junk.mdb") << "not a database at all, just words";
  CDaoDatabase holder;
  holder.Create(dir.file("open.mdb"));
  struct Case {
    const char* what;
    CString from;
    CString to;
    long code;
  } cases[] = {
      {"missing source", dir.file("none.mdb"), dir.file("a.mdb"), 3024},
      {"missing source folder", dir.file("no/none.mdb"), dir.file("b.mdb"), 3044},
      {"destination exists", src, dir.file("taken.mdb"), 3204},
      {"destination folder missing", src, dir.file("no/c.mdb"), 3044},
      {"same file", src, src, 3204},
      {"source no database", dir.file("junk.mdb"), dir.file("d.mdb"), 3343},
      {"source open elsewhere", dir.file("open.mdb"), dir.file("e.mdb"), 3356},
  };
  for (const auto& c : cases)
    EXPECT_EQ(daoError([&] { CDaoWorkspace::CompactDatabase(c.from, c.to); }), c.code) << c.what;
  CDaoWorkspace::RepairDatabase(src);
}

}  // namespace
