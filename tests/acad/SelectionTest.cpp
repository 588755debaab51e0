// Entity picks and selection sets: the pick tolerance, windows, filters, the
// interactive selection over the input queue, and the LISP functions over them.
#include <gtest/gtest.h>

#include "HostSession.h"
#include "HostTesting.h"
#include "acedads.h"
#include "acutads.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "lisp/Reader.h"

using tabrik::acad::testing::OutputCapture;
using tabrik::acad::testing::queueInput;

namespace {

class SelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_session = tabrik::acad::HostSession::startBare();
    ASSERT_NE(m_session, nullptr);
    // A horizontal line (0,0)-(10,0), a circle of radius 1 at (20,0), a line far off.
    m_line = append(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)));
    m_circle = append(new AcDbCircle(AcGePoint3d(20, 0, 0), AcGeVector3d(0, 0, 1), 1.0));
    m_far = append(new AcDbLine(AcGePoint3d(100, 100, 0), AcGePoint3d(110, 100, 0)));
  }
  void TearDown() override {
    OutputCapture quiet;
    m_session.reset();
  }

  static AcDbObjectId append(AcDbEntity* entity) {
    AcDbDatabase* database = acdbHostApplicationServices()->workingDatabase();
    AcDbBlockTableRecord* space = nullptr;
    EXPECT_EQ(acdbOpenObject(space, database->modelSpaceId(), AcDb::kForWrite), Acad::eOk);
    AcDbObjectId id;
    EXPECT_EQ(space->appendAcDbEntity(id, entity), Acad::eOk);
    entity->close();
    space->close();
    return id;
  }
  static AcDbObjectId idOf(const ads_name name) {
    AcDbObjectId id;
    acdbGetObjectId(id, name);
    return id;
  }
  std::string eval(const std::string& text) {
    return m_session->scriptRuntime()->eval(tabrik::lisp::readFirst(text)).toPrin1String();
  }

  std::unique_ptr<tabrik::acad::HostSession> m_session;
  AcDbObjectId m_line, m_circle, m_far;
};

}  // namespace

TEST_F(SelectionTest, EntSelPicksWithinThePickTolerance) {
  OutputCapture output;
  const struct {
    const char* token;
    bool picks;
    bool isLine;
  } cases[] = {
      {"5,0.05", true, true}, {"5,0.5", false, false}, {"21,0", true, false},
      {"20,0", false, false}, {"10.05,0", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.token);
    queueInput(c.token);
    ads_name entity;
    ads_point point;
    int status = acedEntSel(L"", entity, point);
    if (!c.picks) {
      EXPECT_EQ(status, RTERROR);
      resbuf value{};
      acedGetVar(L"ERRNO", &value);
      EXPECT_EQ(value.resval.rint, 7);
      continue;
    }
    ASSERT_EQ(status, RTNORM);
    EXPECT_EQ(idOf(entity), c.isLine ? m_line : m_circle);
  }
  // A wider pick box reaches the line from further away.
  resbuf wide{};
  wide.restype = RTREAL;
  wide.resval.rreal = 1.0;
  acedSetVar(L"PICKBOX", &wide);
  queueInput("5,0.5");
  ads_name entity;
  ads_point point;
  EXPECT_EQ(acedEntSel(L"", entity, point), RTNORM);
  EXPECT_EQ(idOf(entity), m_line);
}

TEST_F(SelectionTest, WindowsAndCrossingWindows) {
  ads_point a = {-1, -1, 0};
  ads_point b = {19.5, 1, 0};
  ads_name set;
  std::int32_t length = 0;
  ASSERT_EQ(acedSSGet(L"W", a, b, nullptr, set), RTNORM);
  acedSSLength(set, &length);
  EXPECT_EQ(length, 1);  // the line; the circle only crosses
  acedSSFree(set);
  ASSERT_EQ(acedSSGet(L"_C", a, b, nullptr, set), RTNORM);
  acedSSLength(set, &length);
  EXPECT_EQ(length, 2);
  ads_name entity;
  EXPECT_EQ(acedSSName(set, 1, entity), RTNORM);
  EXPECT_EQ(idOf(entity), m_circle);
  EXPECT_EQ(acedSSName(set, 2, entity), RTERROR);
  EXPECT_EQ(acedSSFree(set), RTNORM);
  EXPECT_EQ(acedSSFree(set), RTERROR);
  EXPECT_EQ(acedSSLength(set, &length), RTERROR);
}

