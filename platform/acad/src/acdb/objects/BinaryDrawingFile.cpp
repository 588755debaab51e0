// The host's own binary drawing file: the whole database filed object by object with
// each object's dwgOutFields. The item encoding belongs to BinaryDwgFiler.h; this file
// owns the framing below. Choosing between this form and DXF is DatabaseFiles.cpp's.
//
// | part      | contents                                                            |
// |-----------|---------------------------------------------------------------------|
// | magic     | 8 bytes: 89 'T' 'D' 'W' 0D 0A 1A 0A (the PNG trick: a text-mode     |
// |           | transfer or a 7-bit channel damages it visibly)                     |
// | version   | raw UInt32, 2 (1: without the drawing variables; still read)         |
// | length    | raw UInt64, bytes after this field (a truncated file shows at once) |
// | classes   | raw UInt32 count; per class the tagged strings name, DXF name,      |
// |           | application, parent name and the tagged Int32 proxy flags           |
// | database  | tagged: handle seed, the ten root ids (block, layer, linetype, text |
// |           | style, application, viewport, view, UCS, dimension style tables,    |
// |           | named-object dictionary), current layer, linetype and text style,   |
// |           | UInt16 colour index, doubles CELTSCALE, TEXTSIZE, DIMSCALE, LTSCALE, |
// |           | Int32 INSUNITS, bool MEASUREMENT, point INSBASE; from version 2 the |
// |           | Int32 count of the other drawing variables that were set, each its  |
// |           | name and value (Int32, double, string or point by the table's type) |
// | objects   | raw UInt32 count; per object raw UInt32 class index, UInt64 handle, |
// |           | UInt32 length, then that many bytes of its dwgOutFields items       |
//
// Erased objects are not filed, and ids of objects not filed are written as handle 0.
#include <algorithm>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "acdb/objects/BinaryDwgFiler.h"
#include "acdb/objects/DatabaseInternal.h"
#include "dbproxy.h"
#include "rxdict.h"
#include "tabrik/DrawingFiling.h"

namespace tabrik::acad {

namespace {

constexpr char kMagic[8] = {'\x89', 'T', 'D', 'W', '\r', '\n', '\x1a', '\n'};
constexpr std::uint64_t kVersion = 2;
constexpr size_t kPreambleSize = 8 + 4 + 8;
constexpr std::uint64_t kHandleLimit = 1ull << 48;  // as the DXF reader bounds handles

AcDbObjectId* rootSlots(DatabaseRoots& roots, size_t& count) {
  static_assert(sizeof(DatabaseRoots) == 10 * sizeof(AcDbObjectId));
  count = 10;
  return &roots.blockTable;
}

// The object is filed with its fields open for write, as a reader of the SDK fills a
// new object, and is closed afterwards.
Acad::ErrorStatus fileIn(AcDbObject* object, BinaryDwgFiler& filer) {
  bool wasWritable = ObjectState::writeOpen(object);
  ObjectState::writeOpen(object) = true;
  Acad::ErrorStatus status = object->dwgInFields(&filer);
  ObjectState::writeOpen(object) = wasWritable;
  if (status == Acad::eOk) status = filer.filerStatus();
  if (status == Acad::eOk && !filer.atEnd())
    status = Acad::eFilerError;  // read less than was written
  return status;
}

class BinaryReader {
 public:
  BinaryReader(AcDbDatabase* database, std::string_view body, std::uint64_t version)
      // The framing's ids (the roots, the current symbols) are read before any object
      // exists: its resolver only reports the handle, resolved once the objects are in.
      : m_db(database), m_version(version), m_filer(database, body, [this](std::uint64_t handle) {
          m_lastHandle = handle;
          return AcDbObjectId::kNull;
        }) {}

  Acad::ErrorStatus read() {
    if (!readClasses() || !readDatabase() || !readObjects()) return Acad::eDwgNeedsRecovery;
    if (!m_filer.atEnd()) return Acad::eDwgNeedsRecovery;
    setDatabaseRoots(m_db, m_roots);
    completeDrawing(m_db);
    applyHeader();
    return Acad::eOk;
  }

 private:
  AcDbObjectId resolve(std::uint64_t handle) const {
    auto found = m_ids.find(handle);
    return found == m_ids.end() ? AcDbObjectId::kNull : found->second;
  }

  bool ok() const { return m_filer.filerStatus() == Acad::eOk; }

