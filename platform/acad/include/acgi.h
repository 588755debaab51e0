// The graphics interface through which entities draw themselves: an entity's
// worldDraw receives an AcGiWorldDraw and emits primitives into its geometry, with
// the sub-entity traits (colour, layer, linetype) in force for each primitive.
#pragma once
#include <vector>

#include "adesk.h"
#include "dbid.h"
#include "gemat3d.h"
#include "rxobject.h"

class AcGiWorldDraw;
class AcGiViewportDraw;

class AcGiDrawable : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcGiDrawable);
  // Draws the object; true when it needs no viewport-dependent drawing.
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) { return subWorldDraw(mode); }

 protected:
  virtual Adesk::Boolean subWorldDraw(AcGiWorldDraw* mode) { return Adesk::kTrue; }
};

enum AcGiArcType { kAcGiArcSimple = 0, kAcGiArcSector = 1, kAcGiArcChord = 2 };
enum AcGiRegenType { kAcGiStandardDisplay = 2, kAcGiHideOrShadeCommand = 3, kAcGiForExplode = 5 };

class AcGiSubEntityTraits {
 public:
  virtual ~AcGiSubEntityTraits() = default;
  virtual void setColor(Adesk::UInt16 colorIndex) = 0;
  virtual Adesk::UInt16 color() const = 0;
  virtual void setTrueColor(std::uint32_t rgb) = 0;
  virtual void setLayer(AcDbObjectId layerId) = 0;
  virtual AcDbObjectId layerId() const = 0;
  virtual void setLineType(AcDbObjectId linetypeId) = 0;
  virtual AcDbObjectId lineTypeId() const = 0;
  virtual void setSelectionMarker(std::intptr_t marker) = 0;
};

class AcGiWorldGeometry {
 public:
  virtual ~AcGiWorldGeometry() = default;
  virtual Adesk::Boolean circle(const AcGePoint3d& center, double radius,
                                const AcGeVector3d& normal) = 0;
  virtual Adesk::Boolean circularArc(const AcGePoint3d& center, double radius,
                                     const AcGeVector3d& normal, const AcGeVector3d& startVector,
                                     double sweepAngle, AcGiArcType arcType = kAcGiArcSimple) = 0;
  virtual Adesk::Boolean polyline(Adesk::UInt32 nbPoints, const AcGePoint3d* vertices,
                                  const AcGeVector3d* normal = nullptr,
                                  std::intptr_t baseSubEntMarker = -1) = 0;
  virtual Adesk::Boolean polygon(Adesk::UInt32 nbPoints, const AcGePoint3d* vertices) = 0;
  virtual Adesk::Boolean text(const AcGePoint3d& position, const AcGeVector3d& normal,
                              const AcGeVector3d& direction, double height, double width,
                              double oblique, const ACHAR* message) = 0;
  // A mesh of planar faces: faceList holds, for each face, its vertex count and then
  // that many indices into vertexList. A context without surfaces of its own draws each
  // face as its outline.
  virtual Adesk::Boolean shell(Adesk::UInt32 nbVertex, const AcGePoint3d* vertexList,
                               Adesk::UInt32 faceListSize, const Adesk::Int32* faceList) {
    std::vector<AcGePoint3d> outline;
    for (Adesk::UInt32 i = 0; i < faceListSize;) {
      const Adesk::Int32 count = faceList[i++];
      if (count <= 0 || i + static_cast<Adesk::UInt32>(count) > faceListSize) break;
      outline.clear();
      for (Adesk::Int32 k = 0; k < count; ++k, ++i) {
        const Adesk::Int32 index = faceList[i];
        if (index >= 0 && static_cast<Adesk::UInt32>(index) < nbVertex)
          outline.push_back(vertexList[index]);
      }
      if (outline.size() >= 2 &&
          polygon(static_cast<Adesk::UInt32>(outline.size()), outline.data()))
        return Adesk::kTrue;
    }
    return Adesk::kFalse;
  }
  // Draws a nested drawable (its own traits apply while it draws).
  virtual Adesk::Boolean draw(AcGiDrawable* drawable) = 0;
  virtual Adesk::Boolean pushModelTransform(const AcGeMatrix3d& transform) = 0;
  virtual Adesk::Boolean popModelTransform() = 0;
  virtual void getModelToWorldTransform(AcGeMatrix3d& transform) const = 0;
};

class AcGiWorldDraw {
 public:
  virtual ~AcGiWorldDraw() = default;
  virtual AcGiWorldGeometry& geometry() const = 0;
  virtual AcGiSubEntityTraits& subEntityTraits() const = 0;
  virtual Adesk::Boolean regenAbort() const { return Adesk::kFalse; }
  virtual Adesk::Boolean isDragging() const { return Adesk::kFalse; }
  virtual AcGiRegenType regenType() const { return kAcGiStandardDisplay; }
  virtual double deviation() const { return 0.0; }
};
