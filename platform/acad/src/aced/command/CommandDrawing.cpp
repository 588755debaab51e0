// The built-in commands' access to the drawing database.
#include "aced/command/CommandDrawing.h"

#include <cstdint>
#include <memory>

#include "acedads.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "gemat3d.h"

namespace tabrik::acad::command {

namespace {

struct KeptContinuation {
  AcDbDatabase* database = nullptr;
  Continuation continuation;
};

KeptContinuation& keptContinuation() {
  static KeptContinuation kept;
  return kept;
}

}  // namespace

std::optional<Continuation> lastContinuation() {
  const KeptContinuation& kept = keptContinuation();
  if (kept.database == nullptr || kept.database != workingDrawing()) return std::nullopt;
  return kept.continuation;
}

void setContinuation(const AcGePoint3d& point, double direction) {
  keptContinuation() = KeptContinuation{workingDrawing(), Continuation{point, direction}};
}

AcDbDatabase* workingDrawing() { return acdbHostApplicationServices()->workingDatabase(); }

AcDbObjectId appendEntityAsIs(AcDbEntity* entity, AcDbObjectId space) {
  AcDbBlockTableRecord* block = nullptr;
  if (entity == nullptr) return AcDbObjectId::kNull;
  if (acdbOpenObject(block, space, AcDb::kForWrite) != Acad::eOk) {
    delete entity;
    return AcDbObjectId::kNull;
  }
  AcDbObjectId id;
  Acad::ErrorStatus status = block->appendAcDbEntity(id, entity);
  block->close();
  if (status != Acad::eOk) {
    delete entity;
    return AcDbObjectId::kNull;
  }
  entity->close();
  return id;
}

AcDbObjectId appendEntity(AcDbEntity* entity) {
  AcDbDatabase* database = workingDrawing();
  if (database == nullptr) {
    delete entity;
    return AcDbObjectId::kNull;
  }
  entity->setDatabaseDefaults(database);
  return appendEntityAsIs(entity, database->modelSpaceId());
}

bool eraseEntity(AcDbObjectId id) {
  AcDbEntity* entity = nullptr;
  if (acdbOpenObject(entity, id, AcDb::kForWrite) != Acad::eOk) return false;
  Acad::ErrorStatus status = entity->erase();
  entity->close();
  return status == Acad::eOk;
}

int selectObjects(std::vector<AcDbObjectId>& ids) {
  ids.clear();
  ads_name set = {0, 0};
  int status = acedSSGet(nullptr, nullptr, nullptr, nullptr, set);
  if (status == RTCAN) return RTCAN;
  if (status != RTNORM) return RTNONE;
  std::int32_t length = 0;
  acedSSLength(set, &length);
  for (std::int32_t i = 0; i < length; ++i) {
    ads_name name;
    AcDbObjectId id;
    if (acedSSName(set, i, name) == RTNORM && acdbGetObjectId(id, name) == Acad::eOk)
      ids.push_back(id);
  }
  acedSSFree(set);
  return ids.empty() ? RTNONE : RTNORM;
}

bool transformEntity(AcDbObjectId id, const AcGeMatrix3d& transform) {
  AcDbEntity* entity = nullptr;
  if (acdbOpenObject(entity, id, AcDb::kForWrite) != Acad::eOk) return false;
  Acad::ErrorStatus status = entity->transformBy(transform);
  entity->close();
  return status == Acad::eOk;
}

namespace {

// The attributes of `source` copied onto the new reference `copyId`, transformed.
void copyAttributes(const AcDbBlockReference* source, AcDbObjectId copyId,
                    const AcGeMatrix3d& transform) {
  std::unique_ptr<AcDbObjectIterator> it(source->attributeIterator());
  if (!it) return;
  AcDbBlockReference* copy = nullptr;
  if (acdbOpenObject(copy, copyId, AcDb::kForWrite) != Acad::eOk) return;
  for (it->start(); !it->done(); it->step()) {
    AcDbAttribute* attribute = nullptr;
    if (acdbOpenObject(attribute, it->objectId(), AcDb::kForRead) != Acad::eOk) continue;
    auto* duplicate = AcDbAttribute::cast(attribute->clone());
    attribute->close();
    if (duplicate == nullptr) continue;
    if (duplicate->transformBy(transform) != Acad::eOk ||
        copy->appendAttribute(duplicate) != Acad::eOk) {
      delete duplicate;
      continue;
    }
    duplicate->close();
  }
  copy->close();
}

}  // namespace

AcDbObjectId copyEntity(AcDbObjectId id, const AcGeMatrix3d& transform) {
  AcDbEntity* entity = nullptr;
  if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk) return AcDbObjectId::kNull;
  AcDbEntity* copy = nullptr;
  Acad::ErrorStatus status = entity->getTransformedCopy(transform, copy);
  AcDbObjectId space = entity->ownerId();
  if (status != Acad::eOk || copy == nullptr) {
    entity->close();
    return AcDbObjectId::kNull;
  }
  AcDbObjectId copyId = appendEntityAsIs(copy, space);
  if (auto* reference = AcDbBlockReference::cast(entity); reference != nullptr && copyId.isValid())
    copyAttributes(reference, copyId, transform);
  entity->close();
  return copyId;
}

}  // namespace tabrik::acad::command
