// The extended-data functions: tb_xdput-list writes an object's key/value pairs under
// the application "NORVANE"; tb_xdget, tb_xdget-list and tb_xdget-all read them back.
// They use no database connection. The application name must be registered in the
// drawing already (the LISP application does it); the module never registers it.
//
// | position  | group | content                        |
// |-----------|-------|--------------------------------|
// | first     | 1001  | "NORVANE"                      |
// | per pair  | 1000  | key                            |
// |           | 1000  | string value, or               |
// |           | 1040  | real value, or                 |
// |           | 1071  | integer value (32-bit)         |
#include <cstdint>
#include <memory>
#include <new>
#include <set>
#include <string>

#include <acedads.h>
#include <acutads.h>
#include <dbmain.h>

#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "host/ListBuilder.h"

namespace tabrik::arx::fn {
namespace {

constexpr const ACHAR* kApplication = ACRX_T("NORVANE");

struct ChainDeleter {
  void operator()(resbuf* chain) const { acutRelRb(chain); }
};
using Chain = std::unique_ptr<resbuf, ChainDeleter>;

// Appends buffers to a chain it owns.
class ChainBuilder {
 public:
  void addString(int code, const std::wstring& text) {
    resbuf* item = add(code);
    item->resval.rstring = acutNewString(text.c_str());
  }
  void addReal(int code, double value) { add(code)->resval.rreal = value; }
  void addLong(int code, std::int32_t value) { add(code)->resval.rlong = value; }
  resbuf* head() const { return m_head.get(); }

