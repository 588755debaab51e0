// Reading a statement's rows into a snapshot recordset, or one row at a time for a
// forward-only one.
#include "Snapshot.h"

#include <optional>

#include "DaoErrors.h"
#include "FieldValues.h"
#include "jetsql/JetTranslator.h"

namespace tabrik::dao {

namespace {

// A query column that is a table's field reads as that field's type.
bool originField(DAODatabase& d, const Statement& s, int column, FieldDef& f) {
  std::optional<storage::ColumnOrigin> origin = s.cursor().columnOrigin(column);
  if (!origin || !d.hasTable(fromUtf8(origin->table.c_str()))) return false;
  const TableSchema& t = d.schema(fromUtf8(origin->table.c_str()));
  int at = t.findField(fromUtf8(origin->column.c_str()));
  if (at < 0) return false;
  std::wstring name = std::move(f.name);
  f = t.fields[static_cast<size_t>(at)];
  f.name = std::move(name);
  return true;
}

// Any other column reads as what its first value that is not Null looks like; Text
// while there is none.
void typeFromValue(FieldDef& f, Value::Kind kind, size_t textLength) {
  f.type = kind == Value::Int    ? dbLong
           : kind == Value::Real ? dbDouble
           : kind == Value::Null ? dbText
           : textLength > 255    ? dbMemo
                                 : dbText;
  f.size = f.type == dbText ? 255 : f.type == dbLong ? 4 : f.type == dbDouble ? 8 : 0;
  f.attributes = f.isText() ? dbVariableField : dbFixedField;
}

FieldDef queryField(DAODatabase& d, const Statement& s, int column, const std::vector<Row>& rows) {
  FieldDef f;
  f.name = fromUtf8(s.cursor().columnName(column).c_str());
  if (originField(d, s, column, f)) return f;
  for (const Row& r : rows) {
    const Value& v = r[static_cast<size_t>(column)];
    if (v.isNull()) continue;
    typeFromValue(f, v.kind, v.text.size());
    return f;
  }
  typeFromValue(f, Value::Null, 0);
  return f;
}

Value::Kind kindOf(sqlite3_stmt* stmt, int column) {
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
      return Value::Null;
    case SQLITE_INTEGER:
      return Value::Int;
    case SQLITE_FLOAT:
      return Value::Real;
    default:
      return Value::Text;
  }
}

// The statement prepared with its parameters bound; 3219 when it returns no records.
// A caller's SQL compiles inside a CallerSql scope, so the authorizer holds it to Jet's.
Statement prepareRows(DAODatabase& d, const std::string& given,
                      const CDaoQueryDef::Parameters* params, bool jetSql) {
  std::shared_ptr<const jetsql::Translation> jet;
  if (jetSql) jet = d.translateJet(given);
  const std::string& sql = jetSql ? jet->sql : given;
  if (!d.db) {
    // A server database: its own statement (never the cache's, since a snapshot's may
    // stay open beside others), parameters bound by name in the server's numbering.
    std::unique_ptr<storage::Cursor> cursor;
    try {
      cursor = d.conn->prepare(sql);  // the server reads the statement here
    } catch (CDaoException* e) {
      if (jet) jetsql::mapServerSyntaxError(e, *jet, d.conn->syntaxErrorOffset());
      throw;
    }
    Statement s(std::move(cursor));
    if (jet && !jet->parameters.empty()) {
      if (!params) daoThrow(3061, {std::to_wstring(jet->parameters.size())}, L"DAO.Recordset");
      if (int missing = params->missing())
        daoThrow(3061, {std::to_wstring(missing)}, L"DAO.Recordset");
      params->bindNumbered(s, jet->parameters);
    }
    if (s.columnCount() == 0) daoThrow(3219, {}, L"DAO.Recordset");
    return s;
  }
  d.requireSqlSupport();
  sqlite3_stmt* raw = nullptr;
  int rc;
  if (jetSql) {
    rc = d.prepareCaller(sql, &raw);
  } else {
    rc = sqlite3_prepare_v2(d.db, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr);
  }
  if (rc != SQLITE_OK || !raw) {
    sqlite3_finalize(raw);
    if (rc == SQLITE_OK) daoThrow(3129, {}, L"DAO.Recordset");
    if (jetSql) jetsql::throwIfSyntaxError(d.db, *jet);
    throwSqlite(d.db, rc, 3218, d.name);
  }
  Statement s = adoptSqlite(d.db, raw);
  if (params) {
    if (int missing = params->missing())
      daoThrow(3061, {std::to_wstring(missing)}, L"DAO.Recordset");
    params->bindAll(s);
  }
  if (s.columnCount() == 0) daoThrow(3219, {}, L"DAO.Recordset");  // an action statement
  return s;
}

}  // namespace

