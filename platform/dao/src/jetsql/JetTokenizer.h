// Jet SQL's lexical level: splits a statement into words, bracketed names, string and
// date literals, numbers, parameter markers and operators. It knows Jet's quoting
// ('…' and "…" are both strings, […] and `…` are names, #…# is a date); what the tokens
// mean is the translator's business (JetTranslator.h).
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace tabrik::dao::jetsql {

struct Token {
  enum Kind { Word, Name, String, Number, Date, Param, Op };
  Kind kind;
  std::string text;  // Name/String/Date: the content without quotes, escapes undone
  std::size_t pos;   // byte offset of the token in the statement

  bool isWord(const char* upperWord) const;  // a Word spelled so, without regard to case
  bool isOp(const char* op) const { return kind == Op && text == op; }
};

// The tokens of a UTF-8 statement. An unterminated string, name or date literal fails
// with DAO's 3075 naming the rest of the statement from where it began.
std::vector<Token> tokenize(const std::string& sql);

}  // namespace tabrik::dao::jetsql
