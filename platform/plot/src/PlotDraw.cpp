#include "PlotDraw.h"

#include <cmath>

#include "AciColors.h"
#include "dbents.h"
#include "tabrik/TextConversion.h"

namespace tabrik::plot {

namespace {

// Colour 7 is white on the screen and black on paper.
constexpr std::uint32_t kPaperInk = 0x000000;
// Nested blocks deeper than this are a cycle or a mistake: drawn no further.
constexpr int kDeepestNesting = 64;

std::uint32_t indexed(int index) { return index == 7 ? kPaperInk : aciToRgb(index); }

}  // namespace

PlotDraw::PlotDraw(const std::map<AcDbObjectId, LayerLook>& layers, PlotSink& sink)
    : m_layers(layers), m_sink(sink) {
  m_transforms.push_back(AcGeMatrix3d::kIdentity);
}

std::uint32_t PlotDraw::resolve(const AcCmColor& color) const {
  if (color.isByColor()) return color.rgb();
  if (color.isByBlock()) return m_look.blockRgb;
  if (color.isByLayer()) {
    auto it = m_layers.find(m_look.layer);
    if (it == m_layers.end()) return kPaperInk;
    const AcCmColor& layer = it->second.color;
    return layer.isByColor() ? layer.rgb() : indexed(layer.colorIndex());
  }
  return indexed(color.colorIndex());
}

bool PlotDraw::enter(AcDbEntity* entity) {
  AcDbObjectId layer = entity->layerId();
  auto it = m_layers.find(layer);
  // Inside a block, an entity on layer "0" is on the reference's layer.
  if (m_depth > 0 && (it == m_layers.end() || it->second.isZero)) layer = m_look.layer;
  it = m_layers.find(layer);
  if (it != m_layers.end() && !it->second.shown) return false;
  m_look.layer = layer;
  m_look.rgb = resolve(entity->color());
  m_index = entity->colorIndex();
  return true;
}

void PlotDraw::plot(AcDbEntity* entity) {
  if (entity == nullptr) return;
  m_look = Look{};
  m_look.blockRgb = kPaperInk;
  if (!enter(entity)) return;
  entity->worldDraw(this);
}

void PlotDraw::setColor(Adesk::UInt16 colorIndex) {
  m_index = colorIndex;
  AcCmColor color;
  color.setColorIndex(colorIndex);
  m_look.rgb = resolve(color);
}

Point2 PlotDraw::flat(const AcGePoint3d& p) const {
  const AcGePoint3d w = m_transforms.back() * p;
  return {w.x, w.y};
}

Adesk::Boolean PlotDraw::circle(const AcGePoint3d& center, double radius,
                                const AcGeVector3d& normal) {
  const double r = radius * m_transforms.back().scale();
  m_sink.arc(flat(center), r, 0.0, 2 * M_PI, m_look.rgb);
  return Adesk::kFalse;
}

Adesk::Boolean PlotDraw::circularArc(const AcGePoint3d& center, double radius,
                                     const AcGeVector3d& normal, const AcGeVector3d& startVector,
                                     double sweepAngle, AcGiArcType arcType) {
  AcGeVector3d n = normal;
  n.transformBy(m_transforms.back());
  AcGeVector3d start = startVector;
  start.transformBy(m_transforms.back());
  const double r = radius * m_transforms.back().scale();
  const Point2 c = flat(center);
  if (n.isParallelTo(AcGeVector3d::kZAxis) && r > 0) {
    // Seen from above, an arc about -Z turns the other way.
    const double sweep = n.z > 0 ? sweepAngle : -sweepAngle;
    m_sink.arc(c, r, std::atan2(start.y, start.x), sweep, m_look.rgb);
    return Adesk::kFalse;
  }
  // An arc in another plane, projected onto the paper as chords.
  const AcGeVector3d u = start.normal() * r;
  const AcGeVector3d v = n.normal().crossProduct(start.normal()) * r;
  constexpr int kChords = 48;
  std::vector<Point2> points;
  const AcGePoint3d w = m_transforms.back() * center;
  for (int i = 0; i <= kChords; ++i) {
    const double t = sweepAngle * i / kChords;
    const AcGePoint3d p = w + u * std::cos(t) + v * std::sin(t);
    points.push_back({p.x, p.y});
  }
  m_sink.path(points, false, false, m_look.rgb);
  return Adesk::kFalse;
}

Adesk::Boolean PlotDraw::polyline(Adesk::UInt32 count, const AcGePoint3d* vertices,
                                  const AcGeVector3d*, std::intptr_t) {
  if (count == 0 || vertices == nullptr) return Adesk::kFalse;
  std::vector<Point2> points;
  points.reserve(count);
  for (Adesk::UInt32 i = 0; i < count; ++i) points.push_back(flat(vertices[i]));
  m_sink.path(points, false, false, m_look.rgb);
  return Adesk::kFalse;
}

Adesk::Boolean PlotDraw::polygon(Adesk::UInt32 count, const AcGePoint3d* vertices) {
  if (count == 0 || vertices == nullptr) return Adesk::kFalse;
  std::vector<Point2> points;
  for (Adesk::UInt32 i = 0; i < count; ++i) points.push_back(flat(vertices[i]));
  m_sink.path(points, true, false, m_look.rgb);
  return Adesk::kFalse;
}

Adesk::Boolean PlotDraw::text(const AcGePoint3d& position, const AcGeVector3d&,
                              const AcGeVector3d& direction, double height, double width, double,
                              const ACHAR* message) {
  if (message == nullptr || *message == 0) return Adesk::kFalse;
  AcGeVector3d d = direction;
  d.transformBy(m_transforms.back());
  const double scale = m_transforms.back().scale();
  m_sink.text(flat(position), std::atan2(d.y, d.x), height * scale, width > 0 ? width : 1.0,
              text::toUtf8(message), m_look.rgb);
  return Adesk::kFalse;
}

Adesk::Boolean PlotDraw::draw(AcGiDrawable* drawable) {
  if (drawable == nullptr || m_depth >= kDeepestNesting) return Adesk::kFalse;
  const Look outer = m_look;
  const Adesk::UInt16 outerIndex = m_index;
  auto* entity = AcDbEntity::cast(drawable);
  // Inside what draws now, ByBlock means the colour of the entity drawing it.
  m_look.blockRgb = outer.rgb;
  ++m_depth;
  if (entity == nullptr || enter(entity)) drawable->worldDraw(this);
  --m_depth;
  m_look = outer;
  m_index = outerIndex;
  return Adesk::kFalse;
}

Adesk::Boolean PlotDraw::pushModelTransform(const AcGeMatrix3d& transform) {
  m_transforms.push_back(m_transforms.back() * transform);
  return Adesk::kFalse;
}

Adesk::Boolean PlotDraw::popModelTransform() {
  if (m_transforms.size() > 1) m_transforms.pop_back();
  return Adesk::kFalse;
}

void PlotDraw::getModelToWorldTransform(AcGeMatrix3d& transform) const {
  transform = m_transforms.back();
}

}  // namespace tabrik::plot
