// Jet's field types through DAO: what each type reads back as, range and size
// limits, required and zero-length rules, defaults and auto-numbers.
#include <cmath>

#include "DaoTestSupport.h"

using namespace daotest;

namespace {

class FieldTypes : public testing::Test {
 protected:
  void SetUp() override {
    db.Create(dir.database("types.mdb"));
    makeTable(db, L"T",
              {{L"ID", dbLong, 0, dbAutoIncrField},
               {L"Flag", dbBoolean, 0},
               {L"B", dbByte, 0},
               {L"I", dbInteger, 0},
               {L"L", dbLong, 0},
               {L"C", dbCurrency, 0},
               {L"S", dbSingle, 0},
               {L"D", dbDouble, 0},
               {L"When", dbDate, 0},
               {L"Name", dbText, 10},
               {L"Notes", dbMemo, 0}},
              {{L"PrimaryKey", {{L"ID", false}}, true, true}});
    rs.m_pDatabase = &db;
    rs.Open(dbOpenTable, L"T");
  }

  ScratchDir dir;
  CDaoDatabase db;
  CDaoRecordset rs{nullptr};
};

TEST_F(FieldTypes, EachTypeReadsBackAsItsVariant) {
  struct Case {
    const wchar_t* field;
    COleVariant in;
    VARTYPE vt;
    double number;  // the value read back, for the numeric types
  };
  const Case cases[] = {
      {L"Flag", COleVariant(short(1), VT_BOOL), VT_BOOL, -1},
      {L"B", COleVariant(BYTE(200)), VT_UI1, 200},
      {L"I", COleVariant(short(-32768)), VT_I2, -32768},
      {L"L", COleVariant(2147483647L), VT_I4, 2147483647.0},
      {L"S", COleVariant(1.5f), VT_R4, 1.5},
      {L"D", COleVariant(0.1), VT_R8, 0.1},
      {L"When", COleVariant(COleDateTime(2024, 3, 5, 14, 7, 9)), VT_DATE, 45356.58829861111},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    rs.AddNew();
    rs.SetFieldValue(c.field, c.in);
    rs.Update();
    rs.SetBookmark(rs.GetLastModifiedBookmark());
    COleVariant out = rs.GetFieldValue(c.field);
    ASSERT_EQ(out.vt, c.vt);
    COleVariant asDouble(out);
    asDouble.ChangeType(VT_R8);
    EXPECT_NEAR(asDouble.dblVal, c.number, 1e-9);
  }
}

TEST_F(FieldTypes, YesNoIsMinusOneOrZeroWhateverNonZeroIsStored) {
  for (long stored : {1L, 5L, -1L, 0L}) {
    rs.AddNew();
    rs.SetFieldValue(L"Flag", COleVariant(stored));
    rs.Update();
    rs.SetBookmark(rs.GetLastModifiedBookmark());
    COleVariant v = rs.GetFieldValue(L"Flag");
    ASSERT_EQ(v.vt, VT_BOOL);
    EXPECT_EQ(v.boolVal, stored ? -1 : 0) << stored;
  }
}

TEST_F(FieldTypes, CurrencyIsExactToFourDecimals) {
  rs.AddNew();
  rs.SetFieldValue(L"C", COleVariant(L"1234.56785"));
  rs.Update();
  rs.SetBookmark(rs.GetLastModifiedBookmark());
  COleVariant v = rs.GetFieldValue(L"C");
  ASSERT_EQ(v.vt, VT_CY);
  EXPECT_EQ(v.cyVal.int64, 12345678);  // 1234.56785 rounds half to even: 1234.5678
}

TEST_F(FieldTypes, DatesReadBackAsTheEnUsText) {
  rs.AddNew();
  rs.SetFieldValue(L"When", COleVariant(L"3/5/2024 2:07:09 PM"));
  rs.Update();
  rs.SetBookmark(rs.GetLastModifiedBookmark());
  COleVariant v = rs.GetFieldValue(L"When");
  ASSERT_EQ(v.vt, VT_DATE);
  BSTR s = nullptr;
  ASSERT_EQ(VarBstrFromDate(v.date, LANG_USER_DEFAULT, 0, &s), S_OK);
  EXPECT_STREQ(s, L"3/5/2024 2:07:09 PM");
  SysFreeString(s);
}

TEST_F(FieldTypes, OutOfRangeAndUnconvertibleValuesAreConversionErrors) {
  struct Case {
    const wchar_t* field;
    COleVariant in;
  };
  const Case cases[] = {
      {L"B", COleVariant(256L)},         {L"B", COleVariant(-1L)},
      {L"I", COleVariant(32768L)},       {L"I", COleVariant(-32769L)},
      {L"L", COleVariant(3e9)},          {L"L", COleVariant(L"abc")},
      {L"D", COleVariant(L"12 apples")}, {L"When", COleVariant(L"not a date")},
      {L"Flag", COleVariant(L"maybe")},
  };
  rs.AddNew();
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    CString msg;
    EXPECT_EQ(daoError([&] { rs.SetFieldValue(c.field, c.in); }, &msg), 3421);
    EXPECT_STREQ(msg, L"Data type conversion error.");
  }
  rs.CancelUpdate();
}

