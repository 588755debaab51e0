// The C++ face of values that the host builds and takes apart: construction,
// symbols, list walking, points.
#include <gtest/gtest.h>

#include <climits>

#include "lisp/Reader.h"
#include "lisp/Value.h"

namespace tabrik::lisp {
namespace {

TEST(Value, IntegersKeepTheirFullRange) {
  for (std::int32_t i : {0, 1, -1, 32767, -32768, INT_MAX, INT_MIN}) {
    SCOPED_TRACE(i);
    Value v = Value::integer(i);
    EXPECT_EQ(v.type(), Type::Int);
    EXPECT_EQ(v.asInt(), i);
    EXPECT_EQ(v.toPrin1String(), std::to_string(i));
  }
}

TEST(Value, SymbolsAreInternedAndFoldedToUpperCase) {
  EXPECT_TRUE(Value::symbol("c:DoIt").eq(Value::symbol("C:DOIT")));
  EXPECT_EQ(Value::symbol("vl-string->list").symbolName(), "VL-STRING->LIST");
  EXPECT_TRUE(Value::symbol("t").isT());
  EXPECT_TRUE(readFirst("foo").eq(Value::symbol("FOO")));
  EXPECT_TRUE(readFirst("nil").isNil());
  EXPECT_FALSE(Value::symbol("A").eq(Value::symbol("B")));
}

TEST(Value, ListsBuildWalkAndPrint) {
  Value list = Value::list({Value::integer(1), Value::string("a"), Value()});
  EXPECT_EQ(list.toPrin1String(), "(1 \"a\" nil)");
  EXPECT_EQ(list.length(), 3u);
  EXPECT_TRUE(list.isProperList());
  std::vector<std::string> printed;
  for (const Value& item : list) printed.push_back(item.toPrincString());
  EXPECT_EQ(printed, (std::vector<std::string>{"1", "a", "nil"}));

  Value dotted = Value::list({Value::integer(1), Value::integer(2)}, Value::integer(3));
  EXPECT_EQ(dotted.toPrin1String(), "(1 2 . 3)");
  EXPECT_EQ(dotted.length(), 2u);
  EXPECT_FALSE(dotted.isProperList());
  EXPECT_EQ(dotted.toVector().size(), 2u);

  Value pair = Value::cons(Value::integer(0), Value::string("LINE"));
  EXPECT_EQ(pair.toPrin1String(), "(0 . \"LINE\")");
  EXPECT_EQ(pair.car().asInt(), 0);
  EXPECT_EQ(pair.cdr().asString(), "LINE");
  EXPECT_TRUE(Value().car().isNil());
  EXPECT_EQ(Value().begin(), Value().end());
}

TEST(Value, PointsAreListsOfTwoOrThreeNumbers) {
  static const struct {
    const char* text;
    bool point;
  } cases[] = {
      {"(1 2)", true},          {"(1.0 2 3)", true}, {"(1)", false},       {"(1 2 3 4)", false},
      {"(1 \"2\")", false},     {"(1 . 2)", false},  {"(1 2 . 3)", false}, {"nil", false},
      {"((1 2) (3 4))", false}, {"5", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(readFirst(c.text).isPoint(), c.point);
  }
  EXPECT_EQ(Value::point(1, 2, 3).toPrin1String(), "(1.0 2.0 3.0)");
}

TEST(Value, TypesAndTypeNames) {
  EXPECT_EQ(typeName(Value::real(1).type()), "REAL");
  EXPECT_EQ(typeName(Value::ename({}).type()), "ENAME");
  EXPECT_EQ(typeName(Value::pickset({}).type()), "PICKSET");
  EXPECT_EQ(typeName(Value::catchAllError("x").type()), "VL-CATCH-ALL-APPLY-ERROR");
  EXPECT_EQ(Value::catchAllError("divide by zero").catchAllMessage(), "divide by zero");
  EXPECT_EQ(Value::nullSymbol().toPrin1String(), "");
  EXPECT_TRUE(Value::list({}).isNil());
}

TEST(Value, EqualComparesStructureAndNumbersWithinFuzz) {
  EXPECT_TRUE(readFirst("(1 (2.0 \"s\") . 3)").equal(readFirst("(1 (2.0 \"s\") . 3)")));
  EXPECT_FALSE(readFirst("(1 (2.0 \"s\") . 3)").equal(readFirst("(1 (2.0 \"S\") . 3)")));
  EXPECT_TRUE(readFirst("(10 1.0 2.0)").equal(readFirst("(10 1.001 2.0)"), 0.01));
  EXPECT_FALSE(readFirst("(10 1.0 2.0)").equal(readFirst("(10 1.1 2.0)"), 0.01));
  EXPECT_TRUE(Value::ename({{7, 0}}).equal(Value::ename({{7, 0}})));
}

}  // namespace
}  // namespace tabrik::lisp
