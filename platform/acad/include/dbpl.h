// AcDbPolyline: the lightweight polyline (LWPOLYLINE). Vertices are 2D in the object
// coordinate system of the normal, at one elevation; each vertex carries a bulge for
// the segment that starts at it (tan of a quarter of the included angle; positive:
// counter-clockwise) and start and end widths. Parameter i is vertex i; the segment
// from vertex i runs over parameters [i, i+1].
#pragma once
#include <vector>

#include "dbcurve.h"
#include "gept2dar.h"

class AcDbPolyline : public AcDbCurve {
 public:
  ACRX_DECLARE_MEMBERS(AcDbPolyline);
  AcDbPolyline() = default;
  explicit AcDbPolyline(unsigned int numVertices) { m_vertices.reserve(numVertices); }

  Acad::ErrorStatus addVertexAt(unsigned int index, const AcGePoint2d& point, double bulge = 0.0,
                                double startWidth = -1.0, double endWidth = -1.0);
  Acad::ErrorStatus removeVertexAt(unsigned int index);
  unsigned int numVerts() const { return static_cast<unsigned int>(m_vertices.size()); }
  Acad::ErrorStatus getPointAt(unsigned int index, AcGePoint2d& point) const;
  Acad::ErrorStatus getPointAt(unsigned int index, AcGePoint3d& point) const;
  Acad::ErrorStatus setPointAt(unsigned int index, const AcGePoint2d& point);
  Acad::ErrorStatus getBulgeAt(unsigned int index, double& bulge) const;
  Acad::ErrorStatus setBulgeAt(unsigned int index, double bulge);
  Acad::ErrorStatus getWidthsAt(unsigned int index, double& startWidth, double& endWidth) const;
  Acad::ErrorStatus setWidthsAt(unsigned int index, double startWidth, double endWidth);
  bool isOnlyLines() const;
  bool isClosed() const override { return m_closed; }
  void setClosed(bool closed);
  double elevation() const { return m_elevation; }
  void setElevation(double elevation);
  AcGeVector3d normal() const { return m_normal; }
  Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
  double thickness() const { return m_thickness; }
  Acad::ErrorStatus setThickness(double thickness);
  Acad::ErrorStatus getConstantWidth(double& width) const;
  Acad::ErrorStatus setConstantWidth(double width);

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

 protected:
  Adesk::Boolean subWorldDraw(AcGiWorldDraw* mode) override;
  Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& transform) override;
  Acad::ErrorStatus subExplode(AcDbVoidPtrArray& entitySet) const override;
  Acad::ErrorStatus subGetGripPoints(AcGePoint3dArray& points, AcDbIntArray& modes,
                                     AcDbIntArray& ids) const override;
  Acad::ErrorStatus subMoveGripPointsAt(const AcDbIntArray& indices,
                                        const AcGeVector3d& offset) override;
  Acad::ErrorStatus subGetOsnapPoints(AcDb::OsnapMode mode, std::intptr_t marker,
                                      const AcGePoint3d& pick, const AcGePoint3d& last,
                                      const AcGeMatrix3d& view, AcGePoint3dArray& points,
                                      AcDbIntArray& ids) const override;

 private:
  struct Vertex {
    AcGePoint2d point;
    double bulge = 0.0, startWidth = 0.0, endWidth = 0.0;
  };
  std::vector<Vertex> m_vertices;
  bool m_closed = false;
  bool m_plinegen = false;
  double m_elevation = 0.0, m_thickness = 0.0, m_constantWidth = 0.0;
  AcGeVector3d m_normal{0, 0, 1};
};