TEST_F(FieldTypes, TextLongerThanItsSizeIsRefusedAndMemoIsNot) {
  rs.AddNew();
  rs.SetFieldValue(L"Name", COleVariant(L"abcdefghij"));  // exactly 10
  CString msg;
  EXPECT_EQ(daoError([&] { rs.SetFieldValue(L"Name", COleVariant(L"abcdefghijk")); }, &msg), 3163);
  EXPECT_STREQ(msg,
               L"The field is too small to accept the amount of data you attempted to add.  Try "
               L"inserting or pasting less data.");
  CString big(L'x', 70000);
  rs.SetFieldValue(L"Notes", COleVariant(big));
  rs.Update();
  rs.SetBookmark(rs.GetLastModifiedBookmark());
  EXPECT_EQ(text(rs.GetFieldValue(L"Notes")).GetLength(), 70000);
  EXPECT_STREQ(text(rs.GetFieldValue(L"Name")), L"abcdefghij");
}

TEST_F(FieldTypes, AutoNumbersAreNeverReused) {
  std::vector<long> ids;
  for (int i = 0; i < 3; ++i) {
    rs.AddNew();
    rs.Update();
    rs.SetBookmark(rs.GetLastModifiedBookmark());
    ids.push_back(rs.GetFieldValue(L"ID").lVal);
  }
  EXPECT_EQ(ids, (std::vector<long>{1, 2, 3}));
  rs.Delete();  // the record with 3, the highest
  rs.Close();
  db.Close();
  db.Open(dir.database("types.mdb"));
  CDaoRecordset again(&db);
  again.Open(dbOpenTable, L"T");
  again.AddNew();
  EXPECT_EQ(daoError([&] { again.SetFieldValue(L"ID", COleVariant(99L)); }), 3164);
  again.Update();
  again.SetBookmark(again.GetLastModifiedBookmark());
  EXPECT_EQ(again.GetFieldValue(L"ID").lVal, 4);
}

