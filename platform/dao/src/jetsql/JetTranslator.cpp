// The Jet SQL rewriter (rules in JetTranslator.h). It works on tokens, not text: each
// pass finds one construct, works out its operands by Jet's operator precedence, and
// replaces them with SQLite tokens; the passes run from the most tightly binding
// operator (\ and Mod) to the loosest (comparisons), so an operand already rewritten
// is a single parenthesised call to the passes after it.
#include "JetTranslator.h"

#include <cstdio>
#include <cstring>
#include <map>

#include "../DaoErrors.h"
#include "../DaoStore.h"
#include "JetDates.h"

namespace tabrik::dao::jetsql {

namespace {

using Tokens = std::vector<Token>;

// Words that end an operand: clause keywords and the operators that bind more loosely
// than any this translator rewrites.
const char* const kBoundaryWords[] = {"SELECT", "FROM",  "WHERE",  "GROUP", "ORDER",  "BY",    "HAVING", "AS",
                                      "ON",     "JOIN",  "INNER",  "LEFT",  "RIGHT",  "OUTER", "SET",    "VALUES",
                                      "THEN",   "ELSE",  "WHEN",   "CASE",  "END",    "COLLATE", "ASC",  "DESC",
                                      "UNION",  "LIMIT", "INTO",   "DISTINCT", "AND", "OR",    "NOT",    "LIKE",
                                      "BETWEEN", "IS",   "IN",     "EXISTS", "ALL",  "TOP",   "ESCAPE", "XOR",
                                      "IMP",    "EQV"};
const char* const kComparisons[] = {"=", "<>", "<", ">", "<=", ">=", "!=", "=="};

bool isComparison(const Token& t) {
  for (const char* op : kComparisons)
    if (t.isOp(op)) return true;
  return false;
}

bool isBoundary(const Token& t, const std::vector<const char*>& stops) {
  if (t.kind == Token::Word) {
    if (t.isWord("LEFT") || t.isWord("RIGHT")) return false;  // as joins they follow a complete FROM item
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
    if (closes(t)) ++depth;
    else if (opens(t)) {
      if (depth == 0) break;
      --depth;
    } else if (depth == 0 && isBoundary(t, stops)) break;
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
    if (opens(t)) ++depth;
    else if (closes(t)) {
      if (depth == 0) break;
      --depth;
    } else if (depth == 0 && isBoundary(t, stops)) break;
    ++j;
  }
  return j;
}

Token synth(Token::Kind kind, const char* text, std::size_t pos) { return Token{kind, text, pos}; }

// Replaces `left OP right` around toks[i] with `fn(left, right)`.
void rewriteBinary(Tokens& toks, std::size_t i, const char* fn, const std::vector<const char*>& stops,
                   const std::string& jet) {
  std::size_t l = operandStart(toks, i, stops);
  std::size_t r = operandEnd(toks, i + 1, stops);
  if (l == i || r == i + 1) missingOperand(jet, toks[i]);
  std::size_t pos = toks[i].pos;
  Tokens out;
  out.push_back(synth(Token::Word, fn, pos));
  out.push_back(synth(Token::Op, "(", pos));
  out.insert(out.end(), toks.begin() + static_cast<long>(l), toks.begin() + static_cast<long>(i));
  out.push_back(synth(Token::Op, ",", pos));
  out.insert(out.end(), toks.begin() + static_cast<long>(i + 1), toks.begin() + static_cast<long>(r));
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
    bool binary = before.isOp(")") || before.kind == Token::Number || before.kind == Token::String ||
                  before.kind == Token::Name || before.kind == Token::Param ||
                  (before.kind == Token::Word && !isBoundary(before, {}));
    if (!binary) continue;  // a sign
    std::size_t l = operandStart(toks, i, kLeftStops);
    std::size_t r = operandEnd(toks, i + 1, kRightStops);
    if (l == i || r == i + 1) missingOperand(jet, toks[i]);
    std::size_t pos = toks[i].pos;
    Tokens out{synth(Token::Word, "jet_add", pos), synth(Token::Op, "(", pos)};
    out.insert(out.end(), toks.begin() + static_cast<long>(l), toks.begin() + static_cast<long>(i));
    out.push_back(synth(Token::Op, ",", pos));
    out.insert(out.end(), toks.begin() + static_cast<long>(i + 1), toks.begin() + static_cast<long>(r));
    out.push_back(synth(Token::Op, ")", pos));
    toks.erase(toks.begin() + static_cast<long>(l), toks.begin() + static_cast<long>(r));
    toks.insert(toks.begin() + static_cast<long>(l), out.begin(), out.end());
  }
}

// Rewrites every binary operator `isOp` picks out, leftmost first (Jet's operators
// associate to the left).
template <typename Pred>
void rewriteAll(Tokens& toks, Pred isOp, const char* fn, const std::vector<const char*>& stops, const std::string& jet) {
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

// Literals: #dates#, the Yes/No words, DISTINCTROW (dropped: for one table it means
// nothing, and over joins the engine returns the distinct output rows' sources as is).
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
    bool qualified = (i > 0 && toks[i - 1].isOp(".")) || (i + 1 < toks.size() && toks[i + 1].isOp("."));
    if (qualified) continue;
    if (t.isWord("TRUE") || t.isWord("YES")) t = synth(Token::Number, "-1", t.pos);
    else if (t.isWord("FALSE") || t.isWord("NO")) t = synth(Token::Number, "0", t.pos);
    else if (t.isWord("DISTINCTROW")) toks.erase(toks.begin() + static_cast<long>(i--));
  }
}

