// The drawing commands driven through the input queue: the prompts they show, in
// order, and the entities they leave, whose geometry is worked out by hand.
#include "CommandTesting.h"
#include "aced/command/CoreCommands.h"

namespace cmd = tabrik::acad::command;
using cmd::testing::CommandTest;

namespace {

struct DrawCase {
  const char* name;
  int (*body)();
  std::vector<std::string> tokens;
  int status;
  std::vector<std::string> drawn;
  const char* printed;  // the whole output, or nullptr when not checked
  const char* shows;    // a part of the output, or nullptr
};

class DrawCommandTest : public CommandTest {
 protected:
  void check(const std::vector<DrawCase>& cases) {
    for (const DrawCase& c : cases) {
      SCOPED_TRACE(c.name);
      TearDown();
      SetUp();
      setReal(L"CIRCLERAD", 0.0);
      setReal(L"PLINEWID", 0.0);
      EXPECT_EQ(run(c.body, c.tokens), c.status);
      EXPECT_EQ(drawn(), c.drawn);
      if (c.printed != nullptr) {
        EXPECT_EQ(printed, c.printed);
      }
      if (c.shows != nullptr) {
        EXPECT_NE(printed.find(c.shows), std::string::npos) << printed;
      }
    }
  }
};

}  // namespace

TEST_F(DrawCommandTest, Line) {
  check({
      {"segments until Enter",
       cmd::lineCommand,
       {"0,0", "10,0", "10,5", ""},
       RTNORM,
       {"LINE 0,0,0 10,0,0", "LINE 10,0,0 10,5,0"},
       "\nSpecify first point: \nSpecify next point or [Undo]: \nSpecify next point or [Undo]: "
       "\nSpecify next point or [Close/Undo]: ",
       nullptr},
      {"close",
       cmd::lineCommand,
       {"0,0", "10,0", "10,5", "c"},
       RTNORM,
       {"LINE 0,0,0 10,0,0", "LINE 10,0,0 10,5,0", "LINE 10,5,0 0,0,0"},
       nullptr,
       nullptr},
      {"close is no keyword before two segments",
       cmd::lineCommand,
       {"0,0", "10,0", "c", ""},
       RTNORM,
       {"LINE 0,0,0 10,0,0"},
       nullptr,
       "\nInvalid point.\n"},
      {"undo",
       cmd::lineCommand,
       {"0,0", "10,0", "u", "5,5", ""},
       RTNORM,
       {"LINE 0,0,0 5,5,0"},
       "\nSpecify first point: \nSpecify next point or [Undo]: \nSpecify next point or [Undo]: "
       "\nSpecify next point or [Undo]: \nSpecify next point or [Undo]: ",
       nullptr},
      {"undo with nothing drawn",
       cmd::lineCommand,
       {"0,0", "u", ""},
       RTNORM,
       {},
       nullptr,
       "\nAll segments already undone.\n"},
      {"relative and polar points",
       cmd::lineCommand,
       {"1,1", "@10,0", "@5<90", "20<0", ""},
       RTNORM,
       {"LINE 1,1,0 11,1,0", "LINE 11,1,0 11,6,0", "LINE 11,6,0 20,0,0"},
       nullptr,
       nullptr},
      {"invalid points typed again",
       cmd::lineCommand,
       {"abc", "0,0", "xyz", "3,0", ""},
       RTNORM,
       {"LINE 0,0,0 3,0,0"},
       "\nSpecify first point: \nInvalid point.\n\nSpecify next point or [Undo]: "
       "\nInvalid point.\n\nSpecify next point or [Undo]: ",
       nullptr},
      {"escape keeps the segments drawn",
       cmd::lineCommand,
       {"0,0", "10,0", "*cancel*"},
       RTCAN,
       {"LINE 0,0,0 10,0,0"},
       nullptr,
       nullptr},
      {"escape at the first point", cmd::lineCommand, {"*cancel*"}, RTCAN, {}, nullptr, nullptr},
  });
}

