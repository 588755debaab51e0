// The filing support of tabrik/DrawingFiling.h, and handles.
#include "tabrik/DrawingFiling.h"

#include <cwchar>
#include <cwctype>

#include "db/ComplexEntity.h"
#include "db/DatabaseInternal.h"
#include "dbdict.h"
#include "dbents.h"
#include "dbsymtb.h"

namespace tabrik::acad {

namespace {
DxfReadFunction gDxfReader = nullptr;
DxfWriteFunction gDxfWriter = nullptr;
}  // namespace

AcDbObject* peekObject(AcDbObjectId id) { return id.isValid() ? id.stub()->object : nullptr; }

std::vector<AcDbObjectId> objectIds(const AcDbDatabase* database) {
  std::vector<AcDbObjectId> ids;
  for (AcDbObject* object : database->impl().objectsByHandle()) ids.push_back(object->objectId());
  return ids;
}

Acad::ErrorStatus addObjectWithHandle(AcDbDatabase* database, AcDbObject* object, AcDbHandle handle,
                                      AcDbObjectId& id) {
  Acad::ErrorStatus status = database->impl().add(object, handle.value(), id);
  if (status != Acad::eOk) return status;
  ObjectState::writeOpen(object) = false;
  ObjectState::setNew(object, false);
  return Acad::eOk;
}

void raiseHandseed(AcDbDatabase* database, AcDbHandle seed) {
  auto& next = database->impl().nextHandle;
  if (seed.value() > next) next = seed.value();
}


void appendTableRecord(AcDbSymbolTable* table, AcDbObjectId record) {
  AcDbObjectIdArray& records = const_cast<AcDbObjectIdArray&>(table->recordIds());
  if (!records.contains(record)) records.append(record);
}

DatabaseRoots databaseRoots(const AcDbDatabase* database) {
  const DatabaseImpl& db = database->impl();
  return {db.blockTable,    db.layerTable, db.linetypeTable, db.textStyleTable, db.regAppTable,
          db.viewportTable, db.viewTable,  db.ucsTable,      db.dimStyleTable,  db.namedObjects};
}

void setDatabaseRoots(AcDbDatabase* database, const DatabaseRoots& roots) {
  DatabaseImpl& db = database->impl();
  db.blockTable = roots.blockTable;
  db.layerTable = roots.layerTable;
  db.linetypeTable = roots.linetypeTable;
  db.textStyleTable = roots.textStyleTable;
  db.regAppTable = roots.regAppTable;
  db.viewportTable = roots.viewportTable;
  db.viewTable = roots.viewTable;
  db.ucsTable = roots.ucsTable;
  db.dimStyleTable = roots.dimStyleTable;
  db.namedObjects = roots.namedObjects;
  db.modelSpace = symbolIdOf(database, db.blockTable, ACDB_MODEL_SPACE);
  db.paperSpace = symbolIdOf(database, db.blockTable, ACDB_PAPER_SPACE);
  db.byLayerLinetype = symbolIdOf(database, db.linetypeTable, L"ByLayer");
  db.byBlockLinetype = symbolIdOf(database, db.linetypeTable, L"ByBlock");
  db.continuousLinetype = symbolIdOf(database, db.linetypeTable, L"Continuous");
  if (db.clayer.isNull() || !db.clayer.isValid()) db.clayer = symbolIdOf(database, db.layerTable, L"0");
  if (db.textstyle.isNull() || !db.textstyle.isValid()) db.textstyle = symbolIdOf(database, db.textStyleTable, L"Standard");
  if (db.celtype.isNull() || !db.celtype.isValid()) db.celtype = db.byLayerLinetype;
  db.groupDictionary.setNull();
  if (db.namedObjects.isValid()) {
    const auto* root = AcDbDictionary::cast(db.namedObjects.stub()->object);
    if (root != nullptr) root->getAt(L"ACAD_GROUP", db.groupDictionary);
  }
}

AcDbObjectId symbolIdOf(const AcDbDatabase*, AcDbObjectId tableId, const ACHAR* name) {
  if (!tableId.isValid()) return AcDbObjectId::kNull;
  const auto* table = AcDbSymbolTable::cast(tableId.stub()->object);
  AcDbObjectId id;
  if (table == nullptr || table->getAt(name, id) != Acad::eOk) return AcDbObjectId::kNull;
  return id;
}

std::vector<AcDbObjectId> subEntityIds(const AcDbEntity* entity) {
  const auto* complex = complexOf(entity);
  if (complex == nullptr) return {};
  return {complex->m_subEntities.begin(), complex->m_subEntities.end()};
}

AcDbObjectId sequenceEndId(const AcDbEntity* entity) {
  const auto* complex = complexOf(entity);
  return complex ? complex->m_sequenceEnd : AcDbObjectId::kNull;
}

bool appendSubEntity(AcDbEntity* owner, AcDbObjectId subEntity) {
  auto* complex = complexOf(owner);
  if (complex == nullptr || !subEntity.isValid() || !complex->acceptsSubEntity(subEntity.stub()->object)) return false;
  complex->m_subEntities.append(subEntity);
  return true;
}

void setSequenceEnd(AcDbEntity* owner, AcDbObjectId sequenceEnd) {
  if (auto* complex = complexOf(owner)) complex->m_sequenceEnd = sequenceEnd;
}

// | codes                                              | kind    |
// |----------------------------------------------------|---------|
// | 10-18, 110-112, 210, 1010-1013 (x; y and z follow) | point   |
// | 19-59, 140-149, 460-469, 1040-1042                 | real    |
// | 60-79, 170-179, 270-299, 370-389, 400-409, 1060-1070 | int16 |
// | 90-99, 420-429, 440-459, 1071                      | int32   |
// | 160-169                                            | int64   |
// | 5, 105, 320-369, 390-399, 480-481                  | handle  |
// | everything else                                    | string  |
DxfGroupKind dxfGroupKind(int code) {
  if ((code >= 10 && code <= 18) || (code >= 110 && code <= 112) || code == 210 || (code >= 1010 && code <= 1013))
    return DxfGroupKind::kPoint;
  if ((code >= 19 && code <= 59) || (code >= 140 && code <= 149) || (code >= 460 && code <= 469) ||
      (code >= 1040 && code <= 1042))
    return DxfGroupKind::kReal;
  if ((code >= 60 && code <= 79) || (code >= 170 && code <= 179) || (code >= 270 && code <= 299) ||
      (code >= 370 && code <= 389) || (code >= 400 && code <= 409) || (code >= 1060 && code <= 1070))
    return DxfGroupKind::kInt16;
  if ((code >= 90 && code <= 99) || (code >= 420 && code <= 429) || (code >= 440 && code <= 459) || code == 1071)
    return DxfGroupKind::kInt32;
  if (code >= 160 && code <= 169) return DxfGroupKind::kInt64;
  if (code == 5 || code == 105 || (code >= 320 && code <= 369) || (code >= 390 && code <= 399) || code == 480 ||
      code == 481)
    return DxfGroupKind::kHandle;
  return DxfGroupKind::kString;
}

void setFilename(AcDbDatabase* database, const std::wstring& name) { database->impl().filename = name; }

void installDxfFiling(DxfReadFunction reader, DxfWriteFunction writer) {
  gDxfReader = reader;
  gDxfWriter = writer;
}

DxfReadFunction dxfReader() { return gDxfReader; }
DxfWriteFunction dxfWriter() { return gDxfWriter; }

}  // namespace tabrik::acad

