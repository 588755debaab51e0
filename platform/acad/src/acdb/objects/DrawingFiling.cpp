// The filing support of tabrik/DrawingFiling.h, and handles.
#include "tabrik/DrawingFiling.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <filesystem>
#include <memory>
#include <string_view>

#include "acdb/acut/WideText.h"
#include "acdb/objects/ComplexEntity.h"
#include "acdb/objects/DatabaseInternal.h"
#include "dbdict.h"
#include "dbents.h"
#include "dbproxy.h"
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

void beginProvisionalHandles(AcDbDatabase* database) {
  DatabaseImpl& db = database->impl();
  if (db.nextProvisional == 0) db.nextProvisional = DatabaseImpl::kProvisionalHandles;
}

void endProvisionalHandles(AcDbDatabase* database) {
  DatabaseImpl& db = database->impl();
  if (db.nextProvisional == 0) return;
  db.nextProvisional = 0;
  // Stubs are kept in the order they were made, which is the provisional handles' order.
  for (const auto& stub : db.stubs) {
    if (stub->handle.value() < DatabaseImpl::kProvisionalHandles) continue;
    db.byHandle.erase(stub->handle.value());
    stub->handle = db.nextHandle++;
    db.byHandle[stub->handle.value()] = stub.get();
  }
  db.layoutsChanged();  // the orders are sorted by handle
}

void raiseHandseed(AcDbDatabase* database, AcDbHandle seed) {
  auto& next = database->impl().nextHandle;
  if (seed.value() > next) next = seed.value();
}

void appendTableRecord(AcDbSymbolTable* table, AcDbObjectId record) { table->appendRecord(record); }

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
  db.layoutsChanged();
  db.byLayerLinetype = symbolIdOf(database, db.linetypeTable, L"ByLayer");
  db.byBlockLinetype = symbolIdOf(database, db.linetypeTable, L"ByBlock");
  db.continuousLinetype = symbolIdOf(database, db.linetypeTable, L"Continuous");
  if (db.clayer.isNull() || !db.clayer.isValid())
    db.clayer = symbolIdOf(database, db.layerTable, L"0");
  if (db.textstyle.isNull() || !db.textstyle.isValid())
    db.textstyle = symbolIdOf(database, db.textStyleTable, L"Standard");
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
  if (complex == nullptr || !subEntity.isValid() ||
      !complex->acceptsSubEntity(subEntity.stub()->object))
    return false;
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
  if ((code >= 10 && code <= 18) || (code >= 110 && code <= 112) || code == 210 ||
      (code >= 1010 && code <= 1013))
    return DxfGroupKind::kPoint;
  if ((code >= 19 && code <= 59) || (code >= 140 && code <= 149) || (code >= 460 && code <= 469) ||
      (code >= 1040 && code <= 1042))
    return DxfGroupKind::kReal;
  if ((code >= 60 && code <= 79) || (code >= 170 && code <= 179) || (code >= 270 && code <= 299) ||
      (code >= 370 && code <= 389) || (code >= 400 && code <= 409) ||
      (code >= 1060 && code <= 1070))
    return DxfGroupKind::kInt16;
  if ((code >= 90 && code <= 99) || (code >= 420 && code <= 429) || (code >= 440 && code <= 459) ||
      code == 1071)
    return DxfGroupKind::kInt32;
  if (code >= 160 && code <= 169) return DxfGroupKind::kInt64;
  if (code == 5 || code == 105 || (code >= 320 && code <= 369) || (code >= 390 && code <= 399) ||
      code == 480 || code == 481)
    return DxfGroupKind::kHandle;
  return DxfGroupKind::kString;
}

bool isFiled(const AcDbDxfFiler* filer, AcDbObjectId id) {
  if (!id.isValid() || id.isErased()) return false;
  const auto* filed = dynamic_cast<const FiledObjects*>(filer);
  return filed == nullptr || filed->holds(id);
}

void setFilename(AcDbDatabase* database, const std::wstring& name) {
  database->impl().filename = name;
}

void setReadMessage(AcDbDatabase* database, const std::wstring& message) {
  database->impl().readMessage = message;
}

const std::wstring& readMessage(const AcDbDatabase* database) {
  return database->impl().readMessage;
}

void installDxfFiling(DxfReadFunction reader, DxfWriteFunction writer) {
  gDxfReader = reader;
  gDxfWriter = writer;
}

