#include "tabrik/Plotter.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "PlotDraw.h"
#include "Sinks.h"
#include "dbents.h"
#include "dbsymtb.h"

namespace tabrik::plot {

namespace {

enum class Format { Png, Svg, Pdf, Unknown };

Format formatOf(const std::string& path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos) return Format::Unknown;
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  if (ext == "png") return Format::Png;
  if (ext == "svg") return Format::Svg;
  if (ext == "pdf") return Format::Pdf;
  return Format::Unknown;
}

// Every layer's look, read once.
std::map<AcDbObjectId, LayerLook> layerLooks(AcDbDatabase* db) {
  std::map<AcDbObjectId, LayerLook> looks;
  AcDbLayerTable* table = nullptr;
  if (db->getLayerTable(table, AcDb::kForRead) != Acad::eOk) return looks;
  AcDbLayerTableIterator* it = nullptr;
  if (table->newIterator(it) == Acad::eOk) {
    for (; !it->done(); it->step()) {
      AcDbLayerTableRecord* layer = nullptr;
      if (it->getRecord(layer, AcDb::kForRead) != Acad::eOk) continue;
      LayerLook look;
      look.shown = !layer->isOff() && !layer->isFrozen() && layer->isPlottable();
      look.color = layer->color();
      const ACHAR* name = nullptr;
      look.isZero = layer->getName(name) == Acad::eOk && name && std::wstring(name) == L"0";
      looks[layer->objectId()] = look;
      layer->close();
    }
    delete it;
  }
  table->close();
  return looks;
}

// Calls draw on each entity of model space, opened for read.
template <class Draw>
void eachModelSpaceEntity(AcDbDatabase* db, Draw draw) {
  AcDbBlockTableRecord* space = nullptr;
  if (acdbOpenObject(space, db->modelSpaceId(), AcDb::kForRead) != Acad::eOk) return;
  const AcDbObjectIdArray ids = space->entityIds();
  space->close();
  for (const AcDbObjectId& id : ids) {
    AcDbEntity* entity = nullptr;
    if (acdbOpenAcDbEntity(entity, id, AcDb::kForRead) != Acad::eOk) continue;
    draw(entity);
    entity->close();
  }
}

cairo_surface_t* makeSurface(Format format, const std::string& path, double width, double height) {
  switch (format) {
    case Format::Png:
      return cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(width),
                                        static_cast<int>(height));
    case Format::Svg:
      return cairo_svg_surface_create(path.c_str(), width, height);
    case Format::Pdf:
      return cairo_pdf_surface_create(path.c_str(), width, height);
    case Format::Unknown:
      break;
  }
  return nullptr;
}

constexpr int kLargestPicture = 20000;  // pixels on a side: memory stays bounded

}  // namespace

bool plotDrawing(AcDbDatabase* database, const PlotOptions& options, std::string& error) {
  const Format format = formatOf(options.output);
  if (database == nullptr) {
    error = "no drawing";
    return false;
  }
  if (format == Format::Unknown) {
    error = "the picture's name must end in .png, .svg or .pdf: " + options.output;
    return false;
  }
  if (options.width < 16 || options.width > kLargestPicture) {
    error = "the picture's width must be 16 to 20000";
    return false;
  }
  const auto layers = layerLooks(database);

  double minX, minY, maxX, maxY;
  if (options.window) {
    minX = std::min(options.minX, options.maxX), maxX = std::max(options.minX, options.maxX);
    minY = std::min(options.minY, options.maxY), maxY = std::max(options.minY, options.maxY);
    if (!(maxX - minX > 0) || !(maxY - minY > 0)) {
      error = "the window has no size";
      return false;
    }
  } else {
    BoundsSink bounds;
    PlotDraw measure(layers, bounds);
    eachModelSpaceEntity(database, [&](AcDbEntity* e) { measure.plot(e); });
    if (bounds.empty()) {
      minX = minY = 0, maxX = maxY = 1;  // an empty drawing: a blank sheet
    } else {
      minX = bounds.minX(), minY = bounds.minY(), maxX = bounds.maxX(), maxY = bounds.maxY();
    }
  }
  // A zero-size extent (one point, one horizontal line) still gets a page.
  double spanX = maxX - minX, spanY = maxY - minY;
  if (!(spanX > 0) && !(spanY > 0)) spanX = spanY = 1;
  if (!(spanX > 0)) spanX = spanY;
  if (!(spanY > 0)) spanY = spanX;
  if (!std::isfinite(spanX) || !std::isfinite(spanY)) {
    error = "the drawing's extents are too large to plot";
    return false;
  }
  const double margin = 10;
  const double width = options.width;
  const double scale = (width - 2 * margin) / spanX;
  const double height =
      std::clamp(std::ceil(spanY * scale + 2 * margin), 16.0, double(kLargestPicture));
  if (!std::isfinite(scale) || !(scale > 0)) {
    error = "the drawing's extents are too large to plot";
    return false;
  }

  cairo_surface_t* surface = makeSurface(format, options.output, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    error = std::string("cannot write ") + options.output + ": " +
            cairo_status_to_string(cairo_surface_status(surface));
    cairo_surface_destroy(surface);
    return false;
  }
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  CairoSink paint(cr, PageMapping{minX, minY, scale, margin, height});
  PlotDraw draw(layers, paint);
  eachModelSpaceEntity(database, [&](AcDbEntity* e) { draw.plot(e); });
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_status_t status = CAIRO_STATUS_SUCCESS;
  if (format == Format::Png) status = cairo_surface_write_to_png(surface, options.output.c_str());
  cairo_surface_finish(surface);
  if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    error = std::string("cannot write ") + options.output + ": " + cairo_status_to_string(status);
    return false;
  }
  return true;
}

}  // namespace tabrik::plot