// --- handles -----------------------------------------------------------------------------

AcDbHandle::AcDbHandle(const ACHAR* hex) {
  if (hex == nullptr || hex[0] == 0) return;
  std::uint64_t value = 0;
  int digits = 0;
  for (const ACHAR* c = hex; *c; ++c) {
    int digit = -1;
    if (*c >= L'0' && *c <= L'9') digit = *c - L'0';
    else if (*c >= L'a' && *c <= L'f') digit = *c - L'a' + 10;
    else if (*c >= L'A' && *c <= L'F') digit = *c - L'A' + 10;
    if (digit < 0 || ++digits > 16) return;
    value = value * 16 + static_cast<std::uint64_t>(digit);
  }
  m_value = value;
}

std::wstring AcDbHandle::asString() const {
  wchar_t buffer[17];
  std::swprintf(buffer, 17, L"%llX", static_cast<unsigned long long>(m_value));
  return buffer;
}

bool AcDbHandle::getIntoAsciiBuffer(ACHAR* buffer, size_t size) const {
  std::wstring text = asString();
  if (buffer == nullptr || size <= text.size()) return false;
  std::wmemcpy(buffer, text.c_str(), text.size() + 1);
  return true;
}

// --- drawing files -------------------------------------------------------------------------

Acad::ErrorStatus AcDbDatabase::dxfIn(const ACHAR* fileName, const ACHAR*) {
  auto reader = tabrik::acad::dxfReader();
  if (reader == nullptr) return Acad::eNotImplementedYet;
  if (fileName == nullptr) return Acad::eInvalidInput;
  return reader(this, fileName);
}

