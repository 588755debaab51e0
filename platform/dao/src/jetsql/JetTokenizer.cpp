// The Jet SQL tokenizer (rules in JetTokenizer.h).
#include "JetTokenizer.h"

#include <cctype>
#include <cstring>

#include "../DaoErrors.h"
#include "../DaoStore.h"

namespace tabrik::dao::jetsql {

bool Token::isWord(const char* upperWord) const {
  if (kind != Word || text.size() != std::strlen(upperWord)) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(text[i])) != upperWord[i]) return false;
  return true;
}

namespace {

bool isWordStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }
bool isWordChar(unsigned char c) { return std::isalnum(c) || c == '_' || c >= 0x80; }

[[noreturn]] void unterminated(const std::string& sql, std::size_t from, const wchar_t* problem) {
  daoThrow(3075, {problem, fromUtf8(sql.c_str() + from)});
}

// Reads a quoted run from sql[at] (the opening quote) to its closing quote; a doubled
// closing quote stands for itself where `doubling` allows it.
std::size_t readQuoted(const std::string& sql, std::size_t at, char close, bool doubling,
                       std::string& out, const wchar_t* problem) {
  std::size_t i = at + 1;
  for (;;) {
    if (i >= sql.size()) unterminated(sql, at, problem);
    if (sql[i] == close) {
      if (doubling && i + 1 < sql.size() && sql[i + 1] == close) {
        out += close;
        i += 2;
        continue;
      }
      return i + 1;
    }
    out += sql[i++];
  }
}

}  // namespace

std::vector<Token> tokenize(const std::string& sql) {
  std::vector<Token> out;
  std::size_t i = 0;
  const std::size_t n = sql.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(sql[i]);
    if (std::isspace(c)) {
      ++i;
      continue;
    }
    Token t{Token::Op, {}, i};
    if (c == '\'' || c == '"') {
      t.kind = Token::String;
      i = readQuoted(sql, i, static_cast<char>(c), /*doubling=*/true, t.text,
                     L"Syntax error in string");
    } else if (c == '[' || c == '`') {
      t.kind = Token::Name;
      i = readQuoted(sql, i, c == '[' ? ']' : '`', /*doubling=*/false, t.text,
                     L"Syntax error in query expression");
    } else if (c == '#') {
      t.kind = Token::Date;
      i = readQuoted(sql, i, '#', /*doubling=*/false, t.text, L"Syntax error in date");
    } else if (std::isdigit(c) ||
               (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(sql[i + 1])))) {
      t.kind = Token::Number;
      std::size_t s = i;
      while (i < n && (std::isdigit(static_cast<unsigned char>(sql[i])) || sql[i] == '.')) ++i;
      if (i < n && (sql[i] == 'e' || sql[i] == 'E')) {
        std::size_t e = i + 1;
        if (e < n && (sql[e] == '+' || sql[e] == '-')) ++e;
        if (e < n && std::isdigit(static_cast<unsigned char>(sql[e]))) {
          i = e;
          while (i < n && std::isdigit(static_cast<unsigned char>(sql[i]))) ++i;
        }
      }
      t.text = sql.substr(s, i - s);
    } else if (isWordStart(c)) {
      t.kind = Token::Word;
      std::size_t s = i;
      while (i < n && isWordChar(static_cast<unsigned char>(sql[i]))) ++i;
      t.text = sql.substr(s, i - s);
    } else if (c == '?' || ((c == ':' || c == '$' || c == '@') && i + 1 < n &&
                            isWordStart(static_cast<unsigned char>(sql[i + 1])))) {
      t.kind = Token::Param;
      std::size_t s = i++;
      while (i < n && isWordChar(static_cast<unsigned char>(sql[i]))) ++i;
      t.text = sql.substr(s, i - s);
    } else {
      static const char* const kTwo[] = {"<=", ">=", "<>", "!=", "==", "||", "<<", ">>"};
      t.text = sql.substr(i, 1);
      for (const char* two : kTwo)
        if (sql.compare(i, 2, two) == 0) t.text = two;
      i += t.text.size();
    }
    out.push_back(std::move(t));
  }
  return out;
}

}  // namespace tabrik::dao::jetsql
