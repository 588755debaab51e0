// The user-input functions (getpoint & co, initget, entsel, nentsel): each checks
// its LISP arguments, hands one InputRequest to the host and turns the reply into
// the function's value. initget's settings apply to the next request only.
#include "RuntimeInternal.h"

namespace tabrik::lisp {

namespace {

// Arguments of the form [pt] [msg] in either order of presence.
void pointAndPrompt(Args a, InputRequest& request, bool pointRequired) {
  checkArgCount(a, pointRequired ? 1 : 0, 2);
  for (const Value& v : a) {
    if (v.isString()) {
      request.prompt = v.asString();
    } else if (v.isTrue()) {
      request.base = pointArg(v);
    }
  }
  if (pointRequired && !request.base) pointArg(a[0]);
}

void promptOnly(Args a, InputRequest& request) {
  checkArgCount(a, 0, 1);
  if (!a.empty() && a[0].isTrue()) request.prompt = stringArg(a[0]);
}

Value ask(Runtime& rt, InputRequest& request) {
  Runtime::State& state = rt.state();
  request.initgetBits = std::exchange(state.initgetBits, 0);
  request.keywords = std::exchange(state.initgetKeywords, std::string());
  InputReply reply = rt.services().requestInput(rt, request);
  switch (reply.status) {
    case InputStatus::Normal:
    case InputStatus::Keyword:
      return reply.value;
    case InputStatus::None:
      return Value();
    case InputStatus::Cancel:
      break;
  }
  rt.fail(std::string(messages::kFunctionCancelled));
}

template <InputKind kKind, bool kPoint, bool kPointRequired>
Value getWithPoint(Runtime& rt, Args a) {
  InputRequest request;
  request.kind = kKind;
  if (kPoint)
    pointAndPrompt(a, request, kPointRequired);
  else
    promptOnly(a, request);
  return ask(rt, request);
}

Value bi_getstring(Runtime& rt, Args a) {
  checkArgCount(a, 0, 2);
  InputRequest request;
  request.kind = InputKind::String;
  if (a.size() == 1 && a[0].isString()) {
    request.prompt = a[0].asString();
  } else if (!a.empty()) {
    request.allowSpaces = a[0].isTrue();
    if (a.size() == 2 && a[1].isTrue()) request.prompt = stringArg(a[1]);
  }
  return ask(rt, request);
}

Value bi_initget(Runtime& rt, Args a) {
  checkArgCount(a, 0, 2);
  Runtime::State& state = rt.state();
  state.initgetBits = 0;
  state.initgetKeywords.clear();
  for (const Value& v : a) {
    if (v.isInt())
      state.initgetBits = v.asInt();
    else if (v.isString())
      state.initgetKeywords = v.asString();
    else if (v.isTrue())
      throwBadArgumentType("stringp", v);
  }
  return Value();
}

}  // namespace

void installInputBuiltins(Runtime& rt) {
  defineNative(rt, "GETPOINT", getWithPoint<InputKind::Point, true, false>);
  defineNative(rt, "GETCORNER", getWithPoint<InputKind::Corner, true, true>);
  defineNative(rt, "GETDIST", getWithPoint<InputKind::Distance, true, false>);
  defineNative(rt, "GETANGLE", getWithPoint<InputKind::Angle, true, false>);
  defineNative(rt, "GETORIENT", getWithPoint<InputKind::Orientation, true, false>);
  defineNative(rt, "GETINT", getWithPoint<InputKind::Integer, false, false>);
  defineNative(rt, "GETREAL", getWithPoint<InputKind::Real, false, false>);
  defineNative(rt, "GETKWORD", getWithPoint<InputKind::Keyword, false, false>);
  defineNative(rt, "ENTSEL", getWithPoint<InputKind::EntSel, false, false>);
  defineNative(rt, "NENTSEL", getWithPoint<InputKind::NEntSel, false, false>);
  defineNative(rt, "GETSTRING", bi_getstring);
  defineNative(rt, "INITGET", bi_initget);
}

}  // namespace tabrik::lisp
