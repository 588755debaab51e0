// The Jet SQL of a stored query, put back together from the rows an Access file keeps
// for it (its type, parameters, tables, joins, columns, criteria, grouping, order).
#pragma once
#include <string>

#include "access/MdbSource.h"

namespace tabrik::dao::access {

// The kinds of query an Access file stores (the flag of its type row).
enum class QueryKind {
  Select = 1,
  MakeTable = 2,
  Append = 3,
  Update = 4,
  Delete = 5,
  Crosstab = 6,
  DataDefinition = 7,
  PassThrough = 8,
  Union = 9
};

// The statement, or false with why it cannot be written (a kind this engine does not
// run, parts missing). Select and union queries are recovered.
bool queryStatement(const SourceQuery& query, std::wstring& sql, std::wstring& why);

}  // namespace tabrik::dao::access
