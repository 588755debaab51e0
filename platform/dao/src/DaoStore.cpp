// The engine's open database: opening with DAO's modes and errors, the catalog, the
// statement cache and write transactions (layout in DaoStore.h).
#include "DaoStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstdlib>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>
#include <strings.h>

#include "DaoErrors.h"
#include "tabrik/DaoHost.h"
#include "JetCollation.h"
#include "jetsql/JetFunctions.h"
#include "jetsql/JetStatementCache.h"
#include "jetsql/JetServerFunctions.h"
#include "server/ConnectString.h"
#include "server/NewDatabases.h"
#include "server/ServerSchema.h"
#include "store/PgStore.h"
#include "store/SqliteStore.h"
#include "stringapiset.h"
#include "tabrik/TextConversion.h"

namespace tabrik::dao {

std::string toUtf8(const std::wstring& s) { return tabrik::text::toUtf8(s); }

std::wstring fromUtf8(const char* s, int bytes) {
  if (!s) return {};
  if (bytes < 0) bytes = static_cast<int>(std::strlen(s));
  if (bytes == 0) return {};
  // Speed only: ASCII text, most of what a database holds, widens byte for byte.
  const auto* begin = reinterpret_cast<const unsigned char*>(s);
  const auto* end = begin + bytes;
  if (std::all_of(begin, end, [](unsigned char c) { return c < 0x80; }))
    return std::wstring(begin, end);
  int n = MultiByteToWideChar(CP_UTF8, 0, s, bytes, nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s, bytes, out.data(), n);
  return out;
}

std::wstring upper(const std::wstring& s) {
  std::wstring out = s;
  for (auto& c : out) c = AfxCharUpper(c);
  return out;
}

int TableSchema::findField(const std::wstring& n) const {
  for (size_t i = 0; i < fields.size(); ++i)
    if (CString(fields[i].name.c_str()).CompareNoCase(n.c_str()) == 0) return static_cast<int>(i);
  return -1;
}

int TableSchema::findIndex(const std::wstring& n) const {
  for (size_t i = 0; i < indexes.size(); ++i)
    if (CString(indexes[i].name.c_str()).CompareNoCase(n.c_str()) == 0) return static_cast<int>(i);
  return -1;
}

bool Value::operator==(const Value& o) const {
  if (kind != o.kind) return false;
  switch (kind) {
    case Null:
      return true;
    case Int:
      return i == o.i;
    case Real:
      return r == o.r;
    case Text:
      return text == o.text;
  }
  return false;
}

namespace {

std::string quoted(const std::wstring& text, char quote) {
  std::string out(1, quote);
  for (char c : toUtf8(text)) {
    if (c == quote) out += quote;
    out += c;
  }
  return out + quote;
}

}  // namespace

std::string quoteId(const std::wstring& name) { return quoted(name, '"'); }
std::string quoteText(const std::wstring& text) { return quoted(text, '\''); }

// --- Statement --------------------------------------------------------------------------

Statement::~Statement() {
  if (!m_cursor) return;
  if (m_owned)
    delete m_cursor;
  else
    m_cursor->reset();
}

sqlite3_stmt* Statement::raw() const {
  auto* s = dynamic_cast<storage::SqliteCursor*>(m_cursor);
  return s ? s->handle() : nullptr;
}

Statement adoptSqlite(sqlite3* db, sqlite3_stmt* stmt) {
  return Statement(std::make_unique<storage::SqliteCursor>(db, stmt));
}

// --- SQLite failures as DAO errors ----------------------------------------------------------

namespace {

// What the authorizer refused in a caller's statement, for the error the failed
// prepare reports. The authorizer runs inside sqlite3_prepare on the preparing
// thread, and the failure is turned into an exception right after on that thread.
struct Denial {
  long code = 0;
  std::wstring argument;
};
thread_local Denial t_denial;

// The file an SQLite connection has open, for the texts that name it.
std::wstring fileOf(sqlite3* db, const std::wstring& name) {
  if (!name.empty() || db == nullptr) return name;
  const char* file = sqlite3_db_filename(db, "main");
  return file ? fromUtf8(file) : std::wstring();
}

// 3024 when the folder is there and the file is not, 3044 when the folder is not,
// 3051 when the file is there and cannot be opened (permission, a lock).
[[noreturn]] void throwCannotOpen(const std::wstring& file) {
  std::string native = toUtf8(file);
  struct stat st {};
  if (!native.empty() && stat(native.c_str(), &st) == 0) daoThrow(3051, {file});
  size_t slash = native.rfind('/');
  std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : native.substr(0, slash);
  if (!native.empty() && stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) daoThrow(3024, {file});
  daoThrow(3044, {file});
}

// The name SQLite put after `prefix` in its message ("no such table: x").
bool messageNames(const std::string& msg, const char* prefix, std::wstring& named) {
  if (msg.rfind(prefix, 0) != 0) return false;
  named = fromUtf8(msg.c_str() + std::strlen(prefix));
  return true;
}

}  // namespace

void throwSqlite(sqlite3* db, int rc, long busyCode, const std::wstring& name) {
  int primary = rc & 0xFF;
  std::string msg = db ? sqlite3_errmsg(db) : "";
  // A caller's statement the authorizer refused (SQLITE_AUTH, or SQLITE_ERROR: "not
  // authorized to use function", "access to ... is prohibited", a virtual table whose
  // constructor was refused): the refusal chose the error. A refusal is forgotten when
  // the next caller's statement begins, and by callers that let a failure pass.
  if (t_denial.code != 0 && (primary == SQLITE_AUTH || primary == SQLITE_ERROR)) {
    Denial denied = t_denial;
    t_denial = Denial{};
    daoThrow(denied.code, {denied.argument});
  }
  switch (primary) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_PROTOCOL:  // the write-ahead log's locks could not be had in time
      daoThrow(primary == SQLITE_LOCKED ? 3188 : busyCode);
    case SQLITE_CONSTRAINT:
      if (rc == SQLITE_CONSTRAINT_NOTNULL) daoThrow(3058);
      if (rc == SQLITE_CONSTRAINT_TRIGGER && msg.rfind("DAO ", 0) == 0) {
        // A relation's trigger: "DAO <number> <table>".
        long code = std::strtol(msg.c_str() + 4, nullptr, 10);
        size_t blank = msg.find(' ', 4);
        daoThrow(code, {blank == std::string::npos ? L"" : fromUtf8(msg.c_str() + blank + 1)});
      }
      daoThrow(3022);
    case SQLITE_READONLY:
      daoThrow(3027);
    case SQLITE_FULL:
      daoThrow(3026);
    case SQLITE_IOERR:
      daoThrow(3043);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      daoThrow(3343, {fileOf(db, name)});
    case SQLITE_NOMEM:
      AfxThrowMemoryException();
    case SQLITE_CANTOPEN:
      throwCannotOpen(fileOf(db, name));
    case SQLITE_PERM:
      daoThrow(3051, {fileOf(db, name)});
    case SQLITE_AUTH:
      daoThrow(3129);
    case SQLITE_INTERRUPT:
      daoThrow(3059);
    case SQLITE_TOOBIG:
      daoThrow(3035);
    case SQLITE_MISMATCH:
      daoThrow(3464);
    case SQLITE_RANGE:
      daoThrow(3001);
    default:
      break;
  }
  // Statement text from Execute: name the missing table or column as Jet does.
  std::wstring named;
  if (messageNames(msg, "no such table: ", named)) daoThrow(3078, {named});
  if (msg.rfind("no such column: ", 0) == 0) daoThrow(3061, {L"1"});
  if (messageNames(msg, "no such function: ", named)) daoThrow(3085, {named});
  if (messageNames(msg, "ambiguous column name: ", named)) daoThrow(3079, {named});
  if (msg.rfind("duplicate column name: ", 0) == 0) daoThrow(3191);
  if (msg.rfind("index ", 0) == 0 && msg.find(" already exists") != std::string::npos)
    daoThrow(3284);
  if (msg.find("syntax error") != std::string::npos ||
      msg.find("incomplete input") != std::string::npos ||
      msg.find("unrecognized token") != std::string::npos)
    daoThrow(3129);
  if (msg.find("already exists") != std::string::npos && msg.rfind("table ", 0) == 0) {
    std::string t = msg.substr(6, msg.find(" already exists") - 6);
    daoThrow(3010, {fromUtf8(t.c_str())});
  }
  static const char kArguments[] = "wrong number of arguments to function ";
  if (messageNames(msg, kArguments, named))
    daoThrow(3075, {L"Wrong number of arguments used with function", named});
  static const char kAggregate[] = "misuse of aggregate function ";
  if (messageNames(msg, kAggregate, named)) daoThrow(3096, {named});
  if (msg.rfind("table ", 0) == 0 && msg.find(" has no column named ") != std::string::npos)
    daoThrow(3127, {fromUtf8(msg.c_str() + msg.find(" has no column named ") + 21)});
  if (msg.rfind("sub-select returns ", 0) == 0) daoThrow(3306);
  if (msg == "no tables specified") daoThrow(3067);
  if (msg == "Division by zero") daoThrow(11);
  if (msg.rfind("cannot modify ", 0) == 0 ||                  // a view (a linked table)
      msg.find(" may not be modified") != std::string::npos)  // SQLite's schema table
    daoThrow(3027);
  daoThrow(3000, {std::to_wstring(rc)});
}

