// The triple duct functions: straight ducts, tapers, elbows, wyes and takeoffs drawn as
// duct solids from the segment lists of the LISP side, plus the frame query, plates,
// union and explode. Each fitting reports how far it reaches into the segments it
// joins, so that the LISP side can shorten the straight ducts to match.
//
// A fitting's solids are appended together at its end: a fitting that fails appends
// nothing. Results follow one pattern: ("en1" . fitting) ("en2" . transition or nil)
// ... then the head and tail lengths.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <acedads.h>
#include <dbents.h>

#include "draw/DrawingOperations.h"
#include "duct/DuctSegment.h"
#include "duct/DuctSolid.h"
#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "host/ListBuilder.h"

namespace tabrik::arx::fn {

using duct::DuctSolid;
using duct::Frame;
using duct::Segment;

namespace {

constexpr double kMinLength = 0.01;  // shorter straight ducts are not drawn
constexpr double kCollar = 3.0;      // straight reach of a fitting beyond its bend

void retPoint3(ListBuilder& list, const AcGeVector3d& v) {
  ads_point p = {v.x, v.y, v.z};
  list.add3dPoint(p);
}

// The common leading arguments: conversion flag and pass-through integer.
bool readFlagAndTag(ArgCursor& cursor, bool& convert, std::int32_t& tag) {
  return readBoolean(cursor, convert) && readInteger(cursor, tag);
}

// A taper that carries a changed outlet on to the segment's own section. Its result is
// not examined: the solid is appended whatever it holds.
void addCarryOn(DuctSolid& solid, AcGePoint3d& outlet, double outletWidth, double outletHeight,
                bool outletRect, const Segment& b, const Frame& fb, std::int32_t tag) {
  const bool bRect = duct::isRectangularAsWritten(b.shape);
  const double length =
      duct::transitionLength(outletWidth, outletHeight, outletRect, b.width, b.height, bRect);
  const AcGePoint3d from = outlet;
  outlet += fb[0] * length;
  solid->addTransition(from, outletRect, outletWidth, outletHeight, outlet, bRect, b.width,
                       b.height, fb.data(), fb.data(), tag);
}

// Appends the fitting's solids in order; the ids of those appended.
bool appendAll(std::initializer_list<DuctSolid*> solids, std::vector<AcDbObjectId>& ids) {
  bool all = true;
  for (DuctSolid* solid : solids) {
    AcDbObjectId id;
    if (solid != nullptr && solid->made()) all = solid->append(id) && all;
    ids.push_back(id);
  }
  return all;
}

}  // namespace

int nv_nv_getTripleCoord() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  Segment a, b;
  if (!duct::readSegment(cursor, a)) return kWrongType;
  const bool hasB = duct::startsList(cursor);
  if (hasB && !duct::readSegment(cursor, b)) return kWrongType;
  const Frame frame = duct::frameOf(a, hasB ? &b : nullptr, /*convert=*/true);
  ListBuilder list;
  list.start();
  for (const AcGeVector3d& v : frame) retPoint3(list, v);
  list.finish();
  return kResultOk;
}

int nv_nv_drawTripleCenter() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  bool convert = false;
  std::int32_t tag = 0;
  Segment a, b;
  if (!readFlagAndTag(cursor, convert, tag) || !duct::readSegment(cursor, a)) return kWrongType;
  const bool hasB = duct::startsList(cursor);
  if (hasB && !duct::readSegment(cursor, b)) return kWrongType;
  const Frame frame = duct::frameOf(a, hasB ? &b : nullptr, convert);
  AcGePoint3d s = duct::centrePoint(a, false, convert, frame);
  AcGePoint3d e = duct::centrePoint(a, true, convert, frame);
  if (s.distanceTo(e) <= kMinLength) return kResultOk;
  s += frame[0] * a.startCutBack;
  e -= frame[0] * a.endCutBack;
  if (s.distanceTo(e) <= kMinLength) return kResultOk;
  DuctSolid solid;
  const bool rect = duct::isRectangularUpper(a.shape);
  if (!solid.made() || !solid->addTransition(s, rect, a.width, a.height, e, rect, a.width, a.height,
                                             frame.data(), frame.data(), tag))
    return kResultOk;
  AcDbObjectId id;
  if (solid.append(id)) {
    ads_name name;
    if (acdbGetAdsName(name, id) == Acad::eOk) acedRetName(name, RTENAME);
  }
  return kResultOk;
}

