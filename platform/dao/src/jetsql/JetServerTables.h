// Which tables a caller's statement may name on a server database.
//
// On a file the engine's authorizer sees every table a statement reads or writes; a
// server shows a statement its own tables and views besides the database's (pg_user,
// information_schema, the engine's msysschema), and lets any of them be written.
// So before a caller's statement reaches a server, every table it names is checked
// against the catalog, as the authorizer checks it on a file:
//
// - a name in a table's place (after FROM, JOIN, UPDATE, INSERT INTO, DELETE ... FROM,
//   and in a FROM list) must be a table of the catalog or a stored query: otherwise
//   3078, naming it; a name with a qualifier there (schema.table) is never one;
// - the catalog's own tables (MSys*) may be read, never written: 3027;
// - the new table of SELECT ... INTO may not be one of the catalog's: 3027.
#pragma once
#include <vector>

#include "JetTokenizer.h"
#include "JetTranslator.h"

namespace tabrik::dao::jetsql {

// Throws DAO's error for the first table `toks` (a statement's tokens, as given) names
// that it may not name on the server `names` describes. True when the statement reads
// the catalog's tables and no other (its names are then the catalog's columns).
bool checkServerTables(const std::vector<Token>& toks, const ServerNames& names);

}  // namespace tabrik::dao::jetsql
