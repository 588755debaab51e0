// The curve functions: length, point at a distance, closest point and distance at a
// point of any host curve (lines, arcs, circles, polylines, the module's leader), each a
// single host query on the object opened for read as an AcDbCurve. An object of another
// class, an erased one, or a name of no object cannot be opened, and the function then
// gives its refusal: the bad-data error, or nil for getPointAtDist.
#include <acedads.h>
#include <dbcurve.h>
#include <dbmain.h>

#include "draw/OpenedEntity.h"
#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"

namespace tabrik::arx::fn {
namespace {

using OpenCurve = draw::OpenedEntity<AcDbCurve>;

void retPoint3d(const AcGePoint3d& point) {
  ads_point value = {point.x, point.y, point.z};
  acedRetPoint(value);
}

bool isDistance(ArgCursor cursor) {
  return cursor->restype == RTREAL || cursor->restype == RTSHORT || cursor->restype == RTLONG;
}

// The entity name and a point, read with the common readers.
bool readNameAndPoint(ArgCursor& cursor, ads_name name, AcGePoint3d& point) {
  ads_point value = {0, 0, 0};
  if (!readEntityName(cursor, name) || !readPoint(cursor, value)) return false;
  point.set(value[0], value[1], value[2]);
  return true;
}

}  // namespace

// These two look at the raw elements: no argument at all is "too few", not "wrong type".
int AcDbCurve_getLength() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  if (cursor == nullptr) return kTooFewArguments;
  ads_name name;
  if (!readEntityName(cursor, name)) return kWrongType;
  OpenCurve curve(name, AcDb::kForRead);
  if (!curve) return kBadData;
  double endParam = 0.0, length = 0.0;
  if (curve->getEndParam(endParam) == Acad::eOk &&
      curve->getDistAtParam(endParam, length) == Acad::eOk)
    acedRetReal(length);
  return kResultOk;
}

int AcDbCurve_getPointAtDist() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  if (cursor == nullptr) return kTooFewArguments;
  ads_name name;
  if (!readEntityName(cursor, name)) return kWrongType;
  if (cursor == nullptr) return kTooFewArguments;
  if (!isDistance(cursor)) return kWrongType;
  double distance = 0.0;
  if (!readReal(cursor, distance)) return kWrongType;
  OpenCurve curve(name, AcDb::kForRead);
  if (!curve) return kResultOk;
  AcGePoint3d point;
  if (curve->getPointAtDist(distance, point) != Acad::eOk) point = AcGePoint3d::kOrigin;
  retPoint3d(point);
  return kResultOk;
}

int AcDbCurve_getClosestPointTo() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_name name;
  AcGePoint3d given;
  if (!readNameAndPoint(cursor, name, given)) return kWrongType;
  OpenCurve curve(name, AcDb::kForRead);
  if (!curve) return kBadData;
  // Seen from above: the point of the curve nearest the given one in plan, the curve
  // not extended.
  AcGePoint3d closest;
  if (curve->getClosestPointTo(given, AcGeVector3d::kZAxis, closest, false) == Acad::eOk)
    retPoint3d(closest);
  return kResultOk;
}

int AcDbCurve_getDistAtPoint() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_name name;
  AcGePoint3d point;
  if (!readNameAndPoint(cursor, name, point)) return kWrongType;
  OpenCurve curve(name, AcDb::kForRead);
  if (!curve) return kBadData;
  double distance = 0.0;
  if (curve->getDistAtPoint(point, distance) == Acad::eOk) acedRetReal(distance);
  return kResultOk;
}

}  // namespace tabrik::arx::fn