int nv_nv_drawTripleTransition() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  bool convert = false;
  std::int32_t tag = 0;
  Segment a, b;
  if (!readFlagAndTag(cursor, convert, tag) || !duct::readSegment(cursor, a) ||
      !duct::readSegment(cursor, b))
    return kWrongType;
  const Frame fa = duct::frameOf(a, &b, convert);
  const Frame fb = duct::frameOf(b, &a, convert);
  const bool aRect = duct::isRectangularAsWritten(a.shape);
  const bool bRect = duct::isRectangularAsWritten(b.shape);
  const double length = duct::transitionLength(a.width, a.height, aRect, b.width, b.height, bRect);
  if (!(length > 0)) return kResultOk;
  DuctSolid solid;
  if (!solid.made()) return kResultOk;
  const AcGePoint3d from = duct::centrePoint(a, true, convert, fa);
  const AcGePoint3d to = duct::centrePoint(b, false, convert, fb) + fb[0] * length;
  solid->addTransition(from, aRect, a.width, a.height, to, bRect, b.width, b.height, fa.data(),
                       fb.data(), tag);
  AcDbObjectId id;
  if (!solid.append(id)) return kResultOk;
  ListBuilder list;
  list.start();
  list.addPairEntity(L"en1", id);
  list.addPair(L"dHeadLength", 0.0);
  list.addPair(L"dTailLength", length);
  list.finish();
  return kResultOk;
}

int nv_nv_drawTripleElbow() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  bool convert = false, square = false;
  std::int32_t tag = 0;
  std::wstring kind;
  double ratio = 0;
  Segment a, b;
  if (!readFlagAndTag(cursor, convert, tag)) return kWrongType;
  if (readString(cursor, kind)) {
    if (kind != L"CABLETRAY" && !readBoolean(cursor, square)) return kWrongType;
  } else if (!readBoolean(cursor, square)) {
    return kWrongType;
  }
  if (!readReal(cursor, ratio) || !duct::readSegment(cursor, a) || !duct::readSegment(cursor, b))
    return kWrongType;
  const bool cableTray = kind == L"CABLETRAY";

  Frame fa = duct::frameOf(a, &b, convert);
  Frame fb = duct::frameOf(b, &a, convert);
  const bool aRect = duct::isRectangularUpper(a.shape);
  // Centre points by each segment's own frame; the alignment only decides the fitting.
  AcGePoint3d inlet = duct::centrePoint(a, false, convert, fa);
  AcGePoint3d outlet = duct::centrePoint(b, true, convert, fb);
  const AcGePoint3d aEnd = duct::centrePoint(a, true, convert, fa);
  const AcGePoint3d bStart = duct::centrePoint(b, false, convert, fb);
  double bWidth = b.width, bHeight = b.height;
  duct::alignFrames(fa, fb, a.width, a.height, aRect, bWidth, bHeight);
  if (ratio > 0 && ratio <= 0.5) ratio = 0.501;

  DuctSolid elbow;
  if (!elbow.made()) return kResultOk;
  double outletWidth = a.width, outletHeight = a.height;
  bool needsTransition = false;
  if (square) {
    const double tries[4][2] = {
        {bWidth, bHeight}, {a.width, bHeight}, {bWidth, a.height}, {a.width, a.height}};
    AcGePoint3d inletCorners[8], outletCorners[8];
    bool prepared = false;
    for (const auto& size : tries) {
      AcGePoint3d tryInlet = inlet, tryOutlet = outlet;
      if (elbow->addSquareElbowPrep(tryInlet, a.width, a.height, tryOutlet, size[0], size[1],
                                    fa.data(), fb.data(), aRect, inletCorners, outletCorners,
                                    /*moveEnds=*/true, kCollar)) {
        inlet = tryInlet;
        outlet = tryOutlet;
        outletWidth = size[0];
        outletHeight = size[1];
        prepared = true;
        break;
      }
    }
    if (!prepared) return kResultOk;
    needsTransition = outletWidth != bWidth || outletHeight != bHeight;
    if (!elbow->addSquareElbow(inlet, a.width, a.height, outlet, outletWidth, outletHeight,
                               fa.data(), fb.data(), aRect, inletCorners, outletCorners, tag))
      return kResultOk;
  } else {
    const bool sameShape =
        duct::isRectangularAsWritten(a.shape) == duct::isRectangularAsWritten(b.shape);
    if (bWidth != a.width || bHeight != a.height || !sameShape) {
      needsTransition = true;
    } else {
      outletWidth = bWidth;
      outletHeight = bHeight;
    }
    if (ratio == 0) ratio = 1.5;
    const bool flatTray =
        cableTray && a.start.z == a.end.z && b.start.z == b.end.z && b.start.z == a.end.z;
    bool built = elbow->addRadiusElbow(inlet, a.width, a.height, a.thickness1, a.thickness2, outlet,
                                       outletWidth, outletHeight, fa.data(), fb.data(), aRect,
                                       ratio, /*moveEnds=*/true, tag, !flatTray);
    if (flatTray) {
      elbow->clearBodies();
      built = elbow->addCableTraySquareRadiusElbow(inlet, a.width, a.height, outlet, fa.data(),
                                                   fb.data(), ratio, tag);
    }
    if (!built) return kResultOk;
  }

  DuctSolid transition;
  if (needsTransition) {
    addCarryOn(transition, outlet, outletWidth, outletHeight, duct::isRectangularAsWritten(a.shape),
               b, fb, tag);
  }
  std::vector<AcDbObjectId> ids;
  appendAll({&elbow, needsTransition ? &transition : nullptr}, ids);
  ListBuilder list;
  list.start();
  list.addPairEntity(L"en1", ids[0]);
  list.addPairEntity(L"en2", ids[1]);
  list.addPair(L"dHeadLength", fa[0].dotProduct(aEnd - inlet));
  list.addPair(L"dTailLength", fb[0].dotProduct(outlet - bStart));
  list.finish();
  return kResultOk;
}

