// The tb_ functions that define and inspect tables and indexes: tb_create_table,
// tb_modify_table, tb_structure, tb_create_index, tb_list_indexes, tb_indexUnique,
// tb_indexFields, tb_field_required, tb_attributes, tb_delete_table, tb_rename_table
// and tb_list_tables. They read the arguments and shape the answers; the work is
// CDBConnection's (SchemaOperations.cpp).
#include <string>
#include <vector>

#include <acedads.h>

#include "db/CDBConnection.h"
#include "db/ConnectionList.h"
#include "db/DatabaseCall.h"
#include "db/RecordLists.h"
#include "db/SchemaTokens.h"
#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/ListBuilder.h"
#include "host/LispFunctions.h"

namespace tabrik::arx::fn {
namespace {

using TableDefinition = bool (CDBConnection::*)(const CString&, const std::vector<COleVariant>&);

// A table name, then the field definitions; the name when they were all made.
int defineTable(TableDefinition define) {
  db::DatabaseCall call;
  std::wstring table;
  if (!call.readStrings(table)) {
    return kWrongType;
  }
  SchemaTokens tokens;
  if (!db::flattenArguments(call.cursor(), tokens)) {
    return kResultOk;
  }
  return call.run(
      [&](CDBConnection& connection) { return (connection.*define)(table.c_str(), tokens); },
      [&] { acedRetStr(table.c_str()); });
}

void retNames(const std::vector<CString>& names) {
  ListBuilder builder;
  builder.start();
  for (const CString& name : names) {
    builder.addString(name.GetString());
  }
  builder.finish();
}

// The names a connection lists (its tables, or its current table's indexes); nil,
// after the failure report, when it cannot list them.
int retConnectionNames(bool (CDBConnection::*list)(std::vector<CString>&)) {
  db::DatabaseCall call;
  std::vector<CString> names;
  return call.run([&](CDBConnection& connection) { return (connection.*list)(names); },
                  [&] { retNames(names); });
}

struct IndexDefinition {
  bool found = false;
  bool unique = false;
  std::vector<CString> fields;
};

// The index named by the argument, on the current table; not found without a
// connection or such an index (quietly: these two answer nil, not an error).
int readIndexDefinition(IndexDefinition& index) {
  db::DatabaseCall call;
  std::wstring name;
  if (!call.readStrings(name)) {
    return kWrongType;
  }
  CDBConnection* connection = db::currentConnection();
  index.found = connection != nullptr &&
                connection->GetIndexDefinition(name.c_str(), index.unique, index.fields);
  return kResultOk;
}

std::wstring withoutTrailingBlanks(const CString& text) {
  std::wstring trimmed = text.GetString();
  trimmed.erase(trimmed.find_last_not_of(L' ') + 1);
  return trimmed;
}

void retFieldInfo(const CDaoFieldInfo& info) {
  ListBuilder builder;
  builder.start();
  builder.addPair(L"strName", std::wstring(info.m_strName.GetString()));
  builder.addPairLong(L"nType", info.m_nType);
  builder.addPairLong(L"lSize", static_cast<std::int32_t>(info.m_lSize));
  builder.addPairLong(L"lAttributes", static_cast<std::int32_t>(info.m_lAttributes));
  builder.addPairLong(L"nOrdinalPosition", info.m_nOrdinalPosition);
  builder.addPairLong(L"bRequired", info.m_bRequired ? 1 : 0);
  builder.addPairLong(L"bAllowZeroLength", info.m_bAllowZeroLength ? 1 : 0);
  builder.addPair(L"strDefaultValue", withoutTrailingBlanks(info.m_strDefaultValue));
  builder.finish();
}

}  // namespace

int tb_create_table() { return defineTable(&CDBConnection::CreateTable); }

int tb_modify_table() { return defineTable(&CDBConnection::ModifyTable); }

int tb_structure() {
  db::DatabaseCall call;
  DBRecord structure;
  return call.run([&](CDBConnection& connection) { return connection.GetStructure(structure); },
                  [&] { db::retRecord(structure); });
}

int tb_create_index() {
  db::DatabaseCall call;
  std::wstring table;
  std::wstring field;
  bool unique = false;
  bool primary = false;
  if (!call.readStrings(table, field) || !readBoolean(call.cursor(), unique) ||
      !readBoolean(call.cursor(), primary)) {
    return kWrongType;
  }
  return call.run(
      [&](CDBConnection& connection) {
        return connection.CreateIndex(table.c_str(), field.c_str(), unique, primary);
      },
      [] { acedRetT(); });
}

int tb_list_indexes() { return retConnectionNames(&CDBConnection::ListIndexes); }

int tb_indexUnique() {
  acedRetNil();
  IndexDefinition index;
  int status = readIndexDefinition(index);
  if (index.found && index.unique) {
    acedRetT();
  }
  return status;
}

int tb_indexFields() {
  acedRetNil();
  IndexDefinition index;
  int status = readIndexDefinition(index);
  if (index.found) {
    retNames(index.fields);
  }
  return status;
}

int tb_field_required() {
  db::DatabaseCall call;
  std::wstring table;
  std::wstring field;
  if (!call.readStrings(table, field)) {
    return kWrongType;
  }
  bool required = false;
  return call.run(
      [&](CDBConnection& connection) {
        return connection.FieldRequired(table.c_str(), field.c_str(), required);
      },
      [&] {
        if (required) {
          acedRetT();
        }
      });
}

int tb_attributes() {
  db::DatabaseCall call;
  std::wstring field;
  if (!call.readStrings(field)) {
    return kWrongType;
  }
  CDaoFieldInfo info;
  return call.run(
      [&](CDBConnection& connection) { return connection.FieldAttributes(field.c_str(), info); },
      [&] { retFieldInfo(info); });
}

int tb_delete_table() {
  db::DatabaseCall call;
  std::wstring table;
  if (!call.readStrings(table)) {
    return kWrongType;
  }
  bool deleteRelations = false;
  static_cast<void>(readBoolean(call.cursor(), deleteRelations));
  return call.run([&](CDBConnection& connection) {
    return connection.DeleteTable(table.c_str(), deleteRelations);
  });
}

int tb_rename_table() {
  db::DatabaseCall call;
  std::wstring oldName;
  std::wstring newName;
  if (!call.readStrings(oldName, newName)) {
    return kWrongType;
  }
  return call.run(
      [&](CDBConnection& connection) {
        return connection.RenameTable(oldName.c_str(), newName.c_str());
      },
      [&] { acedRetStr(newName.c_str()); });
}

int tb_list_tables() { return retConnectionNames(&CDBConnection::ListTables); }

}  // namespace tabrik::arx::fn
