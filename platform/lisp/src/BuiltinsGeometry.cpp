// Point geometry: polar, angle, distance, inters, and trans for a host whose user
// coordinate system is the world one.
#include <cmath>

#include "RuntimeInternal.h"

namespace tabrik::lisp {

namespace {

constexpr double kPi = 3.14159265358979323846;

bool is3d(const Value& point) { return point.length() == 3; }

Value bi_polar(Runtime&, Args a) {
  checkArgCount(a, 3, 3);
  auto p = pointArg(a[0]);
  double angle = numberArg(a[1]);
  double distance = numberArg(a[2]);
  double x = p[0] + distance * std::cos(angle);
  double y = p[1] + distance * std::sin(angle);
  return is3d(a[0]) ? Value::point(x, y, p[2]) : Value::point(x, y);
}

Value bi_angle(Runtime&, Args a) {
  checkArgCount(a, 2, 2);
  auto p = pointArg(a[0]);
  auto q = pointArg(a[1]);
  double angle = std::atan2(q[1] - p[1], q[0] - p[0]);
  if (angle < 0) angle += 2 * kPi;
  return Value::real(angle);
}

Value bi_distance(Runtime&, Args a) {
  checkArgCount(a, 2, 2);
  auto p = pointArg(a[0]);
  auto q = pointArg(a[1]);
  double dz = is3d(a[0]) && is3d(a[1]) ? q[2] - p[2] : 0.0;
  return Value::real(
      std::sqrt((q[0] - p[0]) * (q[0] - p[0]) + (q[1] - p[1]) * (q[1] - p[1]) + dz * dz));
}

// Intersection of lines p1p2 and p3p4. With four 3D points the lines must meet in
// space; otherwise they are compared in the XY plane. onSegments limits the result
// to both segments (with a small tolerance for end points).
Value bi_inters(Runtime&, Args a) {
  checkArgCount(a, 4, 5);
  std::array<double, 3> p[4];
  bool all3d = true;
  for (int i = 0; i < 4; ++i) {
    p[i] = pointArg(a[i]);
    all3d = all3d && is3d(a[i]);
  }
  if (!all3d)
    for (auto& point : p) point[2] = 0;
  bool onSegments = a.size() < 5 || a[4].isTrue();
  std::array<double, 3> d1{}, d2{}, w{};
  for (int k = 0; k < 3; ++k) {
    d1[k] = p[1][k] - p[0][k];
    d2[k] = p[3][k] - p[2][k];
    w[k] = p[2][k] - p[0][k];
  }
  // Solve p0 + s d1 = p2 + t d2 in the least-squares sense, then check the residual.
  auto dot = [](const std::array<double, 3>& u, const std::array<double, 3>& v) {
    return u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
  };
  double a11 = dot(d1, d1), a12 = -dot(d1, d2), a22 = dot(d2, d2);
  double b1 = dot(w, d1), b2 = -dot(w, d2);
  double det = a11 * a22 - a12 * a12;
  double scale = a11 * a22;
  if (scale == 0 || std::fabs(det) <= 1e-12 * scale) return Value();
  double s = (b1 * a22 - a12 * b2) / det;
  double t = (a11 * b2 - a12 * b1) / det;
  std::array<double, 3> x{}, y{};
  for (int k = 0; k < 3; ++k) {
    x[k] = p[0][k] + s * d1[k];
    y[k] = p[2][k] + t * d2[k];
  }
  double gap = std::sqrt((x[0] - y[0]) * (x[0] - y[0]) + (x[1] - y[1]) * (x[1] - y[1]) +
                         (x[2] - y[2]) * (x[2] - y[2]));
  double size = std::sqrt(a11) + std::sqrt(a22) + std::sqrt(dot(w, w));
  if (gap > 1e-10 * std::max(1.0, size)) return Value();
  constexpr double kTolerance = 1e-10;
  if (onSegments &&
      (s < -kTolerance || s > 1 + kTolerance || t < -kTolerance || t > 1 + kTolerance))
    return Value();
  return all3d ? Value::point(x[0], x[1], x[2]) : Value::point(x[0], x[1]);
}

// Without a modelled user coordinate system every supported system is the world
// one, so the point comes back unchanged (as reals).
Value bi_trans(Runtime&, Args a) {
  checkArgCount(a, 3, 4);
  auto p = pointArg(a[0]);
  return is3d(a[0]) ? Value::point(p[0], p[1], p[2]) : Value::point(p[0], p[1]);
}

}  // namespace

void installGeometryBuiltins(Runtime& rt) {
  defineNative(rt, "POLAR", bi_polar);
  defineNative(rt, "ANGLE", bi_angle);
  defineNative(rt, "DISTANCE", bi_distance);
  defineNative(rt, "INTERS", bi_inters);
  defineNative(rt, "TRANS", bi_trans);
}

}  // namespace tabrik::lisp
