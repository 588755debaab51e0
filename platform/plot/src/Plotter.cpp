#include "tabrik/Plotter.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "PlotDraw.h"
#include "Sinks.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "gescl3d.h"

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

// Calls each on every record of a table (opened for read, as its own class), then
// closes the table.
template <class Table, class Record, class Each>
void eachRecord(Table* table, Each each) {
  if (table == nullptr) return;
  AcDbSymbolTableIterator* it = nullptr;
  if (table->AcDbSymbolTable::newIterator(it) == Acad::eOk && it != nullptr) {
    for (; !it->done(); it->step()) {
      AcDbObjectId id;
      Record* record = nullptr;
      if (it->getRecordId(id) != Acad::eOk) continue;
      if (acdbOpenObject(record, id, AcDb::kForRead) != Acad::eOk || record == nullptr) continue;
      each(record);
      record->close();
    }
    delete it;
  }
  table->close();
}

std::string narrow(const ACHAR* text) {
  std::string out;
  if (text == nullptr) return out;
  for (; *text; ++text) out += static_cast<char>(*text < 0x80 ? *text : '_');
  return out;
}

// What the layer, linetype and text style tables say, read once.
DrawingLooks drawingLooks(AcDbDatabase* db, int lwdefault) {
  DrawingLooks looks;
  looks.byLayerLinetype = db->byLayerLinetype();
  looks.byBlockLinetype = db->byBlockLinetype();
  const double ltscale = db->ltscale();
  looks.ltscale = std::isfinite(ltscale) && ltscale > 0 ? ltscale : 1.0;
  looks.lwdefault = std::clamp(lwdefault, 0, 211);
  AcDbLayerTable* layers = nullptr;
  if (db->getLayerTable(layers, AcDb::kForRead) == Acad::eOk)
    eachRecord<AcDbLayerTable, AcDbLayerTableRecord>(layers, [&](AcDbLayerTableRecord* layer) {
      LayerLook look;
      look.shown = !layer->isOff() && !layer->isFrozen() && layer->isPlottable();
      look.color = layer->color();
      look.linetype = layer->linetypeObjectId();
      look.weight = layer->lineWeight();
      const ACHAR* name = nullptr;
      look.isZero = layer->getName(name) == Acad::eOk && name && std::wstring(name) == L"0";
      looks.layers[layer->objectId()] = look;
    });
  AcDbLinetypeTable* linetypes = nullptr;
  if (db->getLinetypeTable(linetypes, AcDb::kForRead) == Acad::eOk)
    eachRecord<AcDbLinetypeTable, AcDbLinetypeTableRecord>(
        linetypes, [&](AcDbLinetypeTableRecord* linetype) {
          std::vector<double> dashes;
          const int count = std::min(linetype->numDashes(), 64);
          for (int i = 0; i < count; ++i) dashes.push_back(linetype->dashLengthAt(i));
          looks.linetypes[linetype->objectId()] = std::move(dashes);
        });
  AcDbTextStyleTable* styles = nullptr;
  if (db->getTextStyleTable(styles, AcDb::kForRead) == Acad::eOk)
    eachRecord<AcDbTextStyleTable, AcDbTextStyleTableRecord>(
        styles, [&](AcDbTextStyleTableRecord* style) {
          const ACHAR* file = nullptr;
          if (style->fileName(file) == Acad::eOk) looks.fonts[style->objectId()] = narrow(file);
        });
  return looks;
}

// Calls draw on each entity of a space, opened for read.
template <class Draw>
void eachEntity(AcDbObjectId spaceId, Draw draw) {
  AcDbBlockTableRecord* space = nullptr;
  if (acdbOpenObject(space, spaceId, AcDb::kForRead) != Acad::eOk) return;
  const AcDbObjectIdArray ids = space->entityIds();
  space->close();
  for (const AcDbObjectId& id : ids) {
    AcDbEntity* entity = nullptr;
    if (acdbOpenAcDbEntity(entity, id, AcDb::kForRead) != Acad::eOk) continue;
    draw(entity);
    entity->close();
  }
}

// From model to view coordinates for a view direction: the viewer looks along -z of
// the result, with the world's up (z) pointing up the page.
AcGeMatrix3d viewMatrix(ViewDirection view) {
  AcGeVector3d toViewer;
  switch (view) {
    case ViewDirection::Top:
      return AcGeMatrix3d::kIdentity;
    case ViewDirection::SouthWest:
      toViewer = {-1, -1, 1};
      break;
    case ViewDirection::SouthEast:
      toViewer = {1, -1, 1};
      break;
    case ViewDirection::NorthEast:
      toViewer = {1, 1, 1};
      break;
    case ViewDirection::NorthWest:
      toViewer = {-1, 1, 1};
      break;
  }
  const AcGeVector3d z = toViewer.normal();
  const AcGeVector3d x = AcGeVector3d::kZAxis.crossProduct(z).normal();
  const AcGeVector3d y = z.crossProduct(x);
  AcGeMatrix3d m = AcGeMatrix3d::kIdentity;
  for (int c = 0; c < 3; ++c) {
    m(0, c) = x[c];
    m(1, c) = y[c];
    m(2, c) = z[c];
  }
  return m;
}

