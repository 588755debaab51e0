// The page the plotter makes: sheets and scales, views from above and the isometric
// corners with faces painted farthest first, layouts through their viewports, and bad
// input answered with a picture or a message.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "PlotTestKit.h"

namespace {

using namespace plotkit;
using tabrik::plot::PlotOptions;
using tabrik::plot::ViewDirection;

// The page's width and height as the SVG header gives them, in points.
std::pair<double, double> pageSize(const std::string& svg) {
  std::smatch m;
  if (!std::regex_search(svg, m, std::regex(R"re(width="([0-9.]+)pt" height="([0-9.]+)pt")re")))
    return {0, 0};
  return {std::stod(m[1]), std::stod(m[2])};
}

TEST(PlotPage, SheetsAndScales) {
  struct Case {
    const char* what;
    double spanX, spanY;  // the drawing: a rectangle of lines from the origin
    const char* paper;
    double scale;  // millimetres of paper per unit; 0 fits
    double pageW, pageH;
    double drawnWidth;  // points the rectangle spans on the page
  };
  const double pt = 72 / 25.4;
  const Case cases[] = {
      {"a wide drawing on A4 turns it to landscape", 400, 100, "A4", 0, 842, 595,
       std::round(297 * pt) - 20 * pt},
      {"a tall one keeps it upright", 100, 400, "a4", 0, 595, 842, 0},
      {"1:50 on A3", 5000, 1000, "A3", 1.0 / 50, 1191, 842, 100 * pt},
      {"2:1 on letter", 50, 20, "letter", 2, 792, 612, 100 * pt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AcDbDatabase db;
    append(db, line(0, 0, c.spanX, 0));
    append(db, line(c.spanX, 0, c.spanX, c.spanY));
    PlotOptions options;
    options.paper = c.paper;
    options.paperScale = c.scale;
    const std::string svg = plotSvg(db, options, "sheet.svg");
    const auto [w, h] = pageSize(svg);
    EXPECT_NEAR(w, c.pageW, 0.5);
    EXPECT_NEAR(h, c.pageH, 0.5);
    if (c.drawnWidth == 0) continue;
    double minX = 1e9, maxX = -1e9;
    for (const SvgPath& p : paths(svg)) {
      const auto v = p.numbers();
      for (size_t i = 0; i + 1 < v.size(); i += 2)
        minX = std::min(minX, v[i]), maxX = std::max(maxX, v[i]);
    }
    EXPECT_NEAR(maxX - minX, c.drawnWidth, 0.6);
    EXPECT_NEAR((maxX + minX) / 2, c.pageW / 2, 0.6);  // centred on the sheet
  }
  // A PNG sheet has the resolution's pixels.
  AcDbDatabase db;
  append(db, line(0, 0, 400, 100));
  PlotOptions options;
  options.output = scratch("sheet.png");
  options.paper = "A4";
  options.dpi = 100;
  std::string error;
  ASSERT_TRUE(tabrik::plot::plotDrawing(&db, options, error)) << error;
  cairo_surface_t* png = cairo_image_surface_create_from_png(options.output.c_str());
  EXPECT_EQ(cairo_image_surface_get_width(png), 1169);
  EXPECT_EQ(cairo_image_surface_get_height(png), 827);
  cairo_surface_destroy(png);
  unlink(options.output.c_str());
}

// Two square faces, red at z = 0 and blue at z = 10, added nearest first: the view
// decides which is painted over the other.
TEST(PlotPage, ViewsPaintFacesFarthestFirst) {
  struct Case {
    ViewDirection view;
    bool filled;
    bool redFirst;  // red is painted before blue
  };
  const Case cases[] = {
      {ViewDirection::Top, false, false},     {ViewDirection::SouthWest, true, true},
      {ViewDirection::SouthEast, true, true}, {ViewDirection::NorthEast, true, true},
      {ViewDirection::NorthWest, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.view));
    AcDbDatabase db;
    auto square = [&](double z, int colour) {
      auto* face = new AcDbFace({0, 0, z}, {10, 0, z}, {10, 10, z}, {0, 10, z});
      face->setColorIndex(static_cast<Adesk::UInt16>(colour));
      append(db, face);
    };
    square(10, 5);
    square(0, 1);
    PlotOptions options;
    options.width = 300;
    options.view = c.view;
    const auto drawn = paths(plotSvg(db, options, "view.svg"));
    ASSERT_FALSE(drawn.empty());
    int filled = 0, redAt = -1, blueAt = -1;
    for (size_t i = 0; i < drawn.size(); ++i) {
      filled += drawn[i].filled();
      const std::string colour = drawn[i].property(drawn[i].filled() ? "fill" : "stroke");
      // A lit face keeps its hue: red has no green or blue, blue no red or green.
      if (colour.find(",0%,0%") != std::string::npos && redAt < 0) redAt = static_cast<int>(i);
      if (colour.find("rgb(0%,0%,") != std::string::npos && blueAt < 0)
        blueAt = static_cast<int>(i);
    }
    EXPECT_EQ(filled > 0, c.filled);
    ASSERT_GE(redAt, 0);
    ASSERT_GE(blueAt, 0);
    EXPECT_EQ(redAt < blueAt, c.redFirst);
  }
}

TEST(PlotPage, IsometricViewsTurnTheModel) {
  // A line along x seen from the south-west runs up to the right at 30 degrees on the
  // page (y runs down the page); from the south-east down to the right; from the
  // north-east it comes towards the viewer, down to the left.
  struct Case {
    ViewDirection view;
    double slope;  // page dy/dx, y down
  };
  for (const Case& c : {Case{ViewDirection::SouthWest, -std::tan(M_PI / 6)},
                        Case{ViewDirection::SouthEast, std::tan(M_PI / 6)},
                        Case{ViewDirection::NorthEast, -std::tan(M_PI / 6)},
                        Case{ViewDirection::NorthWest, std::tan(M_PI / 6)}}) {
    SCOPED_TRACE(static_cast<int>(c.view));
    AcDbDatabase db;
    append(db, line(0, 0, 100, 0));
    PlotOptions options;
    options.width = 300;
    options.view = c.view;
    const auto drawn = paths(plotSvg(db, options, "iso.svg"));
    ASSERT_EQ(drawn.size(), 1u);
    const auto v = drawn[0].numbers();
    ASSERT_EQ(v.size(), 4u);
    EXPECT_NEAR((v[3] - v[1]) / (v[2] - v[0]), c.slope, 1e-4);  // cairo keeps 1/256 of a point
  }
}

// Paper space holds a viewport 100 x 50 at (100, 100) showing the model around the
// origin 10 high: five paper units to a model unit.
TEST(PlotPage, LayoutsDrawTheModelThroughTheirViewports) {
  AcDbDatabase db;
  const AcDbObjectId hidden = addLayer(db, {L"NOT_HERE", 5});
  append(db, line(-100, 0, 100, 0, 1));  // far wider than the viewport shows
  AcDbLine* frozenHere = line(0, -1, 0, 1, 5);
  frozenHere->setLayer(hidden);
  append(db, frozenHere);
  auto* viewport = new AcDbViewport;
  viewport->setCenterPoint({100, 100, 0});
  viewport->setWidth(100);
  viewport->setHeight(50);
  viewport->setViewCenter({0, 0});
  viewport->setViewHeight(10);
  AcDbObjectIdArray frozen;
  frozen.append(hidden);
  viewport->freezeLayersInViewport(frozen);
  appendTo(db.paperSpaceId(), viewport);

  PlotOptions options;
  options.width = 220;
  options.layout = true;
  const std::string svg = plotSvg(db, options, "layout.svg");
  const auto drawn = paths(svg);
  // The frame, then the model's red line; the blue one is frozen in the viewport.
  ASSERT_EQ(drawn.size(), 2u);
  const auto frame = drawn[0].numbers();
  ASSERT_GE(frame.size(), 8u);
  // The frame (50..150 x 75..125 on paper) fills the page: 2 points a paper unit.
  EXPECT_NEAR(frame[0], 10, 1e-6);
  EXPECT_NEAR(frame[2], 210, 1e-6);
  const auto model = drawn[1].numbers();
  ASSERT_EQ(model.size(), 4u);
  // Model x -100 is paper 100 - 500; on the page 10 + (-400 - 50) * 2.
  EXPECT_NEAR(model[0], 10 + (100 - 500 - 50) * 2, 1e-6);
  EXPECT_NEAR(model[2], 10 + (100 + 500 - 50) * 2, 1e-6);
  EXPECT_NE(drawn[1].property("stroke").find("100%,0%,0%"), std::string::npos);
  // ... clipped to the viewport: the line's group has a clip path.
  EXPECT_NE(svg.find("<clipPath"), std::string::npos);
  EXPECT_LT(svg.rfind("clip-path=", svg.find(drawn[1].d)), svg.find(drawn[1].d));

  // Model space plotted alone still shows both lines.
  options.layout = false;
  EXPECT_EQ(paths(plotSvg(db, options, "model.svg")).size(), 2u);
}

// How much ink a PNG has (pixels not white).
int inkIn(const std::string& path) {
  cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(png) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(png);
    return -1;
  }
  const int w = cairo_image_surface_get_width(png), h = cairo_image_surface_get_height(png);
  const int stride = cairo_image_surface_get_stride(png);
  const unsigned char* data = cairo_image_surface_get_data(png);
  int ink = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      ink += (reinterpret_cast<const std::uint32_t*>(data + y * stride)[x] & 0xFFFFFF) != 0xFFFFFF;
  cairo_surface_destroy(png);
  return ink;
}

