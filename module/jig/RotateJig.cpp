// RotateJig: the base point of each kind of entity and the turn it shows.
#include "jig/RotateJig.h"

#include <dbents.h>
#include <dbmtext.h>

namespace tabrik::arx::draw {
namespace {

AcGePoint3d basePointOf(const AcDbEntity& entity) {
  if (auto* text = AcDbMText::cast(&entity)) return text->location();
  if (auto* reference = AcDbBlockReference::cast(&entity)) return reference->position();
  AcDbExtents extents;
  if (entity.getGeomExtents(extents) != Acad::eOk || extents.isEmpty()) return AcGePoint3d();
  return extents.minPoint();
}

}  // namespace

RotateJig::RotateJig(AcDbEntity* copy) : m_copy(copy) {
  if (m_copy) m_base = basePointOf(*m_copy);
}

RotateJig::~RotateJig() = default;

AcEdJig::DragStatus RotateJig::sampler() {
  setUserInputControls(UserInputControls(kGovernedByOrthoMode | kNullResponseAccepted));
  return acquireAngle(m_angle, m_base);
}

Adesk::Boolean RotateJig::update() {
  if (auto* text = AcDbMText::cast(m_copy.get())) {
    text->setRotation(m_angle);
  } else if (auto* reference = AcDbBlockReference::cast(m_copy.get())) {
    reference->setRotation(m_angle);
  }
  return Adesk::kTrue;
}

AcDbEntity* RotateJig::entity() const { return m_copy.get(); }

}  // namespace tabrik::arx::draw
