// LISP symbol-table and dictionary functions over the ads table calls; dictadd,
// dictremove and dictrename, which the ads interface lacks, over the dictionaries.
#include "aced/bridge/TableFunctions.h"

#include <string>

#include "acedads.h"
#include "acdb/acut/ResbufChain.h"
#include "acdb/acut/WideText.h"
#include "aced/bridge/EntityLists.h"
#include "dbdict.h"
#include "dbsymtb.h"
#include "tabrik/DrawingFiling.h"
#include "lisp/LispError.h"
#include "lisp/Runtime.h"

namespace tabrik::acad {

using lisp::Args;
using lisp::Runtime;
using lisp::Value;

namespace {

Value enameValue(const ads_name name) {
  lisp::AdsName value;
  value.word[0] = name[0];
  value.word[1] = name[1];
  return Value::ename(value);
}

void entityArg(const Value& value, ads_name name) {
  if (!value.isEname()) lisp::throwBadArgumentType("lentityp", value);
  name[0] = value.adsName().word[0];
  name[1] = value.adsName().word[1];
}

// The table name argument: a string naming one of the tables, else an error.
std::wstring tableArg(const Value& value) {
  std::wstring name = fromUtf8(lisp::stringArg(value));
  for (const wchar_t* table :
       {L"LAYER", L"LTYPE", L"STYLE", L"BLOCK", L"APPID", L"DIMSTYLE", L"VPORT", L"VIEW", L"UCS"}) {
    if (wcscasecmp(name.c_str(), table) == 0) return name;
  }
  lisp::throwBadArgumentValue("table name " + value.toPrin1String());
}

Value listOf(resbuf* chain) {
  ResbufPtr data(chain);
  return data ? resbufToEntityList(data.get()) : Value();
}

Value tblsearch(Runtime&, Args args) {
  lisp::checkArgCount(args, 2, 3);
  std::wstring table = tableArg(args[0]);
  std::wstring symbol = fromUtf8(lisp::stringArg(args[1]));
  bool setNext = args.size() > 2 && !args[2].isNil();
  return listOf(acdbTblSearch(table.c_str(), symbol.c_str(), setNext ? 1 : 0));
}

Value tblnext(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 2);
  std::wstring table = tableArg(args[0]);
  bool rewind = args.size() > 1 && !args[1].isNil();
  return listOf(acdbTblNext(table.c_str(), rewind ? 1 : 0));
}

Value tblobjname(Runtime&, Args args) {
  lisp::checkArgCount(args, 2, 2);
  std::wstring table = tableArg(args[0]);
  std::wstring symbol = fromUtf8(lisp::stringArg(args[1]));
  ads_name name;
  return acdbTblObjName(table.c_str(), symbol.c_str(), name) == RTNORM ? enameValue(name) : Value();
}

Value namedobjdict(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 0);
  ads_name name;
  return acdbNamedObjDict(name) == RTNORM ? enameValue(name) : Value();
}

Value dictsearch(Runtime&, Args args) {
  lisp::checkArgCount(args, 2, 3);
  ads_name dictionary;
  entityArg(args[0], dictionary);
  std::wstring symbol = fromUtf8(lisp::stringArg(args[1]));
  bool setNext = args.size() > 2 && !args[2].isNil();
  return listOf(acdbDictSearch(dictionary, symbol.c_str(), setNext ? 1 : 0));
}

Value dictnext(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 2);
  ads_name dictionary;
  entityArg(args[0], dictionary);
  bool rewind = args.size() > 1 && !args[1].isNil();
  return listOf(acdbDictNext(dictionary, rewind ? 1 : 0));
}

// The dictionary an entity name names, open for write; null (nothing open) when it
// names none.
AcDbDictionary* openDictionary(const Value& value) {
  ads_name name;
  entityArg(value, name);
  AcDbObjectId id;
  AcDbDictionary* dictionary = nullptr;
  if (acdbGetObjectId(id, name) != Acad::eOk ||
      acdbOpenObject(dictionary, id, AcDb::kForWrite) != Acad::eOk)
    return nullptr;
  return dictionary;
}

// A key of a dictionary entry: a string, else an error.
std::wstring keyArg(const Value& value) { return fromUtf8(lisp::stringArg(value)); }