  bool readClasses() {
    std::uint64_t count = 0;
    if (!m_filer.getRaw(count, 4)) return false;
    for (std::uint64_t i = 0; i < count && ok(); ++i) {
      std::wstring name, dxfName, appName, parentName;
      Adesk::Int32 proxyFlags = 0;
      m_filer.readString(name);
      m_filer.readString(dxfName);
      m_filer.readString(appName);
      m_filer.readString(parentName);
      m_filer.readInt32(&proxyFlags);
      // A class this session has not registered: its objects are left out.
      m_classes.push_back(ok() ? AcRxClass::cast(acrxClassDictionary->at(name.c_str())) : nullptr);
    }
    return ok();
  }

  bool readDatabase() {
    AcDbHandle seed;
    m_filer.readAcDbHandle(&seed);
    for (std::uint64_t& handle : m_rootHandles) handle = readHandle();
    for (std::uint64_t& handle : m_currentHandles) handle = readHandle();
    m_filer.readUInt16(&m_colorIndex);
    m_filer.readDouble(&m_celtscale);
    m_filer.readDouble(&m_textsize);
    m_filer.readDouble(&m_dimscale);
    m_filer.readDouble(&m_ltscale);
    m_filer.readInt32(&m_insunits);
    m_filer.readBool(&m_measurement);
    m_filer.readPoint3d(&m_insbase);
    if (m_version >= 2 && ok()) readVariables();
    if (ok() && seed.value() < kHandleLimit) raiseHandseed(m_db, seed);
    return ok();
  }

  // A name the table does not know, or not of the drawing, ends the reading as damage.
  void readVariables() {
    Adesk::Int32 count = 0;
    m_filer.readInt32(&count);
    for (Adesk::Int32 i = 0; i < count && ok(); ++i) {
      std::wstring name;
      m_filer.readString(name);
      const SystemVariable* entry = findSystemVariable(std::string(name.begin(), name.end()));
      if (!ok() || entry == nullptr || entry->home != VariableHome::Drawing) {
        m_filer.setFilerStatus(Acad::eDwgNeedsRecovery);
        return;
      }
      VariableValue value;
      value.type = entry->type;
      if (entry->type == VariableType::Int) {
        Adesk::Int32 integer = 0;
        m_filer.readInt32(&integer);
        value.integer = integer;
      } else if (entry->type == VariableType::Real) {
        m_filer.readDouble(&value.real);
      } else if (entry->type == VariableType::Str) {
        m_filer.readString(value.text);
      } else {
        AcGePoint3d point;
        m_filer.readPoint3d(&point);
        value.point[0] = point.x;
        value.point[1] = point.y;
        value.point[2] = point.z;
      }
      if (ok()) setDrawingVariable(m_db, *entry, value);
    }
  }

  std::uint64_t readHandle() {
    AcDbHardPointerId id;
    m_lastHandle = 0;
    m_filer.readHardPointerId(&id);
    return m_lastHandle;
  }

  bool readObjects() {
    std::uint64_t count = 0;
    if (!m_filer.getRaw(count, 4)) return false;
    struct Pending {
      AcDbObject* object;
      std::string_view bytes;
    };
    std::vector<Pending> pending;
    for (std::uint64_t i = 0; i < count; ++i) {
      std::uint64_t classIndex = 0, handle = 0, length = 0;
      if (!m_filer.getRaw(classIndex, 4) || !m_filer.getRaw(handle, 8) ||
          !m_filer.getRaw(length, 4))
        return false;
      std::string_view bytes = m_filer.take(length);
      if (!ok() || classIndex >= m_classes.size() || handle == 0 || handle >= kHandleLimit)
        return false;
      if (m_ids.count(handle) != 0) return false;  // two objects under one handle
      AcRxClass* cls = m_classes[classIndex];
      std::unique_ptr<AcRxObject> made(cls != nullptr ? cls->create() : nullptr);
      auto* object = AcDbObject::cast(made.get());
      if (object == nullptr) continue;
      made.release();
      AcDbObjectId id;
      if (addObjectWithHandle(m_db, object, AcDbHandle(handle), id) != Acad::eOk) {
        delete object;
        return false;
      }
      m_ids.emplace(handle, id);
      pending.push_back({object, bytes});
    }
    // Every object exists before any is filed in, so that ids resolve in any order.
    for (const Pending& p : pending) {
      BinaryDwgFiler filer(m_db, p.bytes, [this](std::uint64_t handle) { return resolve(handle); });
      Acad::ErrorStatus status = fileIn(p.object, filer);
      if (status == Acad::eMakeMeProxy) status = keepAsProxy(p.object, p.bytes);
      if (status != Acad::eOk) return false;
    }
    m_roots = rootsOf(m_rootHandles);
    return true;
  }

