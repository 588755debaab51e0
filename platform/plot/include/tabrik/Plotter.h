// Plotting a drawing's model space to a picture on white paper: PNG, SVG or PDF by the
// output's extension. Every entity draws itself through its worldDraw, so a custom
// class needs no plotter code; layers that are off or frozen are left out; colours
// follow the entity, its layer (ByLayer) or the block reference that draws it
// (ByBlock), with colour 7 black on white paper.
#pragma once
#include <string>

class AcDbDatabase;

namespace tabrik::plot {

struct PlotOptions {
  std::string output;  // .png, .svg or .pdf
  // The picture's width in pixels (PNG) or points (SVG, PDF); the height follows the
  // plotted area's proportions.
  int width = 1600;
  // What is plotted: the drawing's extents, or this window (model coordinates).
  bool window = false;
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

// True when the picture was written; false with a message saying why (an unknown
// extension, an output that cannot be written, a window of no size).
bool plotDrawing(AcDbDatabase* database, const PlotOptions& options, std::string& error);

}  // namespace tabrik::plot
