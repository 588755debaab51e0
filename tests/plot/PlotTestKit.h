// Building drawings for the plotter's tests and reading back what it drew: SVG paths
// with their style, a recording sink of primitives, PNG ink.
#pragma once
#include <unistd.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "PlotDraw.h"
#include "PlotSink.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "tabrik/Plotter.h"

namespace plotkit {

inline std::string scratch(const std::string& name) {
  return "/tmp/tabrik_plotkit_" + std::to_string(getpid()) + "_" + name;
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

inline AcDbObjectId appendTo(AcDbObjectId space, AcDbEntity* entity) {
  AcDbBlockTableRecord* record = nullptr;
  acdbOpenObject(record, space, AcDb::kForWrite);
  AcDbObjectId id;
  record->appendAcDbEntity(id, entity);
  entity->close();
  record->close();
  return id;
}

inline AcDbObjectId append(AcDbDatabase& db, AcDbEntity* entity) {
  return appendTo(db.modelSpaceId(), entity);
}

inline AcDbObjectId addBlock(AcDbDatabase& db, const ACHAR* name) {
  AcDbBlockTable* blocks = nullptr;
  db.getBlockTable(blocks, AcDb::kForWrite);
  auto* record = new AcDbBlockTableRecord;
  record->setName(name);
  AcDbObjectId id;
  blocks->add(id, record);
  record->close();
  blocks->close();
  return id;
}

struct LayerLooks {
  const ACHAR* name;
  Adesk::UInt16 color = 7;
  bool frozen = false;
  AcDbObjectId linetype{};
  AcDb::LineWeight weight = AcDb::kLnWtByLwDefault;
};

inline AcDbObjectId addLayer(AcDbDatabase& db, const LayerLooks& looks) {
  AcDbLayerTable* layers = nullptr;
  db.getLayerTable(layers, AcDb::kForWrite);
  auto* layer = new AcDbLayerTableRecord;
  layer->setName(looks.name);
  AcCmColor c;
  c.setColorIndex(looks.color);
  layer->setColor(c);
  layer->setIsFrozen(looks.frozen);
  if (!looks.linetype.isNull()) layer->setLinetypeObjectId(looks.linetype);
  layer->setLineWeight(looks.weight);
  AcDbObjectId id;
  layers->add(id, layer);
  layer->close();
  layers->close();
  return id;
}

inline AcDbObjectId addLinetype(AcDbDatabase& db, const ACHAR* name,
                                const std::vector<double>& dashes) {
  AcDbLinetypeTable* table = nullptr;
  db.getLinetypeTable(table, AcDb::kForWrite);
  auto* linetype = new AcDbLinetypeTableRecord;
  linetype->setName(name);
  linetype->setNumDashes(static_cast<int>(dashes.size()));
  double length = 0;
  for (size_t i = 0; i < dashes.size(); ++i) {
    linetype->setDashLengthAt(static_cast<int>(i), dashes[i]);
    length += std::abs(dashes[i]);
  }
  linetype->setPatternLength(length);
  AcDbObjectId id;
  table->add(id, linetype);
  linetype->close();
  table->close();
  return id;
}

inline AcDbLine* line(double x1, double y1, double x2, double y2, int color = 7) {
  auto* l = new AcDbLine({x1, y1, 0}, {x2, y2, 0});
  l->setColorIndex(static_cast<Adesk::UInt16>(color));
  return l;
}

// Plots and returns the SVG text ("" with a test failure when not plotted).
inline std::string plotSvg(AcDbDatabase& db, tabrik::plot::PlotOptions options,
                           const std::string& name) {
  options.output = scratch(name);
  std::string error;
  const bool plotted = tabrik::plot::plotDrawing(&db, options, error);
  std::string svg = plotted ? readFile(options.output) : std::string();
  unlink(options.output.c_str());
  return plotted ? svg : "not plotted: " + error;
}

struct SvgPath {
  std::string style, d;
  bool filled() const { return style.find("fill:rgb(") != std::string::npos; }
  // The value of one style property ("" when absent).
  std::string property(const std::string& name) const {
    const size_t at = style.find(name + ":");
    if (at == std::string::npos) return "";
    const size_t start = at + name.size() + 1;
    return style.substr(start, style.find(';', start) - start);
  }
  std::vector<double> numbers() const {
    std::vector<double> out;
    std::regex number(R"(-?[0-9.]+(e-?[0-9]+)?)");
    for (auto it = std::sregex_iterator(d.begin(), d.end(), number); it != std::sregex_iterator();
         ++it)
      out.push_back(std::stod(it->str()));
    return out;
  }
};

// The paths the drawing made (glyph outlines, which have no stroke or fill colour,
// left out), in painting order.
inline std::vector<SvgPath> paths(const std::string& svg) {
  std::vector<SvgPath> out;
  std::regex path(R"re(<path[^>]*style="([^"]*)"[^>]*d="([^"]*)")re");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), path); it != std::sregex_iterator();
       ++it) {
    SvgPath p{(*it)[1], (*it)[2]};
    if (p.style.find("stroke:rgb(") == std::string::npos && !p.filled()) continue;
    out.push_back(p);
  }
  return out;
}

// Every primitive a drawing context hands on, as given.
class RecordingSink : public tabrik::plot::PlotSink {
 public:
  struct Path {
    std::vector<tabrik::plot::Point2> points;
    bool closed, filled;
    tabrik::plot::Pen pen;
  };
  std::vector<Path> paths;
  std::vector<tabrik::plot::TextRun> texts;
  std::vector<std::uint32_t> textColours;
  int arcs = 0;

  void path(const std::vector<tabrik::plot::Point2>& points, bool closed, bool filled,
            const tabrik::plot::Pen& pen) override {
    paths.push_back({points, closed, filled, pen});
  }
  void arc(tabrik::plot::Point2, double, double, double, const tabrik::plot::Pen&) override {
    ++arcs;
  }
  void text(const tabrik::plot::TextRun& run, std::uint32_t rgb) override {
    texts.push_back(run);
    textColours.push_back(rgb);
  }
};

// Draws every entity of model space into a recording sink, seen from the top.
inline RecordingSink record(AcDbDatabase& db) {
  tabrik::plot::DrawingLooks looks;
  looks.byLayerLinetype = db.byLayerLinetype();
  looks.byBlockLinetype = db.byBlockLinetype();
  RecordingSink sink;
  tabrik::plot::PlotDraw draw(looks, sink);
  AcDbBlockTableRecord* space = nullptr;
  acdbOpenObject(space, db.modelSpaceId(), AcDb::kForRead);
  const AcDbObjectIdArray ids = space->entityIds();
  space->close();
  for (const AcDbObjectId& id : ids) {
    AcDbEntity* entity = nullptr;
    if (acdbOpenAcDbEntity(entity, id, AcDb::kForRead) != Acad::eOk) continue;
    draw.plot(entity);
    entity->close();
  }
  return sink;
}

}  // namespace plotkit
