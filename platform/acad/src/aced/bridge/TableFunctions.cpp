// LISP symbol-table and dictionary functions over the ads table calls.
#include "aced/bridge/TableFunctions.h"

#include <string>

#include "acedads.h"
#include "acdb/acut/ResbufChain.h"
#include "acdb/acut/WideText.h"
#include "aced/bridge/EntityLists.h"
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

}  // namespace

void installTableFunctions(Runtime& runtime) {
  runtime.defineBuiltin("tblsearch", tblsearch);
  runtime.defineBuiltin("tblnext", tblnext);
  runtime.defineBuiltin("tblobjname", tblobjname);
  runtime.defineBuiltin("namedobjdict", namedobjdict);
  runtime.defineBuiltin("dictsearch", dictsearch);
  runtime.defineBuiltin("dictnext", dictnext);
}

}  // namespace tabrik::acad
