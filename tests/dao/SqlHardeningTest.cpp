// A caller's SQL reaches only what Jet offers: statements Jet has no syntax for are
// refused with DAO's errors and leave the file whole for every connection; the
// authorizer under the translator stops what slips past it; a long statement stops
// when the host cancels it and leaves the data as it was; SQLite's failures arrive
// as DAO's numbers and texts; a damaged file fails the open.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "DaoErrors.h"
#include "tabrik/DaoHost.h"
#include "DaoStore.h"
#include "DaoTestSupport.h"

using namespace daotest;

namespace {

// A database with a table Parts (ID auto-number, Name text, Qty long) of three rows.
void makeParts(CDaoDatabase& db) {
  makeTable(db, L"Parts",
            {{L"ID", dbLong, 4, dbAutoIncrField}, {L"Name", dbText, 50}, {L"Qty", dbLong, 4}},
            {{L"PrimaryKey", {{L"ID", false}}, true, true}});
  db.Execute(L"INSERT INTO Parts (Name, Qty) VALUES ('bolt', 10)");
  db.Execute(L"INSERT INTO Parts (Name, Qty) VALUES ('nut', 20)");
  db.Execute(L"INSERT INTO Parts (Name, Qty) VALUES ('washer', 30)");
}

// What a raw SQLite connection sees of the file: integrity, schema, rows, journal.
struct FileState {
  std::string integrity;
  std::string schema;  // every sqlite_master row
  std::string rows;    // every Parts row
  std::string journal;
};

std::string oneColumn(sqlite3* raw, const char* sql) {
  sqlite3_stmt* stmt = nullptr;
  std::string out;
  if (sqlite3_prepare_v2(raw, sql, -1, &stmt, nullptr) != SQLITE_OK) return "<error>";
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
      const unsigned char* t = sqlite3_column_text(stmt, i);
      out += t ? reinterpret_cast<const char*>(t) : "NULL";
      out += '|';
    }
    out += ';';
  }
  sqlite3_finalize(stmt);
  return out;
}

FileState fileState(const std::string& path) {
  sqlite3* raw = nullptr;
  sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  FileState s{oneColumn(raw, "PRAGMA integrity_check"),
              oneColumn(raw, "SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY name"),
              oneColumn(raw, "SELECT ID, Name, Qty FROM Parts ORDER BY ID"),
              oneColumn(raw, "PRAGMA journal_mode")};
  sqlite3_close(raw);
  return s;
}

long executeError(CDaoDatabase& db, const wchar_t* sql, CString* text = nullptr) {
  return daoError([&] { db.Execute(sql); }, text);
}

long recordsetError(CDaoDatabase& db, const wchar_t* sql) {
  return daoError([&] {
    CDaoRecordset rs(&db);
    rs.Open(dbOpenSnapshot, sql);
  });
}

long queryDefError(CDaoDatabase& db, const wchar_t* sql) {
  return daoError([&] {
    CDaoQueryDef qd(&db);
    qd.Create(nullptr, sql);
    qd.Execute();
  });
}