TEST_F(DrawCommandTest, Circle) {
  const char* center = "\nSpecify center point for circle or [3P/2P/Ttr (tan tan radius)]: ";
  check({
      {"centre and radius",
       cmd::circleCommand,
       {"5,5", "2.5"},
       RTNORM,
       {"CIRCLE 5,5,0 r2.5"},
       (std::string(center) + "\nSpecify radius of circle or [Diameter]: ").c_str(),
       nullptr},
      {"radius by a point",
       cmd::circleCommand,
       {"0,0", "3,4"},
       RTNORM,
       {"CIRCLE 0,0,0 r5"},
       nullptr,
       nullptr},
      {"diameter",
       cmd::circleCommand,
       {"0,0", "d", "10"},
       RTNORM,
       {"CIRCLE 0,0,0 r5"},
       nullptr,
       "\nSpecify diameter of circle: "},
      {"three points",
       cmd::circleCommand,
       {"3p", "0,0", "2,0", "1,1"},
       RTNORM,
       {"CIRCLE 1,0,0 r1"},
       (std::string(center) + "\nSpecify first point on circle: \nSpecify second point on circle: "
                              "\nSpecify third point on circle: ")
           .c_str(),
       nullptr},
      {"three points on a line",
       cmd::circleCommand,
       {"3p", "0,0", "1,0", "2,0"},
       RTERROR,
       {},
       nullptr,
       "\nCircle does not exist.\n"},
      {"two points",
       cmd::circleCommand,
       {"2P", "0,0", "4,0"},
       RTNORM,
       {"CIRCLE 2,0,0 r2"},
       nullptr,
       "\nSpecify first end point of circle's diameter: "
       "\nSpecify second end point of circle's diameter: "},
      {"bad radius typed again",
       cmd::circleCommand,
       {"0,0", "-2", "abc", "2"},
       RTNORM,
       {"CIRCLE 0,0,0 r2"},
       nullptr,
       "\nValue must be positive.\n\nRequires numeric distance, second point, or option "
       "keyword.\n"},
      {"escape at the radius",
       cmd::circleCommand,
       {"0,0", "*cancel*"},
       RTCAN,
       {},
       nullptr,
       nullptr},
  });
}

TEST_F(DrawCommandTest, CircleRadiusDefaultsToTheLastOne) {
  EXPECT_EQ(run(cmd::circleCommand, {"0,0", "1.5"}), RTNORM);
  EXPECT_EQ(run(cmd::circleCommand, {"10,0", ""}), RTNORM);
  EXPECT_NE(printed.find("\nSpecify radius of circle or [Diameter] <1.5000>: "), std::string::npos);
  EXPECT_EQ(drawn(), (std::vector<std::string>{"CIRCLE 0,0,0 r1.5", "CIRCLE 10,0,0 r1.5"}));
}

TEST_F(DrawCommandTest, Arc) {
  check({
      {"three points",
       cmd::arcCommand,
       {"1,0", "0,1", "-1,0"},
       RTNORM,
       {"ARC 0,0,0 r1 0..180"},
       "\nSpecify start point of arc or [Center]: \nSpecify second point of arc or [Center/End]: "
       "\nSpecify end point of arc: ",
       nullptr},
      {"three points clockwise",
       cmd::arcCommand,
       {"-1,0", "0,1", "1,0"},
       RTNORM,
       {"ARC 0,0,0 r1 0..180"},
       nullptr,
       nullptr},
      {"start, centre, end",
       cmd::arcCommand,
       {"1,0", "c", "0,0", "0,1"},
       RTNORM,
       {"ARC 0,0,0 r1 0..90"},
       nullptr,
       "\nSpecify center point of arc: \nSpecify end point of arc or [Angle/chord Length]: "},
      {"start, centre, clockwise angle",
       cmd::arcCommand,
       {"1,0", "c", "0,0", "a", "-90"},
       RTNORM,
       {"ARC 0,0,0 r1 270..0"},
       nullptr,
       "\nSpecify included angle: "},
      {"start, end, radius",
       cmd::arcCommand,
       {"0,0", "e", "2,0", "r", "2"},
       RTNORM,
       {"ARC 1,1.7321,0 r2 240..300"},
       nullptr,
       "\nSpecify center point of arc or [Angle/Direction/Radius]: \nSpecify radius of arc: "},
      {"start, end, direction",
       cmd::arcCommand,
       {"0,0", "e", "2,0", "d", "45"},
       RTNORM,
       {"ARC 1,-1,0 r1.4142 45..135"},
       nullptr,
       "\nSpecify tangent direction for the start point of arc: "},
      {"start, end, angle",
       cmd::arcCommand,
       {"0,0", "e", "2,0", "a", "90"},
       RTNORM,
       {"ARC 1,1,0 r1.4142 225..315"},
       nullptr,
       nullptr},
      {"centre, start, chord",
       cmd::arcCommand,
       {"c", "0,0", "1,0", "l", "1.41421356"},
       RTNORM,
       {"ARC 0,0,0 r1 0..90"},
       "\nSpecify start point of arc or [Center]: \nSpecify center point of arc: "
       "\nSpecify start point of arc: \nSpecify end point of arc or [Angle/chord Length]: "
       "\nSpecify length of chord: ",
       nullptr},
      {"a radius too short for the chord",
       cmd::arcCommand,
       {"0,0", "e", "10,0", "r", "1"},
       RTERROR,
       {},
       nullptr,
       "\n*Invalid*\n"},
      {"three points on a line",
       cmd::arcCommand,
       {"0,0", "1,0", "2,0"},
       RTERROR,
       {},
       nullptr,
       "\n*Invalid*\n"},
      {"escape midway", cmd::arcCommand, {"0,0", "e", "*cancel*"}, RTCAN, {}, nullptr, nullptr},
  });
}

