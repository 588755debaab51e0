// The 4x4 affine transform: composition, inversion and the standard constructions
// (translation, rotation about an axis, scaling, mirroring, coordinate systems).
#include <cmath>
#include <cstring>

#include "gemat3d.h"
#include "geplane.h"

const AcGeMatrix3d AcGeMatrix3d::kIdentity;

AcGeMatrix3d::AcGeMatrix3d() { setToIdentity(); }

AcGeMatrix3d& AcGeMatrix3d::setToIdentity() {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) entry[r][c] = r == c ? 1.0 : 0.0;
  return *this;
}

AcGeMatrix3d AcGeMatrix3d::translation(const AcGeVector3d& v) {
  AcGeMatrix3d m;
  m.entry[0][3] = v.x, m.entry[1][3] = v.y, m.entry[2][3] = v.z;
  return m;
}

AcGeMatrix3d AcGeMatrix3d::rotation(double angle, const AcGeVector3d& axis,
                                    const AcGePoint3d& center) {
  AcGeVector3d u = axis.normal();
  double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
  AcGeMatrix3d m;
  m.entry[0][0] = t * u.x * u.x + c;
  m.entry[0][1] = t * u.x * u.y - s * u.z;
  m.entry[0][2] = t * u.x * u.z + s * u.y;
  m.entry[1][0] = t * u.x * u.y + s * u.z;
  m.entry[1][1] = t * u.y * u.y + c;
  m.entry[1][2] = t * u.y * u.z - s * u.x;
  m.entry[2][0] = t * u.x * u.z - s * u.y;
  m.entry[2][1] = t * u.y * u.z + s * u.x;
  m.entry[2][2] = t * u.z * u.z + c;
  // Rotating about `center`: p' = R(p - c) + c.
  AcGePoint3d moved = m * center;
  m.entry[0][3] = center.x - moved.x;
  m.entry[1][3] = center.y - moved.y;
  m.entry[2][3] = center.z - moved.z;
  return m;
}

AcGeMatrix3d AcGeMatrix3d::scaling(double scale, const AcGePoint3d& center) {
  AcGeMatrix3d m;
  for (int i = 0; i < 3; ++i) {
    m.entry[i][i] = scale;
    m.entry[i][3] = center[i] * (1 - scale);
  }
  return m;
}

AcGeMatrix3d AcGeMatrix3d::mirroring(const AcGePlane& plane) {
  AcGeVector3d n = plane.normal();
  AcGeMatrix3d m;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) m.entry[r][c] = (r == c ? 1.0 : 0.0) - 2 * n[r] * n[c];
  AcGePoint3d o = plane.pointOnPlane();
  AcGePoint3d moved = m * o;
  for (int i = 0; i < 3; ++i) m.entry[i][3] = o[i] - moved[i];
  return m;
}

AcGeMatrix3d AcGeMatrix3d::planeToWorld(const AcGeVector3d& normal) {
  AcGeVector3d z = normal.normal();
  if (z.isZeroLength()) z = AcGeVector3d::kZAxis;
  AcGeVector3d x = z.perpVector();
  AcGeVector3d y = z.crossProduct(x).normal();
  AcGeMatrix3d m;
  return m.setCoordSystem(AcGePoint3d::kOrigin, x, y, z);
}

AcGeMatrix3d AcGeMatrix3d::worldToPlane(const AcGeVector3d& normal) {
  return planeToWorld(normal).inverse();
}

AcGeMatrix3d& AcGeMatrix3d::setCoordSystem(const AcGePoint3d& origin, const AcGeVector3d& x,
                                           const AcGeVector3d& y, const AcGeVector3d& z) {
  setToIdentity();
  for (int r = 0; r < 3; ++r) {
    entry[r][0] = x[r];
    entry[r][1] = y[r];
    entry[r][2] = z[r];
    entry[r][3] = origin[r];
  }
  return *this;
}

void AcGeMatrix3d::getCoordSystem(AcGePoint3d& origin, AcGeVector3d& x, AcGeVector3d& y,
                                  AcGeVector3d& z) const {
  for (int r = 0; r < 3; ++r) {
    x[r] = entry[r][0];
    y[r] = entry[r][1];
    z[r] = entry[r][2];
    origin[r] = entry[r][3];
  }
}

