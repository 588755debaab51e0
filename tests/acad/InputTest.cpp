// The ads input calls over the input queue: tokens, keywords, Enter, Escape, retries.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "HostTesting.h"
#include "acedads.h"
#include "aced/input/UserInput.h"

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
  // A corner takes the current elevation (0 here), not the Z typed.
  EXPECT_EQ(acedGetCorner(p, L"", p), RTNORM);
  EXPECT_DOUBLE_EQ(p[X], 3.0);
  EXPECT_DOUBLE_EQ(p[Z], 0.0);
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
      {"Yes No", "y", "Yes"},
      {"Yes No", "NO", "No"},
      {"Yes No", "yes", "Yes"},
      {"Yes No", "x", nullptr},
      {"LType LWeight", "lt", "LType"},
      {"LType LWeight", "l", nullptr},
      {"LType LWeight", "lw", "LWeight"},
      // Capitals inside the name abbreviate it as well as leading ones.
      {"eXit Undo", "x", "eXit"},
      {"eXit Undo", "EXIT", "eXit"},
      {"eXit Undo", "e", nullptr},
      {"toP Bottom", "p", "toP"},
      {"toP Bottom", "to", nullptr},
      {"", "a", nullptr},
      // The comma form: the text after the comma abbreviates, more of the name may follow.
      {"Corner,C Middle,M", "c", "Corner"},
      {"Corner,C Middle,M", "mid", "Middle"},
      {"Corner,C Middle,M", "cx", nullptr},
      {"LTYPE,LT", "l", nullptr},
      {"LTYPE,LT", "ltyp", "LTYPE"},
      {"Exit,X Undo", "x", "Exit"},
      // Global names answer for the local ones, typed either way.
      {"Exit Undo _X U", "_u", "U"},
      {"Exit Undo _X U", "e", "X"},
      {"Ja Nein _Yes No", "n", "No"},
      {"Ja Nein _Yes No", "_yes", "Yes"},
      {"Ja Nein _Yes No", "_ja", nullptr},
      {"_Yes No", "y", "Yes"},
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

TEST_F(InputTest, KeywordPositionsCountTheLocalNames) {
  const struct {
    const char* keywords;
    const char* typed;
    int expected;  // -1: none
  } cases[] = {
      {"Corner,C Middle,M", "m", 1},   {"Corner,C Middle,M", "C", 0}, {"Close Undo _C U", "_u", 1},
      {"A B C D E F G H I J", "j", 9}, {"Close Undo", "", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.keywords) + " <- " + c.typed);
    auto index = tabrik::acad::matchKeywordIndex(c.keywords, c.typed);
    EXPECT_EQ(index ? static_cast<int>(*index) : -1, c.expected);
  }
}

TEST_F(InputTest, DistancesAndAnglesFromPoints) {
  const double pi = M_PI;
  const struct {
    const char* name;
    bool angle;
    bool hasBase;
    int bits;
    std::vector<std::string> tokens;
    int status;
    double value;
  } cases[] = {
      {"distance from the base", false, true, 0, {"4,5"}, RTNORM, 5},
      {"distance of two points", false, false, 0, {"1,1", "~9,9", "4,5"}, RTNORM, 5},
      {"distance in 3D", false, true, 0, {"1,1,2"}, RTNORM, 2},
      {"distance in 2D with bit 64", false, true, RSG_2D, {"1,1,2"}, RTNORM, 0},
      {"zero distance refused", false, true, RSG_NOZERO, {"1,1", "3"}, RTNORM, 3},
      {"second point cancelled", false, false, 0, {"1,1", "*cancel*"}, RTCAN, 0},
      {"angle from the base", true, true, 0, {"1,2"}, RTNORM, pi / 2},
      {"angle below the base", true, true, 0, {"0,0"}, RTNORM, 5 * pi / 4},
      {"angle of two points", true, false, 0, {"5,5", "4,5"}, RTNORM, pi},
      {"angle typed", true, false, 0, {"45"}, RTNORM, pi / 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OutputCapture output;
    queue(c.tokens);
    ads_point base = {1, 1, 0};
    ads_real value = 0;
    acedInitGet(c.bits, nullptr);
    int status = c.angle ? acedGetAngle(c.hasBase ? base : nullptr, L"", &value)
                         : acedGetDist(c.hasBase ? base : nullptr, L"", &value);
    EXPECT_EQ(status, c.status);
    if (status == RTNORM) {
      EXPECT_NEAR(value, c.value, 1e-12);
    }
    tabrik::acad::testing::resetHost();
  }
}