// A viewport of a layout as drawing needs it: its rectangle on paper, the model's
// view onto it, the layers frozen in it.
struct ViewportView {
  double minX, minY, maxX, maxY;
  AcGeMatrix3d modelToPaper;
  std::set<AcDbObjectId> frozen;
};

std::optional<ViewportView> viewportView(AcDbEntity* entity) {
  auto* viewport = AcDbViewport::cast(entity);
  // Viewport 1 is the sheet itself; one that is off shows nothing.
  if (viewport == nullptr || viewport->number() == 1 || !viewport->isOn()) return std::nullopt;
  const double w = viewport->width(), h = viewport->height(), vh = viewport->viewHeight();
  const AcGePoint3d c = viewport->centerPoint();
  const AcGePoint2d vc = viewport->viewCenter();
  const double k = h / vh;
  if (!(w > 0 && h > 0 && vh > 0) || !std::isfinite(k + c.x + c.y + vc.x + vc.y) || !(k > 0))
    return std::nullopt;
  ViewportView out{c.x - w / 2, c.y - h / 2, c.x + w / 2, c.y + h / 2, {}, {}};
  out.modelToPaper = AcGeMatrix3d::translation(AcGeVector3d(c.x, c.y, 0)) *
                     AcGeMatrix3d::scaling(k) *
                     AcGeMatrix3d::translation(AcGeVector3d(-vc.x, -vc.y, 0));
  AcDbObjectIdArray frozen;
  viewport->getFrozenLayerList(frozen);
  for (const AcDbObjectId& id : frozen) out.frozen.insert(id);
  return out;
}

// Draws what the options plot into a sink: model space, or paper space with the
// model seen through each viewport (clipped to it) when `throughViewports`.
void drawAll(AcDbDatabase* db, const PlotOptions& options, const DrawingLooks& looks,
             const ViewTransform& view, PlotSink& sink, bool throughViewports) {
  if (!options.layout) {
    PlotDraw draw(looks, sink, view);
    eachEntity(db->modelSpaceId(), [&](AcDbEntity* e) { draw.plot(e); });
    return;
  }
  PlotDraw paper(looks, sink);
  std::vector<ViewportView> viewports;
  eachEntity(db->paperSpaceId(), [&](AcDbEntity* e) {
    paper.plot(e);
    if (!throughViewports) return;
    if (auto viewport = viewportView(e)) viewports.push_back(std::move(*viewport));
  });
  for (const ViewportView& viewport : viewports) {
    sink.clip(viewport.minX, viewport.minY, viewport.maxX, viewport.maxY);
    PlotDraw model(looks, sink, ViewTransform{viewport.modelToPaper, false});
    model.setHiddenLayers(viewport.frozen);
    eachEntity(db->modelSpaceId(), [&](AcDbEntity* e) { model.plot(e); });
    sink.unclip();
  }
}

struct Sheet {
  double width, height;  // millimetres, portrait
};

std::optional<Sheet> sheetNamed(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  static const std::pair<const char*, Sheet> kSheets[] = {
      {"a4", {210, 297}},        {"a3", {297, 420}},         {"a2", {420, 594}},
      {"a1", {594, 841}},        {"a0", {841, 1189}},        {"letter", {215.9, 279.4}},
      {"legal", {215.9, 355.6}}, {"tabloid", {279.4, 431.8}}};
  for (const auto& [known, sheet] : kSheets)
    if (name == known) return sheet;
  return std::nullopt;
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

// Writes an image surface as PNG. Drawings are mostly white paper: the fastest
// compression costs little in size and saves most of the time cairo's own writer
// spends compressing. False with the reason in `error`.
bool writePng(cairo_surface_t* surface, const std::string& path, std::string& error) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool written = false;
  if (png != nullptr && info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    png_init_io(png, file);
    png_set_compression_level(png, 1);
    png_set_filter(png, 0, PNG_FILTER_SUB);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // Cairo's RGB24 pixels are 32-bit words 0x00RRGGBB: in memory B, G, R, unused.
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < height; ++y) png_write_row(png, data + static_cast<size_t>(y) * stride);
    png_write_end(png, nullptr);
    written = true;
  }
  png_destroy_write_struct(&png, &info);
  if (std::fclose(file) != 0) written = false;
  if (!written) error = "cannot write " + path + ": error while writing to output stream";
  return written;
}

}  // namespace

bool parsePaper(const std::string& text, std::string& paper, std::string& error) {
  if (!sheetNamed(text)) {
    error = "unknown paper size " + text + " (A4, A3, A2, A1, A0, letter, legal or tabloid)";
    return false;
  }
  paper = text;
  return true;
}

