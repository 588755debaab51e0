// CDBConnection's schema operations on a real database file: the fields and indexes
// that field definitions make (read back through DAO's own table definition),
// what a malformed field definition leaves behind, and which DAO errors are kept.
#include <afxdao.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "db/CDBConnection.h"
#include "db/SchemaTokens.h"
#include "host/DaoStartup.h"

namespace {

COleVariant LB() { return COleVariant(L"*RTLB*", VT_BSTR); }
COleVariant LE() { return COleVariant(L"*RTLE*", VT_BSTR); }
COleVariant S(const wchar_t* text) { return COleVariant(text, VT_BSTR); }
COleVariant I(int value) { return COleVariant(value, VT_I4); }
COleVariant NIL() { return COleVariant(); }
COleVariant Tee() { return COleVariant(static_cast<short>(-1), VT_BOOL); }

class SchemaOperationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/tabrik_schema_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    m_folder = folder;
    ASSERT_TRUE(tabrik::arx::startDatabaseEngine(m_startedDao));
    m_path = CString((m_folder + "/s.mdb").c_str());
    ASSERT_TRUE(m_connection.CreateDatabase(m_path));
    ASSERT_EQ(m_connection.Open(m_path, /*exclusive=*/false, /*readOnly=*/false), m_path);
  }
  void TearDown() override {
    m_connection.Close();
    if (m_startedDao) tabrik::arx::stopDatabaseEngine();
    std::system(("rm -rf '" + m_folder + "'").c_str());
  }
  long lastError() const {
    long code = 0;
    CString description;
    m_connection.GetLastError(code, description);
    return m_connection.HasError() ? code : 0;
  }
  // The field names of a table as DAO's table definition lists them.
  std::vector<std::wstring> fieldsOf(const wchar_t* table) {
    CDaoDatabase database;
    database.Open(m_path, FALSE, TRUE);
    CDaoTableDef definition(&database);
    definition.Open(table);
    std::vector<std::wstring> names;
    for (short i = 0; i < definition.GetFieldCount(); ++i) {
      CDaoFieldInfo info;
      definition.GetFieldInfo(i, info);
      names.emplace_back(info.m_strName.GetString());
    }
    return names;
  }

  std::string m_folder;
  CString m_path;
  bool m_startedDao = false;
  CDBConnection m_connection;
};

}  // namespace

TEST_F(SchemaOperationsTest, FieldsAndIndexesAreMadeAsSpecified) {
  const SchemaTokens tokens = {
      LB(),         LB(),       S(L"Code"), S(L"Text"), I(50), NIL(),    S(L""),
      S(L"X"),      Tee(),      NIL(),      LE(),       LB(),  S(L"ID"), S(L"INT"),
      Tee(),        NIL(),      S(L"I"),    NIL(),      Tee(), LE(),     LB(),
      S(L"Weight"), S(L"REAL"), I(0),       S(L"2.5"),  LE(),  LB(),     S(L"Notes"),
      S(L"MEMO"),   NIL(),      NIL(),      S(L""),     LE(),  LB(),     S(L"When"),
      S(L"DATE"),   NIL(),      NIL(),      S(L"D"),    LE(),  LE()};
  ASSERT_TRUE(m_connection.CreateTable(L"Parts", tokens));
  EXPECT_FALSE(m_connection.HasError());

  CDaoDatabase database;
  database.Open(m_path, FALSE, TRUE);
  CDaoTableDef definition(&database);
  definition.Open(L"Parts");
  struct FieldCase {
    const wchar_t* name;
    short type;
    long size;
    bool autoIncrement;
    bool required;
    bool allowZeroLength;
    const wchar_t* defaultValue;
  };
  const FieldCase fields[] = {
      {L"Code", dbText, 50, false, false, true, L""},
      {L"ID", dbLong, 4, true, true, false, L""},
      {L"Weight", dbDouble, 8, false, true, false, L"2.5"},
      {L"Notes", dbMemo, 0, false, false, true, L""},
      {L"When", dbDate, 8, false, false, false, L""},
  };
  ASSERT_EQ(definition.GetFieldCount(), 5);
  for (short i = 0; i < 5; ++i) {
    const FieldCase& f = fields[i];
    SCOPED_TRACE(i);
    CDaoFieldInfo info;
    definition.GetFieldInfo(i, info, AFX_DAO_ALL_INFO);
    EXPECT_STREQ(info.m_strName.GetString(), f.name);
    EXPECT_EQ(info.m_nType, f.type);
    EXPECT_EQ(info.m_lSize, f.size);
    EXPECT_EQ((info.m_lAttributes & dbAutoIncrField) != 0, f.autoIncrement);
    EXPECT_EQ(info.m_bRequired != FALSE, f.required);
    EXPECT_EQ(info.m_bAllowZeroLength != FALSE, f.allowZeroLength);
    EXPECT_EQ(info.m_lCollatingOrder, 1033);
    EXPECT_STREQ(info.m_strDefaultValue.GetString(), f.defaultValue);
  }
  struct IndexCase {
    const wchar_t* name;
    bool descending;
    bool unique;
    bool primary;
  };
  const IndexCase indexes[] = {
      {L"Code", false, true, false},
      {L"ID", false, true, true},
      {L"When", true, false, false},
  };
  ASSERT_EQ(definition.GetIndexCount(), 3);
  for (short i = 0; i < 3; ++i) {
    const IndexCase& x = indexes[i];
    SCOPED_TRACE(i);
    CDaoIndexInfo info;
    definition.GetIndexInfo(i, info, AFX_DAO_ALL_INFO);
    EXPECT_STREQ(info.m_strName.GetString(), x.name);
    ASSERT_EQ(info.m_nFields, 1);
    EXPECT_STREQ(info.m_pFieldInfos[0].m_strName.GetString(), x.name);
    EXPECT_EQ(info.m_pFieldInfos[0].m_bDescending != FALSE, x.descending);
    EXPECT_EQ(info.m_bUnique != FALSE, x.unique);
    EXPECT_EQ(info.m_bPrimary != FALSE, x.primary);
    EXPECT_FALSE(info.m_bClustered);
    EXPECT_FALSE(info.m_bIgnoreNulls);
    EXPECT_FALSE(info.m_bForeign);
  }
}

