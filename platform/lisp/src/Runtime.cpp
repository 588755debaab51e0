// The evaluator and the runtime's entry points. Builtins live in the Builtins*.cpp
// files; the reader and printer in their own files.
#include "lisp/Runtime.h"

#include <pthread.h>

#include <array>
#include <fstream>
#include <sstream>

#include "Printer.h"
#include "RuntimeInternal.h"
#include "lisp/Reader.h"

namespace tabrik::lisp {

using namespace detail;

namespace {

std::atomic<bool> g_interrupt{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the SIGINT handler needs a lock-free flag");

// Headroom kept free below the deepest evaluation: what one evaluation step, a
// builtin, the printer and an *error* handler call may need.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kStackReserve = 1024 * 1024;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr std::size_t kStackReserve = 1024 * 1024;
#else
constexpr std::size_t kStackReserve = 256 * 1024;
#endif
#else
constexpr std::size_t kStackReserve = 256 * 1024;
#endif
constexpr int kDepthLimitWithoutStackInfo = 20000;

// Lowest usable stack address of this thread plus the reserve; 0 when unknown.
std::uintptr_t stackFloor() {
  thread_local std::uintptr_t floor = [] {
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) != 0) return std::uintptr_t{0};
    void* low = nullptr;
    std::size_t size = 0;
    int rc = pthread_attr_getstack(&attr, &low, &size);
    pthread_attr_destroy(&attr);
    // An unlimited main-thread stack reports an arbitrary size: count depth instead.
    constexpr std::size_t kLargestTrustedStack = std::size_t{1} << 30;
    if (rc != 0 || size <= 2 * kStackReserve || size > kLargestTrustedStack)
      return std::uintptr_t{0};
    return reinterpret_cast<std::uintptr_t>(low) + kStackReserve;
  }();
  return floor;
}

constexpr std::string_view kStackLimit = "internal stack limit reached (simulated)";

// Counts evaluation depth and refuses to go deeper than the C++ stack allows.
class DepthGuard {
 public:
  explicit DepthGuard(Runtime& runtime) : m_state(runtime.state()) {
    ++m_state.depth;
    std::uintptr_t floor = stackFloor();
    // *error* runs at the point of failure, possibly right at the limit: it may
    // use half of the reserve.
    if (floor && m_state.inErrorHandler) floor -= kStackReserve / 2;
    int depthLimit = kDepthLimitWithoutStackInfo + (m_state.inErrorHandler ? 1000 : 0);
    // The frame address, not a local's: with stack-use-after-return checking a
    // sanitizer moves locals to a heap-allocated fake stack.
    auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    bool tooDeep = floor ? here < floor : m_state.depth > depthLimit;
    if (tooDeep) {
      --m_state.depth;
      runtime.fail(std::string(kStackLimit));
    }
  }
  ~DepthGuard() { --m_state.depth; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  Runtime::State& m_state;
};

// Arguments of one call: on the C++ stack for the common small counts.
class ArgBuffer {
 public:
  explicit ArgBuffer(std::size_t n) : m_size(n) {
    if (n > m_local.size()) m_heap.resize(n);
  }
  Value* data() { return m_size > m_local.size() ? m_heap.data() : m_local.data(); }
  Args span() { return Args(data(), m_size); }

