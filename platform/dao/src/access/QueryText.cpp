#include "access/QueryText.h"

#include <vector>

namespace tabrik::dao::access {

namespace {

// What each catalog row of a query gives.
enum Attribute {
  kType = 1,
  kParameter = 2,
  kOptions = 3,
  kTable = 5,
  kColumn = 6,
  kJoin = 7,
  kWhere = 8,
  kGroupBy = 9,
  kHaving = 10,
  kOrderBy = 11
};

// Bits of the options row.
constexpr long kSelectStar = 0x01;
constexpr long kDistinct = 0x02;
constexpr long kOwnerAccess = 0x04;
constexpr long kDistinctRow = 0x08;
constexpr long kTop = 0x10;
constexpr long kPercent = 0x20;

std::wstring bracket(const std::wstring& name) { return L"[" + name + L"]"; }

const wchar_t* parameterType(long daoType) {
  switch (daoType) {
    case 1:
      return L"Bit";
    case 2:
      return L"Byte";
    case 3:
      return L"Short";
    case 4:
      return L"Long";
    case 5:
      return L"Currency";
    case 6:
      return L"IEEESingle";
    case 7:
      return L"IEEEDouble";
    case 8:
      return L"DateTime";
    case 12:
      return L"Memo";
    default:
      return L"Text";
  }
}

std::wstring joinWord(long flag) {
  if (flag == 2) return L" LEFT JOIN ";
  if (flag == 3) return L" RIGHT JOIN ";
  return L" INNER JOIN ";
}

std::wstring joined(const std::vector<std::wstring>& items, const wchar_t* separator) {
  std::wstring out;
  for (const auto& item : items) {
    if (!out.empty()) out += separator;
    out += item;
  }
  return out;
}

// Tables joined so far: the names (or aliases) they bring, and their text.
struct FromGroup {
  std::vector<std::wstring> names;
  std::wstring text;
  bool hasJoin = false;