TEST_F(SchemaOperationsTest, WhatStopsTheFieldsLeavesThoseBeforeIt) {
  struct Case {
    const char* name;
    SchemaTokens tokens;
    long error;  // 0: quiet
    std::vector<std::wstring> fields;
  };
  const Case cases[] = {
      {"unknown type keyword",
       {LB(), S(L"A"), S(L"LONG"), NIL(), NIL(), LE(), LB(), S(L"B"), S(L"FLOAT"), NIL(), NIL(),
        LE()},
       0,
       {L"A"}},
      {"field defined twice",
       {LB(), S(L"A"), S(L"LONG"), NIL(), NIL(), LE(), LB(), S(L"a"), S(L"BYTE"), NIL(), NIL(),
        LE(), LB(), S(L"C"), S(L"BYTE"), NIL(), NIL(), LE()},
       3191,
       {L"A"}},
      {"text longer than Jet allows",
       {LB(), S(L"A"), S(L"BOOL"), NIL(), NIL(), LE(), LB(), S(L"B"), S(L"TEXT"), I(300), NIL(),
        NIL(), LE()},
       3001,
       {L"A"}},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring table = L"T" + std::to_wstring(n++);
    EXPECT_FALSE(m_connection.CreateTable(table.c_str(), c.tokens));
    EXPECT_EQ(lastError(), c.error);
    EXPECT_EQ(fieldsOf(table.c_str()), c.fields);
  }
}

TEST_F(SchemaOperationsTest, ModifyingAddsToTheTableThatExists) {
  ASSERT_TRUE(m_connection.CreateTable(L"T", {LB(), S(L"A"), S(L"LONG"), NIL(), NIL(), LE()}));
  ASSERT_TRUE(m_connection.OpenTable(L"T", CString()));
  ASSERT_TRUE(m_connection.ModifyTable(
      L"T", {LB(), S(L"B"), S(L"TEXT"), I(5), NIL(), NIL(), S(L"U"), Tee(), LE()}));
  EXPECT_EQ(fieldsOf(L"T"), (std::vector<std::wstring>{L"A", L"B"}));
  // The cursor open on the table was closed for the change.
  EXPECT_TRUE(m_connection.HasNoTables());
  ASSERT_TRUE(m_connection.OpenTable(L"T", L"B"));
  bool unique = false;
  std::vector<CString> indexFields;
  ASSERT_TRUE(m_connection.GetIndexDefinition(L"B", unique, indexFields));
  EXPECT_TRUE(unique);
  ASSERT_EQ(indexFields.size(), 1u);
  EXPECT_STREQ(indexFields[0].GetString(), L"B");

  EXPECT_FALSE(
      m_connection.ModifyTable(L"Missing", {LB(), S(L"B"), S(L"LONG"), NIL(), NIL(), LE()}));
  EXPECT_EQ(lastError(), 3265);
  EXPECT_FALSE(m_connection.CreateTable(L"T", {LB(), S(L"Z"), S(L"LONG"), NIL(), NIL(), LE()}));
  EXPECT_EQ(lastError(), 3010);
}