 private:
  resbuf* add(int code) {
    resbuf* item = acutNewRb(code);
    if (item == nullptr) throw std::bad_alloc();
    if (m_last == nullptr) {
      m_head.reset(item);
    } else {
      m_last->rbnext = item;
    }
    m_last = item;
    return item;
  }
  Chain m_head;
  resbuf* m_last = nullptr;
};

// The LISP type of an item of extended data, by the host's group-code ranges; RTNONE
// for items LISP has no plain value for (binary chunks).
short lispTypeOf(int code) {
  if (code >= 1000 && code <= 1009 && code != 1004) return RTSTR;
  if (code >= 1010 && code <= 1013) return RT3DPOINT;
  if (code >= 1038 && code <= 1059) return RTREAL;
  if (code >= 1060 && code <= 1070) return RTSHORT;
  if (code == 1071) return RTLONG;
  return RTNONE;
}

bool isStringItem(const resbuf* item) { return lispTypeOf(item->restype) == RTSTR; }

std::wstring textOf(const resbuf* item) {
  return item->resval.rstring != nullptr ? item->resval.rstring : L"";
}

// The item as a LISP value of its type (shares the item's text).
resbuf asLispValue(const resbuf* item) {
  resbuf value = *item;
  value.rbnext = nullptr;
  value.restype = lispTypeOf(item->restype);
  return value;
}

// The application's data of the object, without checking anything else; null when it
// has none or cannot be opened for read.
Chain readApplicationData(const AcDbObjectId& id) {
  AcDbObject* object = nullptr;
  if (acdbOpenObject(object, id, AcDb::kForRead) != Acad::eOk) return nullptr;
  Chain data(object->xData(kApplication));
  object->close();
  return data;
}

// Calls visit(key, value) for each pair of the walk the getters share: a string item
// followed by another item is a key and its value; a non-string item where a key is
// expected is skipped on its own. A key with nothing after it ends the walk with
// visit(key, nullptr). visit returns false to stop.
template <class Visit>
void walkPairs(const resbuf* data, Visit visit) {
  const resbuf* item = data != nullptr ? data->rbnext : nullptr;
  while (item != nullptr) {
    if (!isStringItem(item)) {
      item = item->rbnext;
      continue;
    }
    if (!visit(textOf(item), item->rbnext)) return;
    if (item->rbnext == nullptr) return;
    item = item->rbnext->rbnext;
  }
}

// The pairs of the walk as a LISP list of (key . value), empty keys and keys without a
// value left out; nil when none is left.
template <class Wanted>
void returnPairs(const resbuf* data, Wanted wanted) {
  ListBuilder list;
  list.start();
  bool any = false;
  walkPairs(data, [&](const std::wstring& key, const resbuf* value) {
    if (value == nullptr || key.empty() || !wanted(key)) return true;
    resbuf lisp = asLispValue(value);
    any = list.addPairHostValue(key, &lisp) || any;
    return true;
  });
  if (any) list.finish();
}

// The outcome of reading the pairs of tb_xdput-list.
enum class PairsRead { kOk, kRefused };

// Reads `key value ...` up to the end of the list into the items to write. A value of a
// kind that has no item (nil, T, a point, ...) or a key with no value drops that key
// the first time; the second time, or a value that is itself a list, refuses the call.
PairsRead readPairs(ArgCursor cursor, ChainBuilder& items) {
  int dropped = 0;
  std::wstring key;
  while (readString(cursor, key)) {
    if (cursor == nullptr || cursor->restype == RTLE) {
      return ++dropped > 1 ? PairsRead::kRefused : PairsRead::kOk;
    }
    switch (cursor->restype) {
      case RTSTR:
        items.addString(1000, key);
        items.addString(1000, textOf(cursor));
        break;
      case RTREAL:
        items.addString(1000, key);
        items.addReal(1040, cursor->resval.rreal);
        break;
      case RTSHORT:
        items.addString(1000, key);
        items.addLong(1071, cursor->resval.rint);
        break;
      case RTLONG:
        items.addString(1000, key);
        items.addLong(1071, cursor->resval.rlong);
        break;
      case RTLB:
        return PairsRead::kRefused;
      default:
        if (++dropped > 1) return PairsRead::kRefused;
        break;
    }
    cursor = cursor->rbnext;
  }
  return PairsRead::kOk;
}

}  // namespace

int tb_xdput_list() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  AcDbObjectId id;
  if (!readObjectId(cursor, id)) return kWrongType;
  ChainBuilder items;
  items.addString(1001, kApplication);
  if (cursor != nullptr) {
    if (!readListStart(cursor)) return kResultOk;
    if (readPairs(cursor, items) == PairsRead::kRefused) return kResultOk;
  }
  AcDbObject* object = nullptr;
  if (acdbOpenObject(object, id, AcDb::kForWrite) != Acad::eOk) return kResultOk;
  // T whatever the host says of the write itself (an unregistered application name).
  object->setXData(items.head());
  object->close();
  acedRetT();
  return kResultOk;
}

int tb_xdget() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  AcDbObjectId id;
  if (!readObjectId(cursor, id)) return kWrongType;
  std::wstring wanted;
  if (!readString(cursor, wanted)) return kWrongType;
  Chain data = readApplicationData(id);
  walkPairs(data.get(), [&](const std::wstring& key, const resbuf* value) {
    if (key != wanted) return true;
    if (value != nullptr) {
      resbuf lisp = asLispValue(value);
      if (lisp.restype != RTNONE) acedRetVal(&lisp);
    }
    return false;
  });
  return kResultOk;
}

int tb_xdget_list() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  AcDbObjectId id;
  if (!readObjectId(cursor, id)) return kWrongType;
  if (!readListStart(cursor)) return kResultOk;
  std::set<std::wstring> keys;
  for (std::wstring key; cursor != nullptr && cursor->restype != RTLE;) {
    if (readString(cursor, key)) {
      keys.insert(key);
    } else {
      skipArgument(cursor);
    }
  }
  Chain data = readApplicationData(id);
  returnPairs(data.get(), [&](const std::wstring& key) { return keys.count(key) > 0; });
  return kResultOk;
}

int tb_xdget_all() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  AcDbObjectId id;
  if (!readObjectId(cursor, id)) return kWrongType;
  Chain data = readApplicationData(id);
  returnPairs(data.get(), [](const std::wstring&) { return true; });
  return kResultOk;
}

}  // namespace tabrik::arx::fn
