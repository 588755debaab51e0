// Snapshots: a statement's rows read into a recordset at once, with the DAO type of
// each column.
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

}  // namespace tabrik::dao