// --- the catalog's own definition -------------------------------------------------------------

namespace {

struct CatalogColumn {
  const wchar_t* name;
  short type;
  long size;
};
struct CatalogTable {
  const wchar_t* name;
  std::vector<CatalogColumn> columns;
  const char* primaryKey;
};

const std::vector<CatalogTable>& catalogTables() {
  static const std::vector<CatalogTable> kTables = {
      {L"MSysDb", {{L"Property", dbText, 64}, {L"Value", dbMemo, 0}}, "Property"},
      {L"MSysObjects",
       {{L"Name", dbText, 64},
        {L"Type", dbInteger, 2},
        {L"Attributes", dbLong, 4},
        {L"DateCreate", dbDate, 8},
        {L"DateUpdate", dbDate, 8},
        {L"Connect", dbMemo, 0},
        {L"ForeignName", dbText, 64}},
       "Name"},
      {L"MSysColumns",
       {{L"TableName", dbText, 64},
        {L"Name", dbText, 64},
        {L"Ordinal", dbInteger, 2},
        {L"Type", dbInteger, 2},
        {L"Size", dbLong, 4},
        {L"Attributes", dbLong, 4},
        {L"Required", dbInteger, 2},
        {L"AllowZeroLength", dbInteger, 2},
        {L"DefaultValue", dbMemo, 0},
        {L"CollatingOrder", dbLong, 4},
        {L"ValidationRule", dbMemo, 0},
        {L"ValidationText", dbMemo, 0}},
       "TableName, Name"},
      {L"MSysIndexes",
       {{L"TableName", dbText, 64},
        {L"Name", dbText, 64},
        {L"PhysicalName", dbText, 255},
        {L"Ordinal", dbInteger, 2},
        {L"IsPrimary", dbInteger, 2},
        {L"IsUnique", dbInteger, 2},
        {L"IgnoreNulls", dbInteger, 2},
        {L"IsRequired", dbInteger, 2},
        {L"IsForeign", dbInteger, 2},
        {L"IsClustered", dbInteger, 2}},
       "TableName, Name"},
      {L"MSysIndexColumns",
       {{L"TableName", dbText, 64},
        {L"IndexName", dbText, 64},
        {L"Position", dbInteger, 2},
        {L"ColumnName", dbText, 64},
        {L"Descending", dbInteger, 2}},
       "TableName, IndexName, Position"},
      {L"MSysCounters",
       {{L"TableName", dbText, 64}, {L"ColumnName", dbText, 64}, {L"NextValue", dbLong, 4}},
       "TableName, ColumnName"},
      {L"MSysRelationships",
       {{L"Name", dbText, 64},
        {L"TableName", dbText, 64},
        {L"ForeignTable", dbText, 64},
        {L"Attributes", dbLong, 4}},
       "Name"},
      {L"MSysRelationshipColumns",
       {{L"Name", dbText, 64},
        {L"Position", dbInteger, 2},
        {L"ColumnName", dbText, 64},
        {L"ForeignName", dbText, 64}},
       "Name, Position"},
      {L"MSysQueries",
       {{L"Name", dbText, 64},
        {L"SQL", dbMemo, 0},
        {L"Type", dbInteger, 2},
        {L"DateCreate", dbDate, 8},
        {L"DateUpdate", dbDate, 8}},
       "Name"},
  };
  return kTables;
}

// The open-mode lock file, as Jet keeps "name.ldb" beside "name.mdb".
std::string lockFilePath(const std::string& path) {
  size_t dot = path.rfind('.');
  size_t slash = path.rfind('/');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
    std::string ext = path.substr(dot);
    for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".mdb") return path.substr(0, dot) + ".ldb";
  }
  return path + ".ldb";
}

bool isNetworkFileSystem(const std::string& dir) {
  struct statfs fs {};
  if (statfs(dir.c_str(), &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969:      // NFS
    case 0x517B:      // SMB
    case 0xFF534D42:  // CIFS
    case 0xFE534D42:  // SMB2
    case 0x01021997:  // 9P
    case 0x5346414F:  // AFS
    case 0x73757245:  // Coda
    case 0x564C:      // NCP
      return true;
    default:
      return false;
  }
}

// The file's header says write-ahead logging (bytes 18 and 19, the write and read
// format versions, are 2).
bool headerSaysWal(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  unsigned char header[20] = {};
  ssize_t n = ::pread(fd, header, sizeof header, 0);
  ::close(fd);
  return n == static_cast<ssize_t>(sizeof header) && header[18] == 2 && header[19] == 2;
}

bool nonEmptyFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && st.st_size > 0;
}

}  // namespace

const char* storageType(const storage::Dialect& dialect, short daoType) {
  switch (daoType) {
    case dbSingle:
    case dbDouble:
    case dbDate:
      return dialect.real;
    case dbText:
    case dbMemo:
      return dialect.text;
    case dbCurrency:
      return dialect.currency;
    default:
      return dialect.integer;
  }
}