namespace {
FileFinder gFileFinder = nullptr;
}

void installFileFinder(FileFinder finder) { gFileFinder = finder; }

std::optional<std::wstring> findFileWithFinder(const std::wstring& name) {
  if (name.empty()) return std::nullopt;
  if (gFileFinder != nullptr) return gFileFinder(name);
  std::string path(toUtf8(name));
  std::replace(path.begin(), path.end(), '\\', '/');
  std::error_code error;
  if (std::filesystem::is_regular_file(path, error)) return name;
  return std::nullopt;
}

bool isHostClass(const AcRxClass* cls) {
  return cls != nullptr && std::wstring_view(cls->appName()) == kHostClassApplication;
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
    if (*c >= L'0' && *c <= L'9')
      digit = *c - L'0';
    else if (*c >= L'a' && *c <= L'f')
      digit = *c - L'a' + 10;
    else if (*c >= L'A' && *c <= L'F')
      digit = *c - L'A' + 10;
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

// True when the table lists the record (a file can point at a record no table holds).
bool isTableRecord(AcDbObjectId tableId, AcDbObjectId record) {
  const auto* table = AcDbSymbolTable::cast(peekObject(tableId));
  return table != nullptr && table->recordIds().contains(record);
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
  Acad::ErrorStatus status = table->add(id, record);
  ObjectState::writeOpen(table) = wasWritable;
  if (status != Acad::eOk) {  // a table of a damaged file that takes no records
    delete record;
    return AcDbObjectId::kNull;
  }
  record->close();
  return id;
}

}  // namespace

// --- layouts and plot style names ---------------------------------------------------------
//
// This host has no classes for layouts or plot style names, but R2000 files carry them:
// ACAD_LAYOUT holds a LAYOUT per layout block (BLOCK_RECORD 340 points back to it), and
// ACAD_PLOTSTYLENAME, a dictionary with a default, holds the placeholder "Normal" that
// every LAYER's 390 names. They are kept as proxies with the groups such files carry.

