// The engine's open database: one SQLite connection with the Jet text collation, the
// DAO catalog, write transactions, the open-mode locks between processes, and the
// mapping of SQLite failures to DAO errors. CDaoDatabase, CDaoTableDef and
// CDaoRecordset are the only users. Statements and write transactions go through
// the storage interface (store/Store.h), whose back ends are SQLite and PostgreSQL.
//
// Defences. A caller's SQL is Jet's: the translator refuses other statements, and
// under it the connection runs in SQLite's defensive mode, without extension loading
// or the FTS3 tokenizer function, with an authorizer that keeps a caller's statements
// (CallerSql below) away from pragmas, attaching, transactions, schema changes, the
// catalog's rows and SQLite's own tables and functions. A file that fails SQLite's
// quick check when opened is 3343.
//
// File layout. Each DAO table is an SQLite table of the same name whose columns are
// the fields, in field order, declared INTEGER (Yes/No, Byte, Integer, Long,
// Currency), REAL (Single, Double, Date/Time) or TEXT COLLATE JETTEXT (Text, Memo);
// each DAO index is an SQLite index over the same columns. Stored values:
//
//   DAO type      stored as
//   Yes/No        INTEGER -1 or 0
//   Byte/Integer/Long  INTEGER in the type's range
//   Currency      INTEGER, the amount x 10000 (exact, as CY)
//   Single/Double REAL
//   Date/Time     REAL, the OLE date
//   Text/Memo     TEXT (UTF-8)
//
// The catalog (every name compared without regard to ASCII case):
//
//   MSysDb             Property TEXT PK, Value TEXT
//                      rows: Version "4.0", Locale (as given to Create), CollatingOrder "1033"
//   MSysObjects        Name TEXT PK, Type INTEGER (1 = table), Attributes INTEGER,
//                      DateCreate REAL, DateUpdate REAL (OLE dates), Connect TEXT,
//                      ForeignName TEXT (source table of a link)
//   MSysColumns        TableName, Name (PK together), Ordinal INTEGER (0-based field
//                      order), Type INTEGER (DataTypeEnum), Size INTEGER, Attributes
//                      INTEGER (FieldAttributeEnum, as a TableDef reports it), Required,
//                      AllowZeroLength INTEGER (0/1), DefaultValue TEXT, CollatingOrder
//                      INTEGER, ValidationRule TEXT, ValidationText TEXT
//   MSysIndexes        TableName, Name (PK together), PhysicalName TEXT (the SQLite
//                      index), Ordinal INTEGER, IsPrimary, IsUnique, IgnoreNulls,
//                      IsRequired, IsForeign, IsClustered INTEGER (0/1)
//   MSysIndexColumns   TableName, IndexName, Position (PK together; 0-based),
//                      ColumnName TEXT, Descending INTEGER (0/1)
//   MSysCounters       TableName, ColumnName (PK together), NextValue INTEGER: no
//                      auto-number below it is ever given again
//   (linked tables)    an MSysObjects row with dbAttachedTable, Connect ";DATABASE=path"
//                      and ForeignName the source table; no MSysColumns rows: the
//                      fields are the source's. Each connection attaches the other file
//                      read-only and makes a TEMP VIEW under the local name.
//   MSysRelationships  Name TEXT PK, TableName TEXT (primary table), ForeignTable TEXT,
//                      Attributes INTEGER (RelationAttributeEnum)
//   MSysRelationshipColumns  Name, Position (PK together; 0-based), ColumnName TEXT
//                      (primary field), ForeignName TEXT (foreign field)
//                      Enforced relations are SQLite triggers "MSysRel_<relation>_..."
//                      that raise "DAO 3201 <primary table>" or "DAO 3200 <foreign
//                      table>"; they are made again when a table is renamed.
//   MSysQueries        Name TEXT PK, SQL TEXT (the statement), Type INTEGER (dbQSelect
//                      0 or dbQAction 240), DateCreate REAL, DateUpdate REAL
//
// Auto-numbers. The next number is the larger of NextValue and one more than the
// highest number in the table. An SQLite trigger "MSysAutoNumber..." on every table
// with an auto-number field raises NextValue past every record deleted (by DAO or by
// SQL), so a number once given is never given again. When an index leads with the
// field, the highest number costs one index probe and an append writes no catalog
// row; without one, NextValue is written with every append instead.
//
// The catalog tables describe themselves too (system objects), so DAO lists them
// among the table definitions as Jet lists its own.
#pragma once
#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "afxdao.h"
#include "store/Store.h"