TEST_F(SelectionTest, FiltersByTypeAndLayer) {
  ads_name set;
  std::int32_t length = 0;
  resbuf* lines = acutBuildList(RTDXF0, L"LINE", 0);
  ASSERT_EQ(acedSSGet(L"X", nullptr, nullptr, lines, set), RTNORM);
  acedSSLength(set, &length);
  EXPECT_EQ(length, 2);
  acutRelRb(lines);
  resbuf* circlesOnLayer0 = acutBuildList(RTDXF0, L"circle,arc", 8, L"0", 0);
  ASSERT_EQ(acedSSGet(L"X", nullptr, nullptr, circlesOnLayer0, set), RTNORM);
  acedSSLength(set, &length);
  EXPECT_EQ(length, 1);
  acutRelRb(circlesOnLayer0);
  resbuf* none = acutBuildList(8, L"~0", 0);
  EXPECT_EQ(acedSSGet(L"X", nullptr, nullptr, none, set), RTERROR);
  acutRelRb(none);
  resbuf* unsupported = acutBuildList(40, 2.5, 0);
  EXPECT_EQ(acedSSGet(L"X", nullptr, nullptr, unsupported, set), RTERROR);
  acutRelRb(unsupported);
}

TEST_F(SelectionTest, InteractiveSelectionTakesPointsAndCrossingWindows) {
  OutputCapture output;
  for (const char* token : {"5,0", "5,0", "7,7", "C", "99,99", "111,101", ""}) queueInput(token);
  ads_name set;
  ASSERT_EQ(acedSSGet(nullptr, nullptr, nullptr, nullptr, set), RTNORM);
  std::int32_t length = 0;
  acedSSLength(set, &length);
  EXPECT_EQ(length, 2);  // the line (picked twice, held once) and the far line
  queueInput("*cancel*");
  EXPECT_EQ(acedSSGet(nullptr, nullptr, nullptr, nullptr, set), RTCAN);
  queueInput("");
  EXPECT_EQ(acedSSGet(nullptr, nullptr, nullptr, nullptr, set), RTERROR);
}

TEST_F(SelectionTest, AddingToSets) {
  ads_name line;
  ads_name circle;
  acdbGetAdsName(line, m_line);
  acdbGetAdsName(circle, m_circle);
  ads_name set;
  ASSERT_EQ(acedSSAdd(nullptr, nullptr, set), RTNORM);
  std::int32_t length = -1;
  acedSSLength(set, &length);
  EXPECT_EQ(length, 0);
  ads_name same;
  EXPECT_EQ(acedSSAdd(line, set, same), RTNORM);
  EXPECT_EQ(acedSSAdd(line, set, same), RTNORM);
  EXPECT_EQ(acedSSAdd(circle, set, same), RTNORM);
  acedSSLength(same, &length);
  EXPECT_EQ(length, 2);
}

TEST_F(SelectionTest, LispSelectionFunctions) {
  EXPECT_EQ(eval("(sslength (ssget \"X\" '((0 . \"LINE\"))))"), "2");
  EXPECT_EQ(eval("(ssget \"X\" '((0 . \"ARC\")))"), "nil");
  EXPECT_EQ(eval("(sslength (ssget \"C\" '(-1 -1) '(19.5 1)))"), "2");
  EXPECT_EQ(eval("(type (ssname (ssget \"X\") 0))"), "ENAME");
  EXPECT_EQ(eval("(ssname (ssget \"X\") 3)"), "nil");
  EXPECT_EQ(eval("(progn (setq s (ssadd)) (ssadd (entlast) s) (sslength s))"), "1");
  EXPECT_EQ(eval("(equal (ssmemb (entlast) s) (entlast))"), "T");
  EXPECT_EQ(eval("(sslength (ssdel (entlast) s))"), "0");
  {
    OutputCapture output;
    eval("(host:input \"5,0\" \"50,50\")");
    EXPECT_EQ(eval("(cadr (entsel))"), "(5.0 0.0 0.0)");
    EXPECT_EQ(eval("(entsel)"), "nil");
    EXPECT_EQ(eval("(getvar \"ERRNO\")"), "7");
  }
  tabrik::lisp::Outcome outcome = m_session->scriptRuntime()->evaluateString(
      "(sslength nil)", tabrik::lisp::ErrorReport::Silent);
  EXPECT_EQ(outcome.error, "bad argument type: lselsetp nil");
}
