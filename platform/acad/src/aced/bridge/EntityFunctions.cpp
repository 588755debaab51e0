// LISP entity-data functions over the ads entity calls (acdbEntGet and the rest), so
// that LISP programs and modules see one behaviour.
#include "aced/bridge/EntityFunctions.h"

#include <string>

#include "acedads.h"
#include "acdb/acut/ResbufChain.h"
#include "acdb/acut/WideText.h"
#include "aced/bridge/EntityData.h"
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

const Value& listArg(const Value& value) {
  if (!value.isList()) lisp::throwBadArgumentType("listp", value);
  return value;
}

// A chain of RTSTR application names from a list of strings.
ResbufPtr applicationNames(const Value& list) {
  listArg(list);
  ResbufPtr names;
  resbuf** tail = nullptr;
  for (Value rest = list; rest.isCons(); rest = rest.cdr()) {
    const Value& name = rest.car();
    if (!name.isString()) lisp::throwBadArgumentType("stringp", name);
    resbuf* rb = acutNewRb(RTSTR);
    if (rb == nullptr) throw lisp::LispError("insufficient memory");
    rb->resval.rstring = acutNewString(fromUtf8(name.asString()).c_str());
    if (tail == nullptr) {
      names.reset(rb);
    } else {
      *tail = rb;
    }
    tail = &rb->rbnext;
  }
  return names;
}

Value entget(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 2);
  ads_name name;
  entityArg(args[0], name);
  ResbufPtr apps;
  if (args.size() > 1) apps = applicationNames(args[1]);
  ResbufPtr data(apps ? acdbEntGetX(name, apps.get()) : acdbEntGet(name));
  return data ? resbufToEntityList(data.get()) : Value();
}

Value entmod(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 1);
  ResbufPtr data(entityListToResbuf(listArg(args[0])));
  return acdbEntMod(data.get()) == RTNORM ? args[0] : Value();
}

// What entmake and entmakex give back when a block definition ends: its name.
bool endsBlock(const resbuf* data) {
  const resbuf* type = findGroup(data, 0);
  return type != nullptr && type->resval.rstring != nullptr &&
         wcscasecmp(type->resval.rstring, L"ENDBLK") == 0;
}

Value entmake(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 1);
  if (args.empty() || args[0].isNil()) {
    // Without data, entmake drops a block definition in progress.
    acdbEntMake(nullptr);
    return Value();
  }
  ResbufPtr data(entityListToResbuf(listArg(args[0])));
  if (acdbEntMake(data.get()) != RTNORM) return Value();
  if (endsBlock(data.get())) return Value::string(toUtf8(lastEntMakeBlockName()));
  return args[0];
}

Value entmakex(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 1);
  if (args.empty() || args[0].isNil()) {
    acdbEntMake(nullptr);
    return Value();
  }
  ResbufPtr data(entityListToResbuf(listArg(args[0])));
  ads_name name = {0, 0};
  if (acdbEntMakeX(data.get(), name) != RTNORM) return Value();
  if (endsBlock(data.get())) return Value::string(toUtf8(lastEntMakeBlockName()));
  // Entities of a block definition in progress have no name until it ends.
  if (name[0] == 0) return Value::t();
  return enameValue(name);
}

Value entdel(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 1);
  ads_name name;
  entityArg(args[0], name);
  return acdbEntDel(name) == RTNORM ? args[0] : Value();
}

Value entlast(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 0);
  ads_name name;
  return acdbEntLast(name) == RTNORM ? enameValue(name) : Value();
}

Value entnext(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 1);
  ads_name start = {0, 0};
  bool hasStart = !args.empty() && !args[0].isNil();
  if (hasStart) entityArg(args[0], start);
  ads_name next;
  return acdbEntNext(hasStart ? start : nullptr, next) == RTNORM ? enameValue(next) : Value();
}

Value handent(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 1);
  std::wstring handle = fromUtf8(lisp::stringArg(args[0]));
  ads_name name;
  return acdbHandEnt(handle.c_str(), name) == RTNORM ? enameValue(name) : Value();
}

Value entupd(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 1);
  ads_name name;
  entityArg(args[0], name);
  return acdbEntUpd(name) == RTNORM ? args[0] : Value();
}

Value regapp(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 1);
  std::wstring application = fromUtf8(lisp::stringArg(args[0]));
  return acdbRegApp(application.c_str()) == RTNORM ? args[0] : Value();
}

}  // namespace

void installEntityFunctions(Runtime& runtime) {
  runtime.defineBuiltin("entget", entget);
  runtime.defineBuiltin("entmod", entmod);
  runtime.defineBuiltin("entmake", entmake);
  runtime.defineBuiltin("entmakex", entmakex);
  runtime.defineBuiltin("entdel", entdel);
  runtime.defineBuiltin("entlast", entlast);
  runtime.defineBuiltin("entnext", entnext);
  runtime.defineBuiltin("handent", handent);
  runtime.defineBuiltin("entupd", entupd);
  runtime.defineBuiltin("regapp", regapp);
}

}  // namespace tabrik::acad
