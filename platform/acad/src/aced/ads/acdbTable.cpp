// The ads symbol-table and dictionary calls: acdbTblSearch, acdbTblNext,
// acdbTblObjName, acdbNamedObjDict, acdbDictSearch and acdbDictNext, over the working
// database.
//
// A table record reads as its type and the groups that describe it, without its
// handle, owner, markers or pointers: LAYER (2 name, 70 flags, 62 colour, negative
// when the layer is off, 6 linetype), BLOCK (2 name, 70 flags, 10 base point, -2 its
// first entity). The layout blocks (*Model_Space, *Paper_Space) are not in the BLOCK
// table as these calls see it. Each table and each dictionary has a cursor that
// acdbTblNext/acdbDictNext advance and the setnext form of the search calls places
// after the record found; a drawing opened anew starts with its cursors at the top.
#include <cwchar>
#include <cwctype>
#include <map>
#include <string>

#include "acedads.h"
#include "acutads.h"
#include "acdb/acut/ResbufKinds.h"
#include "aced/bridge/EntityData.h"
#include "dbdict.h"
#include "dbsymtb.h"
#include "aced/host/HostState.h"
#include "tabrik/DrawingFiling.h"

using namespace tabrik::acad;

namespace {

constexpr int kErrnoBadSymbolName = 1;
constexpr int kErrnoBadEntityName = 2;

AcDbDatabase* workingDatabase() { return acdbHostApplicationServices()->workingDatabase(); }

std::wstring upper(const ACHAR* text) {
  std::wstring result = text ? text : L"";
  for (wchar_t& c : result) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  return result;
}

// The table a LISP table name means; null for a name that is no table.
AcDbObjectId tableOf(AcDbDatabase* db, const ACHAR* name) {
  std::wstring key = upper(name);
  if (key == L"LAYER") return db->layerTableId();
  if (key == L"LTYPE") return db->linetypeTableId();
  if (key == L"STYLE") return db->textStyleTableId();
  if (key == L"BLOCK") return db->blockTableId();
  if (key == L"APPID") return db->regAppTableId();
  if (key == L"DIMSTYLE") return db->dimStyleTableId();
  if (key == L"VPORT") return db->viewportTableId();
  if (key == L"VIEW") return db->viewTableId();
  if (key == L"UCS") return db->UCSTableId();
  return AcDbObjectId::kNull;
}

bool isListed(AcDbDatabase* db, AcDbObjectId id) {
  const AcDbObject* record = peekObject(id);
  return record != nullptr && !record->isErased() && id != db->modelSpaceId() &&
         id != db->paperSpaceId();
}

resbuf* appendTo(resbuf**& tail, resbuf* rb) {
  *tail = rb;
  if (rb != nullptr) tail = &rb->rbnext;
  return rb;
}

resbuf* newText(int code, const std::wstring& text) {
  resbuf* rb = acutNewRb(code);
  if (rb != nullptr) rb->resval.rstring = acutNewString(text.c_str());
  return rb;
}

// Whether a group of a record's DXF data belongs in the table form.
bool describesRecord(int code) {
  // Plotting (290) and lineweight (370) are not part of a layer's table data.
  if (code == 5 || code == 105 || code == 100 || code == 102 || code == 290 || code == 370 ||
      code >= 1000)
    return false;
  return tabrik::acad::resbufKind(code) != tabrik::acad::ResbufKind::kName;
}

resbuf* blockData(const AcDbBlockTableRecord* block) {
  resbuf* head = nullptr;
  resbuf** tail = &head;
  appendTo(tail, newText(0, L"BLOCK"));
  appendTo(tail, newText(2, block->name()));
  resbuf* flags = appendTo(tail, acutNewRb(70));
  if (flags != nullptr)
    flags->resval.rint = static_cast<short>((block->isAnonymous() ? 1 : 0) |
                                            (block->hasAttributeDefinitions() ? 2 : 0));
  resbuf* base = appendTo(tail, acutNewRb(10));
  if (base != nullptr) {
    AcGePoint3d origin = block->origin();
    base->resval.rpoint[0] = origin.x;
    base->resval.rpoint[1] = origin.y;
    base->resval.rpoint[2] = origin.z;
  }
  for (const AcDbObjectId& id : block->entityIds()) {
    const AcDbObject* entity = peekObject(id);
    if (entity == nullptr || entity->isErased()) continue;
    ads_name name = {0, 0};
    if (acdbGetAdsName(name, id) != Acad::eOk) break;
    resbuf* first = appendTo(tail, acutNewRb(-2));
    if (first != nullptr) {
      first->resval.rlname[0] = name[0];
      first->resval.rlname[1] = name[1];
    }
    break;
  }
  return head;
}

// The table form of a record (see the file comment).
resbuf* recordData(const AcDbObject* record) {
  if (const auto* block = AcDbBlockTableRecord::cast(record)) return blockData(block);
  resbuf* full = entityDataOf(record, nullptr);
  resbuf* head = nullptr;
  resbuf** tail = &head;
  while (full != nullptr) {
    resbuf* rb = full;
    full = full->rbnext;
    rb->rbnext = nullptr;
    if (rb->restype == 0 || describesRecord(rb->restype)) {
      appendTo(tail, rb);
    } else {
      acutRelRb(rb);
    }
  }
  return head;
}

// Cursors of acdbTblNext and acdbDictNext: the position of the next record, by the
// table's (or dictionary's) old id, which no other object of the session ever has.
std::map<std::intptr_t, int>& cursors() {
  static std::map<std::intptr_t, int> positions;
  return positions;
}

bool nameOf(AcDbObjectId id, ads_name result) {
  ads_name name = {0, 0};
  if (acdbGetAdsName(name, id) != Acad::eOk) return false;
  result[0] = name[0];
  result[1] = name[1];
  return true;
}

const AcDbDictionary* dictionaryOf(const ads_name name) {
  AcDbObjectId id;
  if (name == nullptr || acdbGetObjectId(id, name) != Acad::eOk) return nullptr;
  const AcDbObject* object = peekObject(id);
  if (object == nullptr || object->isErased()) return nullptr;
  return AcDbDictionary::cast(object);
}

}  // namespace

