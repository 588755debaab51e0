// The runtime's private state and the helpers its builtin files share.
//
// Binding model (shallow binding): each runtime has one value slot per interned
// symbol, indexed by the symbol's id. A dynamic binding (function parameter, local,
// foreach variable) saves the slot's old value on m_saved and restores it when the
// binding's scope ends, also when an error unwinds through it.
//
// Error boundaries: an error is reported (*error* called or "; error:" printed) at
// the moment it is raised when the innermost boundary reports errors, so *error*
// still sees the bindings of the functions that failed; vl-catch-all-apply pushes a
// boundary that catches silently.
#pragma once

#include <algorithm>
#include <atomic>
#include <optional>
#include <unordered_set>
#include <vector>

#include "Objects.h"
#include "lisp/Runtime.h"

namespace tabrik::lisp {

enum class Boundary { None, Report, Silent, Catch };

struct Runtime::State {
  std::vector<Value> values;  // by symbol id
  std::vector<std::pair<std::uint32_t, Value>> saved;
  Boundary boundary = Boundary::None;
  bool inErrorHandler = false;
  // What the last *error* call returned, for the top-level entry point.
  bool errorHandled = false;
  Value handlerValue;
  std::unordered_set<std::uint32_t> acadDefuns;
  std::unordered_set<std::uint32_t> traced;  // (trace f): calls of f are shown
  int traceDepth = 0;
  int initgetBits = 0;
  std::string initgetKeywords;
  int depth = 0;

  Value& slot(std::uint32_t id) {
    if (id >= values.size()) values.resize(std::max<std::size_t>(detail::symbolCount(), id + 1));
    return values[id];
  }
};

// Restores every binding made since construction.
class BindingScope {
 public:
  explicit BindingScope(Runtime::State& state) : m_state(state), m_mark(state.saved.size()) {}
  ~BindingScope() {
    while (m_state.saved.size() > m_mark) {
      auto& [id, old] = m_state.saved.back();
      m_state.values[id] = std::move(old);
      m_state.saved.pop_back();
    }
  }
  void bind(std::uint32_t id, Value value) {
    Value& slot = m_state.slot(id);
    m_state.saved.emplace_back(id, std::move(slot));
    slot = std::move(value);
  }
  BindingScope(const BindingScope&) = delete;
  BindingScope& operator=(const BindingScope&) = delete;

 private:
  Runtime::State& m_state;
  std::size_t m_mark;
};

class BoundaryScope {
 public:
  BoundaryScope(Runtime::State& state, Boundary boundary) : m_state(state), m_old(state.boundary) {
    state.boundary = boundary;
  }
  ~BoundaryScope() { m_state.boundary = m_old; }
  BoundaryScope(const BoundaryScope&) = delete;
  BoundaryScope& operator=(const BoundaryScope&) = delete;

 private:
  Runtime::State& m_state;
  Boundary m_old;
};

// Registers one of the runtime's own builtins.
void defineNative(Runtime& runtime, std::string_view name, detail::NativeBuiltin function,
                  int specialForm = 0);

// Builtin families, installed by the Runtime constructor.
void installCoreForms(Runtime& runtime);
void installCoreBuiltins(Runtime& runtime);
void installMathBuiltins(Runtime& runtime);
void installListBuiltins(Runtime& runtime);
void installStringBuiltins(Runtime& runtime);
void installConversionBuiltins(Runtime& runtime);
void installIoBuiltins(Runtime& runtime);
void installInputBuiltins(Runtime& runtime);
void installGeometryBuiltins(Runtime& runtime);
void installNamespaceBuiltins(Runtime& runtime);

// (vl-exit-with-value v) leaves the running application with v: the innermost load,
// vl-catch-all-apply or top-level evaluation answers v. Not an error: *error* is not
// called and nothing is printed.
struct ExitWithValue {
  Value value;
};

// Every live runtime (one per document), for vl-propagate.
void registerRuntime(Runtime* runtime);
void unregisterRuntime(Runtime* runtime);

// Evaluates the special form number `form` with unevaluated arguments.
Value evalSpecialForm(Runtime& runtime, int form, const Value& args);

// Evaluates a list of forms, the value of the last (nil for none).
Value evalBody(Runtime& runtime, const Value& body);

// Makes a USUBR from (params... / locals...) and body.
Value makeUsubr(Runtime& runtime, Value name, const Value& paramList, Value body);

// Called where an error is raised, before unwinding: reports it if the innermost
// boundary says so.
void noticeError(Runtime& runtime, LispError& error);

// Whether an interrupt is pending (and consumes it).
bool takeInterrupt() noexcept;

// A function value for apply/mapcar: symbol looked up, (lambda ...) lists made into USUBRs.
Value resolveFunction(Runtime& runtime, const Value& function);

// A lambda list or defun-q definition as a USUBR; else "bad function".
Value listFunction(Runtime& runtime, const Value& list);

// Reads and evaluates every form of text (the load path), errors propagate.
Value loadSource(Runtime& runtime, std::string_view text);
// wcmatch's pattern language (case-sensitive).
bool wildcardMatch(std::string_view text, std::string_view pattern);

// Reads a whole file; nothing when unreadable.
std::optional<std::string> readWholeFile(const std::string& path);

}  // namespace tabrik::lisp
