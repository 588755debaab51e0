// The plan geometry of window, polygon and fence selection: an entity is seen as its
// outline in the XY plane (the segments and plan arcs of what it draws; a text as its
// extents box), and a selection area as a closed polygon.
#pragma once
#include <utility>
#include <vector>

class AcDbEntity;

namespace tabrik::acad {

struct PlanPoint {
  double x = 0;
  double y = 0;
};

struct PlanSegment {
  PlanPoint a, b;
};

// A circular arc in the plan, counter-clockwise from the angle `start` through `sweep`
// (0 < sweep <= 2 pi; a full circle sweeps 2 pi).
struct PlanArc {
  PlanPoint centre;
  double radius = 0;
  double start = 0;
  double sweep = 0;
};

using PlanPolygon = std::vector<PlanPoint>;

// What an entity draws, seen from above: straight pieces, and circles and arcs that
// lie in planes parallel to XY kept exact (tilted ones, which show as ellipses, come
// as short chords).
struct Outline {
  Outline() = default;
  Outline(std::vector<PlanSegment> pieces) : segments(std::move(pieces)) {}  // NOLINT
  bool empty() const { return segments.empty() && arcs.empty(); }
  std::vector<PlanSegment> segments;
  std::vector<PlanArc> arcs;
};

// The outline of what the entity draws; empty when it draws nothing and has no extents.
Outline outlineOf(AcDbEntity* entity);

// The point of the arc at the fraction t (0 its start, 1 its end).
PlanPoint pointOnArc(const PlanArc& arc, double t);
// Where the arc meets the closed segment, as fractions along the arc, in no order.
std::vector<double> arcMeetsSegment(const PlanArc& arc, const PlanSegment& s);

// Even-odd rule; a point on an edge counts as inside.
bool isInsidePolygon(const PlanPoint& point, const PlanPolygon& polygon);
// Whether two closed segments share a point.
bool segmentsMeet(const PlanSegment& s, const PlanSegment& t);

// Window and WPolygon: the whole outline lies in the polygon. Each piece is cut where
// it meets the boundary and every part between cuts is tested, so a piece that leaves
// through a concave polygon's notch is seen even when it only touches the boundary at
// corners on the way.
bool outlineIsInside(const Outline& outline, const PlanPolygon& polygon);
// Crossing and CPolygon: inside, or some part of the outline crosses the boundary.
bool outlineMeetsPolygon(const Outline& outline, const PlanPolygon& polygon);
// Fence: some piece of the outline meets the open fence line.
bool outlineMeetsFence(const Outline& outline, const std::vector<PlanPoint>& fence);

}  // namespace tabrik::acad
