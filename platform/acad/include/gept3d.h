// A 3D point.
#pragma once
#include "gept2d.h"
#include "gevec3d.h"

class AcGePoint3d {
 public:
  AcGePoint3d() = default;
  AcGePoint3d(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}
  static const AcGePoint3d kOrigin;

  double distanceTo(const AcGePoint3d& p) const { return (*this - p).length(); }
  bool isEqualTo(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const {
    return distanceTo(p) <= tol.equalPoint();
  }
  AcGePoint3d& transformBy(const AcGeMatrix3d& matrix);
  AcGePoint3d& set(double xx, double yy, double zz) {
    x = xx, y = yy, z = zz;
    return *this;
  }
  AcGePoint2d convert2d() const { return {x, y}; }
  AcGeVector3d asVector() const { return {x, y, z}; }
  // The point projected along `direction` onto the plane.
  AcGePoint3d project(const AcGePlane& plane, const AcGeVector3d& direction) const;
  AcGePoint3d orthoProject(const AcGePlane& plane) const;

  AcGeVector3d operator-(const AcGePoint3d& p) const { return {x - p.x, y - p.y, z - p.z}; }
  AcGePoint3d operator+(const AcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
  AcGePoint3d operator-(const AcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
  AcGePoint3d& operator+=(const AcGeVector3d& v) { return *this = *this + v; }
  AcGePoint3d& operator-=(const AcGeVector3d& v) { return *this = *this - v; }
  bool operator==(const AcGePoint3d& p) const { return isEqualTo(p); }
  bool operator!=(const AcGePoint3d& p) const { return !isEqualTo(p); }
  double operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
  double& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }

  double x = 0.0, y = 0.0, z = 0.0;
};

AcGePoint3d operator*(const AcGeMatrix3d& matrix, const AcGePoint3d& point);
