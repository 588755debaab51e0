// The plotter on drawings built here: SVG output checked by its elements (a line is a
// path between the mapped end points, a hidden layer draws nothing, colours resolve by
// layer and block), PNG output by where the ink lands, and bad input by a message.
#include <cairo.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "dbents.h"
#include "dbsymtb.h"
#include "tabrik/Plotter.h"

namespace {

using tabrik::plot::plotDrawing;
using tabrik::plot::PlotOptions;

std::string scratch(const char* name) {
  return "/tmp/tabrik_plot_" + std::to_string(getpid()) + "_" + name;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

AcDbObjectId addLayer(AcDbDatabase& db, const ACHAR* name, Adesk::UInt16 color, bool frozen) {
  AcDbLayerTable* layers = nullptr;
  db.getLayerTable(layers, AcDb::kForWrite);
  auto* layer = new AcDbLayerTableRecord;
  layer->setName(name);
  AcCmColor c;
  c.setColorIndex(color);
  layer->setColor(c);
  layer->setIsFrozen(frozen);
  AcDbObjectId id;
  layers->add(id, layer);
  layer->close();
  layers->close();
  return id;
}

void append(AcDbDatabase& db, AcDbEntity* entity, AcDbObjectId block = AcDbObjectId::kNull) {
  AcDbBlockTableRecord* space = nullptr;
  acdbOpenObject(space, block.isNull() ? db.modelSpaceId() : block, AcDb::kForWrite);
  space->appendAcDbEntity(entity);
  entity->close();
  space->close();
}

AcDbLine* line(double x1, double y1, double x2, double y2, int color) {
  auto* l = new AcDbLine({x1, y1, 0}, {x2, y2, 0});
  l->setColorIndex(static_cast<Adesk::UInt16>(color));
  return l;
}

std::string plotSvg(AcDbDatabase& db, int width, const char* name) {
  PlotOptions options;
  options.output = scratch(name);
  options.width = width;
  std::string error;
  EXPECT_TRUE(plotDrawing(&db, options, error)) << error;
  std::string svg = readFile(options.output);
  unlink(options.output.c_str());
  return svg;
}

// The stroked paths of an SVG: (colour, d) pairs.
std::vector<std::pair<std::string, std::string>> strokes(const std::string& svg) {
  std::vector<std::pair<std::string, std::string>> out;
  std::regex path(R"re(<path[^>]*style="([^"]*)"[^>]*d="([^"]*)")re");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), path); it != std::sregex_iterator();
       ++it) {
    std::smatch m = *it;
    std::smatch colour;
    std::string style = m[1];
    if (!std::regex_search(style, colour, std::regex(R"re(stroke:rgb\(([^)]*)\))re"))) continue;
    out.emplace_back(colour[1], m[2]);
  }
  return out;
}

// Each line's end points land where the page's mapping puts them: the extents fill the
// width less a margin of 10 on each side, y up.
TEST(Plot, LinesLandOnTheMappedPointsWithTheirColours) {
  AcDbDatabase db;
  append(db, line(0, 0, 100, 50, 1));
  append(db, line(0, 50, 100, 0, 7));
  const auto paths = strokes(plotSvg(db, 200, "lines.svg"));
  ASSERT_EQ(paths.size(), 2u);
  // scale (200 - 20) / 100 = 1.8; height 50 * 1.8 + 20 = 110.
  EXPECT_EQ(paths[0].second, "M 10 100 L 190 10 ");
  EXPECT_EQ(paths[0].first, "100%,0%,0%");
  EXPECT_EQ(paths[1].second, "M 10 10 L 190 100 ");
  EXPECT_EQ(paths[1].first, "0%,0%,0%");  // colour 7 is black on paper
}

TEST(Plot, HiddenLayersDrawNothingAndColoursFollowTheLayer) {
  AcDbDatabase db;
  const AcDbObjectId frozen = addLayer(db, L"HIDDEN", 1, true);
  const AcDbObjectId blue = addLayer(db, L"BLUE", 5, false);
  AcDbLine* far = line(1000, 1000, 2000, 2000, 1);
  far->setLayer(frozen);
  append(db, far);
  AcDbLine* shown = line(0, 0, 10, 0, 256);  // ByLayer
  shown->setLayer(blue);
  append(db, shown);
  const auto paths = strokes(plotSvg(db, 120, "layers.svg"));
  ASSERT_EQ(paths.size(), 1u);  // the frozen line neither draws nor widens the extents
  EXPECT_EQ(paths[0].first, "0%,0%,100%");
  EXPECT_EQ(paths[0].second.rfind("M 10 ", 0), 0u);
}

