// Evaluation: special forms, dynamic scoping, function calls and their errors,
// the *error* protocol, vl-catch-all-apply, exit.
#include "LispTestSupport.h"

namespace tabrik::lisp::testing {
namespace {

using EvaluatorTest = LispTest;

TEST_F(EvaluatorTest, CoreForms) {
  static const Case cases[] = {
      {"(setq a 123 b '(a))", "(A)"},
      {"(setq a 1) a", "1"},
      {"(setq a)", "!too few arguments"},
      {"(setq 1 2)", "!bad argument type: symbolp 1"},
      {"(if nil 'x)", "nil"},
      {"(if 1 'x 'y)", "X"},
      {"(if nil 'x 'y)", "Y"},
      {"(if 1)", "!too few arguments"},
      {"(if 1 2 3 4)", "!too many arguments"},
      {"(cond ((= 1 2) 'a) ((= 1 1) 'b 'c))", "C"},
      {"(cond (nil 1) (5))", "5"},
      {"(cond (nil 1))", "nil"},
      {"(setq i 0 s 0) (while (< i 5) (setq s (+ s i) i (1+ i)))", "5"},
      {"(setq i 0 s 0) (while (< i 5) (setq s (+ s i) i (1+ i))) s", "10"},
      {"(while nil 1)", "nil"},
      {"(setq n 0) (repeat 4 (setq n (+ n 2)))", "8"},
      {"(repeat 0 1)", "nil"},
      {"(setq s 0) (foreach x '(1 2 3) (setq s (+ s x)))", "6"},
      {"(setq x 'outer) (foreach x '(1 2) x) x", "OUTER"},
      {"(progn)", "nil"},
      {"(progn 1 2 3)", "3"},
      {"(and 1.4 'a 'c)", "T"},
      {"(and)", "T"},
      {"(and 1 nil (car 1))", "nil"},
      {"(or)", "nil"},
      {"(or nil 5)", "T"},
      {"(or 5 (car 1))", "T"},
      {"(defun foo (a) a)", "FOO"},
      {"((lambda (x y) (+ x y)) 1 2)", "3"},
      {"(mapcar '(lambda (x) (* x x)) '(1 2 3))", "(1 4 9)"},
      {"(mapcar (function (lambda (x) (1+ x))) '(1 2))", "(2 3)"},
      {"(mapcar '+ '(1 2 3) '(10 20))", "(11 22)"},
      {"(apply '+ '(1 2 3))", "6"},
      {"(apply (function max) '(4 9 2))", "9"},
      {"(eval '(+ 1 2))", "3"},
      {"(eval (list car ''(5 6)))", "5"},
      {"(setq f car) (f '(1 2))", "1"},
      {"(type car)", "SUBR"},
      {"(type 'car)", "SYM"},
      {"(type 1)", "INT"},
      {"(type 1.0)", "REAL"},
      {"(type \"s\")", "STR"},
      {"(type '(1))", "LIST"},
      {"(type nil)", "nil"},
      {"(type (lambda (x) x))", "USUBR"},
      {"(type (vl-catch-all-apply '/ '(1 0)))", "VL-CATCH-ALL-APPLY-ERROR"},
      {"(defun-q dq (x) (* x 3)) (dq 4)", "12"},
      {"(defun-q dq (x) (* x 3)) (defun-q-list-ref 'dq)", "((X) (* X 3))"},
      {"(boundp 'never-set)", "nil"},
      {"(setq zz 1) (boundp 'zz)", "T"},
      {"(set 'ww 7) ww", "7"},
      {"(set 1 2)", "!bad argument type: symbolp 1"},
      {"(read \"(a b)\")", "(A B)"},
      {"(read \"\")", "nil"},
      {"(vl-symbol-name 'abc)", "\"ABC\""},
      {"(setq q 3) (vl-symbol-value 'q)", "3"},
      {"(atom nil)", "T"},
      {"(listp nil)", "T"},
      {"(vl-consp nil)", "nil"},
      {"(null nil)", "T"},
      {"(not 1)", "nil"},
  };
  runTable(cases);
}

TEST_F(EvaluatorTest, CallErrors) {
  static const Case cases[] = {
      {"(defun f (a) a) (f)", "!too few arguments"},
      {"(defun f (a) a) (f 1 2)", "!too many arguments"},
      {"(foo-undefined)", "!no function definition: FOO-UNDEFINED"},
      {"(setq x 1) (x)", "!bad function: 1"},
      {"(\"str\" 1)", "!bad function: \"str\""},
      {"(car 1)", "!bad argument type: consp 1"},
      {"(cdr \"G\")", "!bad argument type: consp \"G\""},
      {"(strcat \"a\" 1)", "!bad argument type: stringp 1"},
      {"(defun g (a a) a)", "!duplicate argument name: A"},
      {"(exit)", "!quit / exit abort"},
      {"(quit)", "!quit / exit abort"},
      {"(apply 'nosuch '(1))", "!no function definition: NOSUCH"},
  };
  runTable(cases);
}

TEST_F(EvaluatorTest, ArgumentsAreEvaluatedBeforeArityIsChecked) {
  EXPECT_EQ(run("(setq hit nil) (defun f (a) a) (f (setq hit 'yes) 2)"), "!too many arguments");
  EXPECT_EQ(run("hit"), "YES");
}

TEST_F(EvaluatorTest, DynamicScoping) {
  static const Case cases[] = {
      // A callee sees the caller's bindings.
      {"(defun show () x) (defun outer (x) (show)) (outer 42)", "42"},
      // Locals start nil and are restored afterwards.
      {"(setq v 'global) (defun f (/ v) (list v (setq v 1) v)) (list (f) v)", "((nil 1 1) GLOBAL)"},
      // Parameters are restored after an error unwinds through them.
      {"(setq p 'keep) (defun f (p) (car p)) (vl-catch-all-apply 'f '(5)) p", "KEEP"},
      // Recursion binds afresh at every level.
      {"(defun fact (n) (if (< n 2) 1 (* n (fact (1- n))))) (fact 10)", "3628800"},
      // Redefining a function while it runs does not disturb the running body.
      {"(defun r () (defun r () 'new) 'old) (list (r) (r))", "(OLD NEW)"},
  };
  runTable(cases);
}

TEST_F(EvaluatorTest, ErrorFunctionReceivesTheMessageWithoutPrefix) {
  Outcome outcome = runtime.evaluateString(
      "(defun *error* (msg) (setq seen msg) (princ (strcat \"handled: \" msg)) (princ))\n"
      "(+ 1 nil)\n"
      "(setq after 'ran)\n");
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.error, "bad argument type: numberp: nil");
  EXPECT_EQ(runtime.symbolValue("SEEN").toPrin1String(), "\"bad argument type: numberp: nil\"");
  EXPECT_TRUE(runtime.symbolValue("AFTER").isNil()) << "the rest of the source is abandoned";
  EXPECT_EQ(services.output, "handled: bad argument type: numberp: nil");
  EXPECT_TRUE(outcome.errorHandled);
  EXPECT_EQ(outcome.handlerValue.toPrin1String(), "");  // (princ): the null symbol
}

TEST_F(EvaluatorTest, OutcomeTellsWhetherErrorFunctionRan) {
  Outcome plain = runtime.evaluateString("(car 1)");
  EXPECT_FALSE(plain.errorHandled);
  Outcome handled = runtime.evaluateString("(defun *error* (m) 'returned) (car 1)");
  EXPECT_TRUE(handled.errorHandled);
  EXPECT_EQ(handled.handlerValue.toPrin1String(), "RETURNED");
  Outcome silent = runtime.evaluateString("(car 1)", ErrorReport::Silent);
  EXPECT_FALSE(silent.errorHandled);
  EXPECT_TRUE(runtime.evaluateString("(+ 1 2)").ok);
}

TEST_F(EvaluatorTest, ErrorFunctionSeesTheLocalsOfTheFailingFunction) {
  runtime.evaluateString(
      "(defun *error* (msg) (setq seen (list msg loc)))\n"
      "(defun work (/ loc) (setq loc 'inside) (car 5))\n"
      "(work)\n");
  EXPECT_EQ(runtime.symbolValue("SEEN").toPrin1String(), "(\"bad argument type: consp 5\" INSIDE)");
  EXPECT_TRUE(runtime.symbolValue("LOC").isNil());
}

TEST_F(EvaluatorTest, ExitReachesTheErrorFunction) {
  runtime.evaluateString("(defun *error* (msg) (setq seen msg)) (exit)");
  EXPECT_EQ(runtime.symbolValue("SEEN").toPrin1String(), "\"quit / exit abort\"");
}

TEST_F(EvaluatorTest, WithoutErrorFunctionTheErrorIsPrintedOnItsOwnLine) {
  Outcome outcome = runtime.evaluateString("(princ \"abc\") (car 1) (princ \"never\")");
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(services.output, "abc\n; error: bad argument type: consp 1\n");
  services.output.clear();
  runtime.evaluateString("(foo)");
  EXPECT_EQ(services.output, "; error: no function definition: FOO\n");
}

TEST_F(EvaluatorTest, ErrorInsideErrorFunctionIsPrintedAndNotRecursive) {
  Outcome outcome = runtime.evaluateString("(defun *error* (msg) (car msg)) (/ 1 0)");
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.error, "divide by zero");
  EXPECT_EQ(services.output, "; error: bad argument type: consp \"divide by zero\"\n");
}

