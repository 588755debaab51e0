// The ads entity calls: acdbEntGet(X), acdbEntMod, acdbEntMake(X), acdbEntDel,
// acdbEntLast, acdbEntNext, acdbEntUpd, acdbHandEnt and acdbRegApp, over the working
// database. Entity data goes through bridge/EntityData.h.
//
// Block definitions: acdbEntMake of a BLOCK opens a definition in the working
// database; the entities made until the ENDBLK are kept as their data and become the
// block's contents when the ENDBLK closes it (nothing is added to the drawing before
// that). Another BLOCK, or acdbEntMake(nullptr), drops the open definition.
//
// Complex entities likewise: a POLYLINE (or an INSERT with 66 = 1) waits for its
// VERTEXes (ATTRIBs) and is made with them by the SEQEND; any other entity drops it.
// Inside a block definition the SEQEND hands the whole entity to the definition.
#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "acedads.h"
#include "acutads.h"
#include "acdb/acut/ResbufChain.h"
#include "aced/bridge/EntityData.h"
#include "dbdict.h"
#include "dbents.h"
#include "dbgroup.h"
#include "dbsymtb.h"
#include "dbxrecrd.h"
#include "aced/host/HostState.h"
#include "rxdict.h"
#include "tabrik/DrawingFiling.h"
#include "tabrik/EntityWalk.h"

using namespace tabrik::acad;

