// Plane geometry of the drawing commands: arcs from the ways the commands define them.
#include "aced/command/CommandGeometry.h"

#include <algorithm>
#include <cmath>

namespace tabrik::acad::command {

namespace {

constexpr double kTwoPi = 2 * M_PI;
constexpr double kTiny = 1e-10;

double normalized(double angle) {
  angle = std::fmod(angle, kTwoPi);
  if (angle < 0) angle += kTwoPi;
  return angle >= kTwoPi ? 0.0 : angle;
}

double planarDistance(const AcGePoint3d& a, const AcGePoint3d& b) {
  return std::hypot(b.x - a.x, b.y - a.y);
}

}  // namespace

double directionOf(const AcGePoint3d& from, const AcGePoint3d& to) {
  return normalized(std::atan2(to.y - from.y, to.x - from.x));
}

double turnBetween(double from, double to) {
  double turn = normalized(to - from);
  return turn > M_PI ? turn - kTwoPi : turn;
}

AcGePoint3d polarPoint(const AcGePoint3d& from, double direction, double distance) {
  return AcGePoint3d(from.x + distance * std::cos(direction),
                     from.y + distance * std::sin(direction), from.z);
}

double counterClockwiseSweep(double from, double to) {
  double sweep = normalized(to - from);
  return sweep < kTiny ? kTwoPi : sweep;
}

AcGePoint3d SweptArc::center() const {
  const double chord = planarDistance(start, end);
  const double dx = (end.x - start.x) / chord, dy = (end.y - start.y) / chord;
  // The centre lies on the chord's bisector, left of the chord for a counter-clockwise
  // minor arc; tan(sweep / 2) carries both the side and the distance.
  const double offset = chord / 2 / std::tan(sweep / 2);
  return AcGePoint3d((start.x + end.x) / 2 - dy * offset, (start.y + end.y) / 2 + dx * offset,
                     start.z);
}

double SweptArc::radius() const {
  return planarDistance(start, end) / (2 * std::fabs(std::sin(sweep / 2)));
}

double SweptArc::bulge() const { return std::tan(sweep / 4); }

double SweptArc::arcStartAngle() const { return directionOf(center(), sweep > 0 ? start : end); }

double SweptArc::arcEndAngle() const { return directionOf(center(), sweep > 0 ? end : start); }

double SweptArc::endDirection() const {
  return normalized(directionOf(center(), end) + (sweep > 0 ? M_PI / 2 : -M_PI / 2));
}

std::optional<CircleFit> circleThrough(const AcGePoint3d& a, const AcGePoint3d& b,
                                       const AcGePoint3d& c) {
  const double bx = b.x - a.x, by = b.y - a.y, cx = c.x - a.x, cy = c.y - a.y;
  const double d = 2 * (bx * cy - by * cx);
  const double scale = std::max({std::fabs(bx), std::fabs(by), std::fabs(cx), std::fabs(cy), 1.0});
  if (std::fabs(d) <= kTiny * scale * scale) return std::nullopt;
  const double b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
  const double ux = (cy * b2 - by * c2) / d, uy = (bx * c2 - cx * b2) / d;
  CircleFit fit;
  fit.center = AcGePoint3d(a.x + ux, a.y + uy, a.z);
  fit.radius = std::hypot(ux, uy);
  return fit;
}

std::optional<SweptArc> arcThrough(const AcGePoint3d& start, const AcGePoint3d& middle,
                                   const AcGePoint3d& end) {
  std::optional<CircleFit> fit = circleThrough(start, middle, end);
  if (!fit) return std::nullopt;
  const double cross =
      (middle.x - start.x) * (end.y - start.y) - (middle.y - start.y) * (end.x - start.x);
  const double from = directionOf(fit->center, start), to = directionOf(fit->center, end);
  // Turning left on the way through the middle point: counter-clockwise.
  double sweep = cross > 0 ? counterClockwiseSweep(from, to) : -counterClockwiseSweep(to, from);
  return arcBetween(start, end, sweep);
}

std::optional<SweptArc> arcTangentTo(const AcGePoint3d& start, double direction,
                                     const AcGePoint3d& end) {
  if (planarDistance(start, end) < kTiny) return std::nullopt;
  // The tangent at the start makes half the included angle with the chord.
  const double half = turnBetween(direction, directionOf(start, end));
  return arcBetween(start, end, 2 * half);
}

SweptArc arcAbout(const AcGePoint3d& center, const AcGePoint3d& start, double sweep) {
  const double radius = planarDistance(center, start);
  SweptArc arc;
  arc.start = start;
  arc.end = polarPoint(center, directionOf(center, start) + sweep, radius);
  arc.end.z = start.z;
  arc.sweep = sweep;
  return arc;
}

std::optional<SweptArc> arcBetween(const AcGePoint3d& start, const AcGePoint3d& end, double sweep) {
  if (planarDistance(start, end) < kTiny) return std::nullopt;
  if (std::fabs(sweep) < kTiny || std::fabs(std::fabs(sweep) - kTwoPi) < kTiny) return std::nullopt;
  if (std::fabs(sweep) > kTwoPi) return std::nullopt;
  SweptArc arc;
  arc.start = start;
  arc.end = end;
  arc.end.z = start.z;
  arc.sweep = sweep;
  return arc;
}

std::optional<double> sweepForRadius(double chord, double radius) {
  if (radius == 0 || chord <= 0 || chord > 2 * std::fabs(radius) * (1 + kTiny)) return std::nullopt;
  const double minor = 2 * std::asin(std::min(1.0, chord / (2 * std::fabs(radius))));
  return radius > 0 ? minor : kTwoPi - minor;
}

std::optional<double> sweepForChord(double radius, double chord) {
  if (radius <= 0 || chord == 0 || std::fabs(chord) > 2 * radius * (1 + kTiny)) return std::nullopt;
  const double minor = 2 * std::asin(std::min(1.0, std::fabs(chord) / (2 * radius)));
  return chord > 0 ? minor : kTwoPi - minor;
}

}  // namespace tabrik::acad::command
