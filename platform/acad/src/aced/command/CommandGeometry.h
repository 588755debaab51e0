// Plane geometry of the drawing commands, in the XY plane of the world (Z is carried
// along from the start point). An arc is kept as its start and end points and its
// signed included angle (positive counter-clockwise), the form a polyline's bulge
// stores; the centre, radius and angles follow from it.
#pragma once
#include <optional>
#include <vector>

#include "gept3d.h"
#include "gevec3d.h"

namespace tabrik::acad::command {

struct SweptArc {
  AcGePoint3d start, end;
  double sweep = 0.0;  // radians, in (-2pi, 2pi), never 0

  AcGePoint3d center() const;
  double radius() const;
  // A polyline's bulge for the arc: tan(sweep / 4).
  double bulge() const;
  // The angles of an AcDbArc (counter-clockwise from startAngle to endAngle).
  double arcStartAngle() const;
  double arcEndAngle() const;
  // The direction of travel where the arc ends (radians from +X).
  double endDirection() const;
};

// The direction from one point to another in the XY plane, in [0, 2pi).
double directionOf(const AcGePoint3d& from, const AcGePoint3d& to);
// The angle in (-pi, pi] that turns direction `from` onto direction `to`.
double turnBetween(double from, double to);
// The point at a distance along a direction.
AcGePoint3d polarPoint(const AcGePoint3d& from, double direction, double distance);

// The circle through three points; nothing when they are on one line.
struct CircleFit {
  AcGePoint3d center;
  double radius = 0.0;
};
std::optional<CircleFit> circleThrough(const AcGePoint3d& a, const AcGePoint3d& b,
                                       const AcGePoint3d& c);

// The arc from `start` through `middle` to `end`; nothing for collinear points.
std::optional<SweptArc> arcThrough(const AcGePoint3d& start, const AcGePoint3d& middle,
                                   const AcGePoint3d& end);
// The arc leaving `start` in `direction` and ending at `end`; nothing when the end
// lies on that direction's line.
std::optional<SweptArc> arcTangentTo(const AcGePoint3d& start, double direction,
                                     const AcGePoint3d& end);
// The arc about `center` from `start`, sweeping `sweep`.
SweptArc arcAbout(const AcGePoint3d& center, const AcGePoint3d& start, double sweep);
// The arc from `start` to `end` with that sweep; nothing when they coincide or the
// sweep is 0 or a whole turn.
std::optional<SweptArc> arcBetween(const AcGePoint3d& start, const AcGePoint3d& end, double sweep);
// The sweep of an arc of a radius over a chord: the minor arc counter-clockwise for a
// positive radius, the major one for a negative radius. Nothing when the chord is
// longer than the diameter.
std::optional<double> sweepForRadius(double chord, double radius);
// The sweep of an arc about a centre with a chord length: the minor arc
// counter-clockwise for a positive length, the major one for a negative length.
std::optional<double> sweepForChord(double radius, double chord);
// The counter-clockwise angle from direction `from` to direction `to`, in (0, 2pi].
double counterClockwiseSweep(double from, double to);

// A line (through `point` along unit `direction`, endless) or a circle (an arc counts
// as its circle) that a circle is drawn tangent to.
struct TangentObject {
  bool isLine = true;
  AcGePoint3d point;       // a point of the line, or the circle's centre
  AcGeVector3d direction;  // the line's unit direction
  double radius = 0.0;     // the circle's radius
};
// The centres of the circles of radius `radius` tangent to both objects.
std::vector<AcGePoint3d> centersTangentTo(const TangentObject& a, const TangentObject& b,
                                          double radius);
// Where a circle about `center` touches the object.
AcGePoint3d tangentPoint(const TangentObject& object, const AcGePoint3d& center);

}  // namespace tabrik::acad::command
