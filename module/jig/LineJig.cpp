// LineJig: every drag appends the point it ended on; a drag that ends other than with
// a pick takes its vertex back.
#include "jig/LineJig.h"

#include <dbpl.h>

namespace tabrik::arx::draw {

LineJig::LineJig(const std::wstring& layerName) : m_polyline(new AcDbPolyline()) {
  if (!layerName.empty()) m_polyline->setLayer(layerName.c_str());
}

LineJig::~LineJig() = default;

void LineJig::setStartPoint(const AcGePoint3d& point) {
  m_point = point;
  appendVertex(point);
}

void LineJig::appendVertex(const AcGePoint3d& point) {
  m_lastPoint = point;
  m_polyline->addVertexAt(m_polyline->numVerts(), AcGePoint2d(point.x, point.y), /*bulge=*/0.0,
                          /*startWidth=*/-1, /*endWidth=*/-1);
}

bool LineJig::run() {
  setDispPrompt(m_polyline->numVerts() == 0 ? L"\nSpecify start point: "
                                            : L"\nSpecify next point: ");
  DragStatus status = kNormal;
  do {
    status = drag();
    appendVertex(m_point);
    setDispPrompt(L"\nSpecify next point: ");
  } while (status == kNormal);
  if (status == kCancel) {
    m_polyline.reset();
    return false;
  }
  m_polyline->removeVertexAt(m_polyline->numVerts() - 1);
  return true;
}

std::vector<AcGePoint3d> LineJig::vertices() const {
  std::vector<AcGePoint3d> points;
  if (!m_polyline) return points;
  for (unsigned int i = 0; i < m_polyline->numVerts(); ++i) {
    AcGePoint3d point;
    m_polyline->getPointAt(i, point);
    points.push_back(point);
  }
  return points;
}

AcEdJig::DragStatus LineJig::sampler() {
  setUserInputControls(kNullResponseAccepted);
  DragStatus status = kNormal;
  if (m_polyline->numVerts() == 0) {
    status = acquirePoint(m_point);
  } else {
    setSpecialCursorType(kRubberBand);
    status = acquirePoint(m_point, m_lastPoint);
  }
  // The host draws the band; the polyline shows nothing until the path is read.
  return status == kNormal ? kNoChange : status;
}

Adesk::Boolean LineJig::update() { return Adesk::kTrue; }

AcDbEntity* LineJig::entity() const { return m_polyline.get(); }

}  // namespace tabrik::arx::draw
