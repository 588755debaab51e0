// The drag loop of AcEdJig over the input queue: sampler, update and entity in that
// order, cursor motions sampled, picks, keywords, Enter and Escape ending the drag,
// the input controls, and the record of cursor kinds and drawings.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "HostSession.h"
#include "HostTesting.h"
#include "acedads.h"
#include "dbents.h"
#include "dbjig.h"
#include "dbsymtb.h"
#include "lisp/Reader.h"
#include "lisp/Runtime.h"
#include "tabrik/JigTrace.h"

using tabrik::acad::JigDrag;
using tabrik::acad::takeJigDrags;
using tabrik::acad::testing::OutputCapture;
using tabrik::acad::testing::queueInput;

namespace {

// A rubber-band line from a base point to the cursor; it writes down the order in
// which the host calls it ("s" sampler, "u" update, "e" entity).
class LineJig : public AcEdJig {
 public:
  explicit LineJig(const AcGePoint3d& base)
      : m_base(base), m_end(base), m_line(new AcDbLine(base, base)) {}
  ~LineJig() override {
    if (!m_line->isDBRO()) delete m_line;
  }

  DragStatus sampler() override {
    calls += "s";
    setUserInputControls(controls);
    setSpecialCursorType(kRubberBand);
    AcGePoint3d point;
    DragStatus status = acquirePoint(point, m_base);
    if (status != kNormal) return status;
    if (point == m_end) return kNoChange;
    m_end = point;
    return kNormal;
  }
  Adesk::Boolean update() override {
    calls += "u";
    m_line->setEndPoint(m_end);
    return Adesk::kTrue;
  }
  AcDbEntity* entity() const override {
    calls += "e";
    return m_line;
  }

  AcGePoint3d end() const { return m_end; }
  UserInputControls controls = UserInputControls(kGovernedByOrthoMode | kNullResponseAccepted);
  mutable std::string calls;

 private:
  AcGePoint3d m_base;
  AcGePoint3d m_end;
  AcDbLine* m_line;
};

// Angles or distances about a base point, with the controls the test sets.
class MeasureJig : public AcEdJig {
 public:
  enum Kind { kAngle, kDistance } kind = kAngle;
  AcGePoint3d base{1, 1, 0};
  double value = -1;
  UserInputControls controls = kNullResponseAccepted;

  DragStatus sampler() override {
    setUserInputControls(controls);
    return kind == kAngle ? acquireAngle(value, base) : acquireDist(value, base);
  }
};

class JigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_session = tabrik::acad::HostSession::startBare();
    ASSERT_NE(m_session, nullptr);
    takeJigDrags();
  }
  void TearDown() override {
    OutputCapture quiet;
    m_session.reset();
  }
  static void queue(const std::vector<std::string>& tokens) {
    for (const std::string& token : tokens) queueInput(token);
  }

  std::unique_ptr<tabrik::acad::HostSession> m_session;
};

}  // namespace

