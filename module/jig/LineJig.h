// LineJig: a polyline path picked one vertex per drag, each drag after the first with
// a rubber band from the last vertex. Nothing is drawn while dragging but the band;
// the polyline is the jig's and never reaches a drawing.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include <dbjig.h>

class AcDbPolyline;

namespace tabrik::arx::draw {

class LineJig : public AcEdJig {
 public:
  // An empty layer name leaves the polyline on the current layer.
  explicit LineJig(const std::wstring& layerName);
  ~LineJig() override;

  void setStartPoint(const AcGePoint3d& point);
  // Drags vertex after vertex until a drag ends other than with a pick. False on
  // Escape; otherwise the vertices picked are kept.
  bool run();
  std::vector<AcGePoint3d> vertices() const;

  DragStatus sampler() override;
  Adesk::Boolean update() override;
  AcDbEntity* entity() const override;

 private:
  void appendVertex(const AcGePoint3d& point);

  std::unique_ptr<AcDbPolyline> m_polyline;
  AcGePoint3d m_point;      // the point the last sample acquired
  AcGePoint3d m_lastPoint;  // the last vertex
};

}  // namespace tabrik::arx::draw
