// Linetypes, lineweights, layers and colours as the plotter draws them, read back from
// the SVG it writes: each case is a drawing whose one line runs from x = 0 to 100 on a
// page 220 wide, so one drawing unit is 2 points.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "PlotTestKit.h"
#include "dbpl.h"

namespace {

using namespace plotkit;
using tabrik::plot::PlotOptions;

std::vector<double> numbersIn(const std::string& text) {
  std::vector<double> out;
  std::regex number(R"(-?[0-9.]+)");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), number);
       it != std::sregex_iterator(); ++it)
    out.push_back(std::stod(it->str()));
  return out;
}

// A block holding one line from (0,0) to (length,0) with the given colour, layer and
// linetype, referenced at the origin with a scale and the reference's own look.
struct BlockLooks {
  double length = 100, scale = 1;
  int lineColor = 7;
  AcDbObjectId lineLayer{}, lineLinetype{};
  AcDb::LineWeight lineWeight = AcDb::kLnWtByLayer;
  int refColor = 7;
  AcDbObjectId refLayer{}, refLinetype{};
  AcDb::LineWeight refWeight = AcDb::kLnWtByLayer;
};

void addBlockReference(AcDbDatabase& db, const BlockLooks& looks) {
  static int serial = 0;
  const std::wstring name = L"B" + std::to_wstring(++serial);
  const AcDbObjectId block = addBlock(db, name.c_str());
  AcDbLine* inside = line(0, 0, looks.length, 0, looks.lineColor);
  if (!looks.lineLayer.isNull()) inside->setLayer(looks.lineLayer);
  if (!looks.lineLinetype.isNull()) inside->setLinetype(looks.lineLinetype);
  inside->setLineWeight(looks.lineWeight);
  appendTo(block, inside);
  auto* reference = new AcDbBlockReference({0, 0, 0}, block);
  reference->setScaleFactors(AcGeScale3d(looks.scale, looks.scale, looks.scale));
  reference->setColorIndex(static_cast<Adesk::UInt16>(looks.refColor));
  if (!looks.refLayer.isNull()) reference->setLayer(looks.refLayer);
  if (!looks.refLinetype.isNull()) reference->setLinetype(looks.refLinetype);
  reference->setLineWeight(looks.refWeight);
  append(db, reference);
}

