// CDBConnection's operations on the database's schema: creating and changing tables
// from field definitions, reading the structure, fields and indexes of the current
// table, creating indexes, and deleting, renaming and listing tables. The reading of
// field definitions themselves is FieldDefinitions'.
#include <afxdao.h>

#include "db/CDBConnection.h"
#include "db/FieldDefinitions.h"

namespace {

using tabrik::arx::db::FieldDefinition;
using tabrik::arx::db::FieldDefinitionReader;
using tabrik::arx::db::IndexOrder;

void fillFieldInfo(const FieldDefinition& definition, CDaoFieldInfo& info) {
  info.m_strName = definition.name.c_str();
  info.m_nType = definition.type;
  info.m_lSize = definition.size;
  info.m_lAttributes = definition.autoIncrement ? dbAutoIncrField : 0;
  info.m_nOrdinalPosition = 0;
  info.m_bRequired = definition.required;
  info.m_bAllowZeroLength = definition.allowZeroLength;
  info.m_lCollatingOrder = dbSortGeneral;
  if (definition.hasDefault) {
    info.m_strDefaultValue = definition.defaultValue.c_str();
  }
}

// An index named after the field, on that field alone; never clustered, ignoring
// nulls, required or foreign.
void createFieldIndex(CDaoTableDef& definition, const CString& field, bool descending, bool unique,
                      bool primary) {
  CDaoIndexFieldInfo column;
  column.m_strName = field;
  column.m_bDescending = descending;
  CDaoIndexInfo index;
  index.m_strName = field;
  index.m_pFieldInfos = &column;
  index.m_nFields = 1;
  index.m_bPrimary = primary;
  index.m_bUnique = unique;
  definition.CreateIndex(index);
}

// Adds the defined fields and their indexes to the table, one field definition at a
// time. False for a malformed field definition; DAO's exceptions pass on.
bool addDefinedFields(CDaoTableDef& table, const std::vector<COleVariant>& tokens) {
  FieldDefinitionReader reader(tokens);
  FieldDefinition field;
  while (reader.next(field)) {
    CDaoFieldInfo info;
    fillFieldInfo(field, info);
    table.CreateField(info);
    if (field.index != IndexOrder::kNone) {
      createFieldIndex(table, info.m_strName, field.index == IndexOrder::kDescending, field.unique,
                       field.primary);
    }
  }
  return !reader.malformed();
}

// What tb_structure shows of a field's kind.
COleVariant structureValue(short type) {
  switch (type) {
    case dbBoolean:
    case dbByte:
    case dbInteger:
    case dbLong:
      return COleVariant(0, VT_I4);
    case dbSingle:
    case dbDouble:
      return COleVariant(0.0);
    case dbDate:
    case dbText:
    case dbMemo:
      return COleVariant(L"", VT_BSTR);
    default:
      return COleVariant();
  }
}

// Tables whose names begin with "MS" are the database's own catalog.
bool isSystemTableName(const CString& name) { return name.Left(2) == L"MS"; }

}  // namespace

bool CDBConnection::CreateTable(const CString& name, const std::vector<COleVariant>& tokens) {
  clearError();
  if (!IsOpen()) {
    return false;
  }
  static_cast<void>(CloseNamedTable(name));
  clearError();
  CDaoTableDef definition(&m_database);
  if (!guarded([&] { definition.Create(name); })) {
    return false;
  }
  bool read = false;
  guarded([&] { read = addDefinedFields(definition, tokens); });
  try {
    definition.Append();
  } catch (CDaoException* e) {
    // The reason the fields stopped is the one worth reporting; with no field read
    // at all DAO refuses the empty table too.
    if (read) {
      storeError(e);
    } else {
      e->Delete();
    }
    return false;
  }
  return read;
}

bool CDBConnection::ModifyTable(const CString& name, const std::vector<COleVariant>& tokens) {
  clearError();
  if (!IsOpen()) {
    return false;
  }
  static_cast<void>(CloseNamedTable(name));
  clearError();
  CDaoTableDef definition(&m_database);
  if (!guarded([&] { definition.Open(name); })) {
    return false;
  }
  bool read = false;
  guarded([&] { read = addDefinedFields(definition, tokens); });
  definition.Close();
  return read;
}