namespace tabrik::dao {

namespace jetsql {
class StatementCache;
struct Translation;
struct ServerNames;
}  // namespace jetsql

std::string toUtf8(const std::wstring& s);
std::wstring fromUtf8(const char* s, int bytes = -1);
std::wstring upper(const std::wstring& s);  // key for case-insensitive name maps

struct FieldDef {
  std::wstring name;
  short type = dbText;
  long size = 0;
  long attributes = 0;
  bool required = false;
  bool allowZeroLength = false;
  std::wstring defaultValue;
  long collatingOrder = dbSortGeneral;
  std::wstring validationRule;
  std::wstring validationText;

  bool isAutoIncrement() const { return (attributes & dbAutoIncrField) != 0; }
  bool isText() const { return type == dbText || type == dbMemo; }
};

struct IndexField {
  std::wstring name;
  bool descending = false;
};

struct IndexDef {
  std::wstring name;
  std::string physical;  // SQLite index name
  std::vector<IndexField> fields;
  bool primary = false;
  bool unique = false;
  bool ignoreNulls = false;
  bool required = false;
  bool foreign = false;
  bool clustered = false;
};

struct TableSchema {
  std::wstring name;
  long attributes = 0;
  double created = 0;
  double updated = 0;
  std::wstring connect;
  std::wstring sourceTable;
  std::vector<FieldDef> fields;
  std::vector<IndexDef> indexes;

  int findField(const std::wstring& name) const;  // -1 when none
  int findIndex(const std::wstring& name) const;
  bool isSystem() const { return (static_cast<unsigned long>(attributes) & 0x80000000ul) != 0; }
  bool isLinked() const { return (attributes & dbAttachedTable) != 0; }
};

// A prepared statement of the database's connection: a cached one is reset and
// unbound when this handle dies, one of its own is deleted with it.
class Statement {
 public:
  explicit Statement(storage::Cursor* cached) : m_cursor(cached), m_owned(false) {}
  explicit Statement(std::unique_ptr<storage::Cursor> own)
      : m_cursor(own.release()), m_owned(true) {}
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  Statement(Statement&& o) noexcept : m_cursor(o.m_cursor), m_owned(o.m_owned) {
    o.m_cursor = nullptr;
  }
  ~Statement();

  void bind(int i, const Value& v) { m_cursor->bind(i, v); }
  void bindInt(int i, long long v) { m_cursor->bindInt(i, v); }
  void bindText(int i, const std::wstring& v) { m_cursor->bindText(i, v); }
  // Steps once: true for a row, false when done. Failures throw the DAO error that
  // matches, busyCode for a lock conflict.
  bool step(long busyCode = 3218) { return m_cursor->step(busyCode); }
  Value column(int i) const { return m_cursor->column(i); }
  long long columnInt(int i) const { return m_cursor->columnInt(i); }
  double columnReal(int i) const { return m_cursor->columnReal(i); }
  std::wstring columnText(int i) const { return m_cursor->columnText(i); }
  bool columnIsNull(int i) const { return m_cursor->columnIsNull(i); }
  int columnCount() const { return m_cursor->columnCount(); }
  void reset() { m_cursor->reset(); }
  storage::Cursor& cursor() const { return *m_cursor; }
  // The SQLite statement under an SQLite cursor (column origins, declared types);
  // null on another back end.
  sqlite3_stmt* raw() const;

