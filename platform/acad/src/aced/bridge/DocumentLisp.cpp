// A document's LISP environment: the runtime, its host services and the dispatch of
// external functions to the handlers modules registered.
#include "aced/bridge/DocumentLisp.h"

#include <afx.h>

#include <cstdlib>
#include <vector>

#include "acedads.h"
#include "aced/ads/ExternalCall.h"
#include "acdb/acut/WideText.h"
#include "aced/bridge/CommandFunctions.h"
#include "aced/bridge/EntityFunctions.h"
#include "aced/bridge/HostFunctions.h"
#include "aced/bridge/InputFunctions.h"
#include "aced/bridge/LispResbuf.h"
#include "aced/bridge/SelectionFunctions.h"
#include "aced/bridge/TableFunctions.h"
#include "aced/command/CommandEngine.h"
#include "aced/doc/DocManager.h"
#include "acdb/acut/Console.h"
#include "aced/host/HostState.h"
#include "aced/host/HostVariables.h"
#include "aced/input/UserInput.h"
#include "aced/select/Selection.h"

namespace tabrik::acad {

using lisp::Value;

namespace {

// The environments whose runtimes are calling external functions, innermost last.
std::vector<DocumentLisp*> g_callers;

class CallerScope {
 public:
  explicit CallerScope(DocumentLisp* lisp) { g_callers.push_back(lisp); }
  ~CallerScope() { g_callers.pop_back(); }
};

std::unique_ptr<LispEnvironment> makeDocumentLisp(Document&) {
  return std::make_unique<DocumentLisp>();
}

// The values of one call from LISP: its arguments rebuild the chain for a handler
// that asks more than once, and the list it returns is converted as it is returned.
class LispCallValues final : public CallValues {
 public:
  explicit LispCallValues(lisp::Args args) : m_args(args) {}
  resbuf* rebuildArguments() override {
    try {
      return lispArgumentsToResbuf(m_args.data(), m_args.size());
    } catch (...) {
      // Defensive: these values crossed once already; only memory can run out.
      return nullptr;
    }
  }
  bool takeList(const resbuf* list) override {
    try {
      m_list = resbufListToLisp(list);
      return true;
    } catch (...) {
      return false;
    }
  }
  const Value& list() const { return m_list; }

