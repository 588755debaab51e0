// The entity and table functions: colours, geometric extents, 3D face edges, 2D
// polyline fitting, layer plot styles, layers frozen in a viewport, groups and the
// annotative flag of entities and block definitions. Each is one host operation on the
// object LISP names, opened with the host's typed open: another class, an erased
// entity or a name of no entity cannot be opened, and nothing changes.
#include <string>
#include <vector>

#include <acedads.h>
#include <dbAnnotativeObjectPE.h>
#include <dbdict.h>
#include <dbents.h>
#include <dbgroup.h>
#include <dbmain.h>
#include <dbsymtb.h>

#include "draw/DrawingOperations.h"
#include "draw/OpenedEntity.h"
#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "host/ListBuilder.h"

namespace tabrik::arx::fn {
namespace {

using OpenEntity = draw::OpenedEntity<AcDbEntity>;

// Opens the object of `id` as a T and closes it when the guard goes; empty when it
// cannot be opened so.
template <typename T>
class Opened {
 public:
  Opened(AcDbObjectId id, AcDb::OpenMode mode) {
    T* object = nullptr;
    if (acdbOpenObject(object, id, mode) == Acad::eOk) m_object = object;
  }
  ~Opened() {
    if (m_object != nullptr) m_object->close();
  }
  Opened(const Opened&) = delete;
  Opened& operator=(const Opened&) = delete;
  explicit operator bool() const { return m_object != nullptr; }
  T* operator->() const { return m_object; }
  T* get() const { return m_object; }

 private:
  T* m_object = nullptr;
};

AcDbAnnotativeObjectPE* annotativeExtension(const AcDbObject* object) {
  return AcDbAnnotativeObjectPE::cast(object->queryX(AcDbAnnotativeObjectPE::desc()));
}

AcDbDatabase* workingDatabase() { return acdbHostApplicationServices()->workingDatabase(); }

// An integer argument within [low, high]: false leaves it unread.
bool readIntegerIn(ArgCursor& cursor, std::int32_t low, std::int32_t high, std::int32_t& value) {
  ArgCursor at = cursor;
  std::int32_t read = 0;
  if (!readInteger(at, read) || read < low || read > high) return false;
  value = read;
  cursor = at;
  return true;
}

void retPoint(ListBuilder& list, const wchar_t* name, const AcGePoint3d& point) {
  ads_point value = {point.x, point.y, point.z};
  list.addPairPoint(name, value);
}

}  // namespace

int AcDbEntity_getGeomExtents() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_name name = {0, 0};
  if (!readEntityName(cursor, name)) return kWrongType;
  OpenEntity entity(name, AcDb::kForRead);
  AcDbExtents extents;
  if (!entity || entity->getGeomExtents(extents) != Acad::eOk || extents.isEmpty())
    return kResultOk;
  ListBuilder list;
  list.start();
  retPoint(list, L"min", extents.minPoint());
  retPoint(list, L"max", extents.maxPoint());
  list.finish();
  return kResultOk;
}

// An index outside 0 (by block) to 256 (by layer) is one the host would refuse.
int AcDbEntity_setColor() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_name name = {0, 0};
  std::int32_t index = 0;
  if (!readEntityName(cursor, name) || !readInteger(cursor, index)) return kWrongType;
  if (index < 0 || index > 256) return kResultOk;
  OpenEntity entity(name, AcDb::kForWrite);
  if (entity) entity->setColorIndex(static_cast<Adesk::UInt16>(index));
  return kResultOk;
}

// Components outside 0 to 255 are bad data: no colour has them.
int nv_nv_setColor() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_name name = {0, 0};
  if (!readEntityName(cursor, name)) return kWrongType;
  std::int32_t rgb[3] = {0, 0, 0};
  for (std::int32_t& component : rgb) {
    ArgCursor at = cursor;
    if (!readInteger(at, component)) return kWrongType;
    if (!readIntegerIn(cursor, 0, 255, component)) return kBadData;
  }
  OpenEntity entity(name, AcDb::kForWrite);
  if (!entity) return kBadData;
  AcCmColor color;
  color.setRGB(static_cast<Adesk::UInt8>(rgb[0]), static_cast<Adesk::UInt8>(rgb[1]),
               static_cast<Adesk::UInt8>(rgb[2]));
  entity->setColor(color);
  return kResultOk;
}

int nv_nv_setPlotStyle() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring layerName, styleName;
  if (!readString(cursor, layerName) || !readString(cursor, styleName)) return kWrongType;
  AcDbDatabase* database = draw::currentDatabase();
  AcDbLayerTable* layers = nullptr;
  if (database == nullptr || database->getLayerTable(layers, AcDb::kForRead) != Acad::eOk)
    return kWrongType;
  AcDbObjectId layerId;
  const bool found = layers->getAt(layerName.c_str(), layerId) == Acad::eOk;
  layers->close();
  if (!found) return kResultOk;
  Opened<AcDbLayerTableRecord> layer(layerId, AcDb::kForWrite);
  if (layer) layer->setPlotStyleName(styleName.c_str());
  return kResultOk;
}

int AcDb2dPolyline_setCurveType() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_name name = {0, 0};
  std::wstring type;
  if (!readEntityName(cursor, name) || !readString(cursor, type)) return kWrongType;
  draw::OpenedEntity<AcDb2dPolyline> polyline(name, AcDb::kForWrite);
  if (!polyline) return kResultOk;
  // The letters as the fitting commands take them; any other text fits nothing.
  if (type == L"f")
    polyline->curveFit();
  else if (type == L"d")
    polyline->straighten();
  else if (type == L"s")
    polyline->splineFit();
  acedRetT();
  return kResultOk;
}