namespace {

const wchar_t* const kObjectDbxClasses = L"ObjectDBX Classes";

std::wstring hex(AcDbObjectId id) { return id.handle().asString(); }

AcDbProxyObject* newProxy(const wchar_t* dxfName, const wchar_t* className) {
  auto* proxy = new AcDbProxyObject;
  proxy->setOriginalClass(dxfName, className, kObjectDbxClasses, 0);
  return proxy;
}

std::vector<AcDbProxyGroup> layoutGroups(const wchar_t* name, int tabOrder, AcDbObjectId block,
                                         bool model) {
  std::vector<AcDbProxyGroup> g = {{100, L"AcDbPlotSettings"},
                                   {1, L""},
                                   {2, L"none_device"},
                                   {4, L"ISO_A4_(297.00_x_210.00_MM)"},
                                   {6, L""},
                                   {40, L"7.5"},
                                   {41, L"20.0"},
                                   {42, L"7.5"},
                                   {43, L"20.0"},
                                   {44, L"297.0"},
                                   {45, L"210.0"},
                                   {46, L"0.0"},
                                   {47, L"0.0"},
                                   {48, L"0.0"},
                                   {49, L"0.0"},
                                   {140, L"0.0"},
                                   {141, L"0.0"},
                                   {142, L"1.0"},
                                   {143, L"1.0"},
                                   {70, model ? L"1712" : L"688"},
                                   {72, L"1"},
                                   {73, L"0"},
                                   {74, L"5"},
                                   {7, L""},
                                   {75, L"16"},
                                   {147, L"1.0"},
                                   {148, L"0.0"},
                                   {149, L"0.0"},
                                   {100, L"AcDbLayout"},
                                   {1, name},
                                   {70, L"1"},
                                   {71, std::to_wstring(tabOrder)},
                                   {10, L"0,0,0"},
                                   {11, model ? L"420,297,0" : L"297,210,0"},
                                   {12, L"0,0,0"},
                                   {14, L"1e20,1e20,1e20"},
                                   {15, L"-1e20,-1e20,-1e20"},
                                   {146, L"0.0"},
                                   {13, L"0,0,0"},
                                   {16, L"1,0,0"},
                                   {17, L"0,1,0"},
                                   {76, L"0"},
                                   {330, hex(block)}};
  return g;
}

// Adds `object` under `key` of the dictionary, closed; the id (null on failure).
AcDbObjectId addEntry(AcDbDictionary* dictionary, const wchar_t* key, AcDbObject* object) {
  bool wasWritable = ObjectState::writeOpen(dictionary);
  ObjectState::writeOpen(dictionary) = true;
  AcDbObjectId id;
  Acad::ErrorStatus status = dictionary->setAt(key, object, id);
  ObjectState::writeOpen(dictionary) = wasWritable;
  if (status != Acad::eOk) {
    delete object;
    return AcDbObjectId::kNull;
  }
  ObjectState::writeOpen(object) = false;
  return id;
}

void ensureLayouts(DatabaseImpl& db, AcDbDictionary* root) {
  AcDbObjectId existing;
  if (root->getAt(L"ACAD_LAYOUT", existing) == Acad::eOk) return;
  auto* layouts = new AcDbDictionary;
  AcDbObjectId layoutsId = addEntry(root, L"ACAD_LAYOUT", layouts);
  if (layoutsId.isNull()) return;
  const struct {
    const wchar_t* name;
    AcDbObjectId block;
    int tab;
  } kinds[] = {{L"Model", db.modelSpace, 0}, {L"Layout1", db.paperSpace, 1}};
  for (const auto& kind : kinds) {
    if (!kind.block.isValid()) continue;
    AcDbProxyObject* layout = newProxy(L"LAYOUT", L"AcDbLayout");
    if (addEntry(layouts, kind.name, layout).isNull()) continue;
    layout->setGroups(layoutGroups(kind.name, kind.tab, kind.block, kind.tab == 0));
  }
}

void ensurePlotStyleNames(DatabaseImpl& db, AcDbDictionary* root) {
  AcDbObjectId existing;
  if (root->getAt(L"ACAD_PLOTSTYLENAME", existing) == Acad::eOk) return;
  AcDbProxyObject* names = newProxy(L"ACDBDICTIONARYWDFLT", L"AcDbDictionaryWithDefault");
  AcDbObjectId namesId = addEntry(root, L"ACAD_PLOTSTYLENAME", names);
  if (namesId.isNull()) return;
  AcDbProxyObject* normal = newProxy(L"ACDBPLACEHOLDER", L"AcDbPlaceHolder");
  AcDbObjectId normalId;
  db.add(normal, 0, normalId);
  ObjectState::setOwner(normal, namesId);
  normal->addPersistentReactor(namesId);
  normal->close();
  names->setGroups({{100, L"AcDbDictionary"},
                    {281, L"1"},
                    {3, L"Normal"},
                    {350, hex(normalId)},
                    {100, L"AcDbDictionaryWithDefault"},
                    {340, hex(normalId)}});
}

AcDbObjectId idOfHandle(AcDbDatabase* database, const std::wstring& text) {
  AcDbHandle handle(text.c_str());
  AcDbObjectId id;
  if (handle.isNull() ||
      database->getAcDbObjectId(id, /*createIfNotFound=*/false, handle) != Acad::eOk)
    return AcDbObjectId::kNull;
  return id;
}

AcDbObject* rootEntry(AcDbDatabase* database, const wchar_t* key) {
  const auto* root = AcDbDictionary::cast(peekObject(database->impl().namedObjects));
  AcDbObjectId id;
  if (root == nullptr || root->getAt(key, id) != Acad::eOk) return nullptr;
  return peekObject(id);
}

}  // namespace

AcDbObjectId plotStyleNameId(AcDbDatabase* database, const std::wstring& name) {
  if (database == nullptr) return AcDbObjectId::kNull;
  AcDbObject* names = rootEntry(database, L"ACAD_PLOTSTYLENAME");
  if (auto* dictionary = AcDbDictionary::cast(names)) {
    AcDbObjectId id;
    dictionary->getAt(name.empty() ? L"Normal" : name.c_str(), id);
    return id;
  }
  const auto* proxy = AcDbProxyObject::cast(names);
  if (proxy == nullptr) return AcDbObjectId::kNull;
  // Entries are 3 name / 350 handle pairs; 340 is the default.
  const auto& groups = proxy->groups();
  AcDbObjectId fallback;
  for (size_t i = 0; i < groups.size(); ++i) {
    if (groups[i].code == 340 && fallback.isNull())
      fallback = idOfHandle(database, groups[i].value);
    if (groups[i].code != 3 || i + 1 >= groups.size() || groups[i + 1].code != 350) continue;
    if (!name.empty() && wcscasecmp(groups[i].value.c_str(), name.c_str()) == 0)
      return idOfHandle(database, groups[i + 1].value);
    if (name.empty() && wcscasecmp(groups[i].value.c_str(), L"Normal") == 0 && fallback.isNull())
      fallback = idOfHandle(database, groups[i + 1].value);
  }
  return fallback;
}

