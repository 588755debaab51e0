// ROTATE and SCALE: the selection turned or scaled about a base point, by an angle or
// factor, or by a reference (a reference angle or length and the new one). Copy keeps
// the originals and works on copies. The last angle and factor are the next defaults.
#include <cmath>
#include <vector>

#include "acedads.h"
#include "acutads.h"
#include "aced/command/CommandDrawing.h"
#include "aced/command/CommandGeometry.h"
#include "aced/command/CommandInput.h"
#include "aced/command/CoreCommands.h"
#include "gemat3d.h"

namespace tabrik::acad::command {

namespace {

double& lastRotation() {
  static double kept = 0.0;
  return kept;
}

double& lastScale() {
  static double kept = 1.0;
  return kept;
}

void apply(const std::vector<AcDbObjectId>& ids, const AcGeMatrix3d& transform, bool copy) {
  for (AcDbObjectId id : ids) {
    if (copy)
      copyEntity(id, transform);
    else
      transformEntity(id, transform);
  }
}

int selectAndBase(std::vector<AcDbObjectId>& ids, AcGePoint3d& base) {
  int status = selectObjects(ids);
  if (status != RTNORM) return status;
  Answer answer = getPoint(nullptr, L"\nSpecify base point: ", L"", RSG_NONULL);
  if (answer.status == RTNORM) base = answer.point;
  return answer.status;
}

// Two points picked: the direction or the distance between them.
int askTwoPoints(AcGePoint3d& from, AcGePoint3d& to) {
  Answer first = getPoint(nullptr, L"\nSpecify first point: ", L"", RSG_NONULL);
  if (first.status != RTNORM) return first.status;
  Answer second = getPoint(&first.point, L"\nSpecify second point: ", L"", RSG_NONULL);
  if (second.status != RTNORM) return second.status;
  from = first.point;
  to = second.point;
  return RTNORM;
}

int referenceRotation(const AcGePoint3d& base, double& rotation) {
  Answer reference = getIncludedAngle(nullptr, L"\nSpecify the reference angle <0>: ");
  if (reference.status != RTNORM && reference.status != RTNONE) return reference.status;
  const double from = reference.status == RTNORM ? reference.value : 0.0;
  Answer target = getIncludedAngle(&base, L"\nSpecify the new angle or [Points] <0>: ", L"Points");
  if (target.status == RTCAN) return RTCAN;
  double to = target.status == RTNORM ? target.value : 0.0;
  if (target.isKeyword(L"Points")) {
    AcGePoint3d a, b;
    int status = askTwoPoints(a, b);
    if (status != RTNORM) return status;
    to = directionOf(a, b);
  }
  rotation = to - from;
  return RTNORM;
}

int referenceScale(const AcGePoint3d& base, double& factor) {
  Answer reference =
      getDistance(nullptr, L"\nSpecify reference length <1.0000>: ", L"", RSG_NOZERO | RSG_NONEG);
  if (reference.status != RTNORM && reference.status != RTNONE) return reference.status;
  const double from = reference.status == RTNORM ? reference.value : 1.0;
  Answer target = getDistance(&base, L"\nSpecify new length or [Points] <1.0000>: ", L"Points",
                              RSG_NOZERO | RSG_NONEG);
  if (target.status == RTCAN) return RTCAN;
  double to = target.status == RTNORM ? target.value : 1.0;
  if (target.isKeyword(L"Points")) {
    AcGePoint3d a, b;
    int status = askTwoPoints(a, b);
    if (status != RTNORM) return status;
    to = a.distanceTo(b);
    if (to == 0) return RTERROR;
  }
  factor = to / from;
  return RTNORM;
}

// What ROTATE and SCALE differ in: the amount they ask for (an angle, a factor), its
// reference form, the message of the Copy option, and the transform the amount makes.
struct Transformation {
  double& last;
  Answer (*ask)(const AcGePoint3d& base);
  const wchar_t* copyMessage;
  int (*reference)(const AcGePoint3d& base, double& amount);
  AcGeMatrix3d (*matrix)(double amount, const AcGePoint3d& base);
};

int transformSelection(const Transformation& how) {
  std::vector<AcDbObjectId> ids;
  AcGePoint3d base;
  int status = selectAndBase(ids, base);
  if (status != RTNORM) return status == RTNONE ? RTNORM : status;
  bool copy = false;
  while (true) {
    Answer answer = how.ask(base);
    double amount = how.last;
    if (answer.isKeyword(L"Copy")) {
      copy = true;
      acutPrintf(how.copyMessage);
      continue;
    }
    if (answer.isKeyword(L"Reference")) {
      status = how.reference(base, amount);
      if (status != RTNORM) return status;
    } else if (answer.status == RTNORM) {
      amount = answer.value;
    } else if (answer.status != RTNONE) {
      return answer.status;
    }
    how.last = amount;
    apply(ids, how.matrix(amount, base), copy);
    return RTNORM;
  }
}

}  // namespace

int rotateCommand() {
  acutPrintf(L"\nCurrent positive angle in UCS:  ANGDIR=%ls  ANGBASE=%ls",
             intVariable(L"ANGDIR", 0) == 1 ? L"clockwise" : L"counterclockwise",
             formatAngle(realVariable(L"ANGBASE", 0.0)).c_str());
  return transformSelection({lastRotation(),
                             [](const AcGePoint3d& base) {
                               return getIncludedAngle(
                                   &base,
                                   L"\nSpecify rotation angle or [Copy/Reference] <" +
                                       formatAngle(lastRotation()) + L">: ",
                                   L"Copy Reference");
                             },
                             L"\nRotating a copy of the selected objects.", referenceRotation,
                             [](double rotation, const AcGePoint3d& base) {
                               return AcGeMatrix3d::rotation(rotation, AcGeVector3d::kZAxis, base);
                             }});
}

int scaleCommand() {
  return transformSelection(
      {lastScale(),
       [](const AcGePoint3d& base) {
         return getDistance(
             &base,
             L"\nSpecify scale factor or [Copy/Reference] <" + formatDistance(lastScale()) + L">: ",
             L"Copy Reference", RSG_NOZERO | RSG_NONEG);
       },
       L"\nScaling a copy of the selected objects.", referenceScale,
       [](double factor, const AcGePoint3d& base) { return AcGeMatrix3d::scaling(factor, base); }});
}

}  // namespace tabrik::acad::command
