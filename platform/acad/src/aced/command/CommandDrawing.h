// What the built-in commands do to the drawing: append new entities to the current
// space with the current properties, select, transform, copy and erase entities.
// Every function leaves the objects it opened closed.
#pragma once
#include <optional>
#include <vector>

#include "dbmain.h"

class AcGeMatrix3d;

namespace tabrik::acad::command {

AcDbDatabase* workingDrawing();
// Gives the entity the current layer, colour, linetype, linetype scale and
// lineweight and appends it to model space; the entity then belongs to the drawing
// (closed). On failure the entity is deleted and the id is null.
AcDbObjectId appendEntity(AcDbEntity* entity);
// Appends with the properties the entity already has (copies, exploded pieces).
AcDbObjectId appendEntityAsIs(AcDbEntity* entity, AcDbObjectId space);
bool eraseEntity(AcDbObjectId id);

// "Select objects:" with the host's selection forms: RTNORM with at least one entity,
// RTNONE when nothing was selected, RTCAN on Escape.
int selectObjects(std::vector<AcDbObjectId>& ids);

// Moves, turns, scales or mirrors the entity in place; false when it cannot take the
// transform (it stays as it was).
bool transformEntity(AcDbObjectId id, const AcGeMatrix3d& transform);
// A transformed copy beside the original (a block reference's attributes with it);
// null when the entity cannot be copied so.
AcDbObjectId copyEntity(AcDbObjectId id, const AcGeMatrix3d& transform);

// Where the last line or arc a command drew in the working drawing ended, and the
// direction of travel there: Enter at the first point of LINE or ARC continues from it.
struct Continuation {
  AcGePoint3d point;
  double direction = 0.0;
};
std::optional<Continuation> lastContinuation();
void setContinuation(const AcGePoint3d& point, double direction);

}  // namespace tabrik::acad::command
