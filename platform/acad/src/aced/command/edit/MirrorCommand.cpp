// MIRROR: copies of the selection mirrored about a line through two points, the
// originals kept or erased. With MIRRTEXT 0 text keeps reading forwards: only its
// insertion and alignment points are mirrored.
#include <vector>

#include "acedads.h"
#include "acutads.h"
#include "aced/command/CommandDrawing.h"
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
  for (AcDbObjectId id : ids) {
    if (readable && isPlainText(id))
      mirrorReadable(id, mirror);
    else
      copyEntity(id, mirror);
  }
  if (erase.isKeyword(L"Yes")) {
    for (AcDbObjectId id : ids) eraseEntity(id);
  }
  return RTNORM;
}

}  // namespace tabrik::acad::command
