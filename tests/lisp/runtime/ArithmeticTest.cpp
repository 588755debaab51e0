// Numbers: 32-bit wrap, int/real contagion, division, bit functions, comparisons
// and the argument-type messages.
#include "LispTestSupport.h"

namespace tabrik::lisp::testing {
namespace {

using ArithmeticTest = LispTest;

TEST_F(ArithmeticTest, IntegersWrapAtThirtyTwoBits) {
  static const Case cases[] = {
      {"(+ 2147483646 3)", "-2147483647"},
      {"(+ 2147483648 2)", "2.14748e+009"},
      {"(1+ 2147483647)", "-2147483648"},
      {"(1- -2147483647)", "-2147483648"},
      {"(1- (1- -2147483647))", "2147483647"},
      {"(* 65536 65536)", "0"},
      {"(* 65536 32768)", "-2147483648"},
      {"(- 0 2147483647 2)", "2147483647"},
      {"(abs (1+ 2147483647))", "-2147483648"},
      {"(expt 2 31)", "-2147483648"},
      {"(expt 2 32)", "0"},
      {"(expt 3 4)", "81"},
  };
  runTable(cases);
}

TEST_F(ArithmeticTest, DocumentedResults) {
  static const Case cases[] = {
      {"(+)", "0"},
      {"(+ 1 2 3)", "6"},
      {"(+ 1 2.0)", "3.0"},
      {"(- 8)", "-8"},
      {"(- 10 3 2)", "5"},
      {"(-)", "0"},
      {"(*)", "0"},
      {"(* 2 3.0)", "6.0"},
      {"(/ 12 5)", "2"},
      {"(/ -12 5)", "-2"},
      {"(/ 12.0 5)", "2.4"},
      {"(/ 7 2)", "3"},
      {"(/ 7 2.0)", "3.5"},
      {"(/ 5)", "5"},
      {"(/ 1 0)", "!divide by zero"},
      {"(/ 1.0 0.0)", "!divide by zero"},
      {"(rem 42 12)", "6"},
      {"(rem 12.0 16)", "12.0"},
      {"(rem 26 7 2)", "1"},
      {"(rem -7 2)", "-1"},
      {"(rem)", "0"},
      {"(rem 5 0)", "!divide by zero"},
      {"(gcd 81 57)", "3"},
      {"(expt 2 4)", "16"},
      {"(expt 3.0 2.0)", "9.0"},
      {"(expt 2 -1)", "0"},
      {"(sqrt 16)", "4.0"},
      {"(exp 1.0)", "2.71828"},
      {"(log 1)", "0.0"},
      {"(sqrt -1)", "!function undefined for argument: -1"},
      {"(log 0)", "!function undefined for argument: 0"},
      {"(atan 2.0 -3.0)", "2.55359"},
      {"(atan 2.0 3.0)", "0.588003"},
      {"(atan 1)", "0.785398"},
      {"(fix 3.7)", "3"},
      {"(fix -3.7)", "-3"},
      {"(fix 3e9)", "3.0e+009"},
      {"(float 3)", "3.0"},
      {"(abs -7)", "7"},
      {"(abs -7.5)", "7.5"},
      {"(max 2.1 4 8)", "8.0"},
      {"(max 1 3 2)", "3"},
      {"(min 4 -2 7)", "-2"},
      {"(max)", "0"},
      {"(~ 3)", "-4"},
      {"(logand 7 15 3)", "3"},
      {"(logand)", "0"},
      {"(logior 9 3)", "11"},
      {"(logior)", "0"},
      {"(lsh 2 1)", "4"},
      {"(lsh 2 -1)", "1"},
      {"(lsh 40 2)", "160"},
      {"(lsh)", "0"},
      {"(lsh 5)", "5"},
      {"(lsh 1 31)", "-2147483648"},
      {"(lsh -1 -28)", "15"},
      {"(lsh 7 32)", "7"},
      {"(boole 1 12 5)", "4"},
      {"(boole 6 12 5)", "9"},
      {"(boole 7 12 5)", "13"},
      {"(boole 8 12 5)", "-14"},
      {"(minusp -1)", "T"},
      {"(zerop 0.0)", "T"},
      {"(numberp 'a)", "nil"},
  };
  runTable(cases);
}

TEST_F(ArithmeticTest, Comparisons) {
  static const Case cases[] = {
      {"(= 4 4.0)", "T"},
      {"(= \"me\" \"me\")", "T"},
      {"(= \"me\" \"Me\")", "nil"},
      {"(= 1 1 2)", "nil"},
      {"(= 5)", "T"},
      {"(/= 10 20 10 20)", "T"},
      {"(/= 10 20 10 20 20)", "nil"},
      {"(< 1 2 3)", "T"},
      {"(< 1 3 2)", "nil"},
      {"(<= 1 1 2)", "T"},
      {"(> 3 2 1)", "T"},
      {"(>= 3 3 4)", "nil"},
      {"(< \"a\" \"b\")", "T"},
      {"(eq 'a 'a)", "T"},
      {"(eq 1 1)", "T"},
      {"(eq '(1) '(1))", "nil"},
      {"(equal '(1 (2 \"x\")) '(1 (2 \"x\")))", "T"},
      {"(equal 1.0 1.05 0.1)", "T"},
      {"(equal '(1.0 2.0) '(1.01 2.0) 0.05)", "T"},
      {"(equal '(1.0 2.0) '(1.2 2.0) 0.05)", "nil"},
      {"(equal '(1 . 2) '(1 . 2))", "T"},
      {"(equal '(1 2) '(1 2 3))", "nil"},
  };
  runTable(cases);
}

TEST_F(ArithmeticTest, ArgumentTypeMessages) {
  static const Case cases[] = {
      {"(+ 1 nil)", "!bad argument type: numberp: nil"},
      {"(+ 1 \"2\")", "!bad argument type: numberp: \"2\""},
      {"(* 1.5 'x)", "!bad argument type: numberp: X"},
      {"(max 2.0 nil)", "!bad argument type: numberp: nil"},
      {"(expt 2.0 \"3\")", "!bad argument type: numberp: \"3\""},
      {"(1+ 'a)", "!bad argument type: numberp: A"},
      {"(logand 1 2.0)", "!bad argument type: fixnump: 2.0"},
      {"(~ 1.5)", "!bad argument type: fixnump: 1.5"},
      {"(lsh 1.0 2)", "!bad argument type: fixnump: 1.0"},
      {"(itoa 1.5)", "!bad argument type: fixnump: 1.5"},
      {"(itoa nil)", "!bad argument type: fixnump: nil"},
      {"(chr 65.0)", "!bad argument type: fixnump: 65.0"},
      {"(repeat 2.0 1)", "!bad argument type: fixnump: 2.0"},
      {"(sqrt)", "!too few arguments"},
      {"(sqrt 1 2)", "!too many arguments"},
      {"(< 1 'a)", "!bad argument type: numberp: A"},
  };
  runTable(cases);
}

}  // namespace
}  // namespace tabrik::lisp::testing