int AcDbFace_makeEdgeInvisibleAt() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_name name = {0, 0};
  std::int32_t edge = 0;
  if (!readEntityName(cursor, name) || !readInteger(cursor, edge)) return kWrongType;
  draw::OpenedEntity<AcDbFace> face(name, AcDb::kForWrite);
  if (!face || edge < 0 || edge > 3) return kResultOk;
  if (face->makeEdgeInvisibleAt(static_cast<Adesk::UInt16>(edge)) == Acad::eOk) acedRetT();
  return kResultOk;
}

// The layer names come as one list; nil is the empty list. Names the drawing lacks are
// passed over.
int nv_nv_freezeInViewport() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_name name = {0, 0};
  bool freeze = false;
  if (!readEntityName(cursor, name) || !readBoolean(cursor, freeze)) return kWrongType;
  std::vector<std::wstring> names;
  if (cursor != nullptr && cursor->restype == RTNIL) {
    skipArgument(cursor);
  } else {
    if (!readListStart(cursor)) return kWrongType;
    while (!readListEnd(cursor)) {
      std::wstring layer;
      if (!readString(cursor, layer)) return kWrongType;
      names.push_back(layer);
    }
  }
  AcDbDatabase* database = draw::currentDatabase();
  AcDbLayerTable* layers = nullptr;
  if (database == nullptr || database->getLayerTable(layers, AcDb::kForRead) != Acad::eOk)
    return kResultOk;
  AcDbObjectIdArray ids;
  for (const std::wstring& layer : names) {
    AcDbObjectId id;
    if (layers->getAt(layer.c_str(), id) == Acad::eOk) ids.append(id);
  }
  layers->close();
  draw::OpenedEntity<AcDbViewport> viewport(name, AcDb::kForWrite);
  if (!viewport) return kResultOk;
  if (freeze)
    viewport->freezeLayersInViewport(ids);
  else
    viewport->thawLayersInViewport(ids);
  return kResultOk;
}

int nv_nv_setGroupSelectable() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring groupName;
  bool selectable = false;
  if (!readString(cursor, groupName) || !readBoolean(cursor, selectable)) return kWrongType;
  AcDbDatabase* database = workingDatabase();
  AcDbDictionary* groups = nullptr;
  if (database == nullptr || database->getGroupDictionary(groups, AcDb::kForRead) != Acad::eOk)
    return kResultOk;
  AcDbObject* object = nullptr;
  const Acad::ErrorStatus status = groups->getAt(groupName.c_str(), object, AcDb::kForWrite);
  groups->close();
  if (status != Acad::eOk) return kResultOk;
  if (AcDbGroup* group = AcDbGroup::cast(object);
      group != nullptr && group->setSelectable(selectable) == Acad::eOk)
    acedRetT();
  object->close();
  return kResultOk;
}

// Create and selectable are flags that may be left off; selectable is read only after
// create.
int nv_nv_GetGroup() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring groupName;
  if (!readString(cursor, groupName)) return kWrongType;
  bool create = false, selectable = false;
  if (readBoolean(cursor, create)) readBoolean(cursor, selectable);
  AcDbDatabase* database = workingDatabase();
  AcDbDictionary* groups = nullptr;
  if (database == nullptr || database->getGroupDictionary(groups, AcDb::kForRead) != Acad::eOk)
    return kResultOk;
  AcDbObjectId id;
  const bool found = groups->getAt(groupName.c_str(), id) == Acad::eOk;
  groups->close();
  if (found) {
    Opened<AcDbGroup> group(id, AcDb::kForRead);
    if (group) draw::retObject(group.get());
    return kResultOk;
  }
  if (!create || database->getGroupDictionary(groups, AcDb::kForWrite) != Acad::eOk)
    return kResultOk;
  auto* group = new AcDbGroup(L"", selectable);
  if (groups->setAt(groupName.c_str(), group, id) != Acad::eOk) {
    delete group;
  } else {
    draw::retObject(group);
    group->close();
  }
  groups->close();
  return kResultOk;
}

// Entities without the extension (lines, circles, block references) stay as they are.
int AcDbAnnotativeObjectPE_setAnnotative() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_name name = {0, 0};
  if (!readEntityName(cursor, name)) return kWrongType;
  OpenEntity entity(name, AcDb::kForWrite);
  bool annotative = false;
  if (!readBoolean(cursor, annotative)) return kWrongType;
  if (!entity) return kResultOk;
  if (AcDbAnnotativeObjectPE* extension = annotativeExtension(&*entity))
    extension->setAnnotative(&*entity, annotative);
  return kResultOk;
}

// Changes the definition a block reference shows, never the reference itself.
int SetAnnoBlock() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_name name = {0, 0};
  if (!readEntityName(cursor, name)) return kWrongType;
  AcDbObjectId blockId;
  {
    OpenEntity entity(name, AcDb::kForRead);
    if (!entity) return kBadData;
    if (const AcDbBlockReference* reference = AcDbBlockReference::cast(&*entity))
      blockId = reference->blockTableRecord();
  }
  bool annotative = false;
  if (!readBoolean(cursor, annotative)) return kWrongType;
  if (blockId.isNull()) return kResultOk;
  {
    Opened<AcDbBlockTableRecord> block(blockId, AcDb::kForRead);
    if (!block || annotativeExtension(block.get()) == nullptr) return kResultOk;
  }
  Opened<AcDbBlockTableRecord> block(blockId, AcDb::kForWrite);
  if (block) annotativeExtension(block.get())->setAnnotative(block.get(), annotative);
  return kResultOk;
}

}  // namespace tabrik::arx::fn