bool CDBConnection::GetStructure(DBRecord& structure) {
  clearError();
  CDaoRecordset* cursor = currentTable();
  if (cursor == nullptr) {
    return false;
  }
  structure.clear();
  return guarded([&] {
    const short count = cursor->GetFieldCount();
    for (short i = 0; i < count; ++i) {
      CDaoFieldInfo info;
      cursor->GetFieldInfo(i, info);
      structure.push_back(DBField{info.m_strName, structureValue(info.m_nType)});
    }
  });
}

bool CDBConnection::ListIndexes(std::vector<CString>& names) {
  clearError();
  names.clear();
  CDaoRecordset* cursor = currentTable();
  if (cursor == nullptr) {
    return false;
  }
  const bool read = guarded([&] {
    const short count = cursor->GetIndexCount();
    for (short i = 0; i < count; ++i) {
      CDaoIndexInfo info;
      cursor->GetIndexInfo(i, info);
      names.push_back(info.m_strName);
    }
  });
  return read && !names.empty();
}

bool CDBConnection::GetIndexDefinition(const CString& index, bool& unique,
                                       std::vector<CString>& fields) {
  clearError();
  unique = false;
  fields.clear();
  CDaoRecordset* cursor = currentTable();
  if (cursor == nullptr) {
    return false;
  }
  return guarded([&] {
    CDaoIndexInfo info;
    cursor->GetIndexInfo(index, info, AFX_DAO_SECONDARY_INFO);
    unique = info.m_bUnique != FALSE;
    for (short i = 0; i < info.m_nFields; ++i) {
      fields.push_back(info.m_pFieldInfos[i].m_strName);
    }
  });
}

bool CDBConnection::CreateIndex(const CString& table, const CString& field, bool unique,
                                bool primary) {
  clearError();
  if (!IsOpen()) {
    return false;
  }
  // A cursor open on the table would go on with the indexes it was opened with.
  static_cast<void>(CloseNamedTable(table));
  clearError();
  CDaoTableDef definition(&m_database);
  return guarded([&] {
    definition.Open(table);
    createFieldIndex(definition, field, /*descending=*/false, unique, primary);
    definition.Close();
  });
}

bool CDBConnection::FieldRequired(const CString& table, const CString& field, bool& required) {
  required = false;
  if (!OpenTable(table, CString())) {
    return false;
  }
  if (field.IsEmpty()) {
    return true;
  }
  CDaoRecordset* cursor = currentTable();
  return guarded([&] {
    CDaoFieldInfo info;
    cursor->GetFieldInfo(field, info, AFX_DAO_SECONDARY_INFO);
    required = info.m_bRequired != FALSE;
  });
}

bool CDBConnection::FieldAttributes(const CString& field, CDaoFieldInfo& info) {
  clearError();
  CDaoRecordset* cursor = currentTable();
  if (cursor == nullptr) {
    return false;
  }
  return guarded([&] { cursor->GetFieldInfo(field, info, AFX_DAO_ALL_INFO); });
}

bool CDBConnection::DeleteTable(const CString& name, bool deleteRelations) {
  clearError();
  if (!IsOpen()) {
    return false;
  }
  static_cast<void>(CloseNamedTable(name));
  clearError();
  return guarded([&] {
    if (deleteRelations) {
      // Names first: deleting changes the positions of those behind.
      std::vector<CString> relations;
      const short count = m_database.GetRelationCount();
      for (short i = 0; i < count; ++i) {
        CDaoRelationInfo info;
        m_database.GetRelationInfo(i, info);
        if (info.m_strTable == name || info.m_strForeignTable == name) {
          relations.push_back(info.m_strName);
        }
      }
      for (const CString& relation : relations) {
        m_database.DeleteRelation(relation);
      }
    }
    m_database.DeleteTableDef(name);
  });
}

bool CDBConnection::RenameTable(const CString& oldName, const CString& newName) {
  clearError();
  if (!IsOpen()) {
    return false;
  }
  static_cast<void>(CloseNamedTable(oldName));
  clearError();
  CDaoTableDef definition(&m_database);
  return guarded([&] {
    definition.Open(oldName);
    definition.SetName(newName);
    definition.Close();
  });
}

bool CDBConnection::ListTables(std::vector<CString>& names) {
  clearError();
  names.clear();
  if (!IsOpen()) {
    return false;
  }
  return guarded([&] {
    const short count = m_database.GetTableDefCount();
    for (short i = 0; i < count; ++i) {
      CDaoTableDefInfo info;
      m_database.GetTableDefInfo(i, info);
      if (!isSystemTableName(info.m_strName)) {
        names.push_back(info.m_strName);
      }
    }
  });
}
