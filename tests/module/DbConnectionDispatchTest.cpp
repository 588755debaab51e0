// CDBConnection's automation slots: their vtable order (read from the ABI's
// pointer-to-virtual-member form, which holds the slot's offset), calls made through
// the vtable by slot number with the conventions a caller of an automation
// interface relies on (S_OK, VARIANT_BOOL -1/0, BSTRs the caller frees, flat
// name/value arrays), and the last error as the failure report reads it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <afxdao.h>

#include "db/CDBConnection.h"
#include "db/ConnectionList.h"
#include "db/FailureReport.h"
#include "host/DaoStartup.h"

namespace {

using Slots = CDBConnectionDispatch;

// The slot a pointer to a virtual member designates: under the Itanium C++ ABI such a
// pointer holds 1 + the function's byte offset in the vtable.
template <typename Member>
std::ptrdiff_t slotOf(Member member) {
  static_assert(sizeof(Member) == 2 * sizeof(std::ptrdiff_t));
  std::ptrdiff_t words[2];
  std::memcpy(words, &member, sizeof words);
  return (words[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*));
}

TEST(DbConnectionSlotOrder, EverySlotHasItsPlaceInTheVtable) {
  struct Case {
    const char* name;
    std::ptrdiff_t slot;
  };
  const Case cases[] = {
      {"IsOpen", slotOf(&Slots::raw_IsOpen)},
      {"GetDatabaseName", slotOf(&Slots::raw_GetDatabaseName)},
      {"IsIntact", slotOf(&Slots::raw_IsIntact)},
      {"CloseNamedTable", slotOf(&Slots::raw_CloseNamedTable)},
      {"GetRecord", slotOf(&Slots::raw_GetRecord)},
      {"HasNoTables", slotOf(&Slots::raw_HasNoTables)},
      {"CloseTable", slotOf(&Slots::raw_CloseTable)},
      {"CloseAllTables", slotOf(&Slots::raw_CloseAllTables)},
      {"Close", slotOf(&Slots::raw_Close)},
      {"CanUpdate", slotOf(&Slots::raw_CanUpdate)},
      {"Open", slotOf(&Slots::raw_Open)},
      {"TryOpen", slotOf(&Slots::raw_TryOpen)},
      {"OpenTable", slotOf(&Slots::raw_OpenTable)},
      {"HasError", slotOf(&Slots::raw_HasError)},
      {"MoveFirst", slotOf(&Slots::raw_MoveFirst)},
      {"MoveLast", slotOf(&Slots::raw_MoveLast)},
      {"Skip", slotOf(&Slots::raw_Skip)},
      {"GetRecordCount", slotOf(&Slots::raw_GetRecordCount)},
      {"DeleteRecord", slotOf(&Slots::raw_DeleteRecord)},
      {"TableExists", slotOf(&Slots::raw_TableExists)},
      {"AppendRecord", slotOf(&Slots::raw_AppendRecord)},
      {"ReplaceRecord", slotOf(&Slots::raw_ReplaceRecord)},
      {"GetStructure", slotOf(&Slots::raw_GetStructure)},
      {"ListIndexes", slotOf(&Slots::raw_ListIndexes)},
      {"ModifyTable", slotOf(&Slots::raw_ModifyTable)},
      {"RenameTable", slotOf(&Slots::raw_RenameTable)},
      {"GetCurrentIndex", slotOf(&Slots::raw_GetCurrentIndex)},
      {"GetCurrentTable", slotOf(&Slots::raw_GetCurrentTable)},
      {"Seek1", slotOf(&Slots::raw_Seek1)},
      {"Seek2", slotOf(&Slots::raw_Seek2)},
      {"Seek3", slotOf(&Slots::raw_Seek3)},
      {"SeekArray", slotOf(&Slots::raw_SeekArray)},
      {"CreateDatabase", slotOf(&Slots::raw_CreateDatabase)},
      {"CreateTable", slotOf(&Slots::raw_CreateTable)},
      {"IsReadOnly", slotOf(&Slots::raw_IsReadOnly)},
      {"IsEOF", slotOf(&Slots::raw_IsEOF)},
      {"IsBOF", slotOf(&Slots::raw_IsBOF)},
      {"DeleteTable", slotOf(&Slots::raw_DeleteTable)},
      {"ListTables", slotOf(&Slots::raw_ListTables)},
      {"OpenQuery", slotOf(&Slots::raw_OpenQuery)},
      {"ExecuteSQL", slotOf(&Slots::raw_ExecuteSQL)},
      {"ExecuteCommand", slotOf(&Slots::raw_ExecuteCommand)},
      {"RelationExists", slotOf(&Slots::raw_RelationExists)},
      {"DeleteRelation", slotOf(&Slots::raw_DeleteRelation)},
      {"CompactDatabase", slotOf(&Slots::raw_CompactDatabase)},
      {"LinkTable", slotOf(&Slots::raw_LinkTable)},
      {"RunQuery", slotOf(&Slots::raw_RunQuery)},
      {"CreateIndex", slotOf(&Slots::raw_CreateIndex)},
      {"CreateQuery", slotOf(&Slots::raw_CreateQuery)},
      {"FieldRequired", slotOf(&Slots::raw_FieldRequired)},
      {"FieldAttributes", slotOf(&Slots::raw_FieldAttributes)},
      {"GetFieldValueByName", slotOf(&Slots::raw_GetFieldValueByName)},
      {"GetInterfaceVersion", slotOf(&Slots::raw_GetInterfaceVersion)},
      {"GetFieldCount", slotOf(&Slots::raw_GetFieldCount)},
      {"GetFieldName", slotOf(&Slots::raw_GetFieldName)},
      {"GetFieldValue", slotOf(&Slots::raw_GetFieldValue)},
      {"GetLastError", slotOf(&Slots::raw_GetLastError)},
  };
  ASSERT_EQ(std::size(cases), 57u);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_EQ(cases[i].slot, static_cast<std::ptrdiff_t>(i));
  }
}

