// The geometry behind the host's curves: every built-in curve is a chain of line
// segments and circular arcs (a circle is one full arc). Curve queries, closest
// points and intersections work on that chain.
#pragma once
#include <vector>

#include "dbmain.h"

namespace tabrik::acad {

struct Segment {
  bool isArc = false;
  AcGePoint3d start, end;  // lines
  AcGePoint3d center;      // arcs: centre, radius, plane normal and axes, angles
  double radius = 0.0;
  AcGeVector3d normal{0, 0, 1}, xAxis{1, 0, 0}, yAxis{0, 1, 0};
  double startAngle = 0.0, sweep = 0.0;  // sweep > 0: counter-clockwise about normal

  static Segment line(const AcGePoint3d& a, const AcGePoint3d& b);
  static Segment arc(const AcGePoint3d& center, double radius, const AcGeVector3d& normal,
                     double startAngle, double sweep);
  // The arc from a to b bulging by `bulge` (tan of a quarter of the included angle) in
  // the plane of `normal`; a line for bulge 0.
  static Segment bulged(const AcGePoint3d& a, const AcGePoint3d& b, double bulge,
                        const AcGeVector3d& normal);

  double length() const;
  AcGePoint3d pointAt(double t) const;   // t in [0, 1]
  AcGeVector3d derivAt(double t) const;  // d point / d t
  // The t of the point of the segment closest to p (extended: the whole line or circle).
  double closestT(const AcGePoint3d& p, bool extend) const;
  AcGePoint3d startPoint() const { return pointAt(0); }
  AcGePoint3d endPoint() const { return pointAt(1); }
  void transformBy(const AcGeMatrix3d& m);
};

// How a curve's parameters map onto its chain.
enum class ParamKind { kLength, kAngle, kIndex };

struct CurveModel {
  std::vector<Segment> segments;
  ParamKind kind = ParamKind::kIndex;
  double startParam = 0.0;
  bool closed = false;
};

// The chain of a built-in curve or of an entity with edges (3D face); false for
// entities that have none (text, block references, custom classes).
bool curveModel(const AcDbEntity* entity, CurveModel& model);

// Intersections of two chains, in the plane `plane` (points of the first chain).
// extendFirst/extendSecond extend lines to infinite lines and arcs to full circles (for
// single-segment chains).
void intersectChains(const std::vector<Segment>& first, bool extendFirst,
                     const std::vector<Segment>& second, bool extendSecond,
                     const AcGePlane* projection, AcGePoint3dArray& points);

}  // namespace tabrik::acad