// Whether this user may change the existing file at `path`: the file has write
// permission bits (a file without them is read-only for everyone, root included, as the
// Windows read-only attribute is), this user may write it as the kernel decides with
// the effective ids (owner, group, ACLs), and the journal's side files (-wal, -shm,
// -journal) can be made in its folder. Anything less opens read-only.
bool userMayWrite(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
  if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return false;
  return faccessat(AT_FDCWD, tabrik::text::parentFolder(path).c_str(), W_OK | X_OK, AT_EACCESS) ==
         0;
}

std::string readOnlyParameters(const std::string& path) {
  // A file left in write-ahead-log mode cannot be read without its shared-memory file,
  // which a folder this user cannot write does not let SQLite make. With no log beside
  // the file, the file alone holds every commit and no writer has it open (a writer
  // keeps its log while open, and could not have made one here without writing the
  // folder), so it is read as an immutable file: no locks and no side files. A log
  // without its shared memory (left by a crash) is not read around: its commits would
  // be missed.
  if (faccessat(AT_FDCWD, text::parentFolder(path).c_str(), W_OK | X_OK, AT_EACCESS) == 0 ||
      !headerSaysWal(path) || ::access((path + "-shm").c_str(), F_OK) == 0)
    return "mode=ro";
  if (nonEmptyFile(path + "-wal")) return "";
  return "mode=ro&immutable=1";
}

std::string sqliteUri(const std::string& nativePath, const std::string& parameters) {
  std::string uri = "file:";
  for (unsigned char c : nativePath) {
    if (std::isalnum(c) || std::strchr("/-_.~", c) || c >= 0x80) {
      uri += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      uri += hex;
    }
  }
  return parameters.empty() ? uri : uri + "?" + parameters;
}

}  // namespace tabrik::dao

using namespace tabrik::dao;

// --- DAODatabase -------------------------------------------------------------------------------

DAODatabase::DAODatabase() = default;
DAODatabase::~DAODatabase() { close(); }

void DAODatabase::open(const std::wstring& given, bool exclusiveMode, bool readOnlyMode,
                       bool create, const std::wstring& locale) {
  name = given;
  if (server::parseConnectString(toUtf8(given))) {
    openServer(toUtf8(given), exclusiveMode, readOnlyMode, create, locale);
    return;
  }
  // Messages show what was given with any password in it masked.
  const std::wstring shown = fromUtf8(server::maskConnectString(toUtf8(given)).c_str());
  // A connect string to another ODBC driver names no database this engine reaches.
  if (upper(given.substr(0, 5)) == L"ODBC;") daoThrow(3151, {shown});
  path = tabrik::text::nativePath(given);
  if (!create) {
    if (std::optional<std::string> pointed = server::readPointerFile(path)) {
      openServer(*pointed, exclusiveMode, readOnlyMode, create, locale);
      return;
    }
  }
  std::string dir = tabrik::text::parentFolder(path);
  struct stat dirStat {};
  bool dirExists = stat(dir.c_str(), &dirStat) == 0 && S_ISDIR(dirStat.st_mode);
  struct stat st {};
  bool exists = !path.empty() && stat(path.c_str(), &st) == 0;

  if (path.empty() || !dirExists) daoThrow(3044, {shown});
  if (create && exists) daoThrow(3204);
  if (create) {
    if (std::optional<std::string> office = server::serverForNewDatabases()) {
      createOnServer(*office, locale);
      return;
    }
  }
  if (!create && !exists) daoThrow(3024, {shown});
  if (!create && S_ISDIR(st.st_mode)) daoThrow(3044, {shown});
  // What this user cannot change opens read-only or not at all: 3051 sends the caller
  // to a read-only open.
  if (!create && !readOnlyMode && !userMayWrite(path)) daoThrow(3051, {shown});

  readOnly = readOnlyMode;
  exclusive = exclusiveMode;
  int flags = (readOnly ? SQLITE_OPEN_READONLY
                        : SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0)) |
              SQLITE_OPEN_URI;  // linked files are attached by URI, read-only
  std::string target = path;
  if (readOnly && !create) {
    std::string parameters = readOnlyParameters(path);
    if (parameters.empty()) daoThrow(3051, {given});
    target = sqliteUri(path, parameters);
  }
  int rc = sqlite3_open_v2(target.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close(db);
    db = nullptr;
    daoThrow(exists ? 3051 : 3044, {given});
  }
  conn = std::make_unique<storage::SqliteConnection>(db, given);
  configureConnection();
  try {
    if (create) {
      chooseJournal();
      beginWrite(3046);
      createCatalog(locale);
      endWrite(true, 3046);
    } else {
      checkFormat();
      checkIntegrity();
      if (!readOnly) {
        chooseJournal();
        // A log left behind (a writer that crashed, a session still open elsewhere) goes
        // into the file as far as no reader needs it, without waiting for anyone.
        if (wal) sqlite3_wal_checkpoint_v2(db, "main", SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
      }
    }
    if (!readOnly) takeOpenLock();
  } catch (...) {
    writeDepth = 0;
    close();
    throw;
  }
  // Linked tables are attached with the catalog, so that the first statement of a new
  // connection finds them. A link that cannot be attached now only fails when used.
  try {
    loadSchemas();
  } catch (CDaoException* e) {
    e->Delete();
  }
}

namespace {

CancelCheck g_cancelCheck = nullptr;

bool startsWithNoCase(const char* text, const char* prefix) {
  return text != nullptr &&
         sqlite3_strnicmp(text, prefix, static_cast<int>(std::strlen(prefix))) == 0;
}

// Tables a caller's statement may not name even to read: SQLite's own (its schema,
// statistics, the pragma and introspection tables), which Jet has no equivalent of.
bool isEngineInternalTable(const char* table) {
  static const char* const kPrefixes[] = {"sqlite_", "pragma_",      "json_each", "json_tree",
                                          "dbstat",  "fts3tokenize", "fts4aux",   "fts5vocab"};
  for (const char* prefix : kPrefixes)
    if (startsWithNoCase(table, prefix)) return true;
  return false;
}

bool isCatalogTable(const char* table) {
  static const std::vector<std::string> kNames = [] {
    std::vector<std::string> names;
    for (const auto& t : catalogTables()) names.push_back(toUtf8(t.name));
    return names;
  }();
  if (table == nullptr) return false;
  for (const std::string& catalog : kNames)
    if (sqlite3_stricmp(table, catalog.c_str()) == 0) return true;
  return false;
}

// The engine's triggers: auto-numbers and relations (see DaoStore.h).
bool isEngineTrigger(const char* name) {
  return startsWithNoCase(name, "MSysAutoNumber_") || startsWithNoCase(name, "MSysRel_");
}

// The first refusal of a statement names its error: SQLite goes on compiling after a
// refusal and may ask again.
int refuse(long code, const char* argument = nullptr) {
  if (t_denial.code == 0) t_denial = Denial{code, argument ? fromUtf8(argument) : std::wstring()};
  return SQLITE_DENY;
}

}  // namespace

void tabrik::dao::setCancelCheck(CancelCheck check) { g_cancelCheck = check; }

void DAODatabase::forgetRefusal() { t_denial = Denial{}; }