AcDbObjectId addStyle(AcDbDatabase& db, const ACHAR* name, const ACHAR* file) {
  AcDbTextStyleTable* styles = nullptr;
  db.getTextStyleTable(styles, AcDb::kForWrite);
  auto* style = new AcDbTextStyleTableRecord;
  style->setName(name);
  style->setFileName(file);
  AcDbObjectId id;
  styles->add(id, style);
  style->close();
  styles->close();
  return id;
}

TEST(PlotPage, BadInputGivesAPictureOrAMessage) {
  struct Case {
    const char* what;
    std::function<void(AcDbDatabase&, PlotOptions&)> build;
    const char* error;  // null: plotted, with ink when `inked`
    bool inked;
  };
  const Case cases[] = {
      {"an empty drawing: a blank sheet", [](AcDbDatabase&, PlotOptions&) {}, nullptr, false},
      {"one point",
       [](AcDbDatabase& db, PlotOptions&) {
         append(db, new AcDbPoint({5, 5, 0}));
       },
       nullptr, true},
      {"a line of no length", [](AcDbDatabase& db, PlotOptions&) { append(db, line(3, 3, 3, 3)); },
       nullptr, true},
      {"one huge coordinate",
       [](AcDbDatabase& db, PlotOptions&) {
         append(db, line(0, 0, 1e300, 1));
         append(db, line(0, 0, 1, 1e300));
       },
       nullptr, true},
      {"a window onto a line reaching 1e300 and a vast circle",
       [](AcDbDatabase& db, PlotOptions& o) {
         append(db, line(0, 5, 1e300, 5));
         append(db, new AcDbCircle({5, 1e12 + 3, 0}, AcGeVector3d::kZAxis, 1e12));
         o.window = true, o.minX = 0, o.minY = 0, o.maxX = 10, o.maxY = 10;
       },
       nullptr, true},
      {"extents beyond any number",
       [](AcDbDatabase& db, PlotOptions&) { append(db, line(-1.7e308, 0, 1.7e308, 0)); },
       "too large", false},
      {"text in a font that is missing",
       [](AcDbDatabase& db, PlotOptions&) {
         append(db, new AcDbText({0, 0, 0}, L"Missing font",
                                 addStyle(db, L"GONE", L"/nowhere/gone.ttf"), 5, 0));
       },
       nullptr, true},
      {"text in a file that is not a font",
       [](AcDbDatabase& db, PlotOptions&) {
         append(db, new AcDbText({0, 0, 0}, L"Not a font", addStyle(db, L"ODD", L"/etc/hostname"),
                                 5, 0));
       },
       nullptr, true},
      {"text with a lone surrogate and a huge height",
       [](AcDbDatabase& db, PlotOptions&) {
         const wchar_t odd[] = {L'a', static_cast<wchar_t>(0xD800), L'b', 0};
         append(db, new AcDbText({0, 0, 0}, odd, AcDbObjectId::kNull, 5, 0));
         append(db, new AcDbText({0, 0, 0}, L"tall", AcDbObjectId::kNull, 1e200, 0));
         append(db, line(0, 0, 100, 0));
       },
       nullptr, true},
      {"a block that holds itself",
       [](AcDbDatabase& db, PlotOptions&) {
         const AcDbObjectId self = addBlock(db, L"SELF");
         appendTo(self, line(0, 0, 1, 1));
         appendTo(self, new AcDbBlockReference({1, 1, 0}, self));
         append(db, new AcDbBlockReference({0, 0, 0}, self));
       },
       nullptr, true},
      {"an unknown sheet", [](AcDbDatabase&, PlotOptions& o) { o.paper = "B7"; },
       "unknown paper size B7", false},
      {"a resolution of nothing", [](AcDbDatabase&, PlotOptions& o) { o.paper = "A4", o.dpi = 0; },
       "resolution", false},
      {"a sheet too big for its resolution",
       [](AcDbDatabase&, PlotOptions& o) { o.paper = "A0", o.dpi = 1200; }, "20000", false},
      {"a negative scale", [](AcDbDatabase&, PlotOptions& o) { o.paperScale = -1; }, "scale",
       false},
      {"a window beyond any number",
       [](AcDbDatabase&, PlotOptions& o) {
         o.window = true, o.minX = -1.7e308, o.maxX = 1.7e308, o.maxY = 1;
       },
       "no size", false},
      {"an unwritable path",
       [](AcDbDatabase&, PlotOptions& o) { o.output = "/nonexistent-folder/x.png"; },
       "cannot write", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AcDbDatabase db;
    PlotOptions options;
    options.output = scratch("bad.png");
    options.width = 200;
    c.build(db, options);
    std::string error;
    const bool plotted = tabrik::plot::plotDrawing(&db, options, error);
    if (c.error == nullptr) {
      EXPECT_TRUE(plotted) << error;
      EXPECT_EQ(inkIn(options.output) > 0, c.inked);
    } else {
      EXPECT_FALSE(plotted);
      EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
    unlink(options.output.c_str());
  }
}

TEST(PlotPage, SettingsAreReadOrRefused) {
  struct Case {
    const char* text;
    bool scaleOk;
    double scale;
    bool viewOk;
    bool paperOk;
  };
  const Case cases[] = {
      {"1:50", true, 0.02, false, false}, {"2:1", true, 2, false, false},
      {"0.5", true, 0.5, false, false},   {"1:0", false, 0, false, false},
      {"-1:5", false, 0, false, false},   {"1:x", false, 0, false, false},
      {"SW", false, 0, true, false},      {"top", false, 0, true, false},
      {"Letter", false, 0, false, true},  {"", false, 0, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    double scale = 0;
    ViewDirection view;
    std::string paper, error;
    EXPECT_EQ(tabrik::plot::parseScale(c.text, scale, error), c.scaleOk);
    if (c.scaleOk) {
      EXPECT_NEAR(scale, c.scale, 1e-12);
    }
    EXPECT_EQ(tabrik::plot::parseView(c.text, view, error), c.viewOk);
    EXPECT_EQ(tabrik::plot::parsePaper(c.text, paper, error), c.paperOk);
  }
}

}  // namespace

namespace {

// Seen through a small window, a line reaching 1e300 and a circle of radius 1e12 still
// cross the page where they should: inked rows at their heights, margin to margin.
TEST(PlotPage, FarGeometryCrossesAWindowWhereItShould) {
  AcDbDatabase db;
  append(db, line(-1e300, 5, 1e300, 5));
  append(db, new AcDbCircle({5, 1e12 + 2, 0}, AcGeVector3d::kZAxis, 1e12));  // bottom at y 2
  PlotOptions options;
  options.output = scratch("far.png");
  options.width = 120;  // 10 points a unit: y 5 is row 60, y 2 row 90
  options.window = true, options.minX = 0, options.minY = 0, options.maxX = 10, options.maxY = 10;
  std::string error;
  ASSERT_TRUE(tabrik::plot::plotDrawing(&db, options, error)) << error;
  cairo_surface_t* png = cairo_image_surface_create_from_png(options.output.c_str());
  ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
  const int stride = cairo_image_surface_get_stride(png);
  const unsigned char* data = cairo_image_surface_get_data(png);
  auto inked = [&](int x, int y) {
    return (reinterpret_cast<const std::uint32_t*>(data + y * stride)[x] & 0xFFFFFF) != 0xFFFFFF;
  };
  for (int row : {60, 90}) {
    SCOPED_TRACE(row);
    int count = 0;
    for (int x = 10; x < 110; ++x) count += inked(x, row) || inked(x, row - 1) || inked(x, row + 1);
    EXPECT_EQ(count, 100);
  }
  EXPECT_FALSE(inked(60, 30));  // nothing wrapped round into the rest of the page
  cairo_surface_destroy(png);
  unlink(options.output.c_str());
}

}  // namespace
