// The storage under the engine: one connection to a database, the statements prepared
// on it, and the failures of both as DAO errors. Two back ends implement it: an SQLite
// file (SqliteStore.h) and a PostgreSQL server database (PgStore.h). Everything the
// engine writes in SQL through this interface is in the back end's own dialect; what
// differs between the dialects is asked of the connection (Dialect below), never
// decided by testing the back end's kind at the call site.
//
// Failures. Every call that fails throws CDaoException* with DAO's number, chosen by
// the back end from its own codes: a lock held by another connection is the busyCode
// the caller passes (3218 update, 3046 save of a new record, 3211 schema change), a
// unique index 3022, a required field 3058, a lost connection or disk 3043.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "store/Value.h"

namespace tabrik::dao::storage {

enum class Backend { Sqlite, Postgres };

// Where a result column comes from when it is a table's column as it stands: the
// table's and the column's names as the back end spells them.
struct ColumnOrigin {
  std::string table, column;
};

// A prepared statement. Parameters are numbered from 1, result columns from 0. After
// step returned false (or threw) the statement may be bound and stepped again.
class Cursor {
 public:
  virtual ~Cursor() = default;
  virtual void bind(int i, const Value& v) = 0;
  virtual void bindInt(int i, long long v) = 0;
  virtual void bindReal(int i, double v) = 0;
  virtual void bindText(int i, const std::wstring& v) = 0;
  // Steps once: true for a row, false when done.
  virtual bool step(long busyCode) = 0;
  virtual Value column(int i) const = 0;
  virtual long long columnInt(int i) const = 0;
  virtual double columnReal(int i) const = 0;
  virtual std::wstring columnText(int i) const = 0;
  virtual bool columnIsNull(int i) const = 0;
  virtual int columnCount() const = 0;
  virtual std::string columnName(int i) const = 0;
  // nullopt for a computed column (an expression, an aggregate, a constant).
  virtual std::optional<ColumnOrigin> columnOrigin(int i) const = 0;
  virtual int parameterCount() const = 0;
  // Stepped at least once and not yet reset: a cached statement in this state is in
  // use by someone and cannot be handed out again.
  virtual bool busy() const = 0;
  // Back to before the first step, parameters unbound.
  virtual void reset() = 0;
};

// What the engine's own SQL writes differently on a back end.
struct Dialect {
  const char* integer;  // the stored kinds' column types
  const char* real;
  const char* text;
  const char* jetText;      // Jet's text order on a column (" COLLATE ...")
  const char* catalogText;  // the catalog's names, compared without regard to case
  // Declared first in every table: the record's number, the recordsets' bookmark
  // (SQLite's own rowid needs no declaration).
  const char* rowidColumn;
  // Appended to an INSERT so that stepping it returns the new record's number, or
  // empty where lastInsertRowid gives it.
  const char* returningRowid;
  // Whether "x IS ?" compares with Null as with any value and still uses an index; where
  // it does not, a known Null is written "IS NULL" and any other value "= ?".
  bool indexedIs;
  // Sort keys in an index and in ORDER BY: Nulls first going up, last going down.
  const char* ascending;
  const char* descending;
  // Whether the text order itself drops trailing blanks ('x' = 'x  '); where it does
  // not, the engine drops them from the keys it looks for.
  bool ignoresTrailingBlanks;
  // Whether a catalog table's name and columns are quoted (keeping their case) or left
  // bare (folded by a server that folds unquoted names).
  bool quotesCatalog;
  // A Currency field's column: its amount x 10000 as a whole number when written
  // through a recordset, but a caller's SQL may write any number into it (1.5 stays
  // 1.5, as a file's column keeps it), so it must not round.
  const char* currency;
};

class Connection {
 public:
  virtual ~Connection() = default;
  virtual Backend backend() const = 0;
  virtual const Dialect& dialect() const = 0;
  // A statement of the back end's dialect; throws the DAO error for text it rejects.
  virtual std::unique_ptr<Cursor> prepare(const std::string& sql) = 0;
  // Runs one or more statements without results.
  virtual void exec(const std::string& sql, long busyCode) = 0;
  // Rows the last INSERT, UPDATE or DELETE changed.
  virtual long long changes() = 0;
  // The record number the last INSERT gave, where the dialect returns none from it.
  virtual long long lastInsertRowid() = 0;
  // Whether a transaction is open on the connection.
  virtual bool inTransaction() = 0;
  // Starts the write transaction: on return this connection may write without waiting
  // for another (or it threw busyCode).
  virtual void beginWrite(long busyCode) = 0;
  virtual void commit(long busyCode) = 0;
  // Rolls back what is open, ignoring failure (the connection may be gone).
  virtual void rollbackQuietly() = 0;
  // A count that moves whenever another session may have committed since it was last
  // read (and whenever the connection was made again); -1 when the back end cannot tell
  // now, so that nothing read before is taken as current.
  virtual long long commitsSignalled() { return -1; }
  // Where the back end found the last statement it rejected as malformed: a byte offset
  // into its text, or -1 when the last failure was none such.
  virtual int syntaxErrorOffset() const { return -1; }
};

}  // namespace tabrik::dao::storage
