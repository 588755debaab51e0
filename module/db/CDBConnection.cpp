// CDBConnection: opening and closing the database, its table cursors, navigation,
// seeking and the record operations (see CDBConnection.h). The record lists LISP
// sees are built elsewhere (RecordLists.h); this file deals in DAO values only.
#include "db/CDBConnection.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <new>
#include <cwctype>
#include <thread>

#include "host/RuntimeRandom.h"

namespace {

constexpr long kFileAccessDenied = 3051;
// The connect string of a database read through the engine's copy of another format.
constexpr const wchar_t* kForeignFormatConnect = L"MS Access;";
constexpr int kWriteAttempts = 20;

// DAO's numbers for a record, page or table locked by another user or process.
constexpr long kConflictErrors[] = {3009, 3046, 3158, 3164, 3186, 3187, 3188, 3189, 3202,
                                    3211, 3212, 3218, 3225, 3260, 3261, 3262, 3624};

long errorCode(const CDaoException* e) {
  return e->m_pErrorInfo != nullptr ? e->m_pErrorInfo->m_lErrorCode : 0;
}

}  // namespace

// Random, so that two processes retrying together fall out of step.
void CDBConnection::waitAfterConflict(int /*attemptsMade*/) {
  const int milliseconds = tabrik::arx::nextRandom() % 490 + 10;
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

CDBConnection::~CDBConnection() { Close(); }

bool CDBConnection::isConflictError(long code) {
  return std::find(std::begin(kConflictErrors), std::end(kConflictErrors), code) !=
         std::end(kConflictErrors);
}

void CDBConnection::storeError(CDaoException* e) {
  m_lastErrorCode = errorCode(e);
  m_lastErrorDescription =
      e->m_pErrorInfo != nullptr ? e->m_pErrorInfo->m_strDescription : CString();
  m_hasError = true;
  e->Delete();
}

void CDBConnection::storeUnexpectedError() {
  constexpr long kReservedError = 3000;
  m_lastErrorCode = kReservedError;
  try {
    throw;
  } catch (CException* e) {
    TCHAR text[512] = {0};
    e->GetErrorMessage(text, 512);
    m_lastErrorDescription = text;
    e->Delete();
  } catch (const std::exception& e) {
    m_lastErrorDescription = CString(e.what());
  } catch (...) {
    m_lastErrorDescription = L"Unknown error.";
  }
  m_hasError = true;
}

// --- transactions --------------------------------------------------------------------------

bool CDBConnection::BeginTrans() {
  clearError();
  return guarded([&] { m_workspace.BeginTrans(); });
}

bool CDBConnection::CommitTrans() {
  clearError();
  return guarded([&] { m_workspace.CommitTrans(); });
}

bool CDBConnection::Rollback() {
  return guarded([&] { m_workspace.Rollback(); });
}

void CDBConnection::GetLastError(long& code, CString& description) const {
  code = m_lastErrorCode;
  description = m_lastErrorDescription;
}

// --- the database ------------------------------------------------------------------------

bool CDBConnection::IsIntact() const {
  return m_database.m_nStatus == 0 || m_database.m_nStatus == 1;
}

bool CDBConnection::IsOpen() const { return IsIntact() && m_database.IsOpen(); }

void CDBConnection::Close() {
  // Closing keeps the error of the operation before it: a connect that closes a file
  // DAO could not open still reports why.
  const bool hadError = m_hasError;
  CloseAllTables();
  m_hasError = hadError;
  if (!IsOpen()) {
    return;
  }
  try {
    m_database.Close();
  } catch (CDaoException* e) {
    e->Delete();
  }
}

CString CDBConnection::GetDatabaseName() {
  clearError();
  if (!IsOpen()) {
    return CString();
  }
  try {
    return m_database.GetName();
  } catch (CDaoException* e) {
    storeError(e);
    return CString();
  }
}

bool CDBConnection::CanUpdate() {
  clearError();
  if (!IsOpen()) {
    return false;
  }
  try {
    return m_database.CanUpdate() != FALSE;
  } catch (CDaoException* e) {
    storeError(e);
    return false;
  }
}

bool CDBConnection::IsConnectString(const std::wstring& name) {
  static constexpr wchar_t kPrefix[] = L"ODBC;";
  constexpr std::size_t kLength = sizeof kPrefix / sizeof kPrefix[0] - 1;
  if (name.size() < kLength) {
    return false;
  }
  for (std::size_t i = 0; i < kLength; ++i) {
    if (static_cast<wchar_t>(std::towupper(name[i])) != kPrefix[i]) {
      return false;
    }
  }
  return true;
}

bool CDBConnection::IsReadOnly() { return !IsOpen() || !CanUpdate(); }

CString CDBConnection::Open(const CString& path, bool exclusive, bool readOnly) {
  clearError();
  CDaoException* refusal = nullptr;
  if (IsOpen()) {
    Close();
  }
  try {
    m_database.Open(path, exclusive, readOnly, L"");
    return m_database.GetName();
  } catch (CDaoException* e) {
    if (errorCode(e) != kFileAccessDenied) {
      try {
        m_database.Close();
      } catch (CDaoException* closing) {
        closing->Delete();
      }
      storeError(e);
      return IsConnectString(path.GetString()) ? CString() : CString(kRepairMarker);
    }
    refusal = e;
  } catch (...) {
    storeUnexpectedError();
    return CString();
  }
  // Locked by another process or not writable: what can be had is read-only access.
  try {
    m_database.Open(path, exclusive, /*bReadOnly=*/TRUE, L"");
    // A file of another format (an Access file) is read-only by its kind: the refusal
    // says how to make it writable, and the user hears it once, as the last error.
    if (m_database.GetConnect().Find(kForeignFormatConnect) == 0) {
      storeError(refusal);
    } else {
      refusal->Delete();
    }
    return m_database.GetName();
  } catch (CDaoException* e) {
    refusal->Delete();
    storeError(e);
  } catch (...) {
    refusal->Delete();
    storeUnexpectedError();
  }
  return CString();
}

CString CDBConnection::TryOpen(const CString& path, bool& locked) {
  clearError();
  locked = false;
  if (IsOpen()) {
    Close();
  }
  try {
    m_database.Open(path, /*bExclusive=*/FALSE, /*bReadOnly=*/FALSE, L"");
    return m_database.GetName();
  } catch (CDaoException* e) {
    locked = errorCode(e) == kFileAccessDenied;
    storeError(e);
  }
  return CString();
}

bool CDBConnection::CreateDatabase(const CString& path) {
  clearError();
  CDaoDatabase created;
  try {
    created.Create(path, L";LANGID=0x0409;CP=1252;COUNTRY=0", 0);
    created.Close();
    return true;
  } catch (CDaoException* e) {
    storeError(e);
    return false;
  }
}

bool CDBConnection::TableExists(const CString& name, bool& exists) {
  clearError();
  exists = false;
  if (!IsOpen()) {
    return false;
  }
  try {
    const short count = m_database.GetTableDefCount();
    for (short i = 0; i < count && !exists; ++i) {
      CDaoTableDefInfo info;
      m_database.GetTableDefInfo(i, info);
      exists = info.m_strName == name;
    }
    return true;
  } catch (CDaoException* e) {
    storeError(e);
    return false;
  }
}

// --- table cursors --------------------------------------------------------------------------

CDaoRecordset* CDBConnection::currentTable() {
  if (!IsOpen() || m_cursors.empty() || !m_cursors.front()->IsOpen()) {
    return nullptr;
  }
  return m_cursors.front().get();
}

bool CDBConnection::OpenTable(const CString& table, const CString& index) {
  clearError();
  if (!IsOpen()) {
    return false;
  }
  try {
    auto found = std::find_if(m_cursors.begin(), m_cursors.end(),
                              [&table](const auto& cursor) { return cursor->GetName() == table; });
    if (found != m_cursors.end()) {
      // The two positions exchange their cursors; the others keep their places.
      std::swap(*found, m_cursors.front());
    } else {
      auto cursor = std::make_unique<CDaoRecordset>(&m_database);
      const int options = m_database.CanUpdate() ? 0 : dbReadOnly;
      cursor->Open(dbOpenTable, table, options);
      cursor->SetLockingMode(/*bPessimistic=*/TRUE);
      m_cursors.push_front(std::move(cursor));
    }
    CDaoRecordset& cursor = *m_cursors.front();
    if (!index.IsEmpty() && cursor.GetCurrentIndex() != index) {
      cursor.SetCurrentIndex(index);
    }
    return true;
  } catch (CDaoException* e) {
    storeError(e);
    return false;
  }
}

bool CDBConnection::CloseTable() {
  clearError();
  if (currentTable() == nullptr) {
    return false;
  }
  try {
    m_cursors.front()->Close();
  } catch (CDaoException* e) {
    storeError(e);
  }
  forgetFieldNames();
  m_cursors.pop_front();
  return true;
}

bool CDBConnection::CloseNamedTable(const CString& table) {
  clearError();
  auto found = std::find_if(m_cursors.begin(), m_cursors.end(), [&table](const auto& cursor) {
    return cursor->IsOpen() && cursor->GetName() == table;
  });
  if (found == m_cursors.end()) {
    return false;
  }
  try {
    (*found)->Close();
  } catch (CDaoException* e) {
    storeError(e);
  }
  forgetFieldNames();
  m_cursors.erase(found);
  return true;
}

bool CDBConnection::CloseAllTables() {
  clearError();
  forgetFieldNames();
  while (!m_cursors.empty()) {
    CDaoRecordset& cursor = *m_cursors.front();
    if (IsIntact() && cursor.IsOpen()) {
      try {
        cursor.Close();
      } catch (CDaoException* e) {
        // The cursor and those behind it stay in the list, as DAO left them.
        e->Delete();
        return false;
      } catch (CMemoryException* e) {
        e->Delete();
        return false;
      }
    }
    m_cursors.pop_front();
  }
  return true;
}

CString CDBConnection::GetCurrentTable() {
  clearError();
  CDaoRecordset* cursor = currentTable();
  CString name;
  if (cursor != nullptr) guarded([&] { name = cursor->GetName(); });
  return name;
}

CString CDBConnection::GetCurrentIndex() {
  clearError();
  CDaoRecordset* cursor = currentTable();
  CString name;
  if (cursor != nullptr) guarded([&] { name = cursor->GetCurrentIndex(); });
  return name;
}

bool CDBConnection::IsEOF() {
  clearError();
  CDaoRecordset* cursor = currentTable();
  return cursor == nullptr || cursor->IsEOF() != FALSE;
}

bool CDBConnection::IsBOF() {
  clearError();
  CDaoRecordset* cursor = currentTable();
  return cursor == nullptr || cursor->IsBOF() != FALSE;
}

// --- navigation -----------------------------------------------------------------------------

bool CDBConnection::MoveFirst(DBRecord& record) { return moveToEnd(/*last=*/false, record); }

bool CDBConnection::MoveLast(DBRecord& record) { return moveToEnd(/*last=*/true, record); }

// An empty table (BOF and EOF together) has no end to move to.
bool CDBConnection::moveToEnd(bool last, DBRecord& record) {
  clearError();
  CDaoRecordset* cursor = currentTable();
  if (cursor == nullptr || (cursor->IsBOF() && cursor->IsEOF())) {
    return false;
  }
  const bool moved = guarded([&] { last ? cursor->MoveLast() : cursor->MoveFirst(); });
  return moved && GetRecord(record);
}

bool CDBConnection::Skip(long count, DBRecord& record) {
  clearError();
  CDaoRecordset* cursor = currentTable();
  if (cursor == nullptr) {
    return false;
  }
  const bool forward = count >= 1 && !cursor->IsEOF();
  const bool backward = count <= -1 && !cursor->IsBOF();
  if (!forward && !backward) {
    return false;
  }
  try {
    cursor->Move(count);
  } catch (CDaoException* e) {
    storeError(e);
    return false;
  }
  return GetRecord(record);
}

bool CDBConnection::seekKeys(COleVariant* keys, WORD count, DBRecord& record) {
  clearError();
  CDaoRecordset* cursor = currentTable();
  if (cursor == nullptr) {
    return false;
  }
  try {
    // Seeking without an index is an ordinary miss here, not DAO's error 3019.
    if (cursor->GetCurrentIndex().IsEmpty()) {
      return false;
    }
    if (!cursor->Seek(L"=", keys, count)) {
      return false;
    }
  } catch (CDaoException* e) {
    storeError(e);
    return false;
  }
  return GetRecord(record);
}

bool CDBConnection::Seek1(const COleVariant& key, DBRecord& record) {
  COleVariant keys[1] = {key};
  return seekKeys(keys, 1, record);
}

bool CDBConnection::Seek2(const COleVariant& key1, const COleVariant& key2, DBRecord& record) {
  COleVariant keys[2] = {key1, key2};
  return seekKeys(keys, 2, record);
}

bool CDBConnection::Seek3(const COleVariant& key1, const COleVariant& key2, const COleVariant& key3,
                          DBRecord& record) {
  COleVariant keys[3] = {key1, key2, key3};
  return seekKeys(keys, 3, record);
}

bool CDBConnection::SeekArray(const COleVariant* keys, int count, DBRecord& record) {
  COleVariant copies[kMaxSeekKeys];
  count = std::clamp(count, 0, kMaxSeekKeys);
  std::copy(keys, keys + count, copies);
  return seekKeys(copies, static_cast<WORD>(count), record);
}

bool CDBConnection::GetRecordCount(long& count) {
  clearError();
  CDaoRecordset* cursor = currentTable();
  if (cursor == nullptr) {
    return false;
  }
  try {
    count = cursor->GetRecordCount();
    return true;
  } catch (CDaoException* e) {
    storeError(e);
    return false;
  }
}

// --- records --------------------------------------------------------------------------------

void CDBConnection::readRecord(CDaoRecordset& cursor, DBRecord& record) {
  const short count = cursor.GetFieldCount();
  if (m_fieldNamesOf != &cursor || m_fieldNames.size() != static_cast<std::size_t>(count)) {
    m_fieldNamesOf = nullptr;
    m_fieldNames.clear();
    for (short i = 0; i < count; ++i) {
      CDaoFieldInfo info;
      cursor.GetFieldInfo(i, info);
      m_fieldNames.push_back(info.m_strName);
    }
    m_fieldNamesOf = &cursor;
  }
  record.clear();
  record.resize(static_cast<std::size_t>(count));
  for (short i = 0; i < count; ++i) {
    record[i].name = m_fieldNames[i];
    cursor.GetFieldValue(i, record[i].value);
  }
}

bool CDBConnection::GetRecord(DBRecord& record) {
  clearError();
  CDaoRecordset* cursor = currentTable();
  if (cursor == nullptr || cursor->IsBOF() || cursor->IsEOF()) {
    return false;
  }
  try {
    readRecord(*cursor, record);
    return true;
  } catch (CDaoException* e) {
    storeError(e);
    return false;
  }
}

void CDBConnection::writeValues(CDaoRecordset& cursor, const DBRecord& values) {
  for (const DBField& pair : values) {
    CDaoFieldInfo info;
    cursor.GetFieldInfo(pair.name, info);  // 3265 for a name that is no field
    if ((info.m_lAttributes & dbAutoIncrField) != 0) {
      continue;
    }
    if (pair.value.vt != VT_BSTR) {
      cursor.SetFieldValue(pair.name, pair.value);
      continue;
    }
    std::wstring text = pair.value.bstrVal != nullptr ? pair.value.bstrVal : L"";
    if (info.m_nType == dbText && info.m_lSize >= 0 &&
        text.size() > static_cast<std::size_t>(info.m_lSize)) {
      text.resize(static_cast<std::size_t>(info.m_lSize));
    }
    // Jet keeps a zero-length text apart from Null only where the field allows it;
    // a blank is accepted everywhere and reads back as the empty text.
    if (text.empty()) {
      text = L" ";
    }
    cursor.SetFieldValue(pair.name, COleVariant(text.c_str(), VT_BSTR));
  }
}

void CDBConnection::fillRequiredText(CDaoRecordset& cursor) {
  const short count = cursor.GetFieldCount();
  for (short i = 0; i < count; ++i) {
    CDaoFieldInfo info;
    cursor.GetFieldInfo(i, info, AFX_DAO_ALL_INFO);
    if ((info.m_nType != dbText && info.m_nType != dbMemo) || !info.m_bRequired) {
      continue;
    }
    if (!info.m_strDefaultValue.IsEmpty()) {
      cursor.SetFieldValue(i, COleVariant(info.m_strDefaultValue.GetString(), VT_BSTR));
    } else {
      cursor.SetFieldValue(i, COleVariant(info.m_bAllowZeroLength ? L"" : L" ", VT_BSTR));
    }
  }
}

template <typename Attempt>
bool CDBConnection::retryWrites(Attempt attempt, bool storeOther) {
  for (int attempts = 1;; ++attempts) {
    try {
      attempt();
      return true;
    } catch (CDaoException* e) {
      // The last conflict is kept like any other error: the report then says why the
      // write gave up.
      if (!isConflictError(errorCode(e)) || attempts == kWriteAttempts) {
        if (storeOther) {
          storeError(e);
        } else {
          e->Delete();
        }
        return false;
      }
      e->Delete();
    }
    waitAfterConflict(attempts);
  }
}

bool CDBConnection::AppendRecord(const DBRecord& values, bool fill, DBRecord& record) {
  clearError();
  CDaoRecordset* cursor = currentTable();
  if (cursor == nullptr || !CanUpdate()) {
    return false;
  }
  const bool saved = retryWrites(
      [&] {
        cursor->AddNew();
        try {
          if (fill) {
            fillRequiredText(*cursor);
          }
          writeValues(*cursor, values);
          cursor->Update();
        } catch (CDaoException*) {
          if (cursor->GetEditMode() != dbEditNone) {
            cursor->CancelUpdate();
          }
          throw;
        }
        cursor->SetBookmark(cursor->GetLastModifiedBookmark());
      },
      /*storeOther=*/true);
  return saved && GetRecord(record);
}

bool CDBConnection::ReplaceRecord(const DBRecord& values, DBRecord& record) {
  clearError();
  CDaoRecordset* cursor = currentTable();
  if (cursor == nullptr || !CanUpdate()) {
    return false;
  }
  const bool saved = retryWrites(
      [&] {
        cursor->Edit();
        try {
          writeValues(*cursor, values);
          cursor->Update();
        } catch (CDaoException*) {
          if (cursor->GetEditMode() != dbEditNone) {
            cursor->CancelUpdate();
          }
          throw;
        }
      },
      /*storeOther=*/true);
  return saved && GetRecord(record);
}

bool CDBConnection::DeleteRecord() {
  clearError();
  CDaoRecordset* cursor = currentTable();
  if (cursor == nullptr || !CanUpdate()) {
    return false;
  }
  return retryWrites([&] { cursor->Delete(); }, /*storeOther=*/false);
}

bool CDBConnection::GetFieldValueByName(const CString& name, COleVariant& value) {
  clearError();
  CDaoRecordset* cursor = currentTable();
  if (cursor == nullptr) {
    return false;
  }
  try {
    cursor->GetFieldValue(name, value);
    return true;
  } catch (CDaoException* e) {
    storeError(e);
    return false;
  }
}

// The slots of the field count, name and value by position do this work themselves;
// these members only turn their automation values back.
bool CDBConnection::GetFieldCount(short& count) {
  VARIANT_BOOL ok = VARIANT_FALSE;
  raw_GetFieldCount(&count, &ok);
  return ok != VARIANT_FALSE;
}

bool CDBConnection::GetFieldName(int position, CString& name) {
  VARIANT_BOOL ok = VARIANT_FALSE;
  BSTR text = nullptr;
  raw_GetFieldName(position, &text, &ok);
  if (ok != VARIANT_FALSE) {
    name = text;
  }
  SysFreeString(text);
  return ok != VARIANT_FALSE;
}

bool CDBConnection::GetFieldValue(int position, COleVariant& value) {
  VARIANT_BOOL ok = VARIANT_FALSE;
  VARIANT read;
  VariantInit(&read);
  raw_GetFieldValue(position, &read, &ok);
  if (ok != VARIANT_FALSE) {
    value.Attach(read);
  } else {
    VariantClear(&read);
  }
  return ok != VARIANT_FALSE;
}
