// EXPLODE: each selected polyline or block reference is replaced by its pieces (lines
// and arcs; the block's entities placed as the reference shows them, its attribute
// definitions again in place of the attributes). Others are counted and reported.
#include <memory>
#include <vector>

#include "acedads.h"
#include "acutads.h"
#include "aced/command/CommandDrawing.h"
#include "aced/command/CoreCommands.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "gemat3d.h"

namespace tabrik::acad::command {

namespace {

// The reference's variable attribute definitions, placed by its transform (the
// entity's own explode shows only constant ones).
void placedDefinitions(const AcDbBlockReference* reference, AcDbVoidPtrArray& pieces) {
  AcDbBlockTableRecord* block = nullptr;
  if (acdbOpenObject(block, reference->blockTableRecord(), AcDb::kForRead) != Acad::eOk) return;
  const AcDbObjectIdArray ids = block->entityIds();
  block->close();
  const AcGeMatrix3d transform = reference->blockTransform();
  for (const AcDbObjectId& id : ids) {
    AcDbAttributeDefinition* definition = nullptr;
    if (acdbOpenObject(definition, id, AcDb::kForRead) != Acad::eOk) continue;
    if (!definition->isConstant()) {
      AcDbEntity* copy = nullptr;
      if (definition->getTransformedCopy(transform, copy) == Acad::eOk && copy != nullptr)
        pieces.append(copy);
    }
    definition->close();
  }
}

// Replaces the entity by its pieces; false when it has none.
bool explodeOne(AcDbObjectId id) {
  AcDbEntity* entity = nullptr;
  if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk) return false;
  AcDbVoidPtrArray pieces;
  const bool exploded = entity->explode(pieces) == Acad::eOk;
  if (exploded) {
    if (auto* reference = AcDbBlockReference::cast(entity)) placedDefinitions(reference, pieces);
  }
  const AcDbObjectId space = entity->ownerId();
  entity->close();
  if (!exploded || pieces.length() == 0) {
    for (void* piece : pieces) delete static_cast<AcDbEntity*>(piece);
    return false;
  }
  for (void* piece : pieces) appendEntityAsIs(static_cast<AcDbEntity*>(piece), space);
  eraseEntity(id);
  return true;
}

}  // namespace

int explodeCommand() {
  std::vector<AcDbObjectId> ids;
  int status = selectObjects(ids);
  if (status != RTNORM) return status == RTNONE ? RTNORM : status;
  int refused = 0;
  for (AcDbObjectId id : ids) {
    if (!explodeOne(id)) ++refused;
  }
  if (refused == 1) acutPrintf(L"\n1 was not able to be exploded.\n");
  if (refused > 1) acutPrintf(L"\n%d were not able to be exploded.\n", refused);
  return RTNORM;
}

}  // namespace tabrik::acad::command
