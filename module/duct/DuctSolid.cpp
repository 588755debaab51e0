#include "duct/DuctSolid.h"

#include "draw/DrawingOperations.h"

namespace tabrik::arx::duct {

bool DuctSolid::append(AcDbObjectId& id) {
  id = AcDbObjectId::kNull;
  if (m_solid == nullptr) return false;
  nv_hvacSolid* solid = m_solid;
  m_solid = nullptr;  // the append owns it now: it deletes it on failure
  if (!draw::appendToModelSpace(solid)) return false;
  id = solid->objectId();
  solid->close();
  return true;
}

}  // namespace tabrik::arx::duct
