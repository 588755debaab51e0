// CDBConnection's relation, linked-table and compaction operations (see
// CDBConnection.h). Relations are read and deleted through DAO's database object,
// links are table definitions with a connect string, and compaction goes through
// DAO's workspace on closed files.
#include <vector>

#include "db/CDBConnection.h"

namespace {

constexpr long kItemNotFound = 3265;
constexpr const wchar_t* kGeneralLocale = L";LANGID=0x0409;CP=1252;COUNTRY=0";

long errorCodeOf(const CDaoException* e) {
  return e->m_pErrorInfo != nullptr ? e->m_pErrorInfo->m_lErrorCode : 0;
}

}  // namespace

bool CDBConnection::RelationExists(const CString& name, bool& exists) {
  clearError();
  exists = false;
  if (!IsOpen()) {
    return true;
  }
  try {
    CDaoRelationInfo info;
    m_database.GetRelationInfo(name, info, AFX_DAO_ALL_INFO);
    exists = true;
    return true;
  } catch (CDaoException* e) {
    if (errorCodeOf(e) == kItemNotFound) {
      e->Delete();
      return true;
    }
    storeError(e);
    return false;
  }
}

bool CDBConnection::DeleteRelation(const CString& table, const CString& foreignTable) {
  clearError();
  if (!IsOpen()) {
    return false;
  }
  return guarded([&] {
    // Names first, deletions after: deleting while walking would shift the positions.
    std::vector<CString> doomed;
    const short count = m_database.GetRelationCount();
    for (short i = 0; i < count; ++i) {
      CDaoRelationInfo info;
      m_database.GetRelationInfo(i, info, AFX_DAO_PRIMARY_INFO);
      if (info.m_strTable == table && info.m_strForeignTable == foreignTable) {
        doomed.push_back(info.m_strName);
      }
    }
    for (const CString& name : doomed) {
      m_database.DeleteRelation(name);
    }
  });
}

bool CDBConnection::GetRelationCount(short& count) {
  clearError();
  count = 0;
  if (!IsOpen()) {
    return false;
  }
  return guarded([&] { count = m_database.GetRelationCount(); });
}

bool CDBConnection::GetRelationInfo(const CString& name, CDaoRelationInfo& info) {
  clearError();
  if (!IsOpen()) {
    return false;
  }
  return guarded([&] { m_database.GetRelationInfo(name, info, AFX_DAO_ALL_INFO); });
}

bool CDBConnection::GetRelationInfo(int position, CDaoRelationInfo& info) {
  clearError();
  if (!IsOpen()) {
    return false;
  }
  return guarded([&] { m_database.GetRelationInfo(position, info, AFX_DAO_ALL_INFO); });
}

bool CDBConnection::LinkTable(const CString& localName, const CString& path,
                              const CString& sourceTable, bool& linked) {
  clearError();
  linked = false;
  if (!IsOpen()) {
    return false;
  }
  return guarded([&] {
    CDaoTableDef link(&m_database);
    // A server's table is linked by its connect string, a file's by Jet's own form.
    const CString connect =
        IsConnectString(path.GetString()) ? path : CString(L";DATABASE=") + path;
    link.Create(localName, /*lAttributes=*/0, sourceTable, connect);
    link.Append();
    link.Close();
    linked = true;
  });
}

bool CDBConnection::CompactDatabase(const CString& source, const CString& destination) {
  clearError();
  return guarded([&] { CDaoWorkspace::CompactDatabase(source, destination, kGeneralLocale, 0); });
}