namespace {

// ERRNO values the host sets for these calls.
constexpr int kErrnoBadSymbolName = 1;
constexpr int kErrnoBadEntityName = 2;
constexpr int kErrnoBadEntityType = 36;

int fail(int errnoValue) {
  hostState().errnoValue = errnoValue;
  return RTERROR;
}

AcDbDatabase* workingDatabase() { return acdbHostApplicationServices()->workingDatabase(); }

bool idOf(const ads_name name, AcDbObjectId& id) {
  return name != nullptr && acdbGetObjectId(id, name) == Acad::eOk && id.isValid();
}

bool nameOf(AcDbObjectId id, ads_name result) {
  ads_name name = {0, 0};
  if (result == nullptr || acdbGetAdsName(name, id) != Acad::eOk) return false;
  result[0] = name[0];
  result[1] = name[1];
  return true;
}

std::wstring upper(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  return text;
}

std::wstring textGroup(const resbuf* data, int code) {
  const resbuf* rb = findGroup(data, code);
  return rb != nullptr && rb->resval.rstring != nullptr ? rb->resval.rstring : L"";
}

// Objects entity data makes besides entities and records: dictionaries, xrecords and
// groups, each made without an entry in any dictionary (dictadd gives it one).
bool isMadeObject(AcRxClass* cls) {
  return cls == AcDbDictionary::desc() || cls == AcDbXrecord::desc() || cls == AcDbGroup::desc();
}

// The class of a DXF type name: entities, table records and the objects above (tables
// share their records' names; BLOCK and ENDBLK are the block framing, made by name).
AcRxClass* classOfType(const std::wstring& type) {
  AcRxDictionaryIterator* it = acrxClassDictionary->newIterator();
  AcRxClass* found = nullptr;
  for (; !it->done() && found == nullptr; it->next()) {
    auto* cls = AcRxClass::cast(it->object());
    if (cls == nullptr || cls->dxfName()[0] == 0 || upper(cls->dxfName()) != type) continue;
    if (cls->isDerivedFrom(AcDbSymbolTable::desc())) continue;
    if (cls->isDerivedFrom(AcDbEntity::desc()) ||
        cls->isDerivedFrom(AcDbSymbolTableRecord::desc()) || isMadeObject(cls))
      found = cls;
  }
  delete it;
  return found;
}

// Groups an entity cannot be made without.
bool hasRequiredGroups(const std::wstring& type, const resbuf* data) {
  static const struct {
    const wchar_t* type;
    std::vector<int> codes;
  } kRequired[] = {
      {L"LINE", {10, 11}},         {L"CIRCLE", {10, 40}}, {L"ARC", {10, 40, 50, 51}},
      {L"TEXT", {10, 40, 1}},      {L"MTEXT", {10, 1}},   {L"LWPOLYLINE", {10}},
      {L"INSERT", {2, 10}},        {L"POINT", {10}},      {L"ATTDEF", {10, 40, 1, 2, 3}},
      {L"3DFACE", {10, 11, 12}},   {L"LEADER", {10}},     {L"VERTEX", {10}},
      {L"ATTRIB", {10, 40, 1, 2}},
  };
  for (const auto& entry : kRequired) {
    if (type != entry.type) continue;
    for (int code : entry.codes)
      if (findGroup(data, code) == nullptr) return false;
  }
  return true;
}

// Values the host refuses in entity data: sizes that must be positive, colours out
// of 0..256.
bool valuesAreValid(const std::wstring& type, const resbuf* data) {
  bool sized = type == L"CIRCLE" || type == L"ARC" || type == L"TEXT" || type == L"MTEXT" ||
               type == L"ATTDEF" || type == L"ATTRIB";
  const resbuf* size = findGroup(data, 40);
  if (sized && size != nullptr && !(size->resval.rreal > 0)) return false;
  const resbuf* color = findGroup(data, 62);
  return color == nullptr || (color->resval.rint >= 0 && color->resval.rint <= 256);
}

// Entity data changes table records (not dictionaries and other objects, whose data
// lists their whole contents). A record keeps a name no other record of its table
// has; the standard records keep theirs.
bool renameIsAllowed(const AcDbSymbolTableRecord* record, const resbuf* data) {
  if (record == nullptr) return false;
  const resbuf* nameGroup = findGroup(data, 2);
  if (nameGroup == nullptr || nameGroup->resval.rstring == nullptr) return true;
  std::wstring name = nameGroup->resval.rstring;
  if (upper(name) == upper(record->name())) return true;
  static const wchar_t* const kStandard[] = {L"0",          L"BYLAYER",      L"BYBLOCK",
                                             L"CONTINUOUS", L"STANDARD",     L"ACAD",
                                             L"*ACTIVE",    L"*MODEL_SPACE", L"*PAPER_SPACE"};
  for (const wchar_t* standard : kStandard)
    if (upper(record->name()) == standard) return false;
  AcDbBlockTableRecord probe;
  if (probe.setName(name.c_str()) != Acad::eOk) return false;
  auto* table = AcDbSymbolTable::cast(peekObject(record->ownerId()));
  return table != nullptr && !table->has(name.c_str());
}

bool isApplicationRegistered(AcDbDatabase* db, const ACHAR* name) {
  AcDbRegAppTable* table = nullptr;
  if (name == nullptr || db->getRegAppTable(table, AcDb::kForRead) != Acad::eOk) return false;
  bool known = table->has(name);
  table->close();
  return known;
}

// Extended data the host takes: each application registered, and its 1002 control
// strings "{" and "}" nested in pairs that close before the next application.
bool extendedDataIsValid(AcDbDatabase* db, const resbuf* data) {
  int depth = 0;
  for (const resbuf* rb = extendedDataOf(data); rb != nullptr; rb = rb->rbnext) {
    if (rb->restype == 1001) {
      if (depth != 0 || !isApplicationRegistered(db, rb->resval.rstring)) return false;
    } else if (rb->restype == 1002) {
      const ACHAR* text = rb->resval.rstring;
      if (text == nullptr) return false;
      if (std::wcscmp(text, L"{") == 0) {
        ++depth;
      } else if (std::wcscmp(text, L"}") != 0 || --depth < 0) {
        return false;
      }
    }
  }
  return depth == 0;
}

AcDbObjectId recordId(AcDbObjectId tableId, const std::wstring& name) {
  auto* table = AcDbSymbolTable::cast(peekObject(tableId));
  AcDbObjectId id;
  if (table == nullptr || name.empty() || table->getAt(name.c_str(), id) != Acad::eOk)
    return AcDbObjectId::kNull;
  return id;
}

// A layer an entity names is made when the drawing lacks it, as the host does for
// entities made or changed from data.
bool ensureLayer(AcDbDatabase* db, const std::wstring& name) {
  if (!recordId(db->layerTableId(), name).isNull()) return true;
  auto* record = new AcDbLayerTableRecord;
  if (record->setName(name.c_str()) != Acad::eOk) {
    delete record;
    return false;
  }
  record->setLinetypeObjectId(db->continuousLinetype());
  AcDbLayerTable* table = nullptr;
  if (db->getLayerTable(table, AcDb::kForWrite) != Acad::eOk) {
    delete record;
    return false;
  }
  bool added = table->add(record) == Acad::eOk;
  if (added) {
    record->close();
  } else {
    delete record;
  }
  table->close();
  return added;
}

// Checks the names entity data refers to; makes a missing layer.
bool referencesResolve(AcDbDatabase* db, const resbuf* data) {
  if (findGroup(data, 8) != nullptr && !ensureLayer(db, textGroup(data, 8))) return false;
  if (findGroup(data, 6) != nullptr && recordId(db->linetypeTableId(), textGroup(data, 6)).isNull())
    return false;
  if (findGroup(data, 7) != nullptr &&
      recordId(db->textStyleTableId(), textGroup(data, 7)).isNull())
    return false;
  return extendedDataIsValid(db, data);
}

// Applies data to an entity and puts layer and linetype back to `layer`/`linetype`
// when the data names none (the entity reader starts from layer 0, by layer).
Acad::ErrorStatus applyToEntity(AcDbDatabase* db, AcDbEntity* entity, const resbuf* data,
                                AcDbObjectId layer, AcDbObjectId linetype) {
  Acad::ErrorStatus status = applyEntityData(entity, data, db);
  if (status != Acad::eOk) return status;
  if (findGroup(data, 8) == nullptr && layer.isValid()) entity->setLayer(layer);
  if (findGroup(data, 6) == nullptr && linetype.isValid()) entity->setLinetype(linetype);
  if (const resbuf* xdata = extendedDataOf(data)) status = entity->setXData(xdata);
  return status;
}

bool isLayoutBlock(AcDbDatabase* db, AcDbObjectId id) {
  return id == db->modelSpaceId() || id == db->paperSpaceId();
}

// A new entity of the data's type with the data applied, in no database; null when
// the data does not make one.
AcDbEntity* newEntity(AcDbDatabase* db, AcRxClass* cls, const std::wstring& type,
                      const resbuf* data) {
  if (!hasRequiredGroups(type, data) || !valuesAreValid(type, data) || !referencesResolve(db, data))
    return nullptr;
  if (type == L"INSERT") {
    AcDbObjectId block = recordId(db->blockTableId(), textGroup(data, 2));
    if (block.isNull() || isLayoutBlock(db, block)) return nullptr;
  }
  auto* entity = AcDbEntity::cast(cls->create());
  if (entity == nullptr) return nullptr;
  entity->setDatabaseDefaults(db);
  if (applyToEntity(db, entity, data, db->clayer(), db->celtype()) != Acad::eOk) {
    delete entity;
    return nullptr;
  }
  return entity;
}

// Adds the entity to the block; on success it is closed unless `keepOpen`.
Acad::ErrorStatus appendTo(AcDbObjectId blockId, AcDbEntity* entity, AcDbObjectId& id,
                           bool keepOpen = false) {
  AcDbBlockTableRecord* block = nullptr;
  Acad::ErrorStatus status = acdbOpenObject(block, blockId, AcDb::kForWrite);
  if (status != Acad::eOk) return status;
  status = block->appendAcDbEntity(id, entity);
  if (status == Acad::eOk && !keepOpen) entity->close();
  block->close();
  return status;
}

// The space entity data names: paper space for 67 = 1 or a layout other than Model.
AcDbObjectId spaceOf(AcDbDatabase* db, const resbuf* data) {
  const resbuf* paper = findGroup(data, 67);
  std::wstring layout = textGroup(data, 410);
  bool inPaperSpace = (paper != nullptr && paper->resval.rint == 1) ||
                      (!layout.empty() && upper(layout) != L"MODEL");
  return inPaperSpace ? db->paperSpaceId() : db->modelSpaceId();
}

// A complex entity acdbEntMake has open: a POLYLINE waiting for its VERTEXes, or an
// INSERT (with 66 = 1) for its ATTRIBs, until the SEQEND makes it with them.
struct OpenComplex {
  AcDbDatabase* database = nullptr;
  bool polyline = false;
  ResbufPtr head;
  std::vector<ResbufPtr> parts;
};

std::unique_ptr<OpenComplex>& openComplex() {
  static std::unique_ptr<OpenComplex> complex;
  return complex;
}

bool followsSubEntities(const std::wstring& type, const resbuf* data) {
  if (type == L"POLYLINE") return true;
  const resbuf* follows = findGroup(data, 66);
  return type == L"INSERT" && follows != nullptr && follows->resval.rint == 1;
}

// The block definition acdbEntMake has open: the BLOCK's data and the data of each
// entity made since; a complex entity is kept whole, its head with its parts.
struct OpenBlock {
  AcDbDatabase* database = nullptr;
  std::wstring name;
  AcGePoint3d origin;
  int flags = 0;
  std::vector<OpenComplex> entities;
};

Acad::ErrorStatus appendComplex(AcDbDatabase* db, AcDbObjectId blockId, const OpenComplex& complex,
                                AcDbObjectId& id);

std::unique_ptr<OpenBlock>& openBlock() {
  static std::unique_ptr<OpenBlock> block;
  return block;
}

std::wstring g_lastBlockName;

// An anonymous block's name: "*U" and the first number no block has.
std::wstring anonymousName(AcDbDatabase* db) {
  for (int n = 1;; ++n) {
    std::wstring name = L"*U" + std::to_wstring(n);
    if (recordId(db->blockTableId(), name).isNull()) return name;
  }
}

int beginBlock(AcDbDatabase* db, const resbuf* data) {
  openBlock().reset();
  std::wstring name = textGroup(data, 2);
  const resbuf* base = findGroup(data, 10);
  const resbuf* flags = findGroup(data, 70);
  auto block = std::make_unique<OpenBlock>();
  block->database = db;
  block->flags = flags != nullptr ? flags->resval.rint : 0;
  bool anonymous = (block->flags & 1) != 0;
  if (base == nullptr || (name.empty() && !anonymous)) return fail(kErrnoBadEntityType);
  if (!anonymous) {
    AcDbBlockTableRecord probe;
    if (probe.setName(name.c_str()) != Acad::eOk) return fail(kErrnoBadSymbolName);
    if (!recordId(db->blockTableId(), name).isNull()) return fail(kErrnoBadSymbolName);
  }
  block->name = anonymous ? std::wstring() : name;
  block->origin =
      AcGePoint3d(base->resval.rpoint[0], base->resval.rpoint[1], base->resval.rpoint[2]);
  openBlock() = std::move(block);
  return RTNORM;
}

int endBlock(AcDbDatabase* db) {
  std::unique_ptr<OpenBlock> open = std::move(openBlock());
  if (!open || open->database != db) return fail(kErrnoBadEntityType);
  std::wstring name = open->name.empty() ? anonymousName(db) : open->name;
  auto* record = new AcDbBlockTableRecord;
  record->setName(name.c_str());
  record->setOrigin(open->origin);
  AcDbBlockTable* table = nullptr;
  if (db->getBlockTable(table, AcDb::kForWrite) != Acad::eOk) {
    delete record;
    return RTERROR;
  }
  AcDbObjectId blockId;
  Acad::ErrorStatus status = table->add(blockId, record);
  table->close();
  if (status != Acad::eOk) {
    delete record;
    return fail(kErrnoBadSymbolName);
  }
  record->close();
  for (const OpenComplex& made : open->entities) {
    AcDbObjectId id;
    appendComplex(db, blockId, made, id);
  }
  g_lastBlockName = name;
  return RTNORM;
}

// A group's members are live entities of the drawing (a group holds nothing else).
bool membersAreEntities(AcDbDatabase* db, const resbuf* data) {
  for (const resbuf* rb = data; rb != nullptr && rb->restype != -3; rb = rb->rbnext) {
    if (rb->restype != 340) continue;
    AcDbObjectId id;
    if (!idOf(rb->resval.rlname, id) || id.database() != db) return false;
    const AcDbObject* member = peekObject(id);
    if (AcDbEntity::cast(member) == nullptr || member->isErased()) return false;
  }
  return true;
}

// Gives the group's members the group among their reactors, as appending them does
// (reading the data only listed them).
void attachMembers(AcDbGroup* group) {
  AcDbObjectIdArray members;
  group->allEntityIds(members);
  group->clear();
  group->append(members);
}

// Applies data to a group: its description and flags, and its members when the data
// lists any (else the members stay); the members' reactors follow.
Acad::ErrorStatus modifyGroup(AcDbGroup* group, const resbuf* data, AcDbDatabase* db) {
  AcDbObjectIdArray before;
  group->allEntityIds(before);
  group->clear();
  Acad::ErrorStatus status = applyEntityData(group, data, db);
  AcDbObjectIdArray members;
  if (status == Acad::eOk && findGroup(data, 340) != nullptr) {
    group->allEntityIds(members);
  } else {
    members = before;
  }
  group->clear();
  group->append(members);
  if (status == Acad::eOk && extendedDataOf(data) != nullptr)
    status = group->setXData(extendedDataOf(data));
  return status;
}

// A dictionary, xrecord or group from its data, in the database with no dictionary
// entry. The named-object dictionary owns it (an owner, not an entry) until dictadd
// enters it somewhere, so that a drawing saved meanwhile names no object without one.
int makeObject(AcDbDatabase* db, AcRxClass* cls, const resbuf* data, ads_name result) {
  auto* object = AcDbObject::cast(cls->create());
  if (object == nullptr) return fail(kErrnoBadEntityType);
  std::unique_ptr<AcDbObject> made(object);
  if (!extendedDataIsValid(db, data)) return RTERROR;
  if (cls == AcDbGroup::desc() && !membersAreEntities(db, data)) return fail(kErrnoBadEntityName);
  if (applyEntityData(object, data, db) != Acad::eOk) return fail(kErrnoBadEntityType);
  if (const resbuf* xdata = extendedDataOf(data);
      xdata != nullptr && object->setXData(xdata) != Acad::eOk)
    return RTERROR;
  AcDbObjectId id;
  if (db->addAcDbObject(id, object) != Acad::eOk) return RTERROR;
  made.release();
  if (auto* group = AcDbGroup::cast(object)) attachMembers(group);
  object->setOwnerId(db->namedObjectsDictionaryId());
  object->close();
  nameOf(id, result);
  return RTNORM;
}

int makeRecord(AcDbDatabase* db, AcRxClass* cls, const resbuf* data, ads_name result) {
  std::wstring name = textGroup(data, 2);
  auto* record = AcDbSymbolTableRecord::cast(cls->create());
  if (record == nullptr) return fail(kErrnoBadEntityType);
  std::unique_ptr<AcDbSymbolTableRecord> owned(record);
  if (record->setName(name.c_str()) != Acad::eOk) return fail(kErrnoBadSymbolName);
  if (!extendedDataIsValid(db, data) || applyEntityData(record, data, db) != Acad::eOk)
    return RTERROR;
  if (const resbuf* xdata = extendedDataOf(data);
      xdata != nullptr && record->setXData(xdata) != Acad::eOk)
    return RTERROR;
  AcDbObjectId tableId;
  if (cls->isDerivedFrom(AcDbLayerTableRecord::desc()))
    tableId = db->layerTableId();
  else if (cls->isDerivedFrom(AcDbLinetypeTableRecord::desc()))
    tableId = db->linetypeTableId();
  else if (cls->isDerivedFrom(AcDbTextStyleTableRecord::desc()))
    tableId = db->textStyleTableId();
  else if (cls->isDerivedFrom(AcDbRegAppTableRecord::desc()))
    tableId = db->regAppTableId();
  else if (cls->isDerivedFrom(AcDbDimStyleTableRecord::desc()))
    tableId = db->dimStyleTableId();
  else if (cls->isDerivedFrom(AcDbViewTableRecord::desc()))
    tableId = db->viewTableId();
  else if (cls->isDerivedFrom(AcDbUCSTableRecord::desc()))
    tableId = db->UCSTableId();
  else
    return fail(kErrnoBadEntityType);  // blocks come as BLOCK...ENDBLK, viewports not at all
  AcDbSymbolTable* table = nullptr;
  if (acdbOpenObject(table, tableId, AcDb::kForWrite) != Acad::eOk) return RTERROR;
  // The reader took the name from group 2 without the table's checks.
  record->setName(name.c_str());
  AcDbObjectId id;
  Acad::ErrorStatus status =
      table->has(name.c_str()) ? Acad::eDuplicateRecordName : table->add(id, record);
  table->close();
  if (status != Acad::eOk) return fail(kErrnoBadSymbolName);
  owned.release()->close();
  nameOf(id, result);
  return RTNORM;
}

}  // namespace

