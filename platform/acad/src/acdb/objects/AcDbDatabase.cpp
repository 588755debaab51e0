// The drawing database: handles and stubs, adding objects, the default drawing every
// new database starts with, header variables, and the host application services.
#include <algorithm>
#include <cwchar>
#include <optional>

#include "acdb/objects/DatabaseInternal.h"
#include "dbdict.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "rxboiler.h"
#include "rxdict.h"
#include "tabrik/DrawingFiling.h"

using namespace tabrik::acad;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbDatabase, AcRxObject)

namespace tabrik::acad {
std::intptr_t registerStubSerial(AcDbStub* stub);
void unregisterStubSerial(std::intptr_t serial);

DatabaseImpl::~DatabaseImpl() {
  // Objects may refer to each other while being destroyed (a dictionary to its
  // entries): delete them only after every stub is cut loose.
  std::vector<AcDbObject*> objects;
  for (auto& stub : stubs) {
    if (stub->object != nullptr) objects.push_back(stub->object);
    stub->object = nullptr;
    stub->gone = true;
    unregisterStubSerial(stub->serial);
  }
  for (AcDbObject* object : objects) delete object;
}

AcDbStub* DatabaseImpl::newStub(std::uint64_t handle) {
  auto stub = std::make_unique<AcDbStub>();
  stub->database = self;
  stub->handle = handle;
  stub->serial = registerStubSerial(stub.get());
  AcDbStub* raw = stub.get();
  stubs.push_back(std::move(stub));
  byHandle[handle] = raw;
  if (handle >= nextHandle && handle < kProvisionalHandles) nextHandle = handle + 1;
  return raw;
}

AcDbStub* DatabaseImpl::stubOf(std::uint64_t handle) const {
  auto found = byHandle.find(handle);
  return found == byHandle.end() ? nullptr : found->second;
}

Acad::ErrorStatus DatabaseImpl::add(AcDbObject* object, std::uint64_t handle, AcDbObjectId& id) {
  if (object == nullptr) return Acad::eNullObjectPointer;
  if (!object->objectId().isNull()) return Acad::eAlreadyInDb;
  AcDbStub* stub = nullptr;
  if (handle == 0) {
    stub = newStub(nextProvisional != 0 ? nextProvisional++ : nextHandle);
  } else {
    stub = stubOf(handle);
    if (stub != nullptr && (stub->object != nullptr || stub->gone)) return Acad::eHandleInUse;
    if (stub == nullptr) stub = newStub(handle);
  }
  stub->object = object;
  id = AcDbObjectId(stub);
  ObjectState::attach(object, id);
  ObjectState::writeOpen(object) = true;
  ObjectState::setNew(object, true);
  if (!restoring) {
    AcTransaction* top = transactions.topTransaction();
    if (top != nullptr) top->impl().created.push_back(stub);
    recordUndoCreation(*this, stub);
  }
  return Acad::eOk;
}

std::vector<AcDbObject*> DatabaseImpl::objectsByHandle() const {
  std::vector<AcDbStub*> live;
  for (const auto& stub : stubs)
    if (stub->object != nullptr) live.push_back(stub.get());
  std::sort(live.begin(), live.end(),
            [](AcDbStub* a, AcDbStub* b) { return a->handle < b->handle; });
  std::vector<AcDbObject*> objects;
  objects.reserve(live.size());
  for (AcDbStub* stub : live) objects.push_back(stub->object);
  return objects;
}

namespace {

template <class Record>
AcDbObjectId addRecord(AcDbSymbolTable* table, Record* record, const ACHAR* name) {
  record->setName(name);
  AcDbObjectId id;
  table->add(id, record);
  record->close();
  return id;
}

template <class Table>
AcDbObjectId addTable(DatabaseImpl& db, AcDbObjectId& slot) {
  auto* table = new Table;
  AcDbObjectId id;
  db.add(table, 0, id);
  table->close();
  slot = id;
  return id;
}

template <class Table>
Table* openTable(AcDbObjectId id) {
  Table* table = nullptr;
  acdbOpenObject(table, id, AcDb::kForWrite);
  return table;
}

AcDbObjectId addBlock(AcDbBlockTable* blocks, const ACHAR* name) {
  auto* block = new AcDbBlockTableRecord;
  block->setName(name);
  AcDbObjectId id;
  blocks->add(id, block);
  block->close();
  return id;
}

}  // namespace

// The drawing a new database holds: the nine tables with the records every drawing
// has (VPORT *Active; LTYPE ByBlock, ByLayer, Continuous; LAYER 0; STYLE Standard;
// APPID ACAD; DIMSTYLE Standard; BLOCK_RECORD *Model_Space, *Paper_Space), and the
// named-object dictionary with its ACAD_GROUP dictionary.
void DatabaseImpl::buildDefaultDrawing() {
  addTable<AcDbViewportTable>(*this, viewportTable);
  addTable<AcDbLinetypeTable>(*this, linetypeTable);
  addTable<AcDbLayerTable>(*this, layerTable);
  addTable<AcDbTextStyleTable>(*this, textStyleTable);
  addTable<AcDbViewTable>(*this, viewTable);
  addTable<AcDbUCSTable>(*this, ucsTable);
  addTable<AcDbRegAppTable>(*this, regAppTable);
  addTable<AcDbDimStyleTable>(*this, dimStyleTable);
  addTable<AcDbBlockTable>(*this, blockTable);

  auto* viewports = openTable<AcDbViewportTable>(viewportTable);
  addRecord(viewports, new AcDbViewportTableRecord, L"*Active");
  viewports->close();

  auto* linetypes = openTable<AcDbLinetypeTable>(linetypeTable);
  byBlockLinetype = addRecord(linetypes, new AcDbLinetypeTableRecord, L"ByBlock");
  byLayerLinetype = addRecord(linetypes, new AcDbLinetypeTableRecord, L"ByLayer");
  auto* continuous = new AcDbLinetypeTableRecord;
  continuous->setComments(L"Solid line");
  continuousLinetype = addRecord(linetypes, continuous, L"Continuous");
  linetypes->close();

  auto* layers = openTable<AcDbLayerTable>(layerTable);
  auto* layer0 = new AcDbLayerTableRecord;
  layer0->setLinetypeObjectId(continuousLinetype);
  clayer = addRecord(layers, layer0, L"0");
  layers->close();

  auto* styles = openTable<AcDbTextStyleTable>(textStyleTable);
  textstyle = addRecord(styles, new AcDbTextStyleTableRecord, L"Standard");
  styles->close();

  auto* apps = openTable<AcDbRegAppTable>(regAppTable);
  addRecord(apps, new AcDbRegAppTableRecord, L"ACAD");
  apps->close();

  auto* dimStyles = openTable<AcDbDimStyleTable>(dimStyleTable);
  auto* standardDim = new AcDbDimStyleTableRecord;
  standardDim->setDimtxsty(textstyle);
  dimstyle = addRecord(dimStyles, standardDim, L"Standard");
  dimStyles->close();

  auto* blocks = openTable<AcDbBlockTable>(blockTable);
  modelSpace = addBlock(blocks, ACDB_MODEL_SPACE);
  paperSpace = addBlock(blocks, ACDB_PAPER_SPACE);
  layoutsChanged();
  blocks->close();

  auto* root = new AcDbDictionary;
  add(root, 0, namedObjects);
  auto* groups = new AcDbDictionary;
  AcDbObjectId groupsId;
  root->setAt(L"ACAD_GROUP", groups, groupsId);
  groupDictionary = groupsId;
  groups->close();
  root->close();

  celtype = byLayerLinetype;
}

void DatabaseImpl::beforeChange(AcDbObject* object) {
  if (restoring) return;
  AcTransaction* top = transactions.topTransaction();
  if (top != nullptr) top->impl().record(object);
  recordUndoChange(*this, object);
}

}  // namespace tabrik::acad