int nv_nv_drawTripleWye() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  bool convert = false, unused = false;
  std::int32_t tag = 0;
  double ignored = 0;
  Segment trunk, branches[2];
  if (!readFlagAndTag(cursor, convert, tag) || !readBoolean(cursor, unused) ||
      !readReal(cursor, ignored) || !duct::readSegment(cursor, trunk) ||
      !duct::readSegment(cursor, branches[0]) || !duct::readSegment(cursor, branches[1]))
    return kWrongType;
  const Frame ft = duct::frameOf(trunk, &branches[0], convert);
  Frame fk[2];
  double sizes[6] = {trunk.width, trunk.height};
  bool rect[3] = {duct::isRectangularUpper(trunk.shape)};
  bool changed[2] = {false, false};
  const bool trunkRound = duct::isRoundAsWritten(trunk.shape);
  AcGePoint3d points[3];
  points[0] = duct::centrePoint(trunk, true, convert, ft);
  const AcGePoint3d trunkEnd = points[0];
  AcGePoint3d starts[2];
  for (int k = 0; k < 2; ++k) {
    const Segment& branch = branches[k];
    fk[k] = duct::frameOf(branch, &trunk, convert);
    const bool widthMatches = branch.width == trunk.width;
    const bool heightMatches = branch.height == trunk.height;
    const bool shapeDiffers = duct::isRoundAsWritten(branch.shape) != trunkRound;
    double w = branch.width, h = branch.height;
    if ((!widthMatches && !heightMatches) || shapeDiffers) {
      w = trunk.width;
      h = trunk.height;
    } else if (widthMatches && !heightMatches) {
      h = trunk.height;
    }
    changed[k] = w != branch.width || h != branch.height || shapeDiffers;
    sizes[2 + 2 * k] = w;
    sizes[3 + 2 * k] = h;
    rect[1 + k] = shapeDiffers ? rect[0] : duct::isRectangularUpper(branch.shape);
    starts[k] = duct::centrePoint(branch, false, convert, fk[k]);
    points[1 + k] = starts[k];
  }
  DuctSolid wye;
  if (!wye.made() ||
      !wye->addWyePrep(points, sizes, ft.data(), fk[0].data(), fk[1].data(), rect, kCollar) ||
      !wye->addWye(points, sizes, ft.data(), fk[0].data(), fk[1].data(), rect, tag))
    return kResultOk;
  DuctSolid transitions[2];
  AcGePoint3d outlets[2] = {points[1], points[2]};
  for (int k = 0; k < 2; ++k) {
    if (changed[k])
      addCarryOn(transitions[k], outlets[k], sizes[2 + 2 * k], sizes[3 + 2 * k], rect[1 + k],
                 branches[k], fk[k], tag);
  }
  std::vector<AcDbObjectId> ids;
  appendAll({&wye, changed[0] ? &transitions[0] : nullptr, changed[1] ? &transitions[1] : nullptr},
            ids);
  ListBuilder list;
  list.start();
  list.addPairEntity(L"en1", ids[0]);
  list.addPairEntity(L"en2", ids[1]);
  list.addPairEntity(L"en3", ids[2]);
  list.addPair(L"dHeadLength", trunkEnd.distanceTo(points[0]));
  list.addPair(L"dTailLength1", starts[0].distanceTo(outlets[0]));
  list.addPair(L"dTailLength2", starts[1].distanceTo(outlets[1]));
  list.finish();
  return kResultOk;
}

