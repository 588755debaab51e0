// The automation-style slots of CDBConnection (see CDBConnectionDispatch.h): the
// conversions between automation values (VARIANT_BOOL, BSTR, flat variant arrays) and
// the plain members' values, and the four slots that do their own work (field count,
// name and value by position, the last error). Every slot answers S_OK, E_POINTER
// for a missing out-parameter being the one exception a caller's mistake earns.
#include "db/CDBConnectionDispatch.h"

#include <algorithm>
#include <utility>

#include "db/CDBConnection.h"

namespace {

VARIANT_BOOL toBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

CString fromBstr(BSTR text) { return text != nullptr ? CString(text) : CString(); }

// Record pairs to the flat form: name, value, name, value, ...
void flatten(const DBRecord& record, DBVariantArray& flat) {
  flat.clear();
  flat.reserve(record.size() * 2);
  for (const DBField& field : record) {
    flat.emplace_back(field.name);
    flat.push_back(field.value);
  }
}

// The flat form back to pairs; false when a name is not text or a value is missing.
bool unflatten(const DBVariantArray& flat, DBRecord& record) {
  record.clear();
  if (flat.size() % 2 != 0) {
    return false;
  }
  for (std::size_t i = 0; i < flat.size(); i += 2) {
    if (flat[i].vt != VT_BSTR) {
      return false;
    }
    record.push_back(DBField{fromBstr(flat[i].bstrVal), flat[i + 1]});
  }
  return true;
}

void namesToArray(const std::vector<CString>& names, DBVariantArray& array) {
  array.clear();
  array.reserve(names.size());
  for (const CString& name : names) array.emplace_back(name);
}

// A record-producing plain member behind a slot with (record, ok) out-parameters.
template <typename Produce>
HRESULT recordSlot(DBVariantArray* record, VARIANT_BOOL* ok, Produce produce) {
  if (record == nullptr || ok == nullptr) {
    return E_POINTER;
  }
  DBRecord pairs;
  const bool produced = produce(pairs);
  flatten(produced ? pairs : DBRecord(), *record);
  *ok = toBool(produced);
  return S_OK;
}

template <typename Produce>
HRESULT namesSlot(DBVariantArray* names, VARIANT_BOOL* ok, Produce produce) {
  if (names == nullptr || ok == nullptr) {
    return E_POINTER;
  }
  std::vector<CString> list;
  const bool produced = produce(list);
  namesToArray(produced ? list : std::vector<CString>(), *names);
  *ok = toBool(produced);
  return S_OK;
}

template <typename Run>
HRESULT querySlot(DBVariantArray* result, VARIANT_BOOL* ok, Run run) {
  if (result == nullptr || ok == nullptr) {
    return E_POINTER;
  }
  DBQueryResult rows;
  const bool ran = run(rows);
  *result = ran ? rows.flatten() : DBVariantArray();
  *ok = toBool(ran);
  return S_OK;
}

template <typename Run>
HRESULT countSlot(LONG* affected, VARIANT_BOOL* ok, Run run) {
  if (affected == nullptr || ok == nullptr) {
    return E_POINTER;
  }
  long count = 0;
  *ok = toBool(run(count));
  *affected = static_cast<LONG>(count);
  return S_OK;
}

HRESULT boolSlot(VARIANT_BOOL* out, bool value) {
  if (out == nullptr) {
    return E_POINTER;
  }
  *out = toBool(value);
  return S_OK;
}

HRESULT stringSlot(BSTR* out, const CString& value) {
  if (out == nullptr) {
    return E_POINTER;
  }
  *out = value.AllocSysString();
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

CDBConnection& CDBConnectionDispatch::self() { return static_cast<CDBConnection&>(*this); }

// --- the database ----------------------------------------------------------------------

HRESULT CDBConnectionDispatch::raw_IsOpen(VARIANT_BOOL* open) {
  return boolSlot(open, self().IsOpen());
}

HRESULT CDBConnectionDispatch::raw_GetDatabaseName(BSTR* name) {
  return stringSlot(name, self().GetDatabaseName());
}

HRESULT CDBConnectionDispatch::raw_IsIntact(VARIANT_BOOL* intact) {
  return boolSlot(intact, self().IsIntact());
}

HRESULT CDBConnectionDispatch::raw_CanUpdate(VARIANT_BOOL* updatable) {
  return boolSlot(updatable, self().CanUpdate());
}

HRESULT CDBConnectionDispatch::raw_IsReadOnly(VARIANT_BOOL* readOnly) {
  return boolSlot(readOnly, self().IsReadOnly());
}

HRESULT CDBConnectionDispatch::raw_Close() {
  self().Close();
  return S_OK;
}

HRESULT CDBConnectionDispatch::raw_Open(BSTR path, VARIANT_BOOL exclusive, VARIANT_BOOL readOnly,
                                        BSTR* name) {
  if (name == nullptr) {
    return E_POINTER;
  }
  return stringSlot(
      name, self().Open(fromBstr(path), exclusive != VARIANT_FALSE, readOnly != VARIANT_FALSE));
}

HRESULT CDBConnectionDispatch::raw_TryOpen(BSTR path, VARIANT_BOOL* locked, BSTR* name) {
  if (locked == nullptr || name == nullptr) {
    return E_POINTER;
  }
  bool isLocked = false;
  const CString opened = self().TryOpen(fromBstr(path), isLocked);
  *locked = toBool(isLocked);
  return stringSlot(name, opened);
}

HRESULT CDBConnectionDispatch::raw_CreateDatabase(BSTR path, VARIANT_BOOL* ok) {
  return boolSlot(ok, self().CreateDatabase(fromBstr(path)));
}

HRESULT CDBConnectionDispatch::raw_TableExists(BSTR name, VARIANT_BOOL* exists, VARIANT_BOOL* ok) {
  if (exists == nullptr || ok == nullptr) {
    return E_POINTER;
  }
  bool found = false;
  *ok = toBool(self().TableExists(fromBstr(name), found));
  *exists = toBool(found);
  return S_OK;
}

// --- table cursors ------------------------------------------------------------------------

HRESULT CDBConnectionDispatch::raw_OpenTable(BSTR table, BSTR index, VARIANT_BOOL* ok) {
  return boolSlot(ok, self().OpenTable(fromBstr(table), fromBstr(index)));
}

HRESULT CDBConnectionDispatch::raw_CloseNamedTable(BSTR table, VARIANT_BOOL* closed) {
  return boolSlot(closed, self().CloseNamedTable(fromBstr(table)));
}

HRESULT CDBConnectionDispatch::raw_CloseTable(VARIANT_BOOL* closed) {
  return boolSlot(closed, self().CloseTable());
}

HRESULT CDBConnectionDispatch::raw_CloseAllTables(VARIANT_BOOL* closed) {
  return boolSlot(closed, self().CloseAllTables());
}

HRESULT CDBConnectionDispatch::raw_HasNoTables(VARIANT_BOOL* none) {
  return boolSlot(none, self().HasNoTables());
}

HRESULT CDBConnectionDispatch::raw_GetCurrentTable(BSTR* name) {
  return stringSlot(name, self().GetCurrentTable());
}

HRESULT CDBConnectionDispatch::raw_GetCurrentIndex(BSTR* name) {
  return stringSlot(name, self().GetCurrentIndex());
}

HRESULT CDBConnectionDispatch::raw_IsEOF(VARIANT_BOOL* eof) {
  return boolSlot(eof, self().IsEOF());
}

HRESULT CDBConnectionDispatch::raw_IsBOF(VARIANT_BOOL* bof) {
  return boolSlot(bof, self().IsBOF());
}

// --- navigation -----------------------------------------------------------------------------

HRESULT CDBConnectionDispatch::raw_MoveFirst(DBVariantArray* record, VARIANT_BOOL* ok) {
  return recordSlot(record, ok, [this](DBRecord& pairs) { return self().MoveFirst(pairs); });
}

HRESULT CDBConnectionDispatch::raw_MoveLast(DBVariantArray* record, VARIANT_BOOL* ok) {
  return recordSlot(record, ok, [this](DBRecord& pairs) { return self().MoveLast(pairs); });
}

HRESULT CDBConnectionDispatch::raw_Skip(LONG count, DBVariantArray* record, VARIANT_BOOL* ok) {
  return recordSlot(record, ok,
                    [this, count](DBRecord& pairs) { return self().Skip(count, pairs); });
}

HRESULT CDBConnectionDispatch::raw_Seek1(VARIANT key, DBVariantArray* record, VARIANT_BOOL* ok) {
  const COleVariant first(key);
  return recordSlot(record, ok, [&](DBRecord& pairs) { return self().Seek1(first, pairs); });
}

HRESULT CDBConnectionDispatch::raw_Seek2(VARIANT key1, VARIANT key2, DBVariantArray* record,
                                         VARIANT_BOOL* ok) {
  const COleVariant first(key1);
  const COleVariant second(key2);
  return recordSlot(record, ok,
                    [&](DBRecord& pairs) { return self().Seek2(first, second, pairs); });
}

HRESULT CDBConnectionDispatch::raw_Seek3(VARIANT key1, VARIANT key2, VARIANT key3,
                                         DBVariantArray* record, VARIANT_BOOL* ok) {
  const COleVariant first(key1);
  const COleVariant second(key2);
  const COleVariant third(key3);
  return recordSlot(record, ok,
                    [&](DBRecord& pairs) { return self().Seek3(first, second, third, pairs); });
}

HRESULT CDBConnectionDispatch::raw_SeekArray(const DBVariantArray* keys, DBVariantArray* record,
                                             VARIANT_BOOL* ok) {
  if (keys == nullptr) {
    return E_POINTER;
  }
  const int count = static_cast<int>(std::min<std::size_t>(keys->size(), kMaxSeekKeys));
  return recordSlot(record, ok,
                    [&](DBRecord& pairs) { return self().SeekArray(keys->data(), count, pairs); });
}

HRESULT CDBConnectionDispatch::raw_GetRecordCount(LONG* count, VARIANT_BOOL* ok) {
  if (count == nullptr || ok == nullptr) {
    return E_POINTER;
  }
  long records = 0;
  *ok = toBool(self().GetRecordCount(records));
  *count = static_cast<LONG>(records);
  return S_OK;
}

// --- records --------------------------------------------------------------------------------

HRESULT CDBConnectionDispatch::raw_GetRecord(DBVariantArray* record, VARIANT_BOOL* ok) {
  return recordSlot(record, ok, [this](DBRecord& pairs) { return self().GetRecord(pairs); });
}

HRESULT CDBConnectionDispatch::raw_AppendRecord(const DBVariantArray* values, VARIANT_BOOL fill,
                                                DBVariantArray* record, VARIANT_BOOL* ok) {
  if (values == nullptr) {
    return E_POINTER;
  }
  return recordSlot(record, ok, [&](DBRecord& pairs) {
    DBRecord supplied;
    return unflatten(*values, supplied) &&
           self().AppendRecord(supplied, fill != VARIANT_FALSE, pairs);
  });
}

HRESULT CDBConnectionDispatch::raw_ReplaceRecord(const DBVariantArray* values,
                                                 DBVariantArray* record, VARIANT_BOOL* ok) {
  if (values == nullptr) {
    return E_POINTER;
  }
  return recordSlot(record, ok, [&](DBRecord& pairs) {
    DBRecord supplied;
    return unflatten(*values, supplied) && self().ReplaceRecord(supplied, pairs);
  });
}

HRESULT CDBConnectionDispatch::raw_DeleteRecord(VARIANT_BOOL* ok) {
  return boolSlot(ok, self().DeleteRecord());
}

HRESULT CDBConnectionDispatch::raw_GetFieldValueByName(BSTR name, VARIANT* value,
                                                       VARIANT_BOOL* ok) {
  if (value == nullptr || ok == nullptr) {
    return E_POINTER;
  }
  COleVariant read;
  *ok = toBool(self().GetFieldValueByName(fromBstr(name), read));
  *value = read.Detach();
  return S_OK;
}

// --- fields by position and the last error: the slots' own work -----------------------------

HRESULT CDBConnectionDispatch::raw_GetFieldCount(SHORT* count, VARIANT_BOOL* ok) {
  if (count == nullptr || ok == nullptr) {
    return E_POINTER;
  }
  CDBConnection& connection = self();
  connection.clearError();
  *ok = VARIANT_FALSE;
  CDaoRecordset* cursor = connection.currentTable();
  if (cursor != nullptr) {
    *ok = toBool(connection.guarded([&] { *count = cursor->GetFieldCount(); }));
  }
  return S_OK;
}

HRESULT CDBConnectionDispatch::raw_GetFieldName(LONG position, BSTR* name, VARIANT_BOOL* ok) {
  if (name == nullptr || ok == nullptr) {
    return E_POINTER;
  }
  CDBConnection& connection = self();
  connection.clearError();
  CDaoRecordset* cursor = connection.currentTable();
  CDaoFieldInfo info;
  const bool read =
      cursor != nullptr && connection.guarded([&] { cursor->GetFieldInfo(position, info); });
  *ok = toBool(read);
  return stringSlot(name, read ? info.m_strName : CString());
}

HRESULT CDBConnectionDispatch::raw_GetFieldValue(LONG position, VARIANT* value, VARIANT_BOOL* ok) {
  if (value == nullptr || ok == nullptr) {
    return E_POINTER;
  }
  CDBConnection& connection = self();
  connection.clearError();
  CDaoRecordset* cursor = connection.currentTable();
  COleVariant read;
  *ok = toBool(cursor != nullptr &&
               connection.guarded([&] { cursor->GetFieldValue(position, read); }));
  *value = read.Detach();
  return S_OK;
}

HRESULT CDBConnectionDispatch::raw_GetLastError(LONG* code, BSTR* description) {
  if (code == nullptr || description == nullptr) {
    return E_POINTER;
  }
  const CDBConnection& connection = self();
  *code = static_cast<LONG>(connection.m_lastErrorCode);
  return stringSlot(description, connection.m_lastErrorDescription);
}

HRESULT CDBConnectionDispatch::raw_HasError(VARIANT_BOOL* failed) {
  return boolSlot(failed, self().HasError());
}

HRESULT CDBConnectionDispatch::raw_GetInterfaceVersion(LONG* version) {
  if (version == nullptr) {
    return E_POINTER;
  }
  *version = static_cast<LONG>(CDBConnection::GetInterfaceVersion());
  return S_OK;
}

// --- tables, fields and indexes ---------------------------------------------------------------

HRESULT CDBConnectionDispatch::raw_CreateTable(BSTR name, const DBVariantArray* tokens,
                                               VARIANT_BOOL* ok) {
  if (tokens == nullptr) {
    return E_POINTER;
  }
  return boolSlot(ok, ok != nullptr && self().CreateTable(fromBstr(name), *tokens));
}

HRESULT CDBConnectionDispatch::raw_ModifyTable(BSTR name, const DBVariantArray* tokens,
                                               VARIANT_BOOL* ok) {
  if (tokens == nullptr) {
    return E_POINTER;
  }
  return boolSlot(ok, ok != nullptr && self().ModifyTable(fromBstr(name), *tokens));
}

HRESULT CDBConnectionDispatch::raw_GetStructure(DBVariantArray* structure, VARIANT_BOOL* ok) {
  return recordSlot(structure, ok, [this](DBRecord& pairs) { return self().GetStructure(pairs); });
}

HRESULT CDBConnectionDispatch::raw_ListIndexes(DBVariantArray* names, VARIANT_BOOL* ok) {
  return namesSlot(names, ok,
                   [this](std::vector<CString>& list) { return self().ListIndexes(list); });
}

HRESULT CDBConnectionDispatch::raw_ListTables(DBVariantArray* names, VARIANT_BOOL* ok) {
  return namesSlot(names, ok,
                   [this](std::vector<CString>& list) { return self().ListTables(list); });
}

HRESULT CDBConnectionDispatch::raw_CreateIndex(BSTR table, BSTR field, VARIANT_BOOL unique,
                                               VARIANT_BOOL primary, VARIANT_BOOL* ok) {
  return boolSlot(
      ok, ok != nullptr && self().CreateIndex(fromBstr(table), fromBstr(field),
                                              unique != VARIANT_FALSE, primary != VARIANT_FALSE));
}

HRESULT CDBConnectionDispatch::raw_FieldRequired(BSTR table, BSTR field, VARIANT_BOOL* required,
                                                 VARIANT_BOOL* ok) {
  if (required == nullptr || ok == nullptr) {
    return E_POINTER;
  }
  bool isRequired = false;
  *ok = toBool(self().FieldRequired(fromBstr(table), fromBstr(field), isRequired));
  *required = toBool(isRequired);
  return S_OK;
}

// The field's attribute record: name and value of strName, nType, lSize, lAttributes,
// nOrdinalPosition, bRequired, bAllowZeroLength and strDefaultValue, in that order.
HRESULT CDBConnectionDispatch::raw_FieldAttributes(BSTR field, DBVariantArray* attributes,
                                                   VARIANT_BOOL* ok) {
  if (attributes == nullptr || ok == nullptr) {
    return E_POINTER;
  }
  attributes->clear();
  CDaoFieldInfo info;
  const bool read = self().FieldAttributes(fromBstr(field), info);
  *ok = toBool(read);
  if (!read) {
    return S_OK;
  }
  const std::pair<const wchar_t*, COleVariant> pairs[] = {
      {L"strName", COleVariant(info.m_strName)},
      {L"nType", COleVariant(info.m_nType)},
      {L"lSize", COleVariant(static_cast<int>(info.m_lSize))},
      {L"lAttributes", COleVariant(static_cast<int>(info.m_lAttributes))},
      {L"nOrdinalPosition", COleVariant(info.m_nOrdinalPosition)},
      {L"bRequired", COleVariant(toBool(info.m_bRequired != FALSE), VT_BOOL)},
      {L"bAllowZeroLength", COleVariant(toBool(info.m_bAllowZeroLength != FALSE), VT_BOOL)},
      {L"strDefaultValue", COleVariant(info.m_strDefaultValue)},
  };
  for (const auto& [name, value] : pairs) {
    attributes->emplace_back(name, VT_BSTR);
    attributes->push_back(value);
  }
  return S_OK;
}

HRESULT CDBConnectionDispatch::raw_DeleteTable(BSTR name, VARIANT_BOOL deleteRelations,
                                               VARIANT_BOOL* ok) {
  return boolSlot(
      ok, ok != nullptr && self().DeleteTable(fromBstr(name), deleteRelations != VARIANT_FALSE));
}

HRESULT CDBConnectionDispatch::raw_RenameTable(BSTR oldName, BSTR newName, VARIANT_BOOL* ok) {
  return boolSlot(ok, ok != nullptr && self().RenameTable(fromBstr(oldName), fromBstr(newName)));
}

// --- SQL statements and stored queries ---------------------------------------------------------

HRESULT CDBConnectionDispatch::raw_OpenQuery(BSTR statement, DBVariantArray* result,
                                             VARIANT_BOOL* ok) {
  return querySlot(
      result, ok, [&](DBQueryResult& rows) { return self().OpenQuery(fromBstr(statement), rows); });
}

HRESULT CDBConnectionDispatch::raw_RunQuery(BSTR name, const DBVariantArray* parameters,
                                            DBVariantArray* result, VARIANT_BOOL* ok) {
  if (parameters == nullptr) {
    return E_POINTER;
  }
  return querySlot(result, ok, [&](DBQueryResult& rows) {
    return self().RunQuery(fromBstr(name), *parameters, rows);
  });
}

HRESULT CDBConnectionDispatch::raw_ExecuteSQL(BSTR statement, LONG* affected, VARIANT_BOOL* ok) {
  return countSlot(affected, ok,
                   [&](long& count) { return self().ExecuteSQL(fromBstr(statement), count); });
}

HRESULT CDBConnectionDispatch::raw_ExecuteCommand(BSTR statement, LONG* affected,
                                                  VARIANT_BOOL* ok) {
  return countSlot(affected, ok,
                   [&](long& count) { return self().ExecuteCommand(fromBstr(statement), count); });
}

HRESULT CDBConnectionDispatch::raw_CreateQuery(BSTR name, BSTR statement, VARIANT_BOOL* ok) {
  return boolSlot(ok, ok != nullptr && self().CreateQuery(fromBstr(name), fromBstr(statement)));
}

// --- relations, linked tables, compaction -----------------------------------------------------

HRESULT CDBConnectionDispatch::raw_RelationExists(BSTR name, VARIANT_BOOL* exists,
                                                  VARIANT_BOOL* ok) {
  if (exists == nullptr || ok == nullptr) {
    return E_POINTER;
  }
  bool found = false;
  *ok = toBool(self().RelationExists(fromBstr(name), found));
  *exists = toBool(found);
  return S_OK;
}

HRESULT CDBConnectionDispatch::raw_DeleteRelation(BSTR table, BSTR foreignTable, VARIANT_BOOL* ok) {
  return boolSlot(ok,
                  ok != nullptr && self().DeleteRelation(fromBstr(table), fromBstr(foreignTable)));
}

HRESULT CDBConnectionDispatch::raw_LinkTable(BSTR localName, BSTR path, BSTR sourceTable,
                                             VARIANT_BOOL* linked, VARIANT_BOOL* ok) {
  if (linked == nullptr || ok == nullptr) {
    return E_POINTER;
  }
  bool isLinked = false;
  *ok = toBool(
      self().LinkTable(fromBstr(localName), fromBstr(path), fromBstr(sourceTable), isLinked));
  *linked = toBool(isLinked);
  return S_OK;
}

HRESULT CDBConnectionDispatch::raw_CompactDatabase(BSTR source, BSTR destination,
                                                   VARIANT_BOOL* ok) {
  return boolSlot(ok,
                  ok != nullptr && self().CompactDatabase(fromBstr(source), fromBstr(destination)));
}
