// Every command body against input no user means: huge and empty text, numbers out of
// range, stray keywords, malformed relative points. Each must end with one of its
// statuses and leave a drawing whose entities still open (the sanitizer build checks
// memory on the way).
#include "CommandTesting.h"
#include "aced/command/CoreCommands.h"

namespace cmd = tabrik::acad::command;
using cmd::testing::CommandTest;

namespace {

struct Body {
  const char* name;
  int (*run)();
};

constexpr Body kBodies[] = {
    {"LINE", cmd::lineCommand},       {"CIRCLE", cmd::circleCommand},
    {"ARC", cmd::arcCommand},         {"PLINE", cmd::plineCommand},
    {"RECTANG", cmd::rectangCommand}, {"POINT", cmd::pointCommand},
    {"TEXT", cmd::textCommand},       {"INSERT", cmd::insertCommand},
    {"ERASE", cmd::eraseCommand},     {"MOVE", cmd::moveCommand},
    {"COPY", cmd::copyCommand},       {"ROTATE", cmd::rotateCommand},
    {"SCALE", cmd::scaleCommand},     {"MIRROR", cmd::mirrorCommand},
    {"EXPLODE", cmd::explodeCommand},
};

using HostileInputTest = CommandTest;

}  // namespace

TEST_F(HostileInputTest, EveryCommandEndsCleanly) {
  const std::string huge(100000, 'x');
  const std::vector<std::vector<std::string>> inputs = {
      {huge, "0,0", huge, "1e308,1e308", "-1e308,0", "@", "@1e308<1e308", ""},
      {"ALL", "", "1e308,1e308", "nan", "inf", "-inf", "1e308", "0", "-1"},
      {"0,0", "@<", "@,", ",,,", "<", "@1,2,3,4", "1<", "10<x", ""},
      {"ALL", "", "0,0", "0,0", "0", "c", "r", "a", "d", "e", "l", "y"},
      {"", "", "", ""},
      {"c", "a", "r", "d", "e", "l", "w", "h", "s", "u", "j", "f", "3p", "2p", "t"},
      {"ALL", "", "0,0", "1e-300,1e-300", "1e-300", "1e-300", "1e-300"},
  };
  for (const Body& body : kBodies) {
    for (size_t i = 0; i < inputs.size(); ++i) {
      SCOPED_TRACE(std::string(body.name) + " input " + std::to_string(i));
      TearDown();
      SetUp();
      append(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)));
      auto* outline = new AcDbPolyline(3);
      outline->addVertexAt(0, AcGePoint2d(0, 5), 0.5);
      outline->addVertexAt(1, AcGePoint2d(5, 5));
      outline->addVertexAt(2, AcGePoint2d(5, 8));
      append(outline);
      const int status = run(body.run, inputs[i]);
      EXPECT_TRUE(status == RTNORM || status == RTCAN || status == RTERROR) << status;
      for (const std::string& entity : drawn()) EXPECT_NE(entity, "?");
    }
  }
  // The commands remember their last displacement, angle and factor for the session:
  // put back the ones other tests start from.
  EXPECT_EQ(run(cmd::moveCommand, {"ALL", "", "", "0,0"}), RTNORM);
  EXPECT_EQ(run(cmd::rotateCommand, {"ALL", "", "0,0", "0"}), RTNORM);
  EXPECT_EQ(run(cmd::scaleCommand, {"ALL", "", "0,0", "1"}), RTNORM);
}
