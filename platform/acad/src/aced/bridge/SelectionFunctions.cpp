// LISP selection-set functions over acedSSGet and the host's sets.
#include "aced/bridge/SelectionFunctions.h"

#include <cwctype>

#include "acedads.h"
#include "acdb/acut/ResbufChain.h"
#include "acdb/acut/WideText.h"
#include "aced/bridge/EntityFilter.h"
#include "aced/bridge/EntityLists.h"
#include "aced/bridge/LispResbuf.h"
#include "dbmain.h"
#include "lisp/Runtime.h"
#include "aced/select/Selection.h"

namespace tabrik::acad {

using lisp::Args;
using lisp::Runtime;
using lisp::Value;

namespace {

Value pickset(const ads_name name) {
  lisp::AdsName value;
  value.word[0] = name[0];
  value.word[1] = name[1];
  return Value::pickset(value);
}

Value ename(const ads_name name) {
  lisp::AdsName value;
  value.word[0] = name[0];
  value.word[1] = name[1];
  return Value::ename(value);
}

void namesOf(const Value& value, ads_name name) {
  name[0] = value.adsName().word[0];
  name[1] = value.adsName().word[1];
}

const Value& selectionArg(const Value& value) {
  if (!value.isPickset()) lisp::throwBadArgumentType("lselsetp", value);
  return value;
}

const Value& entityArg(const Value& value) {
  if (!value.isEname()) lisp::throwBadArgumentType("lentityp", value);
  return value;
}

// A filter is a list of (code . value) pairs: the only list argument whose elements
// are all conses with an integer car.
bool isFilter(const Value& value) {
  if (!value.isCons()) return false;
  for (const Value& element : value) {
    if (!element.isCons() || !element.car().isInt()) return false;
  }
  return true;
}

Value ssget(Runtime& runtime, Args args) {
  lisp::checkArgCount(args, 0, 5);
  size_t next = 0;
  std::wstring mode;
  if (next < args.size() && args[next].isString()) mode = fromUtf8(args[next++].asString());
  std::vector<std::array<double, 3>> points;
  ResbufPtr polygon;
  ResbufPtr filter;
  // After "WP", "CP" or "F" the first list is the point list, even one of integer
  // points such as ((0 0) (5 0) (5 5)) that would read as a filter.
  std::wstring bare = mode;
  std::erase(bare, L'_');
  for (wchar_t& c : bare) c = std::towupper(c);
  bool wantsPointList = bare == L"WP" || bare == L"CP" || bare == L"F";
  for (; next < args.size(); ++next) {
    const Value& arg = args[next];
    if (arg.isPoint()) {
      points.push_back(lisp::pointArg(arg));
    } else if (wantsPointList && !polygon && arg.isCons()) {
      polygon.reset(lispValueToResbuf(arg));
    } else if (isFilter(arg)) {
      filter.reset(entityListToResbuf(arg));
    } else if (arg.isCons()) {
      polygon.reset(lispValueToResbuf(arg));
    } else if (!arg.isNil()) {
      lisp::throwBadArgumentType("listp", arg);
    }
  }
  const void* first = polygon             ? static_cast<const void*>(polygon->rbnext)
                      : points.size() > 0 ? points[0].data()
                                          : nullptr;
  const void* second = points.size() > 1 ? points[1].data() : nullptr;
  std::string malformed;
  if (!filterIsWellFormed(filter.get(), malformed)) runtime.fail(malformed);
  ads_name selection;
  int status =
      acedSSGet(mode.empty() ? nullptr : mode.c_str(), first, second, filter.get(), selection);
  if (status == RTCAN) runtime.fail("Function cancelled");
  return status == RTNORM ? pickset(selection) : Value();
}

Value sslength(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 1);
  ads_name name;
  namesOf(selectionArg(args[0]), name);
  std::int32_t length = 0;
  if (acedSSLength(name, &length) != RTNORM) return Value();
  return Value::integer(length);
}

Value ssname(Runtime&, Args args) {
  lisp::checkArgCount(args, 2, 2);
  ads_name name;
  namesOf(selectionArg(args[0]), name);
  std::int32_t index = lisp::intArg(args[1]);
  ads_name entity;
  return acedSSName(name, index, entity) == RTNORM ? ename(entity) : Value();
}

Value ssadd(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 2);
  ads_name entity;
  ads_name selection;
  ads_name result;
  bool hasEntity = !args.empty();
  bool hasSelection = args.size() > 1;
  if (hasEntity) namesOf(entityArg(args[0]), entity);
  if (hasSelection) namesOf(selectionArg(args[1]), selection);
  if (acedSSAdd(hasEntity ? entity : nullptr, hasSelection ? selection : nullptr, result) != RTNORM)
    return Value();
  return pickset(result);
}

Value ssdel(Runtime&, Args args) {
  lisp::checkArgCount(args, 2, 2);
  ads_name entity;
  ads_name selection;
  namesOf(entityArg(args[0]), entity);
  namesOf(selectionArg(args[1]), selection);
  std::vector<AcDbObjectId>* ids = selectionSet(selection);
  std::optional<AcDbObjectId> id = entityId(entity);
  if (ids == nullptr || !id) return Value();
  for (auto it = ids->begin(); it != ids->end(); ++it) {
    if (*it == *id) {
      ids->erase(it);
      return args[1];
    }
  }
  return Value();
}

Value ssmemb(Runtime&, Args args) {
  lisp::checkArgCount(args, 2, 2);
  ads_name entity;
  ads_name selection;
  namesOf(entityArg(args[0]), entity);
  namesOf(selectionArg(args[1]), selection);
  std::vector<AcDbObjectId>* ids = selectionSet(selection);
  std::optional<AcDbObjectId> id = entityId(entity);
  if (ids == nullptr || !id) return Value();
  for (const AcDbObjectId& member : *ids) {
    if (member == *id) return args[0];
  }
  return Value();
}

}  // namespace

void installSelectionFunctions(Runtime& runtime) {
  runtime.defineBuiltin("ssget", ssget);
  runtime.defineBuiltin("sslength", sslength);
  runtime.defineBuiltin("ssname", ssname);
  runtime.defineBuiltin("ssadd", ssadd);
  runtime.defineBuiltin("ssdel", ssdel);
  runtime.defineBuiltin("ssmemb", ssmemb);
}

}  // namespace tabrik::acad
