// POINT: one point entity, after the point display modes.
#include "acedads.h"
#include "acutads.h"
#include "aced/command/CommandDrawing.h"
#include "aced/command/CommandInput.h"
#include "aced/command/CoreCommands.h"
#include "dbents.h"

namespace tabrik::acad::command {

int pointCommand() {
  acutPrintf(L"\nCurrent point modes:  PDMODE=%d  PDSIZE=%ls", intVariable(L"PDMODE", 0),
             formatDistance(realVariable(L"PDSIZE", 0.0)).c_str());
  Answer answer = getPoint(nullptr, L"\nSpecify a point: ", L"", RSG_NONULL);
  if (answer.status != RTNORM) return answer.status;
  return appendEntity(new AcDbPoint(answer.point)).isValid() ? RTNORM : RTERROR;
}

}  // namespace tabrik::acad::command
