// The component's geometry on the modelling kernel: duct sections, the bodies that
// sweep them, and the conversions between the host's and the kernel's types. Every
// function here may throw the kernel's Standard_Failure (or return a null shape); the
// entity's operations catch and turn both into a false result.
#pragma once
#include <gp_Dir.hxx>
#include <gp_Pnt.hxx>
#include <gp_Vec.hxx>
#include <TopoDS_Shape.hxx>
#include <TopoDS_Wire.hxx>

#include <gept3d.h>
#include <gevec3d.h>

namespace tabrik::solid {

// A right-handed orthonormal frame: the section's axis, width and height directions.
struct Frame {
  gp_Dir x, y, z;
};

inline gp_Pnt toPnt(const AcGePoint3d& p) { return gp_Pnt(p.x, p.y, p.z); }
inline gp_Vec toVec(const AcGeVector3d& v) { return gp_Vec(v.x, v.y, v.z); }
inline AcGePoint3d toPoint(const gp_Pnt& p) { return AcGePoint3d(p.X(), p.Y(), p.Z()); }

// The caller's three vectors as a frame: each normalised; the height direction is
// remade as axis x width so that the frame is orthonormal. False for a null array, a
// zero or non-finite vector, or a width direction parallel to the axis.
bool frameOf(const AcGeVector3d* vectors, Frame& frame);

// Smallest section size and axis length the kernel is asked to build.
constexpr double kMinSize = 1e-6;

enum class SectionShape { Rectangle, Round };

// The closed section wire centred at c in the plane of the frame's width and height
// directions: four edges whose vertices lie, in order, in the quadrants (+w,+h),
// (-w,+h), (-w,-h), (+w,-h), so that any two sections loft edge to edge. A round shape
// with width == height is a circle; with unequal sizes a flat oval (two half circles on
// the short sides).
TopoDS_Wire sectionWire(const gp_Pnt& c, const Frame& frame, SectionShape shape, double width,
                        double height);
// The area the section wire encloses (independent of the kernel, for checks).
double sectionArea(SectionShape shape, double width, double height);

// A prism (equal sections, parallel frames, axis along the frame) or a ruled taper from
// the start section to the end section.
TopoDS_Shape sweptSection(const gp_Pnt& start, const Frame& startFrame, SectionShape startShape,
                          double startWidth, double startHeight, const gp_Pnt& end,
                          const Frame& endFrame, SectionShape endShape, double endWidth,
                          double endHeight);

// The section at `start` turned about the axis through `centre` along `normal` by
// `angle` (radians, right-handed).
TopoDS_Shape revolvedSection(const gp_Pnt& start, const Frame& frame, SectionShape shape,
                             double width, double height, const gp_Pnt& centre,
                             const gp_Dir& normal, double angle);

// Booleans; a failed operation throws.
TopoDS_Shape fuse(const TopoDS_Shape& a, const TopoDS_Shape& b);
TopoDS_Shape cut(const TopoDS_Shape& a, const TopoDS_Shape& b);
// The part of the body on the side of the plane (through p, normal n) where keep lies.
TopoDS_Shape keepSide(const TopoDS_Shape& body, const gp_Pnt& p, const gp_Dir& n,
                      const gp_Pnt& keep);

double volumeOf(const TopoDS_Shape& shape);
// True when the shape holds at least one solid of positive volume.
bool hasVolume(const TopoDS_Shape& shape);

}  // namespace tabrik::solid
