// Dictionaries (named entries owning objects) and the draw-order table.
#include <algorithm>
#include <cwchar>
#include <unordered_map>
#include <unordered_set>

#include "acdb/objects/DatabaseInternal.h"
#include "tabrik/DrawingFiling.h"
#include "acdb/objects/DxfGroups.h"
#include "dbdict.h"
#include "dbsymtb.h"
#include "rxboiler.h"
#include "sorttab.h"

using namespace tabrik::acad;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbDictionary, AcDbObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbSortentsTable, AcDbObject)

namespace {

bool keyLess(const std::wstring& a, const std::wstring& b) {
  return wcscasecmp(a.c_str(), b.c_str()) < 0;
}

// The entry whose key is `key` without regard to case; end() when there is none.
// m_entries is sorted by keyLess and its keys are unique without regard to case, so a
// lookup is a binary search.
template <class Entries>
auto findKey(Entries& entries, const ACHAR* key) {
  auto at = std::lower_bound(
      entries.begin(), entries.end(), key,
      [](const auto& entry, const ACHAR* k) { return wcscasecmp(entry.key.c_str(), k) < 0; });
  return at != entries.end() && wcscasecmp(at->key.c_str(), key) == 0 ? at : entries.end();
}

bool validKey(const ACHAR* key) {
  if (key == nullptr || key[0] == 0 || std::wcslen(key) > 255) return false;
  for (const ACHAR* c = key; *c; ++c)
    if (*c < 32 || std::wcschr(L"<>/\\\":;?*|,=`", *c) != nullptr) return false;
  return true;
}

}  // namespace

AcDbDictionary::AcDbDictionary() = default;
AcDbDictionary::~AcDbDictionary() = default;

