// Reader and printer: literals, escapes, comments, dotted pairs, reader errors and
// the host's real-number format.
#include "LispTestSupport.h"
#include "lisp/Reader.h"

namespace tabrik::lisp::testing {
namespace {

using ReaderTest = LispTest;

TEST_F(ReaderTest, LiteralsReadAndPrintBack) {
  static const Case cases[] = {
      {"'foo", "FOO"},
      {"'c:DoIt", "C:DOIT"},
      {"'vl-string->list", "VL-STRING->LIST"},
      {"'AcDbCurve::getLength", "ACDBCURVE::GETLENGTH"},
      {"12", "12"},
      {"-56", "-56"},
      {"+3", "3"},
      {"2147483647", "2147483647"},
      {"-2147483647", "-2147483647"},
      {"2147483648", "2.14748e+009"},
      {"-2147483648", "-2.14748e+009"},
      {"3.1", "3.1"},
      {"-56.123", "-56.123"},
      {"1e3", "1000.0"},
      {"4.1e-6", "4.1e-006"},
      {"1.2E+07", "1.2e+007"},
      {"1.", "1.0"},
      {"'(a b c)", "(A B C)"},
      {"'(1 . 2)", "(1 . 2)"},
      {"'(1 2 . 3)", "(1 2 . 3)"},
      {"'(0 . \"LINE\")", "(0 . \"LINE\")"},
      {"'()", "nil"},
      {"'nil", "nil"},
      {"'(nil t)", "(nil T)"},
      {"''x", "(QUOTE X)"},
      {"'(a 'b)", "(A (QUOTE B))"},
      {"'(1-2 1+ -)", "(1-2 1+ -)"},
  };
  runTable(cases);
}

TEST_F(ReaderTest, StringEscapes) {
  static const Case cases[] = {
      {R"("a\\b")", R"("a\\b")"},
      {R"("a\"b")", R"("a\"b")"},
      {R"((strlen "\e\n\r\t"))", "4"},
      {R"((ascii "\e"))", "27"},
      {R"((ascii "\002"))", "2"},
      {R"((ascii "\101"))", "65"},
      {R"("\101BC")", R"("ABC")"},
      {R"("\q")", R"("q")"},
      {R"("c:\\acadwin")", R"("c:\\acadwin")"},
      {"\"two\nlines\"", R"("two\nlines")"},
      {R"((chr 2))", R"("\002")"},
      {R"((chr 127))", R"("\177")"},
      {R"((strcat "tab" (chr 9)))", R"("tab\t")"},
  };
  runTable(cases);
}

TEST_F(ReaderTest, CommentsAreSkipped) {
  static const Case cases[] = {
      {"; nothing but a comment\n42", "42"},
      {"(+ 1 ;| inline |; 2)", "3"},
      {"(+ 1 ;| spans\nlines |; 2) ; trailing", "3"},
      {"(list 1 ; to end of line\n 2)", "(1 2)"},
  };
  runTable(cases);
}

TEST_F(ReaderTest, MalformedInputGivesReaderErrors) {
  static const Case cases[] = {
      {"(+ 1 2", "!malformed list on input"},
      {"(list '(1 2)", "!malformed list on input"},
      {"1)", "!extra right paren on input"},
      {"\"abc", "!malformed string on input"},
      {"'(1 . 2 3)", "!extra cdrs in dotted pair on input"},
      {"'( . 2)", "!misplaced dot on input"},
      {".5", "!misplaced dot on input"},
      {"'(1 .)", "!misplaced dot on input"},
      {"(quote a b)", "!syntax error"},
  };
  runTable(cases);
}

TEST_F(ReaderTest, FormsBeforeAReaderErrorStillRun) {
  EXPECT_EQ(run("(setq a 5) (setq b"), "!malformed list on input");
  EXPECT_EQ(run("a"), "5");
}

TEST(Reader, YieldsFormsWithPositions) {
  std::string_view text = "(setq a 1)\n;=>1\n  'b ; note\n\n\"s\"";
  Reader reader(text);
  auto first = reader.next();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->begin, 0u);
  EXPECT_EQ(first->end, 10u);
  EXPECT_EQ(first->line, 1);
  auto second = reader.next();
  ASSERT_TRUE(second);
  EXPECT_EQ(text.substr(second->begin, second->end - second->begin), "'b");
  EXPECT_EQ(second->line, 3);
  EXPECT_EQ(second->value.toPrin1String(), "(QUOTE B)");
  auto third = reader.next();
  ASSERT_TRUE(third);
  EXPECT_EQ(third->line, 5);
  EXPECT_FALSE(reader.next());
}

TEST(Reader, ErrorLeavesReaderAtEnd) {
  Reader reader("(a)) (b)");
  EXPECT_TRUE(reader.next());
  EXPECT_THROW(reader.next(), LispError);
  EXPECT_FALSE(reader.next());
}

using PrinterTest = LispTest;

TEST_F(PrinterTest, RealsPrintWithSixDigitsAndThreeDigitExponents) {
  static const Case cases[] = {
      {"0.785398", "0.785398"},
      {"2.0", "2.0"},
      {"12.0", "12.0"},
      {"32.5", "32.5"},
      {"-10.0", "-10.0"},
      {"1.5", "1.5"},
      {"0.1", "0.1"},
      {"pi", "3.14159"},
      {"100000.0", "100000.0"},
      {"123456.7", "123457.0"},
      {"1e6", "1.0e+006"},
      {"1e20", "1.0e+020"},
      {"0.0001", "0.0001"},
      {"1e-5", "1.0e-005"},
      {"20100215.5", "2.01002e+007"},
      {"'(10 17.0084 -10.1694 0.0)", "(10 17.0084 -10.1694 0.0)"},
      {"(atan 1.0 0.0)", "1.5708"},
      {"(/ 12.0 5)", "2.4"},
  };
  runTable(cases);
}

TEST_F(PrinterTest, PrincAndPrin1Differ) {
  static const struct {
    const char* source;
    const char* printed;
  } cases[] = {
      {R"((prin1 "a\"b"))", R"("a\"b")"},
      {R"((princ "a\"b"))", R"(a"b)"},
      {R"((princ '("x" 1 2.0)))", "(x 1 2.0)"},
      {R"((prin1 '("x" 1 2.0)))", R"(("x" 1 2.0))"},
      {R"((print "x"))", "\n\"x\" "},
      {R"((princ 2.0))", "2.0"},
      {R"((princ 1e20))", "1.0e+020"},
      {R"((prompt "msg"))", "msg"},
      {R"((terpri))", "\n"},
      {R"((write-line "abc"))", "abc\n"},
      {R"((write-char 65))", "A"},
      {R"((princ))", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    services.output.clear();
    run(c.source);
    EXPECT_EQ(services.output, c.printed);
  }
}

