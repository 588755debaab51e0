// The PostgreSQL back end of the storage interface, through libpq.
//
// Statements are prepared on the server once per connection (named "s<n>") and
// described there, so a cursor knows its columns before the first step as an SQLite
// statement does. Parameters are written "?" or "?NNN" as in SQLite and become $n;
// values travel as text both ways and are read back by the column's type (integers
// as Int, floating and exact numbers as Real unless integral, the rest as Text).
//
// A session runs with UTF-8, a lock wait of kLockWaitMs (then the caller's busy code,
// as SQLite's busy timeout gives it) and without the server's notices.
//
// A lost connection. The call that finds the server gone throws 3043 and the open
// transaction is gone with it (inTransaction is false); the next call reconnects with
// the same parameters and prepares its statements again. While the server cannot be
// reached every call throws 3043.
#pragma once
#include <libpq-fe.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/Store.h"

namespace tabrik::dao::storage {

class PgConnection;

class PgCursor final : public Cursor {
 public:
  PgCursor(PgConnection& conn, std::string sql, int parameters);
  PgCursor(const PgCursor&) = delete;
  PgCursor& operator=(const PgCursor&) = delete;
  ~PgCursor() override;

  void bind(int i, const Value& v) override;
  void bindInt(int i, long long v) override;
  void bindReal(int i, double v) override;
  void bindText(int i, const std::wstring& v) override;
  bool step(long busyCode) override;
  Value column(int i) const override;
  long long columnInt(int i) const override;
  double columnReal(int i) const override;
  std::wstring columnText(int i) const override;
  bool columnIsNull(int i) const override;
  int columnCount() const override { return static_cast<int>(m_names.size()); }
  std::string columnName(int i) const override;
  // Asked of the server's catalog once per statement, when first wanted.
  std::optional<ColumnOrigin> columnOrigin(int i) const override;
  int parameterCount() const override { return static_cast<int>(m_values.size()); }
  bool busy() const override { return m_result != nullptr; }
  void reset() override;

 private:
  friend class PgConnection;
  void describe();  // prepares on the server under this connection's generation
  const char* cell(int i) const;
  std::optional<std::string>* slot(int i);

  PgConnection& m_conn;
  std::string m_sql;  // with $n parameters
  std::string m_name;
  unsigned m_generation = 0;
  std::vector<std::optional<std::string>> m_values;
  std::vector<std::string> m_names;
  std::vector<unsigned> m_types;                    // column type oids
  std::vector<std::pair<unsigned, int>> m_sources;  // per column: table oid, column number
  mutable std::optional<std::vector<std::optional<ColumnOrigin>>> m_origins;
  PGresult* m_result = nullptr;
  int m_row = -1;
};

class PgConnection final : public Connection {
 public:
  // Connects with a libpq connection string; 3151 naming `display` (the server as an
  // administrator wrote it, never its password) when the server cannot be reached or
  // refuses.
  PgConnection(const std::string& conninfo, std::wstring display);
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;
  ~PgConnection() override;

  Backend backend() const override { return Backend::Postgres; }
  const Dialect& dialect() const override;
  std::unique_ptr<Cursor> prepare(const std::string& sql) override;
  void exec(const std::string& sql, long busyCode) override;
  long long changes() override { return m_changes; }
  bool inTransaction() override;
  long long lastInsertRowid() override { return 0; }  // an INSERT returns its rowid
  void beginWrite(long busyCode) override;
  void commit(long busyCode) override;
  void rollbackQuietly() override;

  // The server's SQLSTATE and message of the last failure (tests, diagnostics).
  const std::string& lastState() const { return m_lastState; }
  int syntaxErrorOffset() const override { return m_syntaxOffset; }
  PGconn* handle() const { return m_conn; }

  static constexpr int kLockWaitMs = 200;
  // How long a statement runs before the interrupt check is first asked, and how often
  // after that.
  static constexpr int kFirstInterruptPollMs = 250;
  static constexpr int kInterruptPollMs = 100;

  // The check that stops a statement that runs long (the user pressed Escape): asked
  // while a cursor's statement runs on the server; when it answers true the server is
  // told to cancel and the step fails with 3059. An empty check: statements run to
  // their end without being watched.
  void setInterruptCheck(std::function<bool()> check);

 private:
  friend class PgCursor;
  // Reconnects when the connection was lost; 3043 while the server cannot be reached.
  void ensureConnected();
  void configureSession();
  // Takes a finished result: the rows/command result, or throws the DAO error for it.
  PGresult* check(PGresult* r, long busyCode, const std::string& sql);
  [[noreturn]] void fail(const PGresult* r, long busyCode, const std::string& sql);
  std::string nextName() { return "s" + std::to_string(++m_statementCount); }
  // Sends a prepared statement and waits for its result, asking m_interrupt meanwhile.
  PGresult* runInterruptibly(const std::string& statement, const std::vector<const char*>& values);

  PGconn* m_conn = nullptr;
  std::wstring m_display;
  unsigned m_generation = 1;  // moves with every reconnection: prepared statements are gone
  unsigned long long m_statementCount = 0;
  long long m_changes = 0;
  std::string m_lastState;
  int m_syntaxOffset = -1;
  std::function<bool()> m_interrupt;
};

// "?" and "?NNN" parameters as $n, outside quoted text and names; `count` receives
// the number of parameters.
std::string numberedParameters(const std::string& sql, int& count);

}  // namespace tabrik::dao::storage