TEST(FieldRules, RequiredZeroLengthAndDefaults) {
  ScratchDir dir;
  CDaoDatabase db;
  db.Create(dir.database("rules.mdb"));
  makeTable(db, L"R",
            {{L"Name", dbText, 20, 0, /*required=*/true},
             {L"Code", dbText, 5, 0, false, /*allowZeroLength=*/false, L"\"AB\""},
             {L"Free", dbText, 5, 0, false, /*allowZeroLength=*/true},
             {L"Qty", dbInteger, 0, 0, false, false, L"7"},
             {L"Ok", dbBoolean, 0, 0, false, false, L"Yes"}});
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"R");
  rs.AddNew();
  EXPECT_STREQ(text(rs.GetFieldValue(L"Code")), L"AB");
  EXPECT_EQ(rs.GetFieldValue(L"Qty").iVal, 7);
  EXPECT_EQ(rs.GetFieldValue(L"Ok").boolVal, VARIANT_TRUE);
  EXPECT_EQ(rs.GetFieldValue(L"Name").vt, VT_NULL);
  CString msg;
  EXPECT_EQ(daoError([&] { rs.Update(); }, &msg), 3314);
  EXPECT_STREQ(msg,
               L"The field 'R.Name' cannot contain a Null value because the Required property for "
               L"this field is set to "
               L"True.  Enter a value in this field.");
  EXPECT_EQ(rs.GetEditMode(), dbEditAdd);  // a failed Update leaves the edit pending
  rs.SetFieldValue(L"Name", COleVariant(L"n"));
  rs.SetFieldValue(L"Code", COleVariant(L""));
  EXPECT_EQ(daoError([&] { rs.Update(); }, &msg), 3315);
  EXPECT_STREQ(msg, L"Field 'R.Code' cannot be a zero-length string.");
  rs.SetFieldValue(L"Code", COleVariant(L"x"));
  rs.SetFieldValue(L"Free", COleVariant(L""));
  rs.Update();
  EXPECT_EQ(rs.GetEditMode(), dbEditNone);
  EXPECT_EQ(rs.GetRecordCount(), 1);
}

}  // namespace

namespace {

// Auto-numbers stay unique however the highest record goes: through DAO or SQL,
// with or without an index on the field, before or after the table is renamed.
TEST(AutoNumbers, NotReusedAfterTheHighestRecordIsDeleted) {
  struct Case {
    const char* name;
    bool indexed;
    bool deleteBySql;
    bool rename;
  } cases[] = {{"indexed, DAO delete", true, false, false},
               {"indexed, SQL delete", true, true, false},
               {"not indexed, DAO delete", false, false, false},
               {"not indexed, SQL delete", false, true, false},
               {"indexed, renamed table", true, true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir dir;
    CDaoDatabase db;
    db.Create(dir.database("a.mdb"));
    std::vector<IndexDefinition> indexes;
    if (c.indexed) indexes.push_back({L"PK", {{L"N", false}}, true, true});
    makeTable(db, L"A", {{L"N", dbLong, 0, dbAutoIncrField}, {L"V", dbText, 5}}, indexes);
    const wchar_t* table = L"A";
    if (c.rename) {
      CDaoTableDef td(&db);
      td.Open(L"A");
      td.SetName(L"B");
      table = L"B";
    }
    CDaoRecordset rs(&db);
    rs.Open(dbOpenTable, table);
    for (int i = 0; i < 3; ++i) {
      rs.AddNew();
      rs.Update();
    }
    if (c.deleteBySql) {
      db.Execute(CString(L"DELETE FROM ") + table + L" WHERE N >= 2");
    } else {
      rs.SetBookmark(rs.GetLastModifiedBookmark());
      rs.Delete();
    }
    rs.AddNew();
    rs.Update();
    rs.SetBookmark(rs.GetLastModifiedBookmark());
    EXPECT_EQ(rs.GetFieldValue(L"N").lVal, 4);
  }
}

TEST(AutoNumbers, AFieldAddedLaterNumbersTheExistingRecords) {
  ScratchDir dir;
  CDaoDatabase db;
  db.Create(dir.database("late.mdb"));
  makeTable(db, L"T", {{L"V", dbText, 5}});
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"T");
  for (const wchar_t* v : {L"a", L"b"}) {
    rs.AddNew();
    rs.SetFieldValue(L"V", COleVariant(v));
    rs.Update();
  }
  rs.Close();
  CDaoTableDef td(&db);
  td.Open(L"T");
  td.CreateField(L"N", dbLong, 0, dbAutoIncrField);
  rs.Open(dbOpenTable, L"T");
  std::vector<long> numbers;
  for (; !rs.IsEOF(); rs.MoveNext()) numbers.push_back(rs.GetFieldValue(L"N").lVal);
  EXPECT_EQ(numbers, (std::vector<long>{1, 2}));
  rs.AddNew();
  rs.Update();
  rs.SetBookmark(rs.GetLastModifiedBookmark());
  EXPECT_EQ(rs.GetFieldValue(L"N").lVal, 3);
}

}  // namespace
