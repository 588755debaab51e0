// The graphics interface through which entities draw themselves: an entity's
// worldDraw receives an AcGiWorldDraw and emits primitives into its geometry, with
// the sub-entity traits (colour, layer, linetype) in force for each primitive.
#pragma once
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
