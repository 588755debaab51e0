// Results as the host receives them: integers outside LISP's 16-bit range go back as
// reals, and a finished list is handed over whole and leaves the builder empty.
#include <cstdint>

#include <gtest/gtest.h>

#include "HostTesting.h"
#include "ResbufChain.h"
#include "acedads.h"
#include "aced/ads/ExternalCall.h"
#include "aced/doc/DocManager.h"
#include "host/ListBuilder.h"
#include "host/ResultValues.h"

using namespace tabrik::arx;
using namespace tabrik::arx::testing;
using tabrik::acad::docManager;
using tabrik::acad::Document;
using tabrik::acad::ExternalCall;

namespace {

constexpr int kTestCode = 900;
std::int64_t g_value = 0;
ListBuilder* g_builder = nullptr;

int returnInteger() {
  retInteger(g_value);
  return RSRSLT;
}

int finishList() {
  g_builder->finish();
  return RSRSLT;
}

class ResultValuesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tabrik::acad::testing::resetHost();
    document = docManager().open(L"Drawing1.dwg");
  }
  void TearDown() override { tabrik::acad::testing::resetHost(); }

  void run(int (*handler)(), ExternalCall& call) {
    acedRegFunc(handler, kTestCode);
    ASSERT_EQ(tabrik::acad::runExternal(*document, kTestCode, nullptr, call), RSRSLT);
  }

  Document* document = nullptr;
};

}  // namespace

TEST_F(ResultValuesTest, IntegersBeyondSixteenBitsBecomeReals) {
  struct Case {
    std::int64_t value;
    bool asInteger;
  };
  const Case cases[] = {
      {0, true},          {32767, true},       {-32768, true},
      {32768, false},     {-32769, false},     {40000, false},
      {-1, true},         {2147483647, false}, {-2147483648LL, false},
      {1LL << 40, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    g_value = c.value;
    ExternalCall call;
    run(returnInteger, call);
    ASSERT_EQ(call.kind, ExternalCall::Result::kValue);
    ASSERT_NE(call.result, nullptr);
    if (c.asInteger) {
      // The host keeps acedRetInt's value as a 16- or 32-bit integer; either is LISP's integer.
      const short type = call.result->restype;
      ASSERT_TRUE(type == RTSHORT || type == RTLONG) << type;
      EXPECT_EQ(type == RTSHORT ? call.result->resval.rint : call.result->resval.rlong, c.value);
    } else {
      ASSERT_EQ(call.result->restype, RTREAL);
      EXPECT_EQ(call.result->resval.rreal, static_cast<double>(c.value));
    }
  }
}

TEST_F(ResultValuesTest, FinishHandsTheClosedListToTheHostAndEmptiesTheBuilder) {
  ListBuilder builder;
  builder.start();
  builder.addPair(L"Layer", L"0");
  builder.addString(L"tail");
  g_builder = &builder;
  ExternalCall call;
  run(finishList, call);
  EXPECT_EQ(builder.head(), nullptr);
  ASSERT_EQ(call.kind, ExternalCall::Result::kList);
  EXPECT_EQ(typesOf(call.result.get()),
            (std::vector<short>{RTLB, RTLB, RTSTR, RTDOTE, RTSTR, RTLE, RTSTR, RTLE}));

  // A builder that was never started returns nil.
  ListBuilder unstarted;
  g_builder = &unstarted;
  ExternalCall nilCall;
  run(finishList, nilCall);
  EXPECT_EQ(nilCall.kind, ExternalCall::Result::kNil);
}