AcGeMatrix3d AcGeMatrix3d::alignCoordSys(const AcGePoint3d& fo, const AcGeVector3d& fx,
                                         const AcGeVector3d& fy, const AcGeVector3d& fz,
                                         const AcGePoint3d& to, const AcGeVector3d& tx,
                                         const AcGeVector3d& ty, const AcGeVector3d& tz) {
  AcGeMatrix3d from, toM;
  from.setCoordSystem(fo, fx, fy, fz);
  toM.setCoordSystem(to, tx, ty, tz);
  return toM * from.inverse();
}

AcGeMatrix3d AcGeMatrix3d::operator*(const AcGeMatrix3d& o) const {
  AcGeMatrix3d m;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += entry[r][k] * o.entry[k][c];
      m.entry[r][c] = sum;
    }
  return m;
}

double AcGeMatrix3d::det() const {
  const auto& e = entry;
  // Affine matrices keep (0 0 0 1) as the last row, so the 3x3 block decides.
  return e[0][0] * (e[1][1] * e[2][2] - e[1][2] * e[2][1]) -
         e[0][1] * (e[1][0] * e[2][2] - e[1][2] * e[2][0]) +
         e[0][2] * (e[1][0] * e[2][1] - e[1][1] * e[2][0]);
}

bool AcGeMatrix3d::isSingular(const AcGeTol& tol) const {
  return std::fabs(det()) <= tol.equalPoint();
}

AcGeMatrix3d AcGeMatrix3d::inverse() const {
  double d = det();
  if (d == 0)
    return *this;  // defensive: a singular transform has no inverse; callers check isSingular
  const auto& e = entry;
  AcGeMatrix3d m;
  m.entry[0][0] = (e[1][1] * e[2][2] - e[1][2] * e[2][1]) / d;
  m.entry[0][1] = (e[0][2] * e[2][1] - e[0][1] * e[2][2]) / d;
  m.entry[0][2] = (e[0][1] * e[1][2] - e[0][2] * e[1][1]) / d;
  m.entry[1][0] = (e[1][2] * e[2][0] - e[1][0] * e[2][2]) / d;
  m.entry[1][1] = (e[0][0] * e[2][2] - e[0][2] * e[2][0]) / d;
  m.entry[1][2] = (e[0][2] * e[1][0] - e[0][0] * e[1][2]) / d;
  m.entry[2][0] = (e[1][0] * e[2][1] - e[1][1] * e[2][0]) / d;
  m.entry[2][1] = (e[0][1] * e[2][0] - e[0][0] * e[2][1]) / d;
  m.entry[2][2] = (e[0][0] * e[1][1] - e[0][1] * e[1][0]) / d;
  for (int r = 0; r < 3; ++r) {
    double t = 0;
    for (int k = 0; k < 3; ++k) t -= m.entry[r][k] * e[k][3];
    m.entry[r][3] = t;
  }
  return m;
}

bool AcGeMatrix3d::isEqualTo(const AcGeMatrix3d& o, const AcGeTol& tol) const {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      if (std::fabs(entry[r][c] - o.entry[r][c]) > tol.equalVector()) return false;
  return true;
}

double AcGeMatrix3d::scale() const {
  AcGeVector3d x{entry[0][0], entry[1][0], entry[2][0]};
  return x.length();
}

bool AcGeMatrix3d::isUniScaledOrtho(const AcGeTol& tol) const {
  AcGeVector3d x{entry[0][0], entry[1][0], entry[2][0]};
  AcGeVector3d y{entry[0][1], entry[1][1], entry[2][1]};
  AcGeVector3d z{entry[0][2], entry[1][2], entry[2][2]};
  double s = x.length();
  if (s <= tol.equalVector()) return false;
  double eps = 1e-9 * s;
  return std::fabs(y.length() - s) <= eps && std::fabs(z.length() - s) <= eps &&
         std::fabs(x.dotProduct(y)) <= eps * s && std::fabs(x.dotProduct(z)) <= eps * s &&
         std::fabs(y.dotProduct(z)) <= eps * s;
}
