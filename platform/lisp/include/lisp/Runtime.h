// One AutoLISP namespace: the symbol values of one drawing, the evaluator and the
// entry points the host uses (evaluate, load, call by name). Many runtimes may live
// in one process; symbols are shared, their values are per runtime.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lisp/HostServices.h"
#include "lisp/LispError.h"
#include "lisp/Value.h"

namespace tabrik::lisp {

class Runtime;

// A builtin (SUBR): receives its arguments already evaluated; throws LispError to fail.
using Args = std::span<const Value>;
using BuiltinFunction = std::function<Value(Runtime& runtime, Args args)>;

// A call of an external function (EXRXSUBR) registered with defineExternal.
struct ExternalCall {
  Value name;    // the function's symbol
  int code = 0;  // the code given to defineExternal
  Args args;     // evaluated arguments
};

class ExternalDispatcher {
 public:
  virtual ~ExternalDispatcher() = default;
  // Returns the call's value; throws LispError to make it an evaluation error.
  virtual Value callExternal(Runtime& runtime, const ExternalCall& call) = 0;
};

// How a top-level entry point treats an error that reaches it.
enum class ErrorReport {
  Print,   // call *error* when it is a function, else print "; error: <msg>"
  Silent,  // neither: only return the message
};

// The result of a top-level entry point.
struct Outcome {
  bool ok = true;
  Value value;        // the value of the last form (ok), or nil
  std::string error;  // the message, without "; error: " (not ok)
  // Set when *error* handled the error: what it returned, which a command line
  // echoes as it echoes any result (handlers end in (princ) to show nothing).
  bool errorHandled = false;
  Value handlerValue;
};

class Runtime {
 public:
  // services may be null: the runtime then uses its own default HostServices.
  // The services and dispatcher must outlive the runtime.
  explicit Runtime(HostServices* services = nullptr);
  ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  HostServices& services() noexcept { return *m_services; }
  void setServices(HostServices* services);  // null: back to the defaults
  void setExternalDispatcher(ExternalDispatcher* dispatcher) noexcept { m_dispatcher = dispatcher; }
  ExternalDispatcher* externalDispatcher() const noexcept { return m_dispatcher; }

  // --- definitions
  // Binds the upper-cased name to a new SUBR in this runtime.
  void defineBuiltin(std::string_view name, BuiltinFunction function);
  // Binds the upper-cased name to an EXRXSUBR carrying code; replaces any value.
  void defineExternal(std::string_view name, int code);
  // Unbinds name if it is still an external function; true when it was.
  bool undefineExternal(std::string_view name);
  // Whether (vl-acad-defun 'name) exposed a LISP function under that name.
  bool isAcadDefun(std::string_view name) const;

  // --- symbol values (dynamic bindings included: the current value)
  Value symbolValue(std::string_view name) const;
  Value symbolValue(const Value& symbol) const;
  void setSymbolValue(std::string_view name, Value value);
  void setSymbolValue(const Value& symbol, Value value);

  // --- evaluation, errors thrown as LispError (no *error*, nothing printed
  //     unless an enclosing top-level entry point reports it)
  Value eval(const Value& form);
  // Applies a function value (SUBR, USUBR, EXRXSUBR, or a lambda list) to evaluated
  // arguments; a symbol is looked up first.
  Value apply(const Value& function, Args args);

  // --- top-level entry points: the *error* protocol and "; error:" reporting
  Outcome evaluateTopLevel(const Value& form, ErrorReport report = ErrorReport::Print);
  // Reads and evaluates every form of source in order; stops at the first error.
  Outcome evaluateString(std::string_view source, ErrorReport report = ErrorReport::Print);
  // What (load path) and `tabrik run` do with a file: evaluate its forms in order;
  // on an error, report it and abandon the rest. A file that cannot be read is an
  // error "LOAD failed: \"path\"". The path is used as given (no search).
  Outcome loadFile(const std::string& path, ErrorReport report = ErrorReport::Print);
  // acedInvoke: calls the function bound to name (USUBR, SUBR, EXRXSUBR or a
  // defun-q list) with values; the caller decides which names are reachable.
  Outcome callFunction(std::string_view name, Args args, ErrorReport report = ErrorReport::Print);

  // --- output (through the services)
  void print(std::string_view utf8) { m_services->write(utf8); }

  // --- for builtins: raise an evaluation error with message
  [[noreturn]] void fail(std::string message);

  // The evaluator's own state (binding stack, error boundaries, initget settings);
  // defined and used only inside the runtime.
  struct State;
  State& state() noexcept { return *m_state; }

 private:
  HostServices* m_services = nullptr;
  std::unique_ptr<HostServices> m_ownServices;
  ExternalDispatcher* m_dispatcher = nullptr;
  std::unique_ptr<State> m_state;
};

// Makes the running evaluation (of any runtime in the process) fail with
// "Function cancelled" at its next step, as Escape does. Async-signal-safe: a
// SIGINT handler may call it.
void requestInterrupt() noexcept;
// Drops a pending request (an Escape pressed while nothing was running).
void clearInterrupt() noexcept;
// Whether a request is pending; it stays pending for the evaluation to see.
bool isInterruptRequested() noexcept;

// --- argument helpers for builtins (the host's included): the host's own messages.
// Fails with "too few arguments" / "too many arguments" unless min <= n <= max.
void checkArgCount(Args args, std::size_t min, std::size_t max);
const std::string& stringArg(const Value& v);  // else bad argument type: stringp
std::int32_t intArg(const Value& v);           // else bad argument type: fixnump:
double numberArg(const Value& v);              // else bad argument type: numberp:
// A point of 2 or 3 numbers as (x y z), z 0 for a 2D point;
// else bad argument type: 2D/3D point:
std::array<double, 3> pointArg(const Value& v);

}  // namespace tabrik::lisp
