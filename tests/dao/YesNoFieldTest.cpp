// Yes/No fields are bits that Jet never leaves Null: a record added without a value
// for one reads No, and a default value still applies.
#include "DaoTestSupport.h"

using namespace daotest;

TEST(YesNoField, NewRecordsStartAtNoUnlessADefaultSaysOtherwise) {
  ScratchDir dir;
  CDaoDatabase db;
  db.Create(dir.database("yesno.mdb"));
  CDaoTableDef definition(&db);
  definition.Create(L"T");
  definition.CreateField(L"Name", dbText, 10);
  definition.CreateField(L"Plain", dbBoolean, 0);
  CDaoFieldInfo yes;
  yes.m_strName = L"Yes";
  yes.m_nType = dbBoolean;
  yes.m_strDefaultValue = L"True";
  definition.CreateField(yes);
  CDaoFieldInfo number;
  number.m_strName = L"Number";
  number.m_nType = dbLong;
  definition.CreateField(number);
  definition.Append();

  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"T");
  rs.AddNew();
  rs.SetFieldValue(L"Name", L"a");
  rs.Update();
  rs.MoveFirst();
  struct Case {
    const wchar_t* field;
    VARTYPE vt;
    short value;
  };
  const Case cases[] = {
      {L"Plain", VT_BOOL, VARIANT_FALSE},
      {L"Yes", VT_BOOL, VARIANT_TRUE},
      {L"Number", VT_NULL, 0},  // other types stay Null without a default
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "field " << CString(c.field).GetString());
    COleVariant value = rs.GetFieldValue(c.field);
    ASSERT_EQ(value.vt, c.vt);
    if (c.vt == VT_BOOL) {
      EXPECT_EQ(value.boolVal, c.value);
    }
  }
}
