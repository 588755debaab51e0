// The recording world-draw context of tabrik/GiRecorder.h.
#include "acdb/objects/DatabaseInternal.h"
#include "tabrik/GiRecorder.h"

#include "dbmain.h"

namespace tabrik::acad {

GiRecorder::GiRecorder() { m_transforms.push_back(AcGeMatrix3d::kIdentity); }

GiPrimitive GiRecorder::start(GiPrimitive::Kind kind) const {
  GiPrimitive p;
  p.kind = kind;
  p.color = m_color;
  p.layer = m_layer;
  return p;
}

AcGePoint3d GiRecorder::toWorld(const AcGePoint3d& p) const { return m_transforms.back() * p; }

AcGeVector3d GiRecorder::toWorld(const AcGeVector3d& v) const {
  AcGeVector3d w = v;
  return w.transformBy(m_transforms.back());
}

Adesk::Boolean GiRecorder::circle(const AcGePoint3d& center, double radius,
                                  const AcGeVector3d& normal) {
  GiPrimitive p = start(GiPrimitive::kCircle);
  p.points.push_back(toWorld(center));
  p.radius = radius * m_transforms.back().scale();
  p.normal = toWorld(normal).normal();
  m_primitives.push_back(p);
  return Adesk::kFalse;
}

Adesk::Boolean GiRecorder::circularArc(const AcGePoint3d& center, double radius,
                                       const AcGeVector3d& normal, const AcGeVector3d& startVector,
                                       double sweepAngle, AcGiArcType) {
  GiPrimitive p = start(GiPrimitive::kArc);
  p.points.push_back(toWorld(center));
  p.radius = radius * m_transforms.back().scale();
  p.normal = toWorld(normal).normal();
  p.startVector = toWorld(startVector);
  p.sweep = sweepAngle;
  m_primitives.push_back(p);
  return Adesk::kFalse;
}

Adesk::Boolean GiRecorder::polyline(Adesk::UInt32 count, const AcGePoint3d* vertices,
                                    const AcGeVector3d*, std::intptr_t) {
  GiPrimitive p = start(GiPrimitive::kPolyline);
  for (Adesk::UInt32 i = 0; i < count; ++i) p.points.push_back(toWorld(vertices[i]));
  m_primitives.push_back(p);
  return Adesk::kFalse;
}

Adesk::Boolean GiRecorder::polygon(Adesk::UInt32 count, const AcGePoint3d* vertices) {
  GiPrimitive p = start(GiPrimitive::kPolygon);
  for (Adesk::UInt32 i = 0; i < count; ++i) p.points.push_back(toWorld(vertices[i]));
  m_primitives.push_back(p);
  return Adesk::kFalse;
}

Adesk::Boolean GiRecorder::text(const AcGePoint3d& position, const AcGeVector3d& normal,
                                const AcGeVector3d&, double height, double, double,
                                const ACHAR* message) {
  GiPrimitive p = start(GiPrimitive::kText);
  p.points.push_back(toWorld(position));
  p.normal = toWorld(normal).normal();
  p.height = height * m_transforms.back().scale();
  p.text = message ? message : L"";
  m_primitives.push_back(p);
  return Adesk::kFalse;
}

// A nested entity draws with its own layer and colour; the drawer's come back after.
Adesk::Boolean GiRecorder::draw(AcGiDrawable* drawable) {
  if (drawable == nullptr || m_depth > 64) return Adesk::kFalse;  // defensive: runaway nesting
  Adesk::UInt16 color = m_color;
  AcDbObjectId layer = m_layer, linetype = m_linetype;
  if (auto* entity = AcDbEntity::cast(drawable)) {
    m_color = entity->colorIndex();
    m_layer = entity->layerId();
    m_linetype = entity->linetypeId();
  }
  ++m_depth;
  drawable->worldDraw(this);
  --m_depth;
  m_color = color, m_layer = layer, m_linetype = linetype;
  return Adesk::kFalse;
}

Adesk::Boolean GiRecorder::pushModelTransform(const AcGeMatrix3d& transform) {
  m_transforms.push_back(m_transforms.back() * transform);
  return Adesk::kFalse;
}

Adesk::Boolean GiRecorder::popModelTransform() {
  if (m_transforms.size() > 1) m_transforms.pop_back();
  return Adesk::kFalse;
}

void GiRecorder::getModelToWorldTransform(AcGeMatrix3d& transform) const {
  transform = m_transforms.back();
}

}  // namespace tabrik::acad
