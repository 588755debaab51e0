// The plane intersection functions: where a circular arc path crosses another arc path
// or a straight line, each crossing reported as ("d" . distance) along the first path.
// All geometry is done on temporary host arcs and lines that never enter a drawing; the
// crossings are the host's (intersectWith extending neither operand), so its tolerance
// applies, and the distances are the host's distances along those temporary curves.
//
// A path is measured from its start P in its direction of travel: negative behind P (on
// the start line), 0 to L on the arc, beyond L on the end line. The host arc always
// runs counter-clockwise, so for a clockwise path (turn -1) a distance along the host
// arc counts from the path's far end and is turned round (L - d).
#include <cmath>
#include <memory>
#include <string>

#include <acedads.h>
#include <dbents.h>
#include <gept3dar.h>

#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "host/ListBuilder.h"

namespace tabrik::arx::fn {
namespace {

// A quarter turn as the routing code has always written it; the centre of a path lies
// this far round from its heading.
constexpr double kQuarterTurn = 3.14159265 * 0.5;

AcGePoint3d polar(const AcGePoint3d& p, double angle, double distance) {
  return {p.x + distance * std::cos(angle), p.y + distance * std::sin(angle), p.z};
}

// The XY angle of the vector from a to b (0 for coincident points).
double angleXY(const AcGePoint3d& a, const AcGePoint3d& b) {
  return std::atan2(b.y - a.y, b.x - a.x);
}

bool isNumber(ArgCursor cursor) {
  return cursor != nullptr &&
         (cursor->restype == RTREAL || cursor->restype == RTSHORT || cursor->restype == RTLONG);
}

// The optional prolongation in front of the other arguments: read only when the first
// argument is a number, otherwise 0 with nothing consumed.
double readProlongation(ArgCursor& cursor) {
  double e = 0.0;
  if (isNumber(cursor)) readReal(cursor, e);
  return e;
}

bool readPoint3d(ArgCursor& cursor, AcGePoint3d& point) {
  ads_point value = {0, 0, 0};
  if (!readPoint(cursor, value)) return false;
  point.set(value[0], value[1], value[2]);
  return true;
}

// An arc path as temporary host entities. The lines exist only with a prolongation.
struct ArcPath {
  std::unique_ptr<AcDbArc> arc;
  std::unique_ptr<AcDbLine> startLine;
  std::unique_ptr<AcDbLine> endLine;
  double length = 0.0;
  bool clockwise = false;  // turn -1: the value rules count from the other end
};

// P, heading, turn, radius, swept angle; then the temporary arc and, for e != 0, the
// start line behind P and the end line along the host arc's tangent at its end.
bool readArcPath(ArgCursor& cursor, double e, ArcPath& path) {
  AcGePoint3d p;
  double heading = 0.0, radius = 0.0, sweep = 0.0;
  std::int32_t turn = 0;
  if (!readPoint3d(cursor, p) || !readReal(cursor, heading) || !readInteger(cursor, turn) ||
      !readReal(cursor, radius) || !readReal(cursor, sweep))
    return false;
  path.length = radius * sweep;
  path.clockwise = turn == -1;
  AcGePoint3d centre = polar(p, heading + turn * kQuarterTurn, radius);
  double a0 = angleXY(centre, p);
  path.arc = turn == 1 ? std::make_unique<AcDbArc>(centre, radius, a0, a0 + sweep)
                       : std::make_unique<AcDbArc>(centre, radius, a0 - sweep, a0);
  if (e != 0.0) {
    path.startLine = std::make_unique<AcDbLine>(p, polar(p, heading, -e));
    AcGePoint3d end;
    double endParam = 0.0;
    AcGeVector3d tangent;
    path.arc->getEndPoint(end);
    path.arc->getEndParam(endParam);
    path.arc->getFirstDeriv(endParam, tangent);
    AcGePoint3d tip = tangent.isZeroLength() ? end : end + tangent.normal() * e;
    path.endLine = std::make_unique<AcDbLine>(end, tip);
  }
  return true;
}

// Q1 and Q2; with e != 0, Q1 moved e further from Q2 and then Q2 e further from the
// moved Q1.
bool readStraightLine(ArgCursor& cursor, double e, std::unique_ptr<AcDbLine>& line) {
  AcGePoint3d q1, q2;
  if (!readPoint3d(cursor, q1) || !readPoint3d(cursor, q2)) return false;
  if (e != 0.0) {
    q1 = polar(q1, angleXY(q2, q1), e);
    q2 = polar(q2, angleXY(q1, q2), e);
  }
  line = std::make_unique<AcDbLine>(q1, q2);
  return true;
}

// The crossings of `first` with each of `others` (null ones skipped), in that order, in
// one list. A host failure ends the collection; the points found before it stay.
AcGePoint3dArray crossings(const AcDbCurve* first,
                           std::initializer_list<const AcDbEntity*> others) {
  AcGePoint3dArray points;
  if (first == nullptr) return points;
  for (const AcDbEntity* other : others) {
    if (other == nullptr) continue;
    if (first->intersectWith(other, AcDb::kOnBothOperands, points) != Acad::eOk) break;
  }
  return points;
}

// The result: ("d" . value) per crossing whose distance along `measured` the host can
// give; value(distance) turns that into a distance along the path.
template <typename Value>
void addDistances(ListBuilder& list, bool& any, const AcDbCurve* measured,
                  const AcGePoint3dArray& points, Value value) {
  for (const AcGePoint3d& point : points) {
    double d = 0.0;
    if (measured->getDistAtPoint(point, d) != Acad::eOk) continue;
    if (!any) list.start();
    any = true;
    list.addPair(L"d", value(d));
  }
}

// Groups a, b and c of an arc path against the parts of the other operand (the other
// path's start line, arc and end line, or one straight line).
void collectAlongArcPath(const ArcPath& path, std::initializer_list<const AcDbEntity*> others,
                         ListBuilder& list, bool& any) {
  const double length = path.length;
  const bool cw = path.clockwise;
  if (path.startLine)
    addDistances(list, any, path.startLine.get(), crossings(path.startLine.get(), others),
                 [&](double d) { return cw ? length + d : -d; });
  addDistances(list, any, path.arc.get(), crossings(path.arc.get(), others),
               [&](double d) { return cw ? length - d : d; });
  if (path.endLine)
    addDistances(list, any, path.endLine.get(), crossings(path.endLine.get(), others),
                 [&](double d) { return cw ? -d : length + d; });
}

void finishResult(ListBuilder& list, bool any) {
  if (any) list.finish();
}

}  // namespace

int nv_nv_intersectArcArc() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  double e = readProlongation(cursor);
  ArcPath first, second;
  if (!readArcPath(cursor, e, first) || !readArcPath(cursor, e, second)) return kResultOk;
  ListBuilder list;
  bool any = false;
  collectAlongArcPath(first, {second.startLine.get(), second.arc.get(), second.endLine.get()}, list,
                      any);
  finishResult(list, any);
  return kResultOk;
}

int nv_nv_intersectArcLine() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  double e = readProlongation(cursor);
  ArcPath path;
  std::unique_ptr<AcDbLine> line;
  if (!readArcPath(cursor, e, path) || !readStraightLine(cursor, e, line)) return kResultOk;
  ListBuilder list;
  bool any = false;
  collectAlongArcPath(path, {line.get()}, list, any);
  finishResult(list, any);
  return kResultOk;
}

int nv_nv_intersectLineArc() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  double e = readProlongation(cursor);
  std::unique_ptr<AcDbLine> line;
  ArcPath path;
  if (!readStraightLine(cursor, e, line) || !readArcPath(cursor, e, path)) return kResultOk;
  ListBuilder list;
  bool any = false;
  // Distances from the unmoved Q1: the prolonged line starts e before it.
  addDistances(list, any, line.get(),
               crossings(line.get(), {path.startLine.get(), path.arc.get(), path.endLine.get()}),
               [&](double d) { return d - e; });
  finishResult(list, any);
  return kResultOk;
}

}  // namespace tabrik::arx::fn
