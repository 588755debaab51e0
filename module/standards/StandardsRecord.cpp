#include "standards/StandardsRecord.h"

#include <cwchar>
#include <cwctype>
#include <string>

namespace tabrik::arx::standards {
namespace {

COleVariant nullValue() {
  COleVariant value;
  value.vt = VT_NULL;
  return value;
}

// A variant as a double; 0 for what is no number (null, empty, unreadable text).
double numberOf(const VARIANT& value) {
  switch (value.vt) {
    case VT_I2:
      return value.iVal;
    case VT_I4:
      return value.lVal;
    case VT_UI1:
      return value.bVal;
    case VT_BOOL:
      return value.boolVal != VARIANT_FALSE ? -1 : 0;
    case VT_R4:
      return value.fltVal;
    case VT_R8:
      return value.dblVal;
    case VT_BSTR:
      return value.bstrVal != nullptr ? std::wcstod(value.bstrVal, nullptr) : 0;
    default:
      return 0;
  }
}

bool isNullish(const VARIANT& value) { return value.vt == VT_NULL || value.vt == VT_EMPTY; }

std::wstring trimTrailingBlanks(std::wstring text) {
  while (!text.empty() && text.back() == L' ') text.pop_back();
  return text;
}

}  // namespace

CStandardsRecord::CStandardsRecord(CDBConnection* connection, const wchar_t* table,
                                   const wchar_t* keyIndex, std::span<const ColumnLayout> columns)
    : m_connection(connection),
      m_table(table),
      m_keyIndex(keyIndex),
      m_columns(columns),
      m_values(columns.size(), nullValue()),
      m_changed(columns.size(), false) {}

std::size_t CStandardsRecord::slot(int column) const {
  // A column outside the table's column list is a bug of the caller, not bad data.
  return static_cast<std::size_t>(column) < m_columns.size() ? static_cast<std::size_t>(column)
                                                             : m_columns.size();
}

bool CStandardsRecord::openTable(const CString& index) {
  return m_connection != nullptr && m_connection->OpenTable(m_table, index);
}

void CStandardsRecord::load(const DBRecord& record) {
  for (COleVariant& value : m_values) value = nullValue();
  for (const DBField& field : record) {
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
      if (field.name.CompareNoCase(m_columns[i].name) == 0) {
        store(static_cast<int>(i), field.value);
        break;
      }
    }
  }
  std::fill(m_changed.begin(), m_changed.end(), false);
}

// Keeps the value in the column's own type, so that what Save writes back is what the
// column holds (a Yes/No read as -1 stays a Boolean, a Text keeps its blanks trimmed).
void CStandardsRecord::store(int column, const COleVariant& value) {
  const std::size_t at = slot(column);
  if (at == m_columns.size()) return;
  if (isNullish(value)) {
    m_values[at] = nullValue();
    return;
  }
  switch (m_columns[at].kind) {
    case ColumnKind::Long:
    case ColumnKind::Integer:
      m_values[at] = COleVariant(static_cast<long>(numberOf(value)), VT_I4);
      break;
    case ColumnKind::Boolean:
      m_values[at] = COleVariant(static_cast<short>(numberOf(value) != 0 ? -1 : 0), VT_BOOL);
      break;
    case ColumnKind::Double:
      m_values[at] = COleVariant(numberOf(value));
      break;
    case ColumnKind::Text: {
      std::wstring text;
      if (value.vt == VT_BSTR) {
        text = value.bstrVal != nullptr ? value.bstrVal : L"";
      } else {
        COleVariant copy(value);
        copy.ChangeType(VT_BSTR);
        text = copy.vt == VT_BSTR && copy.bstrVal != nullptr ? copy.bstrVal : L"";
      }
      m_values[at] = COleVariant(CString(trimTrailingBlanks(text).c_str()));
      break;
    }
  }
}

bool CStandardsRecord::seekOn(const wchar_t* index, const COleVariant& value) {
  if (!openTable(index)) return false;
  DBRecord record;
  if (!m_connection->Seek1(value, record)) return false;
  load(record);
  return true;
}

bool CStandardsRecord::FindByKey(long key) { return seekOn(m_keyIndex, COleVariant(key, VT_I4)); }

bool CStandardsRecord::SetIndex(const CString& index) { return openTable(index); }

bool CStandardsRecord::MoveFirst() {
  DBRecord record;
  if (!openTable(CString()) || !m_connection->MoveFirst(record)) return false;
  load(record);
  return true;
}

