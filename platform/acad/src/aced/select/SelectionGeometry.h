// The plan geometry of window, polygon and fence selection: an entity is seen as its
// outline in the XY plane (the segments of what it draws, curves as short chords; a
// text as its extents box), and a selection area as a closed polygon.
#pragma once
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

using PlanPolygon = std::vector<PlanPoint>;

// The outline of what the entity draws; empty when it draws nothing and has no extents.
std::vector<PlanSegment> outlineOf(AcDbEntity* entity);

// Even-odd rule; a point on an edge counts as inside.
bool isInsidePolygon(const PlanPoint& point, const PlanPolygon& polygon);
// Whether two closed segments share a point.
bool segmentsMeet(const PlanSegment& s, const PlanSegment& t);

// Window and WPolygon: the whole outline lies in the polygon (no edge leaves it,
// which a concave polygon's notch can make happen between two inside vertices).
bool outlineIsInside(const std::vector<PlanSegment>& outline, const PlanPolygon& polygon);
// Crossing and CPolygon: inside, or some part of the outline crosses the boundary.
bool outlineMeetsPolygon(const std::vector<PlanSegment>& outline, const PlanPolygon& polygon);
// Fence: some segment of the outline meets the open fence line.
bool outlineMeetsFence(const std::vector<PlanSegment>& outline,
                       const std::vector<PlanPoint>& fence);

}  // namespace tabrik::acad
