// Jet SQL to SQLite SQL. Every statement the engine runs for a caller (Execute, a
// snapshot's source, a query definition) passes through translate(): it rewrites what
// SQLite reads differently or not at all (date literals, True/False/Yes/No, "…"
// strings, […] names, &, /, \, Mod, Like's wildcards, TOP with its ties, DISTINCTROW,
// PARAMETERS, truth values of -1) into SQLite SQL over the functions of JetFunctions.h,
// and makes text comparisons and sorting use the JETTEXT collation. A statement that is
// not DELETE, INSERT, SELECT or UPDATE is refused with DAO's 3129: nothing but Jet's
// statements reaches SQLite from a caller (Jet's DDL is carried out before, JetDdl.h).
#pragma once
#include <sqlite3.h>

#include "afxdao.h"

#include <string>
#include <functional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "JetTokenizer.h"

namespace tabrik::dao::jetsql {

// The dialect a translation is written in: SQLite's for a database file, PostgreSQL's
// for a server database (functions in the engine's schema there, booleans made Jet's
// truth values, Nulls ordered as Jet orders them, parameters numbered).
enum class Target { Sqlite, Postgres };

// A server's names keep their case and are quoted, where Jet reads names without regard
// to case: the spelling of every table and field, keyed by the upper-case name (UTF-8).
// Each table's fields in order, for what names them all (*, INSERT without a field list),
// since the server's tables lead with the record number, which no statement shows.
struct ServerNames {
  std::unordered_map<std::string, std::string> spelling;
  std::unordered_map<std::string, std::vector<std::string>> fields;  // by upper-case table
  std::unordered_set<std::string> readOnlyTables;  // the catalog's (MSys*), upper case
  // The catalog's columns as a file spells them ("Name"), by upper-case name: the
  // server keeps them bare, so folded to lower case.
  std::unordered_map<std::string, std::string> catalogColumns;
  // Whether an upper-case name is a stored query's (asked of the database, since
  // queries come and go without a change of the tables).
  std::function<bool(const std::string&)> storedQuery;
  // The stored select queries a statement may read as tables (those without
  // parameters): the name as stored and the Jet SQL, by upper-case name.
  std::unordered_map<std::string, std::pair<std::string, std::string>> queries;
};
std::string serverNameKey(const std::string& name);

struct Translation {
  enum Kind { Select, Insert, Update, Delete, Other };  // Other: empty, nothing to run
  Kind kind = Other;
  std::string sql;                   // what SQLite prepares
  std::string jet;                   // the statement as given
  std::vector<Token> source;         // its tokens (empty for Other)
  std::vector<std::size_t> mapping;  // per byte of sql: the source byte it came from
  // On a server: the names of the parameters ?1, ?2, ... in order (SQLite's statements
  // keep their names).
  std::vector<std::string> parameters;
};

// Fails with DAO's 3075 (bad literal, unbalanced parentheses, an operator without an
// operand), 3142 (text after the closing ';') or 3129 (not one of Jet's statements).
Translation translate(const std::string& jet, Target target = Target::Sqlite,
                      const ServerNames* names = nullptr);

// The name DAO knows a parameter by, from SQLite's name for it (":name"): a declared
// parameter whose name SQLite cannot spell ([Enter a date]) gets its own back.
std::string parameterName(const char* sqliteName);

// The SQLite SQL for a statement, for callers that need nothing else.
inline std::string translateSql(const std::string& jet) { return translate(jet).sql; }

// When SQLite refused the translated statement as malformed, fails with the DAO error
// Jet gives for that kind of statement (3075 naming the expression, 3131 for the FROM
// clause, 3134 for INSERT INTO, 3144 for UPDATE); otherwise returns.
void throwIfSyntaxError(sqlite3* db, const Translation& t);
// The same for a statement a server rejected as malformed at byte `offset` of t.sql.
[[noreturn]] void throwSyntaxError(const Translation& t, int offset);
// For a failure e of a server's statement: when the server rejected t as malformed
// (offset >= 0 and e is 3129), deletes e and throws Jet's syntax error instead;
// otherwise returns, for the caller to rethrow e.
void mapServerSyntaxError(CDaoException* e, const Translation& t, int offset);

}  // namespace tabrik::dao::jetsql
