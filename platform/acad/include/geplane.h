// An unbounded plane through a point with a normal; the XY plane by default.
#pragma once
#include "gept3d.h"

class AcGePlane {
 public:
  AcGePlane() = default;
  AcGePlane(const AcGePoint3d& origin, const AcGeVector3d& normal)
      : m_origin(origin), m_normal(normal.normal()) {}
  static const AcGePlane kXYPlane;
  AcGePoint3d pointOnPlane() const { return m_origin; }
  AcGeVector3d normal() const { return m_normal; }
  double signedDistanceTo(const AcGePoint3d& p) const {
    return (p - m_origin).dotProduct(m_normal);
  }
  double distanceTo(const AcGePoint3d& p) const;
  bool isOn(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const {
    return distanceTo(p) <= tol.equalPoint();
  }
  void getCoefficients(double& a, double& b, double& c, double& d) const;

 private:
  AcGePoint3d m_origin;
  AcGeVector3d m_normal{0, 0, 1};
};