void openSnapshot(DAORecordset& r, DAODatabase& d, const std::string& given,
                  const CDaoQueryDef::Parameters* params, bool jetSql) {
  Statement s = prepareRows(d, given, params, jetSql);
  int columns = s.columnCount();
  {
    // Stepping a caller's statement is where the host can cancel it.
    std::optional<DAODatabase::CallerSql> caller;
    if (jetSql) caller.emplace(d);
    while (s.step()) {
      Row row(static_cast<size_t>(columns));
      for (int i = 0; i < columns; ++i) row[static_cast<size_t>(i)] = s.column(i);
      r.rows.push_back(std::move(row));
    }
  }
  // The columns' types are read by the engine's own statements, outside the scope.
  for (int i = 0; i < columns; ++i) r.schema.fields.push_back(queryField(d, s, i, r.rows));
  if (!r.rows.empty()) {
    r.pos = 0;
    r.row = r.rows[0];
    r.onRecord = true;
    r.bof = r.eof = false;
  }
}

void openForwardOnly(DAORecordset& r, DAODatabase& d, const std::string& given,
                     const CDaoQueryDef::Parameters* params) {
  r.forwardOnly = true;
  r.stream = std::make_unique<Statement>(prepareRows(d, given, params, /*jetSql=*/true));
  r.streamDatabase = &d;
  int columns = r.stream->columnCount();
  r.untyped.assign(static_cast<size_t>(columns), false);
  for (int i = 0; i < columns; ++i) {
    FieldDef f;
    f.name = fromUtf8(r.stream->cursor().columnName(i).c_str());
    if (!originField(d, *r.stream, i, f)) {
      typeFromValue(f, Value::Null, 0);
      r.untyped[static_cast<size_t>(i)] = true;
    }
    r.schema.fields.push_back(std::move(f));
  }
  r.pos = -1;
  stepForwardOnly(r);
  r.bof = !r.onRecord;  // no rows: both ends at once
}

bool stepForwardOnly(DAORecordset& r) {
  std::optional<DAODatabase::CallerSql> caller;
  if (r.streamDatabase != nullptr) caller.emplace(*r.streamDatabase);
  if (!r.stream || !r.stream->step()) {
    r.onRecord = false;
    r.eof = true;
    r.stream.reset();  // the statement ends its read as soon as the rows do
    return false;
  }
  ++r.pos;
  r.onRecord = true;
  r.bof = r.eof = false;
  sqlite3_stmt* raw = r.stream->raw();
  for (size_t i = 0; i < r.untyped.size(); ++i) {
    if (!r.untyped[i] || r.stream->columnIsNull(static_cast<int>(i))) continue;
    // The rows before held Null here, which reads as Null whatever the type: the
    // snapshot's rule (the first value decides) gives the same values.
    const Value::Kind kind =
        raw ? kindOf(raw, static_cast<int>(i)) : r.stream->column(static_cast<int>(i)).kind;
    typeFromValue(r.schema.fields[i], kind,
                  kind == Value::Text ? r.stream->columnText(static_cast<int>(i)).size() : 0);
    r.untyped[i] = false;
  }
  return true;
}

COleVariant forwardOnlyValue(const DAORecordset& r, int column) {
  sqlite3_stmt* raw = r.stream->raw();
  const FieldDef& f = r.schema.fields[static_cast<size_t>(column)];
  if (!raw) return toVariant(f, r.stream->column(column));
  switch (sqlite3_column_type(raw, column)) {
    case SQLITE_NULL: {
      COleVariant null;
      null.vt = VT_NULL;
      return null;
    }
    case SQLITE_TEXT:
      // Speed only: text into a text field is the common case and needs no Value.
      if (f.type == dbText || f.type == dbMemo)
        return COleVariant(r.stream->columnText(column).c_str());
      break;
    default:
      break;
  }
  return toVariant(f, r.stream->column(column));
}

}  // namespace tabrik::dao
