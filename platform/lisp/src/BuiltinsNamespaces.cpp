// Builtins about namespaces and names: the symbol list (atoms-family), the session's
// blackboard (vl-bb-ref, vl-bb-set), the document namespace (vl-doc-ref, vl-doc-set,
// vl-propagate), leaving an application (vl-exit-with-value, vl-exit-with-error),
// symbol table names (snvalid) and the PAUSE constant.
//
// Every application of this host loads into its document's namespace, so the
// document namespace of vl-doc-ref/vl-doc-set is the caller's own.
#include <cctype>
#include <map>
#include <string>

#include "RuntimeInternal.h"

namespace tabrik::lisp {

using namespace detail;

namespace {

// The blackboard: one namespace for the whole session, shared by every document.
std::map<std::string, Value>& blackboard() {
  static std::map<std::string, Value> values;
  return values;
}

// Values given to vl-propagate, set again in every document opened later.
std::map<std::string, Value>& propagated() {
  static std::map<std::string, Value> values;
  return values;
}

std::vector<Runtime*>& liveRuntimes() {
  static std::vector<Runtime*> runtimes;
  return runtimes;
}

Value symbolArgument(const Value& v) {
  if (!v.isSymbol() || v.isNil()) throwBadArgumentType("symbolp", v);
  return v;
}

// (atoms-family format [symlist]): the names that have a value, as symbols (0) or
// strings (1); with symlist, each name's symbol or string, or nil when it has none.
Value bi_atomsFamily(Runtime& rt, Args a) {
  checkArgCount(a, 1, 2);
  if (!a[0].isInt()) throwBadArgumentType("fixnump:", a[0]);
  long format = a[0].asInt();
  if (format != 0 && format != 1) throwBadArgumentValue(a[0].toPrin1String());
  auto answer = [&](const Value& symbol) {
    return format == 0 ? symbol : Value::string(symbol.symbolName());
  };
  std::vector<Value> result;
  if (a.size() == 2 && !a[1].isNil()) {
    if (!a[1].isList()) throwBadArgumentType("listp", a[1]);
    for (const Value& name : a[1].toVector()) {
      if (!name.isString()) throwBadArgumentType("stringp", name);
      Value symbol = Value::symbol(upperCase(name.asString()));
      result.push_back(rt.symbolValue(symbol).isNil() ? Value() : answer(symbol));
    }
    return Value::list(result);
  }
  // Most recently made first, as the host lists them.
  for (std::uint32_t id = symbolCount(); id-- > 0;) {
    Value symbol = symbolById(id);
    if (!symbol.isNil() && !rt.symbolValue(symbol).isNil()) result.push_back(answer(symbol));
  }
  return Value::list(result);
}

Value bi_bbRef(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  auto found = blackboard().find(symbolArgument(a[0]).symbolName());
  return found == blackboard().end() ? Value() : found->second;
}

Value bi_bbSet(Runtime&, Args a) {
  checkArgCount(a, 2, 2);
  std::string name = symbolArgument(a[0]).symbolName();
  if (a[1].isNil())
    blackboard().erase(name);
  else
    blackboard()[name] = a[1];
  return a[1];
}

Value bi_docRef(Runtime& rt, Args a) {
  checkArgCount(a, 1, 1);
  return rt.symbolValue(symbolArgument(a[0]));
}

Value bi_docSet(Runtime& rt, Args a) {
  checkArgCount(a, 2, 2);
  rt.setSymbolValue(symbolArgument(a[0]), a[1]);
  return a[1];
}

// (vl-propagate 'sym): the symbol's value in every open document, and in those
// opened later in the session.
Value bi_propagate(Runtime& rt, Args a) {
  checkArgCount(a, 1, 1);
  Value symbol = symbolArgument(a[0]);
  Value value = rt.symbolValue(symbol);
  propagated()[symbol.symbolName()] = value;
  for (Runtime* other : liveRuntimes()) other->setSymbolValue(symbol, value);
  return value;
}

Value bi_exitWithValue(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  throw ExitWithValue{a[0]};
}

// The caller's *error* hears the message, as from any error.
Value bi_exitWithError(Runtime& rt, Args a) {
  checkArgCount(a, 1, 1);
  rt.fail(stringArg(a[0]));
}

// (snvalid name [flag]): whether name can name a symbol table record. With extended
// names (EXTNAMES 1) up to 255 characters of anything but < > / \ " : ; ? * , = `
// and control characters; a vertical bar only with flag 1, and neither first nor
// last. Without them, up to 31 letters, digits, $, - and _.
Value bi_snvalid(Runtime& rt, Args a) {
  checkArgCount(a, 1, 2);
  const std::string& name = stringArg(a[0]);
  long flag = 0;
  if (a.size() == 2 && !a[1].isNil()) {
    if (!a[1].isInt()) throwBadArgumentType("fixnump:", a[1]);
    flag = a[1].asInt();
  }
  Value extended = rt.services().getVariable(rt, "EXTNAMES");
  bool extendedNames = !extended.isInt() || extended.asInt() != 0;
  if (name.empty()) return Value();
  if (!extendedNames) {
    if (name.size() > 31) return Value();
    for (unsigned char c : name)
      if (!std::isalnum(c) && c != '$' && c != '-' && c != '_') return Value();
    return Value::t();
  }
  // Count characters, not bytes, for the 255 limit (text is UTF-8).
  std::size_t characters = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if ((c & 0xC0) != 0x80) ++characters;
    if (c < 32 || c == 127) return Value();
    if (std::string_view("<>/\\\":;?*,=`").find(static_cast<char>(c)) != std::string_view::npos)
      return Value();
    if (c == '|' && (flag != 1 || i == 0 || i + 1 == name.size())) return Value();
  }
  return characters <= 255 ? Value::t() : Value();
}

}  // namespace

void registerRuntime(Runtime* runtime) {
  liveRuntimes().push_back(runtime);
  for (const auto& [name, value] : propagated()) runtime->setSymbolValue(name, value);
}

void unregisterRuntime(Runtime* runtime) { std::erase(liveRuntimes(), runtime); }

void installNamespaceBuiltins(Runtime& rt) {
  rt.setSymbolValue("PAUSE", Value::string("\\"));
  defineNative(rt, "ATOMS-FAMILY", bi_atomsFamily);
  defineNative(rt, "VL-BB-REF", bi_bbRef);
  defineNative(rt, "VL-BB-SET", bi_bbSet);
  defineNative(rt, "VL-DOC-REF", bi_docRef);
  defineNative(rt, "VL-DOC-SET", bi_docSet);
  defineNative(rt, "VL-PROPAGATE", bi_propagate);
  defineNative(rt, "VL-EXIT-WITH-VALUE", bi_exitWithValue);
  defineNative(rt, "VL-EXIT-WITH-ERROR", bi_exitWithError);
  defineNative(rt, "SNVALID", bi_snvalid);
}

}  // namespace tabrik::lisp
