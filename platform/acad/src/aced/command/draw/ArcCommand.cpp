// ARC: by three points, or from a start point with a centre or an end point and what
// completes the arc (end, included angle, chord length, start direction, radius), or
// from the centre first. Enter at the first prompt continues tangent to the last line
// or arc drawn. Arcs turn counter-clockwise unless the input turns them clockwise
// (a negative angle, three points in clockwise order, a direction).
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

int drawArc(const std::optional<SweptArc>& arc) {
  if (!arc) {
    acutPrintf(L"\n*Invalid*\n");
    return RTERROR;
  }
  auto* entity =
      new AcDbArc(arc->center(), arc->radius(), arc->arcStartAngle(), arc->arcEndAngle());
  if (appendEntity(entity).isNull()) return RTERROR;
  setContinuation(arc->end, arc->endDirection());
  setLastPoint(arc->end);
  return RTNORM;
}

std::optional<SweptArc> aboutCenter(const AcGePoint3d& center, const AcGePoint3d& start,
                                    double sweep) {
  if (center.distanceTo(start) <= 0) return std::nullopt;
  return arcAbout(center, start, sweep);
}

// Centre and start known: the end point, the included angle or the chord length.
int fromCenterAndStart(const AcGePoint3d& center, const AcGePoint3d& start) {
  Answer answer = getPoint(&center, L"\nSpecify end point of arc or [Angle/chord Length]: ",
                           L"Angle Length", RSG_NONULL);
  if (answer.status == RTNORM) {
    double sweep =
        counterClockwiseSweep(directionOf(center, start), directionOf(center, answer.point));
    return drawArc(aboutCenter(center, start, sweep));
  }
  if (answer.isKeyword(L"Angle")) {
    Answer angle = getIncludedAngle(&start, L"\nSpecify included angle: ");
    if (angle.status != RTNORM) return angle.status;
    return drawArc(aboutCenter(center, start, angle.value));
  }
  if (answer.isKeyword(L"Length")) {
    Answer chord =
        getDistance(&start, L"\nSpecify length of chord: ", L"", RSG_NONULL | RSG_NOZERO);
    if (chord.status != RTNORM) return chord.status;
    std::optional<double> sweep = sweepForChord(center.distanceTo(start), chord.value);
    if (!sweep) return drawArc(std::nullopt);
    return drawArc(aboutCenter(center, start, *sweep));
  }
  return answer.status;
}

int centerFrom(const AcGePoint3d* base, AcGePoint3d& center) {
  Answer answer = getPoint(base, L"\nSpecify center point of arc: ", L"", RSG_NONULL);
  if (answer.status == RTNORM) center = answer.point;
  return answer.status;
}

// Start and end known: the centre, the included angle, the start direction or the radius.
int fromStartAndEnd(const AcGePoint3d& start, const AcGePoint3d& end) {
  Answer answer = getPoint(&start, L"\nSpecify center point of arc or [Angle/Direction/Radius]: ",
                           L"Angle Direction Radius", RSG_NONULL);
  if (answer.status == RTNORM) {
    const AcGePoint3d& center = answer.point;
    double sweep = counterClockwiseSweep(directionOf(center, start), directionOf(center, end));
    return drawArc(aboutCenter(center, start, sweep));
  }
  if (answer.isKeyword(L"Angle")) {
    Answer angle = getIncludedAngle(&start, L"\nSpecify included angle: ");
    if (angle.status != RTNORM) return angle.status;
    return drawArc(arcBetween(start, end, angle.value));
  }
  if (answer.isKeyword(L"Direction")) {
    Answer direction = getAngle(&start, L"\nSpecify tangent direction for the start point of arc: ",
                                L"", RSG_NONULL);
    if (direction.status != RTNORM) return direction.status;
    return drawArc(arcTangentTo(start, direction.value, end));
  }
  if (answer.isKeyword(L"Radius")) {
    Answer radius = getDistance(&start, L"\nSpecify radius of arc: ", L"", RSG_NONULL | RSG_NOZERO);
    if (radius.status != RTNORM) return radius.status;
    std::optional<double> sweep = sweepForRadius(start.distanceTo(end), radius.value);
    if (!sweep) return drawArc(std::nullopt);
    return drawArc(arcBetween(start, end, *sweep));
  }
  return answer.status;
}

int fromStart(const AcGePoint3d& start) {
  Answer second = getPoint(&start, L"\nSpecify second point of arc or [Center/End]: ",
                           L"Center End", RSG_NONULL);
  if (second.status == RTNORM) {
    Answer end = getPoint(&second.point, L"\nSpecify end point of arc: ", L"", RSG_NONULL);
    if (end.status != RTNORM) return end.status;
    return drawArc(arcThrough(start, second.point, end.point));
  }
  if (second.isKeyword(L"Center")) {
    AcGePoint3d center;
    int status = centerFrom(&start, center);
    return status == RTNORM ? fromCenterAndStart(center, start) : status;
  }
  if (second.isKeyword(L"End")) {
    Answer end = getPoint(&start, L"\nSpecify end point of arc: ", L"", RSG_NONULL);
    if (end.status != RTNORM) return end.status;
    return fromStartAndEnd(start, end.point);
  }
  return second.status;
}

// Enter at the first prompt: an arc tangent to the last line or arc, from its end.
int continued() {
  std::optional<Continuation> from = lastContinuation();
  if (!from) {
    acutPrintf(L"\nNo line or arc to continue.\n");
    return RTERROR;
  }
  Answer end = getPoint(&from->point, L"\nSpecify end point of arc: ", L"", RSG_NONULL);
  if (end.status != RTNORM) return end.status;
  return drawArc(arcTangentTo(from->point, from->direction, end.point));
}

}  // namespace

int arcCommand() {
  Answer first = getPoint(nullptr, L"\nSpecify start point of arc or [Center]: ", L"Center");
  if (first.status == RTNORM) return fromStart(first.point);
  if (first.status == RTNONE) return continued();
  if (!first.isKeyword(L"Center")) return first.status;
  AcGePoint3d center;
  int status = centerFrom(nullptr, center);
  if (status != RTNORM) return status;
  Answer start = getPoint(&center, L"\nSpecify start point of arc: ", L"", RSG_NONULL);
  if (start.status != RTNORM) return start.status;
  return fromCenterAndStart(center, start.point);
}

}  // namespace tabrik::acad::command
