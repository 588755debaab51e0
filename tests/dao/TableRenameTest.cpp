// Renaming a table through its definition: to a new name, to the same name in other
// letters, and to its own name; records, indexes and auto-numbers go along.
#include "DaoTestSupport.h"

using namespace daotest;

TEST(TableRename, RecordsAndIndexesFollowTheNewName) {
  struct Case {
    const wchar_t* from;
    const wchar_t* to;
  };
  const Case cases[] = {
      {L"Parts", L"Items"},
      {L"Parts", L"PARTS"},
      {L"Parts", L"parts"},
      {L"Parts", L"Parts"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << CString(c.to).GetString());
    ScratchDir dir;
    CDaoDatabase db;
    db.Create(dir.database("rename.mdb"));
    makeTable(db, c.from, {{L"ID", dbLong, 0, dbAutoIncrField}, {L"Name", dbText, 10}},
              {{L"PrimaryKey", {{L"ID", false}}, true, true}});
    {
      CDaoRecordset rs(&db);
      rs.Open(dbOpenTable, c.from);
      rs.AddNew();
      rs.SetFieldValue(L"Name", L"first");
      rs.Update();
    }
    CDaoTableDef definition(&db);
    definition.Open(c.from);
    definition.SetName(c.to);
    EXPECT_STREQ(definition.GetName().GetString(), c.to);
    definition.Close();

    CDaoTableDefInfo info;
    db.GetTableDefInfo(c.to, info);
    EXPECT_STREQ(info.m_strName.GetString(), c.to);

    CDaoRecordset rs(&db);
    rs.Open(dbOpenTable, c.to);
    rs.SetCurrentIndex(L"PrimaryKey");
    rs.AddNew();
    rs.SetFieldValue(L"Name", L"second");
    rs.Update();
    const wchar_t* names[] = {L"first", L"second"};
    for (long id = 1; id <= 2; ++id) {
      COleVariant key(id);
      ASSERT_TRUE(rs.Seek(L"=", &key));
      EXPECT_STREQ(rs.GetFieldValue(L"Name").bstrVal, names[id - 1]);
    }
  }
}
