// The component's implementation of nv_hvacSolid: a list of exact bodies on the
// modelling kernel, each with the caller's pass-through integer.
//
// Invariants:
//   every body is a non-empty shape holding solids of positive volume;
//   m_union, when m_unionValid, is the union of all bodies (null when there are none).
//
// The drawing-file record (after the common entity data), version 1:
//
// | # | item          | value                                                   |
// |---|---------------|---------------------------------------------------------|
// | 1 | Int32         | record version (1)                                      |
// | 2 | Int32         | body count n                                            |
// | 3 | Int32 x n     | each body's pass-through integer                        |
// | 4 | string        | the bodies as one compound in the kernel's text form    |
//
// The DXF record (after the common entity groups):
//
// | group | value                                                          |
// |-------|----------------------------------------------------------------|
// | 100   | subclass marker nv_hvacSolid                                   |
// | 70    | record version (1)                                             |
// | 90    | body count n, then n groups 91 with the pass-through integers  |
// | 1     | a line of the bodies' text form; 3 continues the line before   |
//
// Readers that do not know the class see a mesh in the exploded copy of the drawing:
// the entity draws and explodes as the triangles of its union's surface.
#pragma once
#include <string>
#include <vector>

#include <TopoDS_Shape.hxx>

#include "nv_hvacSolid.h"
#include "solid/SolidGeometry.h"

namespace tabrik::solid {

class HvacSolid final : public nv_hvacSolid {
 public:
  static constexpr Adesk::Int32 kRecordVersion = 1;
  static constexpr const ACHAR* kDxfName = ACRX_T("NV_HVACSOLID");
  static constexpr const ACHAR* kAppDescription =
      ACRX_T("\"HVAC solid|Norvane Software, Inc|www.norvane.com\"");

  // Registers and removes the runtime class (the component's init and unload).
  static void rxInit();
  static void rxUninit();

  HvacSolid() = default;
  ~HvacSolid() override = default;
  AcRxClass* isA() const override;

  bool addTransition(const AcGePoint3d& start, bool startRect, double startWidth,
                     double startHeight, const AcGePoint3d& end, bool endRect, double endWidth,
                     double endHeight, const AcGeVector3d* startFrame, const AcGeVector3d* endFrame,
                     int tag) override;
  bool subtractTransition(const AcGePoint3d& start, bool startRect, double startWidth,
                          double startHeight, const AcGePoint3d& end, bool endRect, double endWidth,
                          double endHeight, const AcGeVector3d* startFrame,
                          const AcGeVector3d* endFrame, int tag) override;
  bool addSkin(const AcGePoint3d* points, int count, double thickness) override;
  bool addSquareElbowPrep(AcGePoint3d& inlet, double inletWidth, double inletHeight,
                          AcGePoint3d& outlet, double outletWidth, double outletHeight,
                          const AcGeVector3d* inletFrame, const AcGeVector3d* outletFrame,
                          bool rect, AcGePoint3d* inletCorners, AcGePoint3d* outletCorners,
                          bool moveEnds, double collar) override;
  bool addSquareElbow(const AcGePoint3d& inlet, double inletWidth, double inletHeight,
                      const AcGePoint3d& outlet, double outletWidth, double outletHeight,
                      const AcGeVector3d* inletFrame, const AcGeVector3d* outletFrame, bool rect,
                      const AcGePoint3d* inletCorners, const AcGePoint3d* outletCorners,
                      int tag) override;
  bool addRadiusElbow(AcGePoint3d& inlet, double width, double height, double thickness1,
                      double thickness2, AcGePoint3d& outlet, double outletWidth,
                      double outletHeight, const AcGeVector3d* inletFrame,
                      const AcGeVector3d* outletFrame, bool rect, double ratio, bool moveEnds,
                      int tag, bool smooth) override;
  bool addCableTraySquareRadiusElbow(AcGePoint3d& inlet, double width, double height,
                                     AcGePoint3d& outlet, const AcGeVector3d* inletFrame,
                                     const AcGeVector3d* outletFrame, double ratio,
                                     int tag) override;
  bool addWyePrep(AcGePoint3d* points, const double* sizes, const AcGeVector3d* trunkFrame,
                  const AcGeVector3d* branch1Frame, const AcGeVector3d* branch2Frame,
                  const bool* rect, double collar) override;
  bool addWye(const AcGePoint3d* points, const double* sizes, const AcGeVector3d* trunkFrame,
              const AcGeVector3d* branch1Frame, const AcGeVector3d* branch2Frame, const bool* rect,
              int tag) override;
  bool sliceLast(const AcGePoint3d& p1, const AcGePoint3d& p2, const AcGePoint3d& p3,
                 const AcGePoint3d& keep) override;
  void clearBodies() override;
  bool doUnion(const nv_hvacSolid* other) override;
  int bodyCount() const override;
  double volume() const override;

  // The union of the bodies (a null shape when there are none).
  const TopoDS_Shape& shape() const;
  // Each triangle of the union's surface mesh, three corners each, outward-facing.
  std::vector<AcGePoint3d> triangles() const;

  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

 protected:
  Adesk::Boolean subWorldDraw(AcGiWorldDraw* mode) override;
  Acad::ErrorStatus subGetGeomExtents(AcDbExtents& extents) const override;
  Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& transform) override;
  Acad::ErrorStatus subExplode(AcDbVoidPtrArray& entitySet) const override;

 private:
  struct Body {
    TopoDS_Shape shape;
    int tag = 0;
  };

  bool addBody(const TopoDS_Shape& shape, int tag);
  void changed();
  // The bodies as the kernel's text form, and back (false, changing nothing, when the
  // text does not hold exactly `tags.size()` shapes).
  std::string storedForm() const;
  bool restore(const std::string& text, const std::vector<int>& tags);

  std::vector<Body> m_bodies;
  mutable TopoDS_Shape m_union;
  mutable bool m_unionValid = false;
};

}  // namespace tabrik::solid
