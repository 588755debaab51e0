// Plotting a drawing to a picture on white paper: PNG, SVG or PDF by the output's
// extension. Every entity draws itself through its worldDraw, so a custom class needs
// no plotter code; layers that are off or frozen are left out; colours, linetypes and
// lineweights follow the entity, its layer (ByLayer) or the block reference that draws
// it (ByBlock), with colour 7 black on white paper.
#pragma once
#include <string>

class AcDbDatabase;

namespace tabrik::plot {

// Where the plot looks from: straight down (top), or one of the four isometric views
// (from the south-west, south-east, north-east or north-west, above).
enum class ViewDirection { Top, SouthWest, SouthEast, NorthEast, NorthWest };

struct PlotOptions {
  std::string output;  // .png, .svg or .pdf
  // The picture's width in pixels (PNG) or points (SVG, PDF); the height follows the
  // plotted area's proportions. Not used when a paper size is given.
  int width = 1600;
  // What is plotted: the drawing's extents, or this window (view coordinates, which
  // are model coordinates seen from the top).
  bool window = false;
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  // A sheet instead of a width: "A4", "A3", "A2", "A1", "A0", "letter", "legal",
  // "tabloid" (any letter case); turned to landscape when the plotted area is wider
  // than tall. A PNG sheet has `dpi` pixels to the inch.
  std::string paper;
  int dpi = 150;
  // Millimetres of paper per drawing unit (1:50 with drawing units in millimetres is
  // 0.02); 0 fits the plotted area to the sheet.
  double paperScale = 0;
  ViewDirection view = ViewDirection::Top;
  // Plot paper space (its entities, and through each viewport the model as the
  // viewport shows it) instead of model space.
  bool layout = false;
  // The lineweight "Default" stands for, in hundredths of a millimetre.
  int lwdefault = 25;
};

// Reads the options the command line and host:plot share; false with a message for a
// value that does not fit. Sizes: "A4" ...; scales: "1:50", "2:1" or a number; views:
// "top", "sw", "se", "ne", "nw" (any letter case).
bool parsePaper(const std::string& text, std::string& paper, std::string& error);
bool parseScale(const std::string& text, double& scale, std::string& error);
bool parseView(const std::string& text, ViewDirection& view, std::string& error);

// True when the picture was written; false with a message saying why (an unknown
// extension, an output that cannot be written, a window of no size).
bool plotDrawing(AcDbDatabase* database, const PlotOptions& options, std::string& error);

}  // namespace tabrik::plot
