// MIRROR: copies of the selection mirrored about a line through two points, the
// originals kept or erased. With MIRRTEXT 0 text and attributes keep reading forwards:
// only their insertion and alignment points are mirrored. A block reference in the
// plan stays in it: the mirror becomes a negative X scale and a turn, as the host
// stores mirrored references.
#include <cmath>
#include <memory>
#include <vector>

#include "acedads.h"
#include "acutads.h"
#include "aced/command/CommandDrawing.h"
#include "aced/command/CommandGeometry.h"
#include "aced/command/CommandInput.h"
#include "aced/command/CoreCommands.h"
#include "dbents.h"
#include "gemat3d.h"
#include "geplane.h"

namespace tabrik::acad::command {

namespace {

// A copy of text whose points are mirrored but whose direction and reading are kept.
AcDbObjectId mirrorReadable(AcDbObjectId id, const AcGeMatrix3d& mirror) {
  AcDbText* text = nullptr;
  if (acdbOpenObject(text, id, AcDb::kForRead) != Acad::eOk) return AcDbObjectId::kNull;
  const AcGePoint3d anchor = text->isDefaultAlignment() ? text->position() : text->alignmentPoint();
  text->close();
  return copyEntity(id, AcGeMatrix3d::translation((mirror * anchor) - anchor));
}

// Mirrors an attribute copy: readable ones only move their anchor.
void mirrorAttribute(AcDbAttribute* attribute, const AcGeMatrix3d& mirror, bool readable) {
  if (!readable) {
    attribute->transformBy(mirror);
    return;
  }
  const AcGePoint3d anchor =
      attribute->isDefaultAlignment() ? attribute->position() : attribute->alignmentPoint();
  attribute->transformBy(AcGeMatrix3d::translation((mirror * anchor) - anchor));
}

// A mirrored copy of a reference whose normal is the Z axis: about a line at angle
// `lineAngle`, a turn by theta and scales (sx, sy) become a turn by
// 2 * lineAngle - theta + pi and scales (-sx, sy).
bool mirrorReference(AcDbObjectId id, const AcGeMatrix3d& mirror, double lineAngle, bool readable) {
  AcDbBlockReference* reference = nullptr;
  if (acdbOpenObject(reference, id, AcDb::kForRead) != Acad::eOk) return false;
  if (!reference->normal().isCodirectionalTo(AcGeVector3d::kZAxis)) {
    reference->close();
    return false;
  }
  auto* copy = AcDbBlockReference::cast(reference->clone());
  if (copy == nullptr) {
    reference->close();
    return false;
  }
  const AcGeScale3d scale = reference->scaleFactors();
  copy->setPosition(mirror * reference->position());
  copy->setRotation(std::fmod(2 * lineAngle - reference->rotation() + 3 * M_PI, 2 * M_PI));
  copy->setScaleFactors(AcGeScale3d(-scale.sx, scale.sy, scale.sz));
  const AcDbObjectId copyId = appendEntityAsIs(copy, reference->ownerId());
  std::unique_ptr<AcDbObjectIterator> it(reference->attributeIterator());
  reference->close();
  if (copyId.isNull() || acdbOpenObject(copy, copyId, AcDb::kForWrite) != Acad::eOk) return true;
  for (it->start(); !it->done(); it->step()) {
    AcDbAttribute* attribute = nullptr;
    if (acdbOpenObject(attribute, it->objectId(), AcDb::kForRead) != Acad::eOk) continue;
    auto* duplicate = AcDbAttribute::cast(attribute->clone());
    attribute->close();
    if (duplicate == nullptr) continue;
    mirrorAttribute(duplicate, mirror, readable);
    if (copy->appendAttribute(duplicate) == Acad::eOk)
      duplicate->close();
    else
      delete duplicate;
  }
  copy->close();
  return true;
}

bool isPlainText(AcDbObjectId id) {
  AcDbEntity* entity = nullptr;
  if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk) return false;
  const bool text = entity->isA() == AcDbText::desc();
  entity->close();
  return text;
}

}  // namespace

int mirrorCommand() {
  std::vector<AcDbObjectId> ids;
  int status = selectObjects(ids);
  if (status != RTNORM) return status == RTNONE ? RTNORM : status;
  Answer first = getPoint(nullptr, L"\nSpecify first point of mirror line: ", L"", RSG_NONULL);
  if (first.status != RTNORM) return first.status;
  Answer second;
  while (true) {
    second = getPoint(&first.point, L"\nSpecify second point of mirror line: ", L"", RSG_NONULL);
    if (second.status != RTNORM) return second.status;
    if (!second.point.convert2d().isEqualTo(first.point.convert2d())) break;
    acutPrintf(L"\nThe points must be different.\n");
  }
  Answer erase = getKeyword(L"\nErase source objects? [Yes/No] <N>: ", L"Yes No");
  if (erase.status == RTCAN) return RTCAN;
  if (erase.status != RTKWORD && erase.status != RTNONE) return erase.status;

  // The mirror plane holds the line and the Z axis.
  const AcGeVector3d along = second.point - first.point;
  const AcGeVector3d normal = AcGeVector3d(-along.y, along.x, 0).normal();
  const AcGeMatrix3d mirror = AcGeMatrix3d::mirroring(AcGePlane(first.point, normal));
  const bool readable = intVariable(L"MIRRTEXT", 0) == 0;
  const double lineAngle = directionOf(first.point, second.point);
  for (AcDbObjectId id : ids) {
    if (readable && isPlainText(id)) {
      mirrorReadable(id, mirror);
      continue;
    }
    if (!mirrorReference(id, mirror, lineAngle, readable)) copyEntity(id, mirror);
  }
  if (erase.isKeyword(L"Yes")) {
    for (AcDbObjectId id : ids) eraseEntity(id);
  }
  return RTNORM;
}

}  // namespace tabrik::acad::command
