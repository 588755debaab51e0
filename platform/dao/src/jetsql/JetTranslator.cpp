// The Jet SQL rewriter (rules in JetTranslator.h). It works on tokens, not text: each
// pass finds one construct, works out its operands by Jet's operator precedence, and
// replaces them with SQLite tokens; the passes run from the most tightly binding
// operator (\ and Mod) to the loosest (comparisons), so an operand already rewritten
// is a single parenthesised call to the passes after it.
#include "JetTranslator.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "../DaoErrors.h"
#include "../DaoStore.h"
#include "JetDates.h"
#include "JetFunctions.h"
#include "JetServerTables.h"
#include "JetServerFunctions.h"

namespace tabrik::dao::jetsql {

namespace {

using Tokens = std::vector<Token>;

// The dialect the running translate() writes; the passes below ask it where the server
// reads a construct differently from SQLite.
thread_local Target tTarget = Target::Sqlite;
thread_local const ServerNames* tNames = nullptr;
// The statement being translated reads the catalog's tables only: its names are their
// columns, whatever a user's field is called.
thread_local bool tCatalogOnly = false;

// The catalog's spelling of a column ("Name"), when the statement reads the catalog
// only and the name is one of its columns; nullptr otherwise.
const std::string* catalogColumn(const std::string& name) {
  if (!tNames || !tCatalogOnly) return nullptr;
  auto it = tNames->catalogColumns.find(serverNameKey(name));
  return it == tNames->catalogColumns.end() ? nullptr : &it->second;
}

// The generated alias that names a catalog column as a file does: a name token whose
// text starts with kCatalogAlias, written as the rest of it, quoted.
constexpr char kCatalogAlias = '\x01';
bool isCatalogAlias(const Token& t) {
  return t.kind == Token::Name && !t.text.empty() && t.text[0] == kCatalogAlias;
}

bool toServer() { return tTarget == Target::Postgres; }

// Words that end an operand: clause keywords and the operators that bind more loosely
// than any this translator rewrites.
const char* const kBoundaryWords[] = {
    "SELECT",   "FROM",  "WHERE",  "GROUP",   "ORDER", "BY",      "HAVING", "AS",    "ON",
    "JOIN",     "INNER", "LEFT",   "RIGHT",   "OUTER", "SET",     "VALUES", "THEN",  "ELSE",
    "WHEN",     "CASE",  "END",    "COLLATE", "ASC",   "DESC",    "UNION",  "LIMIT", "INTO",
    "DISTINCT", "AND",   "OR",     "NOT",     "LIKE",  "BETWEEN", "IS",     "IN",    "EXISTS",
    "ALL",      "TOP",   "ESCAPE", "XOR",     "IMP",   "EQV"};
const char* const kComparisons[] = {"=", "<>", "<", ">", "<=", ">=", "!=", "=="};

bool isComparison(const Token& t) {
  for (const char* op : kComparisons)
    if (t.isOp(op)) return true;
  return false;
}

bool isBoundary(const Token& t, const std::vector<const char*>& stops) {
  if (t.kind == Token::Word) {
    if (t.isWord("LEFT") || t.isWord("RIGHT"))
      return false;  // as joins they follow a complete FROM item
    for (const char* w : kBoundaryWords)
      if (t.isWord(w)) return true;
    for (const char* w : stops)
      if (t.isWord(w)) return true;
    return false;
  }
  if (t.kind != Token::Op) return false;
  if (t.isOp(",") || t.isOp(";") || isComparison(t)) return true;
  for (const char* op : stops)
    if (t.isOp(op)) return true;
  return false;
}

[[noreturn]] void missingOperand(const std::string& jet, const Token& at) {
  daoThrow(3075, {L"Syntax error (missing operator)", fromUtf8(jet.c_str() + at.pos)});
}

bool opens(const Token& t) { return t.isOp("(") || t.isWord("CASE"); }
bool closes(const Token& t) { return t.isOp(")") || t.isWord("END"); }

// The first token of the operand that ends just before toks[i]. Parentheses and
// CASE ... END nest; inside them nothing is a boundary.
std::size_t operandStart(const Tokens& toks, std::size_t i, const std::vector<const char*>& stops) {
  std::size_t j = i;
  int depth = 0;
  while (j > 0) {
    const Token& t = toks[j - 1];
    if (closes(t))
      ++depth;
    else if (opens(t)) {
      if (depth == 0) break;
      --depth;
    } else if (depth == 0 && isBoundary(t, stops))
      break;
    --j;
  }
  return j;
}

// One past the last token of the operand that begins at toks[i].
std::size_t operandEnd(const Tokens& toks, std::size_t i, const std::vector<const char*>& stops) {
  std::size_t j = i;
  while (j < toks.size() && (toks[j].isOp("-") || toks[j].isOp("+"))) ++j;  // unary signs
  int depth = 0;
  while (j < toks.size()) {
    const Token& t = toks[j];
    if (opens(t))
      ++depth;
    else if (closes(t)) {
      if (depth == 0) break;
      --depth;
    } else if (depth == 0 && isBoundary(t, stops))
      break;
    ++j;
  }
  return j;
}

Token synth(Token::Kind kind, const char* text, std::size_t pos) { return Token{kind, text, pos}; }

// Replaces `left OP right` around toks[i] with `fn(left, right)`.
void rewriteBinary(Tokens& toks, std::size_t i, const char* fn,
                   const std::vector<const char*>& stops, const std::string& jet) {
  std::size_t l = operandStart(toks, i, stops);
  std::size_t r = operandEnd(toks, i + 1, stops);
  if (l == i || r == i + 1) missingOperand(jet, toks[i]);
  std::size_t pos = toks[i].pos;
  Tokens out;
  out.push_back(synth(Token::Word, fn, pos));
  out.push_back(synth(Token::Op, "(", pos));
  out.insert(out.end(), toks.begin() + static_cast<long>(l), toks.begin() + static_cast<long>(i));
  out.push_back(synth(Token::Op, ",", pos));
  out.insert(out.end(), toks.begin() + static_cast<long>(i + 1),
             toks.begin() + static_cast<long>(r));
  out.push_back(synth(Token::Op, ")", pos));
  toks.erase(toks.begin() + static_cast<long>(l), toks.begin() + static_cast<long>(r));
  toks.insert(toks.begin() + static_cast<long>(l), out.begin(), out.end());
}

// Jet's `+` adds numbers but joins two texts; it has the precedence of `-`, so its left
// operand may hold a subtraction while its right one ends at the next + or -.
void rewriteAddition(Tokens& toks, const std::string& jet) {
  static const std::vector<const char*> kLeftStops{"&", "||"};
  static const std::vector<const char*> kRightStops{"+", "-", "&", "||"};
  for (std::size_t i = 1; i < toks.size(); ++i) {
    if (!toks[i].isOp("+")) continue;
    const Token& before = toks[i - 1];
    bool binary = before.isOp(")") || before.kind == Token::Number ||
                  before.kind == Token::String || before.kind == Token::Name ||
                  before.kind == Token::Param ||
                  (before.kind == Token::Word && !isBoundary(before, {}));
    if (!binary) continue;  // a sign
    std::size_t l = operandStart(toks, i, kLeftStops);
    std::size_t r = operandEnd(toks, i + 1, kRightStops);
    if (l == i || r == i + 1) missingOperand(jet, toks[i]);
    std::size_t pos = toks[i].pos;
    Tokens out{synth(Token::Word, "jet_add", pos), synth(Token::Op, "(", pos)};
    out.insert(out.end(), toks.begin() + static_cast<long>(l), toks.begin() + static_cast<long>(i));
    out.push_back(synth(Token::Op, ",", pos));
    out.insert(out.end(), toks.begin() + static_cast<long>(i + 1),
               toks.begin() + static_cast<long>(r));
    out.push_back(synth(Token::Op, ")", pos));
    toks.erase(toks.begin() + static_cast<long>(l), toks.begin() + static_cast<long>(r));
    toks.insert(toks.begin() + static_cast<long>(l), out.begin(), out.end());
  }
}

// Rewrites every binary operator `isOp` picks out, leftmost first (Jet's operators
// associate to the left).
template <typename Pred>
void rewriteAll(Tokens& toks, Pred isOp, const char* fn, const std::vector<const char*>& stops,
                const std::string& jet) {
  for (std::size_t i = 0; i < toks.size(); ++i)
    if (isOp(toks, i)) rewriteBinary(toks, i, fn, stops, jet);
}

// Unbalanced parentheses: INSERT INTO and UPDATE report their own statement's
// syntax error, the others the expression.
void checkParentheses(const Tokens& toks, const std::string& jet, Translation::Kind kind) {
  int depth = 0;
  bool balanced = true;
  for (const Token& t : toks) {
    if (t.isOp("(")) ++depth;
    if (t.isOp(")") && --depth < 0) balanced = false;
  }
  if (balanced && depth == 0) return;
  if (kind == Translation::Insert) daoThrow(3134);
  if (kind == Translation::Update) daoThrow(3144);
  daoThrow(3075, {L"Missing ), ], or Item", fromUtf8(jet.c_str())});
}

std::string numberText(double d) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", d);
  std::string s = buf;
  if (s.find_first_of(".eE") == std::string::npos) s += ".0";  // a Date/Time value is a REAL
  return s;
}

// Literals: #dates# and the Yes/No words.
void rewriteLiterals(Tokens& toks) {
  for (std::size_t i = 0; i < toks.size(); ++i) {
    Token& t = toks[i];
    if (t.kind == Token::Date) {
      auto d = parseDateLiteral(t.text);
      if (!d) daoThrow(3075, {L"Syntax error in date", fromUtf8(("#" + t.text + "#").c_str())});
      t.kind = Token::Number;
      t.text = numberText(*d);
      continue;
    }
    if (t.kind != Token::Word) continue;
    bool qualified =
        (i > 0 && toks[i - 1].isOp(".")) || (i + 1 < toks.size() && toks[i + 1].isOp("."));
    if (qualified) continue;
    if (t.isWord("TRUE") || t.isWord("YES"))
      t = synth(Token::Number, "-1", t.pos);
    else if (t.isWord("FALSE") || t.isWord("NO"))
      t = synth(Token::Number, "0", t.pos);
  }
}

// Jet's `/` always divides as floating point.
void rewriteDivision(Tokens& toks) {
  for (std::size_t i = 0; i < toks.size(); ++i)
    if (toks[i].isOp("/")) {
      std::size_t pos = toks[i].pos;
      toks.insert(toks.begin() + static_cast<long>(i),
                  {synth(Token::Op, "*", pos), synth(Token::Number, "1.0", pos)});
      i += 2;
    }
}

// The index one past the SELECT that starts at `select`: its closing parenthesis or the
// end of the statement.
std::size_t selectEnd(const Tokens& toks, std::size_t select) {
  int depth = 0;
  for (std::size_t j = select; j < toks.size(); ++j) {
    if (toks[j].isOp("(")) ++depth;
    if (toks[j].isOp(")") && --depth < 0) return j;
  }
  return toks.size();
}

Token word(const char* text, std::size_t pos) { return synth(Token::Word, text, pos); }
Token op(const char* text, std::size_t pos) { return synth(Token::Op, text, pos); }

// The first token at depth 0 of toks[from, to) that `pick` accepts; `to` when none.
template <typename Pick>
std::size_t findAtTop(const Tokens& toks, std::size_t from, std::size_t to, Pick pick) {
  int depth = 0;
  for (std::size_t j = from; j < to; ++j) {
    const Token& t = toks[j];
    if (depth == 0 && pick(toks, j)) return j;
    if (opens(t))
      ++depth;
    else if (closes(t))
      --depth;
  }
  return to;
}

bool isOrderBy(const Tokens& t, std::size_t j) {
  return t[j].isWord("ORDER") && j + 1 < t.size() && t[j + 1].isWord("BY");
}
bool isGroupBy(const Tokens& t, std::size_t j) {
  return t[j].isWord("GROUP") && j + 1 < t.size() && t[j + 1].isWord("BY");
}

// One item of a select list: its expression and its alias (empty when none).
struct SelectItem {
  Tokens expression;
  std::string alias;
};

// The items of a select list toks[from, to), split at its top-level commas.
std::vector<SelectItem> selectItems(const Tokens& toks, std::size_t from, std::size_t to) {
  std::vector<SelectItem> items(1);
  int depth = 0;
  bool alias = false;
  for (std::size_t j = from; j < to; ++j) {
    const Token& t = toks[j];
    if (depth == 0 && t.isOp(",")) {
      items.emplace_back();
      alias = false;
      continue;
    }
    if (depth == 0 && t.isWord("AS")) {
      alias = true;
      continue;
    }
    if (opens(t))
      ++depth;
    else if (closes(t))
      --depth;
    if (!alias)
      items.back().expression.push_back(t);
    else if (items.back().alias.empty())
      items.back().alias = t.text;
  }
  return items;
}

// ORDER BY keys for a window, which sees the source's fields only: an ordinal
// (ORDER BY 2) or an alias of the select list stands for that item's expression.
Tokens windowKeys(const Tokens& keys, const std::vector<SelectItem>& items) {
  Tokens out;
  std::size_t termStart = 0;
  for (std::size_t j = 0; j <= keys.size(); ++j) {
    if (j < keys.size() && !keys[j].isOp(",")) continue;
    bool single = j == termStart + 1 ||
                  (j == termStart + 2 &&
                   (keys[termStart + 1].isWord("ASC") || keys[termStart + 1].isWord("DESC")));
    const SelectItem* item = nullptr;
    if (single && keys[termStart].kind == Token::Number) {
      std::size_t k = std::strtoul(keys[termStart].text.c_str(), nullptr, 10);
      if (k >= 1 && k <= items.size()) item = &items[k - 1];
    } else if (single &&
               (keys[termStart].kind == Token::Word || keys[termStart].kind == Token::Name)) {
      for (const SelectItem& candidate : items)
        if (!candidate.alias.empty() && upper(fromUtf8(candidate.alias.c_str())) ==
                                            upper(fromUtf8(keys[termStart].text.c_str())))
          item = &candidate;
    }
    if (item != nullptr && !item->expression.empty()) {
      out.push_back(op("(", keys[termStart].pos));
      out.insert(out.end(), item->expression.begin(), item->expression.end());
      out.push_back(op(")", keys[termStart].pos));
      out.insert(out.end(), keys.begin() + static_cast<long>(termStart + 1),
                 keys.begin() + static_cast<long>(j));
    } else {
      out.insert(out.end(), keys.begin() + static_cast<long>(termStart),
                 keys.begin() + static_cast<long>(j));
    }
    if (j < keys.size()) out.push_back(keys[j]);
    termStart = j + 1;
  }
  return out;
}

// SELECT TOP n [PERCENT] ... ORDER BY keys returns the first n rows (n percent of the
// rows, rounded up) and every row tied with the last of them on the keys, as Jet
// does. It becomes LIMIT over a count of the rows whose RANK() on the keys is at most
// n: ties share a rank, so that count takes them all. Without ORDER BY (or with
// DISTINCT or UNION, whose rows a window over the source cannot rank) it is LIMIT n.
void rewriteTop(Tokens& toks, const std::string& jet) {
  for (std::size_t i = 0; i + 1 < toks.size(); ++i) {
    if (!toks[i].isWord("SELECT")) continue;
    std::size_t at = i + 1;
    bool distinct =
        at < toks.size() && (toks[at].isWord("DISTINCT") || toks[at].isWord("DISTINCTROW"));
    if (at < toks.size() &&
        (toks[at].isWord("DISTINCT") || toks[at].isWord("ALL") || toks[at].isWord("DISTINCTROW")))
      ++at;
    if (at >= toks.size() || !toks[at].isWord("TOP")) continue;
    if (at + 1 >= toks.size() || toks[at + 1].kind != Token::Number) missingOperand(jet, toks[at]);
    Token n = toks[at + 1];
    const std::size_t pos = n.pos;
    bool percent = at + 2 < toks.size() && toks[at + 2].isWord("PERCENT");
    toks.erase(toks.begin() + static_cast<long>(at),
               toks.begin() + static_cast<long>(at + (percent ? 3 : 2)));
    std::size_t end = selectEnd(toks, i);
    Tokens count{n};
    if (percent) {
      // (SELECT jet_ceil(count(*) * n / 100.0) FROM (<the select without TOP>))
      count = {op("(", pos),          word("SELECT", pos),
               word("jet_ceil", pos), op("(", pos),
               word("count", pos),    op("(", pos),
               op("*", pos),          op(")", pos),
               op("*", pos),          n,
               op("/", pos),          synth(Token::Number, "100.0", pos),
               op(")", pos),          word("FROM", pos),
               op("(", pos)};
      count.insert(count.end(), toks.begin() + static_cast<long>(i),
                   toks.begin() + static_cast<long>(end));
      count.push_back(op(")", pos));
      count.push_back(op(")", pos));
    }
    std::size_t orderAt = findAtTop(toks, i + 1, end, isOrderBy);
    std::size_t fromAt = findAtTop(
        toks, i + 1, end, [](const Tokens& t, std::size_t j) { return t[j].isWord("FROM"); });
    bool union_ = findAtTop(toks, i + 1, end, [](const Tokens& t, std::size_t j) {
                    return t[j].isWord("UNION");
                  }) < end;
    Tokens limit{word("LIMIT", pos)};
    if (orderAt == end || fromAt > orderAt || distinct || union_) {
      limit.insert(limit.end(), count.begin(), count.end());
    } else {
      // (SELECT count(*) FROM (SELECT items, RANK() OVER (ORDER BY keys) AS jet_rank
      //  FROM ... <up to ORDER BY>) WHERE jet_rank <= count)
      Tokens keys(toks.begin() + static_cast<long>(orderAt + 2),
                  toks.begin() + static_cast<long>(end));
      Tokens inner{word("SELECT", pos)};
      inner.insert(inner.end(), toks.begin() + static_cast<long>(at),
                   toks.begin() + static_cast<long>(fromAt));
      for (const Token& t : {op(",", pos), word("RANK", pos), op("(", pos), op(")", pos),
                             word("OVER", pos), op("(", pos), word("ORDER", pos), word("BY", pos)})
        inner.push_back(t);
      Tokens window = windowKeys(keys, selectItems(toks, at, fromAt));
      inner.insert(inner.end(), window.begin(), window.end());
      for (const Token& t : {op(")", pos), word("AS", pos), word("jet_rank", pos)})
        inner.push_back(t);
      inner.insert(inner.end(), toks.begin() + static_cast<long>(fromAt),
                   toks.begin() + static_cast<long>(orderAt));
      for (const Token& t : {op("(", pos), word("SELECT", pos), word("count", pos), op("(", pos),
                             op("*", pos), op(")", pos), word("FROM", pos), op("(", pos)})
        limit.push_back(t);
      limit.insert(limit.end(), inner.begin(), inner.end());
      for (const Token& t :
           {op(")", pos), word("WHERE", pos), word("jet_rank", pos), op("<=", pos)})
        limit.push_back(t);
      limit.insert(limit.end(), count.begin(), count.end());
      limit.push_back(op(")", pos));
    }
    toks.insert(toks.begin() + static_cast<long>(end), limit.begin(), limit.end());
  }
}

// DISTINCTROW returns each combination of source records once, not each distinct
// output row. Over one table every row is its own record, so the word means nothing;
// over several it becomes GROUP BY the row ids of the tables whose fields are output
// (named as table.field or table.*). Unqualified fields name no table: then, as for
// a statement that groups already, the word is dropped.
void rewriteDistinctRow(Tokens& toks) {
  for (std::size_t i = 0; i + 1 < toks.size(); ++i) {
    if (!toks[i].isWord("SELECT") || !toks[i + 1].isWord("DISTINCTROW")) continue;
    toks.erase(toks.begin() + static_cast<long>(i + 1));
    std::size_t end = selectEnd(toks, i);
    auto is = [](const char* w) {
      return [w](const Tokens& t, std::size_t j) { return t[j].isWord(w); };
    };
    std::size_t fromAt = findAtTop(toks, i + 1, end, is("FROM"));
    if (fromAt == end) continue;
    std::size_t clauseEnd = findAtTop(toks, fromAt + 1, end, [](const Tokens& t, std::size_t j) {
      return t[j].isWord("WHERE") || isGroupBy(t, j) || isOrderBy(t, j) || t[j].isWord("HAVING") ||
             t[j].isWord("UNION");
    });
    bool severalTables = findAtTop(toks, fromAt + 1, clauseEnd,
                                   [](const Tokens& t, std::size_t j) {
                                     return t[j].isOp(",") || t[j].isWord("JOIN");
                                   }) < clauseEnd ||
                         findAtTop(toks, fromAt + 1, clauseEnd, [](const Tokens& t, std::size_t j) {
                           return t[j].isOp("(");
                         }) < clauseEnd;
    if (!severalTables || findAtTop(toks, fromAt + 1, end, isGroupBy) < end) continue;
    std::vector<Token> tables;
    for (const SelectItem& selected : selectItems(toks, i + 1, fromAt)) {
      const Tokens& item = selected.expression;
      if (item.size() < 3 || !item[1].isOp(".") ||
          (item[0].kind != Token::Word && item[0].kind != Token::Name))
        continue;
      bool seen = false;
      for (const Token& t : tables)
        seen = seen || upper(fromUtf8(t.text.c_str())) == upper(fromUtf8(item[0].text.c_str()));
      if (!seen) tables.push_back(item[0]);
    }
    if (tables.empty()) continue;
    std::size_t at = findAtTop(toks, fromAt + 1, end, [](const Tokens& t, std::size_t j) {
      return isOrderBy(t, j) || t[j].isWord("HAVING") || t[j].isWord("UNION");
    });
    std::size_t pos = toks[i].pos;
    Tokens group{word("GROUP", pos), word("BY", pos)};
    for (std::size_t k = 0; k < tables.size(); ++k) {
      if (k) group.push_back(op(",", pos));
      group.push_back(tables[k]);
      group.push_back(op(".", pos));
      group.push_back(word("rowid", pos));
    }
    toks.insert(toks.begin() + static_cast<long>(at), group.begin(), group.end());
  }
}

bool isBooleanOperator(const Token& t) {
  return isComparison(t) || t.isWord("AND") || t.isWord("OR") || t.isWord("NOT") ||
         t.isWord("IS") || t.isWord("IN") || t.isWord("EXISTS") || t.isWord("XOR");
}

// The matching closer of the opener at toks[open]; toks.size() when there is none.
std::size_t matchingClose(const Tokens& toks, std::size_t open) {
  int depth = 0;
  for (std::size_t j = open; j < toks.size(); ++j) {
    if (opens(toks[j]))
      ++depth;
    else if (closes(toks[j]) && --depth == 0)
      return j;
  }
  return toks.size();
}

bool isArithmetic(const Token& t) {
  return t.isOp("+") || t.isOp("-") || t.isOp("*") || t.isOp("/") || t.isOp("\\") || t.isOp("^") ||
         t.isOp("&") || t.isOp("||") || t.isWord("MOD");
}

// Where a run of tokens stands: values (select items, function arguments, operands),
// whose truth values must read as Jet's, or a condition (WHERE, ON, HAVING), whose own
// level is only tested for truth and is left alone so that SQLite can use its indexes.
enum class Context { kValues, kSelectList, kCondition };

// Jet's truth values are -1 and 0 where SQLite's are 1 and 0. In toks[b, e), read as
// values separated by commas (and by CASE's WHEN, THEN, ELSE; in a select list also
// ending at an alias), every value whose own level holds a comparison or a logical
// operator is negated; nested levels (parentheses, CASE) are values of their own, and
// sub-selects are left to their own select list. In a condition only the parenthesised
// operands of comparisons and arithmetic, and function arguments, are values.
// Returns the new end.
std::size_t negateTruthValues(Tokens& toks, std::size_t b, std::size_t e, Context context) {
  std::size_t start = b;
  bool truth = false;
  auto close = [&](std::size_t at) {
    if (context == Context::kCondition || !truth || at <= start) return std::size_t{0};
    std::size_t pos = toks[start].pos;
    toks.insert(toks.begin() + static_cast<long>(at), op(")", pos));
    // The server's comparisons are booleans, which no arithmetic takes: jet_truth makes
    // them Jet's -1 and 0.
    toks.insert(toks.begin() + static_cast<long>(start),
                {toServer() ? word("jet_truth", pos) : op("-", pos), op("(", pos)});
    return std::size_t{3};
  };
  std::size_t i = b;
  while (i < e) {
    const Token& t = toks[i];
    if (opens(t)) {
      std::size_t last = matchingClose(toks, i);
      if (last >= e) return e;  // unbalanced: SQLite reports it
      bool subSelect = t.isOp("(") && i + 1 < last && toks[i + 1].isWord("SELECT");
      Context inner = Context::kValues;
      if (context == Context::kCondition && t.isOp("(")) {
        const Token* before = i > b ? &toks[i - 1] : nullptr;
        const Token* after = last + 1 < e ? &toks[last + 1] : nullptr;
        bool call = before && (before->kind == Token::Name ||
                               (before->kind == Token::Word && !isBoundary(*before, {})));
        bool operand = (before && (isComparison(*before) || isArithmetic(*before))) ||
                       (after && (isComparison(*after) || isArithmetic(*after)));
        if (!call && !operand) inner = Context::kCondition;
      }
      if (!subSelect) {
        std::size_t newLast = negateTruthValues(toks, i + 1, last, inner);
        e += newLast - last;
        last = newLast;
      }
      i = last + 1;
      continue;
    }
    bool separator = t.isOp(",") || t.isWord("WHEN") || t.isWord("THEN") || t.isWord("ELSE") ||
                     (context == Context::kSelectList && t.isWord("AS"));
    if (separator) {
      bool alias = t.isWord("AS");
      std::size_t grew = close(i);
      i += grew;
      e += grew;
      start = i + (alias ? 2 : 1);
      truth = false;
      i = start;
      continue;
    }
    if (isBooleanOperator(t)) truth = true;
    ++i;
  }
  return e + close(e);
}

bool endsClause(const Tokens& t, std::size_t j) {
  const Token& w = t[j];
  return w.isWord("FROM") || w.isWord("INTO") || w.isWord("WHERE") || w.isWord("GROUP") ||
         w.isWord("ORDER") || w.isWord("HAVING") || w.isWord("UNION") || w.isWord("LIMIT") ||
         w.isOp(";") || w.isWord("JOIN") || w.isWord("INNER") || w.isWord("LEFT") ||
         w.isWord("RIGHT") || w.isWord("ON") || w.isWord("SET");
}

bool endsLogicalOperand(const Token& t) {
  return t.isWord("AND") || t.isWord("OR") || t.isWord("XOR") || t.isWord("EQV") ||
         t.isWord("IMP") || t.isWord("THEN") || t.isWord("ELSE") || t.isWord("WHEN") ||
         t.isWord("END") || t.isOp(",") || t.isOp(";") || endsClause(std::vector<Token>{t}, 0);
}

// The server's NOT takes only booleans, Jet's Not also numbers (bitwise, so Not -1 is 0):
// a prefix Not becomes jet_not(operand), which the server has for both.
void rewriteServerNot(Tokens& toks) {
  for (std::size_t i = 0; i < toks.size(); ++i) {
    if (!toks[i].isWord("NOT")) continue;
    if (i > 0 && toks[i - 1].isWord("IS")) continue;  // IS NOT NULL
    if (i + 1 >= toks.size() || toks[i + 1].isWord("IN") || toks[i + 1].isWord("EXISTS") ||
        toks[i + 1].isWord("LIKE") || toks[i + 1].isWord("BETWEEN") || toks[i + 1].isWord("NULL"))
      continue;
    std::size_t e = i + 1;
    int depth = 0;
    for (; e < toks.size(); ++e) {
      if (opens(toks[e])) ++depth;
      if (closes(toks[e]) && --depth < 0) break;
      if (depth == 0 && endsLogicalOperand(toks[e])) break;
    }
    if (e == i + 1) continue;
    std::size_t pos = toks[i].pos;
    toks.insert(toks.begin() + static_cast<long>(e), op(")", pos));
    toks[i] = word("jet_not", pos);
    toks.insert(toks.begin() + static_cast<long>(i + 1), op("(", pos));
  }
}

// Whether toks[b, e) reads as a boolean on the server: it holds a comparison or a
// predicate at its own level, or is a call of one of the functions that give booleans.
// (jet_not is not one: Not of a number is a number.)
bool serverBoolean(const Tokens& toks, std::size_t b, std::size_t e) {
  if (b < e && (toks[b].isWord("JET_LIKE") || toks[b].isWord("JET_BETWEEN") ||
                toks[b].isWord("JET_COND") || toks[b].isWord("EXISTS")))
    return true;
  int depth = 0;
  for (std::size_t j = b; j < e; ++j) {
    if (opens(toks[j])) ++depth;
    if (closes(toks[j])) --depth;
    if (depth == 0 &&
        (isComparison(toks[j]) || toks[j].isWord("IS") || toks[j].isWord("IN") ||
         toks[j].isWord("LIKE") || toks[j].isWord("BETWEEN") || toks[j].isWord("EXISTS")))
      return true;
  }
  return false;
}

// A condition's operands that are values (WHERE Stocked, WHERE jet_not(x)) are tested as
// Jet tests them, not zero, through jet_cond, which the server has for booleans too.
void serverConditions(Tokens& toks) {
  for (std::size_t i = 0; i < toks.size(); ++i) {
    if (!(toks[i].isWord("WHERE") || toks[i].isWord("HAVING") || toks[i].isWord("ON"))) continue;
    std::size_t b = i + 1;
    for (;;) {
      std::size_t e = b;
      int depth = 0;
      for (; e < toks.size(); ++e) {
        if (opens(toks[e])) ++depth;
        if (closes(toks[e]) && --depth < 0) break;
        if (depth == 0 && e > b &&
            (endsLogicalOperand(toks[e]) || toks[e].isWord("GROUP") || toks[e].isWord("ORDER") ||
             toks[e].isWord("HAVING")))
          break;
      }
      bool whole = e > b + 1 && toks[b].isOp("(") && matchingClose(toks, b) == e - 1;
      if (e > b && !whole && !serverBoolean(toks, b, e)) {
        std::size_t pos = toks[b].pos;
        toks.insert(toks.begin() + static_cast<long>(e), op(")", pos));
        toks.insert(toks.begin() + static_cast<long>(b), {word("jet_cond", pos), op("(", pos)});
        e += 3;
      }
      if (e >= toks.size() ||
          !(toks[e].isWord("AND") || toks[e].isWord("OR") || toks[e].isWord("XOR")))
        break;
      b = e + 1;
    }
  }
}

// The server's And, Or and a searched CASE's WHEN take booleans only, where Jet's take
// any value (a truth value of -1 is one): an operand that is a value is tested through
// jet_cond, as a condition's are. A simple CASE's WHEN values are compared, not tested.
void serverLogicOperands(Tokens& toks) {
  auto wrap = [&](std::size_t b, std::size_t e) {
    if (e <= b || serverBoolean(toks, b, e)) return std::size_t{0};
    std::size_t pos = toks[b].pos;
    toks.insert(toks.begin() + static_cast<long>(e), op(")", pos));
    toks.insert(toks.begin() + static_cast<long>(b), {word("jet_cond", pos), op("(", pos)});
    return std::size_t{3};
  };
  auto operandEndAt = [&](std::size_t from) {
    std::size_t e = from;
    int depth = 0;
    for (; e < toks.size(); ++e) {
      if (opens(toks[e])) ++depth;
      if (closes(toks[e]) && --depth < 0) break;
      if (depth == 0 && e > from && (endsLogicalOperand(toks[e]) || toks[e].isWord("GROUP"))) break;
    }
    return e;
  };
  for (std::size_t i = 0; i < toks.size(); ++i) {
    const Token& t = toks[i];
    if (t.isWord("WHEN")) {
      // The CASE this WHEN belongs to: searched when WHEN follows it at once.
      std::size_t k = i;
      int depth = 0;
      while (k > 0) {
        --k;
        if (closes(toks[k])) ++depth;
        if (opens(toks[k]) && depth-- == 0) break;
      }
      if (toks[k].isWord("CASE") && k + 1 < toks.size() && toks[k + 1].isWord("WHEN"))
        i += wrap(i + 1, operandEndAt(i + 1));
      continue;
    }
    if (!(t.isWord("AND") || t.isWord("OR") || t.isWord("XOR"))) continue;
    std::size_t b = i;
    int depth = 0;
    while (b > 0) {
      const Token& before = toks[b - 1];
      if (closes(before)) ++depth;
      if (opens(before) && depth-- == 0) break;
      if (depth == 0 && (endsLogicalOperand(before) || before.isWord("WHEN") ||
                         before.isWord("SELECT") || before.isWord("DISTINCT") ||
                         before.isWord("WHERE") || before.isWord("HAVING") || before.isWord("ON")))
        break;
      --b;
    }
    i += wrap(b, i);
    i += wrap(i + 1, operandEndAt(i + 1));
  }
}

// Truth values in select lists, in INSERT's VALUES, in UPDATE's SET values and in the
// operands of conditions read as Jet's.
void rewriteTruthValues(Tokens& toks) {
  for (std::size_t i = 0; i < toks.size(); ++i) {
    const Token& t = toks[i];
    if (t.isWord("SELECT")) {
      std::size_t b = i + 1;
      while (b < toks.size() && (toks[b].isWord("DISTINCT") || toks[b].isWord("ALL"))) ++b;
      std::size_t end = selectEnd(toks, i);
      negateTruthValues(toks, b, findAtTop(toks, b, end, endsClause), Context::kSelectList);
      continue;
    }
    if (t.isWord("VALUES") && i + 1 < toks.size() && toks[i + 1].isOp("(")) {
      std::size_t last = matchingClose(toks, i + 1);
      if (last < toks.size()) negateTruthValues(toks, i + 2, last, Context::kValues);
      continue;
    }
    if (t.isWord("WHERE") || t.isWord("HAVING") || t.isWord("ON")) {
      std::size_t end = selectEnd(toks, i);
      negateTruthValues(toks, i + 1, findAtTop(toks, i + 1, end, endsClause), Context::kCondition);
      continue;
    }
    if (!t.isWord("SET")) continue;
    // SET field = value [, field = value]... [WHERE ...]
    std::size_t j = i + 1;
    while (j < toks.size()) {
      std::size_t eq = findAtTop(toks, j, toks.size(), [](const Tokens& w, std::size_t k) {
        return w[k].isOp("=") || w[k].isOp(",") || w[k].isWord("WHERE");
      });
      if (eq >= toks.size() || !toks[eq].isOp("=")) break;
      std::size_t e = findAtTop(toks, eq + 1, toks.size(), [](const Tokens& w, std::size_t k) {
        return w[k].isOp(",") || w[k].isWord("WHERE");
      });
      e = negateTruthValues(toks, eq + 1, e, Context::kValues);
      if (e >= toks.size() || !toks[e].isOp(",")) break;
      j = e + 1;
    }
  }
}

bool isColumnReference(const Tokens& toks, std::size_t b, std::size_t e) {
  auto named = [&](std::size_t i) {
    return toks[i].kind == Token::Word || toks[i].kind == Token::Name;
  };
  if (e - b == 1) return named(b) || toks[b].isOp("*");
  return e - b == 3 && named(b) && toks[b + 1].isOp(".") && (named(b + 2) || toks[b + 2].isOp("*"));
}

// Jet names an output column that is neither a field nor aliased Expr1000, Expr1001, ...
// in the order of such columns; SQLite would name it after its (translated) text.
void nameExpressionColumns(Tokens& toks) {
  for (std::size_t i = 0; i < toks.size(); ++i) {
    if (!toks[i].isWord("SELECT")) continue;
    std::size_t j = i + 1;
    if (j < toks.size() &&
        (toks[j].isWord("DISTINCT") || toks[j].isWord("ALL") || toks[j].isWord("DISTINCTROW")))
      ++j;
    if (j < toks.size() && toks[j].isWord("TOP"))
      j += j + 2 < toks.size() && toks[j + 2].isWord("PERCENT") ? 3 : 2;
    int expr = 1000;
    while (j < toks.size()) {
      std::size_t b = j;
      int depth = 0;
      bool aliased = false;
      while (j < toks.size()) {
        const Token& t = toks[j];
        if (opens(t))
          ++depth;
        else if (closes(t)) {
          if (depth == 0) break;
          --depth;
        } else if (depth == 0 &&
                   (t.isOp(",") || t.isWord("FROM") || t.isWord("INTO") || t.isWord("WHERE") ||
                    t.isWord("ORDER") || t.isWord("GROUP") || t.isWord("UNION") || t.isOp(";")))
          break;
        if (depth == 0 && t.isWord("AS")) aliased = true;
        ++j;
      }
      if (j > b && !aliased && !isColumnReference(toks, b, j)) {
        std::string name = "Expr" + std::to_string(expr++);
        std::size_t pos = toks[j - 1].pos;
        toks.insert(toks.begin() + static_cast<long>(j),
                    {synth(Token::Word, "AS", pos), Token{Token::Name, name, pos}});
        j += 2;
      }
      if (j < toks.size() && toks[j].isOp(",")) {
        ++j;
        continue;
      }
      break;
    }
  }
}

// `x [Not] Like p` becomes `[Not] jet_like(x, p)`.
void rewriteLike(Tokens& toks, const std::string& jet) {
  static const std::vector<const char*> kStops;
  for (std::size_t i = 0; i < toks.size(); ++i) {
    if (!toks[i].isWord("LIKE")) continue;
    bool negated = i > 0 && toks[i - 1].isWord("NOT");
    std::size_t opAt = i;
    if (negated) {  // move NOT in front of the left operand
      std::size_t l = operandStart(toks, i - 1, kStops);
      if (l == i - 1) missingOperand(jet, toks[i]);
      Token notTok = toks[i - 1];
      toks.erase(toks.begin() + static_cast<long>(i - 1));
      toks.insert(toks.begin() + static_cast<long>(l), notTok);
    }
    rewriteBinary(toks, opAt, "jet_like", kStops, jet);
  }
}

// `x [Not] Between a And b` becomes `[Not] jet_between(x, a, b)`: Jet accepts the
// bounds in either order.
void rewriteBetween(Tokens& toks, const std::string& jet) {
  static const std::vector<const char*> kStops;
  for (std::size_t i = 0; i < toks.size(); ++i) {
    if (!toks[i].isWord("BETWEEN")) continue;
    if (i > 0 && toks[i - 1].isWord("NOT")) {
      std::size_t l = operandStart(toks, i - 1, kStops);
      if (l == i - 1) missingOperand(jet, toks[i]);
      Token notTok = toks[i - 1];
      toks.erase(toks.begin() + static_cast<long>(i - 1));
      toks.insert(toks.begin() + static_cast<long>(l), notTok);
    }
    std::size_t l = operandStart(toks, i, kStops);
    std::size_t lowEnd = operandEnd(toks, i + 1, kStops);
    if (l == i || lowEnd == i + 1 || lowEnd >= toks.size() || !toks[lowEnd].isWord("AND"))
      missingOperand(jet, toks[i]);
    std::size_t highEnd = operandEnd(toks, lowEnd + 1, kStops);
    if (highEnd == lowEnd + 1) missingOperand(jet, toks[i]);
    std::size_t pos = toks[i].pos;
    Tokens out{synth(Token::Word, "jet_between", pos), synth(Token::Op, "(", pos)};
    out.insert(out.end(), toks.begin() + static_cast<long>(l), toks.begin() + static_cast<long>(i));
    out.push_back(synth(Token::Op, ",", pos));
    out.insert(out.end(), toks.begin() + static_cast<long>(i + 1),
               toks.begin() + static_cast<long>(lowEnd));
    out.push_back(synth(Token::Op, ",", pos));
    out.insert(out.end(), toks.begin() + static_cast<long>(lowEnd + 1),
               toks.begin() + static_cast<long>(highEnd));
    out.push_back(synth(Token::Op, ")", pos));
    toks.erase(toks.begin() + static_cast<long>(l), toks.begin() + static_cast<long>(highEnd));
    toks.insert(toks.begin() + static_cast<long>(l), out.begin(), out.end());
  }
}

bool endsWithCollate(const Tokens& toks, std::size_t end) {
  return end < toks.size() && toks[end].isWord("COLLATE");
}

void insertCollate(Tokens& toks, std::size_t at, std::size_t pos) {
  toks.insert(toks.begin() + static_cast<long>(at),
              {synth(Token::Word, "COLLATE", pos), synth(Token::Word, "JETTEXT", pos)});
}

// Whether the operand starting at toks[at] is the field of an UPDATE's SET, which its
// `=` assigns rather than compares.
bool isAssignment(const Tokens& toks, std::size_t at) {
  if (at == 0 || !(toks[at - 1].isWord("SET") || toks[at - 1].isOp(","))) return false;
  int depth = 0;
  for (std::size_t k = at; k > 0; --k) {
    const Token& t = toks[k - 1];
    if (closes(t)) ++depth;
    if (opens(t) && depth-- == 0) return false;
    if (depth == 0 && t.isWord("SET")) return true;
    if (depth == 0 && (t.isWord("SELECT") || t.isWord("WHERE") || t.isWord("VALUES") ||
                       t.isWord("ON") || t.isWord("HAVING") || t.isWord("BY")))
      return false;
  }
  return false;
}

// `x [Not] In ('a', 'b ')`, a list of text literals: as a comparison with each, the
// literals without their trailing blanks and x through jet_key. Returns the index of
// the last token it looked at.
std::size_t serverTextList(Tokens& toks, std::size_t in) {
  static const std::vector<const char*> kStops{"NOT"};
  if (in + 1 >= toks.size() || !toks[in + 1].isOp("(")) return in;
  std::size_t close = matchingClose(toks, in + 1);
  if (close >= toks.size() || close == in + 2) return in;
  for (std::size_t k = in + 2; k < close; ++k) {
    bool item = (k - in) % 2 == 0;  // literal, comma, literal, ...
    if (item ? toks[k].kind != Token::String : !toks[k].isOp(",")) return in;
  }
  std::size_t at = in > 0 && toks[in - 1].isWord("NOT") ? in - 1 : in;
  std::size_t l0 = operandStart(toks, at, kStops);
  if (l0 == at) return in;
  for (std::size_t k = close; k-- > in + 2;) {
    if (toks[k].kind != Token::String) continue;
    while (!toks[k].text.empty() && toks[k].text.back() == ' ') toks[k].text.pop_back();
    toks.insert(toks.begin() + static_cast<long>(k + 1),
                {word("COLLATE", toks[k].pos), word("JETTEXT", toks[k].pos)});
  }
  const std::size_t pos = toks[in].pos;
  toks.insert(toks.begin() + static_cast<long>(at), op(")", pos));
  toks.insert(toks.begin() + static_cast<long>(l0), {word("jet_key", pos), op("(", pos)});
  return in + 3;
}

// A comparison with a text literal on a server. The jettext collation counts trailing
// blanks, Jet does not: the literal loses its own, and the other operand is compared
// through jet_key, which drops a text's (numbers it leaves alone). Where that operand
// is a field and the comparison equality, the field's range around the literal comes
// first, so that an index on it still finds the rows.
void serverTextComparisons(Tokens& toks) {
  static const std::vector<const char*> kStops;
  auto literal = [](Token t) {
    while (!t.text.empty() && t.text.back() == ' ') t.text.pop_back();
    return Tokens{t, word("COLLATE", t.pos), word("JETTEXT", t.pos)};
  };
  for (std::size_t i = 0; i < toks.size(); ++i) {
    if (toks[i].isWord("IN")) {
      i = serverTextList(toks, i);
      continue;
    }
    if (!isComparison(toks[i])) continue;
    std::size_t l0 = operandStart(toks, i, kStops), r1 = operandEnd(toks, i + 1, kStops);
    bool leftLiteral = i == l0 + 1 && toks[l0].kind == Token::String;
    bool rightLiteral = r1 == i + 2 && toks[i + 1].kind == Token::String;
    if ((!leftLiteral && !rightLiteral) || l0 == i || r1 == i + 1 || endsWithCollate(toks, r1) ||
        isAssignment(toks, l0))
      continue;
    const std::size_t pos = toks[i].pos;
    Tokens left(toks.begin() + static_cast<long>(l0), toks.begin() + static_cast<long>(i));
    Tokens right(toks.begin() + static_cast<long>(i + 1), toks.begin() + static_cast<long>(r1));
    Tokens out;
    if (leftLiteral && rightLiteral) {
      out = literal(left[0]);
      out.push_back(toks[i]);
      Tokens r = literal(right[0]);
      out.insert(out.end(), r.begin(), r.end());
    } else {
      Tokens lit = literal(leftLiteral ? left[0] : right[0]);
      const Tokens& other = leftLiteral ? right : left;
      Tokens key{word("jet_key", pos), op("(", pos)};
      key.insert(key.end(), other.begin(), other.end());
      key.push_back(op(")", pos));
      bool ranged = toks[i].isOp("=") && isColumnReference(other, 0, other.size());
      if (ranged) {
        // Jet's text order puts blanks before every other character, so the literal
        // and blanks lie from the literal up to the literal, a blank and a '!'.
        Tokens above = lit;
        above[0].text += " !";
        out.push_back(op("(", pos));
        out.insert(out.end(), other.begin(), other.end());
        out.push_back(op(">=", pos));
        out.insert(out.end(), lit.begin(), lit.end());
        out.push_back(word("AND", pos));
        out.insert(out.end(), other.begin(), other.end());
        out.push_back(op("<", pos));
        out.insert(out.end(), above.begin(), above.end());
        out.push_back(word("AND", pos));
      }
      // The literal keeps its side: < and > read the same way round.
      const Tokens& first = leftLiteral ? lit : key;
      const Tokens& second = leftLiteral ? key : lit;
      out.insert(out.end(), first.begin(), first.end());
      out.push_back(toks[i]);
      out.insert(out.end(), second.begin(), second.end());
      if (ranged) out.push_back(op(")", pos));
    }
    toks.erase(toks.begin() + static_cast<long>(l0), toks.begin() + static_cast<long>(r1));
    toks.insert(toks.begin() + static_cast<long>(l0), out.begin(), out.end());
    i = l0 + out.size() - 1;
  }
}

// Text compares as Jet compares it: without regard to case or trailing blanks. A
// collation on a numeric comparison is ignored by SQLite, so it is added to every one.
void collateComparisons(Tokens& toks) {
  // A server's text columns carry Jet's order themselves and a collation on a number is
  // an error there: only a text literal compared is given Jet's order, so that two
  // literals compare as Jet compares them.
  if (toServer()) return serverTextComparisons(toks);
  static const std::vector<const char*> kStops;
  for (std::size_t i = 0; i < toks.size(); ++i) {
    if (!isComparison(toks[i])) continue;
    std::size_t end = operandEnd(toks, i + 1, kStops);
    if (end == i + 1 || endsWithCollate(toks, end)) continue;
    insertCollate(toks, end, toks[i].pos);
    i = end + 1;
  }
}

// ORDER BY and GROUP BY terms sort and group text as Jet does.
void collateOrderTerms(Tokens& toks) {
  for (std::size_t i = 1; i < toks.size(); ++i) {
    if (!toks[i].isWord("BY") || !(toks[i - 1].isWord("ORDER") || toks[i - 1].isWord("GROUP")))
      continue;
    std::size_t j = i + 1;
    for (;;) {
      std::size_t start = j;
      int depth = 0;
      while (j < toks.size()) {
        const Token& t = toks[j];
        if (t.isOp("("))
          ++depth;
        else if (t.isOp(")")) {
          if (depth == 0) break;
          --depth;
        } else if (depth == 0 && (t.isOp(",") || t.isOp(";") || t.isWord("ASC") ||
                                  t.isWord("DESC") || t.isWord("COLLATE") || t.isWord("HAVING") ||
                                  t.isWord("ORDER") || t.isWord("LIMIT") || t.isWord("UNION")))
          break;
        ++j;
      }
      bool ordinal = j == start + 1 && toks[start].kind == Token::Number;
      if (toServer() && j > start && toks[i - 1].isWord("ORDER")) {
        // Jet sorts Nulls first going up and last going down; the server's default is
        // the reverse.
        std::size_t k = j;
        bool down = k < toks.size() && toks[k].isWord("DESC");
        if (k < toks.size() && (toks[k].isWord("ASC") || toks[k].isWord("DESC"))) ++k;
        std::size_t pos = toks[j - 1].pos;
        toks.insert(toks.begin() + static_cast<long>(k),
                    {word("NULLS", pos), word(down ? "LAST" : "FIRST", pos)});
        j = k + 2;
      } else if (!toServer() && j > start && !ordinal && !endsWithCollate(toks, j)) {
        insertCollate(toks, j, toks[j - 1].pos);
        j += 2;
      }
      while (j < toks.size() &&
             (toks[j].isWord("ASC") || toks[j].isWord("DESC") || toks[j].isWord("COLLATE") ||
              (j > 0 && toks[j - 1].isWord("COLLATE"))))
        ++j;
      if (j < toks.size() && toks[j].isOp(",")) {
        ++j;
        continue;
      }
      break;
    }
    i = j;
  }
}

// A declared parameter as an SQLite named parameter. A name SQLite can spell (letters,
// digits, '_', non-ASCII) is kept; any other ([Enter a date]) travels hex-encoded
// behind kEncodedParameter, and parameterName gives it back.
constexpr char kEncodedParameter[] = "jetp_";

std::string paramName(const std::string& name) {
  bool plain = !name.empty() && name.rfind(kEncodedParameter, 0) != 0;
  for (char c : name)
    plain = plain && (std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
                      static_cast<unsigned char>(c) >= 0x80);
  if (plain) return ":" + name;
  static const char kHex[] = "0123456789ABCDEF";
  std::string out = std::string(":") + kEncodedParameter;
  for (char c : name) {
    out += kHex[static_cast<unsigned char>(c) >> 4];
    out += kHex[static_cast<unsigned char>(c) & 15];
  }
  return out;
}

// PARAMETERS name type [, name type]... ; — the names become SQLite named parameters.
// The function that gives a parameter value the declared type, as Jet coerces it
// ("1/1/2021" given for a DateTime is a date); nullptr for a type it leaves alone.
const char* parameterCoercion(const Token& type) {
  const char* const dates[] = {"DATETIME", "DATE", "TIME", "TIMESTAMP"};
  const char* const numbers[] = {"LONG",       "INTEGER",    "INT",      "SHORT",    "SMALLINT",
                                 "BYTE",       "SINGLE",     "DOUBLE",   "FLOAT",    "REAL",
                                 "NUMBER",     "NUMERIC",    "CURRENCY", "MONEY",    "DECIMAL",
                                 "IEEEDOUBLE", "IEEESINGLE", "INTEGER1", "INTEGER2", "INTEGER4",
                                 "FLOAT4",     "FLOAT8",     "TINYINT",  "COUNTER"};
  const char* const truths[] = {"BIT", "YESNO", "LOGICAL", "LOGICAL1", "BOOLEAN"};
  const char* const texts[] = {"TEXT",         "CHAR", "CHARACTER", "VARCHAR", "STRING",
                               "ALPHANUMERIC", "MEMO", "LONGTEXT",  "NOTE"};
  for (const char* w : dates)
    if (type.isWord(w)) return "jet_param_date";
  for (const char* w : numbers)
    if (type.isWord(w)) return "jet_param_number";
  for (const char* w : truths)
    if (type.isWord(w)) return "jet_param_bool";
  for (const char* w : texts)
    if (type.isWord(w)) return "jet_param_text";
  return nullptr;
}

// PARAMETERS name type [, name type]... ; — the names become SQLite named parameters,
// each read through the coercion of its declared type.
void rewriteParameters(Tokens& toks, const std::string& jet) {
  if (toks.empty() || !toks[0].isWord("PARAMETERS")) return;
  struct Declared {
    std::string parameter;
    const char* coercion;
  };
  std::map<std::string, Declared> names;  // upper-case name -> parameter
  std::size_t i = 1;
  while (i < toks.size() && !toks[i].isOp(";")) {
    const Token& name = toks[i];
    if (name.kind != Token::Name && name.kind != Token::Word) missingOperand(jet, name);
    std::string key = toUtf8(upper(fromUtf8(name.text.c_str())));
    Declared declared{paramName(name.text),
                      i + 1 < toks.size() ? parameterCoercion(toks[i + 1]) : nullptr};
    names[key] = declared;
    ++i;
    int depth = 0;
    while (i < toks.size() && !toks[i].isOp(";") && !(depth == 0 && toks[i].isOp(","))) {
      if (toks[i].isOp("(")) ++depth;
      if (toks[i].isOp(")")) --depth;
      ++i;
    }
    if (i < toks.size() && toks[i].isOp(",")) ++i;
  }
  if (i >= toks.size()) daoThrow(3129);
  toks.erase(toks.begin(), toks.begin() + static_cast<long>(i + 1));
  for (std::size_t k = 0; k < toks.size(); ++k) {
    Token& t = toks[k];
    if (t.kind != Token::Name && t.kind != Token::Word) continue;
    if (k > 0 && toks[k - 1].isOp(".")) continue;
    if (k + 1 < toks.size() && (toks[k + 1].isOp(".") || toks[k + 1].isOp("("))) continue;
    auto it = names.find(toUtf8(upper(fromUtf8(t.text.c_str()))));
    if (it == names.end()) continue;
    t.kind = Token::Param;
    t.text = it->second.parameter;
    if (!it->second.coercion) continue;
    std::size_t pos = t.pos;
    toks.insert(toks.begin() + static_cast<long>(k + 1), op(")", pos));
    toks.insert(toks.begin() + static_cast<long>(k),
                {word(it->second.coercion, pos), op("(", pos)});
    k += 3;
  }
}

void append(Translation& out, const std::string& text, std::size_t pos) {
  if (!out.sql.empty()) {
    out.sql += ' ';
    out.mapping.push_back(pos);
  }
  out.sql += text;
  out.mapping.insert(out.mapping.end(), text.size(), pos);
}

std::string lowerAscii(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string quoted(const std::string& s, char q) {
  std::string out(1, q);
  for (char c : s) {
    out += c;
    if (c == q) out += q;
  }
  out += q;
  return out;
}

// The server's name for a function of Jet's (VBA's functions and the rewrites' jet_*),
// or nullptr for a word that is no such call. They live in the engine's own schema,
// qualified, so that a built-in of the server's spelled alike (left, now, format, date)
// is never taken instead.
std::string serverFunction(const Token& t) {
  if (t.kind != Token::Word) return {};
  std::string lower;
  for (char c : t.text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (!isServerFunction(lower.c_str())) return {};
  return std::string(kServerSchema) + "." + lower;
}

bool isServerKeyword(const Token& t);

const std::vector<std::string>* tableFields(const std::string& table) {
  if (!tNames) return nullptr;
  auto it = tNames->fields.find(serverNameKey(table));
  return it == tNames->fields.end() ? nullptr : &it->second;
}

bool isNameToken(const Token& t) {
  return t.kind == Token::Name || (t.kind == Token::Word && !isServerKeyword(t));
}

// The stored select query a name stands for as a table (name as stored, Jet SQL);
// nullptr when it names none.
const std::pair<std::string, std::string>* storedQuery(const std::string& name) {
  if (!tNames || tNames->queries.empty()) return nullptr;
  auto it = tNames->queries.find(serverNameKey(name));
  return it == tNames->queries.end() ? nullptr : &it->second;
}

// A FROM clause's sources: a table (its fields known) or a sub-select, by the name a
// select list qualifies them with.
struct Source {
  std::string qualifier;
  const std::vector<std::string>* fields;  // null for a sub-select
  bool catalog = false;                    // one of the catalog's tables
};

std::vector<Source> fromSources(const Tokens& toks, std::size_t from, std::size_t end) {
  std::vector<Source> out;
  for (std::size_t j = from + 1; j < end; ++j) {
    const Token& before = toks[j - 1];
    bool starts =
        before.isWord("FROM") || before.isWord("JOIN") || before.isOp(",") || before.isOp("(");
    if (!starts) continue;
    Source src{};
    std::size_t next = j + 1;
    if (toks[j].isOp("(") && j + 1 < end && toks[j + 1].isWord("SELECT")) {
      next = matchingClose(toks, j) + 1;
      src.fields = nullptr;
    } else if (isNameToken(toks[j])) {
      src.qualifier = toks[j].text;
      src.fields = tableFields(toks[j].text);
      src.catalog = tNames && tNames->readOnlyTables.count(serverNameKey(toks[j].text)) != 0;
      // A stored query's fields are the server's to name (q.*); an unknown name is
      // its own error later.
      if (!src.fields && !storedQuery(toks[j].text)) continue;
    } else {
      continue;
    }
    if (next < end && toks[next].isWord("AS")) ++next;
    if (next < end && isNameToken(toks[next])) src.qualifier = toks[next].text;
    out.push_back(src);
    if (!src.fields && toks[j].isOp("(")) j = next;  // past the sub-select
  }
  return out;
}

// ` AS "Name"` after a catalog column an expansion names (it is "name" on the server).
void appendCatalogAlias(Tokens& out, const std::string& field, std::size_t pos) {
  auto it = tNames->catalogColumns.find(serverNameKey(field));
  if (it == tNames->catalogColumns.end()) return;
  out.push_back(word("AS", pos));
  out.push_back(Token{Token::Name, std::string(1, kCatalogAlias) + it->second, pos});
}

void appendFields(Tokens& out, const Source& s, std::size_t pos) {
  if (!s.fields) {
    if (!out.empty()) out.push_back(op(",", pos));
    out.insert(out.end(), {Token{Token::Name, s.qualifier, pos}, op(".", pos), op("*", pos)});
    return;
  }
  for (const std::string& f : *s.fields) {
    if (!out.empty()) out.push_back(op(",", pos));
    out.insert(out.end(),
               {Token{Token::Name, s.qualifier, pos}, op(".", pos), Token{Token::Name, f, pos}});
    // The catalog's columns come back named as a file names them.
    if (s.catalog) appendCatalogAlias(out, f, pos);
  }
}

// A server's tables lead with the record number: `*` and `t.*` in a select list become
// the sources' fields, and an INSERT without a field list gets the table's.
void expandStars(Tokens& toks) {
  for (std::size_t i = 0; i < toks.size(); ++i) {
    if (toks[i].isWord("INTO") && i + 1 < toks.size() && isNameToken(toks[i + 1]) && i > 0 &&
        toks[i - 1].isWord("INSERT")) {
      const std::vector<std::string>* fields = tableFields(toks[i + 1].text);
      bool listed = i + 2 < toks.size() && toks[i + 2].isOp("(") &&
                    !(i + 3 < toks.size() && toks[i + 3].isWord("SELECT"));
      if (fields && !listed && !fields->empty()) {
        std::size_t pos = toks[i + 1].pos;
        Tokens list{op("(", pos)};
        for (const std::string& f : *fields) {
          if (list.size() > 1) list.push_back(op(",", pos));
          list.push_back(Token{Token::Name, f, pos});
        }
        list.push_back(op(")", pos));
        toks.insert(toks.begin() + static_cast<long>(i + 2), list.begin(), list.end());
      }
      continue;
    }
    if (!toks[i].isOp("*") || i == 0) continue;
    std::size_t first = i;  // the item: * or q.*
    const Token& before = toks[i - 1];
    std::string qualifier;
    if (before.isOp(".") && i >= 2 && isNameToken(toks[i - 2])) {
      first = i - 2;
      qualifier = toks[i - 2].text;
    } else if (!(before.isWord("SELECT") || before.isWord("DISTINCT") || before.isWord("ALL") ||
                 before.isOp(","))) {
      continue;  // a product
    }
    const Token& lead = toks[first - (first > 0 ? 1 : 0)];
    if (first == 0 ||
        !(lead.isWord("SELECT") || lead.isWord("DISTINCT") || lead.isWord("ALL") || lead.isOp(",")))
      continue;
    // The select list's FROM at this level, and where its clause ends.
    std::size_t from = toks.size();
    int depth = 0;
    for (std::size_t j = i + 1; j < toks.size(); ++j) {
      if (opens(toks[j])) ++depth;
      if (closes(toks[j]) && --depth < 0) break;
      if (depth == 0 && toks[j].isWord("FROM")) {
        from = j;
        break;
      }
    }
    if (from == toks.size()) continue;
    std::size_t end = from + 1;
    depth = 0;
    for (; end < toks.size(); ++end) {
      const Token& t = toks[end];
      if (opens(t)) ++depth;
      if (closes(t) && --depth < 0) break;
      if (depth == 0 &&
          (t.isWord("WHERE") || t.isWord("GROUP") || t.isWord("ORDER") || t.isWord("HAVING") ||
           t.isWord("UNION") || t.isWord("LIMIT") || t.isOp(";")))
        break;
    }
    std::vector<Source> sources = fromSources(toks, from, end);
    Tokens expanded;
    bool known = true;
    for (const Source& src : sources) {
      if (!qualifier.empty() && serverNameKey(src.qualifier) != serverNameKey(qualifier)) continue;
      // An unnamed sub-select cannot be qualified: its own * is already its fields.
      if (!src.fields && src.qualifier.empty()) known = false;
      appendFields(expanded, src, toks[i].pos);
    }
    if (expanded.empty() || !known) continue;
    toks.erase(toks.begin() + static_cast<long>(first), toks.begin() + static_cast<long>(i + 1));
    toks.insert(toks.begin() + static_cast<long>(first), expanded.begin(), expanded.end());
    i = first + expanded.size() - 1;
  }
}

// Rows that tie on every ORDER BY key come from a file in the order of its records
// (SQLite sorts stably, scanning a table by its record numbers); a server's sort keeps
// no order among them. A select from one table, neither grouped nor distinct, sorts
// its ties by the record number too, so that TOP keeps and shows the same rows.
void serverTieOrder(Tokens& toks) {
  static const char* const kAggregates[] = {"COUNT", "SUM", "AVG",  "MIN",   "MAX",   "FIRST",
                                            "LAST",  "VAR", "VARP", "STDEV", "STDEVP"};
  auto is = [](const char* w) {
    return [w](const Tokens& t, std::size_t j) { return t[j].isWord(w); };
  };
  for (std::size_t i = 0; i + 1 < toks.size(); ++i) {
    if (!toks[i].isWord("SELECT") || toks[i + 1].isWord("DISTINCT")) continue;
    // The last select of a UNION: its ORDER BY sorts the union's rows, by their columns.
    bool unionPart = i > 0 && (toks[i - 1].isWord("UNION") ||
                               (i > 1 && toks[i - 1].isWord("ALL") && toks[i - 2].isWord("UNION")));
    if (unionPart) continue;
    std::size_t end = selectEnd(toks, i);
    std::size_t orderAt = findAtTop(toks, i + 1, end, isOrderBy);
    std::size_t fromAt = findAtTop(toks, i + 1, end, is("FROM"));
    if (orderAt == end || fromAt > orderAt || findAtTop(toks, i + 1, end, isGroupBy) < end ||
        findAtTop(toks, i + 1, end, is("UNION")) < end)
      continue;
    bool aggregate = false;
    for (std::size_t j = i + 1; j + 1 < fromAt; ++j)
      for (const char* a : kAggregates)
        aggregate = aggregate || (toks[j].isWord(a) && toks[j + 1].isOp("("));
    if (aggregate) continue;
    // FROM table [[AS] alias], then the next clause.
    std::size_t j = fromAt + 1;
    if (j >= end || !isNameToken(toks[j]) || !tableFields(toks[j].text)) continue;
    Token qualifier = toks[j++];
    if (j < end && toks[j].isWord("AS")) ++j;
    if (j < end && isNameToken(toks[j])) qualifier = toks[j++];
    if (j < end &&
        !(toks[j].isWord("WHERE") || toks[j].isWord("ORDER") || toks[j].isWord("HAVING")))
      continue;
    std::size_t at = findAtTop(toks, orderAt, end, is("LIMIT"));
    const std::size_t pos = toks[at - 1].pos;
    toks.insert(toks.begin() + static_cast<long>(at),
                {op(",", pos), Token{Token::Name, qualifier.text, pos}, op(".", pos),
                 Token{Token::Name, "rowid", pos}});
  }
}

// Stored select queries a statement reads as tables become common table expressions
// in front of it, each its own translation (which brings those it reads in turn), so
// the server reads the query as it is stored now: the translation is made again when
// the catalog's version moves, which every change of a query or a table does. Nesting
// past kMostNestedQueries (a query that reads itself) leaves the name to fail as an
// unknown table.
constexpr int kMostNestedQueries = 32;
thread_local int tQueryDepth = 0;

std::string serverQueryPrefix(const Tokens& toks) {
  std::vector<const std::pair<std::string, std::string>*> used;
  for (std::size_t i = 1; i < toks.size(); ++i) {
    const Token& before = toks[i - 1];
    if (!isNameToken(toks[i]) || tableFields(toks[i].text)) continue;
    if (!(before.isWord("FROM") || before.isWord("JOIN") || before.isOp(",") || before.isOp("(")))
      continue;
    if (i + 1 < toks.size() && (toks[i + 1].isOp("(") || toks[i + 1].isOp("."))) continue;
    const auto* query = storedQuery(toks[i].text);
    if (!query) continue;
    bool seen = false;
    for (const auto* q : used) seen = seen || q == query;
    if (!seen) used.push_back(query);
  }
  if (used.empty() || tQueryDepth >= kMostNestedQueries) return {};
  struct Depth {
    Depth() { ++tQueryDepth; }
    ~Depth() { --tQueryDepth; }
  } depth;
  std::string with;
  for (const auto* query : used) {
    Translation body;
    try {
      body = translate(query->second, tTarget, tNames);
    } catch (CDaoException* e) {
      e->Delete();  // a query that does not translate stays an unknown table
      continue;
    }
    if (body.kind != Translation::Select) continue;
    with += (with.empty() ? "WITH " : ", ") + quoted(query->first, '"') + " AS (" + body.sql + ")";
  }
  return with.empty() ? with : with + " ";
}

// Words the server reads as SQL, never as names.
bool isServerKeyword(const Token& t) {
  static const char* const kKeywords[] = {
      "SELECT",    "DISTINCT", "ALL",    "FROM",   "WHERE", "GROUP",   "BY",    "HAVING",
      "ORDER",     "ASC",      "DESC",   "AS",     "ON",    "INNER",   "LEFT",  "RIGHT",
      "OUTER",     "JOIN",     "FULL",   "CROSS",  "UNION", "INSERT",  "INTO",  "VALUES",
      "UPDATE",    "SET",      "DELETE", "AND",    "OR",    "NOT",     "IS",    "NULL",
      "LIKE",      "BETWEEN",  "IN",     "EXISTS", "CASE",  "WHEN",    "THEN",  "ELSE",
      "END",       "LIMIT",    "OFFSET", "ESCAPE", "NULLS", "FIRST",   "LAST",  "OVER",
      "PARTITION", "TRUE",     "FALSE",  "ANY",    "SOME",  "DEFAULT", "USING", "SYMMETRIC",
      "COLLATE",   "JETTEXT"};
  if (t.kind != Token::Word) return false;
  for (const char* k : kKeywords)
    if (t.isWord(k)) return true;
  return false;
}

// A name as the server stores it: the table's or field's own spelling when there is
// one (an alias keeps the spelling of its AS), quoted.
std::string serverName(const std::string& name,
                       const std::unordered_map<std::string, std::string>& aliases) {
  std::string key = serverNameKey(name);
  if (const std::string* column = catalogColumn(name)) return quoted(lowerAscii(*column), '"');
  if (tNames) {
    auto it = tNames->spelling.find(key);
    if (it != tNames->spelling.end()) return quoted(it->second, '"');
    if (const auto* query = storedQuery(name)) return quoted(query->first, '"');
  }
  auto it = aliases.find(key);
  return quoted(it != aliases.end() ? it->second : name, '"');
}

// Which tokens lie in the statement's own select list (between its first SELECT and
// FROM, outside parentheses).
std::vector<bool> topSelectList(const Tokens& toks) {
  std::vector<bool> in(toks.size(), false);
  int depth = 0;
  bool inside = false;
  for (std::size_t i = 0; i < toks.size(); ++i) {
    if (toks[i].isOp("(")) ++depth;
    if (toks[i].isOp(")")) --depth;
    if (depth != 0) continue;
    if (toks[i].isWord("SELECT")) {
      inside = true;
      continue;
    }
    if (toks[i].isWord("FROM") || toks[i].isWord("INTO")) inside = false;
    in[i] = inside;
  }
  return in;
}

// A select-list item that is one name: after SELECT, DISTINCT or ",", before "," or
// the list's end.
bool endsSelectItem(const Tokens& toks, std::size_t i) {
  if (i == 0) return false;
  const Token& before = toks[i - 1];
  bool starts = before.isWord("SELECT") || before.isWord("DISTINCT") || before.isOp(",");
  bool ends = i + 1 >= toks.size() || toks[i + 1].isOp(",") || toks[i + 1].isWord("FROM") ||
              toks[i + 1].isWord("INTO");
  return starts && ends;
}

void emit(Translation& out, const Tokens& toks) {
  std::map<std::string, int> numbered;  // a server's parameters: name -> $n
  std::unordered_map<std::string, std::string> aliases;
  // The server names every sub-select in FROM: the closers of those without a name.
  std::vector<bool> namesSubSelect(toks.size(), false);
  if (toServer())
    for (std::size_t i = 1; i + 1 < toks.size(); ++i) {
      if (!toks[i].isOp("(") || !toks[i + 1].isWord("SELECT")) continue;
      if (!(toks[i - 1].isWord("FROM") || toks[i - 1].isWord("JOIN") || toks[i - 1].isOp(",")))
        continue;
      std::size_t close = matchingClose(toks, i);
      if (close >= toks.size()) continue;
      bool named = close + 1 < toks.size() &&
                   (toks[close + 1].isWord("AS") || toks[close + 1].kind == Token::Name ||
                    (toks[close + 1].kind == Token::Word && !isServerKeyword(toks[close + 1])));
      if (!named) namesSubSelect[close] = true;
    }
  if (toServer())
    for (std::size_t i = 1; i < toks.size(); ++i)
      if (toks[i - 1].isWord("AS") && (toks[i].kind == Token::Name || toks[i].kind == Token::Word))
        aliases.emplace(serverNameKey(toks[i].text), toks[i].text);
  const std::vector<bool> selectList = topSelectList(toks);
  for (std::size_t i = 0; i < toks.size(); ++i) {
    const Token& t = toks[i];
    if (toServer()) {
      // INSERT INTO t (fields) names a table, not a function.
      bool call =
          i + 1 < toks.size() && toks[i + 1].isOp("(") && !(i > 0 && toks[i - 1].isWord("INTO"));
      std::string fn = call ? serverFunction(t) : std::string();
      if (!fn.empty()) {
        append(out, fn, t.pos);
        continue;
      }
      // A caller reaches Jet's functions only, as on a file: the server's own (files,
      // settings, sleeping) are not Jet's to call.
      if (call && t.kind == Token::Word && !isServerKeyword(t) && !isJetFunction(t.text.c_str()))
        daoThrow(3085, {fromUtf8(t.text.c_str())});
      if (isCatalogAlias(t)) {
        append(out, quoted(t.text.substr(1), '"'), t.pos);
        continue;
      }
      if (t.kind == Token::Name || (t.kind == Token::Word && !call && !isServerKeyword(t))) {
        append(out, serverName(t.text, aliases), t.pos);
        // A column of the select list named by itself: as a file names it.
        if (selectList[i] && endsSelectItem(toks, i))
          if (const std::string* shown = catalogColumn(t.text))
            append(out, " AS " + quoted(*shown, '"'), t.pos);
        continue;
      }
      if (namesSubSelect[i]) {
        append(out, ") AS jet_sub" + std::to_string(i), t.pos);
        continue;
      }
      if (t.kind == Token::Param) {
        // The server numbers its parameters; a name used twice is one parameter.
        std::string key = t.text == "?" ? "?" + std::to_string(out.parameters.size()) : t.text;
        auto [it, added] = numbered.emplace(key, static_cast<int>(numbered.size()) + 1);
        if (added) out.parameters.push_back(t.text);
        append(out, "?" + std::to_string(it->second), t.pos);
        continue;
      }
    }
    // SQLite reads LEFT and RIGHT only as join words; as VBA's functions they are quoted.
    bool call = i + 1 < toks.size() && toks[i + 1].isOp("(");
    if (call && (t.isWord("LEFT") || t.isWord("RIGHT"))) {
      append(out, quoted(t.text, '"'), t.pos);
      continue;
    }
    switch (t.kind) {
      case Token::String:
        append(out, quoted(t.text, '\''), t.pos);
        break;
      case Token::Name:
        append(out, quoted(t.text, '"'), t.pos);
        break;
      default:
        append(out, t.text, t.pos);
        break;
    }
  }
}

// Jet's DELETE names what it deletes before FROM (DELETE * FROM t, DELETE t.* FROM t,
// even a field list, which changes nothing: whole records go); SQL names nothing there.
void rewriteDeleteTargets(Tokens& toks, std::size_t first) {
  if (first >= toks.size() || !toks[first].isWord("DELETE")) return;
  std::size_t from = first + 1;
  while (from < toks.size() && !toks[from].isWord("FROM") && !toks[from].isOp("(")) ++from;
  if (from >= toks.size() || !toks[from].isWord("FROM")) return;
  toks.erase(toks.begin() + static_cast<long>(first + 1), toks.begin() + static_cast<long>(from));
}

Translation::Kind kindOf(const Token& first) {
  if (first.isWord("SELECT")) return Translation::Select;
  if (first.isWord("INSERT")) return Translation::Insert;
  if (first.isWord("UPDATE")) return Translation::Update;
  if (first.isWord("DELETE")) return Translation::Delete;
  return Translation::Other;
}

}  // namespace

std::string parameterName(const char* sqliteName) {
  if (sqliteName == nullptr || *sqliteName == '\0') return {};
  std::string name = sqliteName + 1;  // past ':', '@', '$' or '?'
  if (name.rfind(kEncodedParameter, 0) != 0) return name;
  std::string hex = name.substr(sizeof kEncodedParameter - 1), out;
  auto digit = [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
           : c >= 'A' && c <= 'F'                      ? c - 'A' + 10
                                                       : -1;
  };
  for (std::size_t k = 0; k + 1 < hex.size(); k += 2) {
    int hi = digit(hex[k]), lo = digit(hex[k + 1]);
    if (hi < 0 || lo < 0 || hex.size() % 2 != 0) return name;
    out += static_cast<char>(hi * 16 + lo);
  }
  return out;
}

std::string serverNameKey(const std::string& name) { return toUtf8(upper(fromUtf8(name.c_str()))); }

Translation translate(const std::string& jet, Target target, const ServerNames* names) {
  struct Restore {
    Target was = tTarget;
    const ServerNames* names = tNames;
    bool catalogOnly = tCatalogOnly;
    ~Restore() {
      tTarget = was;
      tNames = names;
      tCatalogOnly = catalogOnly;
    }
  } restore;
  tTarget = target;
  tNames = names;
  Translation out;
  out.jet = jet;
  Tokens toks = tokenize(jet);
  if (toks.empty()) {
    out.sql = jet;
    return out;
  }
  bool declared = toks[0].isWord("PARAMETERS");
  std::size_t firstAfter = 0;
  if (declared)
    for (std::size_t i = 0; i < toks.size(); ++i)
      if (toks[i].isOp(";")) {
        firstAfter = i + 1;
        break;
      }
  if (firstAfter >= toks.size() && declared) daoThrow(3129);
  out.kind = kindOf(toks[firstAfter]);
  // Jet's statements are these four and its DDL (carried out before translation);
  // whatever else SQLite would read (PRAGMA, ATTACH, WITH, VACUUM, BEGIN...) Jet has
  // no syntax for.
  if (out.kind == Translation::Other) daoThrow(3129);
  out.source = toks;
  tCatalogOnly = toServer() && names && checkServerTables(toks, *names);
  rewriteDeleteTargets(toks, firstAfter);
  rewriteParameters(toks, jet);
  // A ';' ends the statement; only blanks may follow it.
  for (std::size_t i = 0; i < toks.size(); ++i)
    if (toks[i].isOp(";")) {
      if (i + 1 < toks.size()) daoThrow(3142);
      toks.pop_back();
    }
  checkParentheses(toks, jet, out.kind);
  rewriteDistinctRow(toks);
  nameExpressionColumns(toks);
  rewriteLiterals(toks);
  rewriteTop(toks, jet);
  rewriteDivision(toks);
  rewriteAll(
      toks, [](const Tokens& t, std::size_t i) { return t[i].isOp("\\"); }, "jet_intdiv",
      {"+", "-", "&", "\\", "MOD", "||"}, jet);
  rewriteAll(
      toks, [](const Tokens& t, std::size_t i) { return t[i].isWord("MOD"); }, "jet_mod",
      {"+", "-", "&", "\\", "MOD", "||"}, jet);
  rewriteAddition(toks, jet);
  rewriteAll(
      toks, [](const Tokens& t, std::size_t i) { return t[i].isOp("&"); }, "jet_concat",
      {"&", "||"}, jet);
  rewriteLike(toks, jet);
  rewriteBetween(toks, jet);
  rewriteTruthValues(toks);
  if (toServer()) {
    rewriteServerNot(toks);
    serverConditions(toks);
    serverLogicOperands(toks);
  }
  collateComparisons(toks);
  collateOrderTerms(toks);
  std::string queries;
  if (toServer()) {
    expandStars(toks);
    serverTieOrder(toks);
    queries = serverQueryPrefix(toks);
  }
  emit(out, toks);
  if (!queries.empty()) {
    out.sql.insert(0, queries);
    out.mapping.insert(out.mapping.begin(), queries.size(), 0);
  }
  return out;
}

void throwIfSyntaxError(sqlite3* db, const Translation& t) {
  if (t.kind == Translation::Other) return;
  std::string msg = sqlite3_errmsg(db);
  static const char kNoFunction[] = "no such function: ";
  if (msg.rfind(kNoFunction, 0) == 0)
    daoThrow(3085, {fromUtf8(msg.c_str() + sizeof(kNoFunction) - 1)});
  bool malformed = msg.find("syntax error") != std::string::npos ||
                   msg.find("incomplete input") != std::string::npos ||
                   msg.find("unrecognized token") != std::string::npos;
  if (!malformed) return;
  throwSyntaxError(t, sqlite3_error_offset(db));
}

void mapServerSyntaxError(CDaoException* e, const Translation& t, int offset) {
  if (!e || offset < 0 || (e->m_scode & 0xFFFF) != 3129 || t.kind == Translation::Other) return;
  e->Delete();
  throwSyntaxError(t, offset);
}

void throwSyntaxError(const Translation& t, int offset) {
  if (t.kind == Translation::Insert) daoThrow(3134);
  if (t.kind == Translation::Update) daoThrow(3144);
  // Where it broke, in the statement as given: the clause around that point.
  std::size_t at = offset >= 0 && static_cast<std::size_t>(offset) < t.mapping.size()
                       ? t.mapping[static_cast<std::size_t>(offset)]
                       : t.jet.size();
  const Tokens& src = t.source;
  std::size_t k = 0;
  while (k < src.size() && src[k].pos < at) ++k;  // src[k] is the first token at or after the fault
  auto opensClause = [](const Token& tok) {
    return tok.isWord("SELECT") || tok.isWord("WHERE") || tok.isWord("HAVING") ||
           tok.isWord("BY") || tok.isWord("ON") || tok.isWord("FROM") || tok.isWord("JOIN") ||
           tok.isOp(",") || tok.isWord("SET");
  };
  std::size_t begin = k;
  while (begin > 0 && !opensClause(src[begin - 1])) --begin;
  bool inFrom = false;
  for (std::size_t j = begin; j > 0; --j) {
    const Token& tok = src[j - 1];
    if (tok.isWord("FROM") || tok.isWord("JOIN")) {
      inFrom = true;
      break;
    }
    if (tok.isWord("SELECT") || tok.isWord("WHERE") || tok.isWord("ON") || tok.isWord("HAVING") ||
        tok.isWord("BY"))
      break;
  }
  if (inFrom) daoThrow(3131);
  std::size_t end = k;
  while (end < src.size() && !opensClause(src[end]) && !src[end].isWord("GROUP") &&
         !src[end].isWord("ORDER") && !src[end].isOp(";"))
    ++end;
  std::size_t from = begin < src.size() ? src[begin].pos : t.jet.size();
  std::size_t to = end < src.size() ? src[end].pos : t.jet.size();
  std::string expr = to > from ? t.jet.substr(from, to - from) : std::string();
  while (!expr.empty() && expr.back() == ' ') expr.pop_back();
  daoThrow(3075, {L"Syntax error (missing operator)", fromUtf8(expr.c_str())});
}

}  // namespace tabrik::dao::jetsql
