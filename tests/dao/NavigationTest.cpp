// BOF/EOF and the Move rules of table-type recordsets, edit modes, bookmarks and
// the last-modified record, against DAO's documented behaviour.
#include <functional>

#include "DaoTestSupport.h"

using namespace daotest;

namespace {

class Navigation : public testing::Test {
 protected:
  void SetUp() override {
    db.Create(dir.database("nav.mdb"));
    makeTable(
        db, L"T",
        {{L"ID", dbLong, 0, dbAutoIncrField},
         {L"Name", dbText, 10, 0, /*required=*/true},
         {L"Code", dbLong, 0}},
        {{L"PK", {{L"ID", false}}, true, true}, {L"CodeIx", {{L"Code", false}}, /*unique=*/true}});
    rs.Open(dbOpenTable, L"T");
  }
  void add(const wchar_t* name, long code) {
    rs.AddNew();
    rs.SetFieldValue(L"Name", COleVariant(name));
    rs.SetFieldValue(L"Code", COleVariant(code));
    rs.Update();
  }
  CString name() { return text(rs.GetFieldValue(L"Name")); }

  ScratchDir dir;
  CDaoDatabase db;
  CDaoRecordset rs{&db};
};

TEST_F(Navigation, EmptyTableRefusesEveryMove) {
  EXPECT_TRUE(rs.IsBOF());
  EXPECT_TRUE(rs.IsEOF());
  EXPECT_EQ(rs.GetRecordCount(), 0);
  struct Case {
    const char* what;
    std::function<void()> move;
  } cases[] = {{"MoveFirst", [&] { rs.MoveFirst(); }}, {"MoveLast", [&] { rs.MoveLast(); }},
               {"MoveNext", [&] { rs.MoveNext(); }},   {"MovePrev", [&] { rs.MovePrev(); }},
               {"Move 0", [&] { rs.Move(0); }},        {"Move 2", [&] { rs.Move(2); }}};
  for (const auto& c : cases) EXPECT_EQ(daoError(c.move), 3021) << c.what;
  EXPECT_EQ(daoError([&] { rs.GetFieldValue(L"Name"); }), 3021);
}

TEST_F(Navigation, AddingToAnEmptyRecordsetClearsOnlyBof) {
  add(L"a", 1);
  EXPECT_FALSE(rs.IsBOF());
  EXPECT_TRUE(rs.IsEOF());
  rs.MoveFirst();
  EXPECT_STREQ(name(), L"a");
}

TEST_F(Navigation, MovesPastEitherEndThenError) {
  add(L"a", 1);
  add(L"b", 2);
  add(L"c", 3);
  rs.MoveFirst();
  rs.MoveNext();
  rs.MoveNext();
  EXPECT_STREQ(name(), L"c");
  rs.MoveNext();
  EXPECT_TRUE(rs.IsEOF());
  EXPECT_FALSE(rs.IsBOF());
  CString msg;
  EXPECT_EQ(daoError([&] { rs.MoveNext(); }, &msg), 3021);
  EXPECT_STREQ(msg, L"No current record.");
  EXPECT_EQ(daoError([&] { rs.Move(0); }), 3021);
  rs.MovePrev();  // from EOF back onto the last record
  EXPECT_STREQ(name(), L"c");
  rs.Move(-5);
  EXPECT_TRUE(rs.IsBOF());
  EXPECT_EQ(daoError([&] { rs.MovePrev(); }), 3021);
  rs.MoveNext();
  EXPECT_STREQ(name(), L"a");
  rs.Move(2);
  EXPECT_STREQ(name(), L"c");
  rs.MoveLast();
  rs.Move(-2);
  EXPECT_STREQ(name(), L"a");
  EXPECT_EQ(rs.GetRecordCount(), 3);
}

TEST_F(Navigation, TheDocumentedEditingSequence) {
  // 1. AddNew, Update: the new record is reached through LastModified.
  add(L"a", 1);
  EXPECT_EQ(rs.GetRecordCount(), 1);
  rs.SetBookmark(rs.GetLastModifiedBookmark());
  EXPECT_EQ(rs.GetFieldValue(L"ID").lVal, 1);
  // 2. A duplicate key: 3022, the edit stays pending until CancelUpdate.
  rs.AddNew();
  rs.SetFieldValue(L"Name", COleVariant(L"b"));
  rs.SetFieldValue(L"Code", COleVariant(1L));
  CString msg;
  EXPECT_EQ(daoError([&] { rs.Update(); }, &msg), 3022);
  EXPECT_STREQ(msg,
               L"The changes you requested to the table were not successful because they would "
               L"create duplicate values "
               L"in the index, primary key, or relationship.  Change the data in the field or "
               L"fields that contain "
               L"duplicate data, remove the index, or redefine the index to permit duplicate "
               L"entries and try again.");
  EXPECT_EQ(rs.GetEditMode(), dbEditAdd);
  rs.CancelUpdate();
  EXPECT_EQ(rs.GetEditMode(), dbEditNone);
  EXPECT_EQ(rs.GetRecordCount(), 1);
  // 3. A required field left Null.
  rs.AddNew();
  rs.SetFieldValue(L"Code", COleVariant(2L));
  EXPECT_EQ(daoError([&] { rs.Update(); }), 3314);
  rs.CancelUpdate();
  // 5. Edit, then Move 0: the change is dropped.
  rs.Edit();
  rs.SetFieldValue(L"Name", COleVariant(L"c"));
  EXPECT_STREQ(name(), L"c");  // the copy buffer
  rs.Move(0);
  EXPECT_STREQ(name(), L"a");
  // 6. Update with nothing pending.
  EXPECT_EQ(daoError([&] { rs.Update(); }, &msg), 3020);
  EXPECT_STREQ(msg, L"Update or CancelUpdate without AddNew or Edit.");
  EXPECT_EQ(daoError([&] { rs.CancelUpdate(); }), 3020);
  EXPECT_EQ(daoError([&] { rs.SetFieldValue(L"Name", COleVariant(L"x")); }), 3020);
  // 7. Delete: the record stays current but reads 3167; moving on leaves it.
  rs.Delete();
  EXPECT_TRUE(rs.IsDeleted());
  EXPECT_EQ(daoError([&] { rs.GetFieldValue(L"Name"); }, &msg), 3167);
  EXPECT_STREQ(msg, L"Record is deleted.");
  EXPECT_EQ(daoError([&] { rs.Delete(); }), 3167);
  rs.MoveNext();
  EXPECT_TRUE(rs.IsEOF());
  EXPECT_EQ(daoError([&] { rs.MoveNext(); }), 3021);
  EXPECT_EQ(rs.GetRecordCount(), 0);
}

TEST_F(Navigation, EditAndUpdateKeepTheRecordCurrent) {
  add(L"a", 1);
  add(L"b", 2);
  rs.SetCurrentIndex(L"CodeIx");
  EXPECT_STREQ(name(), L"a");
  rs.Edit();
  rs.SetFieldValue(L"Code", COleVariant(5L));
  rs.Update();
  EXPECT_STREQ(name(), L"a");  // still current, now last in the index
  rs.MoveNext();
  EXPECT_TRUE(rs.IsEOF());
  rs.MoveFirst();
  EXPECT_STREQ(name(), L"b");
  // The current record before AddNew stays current after Update.
  add(L"z", 0);
  EXPECT_STREQ(name(), L"b");
  rs.MoveFirst();
  EXPECT_STREQ(name(), L"z");  // added in its place in the index order
}

TEST_F(Navigation, EditOnADeletedRecordOrWithoutOneFails) {
  EXPECT_EQ(daoError([&] { rs.Edit(); }), 3021);
  add(L"a", 1);
  rs.MoveFirst();
  rs.Delete();
  EXPECT_EQ(daoError([&] { rs.Edit(); }), 3167);
}

TEST_F(Navigation, TwoRecordsetsOnOneRecordMeetTheSessionLock) {
  add(L"a", 1);
  rs.MoveFirst();
  CDaoRecordset other(&db);
  other.Open(dbOpenTable, L"T");
  rs.Edit();  // pessimistic: locks the record until Update
  CString msg;
  EXPECT_EQ(daoError([&] { other.Edit(); }, &msg), 3188);
  EXPECT_STREQ(msg, L"Could not update; currently locked by another session on this machine.");
  EXPECT_EQ(daoError([&] { other.Delete(); }), 3188);
  EXPECT_STREQ(text(other.GetFieldValue(L"Name")), L"a");  // reading is never blocked
  rs.SetFieldValue(L"Name", COleVariant(L"b"));
  rs.Update();
  other.Edit();
  EXPECT_STREQ(text(other.GetFieldValue(L"Name")), L"b");  // Edit reads the record afresh
  other.CancelUpdate();
}

TEST_F(Navigation, OptimisticEditDetectsAChangeByAnotherRecordset) {
  add(L"a", 1);
  rs.MoveFirst();
  rs.SetLockingMode(FALSE);
  rs.Edit();
  rs.SetFieldValue(L"Name", COleVariant(L"mine"));
  CDaoRecordset other(&db);
  other.Open(dbOpenTable, L"T");
  other.Edit();
  other.SetFieldValue(L"Name", COleVariant(L"theirs"));
  other.Update();
  EXPECT_EQ(daoError([&] { rs.Update(); }), 3197);
}

TEST_F(Navigation, ReadOnlyRecordsetsRefuseChanges) {
  add(L"a", 1);
  CDaoRecordset ro(&db);
  ro.Open(dbOpenTable, L"T", dbReadOnly);
  EXPECT_FALSE(ro.CanUpdate());
  CString msg;
  EXPECT_EQ(daoError([&] { ro.AddNew(); }, &msg), 3027);
  EXPECT_STREQ(msg, L"Cannot update.  Database or object is read-only.");
  EXPECT_EQ(daoError([&] { ro.Edit(); }), 3027);
  EXPECT_EQ(daoError([&] { ro.Delete(); }), 3027);
}

TEST_F(Navigation, SnapshotsReadAQuery) {
  add(L"b", 2);
  add(L"a", 1);
  add(L"c", 3);
  CDaoRecordset q(&db);
  q.Open(dbOpenSnapshot, L"SELECT Name, Code FROM T WHERE Code > 1 ORDER BY Name DESC");
  EXPECT_EQ(q.GetRecordCount(), 2);
  EXPECT_STREQ(text(q.GetFieldValue(L"Name")), L"c");
  CDaoFieldInfo info;
  q.GetFieldInfo(1, info);
  EXPECT_EQ(info.m_nType, dbLong);  // taken from the table's field
  q.MoveNext();
  EXPECT_EQ(q.GetFieldValue(1).lVal, 2);
  q.MoveNext();
  EXPECT_TRUE(q.IsEOF());
  EXPECT_EQ(daoError([&] { q.Edit(); }), 3027);
  q.MoveFirst();
  COleVariant mark = q.GetBookmark();
  q.MoveLast();
  q.SetBookmark(mark);
  EXPECT_STREQ(text(q.GetFieldValue(0)), L"c");
}

TEST_F(Navigation, FieldAndIndexInformation) {
  CDaoFieldInfo info;
  rs.GetFieldInfo(L"Name", info, AFX_DAO_ALL_INFO);
  EXPECT_EQ(info.m_nType, dbText);
  EXPECT_EQ(info.m_lSize, 10);
  EXPECT_EQ(info.m_lAttributes, dbVariableField | dbUpdatableField);
  EXPECT_TRUE(info.m_bRequired);
  rs.GetFieldInfo(0, info);
  EXPECT_EQ(info.m_lAttributes, dbFixedField | dbAutoIncrField);  // auto-numbers are not updatable
  rs.GetFieldInfo(2, info);
  EXPECT_EQ(info.m_lAttributes, dbFixedField | dbUpdatableField);
  EXPECT_EQ(info.m_nOrdinalPosition, 2);
  EXPECT_EQ(daoError([&] { rs.GetFieldInfo(L"Nope", info); }), 3265);
  EXPECT_EQ(daoError([&] { rs.GetFieldValue(L"Nope"); }), 3265);
  EXPECT_EQ(daoError([&] { rs.GetFieldValue(3); }), 3265);
  ASSERT_EQ(rs.GetIndexCount(), 2);
  CDaoIndexInfo ix;
  rs.GetIndexInfo(L"pk", ix);
  EXPECT_STREQ(ix.m_strName, L"PK");
  EXPECT_TRUE(ix.m_bPrimary);
  EXPECT_TRUE(ix.m_bUnique);
  ASSERT_EQ(ix.m_nFields, 1);
  EXPECT_STREQ(ix.m_pFieldInfos[0].m_strName, L"ID");
  EXPECT_EQ(daoError([&] { rs.GetIndexInfo(L"none", ix); }), 3265);
}

}  // namespace
