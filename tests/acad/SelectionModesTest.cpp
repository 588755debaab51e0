// acedSSGet's modes: windows and polygons by the entities' real geometry (a concave
// polygon's notch, a diagonal past a window's corner), fences, the interactive
// selection with its keywords, custom prompts and keyword callbacks, last, previous
// and implied sets; acedSSDel and acedSSMemb; acedEntSel's statuses.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "HostSession.h"
#include "HostTesting.h"
#include "acedads.h"
#include "acutads.h"
#include "dbents.h"
#include "dbsymtb.h"

using tabrik::acad::testing::OutputCapture;
using tabrik::acad::testing::queueInput;

namespace {

// The drawing, each entity named by a letter. The U-shaped polygon of the tests:
// (0,0) (12,0) (12,10) (8,10) (8,4) (4,4) (4,10) (0,10), its notch 4<x<8, y>4.
//   A circle (6,7) r1     in the notch: inside the polygon's box, outside the polygon
//   B line (1,1)-(3,1)    inside
//   C line (2,8)-(10,8)   both ends inside, crosses the notch
//   D line (20,20)-(25,25) far off
//   E line (11,5)-(15,5)  crosses the right edge
//   F circle (6,2) r1     inside the bottom strip
//   G line (9,14)-(14,9)  its box meets the window (0,0)-(10,10), the line does not
//   H line (13,3)-(13,7)  crosses E at (13,5)
const double kPolygon[][2] = {{0, 0}, {12, 0}, {12, 10}, {8, 10}, {8, 4}, {4, 4}, {4, 10}, {0, 10}};

class SelectionModesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_session = tabrik::acad::HostSession::startBare();
    ASSERT_NE(m_session, nullptr);
    add('A', new AcDbCircle(AcGePoint3d(6, 7, 0), AcGeVector3d(0, 0, 1), 1.0));
    add('B', new AcDbLine(AcGePoint3d(1, 1, 0), AcGePoint3d(3, 1, 0)));
    add('C', new AcDbLine(AcGePoint3d(2, 8, 0), AcGePoint3d(10, 8, 0)));
    add('D', new AcDbLine(AcGePoint3d(20, 20, 0), AcGePoint3d(25, 25, 0)));
    add('E', new AcDbLine(AcGePoint3d(11, 5, 0), AcGePoint3d(15, 5, 0)));
    add('F', new AcDbCircle(AcGePoint3d(6, 2, 0), AcGeVector3d(0, 0, 1), 1.0));
    add('G', new AcDbLine(AcGePoint3d(9, 14, 0), AcGePoint3d(14, 9, 0)));
    add('H', new AcDbLine(AcGePoint3d(13, 3, 0), AcGePoint3d(13, 7, 0)));
    acedSSSetKwordCallbackPtr(nullptr);
  }
  void TearDown() override {
    acedSSSetKwordCallbackPtr(nullptr);
    OutputCapture quiet;
    m_session.reset();
  }

  void add(char letter, AcDbEntity* entity) {
    AcDbDatabase* database = acdbHostApplicationServices()->workingDatabase();
    AcDbBlockTableRecord* space = nullptr;
    ASSERT_EQ(acdbOpenObject(space, database->modelSpaceId(), AcDb::kForWrite), Acad::eOk);
    AcDbObjectId id;
    ASSERT_EQ(space->appendAcDbEntity(id, entity), Acad::eOk);
    entity->close();
    space->close();
    m_letters[id] = letter;
    m_ids[letter] = id;
  }

  // The set's members as letters in set order; the set is freed.
  std::string lettersOf(ads_name set) {
    std::string letters;
    std::int32_t length = 0;
    EXPECT_EQ(acedSSLength(set, &length), RTNORM);
    for (std::int32_t i = 0; i < length; ++i) {
      ads_name entity;
      EXPECT_EQ(acedSSName(set, i, entity), RTNORM);
      AcDbObjectId id;
      acdbGetObjectId(id, entity);
      letters.push_back(m_letters.count(id) ? m_letters[id] : '?');
    }
    acedSSFree(set);
    return letters;
  }

  // Runs acedSSGet; the letters chosen, or "status N" when it did not answer RTNORM.
  std::string select(const ACHAR* mode, const void* arg1 = nullptr, const void* arg2 = nullptr,
                     const resbuf* filter = nullptr) {
    ads_name set;
    int status = acedSSGet(mode, arg1, arg2, filter, set);
    if (status != RTNORM) return "status " + std::to_string(status);
    return lettersOf(set);
  }

  static void queue(const std::vector<std::string>& tokens) {
    for (const std::string& token : tokens) queueInput(token);
  }

  void nameOf(char letter, ads_name name) {
    ads_name found = {0, 0};
    acdbGetAdsName(found, m_ids[letter]);
    name[0] = found[0];
    name[1] = found[1];
  }

  std::unique_ptr<tabrik::acad::HostSession> m_session;
  std::map<AcDbObjectId, char> m_letters;
  std::map<char, AcDbObjectId> m_ids;
};