AcDbDatabase::AcDbDatabase(bool buildDefaultDrawing, bool noDocument)
    : m_impl(std::make_unique<DatabaseImpl>(this)) {
  if (buildDefaultDrawing) m_impl->buildDefaultDrawing();
}

AcDbDatabase::~AcDbDatabase() {
  AcDbHostApplicationServices* services = acdbHostApplicationServices();
  if (services->workingDatabase() == this) services->setWorkingDatabase(nullptr);
  while (m_impl->transactions.numActiveTransactions() > 0) m_impl->transactions.abortTransaction();
}

Acad::ErrorStatus AcDbDatabase::addAcDbObject(AcDbObjectId& id, AcDbObject* object) {
  return m_impl->add(object, 0, id);
}

Acad::ErrorStatus AcDbDatabase::getAcDbObjectId(AcDbObjectId& id, bool createIfNotFound,
                                                const AcDbHandle& handle, Adesk::UInt32) {
  id.setNull();
  if (handle.isNull()) return Acad::eNullHandle;
  AcDbStub* stub = m_impl->stubOf(handle.value());
  if (stub == nullptr && createIfNotFound) stub = m_impl->newStub(handle.value());
  if (stub == nullptr) return Acad::eUnknownHandle;
  id = AcDbObjectId(stub);
  return Acad::eOk;
}