// The authorizer, consulted by SQLite while it compiles a statement (and the triggers
// it fires). Outside a caller's statement everything is the engine's own and is
// allowed. Inside one, a caller gets Jet's reach and no more:
//
//   action                           caller's statement        error
//   SELECT, READ of its tables       allowed
//   READ of SQLite's own tables      refused                   3078 (no such table)
//   INSERT/UPDATE/DELETE             allowed, but not on the   3027 (read-only)
//                                    MSys catalog, SQLite's or
//                                    the engine's temporary ones
//   FUNCTION                         Jet's functions only      3085 (undefined function)
//   anything else: PRAGMA, ATTACH,   refused                   3129 (invalid statement)
//   DETACH, transactions, savepoints,
//   schema changes, ANALYZE, REINDEX,
//   virtual tables, recursive WITH
//
// The engine's own triggers (auto-numbers, relations) do what
// they were made to do whoever fires them. Jet's DDL reaches SQLite through the
// engine's table definitions, outside any caller's statement.
int DAODatabase::authorize(void* self, int action, const char* a, const char* b, const char* schema,
                           const char* inner) {
  const auto* d = static_cast<const DAODatabase*>(self);
  if (!d->inCallerSql()) return SQLITE_OK;
  if (isEngineTrigger(inner)) return SQLITE_OK;
  switch (action) {
    case SQLITE_SELECT:
      return SQLITE_OK;
    case SQLITE_READ:
      return isEngineInternalTable(a) ? refuse(3078, a) : SQLITE_OK;
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
      // A caller makes no temporary tables: those there are the copies of linked tables.
      return isCatalogTable(a) || isEngineInternalTable(a) ||
                     (schema != nullptr && std::strcmp(schema, "temp") == 0)
                 ? refuse(3027)
                 : SQLITE_OK;
    case SQLITE_FUNCTION:
      return jetsql::isJetFunction(b) ? SQLITE_OK : refuse(3085, b);
    default:
      return refuse(3129);
  }
}

int DAODatabase::progress(void* self) {
  const auto* d = static_cast<const DAODatabase*>(self);
  CancelCheck check = g_cancelCheck;
  return d->inCallerSql() && check != nullptr && check() ? 1 : 0;
}

void DAODatabase::configureConnection() {
  sqlite3_extended_result_codes(db, 1);
  // Ordinary SQL may not damage the file (writable_schema, journal_mode=OFF, writes
  // to shadow tables), load code, or reach the FTS3 tokenizer's function pointers;
  // functions run from the schema must be harmless ones.
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_FTS3_TOKENIZER, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_set_authorizer(db, &DAODatabase::authorize, this);
  sqlite3_progress_handler(db, kCancelPollSteps, &DAODatabase::progress, this);
  registerJetCollation(db);
  jetsql::registerJetFunctions(db);
  sqlite3_busy_timeout(db, 200);
}

void DAODatabase::checkIntegrity() {
  // A damaged file must fail the open (3343), so that the caller's repair runs, not
  // later statements one by one. quick_check reads every page of a file up to
  // kWholeFileCheck bytes; a larger one is checked in its catalog tables, so that
  // opening a big shared database does not read all of it.
  constexpr off_t kWholeFileCheck = 64 * 1024 * 1024;
  struct stat st {};
  std::vector<std::string> checks;
  if (stat(path.c_str(), &st) == 0 && st.st_size <= kWholeFileCheck) {
    checks.emplace_back("PRAGMA quick_check");
  } else {
    for (const auto& t : catalogTables())
      checks.push_back("PRAGMA quick_check(" + quoteId(t.name) + ")");
  }
  for (const std::string& sql : checks) {
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr);
    if (rc != SQLITE_OK) {
      sqlite3_finalize(raw);
      throwSqlite(db, rc, 3051, name);
    }
    Statement s = adoptSqlite(db, raw);
    if (!s.step(3051) || s.columnText(0) != L"ok") daoThrow(3343, {name});
  }
}

void DAODatabase::checkFormat() {
  sqlite3_stmt* raw = nullptr;
  int rc = sqlite3_prepare_v2(db, "SELECT Value FROM MSysDb WHERE Property = 'Version'", -1, &raw,
                              nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(raw);
    int primary = rc & 0xFF;
    if (primary == SQLITE_ERROR) daoThrow(3343, {name});  // an SQLite file without DAO's catalog
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) daoThrow(3051, {name});
    throwSqlite(db, rc, 3051, name);
  }
  Statement s = adoptSqlite(db, raw);
  if (!s.step(3051)) daoThrow(3343, {name});
}

void DAODatabase::chooseJournal() {
  // Every Update is its own transaction. Write-ahead logging with synchronous=NORMAL
  // commits without waiting for the disk and still keeps every committed record
  // through a crash of the process; it needs shared memory between the processes,
  // which network file systems do not give, so there the rollback journal is used.
  std::string dir = tabrik::text::parentFolder(path);
  bool network = isNetworkFileSystem(dir);
  // Test hook: TABRIK_DAO_JOURNAL=rollback (or wal) forces the choice, so that the
  // network file system's mode can be exercised on a local disk.
  if (const char* forced = std::getenv("TABRIK_DAO_JOURNAL")) {
    if (std::strcmp(forced, "rollback") == 0) network = true;
    if (std::strcmp(forced, "wal") == 0) network = false;
  }
  sqlite3_exec(db, network ? "PRAGMA journal_mode=DELETE" : "PRAGMA journal_mode=WAL", nullptr,
               nullptr, nullptr);
  sqlite3_exec(db, network ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=NORMAL", nullptr,
               nullptr, nullptr);
  // The log is copied into the file whenever it holds this many pages after a commit,
  // so a file copied while a session writes misses at most the last few commits.
  sqlite3_exec(db, ("PRAGMA wal_autocheckpoint=" + std::to_string(kAutoCheckpointPages)).c_str(),
               nullptr, nullptr, nullptr);
  Statement mode = prepare("PRAGMA journal_mode");
  wal = mode.step() && upper(mode.columnText(0)) == L"WAL";
}

void DAODatabase::takeOpenLock() {
  // Byte 0 of the lock file: every read-write user holds a shared lock on it, an
  // exclusive user a write lock. So an exclusive open fails while anyone writes, and a
  // read-write open fails while someone holds the database exclusively; read-only
  // users take nothing and are never kept out. Open-file-description locks belong to
  // this descriptor only, so nothing else in the process can drop them.
  //
  // The last user to leave deletes the file, as Jet deletes its .ldb; a user who
  // locked a file that was deleted meanwhile sees that the path no longer names it
  // and starts again with the new one.
  m_lockPath = lockFilePath(path);
  for (int attempt = 0; attempt < 100; ++attempt) {
    m_lockFd = ::open(m_lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_lockFd < 0) return;  // no lock file (folder not writable): no open-mode exclusion
    struct flock fl {};
    fl.l_type = exclusive ? F_WRLCK : F_RDLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 1;
    if (fcntl(m_lockFd, F_OFD_SETLK, &fl) != 0) {
      int err = errno;
      ::close(m_lockFd);
      m_lockFd = -1;
      if (err == EAGAIN || err == EACCES) daoThrow(exclusive ? 3045 : 3051, {name});
      return;  // locks not supported here: no open-mode exclusion
    }
    struct stat held {
    }, named{};
    if (fstat(m_lockFd, &held) == 0 && stat(m_lockPath.c_str(), &named) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino)
      return;
    ::close(m_lockFd);  // the file was deleted under us
    m_lockFd = -1;
  }
}

