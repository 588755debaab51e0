// A whole database copied into another through the DAO classes alone: table
// definitions with their fields and indexes, every record, relations, stored queries.
// Either side may be any back end the engine opens (a file, an Access file read
// through its converted copy, a server). The host's `tabrik copy-db` and `host:copy-db`
// are made of it, and CompactDatabase makes a server database's compacted copy with it.
#pragma once
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

class CDaoDatabase;

namespace tabrik::dao {

struct CopiedTable {
  std::wstring name;
  long records = 0;
  bool linked = false;  // a link: its definition came over, its records stay where they are
};

struct DatabaseCopyReport {
  std::vector<CopiedTable> tables;
  long relations = 0;
  long queries = 0;
};

// The copy refused before anything was written (a target that already holds tables).
class CopyRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The number of tables (links included) and stored queries of `db`, system tables not
// counted: zero for a database a copy may fill.
long userObjectCount(CDaoDatabase& db);

// Copies everything of `from` into `to`, which must hold no table and no query
// (CopyRefused otherwise). `progress` hears of each table once its records are in.
// Records of a table are written in one transaction of `to`'s workspace. Throws the
// engine's CDaoException* when a definition or a record cannot be written; what was
// copied until then stays in `to`.
DatabaseCopyReport copyDatabase(CDaoDatabase& from, CDaoDatabase& to,
                                const std::function<void(const CopiedTable&)>& progress = {});

// Opens SOURCE and TARGET as `tabrik copy-db` names them and copies. Each is a file
// path (an Access file included), a connect string to a server, or a pointer file. A
// file TARGET that does not exist is made under a temporary name beside it and moved
// into place when the copy is complete, so it appears whole or not at all; an existing
// one (or a server database) must be empty. Throws as copyDatabase, and CopyRefused.
DatabaseCopyReport copyDatabaseBetween(const std::wstring& source, const std::wstring& target,
                                       const std::function<void(const CopiedTable&)>& progress);

}  // namespace tabrik::dao