TEST_F(EvaluatorTest, ErrorIsReportedOnceThroughNestedFunctions) {
  runtime.evaluateString(
      "(setq count 0)\n"
      "(defun *error* (msg) (setq count (1+ count)))\n"
      "(defun a () (b)) (defun b () (mapcar 'c '(1))) (defun c (x) (car x))\n"
      "(a)\n");
  EXPECT_EQ(runtime.symbolValue("COUNT").toPrin1String(), "1");
}

TEST_F(EvaluatorTest, CatchAllApply) {
  static const Case cases[] = {
      {"(vl-catch-all-error-message (vl-catch-all-apply '/ '(50 0)))", "\"divide by zero\""},
      {"(vl-catch-all-error-p (vl-catch-all-apply '/ '(50 0)))", "T"},
      {"(vl-catch-all-error-p (vl-catch-all-apply '/ '(50 5)))", "nil"},
      {"(vl-catch-all-apply '/ '(50 5))", "10"},
      {"(vl-catch-all-error-message (vl-catch-all-apply 'exit nil))", "\"quit / exit abort\""},
      {"(vl-catch-all-error-message (vl-catch-all-apply '(lambda () (car 1)) nil))",
       "\"bad argument type: consp 1\""},
      {"(vl-catch-all-error-message (vl-catch-all-apply 'nosuch nil))",
       "\"no function definition: NOSUCH\""},
      {"(vl-catch-all-error-message (vl-catch-all-apply 'eval '((1 2))))", "\"bad function: 1\""},
  };
  runTable(cases);
}

