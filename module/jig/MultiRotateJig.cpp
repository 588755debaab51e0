// MultiRotateJig: each update turns the copies by the angle's change since the sample
// before, so they stay turned by the sampled angle from where they started.
#include "jig/MultiRotateJig.h"

namespace tabrik::arx::draw {

MultiRotateJig::MultiRotateJig(const AcGePoint3d& basePoint) : m_base(basePoint) {}

MultiRotateJig::~MultiRotateJig() { m_list.deleteEntities(); }

void MultiRotateJig::setEntityList(std::vector<AcDbEntity*> copies) {
  m_list.deleteEntities();
  m_list.setList(std::move(copies));
}

AcEdJig::DragStatus MultiRotateJig::sampler() {
  setUserInputControls(UserInputControls(kGovernedByOrthoMode | kNullResponseAccepted));
  m_previousAngle = m_angle;
  return acquireAngle(m_angle, m_base);
}

Adesk::Boolean MultiRotateJig::update() {
  const AcGeMatrix3d turn =
      AcGeMatrix3d::rotation(m_angle - m_previousAngle, AcGeVector3d::kZAxis, m_base);
  for (AcDbEntity* copy : m_list.list()) copy->transformBy(turn);
  return Adesk::kTrue;
}

AcDbEntity* MultiRotateJig::entity() const { return m_list.shownByJig(); }

}  // namespace tabrik::arx::draw
