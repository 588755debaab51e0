// The tables a caller's statement names on a server: found by their place in the
// statement, checked against the catalog's names.
#include "JetServerTables.h"

#include <string>

#include "DaoErrors.h"
#include "tabrik/TextConversion.h"

namespace tabrik::dao::jetsql {
namespace {

using Tokens = std::vector<Token>;

bool isNameOf(const Token& t) { return t.kind == Token::Name || t.kind == Token::Word; }

// The clause word that governs the token at i: the nearest SELECT, FROM, WHERE, ...
// before it at the same depth of parentheses. Parentheses that group (joins in FROM,
// terms of an expression) are looked through; a sub-select's are a boundary.
const Token* governingClause(const Tokens& toks, std::size_t i) {
  static const char* const kClauses[] = {"SELECT", "FROM",  "WHERE", "GROUP", "HAVING", "ORDER",
                                         "SET",    "UNION", "ON",    "INTO",  "VALUES"};
  int depth = 0;
  for (std::size_t j = i; j-- > 0;) {
    if (toks[j].isOp(")")) ++depth;
    if (toks[j].isOp("(")) {
      if (depth == 0) {
        if (j + 1 < toks.size() && toks[j + 1].isWord("SELECT")) return nullptr;
        continue;
      }
      --depth;
    }
    if (depth != 0) continue;
    for (const char* clause : kClauses)
      if (toks[j].isWord(clause)) return &toks[j];
  }
  return nullptr;
}

// What a table name at position i is there for.
enum class Place { None, Read, Write, NewTable };

// The statement's first word at the top level (past a PARAMETERS declaration).
const Token& statementWord(const Tokens& toks) {
  for (std::size_t i = 0; i + 1 < toks.size(); ++i)
    if (toks[i].isOp(";")) return toks[i + 1];
  return toks.front();
}

bool topLevelDelete(const Tokens& toks, std::size_t from) {
  int depth = 0;
  for (std::size_t j = from; j-- > 0;) {
    if (toks[j].isOp(")")) ++depth;
    if (toks[j].isOp("(")) --depth;
    if (depth < 0) return false;
  }
  return statementWord(toks).isWord("DELETE");
}

Place placeOf(const Tokens& toks, std::size_t i) {
  if (i == 0) return Place::None;
  const Token& before = toks[i - 1];
  if (before.isWord("JOIN")) return Place::Read;
  // FROM ((A INNER JOIN B ON ...) INNER JOIN C ON ...): a table opens a group of joins.
  if (before.isOp("(")) return placeOf(toks, i - 1) == Place::Read ? Place::Read : Place::None;
  if (before.isWord("UPDATE")) return Place::Write;
  if (before.isWord("INTO")) {
    bool insert = i >= 2 && toks[i - 2].isWord("INSERT");
    return insert ? Place::Write : Place::NewTable;
  }
  if (before.isWord("FROM")) return topLevelDelete(toks, i - 1) ? Place::Write : Place::Read;
  if (before.isOp(",")) {
    const Token* clause = governingClause(toks, i - 1);
    if (clause && clause->isWord("FROM")) return Place::Read;
  }
  return Place::None;
}

std::wstring wide(const std::string& s) { return text::fromUtf8(s); }

}  // namespace

bool checkServerTables(const Tokens& toks, const ServerNames& names) {
  bool tables = false, catalogOnly = true;
  for (std::size_t i = 0; i < toks.size(); ++i) {
    if (!isNameOf(toks[i])) continue;
    Place place = placeOf(toks, i);
    if (place == Place::None) continue;
    // A bare word that the statement's syntax owns (a sub-select's SELECT is not a
    // name, and neither is the "(" after FROM).
    if (toks[i].kind == Token::Word && toks[i].isWord("SELECT")) continue;
    std::string key = serverNameKey(toks[i].text);
    bool qualified = i + 2 < toks.size() && toks[i + 1].isOp(".") && isNameOf(toks[i + 2]);
    if (qualified) daoThrow(3078, {wide(toks[i].text + "." + toks[i + 2].text)});
    bool catalog = names.readOnlyTables.count(key) != 0;
    if (place == Place::NewTable) {
      if (catalog) daoThrow(3027);
      continue;
    }
    bool known = names.fields.count(key) != 0 || names.queries.count(key) != 0 ||
                 (names.storedQuery && names.storedQuery(key));
    if (!known) daoThrow(3078, {wide(toks[i].text)});
    if (place == Place::Write && catalog) daoThrow(3027);
    tables = true;
    catalogOnly = catalogOnly && catalog;
  }
  return tables && catalogOnly;
}

}  // namespace tabrik::dao::jetsql