TEST_F(DrawCommandTest, EnterContinuesFromTheLastLineOrArc) {
  EXPECT_EQ(run(cmd::lineCommand, {"0,0", "10,0", ""}), RTNORM);
  // Tangent to the line going east: a half circle up to (10,10).
  EXPECT_EQ(run(cmd::arcCommand, {"", "10,10"}), RTNORM);
  EXPECT_EQ(run(cmd::lineCommand, {"", "0,10", ""}), RTNORM);
  EXPECT_EQ(drawn(), (std::vector<std::string>{"LINE 0,0,0 10,0,0", "ARC 10,5,0 r5 270..90",
                                               "LINE 10,10,0 0,10,0"}));
}

TEST_F(DrawCommandTest, Pline) {
  const char* next = "\nSpecify next point or [Arc/Halfwidth/Length/Undo/Width]: ";
  const char* nextClose = "\nSpecify next point or [Arc/Close/Halfwidth/Length/Undo/Width]: ";
  const char* arcEnd =
      "\nSpecify endpoint of arc or\n"
      "[Angle/CEnter/CLose/Direction/Halfwidth/Line/Radius/Second pt/Undo/Width]: ";
  const std::string lineAndArc =
      std::string("\nSpecify start point: \nCurrent line-width is 0.0000") + next + nextClose +
      arcEnd + arcEnd + nextClose + nextClose;
  check({
      {"lines and a tangent arc, closed",
       cmd::plineCommand,
       {"0,0", "10,0", "a", "10,10", "l", "0,10", "c"},
       RTNORM,
       {"PLINE closed 0,0 10,0 b1 10,10 0,10"},
       lineAndArc.c_str(),
       nullptr},
      {"widths",
       cmd::plineCommand,
       {"0,0", "w", "1", "2", "10,0", ""},
       RTNORM,
       {"PLINE 0,0 w1/2 10,0 w2/2"},
       nullptr,
       "\nSpecify starting width <0.0000>: \nSpecify ending width <1.0000>: "},
      {"half-widths",
       cmd::plineCommand,
       {"0,0", "h", "0.5", "", "10,0", ""},
       RTNORM,
       {"PLINE 0,0 w1/1 10,0 w1/1"},
       nullptr,
       "\nSpecify starting half-width <0.0000>: \nSpecify ending half-width <0.5000>: "},
      {"undo",
       cmd::plineCommand,
       {"0,0", "5,0", "u", "0,5", ""},
       RTNORM,
       {"PLINE 0,0 0,5"},
       nullptr,
       nullptr},
      {"length along the last segment",
       cmd::plineCommand,
       {"0,0", "3,4", "l", "5", ""},
       RTNORM,
       {"PLINE 0,0 3,4 6,8"},
       nullptr,
       "\nSpecify length of line: "},
      {"arc through a second point",
       cmd::plineCommand,
       {"0,0", "a", "s", "1,1", "2,0", ""},
       RTNORM,
       {"PLINE 0,0 b-1 2,0"},
       nullptr,
       "\nSpecify second point on arc: \nSpecify end point of arc: "},
      {"arc by angle and centre",
       cmd::plineCommand,
       {"0,0", "a", "a", "90", "ce", "0,1", ""},
       RTNORM,
       {"PLINE 0,0 b0.4142 1,1"},
       nullptr,
       "\nSpecify included angle: \nSpecify endpoint of arc or [CEnter/Radius]: "},
      {"arc by centre and end",
       cmd::plineCommand,
       {"1,0", "a", "ce", "0,0", "-1,0", ""},
       RTNORM,
       {"PLINE 1,0 b1 -1,0"},
       nullptr,
       "\nSpecify endpoint of arc or [Angle/Length]: "},
      {"arc closing back",
       cmd::plineCommand,
       {"0,0", "10,0", "10,10", "a", "cl"},
       RTNORM,
       {"PLINE closed 0,0 10,0 10,10 b2.4142"},
       nullptr,
       nullptr},
      {"escape keeps what was drawn",
       cmd::plineCommand,
       {"0,0", "5,0", "5,5", "*cancel*"},
       RTCAN,
       {"PLINE 0,0 5,0 5,5"},
       nullptr,
       nullptr},
      {"a start point alone draws nothing",
       cmd::plineCommand,
       {"0,0", ""},
       RTNORM,
       {},
       nullptr,
       nullptr},
  });
}

