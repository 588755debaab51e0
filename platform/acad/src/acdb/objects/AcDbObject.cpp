// AcDbObject: identity, the open protocol, erase, extended data, persistent reactors
// and the object's own part of filing. Also object ids and the ads entity names.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <unordered_map>

#include "acutads.h"
#include "acdb/objects/DatabaseInternal.h"
#include "tabrik/DrawingFiling.h"
#include "acdb/objects/MemoryDwgFiler.h"
#include "acdb/objects/XData.h"
#include "dbdict.h"
#include "dbsymtb.h"
#include "rxboiler.h"
#include "rxdict.h"

using tabrik::acad::ObjectState;

namespace {

// Entity names handed to LISP are looked up here, so a forged or stale name is
// refused instead of being dereferenced.
std::unordered_map<std::intptr_t, AcDbStub*>& serialRegistry() {
  static std::unordered_map<std::intptr_t, AcDbStub*> registry;
  return registry;
}

}  // namespace

namespace tabrik::acad {

std::intptr_t registerStubSerial(AcDbStub* stub) {
  // Looks like the addresses the host prints for entity names; never 0.
  static std::intptr_t next = 0x7ff00010;
  next += 8;
  serialRegistry()[next] = stub;
  return next;
}

void unregisterStubSerial(std::intptr_t serial) { serialRegistry().erase(serial); }

resbuf* newResbuf(int type) {
  auto* rb = static_cast<resbuf*>(std::calloc(1, sizeof(resbuf)));
  if (rb != nullptr) rb->restype = static_cast<short>(type);
  return rb;
}

wchar_t* newResbufString(const std::wstring& text) {
  auto* copy = static_cast<wchar_t*>(std::malloc((text.size() + 1) * sizeof(wchar_t)));
  if (copy != nullptr) std::wmemcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

bool isXDataCode(int code) {
  return (code >= 1000 && code <= 1013) || (code >= 1040 && code <= 1042) || code == 1070 ||
         code == 1071;
}

Acad::ErrorStatus ObjectState::open(AcDbObject* object, AcDb::OpenMode mode, bool openErased) {
  if (object->m_erased && !openErased) return Acad::eWasErased;
  if (object->m_writeOpen) return Acad::eWasOpenForWrite;
  if (mode == AcDb::kForWrite) {
    if (object->m_readCount > 0) return Acad::eWasOpenForRead;
    if (object->m_transactionCount > 0) return Acad::eWasOpenForRead;
    object->m_writeOpen = true;
    return Acad::eOk;
  }
  ++object->m_readCount;
  return Acad::eOk;
}

}  // namespace tabrik::acad

// --- ids ---------------------------------------------------------------------------

const AcDbObjectId AcDbObjectId::kNull;

bool AcDbObjectId::isValid() const {
  return m_stub != nullptr && m_stub->object != nullptr && !m_stub->gone;
}
bool AcDbObjectId::isErased() const {
  return m_stub != nullptr && (m_stub->gone || (m_stub->object && m_stub->object->isErased()));
}
AcDbDatabase* AcDbObjectId::database() const { return m_stub ? m_stub->database : nullptr; }
AcDbHandle AcDbObjectId::handle() const { return m_stub ? m_stub->handle : AcDbHandle(); }
AcRxClass* AcDbObjectId::objectClass() const { return isValid() ? m_stub->object->isA() : nullptr; }
std::intptr_t AcDbObjectId::asOldId() const { return m_stub ? m_stub->serial : 0; }

AcDbObjectId& AcDbObjectId::setFromOldId(std::intptr_t oldId) {
  auto found = serialRegistry().find(oldId);
  m_stub = found == serialRegistry().end() ? nullptr : found->second;
  return *this;
}

bool AcDbObjectId::operator<(const AcDbObjectId& other) const {
  if (database() == other.database()) return handle() < other.handle();
  return m_stub < other.m_stub;
}

Acad::ErrorStatus acdbGetAdsName(ads_name& name, AcDbObjectId id) {
  if (id.isNull()) return Acad::eNullObjectId;
  name[0] = id.asOldId();
  name[1] = 0;
  return Acad::eOk;
}

Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name name) {
  id.setFromOldId(name[0]);
  return id.isNull() ? Acad::eInvalidAdsName : Acad::eOk;
}