 private:
  storage::Cursor* m_cursor;
  bool m_owned;
};

// An SQLite statement the caller prepared itself, taken into a Statement.
Statement adoptSqlite(sqlite3* db, sqlite3_stmt* stmt);

// Throws the DAO error for an SQLite result code. busyCode is the conflict error the
// operation reports when another connection holds the lock (3218 update, 3046 save of a
// new record, 3188 inside this process); `name` fills the texts that name a file.
[[noreturn]] void throwSqlite(sqlite3* db, int rc, long busyCode, const std::wstring& name = L"");

// Quotes an identifier for SQLite.
std::string quoteId(const std::wstring& name);
// A text literal of SQL: in single quotes, each quote inside doubled.
std::string quoteText(const std::wstring& text);
// The column type a back end stores a DAO field type in.
const char* storageType(const storage::Dialect& dialect, short daoType);

// An SQLite URI for a native path, with query parameters ("mode=ro", ...).
std::string sqliteUri(const std::string& nativePath, const std::string& parameters);

// Whether this user may change the existing file at a native path: it has write bits
// (none: read-only for every user, root too), the kernel lets this user's effective
// ids write it, and its folder takes the journal's side files.
bool userMayWrite(const std::string& nativePath);

// The URI parameters under which SQLite reads the existing file at a native path
// read-only ("mode=ro", "mode=ro&immutable=1" where no side file can be made); empty
// when the file cannot be read safely (a log without its shared memory in a folder
// this user cannot write).
std::string readOnlyParameters(const std::string& nativePath);

// Pages of write-ahead log after which a commit copies the log into the file.
constexpr int kAutoCheckpointPages = 256;

}  // namespace tabrik::dao

struct DAODatabase {
  DAODatabase();
  DAODatabase(const DAODatabase&) = delete;
  DAODatabase& operator=(const DAODatabase&) = delete;
  ~DAODatabase();

  // Opens (or, with create, makes) the file; throws CDaoException* with DAO's error.
  void open(const std::wstring& name, bool exclusive, bool readOnly, bool create,
            const std::wstring& locale);
  // Checkpoints (see checkpoint), rolls back what is not committed and closes.
  void close();
  // Copies the write-ahead log into the file and empties it, so that the file alone
  // holds every commit. False when there is nothing to do (read-only, no log, inside a
  // write transaction) or another connection still reads an older state of the file
  // (the next idle time or close tries again).
  bool checkpoint();
  // The same, only when this connection committed since its last checkpoint.
  bool checkpointIfWritten();

  sqlite3* db = nullptr;
  // The storage interface over the same database; every statement of the engine's
  // goes through it.
  std::unique_ptr<tabrik::dao::storage::Connection> conn;
  std::wstring name;  // as given
  std::string path;   // native path
  // An Access file is read through the engine's converted copy of it: `name` is the
  // Access file, `path` the copy.
  bool accessFile = false;
  bool readOnly = false;
  bool exclusive = false;
  bool wal = false;
  long recordsAffected = 0;

  // A caller's statement (Execute, a snapshot's source, a query definition, a
  // make-table query's rows) is prepared and stepped inside a CallerSql scope. The
  // connection's authorizer holds such statements to what Jet's SQL can do (see
  // authorize in DaoStore.cpp); the engine's own statements, outside every scope,
  // keep SQLite's full language. Only inside a scope can the host cancel a statement.
  class CallerSql {
   public:
    explicit CallerSql(DAODatabase& d) : m_d(d) {
      ++m_d.m_callerDepth;
      forgetRefusal();
    }
    ~CallerSql() { --m_d.m_callerDepth; }
    CallerSql(const CallerSql&) = delete;
    CallerSql& operator=(const CallerSql&) = delete;

   private:
    DAODatabase& m_d;
  };
  bool inCallerSql() const { return m_callerDepth > 0; }
  // Drops what the authorizer last refused, after a caller's statement whose failure
  // to compile is not reported.
  static void forgetRefusal();