Acad::ErrorStatus AcDbDictionary::getAt(const ACHAR* key, AcDbObjectId& id) const {
  id.setNull();
  if (key == nullptr) return Acad::eInvalidKey;
  auto found = findKey(m_entries, key);
  if (found == m_entries.end() || !found->id.isValid() || found->id.isErased())
    return Acad::eKeyNotFound;
  id = found->id;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::getAt(const ACHAR* key, AcDbObject*& object,
                                        AcDb::OpenMode mode) const {
  object = nullptr;
  AcDbObjectId id;
  Acad::ErrorStatus status = getAt(key, id);
  if (status != Acad::eOk) return status;
  return acdbOpenObject(object, id, mode);
}

Acad::ErrorStatus AcDbDictionary::nameAt(AcDbObjectId id, ACHAR*& key) const {
  key = nullptr;
  for (const Entry& entry : m_entries)
    if (entry.id == id) {
      key = new ACHAR[entry.key.size() + 1];
      std::wmemcpy(key, entry.key.c_str(), entry.key.size() + 1);
      return Acad::eOk;
    }
  return Acad::eKeyNotFound;
}

bool AcDbDictionary::has(const ACHAR* key) const {
  AcDbObjectId id;
  return getAt(key, id) == Acad::eOk;
}

bool AcDbDictionary::has(AcDbObjectId id) const {
  return std::any_of(m_entries.begin(), m_entries.end(),
                     [&](const Entry& e) { return e.id == id && id.isValid() && !id.isErased(); });
}

Adesk::UInt32 AcDbDictionary::numEntries() const {
  return static_cast<Adesk::UInt32>(
      std::count_if(m_entries.begin(), m_entries.end(),
                    [](const Entry& e) { return e.id.isValid() && !e.id.isErased(); }));
}

Acad::ErrorStatus AcDbDictionary::setAt(const ACHAR* key, AcDbObject* object, AcDbObjectId& id) {
  id.setNull();
  if (object == nullptr) return Acad::eNullObjectPointer;
  if (!validKey(key)) return Acad::eInvalidKey;
  if (database() == nullptr) return Acad::eNoDatabase;
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  assertWriteEnabled();
  if (object->objectId().isNull()) {
    Acad::ErrorStatus status = database()->addAcDbObject(id, object);
    if (status != Acad::eOk) return status;
  } else {
    if (object->database() != database()) return Acad::eWrongDatabase;
    id = object->objectId();
  }
  ObjectState::setOwner(object, objectId());
  if (auto found = findKey(m_entries, key); found != m_entries.end()) {
    size_t index = static_cast<size_t>(found - m_entries.begin());
    AcDbObjectId replaced = found->id;
    if (replaced != id) {
      AcDbObject* old = nullptr;
      if (acdbOpenObject(old, replaced, AcDb::kForWrite) == Acad::eOk) {
        old->erase();
        old->close();
      }
    }
    if (index < m_entries.size()) m_entries[index].id = id;
    return Acad::eOk;
  }
  Entry entry{key, id};
  m_entries.insert(
      std::upper_bound(m_entries.begin(), m_entries.end(), entry,
                       [](const Entry& a, const Entry& b) { return keyLess(a.key, b.key); }),
      entry);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::remove(const ACHAR* key, AcDbObjectId& id) {
  id.setNull();
  if (key == nullptr) return Acad::eInvalidKey;
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  auto found = findKey(m_entries, key);
  if (found == m_entries.end()) return Acad::eKeyNotFound;
  assertWriteEnabled();
  id = found->id;
  m_entries.erase(found);
  if (id.isValid()) ObjectState::setOwner(id.stub()->object, AcDbObjectId::kNull);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::remove(const ACHAR* key) {
  AcDbObjectId id;
  return remove(key, id);
}

Acad::ErrorStatus AcDbDictionary::remove(AcDbObjectId id) {
  for (const Entry& entry : m_entries)
    if (entry.id == id) {
      std::wstring key = entry.key;
      return remove(key.c_str());
    }
  return Acad::eKeyNotFound;
}

Acad::ErrorStatus AcDbDictionary::setName(const ACHAR* oldName, const ACHAR* newName) {
  if (!validKey(newName)) return Acad::eInvalidKey;
  if (has(newName)) return Acad::eDuplicateKey;
  AcDbObjectId id;
  Acad::ErrorStatus status = getAt(oldName, id);
  if (status != Acad::eOk) return status;
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  assertWriteEnabled();
  m_entries.erase(
      std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.id == id; }));
  Entry entry{newName, id};
  m_entries.insert(
      std::upper_bound(m_entries.begin(), m_entries.end(), entry,
                       [](const Entry& a, const Entry& b) { return keyLess(a.key, b.key); }),
      entry);
  return Acad::eOk;
}

std::vector<AcDbDictionary::Entry> AcDbDictionary::entries() const {
  std::vector<Entry> live;
  for (const Entry& entry : m_entries)
    if (entry.id.isValid() && !entry.id.isErased()) live.push_back(entry);
  return live;
}

AcDbDictionaryIterator* AcDbDictionary::newIterator() const {
  return new AcDbDictionaryIterator(entries());
}

void AcDbDictionary::setTreatElementsAsHard(bool hard) {
  assertWriteEnabled();
  m_hardOwner = hard;
}

// Erasing a dictionary erases what it owns.
Acad::ErrorStatus AcDbDictionary::subErase(bool erasing) {
  if (!erasing) return Acad::eOk;
  for (const Entry& entry : m_entries) {
    AcDbObject* object = nullptr;
    if (acdbOpenObject(object, entry.id, AcDb::kForWrite) != Acad::eOk) continue;
    object->erase();
    object->close();
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionaryIterator::getObject(AcDbObject*& object,
                                                    AcDb::OpenMode mode) const {
  object = nullptr;
  if (done()) return Acad::eInvalidIndex;
  return acdbOpenObject(object, objectId(), mode);
}

Acad::ErrorStatus AcDbDictionary::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbObject::dwgOutFields(filer);
  filer->writeBool(m_hardOwner);
  filer->writeInt32(static_cast<Adesk::Int32>(m_entries.size()));
  for (const Entry& entry : m_entries) {
    filer->writeString(entry.key);
    filer->writeSoftOwnershipId(entry.id);
  }
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbDictionary::dwgInFields(AcDbDwgFiler* filer) {
  AcDbObject::dwgInFields(filer);
  filer->readBool(&m_hardOwner);
  Adesk::Int32 count = 0;
  filer->readInt32(&count);
  if (count < 0) return Acad::eFilerError;
  bool copying = filer->filerType() == AcDb::kCopyFiler;
  if (!copying) m_entries.clear();
  for (int i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
    Entry entry;
    filer->readString(entry.key);
    AcDbSoftOwnershipId id;
    filer->readSoftOwnershipId(&id);
    entry.id = id;
    if (!copying) m_entries.push_back(entry);
  }
  return filer->filerStatus();
}

// DICTIONARY groups: 100 AcDbDictionary, 280 hard-owner flag (1 when entries are hard
// owned), 281 duplicate-record cloning (1: keep existing), then per entry 3 key and
// 350 (soft owner) or 360 (hard owner).
Acad::ErrorStatus AcDbDictionary::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbObject::dxfOutFields(filer);
  filer->writeString(100, L"AcDbDictionary");
  if (m_hardOwner) filer->writeInt16(280, 1);
  filer->writeInt16(281, 1);
  for (const Entry& entry : m_entries) {
    if (!entry.id.isValid() || entry.id.isErased()) continue;
    filer->writeString(3, entry.key);
    filer->writeObjectId(350, entry.id);
  }
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbDictionary::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbObject::dxfInFields(filer);
  if (status == Acad::eOk) status = requireSubclass(filer, L"AcDbDictionary");
  if (status != Acad::eOk) return status;
  m_entries.clear();
  std::wstring key;
  m_hardOwner = false;
  return forEachGroup(filer, [&](const resbuf& rb) {
    if (rb.restype == 280) m_hardOwner = rb.resval.rint != 0;
    if (rb.restype == 3) key = stringOf(rb);
    if ((rb.restype == 350 || rb.restype == 360) && !key.empty()) {
      AcDbObjectId id = filer->idOf(rb);
      if (id.isNull() || has(key.c_str())) return;
      Entry entry{key, id};
      m_entries.insert(
          std::upper_bound(m_entries.begin(), m_entries.end(), entry,
                           [](const Entry& a, const Entry& b) { return keyLess(a.key, b.key); }),
          entry);
      key.clear();
    }
  });
}

// --- draw order ------------------------------------------------------------------------
// Draw orders are as long as their block: membership goes through hash sets so that
// every operation stays linear in the block's size.

namespace {
using IdSet = std::unordered_set<const AcDbStub*>;
template <class Ids>
IdSet setOf(const Ids& ids) {
  IdSet set;
  set.reserve(static_cast<std::size_t>(ids.end() - ids.begin()));
  for (const AcDbObjectId& id : ids) set.insert(id.stub());
  return set;
}
}  // namespace

Acad::ErrorStatus AcDbSortentsTable::setBlockId(AcDbObjectId block) {
  assertWriteEnabled();
  m_block = block;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSortentsTable::getFullDrawOrder(AcDbObjectIdArray& ids, Adesk::UInt8) const {
  ids.removeAll();
  if (!m_block.isValid()) return Acad::eInvalidInput;
  const auto* block = AcDbBlockTableRecord::cast(m_block.stub()->object);
  if (block == nullptr) return Acad::eWrongObjectType;
  IdSet inBlock = setOf(block->entityIds());
  IdSet listed;
  for (const AcDbObjectId& id : m_order)
    if (!id.isErased() && inBlock.count(id.stub()) != 0) {
      ids.append(id);
      listed.insert(id.stub());
    }
  for (const AcDbObjectId& id : block->entityIds())
    if (!id.isErased() && listed.insert(id.stub()).second) ids.append(id);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSortentsTable::moveToBottom(const AcDbObjectIdArray& ids) {
  AcDbObjectIdArray order;
  Acad::ErrorStatus status = getFullDrawOrder(order);
  if (status != Acad::eOk) return status;
  IdSet inOrder = setOf(order);
  for (const AcDbObjectId& id : ids)
    if (inOrder.count(id.stub()) == 0) return Acad::eInvalidInput;
  assertWriteEnabled();
  IdSet moved = setOf(ids);
  m_order.assign(ids.begin(), ids.end());
  for (const AcDbObjectId& id : order)
    if (moved.count(id.stub()) == 0) m_order.push_back(id);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSortentsTable::moveToTop(const AcDbObjectIdArray& ids) {
  AcDbObjectIdArray order;
  Acad::ErrorStatus status = getFullDrawOrder(order);
  if (status != Acad::eOk) return status;
  IdSet inOrder = setOf(order);
  for (const AcDbObjectId& id : ids)
    if (inOrder.count(id.stub()) == 0) return Acad::eInvalidInput;
  assertWriteEnabled();
  IdSet moved = setOf(ids);
  m_order.clear();
  for (const AcDbObjectId& id : order)
    if (moved.count(id.stub()) == 0) m_order.push_back(id);
  m_order.insert(m_order.end(), ids.begin(), ids.end());
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSortentsTable::setRelativeDrawOrder(const AcDbObjectIdArray& ids) {
  AcDbObjectIdArray order;
  Acad::ErrorStatus status = getFullDrawOrder(order);
  if (status != Acad::eOk) return status;
  // The given entities take, in the given order, the places they held among themselves.
  std::unordered_map<const AcDbStub*, int> placeOf;
  for (int i = order.length() - 1; i >= 0; --i) placeOf[order[i].stub()] = i;
  std::vector<int> places;
  for (const AcDbObjectId& id : ids) {
    auto found = placeOf.find(id.stub());
    if (found == placeOf.end()) return Acad::eInvalidInput;
    places.push_back(found->second);
  }
  std::sort(places.begin(), places.end());
  assertWriteEnabled();
  for (size_t i = 0; i < places.size(); ++i) order[places[i]] = ids[static_cast<int>(i)];
  m_order.assign(order.begin(), order.end());
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSortentsTable::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbObject::dwgOutFields(filer);
  filer->writeSoftPointerId(m_block);
  filer->writeInt32(static_cast<Adesk::Int32>(m_order.size()));
  for (const AcDbObjectId& id : m_order) filer->writeSoftPointerId(id);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbSortentsTable::dwgInFields(AcDbDwgFiler* filer) {
  AcDbObject::dwgInFields(filer);
  AcDbSoftPointerId block;
  filer->readSoftPointerId(&block);
  m_block = block;
  Adesk::Int32 count = 0;
  filer->readInt32(&count);
  if (count < 0) return Acad::eFilerError;
  m_order.clear();
  for (int i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
    AcDbSoftPointerId id;
    filer->readSoftPointerId(&id);
    m_order.push_back(id);
  }
  return filer->filerStatus();
}

// SORTENTSTABLE groups: 100 AcDbSortentsTable, 330 block record, then per entity 331
// the entity and 5 its sort handle (here: its place in the order, from 1).
Acad::ErrorStatus AcDbSortentsTable::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbObject::dxfOutFields(filer);
  filer->writeString(100, L"AcDbSortentsTable");
  filer->writeObjectId(330, m_block);
  std::uint64_t place = 0;
  // Only the block's own live entities, each once, are worth an entry.
  const auto* block =
      m_block.isValid() ? AcDbBlockTableRecord::cast(m_block.stub()->object) : nullptr;
  if (block == nullptr) return filer->filerStatus();
  IdSet inBlock = setOf(block->entityIds());
  IdSet written;
  for (const AcDbObjectId& id : m_order) {
    if (!tabrik::acad::isFiled(filer, id) || inBlock.count(id.stub()) == 0) continue;
    if (!written.insert(id.stub()).second) continue;
    filer->writeObjectId(331, id);
    filer->writeAcDbHandle(5, AcDbHandle(++place));
  }
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbSortentsTable::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbObject::dxfInFields(filer);
  if (status == Acad::eOk) status = requireSubclass(filer, L"AcDbSortentsTable");
  if (status != Acad::eOk) return status;
  m_order.clear();
  return forEachGroup(filer, [&](const resbuf& rb) {
    if (rb.restype == 330) m_block = filer->idOf(rb);
    if (rb.restype == 331) {
      AcDbObjectId id = filer->idOf(rb);
      if (!id.isNull() && std::find(m_order.begin(), m_order.end(), id) == m_order.end())
        m_order.push_back(id);
    }
  });
}
