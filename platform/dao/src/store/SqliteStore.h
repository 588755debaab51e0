// The SQLite back end of the storage interface. The connection does not own the
// sqlite3 handle: opening the file (modes, journal, the open-mode lock, the
// authorizer) and closing it are DAODatabase's, which keeps SQLite-only work (the
// write-ahead log, attached links, temporary views) on the same handle.
#pragma once
#include <sqlite3.h>

#include <string>
#include <utility>

#include "store/Store.h"

namespace tabrik::dao::storage {

class SqliteCursor final : public Cursor {
 public:
  // Takes the statement; it is finalized with this object.
  SqliteCursor(sqlite3* db, sqlite3_stmt* stmt) : m_db(db), m_stmt(stmt) {}
  SqliteCursor(const SqliteCursor&) = delete;
  SqliteCursor& operator=(const SqliteCursor&) = delete;
  ~SqliteCursor() override { sqlite3_finalize(m_stmt); }

  void bind(int i, const Value& v) override;
  void bindInt(int i, long long v) override { sqlite3_bind_int64(m_stmt, i, v); }
  void bindReal(int i, double v) override { sqlite3_bind_double(m_stmt, i, v); }
  void bindText(int i, const std::wstring& v) override;
  bool step(long busyCode) override;
  Value column(int i) const override;
  long long columnInt(int i) const override { return sqlite3_column_int64(m_stmt, i); }
  double columnReal(int i) const override { return sqlite3_column_double(m_stmt, i); }
  std::wstring columnText(int i) const override;
  bool columnIsNull(int i) const override { return sqlite3_column_type(m_stmt, i) == SQLITE_NULL; }
  int columnCount() const override { return sqlite3_column_count(m_stmt); }
  std::string columnName(int i) const override;
  std::optional<ColumnOrigin> columnOrigin(int i) const override;
  int parameterCount() const override { return sqlite3_bind_parameter_count(m_stmt); }
  bool busy() const override { return sqlite3_stmt_busy(m_stmt) != 0; }
  void reset() override {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
  }

  sqlite3_stmt* handle() const { return m_stmt; }

 private:
  sqlite3* m_db;
  sqlite3_stmt* m_stmt;
};

class SqliteConnection final : public Connection {
 public:
  // name: the database as the caller gave it, for the texts that name it.
  SqliteConnection(sqlite3* db, std::wstring name) : m_db(db), m_name(std::move(name)) {}
  Backend backend() const override { return Backend::Sqlite; }
  const Dialect& dialect() const override;
  std::unique_ptr<Cursor> prepare(const std::string& sql) override;
  void exec(const std::string& sql, long busyCode) override;
  long long changes() override { return sqlite3_changes64(m_db); }
  bool inTransaction() override { return sqlite3_get_autocommit(m_db) == 0; }
  long long lastInsertRowid() override { return sqlite3_last_insert_rowid(m_db); }
  // BEGIN IMMEDIATE: the file's write lock is taken now, so a conflict is reported
  // here and not at the first write.
  void beginWrite(long busyCode) override;
  void commit(long busyCode) override;
  void rollbackQuietly() override;

  sqlite3* handle() const { return m_db; }

 private:
  void runCached(std::unique_ptr<Cursor>& slot, const char* sql, long busyCode);

  sqlite3* m_db;
  std::wstring m_name;
  std::unique_ptr<Cursor> m_begin, m_commit;
};

}  // namespace tabrik::dao::storage
