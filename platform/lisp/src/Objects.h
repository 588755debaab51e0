// Heap object layouts behind Value. Only the runtime's sources see these.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "lisp/Runtime.h"
#include "lisp/Value.h"

namespace tabrik::lisp::detail {

struct RealObject : Object {
  double value;
};

struct StringObject : Object {
  std::string text;
};

// Interned; id indexes each runtime's value slots.
struct SymbolObject : Object {
  std::string name;
  std::uint32_t id;
};

struct ConsObject : Object {
  Value car;
  Value cdr;
};

struct NameObject : Object {  // ENAME, PICKSET
  AdsName name;
};

struct FileObject : Object {
  std::string path;   // as given to open
  std::FILE* stream;  // null once closed
  bool writing;
};

using NativeBuiltin = Value (*)(Runtime&, Args);

struct SubrObject : Object {
  Value name;            // symbol
  NativeBuiltin native;  // the runtime's own builtins (no std::function cost)
  BuiltinFunction function;
  // Special forms get their arguments unevaluated; the evaluator dispatches them.
  int specialForm;  // 0 for ordinary builtins
};

struct UsubrObject : Object {
  Value name;                         // symbol, nil for a lambda
  std::vector<std::uint32_t> params;  // symbol ids
  std::vector<std::uint32_t> locals;  // symbol ids
  Value body;                         // list of forms
};

struct ExternalObject : Object {
  Value name;  // symbol
  int code;
};

struct CatchAllObject : Object {
  std::string message;
};

inline const SymbolObject* asSymbol(const Value& v) {
  return static_cast<const SymbolObject*>(v.object());
}
inline const ConsObject* asCons(const Value& v) {
  return static_cast<const ConsObject*>(v.object());
}
inline const SubrObject* asSubr(const Value& v) {
  return static_cast<const SubrObject*>(v.object());
}
inline const UsubrObject* asUsubr(const Value& v) {
  return static_cast<const UsubrObject*>(v.object());
}
inline const ExternalObject* asExternal(const Value& v) {
  return static_cast<const ExternalObject*>(v.object());
}
inline FileObject* asFile(const Value& v) { return static_cast<FileObject*>(v.object()); }

template <class T>
T* allocate(Type type) {
  T* object = new T();
  object->refs = 1;
  object->type = type;
  object->immortal = false;
  return object;
}

// Symbol table: interned symbols by upper-case name; ids are dense from 0.
std::uint32_t symbolCount();
Value symbolById(std::uint32_t id);
inline std::uint32_t symbolId(const Value& symbol) { return asSymbol(symbol)->id; }

// Upper-cases ASCII letters (the host folds only those).
std::string upperCase(std::string_view text);

}  // namespace tabrik::lisp::detail
