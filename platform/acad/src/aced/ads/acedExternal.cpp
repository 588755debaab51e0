// External functions: registration per document (acedDefun, acedUndef, acedRegFunc),
// the arguments of the running call and its result (acedGetArgs, acedRetXxx).
#include <vector>

#include "acedads.h"
#include "aced/ads/ExternalCall.h"
#include "aced/doc/DocManager.h"
#include "aced/module/Modules.h"

namespace tabrik::acad {

namespace {
std::vector<ExternalCall*> g_calls;

class CallScope {
 public:
  explicit CallScope(ExternalCall* call) { g_calls.push_back(call); }
  ~CallScope() { g_calls.pop_back(); }
};
}  // namespace

ExternalCall* currentExternalCall() { return g_calls.empty() ? nullptr : g_calls.back(); }

int runExternal(Document& document, int code, resbuf* args, ExternalCall& call) {
  call.code = code;
  call.args.reset(args);
  call.kind = ExternalCall::Result::kNil;
  call.result.reset();
  ExternalHandler handler = document.handler(code);
  if (handler == nullptr) return RTERROR;
  CallScope scope(&call);
  RunningModuleScope running(document.handlerOwner(code));
  return handler();
}

}  // namespace tabrik::acad

using tabrik::acad::currentExternalCall;
using tabrik::acad::docManager;
using tabrik::acad::ExternalCall;

int acedDefun(const ACHAR* name, int code) {
  tabrik::acad::Document* document = docManager().current();
  if (document == nullptr || name == nullptr) return RTERROR;
  return document->defun(name, code, tabrik::acad::runningModule());
}

int acedUndef(const ACHAR* name, int code) {
  tabrik::acad::Document* document = docManager().current();
  if (document == nullptr || name == nullptr) return RTERROR;
  return document->undef(name, code);
}

int acedRegFunc(int (*handler)(void), int code) {
  tabrik::acad::Document* document = docManager().current();
  if (document == nullptr) return RTERROR;
  return document->regFunc(handler, code, tabrik::acad::runningModule());
}

int acedGetFunCode() {
  ExternalCall* call = currentExternalCall();
  return call ? call->code : RTERROR;
}

resbuf* acedGetArgs() {
  ExternalCall* call = currentExternalCall();
  if (call == nullptr) return nullptr;
  if (call->values != nullptr) {
    // The chain built for the call goes to the first taker; the handler releases it.
    if (call->args != nullptr) return call->args.release();
    return call->values->rebuildArguments();
  }
  if (call->args == nullptr) return nullptr;
  return tabrik::acad::copyResbufChain(call->args.get());
}

namespace {

int setResult(ExternalCall::Result kind, resbuf* value) {
  ExternalCall* call = currentExternalCall();
  if (call == nullptr) {
    acutRelRb(value);
    return RTERROR;
  }
  call->kind = kind;
  call->result.reset(value);
  return RTNORM;
}

int setSingle(resbuf* value) {
  if (value == nullptr) return RTERROR;
  return setResult(ExternalCall::Result::kValue, value);
}

}  // namespace

int acedRetNil() { return setResult(ExternalCall::Result::kNil, nullptr); }
int acedRetVoid() { return setResult(ExternalCall::Result::kVoid, nullptr); }
int acedRetT() { return setSingle(acutNewRb(RTT)); }

int acedRetInt(int value) {
  resbuf* rb = acutNewRb(RTLONG);
  if (rb != nullptr) rb->resval.rlong = value;
  return setSingle(rb);
}

int acedRetReal(ads_real value) {
  resbuf* rb = acutNewRb(RTREAL);
  if (rb != nullptr) rb->resval.rreal = value;
  return setSingle(rb);
}

int acedRetStr(const ACHAR* value) {
  resbuf* rb = acutNewRb(RTSTR);
  if (rb != nullptr) rb->resval.rstring = acutNewString(value);
  return setSingle(rb);
}

int acedRetPoint(const ads_point value) {
  if (value == nullptr) return RTERROR;
  resbuf* rb = acutNewRb(RT3DPOINT);
  if (rb != nullptr) {
    for (int i = 0; i < 3; ++i) rb->resval.rpoint[i] = value[i];
  }
  return setSingle(rb);
}

int acedRetName(const ads_name value, int type) {
  if (value == nullptr || (type != RTENAME && type != RTPICKS)) return RTERROR;
  resbuf* rb = acutNewRb(type);
  if (rb != nullptr) {
    rb->resval.rlname[0] = value[0];
    rb->resval.rlname[1] = value[1];
  }
  return setSingle(rb);
}

int acedRetVal(const resbuf* value) {
  if (value == nullptr) return RTERROR;
  if (value->restype == RTNIL) return acedRetNil();
  if (value->restype == RTVOID) return acedRetVoid();
  return setSingle(tabrik::acad::copyResbuf(value));
}

int acedRetList(const resbuf* list) {
  if (list == nullptr) return acedRetNil();
  ExternalCall* call = currentExternalCall();
  if (call != nullptr && call->values != nullptr) {
    if (!call->values->takeList(list)) return RTERROR;
    return setResult(ExternalCall::Result::kList, nullptr);
  }
  resbuf* copy = tabrik::acad::copyResbufChain(list);
  if (copy == nullptr) return RTERROR;
  return setResult(ExternalCall::Result::kList, copy);
}