void DAODatabase::releaseOpenLock() {
  if (m_lockFd < 0) return;
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = 0;
  fl.l_len = 1;
  if (fcntl(m_lockFd, F_OFD_SETLK, &fl) == 0) ::unlink(m_lockPath.c_str());  // nobody else is in
  ::close(m_lockFd);
  m_lockFd = -1;
}

bool DAODatabase::checkpoint() {
  if (db == nullptr || readOnly || !wal || writeDepth > 0) return false;
  int rc = sqlite3_wal_checkpoint_v2(db, "main", SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
  if (rc != SQLITE_OK) return false;
  m_checkpointedWrites = writeCount;
  return true;
}

bool DAODatabase::checkpointIfWritten() {
  return writeCount != m_checkpointedWrites && checkpoint();
}

void DAODatabase::close() {
  m_linkCopies.clear();
  m_statements.clear();
  m_jetStatements.reset();
  m_serverNames.reset();
  if (!db && conn) {  // a server database
    if (writeDepth > 0) conn->rollbackQuietly();
    conn.reset();
  }
  if (db) {
    if (writeDepth > 0 && conn) conn->rollbackQuietly();
    writeDepth = 0;
    // The file left behind holds every commit, whoever else still has it open.
    checkpoint();
    conn.reset();  // its statements die before the handle
    sqlite3_close(db);
    db = nullptr;
  }
  writeDepth = 0;
  editLocks.clear();
  m_schemas.clear();
  m_schemaVersion = -1;
  releaseOpenLock();
}

void DAODatabase::createCatalog(const std::wstring& locale) {
  const storage::Dialect& dialect = conn->dialect();
  auto catalogName = [&](const wchar_t* n) {
    return dialect.quotesCatalog ? quoteId(n) : toUtf8(n);
  };
  for (const auto& t : catalogTables()) {
    std::string ddl = "CREATE TABLE " + catalogName(t.name) + " (";
    for (size_t i = 0; i < t.columns.size(); ++i) {
      ddl += (i ? ", " : "") + catalogName(t.columns[i].name) + " " +
             storageType(dialect, t.columns[i].type);
      if (t.columns[i].type == dbText || t.columns[i].type == dbMemo) ddl += dialect.catalogText;
    }
    ddl += std::string(", PRIMARY KEY (") + t.primaryKey + "))";
    exec(ddl);
  }
  double now = COleDateTime::GetCurrentTime().m_dt;
  for (const auto& t : catalogTables()) {
    TableSchema s;
    s.name = t.name;
    s.attributes = static_cast<long>(dbSystemObject);
    s.created = s.updated = now;
    catalogAddTable(s);
    int ordinal = 0;
    for (const auto& c : t.columns) {
      FieldDef f;
      f.name = c.name;
      f.type = c.type;
      f.size = c.size;
      f.attributes = c.type == dbText || c.type == dbMemo ? dbVariableField : dbFixedField;
      catalogAddField(t.name, f, ordinal++);
    }
  }
  const std::pair<const wchar_t*, std::wstring> props[] = {
      {L"Version", L"4.0"}, {L"Locale", locale}, {L"CollatingOrder", L"1033"}};
  for (const auto& p : props) {
    Statement s = prepare("INSERT INTO MSysDb (Property, Value) VALUES (?, ?)");
    s.bindText(1, p.first);
    s.bindText(2, p.second);
    s.step(3046);
  }
}

Statement DAODatabase::prepare(const std::string& sql) {
  auto it = m_statements.find(sql);
  if (it != m_statements.end() && !it->second->busy()) return Statement(it->second.get());
  std::unique_ptr<storage::Cursor> fresh = conn->prepare(sql);
  if (it != m_statements.end()) return Statement(std::move(fresh));  // the cached one is in use
  storage::Cursor* cached = fresh.get();
  m_statements.emplace(sql, std::move(fresh));
  return Statement(cached);
}

namespace {

// Whether a statement changes the schema (CREATE, ALTER, DROP).
bool changesSchema(const std::string& sql) {
  size_t i = sql.find_first_not_of(" \t\r\n");
  if (i == std::string::npos) return false;
  for (const char* verb : {"CREATE", "ALTER", "DROP"}) {
    size_t n = std::strlen(verb);
    if (sql.size() - i >= n && strncasecmp(sql.c_str() + i, verb, n) == 0) return true;
  }
  return false;
}

}  // namespace

void DAODatabase::exec(const std::string& sql, long busyCode) {
  if (db) {
    char* err = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK) throwSqlite(db, rc, busyCode, name);
    return;
  }
  // A server keeps no schema cookie: every schema change of the engine's comes here
  // and moves the catalog's version in the same transaction, so that another session
  // reloads the catalog exactly when the change is committed.
  conn->exec(sql, busyCode);
  if (changesSchema(sql) && !m_creatingCatalog)
    conn->exec("UPDATE msysschema SET version = version + 1", busyCode);
}

void DAODatabase::execQuietly(const std::string& sql) {
  if (db) {
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    return;
  }
  try {
    conn->exec(sql, 3218);
  } catch (CDaoException* e) {
    e->Delete();
  }
}

void DAODatabase::lockRecord(const std::wstring& table, long long rowid) {
  if (db) return;
  Statement s = prepare("SELECT 1 FROM " + quoteId(table) + " WHERE rowid = ? FOR UPDATE NOWAIT");
  s.bindInt(1, rowid);
  s.step(3218);
}

long long DAODatabase::schemaVersion() {
  Statement v = prepare(db ? "PRAGMA schema_version" : "SELECT version FROM msysschema");
  return v.step(3218) ? v.columnInt(0) : -1;
}

void DAODatabase::openServer(const std::string& connect, bool exclusiveMode, bool readOnlyMode,
                             bool create, const std::wstring& locale) {
  std::optional<server::ServerAddress> address = server::parseConnectString(connect);
  if (!address) daoThrow(3151, {name});
  // Messages name the server's database, never the password.
  std::wstring display = fromUtf8(address->database.c_str());
  if (!address->host.empty()) display += L" on " + fromUtf8(address->host.c_str());
  auto pg = std::make_unique<storage::PgConnection>(server::libpqConnInfo(*address), display);
  // The open modes keep each other out as on a file: read-only sessions take none.
  if (!readOnlyMode && !pg->holdOpenMode(exclusiveMode))
    daoThrow(exclusiveMode ? 3045 : 3051,
             {fromUtf8(server::maskConnectString(toUtf8(name)).c_str())});
  // Only a caller's statement stops at the user's Escape, as on a file.
  pg->setInterruptCheck([this] {
    CancelCheck check = g_cancelCheck;
    return inCallerSql() && check != nullptr && check();
  });
  conn = std::move(pg);
  readOnly = readOnlyMode;
  exclusive = exclusiveMode;
  try {
    bool hasCatalog = false;
    {
      Statement s = prepare("SELECT to_regclass('msysobjects') IS NOT NULL");
      hasCatalog = s.step() && s.columnText(0) == L"t";
    }
    if (create && hasCatalog) daoThrow(3204);
    // An administrator makes the server database; the first session that may write
    // makes the catalog in it.
    if (!hasCatalog && readOnly) daoThrow(3343, {display});
    if (!hasCatalog) {
      beginWrite(3046);
      m_creatingCatalog = true;
      // Jet's text order: case does not count, accents do.
      exec(
          "CREATE COLLATION IF NOT EXISTS jettext (provider = icu, deterministic = false, "
          "locale = 'und-u-ks-level2')",
          3046);
      exec("CREATE TABLE msysschema (version BIGINT NOT NULL)", 3046);
      exec("INSERT INTO msysschema VALUES (1)", 3046);
      createCatalog(locale);
      m_creatingCatalog = false;
      endWrite(true, 3046);
    }
    // The functions a caller's SQL calls, made or brought up to date by a session that
    // may write.
    jetsql::installServerFunctions(*conn, !readOnly);
    if (readOnly) conn->exec("SET default_transaction_read_only = on", 3051);
  } catch (...) {
    m_creatingCatalog = false;
    writeDepth = 0;
    close();
    throw;
  }
  loadSchemas();
}