 private:
  std::size_t m_size;
  std::array<Value, 6> m_local;
  std::vector<Value> m_heap;
};

const Value& symLambda() {
  static const Value s = Value::symbol("LAMBDA");
  return s;
}

const Value& symError() {
  static const Value s = Value::symbol("*ERROR*");
  return s;
}

}  // namespace

bool takeInterrupt() noexcept {
  return g_interrupt.load(std::memory_order_relaxed) && g_interrupt.exchange(false);
}

void requestInterrupt() noexcept { g_interrupt.store(true, std::memory_order_relaxed); }

void clearInterrupt() noexcept { g_interrupt.store(false, std::memory_order_relaxed); }

bool isInterruptRequested() noexcept { return g_interrupt.load(std::memory_order_relaxed); }

void defineNative(Runtime& runtime, std::string_view name, NativeBuiltin function,
                  int specialForm) {
  auto* subr = allocate<SubrObject>(Type::Subr);
  subr->name = Value::symbol(name);
  subr->native = function;
  subr->specialForm = specialForm;
  Value symbol = subr->name;
  runtime.setSymbolValue(symbol, Value::adopt(subr));
}

// ---------------------------------------------------------------- construction

Runtime::Runtime(HostServices* services) : m_state(std::make_unique<State>()) {
  setServices(services);
  setSymbolValue(Value::t(), Value::t());
  setSymbolValue("PI", Value::real(3.14159265358979323846));
  installCoreForms(*this);
  installCoreBuiltins(*this);
  installMathBuiltins(*this);
  installListBuiltins(*this);
  installStringBuiltins(*this);
  installConversionBuiltins(*this);
  installIoBuiltins(*this);
  installInputBuiltins(*this);
  installGeometryBuiltins(*this);
  installNamespaceBuiltins(*this);
  registerRuntime(this);
}

Runtime::~Runtime() {
  unregisterRuntime(this);
  // Values may refer to each other in cycles through symbols only by name, never by
  // reference, so clearing the slots frees everything.
  m_state->saved.clear();
  m_state->values.clear();
}

void Runtime::setServices(HostServices* services) {
  if (services) {
    m_services = services;
    return;
  }
  if (!m_ownServices) m_ownServices = std::make_unique<HostServices>();
  m_services = m_ownServices.get();
}

void Runtime::defineBuiltin(std::string_view name, BuiltinFunction function) {
  auto* subr = allocate<SubrObject>(Type::Subr);
  subr->name = Value::symbol(name);
  subr->native = nullptr;
  subr->function = std::move(function);
  subr->specialForm = 0;
  Value symbol = subr->name;
  setSymbolValue(symbol, Value::adopt(subr));
}

void Runtime::defineExternal(std::string_view name, int code) {
  auto* external = allocate<ExternalObject>(Type::Exrxsubr);
  external->name = Value::symbol(name);
  external->code = code;
  Value symbol = external->name;
  setSymbolValue(symbol, Value::adopt(external));
}

bool Runtime::undefineExternal(std::string_view name) {
  Value symbol = Value::symbol(name);
  if (symbolValue(symbol).type() != Type::Exrxsubr) return false;
  setSymbolValue(symbol, Value());
  return true;
}

bool Runtime::isAcadDefun(std::string_view name) const {
  return m_state->acadDefuns.count(symbolId(Value::symbol(name))) != 0;
}

Value Runtime::symbolValue(std::string_view name) const { return symbolValue(Value::symbol(name)); }

Value Runtime::symbolValue(const Value& symbol) const {
  if (symbol.isNil()) return Value();
  return m_state->slot(symbolId(symbol));
}

void Runtime::setSymbolValue(std::string_view name, Value value) {
  setSymbolValue(Value::symbol(name), std::move(value));
}

void Runtime::setSymbolValue(const Value& symbol, Value value) {
  if (symbol.isNil()) return;
  m_state->slot(symbolId(symbol)) = std::move(value);
}

void Runtime::fail(std::string message) {
  LispError error(message);
  noticeError(*this, error);
  throw error;
}

// ---------------------------------------------------------------- errors

void noticeError(Runtime& runtime, LispError& error) {
  Runtime::State& state = runtime.state();
  if (error.reported) return;
  if (state.boundary == Boundary::Catch || state.boundary == Boundary::None) return;
  error.reported = true;
  if (state.boundary == Boundary::Silent) return;
  HostServices& services = runtime.services();
  Value handler = runtime.symbolValue(symError());
  if (handler.isFunction() && !state.inErrorHandler) {
    // An error inside the handler is printed, never handed to the handler again.
    struct HandlerFlag {
      Runtime::State& state;
      explicit HandlerFlag(Runtime::State& s) : state(s) { state.inErrorHandler = true; }
      ~HandlerFlag() { state.inErrorHandler = false; }
    } flag(state);
    try {
      BoundaryScope silent(state, Boundary::Silent);
      Value message = Value::string(error.message());
      state.handlerValue = runtime.apply(handler, Args(&message, 1));
      state.errorHandled = true;
    } catch (const LispError& inner) {
      if (!services.atLineStart()) services.write("\n");
      services.write("; error: " + inner.message() + "\n");
    }
    return;
  }
  if (!services.atLineStart()) services.write("\n");
  services.write("; error: " + error.message() + "\n");
}

// ---------------------------------------------------------------- evaluation

Value evalBody(Runtime& runtime, const Value& body) {
  Value result;
  for (const Value& form : body) result = runtime.eval(form);
  return result;
}

namespace {

// A traced function's calls, one line each, indented by nesting:
//   Entering (FOO 3)
//     Entering (FOO 2)
//     Result:  2
//   Result:  6
class TraceScope {
 public:
  TraceScope(Runtime& runtime, const UsubrObject* usubr, Args args) : m_runtime(runtime) {
    Runtime::State& state = runtime.state();
    if (usubr->name.isNil() || state.traced.count(symbolId(usubr->name)) == 0) return;
    m_active = true;
    std::string call = "(" + usubr->name.symbolName();
    for (const Value& arg : args) call += " " + arg.toPrin1String();
    line("Entering " + call + ")");
    ++state.traceDepth;
  }
  void result(const Value& value) {
    if (!m_active) return;
    --m_runtime.state().traceDepth;
    m_active = false;
    line("Result:  " + value.toPrin1String());
  }
  ~TraceScope() {
    if (m_active) --m_runtime.state().traceDepth;
  }
  TraceScope(const TraceScope&) = delete;
  TraceScope& operator=(const TraceScope&) = delete;