namespace tabrik::acad {
std::wstring lastEntMakeBlockName() { return g_lastBlockName; }
}  // namespace tabrik::acad

resbuf* acdbEntGet(const ads_name entity) { return acdbEntGetX(entity, nullptr); }

resbuf* acdbEntGetX(const ads_name entity, const resbuf* applications) {
  AcDbObjectId id;
  const AcDbObject* object = idOf(entity, id) ? peekObject(id) : nullptr;
  if (object == nullptr || object->isErased()) {
    hostState().errnoValue = kErrnoBadEntityName;
    return nullptr;
  }
  return entityDataOf(object, applications);
}

int acdbEntMod(const resbuf* data) {
  const resbuf* nameGroup = findGroup(data, -1);
  AcDbDatabase* db = workingDatabase();
  AcDbObjectId id;
  if (nameGroup == nullptr || !idOf(nameGroup->resval.rlname, id) || db == nullptr)
    return fail(kErrnoBadEntityName);
  AcDbObject* object = nullptr;
  if (acdbOpenObject(object, id, AcDb::kForWrite) != Acad::eOk) return fail(kErrnoBadEntityName);
  const resbuf* typeGroup = findGroup(data, 0);
  bool sameType =
      typeGroup == nullptr || (typeGroup->resval.rstring != nullptr &&
                               upper(typeGroup->resval.rstring) == upper(dxfTypeOf(object)));
  Acad::ErrorStatus status = Acad::eInvalidInput;
  bool valid = false;
  if (AcDbEntity::cast(object) != nullptr) {
    valid = valuesAreValid(upper(dxfTypeOf(object)), data);
  } else if (AcDbXrecord::cast(object) != nullptr) {
    valid = true;
  } else if (AcDbGroup::cast(object) != nullptr) {
    valid = membersAreEntities(db, data);
  } else {
    valid = renameIsAllowed(AcDbSymbolTableRecord::cast(object), data);
  }
  if (sameType && valid && referencesResolve(object->database(), data)) {
    if (auto* entity = AcDbEntity::cast(object)) {
      status = applyToEntity(db, entity, data, entity->layerId(), AcDbObjectId::kNull);
    } else if (auto* group = AcDbGroup::cast(object)) {
      status = modifyGroup(group, data, db);
    } else {
      status = applyEntityData(object, data, db);
      if (status == Acad::eOk && extendedDataOf(data) != nullptr)
        status = object->setXData(extendedDataOf(data));
    }
  }
  object->close();
  if (!sameType) return fail(kErrnoBadEntityType);
  return status == Acad::eOk ? RTNORM : RTERROR;
}