// --- the open protocol -------------------------------------------------------------

Acad::ErrorStatus acdbOpenObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                 bool openErased) {
  object = nullptr;
  if (id.isNull()) return Acad::eNullObjectId;
  AcDbStub* stub = id.stub();
  if (stub->gone) return Acad::eWasErased;
  if (stub->object == nullptr) return Acad::eUnknownHandle;
  if (mode != AcDb::kForRead && mode != AcDb::kForWrite) return Acad::eInvalidOpenState;
  Acad::ErrorStatus status = ObjectState::open(stub->object, mode, openErased);
  if (status != Acad::eOk) return status;
  object = stub->object;
  return Acad::eOk;
}

Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased) {
  return acdbOpenObject(object, id, mode, openErased);
}

Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& entity, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased) {
  return acdbOpenObject<AcDbEntity>(entity, id, mode, openErased);
}

// --- AcDbObject --------------------------------------------------------------------

AcDbObject::AcDbObject() = default;
AcDbObject::~AcDbObject() = default;

AcDbDatabase* AcDbObject::database() const { return m_id.database(); }

Acad::ErrorStatus AcDbObject::setOwnerId(AcDbObjectId ownerId) {
  assertWriteEnabled();
  m_ownerId = ownerId;
  return Acad::eOk;
}

bool AcDbObject::isReadEnabled() const {
  return m_id.isNull() || m_readCount > 0 || m_writeOpen || m_transactionCount > 0;
}
bool AcDbObject::isWriteEnabled() const { return m_id.isNull() || m_writeOpen; }
bool AcDbObject::isTransactionResident() const { return m_transactionCount > 0; }

void AcDbObject::assertReadEnabled() const {
  // Reading an object the caller never opened is a bug in the caller; the host's
  // release build carries on, and so do we.
}

void AcDbObject::assertWriteEnabled(bool autoUndo, bool recordModified) {
  if (m_id.isNull()) return;
  AcDbDatabase* db = database();
  if (autoUndo && db != nullptr) db->impl().beforeChange(this);
}

Acad::ErrorStatus AcDbObject::close() {
  if (m_id.isNull()) return Acad::eOk;
  if (m_readCount > 0) {
    --m_readCount;
    return Acad::eOk;
  }
  // A transaction closes what it holds when it ends.
  if (m_transactionCount > 0) return Acad::eOk;
  if (m_writeOpen) {
    Acad::ErrorStatus status = subClose();
    m_writeOpen = false;
    m_isNew = false;
    return status;
  }
  return Acad::eNotOpenForRead;
}

Acad::ErrorStatus AcDbObject::cancel() { return close(); }