TEST_F(DrawCommandTest, PlineWidthBecomesTheDefault) {
  EXPECT_EQ(run(cmd::plineCommand, {"0,0", "w", "0.5", "", "10,0", ""}), RTNORM);
  EXPECT_EQ(run(cmd::plineCommand, {"0,5", "10,5", ""}), RTNORM);
  EXPECT_NE(printed.find("Current line-width is 0.5000"), std::string::npos) << printed;
  EXPECT_EQ(drawn(), (std::vector<std::string>{"PLINE 0,0 w0.5/0.5 10,0 w0.5/0.5",
                                               "PLINE 0,5 w0.5/0.5 10,5 w0.5/0.5"}));
}

TEST_F(DrawCommandTest, RectangAndPoint) {
  check({
      {"two corners",
       cmd::rectangCommand,
       {"0,0", "10,5"},
       RTNORM,
       {"PLINE closed 0,0 10,0 10,5 0,5"},
       "\nSpecify first corner point or [Chamfer/Elevation/Fillet/Thickness/Width]: "
       "\nSpecify other corner point or [Area/Dimensions/Rotation]: ",
       nullptr},
      {"dimensions, the point picking the quadrant",
       cmd::rectangCommand,
       {"0,0", "d", "4", "3", "-1,-1"},
       RTNORM,
       {"PLINE closed 0,0 -4,0 -4,-3 0,-3"},
       nullptr,
       "\nSpecify width for rectangles <"},
      {"rotated",
       cmd::rectangCommand,
       {"0,0", "r", "90", "d", "4", "2", "1,1"},
       RTNORM,
       {"PLINE closed 0,0 0,4 2,4 2,0"},
       nullptr,
       "\nSpecify rotation angle or [Pick points] <0>: "},
      // The rotation stays from the case before: turned back first.
      {"area and width",
       cmd::rectangCommand,
       {"0,0", "r", "0", "a", "20", "w", "4"},
       RTNORM,
       {"PLINE closed 0,0 5,0 5,4 0,4"},
       nullptr,
       "\nSpecify rotation angle or [Pick points] <90>: "},
      {"escape at the other corner",
       cmd::rectangCommand,
       {"0,0", "*cancel*"},
       RTCAN,
       {},
       nullptr,
       nullptr},
      {"a point",
       cmd::pointCommand,
       {"3,4"},
       RTNORM,
       {"POINT 3,4,0"},
       "\nCurrent point modes:  PDMODE=0  PDSIZE=0.0000\nSpecify a point: ",
       nullptr},
  });
}

TEST_F(DrawCommandTest, RectangModesStayForTheSession) {
  EXPECT_EQ(run(cmd::rectangCommand, {"f", "1", "0,0", "r", "0", "10,5"}), RTNORM);
  EXPECT_EQ(run(cmd::rectangCommand, {"w", "0.5", "20,0", "21.5,2"}), RTNORM);
  EXPECT_NE(printed.find("\nCurrent rectangle modes:  Fillet=1.0000\n"), std::string::npos)
      << printed;
  // Fillet 1 does not fit the short side of 1.5: square corners.
  EXPECT_EQ(run(cmd::rectangCommand, {"f", "0", "w", "0", "*cancel*"}), RTCAN);
  EXPECT_EQ(drawn(),
            (std::vector<std::string>{
                "PLINE closed 0,1 b0.4142 1,0 9,0 b0.4142 10,1 10,4 b0.4142 9,5 1,5 "
                "b0.4142 0,4",
                "PLINE closed 20,0 w0.5/0.5 21.5,0 w0.5/0.5 21.5,2 w0.5/0.5 20,2 w0.5/0.5"}));
}