  // A caller's SQL statements (Execute, snapshots and query definitions on SQL) run on
  // a database file only for now; on a server database they are 3251.
  void requireSqlSupport() const;

  // Cached prepared statements, keyed by their SQL.
  tabrik::dao::Statement prepare(const std::string& sql);
  void exec(const std::string& sql, long busyCode = 3218);
  // One statement without results through the statement cache (speed only: the
  // transaction statements of every Update).
  void run(const std::string& sql, long busyCode = 3218);

  // The translation of a caller's Jet statement, from the connection's statement
  // cache when the statement ran before under the file's present schema. Throws as
  // jetsql::translate does.
  std::shared_ptr<const tabrik::dao::jetsql::Translation> translateJet(const std::string& jet);
  // Compiles a caller's translated statement inside a CallerSql scope. A name SQLite
  // does not know that is a stored select query becomes a temporary view of the query
  // first, as Jet reads a stored query wherever a table may stand. SQLite's result code.
  int prepareCaller(const std::string& sql, sqlite3_stmt** statement);
  // Drops the views made for stored queries (the queries or their tables changed).
  void dropQueryViews();
  // Whether a stored query bears this name (UTF-8, any case).
  bool isStoredQuery(const std::string& name);
  tabrik::dao::jetsql::StatementCache& jetStatements();

  // The schema of a table; 3078 when there is none. The catalog is reloaded when
  // the file's schema changed (another process or our own DDL).
  const tabrik::dao::TableSchema& schema(const std::wstring& table);
  bool hasTable(const std::wstring& table);
  // Whether one of the engine's own tables (MSysQueries, MSysRelationships) exists in
  // the database, on either back end.
  bool hasEngineTable(const char* name);
  std::vector<std::wstring> tableNames();  // in DAO's order (by name)
  void schemaChanged();

  // After a statement failed: when SQLite ended the transaction itself (an
  // interrupted write inside an explicit transaction is rolled back whole), the
  // write depth follows, so that no holder commits what is gone.
  void syncWriteDepth() {
    if (conn && writeDepth > 0 && !conn->inTransaction()) writeDepth = 0;
  }

  // Write transactions. beginWrite takes the database's write lock (nesting inside
  // one already held by this connection), endWrite commits or rolls back when the
  // outermost holder ends. A lock held by another connection is busyCode.
  void beginWrite(long busyCode);
  void endWrite(bool commit, long busyCode = 3218);
  // Runs a caller's action statement to its end, as a caller's, inside the write
  // transaction the caller began: a failure gives the write up and is rethrown;
  // otherwise the write ends and recordsAffected (returned) counts the records changed.
  long finishCallerAction(tabrik::dao::Statement& s);
  int writeDepth = 0;
  long long writeCount = 0;  // grows with every write transaction this connection begins

  // Runs a statement whose failure changes nothing for the caller (a rollback).
  void execQuietly(const std::string& sql);
  // A pessimistic edit's row lock, inside the edit's write transaction: on a server the
  // record is locked without waiting (busy: 3218); a file's write lock already holds
  // every record.
  void lockRecord(const std::wstring& table, long long rowid);

  // Records under a pessimistic edit by some recordset of this connection.
  std::set<std::pair<std::wstring, long long>> editLocks;

  // A value that changes whenever any connection, in any process, commits to the
  // file. With write-ahead logging it is read from the shared WAL index header
  // (its change counter, last frame and salt), which costs no system call; otherwise
  // it is PRAGMA data_version (a read transaction).
  struct ChangeStamp {
    std::uint32_t change = 0, lastFrame = 0, salt = 0;
    long long dataVersion = -1;
    bool operator==(const ChangeStamp& o) const {
      return change == o.change && lastFrame == o.lastFrame && salt == o.salt &&
             dataVersion == o.dataVersion;
    }
  };
  ChangeStamp changeStamp();