AcDbHandle AcDbDatabase::handseed() const { return m_impl->nextHandle; }

#define TABRIK_TABLE_ACCESS(GETTER, TYPE, SLOT, IDGETTER)                     \
  Acad::ErrorStatus AcDbDatabase::GETTER(TYPE*& table, AcDb::OpenMode mode) { \
    return acdbOpenObject(table, m_impl->SLOT, mode);                         \
  }                                                                           \
  AcDbObjectId AcDbDatabase::IDGETTER() const { return m_impl->SLOT; }

TABRIK_TABLE_ACCESS(getBlockTable, AcDbBlockTable, blockTable, blockTableId)
TABRIK_TABLE_ACCESS(getLayerTable, AcDbLayerTable, layerTable, layerTableId)
TABRIK_TABLE_ACCESS(getLinetypeTable, AcDbLinetypeTable, linetypeTable, linetypeTableId)
TABRIK_TABLE_ACCESS(getTextStyleTable, AcDbTextStyleTable, textStyleTable, textStyleTableId)
TABRIK_TABLE_ACCESS(getRegAppTable, AcDbRegAppTable, regAppTable, regAppTableId)
TABRIK_TABLE_ACCESS(getViewportTable, AcDbViewportTable, viewportTable, viewportTableId)
TABRIK_TABLE_ACCESS(getViewTable, AcDbViewTable, viewTable, viewTableId)
TABRIK_TABLE_ACCESS(getUCSTable, AcDbUCSTable, ucsTable, UCSTableId)
TABRIK_TABLE_ACCESS(getDimStyleTable, AcDbDimStyleTable, dimStyleTable, dimStyleTableId)

Acad::ErrorStatus AcDbDatabase::getNamedObjectsDictionary(AcDbDictionary*& dictionary,
                                                          AcDb::OpenMode mode) {
  return acdbOpenObject(dictionary, m_impl->namedObjects, mode);
}
AcDbObjectId AcDbDatabase::namedObjectsDictionaryId() const { return m_impl->namedObjects; }
Acad::ErrorStatus AcDbDatabase::getGroupDictionary(AcDbDictionary*& dictionary,
                                                   AcDb::OpenMode mode) {
  return acdbOpenObject(dictionary, m_impl->groupDictionary, mode);
}
AcDbObjectId AcDbDatabase::groupDictionaryId() const { return m_impl->groupDictionary; }
AcDbObjectId AcDbDatabase::modelSpaceId() const { return m_impl->modelSpace; }
AcDbObjectId AcDbDatabase::paperSpaceId() const { return m_impl->paperSpace; }
AcDbObjectId AcDbDatabase::byLayerLinetype() const { return m_impl->byLayerLinetype; }
AcDbObjectId AcDbDatabase::byBlockLinetype() const { return m_impl->byBlockLinetype; }
AcDbObjectId AcDbDatabase::continuousLinetype() const { return m_impl->continuousLinetype; }

namespace {
bool isRecordOf(AcDbObjectId id, AcRxClass* cls) {
  return id.isValid() && !id.isErased() && id.objectClass()->isDerivedFrom(cls);
}
}  // namespace

