// ERASE: the selected entities are erased.
#include <vector>

#include "acedads.h"
#include "aced/command/CommandDrawing.h"
#include "aced/command/CoreCommands.h"

namespace tabrik::acad::command {

int eraseCommand() {
  std::vector<AcDbObjectId> ids;
  int status = selectObjects(ids);
  if (status != RTNORM) return status == RTNONE ? RTNORM : status;
  for (AcDbObjectId id : ids) eraseEntity(id);
  return RTNORM;
}

}  // namespace tabrik::acad::command
