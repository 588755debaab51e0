// Reading a statement's rows into a snapshot recordset.
#include "Snapshot.h"

#include <optional>

#include "DaoErrors.h"
#include "jetsql/JetTranslator.h"

namespace tabrik::dao {

namespace {

// The DAO type a query column reads as: its table field's type when the column is one,
// else what its first value looks like.
FieldDef queryField(DAODatabase& d, sqlite3_stmt* stmt, int column, const std::vector<Row>& rows) {
  FieldDef f;
  f.name = fromUtf8(sqlite3_column_name(stmt, column));
  const char* table = sqlite3_column_table_name(stmt, column);
  const char* origin = sqlite3_column_origin_name(stmt, column);
  if (table && origin && d.hasTable(fromUtf8(table))) {
    const TableSchema& t = d.schema(fromUtf8(table));
    int at = t.findField(fromUtf8(origin));
    if (at >= 0) {
      FieldDef source = t.fields[static_cast<size_t>(at)];
      source.name = f.name;
      return source;
    }
  }
  f.type = dbText;
  f.size = 255;
  for (const Row& r : rows) {
    const Value& v = r[static_cast<size_t>(column)];
    if (v.isNull()) continue;
    f.type = v.kind == Value::Int    ? dbLong
             : v.kind == Value::Real ? dbDouble
             : v.text.size() > 255   ? dbMemo
                                     : dbText;
    break;
  }
  f.size = f.type == dbText ? 255 : f.type == dbLong ? 4 : f.type == dbDouble ? 8 : 0;
  f.attributes = f.isText() ? dbVariableField : dbFixedField;
  return f;
}

}  // namespace

void openSnapshot(DAORecordset& r, DAODatabase& d, const std::string& given,
                  const CDaoQueryDef::Parameters* params, bool jetSql) {
  jetsql::Translation jet;
  if (jetSql) jet = jetsql::translate(given);
  const std::string& sql = jetSql ? jet.sql : given;
  std::optional<DAODatabase::CallerSql> caller;
  if (jetSql) caller.emplace(d);
  sqlite3_stmt* raw = nullptr;
  int rc = sqlite3_prepare_v2(d.db, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr);
  if (rc != SQLITE_OK || !raw) {
    sqlite3_finalize(raw);
    if (rc == SQLITE_OK) daoThrow(3129, {}, L"DAO.Recordset");
    if (jetSql) jetsql::throwIfSyntaxError(d.db, jet);
    throwSqlite(d.db, rc, 3218, d.name);
  }
  Statement s(d.db, raw, /*finalize=*/true);
  if (params) {
    if (int missing = params->missing())
      daoThrow(3061, {std::to_wstring(missing)}, L"DAO.Recordset");
    params->bindAll(raw);
  }
  int columns = s.columnCount();
  if (columns == 0) daoThrow(3219, {}, L"DAO.Recordset");  // an action statement returns no records
  while (s.step()) {
    Row row(static_cast<size_t>(columns));
    for (int i = 0; i < columns; ++i) row[static_cast<size_t>(i)] = s.column(i);
    r.rows.push_back(std::move(row));
  }
  caller.reset();  // the columns' types are read by the engine's own statements
  for (int i = 0; i < columns; ++i) r.schema.fields.push_back(queryField(d, raw, i, r.rows));
  if (!r.rows.empty()) {
    r.pos = 0;
    r.row = r.rows[0];
    r.onRecord = true;
    r.bof = r.eof = false;
  }
}

}  // namespace tabrik::dao
