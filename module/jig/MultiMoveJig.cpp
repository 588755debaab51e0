// MultiMoveJig: each update moves the copies by the cursor's step since the last one,
// so the copies always sit at (cursor - base) from where they started.
#include "jig/MultiMoveJig.h"

namespace tabrik::arx::draw {

MultiMoveJig::MultiMoveJig(const AcGePoint3d& basePoint)
    : m_base(basePoint), m_previous(basePoint), m_current(basePoint) {}

MultiMoveJig::~MultiMoveJig() { m_list.deleteEntities(); }

void MultiMoveJig::setEntityList(std::vector<AcDbEntity*> copies) {
  m_list.deleteEntities();
  m_list.setList(std::move(copies));
}

AcEdJig::DragStatus MultiMoveJig::sampler() {
  setUserInputControls(UserInputControls(kGovernedByOrthoMode | kNullResponseAccepted));
  setSpecialCursorType(kRubberBand);
  AcGePoint3d point;
  DragStatus status = acquirePoint(point, m_base);
  if (status == kNormal && point == m_previous) return kNoChange;
  if (status == kNormal) m_current = point;
  return status;
}

Adesk::Boolean MultiMoveJig::update() {
  const AcGeMatrix3d step = AcGeMatrix3d::translation(m_current - m_previous);
  for (AcDbEntity* copy : m_list.list()) copy->transformBy(step);
  m_previous = m_current;
  return Adesk::kTrue;
}

AcDbEntity* MultiMoveJig::entity() const { return m_list.shownByJig(); }

}  // namespace tabrik::arx::draw