TEST_F(JigTest, DragEndsOnTheFirstInputThatIsNotACursorMotion) {
  const struct {
    const char* name;
    std::vector<std::string> tokens;
    AcEdJig::DragStatus status;
    AcGePoint3d end;
    const char* calls;
  } cases[] = {
      {"motions then a pick", {"~1,0", "~2,0", "3,4"}, AcEdJig::kNormal, {3, 4, 0}, "suesuesue"},
      {"a pick where the cursor is", {"~3,4", "3,4"}, AcEdJig::kNormal, {3, 4, 0}, "sues"},
      {"keyword by abbreviation", {"~1,1", "u"}, AcEdJig::kKW2, {1, 1, 0}, "sues"},
      {"keyword in full, any case", {"CLOSE"}, AcEdJig::kKW1, {0, 0, 0}, "s"},
      {"Enter", {"~1,1", ""}, AcEdJig::kNull, {1, 1, 0}, "sues"},
      {"Escape", {"~1,1", "*cancel*"}, AcEdJig::kCancel, {1, 1, 0}, "sues"},
      {"empty queue", {}, AcEdJig::kCancel, {0, 0, 0}, "s"},
      {"invalid text is retyped", {"abc", "5,5"}, AcEdJig::kNormal, {5, 5, 0}, "sue"},
      {"a motion naming no point moves nothing",
       {"~x", "~2,2,7"},
       AcEdJig::kCancel,
       {2, 2, 7},
       "sues"},
      {"a distance typed toward the cursor", {"~3,4", "10"}, AcEdJig::kNormal, {6, 8, 0}, "suesue"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OutputCapture output;
    queue(c.tokens);
    LineJig jig(AcGePoint3d(0, 0, 0));
    jig.setKeywordList(L"Close Undo");
    jig.setDispPrompt(L"\nNext point or [Close/Undo]: ");
    EXPECT_EQ(jig.drag(), c.status);
    EXPECT_EQ(jig.end().x, c.end.x);
    EXPECT_EQ(jig.end().y, c.end.y);
    EXPECT_EQ(jig.end().z, c.end.z);
    EXPECT_EQ(jig.calls, c.calls);
    std::string printed = output.take();
    // The prompt is shown once for the whole drag, however many samples it took.
    EXPECT_EQ(printed.find("\nNext point or [Close/Undo]: "), 0u);
    EXPECT_EQ(printed.find("Next point", 5), std::string::npos);
    std::vector<JigDrag> drags = takeJigDrags();
    ASSERT_EQ(drags.size(), 1u);
    EXPECT_EQ(drags[0].status, c.status);
    EXPECT_EQ(drags[0].keywords, L"Close Undo");
  }
}

TEST_F(JigTest, TheRecordShowsTheCursorTheControlsAndTheLastDrawing) {
  OutputCapture output;
  queue({"~1,1", "~4,2", "4,2"});
  LineJig jig(AcGePoint3d(1, -1, 0));
  jig.setDispPrompt(L"\nTo <%d>: ", 7);
  EXPECT_EQ(jig.drag(), AcEdJig::kNormal);
  EXPECT_EQ(output.take(), "\nTo <7>: ");
  std::vector<JigDrag> drags = takeJigDrags();
  ASSERT_EQ(drags.size(), 1u);
  const JigDrag& drag = drags[0];
  EXPECT_EQ(drag.prompt, L"\nTo <7>: ");
  EXPECT_EQ(drag.updates, 2);
  ASSERT_EQ(drag.samples.size(), 3u);
  const char* inputs[] = {"~1,1", "~4,2", "4,2"};
  const int statuses[] = {AcEdJig::kNormal, AcEdJig::kNormal, AcEdJig::kNoChange};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(drag.samples[i].input, inputs[i]);
    EXPECT_EQ(drag.samples[i].status, statuses[i]);
    EXPECT_EQ(drag.samples[i].cursor, 2);
    EXPECT_EQ(drag.samples[i].controls, 3);
    ASSERT_TRUE(drag.samples[i].base.has_value());
    EXPECT_EQ(drag.samples[i].base->y, -1.0);
  }
  // The entity drew itself from the base point to the last cursor point.
  ASSERT_EQ(drag.lastDrawing.size(), 1u);
  ASSERT_EQ(drag.lastDrawing[0].points.size(), 2u);
  EXPECT_EQ(drag.lastDrawing[0].points[0], AcGePoint3d(1, -1, 0));
  EXPECT_EQ(drag.lastDrawing[0].points[1], AcGePoint3d(4, 2, 0));
}

TEST_F(JigTest, EnterIsIgnoredUnlessANullAnswerIsAccepted) {
  OutputCapture output;
  queue({"", "2,2"});
  LineJig jig(AcGePoint3d(0, 0, 0));
  jig.controls = AcEdJig::kGovernedByOrthoMode;
  EXPECT_EQ(jig.drag(), AcEdJig::kNormal);
  EXPECT_EQ(jig.end(), AcGePoint3d(2, 2, 0));
}

TEST_F(JigTest, OtherTextEndsTheDragOnlyWhenTheJigAcceptsIt) {
  OutputCapture output;
  queue({"hello", "hello", "1,1"});
  LineJig jig(AcGePoint3d(0, 0, 0));
  jig.controls =
      AcEdJig::UserInputControls(AcEdJig::kNullResponseAccepted | AcEdJig::kAcceptOtherInputString);
  EXPECT_EQ(jig.drag(), AcEdJig::kOther);
  ACHAR text[16];
  ASSERT_EQ(acedGetInput(text, 16), RTNORM);
  EXPECT_STREQ(text, L"hello");
  jig.controls = AcEdJig::kNullResponseAccepted;
  output.take();
  EXPECT_EQ(jig.drag(), AcEdJig::kNormal);
  EXPECT_NE(output.take().find("\nInvalid point.\n"), std::string::npos);
}

