// nv_hvacSolid's adding operations, booleans and measures (see HvacSolid.h). Every
// operation catches the kernel's failures: a body the kernel cannot build is a false
// result that leaves the solid as it was.
#include "solid/HvacSolid.h"

#include <algorithm>
#include <cmath>

#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakePolygon.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <Standard_Failure.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <BRep_Builder.hxx>
#include <gp_Lin.hxx>

#include <rxregsvc.h>

namespace tabrik::solid {

namespace {

constexpr double kPi = 3.14159265358979323846;

SectionShape shapeOf(bool rect) { return rect ? SectionShape::Rectangle : SectionShape::Round; }

bool finitePoint(const AcGePoint3d& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// Where two duct axes meet: the inlet's axis (through pi along a) and the outlet's
// (through po along b). False when they are parallel, skew, or turn by almost nothing
// or almost back on themselves.
struct Bend {
  gp_Pnt vertex;
  gp_Dir n;  // a x b: the axis the bend turns about
  double angle = 0;
};

bool bendOf(const gp_Pnt& pi, const gp_Dir& a, const gp_Pnt& po, const gp_Dir& b, Bend& bend) {
  const double cosine = std::clamp(gp_Vec(a).Dot(gp_Vec(b)), -1.0, 1.0);
  const double angle = std::acos(cosine);
  if (angle < 1e-6 || angle > kPi - 1e-6) return false;
  const gp_Vec w0(po, pi);
  const double d = gp_Vec(a).Dot(w0), e = gp_Vec(b).Dot(w0);
  const double denominator = 1 - cosine * cosine;
  const double s = (cosine * e - d) / denominator;
  const double t = (e - cosine * d) / denominator;
  const gp_Pnt onInlet = pi.Translated(gp_Vec(a) * s);
  const gp_Pnt onOutlet = po.Translated(gp_Vec(b) * t);
  const double scale = std::max({1.0, pi.Distance(po), std::abs(s), std::abs(t)});
  if (onInlet.Distance(onOutlet) > 1e-6 * scale) return false;
  bend.vertex = gp_Pnt((onInlet.XYZ() + onOutlet.XYZ()) / 2);
  bend.n = gp_Dir(gp_Vec(a).Crossed(gp_Vec(b)));
  bend.angle = angle;
  return true;
}

// The section's size in the plane of the bend: its width when the width direction
// lies (more) in that plane, else its height.
double inPlaneSize(const Frame& frame, const gp_Dir& n, double width, double height) {
  return std::abs(frame.y.Dot(n)) <= std::abs(frame.z.Dot(n)) ? width : height;
}

bool positiveSize(double width, double height) {
  return std::isfinite(width) && std::isfinite(height) && width >= kMinSize && height >= kMinSize;
}

// The four corners of a section's bounding rectangle, in the quadrant order of
// sectionWire.
void cornersOf(const gp_Pnt& c, const Frame& frame, double width, double height, AcGePoint3d* out) {
  const gp_Vec y = gp_Vec(frame.y) * (width / 2), z = gp_Vec(frame.z) * (height / 2);
  out[0] = toPoint(c.Translated(y + z));
  out[1] = toPoint(c.Translated(-y + z));
  out[2] = toPoint(c.Translated(-y - z));
  out[3] = toPoint(c.Translated(y - z));
}

gp_Pnt centreOf(const AcGePoint3d* corners) {
  gp_XYZ sum(0, 0, 0);
  for (int i = 0; i < 4; ++i) sum += toPnt(corners[i]).XYZ();
  return gp_Pnt(sum / 4);
}

// The square elbow's layout: the bend, and the fitting's two ends.
struct SquareLayout {
  Bend bend;
  gp_Pnt inletEnd, outletEnd;
  double inletReach = 0, outletReach = 0;  // throat to the far face of the other leg
};

bool squareLayout(const gp_Pnt& inlet, const Frame& fa, double inletWidth, double inletHeight,
                  const gp_Pnt& outlet, const Frame& fb, double outletWidth, double outletHeight,
                  double collar, SquareLayout& layout) {
  if (!bendOf(inlet, fa.x, outlet, fb.x, layout.bend)) return false;
  const double inletSize = inPlaneSize(fa, layout.bend.n, inletWidth, inletHeight);
  const double outletSize = inPlaneSize(fb, layout.bend.n, outletWidth, outletHeight);
  layout.inletReach = outletSize / 2;
  layout.outletReach = inletSize / 2;
  const gp_Pnt& v = layout.bend.vertex;
  layout.inletEnd = v.Translated(-gp_Vec(fa.x) * (layout.inletReach + collar));
  layout.outletEnd = v.Translated(gp_Vec(fb.x) * (layout.outletReach + collar));
  // The fitting must fit between the two points it was given.
  const double room = gp_Vec(inlet, v).Dot(gp_Vec(fa.x));
  const double roomOut = gp_Vec(v, outlet).Dot(gp_Vec(fb.x));
  return room >= layout.inletReach + collar - 1e-9 && roomOut >= layout.outletReach + collar - 1e-9;
}

}  // namespace

// --- class ------------------------------------------------------------------------

AcRxClass* HvacSolid::isA() const { return nv_hvacSolid::desc(); }

namespace {
AcRxObject* makeHvacSolid() { return new HvacSolid(); }
}  // namespace

void HvacSolid::rxInit() {
  if (nv_hvacSolid::desc() != nullptr) return;
  newAcRxClass(kClassName, ACRX_T("AcDbEntity"), /*dwgVersion=*/1, /*maintenanceVersion=*/1,
               /*proxyFlags=*/1, &makeHvacSolid, kDxfName, kAppDescription);
  acrxBuildClassHierarchy();
}

void HvacSolid::rxUninit() {
  if (AcRxClass* cls = nv_hvacSolid::desc()) deleteAcRxClass(cls);
}

// --- bodies -----------------------------------------------------------------------

void HvacSolid::changed() {
  m_unionValid = false;
  m_union.Nullify();
}

bool HvacSolid::addBody(const TopoDS_Shape& shape, int tag) {
  // The constructions refuse empty sections and zero-length axes before the kernel
  // runs, so a solid they return has volume; measuring it here would cost as much as
  // building it. Booleans, whose results may be empty, measure theirs.
  if (shape.IsNull() || !TopExp_Explorer(shape, TopAbs_SOLID).More()) return false;
  assertWriteEnabled();
  m_bodies.push_back(Body{shape, tag});
  changed();
  return true;
}

bool HvacSolid::addTransition(const AcGePoint3d& start, bool startRect, double startWidth,
                              double startHeight, const AcGePoint3d& end, bool endRect,
                              double endWidth, double endHeight, const AcGeVector3d* startFrame,
                              const AcGeVector3d* endFrame, int tag) {
  Frame fs, fe;
  if (!finitePoint(start) || !finitePoint(end) || !frameOf(startFrame, fs) ||
      !frameOf(endFrame, fe))
    return false;
  try {
    return addBody(sweptSection(toPnt(start), fs, shapeOf(startRect), startWidth, startHeight,
                                toPnt(end), fe, shapeOf(endRect), endWidth, endHeight),
                   tag);
  } catch (const Standard_Failure&) {
    return false;
  }
}

bool HvacSolid::subtractTransition(const AcGePoint3d& start, bool startRect, double startWidth,
                                   double startHeight, const AcGePoint3d& end, bool endRect,
                                   double endWidth, double endHeight,
                                   const AcGeVector3d* startFrame, const AcGeVector3d* endFrame,
                                   int) {
  Frame fs, fe;
  if (m_bodies.empty() || !finitePoint(start) || !finitePoint(end) || !frameOf(startFrame, fs) ||
      !frameOf(endFrame, fe))
    return false;
  try {
    const TopoDS_Shape tool =
        sweptSection(toPnt(start), fs, shapeOf(startRect), startWidth, startHeight, toPnt(end), fe,
                     shapeOf(endRect), endWidth, endHeight);
    std::vector<Body> kept;
    for (const Body& body : m_bodies) {
      TopoDS_Shape rest = cut(body.shape, tool);
      if (hasVolume(rest)) kept.push_back(Body{rest, body.tag});
    }
    assertWriteEnabled();
    m_bodies.swap(kept);
    changed();
    return true;
  } catch (const Standard_Failure&) {
    return false;
  }
}

bool HvacSolid::addSkin(const AcGePoint3d* points, int count, double thickness) {
  if (points == nullptr || count < 3 || !std::isfinite(thickness) || std::abs(thickness) < kMinSize)
    return false;
  try {
    BRepBuilderAPI_MakePolygon polygon;
    gp_XYZ normal(0, 0, 0);  // Newell's normal of the polygon
    for (int i = 0; i < count; ++i) {
      if (!finitePoint(points[i])) return false;
      const gp_XYZ p = toPnt(points[i]).XYZ(), q = toPnt(points[(i + 1) % count]).XYZ();
      normal += gp_XYZ((p.Y() - q.Y()) * (p.Z() + q.Z()), (p.Z() - q.Z()) * (p.X() + q.X()),
                       (p.X() - q.X()) * (p.Y() + q.Y()));
      polygon.Add(toPnt(points[i]));
    }
    if (normal.Modulus() < 1e-12) return false;
    polygon.Close();
    if (!polygon.IsDone()) return false;
    BRepBuilderAPI_MakeFace face(polygon.Wire(), /*OnlyPlane=*/true);
    if (!face.IsDone()) return false;
    BRepPrimAPI_MakePrism plate(face.Face(), gp_Vec(gp_Dir(normal)) * thickness);
    if (!plate.IsDone()) return false;
    return addBody(plate.Shape(), 0);
  } catch (const Standard_Failure&) {
    return false;
  }
}

bool HvacSolid::addSquareElbowPrep(AcGePoint3d& inlet, double inletWidth, double inletHeight,
                                   AcGePoint3d& outlet, double outletWidth, double outletHeight,
                                   const AcGeVector3d* inletFrame, const AcGeVector3d* outletFrame,
                                   bool, AcGePoint3d* inletCorners, AcGePoint3d* outletCorners,
                                   bool moveEnds, double collar) {
  Frame fa, fb;
  if (!finitePoint(inlet) || !finitePoint(outlet) || !frameOf(inletFrame, fa) ||
      !frameOf(outletFrame, fb) || !positiveSize(inletWidth, inletHeight) ||
      !positiveSize(outletWidth, outletHeight) || !std::isfinite(collar) || collar < 0)
    return false;
  SquareLayout layout;
  if (!squareLayout(toPnt(inlet), fa, inletWidth, inletHeight, toPnt(outlet), fb, outletWidth,
                    outletHeight, collar, layout))
    return false;
  // Corners: the inlet leg's two end sections, then the outlet leg's.
  const gp_Pnt& v = layout.bend.vertex;
  if (inletCorners != nullptr) {
    cornersOf(layout.inletEnd, fa, inletWidth, inletHeight, inletCorners);
    cornersOf(v.Translated(gp_Vec(fa.x) * layout.inletReach), fa, inletWidth, inletHeight,
              inletCorners + 4);
  }
  if (outletCorners != nullptr) {
    cornersOf(v.Translated(-gp_Vec(fb.x) * layout.outletReach), fb, outletWidth, outletHeight,
              outletCorners);
    cornersOf(layout.outletEnd, fb, outletWidth, outletHeight, outletCorners + 4);
  }
  if (moveEnds) {
    inlet = toPoint(layout.inletEnd);
    outlet = toPoint(layout.outletEnd);
  }
  return true;
}

bool HvacSolid::addSquareElbow(const AcGePoint3d& inlet, double inletWidth, double inletHeight,
                               const AcGePoint3d& outlet, double outletWidth, double outletHeight,
                               const AcGeVector3d* inletFrame, const AcGeVector3d* outletFrame,
                               bool rect, const AcGePoint3d* inletCorners,
                               const AcGePoint3d* outletCorners, int tag) {
  Frame fa, fb;
  if (inletCorners == nullptr || outletCorners == nullptr || !frameOf(inletFrame, fa) ||
      !frameOf(outletFrame, fb))
    return false;
  // The legs run between the corner sections of the prep.
  const gp_Pnt inletStart = centreOf(inletCorners), inletEnd = centreOf(inletCorners + 4);
  const gp_Pnt outletStart = centreOf(outletCorners), outletEnd = centreOf(outletCorners + 4);
  const double scale = std::max(1.0, inletStart.Distance(outletEnd));
  if (inletStart.Distance(toPnt(inlet)) > 1e-6 * scale ||
      outletEnd.Distance(toPnt(outlet)) > 1e-6 * scale)
    return false;  // not the prep of these ends
  try {
    const SectionShape shape = shapeOf(rect);
    const TopoDS_Shape inletLeg = sweptSection(inletStart, fa, shape, inletWidth, inletHeight,
                                               inletEnd, fa, shape, inletWidth, inletHeight);
    const TopoDS_Shape outletLeg = sweptSection(outletStart, fb, shape, outletWidth, outletHeight,
                                                outletEnd, fb, shape, outletWidth, outletHeight);
    return addBody(fuse(inletLeg, outletLeg), tag);
  } catch (const Standard_Failure&) {
    return false;
  }
}

bool HvacSolid::addRadiusElbow(AcGePoint3d& inlet, double width, double height, double, double,
                               AcGePoint3d& outlet, double, double, const AcGeVector3d* inletFrame,
                               const AcGeVector3d* outletFrame, bool rect, double ratio,
                               bool moveEnds, int tag, bool) {
  Frame fa, fb;
  if (!finitePoint(inlet) || !finitePoint(outlet) || !frameOf(inletFrame, fa) ||
      !frameOf(outletFrame, fb) || !positiveSize(width, height) || !std::isfinite(ratio))
    return false;
  Bend bend;
  if (!bendOf(toPnt(inlet), fa.x, toPnt(outlet), fb.x, bend)) return false;
  const double size = inPlaneSize(fa, bend.n, width, height);
  const double radius = ratio * size;
  // The inner wall would fold on itself at a centre-line radius of half the size.
  if (!(radius > size / 2)) return false;
  const double tangent = radius * std::tan(bend.angle / 2);
  const gp_Pnt start = bend.vertex.Translated(-gp_Vec(fa.x) * tangent);
  const gp_Pnt end = bend.vertex.Translated(gp_Vec(fb.x) * tangent);
  const gp_Dir towardCentre(gp_Vec(bend.n).Crossed(gp_Vec(fa.x)));
  const gp_Pnt centre = start.Translated(gp_Vec(towardCentre) * radius);
  try {
    if (!addBody(
            revolvedSection(start, fa, shapeOf(rect), width, height, centre, bend.n, bend.angle),
            tag))
      return false;
  } catch (const Standard_Failure&) {
    return false;
  }
  if (moveEnds) {
    inlet = toPoint(start);
    outlet = toPoint(end);
  }
  return true;
}

bool HvacSolid::addCableTraySquareRadiusElbow(AcGePoint3d& inlet, double width, double height,
                                              AcGePoint3d& outlet, const AcGeVector3d* inletFrame,
                                              const AcGeVector3d* outletFrame, double ratio,
                                              int tag) {
  return addRadiusElbow(inlet, width, height, 0, 0, outlet, width, height, inletFrame, outletFrame,
                        /*rect=*/true, ratio, /*moveEnds=*/true, tag,
                        /*smooth=*/false);
}

bool HvacSolid::addWyePrep(AcGePoint3d* points, const double* sizes, const AcGeVector3d* trunkFrame,
                           const AcGeVector3d* branch1Frame, const AcGeVector3d* branch2Frame,
                           const bool* rect, double collar) {
  Frame frames[3];
  if (points == nullptr || sizes == nullptr || rect == nullptr || !frameOf(trunkFrame, frames[0]) ||
      !frameOf(branch1Frame, frames[1]) || !frameOf(branch2Frame, frames[2]) ||
      !std::isfinite(collar) || collar < kMinSize)
    return false;
  for (int k = 0; k < 3; ++k) {
    if (!finitePoint(points[k]) || !positiveSize(sizes[2 * k], sizes[2 * k + 1])) return false;
  }
  const gp_Pnt trunkEnd = toPnt(points[0]);
  const double reach = std::max(sizes[0], sizes[1]) / 2 + collar;
  gp_Pnt outlets[2];
  for (int k = 1; k <= 2; ++k) {
    const gp_Dir& x = frames[k].x;
    // A branch must leave the trunk forwards.
    if (gp_Vec(x).Dot(gp_Vec(frames[0].x)) <= 1e-6) return false;
    const gp_Pnt start = toPnt(points[k]);
    const gp_Pnt foot = start.Translated(gp_Vec(x) * gp_Vec(x).Dot(gp_Vec(start, trunkEnd)));
    outlets[k - 1] = foot.Translated(gp_Vec(x) * reach);
    if (outlets[k - 1].Distance(trunkEnd) < kMinSize) return false;
  }
  points[0] = toPoint(trunkEnd.Translated(-gp_Vec(frames[0].x) * collar));
  points[1] = toPoint(outlets[0]);
  points[2] = toPoint(outlets[1]);
  return true;
}

bool HvacSolid::addWye(const AcGePoint3d* points, const double* sizes,
                       const AcGeVector3d* trunkFrame, const AcGeVector3d* branch1Frame,
                       const AcGeVector3d* branch2Frame, const bool* rect, int tag) {
  Frame frames[3];
  if (points == nullptr || sizes == nullptr || rect == nullptr || !frameOf(trunkFrame, frames[0]) ||
      !frameOf(branch1Frame, frames[1]) || !frameOf(branch2Frame, frames[2]))
    return false;
  try {
    // Each leg runs from the trunk's section to its branch's outlet section.
    TopoDS_Shape legs[2];
    for (int k = 1; k <= 2; ++k) {
      legs[k - 1] = sweptSection(toPnt(points[0]), frames[0], shapeOf(rect[0]), sizes[0], sizes[1],
                                 toPnt(points[k]), frames[k], shapeOf(rect[k]), sizes[2 * k],
                                 sizes[2 * k + 1]);
    }
    return addBody(fuse(legs[0], legs[1]), tag);
  } catch (const Standard_Failure&) {
    return false;
  }
}

bool HvacSolid::sliceLast(const AcGePoint3d& p1, const AcGePoint3d& p2, const AcGePoint3d& p3,
                          const AcGePoint3d& keep) {
  if (m_bodies.empty() || !finitePoint(p1) || !finitePoint(p2) || !finitePoint(p3) ||
      !finitePoint(keep))
    return false;
  const gp_Vec normal = gp_Vec(toPnt(p1), toPnt(p2)).Crossed(gp_Vec(toPnt(p1), toPnt(p3)));
  if (normal.Magnitude() < 1e-12) return false;
  try {
    TopoDS_Shape kept = keepSide(m_bodies.back().shape, toPnt(p1), gp_Dir(normal), toPnt(keep));
    if (!hasVolume(kept)) return false;
    assertWriteEnabled();
    m_bodies.back().shape = kept;
    changed();
    return true;
  } catch (const Standard_Failure&) {
    return false;
  }
}

void HvacSolid::clearBodies() {
  assertWriteEnabled();
  m_bodies.clear();
  changed();
}

bool HvacSolid::doUnion(const nv_hvacSolid* other) {
  const auto* source = dynamic_cast<const HvacSolid*>(other);
  if (source == nullptr || source == this || source->m_bodies.empty()) return false;
  try {
    TopoDS_Shape merged = source->shape();
    if (!m_bodies.empty()) merged = fuse(shape(), merged);
    if (!hasVolume(merged)) return false;
    assertWriteEnabled();
    m_bodies.assign(
        1, Body{merged, m_bodies.empty() ? source->m_bodies.front().tag : m_bodies.front().tag});
    changed();
    return true;
  } catch (const Standard_Failure&) {
    return false;
  }
}

int HvacSolid::bodyCount() const {
  assertReadEnabled();
  return static_cast<int>(m_bodies.size());
}

const TopoDS_Shape& HvacSolid::shape() const {
  if (!m_unionValid) {
    m_union.Nullify();
    try {
      for (const Body& body : m_bodies)
        m_union = m_union.IsNull() ? body.shape : fuse(m_union, body.shape);
    } catch (const Standard_Failure&) {
      // Bodies that will not unite are shown side by side.
      BRep_Builder builder;
      TopoDS_Compound all;
      builder.MakeCompound(all);
      for (const Body& body : m_bodies) builder.Add(all, body.shape);
      m_union = all;
    }
    m_unionValid = true;
  }
  return m_union;
}

double HvacSolid::volume() const {
  assertReadEnabled();
  try {
    return volumeOf(shape());
  } catch (const Standard_Failure&) {
    return 0.0;
  }
}

}  // namespace tabrik::solid
