// What the plotter's drawing context hands on: 2D primitives in view coordinates (the
// model seen along the view direction; x right, y up) with their pen. One sink
// measures (the extents), one paints (cairo), one sorts by depth for 3D views.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tabrik::plot {

struct Point2 {
  double x, y;
};

// How a line is drawn: its colour, its weight on paper and its dash pattern.
struct Pen {
  std::uint32_t rgb = 0;
  // Millimetres on paper; 0 is the thinnest line the output can show.
  double weightMm = 0;
  // Alternating drawn and skipped lengths in view units, starting with a drawn one;
  // empty for a continuous line. Shared: many primitives use one pattern.
  std::shared_ptr<const std::vector<double>> dashes;

  bool operator==(const Pen& other) const {
    return rgb == other.rgb && weightMm == other.weightMm && dashes == other.dashes;
  }
};

// A line of text: its left end on the baseline, the unit directions of its baseline and
// of its glyphs' up (not at right angles when mirrored or seen askew: the glyphs then
// follow them), the height of a capital, the width factor, the slant of the glyphs
// (radians from upright) and the font file the text's style names ("" for the
// default font).
struct TextRun {
  Point2 position;
  Point2 direction{1, 0}, up{0, 1};
  double height = 0, widthFactor = 1, oblique = 0;
  std::string fontFile;
  std::string utf8;
};

class PlotSink {
 public:
  virtual ~PlotSink() = default;
  // How near the next primitive is to the viewer (larger is nearer); only a sorting
  // sink cares. Faces turned away from the viewer go in tier 0, under everything else:
  // on a closed body the faces turned towards the viewer cover them wherever they
  // overlap, which spares the painter's order most of its mistakes.
  virtual void depth(double, int /*tier*/ = 1) {}
  virtual void path(const std::vector<Point2>& points, bool closed, bool filled,
                    const Pen& pen) = 0;
  // A counter-clockwise arc from `start` through `sweep` radians (negative: clockwise).
  virtual void arc(Point2 center, double radius, double start, double sweep, const Pen& pen) = 0;
  virtual void text(const TextRun& run, std::uint32_t rgb) = 0;
  // Limits what follows to a rectangle in view coordinates, until unclip().
  virtual void clip(double, double, double, double) {}
  virtual void unclip() {}
  // Called once after the last primitive.
  virtual void finish() {}
};

}  // namespace tabrik::plot