int nv_nv_drawTripleSkin() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  double thickness = 0;
  if (!readReal(cursor, thickness) || !readListStart(cursor)) return kWrongType;
  std::vector<AcGePoint3d> points;
  ads_point p;
  while (readPoint(cursor, p)) points.emplace_back(p[0], p[1], p[2]);
  DuctSolid solid;
  if (!solid.made() || !solid->addSkin(points.data(), static_cast<int>(points.size()), thickness))
    return kResultOk;
  AcDbObjectId id;
  if (!solid.append(id)) return kResultOk;
  ListBuilder list;
  list.start();
  list.addPairEntity(L"en", id);
  list.finish();
  return kResultOk;
}

int nv_nv_tripleUnion() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  AcDbObjectId first, second;
  if (!readObjectId(cursor, first) || !readObjectId(cursor, second)) return kWrongType;
  nv_hvacSolid* target = nullptr;
  nv_hvacSolid* source = nullptr;
  if (acdbOpenObject(target, first, AcDb::kForWrite) != Acad::eOk) return kWrongType;
  if (acdbOpenObject(source, second, AcDb::kForWrite) != Acad::eOk) {
    target->close();
    return kWrongType;
  }
  if (target->doUnion(source)) source->erase();
  source->close();
  target->close();
  return kResultOk;
}

int nv_nv_explodeSolid() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  if (cursor == nullptr) return kResultOk;
  AcDbObjectId id;
  if (!readObjectId(cursor, id)) return kWrongType;
  nv_hvacSolid* solid = nullptr;
  if (acdbOpenObject(solid, id, AcDb::kForRead) != Acad::eOk) return kBadData;
  AcDbVoidPtrArray pieces;
  const Acad::ErrorStatus exploded = solid->explode(pieces);
  solid->close();
  if (exploded != Acad::eOk) {
    for (int i = 0; i < pieces.length(); ++i) delete static_cast<AcDbEntity*>(pieces[i]);
    return kResultOk;
  }
  ListBuilder list;
  list.start();
  for (int i = 0; i < pieces.length(); ++i) {
    auto* piece = static_cast<AcDbEntity*>(pieces[i]);
    if (!draw::appendToModelSpace(piece)) continue;
    list.addPairEntity(L"FACE", piece->objectId());
    piece->close();
  }
  list.finish();
  return kResultOk;
}

}  // namespace tabrik::arx::fn

