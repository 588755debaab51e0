// The ads input calls over the input queue: tokens, keywords, Enter, Escape, retries.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "HostTesting.h"
#include "acedads.h"
#include "input/UserInput.h"

using tabrik::acad::testing::OutputCapture;
using tabrik::acad::testing::queueInput;

namespace {

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override { tabrik::acad::testing::resetHost(); }
  void TearDown() override { tabrik::acad::testing::resetHost(); }
  void queue(const std::vector<std::string>& tokens) {
    for (const std::string& token : tokens) queueInput(token);
  }
};

}  // namespace

TEST_F(InputTest, GetPointReadsPointsAndSkipsCursorMotion) {
  OutputCapture output;
  queue({"~5,5", "1.5,-2", "3,4,5"});
  ads_point p;
  EXPECT_EQ(acedGetPoint(nullptr, L"\nPick: ", p), RTNORM);
  EXPECT_DOUBLE_EQ(p[X], 1.5);
  EXPECT_DOUBLE_EQ(p[Y], -2.0);
  EXPECT_DOUBLE_EQ(p[Z], 0.0);
  EXPECT_EQ(acedGetCorner(p, L"", p), RTNORM);
  EXPECT_DOUBLE_EQ(p[Z], 5.0);
  // The prompt is printed once per request, the input is not echoed.
  EXPECT_EQ(output.take(), "\nPick: ");
}

TEST_F(InputTest, EnterEscapeAndAnEmptyQueue) {
  OutputCapture output;
  queue({"", "*cancel*"});
  ads_point p;
  EXPECT_EQ(acedGetPoint(nullptr, L"", p), RTNONE);
  EXPECT_EQ(acedGetPoint(nullptr, L"", p), RTCAN);
  EXPECT_EQ(acedGetPoint(nullptr, L"", p), RTCAN);
}

TEST_F(InputTest, InvalidInputIsRetypedAfterTheHostsMessage) {
  OutputCapture output;
  queue({"abc", "70000", "12"});
  int value = 0;
  EXPECT_EQ(acedGetInt(L"N: ", &value), RTNORM);
  EXPECT_EQ(value, 12);
  EXPECT_EQ(output.take(), "N: \nRequires an integer value.\n\nRequires an integer value.\n");
}

TEST_F(InputTest, InitGetBitsApplyToOneRequest) {
  OutputCapture output;
  queue({"", "0", "-1", "4", ""});
  int value = 0;
  acedInitGet(RSG_NONULL | RSG_NOZERO | RSG_NONEG, nullptr);
  EXPECT_EQ(acedGetInt(L"", &value), RTNORM);
  EXPECT_EQ(value, 4);
  EXPECT_EQ(acedGetInt(L"", &value), RTNONE);
}

TEST_F(InputTest, KeywordsByFullNameOrAbbreviation) {
  OutputCapture output;
  const struct {
    const char* keywords;
    const char* typed;
    const char* expected;  // nullptr: no keyword
  } cases[] = {
      {"Yes No", "y", "Yes"},       {"Yes No", "NO", "No"},         {"Yes No", "yes", "Yes"},
      {"Yes No", "x", nullptr},     {"LType LWeight", "lt", "LType"}, {"LType LWeight", "l", nullptr},
      {"LType LWeight", "lw", "LWeight"}, {"Exit Undo _X U", "_u", "Undo"}, {"", "a", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.keywords) + " <- " + c.typed);
    auto match = tabrik::acad::matchKeyword(c.keywords, c.typed);
    if (c.expected == nullptr) {
      EXPECT_FALSE(match.has_value());
    } else {
      ASSERT_TRUE(match.has_value());
      EXPECT_EQ(*match, c.expected);
    }
  }
}

TEST_F(InputTest, PointRequestsAnswerKeywordsThroughGetInput) {
  OutputCapture output;
  queue({"u"});
  acedInitGet(0, L"Undo Close");
  ads_point p;
  EXPECT_EQ(acedGetPoint(nullptr, L"", p), RTKWORD);
  ACHAR keyword[32];
  EXPECT_EQ(acedGetInput(keyword, 32), RTNORM);
  EXPECT_STREQ(keyword, L"Undo");
}

TEST_F(InputTest, ArbitraryInputWithBit128) {
  OutputCapture output;
  queue({"hello there"});
  acedInitGet(RSG_OTHER, nullptr);
  ads_point p;
  EXPECT_EQ(acedGetPoint(nullptr, L"", p), RTKWORD);
  ACHAR text[32];
  acedGetInput(text, 32);
  EXPECT_STREQ(text, L"hello there");
}

TEST_F(InputTest, StringsRealsAnglesAndKwords) {
  OutputCapture output;
  queue({"two words", "two words", "2.5", "90", "n"});
  ACHAR text[64];
  EXPECT_EQ(acedGetString(0, L"", text, 64), RTNORM);
  EXPECT_STREQ(text, L"two");
  EXPECT_EQ(acedGetString(1, L"", text, 64), RTNORM);
  EXPECT_STREQ(text, L"two words");
  ads_real real = 0;
  EXPECT_EQ(acedGetReal(L"", &real), RTNORM);
  EXPECT_DOUBLE_EQ(real, 2.5);
  EXPECT_EQ(acedGetAngle(nullptr, L"", &real), RTNORM);
  EXPECT_NEAR(real, M_PI / 2, 1e-12);
  acedInitGet(0, L"Yes No");
  EXPECT_EQ(acedGetKword(L"", text, 64), RTNORM);
  EXPECT_STREQ(text, L"No");
}

TEST_F(InputTest, LongTextIsTruncatedAndSaysSo) {
  OutputCapture output;
  queue({"abcdefgh"});
  ACHAR text[4];
  EXPECT_EQ(acedGetString(0, L"", text, 4), RTINPUTTRUNCATED);
  EXPECT_STREQ(text, L"abc");
}

TEST_F(InputTest, ParsePointRefusesWhatIsNotAPoint) {
  const char* bad[] = {"1", "1,", ",1", "1,2,3,4", "a,b", "1;2", ""};
  for (const char* text : bad) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(tabrik::acad::parsePoint(text).has_value());
  }
}
