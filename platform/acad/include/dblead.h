// AcDbLeader: the host's leader, a path of vertices with an arrowhead at the first.
// Parameter i is vertex i.
#pragma once
#include "dbcurve.h"
#include "gept3dar.h"

class AcDbLeader : public AcDbCurve {
 public:
  ACRX_DECLARE_MEMBERS(AcDbLeader);
  AcDbLeader() = default;

  int numVertices() const { return m_vertices.length(); }
  AcGePoint3d vertexAt(int index) const;
  bool appendVertex(const AcGePoint3d& point);
  void removeLastVertex();
  bool setVertexAt(int index, const AcGePoint3d& point);
  AcGePoint3d firstVertex() const { return vertexAt(0); }
  AcGePoint3d lastVertex() const { return vertexAt(numVertices() - 1); }
  bool hasArrowHead() const { return m_arrowHead; }
  void enableArrowHead();
  void disableArrowHead();
  AcGeVector3d normal() const { return m_normal; }
  AcDbObjectId dimensionStyle() const { return m_dimStyle; }
  void setDimensionStyle(AcDbObjectId style);

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

 private:
  AcGePoint3dArray m_vertices;
  bool m_arrowHead = true;
  AcGeVector3d m_normal{0, 0, 1};
  AcDbObjectId m_dimStyle;
};