TEST_F(EvaluatorTest, CatchAllDoesNotCallErrorFunction) {
  Outcome outcome = runtime.evaluateString(
      "(defun *error* (msg) (setq called t))\n"
      "(vl-catch-all-apply 'car '(1))\n"
      "(setq reached t)");
  EXPECT_TRUE(outcome.ok);
  EXPECT_TRUE(runtime.symbolValue("CALLED").isNil());
  EXPECT_TRUE(runtime.symbolValue("REACHED").isTrue());
  EXPECT_EQ(services.output, "");
}

TEST_F(EvaluatorTest, EvalOfQuotedListsAndUnboundSymbols) {
  static const Case cases[] = {
      {"never-bound-symbol", "nil"},
      {"t", "T"},
      {"(eval 'pi)", "3.14159"},
      {"(eval \"s\")", "\"s\""},
  };
  runTable(cases);
}

TEST_F(EvaluatorTest, TraceShowsCallsAndResults) {
  EXPECT_EQ(run("(defun fact (n) (if (< n 2) 1 (* n (fact (1- n))))) (trace fact)"), "FACT");
  services.output.clear();
  EXPECT_EQ(run("(fact 3)"), "6");
  EXPECT_EQ(services.output,
            "Entering (FACT 3)\n"
            "  Entering (FACT 2)\n"
            "    Entering (FACT 1)\n"
            "    Result:  1\n"
            "  Result:  2\n"
            "Result:  6\n");
  EXPECT_EQ(run("(untrace fact)"), "FACT");
  services.output.clear();
  run("(fact 3)");
  EXPECT_EQ(services.output, "");
}

TEST_F(EvaluatorTest, RuntimesHaveSeparateNamespaces) {
  CapturingServices otherServices;
  Runtime other(&otherServices);
  run("(setq shared 'first) (defun only-here () 1)");
  EXPECT_TRUE(other.evaluateString("shared", ErrorReport::Silent).value.isNil());
  Outcome call = other.evaluateString("(only-here)", ErrorReport::Silent);
  EXPECT_EQ(call.error, "no function definition: ONLY-HERE");
  EXPECT_EQ(run("shared"), "FIRST");
}

}  // namespace
}  // namespace tabrik::lisp::testing
