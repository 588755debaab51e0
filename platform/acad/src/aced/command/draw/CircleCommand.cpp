// CIRCLE: by centre and radius or diameter (the radius defaults to the last one,
// CIRCLERAD), through three points (3P) or across a diameter (2P). Tangent-tangent-radius
// needs objects picked on screen and is not taken here.
#include "acedads.h"
#include "acutads.h"
#include "aced/command/CommandDrawing.h"
#include "aced/command/CommandGeometry.h"
#include "aced/command/CommandInput.h"
#include "aced/command/CoreCommands.h"
#include "dbents.h"

namespace tabrik::acad::command {

namespace {

int drawCircle(const AcGePoint3d& center, double radius) {
  if (appendEntity(new AcDbCircle(center, AcGeVector3d::kZAxis, radius)).isNull()) return RTERROR;
  setRealVariable(L"CIRCLERAD", radius);
  return RTNORM;
}

// "[prompt] <default>: " or "[prompt]: " when there is no default.
std::wstring withDefault(const std::wstring& prompt, double value) {
  return value > 0 ? prompt + L" <" + formatDistance(value) + L">: " : prompt + L": ";
}

int byCenter(const AcGePoint3d& center) {
  const double previous = realVariable(L"CIRCLERAD", 0.0);
  const int required = previous > 0 ? 0 : RSG_NONULL;
  Answer radius =
      getDistance(&center, withDefault(L"\nSpecify radius of circle or [Diameter]", previous),
                  L"Diameter", RSG_NOZERO | RSG_NONEG | required);
  if (radius.status == RTNONE) return drawCircle(center, previous);
  if (radius.status == RTNORM) return drawCircle(center, radius.value);
  if (radius.status != RTKWORD) return radius.status;
  Answer diameter = getDistance(&center, withDefault(L"\nSpecify diameter of circle", 2 * previous),
                                L"", RSG_NOZERO | RSG_NONEG | required);
  if (diameter.status == RTNONE) return drawCircle(center, previous);
  if (diameter.status != RTNORM) return diameter.status;
  return drawCircle(center, diameter.value / 2);
}

int byThreePoints() {
  const wchar_t* prompts[] = {L"\nSpecify first point on circle: ",
                              L"\nSpecify second point on circle: ",
                              L"\nSpecify third point on circle: "};
  AcGePoint3d points[3];
  for (int i = 0; i < 3; ++i) {
    Answer answer = getPoint(i > 0 ? &points[i - 1] : nullptr, prompts[i], L"", RSG_NONULL);
    if (answer.status != RTNORM) return answer.status;
    points[i] = answer.point;
  }
  std::optional<CircleFit> fit = circleThrough(points[0], points[1], points[2]);
  if (!fit) {
    acutPrintf(L"\nCircle does not exist.\n");
    return RTERROR;
  }
  return drawCircle(fit->center, fit->radius);
}

int byDiameterEnds() {
  Answer first =
      getPoint(nullptr, L"\nSpecify first end point of circle's diameter: ", L"", RSG_NONULL);
  if (first.status != RTNORM) return first.status;
  while (true) {
    Answer second = getPoint(&first.point, L"\nSpecify second end point of circle's diameter: ",
                             L"", RSG_NONULL);
    if (second.status != RTNORM) return second.status;
    const double diameter = first.point.distanceTo(second.point);
    if (diameter > 0) {
      AcGePoint3d center = first.point + (second.point - first.point) / 2;
      return drawCircle(center, diameter / 2);
    }
    acutPrintf(L"\nValue must be positive and nonzero.\n");
  }
}

}  // namespace

int circleCommand() {
  Answer answer =
      getPoint(nullptr, L"\nSpecify center point for circle or [3P/2P/Ttr (tan tan radius)]: ",
               L"3P 2P", RSG_NONULL);
  if (answer.status == RTNORM) return byCenter(answer.point);
  if (answer.isKeyword(L"3P")) return byThreePoints();
  if (answer.isKeyword(L"2P")) return byDiameterEnds();
  return answer.status;
}

}  // namespace tabrik::acad::command