 private:
  lisp::Args m_args;
  Value m_list;
};

Value callResult(const ExternalCall& call, const LispCallValues& values) {
  switch (call.kind) {
    case ExternalCall::Result::kNil:
      return Value();
    case ExternalCall::Result::kVoid:
      return Value::nullSymbol();
    case ExternalCall::Result::kValue:
      return call.result ? resbufToLispValue(*call.result) : Value();
    case ExternalCall::Result::kList:
      return call.result ? resbufListToLisp(call.result.get()) : values.list();
  }
  return Value();
}

// Host built-ins that modules may call through acedInvoke, as the host implements
// them as external functions.
bool isInvocableBuiltin(const std::string& upperName) {
  return upperName == "STARTAPP" || upperName == "ACAD_COLORDLG";
}

std::string upperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

void releaseString(resbuf& rb) {
  if (rb.restype == RTSTR) std::free(rb.resval.rstring);
  rb.resval.rstring = nullptr;
}

}  // namespace

void installLispBridge() { setLispEnvironmentFactory(makeDocumentLisp); }

DocumentLisp* callingLisp() {
  if (!g_callers.empty()) return g_callers.back();
  return lispOf(docManager().current());
}

DocumentLisp* lispOf(Document* document) {
  return document ? dynamic_cast<DocumentLisp*>(document->lisp()) : nullptr;
}

DocumentLisp::DocumentLisp() : m_runtime(std::make_unique<lisp::Runtime>(this)) {
  m_runtime->setExternalDispatcher(this);
  installHostFunctions(*m_runtime);
  installSelectionFunctions(*m_runtime);
  installInputFunctions(*m_runtime);
  installEntityFunctions(*m_runtime);
  installTableFunctions(*m_runtime);
  installCommandFunctions(*m_runtime);
}

DocumentLisp::~DocumentLisp() = default;

Document* DocumentLisp::document() const {
  for (const auto& open : docManager().documents()) {
    if (open->lisp() == this) return open.get();
  }
  return nullptr;
}

void DocumentLisp::defineExternal(const std::wstring& name, int code) {
  m_runtime->defineExternal(toUtf8(name), code);
}

void DocumentLisp::undefineExternal(const std::wstring& name) {
  m_runtime->undefineExternal(toUtf8(name));
}

Value DocumentLisp::callExternal(lisp::Runtime& runtime, const lisp::ExternalCall& call) {
  const std::string& name = call.name.symbolName();
  resbuf* args = lispArgumentsToResbuf(call.args.data(), call.args.size());
  // Handlers act on the current document; its table has the function when the
  // module is loaded there, else the function's own document answers (which is the
  // current one whenever this environment is its LISP: no lookup then).
  Document* target = docManager().current();
  if (target == nullptr ||
      (target->lisp() != this && target->codeOf(fromUtf8(name)) != call.code)) {
    target = document();
  }
  if (target == nullptr || target->handler(call.code) == nullptr) {
    acutRelRb(args);
    runtime.fail("no function definition: " + name);
  }
  Busy busy(*this);
  CallerScope caller(this);
  ExternalCall frame;
  LispCallValues values(call.args);
  frame.values = &values;
  int status = RSERR;
  try {
    status = runExternal(*target, call.code, args, frame);
  } catch (lisp::LispError&) {
    throw;
  } catch (CException* exception) {
    // The module has reported it; the host only ends the evaluation.
    exception->Delete();
    runtime.fail(kExternalFailedMessage);
  } catch (...) {
    runtime.fail(kExternalFailedMessage);
  }
  if (status == RSRSLT || status == RTNORM) return callResult(frame, values);
  runtime.fail(kExternalFailedMessage);
}

int DocumentLisp::invoke(const resbuf* args, resbuf** result) {
  DocumentLisp* caller = !g_callers.empty() ? g_callers.back() : this;
  lisp::Runtime& runtime = caller->runtime();
  std::string name = upperAscii(toUtf8(args->resval.rstring));
  Value function = runtime.symbolValue(name);
  bool reachable = function.type() == lisp::Type::Usubr ||
                   function.type() == lisp::Type::Exrxsubr ||
                   (function.type() == lisp::Type::Subr && isInvocableBuiltin(name));
  if (!reachable) return RTERROR;
  std::vector<Value> values = resbufToLispArguments(args->rbnext);
  Busy busy(*caller);
  lisp::Outcome outcome = runtime.callFunction(name, values, lisp::ErrorReport::Print);
  if (!outcome.ok) return RTERROR;
  if (outcome.value.isNil()) return RTNORM;
  try {
    *result = lispValueToResbuf(outcome.value);
  } catch (lisp::LispError&) {
    // A value that cannot cross (a symbol, a function) comes back as nil.
    *result = nullptr;
  }
  return RTNORM;
}

int DocumentLisp::evaluate(const std::wstring& text, resbuf** result) {
  Busy busy(*this);
  lisp::Outcome outcome = m_runtime->evaluateString(toUtf8(text), lisp::ErrorReport::Print);
  if (!outcome.ok) return RTERROR;
  if (outcome.value.isNil()) return RTNORM;
  try {
    *result = lispValueToResbuf(outcome.value);
  } catch (lisp::LispError&) {
    *result = nullptr;
  }
  return RTNORM;
}

void DocumentLisp::execute(const std::wstring& line) {
  std::string text = toUtf8(line);
  size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos && !command::isCommandActive()) return;
  Busy busy(*this);
  if (first != std::string::npos && text[first] == '!') {
    lisp::Outcome outcome =
        m_runtime->evaluateString(text.substr(first + 1), lisp::ErrorReport::Print);
    if (outcome.ok) writeConsole("\n" + outcome.value.toPrin1String() + "\n");
    return;
  }
  command::runCommandLine(text, *m_runtime);
}

bool DocumentLisp::getVariable(const std::wstring& name, resbuf* value) {
  Value found = lisp::HostServices::getVariable(*m_runtime, toUtf8(name));
  if (found.isNil()) return false;
  resbuf* chain = nullptr;
  try {
    chain = lispValueToResbuf(found);
  } catch (lisp::LispError&) {
    return false;
  }
  if (chain == nullptr || chain->restype == RTLB) {
    acutRelRb(chain);
    return false;
  }
  value->restype = chain->restype;
  value->resval = chain->resval;
  chain->restype = RTNONE;  // the string now belongs to value
  acutRelRb(chain);
  return true;
}

bool DocumentLisp::atLineStart() const { return consoleAtLineStart(); }

void DocumentLisp::writeOutput(std::string_view utf8) { writeConsole(utf8); }

Value DocumentLisp::getVariable(lisp::Runtime& runtime, std::string_view name) {
  resbuf rb{};
  if (!getHostVariable(fromUtf8(name), &rb)) return lisp::HostServices::getVariable(runtime, name);
  Value value = resbufToLispValue(rb);
  releaseString(rb);
  return value;
}