// A call through the object's vtable by slot number, as a client holding only the
// interface pointer makes it.
template <typename... Args>
HRESULT callSlot(CDBConnection& connection, int slot, Args... args) {
  Slots* table = &connection;
  void** vtable = *reinterpret_cast<void***>(table);
  auto function = reinterpret_cast<HRESULT (*)(Slots*, Args...)>(vtable[slot]);
  return function(table, args...);
}

std::wstring takeString(BSTR text) {
  std::wstring value = text != nullptr ? text : L"<null>";
  SysFreeString(text);
  return value;
}

// The flat array's texts and numbers as one readable line: name=value pairs.
std::wstring describe(const DBVariantArray& flat) {
  std::wstring out;
  for (const COleVariant& value : flat) {
    if (!out.empty()) out += L"|";
    switch (value.vt) {
      case VT_BSTR:
        out += value.bstrVal;
        break;
      case VT_I2:
        out += std::to_wstring(value.iVal);
        break;
      case VT_I4:
        out += std::to_wstring(value.lVal);
        break;
      case VT_BOOL:
        out += value.boolVal == VARIANT_TRUE ? L"-1" : std::to_wstring(value.boolVal);
        break;
      case VT_NULL:
        out += L"Null";
        break;
      default:
        out += L"vt" + std::to_wstring(value.vt);
        break;
    }
  }
  return out;
}

class DbConnectionDispatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/tabrik_dispatch_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    m_folder = folder;
    m_path = CString((m_folder + "/parts.mdb").c_str());
    ASSERT_TRUE(tabrik::arx::startDatabaseEngine(m_startedDao));
    CDaoDatabase database;
    database.Create(m_path);
    CDaoTableDef table(&database);
    table.Create(L"Parts");
    table.CreateField(L"ID", dbLong, 4, dbAutoIncrField);
    table.CreateField(L"Name", dbText, 20);
    table.CreateField(L"Qty", dbLong, 4);
    CDaoIndexFieldInfo key;
    key.m_strName = L"ID";
    CDaoIndexInfo index;
    index.m_strName = L"PrimaryKey";
    index.m_pFieldInfos = &key;
    index.m_nFields = 1;
    index.m_bPrimary = TRUE;
    index.m_bUnique = TRUE;
    table.CreateIndex(index);
    index.m_pFieldInfos = nullptr;
    table.Append();
    CDaoRecordset cursor(&database);
    cursor.Open(dbOpenTable, L"Parts");
    for (const auto& [name, qty] : {std::pair{L"Bolt", 10}, std::pair{L"Nut", 20}}) {
      cursor.AddNew();
      cursor.SetFieldValue(L"Name", COleVariant(name, VT_BSTR));
      cursor.SetFieldValue(L"Qty", COleVariant(qty));
      cursor.Update();
    }
    cursor.Close();
    database.Close();
    ASSERT_EQ(m_connection.Open(m_path, /*exclusive=*/false, /*readOnly=*/false), m_path);
    ASSERT_TRUE(m_connection.OpenTable(L"Parts", L"PrimaryKey"));
  }
  void TearDown() override {
    m_connection.Close();
    tabrik::arx::db::ClearCurrent();
    tabrik::arx::db::setLastErrorText(L"");
    if (m_startedDao) tabrik::arx::stopDatabaseEngine();
    std::system(("rm -rf '" + m_folder + "'").c_str());
  }

  std::string m_folder;
  CString m_path;
  bool m_startedDao = false;
  CDBConnection m_connection;
};

