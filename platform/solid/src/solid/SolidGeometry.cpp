// Sections and bodies on the modelling kernel (see SolidGeometry.h).
#include "solid/SolidGeometry.h"

#include <cmath>

#include <BRepAlgoAPI_Common.hxx>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRepGProp.hxx>
#include <BRepOffsetAPI_ThruSections.hxx>
#include <BRepPrimAPI_MakeHalfSpace.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <BRepPrimAPI_MakeRevol.hxx>
#include <GC_MakeArcOfCircle.hxx>
#include <GProp_GProps.hxx>
#include <Standard_Failure.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Face.hxx>
#include <gp_Ax1.hxx>
#include <gp_Pln.hxx>

namespace tabrik::solid {

namespace {

constexpr double kPi = 3.14159265358979323846;

bool finite(const AcGeVector3d& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

TopoDS_Edge lineEdge(const gp_Pnt& a, const gp_Pnt& b) {
  BRepBuilderAPI_MakeEdge edge(a, b);
  if (!edge.IsDone()) throw Standard_Failure("section edge");
  return edge.Edge();
}

TopoDS_Edge arcEdge(const gp_Pnt& a, const gp_Pnt& middle, const gp_Pnt& b) {
  GC_MakeArcOfCircle arc(a, middle, b);
  if (!arc.IsDone()) throw Standard_Failure("section arc");
  BRepBuilderAPI_MakeEdge edge(arc.Value());
  if (!edge.IsDone()) throw Standard_Failure("section arc edge");
  return edge.Edge();
}

TopoDS_Face planarFace(const TopoDS_Wire& wire) {
  BRepBuilderAPI_MakeFace face(wire, /*OnlyPlane=*/true);
  if (!face.IsDone()) throw Standard_Failure("section face");
  return face.Face();
}

bool sameSection(const Frame& a, const Frame& b) {
  constexpr double kAngular = 1e-9;
  return a.x.IsEqual(b.x, kAngular) && a.y.IsEqual(b.y, kAngular) && a.z.IsEqual(b.z, kAngular);
}

}  // namespace

bool frameOf(const AcGeVector3d* vectors, Frame& frame) {
  if (vectors == nullptr) return false;
  const AcGeVector3d& x = vectors[0];
  const AcGeVector3d& y = vectors[1];
  if (!finite(x) || !finite(y) || !finite(vectors[2])) return false;
  const gp_Vec vx = toVec(x), vy = toVec(y);
  if (vx.Magnitude() < 1e-12 || vy.Magnitude() < 1e-12) return false;
  const gp_Vec vz = vx.Crossed(vy);
  if (vz.Magnitude() < 1e-9 * vx.Magnitude() * vy.Magnitude()) return false;
  frame.x = gp_Dir(vx);
  frame.z = gp_Dir(vz);
  frame.y = gp_Dir(gp_Vec(frame.z).Crossed(gp_Vec(frame.x)));
  // Keep the caller's sense of the height direction (a left-handed frame flips width).
  if (gp_Vec(frame.z).Dot(toVec(vectors[2])) < 0) {
    frame.z.Reverse();
    frame.y.Reverse();
  }
  return true;
}

double sectionArea(SectionShape shape, double width, double height) {
  if (shape == SectionShape::Rectangle) return width * height;
  const double r = std::min(width, height) / 2;
  return kPi * r * r + (std::max(width, height) - 2 * r) * 2 * r;
}

TopoDS_Wire sectionWire(const gp_Pnt& c, const Frame& frame, SectionShape shape, double width,
                        double height) {
  if (!(width >= kMinSize) || !(height >= kMinSize) || !std::isfinite(width) ||
      !std::isfinite(height))
    throw Standard_Failure("degenerate section");
  const gp_Vec y(frame.y), z(frame.z);
  auto at = [&](double u, double v) { return c.Translated(y * u + z * v); };
  BRepBuilderAPI_MakeWire wire;
  const double w = width / 2, h = height / 2;
  if (shape == SectionShape::Rectangle) {
    const gp_Pnt q1 = at(w, h), q2 = at(-w, h), q3 = at(-w, -h), q4 = at(w, -h);
    wire.Add(lineEdge(q1, q2));
    wire.Add(lineEdge(q2, q3));
    wire.Add(lineEdge(q3, q4));
    wire.Add(lineEdge(q4, q1));
  } else if (std::abs(width - height) <= 1e-9 * std::max(width, height)) {
    // A circle in four quarter arcs, split where a square's corners would be.
    const double r = w, d = r * std::sqrt(0.5);
    const gp_Pnt q1 = at(d, d), q2 = at(-d, d), q3 = at(-d, -d), q4 = at(d, -d);
    wire.Add(arcEdge(q1, at(0, r), q2));
    wire.Add(arcEdge(q2, at(-r, 0), q3));
    wire.Add(arcEdge(q3, at(0, -r), q4));
    wire.Add(arcEdge(q4, at(r, 0), q1));
  } else if (width > height) {
    const double r = h, a = w - r;  // half circles on the width's ends
    const gp_Pnt q1 = at(a, r), q2 = at(-a, r), q3 = at(-a, -r), q4 = at(a, -r);
    wire.Add(lineEdge(q1, q2));
    wire.Add(arcEdge(q2, at(-w, 0), q3));
    wire.Add(lineEdge(q3, q4));
    wire.Add(arcEdge(q4, at(w, 0), q1));
  } else {
    const double r = w, a = h - r;  // half circles on the height's ends
    const gp_Pnt q1 = at(r, a), q2 = at(-r, a), q3 = at(-r, -a), q4 = at(r, -a);
    wire.Add(arcEdge(q1, at(0, h), q2));
    wire.Add(lineEdge(q2, q3));
    wire.Add(arcEdge(q3, at(0, -h), q4));
    wire.Add(lineEdge(q4, q1));
  }
  if (!wire.IsDone()) throw Standard_Failure("section wire");
  return wire.Wire();
}

TopoDS_Shape sweptSection(const gp_Pnt& start, const Frame& startFrame, SectionShape startShape,
                          double startWidth, double startHeight, const gp_Pnt& end,
                          const Frame& endFrame, SectionShape endShape, double endWidth,
                          double endHeight) {
  const gp_Vec axis(start, end);
  if (!(axis.Magnitude() >= kMinSize)) throw Standard_Failure("zero-length axis");
  const TopoDS_Wire first = sectionWire(start, startFrame, startShape, startWidth, startHeight);
  const bool prism = startShape == endShape && startWidth == endWidth && startHeight == endHeight &&
                     sameSection(startFrame, endFrame) &&
                     axis.IsParallel(gp_Vec(startFrame.x), 1e-9);
  if (prism) {
    BRepPrimAPI_MakePrism body(planarFace(first), axis);
    if (!body.IsDone()) throw Standard_Failure("prism");
    return body.Shape();
  }
  const TopoDS_Wire last = sectionWire(end, endFrame, endShape, endWidth, endHeight);
  BRepOffsetAPI_ThruSections loft(/*isSolid=*/true, /*ruled=*/true, 1e-6);
  loft.CheckCompatibility(false);  // the wires already match edge to edge
  loft.AddWire(first);
  loft.AddWire(last);
  loft.Build();
  if (!loft.IsDone()) throw Standard_Failure("taper");
  return loft.Shape();
}

TopoDS_Shape revolvedSection(const gp_Pnt& start, const Frame& frame, SectionShape shape,
                             double width, double height, const gp_Pnt& centre,
                             const gp_Dir& normal, double angle) {
  if (!(angle > 1e-9) || !(angle < 2 * kPi)) throw Standard_Failure("bend angle");
  const TopoDS_Wire section = sectionWire(start, frame, shape, width, height);
  BRepPrimAPI_MakeRevol body(planarFace(section), gp_Ax1(centre, normal), angle);
  if (!body.IsDone()) throw Standard_Failure("bend");
  return body.Shape();
}

TopoDS_Shape fuse(const TopoDS_Shape& a, const TopoDS_Shape& b) {
  BRepAlgoAPI_Fuse op(a, b);
  if (!op.IsDone() || op.HasErrors()) throw Standard_Failure("union");
  return op.Shape();
}

TopoDS_Shape cut(const TopoDS_Shape& a, const TopoDS_Shape& b) {
  BRepAlgoAPI_Cut op(a, b);
  if (!op.IsDone() || op.HasErrors()) throw Standard_Failure("subtraction");
  return op.Shape();
}

TopoDS_Shape keepSide(const TopoDS_Shape& body, const gp_Pnt& p, const gp_Dir& n,
                      const gp_Pnt& keep) {
  BRepBuilderAPI_MakeFace plane(gp_Pln(p, n));
  if (!plane.IsDone()) throw Standard_Failure("slicing plane");
  BRepPrimAPI_MakeHalfSpace half(plane.Face(), keep);
  BRepAlgoAPI_Common op(body, half.Solid());
  if (!op.IsDone() || op.HasErrors()) throw Standard_Failure("slice");
  return op.Shape();
}

double volumeOf(const TopoDS_Shape& shape) {
  if (shape.IsNull()) return 0.0;
  GProp_GProps props;
  BRepGProp::VolumeProperties(shape, props);
  return props.Mass();
}

bool hasVolume(const TopoDS_Shape& shape) {
  if (shape.IsNull()) return false;
  TopExp_Explorer solids(shape, TopAbs_SOLID);
  return solids.More() && volumeOf(shape) > 1e-12;
}

}  // namespace tabrik::solid
