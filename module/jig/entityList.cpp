// entityList: draws the entities of a multi jig in list order.
#include "jig/entityList.h"

#include <winuser.h>

#include <acgi.h>
#include <dbents.h>

#include "jig/BlockPreview.h"

namespace tabrik::arx::draw {

void entityList::setList(std::vector<AcDbEntity*> entities) {
  m_entities = std::move(entities);
  m_listSet = true;
}

entityList* entityList::shownByJig() const {
  if (!m_listSet) {
    MessageBoxW(GetActiveWindow(),
                L"Error - You must call setEntityList before calling multiBlockJig::drag()",
                L"Norvane Error", MB_OK | MB_ICONERROR);
  }
  return const_cast<entityList*>(this);
}

void entityList::deleteEntities() {
  for (AcDbEntity* entity : m_entities) {
    if (entity != nullptr && entity->objectId().isNull()) delete entity;
  }
  m_entities.clear();
}

Adesk::Boolean entityList::subWorldDraw(AcGiWorldDraw* mode) {
  if (mode == nullptr) return Adesk::kTrue;
  for (AcDbEntity* entity : m_entities) {
    if (entity == nullptr) continue;
    if (auto* reference = AcDbBlockReference::cast(entity)) {
      drawBlockPreview(reference, mode);
      continue;
    }
    mode->geometry().draw(entity);
  }
  return Adesk::kTrue;
}

}  // namespace tabrik::arx::draw
