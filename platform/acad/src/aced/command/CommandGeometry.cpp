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

namespace {

// A locus of centres: a line (point, unit direction) or a circle (centre, radius).
struct Locus {
  bool isLine;
  double px, py, dx, dy, r;
};

std::vector<Locus> lociOf(const TangentObject& object, double radius) {
  std::vector<Locus> loci;
  if (object.isLine) {
    const double nx = -object.direction.y, ny = object.direction.x;
    for (int side : {1, -1})
      loci.push_back(Locus{true, object.point.x + side * radius * nx,
                           object.point.y + side * radius * ny, object.direction.x,
                           object.direction.y, 0.0});
    return loci;
  }
  loci.push_back(Locus{false, object.point.x, object.point.y, 0, 0, object.radius + radius});
  if (std::fabs(object.radius - radius) > kTiny)
    loci.push_back(
        Locus{false, object.point.x, object.point.y, 0, 0, std::fabs(object.radius - radius)});
  return loci;
}

void meetLines(const Locus& a, const Locus& b, std::vector<AcGePoint3d>& out) {
  const double det = a.dx * b.dy - a.dy * b.dx;
  if (std::fabs(det) < kTiny) return;  // parallel: no single centre
  const double t = ((b.px - a.px) * b.dy - (b.py - a.py) * b.dx) / det;
  out.emplace_back(a.px + t * a.dx, a.py + t * a.dy, 0.0);
}

void meetLineCircle(const Locus& line, const Locus& circle, std::vector<AcGePoint3d>& out) {
  const double fx = line.px - circle.px, fy = line.py - circle.py;
  const double b = fx * line.dx + fy * line.dy;
  const double c = fx * fx + fy * fy - circle.r * circle.r;
  const double disc = b * b - c;
  if (disc < -kTiny) return;
  const double root = std::sqrt(std::max(0.0, disc));
  for (double t : {-b - root, -b + root}) {
    out.emplace_back(line.px + t * line.dx, line.py + t * line.dy, 0.0);
    if (root < kTiny) break;
  }
}

void meetCircles(const Locus& a, const Locus& b, std::vector<AcGePoint3d>& out) {
  const double dx = b.px - a.px, dy = b.py - a.py;
  const double d = std::hypot(dx, dy);
  if (d < kTiny || d > a.r + b.r + kTiny || d < std::fabs(a.r - b.r) - kTiny) return;
  const double along = (a.r * a.r - b.r * b.r + d * d) / (2 * d);
  const double h = std::sqrt(std::max(0.0, a.r * a.r - along * along));
  const double mx = a.px + along * dx / d, my = a.py + along * dy / d;
  out.emplace_back(mx - h * dy / d, my + h * dx / d, 0.0);
  if (h > kTiny) out.emplace_back(mx + h * dy / d, my - h * dx / d, 0.0);
}

}  // namespace

std::vector<AcGePoint3d> centersTangentTo(const TangentObject& a, const TangentObject& b,
                                          double radius) {
  std::vector<AcGePoint3d> centers;
  if (radius <= 0) return centers;
  for (const Locus& la : lociOf(a, radius)) {
    for (const Locus& lb : lociOf(b, radius)) {
      if (la.isLine && lb.isLine)
        meetLines(la, lb, centers);
      else if (la.isLine)
        meetLineCircle(la, lb, centers);
      else if (lb.isLine)
        meetLineCircle(lb, la, centers);
      else
        meetCircles(la, lb, centers);
    }
  }
  return centers;
}

AcGePoint3d tangentPoint(const TangentObject& object, const AcGePoint3d& center) {
  if (object.isLine) {
    const double t = (center.x - object.point.x) * object.direction.x +
                     (center.y - object.point.y) * object.direction.y;
    return AcGePoint3d(object.point.x + t * object.direction.x,
                       object.point.y + t * object.direction.y, object.point.z);
  }
  const double d = std::hypot(center.x - object.point.x, center.y - object.point.y);
  if (d < kTiny) return AcGePoint3d(object.point.x + object.radius, object.point.y, object.point.z);
  return AcGePoint3d(object.point.x + object.radius * (center.x - object.point.x) / d,
                     object.point.y + object.radius * (center.y - object.point.y) / d,
                     object.point.z);
}

}  // namespace tabrik::acad::command