std::wstring pendingPlotStyleName(AcDbObjectId placeholder) {
  return std::wstring(1, kPendingPlotStyle) + hex(placeholder);
}

namespace {

// The entries of ACAD_PLOTSTYLENAME as (name, placeholder handle) pairs.
std::vector<std::pair<std::wstring, std::wstring>> plotStyleEntries(const AcDbProxyObject* names) {
  std::vector<std::pair<std::wstring, std::wstring>> entries;
  const auto& groups = names->groups();
  for (size_t i = 0; i + 1 < groups.size(); ++i)
    if (groups[i].code == 3 && groups[i + 1].code == 350)
      entries.emplace_back(groups[i].value, groups[i + 1].value);
  return entries;
}

// Gives each layer's plot style name a placeholder in ACAD_PLOTSTYLENAME, so that the
// layer's 390 can name it in a file, and turns the placeholders layers were read with
// back into names.
void settlePlotStyleNames(DatabaseImpl& db, AcDbDictionary* root) {
  AcDbObjectId namesId;
  if (root->getAt(L"ACAD_PLOTSTYLENAME", namesId) != Acad::eOk) return;
  auto* names = AcDbProxyObject::cast(peekObject(namesId));
  auto* layers = AcDbSymbolTable::cast(peekObject(db.layerTable));
  if (names == nullptr || layers == nullptr) return;
  for (const AcDbObjectId& id : layers->recordIds()) {
    auto* layer = AcDbLayerTableRecord::cast(peekObject(id));
    if (layer == nullptr) continue;
    std::unique_ptr<ACHAR[]> current(layer->plotStyleName());
    std::wstring name = current ? current.get() : L"";
    const auto entries = plotStyleEntries(names);
    if (!name.empty() && name[0] == kPendingPlotStyle) {
      const std::wstring handle = name.substr(1);
      name.clear();
      for (const auto& entry : entries)
        if (AcDbHandle(entry.second.c_str()) == AcDbHandle(handle.c_str())) name = entry.first;
      bool wasWritable = ObjectState::writeOpen(layer);
      ObjectState::writeOpen(layer) = true;
      layer->setPlotStyleName(name.c_str());
      ObjectState::writeOpen(layer) = wasWritable;
      continue;
    }
    if (name.empty() || std::any_of(entries.begin(), entries.end(), [&](const auto& entry) {
          return wcscasecmp(entry.first.c_str(), name.c_str()) == 0;
        }))
      continue;
    auto* placeholder = newProxy(L"ACDBPLACEHOLDER", L"AcDbPlaceHolder");
    AcDbObjectId placeholderId;
    db.add(placeholder, 0, placeholderId);
    ObjectState::setOwner(placeholder, namesId);
    placeholder->addPersistentReactor(namesId);
    placeholder->close();
    // The new pair goes after the last entry, before the default's part.
    std::vector<AcDbProxyGroup> groups = names->groups();
    auto at = std::find_if(groups.begin(), groups.end(), [](const AcDbProxyGroup& g) {
      return g.code == 100 && g.value == L"AcDbDictionaryWithDefault";
    });
    at = groups.insert(at, {350, hex(placeholderId)});
    groups.insert(at, {3, name});
    names->setGroups(std::move(groups));
  }
}

}  // namespace

