#include "PlotDraw.h"

#include <algorithm>
#include <cmath>

#include "AciColors.h"
#include "dbents.h"
#include "dbmtext.h"
#include "tabrik/TextConversion.h"

namespace tabrik::plot {

namespace {

// Colour 7 is white on the screen and black on paper.
constexpr std::uint32_t kPaperInk = 0x000000;
// Nested blocks deeper than this are a cycle or a mistake: drawn no further.
constexpr int kDeepestNesting = 64;
// A dash pattern with more pieces than this is a damaged table record.
constexpr size_t kLongestPattern = 64;

std::uint32_t indexed(int index) { return index == 7 ? kPaperInk : aciToRgb(index); }

// A colour darkened by a factor 0..1 (a face turned away from the light).
std::uint32_t shade(std::uint32_t rgb, double factor) {
  auto part = [&](int shift) {
    const double v = ((rgb >> shift) & 0xFF) * std::clamp(factor, 0.0, 1.0);
    return static_cast<std::uint32_t>(std::lround(v)) << shift;
  };
  return part(16) | part(8) | part(0);
}

// The pattern of a linetype as alternating drawn and skipped lengths starting with a
// drawn one (dots are drawn lengths of zero), rotated when the table's pattern starts
// with a gap so that the line still starts where the pattern does; empty when there
// is nothing to dash.
std::vector<double> alternating(const std::vector<double>& table, double scale) {
  std::vector<double> out;
  bool lastOn = false;
  for (double d : table) {
    const bool on = d >= 0;
    const double length = std::fabs(d) * scale;
    if (!std::isfinite(length)) return {};
    if (!out.empty() && on == lastOn) {
      out.back() += length;
    } else {
      out.push_back(length);
    }
    lastOn = on;
  }
  if (out.size() < 2) return {};  // all drawn or all gap: nothing to dash
  if (table.front() < 0) {
    // Starts with a gap: move it to the end (merged with a final gap).
    const double gap = out.front();
    out.erase(out.begin());
    if (out.size() % 2 == 0) {
      out.back() += gap;
    } else {
      out.push_back(gap);
    }
    // The pattern now starts with a drawn length; the line starts a gap in, which
    // shifts the whole pattern but keeps its lengths.
  }
  if (out.size() % 2 == 1) {
    // An odd count: the final drawn piece joins the first one of the next repeat.
    out.front() += out.back();
    out.pop_back();
  }
  double total = 0;
  for (double d : out) total += d;
  if (!(total > 0) || out.size() < 2) return {};
  return out;
}

}  // namespace

PlotDraw::PlotDraw(const DrawingLooks& looks, PlotSink& sink, ViewTransform view)
    : m_looks(looks), m_sink(sink), m_view(view), m_current(view.matrix) {
  m_transforms.push_back(AcGeMatrix3d::kIdentity);
}

const LayerLook* PlotDraw::layerLook(AcDbObjectId layer) const {
  auto it = m_looks.layers.find(layer);
  return it == m_looks.layers.end() ? nullptr : &it->second;
}

std::uint32_t PlotDraw::resolve(const AcCmColor& color) const {
  if (color.isByColor()) return color.rgb();
  if (color.isByBlock()) return m_look.blockRgb;
  if (color.isByLayer()) {
    const LayerLook* look = layerLook(m_look.layer);
    if (look == nullptr) return kPaperInk;
    const AcCmColor& layer = look->color;
    return layer.isByColor() ? layer.rgb() : indexed(std::abs(layer.colorIndex()));
  }
  return indexed(color.colorIndex());
}

AcDbObjectId PlotDraw::resolveLinetype(AcDbObjectId linetype) const {
  if (linetype.isNull() || linetype == m_looks.byLayerLinetype) {
    const LayerLook* look = layerLook(m_look.layer);
    // A layer's linetype is never ByLayer; guard against a file that says so.
    if (look == nullptr || look->linetype == m_looks.byLayerLinetype ||
        look->linetype == m_looks.byBlockLinetype)
      return AcDbObjectId::kNull;
    return look->linetype;
  }
  if (linetype == m_looks.byBlockLinetype) return m_look.blockLinetype;
  return linetype;
}

double PlotDraw::resolveWeight(AcDb::LineWeight weight) const {
  if (weight == AcDb::kLnWtByBlock) return m_look.blockWeightMm;
  if (weight == AcDb::kLnWtByLayer) {
    const LayerLook* look = layerLook(m_look.layer);
    weight = look ? look->weight : AcDb::kLnWtByLwDefault;
    if (weight < 0) weight = AcDb::kLnWtByLwDefault;  // a layer's is never ByLayer or ByBlock
  }
  if (weight == AcDb::kLnWtByLwDefault) return m_looks.lwdefault / 100.0;
  return std::clamp(static_cast<int>(weight), 0, 211) / 100.0;
}

Pen PlotDraw::pen() {
  Pen pen;
  pen.rgb = m_look.rgb;
  pen.weightMm = m_look.weightMm;
  if (m_look.linetype.isNull()) return pen;
  auto pattern = m_looks.linetypes.find(m_look.linetype);
  if (pattern == m_looks.linetypes.end() || pattern->second.empty()) return pen;
  const double scale = m_looks.ltscale * m_look.linetypeScale * m_current.scale();
  auto& shared = m_patterns[{m_look.linetype, scale}];
  if (!shared) {
    auto dashes = std::make_shared<std::vector<double>>(alternating(pattern->second, scale));
    shared = std::move(dashes);
  }
  if (!shared->empty()) pen.dashes = shared;
  return pen;
}

bool PlotDraw::enter(AcDbEntity* entity) {
  AcDbObjectId layer = entity->layerId();
  const LayerLook* look = layerLook(layer);
  // Inside a block, an entity on layer "0" is on the reference's layer.
  if (m_depth > 0 && (look == nullptr || look->isZero)) layer = m_look.layer;
  look = layerLook(layer);
  if (look != nullptr && !look->shown) return false;
  if (m_hiddenLayers.contains(layer)) return false;
  if (entity->visibility() == AcDb::kInvisible) return false;
  m_look.layer = layer;
  m_look.rgb = resolve(entity->color());
  m_index = entity->colorIndex();
  m_look.linetype = resolveLinetype(entity->linetypeId());
  const double scale = entity->linetypeScale();
  m_look.linetypeScale = std::isfinite(scale) && scale > 0 ? scale : 1.0;
  m_look.weightMm = resolveWeight(entity->lineWeight());
  AcDbObjectId style;
  if (auto* text = AcDbText::cast(entity)) style = text->textStyle();
  if (auto* mtext = AcDbMText::cast(entity)) style = mtext->textStyle();
  auto font = m_looks.fonts.find(style);
  m_look.font = font == m_looks.fonts.end() ? std::string() : font->second;
  return true;
}

void PlotDraw::plot(AcDbEntity* entity) {
  if (entity == nullptr) return;
  m_look = Look{};
  m_look.blockRgb = kPaperInk;
  m_look.blockWeightMm = m_looks.lwdefault / 100.0;
  if (!enter(entity)) return;
  entity->worldDraw(this);
}

void PlotDraw::setColor(Adesk::UInt16 colorIndex) {
  m_index = colorIndex;
  AcCmColor color;
  color.setColorIndex(colorIndex);
  m_look.rgb = resolve(color);
}

void PlotDraw::emit(const std::vector<AcGePoint3d>& viewPoints, bool closed) {
  if (viewPoints.empty()) return;
  std::vector<Point2> points;
  points.reserve(viewPoints.size());
  double nearest = -INFINITY;
  for (const AcGePoint3d& p : viewPoints) {
    points.push_back({p.x, p.y});
    nearest = std::max(nearest, p.z);
  }
  if (m_view.shaded) m_sink.depth(nearest);
  m_sink.path(points, closed, false, pen());
}

Adesk::Boolean PlotDraw::circle(const AcGePoint3d& center, double radius,
                                const AcGeVector3d& normal) {
  const AcGeVector3d n = normal.isZeroLength() ? AcGeVector3d::kZAxis : normal.normal();
  return circularArc(center, radius, n, n.perpVector(), 2 * M_PI, kAcGiArcSimple);
}

Adesk::Boolean PlotDraw::circularArc(const AcGePoint3d& center, double radius,
                                     const AcGeVector3d& normal, const AcGeVector3d& startVector,
                                     double sweepAngle, AcGiArcType) {
  if (normal.isZeroLength() || startVector.isZeroLength() || !std::isfinite(radius) ||
      !std::isfinite(sweepAngle))
    return Adesk::kFalse;
  sweepAngle = std::clamp(sweepAngle, -2 * M_PI, 2 * M_PI);
  // The arc is center + u cos t + v sin t in the model; u and v in view coordinates
  // say whether it is still a circle there (seen square on, scaled evenly).
  AcGeVector3d u = startVector.normal() * radius;
  AcGeVector3d v = normal.normal().crossProduct(startVector.normal()) * radius;
  u.transformBy(m_current);
  v.transformBy(m_current);
  const AcGePoint3d c = toView(center);
  const double lu = u.length(), lv = v.length();
  const bool round = std::fabs(lu - lv) <= 1e-9 * std::max(lu, lv) &&
                     std::fabs(u.dotProduct(v)) <= 1e-9 * lu * lv && std::fabs(u.z) <= 1e-9 * lu &&
                     std::fabs(v.z) <= 1e-9 * lv;
  if (round && lu > 0) {
    // Seen from the side where v follows u counter-clockwise, the sweep keeps its sign.
    const double turn = u.x * v.y - u.y * v.x;
    if (m_view.shaded) m_sink.depth(c.z);
    m_sink.arc({c.x, c.y}, lu, std::atan2(u.y, u.x), turn > 0 ? sweepAngle : -sweepAngle, pen());
    return Adesk::kFalse;
  }
  // Otherwise an ellipse on the paper: chords close enough to look smooth.
  const int chords =
      std::max(4, static_cast<int>(std::ceil(std::fabs(sweepAngle) / (2 * M_PI) * 96)));
  std::vector<AcGePoint3d> points;
  points.reserve(chords + 1);
  for (int i = 0; i <= chords; ++i) {
    const double t = sweepAngle * i / chords;
    points.push_back(c + u * std::cos(t) + v * std::sin(t));
  }
  emit(points, false);
  return Adesk::kFalse;
}

Adesk::Boolean PlotDraw::polyline(Adesk::UInt32 count, const AcGePoint3d* vertices,
                                  const AcGeVector3d*, std::intptr_t) {
  if (count == 0 || vertices == nullptr) return Adesk::kFalse;
  std::vector<AcGePoint3d> points;
  points.reserve(count);
  for (Adesk::UInt32 i = 0; i < count; ++i) points.push_back(toView(vertices[i]));
  emit(points, false);
  return Adesk::kFalse;
}

// A polygon is an area: filled in its colour.
Adesk::Boolean PlotDraw::polygon(Adesk::UInt32 count, const AcGePoint3d* vertices) {
  if (count == 0 || vertices == nullptr) return Adesk::kFalse;
  std::vector<Point2> points;
  double depth = 0;
  for (Adesk::UInt32 i = 0; i < count; ++i) {
    const AcGePoint3d p = toView(vertices[i]);
    points.push_back({p.x, p.y});
    depth += p.z / count;
  }
  if (m_view.shaded) m_sink.depth(depth);
  m_sink.path(points, true, true, pen());
  return Adesk::kFalse;
}

// Seen from above, a mesh is its edges; in a shaded view each face fills, lit by how
// squarely it faces a light above the viewer's left shoulder.
Adesk::Boolean PlotDraw::shell(Adesk::UInt32 nbVertex, const AcGePoint3d* vertexList,
                               Adesk::UInt32 faceListSize, const Adesk::Int32* faceList) {
  if (vertexList == nullptr || faceList == nullptr) return Adesk::kFalse;
  const AcGeVector3d light = AcGeVector3d(-0.4, 0.6, 1.0).normal();
  std::vector<AcGePoint3d> face;
  for (Adesk::UInt32 i = 0; i < faceListSize;) {
    const Adesk::Int32 count = faceList[i++];
    if (count <= 0 || count > static_cast<Adesk::Int32>(faceListSize - i)) break;
    face.clear();
    for (Adesk::Int32 k = 0; k < count; ++k, ++i) {
      const Adesk::Int32 index = faceList[i];
      if (index >= 0 && static_cast<Adesk::UInt32>(index) < nbVertex)
        face.push_back(toView(vertexList[index]));
    }
    if (face.size() < 2) continue;
    if (!m_view.shaded || face.size() < 3) {
      emit(face, true);
      continue;
    }
    AcGeVector3d normal(0, 0, 0);
    for (size_t k = 0; k < face.size(); ++k) {  // Newell's normal: any polygon, any order
      const AcGePoint3d& a = face[k];
      const AcGePoint3d& b = face[(k + 1) % face.size()];
      normal += AcGeVector3d((a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x),
                             (a.x - b.x) * (a.y + b.y));
    }
    const double lit = normal.isZeroLength() ? 1.0 : std::fabs(normal.normal().dotProduct(light));
    std::vector<Point2> points;
    double depth = 0;
    for (const AcGePoint3d& p : face) {
      points.push_back({p.x, p.y});
      depth += p.z / face.size();
    }
    Pen fill = pen();
    fill.rgb = shade(fill.rgb == kPaperInk ? 0xB0B0B0 : fill.rgb, 0.45 + 0.55 * lit);
    m_sink.depth(depth, normal.z > 0 ? 1 : 0);
    m_sink.path(points, true, true, fill);
  }
  return Adesk::kFalse;
}

Adesk::Boolean PlotDraw::text(const AcGePoint3d& position, const AcGeVector3d& normal,
                              const AcGeVector3d& direction, double height, double width,
                              double oblique, const ACHAR* message) {
  if (message == nullptr || *message == 0 || direction.isZeroLength() || !std::isfinite(height))
    return Adesk::kFalse;
  const AcGeVector3d n = normal.isZeroLength() ? AcGeVector3d::kZAxis : normal.normal();
  AcGeVector3d along = direction.normal();
  AcGeVector3d up = n.crossProduct(along);
  along.transformBy(m_current);
  up.transformBy(m_current);
  const double scale = up.length();  // how the text's height maps into the view
  if (!(scale > 0) || along.isZeroLength()) return Adesk::kFalse;
  const AcGePoint3d p = toView(position);
  TextRun run;
  run.position = {p.x, p.y};
  run.direction = {along.x / along.length(), along.y / along.length()};
  run.up = {up.x / scale, up.y / scale};
  run.height = height * scale;
  run.widthFactor = width > 0 && std::isfinite(width) ? width * along.length() / scale : 1.0;
  run.oblique = std::isfinite(oblique) ? oblique : 0.0;
  run.fontFile = m_look.font;
  run.utf8 = text::toUtf8(message);
  if (m_view.shaded) m_sink.depth(p.z);
  m_sink.text(run, m_look.rgb);
  return Adesk::kFalse;
}

Adesk::Boolean PlotDraw::draw(AcGiDrawable* drawable) {
  if (drawable == nullptr || m_depth >= kDeepestNesting) return Adesk::kFalse;
  const Look outer = m_look;
  const Adesk::UInt16 outerIndex = m_index;
  auto* entity = AcDbEntity::cast(drawable);
  // Inside what draws now, ByBlock means the look of the entity drawing it.
  m_look.blockRgb = outer.rgb;
  m_look.blockLinetype = outer.linetype;
  m_look.blockWeightMm = outer.weightMm;
  ++m_depth;
  if (entity == nullptr || enter(entity)) drawable->worldDraw(this);
  --m_depth;
  m_look = outer;
  m_index = outerIndex;
  return Adesk::kFalse;
}

Adesk::Boolean PlotDraw::pushModelTransform(const AcGeMatrix3d& transform) {
  m_transforms.push_back(m_transforms.back() * transform);
  m_current = m_view.matrix * m_transforms.back();
  return Adesk::kFalse;
}

Adesk::Boolean PlotDraw::popModelTransform() {
  if (m_transforms.size() > 1) m_transforms.pop_back();
  m_current = m_view.matrix * m_transforms.back();
  return Adesk::kFalse;
}

void PlotDraw::getModelToWorldTransform(AcGeMatrix3d& transform) const {
  transform = m_transforms.back();
}

}  // namespace tabrik::plot
