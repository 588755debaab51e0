// Depth safety: 100 000 levels of nesting read, evaluate (or fail cleanly), print
// and free without exhausting the C++ stack.
#include "LispTestSupport.h"
#include "lisp/Reader.h"

namespace tabrik::lisp::testing {
namespace {

constexpr int kDepth = 100000;

std::string nested(const std::string& open, const std::string& atom, const std::string& close,
                   int depth) {
  std::string text;
  text.reserve((open.size() + close.size()) * depth + atom.size());
  for (int i = 0; i < depth; ++i) text += open;
  text += atom;
  for (int i = 0; i < depth; ++i) text += close;
  return text;
}

TEST(DeepNesting, ReadPrintCompareAndFreeDeepCarNesting) {
  std::string text = nested("(", "x", ")", kDepth);
  Value a = readFirst(text);
  Value b = readFirst(text);
  EXPECT_EQ(a.toPrin1String(), nested("(", "X", ")", kDepth));
  EXPECT_TRUE(a.equal(b));
  EXPECT_FALSE(a.equal(readFirst(nested("(", "y", ")", kDepth))));
}

TEST(DeepNesting, LongFlatListsAndDottedTails) {
  std::string text = "(";
  for (int i = 0; i < kDepth; ++i) text += "1 ";
  text += ". 2)";
  Value list = readFirst(text);
  EXPECT_EQ(list.length(), static_cast<std::size_t>(kDepth));
  EXPECT_FALSE(list.isProperList());
}

TEST(DeepNesting, DeepQuotes) {
  Value v = readFirst(nested("'", "a", "", kDepth));
  std::string printed = v.toPrin1String();
  EXPECT_EQ(printed.size(), std::string("(QUOTE ").size() * kDepth + 1 + kDepth);
}

TEST(DeepNesting, UnterminatedDeepInputIsAnError) {
  std::string text(kDepth, '(');
  EXPECT_THROW(readFirst(text), LispError);
}

class DeepEvaluation : public LispTest {};

TEST_F(DeepEvaluation, QuotedDeepStructureEvaluates) {
  std::string source = "(setq deep '" + nested("(", "1", ")", kDepth) + ") (length deep)";
  EXPECT_EQ(run(source), "1");
  EXPECT_EQ(run("(equal deep (read (vl-prin1-to-string deep)))"), "T");
  EXPECT_EQ(run("(setq deep nil)"), "nil");
}

TEST_F(DeepEvaluation, DeeplyNestedCallsEvaluateOrFailCleanly) {
  std::string result = run(nested("(1+ ", "0", ")", kDepth));
  EXPECT_TRUE(result == std::to_string(kDepth) ||
              result == "!internal stack limit reached (simulated)")
      << result;
  // The runtime stays usable afterwards.
  EXPECT_EQ(run("(+ 1 2)"), "3");
}

TEST_F(DeepEvaluation, RunawayRecursionIsAnError) {
  EXPECT_EQ(run("(defun down (n) (down (1+ n))) (down 0)"),
            "!internal stack limit reached (simulated)");
  EXPECT_EQ(run("(defun fact (n) (if (< n 2) 1 (* n (fact (1- n))))) (fact 12)"), "479001600");
}

TEST_F(DeepEvaluation, ErrorFunctionRunsAtTheDeepestPoint) {
  Outcome outcome = runtime.evaluateString(
      "(defun *error* (msg) (setq got msg)) (defun down (n) (down (1+ n))) (down 0)");
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(runtime.symbolValue("GOT").toPrin1String(),
            "\"internal stack limit reached (simulated)\"");
}

}  // namespace
}  // namespace tabrik::lisp::testing
