// The commands' plane geometry and typed-point forms, against values worked out by
// hand (right triangles, quarter and half circles).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>

#include "CommandTesting.h"
#include "aced/command/CommandGeometry.h"
#include "aced/command/CommandInput.h"

namespace cmd = tabrik::acad::command;
using cmd::testing::pt;

namespace {

constexpr double kPi = M_PI;

using PromptDefaultsTest = cmd::testing::CommandTest;

std::string describeArc(const std::optional<cmd::SweptArc>& arc) {
  if (!arc) return "none";
  return "c" + pt(arc->center()) + " r" + cmd::testing::num(arc->radius()) + " sweep" +
         cmd::testing::deg(arc->sweep) + " bulge" + cmd::testing::num(arc->bulge()) + " arc" +
         cmd::testing::deg(arc->arcStartAngle()) + ".." + cmd::testing::deg(arc->arcEndAngle()) +
         " out" + cmd::testing::deg(arc->endDirection());
}

}  // namespace

TEST(CommandGeometryTest, CircleThroughThreePoints) {
  const struct {
    const char* name;
    AcGePoint3d a, b, c;
    const char* expected;
  } cases[] = {
      {"unit circle", {0, 0, 0}, {2, 0, 0}, {1, 1, 0}, "1,0,0 r1"},
      // A right angle at the origin: the hypotenuse is a diameter.
      {"right triangle", {0, 0, 0}, {4, 0, 0}, {0, 3, 0}, "2,1.5,0 r2.5"},
      {"on a line", {0, 0, 0}, {1, 1, 0}, {3, 3, 0}, "none"},
      {"two points the same", {1, 1, 0}, {1, 1, 0}, {2, 0, 0}, "none"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<cmd::CircleFit> fit = cmd::circleThrough(c.a, c.b, c.c);
    EXPECT_EQ(fit ? pt(fit->center) + " r" + cmd::testing::num(fit->radius) : "none", c.expected);
  }
}

TEST(CommandGeometryTest, ArcsFromTheirDefinitions) {
  const struct {
    const char* name;
    std::optional<cmd::SweptArc> arc;
    const char* expected;
  } cases[] = {
      {"through the top, counter-clockwise", cmd::arcThrough({1, 0, 0}, {0, 1, 0}, {-1, 0, 0}),
       "c0,0,0 r1 sweep180 bulge1 arc0..180 out270"},
      {"through the bottom, clockwise", cmd::arcThrough({1, 0, 0}, {0, -1, 0}, {-1, 0, 0}),
       "c0,0,0 r1 sweep-180 bulge-1 arc180..0 out90"},
      {"tangent to the east, ending north-east", cmd::arcTangentTo({0, 0, 0}, 0.0, {10, 10, 0}),
       "c0,10,0 r10 sweep90 bulge0.4142 arc270..0 out90"},
      {"tangent to the north, ending east", cmd::arcTangentTo({0, 0, 0}, kPi / 2, {2, 0, 0}),
       "c1,0,0 r1 sweep-180 bulge-1 arc0..180 out270"},
      {"tangent along the chord", cmd::arcTangentTo({0, 0, 0}, 0.0, {5, 0, 0}), "none"},
      {"about a centre, a quarter back", cmd::arcAbout({0, 0, 0}, {0, 2, 0}, -kPi / 2),
       "c0,0,0 r2 sweep-90 bulge-0.4142 arc0..90 out270"},
      {"between points, three quarters", cmd::arcBetween({1, 0, 0}, {0, -1, 0}, 1.5 * kPi),
       "c0,0,0 r1 sweep270 bulge2.4142 arc0..270 out0"},
      {"a whole turn is no arc", cmd::arcBetween({1, 0, 0}, {0, 1, 0}, 2 * kPi), "none"},
      {"coinciding ends", cmd::arcBetween({1, 0, 0}, {1, 0, 0}, kPi / 2), "none"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(describeArc(c.arc), c.expected);
  }
}

TEST(CommandGeometryTest, SweepsForARadiusOrAChord) {
  const struct {
    const char* name;
    std::optional<double> sweep;
    const char* expected;  // degrees, or "none"
  } cases[] = {
      {"radius: chord a diameter", cmd::sweepForRadius(2, 1), "180"},
      {"radius: chord the radius", cmd::sweepForRadius(2, 2), "60"},
      {"negative radius: the major arc", cmd::sweepForRadius(2, -2), "300"},
      {"radius too short", cmd::sweepForRadius(5, 2), "none"},
      {"zero radius", cmd::sweepForRadius(1, 0), "none"},
      {"chord of a quarter", cmd::sweepForChord(1, std::sqrt(2.0)), "90"},
      {"negative chord: the major arc", cmd::sweepForChord(1, -std::sqrt(2.0)), "270"},
      {"chord longer than the diameter", cmd::sweepForChord(1, 3), "none"},
      {"counter-clockwise from north to east",
       std::optional<double>(cmd::counterClockwiseSweep(kPi / 2, 0)), "270"},
      {"counter-clockwise the same direction",
       std::optional<double>(cmd::counterClockwiseSweep(1, 1)), "360"},
      {"turn from east to south", std::optional<double>(cmd::turnBetween(0, 1.5 * kPi)), "-90"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.sweep ? cmd::testing::deg(*c.sweep) : "none", c.expected);
  }
}

TEST(CommandGeometryTest, TypedPointForms) {
  const AcGePoint3d last(1, 1, 0);
  const struct {
    const char* typed;
    const char* expected;
  } cases[] = {
      {"@3,4", "4,5,0"},    {"@", "1,1,0"},       {"@ ", "1,1,0"},       {"@1,2,3", "2,3,3"},
      {"@5<90", "1,6,0"},   {"@2<-90", "1,-1,0"}, {"10<180", "-10,0,0"}, {"abc", "none"},
      {"@x", "none"},       {"5", "none"},        {"@1<", "none"},       {"", "none"},
      {"@1,2,3,4", "none"}, {"1,2", "none"},  // a plain point is the request's own
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    std::wstring typed(c.typed, c.typed + std::strlen(c.typed));
    std::optional<AcGePoint3d> point = cmd::parseTypedPoint(typed, last);
    EXPECT_EQ(point ? pt(*point) : "none", c.expected);
  }
}

TEST_F(PromptDefaultsTest, ShowTheDrawingsPrecision) {
  const struct {
    int luprec, auprec;
    double distance, angle;
    const char* distanceShown;
    const char* angleShown;
  } cases[] = {
      {4, 0, 2.5, kPi / 2, "2.5000", "90"},
      {2, 2, 3.14159, kPi / 3, "3.14", "60.00"},
      {0, 1, -0.2, -kPi / 4, "0", "-45.0"},
      {4, 0, -0.00001, 0.0, "0.0000", "0"},
      // 301 digits and 8 places: shown whole, beyond any small buffer.
      {8, 8, 1e300, 1e300, nullptr, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.distance);
    setInt(L"LUPREC", c.luprec);
    setInt(L"AUPREC", c.auprec);
    const std::string distance = cmd::testing::narrow(cmd::formatDistance(c.distance).c_str());
    const std::string angle = cmd::testing::narrow(cmd::formatAngle(c.angle).c_str());
    if (c.distanceShown == nullptr) {
      EXPECT_EQ(distance.rfind("1000000000000000", 0), 0u) << distance;
      EXPECT_EQ(distance.size(), 301u + 1 + 8);
      continue;
    }
    EXPECT_EQ(distance, c.distanceShown);
    EXPECT_EQ(angle, c.angleShown);
  }
}
