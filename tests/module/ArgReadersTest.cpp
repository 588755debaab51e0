// The argument readers: what each accepts, what it yields, and where it leaves the
// cursor (a reader that does not read leaves it in place).
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "ResbufChain.h"
#include "host/ArgReaders.h"

using namespace tabrik::arx;
using namespace tabrik::arx::testing;

namespace {

// How many elements of `chain` the cursor has passed.
std::size_t consumed(const Chain& chain, ArgCursor cursor) {
  std::size_t count = 0;
  for (const resbuf* rb = chain.head(); rb != cursor; rb = rb->rbnext) ++count;
  return count;
}

}  // namespace

TEST(ArgReaders, IntegerReaderTruncatesRealsAndRefusesWhatIsNoInteger) {
  struct Case {
    const char* name;
    Element element;
    bool reads;
    std::int32_t expected;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {"short", Short(-5), true, -5},
      {"short extremes", Short(-32768), true, -32768},
      {"long", Long(40000), true, 40000},
      {"real toward zero", Real(2.9), true, 2},
      {"negative real toward zero", Real(-2.9), true, -2},
      {"real at the 32-bit limit", Real(2147483647.5), true, 2147483647},
      {"real beyond 32 bits", Real(1e10), false, 0},
      {"real below 32 bits", Real(-3e9), false, 0},
      {"not a number", Real(nan), false, 0},
      {"string", Str(L"12"), false, 0},
      {"nil", Marker(RTNIL), false, 0},
      {"T", Marker(RTT), false, 0},
      {"entity data group code", Point(10, 1, 2, 3), false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Chain chain{c.element, Str(L"next")};
    ArgCursor cursor = chain.head();
    std::int32_t value = 77;
    EXPECT_EQ(readInteger(cursor, value), c.reads);
    EXPECT_EQ(value, c.reads ? c.expected : 77);
    EXPECT_EQ(consumed(chain, cursor), c.reads ? 1u : 0u);
  }
}

TEST(ArgReaders, RealReadersAcceptIntegersOnlyWhenNotStrict) {
  struct Case {
    const char* name;
    Element element;
    bool reads;
    bool readsStrict;
    double expected;
  };
  const Case cases[] = {
      {"real", Real(1.25), true, true, 1.25},
      {"short", Short(-3), true, false, -3.0},
      {"long", Long(70000), true, false, 70000.0},
      {"string", Str(L"1.5"), false, false, 0.0},
      {"point", Point(RT3DPOINT, 1, 2, 3), false, false, 0.0},
      {"nil", Marker(RTNIL), false, false, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Chain chain{c.element};
    ArgCursor cursor = chain.head();
    double value = -99.0;
    EXPECT_EQ(readReal(cursor, value), c.reads);
    EXPECT_EQ(value, c.reads ? c.expected : -99.0);
    EXPECT_EQ(cursor, c.reads ? nullptr : chain.head());

    ArgCursor strict = chain.head();
    double strictValue = -99.0;
    EXPECT_EQ(readRealStrict(strict, strictValue), c.readsStrict);
    EXPECT_EQ(strictValue, c.readsStrict ? c.expected : -99.0);
  }
}

TEST(ArgReaders, PointReaderTakesPointsOrRunsOfNumbers) {
  struct Case {
    const char* name;
    Chain chain;
    bool reads;
    double x, y, z;
    std::size_t consumed;
  };
  Case cases[] = {
      {"two integers", {Short(1), Short(2)}, true, 1, 2, 0, 2},
      {"three integers", {Short(1), Short(2), Short(3)}, true, 1, 2, 3, 3},
      {"two numbers then text", {Real(1.5), Long(70000), Str(L"x")}, true, 1.5, 70000, 0, 2},
      {"three then more", {Real(1), Real(2), Real(3), Real(4)}, true, 1, 2, 3, 3},
      {"2D point", {Point(RTPOINT, 4, 5, 9)}, true, 4, 5, 0, 1},
      {"3D point", {Point(RT3DPOINT, 4, 5, 6), Short(1)}, true, 4, 5, 6, 1},
      {"entity data point 10", {Point(10, 7, 8, 9)}, true, 7, 8, 9, 1},
      {"entity data point 17", {Point(17, 1, 1, 1)}, true, 1, 1, 1, 1},
      {"group code 18 is no point", {Point(18, 1, 1, 1)}, false, 0, 0, 0, 0},
      {"one number", {Short(1)}, false, 0, 0, 0, 0},
      {"number then text", {Short(1), Str(L"2")}, false, 0, 0, 0, 0},
      {"a list", {Marker(RTLB), Short(1), Short(2), Marker(RTLE)}, false, 0, 0, 0, 0},
      {"empty", {}, false, 0, 0, 0, 0},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    ArgCursor cursor = c.chain.head();
    ads_point p = {-1, -1, -1};
    EXPECT_EQ(readPoint(cursor, p), c.reads);
    if (c.reads) {
      EXPECT_EQ(p[X], c.x);
      EXPECT_EQ(p[Y], c.y);
      EXPECT_EQ(p[Z], c.z);
    } else {
      EXPECT_EQ(p[X], -1);
    }
    EXPECT_EQ(consumed(c.chain, cursor), c.consumed);
  }
}

TEST(ArgReaders, BooleanReaderAndDatabaseFlag) {
  struct Case {
    const char* name;
    Element element;
    bool reads;
    bool value;
    bool moves;
  };
  const Case cases[] = {
      {"nil is false", Marker(RTNIL), true, false, true},
      {"T is true", Marker(RTT), true, true, true},
      {"a number is true", Short(0), true, true, true},
      {"a string is true", Str(L""), true, true, true},
      {"list end is false and stays", Marker(RTLE), true, false, false},
      {"list start is not read", Marker(RTLB), false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Chain chain{c.element};
    ArgCursor cursor = chain.head();
    bool value = !c.value;
    EXPECT_EQ(readBoolean(cursor, value), c.reads);
    if (c.reads) {
      EXPECT_EQ(value, c.value);
    }
    EXPECT_EQ(cursor, c.moves ? nullptr : chain.head());

    ArgCursor flagCursor = chain.head();
    short flag = 5;
    EXPECT_EQ(readDatabaseFlag(flagCursor, flag), c.reads);
    EXPECT_EQ(flag, c.reads ? (c.value ? -1 : 0) : 5);
  }
  ArgCursor end = nullptr;
  bool value = true;
  EXPECT_FALSE(readBoolean(end, value));
}

TEST(ArgReaders, StringEntityAndListMarkers) {
  Chain chain{Str(L"name"), Name(11, 22), Marker(RTLB), Marker(RTLE), Short(1)};
  ArgCursor cursor = chain.head();
  std::wstring text;
  ads_name entity = {0, 0};

  EXPECT_FALSE(readEntityName(cursor, entity));
  EXPECT_FALSE(readListStart(cursor));
  ASSERT_TRUE(readString(cursor, text));
  EXPECT_EQ(text, L"name");

  EXPECT_FALSE(readString(cursor, text));
  ASSERT_TRUE(readEntityName(cursor, entity));
  EXPECT_EQ(entity[0], 11);
  EXPECT_EQ(entity[1], 22);

  EXPECT_FALSE(readListEnd(cursor));
  EXPECT_TRUE(readListStart(cursor));
  EXPECT_FALSE(readListStart(cursor));
  EXPECT_TRUE(readListEnd(cursor));
  EXPECT_EQ(consumed(chain, cursor), 4u);

  skipArgument(cursor);
  EXPECT_EQ(cursor, nullptr);
  skipArgument(cursor);
  EXPECT_EQ(cursor, nullptr);
  EXPECT_FALSE(readString(cursor, text));
  EXPECT_EQ(text, L"name");
}