// A point list as acedSSGet takes polygons and fences.
resbuf* pointList(const std::vector<std::array<double, 2>>& points) {
  resbuf* head = nullptr;
  resbuf** tail = &head;
  for (const auto& p : points) {
    resbuf* rb = acutNewRb(RT3DPOINT);
    rb->resval.rpoint[X] = p[0];
    rb->resval.rpoint[Y] = p[1];
    rb->resval.rpoint[Z] = 0;
    *tail = rb;
    tail = &rb->rbnext;
  }
  return head;
}

resbuf* polygonList() {
  std::vector<std::array<double, 2>> points;
  for (const auto& corner : kPolygon) points.push_back({corner[0], corner[1]});
  return pointList(points);
}

struct ResbufGuard {
  resbuf* rb;
  ~ResbufGuard() { acutRelRb(rb); }
};

}  // namespace

TEST_F(SelectionModesTest, PolygonsWindowsAndFencesFollowTheGeometry) {
  ResbufGuard polygon{polygonList()};
  ResbufGuard fence{pointList({{5.5, -1}, {5.5, 11}})};
  ResbufGuard bent{pointList({{10, 6}, {14, 6}, {14, 2}})};
  ads_point low = {0, 0, 0};
  ads_point high = {9, 9, 0};
  ads_point corner = {10, 10, 0};
  const struct {
    const char* name;
    const ACHAR* mode;
    const void* arg1;
    const void* arg2;
    const char* expected;
  } cases[] = {
      {"WPolygon leaves out the circle in the notch and the line across it", L"_WP", polygon.rb,
       nullptr, "BF"},
      {"CPolygon adds what crosses the edges", L"_CP", polygon.rb, nullptr, "BCEF"},
      {"mode letters in any case", L"cp", polygon.rb, nullptr, "BCEF"},
      {"fence crosses circles and lines", L"_F", fence.rb, nullptr, "ACF"},
      {"a bent fence", L"_F", bent.rb, nullptr, "EH"},
      {"window", L"_W", low, high, "ABF"},
      {"crossing window", L"_C", low, high, "ABCF"},
      {"corners in either order", L"_C", high, low, "ABCF"},
      {"crossing ignores a diagonal beyond the corner", L"_C", low, corner, "ABCF"},
      {"polygon of two points is refused", L"_CP", fence.rb, nullptr, "status -5001"},
      {"window without a corner is refused", L"_W", low, nullptr, "status -5001"},
      {"nothing inside is an error, not an empty set", L"_W", high, high, "status -5001"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(select(c.mode, c.arg1, c.arg2), c.expected);
  }
}

TEST_F(SelectionModesTest, InteractiveSelectionsOverTheInputQueue) {
  const struct {
    const char* name;
    const ACHAR* mode;
    std::vector<std::string> tokens;
    const char* expected;
  } cases[] = {
      {"picks until Enter", nullptr, {"2,1", "13,4", "2,1.05", ""}, "BH"},
      {"a miss picks nothing", nullptr, {"30,30", "2,1", ""}, "B"},
      {"window, then remove", nullptr, {"2,1", "w", "0,0", "9,9", "r", "2,1", ""}, "AF"},
      {"remove then add back", nullptr, {"2,1", "R", "2,1", "a", "2,1", ""}, "B"},
      {"crossing polygon typed",
       nullptr,
       {"cp", "0,0", "12,0", "12,10", "8,10", "8,4", "4,4", "4,10", "0,10", "", ""},
       "BCEF"},
      {"window polygon typed",
       nullptr,
       {"WP", "0,0", "12,0", "12,10", "8,10", "8,4", "4,4", "4,10", "0,10", "", ""},
       "BF"},
      {"fence typed", nullptr, {"f", "5.5,-1", "5.5,11", "", ""}, "ACF"},
      {"all and last", nullptr, {"last", ""}, "H"},
      {"ALL", nullptr, {"all", ""}, "ABCDEFGH"},
      {"invalid text is retyped", nullptr, {"zzz", "2,1", ""}, "B"},
      {"single ends after one pick", L":S", {"30,30", "2,1"}, "B"},
      {"single with a window", L"_:S", {"c", "0,0", "9,9"}, "ABCF"},
      {"everything in the pick box", L":E", {"13,5", ""}, "EH"},
      {"nearest only without :E", nullptr, {"13,5", ""}, "H"},
      {"Escape cancels", nullptr, {"2,1", "*cancel*"}, "status -5002"},
      {"Enter alone selects nothing", nullptr, {""}, "status -5001"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OutputCapture output;
    queue(c.tokens);
    EXPECT_EQ(select(c.mode), c.expected);
  }
}

TEST_F(SelectionModesTest, PromptPairAndKeywords) {
  OutputCapture output;
  const ACHAR* prompts[2] = {L"\nPick ducts: ", L"\nDrop ducts: "};
  queue({"2,1", "13,4", "r", "2,1", ""});
  EXPECT_EQ(select(L":$", prompts), "H");
  EXPECT_EQ(output.take(), "\nPick ducts: \nDrop ducts: ");

  // Without a callback a keyword of the list ends the selection; acedGetInput tells it.
  queue({"2,1", "ext"});
  EXPECT_EQ(select(L":$:K", prompts, L"Extra Other"), "B");
  ACHAR keyword[32];
  ASSERT_EQ(acedGetInput(keyword, 32), RTNORM);
  EXPECT_STREQ(keyword, L"Extra");
  queue({"o"});
  EXPECT_EQ(select(L":K", L"Extra Other"), "status -5001");
  // The module's keywords come before the host's: "All" here is the module's.
  queue({"2,1", "all"});
  EXPECT_EQ(select(L":K", L"All Nothing"), "B");
}

TEST_F(SelectionModesTest, KeywordCallbackAddsPromptsOrCancels) {
  static ads_name far;
  static std::wstring heard;
  nameOf('D', far);
  heard.clear();
  acedSSSetKwordCallbackPtr([](const ACHAR* keyword) -> resbuf* {
    heard += keyword;
    heard += L";";
    if (std::wstring(keyword) == L"Quit") return acutNewRb(RTCAN);
    resbuf* entity = acutNewRb(RTENAME);
    entity->resval.rlname[0] = far[0];
    entity->resval.rlname[1] = far[1];
    entity->rbnext = acutNewRb(RTSTR);
    entity->rbnext->resval.rstring = acutNewString(L"\nMore: ");
    return entity;
  });
  OutputCapture output;
  queue({"f", "2,1", ""});
  EXPECT_EQ(select(L":K", L"Far Quit"), "DB");
  EXPECT_EQ(output.take(), "\nSelect objects: \nMore: ");
  queue({"2,1", "q"});
  EXPECT_EQ(select(L":K", L"Far Quit"), "status -5002");
  EXPECT_EQ(heard, L"Far;Quit;");
}

TEST_F(SelectionModesTest, LastPreviousImpliedAndFilters) {
  OutputCapture output;
  EXPECT_EQ(select(L"_L"), "H");
  EXPECT_EQ(select(L"_P"), "H");
  queue({"2,1", "13,4", ""});
  EXPECT_EQ(select(nullptr), "BH");
  EXPECT_EQ(select(L"P"), "BH");
  // A failed selection leaves the previous one alone.
  queue({"30,30", ""});
  EXPECT_EQ(select(nullptr), "status -5001");
  EXPECT_EQ(select(L"_P"), "BH");

  EXPECT_EQ(select(L"_I"), "status -5001");
  ads_name set;
  ASSERT_EQ(acedSSGet(L"_W", std::array<double, 3>{0, 0, 0}.data(),
                      std::array<double, 3>{4, 4, 0}.data(), nullptr, set),
            RTNORM);
  ASSERT_EQ(acedSSSetFirst(set, nullptr), RTNORM);
  acedSSFree(set);
  EXPECT_EQ(select(L"_I"), "B");
  resbuf* gripped = nullptr;
  resbuf* pickfirst = nullptr;
  ASSERT_EQ(acedSSGetFirst(&gripped, &pickfirst), RTNORM);
  ASSERT_NE(pickfirst, nullptr);
  EXPECT_EQ(pickfirst->restype, RTPICKS);
  EXPECT_EQ(lettersOf(pickfirst->resval.rlname), "B");
  acutRelRb(pickfirst);
  ASSERT_EQ(acedSSSetFirst(nullptr, nullptr), RTNORM);
  EXPECT_EQ(select(L"_I"), "status -5001");

  resbuf* circles = acutNewRb(RTDXF0);
  circles->resval.rstring = acutNewString(L"CIRCLE");
  EXPECT_EQ(select(L"_X", nullptr, nullptr, circles), "AF");
  ResbufGuard polygon{polygonList()};
  EXPECT_EQ(select(L"_CP", polygon.rb, nullptr, circles), "F");
  acutRelRb(circles);
}

TEST_F(SelectionModesTest, DeleteAndMembership) {
  OutputCapture output;
  ads_name set;
  ASSERT_EQ(acedSSGet(L"X", nullptr, nullptr, nullptr, set), RTNORM);
  ads_name b, d;
  nameOf('B', b);
  nameOf('D', d);
  EXPECT_EQ(acedSSMemb(b, set), RTNORM);
  EXPECT_EQ(acedSSDel(b, set), RTNORM);
  EXPECT_EQ(acedSSMemb(b, set), RTERROR);
  EXPECT_EQ(acedSSDel(b, set), RTERROR);
  EXPECT_EQ(acedSSMemb(d, set), RTNORM);
  EXPECT_EQ(lettersOf(set), "ACDEFGH");
  EXPECT_EQ(acedSSDel(d, set), RTERROR);  // the set is freed
}

TEST_F(SelectionModesTest, EntSelTellsAMissFromEnterAndAKeyword) {
  OutputCapture output;
  const struct {
    const char* name;
    const char* token;
    const ACHAR* keywords;
    int status;
    int errnoValue;  // -1: not checked
  } cases[] = {
      {"a pick", "2,1", nullptr, RTNORM, -1},     {"a miss", "30,30", nullptr, RTERROR, 7},
      {"Enter", "", nullptr, RTERROR, 52},        {"a keyword", "u", L"Undo Exit", RTKWORD, -1},
      {"Escape", "*cancel*", nullptr, RTCAN, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    resbuf zero{};
    zero.restype = RTSHORT;
    acedSetVar(L"ERRNO", &zero);
    queueInput(c.token);
    if (c.keywords) acedInitGet(0, c.keywords);
    ads_name entity;
    ads_point point;
    EXPECT_EQ(acedEntSel(L"\nSelect: ", entity, point), c.status);
    if (c.errnoValue >= 0) {
      resbuf value{};
      acedGetVar(L"ERRNO", &value);
      EXPECT_EQ(value.resval.rint, c.errnoValue);
    }
  }
}