// A block reference draws its block where its transform puts it; ByBlock takes the
// reference's colour and layer "0" inside the block the reference's layer.
TEST(Plot, BlockContentsFollowTheReference) {
  AcDbDatabase db;
  AcDbBlockTable* blocks = nullptr;
  db.getBlockTable(blocks, AcDb::kForWrite);
  auto* record = new AcDbBlockTableRecord;
  record->setName(L"MARK");
  AcDbObjectId markId;
  blocks->add(markId, record);
  record->close();
  blocks->close();
  append(db, line(0, 0, 1, 0, 0), markId);  // ByBlock
  auto* reference = new AcDbBlockReference({10, 10, 0}, markId);
  reference->setScaleFactors(AcGeScale3d(20, 20, 20));
  reference->setRotation(M_PI / 2);
  reference->setColorIndex(3);
  append(db, reference);
  append(db, line(0, 0, 0, 0.001, 7));  // widens the extents to (0,0)-(10,30)
  const auto paths = strokes(plotSvg(db, 120, "block.svg"));
  ASSERT_EQ(paths.size(), 2u);
  // The block's line runs from (10,10) to (10,30); the extents are (0,0)-(10,30), so
  // the scale is (120 - 20) / 10 and x is 10 + 10 * s.
  const double s = 100.0 / 10.0;
  const double height = std::ceil(30 * s + 20);
  EXPECT_EQ(paths[0].first, "0%,100%,0%");
  EXPECT_NEAR(std::stod(paths[0].second.substr(2)), 10 + 10 * s, 1e-3);
  EXPECT_NEAR(std::stod(paths[0].second.substr(paths[0].second.find(' ', 2))), height - 10 - 10 * s,
              1e-3);
  const std::string to = paths[0].second.substr(paths[0].second.find('L') + 2);
  EXPECT_NEAR(std::stod(to), 10 + 10 * s, 1e-3);
  EXPECT_NEAR(std::stod(to.substr(to.find(' '))), height - 10 - 30 * s, 1e-3);
}

// A PNG of a circle: the ink's bounding box is the circle's, within a pixel or two.
TEST(Plot, PngInkLiesWhereTheCircleIs) {
  AcDbDatabase db;
  append(db, new AcDbCircle({50, 50, 0}, AcGeVector3d::kZAxis, 40));
  append(db, line(0, 0, 0.0001, 0, 7));
  append(db, line(100, 100, 100.0001, 100, 7));
  PlotOptions options;
  options.output = scratch("circle.png");
  options.width = 220;
  std::string error;
  ASSERT_TRUE(plotDrawing(&db, options, error)) << error;
  cairo_surface_t* png = cairo_image_surface_create_from_png(options.output.c_str());
  ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
  const int w = cairo_image_surface_get_width(png), h = cairo_image_surface_get_height(png);
  EXPECT_EQ(w, 220);
  EXPECT_EQ(h, 220);
  const unsigned char* data = cairo_image_surface_get_data(png);
  const int stride = cairo_image_surface_get_stride(png);
  int minX = w, minY = h, maxX = -1, maxY = -1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const auto* pixel = reinterpret_cast<const std::uint32_t*>(data + y * stride) + x;
      if ((*pixel & 0xFFFFFF) == 0xFFFFFF) continue;
      // The corner dots of the two short lines are not the circle's.
      if ((x < 14 && y > h - 14) || (x > w - 14 && y < 14)) continue;
      minX = std::min(minX, x), maxX = std::max(maxX, x);
      minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
  cairo_surface_destroy(png);
  unlink(options.output.c_str());
  // scale 2: the circle spans x and y from 10 + 10*2 = 30 to 10 + 90*2 = 190.
  EXPECT_NEAR(minX, 30, 2);
  EXPECT_NEAR(maxX, 190, 2);
  EXPECT_NEAR(minY, 30, 2);
  EXPECT_NEAR(maxY, 190, 2);
}

TEST(Plot, BadInputGivesAPictureOrAMessage) {
  struct Case {
    const char* what;
    std::string output;
    bool window;
    bool plotted;
  } cases[] = {
      {"an empty drawing gives a blank sheet", scratch("empty.svg"), false, true},
      {"an unknown extension", scratch("x.bmp"), false, false},
      {"an unwritable path", "/nonexistent-folder/x.png", false, false},
      {"a window of no size", scratch("w.svg"), true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    AcDbDatabase db;
    PlotOptions options;
    options.output = c.output;
    options.window = c.window;
    std::string error;
    EXPECT_EQ(plotDrawing(&db, options, error), c.plotted) << error;
    EXPECT_EQ(error.empty(), c.plotted);
    unlink(c.output.c_str());
  }
  // One huge coordinate: a picture or a message, in bounded time.
  AcDbDatabase db;
  append(db, line(0, 0, 1e300, 1, 1));
  append(db, new AcDbText({0, 0, 0}, L"far", AcDbObjectId::kNull, 1e-300, 0));
  PlotOptions options;
  options.output = scratch("huge.png");
  std::string error;
  const bool plotted = plotDrawing(&db, options, error);
  EXPECT_TRUE(plotted || !error.empty());
  unlink(options.output.c_str());
}

}  // namespace