TEST_F(DbConnectionDispatchTest, SlotsCalledByNumberAnswerThroughOutParameters) {
  // Each case starts on the first record and gives what the slot reported, as text.
  struct Case {
    int slot;
    const char* name;
    std::function<std::wstring(CDBConnection&, HRESULT&)> call;
    std::wstring expected;
  };
  auto flag = [](int slot) {
    return [slot](CDBConnection& c, HRESULT& hr) {
      VARIANT_BOOL value = 7;
      hr = callSlot(c, slot, &value);
      return std::to_wstring(value);
    };
  };
  auto text = [](int slot) {
    return [slot](CDBConnection& c, HRESULT& hr) {
      BSTR value = nullptr;
      hr = callSlot(c, slot, &value);
      return takeString(value);
    };
  };
  auto record = [](int slot) {
    return [slot](CDBConnection& c, HRESULT& hr) {
      DBVariantArray flat;
      VARIANT_BOOL ok = 7;
      hr = callSlot(c, slot, &flat, &ok);
      return std::to_wstring(ok) + L":" + describe(flat);
    };
  };
  const std::wstring path = m_path.GetString();
  const std::vector<Case> cases = {
      {0, "IsOpen", flag(0), L"-1"},
      {1, "GetDatabaseName", text(1), path},
      {2, "IsIntact", flag(2), L"-1"},
      {4, "GetRecord", record(4), L"-1:ID|1|Name|Bolt|Qty|10"},
      {5, "HasNoTables", flag(5), L"0"},
      {9, "CanUpdate", flag(9), L"-1"},
      {13, "HasError", flag(13), L"0"},
      {14, "MoveFirst", record(14), L"-1:ID|1|Name|Bolt|Qty|10"},
      {15, "MoveLast", record(15), L"-1:ID|2|Name|Nut|Qty|20"},
      {16, "Skip",
       [](CDBConnection& c, HRESULT& hr) {
         DBVariantArray flat;
         VARIANT_BOOL ok = 7;
         hr = callSlot(c, 16, LONG{1}, &flat, &ok);
         return std::to_wstring(ok) + L":" + describe(flat);
       },
       L"-1:ID|2|Name|Nut|Qty|20"},
      {17, "GetRecordCount",
       [](CDBConnection& c, HRESULT& hr) {
         LONG count = -5;
         VARIANT_BOOL ok = 7;
         hr = callSlot(c, 17, &count, &ok);
         return std::to_wstring(ok) + L":" + std::to_wstring(count);
       },
       L"-1:2"},
      {19, "TableExists",
       [](CDBConnection& c, HRESULT& hr) {
         BSTR name = SysAllocString(L"Parts");
         VARIANT_BOOL exists = 7;
         VARIANT_BOOL ok = 7;
         hr = callSlot(c, 19, name, &exists, &ok);
         SysFreeString(name);
         return std::to_wstring(ok) + L":" + std::to_wstring(exists);
       },
       L"-1:-1"},
      {26, "GetCurrentIndex", text(26), L"PrimaryKey"},
      {27, "GetCurrentTable", text(27), L"Parts"},
      {28, "Seek1",
       [](CDBConnection& c, HRESULT& hr) {
         COleVariant key(2);
         DBVariantArray flat;
         VARIANT_BOOL ok = 7;
         hr = callSlot(c, 28, VARIANT(key), &flat, &ok);
         return std::to_wstring(ok) + L":" + describe(flat);
       },
       L"-1:ID|2|Name|Nut|Qty|20"},
      {31, "SeekArray, a key that no record has",
       [](CDBConnection& c, HRESULT& hr) {
         const DBVariantArray keys = {COleVariant(9)};
         DBVariantArray flat = {COleVariant(1)};
         VARIANT_BOOL ok = 7;
         hr = callSlot(c, 31, &keys, &flat, &ok);
         return std::to_wstring(ok) + L":" + describe(flat);
       },
       L"0:"},
      {34, "IsReadOnly", flag(34), L"0"},
      {35, "IsEOF", flag(35), L"0"},
      {36, "IsBOF", flag(36), L"0"},
      {38, "ListTables",
       [](CDBConnection& c, HRESULT& hr) {
         DBVariantArray names;
         VARIANT_BOOL ok = 7;
         hr = callSlot(c, 38, &names, &ok);
         return std::to_wstring(ok) + L":" + describe(names);
       },
       L"-1:Parts"},
      {51, "GetFieldValueByName",
       [](CDBConnection& c, HRESULT& hr) {
         BSTR name = SysAllocString(L"Name");
         VARIANT value;
         VariantInit(&value);
         VARIANT_BOOL ok = 7;
         hr = callSlot(c, 51, name, &value, &ok);
         SysFreeString(name);
         const std::wstring read =
             value.vt == VT_BSTR ? value.bstrVal : L"vt" + std::to_wstring(value.vt);
         VariantClear(&value);
         return std::to_wstring(ok) + L":" + read;
       },
       L"-1:Bolt"},
      {52, "GetInterfaceVersion",
       [](CDBConnection& c, HRESULT& hr) {
         LONG version = 0;
         hr = callSlot(c, 52, &version);
         return std::to_wstring(version);
       },
       L"2"},
      {53, "GetFieldCount",
       [](CDBConnection& c, HRESULT& hr) {
         SHORT count = 0;
         VARIANT_BOOL ok = 7;
         hr = callSlot(c, 53, &count, &ok);
         return std::to_wstring(ok) + L":" + std::to_wstring(count);
       },
       L"-1:3"},
      {54, "GetFieldName",
       [](CDBConnection& c, HRESULT& hr) {
         BSTR name = nullptr;
         VARIANT_BOOL ok = 7;
         hr = callSlot(c, 54, LONG{1}, &name, &ok);
         return std::to_wstring(ok) + L":" + takeString(name);
       },
       L"-1:Name"},
      {55, "GetFieldValue",
       [](CDBConnection& c, HRESULT& hr) {
         VARIANT value;
         VariantInit(&value);
         VARIANT_BOOL ok = 7;
         hr = callSlot(c, 55, LONG{2}, &value, &ok);
         const std::wstring read =
             value.vt == VT_I4 ? std::to_wstring(value.lVal) : L"vt" + std::to_wstring(value.vt);
         VariantClear(&value);
         return std::to_wstring(ok) + L":" + read;
       },
       L"-1:10"},
      {56, "GetLastError, none yet",
       [](CDBConnection& c, HRESULT& hr) {
         LONG code = -1;
         BSTR description = nullptr;
         hr = callSlot(c, 56, &code, &description);
         return std::to_wstring(code) + L":" + takeString(description);
       },
       L"0:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DBRecord first;
    ASSERT_TRUE(m_connection.MoveFirst(first));
    HRESULT hr = E_FAIL;
    EXPECT_EQ(c.call(m_connection, hr), c.expected);
    EXPECT_EQ(hr, S_OK);
  }
}

TEST_F(DbConnectionDispatchTest, WritingSlotsTakeFlatRecordsAndRefuseMalformedOnes) {
  struct Case {
    const char* name;
    DBVariantArray values;
    bool written;
    std::wstring produced;
  };
  const std::vector<Case> cases = {
      {"a pair",
       {COleVariant(L"Name", VT_BSTR), COleVariant(L"Washer", VT_BSTR)},
       true,
       L"ID|3|Name|Washer|Qty|Null"},
      {"a name without its value", {COleVariant(L"Name", VT_BSTR)}, false, L""},
      {"a number where a name is due", {COleVariant(5), COleVariant(L"x", VT_BSTR)}, false, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DBVariantArray flat = {COleVariant(1)};
    VARIANT_BOOL ok = 7;
    EXPECT_EQ(callSlot(m_connection, 20, &c.values, VARIANT_FALSE, &flat, &ok), S_OK);
    EXPECT_EQ(ok, c.written ? VARIANT_TRUE : VARIANT_FALSE);
    EXPECT_EQ(describe(flat), c.produced);
  }
  long count = 0;
  ASSERT_TRUE(m_connection.GetRecordCount(count));
  EXPECT_EQ(count, 3);

  // Replace writes into the current record and hands it back.
  DBRecord first;
  ASSERT_TRUE(m_connection.MoveFirst(first));
  const DBVariantArray values = {COleVariant(L"Qty", VT_BSTR), COleVariant(11)};
  DBVariantArray flat;
  VARIANT_BOOL ok = 7;
  EXPECT_EQ(callSlot(m_connection, 21, &values, &flat, &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  EXPECT_EQ(describe(flat), L"ID|1|Name|Bolt|Qty|11");

  // Delete, then the cursor has no current record.
  EXPECT_EQ(callSlot(m_connection, 18, &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  EXPECT_EQ(callSlot(m_connection, 4, &flat, &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_FALSE);
  EXPECT_TRUE(flat.empty());
}

TEST_F(DbConnectionDispatchTest, MissingOutParametersAreRefusedWithoutWork) {
  EXPECT_EQ(m_connection.raw_IsOpen(nullptr), E_POINTER);
  EXPECT_EQ(m_connection.raw_GetDatabaseName(nullptr), E_POINTER);
  EXPECT_EQ(m_connection.raw_GetRecord(nullptr, nullptr), E_POINTER);
  EXPECT_EQ(m_connection.raw_GetLastError(nullptr, nullptr), E_POINTER);
  VARIANT_BOOL ok = 7;
  EXPECT_EQ(m_connection.raw_AppendRecord(nullptr, VARIANT_FALSE, nullptr, &ok), E_POINTER);
  EXPECT_EQ(ok, 7);
  long count = 0;
  ASSERT_TRUE(m_connection.GetRecordCount(count));
  EXPECT_EQ(count, 2);
}

// The last error as slot 56 gives it, and as the failure report turns it into the
// last-error text; DAO's text for a missing table.
TEST_F(DbConnectionDispatchTest, TheLastErrorTravelsThroughSlot56) {
  EXPECT_FALSE(m_connection.OpenTable(L"Missing", L""));
  VARIANT_BOOL failed = 7;
  EXPECT_EQ(callSlot(m_connection, 13, &failed), S_OK);
  EXPECT_EQ(failed, VARIANT_TRUE);
  LONG code = 0;
  BSTR description = nullptr;
  EXPECT_EQ(callSlot(m_connection, 56, &code, &description), S_OK);
  const std::wstring kMissing =
      L"The Microsoft Jet database engine cannot find the input table or query 'Missing'.  Make "
      L"sure it exists and "
      L"that its name is spelled correctly.";
  EXPECT_EQ(code, 3078);
  EXPECT_EQ(takeString(description), kMissing);

  namespace db = tabrik::arx::db;
  db::SetCurrent(&m_connection, m_path.GetString(), /*readOnly=*/false);
  EXPECT_TRUE(db::reportFailure());
  EXPECT_EQ(db::lastErrorText(), L"(3078) " + kMissing);
}

// A connection whose slot 56 answers for itself: the report shows what the slot
// says, not what the plain member would.
class SlotReportingConnection : public CDBConnection {
 public:
  HRESULT raw_GetLastError(LONG* code, BSTR* description) override {
    *code = 3021;
    *description = SysAllocString(L"No current record.");
    return S_OK;
  }
};

TEST_F(DbConnectionDispatchTest, TheFailureReportReadsTheErrorThroughTheSlot) {
  SlotReportingConnection connection;
  EXPECT_FALSE(connection.OpenTable(L"Parts", L""));  // not open: no error
  EXPECT_FALSE(tabrik::arx::db::recordFailure(&connection));
  EXPECT_EQ(connection.Open(L"/nonexistent/folder/x.mdb", false, false),
            CString(CDBConnection::kRepairMarker));
  ASSERT_TRUE(connection.HasError());
  EXPECT_TRUE(tabrik::arx::db::recordFailure(&connection));
  EXPECT_EQ(tabrik::arx::db::lastErrorText(), L"(3021) No current record.");
}

}  // namespace

namespace {

std::wstring fieldNames(const DBRecord& record) {
  std::wstring names;
  for (const DBField& field : record) names += std::wstring(field.name.GetString()) + L",";
  return names;
}

// Tables of the same width opened and closed in turn: each record carries its own
// table's field names, whatever address the new cursor happens to get.
TEST_F(DbConnectionDispatchTest, EachCursorReadsItsOwnFieldNames) {
  m_connection.Close();
  {
    CDaoDatabase database;
    database.Open(m_path);
    CDaoTableDef table(&database);
    table.Create(L"Bins");
    table.CreateField(L"Code", dbLong, 4);
    table.CreateField(L"Shelf", dbText, 10);
    table.CreateField(L"Size", dbDouble, 8);
    table.Append();
    CDaoRecordset cursor(&database);
    cursor.Open(dbOpenTable, L"Bins");
    cursor.AddNew();
    cursor.SetFieldValue(L"Code", COleVariant(7));
    cursor.Update();
  }
  ASSERT_EQ(m_connection.Open(m_path, /*exclusive=*/false, /*readOnly=*/false), m_path);
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(round);
    for (const auto& [table, names] :
         {std::pair{L"Parts", L"ID,Name,Qty,"}, std::pair{L"Bins", L"Code,Shelf,Size,"}}) {
      DBRecord record;
      ASSERT_TRUE(m_connection.OpenTable(table, L""));
      ASSERT_TRUE(m_connection.MoveFirst(record));
      EXPECT_EQ(fieldNames(record), names);
      ASSERT_TRUE(m_connection.CloseTable());
    }
  }
}

}  // namespace
