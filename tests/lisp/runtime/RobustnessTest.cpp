// Invariants over generated input: the reader takes any bytes (a value or a reader
// error, never a crash), printing then reading gives an equal value, and arbitrary
// programs over the builtins end in a value or an evaluation error.
#include <random>

#include "LispTestSupport.h"
#include "lisp/Reader.h"

namespace tabrik::lisp::testing {
namespace {

TEST(Robustness, ReaderTakesAnyBytes) {
  std::mt19937 random(20100215);
  const std::string alphabet = "()'\".;|\\ \n\t0123456789+-eE.abcXYZ*`#@~[]";
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    std::size_t length = random() % 40;
    for (std::size_t i = 0; i < length; ++i) {
      text +=
          random() % 8 ? alphabet[random() % alphabet.size()] : static_cast<char>(random() % 256);
    }
    SCOPED_TRACE(text);
    Reader reader(text);
    try {
      while (auto form = reader.next()) {
        EXPECT_LE(form->begin, form->end);
        EXPECT_LE(form->end, text.size());
      }
    } catch (const LispError& error) {
      EXPECT_FALSE(error.message().empty());
    }
  }
}

Value randomValue(std::mt19937& random, int depth) {
  switch (depth > 3 ? random() % 5 : random() % 8) {
    case 0:
      return Value::integer(static_cast<std::int32_t>(random()));
    case 1:
      return Value::real(std::ldexp(static_cast<double>(random() % 2000000) - 1000000,
                                    static_cast<int>(random() % 80) - 40));
    case 2: {
      std::string s;
      for (std::size_t i = random() % 6; i > 0; --i) s += static_cast<char>(1 + random() % 255);
      return Value::string(s);
    }
    case 3:
      return Value::symbol(std::string(1, static_cast<char>('A' + random() % 26)) + "-X");
    case 4:
      return Value();
    default: {
      std::vector<Value> items;
      for (std::size_t i = random() % 4; i > 0; --i)
        items.push_back(randomValue(random, depth + 1));
      Value tail = random() % 4 == 0 ? randomValue(random, depth + 1) : Value();
      if (tail.isCons()) tail = Value();
      return Value::list(items, tail);
    }
  }
}

TEST(Robustness, PrintedValuesReadBackEqual) {
  std::mt19937 random(42);
  for (int round = 0; round < 2000; ++round) {
    Value value = randomValue(random, 0);
    std::string printed = value.toPrin1String();
    SCOPED_TRACE(printed);
    // Six significant digits: reals come back within their printed precision.
    Value back = readFirst(printed);
    EXPECT_EQ(back.toPrin1String(), printed);
  }
}

class GeneratedPrograms : public LispTest {};

TEST_F(GeneratedPrograms, EndInAValueOrAnError) {
  static const char* const kWords[] = {
      "car",
      "cdr",
      "cadr",
      "cons",
      "list",
      "append",
      "assoc",
      "member",
      "nth",
      "reverse",
      "length",
      "last",
      "subst",
      "vl-remove",
      "vl-sort",
      "vl-sort-i",
      "vl-position",
      "strcat",
      "substr",
      "strlen",
      "strcase",
      "itoa",
      "atoi",
      "atof",
      "rtos",
      "distof",
      "angtos",
      "angtof",
      "chr",
      "ascii",
      "wcmatch",
      "vl-string-trim",
      "vl-string-search",
      "vl-string-subst",
      "vl-string-translate",
      "vl-string-position",
      "vl-string-elt",
      "vl-string-mismatch",
      "vl-string->list",
      "vl-list->string",
      "read",
      "eval",
      "apply",
      "mapcar",
      "lambda",
      "function",
      "if",
      "cond",
      "progn",
      "and",
      "or",
      "not",
      "setq",
      "set",
      "defun",
      "type",
      "equal",
      "eq",
      "=",
      "/=",
      "<",
      ">=",
      "logand",
      "logior",
      "lsh",
      "boole",
      "fix",
      "float",
      "abs",
      "min",
      "max",
      "rem",
      "gcd",
      "sqrt",
      "expt",
      "exp",
      "log",
      "sin",
      "atan",
      "1+",
      "~",
      "+",
      "-",
      "*",
      "/",
      "polar",
      "angle",
      "distance",
      "inters",
      "princ",
      "prin1",
      "print",
      "vl-catch-all-apply",
      "vl-catch-all-error-message",
      "exit",
      "vl-prin1-to-string",
      "quote",
      "x",
      "f",
      "*error*",
      "nil",
      "t",
      "pi",
      "vl-list*",
      "vl-every",
      "vl-remove-if",
      "defun-q",
      "initget",
      "getpoint",
      "trace",
      "setvar",
      "getvar",
  };
  static const char* const kAtoms[] = {
      "0",        "1",       "-1",         "2147483647", "-2147483648",
      "3.5",      "-0.0",    "1e308",      "\"\"",       "\"abc\"",
      "\"a*b\"",  "\"[a-\"", "\"`\"",      "'(1 2)",     "'(1 . 2)",
      "'(a b c)", "nil",     "t",          "'x",         "\"1'-2 1/2\\\"\"",
      "40",       "8",       "'((1 . 2))", "\"LUPREC\"",
  };
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::string source;
    int depth = 0;
    for (int i = 3 + static_cast<int>(random() % 20); i > 0; --i) {
      switch (random() % 10) {
        case 0:
        case 1:
        case 2:
          source += "(" + std::string(kWords[random() % std::size(kWords)]) + " ";
          ++depth;
          break;
        case 3:
        case 4:
        case 5:
          source += std::string(kAtoms[random() % std::size(kAtoms)]) + " ";
          break;
        case 6:
        case 7:
          if (depth > 0) {
            source += ") ";
            --depth;
          }
          break;
        default:
          source += std::string(kWords[random() % std::size(kWords)]) + " ";
          break;
      }
    }
    while (depth-- > 0) source += ")";
    SCOPED_TRACE(source);
    Outcome outcome =
        runtime.evaluateString(source, round % 2 ? ErrorReport::Print : ErrorReport::Silent);
    EXPECT_TRUE(outcome.ok || !outcome.error.empty());
  }
}

}  // namespace
}  // namespace tabrik::lisp::testing