  // Next auto-number for a field, consumed (inside a write transaction).
  long long takeCounter(const tabrik::dao::TableSchema& table, const tabrik::dao::FieldDef& field);
  // (Re)creates the triggers that keep NextValue past deleted auto-numbers.
  void installCounterTriggers(const tabrik::dao::TableSchema& table);

  // Linked tables: the other file's path in a connect string ";DATABASE=path"; checks
  // that the file is a database holding the source table (3024, 3044, 3343, 3011).
  static std::wstring linkPath(const std::wstring& connect);
  static void checkLink(const std::wstring& connect, const std::wstring& sourceTable);
  bool isAttached(const std::wstring& localName) const {
    return m_links.count(tabrik::dao::upper(localName)) != 0 ||
           m_linkCopies.count(tabrik::dao::upper(localName)) != 0;
  }
  // A link between back ends (a server table in a file, a file's table or a server's
  // in a server database) is read through a temporary table of this session that holds
  // the source's records: made when the link is first seen and made again whenever
  // the source signals a change, before each statement and recordset reads it.
  void refreshLinkCopies();
  // The rows of a linked table, for a recordset: "SELECT * FROM" this.
  std::string linkedRows(const std::wstring& localName) const;
  // Makes the catalog's schema version move, so every connection reloads it (a link
  // changes only catalog rows).
  void bumpSchema();

  // Catalog writing (inside a write transaction).
  void catalogAddTable(const tabrik::dao::TableSchema& t);
  void catalogAddField(const std::wstring& table, const tabrik::dao::FieldDef& f, int ordinal);
  void catalogAddIndex(const std::wstring& table, const tabrik::dao::IndexDef& ix, int ordinal);

 private:
  void openServer(const std::string& connect, bool exclusive, bool readOnly, bool create,
                  const std::wstring& locale);
  // A new database at `path` made on the office's server (server/NewDatabases.h): the
  // server database, the pointer file at the path, the catalog; nothing left of any of
  // them when a step fails.
  void createOnServer(const std::string& office, const std::wstring& locale);
  void createCatalog(const std::wstring& locale);
  // The catalog's version: SQLite's schema cookie, a server's msysschema row.
  long long schemaVersion();
  void installServerCounterTriggers(const tabrik::dao::TableSchema& table);
  void configureConnection();
  void checkFormat();
  void checkIntegrity();
  void chooseJournal();
  void takeOpenLock();
  void releaseOpenLock();
  void loadSchemas();
  bool syncLinks();  // false when a link could not be attached yet (inside a transaction)

  std::map<std::string, std::unique_ptr<tabrik::dao::storage::Cursor>> m_statements;
  std::unique_ptr<tabrik::dao::jetsql::StatementCache> m_jetStatements;
  // On a server: the spelling of every table and field name, for the translator, as of
  // the catalog version beside it.
  std::unique_ptr<tabrik::dao::jetsql::ServerNames> m_serverNames;
  long long m_serverNamesVersion = -1;
  std::map<std::wstring, tabrik::dao::TableSchema> m_schemas;  // by upper-cased name
  long long m_schemaVersion = -1;
  std::map<std::wstring, std::string> m_links;  // upper-cased local name -> attached schema
  std::vector<std::wstring> m_queryViews;       // temporary views made for stored queries
  struct LinkCopy;                              // LinkedTables.cpp
  std::map<std::wstring, std::shared_ptr<LinkCopy>> m_linkCopies;  // by upper-cased local name
  void syncLinkCopies();
  void makeLinkCopy(const std::wstring& localName, LinkCopy& copy);
  // After a rollback: the copies made inside the transaction are gone with it.
  void forgetLinkCopies();
  bool viewForMissingTable();
  int m_nextLink = 0;
  int m_lockFd = -1;
  long long m_checkpointedWrites = 0;
  std::string m_lockPath;
  int m_callerDepth = 0;
  bool m_creatingCatalog = false;
  long long m_serverStamps = 0;

  static int authorize(void* self, int action, const char* a, const char* b, const char* schema,
                       const char* inner);
  static int progress(void* self);
};