// Jet's `/` always divides as floating point.
void rewriteDivision(Tokens& toks) {
  for (std::size_t i = 0; i < toks.size(); ++i)
    if (toks[i].isOp("/")) {
      std::size_t pos = toks[i].pos;
      toks.insert(toks.begin() + static_cast<long>(i), {synth(Token::Op, "*", pos), synth(Token::Number, "1.0", pos)});
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

// SELECT TOP n [PERCENT] ... becomes ... LIMIT n, or LIMIT of n percent of the rows
// (rounded up) counted by the same statement without TOP.
void rewriteTop(Tokens& toks, const std::string& jet) {
  for (std::size_t i = 0; i + 1 < toks.size(); ++i) {
    if (!toks[i].isWord("SELECT")) continue;
    std::size_t at = i + 1;
    if (at < toks.size() && (toks[at].isWord("DISTINCT") || toks[at].isWord("ALL"))) ++at;
    if (at >= toks.size() || !toks[at].isWord("TOP")) continue;
    if (at + 1 >= toks.size() || toks[at + 1].kind != Token::Number) missingOperand(jet, toks[at]);
    Token n = toks[at + 1];
    bool percent = at + 2 < toks.size() && toks[at + 2].isWord("PERCENT");
    toks.erase(toks.begin() + static_cast<long>(at), toks.begin() + static_cast<long>(at + (percent ? 3 : 2)));
    std::size_t end = selectEnd(toks, i);
    Tokens limit{synth(Token::Word, "LIMIT", n.pos)};
    if (!percent) {
      limit.push_back(n);
    } else {
      // LIMIT (SELECT jet_ceil(count(*) * n / 100.0) FROM (<the select>))
      Tokens count;
      for (const char* w : {"(", "SELECT", "jet_ceil", "(", "count", "(", "*", ")", "*"})
        count.push_back(synth(std::isalpha(static_cast<unsigned char>(w[0])) ? Token::Word : Token::Op, w, n.pos));
      count.push_back(n);
      for (const char* w : {"/", "100.0", ")", "FROM", "("})
        count.push_back(synth(std::isalpha(static_cast<unsigned char>(w[0])) ? Token::Word
                              : std::isdigit(static_cast<unsigned char>(w[0])) ? Token::Number
                                                                                : Token::Op,
                              w, n.pos));
      count.insert(count.end(), toks.begin() + static_cast<long>(i), toks.begin() + static_cast<long>(end));
      count.push_back(synth(Token::Op, ")", n.pos));
      count.push_back(synth(Token::Op, ")", n.pos));
      limit.insert(limit.end(), count.begin(), count.end());
    }
    toks.insert(toks.begin() + static_cast<long>(end), limit.begin(), limit.end());
  }
}

bool isColumnReference(const Tokens& toks, std::size_t b, std::size_t e) {
  auto named = [&](std::size_t i) { return toks[i].kind == Token::Word || toks[i].kind == Token::Name; };
  if (e - b == 1) return named(b) || toks[b].isOp("*");
  return e - b == 3 && named(b) && toks[b + 1].isOp(".") && (named(b + 2) || toks[b + 2].isOp("*"));
}

// Jet names an output column that is neither a field nor aliased Expr1000, Expr1001, ...
// in the order of such columns; SQLite would name it after its (translated) text.
void nameExpressionColumns(Tokens& toks) {
  for (std::size_t i = 0; i < toks.size(); ++i) {
    if (!toks[i].isWord("SELECT")) continue;
    std::size_t j = i + 1;
    if (j < toks.size() && (toks[j].isWord("DISTINCT") || toks[j].isWord("ALL") || toks[j].isWord("DISTINCTROW"))) ++j;
    if (j < toks.size() && toks[j].isWord("TOP")) j += j + 2 < toks.size() && toks[j + 2].isWord("PERCENT") ? 3 : 2;
    int expr = 1000;
    while (j < toks.size()) {
      std::size_t b = j;
      int depth = 0;
      bool aliased = false;
      while (j < toks.size()) {
        const Token& t = toks[j];
        if (opens(t)) ++depth;
        else if (closes(t)) {
          if (depth == 0) break;
          --depth;
        } else if (depth == 0 && (t.isOp(",") || t.isWord("FROM") || t.isWord("INTO") || t.isWord("WHERE") ||
                                  t.isWord("ORDER") || t.isWord("GROUP") || t.isWord("UNION") || t.isOp(";")))
          break;
        if (depth == 0 && t.isWord("AS")) aliased = true;
        ++j;
      }
      if (j > b && !aliased && !isColumnReference(toks, b, j)) {
        std::string name = "Expr" + std::to_string(expr++);
        std::size_t pos = toks[j - 1].pos;
        toks.insert(toks.begin() + static_cast<long>(j), {synth(Token::Word, "AS", pos), Token{Token::Name, name, pos}});
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
    if (l == i || lowEnd == i + 1 || lowEnd >= toks.size() || !toks[lowEnd].isWord("AND")) missingOperand(jet, toks[i]);
    std::size_t highEnd = operandEnd(toks, lowEnd + 1, kStops);
    if (highEnd == lowEnd + 1) missingOperand(jet, toks[i]);
    std::size_t pos = toks[i].pos;
    Tokens out{synth(Token::Word, "jet_between", pos), synth(Token::Op, "(", pos)};
    out.insert(out.end(), toks.begin() + static_cast<long>(l), toks.begin() + static_cast<long>(i));
    out.push_back(synth(Token::Op, ",", pos));
    out.insert(out.end(), toks.begin() + static_cast<long>(i + 1), toks.begin() + static_cast<long>(lowEnd));
    out.push_back(synth(Token::Op, ",", pos));
    out.insert(out.end(), toks.begin() + static_cast<long>(lowEnd + 1), toks.begin() + static_cast<long>(highEnd));
    out.push_back(synth(Token::Op, ")", pos));
    toks.erase(toks.begin() + static_cast<long>(l), toks.begin() + static_cast<long>(highEnd));
    toks.insert(toks.begin() + static_cast<long>(l), out.begin(), out.end());
  }
}

bool endsWithCollate(const Tokens& toks, std::size_t end) { return end < toks.size() && toks[end].isWord("COLLATE"); }

void insertCollate(Tokens& toks, std::size_t at, std::size_t pos) {
  toks.insert(toks.begin() + static_cast<long>(at), {synth(Token::Word, "COLLATE", pos), synth(Token::Word, "JETTEXT", pos)});
}

// Text compares as Jet compares it: without regard to case or trailing blanks. A
// collation on a numeric comparison is ignored by SQLite, so it is added to every one.
void collateComparisons(Tokens& toks) {
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
    if (!toks[i].isWord("BY") || !(toks[i - 1].isWord("ORDER") || toks[i - 1].isWord("GROUP"))) continue;
    std::size_t j = i + 1;
    for (;;) {
      std::size_t start = j;
      int depth = 0;
      while (j < toks.size()) {
        const Token& t = toks[j];
        if (t.isOp("(")) ++depth;
        else if (t.isOp(")")) {
          if (depth == 0) break;
          --depth;
        } else if (depth == 0 && (t.isOp(",") || t.isOp(";") || t.isWord("ASC") || t.isWord("DESC") ||
                                  t.isWord("COLLATE") || t.isWord("HAVING") || t.isWord("ORDER") ||
                                  t.isWord("LIMIT") || t.isWord("UNION")))
          break;
        ++j;
      }
      bool ordinal = j == start + 1 && toks[start].kind == Token::Number;
      if (j > start && !ordinal && !endsWithCollate(toks, j)) {
        insertCollate(toks, j, toks[j - 1].pos);
        j += 2;
      }
      while (j < toks.size() && (toks[j].isWord("ASC") || toks[j].isWord("DESC") || toks[j].isWord("COLLATE") ||
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

std::string paramName(const std::string& name) {
  std::string out = ":";
  for (char c : name) out += std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80 ? c : '_';
  return out;
}

// PARAMETERS name type [, name type]... ; — the names become SQLite named parameters.
void rewriteParameters(Tokens& toks, const std::string& jet) {
  if (toks.empty() || !toks[0].isWord("PARAMETERS")) return;
  std::map<std::string, std::string> names;  // upper-case name -> parameter
  std::size_t i = 1;
  while (i < toks.size() && !toks[i].isOp(";")) {
    const Token& name = toks[i];
    if (name.kind != Token::Name && name.kind != Token::Word) missingOperand(jet, name);
    std::string key = toUtf8(upper(fromUtf8(name.text.c_str())));
    names[key] = paramName(name.text);
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
    t.text = it->second;
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

std::string quoted(const std::string& s, char q) {
  std::string out(1, q);
  for (char c : s) {
    out += c;
    if (c == q) out += q;
  }
  out += q;
  return out;
}

void emit(Translation& out, const Tokens& toks) {
  for (std::size_t i = 0; i < toks.size(); ++i) {
    const Token& t = toks[i];
    // SQLite reads LEFT and RIGHT only as join words; as VBA's functions they are quoted.
    bool call = i + 1 < toks.size() && toks[i + 1].isOp("(");
    if (call && (t.isWord("LEFT") || t.isWord("RIGHT"))) {
      append(out, quoted(t.text, '"'), t.pos);
      continue;
    }
    switch (t.kind) {
      case Token::String: append(out, quoted(t.text, '\''), t.pos); break;
      case Token::Name: append(out, quoted(t.text, '"'), t.pos); break;
      default: append(out, t.text, t.pos); break;
    }
  }
}

Translation::Kind kindOf(const Token& first) {
  if (first.isWord("SELECT")) return Translation::Select;
  if (first.isWord("INSERT")) return Translation::Insert;
  if (first.isWord("UPDATE")) return Translation::Update;
  if (first.isWord("DELETE")) return Translation::Delete;
  return Translation::Other;
}

}  // namespace

Translation translate(const std::string& jet) {
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
  if (out.kind == Translation::Other) {
    if (declared) daoThrow(3129);
    out.sql = jet;
    return out;
  }
  out.source = toks;
  rewriteParameters(toks, jet);
  // A ';' ends the statement; only blanks may follow it.
  for (std::size_t i = 0; i < toks.size(); ++i)
    if (toks[i].isOp(";")) {
      if (i + 1 < toks.size()) daoThrow(3142);
      toks.pop_back();
    }
  checkParentheses(toks, jet, out.kind);
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
      toks, [](const Tokens& t, std::size_t i) { return t[i].isOp("&"); }, "jet_concat", {"&", "||"}, jet);
  rewriteLike(toks, jet);
  rewriteBetween(toks, jet);
  collateComparisons(toks);
  collateOrderTerms(toks);
  emit(out, toks);
  return out;
}

void throwIfSyntaxError(sqlite3* db, const Translation& t) {
  if (t.kind == Translation::Other) return;
  std::string msg = sqlite3_errmsg(db);
  static const char kNoFunction[] = "no such function: ";
  if (msg.rfind(kNoFunction, 0) == 0) daoThrow(3085, {fromUtf8(msg.c_str() + sizeof(kNoFunction) - 1)});
  bool malformed = msg.find("syntax error") != std::string::npos || msg.find("incomplete input") != std::string::npos ||
                   msg.find("unrecognized token") != std::string::npos;
  if (!malformed) return;
  if (t.kind == Translation::Insert) daoThrow(3134);
  if (t.kind == Translation::Update) daoThrow(3144);
  // Where it broke, in the statement as given: the clause around that point.
  int offset = sqlite3_error_offset(db);
  std::size_t at = offset >= 0 && static_cast<std::size_t>(offset) < t.mapping.size() ? t.mapping[static_cast<std::size_t>(offset)]
                                                                                       : t.jet.size();
  const Tokens& src = t.source;
  std::size_t k = 0;
  while (k < src.size() && src[k].pos < at) ++k;  // src[k] is the first token at or after the fault
  auto opensClause = [](const Token& tok) {
    return tok.isWord("SELECT") || tok.isWord("WHERE") || tok.isWord("HAVING") || tok.isWord("BY") || tok.isWord("ON") ||
           tok.isWord("FROM") || tok.isWord("JOIN") || tok.isOp(",") || tok.isWord("SET");
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
    if (tok.isWord("SELECT") || tok.isWord("WHERE") || tok.isWord("ON") || tok.isWord("HAVING") || tok.isWord("BY")) break;
  }
  if (inFrom) daoThrow(3131);
  std::size_t end = k;
  while (end < src.size() && !opensClause(src[end]) && !src[end].isWord("GROUP") && !src[end].isWord("ORDER") &&
         !src[end].isOp(";"))
    ++end;
  std::size_t from = begin < src.size() ? src[begin].pos : t.jet.size();
  std::size_t to = end < src.size() ? src[end].pos : t.jet.size();
  std::string expr = to > from ? t.jet.substr(from, to - from) : std::string();
  while (!expr.empty() && expr.back() == ' ') expr.pop_back();
  daoThrow(3075, {L"Syntax error (missing operator)", fromUtf8(expr.c_str())});
}

}  // namespace tabrik::dao::jetsql
