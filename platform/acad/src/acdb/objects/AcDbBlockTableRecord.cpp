// Block table records: the entities of a block in drawing order, its base point, its
// BLOCK/ENDBLK framing, and the block iterators. Also the BLOCK, ENDBLK and SEQEND
// marker entities.
#include <cwchar>
#include <unordered_map>

#include "acdb/objects/ComplexEntity.h"
#include "acdb/objects/DatabaseInternal.h"
#include "acdb/objects/DxfGroups.h"
#include "acdb/objects/FieldVisitor.h"
#include "dbdict.h"
#include "dbents.h"
#include "dbmtext.h"
#include "dbsymtb.h"
#include "rxboiler.h"
#include "sorttab.h"
#include "tabrik/DrawingFiling.h"

using namespace tabrik::acad;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbBlockTableRecord, AcDbSymbolTableRecord)

struct BlockTableRecordAccess {
  static AcDbObjectIdArray& entities(AcDbBlockTableRecord* block) { return block->m_entities; }
  static AcDbObjectId& begin(AcDbBlockTableRecord* block) { return block->m_blockBegin; }
  static AcDbObjectId& end(AcDbBlockTableRecord* block) { return block->m_blockEnd; }
  // Everything dwgOutFields writes before the entity list.
  static void writeFields(const AcDbBlockTableRecord* block, AcDbDwgFiler* filer) {
    block->AcDbSymbolTableRecord::dwgOutFields(filer);
    filer->writePoint3d(block->m_origin);
    filer->writeString(block->m_comments);
    filer->writeString(block->m_pathName);
    filer->writeHardOwnershipId(block->m_blockBegin);
    filer->writeHardOwnershipId(block->m_blockEnd);
  }
  // Reads what writeFields wrote; the frame's ids go to the caller, which decides.
  static void readFields(AcDbBlockTableRecord* block, AcDbDwgFiler* filer,
                         AcDbHardOwnershipId& begin, AcDbHardOwnershipId& end) {
    block->AcDbSymbolTableRecord::dwgInFields(filer);
    filer->readPoint3d(&block->m_origin);
    filer->readString(block->m_comments);
    filer->readString(block->m_pathName);
    filer->readHardOwnershipId(&begin);
    filer->readHardOwnershipId(&end);
  }
};
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbBlockBegin, AcDbEntity)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbBlockEnd, AcDbEntity)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbSequenceEnd, AcDbEntity)

AcDbBlockTableRecord::AcDbBlockTableRecord() = default;
AcDbBlockTableRecord::~AcDbBlockTableRecord() = default;

namespace tabrik::acad {
// Text made without a style takes the drawing's current one when it enters a drawing.
void giveTextStyle(AcDbEntity* entity, AcDbDatabase* db) {
  if (auto* text = AcDbText::cast(entity); text != nullptr && text->textStyle().isNull())
    text->setTextStyle(db->textstyle());
  if (auto* mtext = AcDbMText::cast(entity); mtext != nullptr && mtext->textStyle().isNull())
    mtext->setTextStyle(db->textstyle());
}
}  // namespace tabrik::acad

