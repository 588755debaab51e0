// nv_hvacSolid: the duct solid entity of the component nv_nv-solid2010.dbx. One entity
// holds a list of exact solid bodies (duct segments, tapers, elbows, wyes, hanger parts);
// it draws, measures, files and explodes the union of them.
//
// The class lives in the component. A caller that loads the component (acrxLoadModule)
// reaches it only through this header: every operation is virtual and the class
// descriptor is looked up by name, so the caller links nothing of the component and a
// missing component shows as desc() == nullptr.
//
// A frame is an array of three unit vectors: the axis (along the duct), the width
// direction and the height direction of a section. A section is rectangular (width along
// the frame's second vector, height along its third), round (width == height) or flat
// oval (a rectangle whose two short sides are half circles).
//
// Every adding operation takes a pass-through integer (kept with the body, no meaning to
// the component) and returns false, changing nothing, when the body cannot be built: a
// zero-length axis, a degenerate section, a bend that cannot be formed. No exception of
// the modelling kernel leaves an operation.
#pragma once
#include <dbmain.h>
#include <gept3d.h>
#include <gevec3d.h>
#include <rxclass.h>
#include <rxdict.h>

class nv_hvacSolid : public AcDbEntity {
 public:
  static constexpr const ACHAR* kClassName = ACRX_T("nv_hvacSolid");

  // The registered class, or null when the component is not loaded.
  static AcRxClass* desc() {
    return acrxClassDictionary == nullptr ? nullptr
                                          : AcRxClass::cast(acrxClassDictionary->at(kClassName));
  }
  static nv_hvacSolid* cast(const AcRxObject* object) {
    AcRxClass* cls = desc();
    return (object == nullptr || cls == nullptr || !object->isKindOf(cls))
               ? nullptr
               : const_cast<nv_hvacSolid*>(static_cast<const nv_hvacSolid*>(object));
  }
  // A new empty solid on the heap, in no drawing; null when the component is not loaded.
  static nv_hvacSolid* create() {
    AcRxClass* cls = desc();
    return cls == nullptr ? nullptr : cast(cls->create());
  }

  // A prism or taper from the start section to the end section, each placed by its own
  // frame.
  virtual bool addTransition(const AcGePoint3d& start, bool startRect, double startWidth,
                             double startHeight, const AcGePoint3d& end, bool endRect,
                             double endWidth, double endHeight, const AcGeVector3d* startFrame,
                             const AcGeVector3d* endFrame, int tag = 0) = 0;
  // Removes such a body from every body added so far.
  virtual bool subtractTransition(const AcGePoint3d& start, bool startRect, double startWidth,
                                  double startHeight, const AcGePoint3d& end, bool endRect,
                                  double endWidth, double endHeight, const AcGeVector3d* startFrame,
                                  const AcGeVector3d* endFrame, int tag = 0) = 0;
  // A plate: the polygon of the points (at least three, in one plane) extruded along its
  // normal by the thickness.
  virtual bool addSkin(const AcGePoint3d* points, int count, double thickness) = 0;

  // A square-throat elbow from the inlet (the inlet duct's axis through it along
  // inletFrame[0]) to the outlet (the outlet duct's axis through it along
  // outletFrame[0]). The prep checks that the two axes meet at a bend and that the
  // fitting, reaching `collar` beyond the throat on each side, fits between the two
  // points; it fills `corners` with the inlet's and the outlet's end-section corners and,
  // when moveEnds is set, moves the inlet and the outlet to the fitting's ends.
  virtual bool addSquareElbowPrep(AcGePoint3d& inlet, double inletWidth, double inletHeight,
                                  AcGePoint3d& outlet, double outletWidth, double outletHeight,
                                  const AcGeVector3d* inletFrame, const AcGeVector3d* outletFrame,
                                  bool rect, AcGePoint3d* inletCorners, AcGePoint3d* outletCorners,
                                  bool moveEnds, double collar) = 0;
  // Builds the elbow of a successful prep (same points and sizes); `corners` are its
  // corner arrays.
  virtual bool addSquareElbow(const AcGePoint3d& inlet, double inletWidth, double inletHeight,
                              const AcGePoint3d& outlet, double outletWidth, double outletHeight,
                              const AcGeVector3d* inletFrame, const AcGeVector3d* outletFrame,
                              bool rect, const AcGePoint3d* inletCorners,
                              const AcGePoint3d* outletCorners, int tag = 0) = 0;
  // A radius elbow: the inlet section swept round a bend whose centre-line radius is
  // ratio times the section's size in the plane of the bend. The wall thicknesses are
  // kept with the body. When moveEnds is set the inlet and outlet move to the fitting's
  // ends. `smooth` false builds the bend as one exact sweep; true too (it asks for the
  // same body; the flag is kept for callers that tell the two apart).
  virtual bool addRadiusElbow(AcGePoint3d& inlet, double width, double height, double thickness1,
                              double thickness2, AcGePoint3d& outlet, double outletWidth,
                              double outletHeight, const AcGeVector3d* inletFrame,
                              const AcGeVector3d* outletFrame, bool rect, double ratio,
                              bool moveEnds, int tag, bool smooth) = 0;
  // A flat cable-tray bend: a rectangular section swept round the bend, the inlet and
  // outlet moved to its ends.
  virtual bool addCableTraySquareRadiusElbow(AcGePoint3d& inlet, double width, double height,
                                             AcGePoint3d& outlet, const AcGeVector3d* inletFrame,
                                             const AcGeVector3d* outletFrame, double ratio,
                                             int tag = 0) = 0;
  // A wye: the trunk's end section (points[0], trunk frame) splits into the two branch
  // sections. The prep checks the three axes and moves the three points to the fitting's
  // ends: the trunk point back by `collar` along the trunk, each branch point to its
  // outlet on its own axis. `sizes` holds width and height of trunk, branch 1, branch 2;
  // `rect` the three rectangular flags.
  virtual bool addWyePrep(AcGePoint3d* points, const double* sizes, const AcGeVector3d* trunkFrame,
                          const AcGeVector3d* branch1Frame, const AcGeVector3d* branch2Frame,
                          const bool* rect, double collar) = 0;
  virtual bool addWye(const AcGePoint3d* points, const double* sizes,
                      const AcGeVector3d* trunkFrame, const AcGeVector3d* branch1Frame,
                      const AcGeVector3d* branch2Frame, const bool* rect, int tag = 0) = 0;

  // Cuts the body added last by the plane through p1, p2, p3, keeping the side where
  // `keep` lies. False when there is no body or the points make no plane.
  virtual bool sliceLast(const AcGePoint3d& p1, const AcGePoint3d& p2, const AcGePoint3d& p3,
                         const AcGePoint3d& keep) = 0;
  virtual void clearBodies() = 0;
  // Merges the bodies of the other solid into this one (the other is left as it was).
  virtual bool doUnion(const nv_hvacSolid* other) = 0;

  // Measures of the union of the bodies.
  virtual int bodyCount() const = 0;
  virtual double volume() const = 0;
};
