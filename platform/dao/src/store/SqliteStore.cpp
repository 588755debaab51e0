#include "store/SqliteStore.h"

#include "DaoStore.h"

namespace tabrik::dao::storage {

void SqliteCursor::bind(int i, const Value& v) {
  switch (v.kind) {
    case Value::Null:
      sqlite3_bind_null(m_stmt, i);
      break;
    case Value::Int:
      sqlite3_bind_int64(m_stmt, i, v.i);
      break;
    case Value::Real:
      sqlite3_bind_double(m_stmt, i, v.r);
      break;
    case Value::Text:
      bindText(i, v.text);
      break;
  }
}

void SqliteCursor::bindText(int i, const std::wstring& v) {
  std::string u = toUtf8(v);
  sqlite3_bind_text(m_stmt, i, u.data(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
}

bool SqliteCursor::step(long busyCode) {
  int rc = sqlite3_step(m_stmt);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(m_stmt);
  throwSqlite(m_db, rc, busyCode);
}

Value SqliteCursor::column(int i) const {
  switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_NULL:
      return Value::null();
    case SQLITE_INTEGER:
      return Value::ofInt(sqlite3_column_int64(m_stmt, i));
    case SQLITE_FLOAT:
      return Value::ofReal(sqlite3_column_double(m_stmt, i));
    default:
      return Value::ofText(columnText(i));
  }
}

std::wstring SqliteCursor::columnText(int i) const {
  const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i));
  return fromUtf8(t, sqlite3_column_bytes(m_stmt, i));
}

std::string SqliteCursor::columnName(int i) const {
  const char* n = sqlite3_column_name(m_stmt, i);
  return n ? n : "";
}

std::optional<ColumnOrigin> SqliteCursor::columnOrigin(int i) const {
  const char* table = sqlite3_column_table_name(m_stmt, i);
  const char* column = sqlite3_column_origin_name(m_stmt, i);
  if (!table || !column) return std::nullopt;
  return ColumnOrigin{table, column};
}

const Dialect& SqliteConnection::dialect() const {
  static const Dialect kDialect{
      "INTEGER", "REAL", "TEXT", " COLLATE JETTEXT", " COLLATE NOCASE", "", "", true, "",
      " DESC",   true,   true,   "INTEGER"};
  return kDialect;
}

std::unique_ptr<Cursor> SqliteConnection::prepare(const std::string& sql) {
  sqlite3_stmt* raw = nullptr;
  int rc = sqlite3_prepare_v2(m_db, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(raw);
    throwSqlite(m_db, rc, 3218, m_name);
  }
  return std::make_unique<SqliteCursor>(m_db, raw);
}

void SqliteConnection::exec(const std::string& sql, long busyCode) {
  char* err = nullptr;
  int rc = sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &err);
  sqlite3_free(err);
  if (rc != SQLITE_OK) throwSqlite(m_db, rc, busyCode, m_name);
}

void SqliteConnection::runCached(std::unique_ptr<Cursor>& slot, const char* sql, long busyCode) {
  if (!slot) slot = prepare(sql);
  slot->reset();
  while (slot->step(busyCode)) {
  }
}

void SqliteConnection::beginWrite(long busyCode) {
  runCached(m_begin, "BEGIN IMMEDIATE", busyCode);
}

void SqliteConnection::commit(long busyCode) { runCached(m_commit, "COMMIT", busyCode); }

void SqliteConnection::rollbackQuietly() {
  sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

}  // namespace tabrik::dao::storage
