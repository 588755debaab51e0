// Jet DDL through Execute, then the catalog as CDaoTableDef reports it: every type
// name, the constraints as indexes and relations, ALTER and DROP, and DDL's errors.
#include <string>

#include "DaoTestSupport.h"

namespace {

using namespace daotest;

class JetDdl : public ::testing::Test {
 protected:
  void SetUp() override { db.Create(dir.database("ddl.mdb")); }
  ScratchDir dir;
  CDaoDatabase db;
};

TEST_F(JetDdl, CreateTableMapsJetTypeNames) {
  db.Execute(
      L"CREATE TABLE [All Types] (ID COUNTER, T TEXT(20), C CHAR, V VARCHAR(40), M MEMO, L "
      L"LONGTEXT, "
      L"B BYTE, S SHORT, I INTEGER, G LONG, F SINGLE, D DOUBLE, Y CURRENCY, W DATETIME, "
      L"YN YESNO, BT BIT, A AUTOINCREMENT(1, 1), R TEXT NOT NULL)");
  const struct {
    const wchar_t* field;
    short type;
    long size;
    bool autoIncrement;
    bool required;
  } expected[] = {
      // DAO's sizes: Text as declared (255 without a size), Memo 0, numbers their width.
      {L"ID", dbLong, 4, true, false},     {L"T", dbText, 20, false, false},
      {L"C", dbText, 255, false, false},   {L"V", dbText, 40, false, false},
      {L"M", dbMemo, 0, false, false},     {L"L", dbMemo, 0, false, false},
      {L"B", dbByte, 1, false, false},     {L"S", dbInteger, 2, false, false},
      {L"I", dbLong, 4, false, false},     {L"G", dbLong, 4, false, false},
      {L"F", dbSingle, 4, false, false},   {L"D", dbDouble, 8, false, false},
      {L"Y", dbCurrency, 8, false, false}, {L"W", dbDate, 8, false, false},
      {L"YN", dbBoolean, 1, false, false}, {L"BT", dbBoolean, 1, false, false},
      {L"A", dbLong, 4, true, false},      {L"R", dbText, 255, false, true},
  };
  CDaoTableDef td(&db);
  td.Open(L"All Types");
  ASSERT_EQ(td.GetFieldCount(), static_cast<short>(std::size(expected)));
  for (short i = 0; i < td.GetFieldCount(); ++i) {
    const auto& e = expected[i];
    SCOPED_TRACE(::testing::Message() << "field " << i);
    CDaoFieldInfo info;
    td.GetFieldInfo(i, info, AFX_DAO_ALL_INFO);
    EXPECT_STREQ(info.m_strName, e.field);
    EXPECT_EQ(info.m_nType, e.type);
    EXPECT_EQ(info.m_lSize, e.size);
    EXPECT_EQ((info.m_lAttributes & dbAutoIncrField) != 0, e.autoIncrement);
    EXPECT_EQ(info.m_bRequired != FALSE, e.required);
  }
}

TEST_F(JetDdl, ConstraintsBecomeIndexesAndRelations) {
  db.Execute(
      L"CREATE TABLE Orders (OrderID COUNTER CONSTRAINT PK PRIMARY KEY, Code TEXT(10) UNIQUE)");
  db.Execute(
      L"CREATE TABLE Lines (LineID LONG, OrderID LONG, Qty SHORT, "
      L"CONSTRAINT LinesPK PRIMARY KEY (LineID), "
      L"CONSTRAINT OrderLines FOREIGN KEY (OrderID) REFERENCES Orders (OrderID))");
  CDaoTableDef orders(&db);
  orders.Open(L"Orders");
  CDaoIndexInfo pk;
  orders.GetIndexInfo(L"PK", pk, AFX_DAO_ALL_INFO);
  EXPECT_TRUE(pk.m_bPrimary);
  EXPECT_TRUE(pk.m_bUnique);
  CDaoIndexInfo code;
  orders.GetIndexInfo(L"Code", code, AFX_DAO_ALL_INFO);
  EXPECT_FALSE(code.m_bPrimary);
  EXPECT_TRUE(code.m_bUnique);

  CDaoRelationInfo rel;
  db.GetRelationInfo(L"OrderLines", rel, AFX_DAO_ALL_INFO);
  EXPECT_STREQ(rel.m_strTable, L"Orders");
  EXPECT_STREQ(rel.m_strForeignTable, L"Lines");
  ASSERT_EQ(rel.m_nFields, 1);
  EXPECT_STREQ(rel.m_pFieldInfos[0].m_strName, L"OrderID");
  EXPECT_STREQ(rel.m_pFieldInfos[0].m_strForeignName, L"OrderID");

  // The relation is enforced, as Jet DDL makes it.
  db.Execute(L"INSERT INTO Orders (Code) VALUES ('a')");
  db.Execute(L"INSERT INTO Lines VALUES (1, 1, 5)");
  EXPECT_EQ(daoError([&] { db.Execute(L"INSERT INTO Lines VALUES (2, 99, 5)"); }), 3201);
  // The unique index holds without regard to case.
  EXPECT_EQ(daoError([&] { db.Execute(L"INSERT INTO Orders (Code) VALUES ('A')"); }), 3022);
}

TEST_F(JetDdl, AlterCreateIndexAndDropKeepTheCatalogTrue) {
  db.Execute(L"CREATE TABLE Parts (ID LONG, Name TEXT(50))");
  db.Execute(L"ALTER TABLE Parts ADD COLUMN Weight DOUBLE");
  db.Execute(L"ALTER TABLE Parts ADD Note MEMO");
  db.Execute(L"ALTER TABLE Parts ADD CONSTRAINT PartsPK PRIMARY KEY (ID)");
  db.Execute(L"CREATE UNIQUE INDEX ByName ON Parts (Name DESC)");
  db.Execute(L"CREATE INDEX ByWeight ON Parts (Weight) WITH IGNORE NULL");
  CDaoTableDef td(&db);
  td.Open(L"Parts");
  ASSERT_EQ(td.GetFieldCount(), 4);
  CDaoFieldInfo weight;
  td.GetFieldInfo(L"Weight", weight);
  EXPECT_EQ(weight.m_nType, dbDouble);
  EXPECT_EQ(td.GetIndexCount(), 3);
  CDaoIndexInfo byName;
  td.GetIndexInfo(L"ByName", byName, AFX_DAO_ALL_INFO);
  EXPECT_TRUE(byName.m_bUnique);
  ASSERT_EQ(byName.m_nFields, 1);
  EXPECT_TRUE(byName.m_pFieldInfos[0].m_bDescending);
  CDaoIndexInfo byWeight;
  td.GetIndexInfo(L"ByWeight", byWeight, AFX_DAO_ALL_INFO);
  EXPECT_TRUE(byWeight.m_bIgnoreNulls);
  EXPECT_FALSE(byWeight.m_bUnique);
  td.Close();

  db.Execute(L"ALTER TABLE Parts DROP CONSTRAINT ByWeight");
  db.Execute(L"DROP INDEX ByName ON Parts");
  CDaoTableDef again(&db);
  again.Open(L"Parts");
  EXPECT_EQ(again.GetIndexCount(), 1);
  again.Close();

  db.Execute(L"DROP TABLE Parts");
  EXPECT_EQ(daoError([&] { again.Open(L"Parts"); }), 3265);
}

// Dropping a foreign key ends its relation: the records it refused go in, and the
// index it made on the foreign table goes with it.
TEST_F(JetDdl, DroppingAForeignKeyEndsItsRelation) {
  db.Execute(L"CREATE TABLE Kinds (Kind TEXT(5) CONSTRAINT PK PRIMARY KEY)");
  db.Execute(
      L"CREATE TABLE Items (ItemID LONG, Kind TEXT(5) CONSTRAINT KindItems REFERENCES Kinds "
      L"(Kind))");
  const wchar_t* orphan = L"INSERT INTO Items VALUES (1, 'nut')";
  EXPECT_EQ(daoError([&] { db.Execute(orphan); }), 3201);
  db.Execute(L"ALTER TABLE Items DROP CONSTRAINT KindItems");
  EXPECT_EQ(db.GetRelationCount(), 0);
  EXPECT_EQ(daoError([&] { db.Execute(orphan); }), 0);
  CDaoTableDef td(&db);
  td.Open(L"Items");
  EXPECT_EQ(td.GetIndexCount(), 0);
  EXPECT_EQ(daoError([&] { db.Execute(L"ALTER TABLE Items DROP CONSTRAINT KindItems"); }), 3265);
}

TEST_F(JetDdl, DdlErrors) {
  db.Execute(L"CREATE TABLE T (A LONG)");
  const struct {
    const char* name;
    const wchar_t* sql;
    long code;
  } cases[] = {
      {"existing table", L"CREATE TABLE T (B LONG)", 3010},
      {"unknown type", L"CREATE TABLE U (B WIDGET)", 3259},
      {"text too long", L"CREATE TABLE U (B TEXT(300))", 3259},
      {"no columns", L"CREATE TABLE U ()", 3290},
      {"missing parenthesis", L"CREATE TABLE U (B LONG", 3290},
      {"index syntax", L"CREATE INDEX X T (A)", 3291},
      {"index on missing table", L"CREATE INDEX X ON Nowhere (A)", 3376},
      {"alter syntax", L"ALTER TABLE T ADD", 3293},
      {"drop missing table", L"DROP TABLE Nowhere", 3376},
      {"drop syntax", L"DROP VIEW T", 3295},
      {"duplicate column", L"ALTER TABLE T ADD COLUMN A LONG", 3191},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(daoError([&] { db.Execute(c.sql); }), c.code);
  }
  CDaoTableDefInfo info;
  EXPECT_EQ(daoError([&] { db.GetTableDefInfo(L"U", info); }), 3265);  // nothing half-made
}

}  // namespace
