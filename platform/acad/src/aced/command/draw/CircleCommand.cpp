// CIRCLE: by centre and radius or diameter (the radius defaults to the last one,
// CIRCLERAD), through three points (3P), across a diameter (2P), or of a radius tangent
// to two lines, circles or arcs picked near where it should touch them (Ttr).
#include <optional>

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

// The line, circle or arc picked, as a tangent object; RTERROR for a miss or an
// entity a circle cannot be drawn tangent to.
int pickTangentObject(const wchar_t* prompt, TangentObject& object, AcGePoint3d& picked) {
  while (true) {
    ads_name name;
    ads_point at;
    int status = acedEntSel(prompt, name, at);
    if (status == RTCAN) return RTCAN;
    AcDbObjectId id;
    AcDbEntity* entity = nullptr;
    if (status != RTNORM || acdbGetObjectId(id, name) != Acad::eOk ||
        acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk)
      continue;
    bool taken = true;
    if (auto* line = AcDbLine::cast(entity)) {
      AcGeVector3d along = line->endPoint() - line->startPoint();
      along.z = 0;
      taken = !along.isZeroLength();
      if (taken) object = TangentObject{true, line->startPoint(), along.normal(), 0.0};
    } else if (auto* circle = AcDbCircle::cast(entity)) {
      object = TangentObject{false, circle->center(), AcGeVector3d(), circle->radius()};
    } else if (auto* arc = AcDbArc::cast(entity)) {
      object = TangentObject{false, arc->center(), AcGeVector3d(), arc->radius()};
    } else {
      taken = false;
    }
    entity->close();
    if (taken) {
      picked = AcGePoint3d(at[X], at[Y], at[Z]);
      return RTNORM;
    }
  }
}

// Of the circles of that radius tangent to both objects, the one whose points of
// contact lie nearest the picks.
int byTangentsAndRadius() {
  TangentObject objects[2];
  AcGePoint3d picks[2];
  const wchar_t* prompts[] = {L"\nSpecify point on object for first tangent of circle: ",
                              L"\nSpecify point on object for second tangent of circle: "};
  for (int i = 0; i < 2; ++i) {
    int status = pickTangentObject(prompts[i], objects[i], picks[i]);
    if (status != RTNORM) return status;
  }
  const double previous = realVariable(L"CIRCLERAD", 0.0);
  Answer radius = getDistance(&picks[1], withDefault(L"\nSpecify radius of circle", previous), L"",
                              RSG_NOZERO | RSG_NONEG | (previous > 0 ? 0 : RSG_NONULL));
  if (radius.status != RTNORM && radius.status != RTNONE) return radius.status;
  const double r = radius.status == RTNORM ? radius.value : previous;
  std::optional<AcGePoint3d> best;
  double bestDistance = 0.0;
  for (const AcGePoint3d& center : centersTangentTo(objects[0], objects[1], r)) {
    const double distance = tangentPoint(objects[0], center).distanceTo(picks[0]) +
                            tangentPoint(objects[1], center).distanceTo(picks[1]);
    if (!best || distance < bestDistance) {
      best = center;
      bestDistance = distance;
    }
  }
  if (!best) {
    acutPrintf(L"\nCircle does not exist.\n");
    return RTERROR;
  }
  best->z = picks[0].z;
  return drawCircle(*best, r);
}

}  // namespace

int circleCommand() {
  Answer answer =
      getPoint(nullptr, L"\nSpecify center point for circle or [3P/2P/Ttr (tan tan radius)]: ",
               L"3P 2P Ttr", RSG_NONULL);
  if (answer.status == RTNORM) return byCenter(answer.point);
  if (answer.isKeyword(L"3P")) return byThreePoints();
  if (answer.isKeyword(L"2P")) return byDiameterEnds();
  if (answer.isKeyword(L"Ttr")) return byTangentsAndRadius();
  return answer.status;
}

}  // namespace tabrik::acad::command