Acad::ErrorStatus AcDbDatabase::dxfOut(const ACHAR* fileName, int, AcDb::DwgVersion) {
  auto writer = tabrik::acad::dxfWriter();
  if (writer == nullptr) return Acad::eNotImplementedYet;
  if (fileName == nullptr) return Acad::eInvalidInput;
  return writer(this, fileName);
}

namespace tabrik::acad {

namespace {

template <class Table>
AcDbObjectId ensureTable(DatabaseImpl& db, AcDbObjectId& slot) {
  if (slot.isValid() && !slot.isErased()) return slot;
  auto* table = new Table;
  AcDbObjectId id;
  db.add(table, 0, id);
  table->close();
  slot = id;
  return id;
}

template <class Record>
AcDbObjectId ensureRecord(AcDbObjectId tableId, const ACHAR* name, Record* (*make)()) {
  auto* table = AcDbSymbolTable::cast(peekObject(tableId));
  AcDbObjectId id;
  if (table == nullptr || table->getAt(name, id) == Acad::eOk) return id;
  Record* record = make();
  record->setName(name);
  bool wasWritable = ObjectState::writeOpen(table);
  ObjectState::writeOpen(table) = true;
  table->add(id, record);
  ObjectState::writeOpen(table) = wasWritable;
  record->close();
  return id;
}

}  // namespace

void completeDrawing(AcDbDatabase* database) {
  DatabaseImpl& db = database->impl();
  ensureTable<AcDbViewportTable>(db, db.viewportTable);
  ensureTable<AcDbLinetypeTable>(db, db.linetypeTable);
  ensureTable<AcDbLayerTable>(db, db.layerTable);
  ensureTable<AcDbTextStyleTable>(db, db.textStyleTable);
  ensureTable<AcDbViewTable>(db, db.viewTable);
  ensureTable<AcDbUCSTable>(db, db.ucsTable);
  ensureTable<AcDbRegAppTable>(db, db.regAppTable);
  ensureTable<AcDbDimStyleTable>(db, db.dimStyleTable);
  ensureTable<AcDbBlockTable>(db, db.blockTable);
  ensureRecord<AcDbViewportTableRecord>(db.viewportTable, L"*Active", [] { return new AcDbViewportTableRecord; });
  ensureRecord<AcDbLinetypeTableRecord>(db.linetypeTable, L"ByBlock", [] { return new AcDbLinetypeTableRecord; });
  ensureRecord<AcDbLinetypeTableRecord>(db.linetypeTable, L"ByLayer", [] { return new AcDbLinetypeTableRecord; });
  AcDbObjectId continuous = ensureRecord<AcDbLinetypeTableRecord>(db.linetypeTable, L"Continuous", [] {
    auto* record = new AcDbLinetypeTableRecord;
    record->setComments(L"Solid line");
    return record;
  });
  AcDbObjectId layer0 = ensureRecord<AcDbLayerTableRecord>(db.layerTable, L"0", [] { return new AcDbLayerTableRecord; });
  if (auto* layer = AcDbLayerTableRecord::cast(peekObject(layer0)); layer && !layer->linetypeObjectId().isValid()) {
    ObjectState::writeOpen(layer) = true;
    layer->setLinetypeObjectId(continuous);
    ObjectState::writeOpen(layer) = false;
  }
  AcDbObjectId standard =
      ensureRecord<AcDbTextStyleTableRecord>(db.textStyleTable, L"Standard", [] { return new AcDbTextStyleTableRecord; });
  ensureRecord<AcDbRegAppTableRecord>(db.regAppTable, L"ACAD", [] { return new AcDbRegAppTableRecord; });
  AcDbObjectId dimStandard =
      ensureRecord<AcDbDimStyleTableRecord>(db.dimStyleTable, L"Standard", [] { return new AcDbDimStyleTableRecord; });
  if (auto* dim = AcDbDimStyleTableRecord::cast(peekObject(dimStandard));
      dim && (!dim->dimtxsty().isValid() || dim->dimtxsty().isErased())) {
    ObjectState::writeOpen(dim) = true;
    dim->setDimtxsty(standard);
    ObjectState::writeOpen(dim) = false;
  }
  ensureRecord<AcDbBlockTableRecord>(db.blockTable, ACDB_MODEL_SPACE, [] { return new AcDbBlockTableRecord; });
  ensureRecord<AcDbBlockTableRecord>(db.blockTable, ACDB_PAPER_SPACE, [] { return new AcDbBlockTableRecord; });
  // Every block has its BLOCK and ENDBLK.
  if (auto* blocks = AcDbSymbolTable::cast(peekObject(db.blockTable)))
    for (const AcDbObjectId& id : blocks->recordIds())
      if (auto* block = AcDbBlockTableRecord::cast(peekObject(id))) frameBlock(block);
  if (!db.namedObjects.isValid()) {
    auto* root = new AcDbDictionary;
    db.add(root, 0, db.namedObjects);
    root->close();
  }
  auto* root = AcDbDictionary::cast(peekObject(db.namedObjects));
  AcDbObjectId groups;
  if (root != nullptr && root->getAt(L"ACAD_GROUP", groups) != Acad::eOk) {
    ObjectState::writeOpen(root) = true;
    auto* dictionary = new AcDbDictionary;
    root->setAt(L"ACAD_GROUP", dictionary, groups);
    dictionary->close();
    ObjectState::writeOpen(root) = false;
  }
  setDatabaseRoots(database, databaseRoots(database));
  // A POLYLINE, and an INSERT with attributes, end with their SEQEND.
  std::vector<AcDbEntity*> unterminated;
  for (const auto& stub : db.stubs) {
    auto* entity = AcDbEntity::cast(stub->object);
    ComplexEntity* complex = entity ? complexOf(entity) : nullptr;
    if (complex == nullptr || complex->m_sequenceEnd.isValid()) continue;
    bool needsEnd = AcDb2dPolyline::cast(entity) != nullptr;
    for (const AcDbObjectId& id : complex->m_subEntities) needsEnd = needsEnd || (id.isValid() && !id.isErased());
    if (needsEnd) unterminated.push_back(entity);
  }
  for (AcDbEntity* entity : unterminated) {
    auto* end = new AcDbSequenceEnd;
    AcDbObjectId endId;
    db.add(end, 0, endId);
    ObjectState::setOwner(end, entity->objectId());
    end->setLayer(entity->layerId().isNull() ? layer0 : entity->layerId());
    end->close();
    complexOf(entity)->m_sequenceEnd = endId;
  }
  // Entities read before their drawing had tables lie on layer 0, by layer.
  for (const auto& stub : db.stubs) {
    auto* entity = AcDbEntity::cast(stub->object);
    if (entity == nullptr || (entity->layerId().isValid() && entity->linetypeId().isValid())) continue;
    bool wasWritable = ObjectState::writeOpen(entity);
    ObjectState::writeOpen(entity) = true;
    if (!entity->layerId().isValid()) entity->setLayer(layer0);
    if (!entity->linetypeId().isValid() && !db.byLayerLinetype.isNull()) entity->setLinetype(db.byLayerLinetype);
    ObjectState::writeOpen(entity) = wasWritable;
  }
}

}  // namespace tabrik::acad