void DAODatabase::createOnServer(const std::string& office, const std::wstring& locale) {
  std::string connect = server::createServerDatabase(office, path);
  try {
    // The pointer file is made only where none stands, so a file another session
    // created meanwhile is never overwritten.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) daoThrow(errno == EEXIST ? 3204 : 3044, {name});
    std::string text =
        "# This database is kept on a server; this file names it.\n" + connect + "\n";
    bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    if (!written) {
      ::unlink(path.c_str());
      daoThrow(3044, {name});
    }
    try {
      openServer(connect, false, false, /*create=*/true, locale);
    } catch (...) {
      ::unlink(path.c_str());
      throw;
    }
  } catch (...) {
    server::dropServerDatabase(office, connect);
    throw;
  }
}

void DAODatabase::run(const std::string& sql, long busyCode) {
  Statement s = prepare(sql);
  while (s.step(busyCode)) {
  }
}

void DAODatabase::beginWrite(long busyCode) {
  if (readOnly) daoThrow(3027);
  if (writeDepth == 0) conn->beginWrite(busyCode);
  ++writeDepth;
  ++writeCount;
}

long DAODatabase::finishCallerAction(Statement& s) {
  try {
    CallerSql caller(*this);
    while (s.step()) {
    }
  } catch (...) {
    syncWriteDepth();
    endWrite(false);
    throw;
  }
  recordsAffected = static_cast<long>(conn->changes());
  endWrite(true);
  return recordsAffected;
}

void DAODatabase::endWrite(bool commit, long busyCode) {
  if (writeDepth == 0) return;
  if (--writeDepth > 0) return;
  if (!commit) {
    conn->rollbackQuietly();
    forgetLinkCopies();
    return;
  }
  try {
    conn->commit(busyCode);
  } catch (...) {
    conn->rollbackQuietly();
    throw;
  }
}

namespace {
// The key of the server lock that one session holds, to the end of its write
// transaction, while it gives a field's next auto-number: two sessions appending at
// once would otherwise both read the same highest number.
std::string counterLockKey(const std::wstring& table, const std::wstring& field) {
  return "tabrik.autonumber." + toUtf8(upper(table)) + "." + toUtf8(upper(field));
}

// A text as an SQL string literal, for the engine's own trigger definitions.
std::string literal(const std::wstring& text) {
  std::string out = "'";
  for (char c : toUtf8(text)) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}
}  // namespace

long long DAODatabase::takeCounter(const TableSchema& table, const FieldDef& field) {
  long long next = 1;
  if (!db) {
    Statement lock = prepare("SELECT pg_advisory_xact_lock(hashtext(?))");
    lock.bindText(1, fromUtf8(counterLockKey(table.name, field.name).c_str()));
    lock.step();
  }
  {
    Statement s =
        prepare("SELECT NextValue FROM MSysCounters WHERE TableName = ? AND ColumnName = ?");
    s.bindText(1, table.name);
    s.bindText(2, field.name);
    if (s.step() && !s.columnIsNull(0)) next = s.columnInt(0);
  }
  bool indexed = false;
  for (const auto& ix : table.indexes)
    if (!ix.fields.empty() && upper(ix.fields[0].name) == upper(field.name)) indexed = true;
  {
    Statement s = prepare("SELECT max(" + quoteId(field.name) + ") FROM " + quoteId(table.name));
    if (s.step() && !s.columnIsNull(0)) next = std::max(next, s.columnInt(0) + 1);
  }
  if (!indexed) {
    Statement u = prepare(
        db ? "INSERT OR REPLACE INTO MSysCounters (TableName, ColumnName, NextValue) VALUES (?, ?, "
             "?)"
           : "INSERT INTO MSysCounters (TableName, ColumnName, NextValue) VALUES (?, ?, ?) ON "
             "CONFLICT (TableName, ColumnName) DO UPDATE SET NextValue = excluded.NextValue");
    u.bindText(1, table.name);
    u.bindText(2, field.name);
    u.bindInt(3, next + 1);
    u.step();
  }
  return next;
}

void DAODatabase::installCounterTriggers(const TableSchema& table) {
  if (!db) {
    installServerCounterTriggers(table);
    return;
  }
  std::vector<std::string> old;
  {
    Statement s = prepare(
        "SELECT name FROM sqlite_master WHERE type = 'trigger' AND tbl_name = ? COLLATE NOCASE AND "
        "name LIKE "
        "'MSysAutoNumber%'");
    s.bindText(1, table.name);
    while (s.step()) old.push_back(toUtf8(s.columnText(0)));
  }
  for (const auto& name : old) exec("DROP TRIGGER " + quoteId(fromUtf8(name.c_str())));
  int n = 0;
  for (const auto& f : table.fields) {
    if (!f.isAutoIncrement()) continue;
    std::wstring trigger = L"MSysAutoNumber_" + table.name + L"_" + std::to_wstring(n++);
    std::string key = literal(table.name) + ", " + literal(f.name);
    exec(
        "CREATE TRIGGER " + quoteId(trigger) + " AFTER DELETE ON " + quoteId(table.name) +
        " WHEN OLD." + quoteId(f.name) +
        " IS NOT NULL BEGIN INSERT OR REPLACE INTO MSysCounters (TableName, ColumnName, NextValue) "
        "VALUES (" +
        key + ", max(coalesce((SELECT NextValue FROM MSysCounters WHERE TableName = " +
        literal(table.name) + " AND ColumnName = " + literal(f.name) + "), 1), OLD." +
        quoteId(f.name) + " + 1)); END");
    // A record appended by SQL without the field takes the next number, as Jet gives it.
    std::string next = "max(coalesce((SELECT NextValue FROM MSysCounters WHERE TableName = " +
                       literal(table.name) + " AND ColumnName = " + literal(f.name) +
                       "), 1), coalesce((SELECT max(" + quoteId(f.name) + ") FROM " +
                       quoteId(table.name) + "), 0) + 1)";
    exec("CREATE TRIGGER " + quoteId(trigger + L"_ins") + " AFTER INSERT ON " +
         quoteId(table.name) + " WHEN NEW." + quoteId(f.name) + " IS NULL BEGIN UPDATE " +
         quoteId(table.name) + " SET " + quoteId(f.name) + " = " + next +
         " WHERE rowid = NEW.rowid; END");
  }
}

