// What LISP receives of a query: nil for no rows; for one column a flat list of the
// values (text without trailing blanks); for several columns one record list per row,
// (name . value) per column, the "s_" rule applied to each column's text.
#pragma once
#include <adsdef.h>

struct DBQueryResult;

namespace tabrik::arx::db {

// The query result as a new result-buffer chain (the caller releases it with
// acutRelRb); nullptr for no rows. Throws std::bad_alloc when the host has no memory.
resbuf* queryResultList(const DBQueryResult& result);
// Returns the query result to LISP (acedRetList, or acedRetNil for no rows).
void retQueryResult(const DBQueryResult& result);

}  // namespace tabrik::arx::db