int acdbEntMake(const resbuf* data) {
  ads_name ignored = {0, 0};
  return acdbEntMakeX(data, ignored);
}

namespace {

// Makes an entity from its data in a block (a space or a definition), with its parts
// when it is complex (a simple entity is one with no parts and no polyline flag).
Acad::ErrorStatus appendComplex(AcDbDatabase* db, AcDbObjectId blockId, const OpenComplex& complex,
                                AcDbObjectId& id) {
  std::wstring type = upper(textGroup(complex.head.get(), 0));
  AcDbEntity* head = newEntity(db, classOfType(type), type, complex.head.get());
  if (head == nullptr) return Acad::eInvalidInput;
  Acad::ErrorStatus appended = appendTo(blockId, head, id, /*keepOpen=*/true);
  if (appended != Acad::eOk) {
    delete head;
    return appended;
  }
  const wchar_t* partType = complex.polyline ? L"VERTEX" : L"ATTRIB";
  for (const ResbufPtr& data : complex.parts) {
    AcDbEntity* part = newEntity(db, classOfType(partType), partType, data.get());
    Acad::ErrorStatus status = Acad::eInvalidInput;
    auto* polyline = AcDb2dPolyline::cast(head);
    auto* reference = AcDbBlockReference::cast(head);
    if (auto* vertex = AcDb2dVertex::cast(part); vertex != nullptr && polyline != nullptr) {
      status = polyline->appendVertex(vertex);
    } else if (auto* attribute = AcDbAttribute::cast(part);
               attribute != nullptr && reference != nullptr) {
      status = reference->appendAttribute(attribute);
    }
    if (status == Acad::eOk) {
      part->close();
    } else {
      delete part;
    }
  }
  head->close();
  return Acad::eOk;
}

// Makes the open complex entity with its parts when its SEQEND comes; inside a block
// definition it waits, whole, for the ENDBLK.
int endComplex(AcDbDatabase* db, ads_name result) {
  std::unique_ptr<OpenComplex> open = std::move(openComplex());
  if (!open || open->database != db) return fail(kErrnoBadEntityType);
  if (openBlock() && openBlock()->database == db) {
    openBlock()->entities.push_back(std::move(*open));
    result[0] = result[1] = 0;
    return RTNORM;
  }
  AcDbObjectId id;
  Acad::ErrorStatus status = appendComplex(db, spaceOf(db, open->head.get()), *open, id);
  if (status == Acad::eInvalidInput) return fail(kErrnoBadEntityType);
  if (status != Acad::eOk) return RTERROR;
  nameOf(id, result);
  return RTNORM;
}

// A VERTEX or ATTRIB for the open complex entity: kept as data until the SEQEND.
int addPart(AcDbDatabase* db, AcRxClass* cls, const std::wstring& type, const resbuf* data,
            ads_name result) {
  OpenComplex* open = openComplex().get();
  bool fits = open != nullptr && open->database == db && open->polyline == (type == L"VERTEX");
  AcDbEntity* probe = fits ? newEntity(db, cls, type, data) : nullptr;
  if (probe == nullptr) {
    openComplex().reset();
    return fail(kErrnoBadEntityType);
  }
  delete probe;
  open->parts.emplace_back(copyResbufChain(data));
  result[0] = result[1] = 0;
  return RTNORM;
}

}  // namespace

