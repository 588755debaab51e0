// PLINE: a lightweight polyline of line and arc segments, each arc tangent to the
// segment before unless the input says otherwise (a direction, a second point, a
// centre). The polyline is made when the command ends; Escape keeps what was drawn,
// as Enter does. Widths: the ending width of a segment becomes the width of the
// segments after it (PLINEWID).
#include <cmath>
#include <optional>
#include <vector>

#include "acedads.h"
#include "acutads.h"
#include "aced/command/CommandDrawing.h"
#include "aced/command/CommandGeometry.h"
#include "aced/command/CommandInput.h"
#include "aced/command/CoreCommands.h"
#include "dbpl.h"

namespace tabrik::acad::command {

namespace {

// The polyline being drawn. Vertex i carries the bulge and widths of the segment from
// it to vertex i + 1; `arrival` is the direction of travel reaching the vertex.
class PolylineDraft {
 public:
  explicit PolylineDraft(const AcGePoint3d& start, double width)
      : m_startWidth(width), m_endWidth(width) {
    m_vertices.push_back(Vertex{start, 0.0, 0.0, 0.0, 0.0});
  }
  const AcGePoint3d& last() const { return m_vertices.back().point; }
  const AcGePoint3d& first() const { return m_vertices.front().point; }
  double direction() const { return m_vertices.back().arrival; }
  size_t segments() const { return m_vertices.size() - 1; }
  double startWidth() const { return m_startWidth; }
  double endWidth() const { return m_endWidth; }
  void setWidths(double start, double end) {
    m_startWidth = start;
    m_endWidth = end;
  }

  void addLine(const AcGePoint3d& to) {
    addSegment(to, 0.0, to.isEqualTo(last()) ? direction() : directionOf(last(), to));
  }
  void addArc(const SweptArc& arc) { addSegment(arc.end, arc.bulge(), arc.endDirection()); }
  bool undo() {
    if (segments() == 0) return false;
    m_vertices.pop_back();
    Vertex& back = m_vertices.back();
    back.bulge = 0.0;
    setLastPoint(back.point);
    return true;
  }
  // The closing segment runs from the last vertex back to the first.
  void close(double bulge) {
    Vertex& back = m_vertices.back();
    back.bulge = bulge;
    back.startWidth = m_startWidth;
    back.endWidth = m_endWidth;
    m_closed = true;
  }
  // Adds the polyline to the drawing when it has a segment.
  bool commit() const {
    if (m_vertices.size() < 2) return true;
    auto* polyline = new AcDbPolyline(static_cast<unsigned>(m_vertices.size()));
    for (unsigned i = 0; i < m_vertices.size(); ++i) {
      const Vertex& v = m_vertices[i];
      polyline->addVertexAt(i, v.point.convert2d(), v.bulge, v.startWidth, v.endWidth);
    }
    polyline->setElevation(first().z);
    polyline->setClosed(m_closed);
    return appendEntity(polyline).isValid();
  }

 private:
  struct Vertex {
    AcGePoint3d point;
    double bulge, startWidth, endWidth, arrival;
  };
  void addSegment(const AcGePoint3d& to, double bulge, double arrival) {
    Vertex& from = m_vertices.back();
    from.bulge = bulge;
    from.startWidth = m_startWidth;
    from.endWidth = m_endWidth;
    m_startWidth = m_endWidth;
    AcGePoint3d end = to;
    end.z = first().z;
    // The last vertex carries the current widths, so a polyline of one width
    // throughout has a constant width.
    m_vertices.push_back(Vertex{end, 0.0, m_startWidth, m_endWidth, arrival});
  }