bool CStandardsRecord::MoveNext() {
  DBRecord record;
  if (!openTable(CString()) || !m_connection->Skip(1, record)) return false;
  load(record);
  return true;
}

bool CStandardsRecord::MoveLast() {
  DBRecord record;
  if (!openTable(CString()) || !m_connection->MoveLast(record)) return false;
  load(record);
  return true;
}

bool CStandardsRecord::IsEOF() { return !openTable(CString()) || m_connection->IsEOF(); }

bool CStandardsRecord::IsBOF() { return !openTable(CString()) || m_connection->IsBOF(); }

void CStandardsRecord::New() {
  for (COleVariant& value : m_values) value = nullValue();
  std::fill(m_changed.begin(), m_changed.end(), false);
  m_mode = Mode::New;
  m_editKey.reset();
}

void CStandardsRecord::Edit() {
  m_mode = Mode::Edit;
  m_editKey = GetOptionalLong(0);
}

long CStandardsRecord::Key() const { return GetLong(0); }

bool CStandardsRecord::Save() {
  DBRecord changes;
  for (std::size_t i = 0; i < m_columns.size(); ++i) {
    if (!m_changed[i]) continue;
    COleVariant value = m_values[i];
    if (value.vt == VT_NULL) value.Clear();  // VT_EMPTY: the engine stores Null
    changes.push_back(DBField{CString(m_columns[i].name), value});
  }
  DBRecord written;
  if (m_mode == Mode::New) {
    if (!openTable(CString()) || !m_connection->AppendRecord(changes, /*fill=*/false, written)) {
      return false;
    }
    load(written);
    Edit();
    return true;
  }
  if (!m_editKey) return false;
  // Seeking loads the stored record over the members: keep the edits to put back.
  std::vector<COleVariant> edited = m_values;
  std::vector<bool> changedFlags = m_changed;
  if (!FindByKey(*m_editKey)) return false;
  if (!changes.empty() && !m_connection->ReplaceRecord(changes, written)) {
    m_values = edited;
    m_changed = changedFlags;
    return false;
  }
  if (!changes.empty()) load(written);
  return true;
}

bool CStandardsRecord::Delete() {
  const std::optional<long> key = GetOptionalLong(0);
  if (!key || !FindByKey(*key)) return false;
  return m_connection->DeleteRecord();
}

bool CStandardsRecord::IsNull(int column) const {
  const std::size_t at = slot(column);
  return at == m_columns.size() || isNullish(m_values[at]);
}

long CStandardsRecord::GetLong(int column) const {
  return IsNull(column) ? 0 : static_cast<long>(numberOf(m_values[slot(column)]));
}

bool CStandardsRecord::GetBool(int column) const {
  return !IsNull(column) && numberOf(m_values[slot(column)]) != 0;
}

double CStandardsRecord::GetDouble(int column) const {
  return IsNull(column) ? 0 : numberOf(m_values[slot(column)]);
}

CString CStandardsRecord::GetText(int column) const {
  if (IsNull(column)) return CString();
  const COleVariant& value = m_values[slot(column)];
  return value.vt == VT_BSTR && value.bstrVal != nullptr ? CString(value.bstrVal) : CString();
}

std::optional<long> CStandardsRecord::GetOptionalLong(int column) const {
  if (IsNull(column)) return std::nullopt;
  return GetLong(column);
}

std::optional<double> CStandardsRecord::GetOptionalDouble(int column) const {
  if (IsNull(column)) return std::nullopt;
  return GetDouble(column);
}

void CStandardsRecord::SetLong(int column, long value) {
  store(column, COleVariant(value, VT_I4));
  if (slot(column) < m_columns.size()) m_changed[slot(column)] = true;
}

void CStandardsRecord::SetBool(int column, bool value) {
  store(column, COleVariant(static_cast<short>(value ? -1 : 0), VT_BOOL));
  if (slot(column) < m_columns.size()) m_changed[slot(column)] = true;
}

void CStandardsRecord::SetDouble(int column, double value) {
  store(column, COleVariant(value));
  if (slot(column) < m_columns.size()) m_changed[slot(column)] = true;
}

void CStandardsRecord::SetText(int column, const CString& value) {
  if (slot(column) == m_columns.size()) return;
  m_values[slot(column)] = COleVariant(value);
  m_changed[slot(column)] = true;
}

void CStandardsRecord::SetNull(int column) {
  if (slot(column) == m_columns.size()) return;
  m_values[slot(column)] = nullValue();
  m_changed[slot(column)] = true;
}

}  // namespace tabrik::arx::standards
