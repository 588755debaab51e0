// Index-ordered navigation of a table-type recordset (see TableCursor.h).
#include "TableCursor.h"

#include <algorithm>

#include "DaoErrors.h"

namespace tabrik::dao {

namespace {
// Records a step reads ahead: the first batch of a walk is small, so that a walk that
// writes as it goes (which drops the batch) reads little in vain; each batch that a
// walk uses up doubles the next, up to the largest.
constexpr size_t kBatchSize = 64;
constexpr size_t kLargestBatch = 2048;
}  // namespace

TableCursor::TableCursor(DAODatabase& db, const TableSchema& table, const IndexDef* index)
    : m_db(db), m_fieldCount(table.fields.size()) {
  m_select = "SELECT rowid";
  for (const auto& f : table.fields) m_select += ", " + quoteId(f.name);
  m_select += " FROM " + quoteId(table.name);
  if (index) {
    for (const auto& ixf : index->fields) {
      int at = table.findField(ixf.name);
      if (at < 0) continue;  // defensive: the catalog names a field the table lacks
      m_order.push_back({quoteId(ixf.name), at, ixf.descending});
    }
  }
  m_order.push_back({"rowid", -1, false});
}

bool TableCursor::run(const std::string& where, const std::vector<Value>& binds, size_t fromColumn,
                      bool forward, long long& rowid, Row& row) {
  std::string sql = m_select;
  if (!where.empty()) sql += " WHERE " + where;
  sql += " ORDER BY ";
  for (size_t j = fromColumn; j < m_order.size(); ++j) {
    bool desc = m_order[j].descending != !forward;
    const storage::Dialect& dialect = m_db.conn->dialect();
    sql += (j > fromColumn ? ", " : "") + m_order[j].sql +
           (desc ? dialect.descending : dialect.ascending);
  }
  sql += m_limit == 1 ? " LIMIT 1" : " LIMIT " + std::to_string(m_limit);
  Statement s = m_db.prepare(sql);
  for (size_t i = 0; i < binds.size(); ++i) s.bind(static_cast<int>(i + 1), binds[i]);
  if (!s.step()) return false;
  rowid = s.columnInt(0);
  row.resize(m_fieldCount);
  for (size_t i = 0; i < m_fieldCount; ++i) row[i] = s.column(static_cast<int>(i + 1));
  if (m_limit > 1) {
    // The rest of this level's records follow the first one directly in the order.
    m_batch.records.clear();
    m_batch.next = 0;
    while (s.step()) {
      Row more(m_fieldCount);
      for (size_t i = 0; i < m_fieldCount; ++i) more[i] = s.column(static_cast<int>(i + 1));
      m_batch.records.emplace_back(s.columnInt(0), std::move(more));
    }
  }
  return true;
}

bool TableCursor::fromBatch(long long currentRowid, bool forward, long long& rowid, Row& row) {
  Batch& b = m_batch;
  if (b.next >= b.records.size() || b.forward != forward || b.writes != m_db.writeCount)
    return false;
  long long previous = b.next == 0 ? b.firstFrom : b.records[b.next - 1].first;
  if (previous != currentRowid || !(b.stamp == m_db.changeStamp())) return false;
  rowid = b.records[b.next].first;
  row = std::move(b.records[b.next].second);  // a record is taken from the batch once
  ++b.next;
  return true;
}

bool TableCursor::first(long long& rowid, Row& row) { return run("", {}, 0, true, rowid, row); }

bool TableCursor::last(long long& rowid, Row& row) { return run("", {}, 0, false, rowid, row); }

bool TableCursor::nearest(const std::vector<Value>& key, size_t n, bool forward, bool includeEqual,
                          long long& rowid, Row& row) {
  auto prefix = [&](size_t count, std::string& where, std::vector<Value>& binds) {
    for (size_t j = 0; j < count; ++j) equal(j, key[j], where, binds);
  };
  if (includeEqual) {
    std::string where;
    std::vector<Value> binds;
    prefix(n, where, binds);
    if (run(where, binds, 0, forward, rowid, row)) return true;
  }
  for (size_t level = n; level-- > 0;) {
    const OrderColumn& c = m_order[level];
    const Value& v = key[level];
    // "up": this column's values grow in the direction of travel.
    bool up = c.descending != forward;
    std::vector<std::string> conditions;
    if (up) {
      conditions.push_back(v.isNull() ? c.sql + " IS NOT NULL" : c.sql + " > ?");
    } else if (!v.isNull()) {
      conditions.push_back(c.sql + " < ?");
      conditions.push_back(c.sql + " IS NULL");  // Nulls come last going this way
    }
    for (const auto& cond : conditions) {
      std::string where;
      std::vector<Value> binds;
      prefix(level, where, binds);
      where += (level ? " AND " : "") + cond;
      if (cond.back() == '?') binds.push_back(v);
      if (run(where, binds, level, forward, rowid, row)) return true;
    }
  }
  return false;
}

bool TableCursor::step(const Row& current, long long currentRowid, bool forward, long long& rowid,
                       Row& row) {
  if (fromBatch(currentRowid, forward, rowid, row)) return true;
  const Batch& b = m_batch;
  const bool walkGoesOn = !b.records.empty() && b.next >= b.records.size() &&
                          b.forward == forward && b.writes == m_db.writeCount &&
                          b.records.back().first == currentRowid;
  m_readAhead = walkGoesOn ? std::min(m_readAhead * 2, kLargestBatch) : kBatchSize;
  m_batch.records.clear();
  std::vector<Value> key;
  for (const auto& c : m_order)
    key.push_back(c.field < 0 ? Value::ofInt(currentRowid)
                  : static_cast<size_t>(c.field) < current.size()
                      ? current[static_cast<size_t>(c.field)]
                      : Value::null());
  DAODatabase::ChangeStamp stamp = m_db.changeStamp();
  m_limit = m_readAhead;
  bool found = false;
  try {
    found = nearest(key, key.size(), forward, /*includeEqual=*/false, rowid, row);
  } catch (...) {
    m_limit = 1;
    throw;
  }
  m_limit = 1;
  m_batch.forward = forward;
  m_batch.firstFrom = rowid;
  m_batch.stamp = stamp;
  m_batch.writes = m_db.writeCount;
  if (!found) m_batch.records.clear();
  return found;
}

bool TableCursor::seek(const std::wstring& op, const std::vector<Value>& keys, long long& rowid,
                       Row& row) {
  size_t n = m_order.size() - 1;  // the index's own fields
  std::vector<Value> key(n);
  for (size_t i = 0; i < n && i < keys.size(); ++i) key[i] = keys[i];
  if (!m_db.conn->dialect().ignoresTrailingBlanks) {
    for (Value& v : key) {
      if (v.kind != Value::Text) continue;
      size_t end = v.text.find_last_not_of(L' ');
      v.text.erase(end == std::wstring::npos ? 0 : end + 1);
    }
  }
  if (op == L"=") {
    std::string where;
    std::vector<Value> binds;
    for (size_t j = 0; j < n; ++j) equal(j, key[j], where, binds);
    return run(where, binds, 0, true, rowid, row);
  }
  if (op == L">=") return nearest(key, n, true, true, rowid, row);
  if (op == L">") return nearest(key, n, true, false, rowid, row);
  if (op == L"<=") return nearest(key, n, false, true, rowid, row);
  if (op == L"<") return nearest(key, n, false, false, rowid, row);
  daoThrow(3001, {}, L"DAO.Recordset");
}

void TableCursor::equal(size_t column, const Value& v, std::string& where,
                        std::vector<Value>& binds) const {
  where += (where.empty() ? "" : " AND ") + m_order[column].sql;
  if (!m_db.conn->dialect().indexedIs && v.isNull()) {
    where += " IS NULL";
    return;
  }
  where += m_db.conn->dialect().indexedIs ? " IS ?" : " = ?";
  binds.push_back(v);
}

bool TableCursor::fetch(long long rowid, Row& row) {
  Statement s = m_db.prepare(m_select + " WHERE rowid = ?");
  s.bindInt(1, rowid);
  if (!s.step()) return false;
  row.resize(m_fieldCount);
  for (size_t i = 0; i < m_fieldCount; ++i) row[i] = s.column(static_cast<int>(i + 1));
  return true;
}

long long TableCursor::count() {
  size_t from = m_select.find(" FROM ");
  Statement s = m_db.prepare("SELECT count(*)" + m_select.substr(from));
  return s.step() ? s.columnInt(0) : 0;
}

}  // namespace tabrik::dao