int acdbEntMakeX(const resbuf* data, ads_name result) {
  AcDbDatabase* db = workingDatabase();
  ads_name ignored = {0, 0};
  if (result == nullptr) result = ignored;
  if (db == nullptr) return RTERROR;
  if (data == nullptr) {
    openBlock().reset();
    openComplex().reset();
    return RTERROR;
  }
  std::wstring type = upper(textGroup(data, 0));
  if (type == L"SEQEND") return endComplex(db, result);
  AcRxClass* cls = type.empty() ? nullptr : classOfType(type);
  if (type == L"VERTEX" || type == L"ATTRIB")
    return cls ? addPart(db, cls, type, data, result) : RTERROR;
  // Anything else abandons a complex entity still waiting for its parts.
  openComplex().reset();
  if (type == L"BLOCK") return beginBlock(db, data);
  if (type == L"ENDBLK") return endBlock(db);
  if (cls == nullptr || cls->isDerivedFrom(AcDbBlockBegin::desc()) ||
      cls->isDerivedFrom(AcDbBlockEnd::desc()) || cls->isDerivedFrom(AcDbSequenceEnd::desc()))
    return fail(kErrnoBadEntityType);
  if (cls->isDerivedFrom(AcDbSymbolTableRecord::desc())) return makeRecord(db, cls, data, result);
  if (isMadeObject(cls)) return makeObject(db, cls, data, result);
  AcDbEntity* entity = newEntity(db, cls, type, data);
  if (entity == nullptr) return fail(kErrnoBadEntityType);
  if (followsSubEntities(type, data)) {
    delete entity;
    auto complex = std::make_unique<OpenComplex>();
    complex->database = db;
    complex->polyline = type == L"POLYLINE";
    complex->head.reset(copyResbufChain(data));
    openComplex() = std::move(complex);
    result[0] = result[1] = 0;
    return RTNORM;
  }
  if (openBlock() && openBlock()->database == db) {
    // Kept as data until the ENDBLK; entities of a definition have no names yet.
    delete entity;
    OpenComplex simple;
    simple.database = db;
    simple.head.reset(copyResbufChain(data));
    openBlock()->entities.push_back(std::move(simple));
    result[0] = result[1] = 0;
    return RTNORM;
  }
  AcDbObjectId id;
  if (appendTo(spaceOf(db, data), entity, id) != Acad::eOk) {
    delete entity;
    return RTERROR;
  }
  nameOf(id, result);
  return RTNORM;
}