TEST_F(PrinterTest, SpecialObjects) {
  EXPECT_EQ(Value::ename(AdsName{{0x7ef9b450, 0}}).toPrin1String(), "<Entity name: 7ef9b450>");
  EXPECT_EQ(Value::ename(AdsName{{0x1d45558, 7}}).toPrin1String(), "<Entity name: 1d45558>");
  EXPECT_EQ(Value::pickset(AdsName{{0x4d, 0}}).toPrin1String(), "<Selection set: 4d>");
  // Two handles on one ads name are the same entity; a selection set is not an entity.
  EXPECT_TRUE(Value::ename(AdsName{{5, 1}}).eq(Value::ename(AdsName{{5, 1}})));
  EXPECT_FALSE(Value::ename(AdsName{{5, 1}}).eq(Value::ename(AdsName{{6, 1}})));
  EXPECT_FALSE(Value::ename(AdsName{{5, 1}}).eq(Value::pickset(AdsName{{5, 1}})));
  EXPECT_EQ(run("(vl-catch-all-apply '/ '(1 0))"), "#<%catch-all-apply-error%>");
  EXPECT_EQ(run("(princ)"), "");
  std::string subr = run("car");
  EXPECT_EQ(subr.rfind("#<SUBR @", 0), 0u) << subr;
  EXPECT_EQ(subr.substr(subr.size() - 5), " CAR>");
  run("(defun foo (x) x)");
  std::string usubr = run("foo");
  EXPECT_EQ(usubr.rfind("#<USUBR @", 0), 0u) << usubr;
  EXPECT_EQ(usubr.substr(usubr.size() - 5), " FOO>");
}

}  // namespace
}  // namespace tabrik::lisp::testing