void DAODatabase::installServerCounterTriggers(const TableSchema& table) {
  // One function per auto-number field serves both of its triggers: after a delete it
  // raises NextValue past the deleted number; before an insert without the field it
  // gives the next number.
  server::dropCounterTriggers(*this, table.name);
  int n = 0;
  for (const auto& f : table.fields) {
    if (!f.isAutoIncrement()) continue;
    std::wstring trigger = server::counterFunctionName(table.name, n++);
    std::string field = quoteId(f.name);
    std::string key = "tablename = " + literal(table.name) + " AND columnname = " + literal(f.name);
    exec("CREATE OR REPLACE FUNCTION " + quoteId(trigger) +
         "() RETURNS trigger LANGUAGE plpgsql AS $f$ BEGIN IF TG_OP = 'DELETE' THEN INSERT INTO "
         "msyscounters (tablename, columnname, nextvalue) VALUES (" +
         literal(table.name) + ", " + literal(f.name) + ", OLD." + field +
         " + 1) ON CONFLICT (tablename, columnname) DO UPDATE SET nextvalue = "
         "greatest(msyscounters.nextvalue, excluded.nextvalue); RETURN NULL; END IF; "
         "PERFORM pg_advisory_xact_lock(hashtext(" +
         literal(fromUtf8(counterLockKey(table.name, f.name).c_str())) + ")); NEW." + field +
         " := greatest(coalesce((SELECT nextvalue FROM msyscounters WHERE " + key +
         "), 1), coalesce((SELECT max(" + field + ") FROM " + quoteId(table.name) +
         "), 0) + 1); RETURN NEW; END $f$");
    exec("CREATE TRIGGER " + quoteId(trigger) + " AFTER DELETE ON " + quoteId(table.name) +
         " FOR EACH ROW WHEN (OLD." + field + " IS NOT NULL) EXECUTE FUNCTION " + quoteId(trigger) +
         "()");
    exec("CREATE TRIGGER " + quoteId(trigger + L"_ins") + " BEFORE INSERT ON " +
         quoteId(table.name) + " FOR EACH ROW WHEN (NEW." + field + " IS NULL) EXECUTE FUNCTION " +
         quoteId(trigger) + "()");
  }
}

void DAODatabase::catalogAddTable(const TableSchema& t) {
  Statement s = prepare(
      "INSERT INTO MSysObjects (Name, Type, Attributes, DateCreate, DateUpdate, Connect, "
      "ForeignName) "
      "VALUES (?, 1, ?, ?, ?, ?, ?)");
  s.bindText(1, t.name);
  s.bindInt(2, t.attributes);
  s.bind(3, Value::ofReal(t.created));
  s.bind(4, Value::ofReal(t.updated));
  s.bindText(5, t.connect);
  s.bindText(6, t.sourceTable);
  s.step();
}

void DAODatabase::catalogAddField(const std::wstring& table, const FieldDef& f, int ordinal) {
  Statement s = prepare(
      "INSERT INTO MSysColumns (TableName, Name, Ordinal, Type, Size, Attributes, Required, "
      "AllowZeroLength, "
      "DefaultValue, CollatingOrder, ValidationRule, ValidationText) VALUES (?, ?, ?, ?, ?, ?, ?, "
      "?, ?, ?, ?, ?)");
  s.bindText(1, table);
  s.bindText(2, f.name);
  s.bindInt(3, ordinal);
  s.bindInt(4, f.type);
  s.bindInt(5, f.size);
  s.bindInt(6, f.attributes);
  s.bindInt(7, f.required);
  s.bindInt(8, f.allowZeroLength);
  s.bindText(9, f.defaultValue);
  s.bindInt(10, f.collatingOrder);
  s.bindText(11, f.validationRule);
  s.bindText(12, f.validationText);
  s.step();
}

void DAODatabase::catalogAddIndex(const std::wstring& table, const IndexDef& ix, int ordinal) {
  Statement s = prepare(
      "INSERT INTO MSysIndexes (TableName, Name, PhysicalName, Ordinal, IsPrimary, IsUnique, "
      "IgnoreNulls, "
      "IsRequired, IsForeign, IsClustered) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  s.bindText(1, table);
  s.bindText(2, ix.name);
  s.bindText(3, fromUtf8(ix.physical.c_str()));
  s.bindInt(4, ordinal);
  s.bindInt(5, ix.primary);
  s.bindInt(6, ix.unique);
  s.bindInt(7, ix.ignoreNulls);
  s.bindInt(8, ix.required);
  s.bindInt(9, ix.foreign);
  s.bindInt(10, ix.clustered);
  s.step();
  for (size_t i = 0; i < ix.fields.size(); ++i) {
    Statement c = prepare(
        "INSERT INTO MSysIndexColumns (TableName, IndexName, Position, ColumnName, Descending) "
        "VALUES (?, ?, ?, ?, ?)");
    c.bindText(1, table);
    c.bindText(2, ix.name);
    c.bindInt(3, static_cast<long long>(i));
    c.bindText(4, ix.fields[i].name);
    c.bindInt(5, ix.fields[i].descending);
    c.step();
  }
}

bool DAODatabase::hasEngineTable(const char* name) {
  if (!db) {
    // A catalog table's name is bare on a server, so folded to lower case.
    Statement s = prepare("SELECT to_regclass(lower(?)) IS NOT NULL");
    s.bindText(1, fromUtf8(name));
    return s.step() && s.columnText(0) == L"t";
  }
  Statement s = prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
  s.bindText(1, fromUtf8(name));
  return s.step();
}

void DAODatabase::schemaChanged() {
  m_schemaVersion = -1;
  dropQueryViews();
  forgetLinkCopies();  // a rollback to a savepoint may have taken them
}

jetsql::StatementCache& DAODatabase::jetStatements() {
  if (!m_jetStatements)
    m_jetStatements = std::make_unique<jetsql::StatementCache>(
        jetsql::StatementCache::kDefaultCapacity,
        db ? jetsql::Target::Sqlite : jetsql::Target::Postgres);
  return *m_jetStatements;
}

void DAODatabase::requireSqlSupport() const {
  if (!db) daoThrow(3251);
}

std::shared_ptr<const jetsql::Translation> DAODatabase::translateJet(const std::string& jet) {
  // The file's schema version (SQLite's schema cookie, which creating, deleting,
  // renaming and linking tables all move, in this process or another), read now.
  long long version = schemaVersion();
  refreshLinkCopies();
  if (db) return jetStatements().translation(jet, version);
  // A server's names keep their case: the translation spells each as its table or
  // field does, from the catalog of this schema version.
  if (!m_serverNames || m_serverNamesVersion != version || version < 0) {
    auto names = std::make_unique<jetsql::ServerNames>();
    // The catalog's tables and columns are bare names on a server (folded to lower
    // case); a user's field spelled like a catalog column keeps its own spelling.
    auto lower = [](const std::wstring& n) {
      std::string out = toUtf8(n);
      for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      return out;
    };
    std::vector<std::wstring> catalog;
    for (const std::wstring& t : tableNames()) {
      const TableSchema& ts = schema(t);
      if (ts.attributes & dbSystemObject) {
        catalog.push_back(t);
        continue;
      }
      names->spelling.emplace(toUtf8(upper(t)), toUtf8(t));
      std::vector<std::string>& fields = names->fields[toUtf8(upper(t))];
      for (const FieldDef& f : ts.fields) {
        names->spelling.emplace(toUtf8(upper(f.name)), toUtf8(f.name));
        fields.push_back(toUtf8(f.name));
      }
    }
    for (const std::wstring& t : catalog) {
      names->readOnlyTables.insert(toUtf8(upper(t)));
      names->spelling.emplace(toUtf8(upper(t)), lower(t));
      std::vector<std::string>& fields = names->fields[toUtf8(upper(t))];
      for (const FieldDef& f : schema(t).fields) {
        names->catalogColumns.emplace(toUtf8(upper(f.name)), toUtf8(f.name));
        names->spelling.emplace(toUtf8(upper(f.name)), lower(f.name));
        fields.push_back(lower(f.name));
      }
    }
    // Stored select queries read as tables (their changes move the version too).
    if (hasEngineTable("MSysQueries")) {
      Statement q =
          prepare("SELECT name, sql FROM msysqueries WHERE type = " + std::to_string(dbQSelect));
      while (q.step()) {
        std::string sql = toUtf8(q.columnText(1));
        std::size_t first = sql.find_first_not_of(" \t\r\n");
        if (first != std::string::npos &&
            jetsql::serverNameKey(sql.substr(first, 10)) == "PARAMETERS")
          continue;  // asks for values: no rows of its own to read
        names->queries.emplace(toUtf8(upper(q.columnText(0))),
                               std::make_pair(toUtf8(q.columnText(0)), std::move(sql)));
      }
    }
    names->storedQuery = [this](const std::string& name) { return isStoredQuery(name); };
    m_serverNames = std::move(names);
    m_serverNamesVersion = version;
  }
  return jetStatements().translation(jet, version, m_serverNames.get());
}

DAODatabase::ChangeStamp DAODatabase::changeStamp() {
  ChangeStamp stamp;
  if (!db) {
    // A server signals others' commits (PgStore.h); where it cannot tell now, every
    // stamp differs, so that nothing read before is taken as current.
    long long signalled = conn ? conn->commitsSignalled() : -1;
    if (signalled >= 0) {
      stamp.dataVersion = signalled;
    } else {
      stamp.change = static_cast<std::uint32_t>(++m_serverStamps);
    }
    return stamp;
  }
  if (wal) {
    // The WAL index header (SQLite's documented wal-index format): u32 words 2, 4 and
    // 8 of the first copy are the commit counter, the last valid frame and the first
    // salt. Every commit changes the counter; a restarted log changes the salt.
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) == SQLITE_OK && file &&
        file->pMethods && file->pMethods->iVersion >= 2 && file->pMethods->xShmMap) {
      volatile void* region = nullptr;
      if (file->pMethods->xShmMap(file, 0, 32768, 0, &region) == SQLITE_OK && region) {
        file->pMethods->xShmBarrier(file);
        const volatile std::uint32_t* header = static_cast<const volatile std::uint32_t*>(region);
        stamp.change = header[2];
        stamp.lastFrame = header[4];
        stamp.salt = header[8];
        return stamp;
      }
    }
  }
  Statement s = prepare("PRAGMA data_version");
  if (s.step()) stamp.dataVersion = s.columnInt(0);
  return stamp;
}