int acdbEntDel(const ads_name entity) {
  AcDbObjectId id;
  if (!idOf(entity, id)) return fail(kErrnoBadEntityName);
  AcDbEntity* object = nullptr;
  if (acdbOpenObject(object, id, AcDb::kForWrite, /*openErased=*/true) != Acad::eOk)
    return fail(kErrnoBadEntityName);
  // Only entities of the drawing's spaces or blocks; attributes and vertices go with
  // their owner.
  bool isMain = AcDbBlockTableRecord::cast(peekObject(object->ownerId())) != nullptr &&
                !object->isKindOf(AcDbBlockBegin::desc()) &&
                !object->isKindOf(AcDbBlockEnd::desc());
  Acad::ErrorStatus status = isMain ? object->erase(!object->isErased()) : Acad::eNotApplicable;
  object->close();
  return status == Acad::eOk ? RTNORM : fail(kErrnoBadEntityName);
}

int acdbEntLast(ads_name result) {
  AcDbDatabase* db = workingDatabase();
  if (db == nullptr || result == nullptr) return RTERROR;
  AcDbObjectId last = lastMainEntity(db);
  return !last.isNull() && nameOf(last, result) ? RTNORM : RTERROR;
}

int acdbEntNext(const ads_name entity, ads_name result) {
  AcDbDatabase* db = workingDatabase();
  if (db == nullptr || result == nullptr) return RTERROR;
  AcDbObjectId next;
  if (entity == nullptr || (entity[0] == 0 && entity[1] == 0)) {
    next = firstWalkedEntity(db);
  } else {
    AcDbObjectId id;
    if (!idOf(entity, id)) return fail(kErrnoBadEntityName);
    next = nextWalkedEntity(db, id);
  }
  return !next.isNull() && nameOf(next, result) ? RTNORM : RTERROR;
}

