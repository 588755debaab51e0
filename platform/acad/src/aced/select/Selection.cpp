// Picks, windows, filters and the selection sets of the host.
#include "aced/select/Selection.h"

#include "aced/select/SelectionGeometry.h"

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <map>

#include "adscodes.h"
#include "dbcurve.h"
#include "dbents.h"
#include "dbmain.h"
#include "dbsymtb.h"
#include "aced/host/HostState.h"
#include "rxclass.h"

namespace tabrik::acad {

namespace {

// The second word of the host's selection-set names.
constexpr std::intptr_t kSelectionSetMark = 0x5e1ec7;

struct Box {
  double minX, minY, maxX, maxY;
};

std::optional<Box> extentsOf(const AcDbEntity* entity) {
  AcDbExtents extents;
  if (entity->getGeomExtents(extents) != Acad::eOk || extents.isEmpty()) return std::nullopt;
  return Box{extents.minPoint().x, extents.minPoint().y, extents.maxPoint().x,
             extents.maxPoint().y};
}

// How far the entity passes from the point in the XY plane; nothing when unknown.
std::optional<double> distanceTo(const AcDbEntity* entity, const double point[3]) {
  if (const AcDbCurve* curve = AcDbCurve::cast(entity)) {
    AcGePoint3d closest;
    if (curve->getClosestPointTo(AcGePoint3d(point[0], point[1], point[2]), closest) == Acad::eOk) {
      return std::hypot(closest.x - point[0], closest.y - point[1]);
    }
  }
  std::optional<Box> box = extentsOf(entity);
  if (!box) return std::nullopt;
  double dx = std::max({box->minX - point[0], 0.0, point[0] - box->maxX});
  double dy = std::max({box->minY - point[1], 0.0, point[1] - box->maxY});
  return std::hypot(dx, dy);
}

std::map<std::intptr_t, std::vector<AcDbObjectId>>& sets() {
  static auto* live = new std::map<std::intptr_t, std::vector<AcDbObjectId>>();
  return *live;
}

std::intptr_t g_nextSet = 1;
std::vector<AcDbObjectId> g_previous;
std::vector<AcDbObjectId> g_implied;

std::vector<AcDbObjectId> liveOnly(const std::vector<AcDbObjectId>& ids) {
  std::vector<AcDbObjectId> live;
  for (const AcDbObjectId& id : ids) {
    if (!id.isNull() && !id.isErased()) live.push_back(id);
  }
  return live;
}

// Visits the live entities of one of a database's spaces (model space unless told),
// open for read.
template <typename Visit>
void forEachEntity(AcDbDatabase* database, Visit visit, bool paperSpace = false) {
  if (database == nullptr) return;
  AcDbBlockTableRecord* space = nullptr;
  AcDbObjectId spaceId = paperSpace ? database->paperSpaceId() : database->modelSpaceId();
  if (acdbOpenObject(space, spaceId, AcDb::kForRead) != Acad::eOk) return;
  AcDbObjectIdArray ids = space->entityIds();
  space->close();
  for (int i = 0; i < ids.length(); ++i) {
    AcDbObjectId id = ids[i];
    if (id.isErased()) continue;
    AcDbEntity* entity = nullptr;
    if (acdbOpenAcDbEntity(entity, id, AcDb::kForRead) != Acad::eOk) continue;
    visit(id, entity);
    entity->close();
  }
}

}  // namespace

std::optional<AcDbObjectId> pickEntity(AcDbDatabase* database, const double point[3]) {
  double tolerance = hostState().pickBox;
  std::optional<AcDbObjectId> best;
  double bestDistance = 0;
  forEachEntity(database, [&](AcDbObjectId id, AcDbEntity* entity) {
    std::optional<double> distance = distanceTo(entity, point);
    // Ties go to the entity drawn last, the one on top.
    if (distance && *distance <= tolerance && (!best || *distance <= bestDistance)) {
      best = id;
      bestDistance = *distance;
    }
  });
  return best;
}

std::vector<AcDbObjectId> pickAll(AcDbDatabase* database, const double point[3]) {
  double tolerance = hostState().pickBox;
  std::vector<AcDbObjectId> picked;
  forEachEntity(database, [&](AcDbObjectId id, AcDbEntity* entity) {
    std::optional<double> distance = distanceTo(entity, point);
    if (distance && *distance <= tolerance) picked.push_back(id);
  });
  return picked;
}

std::vector<AcDbObjectId> windowSelect(AcDbDatabase* database, const double corner1[3],
                                       const double corner2[3], bool crossing) {
  Box window{std::min(corner1[0], corner2[0]), std::min(corner1[1], corner2[1]),
             std::max(corner1[0], corner2[0]), std::max(corner1[1], corner2[1])};
  PlanPolygon polygon{{window.minX, window.minY},
                      {window.maxX, window.minY},
                      {window.maxX, window.maxY},
                      {window.minX, window.maxY}};
  std::vector<AcDbObjectId> selected;
  forEachEntity(database, [&](AcDbObjectId id, AcDbEntity* entity) {
    std::optional<Box> box = extentsOf(entity);
    if (!box) return;
    // Inside a rectangle is the extents inside it; crossing needs the geometry, since
    // extents that meet the window say nothing of a diagonal or a curve.
    bool inside = box->minX >= window.minX && box->maxX <= window.maxX &&
                  box->minY >= window.minY && box->maxY <= window.maxY;
    if (inside || (crossing && outlineMeetsPolygon(outlineOf(entity), polygon)))
      selected.push_back(id);
  });
  return selected;
}

std::vector<AcDbObjectId> polygonSelect(AcDbDatabase* database,
                                        const std::vector<std::array<double, 3>>& corners,
                                        bool crossing) {
  PlanPolygon polygon;
  for (const auto& corner : corners) polygon.push_back(PlanPoint{corner[0], corner[1]});
  std::vector<AcDbObjectId> selected;
  if (polygon.size() < 3) return selected;
  forEachEntity(database, [&](AcDbObjectId id, AcDbEntity* entity) {
    Outline outline = outlineOf(entity);
    if (crossing ? outlineMeetsPolygon(outline, polygon) : outlineIsInside(outline, polygon))
      selected.push_back(id);
  });
  return selected;
}

std::vector<AcDbObjectId> fenceSelect(AcDbDatabase* database,
                                      const std::vector<std::array<double, 3>>& points) {
  std::vector<PlanPoint> fence;
  for (const auto& point : points) fence.push_back(PlanPoint{point[0], point[1]});
  std::vector<AcDbObjectId> selected;
  forEachEntity(database, [&](AcDbObjectId id, AcDbEntity* entity) {
    if (outlineMeetsFence(outlineOf(entity), fence)) selected.push_back(id);
  });
  return selected;
}

std::vector<AcDbObjectId> allEntities(AcDbDatabase* database) {
  std::vector<AcDbObjectId> ids;
  forEachEntity(database, [&](AcDbObjectId id, AcDbEntity*) { ids.push_back(id); });
  return ids;
}

std::vector<AcDbObjectId> drawingEntities(AcDbDatabase* database) {
  std::vector<AcDbObjectId> ids = allEntities(database);
  forEachEntity(
      database, [&](AcDbObjectId id, AcDbEntity*) { ids.push_back(id); }, /*paperSpace=*/true);
  return ids;
}

void newSelectionSet(std::vector<AcDbObjectId> ids, ads_name name) {
  std::intptr_t number = g_nextSet++;
  sets()[number] = std::move(ids);
  name[0] = number;
  name[1] = kSelectionSetMark;
}

std::vector<AcDbObjectId>* selectionSet(const ads_name name) {
  if (name == nullptr || name[1] != kSelectionSetMark) return nullptr;
  auto found = sets().find(name[0]);
  return found == sets().end() ? nullptr : &found->second;
}

bool freeSelectionSet(const ads_name name) {
  if (selectionSet(name) == nullptr) return false;
  sets().erase(name[0]);
  return true;
}

void freeAllSelectionSets() {
  sets().clear();
  g_previous.clear();
  g_implied.clear();
}

void setPreviousSelection(const std::vector<AcDbObjectId>& ids) { g_previous = ids; }

std::vector<AcDbObjectId> previousSelection() { return liveOnly(g_previous); }

void setImpliedSelection(const std::vector<AcDbObjectId>& ids) { g_implied = ids; }

std::vector<AcDbObjectId> impliedSelection() { return liveOnly(g_implied); }

bool entityName(AcDbObjectId id, ads_name name) {
  ads_name found = {0, 0};
  if (acdbGetAdsName(found, id) != Acad::eOk) return false;
  name[0] = found[0];
  name[1] = found[1];
  return true;
}

std::optional<AcDbObjectId> entityId(const ads_name name) {
  AcDbObjectId id;
  if (name == nullptr || acdbGetObjectId(id, name) != Acad::eOk || id.isNull()) return std::nullopt;
  return id;
}

}  // namespace tabrik::acad