TEST_F(SchemaOperationsTest, ReadOnlyDatabaseRefusesEveryChange) {
  ASSERT_TRUE(m_connection.CreateTable(L"T", {LB(), S(L"A"), S(L"LONG"), NIL(), NIL(), LE()}));
  ASSERT_EQ(m_connection.Open(m_path, /*exclusive=*/false, /*readOnly=*/true), m_path);
  const SchemaTokens field = {LB(), S(L"B"), S(L"LONG"), NIL(), NIL(), LE()};
  struct Case {
    const char* name;
    std::function<bool()> change;
  };
  const Case cases[] = {
      {"create table", [&] { return m_connection.CreateTable(L"U", field); }},
      {"modify table", [&] { return m_connection.ModifyTable(L"T", field); }},
      {"create index", [&] { return m_connection.CreateIndex(L"T", L"A", true, false); }},
      {"rename table", [&] { return m_connection.RenameTable(L"T", L"V"); }},
      {"delete table", [&] { return m_connection.DeleteTable(L"T", false); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(c.change());
    EXPECT_EQ(lastError(), 3027);
  }
  std::vector<CString> tables;
  ASSERT_TRUE(m_connection.ListTables(tables));
  ASSERT_EQ(tables.size(), 1u);
  EXPECT_STREQ(tables[0].GetString(), L"T");
}

TEST_F(SchemaOperationsTest, DeletingATableTakesItsRelationsOnlyWhenAskedAndItsOpenCursor) {
  const SchemaTokens keyed = {LB(),    S(L"ID"), S(L"LONG"), NIL(), NIL(),
                              S(L"X"), Tee(),    Tee(),      LE()};
  const SchemaTokens referring = {LB(), S(L"Ref"), S(L"LONG"), NIL(), NIL(), LE()};
  ASSERT_TRUE(m_connection.CreateTable(L"Owners", keyed));
  ASSERT_TRUE(m_connection.CreateTable(L"Cars", referring));
  ASSERT_TRUE(m_connection.CreateTable(L"Boats", referring));
  {
    CDaoDatabase database;
    database.Open(m_path);
    database.CreateRelation(L"OwnersCars", L"Owners", L"Cars", 0, L"ID", L"Ref");
    database.CreateRelation(L"OwnersBoats", L"Owners", L"Boats", 0, L"ID", L"Ref");
  }
  ASSERT_TRUE(m_connection.OpenTable(L"Boats", CString()));
  ASSERT_TRUE(m_connection.OpenTable(L"Cars", CString()));
  // Without the flag DAO refuses a table in a relation, and the table stays.
  EXPECT_FALSE(m_connection.DeleteTable(L"Cars", /*deleteRelations=*/false));
  EXPECT_EQ(lastError(), 3281);
  ASSERT_TRUE(m_connection.OpenTable(L"Cars", CString()));
  ASSERT_TRUE(m_connection.DeleteTable(L"Cars", /*deleteRelations=*/true));
  EXPECT_TRUE(m_connection.GetCurrentTable() == L"Boats");

  bool exists = true;
  ASSERT_TRUE(m_connection.TableExists(L"Cars", exists));
  EXPECT_FALSE(exists);
  {
    CDaoDatabase database;
    database.Open(m_path, FALSE, TRUE);
    ASSERT_EQ(database.GetRelationCount(), 1);
    CDaoRelationInfo left;
    database.GetRelationInfo(0, left);
    EXPECT_STREQ(left.m_strName.GetString(), L"OwnersBoats");
  }

  EXPECT_FALSE(m_connection.DeleteTable(L"Cars", /*deleteRelations=*/true));
  EXPECT_EQ(lastError(), 3265);
}
