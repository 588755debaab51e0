// What the plotter's drawing context hands on: 2D primitives in model coordinates with
// their colour. One sink measures (the extents), the other paints (cairo).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tabrik::plot {

struct Point2 {
  double x, y;
};

class PlotSink {
 public:
  virtual ~PlotSink() = default;
  virtual void path(const std::vector<Point2>& points, bool closed, bool filled,
                    std::uint32_t rgb) = 0;
  // A counter-clockwise arc from `start` through `sweep` radians (negative: clockwise).
  virtual void arc(Point2 center, double radius, double start, double sweep, std::uint32_t rgb) = 0;
  // Text on its baseline from `position`, rotated by `angle`, `height` tall, stretched
  // by `widthFactor`.
  virtual void text(Point2 position, double angle, double height, double widthFactor,
                    const std::string& utf8, std::uint32_t rgb) = 0;
};

}  // namespace tabrik::plot