namespace {

ACHAR* copyOf(const std::wstring& text) {
  auto* copy = new ACHAR[text.size() + 1];
  std::wmemcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

// Every block gets its BLOCK and ENDBLK objects when it first enters a database.
void frameBlock(AcDbBlockTableRecord* block, AcDbObjectId& begin, AcDbObjectId& end) {
  AcDbDatabase* db = block->database();
  if (db == nullptr || db->impl().restoring) return;
  // Each marker is made when missing (a file may hold one without the other).
  AcDbObjectId* slots[2] = {&begin, &end};
  for (int i = 0; i < 2; ++i) {
    if (slots[i]->isValid()) continue;
    AcDbEntity* marker = i == 0 ? static_cast<AcDbEntity*>(new AcDbBlockBegin) : new AcDbBlockEnd;
    db->addAcDbObject(*slots[i], marker);
    ObjectState::setOwner(marker, block->objectId());
    AcDbObjectId layer0 = symbolId(db, SymbolTable::kLayer, L"0");
    if (!layer0.isNull()) marker->setLayer(layer0);
    marker->close();
  }
}

}  // namespace

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbObjectId& id, AcDbEntity* entity) {
  id.setNull();
  if (entity == nullptr) return Acad::eNullEntityPointer;
  if (database() == nullptr) return Acad::eNoDatabase;
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  if (!entity->objectId().isNull()) return Acad::eAlreadyInDb;
  assertWriteEnabled();
  ::frameBlock(this, m_blockBegin, m_blockEnd);
  Acad::ErrorStatus status = database()->addAcDbObject(id, entity);
  if (status != Acad::eOk) return status;
  ObjectState::setOwner(entity, objectId());
  // An entity made without a database takes the drawing's defaults for what it lacks.
  if (entity->layerId().isNull()) entity->setLayer(database()->clayer());
  if (entity->linetypeId().isNull()) entity->setLinetype(database()->celtype());
  giveTextStyle(entity, database());
  m_entities.append(id);
  database()->impl().entityAppended(objectId(), id.stub());
  adoptPendingSubEntities(entity);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::newIterator(AcDbBlockTableRecordIterator*& iterator,
                                                    bool atBeginning, bool skipDeleted) const {
  iterator = new AcDbBlockTableRecordIterator(m_entities, atBeginning, skipDeleted);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::setOrigin(const AcGePoint3d& origin) {
  assertWriteEnabled();
  m_origin = origin;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::comments(ACHAR*& text) const {
  text = copyOf(m_comments);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::setComments(const ACHAR* text) {
  if (text == nullptr) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_comments = text;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::pathName(ACHAR*& path) const {
  path = copyOf(m_pathName);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::setPathName(const ACHAR* path) {
  if (path == nullptr) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_pathName = path;
  return Acad::eOk;
}

bool AcDbBlockTableRecord::hasAttributeDefinitions() const {
  for (const AcDbObjectId& id : m_entities)
    if (id.isValid() && !id.isErased() &&
        id.objectClass()->isDerivedFrom(AcDbAttributeDefinition::desc()))
      return true;
  return false;
}

bool AcDbBlockTableRecord::isLayout() const {
  return wcscasecmp(name().c_str(), ACDB_MODEL_SPACE) == 0 ||
         wcsncasecmp(name().c_str(), ACDB_PAPER_SPACE, 12) == 0;
}

bool AcDbBlockTableRecord::isAnonymous() const {
  return !name().empty() && name()[0] == L'*' && !isLayout();
}

Acad::ErrorStatus AcDbBlockTableRecord::getBlockReferenceIds(AcDbObjectIdArray& ids, bool) const {
  AcDbDatabase* db = database();
  if (db == nullptr) return Acad::eNoDatabase;
  for (const AcDbObjectId& id : objectIds(db)) {
    if (id.isErased() || !id.objectClass()->isDerivedFrom(AcDbBlockReference::desc())) continue;
    const auto* reference = AcDbBlockReference::cast(id.stub()->object);
    if (reference->blockTableRecord() == objectId()) ids.append(id);
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::getSortentsTable(AcDbSortentsTable*& table,
                                                         AcDb::OpenMode mode,
                                                         bool createIfNecessary) {
  table = nullptr;
  if (database() == nullptr) return Acad::eNoDatabase;
  if (extensionDictionary().isNull()) {
    if (!createIfNecessary) return Acad::eKeyNotFound;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    createExtensionDictionary();
  }
  AcDbDictionary* dictionary = nullptr;
  Acad::ErrorStatus status = acdbOpenObject(dictionary, extensionDictionary(), AcDb::kForWrite);
  if (status != Acad::eOk) return status;
  AcDbObjectId id;
  if (dictionary->getAt(L"ACAD_SORTENTS", id) != Acad::eOk) {
    if (!createIfNecessary) {
      dictionary->close();
      return Acad::eKeyNotFound;
    }
    auto* made = new AcDbSortentsTable;
    made->setBlockId(objectId());
    dictionary->setAt(L"ACAD_SORTENTS", made, id);
    made->close();
  }
  dictionary->close();
  return acdbOpenObject(table, id, mode);
}

Acad::ErrorStatus AcDbBlockTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
  writeBlockFields(this, filer);
  filer->writeInt32(m_entities.length());
  for (const AcDbObjectId& id : m_entities) filer->writeHardOwnershipId(id);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbBlockTableRecord::dwgInFields(AcDbDwgFiler* filer) {
  AcDbHardOwnershipId begin, end;
  BlockTableRecordAccess::readFields(this, filer, begin, end);
  Adesk::Int32 count = 0;
  filer->readInt32(&count);
  if (count < 0) return Acad::eFilerError;
  // A copy of a block does not take its entities: they belong to the original.
  bool copying = filer->filerType() == AcDb::kCopyFiler;
  if (!copying) {
    m_blockBegin = begin;
    m_blockEnd = end;
    if (database() != nullptr) recordUndoBlockListReplaced(database()->impl(), this);
    m_entities.removeAll();
    if (database() != nullptr) database()->impl().blockContentsReplaced(objectId());
  }
  for (int i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
    AcDbHardOwnershipId id;
    filer->readHardOwnershipId(&id);
    if (!copying && !id.isNull()) m_entities.append(id);
  }
  return filer->filerStatus();
}

// BLOCK_RECORD groups: 2 name, 70 flags, 340 the LAYOUT of a layout block (0 for
// other blocks).
Acad::ErrorStatus AcDbBlockTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbSymbolTableRecord::dxfOutFields(filer);
  filer->writeString(100, L"AcDbBlockTableRecord");
  filer->writeString(2, name());
  filer->writeObjectId(340, tabrik::acad::layoutIdOf(database(), objectId()));
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbBlockTableRecord::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbSymbolTableRecord::dxfInFields(filer);
  if (status == Acad::eOk) status = requireSubclass(filer, L"AcDbBlockTableRecord");
  if (status != Acad::eOk) return status;
  return forEachGroup(filer, [&](const resbuf& rb) {
    if (rb.restype == 2) assignName(stringOf(rb));
  });
}

// --- iterator ---------------------------------------------------------------------------

AcDbBlockTableRecordIterator::AcDbBlockTableRecordIterator(const AcDbObjectIdArray& ids,
                                                           bool atBeginning, bool skipDeleted)
    : m_ids(ids) {
  start(atBeginning, skipDeleted);
}

void AcDbBlockTableRecordIterator::start(bool atBeginning, bool skipDeleted) {
  m_index = atBeginning ? 0 : m_ids.length() - 1;
  skip(atBeginning, skipDeleted);
}

void AcDbBlockTableRecordIterator::skip(bool forward, bool skipDeleted) {
  while (!done() && (!m_ids[m_index].isValid() || (skipDeleted && m_ids[m_index].isErased())))
    m_index += forward ? 1 : -1;
}

void AcDbBlockTableRecordIterator::step(bool forward, bool skipDeleted) {
  if (done()) return;
  m_index += forward ? 1 : -1;
  skip(forward, skipDeleted);
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntityId(AcDbObjectId& id) const {
  if (done()) return Acad::eInvalidIndex;
  id = m_ids[m_index];
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntity(AcDbEntity*& entity, AcDb::OpenMode mode,
                                                          bool openErased) const {
  entity = nullptr;
  AcDbObjectId id;
  Acad::ErrorStatus status = getEntityId(id);
  if (status != Acad::eOk) return status;
  return acdbOpenAcDbEntity(entity, id, mode, openErased);
}

// --- markers ------------------------------------------------------------------------------

namespace {

const AcDbBlockTableRecord* ownerBlock(const AcDbObject* marker) {
  AcDbObjectId owner = marker->ownerId();
  return owner.isValid() ? AcDbBlockTableRecord::cast(owner.stub()->object) : nullptr;
}

}  // namespace

void AcDbBlockBegin::visitFields(FieldVisitor&) {}
void AcDbBlockEnd::visitFields(FieldVisitor&) {}
void AcDbSequenceEnd::visitFields(FieldVisitor&) {}

Acad::ErrorStatus AcDbBlockBegin::dwgOutFields(AcDbDwgFiler* filer) const {
  return AcDbEntity::dwgOutFields(filer);
}
Acad::ErrorStatus AcDbBlockBegin::dwgInFields(AcDbDwgFiler* filer) {
  return AcDbEntity::dwgInFields(filer);
}
Acad::ErrorStatus AcDbBlockEnd::dwgOutFields(AcDbDwgFiler* filer) const {
  return AcDbEntity::dwgOutFields(filer);
}
Acad::ErrorStatus AcDbBlockEnd::dwgInFields(AcDbDwgFiler* filer) {
  return AcDbEntity::dwgInFields(filer);
}
Acad::ErrorStatus AcDbSequenceEnd::dwgOutFields(AcDbDwgFiler* filer) const {
  return AcDbEntity::dwgOutFields(filer);
}
Acad::ErrorStatus AcDbSequenceEnd::dwgInFields(AcDbDwgFiler* filer) {
  return AcDbEntity::dwgInFields(filer);
}
Acad::ErrorStatus AcDbSequenceEnd::dxfOutFields(AcDbDxfFiler* filer) const {
  return AcDbEntity::dxfOutFields(filer);
}
Acad::ErrorStatus AcDbSequenceEnd::dxfInFields(AcDbDxfFiler* filer) {
  return AcDbEntity::dxfInFields(filer);
}

// BLOCK groups after AcDbEntity: 100 AcDbBlockBegin, 2 name, 70 flags (2: the block
// has attribute definitions), 10 base point, 3 name again, 1 external reference path.
Acad::ErrorStatus AcDbBlockBegin::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbEntity::dxfOutFields(filer);
  filer->writeString(100, L"AcDbBlockBegin");
  const AcDbBlockTableRecord* block = ownerBlock(this);
  std::wstring name = block ? block->name() : L"";
  filer->writeString(2, name);
  filer->writeInt16(70, block && block->hasAttributeDefinitions() ? 2 : 0);
  filer->writePoint3d(10, block ? block->origin() : AcGePoint3d());
  filer->writeString(3, name);
  ACHAR* path = nullptr;
  if (block != nullptr) block->pathName(path);
  filer->writeString(1, path ? path : L"");
  delete[] path;
  return filer->filerStatus();
}

namespace {
// What a BLOCK read from DXF said, until the reader moves it to its block record.
struct BlockHeads {
  std::unordered_map<const AcDbObject*, BlockHead> heads;
};
BlockHeads& blockHeads() {
  static BlockHeads heads;
  return heads;
}
}  // namespace

Acad::ErrorStatus AcDbBlockBegin::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer);
  if (status == Acad::eOk) status = requireSubclass(filer, L"AcDbBlockBegin");
  if (status != Acad::eOk) return status;
  BlockHead head;
  status = forEachGroup(filer, [&](const resbuf& rb) {
    switch (rb.restype) {
      case 2:
        head.name = stringOf(rb);
        break;
      case 70:
        head.flags = rb.resval.rint;
        break;
      case 10:
        head.origin = pointOf(rb);
        break;
      case 1:
        head.path = stringOf(rb);
        break;
      default:
        break;
    }
  });
  blockHeads().heads[this] = head;
  return status;
}

Acad::ErrorStatus AcDbBlockEnd::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbEntity::dxfOutFields(filer);
  filer->writeString(100, L"AcDbBlockEnd");
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbBlockEnd::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer);
  if (status == Acad::eOk) status = requireSubclass(filer, L"AcDbBlockEnd");
  if (status != Acad::eOk) return status;
  return forEachGroup(filer, [](const resbuf&) {});
}

namespace tabrik::acad {

void frameBlock(AcDbBlockTableRecord* block) {
  ::frameBlock(block, BlockTableRecordAccess::begin(block), BlockTableRecordAccess::end(block));
}

BlockHead blockHead(const AcDbObject* blockBegin) {
  auto& heads = blockHeads().heads;
  auto found = heads.find(blockBegin);
  if (found == heads.end()) return {};
  BlockHead head = found->second;
  heads.erase(found);
  return head;
}

void appendBlockEntity(AcDbBlockTableRecord* block, AcDbObjectId entity) {
  block->assertWriteEnabled();
  BlockTableRecordAccess::entities(block).append(entity);
  if (block->database() != nullptr)
    block->database()->impl().entityAppended(block->objectId(), entity.stub());
}

void setBlockFrame(AcDbBlockTableRecord* block, AcDbObjectId begin, AcDbObjectId end) {
  BlockTableRecordAccess::begin(block) = begin;
  BlockTableRecordAccess::end(block) = end;
}

void writeBlockFields(const AcDbBlockTableRecord* block, AcDbDwgFiler* filer) {
  BlockTableRecordAccess::writeFields(block, filer);
}

void restoreBlock(AcDbBlockTableRecord* block, AcDbDwgFiler* fields,
                  std::vector<AcDbObjectId> entities) {
  AcDbHardOwnershipId begin, end;
  BlockTableRecordAccess::readFields(block, fields, begin, end);
  setBlockFrame(block, begin, end);
  AcDbObjectIdArray& list = BlockTableRecordAccess::entities(block);
  list.removeAll();
  for (const AcDbObjectId& id : entities) list.append(id);
  if (block->database() != nullptr)
    block->database()->impl().blockContentsReplaced(block->objectId());
}

}  // namespace tabrik::acad