int acdbEntUpd(const ads_name entity) {
  AcDbObjectId id;
  if (!idOf(entity, id) || AcDbEntity::cast(peekObject(id)) == nullptr)
    return fail(kErrnoBadEntityName);
  return RTNORM;
}

int acdbHandEnt(const ACHAR* handle, ads_name result) {
  AcDbDatabase* db = workingDatabase();
  if (db == nullptr || handle == nullptr || handle[0] == 0 || result == nullptr) return RTERROR;
  AcDbHandle value(handle);
  AcDbObjectId id;
  // A text that is no hexadecimal number reads as handle 0, which no object has.
  if (value.isNull() || db->getAcDbObjectId(id, /*createIfNotFound=*/false, value) != Acad::eOk ||
      peekObject(id) == nullptr)
    return fail(kErrnoBadEntityName);
  return nameOf(id, result) ? RTNORM : RTERROR;
}

int acdbRegApp(const ACHAR* application) {
  AcDbDatabase* db = workingDatabase();
  if (db == nullptr || application == nullptr) return RTERROR;
  auto* record = new AcDbRegAppTableRecord;
  if (record->setName(application) != Acad::eOk) {
    delete record;
    return fail(kErrnoBadSymbolName);
  }
  AcDbRegAppTable* table = nullptr;
  if (db->getRegAppTable(table, AcDb::kForWrite) != Acad::eOk) {
    delete record;
    return RTERROR;
  }
  Acad::ErrorStatus status =
      table->has(application) ? Acad::eDuplicateRecordName : table->add(record);
  table->close();
  if (status != Acad::eOk) {
    delete record;
    return RTERROR;
  }
  record->close();
  return RTNORM;
}