TEST(PlotLooks, DashesFollowTheLinetypeAndItsScales) {
  struct Case {
    const char* what;
    std::vector<double> pattern;  // as the table holds it
    std::function<void(AcDbDatabase&, AcDbObjectId)> build;
    std::vector<double> dashes;  // expected, in points
  };
  const std::vector<double> dashed = {5, -2.5};
  auto direct = [](double ltscale, double entityScale) {
    return [=](AcDbDatabase& db, AcDbObjectId linetype) {
      db.setLtscale(ltscale);
      AcDbLine* l = line(0, 0, 100, 0);
      l->setLinetype(linetype);
      l->setLinetypeScale(entityScale);
      append(db, l);
    };
  };
  const Case cases[] = {
      {"the pattern at scale 1", dashed, direct(1, 1), {10, 5}},
      {"LTSCALE 2 doubles it", dashed, direct(2, 1), {20, 10}},
      {"the entity's scale multiplies LTSCALE", dashed, direct(3, 0.5), {15, 7.5}},
      {"a gap first moves to the end", {-2.5, 5}, direct(1, 1), {10, 5}},
      {"dots are drawn lengths of nothing", {5, -2.5, 0, -2.5}, direct(1, 1), {10, 5, 0, 5}},
      {"ByLayer takes the layer's linetype",
       dashed,
       [](AcDbDatabase& db, AcDbObjectId linetype) {
         const AcDbObjectId layer = addLayer(db, {L"DASHES", 7, false, linetype});
         AcDbLine* l = line(0, 0, 100, 0);
         l->setLayer(layer);
         append(db, l);  // linetype ByLayer by default
       },
       {10, 5}},
      {"ByBlock takes the reference's linetype",
       dashed,
       [](AcDbDatabase& db, AcDbObjectId linetype) {
         addBlockReference(db, {.lineLinetype = db.byBlockLinetype(), .refLinetype = linetype});
       },
       {10, 5}},
      {"a reference scaled 2 scales the dashes with it",
       dashed,
       [](AcDbDatabase& db, AcDbObjectId linetype) {
         addBlockReference(db, {.length = 50, .scale = 2, .lineLinetype = linetype});
       },
       {20, 10}},
      {"CELTSCALE is the scale new entities take",
       dashed,
       [](AcDbDatabase& db, AcDbObjectId linetype) {
         db.setCeltscale(2);
         AcDbLine* l = line(0, 0, 100, 0);
         l->setDatabaseDefaults(&db);
         l->setLinetype(linetype);
         append(db, l);
       },
       {20, 10}},
      {"dashes too fine to see make a continuous line", {0.1, -0.05}, direct(1, 1), {}},
      {"a pattern of nothing is continuous", {0, 0}, direct(1, 1), {}},
      {"a pattern of huge lengths is continuous", {1e300, -1e300}, direct(1, 1), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AcDbDatabase db;
    const AcDbObjectId linetype = addLinetype(db, L"PATTERN", c.pattern);
    c.build(db, linetype);
    PlotOptions options;
    options.width = 220;
    const auto drawn = paths(plotSvg(db, options, "dashes.svg"));
    ASSERT_EQ(drawn.size(), 1u);
    const std::vector<double> dashes = numbersIn(drawn[0].property("stroke-dasharray"));
    ASSERT_EQ(dashes.size(), c.dashes.size()) << drawn[0].style;
    // (A dot is drawn a hundredth of a point long, with round caps.)
    for (size_t i = 0; i < dashes.size(); ++i) EXPECT_NEAR(dashes[i], c.dashes[i], 0.011);
    // The line itself still runs the whole length.
    const auto ends = drawn[0].numbers();
    ASSERT_EQ(ends.size(), 4u);
    EXPECT_NEAR(ends[2] - ends[0], 200, 1e-3);
  }
}

TEST(PlotLooks, LineweightsOnPaper) {
  struct Case {
    const char* what;
    std::function<void(AcDbDatabase&)> build;
    int lwdefault;
    double millimetres;
  };
  auto weighted = [](AcDb::LineWeight weight) {
    return [=](AcDbDatabase& db) {
      AcDbLine* l = line(0, 0, 100, 0);
      l->setLineWeight(weight);
      append(db, l);
    };
  };
  const Case cases[] = {
      {"the entity's own weight", weighted(AcDb::kLnWt050), 25, 0.50},
      {"Default is LWDEFAULT", weighted(AcDb::kLnWtByLwDefault), 25, 0.25},
      {"another LWDEFAULT", weighted(AcDb::kLnWtByLwDefault), 100, 1.00},
      {"ByLayer takes the layer's",
       [](AcDbDatabase& db) {
         AcDbLine* l = line(0, 0, 100, 0);
         l->setLayer(addLayer(db, {L"HEAVY", 7, false, {}, AcDb::kLnWt035}));
         l->setLineWeight(AcDb::kLnWtByLayer);
         append(db, l);
       },
       25, 0.35},
      {"a layer of Default weight takes LWDEFAULT",
       [](AcDbDatabase& db) {
         AcDbLine* l = line(0, 0, 100, 0);
         l->setLayer(addLayer(db, {L"PLAIN", 7}));
         l->setLineWeight(AcDb::kLnWtByLayer);
         append(db, l);
       },
       50, 0.50},
      {"ByBlock takes the reference's",
       [](AcDbDatabase& db) {
         addBlockReference(db, {.lineWeight = AcDb::kLnWtByBlock, .refWeight = AcDb::kLnWt100});
       },
       25, 1.00},
      {"a weight of 0 is the thinnest line", weighted(AcDb::kLnWt000), 25, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AcDbDatabase db;
    c.build(db);
    PlotOptions options;
    options.width = 220;
    options.lwdefault = c.lwdefault;
    const auto drawn = paths(plotSvg(db, options, "weights.svg"));
    ASSERT_EQ(drawn.size(), 1u);
    // Points on an SVG page: 72 to the inch; never thinner than half a point.
    const double expected = std::max(0.5, c.millimetres * 72 / 25.4);
    EXPECT_NEAR(std::stod(drawn[0].property("stroke-width")), expected, 1e-4);
  }
}

// The colours (0..255 each) of the drawn paths, in order.
std::vector<std::array<int, 3>> colours(const std::vector<SvgPath>& drawn) {
  std::vector<std::array<int, 3>> out;
  for (const SvgPath& p : drawn) {
    const std::vector<double> v = numbersIn(p.property(p.filled() ? "fill" : "stroke"));
    if (v.size() != 3) continue;
    out.push_back({static_cast<int>(std::lround(v[0] * 2.55)),
                   static_cast<int>(std::lround(v[1] * 2.55)),
                   static_cast<int>(std::lround(v[2] * 2.55))});
  }
  return out;
}

TEST(PlotLooks, LayersAndColoursInsideBlocks) {
  using Rgb = std::array<int, 3>;
  struct Case {
    const char* what;
    std::function<void(AcDbDatabase&)> build;
    std::vector<Rgb> drawn;
  };
  const Rgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, black{0, 0, 0};
  const Case cases[] = {
      {"layer 0 inside a block takes the reference's layer",
       [](AcDbDatabase& db) {
         addBlockReference(db, {.lineColor = 256, .refLayer = addLayer(db, {L"BLUE", 5})});
       },
       {blue}},
      {"a reference on a frozen layer hides its layer-0 contents",
       [](AcDbDatabase& db) {
         append(db, line(0, 0, 100, 0, 1));
         addBlockReference(
             db, {.length = 50, .lineColor = 3, .refLayer = addLayer(db, {L"GONE", 7, true})});
       },
       {red}},
      {"contents on a frozen layer are left out, their neighbours not",
       [](AcDbDatabase& db) {
         const AcDbObjectId frozen = addLayer(db, {L"FROZEN", 7, true});
         const AcDbObjectId block = addBlock(db, L"PAIR");
         AcDbLine* hidden = line(0, 0, 100, 0, 1);
         hidden->setLayer(frozen);
         appendTo(block, hidden);
         appendTo(block, line(0, 0, 100, 0, 5));
         append(db, new AcDbBlockReference({0, 0, 0}, block));
       },
       {blue}},
      {"ByBlock inside nested blocks takes the outermost colour",
       [](AcDbDatabase& db) {
         const AcDbObjectId inner = addBlock(db, L"INNER");
         appendTo(inner, line(0, 0, 100, 0, 0));
         const AcDbObjectId outer = addBlock(db, L"OUTER");
         auto* nested = new AcDbBlockReference({0, 0, 0}, inner);
         nested->setColorIndex(0);  // ByBlock
         appendTo(outer, nested);
         auto* top = new AcDbBlockReference({0, 0, 0}, outer);
         top->setColorIndex(3);
         append(db, top);
       },
       {green}},
      {"ByBlock at the top level is black",
       [](AcDbDatabase& db) { append(db, line(0, 0, 100, 0, 0)); },
       {black}},
      {"true colour, on the entity and on its layer",
       [](AcDbDatabase& db) {
         AcDbLine* own = line(0, 0, 100, 0);
         AcCmColor colour;
         colour.setRGB(10, 200, 30);
         own->setColor(colour);
         append(db, own);
         AcDbLayerTable* layers = nullptr;
         db.getLayerTable(layers, AcDb::kForWrite);
         auto* layer = new AcDbLayerTableRecord;
         layer->setName(L"TRUE");
         AcCmColor layerColour;
         layerColour.setRGB(120, 60, 240);
         layer->setColor(layerColour);
         AcDbObjectId id;
         layers->add(id, layer);
         layer->close();
         layers->close();
         AcDbLine* byLayer = line(0, 10, 100, 10, 256);
         byLayer->setLayer(id);
         append(db, byLayer);
       },
       {{10, 200, 30}, {120, 60, 240}}},
      {"a layer that is off draws nothing",
       [](AcDbDatabase& db) {
         append(db, line(0, 0, 100, 0, 1));
         AcDbLayerTable* layers = nullptr;
         db.getLayerTable(layers, AcDb::kForWrite);
         auto* layer = new AcDbLayerTableRecord;
         layer->setName(L"OFF");
         layer->setIsOff(true);
         AcDbObjectId id;
         layers->add(id, layer);
         layer->close();
         layers->close();
         AcDbLine* off = line(0, 10, 100, 10, 5);
         off->setLayer(id);
         append(db, off);
       },
       {red}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AcDbDatabase db;
    c.build(db);
    PlotOptions options;
    options.width = 220;
    EXPECT_EQ(colours(paths(plotSvg(db, options, "colours.svg"))), c.drawn);
  }
}

}  // namespace

namespace {

// A lightweight polyline with widths fills the band between its offsets: seen on the
// page, the filled area's box is the segment's length by its widest width.
TEST(PlotLooks, WidePolylinesFillTheirBand) {
  struct Case {
    const char* what;
    double startWidth, endWidth, bulge;
    double boxWidth, boxHeight;  // drawing units
  };
  const Case cases[] = {
      {"constant width", 4, 4, 0, 100, 4},
      {"tapering to a point", 0, 6, 0, 100, 6},
      {"a half circle of width 2", 2, 2, 1, 102, 51},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AcDbDatabase db;
    auto* pline = new AcDbPolyline;
    pline->addVertexAt(0, {0, 0}, c.bulge, c.startWidth, c.endWidth);
    pline->addVertexAt(1, {100, 0}, 0, 0, 0);
    append(db, pline);
    PlotOptions options;
    options.width = 220;
    const auto drawn = paths(plotSvg(db, options, "band.svg"));
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    int filled = 0;
    for (const SvgPath& p : drawn) {
      if (!p.filled()) continue;
      ++filled;
      const auto v = p.numbers();
      for (size_t i = 0; i + 1 < v.size(); i += 2) {
        minX = std::min(minX, v[i]), maxX = std::max(maxX, v[i]);
        minY = std::min(minY, v[i + 1]), maxY = std::max(maxY, v[i + 1]);
      }
    }
    ASSERT_EQ(filled, 1);
    // The page scale: 200 points over the extents' width.
    const double scale = 200 / c.boxWidth;
    EXPECT_NEAR((maxX - minX) / scale, c.boxWidth, 0.05);
    EXPECT_NEAR((maxY - minY) / scale, c.boxHeight, 0.05);
  }
}

}  // namespace
