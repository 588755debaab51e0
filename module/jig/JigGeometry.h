// The small geometry the jigs share: the module's pi, the polar step, and the angle the
// drawing keeps for an angle the host hands a sampler.
#pragma once
#include <cmath>

#include <acutads.h>
#include <gept3d.h>

namespace tabrik::arx::draw {

// The module's pi (eight decimals): results that LISP compares are built on it.
constexpr double kPi = 3.14159265;
constexpr double kHalfPi = kPi / 2;

// The point at distance d from p in direction t, in the plane of p.
inline AcGePoint3d polar(const AcGePoint3d& p, double t, double d) {
  return AcGePoint3d(p.x + d * std::cos(t), p.y + d * std::sin(t), p.z);
}

// A sampled angle as the drawing keeps it: the angle of the direction at that angle
// from the origin, so that typed angles of any size come back in [0, 2pi).
inline double drawingAngle(double angle) {
  if (!std::isfinite(angle)) return 0.0;
  ads_point origin = {0, 0, 0};
  ads_point direction = {std::cos(angle), std::sin(angle), 0};
  return acutAngle(origin, direction);
}

}  // namespace tabrik::arx::draw
