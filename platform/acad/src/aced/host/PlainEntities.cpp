// The world-draw context of plainEntitiesOf: each primitive becomes a host entity in
// world coordinates; a nested block reference becomes a copy of itself placed by the
// transforms in force.
#include "aced/host/PlainEntities.h"

#include <cmath>
#include <memory>
#include <vector>

#include "acgi.h"
#include "dbents.h"

namespace tabrik::acad {

namespace {

class PlainEntityDraw : public AcGiWorldDraw,
                        private AcGiWorldGeometry,
                        private AcGiSubEntityTraits {
 public:
  explicit PlainEntityDraw(const AcDbEntity* source)
      : m_source(source),
        m_color(source->colorIndex()),
        m_layer(source->layerId()),
        m_linetype(source->linetypeId()) {
    m_transforms.push_back(AcGeMatrix3d::kIdentity);
  }

  std::vector<AcDbEntity*> take() {
    std::vector<AcDbEntity*> made;
    made.swap(m_made);
    return made;
  }
  ~PlainEntityDraw() override {
    for (AcDbEntity* entity : m_made) delete entity;
  }

  AcGiWorldGeometry& geometry() const override { return const_cast<PlainEntityDraw&>(*this); }
  AcGiSubEntityTraits& subEntityTraits() const override {
    return const_cast<PlainEntityDraw&>(*this);
  }
  AcGiRegenType regenType() const override { return kAcGiForExplode; }

 private:
  // --- traits
  void setColor(Adesk::UInt16 colorIndex) override { m_color = colorIndex; }
  Adesk::UInt16 color() const override { return m_color; }
  void setTrueColor(std::uint32_t) override {}
  void setLayer(AcDbObjectId layerId) override { m_layer = layerId; }
  AcDbObjectId layerId() const override { return m_layer; }
  void setLineType(AcDbObjectId linetypeId) override { m_linetype = linetypeId; }
  AcDbObjectId lineTypeId() const override { return m_linetype; }
  void setSelectionMarker(std::intptr_t) override {}

  // --- geometry
  AcGePoint3d toWorld(const AcGePoint3d& p) const { return m_transforms.back() * p; }
  AcGeVector3d toWorld(const AcGeVector3d& v) const {
    AcGeVector3d w = v;
    return w.transformBy(m_transforms.back());
  }

  void keep(AcDbEntity* entity) {
    entity->setPropertiesFrom(m_source);
    if (!m_layer.isNull()) entity->setLayer(m_layer);
    if (!m_linetype.isNull()) entity->setLinetype(m_linetype);
    entity->setColorIndex(m_color);
    m_made.push_back(entity);
  }

  void line(const AcGePoint3d& a, const AcGePoint3d& b) {
    keep(new AcDbLine(toWorld(a), toWorld(b)));
  }

  Adesk::Boolean circle(const AcGePoint3d& center, double radius,
                        const AcGeVector3d& normal) override {
    keep(new AcDbCircle(toWorld(center), toWorld(normal).normal(),
                        radius * m_transforms.back().scale()));
    return Adesk::kFalse;
  }

  Adesk::Boolean circularArc(const AcGePoint3d& center, double radius, const AcGeVector3d& normal,
                             const AcGeVector3d& startVector, double sweepAngle,
                             AcGiArcType) override {
    const AcGeVector3d n = toWorld(normal).normal();
    const AcGeVector3d start = toWorld(startVector);
    const double r = radius * m_transforms.back().scale();
    const AcGePoint3d c = toWorld(center);
    if (n.isParallelTo(AcGeVector3d::kZAxis) && n.z > 0) {
      const double from = std::atan2(start.y, start.x);
      keep(new AcDbArc(c, r, sweepAngle >= 0 ? from : from + sweepAngle,
                       sweepAngle >= 0 ? from + sweepAngle : from));
      return Adesk::kFalse;
    }
    // An arc in another plane, as the chords a plotter would draw.
    const AcGeVector3d u = start.normal() * r;
    const AcGeVector3d v = n.crossProduct(start.normal()) * r;
    constexpr int kChords = 32;
    AcGePoint3d previous = c + u;
    for (int i = 1; i <= kChords; ++i) {
      const double t = sweepAngle * i / kChords;
      const AcGePoint3d next = c + u * std::cos(t) + v * std::sin(t);
      keep(new AcDbLine(previous, next));
      previous = next;
    }
    return Adesk::kFalse;
  }

  Adesk::Boolean polyline(Adesk::UInt32 count, const AcGePoint3d* vertices, const AcGeVector3d*,
                          std::intptr_t) override {
    for (Adesk::UInt32 i = 1; i < count; ++i) line(vertices[i - 1], vertices[i]);
    return Adesk::kFalse;
  }

  Adesk::Boolean polygon(Adesk::UInt32 count, const AcGePoint3d* vertices) override {
    if (count < 2) return Adesk::kFalse;
    polyline(count, vertices, nullptr, -1);
    line(vertices[count - 1], vertices[0]);
    return Adesk::kFalse;
  }

  // A mesh becomes one 3D face per face of three or four corners (what DXF readers
  // show as a surface); larger faces become their outlines.
  Adesk::Boolean shell(Adesk::UInt32 nbVertex, const AcGePoint3d* vertexList,
                       Adesk::UInt32 faceListSize, const Adesk::Int32* faceList) override {
    for (Adesk::UInt32 i = 0; i < faceListSize;) {
      const Adesk::Int32 count = faceList[i++];
      if (count <= 0 || i + static_cast<Adesk::UInt32>(count) > faceListSize) break;
      std::vector<AcGePoint3d> corners;
      for (Adesk::Int32 k = 0; k < count; ++k, ++i) {
        const Adesk::Int32 index = faceList[i];
        if (index >= 0 && static_cast<Adesk::UInt32>(index) < nbVertex)
          corners.push_back(toWorld(vertexList[index]));
      }
      if (corners.size() == 3 || corners.size() == 4) {
        keep(new AcDbFace(corners[0], corners[1], corners[2], corners.back()));
      } else if (corners.size() >= 2) {
        for (size_t k = 0; k < corners.size(); ++k)
          keep(new AcDbLine(corners[k], corners[(k + 1) % corners.size()]));
      }
    }
    return Adesk::kFalse;
  }

  Adesk::Boolean text(const AcGePoint3d& position, const AcGeVector3d&,
                      const AcGeVector3d& direction, double height, double, double,
                      const ACHAR* message) override {
    const AcGeVector3d d = toWorld(direction);
    keep(new AcDbText(toWorld(position), message ? message : L"", AcDbObjectId::kNull,
                      height * m_transforms.back().scale(), std::atan2(d.y, d.x)));
    return Adesk::kFalse;
  }

  // A block reference stays one, placed by the transforms in force; anything else
  // nested draws its own primitives with its own layer and colour.
  Adesk::Boolean draw(AcGiDrawable* drawable) override {
    if (drawable == nullptr || m_depth > 64) return Adesk::kFalse;  // defensive: runaway nesting
    auto* entity = AcDbEntity::cast(drawable);
    const Adesk::UInt16 color = m_color;
    const AcDbObjectId layer = m_layer, linetype = m_linetype;
    if (entity != nullptr && !entity->layerId().isNull()) m_layer = entity->layerId();
    if (auto* reference = AcDbBlockReference::cast(drawable)) {
      if (!reference->blockTableRecord().isNull()) {
        auto* copy = new AcDbBlockReference(reference->position(), reference->blockTableRecord());
        copy->setNormal(reference->normal());
        copy->setScaleFactors(reference->scaleFactors());
        copy->setRotation(reference->rotation());
        copy->transformBy(m_transforms.back());
        keep(copy);
      }
    } else {
      ++m_depth;
      drawable->worldDraw(this);
      --m_depth;
    }
    m_color = color, m_layer = layer, m_linetype = linetype;
    return Adesk::kFalse;
  }

  Adesk::Boolean pushModelTransform(const AcGeMatrix3d& transform) override {
    m_transforms.push_back(m_transforms.back() * transform);
    return Adesk::kFalse;
  }
  Adesk::Boolean popModelTransform() override {
    if (m_transforms.size() > 1) m_transforms.pop_back();
    return Adesk::kFalse;
  }
  void getModelToWorldTransform(AcGeMatrix3d& transform) const override {
    transform = m_transforms.back();
  }

  const AcDbEntity* m_source;
  Adesk::UInt16 m_color;
  AcDbObjectId m_layer, m_linetype;
  std::vector<AcGeMatrix3d> m_transforms;
  std::vector<AcDbEntity*> m_made;
  int m_depth = 0;
};

}  // namespace

std::vector<AcDbEntity*> plainEntitiesOf(AcDbEntity* entity) {
  if (entity == nullptr) return {};
  PlainEntityDraw draw(entity);
  entity->worldDraw(&draw);
  return draw.take();
}

}  // namespace tabrik::acad
