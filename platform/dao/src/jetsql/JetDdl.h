// Jet's data-definition statements (CREATE TABLE, CREATE INDEX, ALTER TABLE with ADD
// and DROP, DROP TABLE, DROP INDEX) and make-table queries, carried out through the
// engine's table, index and relation definitions, so the MSys catalog stays the one
// description of the schema. Jet type names map to DAO types here; CDaoTableDef and
// CDaoDatabase do the writing.
#pragma once
#include <string>

class CDaoDatabase;

namespace tabrik::dao::jetsql {

// True when the statement is DDL or a make-table query (SELECT ... INTO table), which
// then was carried out or threw DAO's error: the statement's own syntax error (3290
// CREATE TABLE, 3291 CREATE INDEX, 3293 ALTER TABLE, 3295 DROP), 3259 for a type Jet
// does not know, 3376 for a missing table, 3010 for an existing one, 3280 and 3303 for
// a field an index or a relation needs, or what the table definition itself reports.
// A make-table query's count of records lands in *recordsAffected (0 for DDL).
bool executeDdl(CDaoDatabase& db, const std::string& jet, long* recordsAffected = nullptr);

}  // namespace tabrik::dao::jetsql
