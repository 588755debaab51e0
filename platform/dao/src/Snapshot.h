// Snapshots: a statement's rows read into a recordset at once, with the DAO type of
// each column; and forward-only recordsets, which read the same rows one at a time
// straight from the statement and hold only the current one.
#pragma once
#include <string>

#include "QueryParameters.h"
#include "RecordsetState.h"

namespace tabrik::dao {

// Reads the statement's rows into the recordset, binding the query's parameters
// first when there are any. 3061 for parameters without a value, 3219 for a
// statement that returns no records (it is not run). A caller's statement (jetSql)
// is Jet SQL and is translated first; the engine's own are SQLite SQL.
void openSnapshot(DAORecordset& r, DAODatabase& d, const std::string& sql,
                  const CDaoQueryDef::Parameters* params, bool jetSql = false);

// Opens a caller's Jet statement as a forward-only recordset on its first row (the
// errors of openSnapshot). A column that is no table's field takes its type from its
// first value that is not Null, as in a snapshot; until then it reads as Text.
void openForwardOnly(DAORecordset& r, DAODatabase& d, const std::string& jet,
                     const CDaoQueryDef::Parameters* params);
// The next row of a forward-only recordset; false (EOF, no current record, the
// statement finished) after the last.
bool stepForwardOnly(DAORecordset& r);
// A column of the current row of a forward-only recordset, as a snapshot reads it.
COleVariant forwardOnlyValue(const DAORecordset& r, int column);

}  // namespace tabrik::dao