  bool holds(const std::wstring& name) const {
    for (const auto& n : names)
      if (n == name) return true;
    return false;
  }
  std::wstring nested() const { return hasJoin ? L"(" + text + L")" : text; }
};

std::wstring fromClause(const SourceQuery& q) {
  std::vector<FromGroup> groups;
  for (const auto& p : q.parts) {
    if (p.attribute != kTable) continue;
    FromGroup g;
    const std::wstring key = p.name2.empty() ? p.name1 : p.name2;
    g.names.push_back(key);
    if (!p.expression.empty())
      g.text = L"(" + p.expression + L") AS " + bracket(key);
    else
      g.text = bracket(p.name1) + (p.name2.empty() ? L"" : L" AS " + bracket(p.name2));
    groups.push_back(std::move(g));
  }
  auto find = [&](const std::wstring& name) -> int {
    for (size_t i = 0; i < groups.size(); ++i)
      if (groups[i].holds(name)) return static_cast<int>(i);
    return -1;
  };
  for (const auto& p : q.parts) {
    if (p.attribute != kJoin) continue;
    const int left = find(p.name1);
    const int right = find(p.name2);
    if (left < 0 || right < 0) continue;
    if (left == right) {
      // A further condition between tables already joined.
      groups[static_cast<size_t>(left)].text += L" AND " + p.expression;
      continue;
    }
    FromGroup merged;
    merged.names = groups[static_cast<size_t>(left)].names;
    for (const auto& n : groups[static_cast<size_t>(right)].names) merged.names.push_back(n);
    merged.text = groups[static_cast<size_t>(left)].nested() + joinWord(p.flag) +
                  groups[static_cast<size_t>(right)].nested() + L" ON " + p.expression;
    merged.hasJoin = true;
    const size_t keep = static_cast<size_t>(std::min(left, right));
    const size_t drop = static_cast<size_t>(std::max(left, right));
    groups[keep] = std::move(merged);
    groups.erase(groups.begin() + static_cast<long>(drop));
  }
  std::vector<std::wstring> items;
  for (const auto& g : groups) items.push_back(g.text);
  return joined(items, L", ");
}

std::vector<std::wstring> expressions(const SourceQuery& q, int attribute) {
  std::vector<std::wstring> out;
  for (const auto& p : q.parts)
    if (p.attribute == attribute && !p.expression.empty()) out.push_back(p.expression);
  return out;
}

std::wstring selectStatement(const SourceQuery& q, long options) {
  std::wstring sql;
  std::vector<std::wstring> parameters;
  for (const auto& p : q.parts)
    if (p.attribute == kParameter)
      parameters.push_back(bracket(p.name1) + L" " + parameterType(p.flag));
  if (!parameters.empty()) sql += L"PARAMETERS " + joined(parameters, L", ") + L";\n";

  sql += L"SELECT ";
  if (options & kDistinct) sql += L"DISTINCT ";
  if (options & kDistinctRow) sql += L"DISTINCTROW ";
  for (const auto& p : q.parts)
    if (p.attribute == kOptions && (options & kTop) && !p.name1.empty())
      sql += L"TOP " + p.name1 + ((options & kPercent) ? L" PERCENT " : L" ");
  std::vector<std::wstring> columns;
  if (options & kSelectStar) columns.push_back(L"*");
  for (const auto& p : q.parts)
    if (p.attribute == kColumn)
      columns.push_back(p.expression + (p.name1.empty() ? L"" : L" AS " + bracket(p.name1)));
  sql += joined(columns, L", ");
  sql += L"\nFROM " + fromClause(q);

  const auto where = expressions(q, kWhere);
  if (!where.empty()) sql += L"\nWHERE " + joined(where, L" AND ");
  const auto groupBy = expressions(q, kGroupBy);
  if (!groupBy.empty()) sql += L"\nGROUP BY " + joined(groupBy, L", ");
  const auto having = expressions(q, kHaving);
  if (!having.empty()) sql += L"\nHAVING " + joined(having, L" AND ");
  std::vector<std::wstring> order;
  for (const auto& p : q.parts)
    if (p.attribute == kOrderBy && !p.expression.empty())
      order.push_back(p.expression + (p.name1 == L"D" ? L" DESC" : L""));
  if (!order.empty()) sql += L"\nORDER BY " + joined(order, L", ");
  if (options & kOwnerAccess) sql += L"\nWITH OWNERACCESS OPTION";
  return sql + L";";
}

std::wstring unionStatement(const SourceQuery& q, long options) {
  std::vector<std::wstring> selects;
  for (const auto& p : q.parts)
    if (p.attribute == kTable && !p.expression.empty()) selects.push_back(p.expression);
  std::wstring sql = joined(selects, (options & kDistinct) ? L"\nUNION " : L"\nUNION ALL ");
  std::vector<std::wstring> order;
  for (const auto& p : q.parts)
    if (p.attribute == kOrderBy && !p.expression.empty())
      order.push_back(p.expression + (p.name1 == L"D" ? L" DESC" : L""));
  if (!order.empty()) sql += L"\nORDER BY " + joined(order, L", ");
  return sql + L";";
}

}  // namespace

bool queryStatement(const SourceQuery& query, std::wstring& sql, std::wstring& why) {
  long kind = 0;
  long options = 0;
  bool typed = false;
  for (const auto& p : query.parts) {
    if (p.attribute == kType && p.hasFlag) {
      kind = p.flag;
      typed = true;
    }
    if (p.attribute == kOptions && p.hasFlag) options = p.flag;
  }
  if (!typed) {
    why = L"the file holds no type for the query";
    return false;
  }
  switch (static_cast<QueryKind>(kind)) {
    case QueryKind::Select:
      sql = selectStatement(query, options);
      return true;
    case QueryKind::Union:
      sql = unionStatement(query, options);
      if (sql == L";") {
        why = L"the union's parts are missing";
        return false;
      }
      return true;
    case QueryKind::Crosstab:
      why = L"crosstab queries (TRANSFORM ... PIVOT) are not supported";
      return false;
    case QueryKind::MakeTable:
    case QueryKind::Append:
    case QueryKind::Update:
    case QueryKind::Delete:
      why = L"action queries are not recovered";
      return false;
    case QueryKind::DataDefinition:
    case QueryKind::PassThrough:
      why = L"data-definition and pass-through queries keep no recoverable text";
      return false;
  }
  why = L"a query of unknown type " + std::to_wstring(kind);
  return false;
}

}  // namespace tabrik::dao::access
