// Calls a function of the LISP application by name (the host's acedInvoke) and keeps
// its answer. The standards dialogs leave to LISP what lives there: whether a key or
// style is shown, the names of keys, pipe labels, the options of a layer system. A
// function that is not defined, or that fails, answers like one returning nil.
#pragma once
#include <afx.h>

#include <initializer_list>
#include <optional>
#include <vector>

struct resbuf;

namespace tabrik::arx::standards {

// One argument of a call: a string, a 32-bit integer (RTLONG), or nil.
class LispArg {
 public:
  LispArg(const wchar_t* text) : m_kind(Kind::Text), m_text(text != nullptr ? text : L"") {}
  LispArg(const CString& text) : m_kind(Kind::Text), m_text(text) {}
  LispArg(long value) : m_kind(Kind::Integer), m_integer(value) {}
  LispArg(int value) : m_kind(Kind::Integer), m_integer(value) {}
  LispArg(std::nullptr_t) : m_kind(Kind::Nil) {}

  // A new result buffer for the argument; the caller owns it.
  resbuf* build() const;

 private:
  enum class Kind { Text, Integer, Nil };
  Kind m_kind;
  CString m_text;
  long m_integer = 0;
};

class LispAnswer {
 public:
  LispAnswer() = default;
  explicit LispAnswer(resbuf* chain) : m_chain(chain) {}
  ~LispAnswer();
  LispAnswer(LispAnswer&& other) noexcept : m_chain(other.m_chain) { other.m_chain = nullptr; }
  LispAnswer& operator=(LispAnswer&& other) noexcept;
  LispAnswer(const LispAnswer&) = delete;
  LispAnswer& operator=(const LispAnswer&) = delete;

  // No answer, or nil.
  bool IsNil() const;
  // The answer when it is a string.
  std::optional<CString> String() const;
  // The answer when it is an integer (a short or a long).
  std::optional<long> Integer() const;
  // Every string of the answer, in order: the items of a list of strings (other items
  // skipped), or the answer itself when it is a string.
  std::vector<CString> Strings() const;

 private:
  resbuf* m_chain = nullptr;
};

LispAnswer invokeLisp(const wchar_t* function, std::initializer_list<LispArg> arguments);

}  // namespace tabrik::arx::standards
