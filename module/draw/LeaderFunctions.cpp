// The leader functions: nv_nv-leader-insert, -setPoints, -setBlock, -setOffset and
// -explode on NVLeader entities, and AcDbLeader::create for the host's own leader.
// Offsets from LISP are relative to the leader scale; NVLeader stores them absolute.
#include <memory>
#include <string>

#include <acedads.h>
#include <dblead.h>
#include <dbmain.h>

#include "draw/DrawingOperations.h"
#include "draw/NVLeader.h"
#include "draw/OpenedEntity.h"
#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "host/ListBuilder.h"

namespace tabrik::arx::fn {
namespace {

AcGePoint3d toPoint(const ads_point p) { return AcGePoint3d(p[0], p[1], p[2]); }

// A LISP list of exactly three points (start, middle, end).
bool readThreePoints(ArgCursor& cursor, AcGePoint3d (&points)[3]) {
  ArgCursor at = cursor;
  if (!readListStart(at)) return false;
  for (AcGePoint3d& point : points) {
    ads_point value = {0, 0, 0};
    if (!readPoint(at, value)) return false;
    point = toPoint(value);
  }
  if (!readListEnd(at)) return false;
  cursor = at;
  return true;
}

using OpenLeader = draw::OpenedEntity<NVLeader>;

// The shape the three leader edits share: the leader named by the first argument,
// opened for write (nil when the name is no leader that can be opened), then the edit
// reads its own arguments (false: a wrong type) and changes it; T once it has.
template <typename Edit>
int editLeader(Edit&& edit) {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_name name = {0, 0};
  if (!readEntityName(cursor, name)) return kWrongType;
  OpenLeader leader(name, AcDb::kForWrite);
  if (!leader) return kResultOk;
  if (!edit(*leader, cursor)) return kWrongType;
  acedRetT();
  return kResultOk;
}

}  // namespace

int nv_nv_leader_insert() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  AcGePoint3d points[3];
  if (!readThreePoints(cursor, points)) return kWrongType;
  std::wstring layerName;
  if (!readString(cursor, layerName)) return kWrongType;
  AcDbObjectId layerId;
  if (!draw::findLayer(layerName.c_str(), layerId)) return kResultOk;
  std::wstring blockName;
  if (!readString(cursor, blockName)) return kWrongType;
  AcDbObjectId blockId;
  if (!draw::findBlock(blockName.c_str(), blockId)) return kResultOk;
  double offset = 0.0;
  if (!readReal(cursor, offset)) return kWrongType;

  auto* leader =
      new NVLeader(points[0], points[1], points[2], offset * draw::leaderScale(), blockId, layerId);
  if (!draw::appendToModelSpace(leader)) return kResultOk;  // the append deleted it
  draw::retObject(leader);
  leader->close();
  return kResultOk;
}

int nv_nv_leader_setPoints() {
  return editLeader([](NVLeader& leader, ArgCursor& cursor) {
    AcGePoint3d points[3];
    if (!readThreePoints(cursor, points)) return false;
    leader.setPoints(points[0], points[1], points[2]);
    return true;
  });
}

int nv_nv_leader_setBlock() {
  return editLeader([](NVLeader& leader, ArgCursor& cursor) {
    std::wstring blockName;
    if (!readString(cursor, blockName)) return false;
    // T whether or not the block was found: a missing block keeps the leader's own, and
    // the LISP application has heard of it through its callback.
    leader.setBlock(blockName.c_str());
    return true;
  });
}

int nv_nv_leader_setOffset() {
  return editLeader([](NVLeader& leader, ArgCursor& cursor) {
    double offset = 0.0;
    if (!readReal(cursor, offset)) return false;
    leader.setOffset(offset * draw::leaderScale());
    return true;
  });
}

int nv_nv_leader_explode() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_name name = {0, 0};
  if (!readEntityName(cursor, name)) return kWrongType;
  OpenLeader leader(name, AcDb::kForRead);
  if (!leader) return kResultOk;
  AcDbObjectIdArray created;
  leader->explodeToModelSpace(leader->layerId(), created);
  if (created.isEmpty()) return kResultOk;
  ListBuilder list;
  list.start();
  for (const AcDbObjectId& id : created) list.addPairEntity(L"obj", id);
  list.finish();
  return kResultOk;
}

int AcDbLeader_create() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  auto leader = std::make_unique<AcDbLeader>();
  ads_point point = {0, 0, 0};
  while (readPoint(cursor, point)) leader->appendVertex(toPoint(point));
  // A leader needs a path: with fewer than two points nothing is made.
  if (leader->numVertices() < 2) return kResultOk;
  leader->setDatabaseDefaults(draw::currentDatabase());
  AcDbLeader* added = leader.release();
  if (!draw::appendToModelSpace(added)) return kResultOk;  // the append deleted it
  draw::retObject(added);
  added->close();
  return kResultOk;
}

}  // namespace tabrik::arx::fn