  // A class that reads a record of a later version of itself asks to be kept as a
  // proxy: the object's place (id and handle) goes to a proxy that holds the common
  // entity data and the record's bytes, and writes them back unchanged.
  Acad::ErrorStatus keepAsProxy(AcDbObject* object, std::string_view bytes) {
    if (AcDbEntity::cast(object) == nullptr) return Acad::eMakeMeProxy;
    auto proxy = std::make_unique<AcDbProxyEntity>();
    BinaryDwgFiler filer(m_db, bytes, [this](std::uint64_t handle) { return resolve(handle); });
    bool wasWritable = ObjectState::writeOpen(proxy.get());
    ObjectState::writeOpen(proxy.get()) = true;
    Acad::ErrorStatus status = proxy->AcDbEntity::dwgInFields(&filer);
    ObjectState::writeOpen(proxy.get()) = wasWritable;
    if (status != Acad::eOk) return status;
    AcRxClass* cls = object->isA();
    int maintenance = 0;
    cls->getClassVersion(maintenance);
    proxy->setOriginalClass(cls->dxfName(), cls->name(), cls->appName(), cls->proxyFlags());
    proxy->setOriginalRecord(std::string(bytes));
    AcDbObjectId id = object->objectId();
    AcDbStub* stub = id.stub();
    ObjectState::attach(proxy.get(), id);
    ObjectState::setOwner(proxy.get(), object->ownerId());
    ObjectState::attach(object, AcDbObjectId::kNull);
    stub->object = proxy.release();
    delete object;
    return Acad::eOk;
  }

  DatabaseRoots rootsOf(const std::uint64_t (&handles)[10]) const {
    DatabaseRoots roots;
    size_t count = 0;
    AcDbObjectId* slots = rootSlots(roots, count);
    for (size_t i = 0; i < count; ++i) slots[i] = resolve(handles[i]);
    return roots;
  }

  void applyHeader() {
    if (AcDbObjectId id = resolve(m_currentHandles[0]); !id.isNull()) m_db->setClayer(id);
    if (AcDbObjectId id = resolve(m_currentHandles[1]); !id.isNull()) m_db->setCeltype(id);
    if (AcDbObjectId id = resolve(m_currentHandles[2]); !id.isNull()) m_db->setTextstyle(id);
    if (m_colorIndex <= 256) {
      AcCmColor color;
      color.setColorIndex(m_colorIndex);
      m_db->setCecolor(color);
    }
    m_db->setCeltscale(m_celtscale);
    m_db->setTextsize(m_textsize);
    m_db->setDimscale(m_dimscale);
    m_db->setLtscale(m_ltscale);
    m_db->setInsunits(m_insunits);
    m_db->setMeasurement(m_measurement);
    m_db->setInsbase(m_insbase);
  }