namespace tabrik::arx::fn {

namespace {

// One branch of a takeoff: its segment, frame, size after alignment, and what the
// collar computation makes of it.
struct TakeoffBranch {
  const Segment* segment = nullptr;
  Frame frame;
  double width = 0, height = 0;
  AcGePoint3d start;
  double q = 0, j = 0, stub = 0;
  AcGePoint3d foot, outlet;
};

}  // namespace

int nv_nv_drawTripleTakeoff() {
  using duct::kPi;
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  bool convert = false, unused = false;
  std::int32_t tag = 0;
  double ignored = 0;
  Segment m, d, b1, b2;
  if (!readFlagAndTag(cursor, convert, tag) || !readBoolean(cursor, unused) ||
      !readReal(cursor, ignored) || !duct::readSegment(cursor, m) ||
      !duct::readSegment(cursor, d) || !duct::readSegment(cursor, b1) ||
      !duct::readSegment(cursor, b2))
    return kWrongType;
  Frame f1 = duct::frameOf(m, &d, convert);
  const Frame f2 = duct::frameOf(d, &m, convert);
  const double w1 = m.width, h1 = m.height;
  const bool mRect = duct::isRectangularUpper(m.shape);
  const AcGePoint3d me = duct::centrePoint(m, true, convert, f1);
  const AcGePoint3d dStart = duct::centrePoint(d, false, convert, f2);

  std::vector<TakeoffBranch> branches;
  for (const Segment* segment : {&b1, &b2}) {
    if (segment == &b2 && b2.width == 0) break;
    TakeoffBranch branch;
    branch.segment = segment;
    branch.frame = duct::frameOf(*segment, &m, convert);
    branch.start = duct::centrePoint(*segment, false, convert, branch.frame);
    branch.width = segment->width;
    branch.height = segment->height;
    duct::alignFrames(f1, branch.frame, w1, h1, mRect, branch.width, branch.height);
    branches.push_back(branch);
  }
  const AcGeVector3d &x1 = f1[0], &y1 = f1[1], &z1 = f1[2];
  for (TakeoffBranch& k : branches) {
    const AcGeVector3d& xk = k.frame[0];
    const double a = std::acos(std::clamp(x1.dotProduct(xk), -1.0, 1.0));
    const double e = std::asin(std::clamp(z1.dotProduct(xk), -1.0, 1.0));
    if (a == 0) return kResultOk;
    const double limit = std::atan(h1 / w1);
    const double c = (e > limit || e < -limit) ? h1 : w1;
    double s = 0;
    if (a != kPi * 0.5) {
      k.j = (c * 0.5) / std::tan(a);
      s = std::abs((k.width * 0.5) / std::tan(a));
    }
    k.q = std::abs(z1.dotProduct(xk)) >= 1 ? (k.height * 0.5) / std::sin(a)
                                           : (k.width * 0.5) / std::sin(a);
    k.stub = s + (c * 0.5) / std::sin(a);
  }
  double back = 0, fore = 0;
  const double u3 = x1.dotProduct(branches[0].start - me);
  if (branches.size() == 1) {
    back = fore = u3;
  } else {
    const double u4 = x1.dotProduct(branches[1].start - me);
    if (u3 < 0 || u4 < 0) back = std::min(u3, u4);
    if (u3 > 0 || u4 > 0) fore = std::max(u3, u4);
  }
  double behind = -HUGE_VAL, ahead = -HUGE_VAL;
  for (const TakeoffBranch& k : branches) {
    behind = std::max(behind, k.q - k.j);
    ahead = std::max(ahead, k.q + k.j);
  }
  const double foreReach = ahead + kCollar + fore;
  const AcGePoint3d p = me - x1 * (behind + kCollar - back);
  const AcGePoint3d q = me + x1 * foreReach;
  AcGePoint3d r = dStart + x1 * foreReach;
  for (TakeoffBranch& k : branches) {
    const AcGeVector3d& xk = k.frame[0];
    k.foot = k.start + xk * xk.dotProduct(me - k.start);
    k.outlet = k.foot + xk * (k.stub + kCollar);
    if (k.height == h1) k.height -= 0.001;
  }

  DuctSolid takeoff;
  if (!takeoff.made() ||
      !takeoff->addTransition(p, mRect, w1, h1, q, mRect, w1, h1, f1.data(), f1.data(), tag))
    return kResultOk;
  for (const TakeoffBranch& k : branches) {
    const bool rect = duct::isRectangularUpper(k.segment->shape);
    if (!takeoff->addTransition(k.foot, rect, k.width - 0.01, k.height, k.outlet, rect,
                                k.width - 0.01, k.height, k.frame.data(), k.frame.data(), tag))
      return kResultOk;
  }
  if (!takeoff->sliceLast(p, p + y1, p + z1, q) || !takeoff->sliceLast(q, q + y1, q + z1, p))
    return kResultOk;

  DuctSolid transition;
  const bool mRectWritten = duct::isRectangularAsWritten(m.shape);
  const bool dRectWritten = duct::isRectangularAsWritten(d.shape);
  const bool needsTransition = mRectWritten != dRectWritten || d.width != w1 || d.height != h1;
  if (needsTransition) {
    const double length =
        duct::transitionLength(w1, h1, mRectWritten, d.width, d.height, dRectWritten);
    r += x1 * length;
    if (!transition.made() || !transition->addTransition(q, mRect, w1, h1, r, dRectWritten, d.width,
                                                         d.height, f1.data(), f1.data(), tag))
      return kResultOk;
  }
  std::vector<AcDbObjectId> ids;
  appendAll({&takeoff, needsTransition ? &transition : nullptr}, ids);
  ListBuilder list;
  list.start();
  list.addPairEntity(L"en1", ids[0]);
  list.addPairEntity(L"en2", ids[1]);
  list.addPair(L"dHeadLength", me.distanceTo(p));
  list.addPair(L"dTailLength1", dStart.distanceTo(r));
  list.addPair(L"dTailLength2", branches[0].start.distanceTo(branches[0].outlet));
  list.addPair(L"dTailLength3",
               branches.size() > 1 ? branches[1].start.distanceTo(branches[1].outlet) : 0.0);
  list.finish();
  return kResultOk;
}

}  // namespace tabrik::arx::fn
