// The list builder's chains: every operation appends the elements LISP reads as the
// intended value, and makePair copies only the value types it carries.
#include <afxdisp.h>
#include <gtest/gtest.h>

#include "ResbufChain.h"
#include "host/ListBuilder.h"

using namespace tabrik::arx;
using namespace tabrik::arx::testing;

namespace {

std::wstring textAt(const resbuf* chain, std::size_t i) {
  while (i-- > 0) chain = chain->rbnext;
  return chain->restype == RTSTR ? chain->resval.rstring : L"<not a string>";
}

const resbuf* at(const resbuf* chain, std::size_t i) {
  while (i-- > 0) chain = chain->rbnext;
  return chain;
}

}  // namespace

TEST(ListBuilder, PairsAreOpenNameDotValueClose) {
  ListBuilder builder;
  builder.start();
  builder.addPair(L"Name", L"Duct");
  builder.addPair(L"Width", 12.5);
  builder.addPairLong(L"Count", 70000);
  const ads_point p = {1, 2, 3};
  builder.addPairPoint(L"At", p);

  const std::vector<short> expected = {RTLB,   RTLB,   RTSTR,  RTDOTE, RTSTR,  RTLE,      RTLB,
                                       RTSTR,  RTDOTE, RTREAL, RTLE,   RTLB,   RTSTR,     RTDOTE,
                                       RTLONG, RTLE,   RTLB,   RTSTR,  RTDOTE, RT3DPOINT, RTLE};
  EXPECT_EQ(typesOf(builder.head()), expected);
  EXPECT_EQ(textAt(builder.head(), 2), L"Name");
  EXPECT_EQ(textAt(builder.head(), 4), L"Duct");
  EXPECT_EQ(at(builder.head(), 9)->resval.rreal, 12.5);
  EXPECT_EQ(at(builder.head(), 14)->resval.rlong, 70000);
  EXPECT_EQ(at(builder.head(), 19)->resval.rpoint[Z], 3.0);
}

TEST(ListBuilder, DatabaseValuesFollowTheStringRuleOfTheirField) {
  ListBuilder builder;
  builder.start();
  builder.addPairDatabaseValue(L"s_Memo", COleVariant(L"kept  ", VT_BSTR));
  builder.addPairDatabaseValue(L"Memo", COleVariant(L"trimmed  ", VT_BSTR));
  builder.addDatabaseValue(COleVariant(L"bare  ", VT_BSTR));
  builder.addPairDatabaseValue(L"Empty", COleVariant());

  EXPECT_EQ(textAt(builder.head(), 4), L"kept  ");
  EXPECT_EQ(textAt(builder.head(), 9), L"trimmed");
  EXPECT_EQ(textAt(builder.head(), 11), L"bare");
  EXPECT_EQ(at(builder.head(), 15)->restype, RTNIL);
}

TEST(ListBuilder, StartDiscardsAnEarlierList) {
  ListBuilder builder;
  builder.start();
  builder.addString(L"old");
  builder.start();
  builder.addString(L"new");
  const ads_point p = {0, 0, 0};
  builder.add3dPoint(p);
  EXPECT_EQ(typesOf(builder.head()), (std::vector<short>{RTLB, RTSTR, RT3DPOINT}));
  EXPECT_EQ(textAt(builder.head(), 1), L"new");
}

TEST(ListBuilder, MakePairCopiesTheValueTypesItCarries) {
  Chain host{Real(1.5),
             Point(RTPOINT, 1, 2, 0),
             Point(RT3DPOINT, 1, 2, 3),
             Short(-7),
             Str(L"txt"),
             Long(99999),
             Marker(RTNIL),
             Marker(RTT),
             Name(1, 2),
             Marker(RTLB)};
  const short carried[] = {RTREAL, RTPOINT, RT3DPOINT, RTSHORT, RTSTR, RTLONG};
  for (std::size_t i = 0; i < 10; ++i) {
    SCOPED_TRACE(i);
    resbuf* pair = ListBuilder::makePair(L"key", host.at(i));
    if (i >= std::size(carried)) {
      EXPECT_EQ(pair, nullptr);
      continue;
    }
    ASSERT_NE(pair, nullptr);
    EXPECT_EQ(typesOf(pair), (std::vector<short>{RTLB, RTSTR, RTDOTE, carried[i], RTLE}));
    EXPECT_EQ(textAt(pair, 1), L"key");
    const resbuf* value = at(pair, 3);
    EXPECT_NE(value, host.at(i));
    if (carried[i] == RTSTR) {
      EXPECT_STREQ(value->resval.rstring, L"txt");
      EXPECT_NE(value->resval.rstring, host.at(i)->resval.rstring);
    } else if (carried[i] == RTSHORT) {
      EXPECT_EQ(value->resval.rint, -7);
    }
    acutRelRb(pair);
  }
  EXPECT_EQ(ListBuilder::makePair(L"key", nullptr), nullptr);
}