bool parseScale(const std::string& text, double& scale, std::string& error) {
  // "paper:drawing" or one number: millimetres of paper per drawing unit.
  const size_t colon = text.find(':');
  char* end = nullptr;
  double value = 0;
  if (colon == std::string::npos) {
    value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != 0) value = NAN;
  } else {
    const std::string left = text.substr(0, colon), right = text.substr(colon + 1);
    char* leftEnd = nullptr;
    const double paper = std::strtod(left.c_str(), &leftEnd);
    const double drawing = std::strtod(right.c_str(), &end);
    if (leftEnd == left.c_str() || *leftEnd != 0 || end == right.c_str() || *end != 0)
      value = NAN;
    else
      value = paper / drawing;
  }
  if (!std::isfinite(value) || !(value > 0) || value > 1e9 || value < 1e-9) {
    error = "the scale must be like 1:50 or a positive number, not " + text;
    return false;
  }
  scale = value;
  return true;
}

bool parseView(const std::string& text, ViewDirection& view, std::string& error) {
  std::string name = text;
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  static const std::pair<const char*, ViewDirection> kViews[] = {{"top", ViewDirection::Top},
                                                                 {"sw", ViewDirection::SouthWest},
                                                                 {"se", ViewDirection::SouthEast},
                                                                 {"ne", ViewDirection::NorthEast},
                                                                 {"nw", ViewDirection::NorthWest}};
  for (const auto& [known, direction] : kViews)
    if (name == known) {
      view = direction;
      return true;
    }
  error = "unknown view " + text + " (top, sw, se, ne or nw)";
  return false;
}

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
  std::optional<Sheet> sheet;
  if (!options.paper.empty()) {
    sheet = sheetNamed(options.paper);
    std::string unused;
    if (!sheet) return parsePaper(options.paper, unused, error);
    if (options.dpi < 10 || options.dpi > 1200) {
      error = "the resolution must be 10 to 1200 dots per inch";
      return false;
    }
  } else if (options.width < 16 || options.width > kLargestPicture) {
    error = "the picture's width must be 16 to 20000";
    return false;
  }
  if (options.paperScale != 0 && !(options.paperScale > 0 && std::isfinite(options.paperScale))) {
    error = "the scale must be positive";
    return false;
  }
  const DrawingLooks looks = drawingLooks(database, options.lwdefault);
  const ViewTransform view{viewMatrix(options.layout ? ViewDirection::Top : options.view),
                           !options.layout && options.view != ViewDirection::Top};

  double minX, minY, maxX, maxY;
  if (options.window) {
    minX = std::min(options.minX, options.maxX), maxX = std::max(options.minX, options.maxX);
    minY = std::min(options.minY, options.maxY), maxY = std::max(options.minY, options.maxY);
    if (!(maxX - minX > 0) || !(maxY - minY > 0) || !std::isfinite(maxX - minX) ||
        !std::isfinite(maxY - minY)) {
      error = "the window has no size";
      return false;
    }
  } else {
    BoundsSink bounds;
    drawAll(database, options, looks, view, bounds, false);
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

  // The page in device units (pixels for PNG, points otherwise) and how model
  // lengths and lineweights map onto it.
  const bool vector = format != Format::Png;
  DeviceLines lines;
  double width, height, scale;
  PageMapping page{};
  if (sheet) {
    lines.unitsPerMm = (vector ? 72.0 : options.dpi) / 25.4;
    lines.thinnest = vector ? 0.5 : 1.0;
    const bool landscape = spanX > spanY;
    const double sheetW = landscape ? sheet->height : sheet->width;
    const double sheetH = landscape ? sheet->width : sheet->height;
    width = std::round(sheetW * lines.unitsPerMm);
    height = std::round(sheetH * lines.unitsPerMm);
    if (width > kLargestPicture || height > kLargestPicture) {
      error = "the sheet at that resolution is larger than 20000 pixels a side";
      return false;
    }
    const double margin = 10 * lines.unitsPerMm;  // 10 mm all round
    scale = options.paperScale > 0
                ? options.paperScale * lines.unitsPerMm
                : std::min((width - 2 * margin) / spanX, (height - 2 * margin) / spanY);
    // The plotted area's centre at the sheet's centre.
    const double cx = minX + spanX / 2, cy = minY + spanY / 2;
    page = {cx - (width / 2 - margin) / scale, cy - (height / 2 - margin) / scale, scale, margin,
            height};
  } else {
    lines.unitsPerMm = (vector ? 72.0 : 96.0) / 25.4;
    lines.thinnest = vector ? 0.5 : 1.0;
    const double margin = 10;
    width = options.width;
    scale = options.paperScale > 0 ? options.paperScale * lines.unitsPerMm
                                   : (width - 2 * margin) / spanX;
    height = std::clamp(std::ceil(spanY * scale + 2 * margin), 16.0, double(kLargestPicture));
    page = {minX, minY, scale, margin, height};
  }
  if (!std::isfinite(scale) || !(scale > 0) || !std::isfinite(page.minX + page.minY)) {
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
  {
    CairoSink paint(cr, page, lines, width);
    if (view.shaded) {
      SortingSink sorted(paint);
      drawAll(database, options, looks, view, sorted, true);
      sorted.finish();
    } else {
      drawAll(database, options, looks, view, paint, true);
      paint.finish();
    }
  }
  cairo_status_t status = cairo_status(cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  if (status == CAIRO_STATUS_SUCCESS && format == Format::Png &&
      !writePng(surface, options.output, error)) {
    cairo_surface_destroy(surface);
    return false;
  }
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