AcDbObjectId layoutIdOf(AcDbDatabase* database, AcDbObjectId blockRecord) {
  const auto* layouts =
      database ? AcDbDictionary::cast(rootEntry(database, L"ACAD_LAYOUT")) : nullptr;
  if (layouts == nullptr || blockRecord.isNull()) return AcDbObjectId::kNull;
  for (const auto& entry : layouts->entries()) {
    const auto* layout = AcDbProxyObject::cast(peekObject(entry.id));
    if (layout == nullptr || layout->isErased()) continue;
    // The block record is the 330 of the AcDbLayout part.
    bool inLayout = false;
    for (const AcDbProxyGroup& g : layout->groups()) {
      if (g.code == 100) inLayout = g.value == L"AcDbLayout";
      if (inLayout && g.code == 330 && idOfHandle(database, g.value) == blockRecord)
        return entry.id;
    }
  }
  return AcDbObjectId::kNull;
}

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
  ensureRecord<AcDbViewportTableRecord>(db.viewportTable, L"*Active",
                                        [] { return new AcDbViewportTableRecord; });
  ensureRecord<AcDbLinetypeTableRecord>(db.linetypeTable, L"ByBlock",
                                        [] { return new AcDbLinetypeTableRecord; });
  ensureRecord<AcDbLinetypeTableRecord>(db.linetypeTable, L"ByLayer",
                                        [] { return new AcDbLinetypeTableRecord; });
  AcDbObjectId continuous =
      ensureRecord<AcDbLinetypeTableRecord>(db.linetypeTable, L"Continuous", [] {
        auto* record = new AcDbLinetypeTableRecord;
        record->setComments(L"Solid line");
        return record;
      });
  AcDbObjectId layer0 = ensureRecord<AcDbLayerTableRecord>(db.layerTable, L"0",
                                                           [] { return new AcDbLayerTableRecord; });
  if (auto* layer = AcDbLayerTableRecord::cast(peekObject(layer0));
      layer && !layer->linetypeObjectId().isValid()) {
    ObjectState::writeOpen(layer) = true;
    layer->setLinetypeObjectId(continuous);
    ObjectState::writeOpen(layer) = false;
  }
  AcDbObjectId standard = ensureRecord<AcDbTextStyleTableRecord>(
      db.textStyleTable, L"Standard", [] { return new AcDbTextStyleTableRecord; });
  ensureRecord<AcDbRegAppTableRecord>(db.regAppTable, L"ACAD",
                                      [] { return new AcDbRegAppTableRecord; });
  AcDbObjectId dimStandard = ensureRecord<AcDbDimStyleTableRecord>(
      db.dimStyleTable, L"Standard", [] { return new AcDbDimStyleTableRecord; });
  if (auto* dim = AcDbDimStyleTableRecord::cast(peekObject(dimStandard));
      dim && (!dim->dimtxsty().isValid() || dim->dimtxsty().isErased() ||
              !isTableRecord(db.textStyleTable, dim->dimtxsty()))) {
    ObjectState::writeOpen(dim) = true;
    dim->setDimtxsty(standard);
    ObjectState::writeOpen(dim) = false;
  }
  ensureRecord<AcDbBlockTableRecord>(db.blockTable, ACDB_MODEL_SPACE,
                                     [] { return new AcDbBlockTableRecord; });
  ensureRecord<AcDbBlockTableRecord>(db.blockTable, ACDB_PAPER_SPACE,
                                     [] { return new AcDbBlockTableRecord; });
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
  if (root != nullptr) {
    ensureLayouts(db, root);
    ensurePlotStyleNames(db, root);
    settlePlotStyleNames(db, root);
  }
  // A POLYLINE, and an INSERT with attributes, end with their SEQEND.
  std::vector<AcDbEntity*> unterminated;
  for (const auto& stub : db.stubs) {
    auto* entity = AcDbEntity::cast(stub->object);
    ComplexEntity* complex = entity ? complexOf(entity) : nullptr;
    if (complex == nullptr || complex->m_sequenceEnd.isValid()) continue;
    bool needsEnd = AcDb2dPolyline::cast(entity) != nullptr;
    for (const AcDbObjectId& id : complex->m_subEntities)
      needsEnd = needsEnd || (id.isValid() && !id.isErased());
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
    if (entity == nullptr || (entity->layerId().isValid() && entity->linetypeId().isValid()))
      continue;
    bool wasWritable = ObjectState::writeOpen(entity);
    ObjectState::writeOpen(entity) = true;
    if (!entity->layerId().isValid()) entity->setLayer(layer0);
    if (!entity->linetypeId().isValid() && !db.byLayerLinetype.isNull())
      entity->setLinetype(db.byLayerLinetype);
    ObjectState::writeOpen(entity) = wasWritable;
  }
}

}  // namespace tabrik::acad
