// Relations: referential integrity with and without cascades, the catalog view of
// relations, and what deleting or renaming a table does to them.
#include "DaoTestSupport.h"

using namespace daotest;

namespace {

class Relations : public testing::Test {
 protected:
  void SetUp() override {
    db.Create(dir.database("rel.mdb"));
    makeTable(db, L"Orders", {{L"OrderID", dbLong, 0}, {L"Customer", dbText, 20}},
              {{L"PrimaryKey", {{L"OrderID", false}}, true, true}});
    makeTable(db, L"Lines", {{L"LineID", dbLong, 0, dbAutoIncrField}, {L"OrderID", dbLong, 0}});
    db.Execute(L"INSERT INTO Orders VALUES (1, 'a'), (2, 'b')");
  }
  long addLine(const COleVariant& order, CString* msg = nullptr) {
    return daoError(
        [&] {
          CDaoRecordset rs(&db);
          rs.Open(dbOpenTable, L"Lines");
          rs.AddNew();
          rs.SetFieldValue(L"OrderID", order);
          rs.Update();
        },
        msg);
  }
  long count(const wchar_t* sql) {
    CDaoRecordset rs(&db);
    rs.Open(dbOpenSnapshot, sql);
    return rs.GetFieldValue(0).lVal;
  }
  ScratchDir dir;
  CDaoDatabase db;
};

TEST_F(Relations, EnforcedWithoutCascades) {
  db.CreateRelation(L"OrdersLines", L"Orders", L"Lines", 0, L"OrderID", L"OrderID");
  CString msg;
  EXPECT_EQ(addLine(COleVariant(99L), &msg), 3201);
  EXPECT_STREQ(
      msg,
      L"You cannot add or change a record because a related record is required in table 'Orders'.");
  EXPECT_EQ(addLine(nullValue()), 0);  // a Null key needs no related record
  EXPECT_EQ(addLine(COleVariant(1L)), 0);
  EXPECT_EQ(daoError([&] { db.Execute(L"DELETE FROM Orders WHERE OrderID = 1"); }, &msg), 3200);
  EXPECT_STREQ(
      msg,
      L"The record cannot be deleted or changed because table 'Lines' includes related records.");
  EXPECT_EQ(daoError([&] { db.Execute(L"UPDATE Orders SET OrderID = 5 WHERE OrderID = 1"); }),
            3200);
  EXPECT_EQ(daoError([&] { db.Execute(L"UPDATE Lines SET OrderID = 7"); }), 3201);
  db.Execute(L"DELETE FROM Orders WHERE OrderID = 2");  // nothing refers to it
  EXPECT_EQ(count(L"SELECT count(*) FROM Orders"), 1);

  CDaoRecordset orders(&db);  // the same rules through a recordset
  orders.Open(dbOpenTable, L"Orders");
  EXPECT_EQ(daoError([&] { orders.Delete(); }), 3200);
}

TEST_F(Relations, CascadingUpdatesAndDeletes) {
  db.CreateRelation(L"OrdersLines", L"Orders", L"Lines",
                    dbRelationUpdateCascade | dbRelationDeleteCascade, L"OrderID", L"OrderID");
  addLine(COleVariant(1L));
  addLine(COleVariant(1L));
  addLine(COleVariant(2L));
  db.Execute(L"UPDATE Orders SET OrderID = 10 WHERE OrderID = 1");
  EXPECT_EQ(count(L"SELECT count(*) FROM Lines WHERE OrderID = 10"), 2);
  db.Execute(L"DELETE FROM Orders WHERE OrderID = 10");
  EXPECT_EQ(count(L"SELECT count(*) FROM Lines"), 1);
}

TEST_F(Relations, CatalogViewAndDeletion) {
  CString msg;
  EXPECT_EQ(
      daoError([&] { db.CreateRelation(L"Back", L"Lines", L"Orders", 0, L"OrderID", L"OrderID"); },
               &msg),
      3173);
  EXPECT_STREQ(msg, L"No unique index found for the referenced field of the primary table.");
  EXPECT_EQ(
      daoError([&] { db.CreateRelation(L"X", L"Orders", L"Nope", 0, L"OrderID", L"OrderID"); }),
      3265);
  EXPECT_EQ(daoError([&] { db.CreateRelation(L"X", L"Orders", L"Lines", 0, L"OrderID", L"Nope"); }),
            3265);
  db.CreateRelation(L"OrdersLines", L"Orders", L"Lines", dbRelationDeleteCascade, L"OrderID",
                    L"OrderID");
  EXPECT_EQ(daoError([&] {
              db.CreateRelation(L"orderslines", L"Orders", L"Lines", 0, L"OrderID", L"OrderID");
            }),
            3012);

  ASSERT_EQ(db.GetRelationCount(), 1);
  CDaoRelationInfo info;
  db.GetRelationInfo(0, info);
  EXPECT_STREQ(info.m_strName, L"OrdersLines");
  EXPECT_STREQ(info.m_strTable, L"Orders");
  EXPECT_STREQ(info.m_strForeignTable, L"Lines");
  EXPECT_EQ(info.m_lAttributes, dbRelationDeleteCascade);
  ASSERT_EQ(info.m_nFields, 1);
  EXPECT_STREQ(info.m_pFieldInfos[0].m_strForeignName, L"OrderID");
  EXPECT_EQ(daoError([&] { db.GetRelationInfo(L"none", info); }), 3265);

  CDaoTableDef lines(&db);
  lines.Open(L"Lines");
  CDaoIndexInfo ix;
  lines.GetIndexInfo(L"OrdersLines", ix);
  EXPECT_TRUE(ix.m_bForeign);
  lines.Close();

  db.DeleteRelation(L"ORDERSLINES");
  EXPECT_EQ(db.GetRelationCount(), 0);
  EXPECT_EQ(addLine(COleVariant(99L)), 0);  // no longer enforced
  EXPECT_EQ(daoError([&] { db.DeleteRelation(L"OrdersLines"); }), 3265);
  lines.Open(L"Lines");
  EXPECT_EQ(lines.GetIndexCount(), 0);  // the foreign index went with it
}

TEST_F(Relations, RenamingAndDeletingTables) {
  db.CreateRelation(L"OrdersLines", L"Orders", L"Lines", 0, L"OrderID", L"OrderID");
  CDaoTableDef td(&db);
  td.Open(L"Orders");
  td.SetName(L"Bookings");
  td.Close();
  CDaoRelationInfo info;
  db.GetRelationInfo(L"OrdersLines", info);
  EXPECT_STREQ(info.m_strTable, L"Bookings");
  CString msg;
  EXPECT_EQ(addLine(COleVariant(99L), &msg), 3201);
  EXPECT_STREQ(msg,
               L"You cannot add or change a record because a related record is required in table "
               L"'Bookings'.");
  // A table in a relation stays until the relation goes, on either side of it.
  EXPECT_EQ(daoError([&] { db.DeleteTableDef(L"Bookings"); }), 3281);
  EXPECT_EQ(daoError([&] { db.DeleteTableDef(L"lines"); }), 3281);
  EXPECT_EQ(db.GetRelationCount(), 1);
  db.DeleteRelation(L"OrdersLines");
  db.DeleteTableDef(L"Bookings");
  EXPECT_EQ(addLine(COleVariant(99L)), 0);
}

}  // namespace
