// nv_nv-drawHanger: one duct hanger as one duct solid: a strap round the duct with one
// rod, or a trapeze bar under the duct with two rods. Rods run vertically from the
// hanger to the rod elevation (the structure above or the floor below). The bodies are
// added in order (strap: sleeve, rod, opening; trapeze: rods, bar) and the first one
// the component refuses ends the hanger with nothing appended.
#include <cmath>

#include <acedads.h>

#include "duct/DuctSegment.h"
#include "duct/DuctSolid.h"
#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "host/ListBuilder.h"

namespace tabrik::arx::fn {

using duct::DuctSolid;
using duct::Frame;

namespace {

struct Hanger {
  bool strap = false;
  AcGePoint3d centre;
  double angle = 0, width = 0, height = 0;
  bool rectangular = false;
  double rod = 0, thickness = 0, rodElevation = 0;
  std::int32_t tag = 0;
};

bool readHanger(ArgCursor& cursor, Hanger& h) {
  ads_point centre;
  if (!readBoolean(cursor, h.strap) || !readPoint(cursor, centre) || !readReal(cursor, h.angle) ||
      !readReal(cursor, h.width) || !readReal(cursor, h.height) ||
      !readBoolean(cursor, h.rectangular) || !readReal(cursor, h.rod) ||
      !readReal(cursor, h.thickness) || !readReal(cursor, h.rodElevation) ||
      !readInteger(cursor, h.tag))
    return false;
  h.centre.set(centre[0], centre[1], centre[2]);
  return true;
}

// A vertical round rod of diameter r from the hanger face at `from` to z = elevation:
// up from the top face (frame Z, X, Y) when the elevation lies above the hanger point,
// else down from the bottom face (frame -Z, Y, X). None when it would have no length.
bool addRod(DuctSolid& solid, const AcGePoint3d& at, double halfDepth, double elevation, double r,
            const Frame& hanger, std::int32_t tag) {
  const AcGeVector3d up(0, 0, 1);
  AcGePoint3d start = at;
  Frame rod;
  if (elevation > at.z) {
    start.z = at.z + halfDepth;
    rod = Frame{up, hanger[0], hanger[1]};
  } else {
    start.z = at.z - halfDepth;
    rod = Frame{-up, hanger[1], hanger[0]};
  }
  AcGePoint3d end = start;
  end.z = elevation;
  if (end.z == start.z) return true;
  return solid->addTransition(start, false, r, r, end, false, r, r, rod.data(), rod.data(), tag);
}

}  // namespace

int nv_nv_drawHanger() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  Hanger h;
  if (!readHanger(cursor, h)) return kWrongType;
  const double a = h.angle;
  const Frame frame{AcGeVector3d(std::cos(a), std::sin(a), 0),
                    AcGeVector3d(std::cos(a + duct::kPi / 2), std::sin(a + duct::kPi / 2), 0),
                    AcGeVector3d(0, 0, 1)};
  const AcGeVector3d& x = frame[0];
  const AcGeVector3d& y = frame[1];
  const double r = h.rod, t = h.thickness, w = h.width, ht = h.height;
  DuctSolid solid;
  if (!solid.made()) return kResultOk;
  if (h.strap) {
    const AcGePoint3d s = h.centre - x * (r / 2), e = h.centre + x * (r / 2);
    const bool rect = h.rectangular;
    if (!solid->addTransition(s, rect, w + 2 * t, ht + 2 * t, e, rect, w + 2 * t, ht + 2 * t,
                              frame.data(), frame.data(), h.tag) ||
        !addRod(solid, h.centre, ht / 2, h.rodElevation, r, frame, h.tag) ||
        !solid->subtractTransition(s, rect, w + 0.2 * t, ht + 0.2 * t, e, rect, w + 0.2 * t,
                                   ht + 0.2 * t, frame.data(), frame.data(), h.tag))
      return kResultOk;
  } else {
    const AcGePoint3d bar = h.centre - AcGeVector3d(0, 0, t / 2 + ht / 2);
    const double length = w + 4 * r;
    const double offset = length / 2 - r;
    if (!addRod(solid, bar - y * offset, t / 2, h.rodElevation, r, frame, h.tag) ||
        !addRod(solid, bar + y * offset, t / 2, h.rodElevation, r, frame, h.tag) ||
        !solid->addTransition(bar + x * r, true, length, t, bar - x * r, true, length, t,
                              frame.data(), frame.data(), h.tag))
      return kResultOk;
  }
  AcDbObjectId id;
  if (!solid.append(id)) return kResultOk;
  ListBuilder list;
  list.start();
  list.addPairEntity(L"hanger", id);
  list.finish();
  return kResultOk;
}

}  // namespace tabrik::arx::fn