// Statements Jet has no syntax for, and those that reach past Jet's SQL into SQLite's
// tables and functions: each refused through every path a caller's SQL takes. DDL-like
// text is Jet's CREATE/DROP syntax error when executed and 3129 as a recordset's
// source (which must be a query).
TEST(RefusedStatements, EachRefusedAndTheFileStaysWhole) {
  ScratchDir dir;
  CString file = dir.file("hard.mdb");
  std::string path = dir.path() + "/hard.mdb";
  CDaoDatabase db;
  db.Create(file);
  makeParts(db);
  const FileState before = fileState(path);
  ASSERT_EQ(before.integrity, "ok|;");
  ASSERT_EQ(before.journal, "wal|;");

  struct Case {
    const wchar_t* sql;
    long execute;    // CDaoDatabase::Execute and CDaoQueryDef::Execute
    long recordset;  // a snapshot's source: what is no query names a table to DAO (3078)
  };
  const Case cases[] = {
      {L"PRAGMA writable_schema=ON", 3129, 3078},
      {L"PRAGMA locking_mode=EXCLUSIVE", 3129, 3078},
      {L"PRAGMA journal_mode=OFF", 3129, 3078},
      {L"PRAGMA synchronous=OFF", 3129, 3078},
      {L"pragma table_info(Parts)", 3129, 3078},
      {L"ATTACH DATABASE '/tmp/tabrik_other.db' AS other", 3129, 3078},
      {L"DETACH DATABASE main", 3129, 3078},
      {L"VACUUM", 3129, 3078},
      {L"VACUUM INTO '/tmp/tabrik_copy.db'", 3129, 3078},
      {L"WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT x FROM c", 3129,
       3129},
      {L"WITH t AS (SELECT 1 AS x) SELECT x FROM t", 3129, 3129},
      {L"SELECT x FROM (WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) "
       L"SELECT x FROM c)",
       3129, 3129},
      {L"REINDEX", 3129, 3078},
      {L"ANALYZE", 3129, 3078},
      {L"EXPLAIN SELECT * FROM Parts", 3129, 3078},
      {L"EXPLAIN QUERY PLAN SELECT * FROM Parts", 3129, 3078},
      {L"BEGIN", 3129, 3078},
      {L"BEGIN IMMEDIATE TRANSACTION", 3129, 3078},
      {L"COMMIT", 3129, 3078},
      {L"END", 3129, 3078},
      {L"ROLLBACK", 3129, 3078},
      {L"SAVEPOINT s", 3129, 3078},
      {L"RELEASE s", 3129, 3078},
      {L"REPLACE INTO Parts (ID, Name) VALUES (1, 'x')", 3129, 3078},
      {L"CREATE TRIGGER wipe AFTER INSERT ON Parts BEGIN DELETE FROM Parts; END", 3290, 3078},
      {L"CREATE VIEW v AS SELECT * FROM Parts", 3290, 3078},
      {L"CREATE VIRTUAL TABLE v USING fts4(x)", 3290, 3078},
      {L"CREATE TEMP TABLE t (x LONG)", 3290, 3078},
      {L"DROP TRIGGER MSysRel_x_ins", 3295, 3078},
      {L"DROP VIEW v", 3295, 3078},
      {L"INSERT INTO MSysObjects (Name, Type) VALUES ('Ghost', 1)", 3027, 3078},
      {L"UPDATE MSysColumns SET Type = 4", 3027, 3078},
      {L"DELETE FROM msysobjects", 3027, 3078},
      {L"DELETE FROM MSysCounters", 3027, 3078},
      {L"DELETE FROM sqlite_master", 3027, 3078},
      {L"UPDATE sqlite_master SET sql = 'x'", 3027, 3078},
      {L"SELECT * FROM sqlite_master", 3078, 3078},
      {L"SELECT count(*) FROM sqlite_schema", 3078, 3078},
      // SQLite reaches its table-valued functions (a pragma's, json_each) through a write
      // of its schema table: refused there.
      {L"SELECT * FROM pragma_table_info('Parts')", 3027, 3027},
      {L"SELECT * FROM json_each('[1, 2]')", 3027, 3027},
      {L"SELECT hex(fts3_tokenizer('simple'))", 3085, 3085},
      {L"SELECT fts3_tokenizer('simple')", 3085, 3085},
      {L"SELECT load_extension('/tmp/none.so')", 3085, 3085},
      {L"SELECT randomblob(16)", 3085, 3085},
      {L"SELECT zeroblob(1000000000)", 3085, 3085},
      {L"SELECT sqlite_version()", 3085, 3085},
      {L"UPDATE Parts SET Name = sqlite_source_id()", 3085, 3078},
      {L"SELECT * FROM Parts; DROP TABLE Parts", 3142, 3142},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(tabrik::dao::toUtf8(c.sql));
    EXPECT_EQ(executeError(db, c.sql), c.execute);
    EXPECT_EQ(queryDefError(db, c.sql), c.execute);
    EXPECT_EQ(recordsetError(db, c.sql), c.recordset);
  }
  // The engine still works for this connection, and the file is as it was.
  db.Execute(L"UPDATE Parts SET Qty = Qty + 1 WHERE Name = 'nut'");
  db.Execute(L"UPDATE Parts SET Qty = Qty - 1 WHERE Name = 'nut'");
  const FileState after = fileState(path);
  EXPECT_EQ(after.integrity, "ok|;");
  EXPECT_EQ(after.schema, before.schema);
  EXPECT_EQ(after.rows, before.rows);
  EXPECT_EQ(after.journal, "wal|;");
  // Another connection opens and writes while this one stays open: no statement left
  // a lock or a mode behind.
  CDaoDatabase other;
  other.Open(file);
  EXPECT_TRUE(other.CanUpdate());
  other.Execute(L"INSERT INTO Parts (Name, Qty) VALUES ('pin', 40)");
  EXPECT_EQ(snapshotRows(db, L"SELECT Name FROM Parts WHERE Qty = 40"), "pin");
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
  sqlite3_busy_timeout(raw, 1000);
  EXPECT_EQ(sqlite3_exec(raw, "UPDATE Parts SET Qty = 41 WHERE ID = 4", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(raw);
}

// What Jet offers keeps working through the same paths: the engine's own triggers
// (auto-numbers, relations) fire for a caller's statements, the catalog reads, Jet's
// functions and a make-table query.
TEST(RefusedStatements, JetStatementsStillRun) {
  ScratchDir dir;
  CDaoDatabase db;
  db.Create(dir.file("ok.mdb"));
  makeParts(db);
  struct Case {
    const wchar_t* sql;
    const char* rows;  // what the check query returns afterwards
    const wchar_t* check;
  };
  const Case cases[] = {
      {L"DELETE FROM Parts WHERE Name = 'washer'", "bolt;nut",
       L"SELECT Name FROM Parts ORDER BY ID"},
      {L"INSERT INTO Parts (Name, Qty) VALUES ('rivet', 5)", "4",
       L"SELECT ID FROM Parts WHERE Name = 'rivet'"},
      {L"SELECT Name, Qty INTO Copy FROM Parts WHERE Qty > 15", "nut|20",
       L"SELECT Name, Qty FROM Copy ORDER BY Name"},
      {L"UPDATE Parts SET Name = UCase(Left(Name, 2)) & Mid(Name, 3) WHERE Qty = 10", "BOlt",
       L"SELECT Name FROM Parts WHERE Qty = 10"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(tabrik::dao::toUtf8(c.sql));
    EXPECT_EQ(executeError(db, c.sql), 0);
    EXPECT_EQ(snapshotRows(db, c.check), c.rows);
  }
  EXPECT_EQ(snapshotRows(db, L"SELECT Name FROM MSysObjects WHERE Name = 'Parts'"), "Parts");
  EXPECT_EQ(snapshotRows(db, L"SELECT Count(*), Max(Qty), Abs(-2), Nz(Null, 7) FROM Parts"),
            "3|20|2|7");
}

// The lower layer: a caller's statement compiled straight on the connection, past the
// translator, is stopped by the authorizer; the engine's own statements are not.
TEST(Authorizer, StopsWhatPassesTheTranslator) {
  ScratchDir dir;
  {
    CDaoDatabase db;
    db.Create(dir.file("auth.mdb"));
    makeParts(db);
  }
  DAODatabase d;
  d.open(std::wstring(dir.file("auth.mdb").GetString()), false, false, false, L"");
  auto compiles = [&d](const char* sql, bool asCaller) {
    std::optional<DAODatabase::CallerSql> caller;
    if (asCaller) caller.emplace(d);
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(d.db, sql, -1, &stmt, nullptr);
    sqlite3_finalize(stmt);
    return rc;
  };
  struct Case {
    const char* sql;
    int asCaller;  // SQLITE_AUTH: refused when compiled as a caller's statement
  };
  const Case cases[] = {
      {"PRAGMA writable_schema=ON", SQLITE_AUTH},
      {"PRAGMA locking_mode=EXCLUSIVE", SQLITE_AUTH},
      {"ATTACH DATABASE 'x.db' AS x", SQLITE_AUTH},
      {"DETACH DATABASE x", SQLITE_AUTH},
      {"BEGIN", SQLITE_AUTH},
      {"SAVEPOINT a", SQLITE_AUTH},
      {"CREATE TABLE Evil (x)", SQLITE_AUTH},
      {"CREATE TRIGGER wipe AFTER INSERT ON Parts BEGIN DELETE FROM Parts; END", SQLITE_AUTH},
      {"DROP TABLE Parts", SQLITE_AUTH},
      {"ALTER TABLE Parts ADD COLUMN y", SQLITE_AUTH},
      {"CREATE INDEX ix ON Parts (Qty)", SQLITE_AUTH},
      {"REINDEX", SQLITE_AUTH},
      {"ANALYZE", SQLITE_AUTH},
      {"WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT x FROM c",
       SQLITE_AUTH},
      {"SELECT fts3_tokenizer('simple')", SQLITE_AUTH},
      {"SELECT load_extension('x')", SQLITE_AUTH},
      {"SELECT randomblob(8)", SQLITE_AUTH},
      {"SELECT * FROM sqlite_master", SQLITE_AUTH},
      {"SELECT * FROM pragma_table_info('Parts')", SQLITE_AUTH},
      {"DELETE FROM MSysObjects", SQLITE_AUTH},
      {"UPDATE MSysIndexes SET IsUnique = 0", SQLITE_AUTH},
      {"INSERT INTO MSysCounters VALUES ('Parts', 'ID', 1)", SQLITE_AUTH},
      {"SELECT Name FROM Parts WHERE Qty > 1", SQLITE_OK},
      {"DELETE FROM Parts WHERE ID = 1", SQLITE_OK},  // fires the auto-number trigger
      {"SELECT Name FROM MSysObjects", SQLITE_OK},
      {"SELECT jet_concat(Name, 'x'), Nz(Qty, 0), Count(*) FROM Parts", SQLITE_OK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql);
    // A refused statement or function is SQLITE_AUTH, a refused column read SQLITE_ERROR.
    int rc = compiles(c.sql, /*asCaller=*/true);
    EXPECT_EQ(rc != SQLITE_OK, c.asCaller != SQLITE_OK) << rc;
    // The same text as the engine's own compiles (the engine writes its catalog,
    // schema and pragmas), except what SQLite or its defensive mode itself refuses.
    if (c.asCaller == SQLITE_AUTH && std::string(c.sql).find("fts3") == std::string::npos) {
      EXPECT_NE(compiles(c.sql, /*asCaller=*/false), SQLITE_AUTH);
    }
  }
  // Defensive mode holds even for the engine's own statements: the schema table cannot
  // be written, and the one-argument FTS3 tokenizer, which answers a pointer, is off.
  int defensive = 0, tokenizer = 1, extensions = 1;
  sqlite3_db_config(d.db, SQLITE_DBCONFIG_DEFENSIVE, -1, &defensive);
  sqlite3_db_config(d.db, SQLITE_DBCONFIG_ENABLE_FTS3_TOKENIZER, -1, &tokenizer);
  sqlite3_db_config(d.db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, -1, &extensions);
  EXPECT_EQ(defensive, 1);
  EXPECT_EQ(tokenizer, 0);
  EXPECT_EQ(extensions, 0);
  EXPECT_EQ(sqlite3_exec(d.db, "PRAGMA writable_schema=ON", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_NE(sqlite3_exec(d.db, "DELETE FROM sqlite_master WHERE name = 'Parts'", nullptr, nullptr,
                         nullptr),
            SQLITE_OK);
  // The refusal's error names what was refused.
  CString text;
  long code = daoError(
      [&] {
        DAODatabase::CallerSql caller(d);
        d.prepare("SELECT Name FROM Parts WHERE load_extension(Name) IS NULL");
      },
      &text);
  EXPECT_EQ(code, 3085);
  EXPECT_EQ(text, CString(L"Undefined function 'load_extension' in expression."));
}

// --- cancelling ------------------------------------------------------------------------

int g_cancelChecks = 0;
bool cancelAlways() {
  ++g_cancelChecks;
  return true;
}

struct CancelHook {
  explicit CancelHook(tabrik::dao::CancelCheck check) {
    g_cancelChecks = 0;
    tabrik::dao::setCancelCheck(check);
  }
  ~CancelHook() { tabrik::dao::setCancelCheck(nullptr); }
};

// A table Nums of n rows 1..n.
void makeNums(CDaoDatabase& db, int n) {
  makeTable(db, L"Nums", {{L"N", dbLong, 4}});
  for (int i = 1; i <= n; ++i)
    db.Execute(CString(L"INSERT INTO Nums (N) VALUES (") + std::to_wstring(i).c_str() + L")");
}

TEST(Cancel, ALongStatementStopsAndLeavesTheDataAsItWas) {
  ScratchDir dir;
  std::string path = dir.path() + "/cancel.mdb";
  CDaoDatabase db;
  db.Create(dir.file("cancel.mdb"));
  makeParts(db);
  makeNums(db, 150);
  const FileState before = fileState(path);
  CancelHook hook(&cancelAlways);
  struct Case {
    const wchar_t* sql;
    bool recordset;
  };
  // 150^3 rows: far more steps than one poll's worth, far fewer than a test would wait for.
  const Case cases[] = {
      {L"INSERT INTO Parts (Name, Qty) SELECT 'x', a.N FROM Nums a, Nums b, Nums c", false},
      {L"UPDATE Parts SET Qty = (SELECT Count(*) FROM Nums a, Nums b, Nums c)", false},
      {L"DELETE FROM Parts WHERE Qty < (SELECT Count(*) FROM Nums a, Nums b, Nums c)", false},
      {L"SELECT Count(*) FROM Nums a, Nums b, Nums c", true},
      {L"SELECT a.N INTO Big FROM Nums a, Nums b, Nums c", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(tabrik::dao::toUtf8(c.sql));
    int checksBefore = g_cancelChecks;
    CString text;
    long code = c.recordset ? daoError(
                                  [&] {
                                    CDaoRecordset rs(&db);
                                    rs.Open(dbOpenSnapshot, c.sql);
                                  },
                                  &text)
                            : executeError(db, c.sql, &text);
    EXPECT_EQ(code, 3059);
    EXPECT_EQ(text, CString(L"Operation canceled by user."));
    EXPECT_EQ(g_cancelChecks, checksBefore + 1);  // stopped at the first poll
  }
  // A short statement never polls, whatever the check would say.
  int checksBefore = g_cancelChecks;
  EXPECT_EQ(snapshotRows(db, L"SELECT Count(*) FROM Nums"), "150");
  db.Execute(L"UPDATE Parts SET Qty = Qty WHERE ID = 1");
  EXPECT_EQ(g_cancelChecks, checksBefore);
  EXPECT_FALSE(db.GetTableDefCount() == 0);
  EXPECT_EQ(daoError([&] {
              CDaoTableDefInfo info;
              db.GetTableDefInfo(L"Big", info);
            }),
            3265);  // the make-table query's table went with its rows
  const FileState after = fileState(path);
  EXPECT_EQ(after.integrity, "ok|;");
  EXPECT_EQ(after.rows, before.rows);
  EXPECT_EQ(after.schema, before.schema);
}

TEST(Cancel, InsideAWorkspaceTransactionTheConnectionStaysUsable) {
  ScratchDir dir;
  std::string path = dir.path() + "/trans.mdb";
  CDaoWorkspace ws;
  ws.Open();
  CDaoDatabase db(&ws);
  db.Create(dir.file("trans.mdb"));
  makeParts(db);
  makeNums(db, 150);
  const FileState before = fileState(path);
  ws.BeginTrans();
  db.Execute(L"UPDATE Parts SET Qty = 0");
  {
    CancelHook hook(&cancelAlways);
    EXPECT_EQ(executeError(db,
                           L"INSERT INTO Parts (Name, Qty) SELECT 'x', a.N FROM Nums a, Nums b, "
                           L"Nums c"),
              3059);
  }
  // Whatever of the transaction SQLite kept, ending it works and the file is whole.
  EXPECT_EQ(daoError([&] { ws.Rollback(); }), 0);
  db.Execute(L"UPDATE Parts SET Qty = Qty + 0");
  const FileState after = fileState(path);
  EXPECT_EQ(after.integrity, "ok|;");
  EXPECT_EQ(after.rows, before.rows);
}

// --- errors ----------------------------------------------------------------------------

// SQLite's result codes as DAO's errors, texts byte for byte.
TEST(ErrorMapping, SqliteResultsAsDaoErrors) {
  ScratchDir dir;
  std::string existing = dir.path() + "/there.mdb";
  std::ofstream(existing).close();
  struct Case {
    int rc;
    long busyCode;
    std::wstring name;
    long code;
    std::wstring text;
  };
  const std::wstring there = std::wstring(dir.file("there.mdb").GetString());
  const std::wstring absent = std::wstring(dir.file("absent.mdb").GetString());
  const std::wstring noFolder = std::wstring(dir.file("none/x.mdb").GetString());
  const Case cases[] = {
      {SQLITE_BUSY, 3218, L"", 3218, L"Could not update; currently locked."},
      {SQLITE_BUSY_SNAPSHOT, 3046, L"", 3046, L"Could not save; currently locked by another user."},
      {SQLITE_LOCKED, 3218, L"", 3188,
       L"Could not update; currently locked by another session on this machine."},
      {SQLITE_FULL, 3218, L"", 3026, L"Not enough space on disk."},
      {SQLITE_READONLY, 3218, L"", 3027, L"Cannot update.  Database or object is read-only."},
      {SQLITE_READONLY_DBMOVED, 3218, L"", 3027,
       L"Cannot update.  Database or object is read-only."},
      {SQLITE_IOERR_WRITE, 3218, L"", 3043, L"Disk or network error."},
      {SQLITE_CORRUPT, 3218, there, 3343, L"Unrecognized database format '" + there + L"'."},
      {SQLITE_CORRUPT_INDEX, 3218, there, 3343, L"Unrecognized database format '" + there + L"'."},
      {SQLITE_NOTADB, 3218, there, 3343, L"Unrecognized database format '" + there + L"'."},
      {SQLITE_CANTOPEN, 3218, there, 3051,
       L"The Microsoft Jet database engine cannot open the file '" + there +
           L"'.  It is already opened exclusively by another user, or you need permission to "
           L"view its data."},
      {SQLITE_CANTOPEN, 3218, absent, 3024, L"Could not find file '" + absent + L"'."},
      {SQLITE_CANTOPEN, 3218, noFolder, 3044,
       L"'" + noFolder +
           L"' is not a valid path.  Make sure that the path name is spelled correctly and that "
           L"you are connected to the server on which the file resides."},
      {SQLITE_INTERRUPT, 3218, L"", 3059, L"Operation canceled by user."},
      {SQLITE_TOOBIG, 3218, L"", 3035, L"System resource exceeded."},
      {SQLITE_MISMATCH, 3218, L"", 3464, L"Data type mismatch in criteria expression."},
      {SQLITE_CONSTRAINT_UNIQUE, 3218, L"", 3022,
       L"The changes you requested to the table were not successful because they would create "
       L"duplicate values in the index, primary key, or relationship.  Change the data in the "
       L"field or fields that contain duplicate data, remove the index, or redefine the index to "
       L"permit duplicate entries and try again."},
      {SQLITE_CONSTRAINT_NOTNULL, 3218, L"", 3058,
       L"Index or primary key cannot contain a Null value."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rc);
    CString text;
    long code =
        daoError([&] { tabrik::dao::throwSqlite(nullptr, c.rc, c.busyCode, c.name); }, &text);
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(std::wstring(text.GetString()), c.text);
  }
}

// Failures SQLite names only in its message, as Jet reports them for a statement.
TEST(ErrorMapping, StatementFailuresByMessage) {
  ScratchDir dir;
  CDaoDatabase db;
  db.Create(dir.file("msg.mdb"));
  makeParts(db);
  makeTable(db, L"Stock", {{L"ID", dbLong, 4}, {L"Qty", dbLong, 4}});
  struct Case {
    const wchar_t* sql;
    long code;
    const wchar_t* text;
    long recordset;  // as a snapshot's source
  };
  const Case cases[] = {
      {L"SELECT NoSuchFunction(Name) FROM Parts", 3085,
       L"Undefined function 'NoSuchFunction' in expression.", 3085},
      {L"SELECT Qty FROM Parts, Stock", 3079,
       L"The specified field 'Qty' could refer to more than one table listed in the FROM clause "
       L"of your SQL statement.",
       3079},
      {L"INSERT INTO Stock (ID, Nope) VALUES (1, 2)", 3127,
       L"The INSERT INTO statement contains the following unknown field name: 'Nope'.  Make sure "
       L"you have typed the name correctly, and try the operation again.",
       3078},
      {L"SELECT * FROM Nowhere", 3078,
       L"The Microsoft Jet database engine cannot find the input table or query 'Nowhere'.  Make "
       L"sure it exists and that its name is spelled correctly.",
       3078},
      {L"", 3129,
       L"Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or "
       L"'UPDATE'.",
       3078},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(tabrik::dao::toUtf8(c.sql));
    CString text;
    EXPECT_EQ(recordsetError(db, c.sql), c.recordset);
    EXPECT_EQ(executeError(db, c.sql, &text), c.code);
    EXPECT_EQ(text, CString(c.text));
  }
}

// --- damaged files -----------------------------------------------------------------------

// Writes bytes over the file at offset.
void overwrite(const std::string& path, off_t offset, const std::string& bytes) {
  int fd = ::open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(pwrite(fd, bytes.data(), bytes.size(), offset), static_cast<ssize_t>(bytes.size()));
  ::close(fd);
}

off_t fileSize(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

// A damaged file fails the open with 3343 naming it, so that the caller's repair runs,
// and compaction reports the damage, not a full disk.
TEST(DamagedFile, DetectedWhenOpened) {
  ScratchDir dir;
  struct Case {
    const char* what;
    void (*damage)(const std::string& path);
  };
  const Case cases[] = {
      {"a b-tree page header overwritten",
       [](const std::string& p) { overwrite(p, fileSize(p) - 4096, std::string(16, '\xFF')); }},
      {"the file cut short",
       [](const std::string& p) { ASSERT_EQ(truncate(p.c_str(), fileSize(p) / 2), 0); }},
      {"the header's magic overwritten",
       [](const std::string& p) { overwrite(p, 0, "Not a database!!"); }},
      {"the schema page overwritten",
       [](const std::string& p) { overwrite(p, 100, std::string(64, '\x07')); }},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string name = "damaged" + std::to_string(n++) + ".mdb";
    std::string path = dir.path() + "/" + name;
    {
      CDaoDatabase db;
      db.Create(dir.file(name.c_str()));
      makeParts(db);
      makeNums(db, 400);
    }
    ASSERT_EQ(fileSize(path + "-wal"), -1);  // the last close left one whole file
    c.damage(path);
    CString text;
    CDaoDatabase db;
    EXPECT_EQ(daoError([&] { db.Open(dir.file(name.c_str())); }, &text), 3343);
    EXPECT_EQ(text, L"Unrecognized database format '" + dir.file(name.c_str()) + L"'.");
    EXPECT_FALSE(db.IsOpen());
    CDaoWorkspace ws;
    std::string copy = dir.path() + "/copy" + std::to_string(n) + ".mdb";
    EXPECT_EQ(daoError(
                  [&] {
                    ws.CompactDatabase(dir.file(name.c_str()), CString(copy.c_str()), dbLangGeneral,
                                       0);
                  },
                  &text),
              3343);
  }
}

}  // namespace