lisp::SetVariableStatus DocumentLisp::setVariable(lisp::Runtime& runtime, std::string_view name,
                                                  const Value& value) {
  resbuf* chain = nullptr;
  try {
    chain = lispValueToResbuf(value);
  } catch (lisp::LispError&) {
    return lisp::SetVariableStatus::Rejected;
  }
  int status = chain ? setHostVariable(fromUtf8(name), *chain) : RTERROR;
  acutRelRb(chain);
  if (status == RTNORM) return lisp::SetVariableStatus::Ok;
  if (status == RTREJ) return lisp::SetVariableStatus::Rejected;
  return lisp::HostServices::setVariable(runtime, name, value);
}

std::optional<std::string> DocumentLisp::findFile(std::string_view name) {
  std::optional<std::wstring> found = findHostFile(fromUtf8(name));
  if (!found) return std::nullopt;
  return toUtf8(*found);
}

lisp::InputReply DocumentLisp::requestInput(lisp::Runtime& runtime,
                                            const lisp::InputRequest& request) {
  InputQuery query;
  switch (request.kind) {
    case lisp::InputKind::Point:
      query.want = InputWant::kPoint;
      break;
    case lisp::InputKind::Corner:
      query.want = InputWant::kCorner;
      break;
    case lisp::InputKind::String:
      query.want = InputWant::kString;
      break;
    case lisp::InputKind::Integer:
      query.want = InputWant::kInteger;
      break;
    case lisp::InputKind::Real:
      query.want = InputWant::kReal;
      break;
    case lisp::InputKind::Distance:
      query.want = InputWant::kDistance;
      break;
    case lisp::InputKind::Angle:
      query.want = InputWant::kAngle;
      break;
    case lisp::InputKind::Orientation:
      query.want = InputWant::kOrientation;
      break;
    case lisp::InputKind::Keyword:
      query.want = InputWant::kKeyword;
      break;
    case lisp::InputKind::EntSel:
    case lisp::InputKind::NEntSel:
      query.want = InputWant::kPoint;
      break;
  }
  query.prompt = request.prompt;
  query.base = request.base;
  query.allowSpaces = request.allowSpaces;
  query.initgetBits = request.initgetBits;
  query.keywords = request.keywords;
  InputAnswer answer = requestUserInput(query);
  lisp::InputReply reply;
  switch (answer.status) {
    case RTCAN:
      reply.status = lisp::InputStatus::Cancel;
      return reply;
    case RTNONE:
      // Enter at an entity prompt: ERRNO tells it from a miss (7), as programs loop on that.
      if (request.kind == lisp::InputKind::EntSel || request.kind == lisp::InputKind::NEntSel) {
        hostState().errnoValue = 52;
      }
      reply.status = lisp::InputStatus::None;
      return reply;
    case RTKWORD:
      reply.status = lisp::InputStatus::Keyword;
      reply.value = Value::string(answer.text);
      return reply;
    default:
      break;
  }
  reply.status = lisp::InputStatus::Normal;
  switch (request.kind) {
    case lisp::InputKind::Point:
    case lisp::InputKind::Corner:
      reply.value = Value::point(answer.point[0], answer.point[1], answer.point[2]);
      break;
    case lisp::InputKind::String:
      reply.value = Value::string(answer.text);
      break;
    case lisp::InputKind::Integer:
      reply.value = Value::integer(answer.integer);
      break;
    case lisp::InputKind::Keyword:
      reply.value = Value::string(answer.text);
      break;
    case lisp::InputKind::EntSel:
    case lisp::InputKind::NEntSel: {
      Value point = Value::point(answer.point[0], answer.point[1], answer.point[2]);
      std::optional<AcDbObjectId> picked =
          pickEntity(acdbHostApplicationServices()->workingDatabase(), answer.point);
      ads_name name;
      if (!picked || !entityName(*picked, name)) {
        hostState().errnoValue = 7;
        reply.status = lisp::InputStatus::None;
        break;
      }
      lisp::AdsName entity;
      entity.word[0] = name[0];
      entity.word[1] = name[1];
      reply.value = Value::list({Value::ename(entity), point});
      break;
    }
    default:
      reply.value = Value::real(answer.real);
      break;
  }
  return reply;
}

void DocumentLisp::alert(lisp::Runtime&, std::string_view message) {
  acedAlert(fromUtf8(message).c_str());
}

}  // namespace tabrik::acad