AcDbObjectId AcDbDatabase::clayer() const { return m_impl->clayer; }
Acad::ErrorStatus AcDbDatabase::setClayer(AcDbObjectId id) {
  if (!isRecordOf(id, AcDbLayerTableRecord::desc()) || id.database() != this)
    return Acad::eInvalidInput;
  m_impl->clayer = id;
  return Acad::eOk;
}
AcDbObjectId AcDbDatabase::celtype() const { return m_impl->celtype; }
Acad::ErrorStatus AcDbDatabase::setCeltype(AcDbObjectId id) {
  if (!isRecordOf(id, AcDbLinetypeTableRecord::desc()) || id.database() != this)
    return Acad::eInvalidInput;
  m_impl->celtype = id;
  return Acad::eOk;
}
AcCmColor AcDbDatabase::cecolor() const { return m_impl->cecolor; }
Acad::ErrorStatus AcDbDatabase::setCecolor(const AcCmColor& color) {
  m_impl->cecolor = color;
  return Acad::eOk;
}
AcDb::LineWeight AcDbDatabase::celweight() const { return m_impl->celweight; }
Acad::ErrorStatus AcDbDatabase::setCelweight(AcDb::LineWeight weight) {
  m_impl->celweight = weight;
  return Acad::eOk;
}
double AcDbDatabase::celtscale() const { return m_impl->celtscale; }
Acad::ErrorStatus AcDbDatabase::setCeltscale(double scale) {
  if (!(scale > 0)) return Acad::eInvalidInput;
  m_impl->celtscale = scale;
  return Acad::eOk;
}
AcDbObjectId AcDbDatabase::textstyle() const { return m_impl->textstyle; }
Acad::ErrorStatus AcDbDatabase::setTextstyle(AcDbObjectId id) {
  if (!isRecordOf(id, AcDbTextStyleTableRecord::desc()) || id.database() != this)
    return Acad::eInvalidInput;
  m_impl->textstyle = id;
  return Acad::eOk;
}
double AcDbDatabase::textsize() const { return m_impl->textsize; }
Acad::ErrorStatus AcDbDatabase::setTextsize(double size) {
  if (!(size > 0)) return Acad::eInvalidInput;
  m_impl->textsize = size;
  return Acad::eOk;
}
double AcDbDatabase::dimscale() const { return m_impl->dimscale; }
Acad::ErrorStatus AcDbDatabase::setDimscale(double scale) {
  if (!(scale >= 0)) return Acad::eInvalidInput;
  m_impl->dimscale = scale;
  return Acad::eOk;
}
double AcDbDatabase::ltscale() const { return m_impl->ltscale; }
Acad::ErrorStatus AcDbDatabase::setLtscale(double scale) {
  if (!(scale > 0)) return Acad::eInvalidInput;
  m_impl->ltscale = scale;
  return Acad::eOk;
}
int AcDbDatabase::insunits() const { return m_impl->insunits; }
Acad::ErrorStatus AcDbDatabase::setInsunits(int units) {
  if (units < 0 || units > 20) return Acad::eInvalidInput;
  m_impl->insunits = units;
  return Acad::eOk;
}
bool AcDbDatabase::measurement() const { return m_impl->metric; }
Acad::ErrorStatus AcDbDatabase::setMeasurement(bool metric) {
  m_impl->metric = metric;
  return Acad::eOk;
}
AcGePoint3d AcDbDatabase::insbase() const { return m_impl->insbase; }
Acad::ErrorStatus AcDbDatabase::setInsbase(const AcGePoint3d& base) {
  m_impl->insbase = base;
  return Acad::eOk;
}

AcDbTransactionManager* AcDbDatabase::transactionManager() const { return &m_impl->transactions; }
const ACHAR* AcDbDatabase::filename() const { return m_impl->filename.c_str(); }

Acad::ErrorStatus AcDbHostApplicationServices::findFile(ACHAR* fileOut, int bufferLength,
                                                        const ACHAR* fileName, AcDbDatabase*,
                                                        FindFileHint) {
  if (fileOut == nullptr || fileName == nullptr || bufferLength <= 0) return Acad::eInvalidInput;
  std::optional<std::wstring> found = tabrik::acad::findFileWithFinder(fileName);
  if (!found) return Acad::eFileNotFound;
  if (found->size() + 1 > static_cast<size_t>(bufferLength)) return Acad::eBufferTooSmall;
  std::wmemcpy(fileOut, found->c_str(), found->size() + 1);
  return Acad::eOk;
}

AcDbHostApplicationServices* acdbHostApplicationServices() {
  static AcDbHostApplicationServices services;
  return &services;
}
