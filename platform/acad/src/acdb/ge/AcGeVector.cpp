// Points, vectors, scales and planes: the arithmetic behind every entity's geometry.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "gemat3d.h"
#include "geplane.h"
#include "gescl3d.h"

AcGeTol AcGeContext::gTol;

const AcGeVector2d AcGeVector2d::kIdentity{0, 0};
const AcGeVector2d AcGeVector2d::kXAxis{1, 0};
const AcGeVector2d AcGeVector2d::kYAxis{0, 1};
const AcGePoint2d AcGePoint2d::kOrigin{0, 0};
const AcGeVector3d AcGeVector3d::kIdentity{0, 0, 0};
const AcGeVector3d AcGeVector3d::kXAxis{1, 0, 0};
const AcGeVector3d AcGeVector3d::kYAxis{0, 1, 0};
const AcGeVector3d AcGeVector3d::kZAxis{0, 0, 1};
const AcGePoint3d AcGePoint3d::kOrigin{0, 0, 0};
const AcGePlane AcGePlane::kXYPlane{};

double AcGeVector2d::length() const { return std::hypot(x, y); }

double AcGeVector2d::angle() const {
  double a = std::atan2(y, x);
  return a < 0 ? a + 2 * std::numbers::pi : a;
}

AcGeVector2d AcGeVector2d::normal(const AcGeTol& tol) const {
  double len = length();
  return len <= tol.equalVector() ? *this : AcGeVector2d{x / len, y / len};
}

AcGeVector2d& AcGeVector2d::normalize(const AcGeTol& tol) { return *this = normal(tol); }

bool AcGeVector2d::isEqualTo(const AcGeVector2d& v, const AcGeTol& tol) const {
  return (*this - v).length() <= tol.equalVector();
}

double AcGeVector3d::length() const { return std::sqrt(lengthSqrd()); }

AcGeVector3d AcGeVector3d::normal(const AcGeTol& tol) const {
  double len = length();
  return len <= tol.equalVector() ? *this : *this / len;
}

AcGeVector3d& AcGeVector3d::normalize(const AcGeTol& tol) { return *this = normal(tol); }

AcGeVector3d AcGeVector3d::perpVector() const {
  // The arbitrary axis rule: cross with world Y unless close to the Z axis, as DXF does.
  AcGeVector3d n = normal();
  if (std::fabs(n.x) < 1.0 / 64 && std::fabs(n.y) < 1.0 / 64)
    return kYAxis.crossProduct(n).normal();
  return kZAxis.crossProduct(n).normal();
}

double AcGeVector3d::angleTo(const AcGeVector3d& v) const {
  double a = length() * v.length();
  if (a == 0) return 0;
  double c = dotProduct(v) / a;
  return std::acos(std::clamp(c, -1.0, 1.0));
}

double AcGeVector3d::angleTo(const AcGeVector3d& v, const AcGeVector3d& reference) const {
  double angle = angleTo(v);
  if (crossProduct(v).dotProduct(reference) < 0) angle = 2 * std::numbers::pi - angle;
  return angle >= 2 * std::numbers::pi ? 0.0 : angle;
}

AcGeVector3d& AcGeVector3d::rotateBy(double angle, const AcGeVector3d& axis) {
  return transformBy(AcGeMatrix3d::rotation(angle, axis));
}

AcGeVector3d& AcGeVector3d::transformBy(const AcGeMatrix3d& m) {
  const auto& e = m.entry;
  return *this = {e[0][0] * x + e[0][1] * y + e[0][2] * z, e[1][0] * x + e[1][1] * y + e[1][2] * z,
                  e[2][0] * x + e[2][1] * y + e[2][2] * z};
}

bool AcGeVector3d::isUnitLength(const AcGeTol& tol) const {
  return std::fabs(length() - 1.0) <= tol.equalVector();
}

bool AcGeVector3d::isParallelTo(const AcGeVector3d& v, const AcGeTol& tol) const {
  if (isZeroLength(tol) || v.isZeroLength(tol)) return false;
  return normal().crossProduct(v.normal()).length() <= tol.equalVector();
}

bool AcGeVector3d::isCodirectionalTo(const AcGeVector3d& v, const AcGeTol& tol) const {
  return isParallelTo(v, tol) && dotProduct(v) > 0;
}

bool AcGeVector3d::isPerpendicularTo(const AcGeVector3d& v, const AcGeTol& tol) const {
  if (isZeroLength(tol) || v.isZeroLength(tol)) return false;
  return std::fabs(normal().dotProduct(v.normal())) <= tol.equalVector();
}

bool AcGeVector3d::isEqualTo(const AcGeVector3d& v, const AcGeTol& tol) const {
  return (*this - v).length() <= tol.equalVector();
}

AcGePoint3d& AcGePoint3d::transformBy(const AcGeMatrix3d& m) { return *this = m * *this; }

AcGePoint3d operator*(const AcGeMatrix3d& m, const AcGePoint3d& p) {
  const auto& e = m.entry;
  return {e[0][0] * p.x + e[0][1] * p.y + e[0][2] * p.z + e[0][3],
          e[1][0] * p.x + e[1][1] * p.y + e[1][2] * p.z + e[1][3],
          e[2][0] * p.x + e[2][1] * p.y + e[2][2] * p.z + e[2][3]};
}

AcGePoint3d AcGePoint3d::project(const AcGePlane& plane, const AcGeVector3d& direction) const {
  double along = direction.dotProduct(plane.normal());
  if (std::fabs(along) <= AcGeContext::gTol.equalVector()) return orthoProject(plane);
  return *this - direction * (plane.signedDistanceTo(*this) / along);
}

AcGePoint3d AcGePoint3d::orthoProject(const AcGePlane& plane) const {
  return *this - plane.normal() * plane.signedDistanceTo(*this);
}

bool AcGeScale3d::isEqualTo(const AcGeScale3d& s, const AcGeTol& tol) const {
  return std::fabs(sx - s.sx) <= tol.equalVector() && std::fabs(sy - s.sy) <= tol.equalVector() &&
         std::fabs(sz - s.sz) <= tol.equalVector();
}

double AcGePlane::distanceTo(const AcGePoint3d& p) const { return std::fabs(signedDistanceTo(p)); }

void AcGePlane::getCoefficients(double& a, double& b, double& c, double& d) const {
  a = m_normal.x, b = m_normal.y, c = m_normal.z;
  d = -m_normal.dotProduct(m_origin.asVector());
}