  std::vector<Vertex> m_vertices;
  double m_startWidth, m_endWidth;
  bool m_closed = false;
};

// Width or Halfwidth: a starting and an ending value, each defaulting as the host
// offers (the current width, then the starting width just given).
int askWidths(PolylineDraft& draft, bool half) {
  const double factor = half ? 2.0 : 1.0;
  const std::wstring kind = half ? L"half-width" : L"width";
  const AcGePoint3d base = draft.last();
  Answer start = getDistance(
      &base,
      L"\nSpecify starting " + kind + L" <" + formatDistance(draft.endWidth() / factor) + L">: ",
      L"", RSG_NONEG);
  if (start.status != RTNORM && start.status != RTNONE) return start.status;
  const double startWidth = start.status == RTNORM ? start.value * factor : draft.endWidth();
  Answer end = getDistance(
      &base, L"\nSpecify ending " + kind + L" <" + formatDistance(startWidth / factor) + L">: ",
      L"", RSG_NONEG);
  if (end.status != RTNORM && end.status != RTNONE) return end.status;
  const double endWidth = end.status == RTNORM ? end.value * factor : startWidth;
  draft.setWidths(startWidth, endWidth);
  setRealVariable(L"PLINEWID", endWidth);
  return RTNORM;
}

// The end of a chord from the last point: its direction asked, the previous
// direction by default.
int chordEnd(const PolylineDraft& draft, double sweep, double radius, AcGePoint3d& end) {
  const AcGePoint3d base = draft.last();
  Answer direction = getAngle(
      &base, L"\nSpecify direction of chord for arc <" + formatAngle(draft.direction()) + L">: ");
  if (direction.status != RTNORM && direction.status != RTNONE) return direction.status;
  const double angle = direction.status == RTNORM ? direction.value : draft.direction();
  end = polarPoint(base, angle, 2 * radius * std::fabs(std::sin(sweep / 2)));
  return RTNORM;
}

// Angle: the included angle, then the end point, the centre or the radius.
int arcByAngle(const PolylineDraft& draft, std::optional<SweptArc>& arc) {
  const AcGePoint3d base = draft.last();
  Answer angle = getIncludedAngle(&base, L"\nSpecify included angle: ");
  if (angle.status != RTNORM) return angle.status;
  Answer next = getPoint(&base, L"\nSpecify endpoint of arc or [CEnter/Radius]: ", L"CEnter Radius",
                         RSG_NONULL);
  if (next.status == RTNORM) {
    arc = arcBetween(base, next.point, angle.value);
  } else if (next.isKeyword(L"CEnter")) {
    Answer center = getPoint(&base, L"\nSpecify center point of arc: ", L"", RSG_NONULL);
    if (center.status != RTNORM) return center.status;
    if (!center.point.isEqualTo(base)) arc = arcAbout(center.point, base, angle.value);
  } else if (next.isKeyword(L"Radius")) {
    Answer radius = getDistance(&base, L"\nSpecify radius of arc: ", L"", RSG_NONULL | RSG_NOZERO);
    if (radius.status != RTNORM) return radius.status;
    AcGePoint3d end;
    int status = chordEnd(draft, angle.value, std::fabs(radius.value), end);
    if (status != RTNORM) return status;
    arc = arcBetween(base, end, angle.value);
  } else {
    return next.status;
  }
  return RTNORM;
}

// CEnter: the centre, then the end point, the included angle or the chord length.
int arcByCenter(const PolylineDraft& draft, std::optional<SweptArc>& arc) {
  const AcGePoint3d base = draft.last();
  Answer center = getPoint(&base, L"\nSpecify center point of arc: ", L"", RSG_NONULL);
  if (center.status != RTNORM) return center.status;
  const AcGePoint3d c = center.point;
  Answer next =
      getPoint(&c, L"\nSpecify endpoint of arc or [Angle/Length]: ", L"Angle Length", RSG_NONULL);
  if (c.isEqualTo(base)) return next.status == RTCAN ? RTCAN : RTNORM;
  if (next.status == RTNORM) {
    arc =
        arcAbout(c, base, counterClockwiseSweep(directionOf(c, base), directionOf(c, next.point)));
  } else if (next.isKeyword(L"Angle")) {
    Answer angle = getIncludedAngle(&base, L"\nSpecify included angle: ");
    if (angle.status != RTNORM) return angle.status;
    arc = arcAbout(c, base, angle.value);
  } else if (next.isKeyword(L"Length")) {
    Answer chord = getDistance(&base, L"\nSpecify length of chord: ", L"", RSG_NONULL | RSG_NOZERO);
    if (chord.status != RTNORM) return chord.status;
    if (std::optional<double> sweep = sweepForChord(c.distanceTo(base), chord.value))
      arc = arcAbout(c, base, *sweep);
  } else {
    return next.status;
  }
  return RTNORM;
}

// Radius: the radius, then the end point (the minor arc, turning the way the end
// lies from the current direction) or the included angle.
int arcByRadius(const PolylineDraft& draft, std::optional<SweptArc>& arc) {
  const AcGePoint3d base = draft.last();
  Answer radius = getDistance(&base, L"\nSpecify radius of arc: ", L"", RSG_NONULL | RSG_NOZERO);
  if (radius.status != RTNORM) return radius.status;
  Answer next = getPoint(&base, L"\nSpecify endpoint of arc or [Angle]: ", L"Angle", RSG_NONULL);
  if (next.status == RTNORM) {
    std::optional<double> sweep = sweepForRadius(base.distanceTo(next.point), radius.value);
    if (!sweep) return RTNORM;
    const bool left = turnBetween(draft.direction(), directionOf(base, next.point)) >= 0;
    arc = arcBetween(base, next.point, left ? *sweep : -*sweep);
  } else if (next.isKeyword(L"Angle")) {
    Answer angle = getIncludedAngle(&base, L"\nSpecify included angle: ");
    if (angle.status != RTNORM) return angle.status;
    AcGePoint3d end;
    int status = chordEnd(draft, angle.value, std::fabs(radius.value), end);
    if (status != RTNORM) return status;
    arc = arcBetween(base, end, angle.value);
  } else {
    return next.status;
  }
  return RTNORM;
}

int arcByDirection(const PolylineDraft& draft, std::optional<SweptArc>& arc) {
  const AcGePoint3d base = draft.last();
  Answer direction = getAngle(
      &base, L"\nSpecify the tangent direction from the start point of arc: ", L"", RSG_NONULL);
  if (direction.status != RTNORM) return direction.status;
  Answer end = getPoint(&base, L"\nSpecify endpoint of arc: ", L"", RSG_NONULL);
  if (end.status != RTNORM) return end.status;
  arc = arcTangentTo(base, direction.value, end.point);
  return RTNORM;
}

int arcBySecondPoint(const PolylineDraft& draft, std::optional<SweptArc>& arc) {
  const AcGePoint3d base = draft.last();
  Answer second = getPoint(&base, L"\nSpecify second point on arc: ", L"", RSG_NONULL);
  if (second.status != RTNORM) return second.status;
  Answer end = getPoint(&second.point, L"\nSpecify end point of arc: ", L"", RSG_NONULL);
  if (end.status != RTNORM) return end.status;
  arc = arcThrough(base, second.point, end.point);
  return RTNORM;
}

enum class Step { kContinue, kDone, kCancelled };

Step finish(const PolylineDraft& draft, bool cancelled) {
  draft.commit();
  return cancelled ? Step::kCancelled : Step::kDone;
}

Step undoSegment(PolylineDraft& draft) {
  if (!draft.undo()) acutPrintf(L"\nAll segments already undone.\n");
  return Step::kContinue;
}

Step lineStep(PolylineDraft& draft, bool& arcMode) {
  const bool canClose = draft.segments() >= 1;
  const AcGePoint3d base = draft.last();
  Answer answer = getPoint(
      &base,
      canClose ? L"\nSpecify next point or [Arc/Close/Halfwidth/Length/Undo/Width]: "
               : L"\nSpecify next point or [Arc/Halfwidth/Length/Undo/Width]: ",
      canClose ? L"Arc Close Halfwidth Length Undo Width" : L"Arc Halfwidth Length Undo Width");
  if (answer.status == RTCAN || answer.status == RTNONE)
    return finish(draft, answer.status == RTCAN);
  if (answer.status == RTNORM) {
    draft.addLine(answer.point);
    return Step::kContinue;
  }
  if (answer.isKeyword(L"Arc")) {
    arcMode = true;
  } else if (answer.isKeyword(L"Close")) {
    draft.close(0.0);
    return finish(draft, false);
  } else if (answer.isKeyword(L"Halfwidth") || answer.isKeyword(L"Width")) {
    if (askWidths(draft, answer.isKeyword(L"Halfwidth")) == RTCAN) return finish(draft, true);
  } else if (answer.isKeyword(L"Length")) {
    Answer length = getDistance(&base, L"\nSpecify length of line: ", L"", RSG_NONULL);
    if (length.status != RTNORM) return finish(draft, true);
    draft.addLine(polarPoint(base, draft.direction(), length.value));
    setLastPoint(draft.last());
  } else if (answer.isKeyword(L"Undo")) {
    return undoSegment(draft);
  }
  return Step::kContinue;
}

Step arcStep(PolylineDraft& draft, bool& arcMode) {
  const bool canClose = draft.segments() >= 1;
  const AcGePoint3d base = draft.last();
  Answer answer = getPoint(
      &base,
      canClose ? L"\nSpecify endpoint of arc or\n"
                 L"[Angle/CEnter/CLose/Direction/Halfwidth/Line/Radius/Second pt/Undo/Width]: "
               : L"\nSpecify endpoint of arc or\n"
                 L"[Angle/CEnter/Direction/Halfwidth/Line/Radius/Second pt/Undo/Width]: ",
      canClose ? L"Angle CEnter CLose Direction Halfwidth Line Radius Second Undo Width"
               : L"Angle CEnter Direction Halfwidth Line Radius Second Undo Width");
  if (answer.status == RTCAN || answer.status == RTNONE)
    return finish(draft, answer.status == RTCAN);
  std::optional<SweptArc> arc;
  int status = RTNORM;
  if (answer.status == RTNORM) {
    arc = arcTangentTo(base, draft.direction(), answer.point);
  } else if (answer.isKeyword(L"Line")) {
    arcMode = false;
    return Step::kContinue;
  } else if (answer.isKeyword(L"Undo")) {
    return undoSegment(draft);
  } else if (answer.isKeyword(L"Halfwidth") || answer.isKeyword(L"Width")) {
    status = askWidths(draft, answer.isKeyword(L"Halfwidth"));
    return status == RTCAN ? finish(draft, true) : Step::kContinue;
  } else if (answer.isKeyword(L"CLose")) {
    std::optional<SweptArc> closing = arcTangentTo(base, draft.direction(), draft.first());
    if (!closing) {
      acutPrintf(L"\n*Invalid*\n");
      return Step::kContinue;
    }
    draft.close(closing->bulge());
    return finish(draft, false);
  } else if (answer.isKeyword(L"Angle")) {
    status = arcByAngle(draft, arc);
  } else if (answer.isKeyword(L"CEnter")) {
    status = arcByCenter(draft, arc);
  } else if (answer.isKeyword(L"Direction")) {
    status = arcByDirection(draft, arc);
  } else if (answer.isKeyword(L"Radius")) {
    status = arcByRadius(draft, arc);
  } else if (answer.isKeyword(L"Second")) {
    status = arcBySecondPoint(draft, arc);
  }
  if (status == RTCAN) return finish(draft, true);
  if (status != RTNORM) return Step::kContinue;
  if (!arc) {
    acutPrintf(L"\n*Invalid*\n");
    return Step::kContinue;
  }
  draft.addArc(*arc);
  setLastPoint(draft.last());
  return Step::kContinue;
}

}  // namespace

int plineCommand() {
  Answer start = getPoint(nullptr, L"\nSpecify start point: ", L"", RSG_NONULL);
  if (start.status != RTNORM) return start.status;
  const double width = realVariable(L"PLINEWID", 0.0);
  acutPrintf(L"\nCurrent line-width is %ls", formatDistance(width).c_str());
  PolylineDraft draft(start.point, width);
  bool arcMode = false;
  while (true) {
    Step step = arcMode ? arcStep(draft, arcMode) : lineStep(draft, arcMode);
    if (step == Step::kDone) return RTNORM;
    if (step == Step::kCancelled) return RTCAN;
  }
}

}  // namespace tabrik::acad::command