TEST_F(DrawCommandTest, Text) {
  const char* header =
      "\nCurrent text style:  \"Standard\"  Text height:  2.5000  Annotative:  No"
      "\nSpecify start point of text or [Justify/Style]: ";
  check({
      {"start point, height, rotation",
       cmd::textCommand,
       {"1,1", "5", "30", "Hello world"},
       RTNORM,
       {"TEXT \"Hello world\" 1,1,0 h5 r30"},
       (std::string(header) +
        "\nSpecify height <2.5000>: \nSpecify rotation angle of text <0>: \nEnter text: ")
           .c_str(),
       nullptr},
      {"middle-centre",
       cmd::textCommand,
       {"j", "mc", "5,5", "", "", "Mid"},
       RTNORM,
       // The host's text box: 0.75 of the height per character, baseline to cap height;
       // the insertion point lies half its width left and half its height down.
       {"TEXT \"Mid\" 2.1875,3.75,0 h2.5 r0 j1/2 at 5,5,0"},
       nullptr,
       "\nEnter an option [Align/Fit/Center/Middle/Right/TL/TC/TR/ML/MC/MR/BL/BC/BR]: "
       "\nSpecify middle point of text: "},
      {"right",
       cmd::textCommand,
       {"j", "r", "5,5", "2", "90", "R"},
       RTNORM,
       {"TEXT \"R\" 5,3.5,0 h2 r90 j2/0 at 5,5,0"},
       nullptr,
       "\nSpecify right endpoint of text baseline: "},
      {"top-left",
       cmd::textCommand,
       {"j", "tl", "0,10", "2", "", "AB"},
       RTNORM,
       {"TEXT \"AB\" 0,8,0 h2 r0 j0/3 at 0,10,0"},
       nullptr,
       "\nSpecify top-left point of text: "},
      {"fit between two points",
       cmd::textCommand,
       {"j", "f", "0,0", "0,10", "3", "Fit"},
       RTNORM,
       {"TEXT \"Fit\" 0,0,0 h3 r90 j5/0 at 0,10,0"},
       nullptr,
       "\nSpecify first endpoint of text baseline: \nSpecify second endpoint of text baseline: "},
      {"unknown style",
       cmd::textCommand,
       {"s", "NOPE", "", "0,0", "", "", "x"},
       RTNORM,
       {"TEXT \"x\" 0,0,0 h2.5 r0"},
       nullptr,
       "\nCannot find text style \"NOPE\".\n"},
      {"empty text draws nothing",
       cmd::textCommand,
       {"0,0", "", "", ""},
       RTNORM,
       {},
       nullptr,
       nullptr},
      {"escape at the text",
       cmd::textCommand,
       {"0,0", "", "", "*cancel*"},
       RTCAN,
       {},
       nullptr,
       nullptr},
  });
}

TEST_F(DrawCommandTest, CircleTangentToTwoObjects) {
  const struct {
    const char* name;
    std::vector<AcDbEntity*> (*objects)();
    std::vector<std::string> tokens;
    int status;
    const char* circle;  // nullptr: none drawn
  } cases[] = {
      // Of the four centres (+-2, +-2), the one touching both lines nearest the picks.
      {"two lines at a right angle",
       [] {
         return std::vector<AcDbEntity*>{new AcDbLine({0, 0, 0}, {10, 0, 0}),
                                         new AcDbLine({0, 0, 0}, {0, 10, 0})};
       },
       {"t", "5,0", "0,5", "2"},
       RTNORM,
       "CIRCLE 2,2,0 r2"},
      // The gap of 1 between the line and the circle takes a circle of radius 0.5.
      {"a line and a circle",
       [] {
         return std::vector<AcDbEntity*>{new AcDbLine({0, 0, 0}, {10, 0, 0}),
                                         new AcDbCircle({5, 3, 0}, AcGeVector3d::kZAxis, 2)};
       },
       {"ttr", "5,0", "5,1", "0.5"},
       RTNORM,
       "CIRCLE 5,0.5,0 r0.5"},
      {"parallel lines too far apart",
       [] {
         return std::vector<AcDbEntity*>{new AcDbLine({0, 0, 0}, {10, 0, 0}),
                                         new AcDbLine({0, 10, 0}, {10, 10, 0})};
       },
       {"t", "5,0", "5,10", "1"},
       RTERROR,
       nullptr},
      {"a miss is picked again",
       [] {
         return std::vector<AcDbEntity*>{new AcDbLine({0, 0, 0}, {10, 0, 0}),
                                         new AcDbLine({0, 0, 0}, {0, 10, 0})};
       },
       {"t", "50,50", "5,0", "0,5", "2"},
       RTNORM,
       "CIRCLE 2,2,0 r2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    setReal(L"CIRCLERAD", 0.0);
    std::vector<std::string> expected;
    for (AcDbEntity* entity : c.objects()) {
      append(entity);
    }
    expected = drawn();
    if (c.circle != nullptr) expected.push_back(c.circle);
    EXPECT_EQ(run(cmd::circleCommand, c.tokens), c.status);
    EXPECT_EQ(drawn(), expected);
    if (c.circle == nullptr) {
      EXPECT_NE(printed.find("\nCircle does not exist.\n"), std::string::npos) << printed;
    }
  }
}