  AcDbDatabase* m_db;
  std::uint64_t m_version;
  BinaryDwgFiler m_filer;
  std::vector<AcRxClass*> m_classes;
  std::unordered_map<std::uint64_t, AcDbObjectId> m_ids;
  std::uint64_t m_rootHandles[10] = {};
  std::uint64_t m_currentHandles[3] = {};
  Adesk::UInt16 m_colorIndex = 256;
  double m_celtscale = 1, m_textsize = 2.5, m_dimscale = 1, m_ltscale = 1;
  Adesk::Int32 m_insunits = 4;
  bool m_measurement = true;
  AcGePoint3d m_insbase;
  DatabaseRoots m_roots;
  std::uint64_t m_lastHandle = 0;
};

}  // namespace

bool isBinaryDrawing(std::string_view bytes) {
  return bytes.size() >= sizeof kMagic && std::equal(kMagic, kMagic + sizeof kMagic, bytes.begin());
}

Acad::ErrorStatus writeBinaryDrawing(AcDbDatabase* database, std::string& out) {
  if (database == nullptr) return Acad::eNullObjectPointer;
  completeDrawing(database);
  std::vector<const AcDbObject*> objects;
  std::vector<AcRxClass*> classes;
  std::unordered_map<AcRxClass*, std::uint32_t> classIndex;
  std::vector<std::uint32_t> indexOf;
  for (const AcDbObjectId& id : objectIds(database)) {
    const AcDbObject* object = peekObject(id);
    if (object == nullptr || object->isErased()) continue;
    AcRxClass* cls = object->isA();
    auto [slot, added] = classIndex.emplace(cls, static_cast<std::uint32_t>(classes.size()));
    if (added) classes.push_back(cls);
    objects.push_back(object);
    indexOf.push_back(slot->second);
  }

  std::string body;
  BinaryDwgFiler filer(database, body);
  filer.putRaw(classes.size(), 4);
  for (AcRxClass* cls : classes) {
    filer.writeString(std::wstring(cls->name()));
    filer.writeString(std::wstring(cls->dxfName()));
    filer.writeString(std::wstring(cls->appName()));
    filer.writeString(std::wstring(cls->myParent() ? cls->myParent()->name() : L""));
    filer.writeInt32(cls->proxyFlags());
  }
  DatabaseRoots roots = databaseRoots(database);
  size_t rootCount = 0;
  const AcDbObjectId* slots = rootSlots(roots, rootCount);
  filer.writeAcDbHandle(database->handseed());
  for (size_t i = 0; i < rootCount; ++i) filer.writeHardPointerId(AcDbHardPointerId(slots[i]));
  filer.writeHardPointerId(AcDbHardPointerId(database->clayer()));
  filer.writeHardPointerId(AcDbHardPointerId(database->celtype()));
  filer.writeHardPointerId(AcDbHardPointerId(database->textstyle()));
  filer.writeUInt16(database->cecolor().colorIndex());
  filer.writeDouble(database->celtscale());
  filer.writeDouble(database->textsize());
  filer.writeDouble(database->dimscale());
  filer.writeDouble(database->ltscale());
  filer.writeInt32(database->insunits());
  filer.writeBool(database->measurement());
  filer.writePoint3d(database->insbase());
  const auto& variables = database->impl().variables;
  std::vector<std::string> names;
  for (const auto& entry : variables) names.push_back(entry.first);
  std::sort(names.begin(), names.end());  // the same drawing, the same bytes
  filer.writeInt32(static_cast<Adesk::Int32>(names.size()));
  for (const std::string& name : names) {
    const VariableValue& value = variables.at(name);
    filer.writeString(std::wstring(name.begin(), name.end()));
    if (value.type == VariableType::Int)
      filer.writeInt32(static_cast<Adesk::Int32>(value.integer));
    else if (value.type == VariableType::Real)
      filer.writeDouble(value.real);
    else if (value.type == VariableType::Str)
      filer.writeString(value.text);
    else
      filer.writePoint3d(AcGePoint3d(value.point[0], value.point[1], value.point[2]));
  }
  filer.putRaw(objects.size(), 4);
  for (size_t i = 0; i < objects.size(); ++i) {
    std::string fields;
    BinaryDwgFiler objectFiler(database, fields);
    Acad::ErrorStatus status = objects[i]->dwgOutFields(&objectFiler);
    if (status == Acad::eOk) status = objectFiler.filerStatus();
    if (status != Acad::eOk) return status;
    filer.putRaw(indexOf[i], 4);
    filer.putRaw(objects[i]->objectId().handle().value(), 8);
    filer.putRaw(fields.size(), 4);
    body += fields;
  }
  if (filer.filerStatus() != Acad::eOk) return filer.filerStatus();

  out.assign(kMagic, sizeof kMagic);
  BinaryDwgFiler preamble(database, out);
  preamble.putRaw(kVersion, 4);
  preamble.putRaw(body.size(), 8);
  out += body;
  return Acad::eOk;
}

Acad::ErrorStatus readBinaryDrawing(AcDbDatabase* database, std::string_view bytes) {
  if (database == nullptr) return Acad::eNullObjectPointer;
  if (!objectIds(database).empty()) return Acad::eWrongDatabase;
  if (bytes.size() < kPreambleSize || !isBinaryDrawing(bytes)) return Acad::eBadDwgHeader;
  BinaryDwgFiler preamble(database, bytes.substr(sizeof kMagic), nullptr);
  std::uint64_t version = 0, length = 0;
  preamble.getRaw(version, 4);
  preamble.getRaw(length, 8);
  if (version != 1 && version != kVersion) return Acad::eBadDwgHeader;
  std::string_view body = bytes.substr(kPreambleSize);
  if (length != body.size()) return Acad::eDwgNeedsRecovery;  // truncated, or something appended
  return BinaryReader(database, body, version).read();
}

}  // namespace tabrik::acad