void DAODatabase::loadSchemas() {
  long long version = schemaVersion();
  if (version == m_schemaVersion) return;
  m_schemas.clear();
  {
    Statement s = prepare(
        "SELECT Name, Attributes, DateCreate, DateUpdate, Connect, ForeignName FROM MSysObjects "
        "WHERE Type = 1");
    while (s.step()) {
      TableSchema t;
      t.name = s.columnText(0);
      t.attributes = static_cast<long>(s.columnInt(1));
      t.created = s.columnReal(2);
      t.updated = s.columnReal(3);
      t.connect = s.columnText(4);
      t.sourceTable = s.columnText(5);
      m_schemas[upper(t.name)] = std::move(t);
    }
  }
  bool linksDone = syncLinks();
  {
    Statement s = prepare(
        "SELECT TableName, Name, Type, Size, Attributes, Required, AllowZeroLength, DefaultValue, "
        "CollatingOrder, "
        "ValidationRule, ValidationText FROM MSysColumns ORDER BY TableName, Ordinal");
    while (s.step()) {
      auto it = m_schemas.find(upper(s.columnText(0)));
      if (it == m_schemas.end()) continue;  // defensive: a column row without its table
      FieldDef f;
      f.name = s.columnText(1);
      f.type = static_cast<short>(s.columnInt(2));
      f.size = static_cast<long>(s.columnInt(3));
      f.attributes = static_cast<long>(s.columnInt(4));
      f.required = s.columnInt(5) != 0;
      f.allowZeroLength = s.columnInt(6) != 0;
      f.defaultValue = s.columnText(7);
      f.collatingOrder = static_cast<long>(s.columnInt(8));
      f.validationRule = s.columnText(9);
      f.validationText = s.columnText(10);
      it->second.fields.push_back(std::move(f));
    }
  }
  {
    Statement s = prepare(
        "SELECT TableName, Name, PhysicalName, IsPrimary, IsUnique, IgnoreNulls, IsRequired, "
        "IsForeign, IsClustered "
        "FROM MSysIndexes ORDER BY TableName, Ordinal");
    while (s.step()) {
      auto it = m_schemas.find(upper(s.columnText(0)));
      if (it == m_schemas.end()) continue;
      IndexDef ix;
      ix.name = s.columnText(1);
      ix.physical = toUtf8(s.columnText(2));
      ix.primary = s.columnInt(3) != 0;
      ix.unique = s.columnInt(4) != 0;
      ix.ignoreNulls = s.columnInt(5) != 0;
      ix.required = s.columnInt(6) != 0;
      ix.foreign = s.columnInt(7) != 0;
      ix.clustered = s.columnInt(8) != 0;
      it->second.indexes.push_back(std::move(ix));
    }
  }
  {
    Statement s = prepare(
        "SELECT TableName, IndexName, ColumnName, Descending FROM MSysIndexColumns ORDER BY "
        "TableName, IndexName, "
        "Position");
    while (s.step()) {
      auto it = m_schemas.find(upper(s.columnText(0)));
      if (it == m_schemas.end()) continue;
      int ix = it->second.findIndex(s.columnText(1));
      if (ix < 0) continue;
      it->second.indexes[static_cast<size_t>(ix)].fields.push_back(
          {s.columnText(2), s.columnInt(3) != 0});
    }
  }
  m_schemaVersion = linksDone ? version : -1;
}

const TableSchema& DAODatabase::schema(const std::wstring& table) {
  loadSchemas();
  auto it = m_schemas.find(upper(table));
  if (it == m_schemas.end()) daoThrow(3078, {table});
  return it->second;
}

bool DAODatabase::hasTable(const std::wstring& table) {
  loadSchemas();
  return m_schemas.count(upper(table)) != 0;
}

std::vector<std::wstring> DAODatabase::tableNames() {
  loadSchemas();
  std::vector<std::wstring> names;
  for (const auto& [key, t] : m_schemas) names.push_back(t.name);
  return names;
}