TEST_F(JigTest, AnglesAndDistancesAboutTheBasePoint) {
  const double pi = M_PI;
  const struct {
    const char* name;
    MeasureJig::Kind kind;
    int controls;
    std::vector<std::string> tokens;
    AcEdJig::DragStatus status;
    double value;
  } cases[] = {
      {"angle picked up and to the right",
       MeasureJig::kAngle,
       2,
       {"2,2"},
       AcEdJig::kNormal,
       pi / 4},
      {"angle picked to the left", MeasureJig::kAngle, 2, {"0,1"}, AcEdJig::kNormal, pi},
      {"angle picked straight down stays positive",
       MeasureJig::kAngle,
       2,
       {"1,0"},
       AcEdJig::kNormal,
       3 * pi / 2},
      {"angle typed in degrees", MeasureJig::kAngle, 2, {"~2,2", "90"}, AcEdJig::kNormal, pi / 2},
      {"angle Enter keeps the sampled value",
       MeasureJig::kAngle,
       2,
       {"~1,3", ""},
       AcEdJig::kNull,
       pi / 2},
      {"distance picked", MeasureJig::kDistance, 2, {"4,5"}, AcEdJig::kNormal, 5},
      {"distance picked ignores Z", MeasureJig::kDistance, 2, {"4,5,9"}, AcEdJig::kNormal, 5},
      {"distance in 3D when asked", MeasureJig::kDistance, 0x82, {"1,1,2"}, AcEdJig::kNormal, 2},
      {"distance refuses negative", MeasureJig::kDistance, 0x42, {"-2", "2"}, AcEdJig::kNormal, 2},
      {"distance refuses zero",
       MeasureJig::kDistance,
       0x22,
       {"0", "1,1", "7"},
       AcEdJig::kNormal,
       7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OutputCapture output;
    queue(c.tokens);
    MeasureJig jig;
    jig.kind = c.kind;
    jig.controls = static_cast<AcEdJig::UserInputControls>(c.controls);
    EXPECT_EQ(jig.drag(), c.status);
    EXPECT_NEAR(jig.value, c.value, 1e-12);
  }
}

TEST_F(JigTest, AppendAddsTheEntityToTheDrawing) {
  OutputCapture output;
  queue({"5,0"});
  LineJig jig(AcGePoint3d(0, 0, 0));
  ASSERT_EQ(jig.drag(), AcEdJig::kNormal);
  AcDbObjectId id = jig.append();
  ASSERT_FALSE(id.isNull());
  AcDbLine* line = nullptr;
  ASSERT_EQ(acdbOpenObject(line, id, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(line->endPoint(), AcGePoint3d(5, 0, 0));
  EXPECT_EQ(line->ownerId(), acdbHostApplicationServices()->workingDatabase()->modelSpaceId());
  line->close();
}

TEST_F(JigTest, KeywordStatusesCountTheKeywordsOfTheList) {
  const struct {
    const wchar_t* keywords;
    const char* typed;
    AcEdJig::DragStatus status;
  } cases[] = {
      {L"Corner,C Middle,M", "m", AcEdJig::kKW2},
      {L"Corner,C Middle,M", "CORNER", AcEdJig::kKW1},
      {L"Corner,C Middle,M", "mx", AcEdJig::kCancel},
      {L"Close Undo _C U", "_u", AcEdJig::kKW2},
      {L"A B C D E F G H I", "i", AcEdJig::kKW9},
      {L"", "close", AcEdJig::kCancel},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    OutputCapture output;
    queue({c.typed});
    LineJig jig(AcGePoint3d(0, 0, 0));
    jig.setKeywordList(c.keywords);
    // Text that names no keyword is an invalid point: retyped, and the queue then ends.
    EXPECT_EQ(jig.drag(), c.status);
  }
}

TEST_F(JigTest, ScriptsReadTheRecordThroughHostJigs) {
  OutputCapture output;
  queue({"4,2"});
  LineJig jig(AcGePoint3d(0, 0, 0));
  jig.setDispPrompt(L"\nTo: ");
  ASSERT_EQ(jig.drag(), AcEdJig::kNormal);
  auto eval = [&](const char* text) {
    return m_session->scriptRuntime()->eval(tabrik::lisp::readFirst(text)).toPrin1String();
  };
  EXPECT_EQ(eval("(host:jigs)"),
            "((\"\\nTo: \" \"\" 0 1 ((\"point\" 2 3 \"4,2\" 0)) ((\"polyline\" (0.0 0.0 0.0) (4.0 "
            "2.0 0.0)))))");
  EXPECT_EQ(eval("(host:jigs)"), "nil");
}

TEST_F(JigTest, OrthoHoldsTheCursorToTheAxesThroughTheBaseAndTypedPointsAreTakenAsTyped) {
  // Base (1, -1). Each row: ORTHOMODE, the jig's controls, the tokens, where the line
  // ends. Expected ends are worked out by hand: with ortho the larger of |dx| and |dy|
  // from the base survives.
  const auto governed =
      AcEdJig::UserInputControls(AcEdJig::kGovernedByOrthoMode | AcEdJig::kNullResponseAccepted);
  const auto free = AcEdJig::kNullResponseAccepted;
  const struct {
    const char* name;
    short ortho;
    AcEdJig::UserInputControls controls;
    std::vector<std::string> tokens;
    AcGePoint3d end;
  } cases[] = {
      {"ortho off", 0, governed, {"~2,5", "4,1"}, {4, 1, 0}},
      {"mostly horizontal", 1, governed, {"7,0"}, {7, -1, 0}},
      {"mostly vertical", 1, governed, {"2,5"}, {1, 5, 0}},
      {"a tie keeps the horizontal", 1, governed, {"3,1"}, {3, -1, 0}},
      {"a motion is held too", 1, governed, {"~0,-9", "*cancel*"}, {1, -9, 0}},
      {"z follows the base", 1, governed, {"7,0,5"}, {7, -1, 0}},
      {"not governed by ortho", 1, free, {"7,0"}, {7, 0, 0}},
      {"relative to the base", 0, governed, {"@3,4"}, {4, 3, 0}},
      {"relative with z", 0, governed, {"@1,1,2"}, {2, 0, 2}},
      {"relative input ignores ortho", 1, governed, {"@3,4"}, {4, 3, 0}},
      {"@ alone is the base", 0, governed, {"@"}, {1, -1, 0}},
      {"@ with no point is retyped", 0, governed, {"@x", "2,2"}, {2, 2, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OutputCapture output;
    resbuf mode{};
    mode.restype = RTSHORT;
    mode.resval.rint = c.ortho;
    ASSERT_EQ(acedSetVar(L"ORTHOMODE", &mode), RTNORM);
    queue(c.tokens);
    LineJig jig(AcGePoint3d(1, -1, 0));
    jig.controls = c.controls;
    jig.drag();
    EXPECT_EQ(jig.end(), c.end);
  }
  resbuf off{};
  off.restype = RTSHORT;
  off.resval.rint = 0;
  acedSetVar(L"ORTHOMODE", &off);
}

TEST_F(JigTest, OrthoTurnsAnglesAboutTheBaseIntoQuarterTurns) {
  const struct {
    const char* name;
    short ortho;
    std::string token;
    double angle;
  } cases[] = {
      {"free", 0, "2,3", std::atan2(2.0, 1.0)},
      {"held to +X", 1, "5,2", 0.0},
      {"held to +Y", 1, "2,3", M_PI / 2},
      {"held to -X", 1, "-6,0", M_PI},
      {"held to -Y", 1, "0,-4", 3 * M_PI / 2},
      {"a typed angle is taken as typed", 1, "30", M_PI / 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OutputCapture output;
    resbuf mode{};
    mode.restype = RTSHORT;
    mode.resval.rint = c.ortho;
    ASSERT_EQ(acedSetVar(L"ORTHOMODE", &mode), RTNORM);
    queue({c.token});
    MeasureJig jig;  // base (1, 1)
    jig.controls =
        AcEdJig::UserInputControls(AcEdJig::kGovernedByOrthoMode | AcEdJig::kNullResponseAccepted);
    EXPECT_EQ(jig.drag(), AcEdJig::kNormal);
    EXPECT_NEAR(jig.value, c.angle, 1e-12);
  }
  resbuf off{};
  off.restype = RTSHORT;
  off.resval.rint = 0;
  acedSetVar(L"ORTHOMODE", &off);
}

TEST_F(JigTest, OrthoModeIsZeroOrOne) {
  resbuf value{};
  ASSERT_EQ(acedGetVar(L"ORTHOMODE", &value), RTNORM);
  EXPECT_EQ(value.restype, RTSHORT);
  EXPECT_EQ(value.resval.rint, 0);
  const struct {
    short type;
    double number;
    int status;
  } cases[] = {{RTSHORT, 2, RTREJ}, {RTSHORT, -1, RTREJ}, {RTREAL, 1, RTREJ}, {RTLONG, 1, RTNORM}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    resbuf set{};
    set.restype = c.type;
    if (c.type == RTSHORT) set.resval.rint = static_cast<short>(c.number);
    if (c.type == RTLONG) set.resval.rlong = static_cast<int>(c.number);
    if (c.type == RTREAL) set.resval.rreal = c.number;
    EXPECT_EQ(acedSetVar(L"ORTHOMODE", &set), c.status);
  }
  resbuf off{};
  off.restype = RTSHORT;
  off.resval.rint = 0;
  EXPECT_EQ(acedSetVar(L"ORTHOMODE", &off), RTNORM);
}