// Whether a dictionary holds the object as one of its entries.
bool isEntryOfOwner(const AcDbObject* object) {
  auto* owner = AcDbDictionary::cast(peekObject(object->ownerId()));
  return owner != nullptr && owner->has(object->objectId());
}

// Whether the object owns the dictionary, directly or not (the root dictionary owns
// them all): entering it there would make a loop of owners.
bool ownsDictionary(AcDbObjectId object, const AcDbDictionary* dictionary) {
  AcDbObjectId owner = dictionary->objectId();
  for (int depth = 0; !owner.isNull() && depth < 256; ++depth) {
    if (owner == object) return true;
    const AcDbObject* next = peekObject(owner);
    if (next == nullptr) return false;
    owner = next->ownerId();
  }
  return dictionary->database() != nullptr &&
         object == dictionary->database()->namedObjectsDictionaryId();
}

// (dictadd dictionary key object): the object, a non-graphical one that is no entry of
// a dictionary yet, becomes the dictionary's entry under the key; the object's name,
// or nil when the key is taken or the object cannot be added.
Value dictadd(Runtime&, Args args) {
  lisp::checkArgCount(args, 3, 3);
  ads_name objectName;
  entityArg(args[2], objectName);
  std::wstring key = keyArg(args[1]);
  AcDbDictionary* dictionary = openDictionary(args[0]);
  if (dictionary == nullptr) return Value();
  AcDbObjectId id;
  AcDbObject* object = nullptr;
  bool added = false;
  if (!dictionary->has(key.c_str()) && acdbGetObjectId(id, objectName) == Acad::eOk &&
      !ownsDictionary(id, dictionary) && acdbOpenObject(object, id, AcDb::kForWrite) == Acad::eOk) {
    if (AcDbEntity::cast(object) == nullptr && AcDbSymbolTableRecord::cast(object) == nullptr &&
        AcDbSymbolTable::cast(object) == nullptr && !isEntryOfOwner(object)) {
      AcDbObjectId entry;
      added = dictionary->setAt(key.c_str(), object, entry) == Acad::eOk;
    }
    object->close();
  }
  dictionary->close();
  return added ? args[2] : Value();
}

// (dictremove dictionary key): takes the entry out of the dictionary (the object stays
// in the drawing, owned by no one); its name, or nil when there is no such entry.
Value dictremove(Runtime&, Args args) {
  lisp::checkArgCount(args, 2, 2);
  std::wstring key = keyArg(args[1]);
  AcDbDictionary* dictionary = openDictionary(args[0]);
  if (dictionary == nullptr) return Value();
  AcDbObjectId removed;
  bool ok = dictionary->has(key.c_str()) && dictionary->remove(key.c_str(), removed) == Acad::eOk;
  dictionary->close();
  ads_name name;
  if (!ok || acdbGetAdsName(name, removed) != Acad::eOk) return Value();
  return enameValue(name);
}

// (dictrename dictionary old new): the new key, or nil when there is no entry under
// the old one or the new one is taken or no valid key.
Value dictrename(Runtime&, Args args) {
  lisp::checkArgCount(args, 3, 3);
  std::wstring oldKey = keyArg(args[1]);
  std::wstring newKey = keyArg(args[2]);
  AcDbDictionary* dictionary = openDictionary(args[0]);
  if (dictionary == nullptr) return Value();
  bool ok = dictionary->setName(oldKey.c_str(), newKey.c_str()) == Acad::eOk;
  dictionary->close();
  return ok ? args[2] : Value();
}

}  // namespace

void installTableFunctions(Runtime& runtime) {
  runtime.defineBuiltin("tblsearch", tblsearch);
  runtime.defineBuiltin("tblnext", tblnext);
  runtime.defineBuiltin("tblobjname", tblobjname);
  runtime.defineBuiltin("namedobjdict", namedobjdict);
  runtime.defineBuiltin("dictsearch", dictsearch);
  runtime.defineBuiltin("dictnext", dictnext);
  runtime.defineBuiltin("dictadd", dictadd);
  runtime.defineBuiltin("dictremove", dictremove);
  runtime.defineBuiltin("dictrename", dictrename);
}

}  // namespace tabrik::acad
