// MOVE and COPY: the selection displaced by a base point and a second point, or by a
// displacement typed as a point. COPY repeats second points until Enter unless
// COPYMODE is 1 (Single), and Undo takes back the last copies.
#include <vector>

#include "acedads.h"
#include "acutads.h"
#include "aced/command/CommandDrawing.h"
#include "aced/command/CommandInput.h"
#include "aced/command/CoreCommands.h"
#include "gemat3d.h"

namespace tabrik::acad::command {

namespace {

AcGeVector3d& lastDisplacement() {
  static AcGeVector3d kept(0, 0, 0);
  return kept;
}

// Displacement (or Enter at the base point): a point read as a vector.
int askDisplacement(AcGeVector3d& displacement) {
  Answer answer =
      getPoint(nullptr, L"\nSpecify displacement <" +
                            formatPoint(AcGePoint3d::kOrigin + lastDisplacement()) + L">: ");
  if (answer.status == RTNORM) displacement = answer.point.asVector();
  if (answer.status == RTNONE) displacement = lastDisplacement();
  if (answer.status != RTNORM && answer.status != RTNONE) return answer.status;
  lastDisplacement() = displacement;
  return RTNORM;
}

// The second point; Enter takes the base point itself as the displacement.
int askSecondPoint(const AcGePoint3d& base, AcGeVector3d& displacement) {
  Answer answer = getPoint(&base, L"\nSpecify second point or <use first point as displacement>: ");
  if (answer.status == RTNORM) displacement = answer.point - base;
  if (answer.status == RTNONE) displacement = base.asVector();
  if (answer.status != RTNORM && answer.status != RTNONE) return answer.status;
  lastDisplacement() = displacement;
  return RTNORM;
}

std::vector<AcDbObjectId> copyAll(const std::vector<AcDbObjectId>& ids,
                                  const AcGeVector3d& displacement) {
  std::vector<AcDbObjectId> copies;
  const AcGeMatrix3d move = AcGeMatrix3d::translation(displacement);
  for (AcDbObjectId id : ids) {
    AcDbObjectId copy = copyEntity(id, move);
    if (copy.isValid()) copies.push_back(copy);
  }
  return copies;
}

bool isSingleCopyMode() { return intVariable(L"COPYMODE", 0) == 1; }

}  // namespace

int moveCommand() {
  std::vector<AcDbObjectId> ids;
  int status = selectObjects(ids);
  if (status != RTNORM) return status == RTNONE ? RTNORM : status;
  Answer base = getPoint(nullptr, L"\nSpecify base point or [Displacement] <Displacement>: ",
                         L"Displacement");
  AcGeVector3d displacement;
  if (base.status == RTNORM) {
    status = askSecondPoint(base.point, displacement);
  } else if (base.status == RTNONE || base.isKeyword(L"Displacement")) {
    status = askDisplacement(displacement);
  } else {
    return base.status;
  }
  if (status != RTNORM) return status;
  const AcGeMatrix3d move = AcGeMatrix3d::translation(displacement);
  for (AcDbObjectId id : ids) transformEntity(id, move);
  return RTNORM;
}

int copyCommand() {
  std::vector<AcDbObjectId> ids;
  int status = selectObjects(ids);
  if (status != RTNORM) return status == RTNONE ? RTNORM : status;
  while (true) {
    acutPrintf(L"\nCurrent settings:  Copy mode = %ls",
               isSingleCopyMode() ? L"Single" : L"Multiple");
    Answer base = getPoint(nullptr, L"\nSpecify base point or [Displacement/mOde] <Displacement>: ",
                           L"Displacement mOde");
    if (base.isKeyword(L"mOde")) {
      Answer mode = getKeyword(std::wstring(L"\nEnter a copy mode option [Single/Multiple] <") +
                                   (isSingleCopyMode() ? L"Single" : L"Multiple") + L">: ",
                               L"Single Multiple");
      if (mode.status == RTCAN) return RTCAN;
      if (mode.status == RTKWORD) setIntVariable(L"COPYMODE", mode.isKeyword(L"Single") ? 1 : 0);
      continue;
    }
    AcGeVector3d displacement;
    if (base.status == RTNONE || base.isKeyword(L"Displacement")) {
      status = askDisplacement(displacement);
      if (status == RTNORM) copyAll(ids, displacement);
      return status;
    }
    if (base.status != RTNORM) return base.status;
    status = askSecondPoint(base.point, displacement);
    if (status != RTNORM) return status;
    std::vector<std::vector<AcDbObjectId>> made{copyAll(ids, displacement)};
    if (isSingleCopyMode() || displacement == base.point.asVector()) return RTNORM;
    while (true) {
      Answer next =
          getPoint(&base.point, L"\nSpecify second point or [Exit/Undo] <Exit>: ", L"Exit Undo");
      if (next.status == RTNONE || next.isKeyword(L"Exit")) return RTNORM;
      if (next.status == RTCAN) return RTCAN;
      if (next.isKeyword(L"Undo")) {
        if (made.empty()) continue;
        for (AcDbObjectId id : made.back()) eraseEntity(id);
        made.pop_back();
        continue;
      }
      if (next.status == RTNORM) made.push_back(copyAll(ids, next.point - base.point));
    }
  }
}

}  // namespace tabrik::acad::command
