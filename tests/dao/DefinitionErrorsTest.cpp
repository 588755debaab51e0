// Each way of defining tables, fields and indexes wrongly meets its own DAO error,
// and a database opened read-only refuses every change.
#include <functional>

#include "DaoTestSupport.h"

using namespace daotest;

namespace {

TEST(DefinitionErrors, EachMistakeHasItsError) {
  ScratchDir dir;
  CDaoDatabase db;
  db.Create(dir.database("defs.mdb"));
  makeTable(db, L"T", {{L"A", dbLong, 0}, {L"B", dbText, 10}},
            {{L"PK", {{L"A", false}}, true, true}});
  makeTable(db, L"Other", {{L"X", dbLong, 0}});
  std::vector<FieldDefinition> eleven;
  static const wchar_t* kNames[] = {L"F1", L"F2", L"F3", L"F4",  L"F5", L"F6",
                                    L"F7", L"F8", L"F9", L"F10", L"F11"};
  IndexDefinition wide{L"Wide", {}};
  for (const wchar_t* n : kNames) {
    eleven.push_back({n, dbLong, 0});
    wide.fields.push_back({n, false});
  }
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"T");
  struct Case {
    const char* what;
    long code;
    std::function<void()> body;
  };
  const Case cases[] = {
      {"index of eleven fields", 3277, [&] { makeTable(db, L"Wide", eleven, {wide}); }},
      {"second primary key", 3283,
       [&] {
         makeTable(db, L"Two", {{L"A", dbLong, 0}},
                   {{L"P1", {{L"A", false}}, true, true}, {L"P2", {{L"A", false}}, true, true}});
       }},
      {"index on a missing field", 3265,
       [&] {
         makeTable(db, L"Miss", {{L"A", dbLong, 0}}, {{L"I", {{L"Z", false}}}});
       }},
      {"text longer than 255", 3001,
       [&] {
         makeTable(db, L"Long", {{L"A", dbText, 300}});
       }},
      {"auto-number that is not Long", 3001,
       [&] {
         makeTable(db, L"Auto", {{L"A", dbText, 5, dbAutoIncrField}});
       }},
      {"name with a bracket", 3125,
       [&] {
         makeTable(db, L"Bad", {{L"A]", dbLong, 0}});
       }},
      {"name of 65 characters", 3125,
       [&] {
         makeTable(db, CString(L'n', 65), {{L"A", dbLong, 0}});
       }},
      {"rename onto another table", 3010,
       [&] {
         CDaoTableDef td(&db);
         td.Open(L"T");
         td.SetName(L"other");
       }},
      {"delete a system table", 3219, [&] { db.DeleteTableDef(L"MSysObjects"); }},
      {"delete a missing index", 3265,
       [&] {
         CDaoTableDef td(&db);
         td.Open(L"T");
         td.DeleteIndex(L"Nope");
       }},
      {"bookmark that is not one", 3159, [&] { rs.SetBookmark(COleVariant(5L)); }},
      {"bookmark of a record that is gone", 3167,
       [&] {
         COleVariant mark;
         mark.vt = VT_I8;
         mark.llVal = 999;
         rs.SetBookmark(mark);
       }},
      {"last-modified before any change", 3021, [&] { rs.GetLastModifiedBookmark(); }},
      {"statement that is none", 3129, [&] { db.Execute(L"   "); }},
      {"unknown open type", 3001, [&] { CDaoRecordset(&db).Open(3, L"T"); }},
      {"snapshot of no statement", 3078,
       [&] { CDaoRecordset(&db).Open(dbOpenSnapshot, L"NoSuchThing"); }},
  };
  for (const auto& c : cases) EXPECT_EQ(daoError(c.body), c.code) << c.what;
  // Nothing half-made is left behind by the failed definitions.
  CDaoTableDefInfo info;
  for (const wchar_t* t : {L"Wide", L"Two", L"Miss", L"Long", L"Auto"})
    EXPECT_EQ(daoError([&] { db.GetTableDefInfo(t, info); }), 3265);
}

TEST(DefinitionErrors, AReadOnlyDatabaseRefusesEveryChange) {
  ScratchDir dir;
  {
    CDaoDatabase db;
    db.Create(dir.database("ro.mdb"));
    makeTable(db, L"T", {{L"A", dbLong, 0}});
    CDaoRecordset rs(&db);
    rs.Open(dbOpenTable, L"T");
    rs.AddNew();
    rs.SetFieldValue(L"A", COleVariant(1L));
    rs.Update();
  }
  CDaoDatabase db;
  db.Open(dir.database("ro.mdb"), FALSE, /*bReadOnly=*/TRUE);
  EXPECT_FALSE(db.CanUpdate());
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"T");
  EXPECT_FALSE(rs.CanUpdate());
  EXPECT_EQ(rs.GetFieldValue(L"A").lVal, 1);
  const std::pair<const char*, std::function<void()>> changes[] = {
      {"AddNew", [&] { rs.AddNew(); }},
      {"Edit", [&] { rs.Edit(); }},
      {"Delete", [&] { rs.Delete(); }},
      {"Execute", [&] { db.Execute(L"DELETE FROM T"); }},
      {"DeleteTableDef", [&] { db.DeleteTableDef(L"T"); }},
      {"new table",
       [&] {
         makeTable(db, L"U", {{L"A", dbLong, 0}});
       }},
  };
  for (const auto& [what, body] : changes) EXPECT_EQ(daoError(body), 3027) << what;
  EXPECT_EQ(rs.GetRecordCount(), 1);
}

}  // namespace
