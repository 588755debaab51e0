// Moving through a table in the order of an index (or in stored order without one)
// with queries that SQLite answers from the index: the record after or before a
// given one, the first and last, and Seek's comparisons. Nothing is cached between
// calls, so records that other processes add or change are seen at once.
//
// The order is the index's fields, each ascending or descending, then the rowid.
// Null sorts before every value in an ascending field and after every value in a
// descending one (SQLite's order, which an ascending Jet index shares). "After key
// K" is answered level by level: first the records equal to K in all but the last
// order column and after it in that column, then equal in one column fewer, and so
// on; the first level with a record holds the nearest one.
#pragma once
#include <string>
#include <vector>

#include "DaoStore.h"

namespace tabrik::dao {

class TableCursor {
 public:
  // index: null for stored (rowid) order.
  TableCursor(DAODatabase& db, const TableSchema& table, const IndexDef* index);

  // Each finder returns true and fills the record's rowid and field values when a
  // record is found.
  bool first(long long& rowid, Row& row);
  bool last(long long& rowid, Row& row);
  // The record after (forward) or before the one whose values and rowid are given.
  bool step(const Row& current, long long currentRowid, bool forward, long long& rowid, Row& row);
  // Seek with "=", ">=", ">", "<=" or "<" on index key values (one per index field;
  // Null where a key is missing).
  bool seek(const std::wstring& comparison, const std::vector<Value>& keys, long long& rowid,
            Row& row);
  bool fetch(long long rowid, Row& row);
  long long count();

 private:
  struct OrderColumn {
    std::string sql;  // quoted column name, or rowid
    int field;        // -1 for the rowid
    bool descending;
  };

  // Searches the levels for the nearest record strictly after (forward) or before
  // key, whose first n order columns are given; includeEqual first looks for a record
  // equal in all n.
  // "column = value" for the order column, as the dialect compares with Null.
  void equal(size_t column, const Value& v, std::string& where, std::vector<Value>& binds) const;
  bool nearest(const std::vector<Value>& key, size_t n, bool forward, bool includeEqual,
               long long& rowid, Row& row);
  bool run(const std::string& where, const std::vector<Value>& binds, size_t fromColumn,
           bool forward, long long& rowid, Row& row);

  // Speed only: a step fetches the next records of its level in one query, and the
  // following steps in the same direction take them from here while neither this
  // connection nor any other has written since (the file's change stamp and this
  // connection's write count are unchanged). Going to the database again instead is
  // always correct.
  struct Batch {
    std::vector<std::pair<long long, Row>> records;
    size_t next = 0;
    long long firstFrom = 0;  // the record the batch continues from
    bool forward = true;
    DAODatabase::ChangeStamp stamp;
    long long writes = -1;
  };
  bool fromBatch(long long currentRowid, bool forward, long long& rowid, Row& row);

  DAODatabase& m_db;
  Batch m_batch;
  size_t m_limit = 1;      // records a run fetches (more while a step is filling the batch)
  size_t m_readAhead = 0;  // the size of the batch a step fills next
  std::string m_select;    // SELECT rowid, fields... FROM table
  std::vector<OrderColumn> m_order;
  size_t m_fieldCount;
};

}  // namespace tabrik::dao
