// AsdkRectangleJig: the placement modes, the rotation about the placed point and the
// centre found back from it.
#include "jig/AsdkRectangleJig.h"

#include <cmath>

#include <dbpl.h>

#include "jig/JigGeometry.h"

namespace tabrik::arx::draw {
namespace {

constexpr const ACHAR* kPlacementPrompt = L"\nSpecify insertion point or [Corner/Middle]: ";

}  // namespace

AsdkRectangleJig::AsdkRectangleJig(double a, double b, int cornerIndex, bool rotate)
    : m_a(a),
      m_b(b),
      m_halfA(a / 2),
      m_halfB(b / 2),
      m_middle(cornerIndex == 0),
      m_cornerIndex(cornerIndex),
      m_rotate(rotate),
      m_polyline(new AcDbPolyline(4)),
      m_saved(4) {
  for (unsigned int i = 0; i < 4; ++i)
    m_polyline->addVertexAt(i, AcGePoint2d(), /*bulge=*/0.0, /*startWidth=*/-1, /*endWidth=*/-1);
  m_polyline->setClosed(true);
}

AsdkRectangleJig::~AsdkRectangleJig() = default;

bool AsdkRectangleJig::run() {
  setKeywordList(L"Corner,C Middle,M");
  setUserInputControls(kNullResponseAccepted);
  setDispPrompt(kPlacementPrompt);
  DragStatus status = kKW1;
  while (status == kKW1 || status == kKW2) status = drag();
  if (status == kCancel || status == kNull) m_cancelled = true;
  if (!m_cancelled && m_rotate) {
    m_phase = 1;
    setKeywordList(L"");
    setDispPrompt(L"\nSpecify rotation: ");
    if (drag() == kCancel) m_cancelled = true;
  }
  saveVertices();
  m_polyline.reset();
  return !m_cancelled;
}

AcEdJig::DragStatus AsdkRectangleJig::sampler() {
  if (m_phase == 1) {
    double angle = 0.0;
    DragStatus status = acquireAngle(angle, m_cursor);
    angle = drawingAngle(angle);
    if (status == kNormal && angle == m_angle) return kNoChange;
    if (status == kNormal) {
      m_previousAngle = m_angle;
      m_angle = angle;
    }
    return status;
  }
  AcGePoint3d point;
  DragStatus status = acquirePoint(point);
  if (status == kKW1) {
    if (!m_middle) m_cornerIndex = m_cornerIndex >= 4 ? 1 : m_cornerIndex + 1;
    m_middle = false;
    setDispPrompt(kPlacementPrompt);
    return status;
  }
  if (status == kKW2) {
    m_middle = true;
    m_cornerIndex = 0;
    setDispPrompt(kPlacementPrompt);
    return status;
  }
  if (status != kNormal) return status;
  if (m_placed && point.x == m_cursor.x && point.y == m_cursor.y) return kNoChange;
  m_cursor.set(point.x, point.y, 0.0);
  m_placed = true;
  return status;
}

void AsdkRectangleJig::placeVertices() {
  const double x = m_cursor.x, y = m_cursor.y;
  AcGePoint2d p[4];
  if (m_middle) {
    p[0] = AcGePoint2d(x - m_halfB, y + m_halfA);
    p[1] = AcGePoint2d(x + m_halfB, y + m_halfA);
    p[2] = AcGePoint2d(x + m_halfB, y - m_halfA);
    p[3] = AcGePoint2d(x - m_halfB, y - m_halfA);
  } else {
    // The side B runs right from corners 1 and 4, left from 2 and 3; A runs up from
    // corners 1 and 2, down from 3 and the others.
    const double dx = (m_cornerIndex == 2 || m_cornerIndex == 3) ? -m_b : m_b;
    const double dy = (m_cornerIndex == 1 || m_cornerIndex == 2) ? m_a : -m_a;
    p[0] = AcGePoint2d(x, y);
    p[1] = AcGePoint2d(x + dx, y);
    p[2] = AcGePoint2d(x + dx, y + dy);
    p[3] = AcGePoint2d(x, y + dy);
  }
  for (unsigned int i = 0; i < 4; ++i) m_polyline->setPointAt(i, p[i]);
}

Adesk::Boolean AsdkRectangleJig::update() {
  if (m_phase == 0) {
    placeVertices();
    return Adesk::kTrue;
  }
  if (!m_rotationStarted) {
    saveVertices();
    m_rotationStarted = true;
  }
  const double c = std::cos(m_angle), s = std::sin(m_angle);
  const double px = m_cursor.x, py = m_cursor.y;
  for (unsigned int i = 0; i < 4; ++i) {
    const double x = m_saved[i].x, y = m_saved[i].y;
    m_polyline->setPointAt(
        i, AcGePoint2d((x - px) * c - (y - py) * s + px, (x - px) * s + (y - py) * c + py));
  }
  return Adesk::kTrue;
}

AcDbEntity* AsdkRectangleJig::entity() const { return m_polyline.get(); }

void AsdkRectangleJig::saveVertices() {
  if (!m_polyline) return;
  for (unsigned int i = 0; i < 4; ++i) m_polyline->getPointAt(i, m_saved[i]);
}

AcGePoint3d AsdkRectangleJig::centre() const {
  if (m_middle) return m_cursor;
  switch (m_cornerIndex) {
    case 1:
      return polar(polar(m_cursor, m_angle, m_halfB), m_angle + kHalfPi, m_halfA);
    case 2:
      return polar(polar(m_cursor, m_angle, -m_halfB), m_angle + kHalfPi, m_halfA);
    case 3:
      return polar(polar(m_cursor, m_angle, -m_halfB), m_angle - kHalfPi, m_halfA);
    default:
      return polar(polar(m_cursor, m_angle, m_halfB), m_angle - kHalfPi, m_halfA);
  }
}

}  // namespace tabrik::arx::draw
