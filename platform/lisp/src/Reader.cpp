// The reader: characters to values. Open lists and pending quotes live on an explicit
// stack, so nesting depth costs heap, never C++ stack.
#include "lisp/Reader.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "Objects.h"
#include "lisp/LispError.h"

namespace tabrik::lisp {

namespace {

bool isWhite(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
bool isDelimiter(char c) {
  return isWhite(c) || c == '(' || c == ')' || c == '\'' || c == '"' || c == ';';
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Integer syntax: optional sign, digits. An integer beyond 32 bits reads as a real
// (the sign applied to the overflowed magnitude).
bool parseInteger(std::string_view token, Value& out) {
  std::size_t i = (token[0] == '+' || token[0] == '-') ? 1 : 0;
  if (i == token.size()) return false;
  for (std::size_t k = i; k < token.size(); ++k)
    if (!isDigit(token[k])) return false;
  std::string digits(token.substr(i));
  double magnitude = std::strtod(digits.c_str(), nullptr);
  bool negative = token[0] == '-';
  if (magnitude > 2147483647.0) {
    out = Value::real(negative ? -magnitude : magnitude);
    return true;
  }
  long long v = std::strtoll(digits.c_str(), nullptr, 10);
  out = Value::integer(static_cast<std::int32_t>(negative ? -v : v));
  return true;
}

// Real syntax: sign, digits, then a fraction ("1." allowed) and/or an exponent. A
// leading digit is required: ".5" is not a number.
bool parseReal(std::string_view token, Value& out) {
  std::size_t i = (token[0] == '+' || token[0] == '-') ? 1 : 0;
  std::size_t start = i;
  while (i < token.size() && isDigit(token[i])) ++i;
  if (i == start) return false;
  bool fraction = false;
  if (i < token.size() && token[i] == '.') {
    fraction = true;
    ++i;
    while (i < token.size() && isDigit(token[i])) ++i;
  }
  bool exponent = false;
  if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
    std::size_t e = ++i;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
    std::size_t digits = i;
    while (i < token.size() && isDigit(token[i])) ++i;
    if (i == digits) return false;
    exponent = e > 0;
  }
  if (i != token.size() || (!fraction && !exponent)) return false;
  std::string text(token);
  out = Value::real(std::strtod(text.c_str(), nullptr));
  return true;
}

[[noreturn]] void fail(std::string_view message) { throw LispError(std::string(message)); }

struct Frame {
  bool quote = false;  // a pending ' waiting for its form
  std::vector<Value> items;
  Value tail;
  bool afterDot = false;
  bool haveTail = false;
};

}  // namespace

std::optional<Reader::Form> Reader::next() {
  const std::size_t n = m_text.size();
  std::vector<Frame> stack;
  Form form;
  bool started = false;
  auto advance = [&]() {
    if (m_text[m_pos] == '\n') ++m_line;
    ++m_pos;
  };
  auto abandon = [&](std::string_view message) {
    m_pos = n;
    fail(message);
  };

  while (true) {
    // White space and comments.
    while (m_pos < n) {
      char c = m_text[m_pos];
      if (isWhite(c)) {
        advance();
      } else if (c == ';') {
        if (m_pos + 1 < n && m_text[m_pos + 1] == '|') {
          std::size_t close = m_text.find("|;", m_pos + 2);
          std::size_t stop = close == std::string_view::npos ? n : close + 2;
          while (m_pos < stop) advance();
        } else {
          while (m_pos < n && m_text[m_pos] != '\n') ++m_pos;
        }
      } else {
        break;
      }
    }
    if (m_pos >= n) {
      if (!started) return std::nullopt;
      abandon(messages::kMalformedList);
    }
    if (!started) {
      started = true;
      form.begin = m_pos;
      form.line = m_line;
    }

    char c = m_text[m_pos];
    Value value;
    bool complete = false;
    if (c == '(') {
      advance();
      stack.emplace_back();
    } else if (c == '\'') {
      advance();
      Frame quote;
      quote.quote = true;
      stack.push_back(std::move(quote));
    } else if (c == ')') {
      advance();
      if (stack.empty()) abandon(messages::kExtraRightParen);
      Frame& top = stack.back();
      if (top.quote) abandon(messages::kMalformedList);
      if (top.afterDot && !top.haveTail) abandon(messages::kMisplacedDot);
      value = Value::list(top.items, std::move(top.tail));
      stack.pop_back();
      complete = true;
    } else if (c == '"') {
      advance();
      std::string text;
      bool closed = false;
      while (m_pos < n) {
        char s = m_text[m_pos];
        advance();
        if (s == '"') {
          closed = true;
          break;
        }
        if (s != '\\') {
          text += s;
          continue;
        }
        if (m_pos >= n) break;
        char e = m_text[m_pos];
        advance();
        switch (e) {
          case 'n':
            text += '\n';
            break;
          case 'r':
            text += '\r';
            break;
          case 't':
            text += '\t';
            break;
          case 'e':
            text += '\x1b';
            break;
          default:
            if (e >= '0' && e <= '7') {
              int code = e - '0';
              for (int k = 0; k < 2 && m_pos < n && m_text[m_pos] >= '0' && m_text[m_pos] <= '7';
                   ++k) {
                code = code * 8 + (m_text[m_pos] - '0');
                advance();
              }
              text += static_cast<char>(code & 0xff);
            } else {
              text += e;  // \\, \" and unknown escapes keep the character
            }
        }
      }
      if (!closed) abandon(messages::kMalformedString);
      value = Value::string(std::move(text));
      complete = true;
    } else {
      std::size_t begin = m_pos;
      while (m_pos < n && !isDelimiter(m_text[m_pos])) ++m_pos;
      std::string_view token = m_text.substr(begin, m_pos - begin);
      if (token == ".") {
        if (stack.empty() || stack.back().quote || stack.back().items.empty() ||
            stack.back().afterDot)
          abandon(messages::kMisplacedDot);
        stack.back().afterDot = true;
        continue;
      }
      if (token[0] == '.' && token.size() > 1 && isDigit(token[1]))
        abandon(messages::kMisplacedDot);
      if (!parseInteger(token, value) && !parseReal(token, value)) {
        value = Value::symbol(token);
        if (value.symbolName() == "NIL") value = Value();
      }
      complete = true;
    }
    if (!complete) continue;

    // A finished value closes pending quotes and joins the open list.
    while (true) {
      if (stack.empty()) {
        form.value = std::move(value);
        form.end = m_pos;
        return form;
      }
      Frame& top = stack.back();
      if (top.quote) {
        static const Value quote = Value::symbol("QUOTE");
        value = Value::list({quote, std::move(value)});
        stack.pop_back();
        continue;
      }
      if (top.afterDot) {
        if (top.haveTail) abandon(messages::kExtraCdrs);
        top.tail = std::move(value);
        top.haveTail = true;
      } else {
        top.items.push_back(std::move(value));
      }
      break;
    }
  }
}

Value readFirst(std::string_view text) {
  Reader reader(text);
  auto form = reader.next();
  return form ? form->value : Value();
}

}  // namespace tabrik::lisp