Acad::ErrorStatus AcDbObject::upgradeOpen() {
  if (m_id.isNull() || m_writeOpen) return Acad::eOk;
  if (m_readCount != 1) return Acad::eWasOpenForRead;
  m_readCount = 0;
  m_writeOpen = true;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::downgradeOpen() {
  if (m_id.isNull()) return Acad::eOk;
  if (!m_writeOpen) return Acad::eNotOpenForWrite;
  m_writeOpen = false;
  m_readCount = 1;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::erase(bool erasing) {
  if (m_id.isNull()) return Acad::eNotInDatabase;
  if (!m_writeOpen) return Acad::eNotOpenForWrite;
  if (m_erased == erasing) return erasing ? Acad::eWasErased : Acad::eOk;
  Acad::ErrorStatus status = subErase(erasing);
  if (status != Acad::eOk) return status;
  assertWriteEnabled();
  m_erased = erasing;
  return Acad::eOk;
}

bool AcDbObject::hasXData(const ACHAR* regappName) const {
  if (!m_xdata || regappName == nullptr) return false;
  for (const XDataApp& app : m_xdata->apps)
    if (wcscasecmp(app.name.c_str(), regappName) == 0) return true;
  return false;
}

namespace {

resbuf* itemToResbuf(const XDataItem& item) {
  resbuf* rb = tabrik::acad::newResbuf(item.code);
  if (rb == nullptr) return nullptr;
  if (auto* s = std::get_if<std::wstring>(&item.value)) {
    rb->resval.rstring = tabrik::acad::newResbufString(*s);
  } else if (auto* d = std::get_if<double>(&item.value)) {
    rb->resval.rreal = *d;
  } else if (auto* i16 = std::get_if<short>(&item.value)) {
    rb->resval.rint = *i16;
  } else if (auto* i32 = std::get_if<int>(&item.value)) {
    rb->resval.rlong = *i32;
  } else if (auto* p = std::get_if<AcGePoint3d>(&item.value)) {
    rb->resval.rpoint[0] = p->x, rb->resval.rpoint[1] = p->y, rb->resval.rpoint[2] = p->z;
  } else if (auto* bytes = std::get_if<std::vector<char>>(&item.value)) {
    rb->resval.rbinary.clen = static_cast<short>(bytes->size());
    rb->resval.rbinary.buf = static_cast<char*>(std::malloc(bytes->empty() ? 1 : bytes->size()));
    if (!bytes->empty()) std::memcpy(rb->resval.rbinary.buf, bytes->data(), bytes->size());
  }
  return rb;
}

// False for a buffer that is not extended data.
bool resbufToItem(const resbuf* rb, XDataItem& item) {
  int code = rb->restype;
  item.code = static_cast<short>(code);
  if ((code >= 1000 && code <= 1003) || (code >= 1005 && code <= 1009)) {
    item.value = std::wstring(rb->resval.rstring ? rb->resval.rstring : L"");
  } else if (code == 1004) {
    const ads_binary& b = rb->resval.rbinary;
    std::vector<char> bytes;
    if (b.buf != nullptr && b.clen > 0) bytes.assign(b.buf, b.buf + b.clen);
    item.value = bytes;
  } else if (code >= 1010 && code <= 1013) {
    item.value = AcGePoint3d(rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]);
  } else if (code >= 1040 && code <= 1042) {
    item.value = rb->resval.rreal;
  } else if (code == 1070) {
    item.value = rb->resval.rint;
  } else if (code == 1071) {
    item.value = static_cast<int>(rb->resval.rlong);
  } else {
    return false;
  }
  return true;
}

}  // namespace

resbuf* AcDbObject::xData(const ACHAR* regappName) const {
  if (!m_xdata) return nullptr;
  resbuf* head = nullptr;
  resbuf** tail = &head;
  for (const XDataApp& app : m_xdata->apps) {
    if (regappName != nullptr && wcscasecmp(app.name.c_str(), regappName) != 0) continue;
    resbuf* name = tabrik::acad::newResbuf(1001);
    name->resval.rstring = tabrik::acad::newResbufString(app.name);
    *tail = name;
    tail = &name->rbnext;
    for (const XDataItem& item : app.items) {
      resbuf* rb = itemToResbuf(item);
      *tail = rb;
      tail = &rb->rbnext;
    }
  }
  return head;
}

namespace {

// Extended data may only name applications the drawing knows; the host keeps every
// application its objects name registered, so that a DXF file it writes always holds
// an APPID record for each 1001 group.
Acad::ErrorStatus ensureRegApp(AcDbDatabase* db, const std::wstring& name) {
  if (db == nullptr) return Acad::eOk;
  AcDbRegAppTable* table = nullptr;
  if (db->getRegAppTable(table, AcDb::kForRead) != Acad::eOk) return Acad::eOk;
  bool known = table->has(name.c_str());
  table->close();
  if (known) return Acad::eOk;
  if (db->getRegAppTable(table, AcDb::kForWrite) != Acad::eOk) return Acad::eRegappIdNotFound;
  auto* record = new AcDbRegAppTableRecord;
  record->setName(name.c_str());
  Acad::ErrorStatus status = table->add(record);
  if (status == Acad::eOk) {
    record->close();
  } else {
    delete record;
  }
  table->close();
  return status;
}

}  // namespace

Acad::ErrorStatus AcDbObject::setXData(const resbuf* xdata) {
  // Validate the whole chain before changing anything.
  std::vector<XDataApp> given;
  for (const resbuf* rb = xdata; rb != nullptr; rb = rb->rbnext) {
    if (rb->restype == 1001) {
      if (rb->resval.rstring == nullptr || rb->resval.rstring[0] == 0) return Acad::eInvalidInput;
      given.push_back({rb->resval.rstring, {}});
      continue;
    }
    if (given.empty()) return Acad::eBadDxfSequence;
    XDataItem item;
    if (!resbufToItem(rb, item)) return Acad::eInvalidDxfCode;
    given.back().items.push_back(std::move(item));
  }
  assertWriteEnabled();
  for (const XDataApp& app : given) {
    Acad::ErrorStatus status = ensureRegApp(database(), app.name);
    if (status != Acad::eOk) return status;
  }
  if (!m_xdata) m_xdata = std::make_unique<XDataStore>();
  for (XDataApp& app : given) {
    auto& apps = m_xdata->apps;
    auto found = std::find_if(apps.begin(), apps.end(), [&](const XDataApp& a) {
      return wcscasecmp(a.name.c_str(), app.name.c_str()) == 0;
    });
    if (app.items.empty()) {
      if (found != apps.end()) apps.erase(found);
    } else if (found != apps.end()) {
      found->items = std::move(app.items);
    } else {
      apps.push_back(std::move(app));
    }
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::createExtensionDictionary() {
  if (!m_extensionDictionary.isNull()) return Acad::eAlreadyInDb;
  if (database() == nullptr) return Acad::eNoDatabase;
  assertWriteEnabled();
  auto* dictionary = new AcDbDictionary;
  dictionary->setTreatElementsAsHard(true);
  AcDbObjectId id;
  Acad::ErrorStatus status = database()->addAcDbObject(id, dictionary);
  if (status != Acad::eOk) {
    delete dictionary;
    return status;
  }
  ObjectState::setOwner(dictionary, m_id);
  dictionary->close();
  m_extensionDictionary = id;
  return Acad::eOk;
}

void AcDbObject::addPersistentReactor(AcDbObjectId reactorId) {
  if (m_reactors.contains(reactorId)) return;
  assertWriteEnabled();
  m_reactors.append(reactorId);
}

Acad::ErrorStatus AcDbObject::removePersistentReactor(AcDbObjectId reactorId) {
  if (!m_reactors.contains(reactorId)) return Acad::eKeyNotFound;
  assertWriteEnabled();
  m_reactors.remove(reactorId);
  return Acad::eOk;
}

AcDbObjectIdArray AcDbObject::persistentReactors() const { return m_reactors; }

// --- filing --------------------------------------------------------------------------

Acad::ErrorStatus AcDbObject::dwgOut(AcDbDwgFiler* filer) const { return dwgOutFields(filer); }
Acad::ErrorStatus AcDbObject::dwgIn(AcDbDwgFiler* filer) { return dwgInFields(filer); }

// The object part: owner, reactors, extension dictionary, extended data.
Acad::ErrorStatus AcDbObject::dwgOutFields(AcDbDwgFiler* filer) const {
  filer->writeSoftPointerId(m_ownerId);
  filer->writeInt32(m_reactors.length());
  for (const AcDbObjectId& id : m_reactors) filer->writeSoftPointerId(id);
  filer->writeHardOwnershipId(m_extensionDictionary);
  const std::vector<XDataApp> none;
  const std::vector<XDataApp>& apps = m_xdata ? m_xdata->apps : none;
  filer->writeInt32(static_cast<Adesk::Int32>(apps.size()));
  for (const XDataApp& app : apps) {
    filer->writeString(app.name);
    filer->writeInt32(static_cast<Adesk::Int32>(app.items.size()));
    for (const XDataItem& item : app.items) {
      filer->writeInt16(item.code);
      std::visit(
          [&](const auto& v) {
            using V = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<V, std::wstring>)
              filer->writeString(v);
            else if constexpr (std::is_same_v<V, double>)
              filer->writeDouble(v);
            else if constexpr (std::is_same_v<V, short>)
              filer->writeInt16(v);
            else if constexpr (std::is_same_v<V, int>)
              filer->writeInt32(v);
            else if constexpr (std::is_same_v<V, AcGePoint3d>)
              filer->writePoint3d(v);
            else {
              filer->writeInt32(static_cast<Adesk::Int32>(v.size()));
              filer->writeBytes(v.data(), static_cast<unsigned>(v.size()));
            }
          },
          item.value);
    }
  }
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbObject::dwgInFields(AcDbDwgFiler* filer) {
  AcDbSoftPointerId owner;
  filer->readSoftPointerId(&owner);
  // A copy keeps no owner: the copy is in no container yet.
  if (filer->filerType() != AcDb::kCopyFiler) m_ownerId = owner;
  Adesk::Int32 count = 0;
  filer->readInt32(&count);
  m_reactors.removeAll();
  for (int i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
    AcDbSoftPointerId id;
    filer->readSoftPointerId(&id);
    if (filer->filerType() != AcDb::kCopyFiler) m_reactors.append(id);
  }
  AcDbHardOwnershipId dictionary;
  filer->readHardOwnershipId(&dictionary);
  if (filer->filerType() != AcDb::kCopyFiler) m_extensionDictionary = dictionary;
  Adesk::Int32 appCount = 0;
  filer->readInt32(&appCount);
  auto store = std::make_unique<XDataStore>();
  for (int a = 0; a < appCount && filer->filerStatus() == Acad::eOk; ++a) {
    XDataApp app;
    filer->readString(app.name);
    Adesk::Int32 itemCount = 0;
    filer->readInt32(&itemCount);
    for (int i = 0; i < itemCount && filer->filerStatus() == Acad::eOk; ++i) {
      XDataItem item;
      filer->readInt16(&item.code);
      int code = item.code;
      if ((code >= 1000 && code <= 1003) || (code >= 1005 && code <= 1009)) {
        std::wstring s;
        filer->readString(s);
        item.value = s;
      } else if (code >= 1040 && code <= 1042) {
        double d = 0;
        filer->readDouble(&d);
        item.value = d;
      } else if (code == 1070) {
        Adesk::Int16 v = 0;
        filer->readInt16(&v);
        item.value = v;
      } else if (code == 1071) {
        Adesk::Int32 v = 0;
        filer->readInt32(&v);
        item.value = static_cast<int>(v);
      } else if (code >= 1010 && code <= 1013) {
        AcGePoint3d p;
        filer->readPoint3d(&p);
        item.value = p;
      } else if (code == 1004) {
        Adesk::Int32 size = 0;
        filer->readInt32(&size);
        if (size < 0 || size > 16384) return Acad::eFilerError;
        std::vector<char> bytes(size);
        filer->readBytes(bytes.data(), static_cast<unsigned>(size));
        item.value = bytes;
      } else {
        return filer->filerStatus() != Acad::eOk ? filer->filerStatus() : Acad::eFilerError;
      }
      app.items.push_back(std::move(item));
    }
    store->apps.push_back(std::move(app));
  }
  m_xdata = store->apps.empty() ? nullptr : std::move(store);
  return filer->filerStatus();
}

// The object part of DXF: handle, reactors, extension dictionary, owner. Extended data
// is written and read by the DXF filer around the object's groups.
Acad::ErrorStatus AcDbObject::dxfOutFields(AcDbDxfFiler* filer) const {
  // Dimension style records name their handle with 105 (5 is DIMPOST there).
  bool dimStyle = isA() != nullptr && std::wcscmp(isA()->name(), L"AcDbDimStyleTableRecord") == 0;
  filer->writeAcDbHandle(dimStyle ? 105 : 5, handle());
  // Only objects that are there are named: a file never points at nothing.
  AcDbObjectIdArray live;
  for (const AcDbObjectId& id : m_reactors)
    if (tabrik::acad::isFiled(filer, id)) live.append(id);
  if (live.length() > 0) {
    filer->writeString(102, L"{ACAD_REACTORS");
    for (const AcDbObjectId& id : live) filer->writeObjectId(330, id);
    filer->writeString(102, L"}");
  }
  if (tabrik::acad::isFiled(filer, m_extensionDictionary)) {
    filer->writeString(102, L"{ACAD_XDICTIONARY");
    filer->writeObjectId(360, m_extensionDictionary);
    filer->writeString(102, L"}");
  }
  filer->writeObjectId(330, m_ownerId);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbObject::dxfInFields(AcDbDxfFiler* filer) {
  resbuf rb{};
  enum { kNone, kReactors, kXDictionary } group = kNone;
  while (filer->readResBuf(&rb) == Acad::eOk) {
    switch (rb.restype) {
      case 5:
      case 105:
        break;  // the reader has given the object its handle already
      case 102:
        if (std::wcscmp(rb.resval.rstring, L"{ACAD_REACTORS") == 0)
          group = kReactors;
        else if (std::wcscmp(rb.resval.rstring, L"{ACAD_XDICTIONARY") == 0)
          group = kXDictionary;
        else
          group = kNone;
        break;
      case 330:
        if (group == kReactors) {
          AcDbObjectId id = filer->idOf(rb);
          if (!id.isNull()) m_reactors.append(id);
        } else {
          m_ownerId = filer->idOf(rb);
        }
        break;
      case 360:
        if (group == kXDictionary) m_extensionDictionary = filer->idOf(rb);
        break;
      default:
        filer->pushBackItem();
        return Acad::eOk;
    }
  }
  return filer->filerStatus();
}

AcRxObject* AcDbObject::clone() const {
  AcRxClass* cls = isA();
  AcRxObject* made = cls ? cls->create() : nullptr;
  auto* copy = AcDbObject::cast(made);
  if (copy == nullptr) {
    delete made;
    return nullptr;
  }
  if (copy->copyFrom(this) != Acad::eOk) {
    delete copy;
    return nullptr;
  }
  return copy;
}

Acad::ErrorStatus AcDbObject::copyFrom(const AcRxObject* other) {
  const AcDbObject* source = AcDbObject::cast(other);
  if (source == nullptr || source->isA() != isA()) return Acad::eWrongObjectType;
  tabrik::acad::MemoryDwgFiler filer(AcDb::kCopyFiler, source->database());
  source->dwgOutFields(&filer);
  filer.rewind();
  assertWriteEnabled();
  Acad::ErrorStatus status = dwgInFields(&filer);
  if (status != Acad::eOk) return status;
  // Copy filing keeps neither owner nor reactors; extended data travels with it.
  return Acad::eOk;
}

// --- AcDbExtents ---------------------------------------------------------------------

AcDbExtents::AcDbExtents() : m_min(1e300, 1e300, 1e300), m_max(-1e300, -1e300, -1e300) {}

Acad::ErrorStatus AcDbExtents::set(const AcGePoint3d& min, const AcGePoint3d& max) {
  if (min.x > max.x || min.y > max.y || min.z > max.z) return Acad::eInvalidExtents;
  m_min = min, m_max = max;
  return Acad::eOk;
}

void AcDbExtents::addPoint(const AcGePoint3d& p) {
  for (int i = 0; i < 3; ++i) {
    m_min[i] = std::min(m_min[i], p[i]);
    m_max[i] = std::max(m_max[i], p[i]);
  }
}

void AcDbExtents::addExt(const AcDbExtents& other) {
  if (other.isEmpty()) return;
  addPoint(other.m_min);
  addPoint(other.m_max);
}

void AcDbExtents::transformBy(const AcGeMatrix3d& m) {
  if (isEmpty()) return;
  AcDbExtents result;
  for (int i = 0; i < 8; ++i) {
    AcGePoint3d corner((i & 1) ? m_max.x : m_min.x, (i & 2) ? m_max.y : m_min.y,
                       (i & 4) ? m_max.z : m_min.z);
    result.addPoint(m * corner);
  }
  *this = result;
}