resbuf* acdbTblSearch(const ACHAR* table, const ACHAR* symbol, int setNext) {
  AcDbDatabase* db = workingDatabase();
  AcDbObjectId tableId = db ? tableOf(db, table) : AcDbObjectId::kNull;
  auto* symbols = AcDbSymbolTable::cast(peekObject(tableId));
  if (symbols == nullptr || symbol == nullptr) {
    hostState().errnoValue = kErrnoBadSymbolName;
    return nullptr;
  }
  AcDbObjectId id;
  if (symbols->getAt(symbol, id) != Acad::eOk || !isListed(db, id)) return nullptr;
  if (setNext) {
    const AcDbObjectIdArray& ids = symbols->recordIds();
    for (int i = 0; i < ids.length(); ++i)
      if (ids[i] == id) cursors()[tableId.asOldId()] = i + 1;
  }
  return recordData(peekObject(id));
}

resbuf* acdbTblNext(const ACHAR* table, int rewind) {
  AcDbDatabase* db = workingDatabase();
  AcDbObjectId tableId = db ? tableOf(db, table) : AcDbObjectId::kNull;
  auto* symbols = AcDbSymbolTable::cast(peekObject(tableId));
  if (symbols == nullptr) {
    hostState().errnoValue = kErrnoBadSymbolName;
    return nullptr;
  }
  int& position = cursors()[tableId.asOldId()];
  if (rewind) position = 0;
  const AcDbObjectIdArray& ids = symbols->recordIds();
  for (; position >= 0 && position < ids.length(); ++position) {
    if (!isListed(db, ids[position])) continue;
    return recordData(peekObject(ids[position++]));
  }
  return nullptr;
}

int acdbTblObjName(const ACHAR* table, const ACHAR* symbol, ads_name result) {
  AcDbDatabase* db = workingDatabase();
  AcDbObjectId tableId = db ? tableOf(db, table) : AcDbObjectId::kNull;
  auto* symbols = AcDbSymbolTable::cast(peekObject(tableId));
  if (symbols == nullptr || symbol == nullptr || result == nullptr) {
    hostState().errnoValue = kErrnoBadSymbolName;
    return RTERROR;
  }
  AcDbObjectId id;
  if (symbols->getAt(symbol, id) != Acad::eOk || !isListed(db, id)) return RTERROR;
  return nameOf(id, result) ? RTNORM : RTERROR;
}

int acdbNamedObjDict(ads_name result) {
  AcDbDatabase* db = workingDatabase();
  if (db == nullptr || result == nullptr) return RTERROR;
  return nameOf(db->namedObjectsDictionaryId(), result) ? RTNORM : RTERROR;
}

resbuf* acdbDictSearch(const ads_name dictionary, const ACHAR* symbol, int setNext) {
  const AcDbDictionary* dict = dictionaryOf(dictionary);
  if (dict == nullptr || symbol == nullptr) {
    hostState().errnoValue = kErrnoBadEntityName;
    return nullptr;
  }
  std::vector<AcDbDictionary::Entry> entries = dict->entries();
  std::wstring key = upper(symbol);
  for (size_t i = 0; i < entries.size(); ++i) {
    if (upper(entries[i].key.c_str()) != key) continue;
    const AcDbObject* object = peekObject(entries[i].id);
    if (object == nullptr || object->isErased()) return nullptr;
    if (setNext) cursors()[dict->objectId().asOldId()] = static_cast<int>(i) + 1;
    return entityDataOf(object, nullptr);
  }
  return nullptr;
}

resbuf* acdbDictNext(const ads_name dictionary, int rewind) {
  const AcDbDictionary* dict = dictionaryOf(dictionary);
  if (dict == nullptr) {
    hostState().errnoValue = kErrnoBadEntityName;
    return nullptr;
  }
  std::vector<AcDbDictionary::Entry> entries = dict->entries();
  int& position = cursors()[dict->objectId().asOldId()];
  if (rewind) position = 0;
  for (; position >= 0 && position < static_cast<int>(entries.size()); ++position) {
    const AcDbObject* object = peekObject(entries[position].id);
    if (object == nullptr || object->isErased()) continue;
    ++position;
    return entityDataOf(object, nullptr);
  }
  return nullptr;
}