 private:
  void line(const std::string& text) {
    HostServices& services = m_runtime.services();
    if (!services.atLineStart()) services.write("\n");
    services.write(std::string(2 * static_cast<std::size_t>(m_runtime.state().traceDepth), ' ') +
                   text + "\n");
  }
  Runtime& m_runtime;
  bool m_active = false;
};

Value callUsubr(Runtime& runtime, const Value& function, Args args) {
  const UsubrObject* usubr = asUsubr(function);
  if (args.size() < usubr->params.size()) runtime.fail(std::string(messages::kTooFewArguments));
  if (args.size() > usubr->params.size()) runtime.fail(std::string(messages::kTooManyArguments));
  Value keep = function;  // the body must outlive a redefinition while it runs
  std::optional<TraceScope> trace;
  if (!runtime.state().traced.empty()) trace.emplace(runtime, usubr, args);
  BindingScope scope(runtime.state());
  for (std::size_t i = 0; i < args.size(); ++i) scope.bind(usubr->params[i], args[i]);
  for (std::uint32_t local : usubr->locals) scope.bind(local, Value());
  Value result = evalBody(runtime, usubr->body);
  if (trace) trace->result(result);
  return result;
}

Value callNative(Runtime& runtime, const Value& function, Args args) {
  try {
    switch (function.type()) {
      case Type::Subr: {
        const SubrObject* subr = asSubr(function);
        return subr->native ? subr->native(runtime, args) : subr->function(runtime, args);
      }
      case Type::Exrxsubr: {
        ExternalDispatcher* dispatcher = runtime.externalDispatcher();
        if (!dispatcher) runtime.fail("no function definition: " + function.symbolName());
        ExternalCall call{asExternal(function)->name, function.externalCode(), args};
        return dispatcher->callExternal(runtime, call);
      }
      default:
        break;
    }
  } catch (LispError& error) {
    noticeError(runtime, error);
    throw;
  } catch (const std::bad_alloc&) {
    runtime.fail("insufficient memory");
  } catch (const std::exception& other) {
    runtime.fail(other.what());
  }
  runtime.fail("bad function: " + function.toPrin1String());
}

Value callFunctionValue(Runtime& runtime, const Value& function, Args args) {
  if (function.type() == Type::Usubr) return callUsubr(runtime, function, args);
  return callNative(runtime, function, args);
}

}  // namespace

// A list used as a function: (lambda params body...) or a defun-q definition
// (params body...).
Value listFunction(Runtime& runtime, const Value& list) {
  if (list.car().eq(symLambda()))
    return makeUsubr(runtime, Value(), list.cdr().car(), list.cdr().cdr());
  if (list.car().isList()) {
    try {
      return makeUsubr(runtime, Value(), list.car(), list.cdr());
    } catch (LispError&) {
      // not a parameter list after all: reported below as a bad function
    }
  }
  runtime.fail("bad function: " + list.toPrin1String());
}

Value resolveFunction(Runtime& runtime, const Value& function) {
  Value f = function;
  if (f.isSymbol()) {
    Value bound = runtime.symbolValue(f);
    if (bound.isNil()) runtime.fail("no function definition: " + f.symbolName());
    f = bound;
  }
  if (f.isCons()) return listFunction(runtime, f);
  if (!f.isFunction()) runtime.fail("bad function: " + f.toPrin1String());
  if (f.type() == Type::Subr && asSubr(f)->specialForm)
    runtime.fail("bad function: " + f.toPrin1String());
  return f;
}

Value Runtime::apply(const Value& function, Args args) {
  DepthGuard guard(*this);
  Value f = resolveFunction(*this, function);
  return callFunctionValue(*this, f, args);
}

Value Runtime::eval(const Value& form) {
  switch (form.type()) {
    case Type::Sym:
      return m_state->slot(symbolId(form));
    case Type::List:
      break;
    default:
      return form;
  }
  DepthGuard guard(*this);
  if (takeInterrupt()) fail(std::string(messages::kFunctionCancelled));

  const Value& head = form.car();
  Value function;
  if (head.isSymbol()) {
    function = m_state->slot(symbolId(head));
    if (function.isNil()) fail("no function definition: " + head.symbolName());
  } else {
    function = eval(head);
  }
  Type type = function.type();
  if (type == Type::Subr) {
    int special = asSubr(function)->specialForm;
    if (special) {
      try {
        return evalSpecialForm(*this, special, form.cdr());
      } catch (LispError& error) {
        noticeError(*this, error);
        throw;
      }
    }
  } else if (type == Type::List) {
    function = listFunction(*this, function);
  } else if (type != Type::Usubr && type != Type::Exrxsubr) {
    fail("bad function: " + function.toPrin1String());
  }

  // All arguments are evaluated before arity and types are checked.
  const Value& argForms = form.cdr();
  ArgBuffer args(argForms.length());
  Value* slot = args.data();
  for (const Value& argForm : argForms) *slot++ = eval(argForm);
  return callFunctionValue(*this, function, args.span());
}

// ---------------------------------------------------------------- entry points

namespace {

Outcome runGuarded(Runtime& runtime, ErrorReport report, const std::function<Value()>& body) {
  Runtime::State& state = runtime.state();
  BoundaryScope boundary(state, report == ErrorReport::Print ? Boundary::Report : Boundary::Silent);
  Outcome outcome;
  bool outerHandled = std::exchange(state.errorHandled, false);
  Value outerHandlerValue = std::exchange(state.handlerValue, Value());
  try {
    outcome.value = body();
  } catch (ExitWithValue& exit) {
    outcome.value = std::move(exit.value);
  } catch (LispError& error) {
    noticeError(runtime, error);
    outcome.ok = false;
    outcome.value = Value();
    outcome.error = error.message();
    outcome.errorHandled = state.errorHandled;
    outcome.handlerValue = state.handlerValue;
  }
  state.errorHandled = outerHandled;
  state.handlerValue = std::move(outerHandlerValue);
  return outcome;
}

}  // namespace

Value loadSource(Runtime& runtime, std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // UTF-8 byte order mark
  Reader reader(text);
  Value result;
  try {
    while (auto form = reader.next()) result = runtime.eval(form->value);
  } catch (ExitWithValue& exit) {
    return std::move(exit.value);
  }
  return result;
}

std::optional<std::string> readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return text.str();
}

Outcome Runtime::evaluateTopLevel(const Value& form, ErrorReport report) {
  return runGuarded(*this, report, [&] { return eval(form); });
}

Outcome Runtime::evaluateString(std::string_view source, ErrorReport report) {
  return runGuarded(*this, report, [&] { return loadSource(*this, source); });
}

Outcome Runtime::loadFile(const std::string& path, ErrorReport report) {
  return runGuarded(*this, report, [&] {
    auto text = readWholeFile(path);
    if (!text) fail("LOAD failed: " + Value::string(path).toPrin1String());
    return loadSource(*this, *text);
  });
}

Outcome Runtime::callFunction(std::string_view name, Args args, ErrorReport report) {
  return runGuarded(*this, report, [&] {
    Value symbol = Value::symbol(name);
    Value function = symbolValue(symbol);
    if (!function.isFunction() && !function.isCons())
      fail("no function definition: " + symbol.symbolName());
    return apply(function, args);
  });
}

}  // namespace tabrik::lisp
