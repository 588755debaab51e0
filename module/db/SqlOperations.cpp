// CDBConnection's SQL operations: SELECT statements into query results, action
// statements, stored queries and their parameters (see CDBConnection.h). Statements
// run through temporary DAO query definitions whose rows are read forward-only, as
// they come; what LISP makes of the rows is SqlResultList.h's business.
#include "db/CDBConnection.h"

namespace {

// Reads every row of a forward-only recordset on its first row. No rows leave the
// result empty.
void readRows(CDaoRecordset& rows, DBQueryResult& result) {
  if (rows.IsEOF()) {
    return;
  }
  const short fields = rows.GetFieldCount();
  result.columns.reserve(static_cast<std::size_t>(fields));
  for (short i = 0; i < fields; ++i) {
    CDaoFieldInfo info;
    rows.GetFieldInfo(i, info);
    result.columns.push_back(info.m_strName);
  }
  for (; !rows.IsEOF(); rows.MoveNext()) {
    for (short i = 0; i < fields; ++i) {
      result.values.push_back(rows.GetFieldValue(i));
    }
  }
}

}  // namespace

std::vector<COleVariant> DBQueryResult::flatten() const {
  std::vector<COleVariant> flat;
  if (isEmpty()) {
    return flat;
  }
  if (columns.size() == 1) {
    return values;
  }
  const std::size_t width = columns.size();
  for (std::size_t at = 0; at < values.size(); at += width) {
    flat.emplace_back(L"*NewRecord*", VT_BSTRT);
    for (std::size_t column = 0; column < width; ++column) {
      flat.emplace_back(columns[column].GetString(), VT_BSTRT);
      flat.push_back(values[at + column]);
    }
  }
  return flat;
}

bool CDBConnection::OpenQuery(const CString& statement, const RowReader& reader) {
  clearError();
  if (!IsOpen()) {
    return false;
  }
  return guarded([&] {
    CDaoQueryDef query(&m_database);
    query.Create(nullptr, statement);
    CDaoRecordset rows(&m_database);
    rows.Open(&query, dbOpenForwardOnly, 0);
    reader(rows);
    rows.Close();
    query.Close();
  });
}

bool CDBConnection::OpenQuery(const CString& statement, DBQueryResult& result) {
  result = DBQueryResult();
  return OpenQuery(statement, [&](CDaoRecordset& rows) { readRows(rows, result); });
}

bool CDBConnection::ExecuteCommand(const CString& statement, long& recordsAffected) {
  clearError();
  recordsAffected = 0;
  if (!IsOpen()) {
    return true;
  }
  if (!CanUpdate()) {
    return false;
  }
  return guarded([&] {
    CDaoQueryDef query(&m_database);
    query.Create(nullptr, statement);
    query.Execute(dbFailOnError);
    recordsAffected = query.GetRecordsAffected();
    query.Close();
  });
}

bool CDBConnection::RunQuery(const CString& name, const std::vector<COleVariant>& tokens,
                             DBQueryResult& result) {
  result = DBQueryResult();
  return RunQuery(name, tokens, [&](CDaoRecordset& rows) { readRows(rows, result); });
}

bool CDBConnection::RunQuery(const CString& name, const std::vector<COleVariant>& tokens,
                             const RowReader& reader) {
  clearError();
  if (!IsOpen()) {
    return false;
  }
  bool wellFormed = true;
  const bool ran = guarded([&] {
    CDaoQueryDef query(&m_database);
    query.Open(name);
    for (std::size_t at = 0; at < tokens.size(); at += 2) {
      // A parameter is a name and a value: anything else ends the run.
      if (tokens[at].vt != VT_BSTR || at + 1 >= tokens.size()) {
        wellFormed = false;
        return;
      }
      query.SetParamValue(CString(tokens[at].bstrVal), tokens[at + 1]);
    }
    CDaoRecordset rows(&m_database);
    rows.Open(&query, dbOpenForwardOnly, 0);
    reader(rows);
    rows.Close();
    query.Close();
  });
  return ran && wellFormed;
}

bool CDBConnection::CreateQuery(const CString& name, const CString& statement) {
  clearError();
  if (!IsOpen()) {
    return false;
  }
  const bool replaced = guarded([&] {
    CDaoQueryDef query(&m_database);
    query.Open(name);
    query.SetSQL(statement);
    query.Close();
  });
  if (replaced) {
    return true;
  }
  // No stored query of that name (or it would not take the text): make one. Its
  // failure, if any, is the error that stays.
  try {
    CDaoQueryDef query(&m_database);
    query.Create(name, statement);
    query.Append();
    query.Close();
    return true;
  } catch (CDaoException* e) {
    storeError(e);
    return false;
  }
}
