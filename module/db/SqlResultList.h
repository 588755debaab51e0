// What LISP receives of a query: nil for no rows; for one column a flat list of the
// values (text without trailing blanks); for several columns one record list per row,
// (name . value) per column, the "s_" rule applied to each column's text.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include <afxdisp.h>

#include <adsdef.h>

#include "host/VariantConversion.h"

class CDaoRecordset;
struct DBQueryResult;

namespace tabrik::arx::db {

// The list under construction, one value at a time, row by row: each value becomes
// its result buffers as it arrives, so no row is held anywhere else. A writer
// destroyed before finish() releases what it built.
class QueryListWriter {
 public:
  explicit QueryListWriter(const std::vector<CString>& columns);
  ~QueryListWriter();
  QueryListWriter(const QueryListWriter&) = delete;
  QueryListWriter& operator=(const QueryListWriter&) = delete;

  // The value of the next column of the current row (the first of a new row after a
  // row's last). Throws std::bad_alloc when the host has no memory.
  void add(const VARIANT& value);
  // The list as a new result-buffer chain (the caller releases it with acutRelRb);
  // nullptr for no rows. A row left unfinished is an error of the caller (asserted).
  resbuf* finish();

 private:
  void append(resbuf* element);

  std::vector<std::wstring> m_names;
  std::vector<StringRule> m_rules;
  resbuf* m_head = nullptr;
  resbuf* m_last = nullptr;
  std::size_t m_column = 0;
};

// The query result as a new result-buffer chain (the caller releases it with
// acutRelRb); nullptr for no rows. Throws std::bad_alloc when the host has no memory.
resbuf* queryResultList(const DBQueryResult& result);
// Every row of the recordset from the current one to the end, read field by field
// straight into the list; nullptr when it stands at its end. DAO's exceptions pass
// through (what was built is released).
resbuf* queryResultList(CDaoRecordset& rows);
// Owns a whole list (acutRelRb).
struct ListRelease {
  void operator()(resbuf* list) const;
};
using ListPtr = std::unique_ptr<resbuf, ListRelease>;

// Returns the list to LISP (acedRetList, or acedRetNil for none) and releases it.
void retQueryList(ListPtr list);

}  // namespace tabrik::arx::db
