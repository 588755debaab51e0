// Special forms: the SUBRs that receive their arguments unevaluated (quote, setq, if,
// cond, while, repeat, foreach, progn, and, or, defun, defun-q, lambda, function).
#include <algorithm>

#include "RuntimeInternal.h"

namespace tabrik::lisp {

using namespace detail;

namespace {

enum Form {
  kQuote = 1,
  kFunction,
  kSetq,
  kIf,
  kCond,
  kWhile,
  kRepeat,
  kForeach,
  kProgn,
  kAnd,
  kOr,
  kDefun,
  kDefunQ,
  kLambda,
  kTrace,
  kUntrace,
};

[[noreturn]] void tooFew(Runtime& runtime) {
  runtime.fail(std::string(messages::kTooFewArguments));
}
[[noreturn]] void tooMany(Runtime& runtime) {
  runtime.fail(std::string(messages::kTooManyArguments));
}

const Value& symSlash() {
  static const Value s = Value::symbol("/");
  return s;
}

const Value& symLambda() {
  static const Value s = Value::symbol("LAMBDA");
  return s;
}

void checkInterrupt(Runtime& runtime) {
  if (takeInterrupt()) runtime.fail(std::string(messages::kFunctionCancelled));
}

Value evalSetq(Runtime& runtime, const Value& args) {
  if (args.isNil()) tooFew(runtime);
  Value result;
  for (const Value* cell = &args; cell->isCons(); cell = &cell->cdr().cdr()) {
    const Value& target = cell->car();
    if (!target.isSymbol()) throwBadArgumentType("symbolp", target);
    if (!cell->cdr().isCons()) tooFew(runtime);
    result = runtime.eval(cell->cdr().car());
    runtime.setSymbolValue(target, result);
  }
  return result;
}

Value evalIf(Runtime& runtime, const Value& args) {
  std::size_t n = args.length();
  if (n < 2) tooFew(runtime);
  if (n > 3) tooMany(runtime);
  if (runtime.eval(args.car()).isTrue()) return runtime.eval(args.cdr().car());
  return n == 3 ? runtime.eval(args.cdr().cdr().car()) : Value();
}

Value evalCond(Runtime& runtime, const Value& args) {
  for (const Value& clause : args) {
    if (!clause.isCons()) throwBadArgumentType("consp", clause);
    Value test = runtime.eval(clause.car());
    if (test.isNil()) continue;
    if (clause.cdr().isNil()) return test;
    return evalBody(runtime, clause.cdr());
  }
  return Value();
}

Value evalWhile(Runtime& runtime, const Value& args) {
  if (args.isNil()) tooFew(runtime);
  Value result;
  while (runtime.eval(args.car()).isTrue()) {
    checkInterrupt(runtime);
    result = evalBody(runtime, args.cdr());
  }
  return result;
}

Value evalRepeat(Runtime& runtime, const Value& args) {
  if (args.isNil()) tooFew(runtime);
  Value count = runtime.eval(args.car());
  if (!count.isInt()) throwBadArgumentType("fixnump:", count);
  Value result;
  for (std::int32_t i = 0; i < count.asInt(); ++i) {
    checkInterrupt(runtime);
    result = evalBody(runtime, args.cdr());
  }
  return result;
}

Value evalForeach(Runtime& runtime, const Value& args) {
  if (args.length() < 2) tooFew(runtime);
  const Value& name = args.car();
  if (!name.isSymbol()) throwBadArgumentType("symbolp", name);
  Value list = runtime.eval(args.cdr().car());
  if (!list.isList()) throwBadArgumentType("listp", list);
  BindingScope scope(runtime.state());
  scope.bind(symbolId(name), Value());
  Value result;
  std::uint32_t id = symbolId(name);
  for (const Value& item : list) {
    checkInterrupt(runtime);
    runtime.state().slot(id) = item;
    result = evalBody(runtime, args.cdr().cdr());
  }
  return result;
}

Value evalDefun(Runtime& runtime, const Value& args) {
  if (args.length() < 2) tooFew(runtime);
  const Value& name = args.car();
  if (!name.isSymbol()) throwBadArgumentType("symbolp", name);
  Value function = makeUsubr(runtime, name, args.cdr().car(), args.cdr().cdr());
  runtime.setSymbolValue(name, std::move(function));
  return name;
}

// defun-q keeps the function as a list ((params / locals) body...), which the
// evaluator calls like a lambda.
Value evalDefunQ(Runtime& runtime, const Value& args) {
  if (args.length() < 2) tooFew(runtime);
  const Value& name = args.car();
  if (!name.isSymbol()) throwBadArgumentType("symbolp", name);
  makeUsubr(runtime, name, args.cdr().car(), Value());  // validates the parameter list
  runtime.setSymbolValue(name, args.cdr());
  return name;
}

// (trace f ...) / (untrace f ...): the names are not evaluated; the last one is
// returned.
Value evalTrace(Runtime& runtime, const Value& args, bool on) {
  Value last;
  for (const Value& name : args) {
    if (!name.isSymbol()) throwBadArgumentType("symbolp", name);
    if (on)
      runtime.state().traced.insert(symbolId(name));
    else
      runtime.state().traced.erase(symbolId(name));
    last = name;
  }
  return last;
}

}  // namespace

Value makeUsubr(Runtime& runtime, Value name, const Value& paramList, Value body) {
  if (!paramList.isList()) throwBadArgumentType("listp", paramList);
  auto* usubr = allocate<UsubrObject>(Type::Usubr);
  Value function = Value::adopt(usubr);
  usubr->name = std::move(name);
  usubr->body = std::move(body);
  bool locals = false;
  for (const Value& item : paramList) {
    if (item.eq(symSlash())) {
      locals = true;
      continue;
    }
    if (!item.isSymbol()) throwBadArgumentType("symbolp", item);
    std::uint32_t id = symbolId(item);
    auto& target = locals ? usubr->locals : usubr->params;
    if (!locals && std::find(usubr->params.begin(), usubr->params.end(), id) != usubr->params.end())
      throw LispError("duplicate argument name: " + item.symbolName());
    target.push_back(id);
  }
  return function;
}

Value evalSpecialForm(Runtime& runtime, int form, const Value& args) {
  switch (form) {
    case kQuote:
    case kFunction: {
      if (args.isNil()) tooFew(runtime);
      if (!args.cdr().isNil()) runtime.fail("syntax error");
      const Value& quoted = args.car();
      if (form == kFunction && quoted.isCons() && quoted.car().eq(symLambda()))
        return makeUsubr(runtime, Value(), quoted.cdr().car(), quoted.cdr().cdr());
      return quoted;
    }
    case kSetq:
      return evalSetq(runtime, args);
    case kIf:
      return evalIf(runtime, args);
    case kCond:
      return evalCond(runtime, args);
    case kWhile:
      return evalWhile(runtime, args);
    case kRepeat:
      return evalRepeat(runtime, args);
    case kForeach:
      return evalForeach(runtime, args);
    case kProgn:
      return evalBody(runtime, args);
    case kAnd:
      for (const Value& item : args)
        if (runtime.eval(item).isNil()) return Value();
      return Value::t();
    case kOr:
      for (const Value& item : args)
        if (runtime.eval(item).isTrue()) return Value::t();
      return Value();
    case kDefun:
      return evalDefun(runtime, args);
    case kDefunQ:
      return evalDefunQ(runtime, args);
    case kTrace:
      return evalTrace(runtime, args, true);
    case kUntrace:
      return evalTrace(runtime, args, false);
    case kLambda:
      if (args.isNil()) tooFew(runtime);
      return makeUsubr(runtime, Value(), args.car(), args.cdr());
  }
  return Value();
}

void installCoreForms(Runtime& runtime) {
  struct Entry {
    const char* name;
    Form form;
  };
  static constexpr Entry kForms[] = {
      {"QUOTE", kQuote},    {"FUNCTION", kFunction}, {"SETQ", kSetq},     {"IF", kIf},
      {"COND", kCond},      {"WHILE", kWhile},       {"REPEAT", kRepeat}, {"FOREACH", kForeach},
      {"PROGN", kProgn},    {"AND", kAnd},           {"OR", kOr},         {"DEFUN", kDefun},
      {"DEFUN-Q", kDefunQ}, {"LAMBDA", kLambda},     {"TRACE", kTrace},   {"UNTRACE", kUntrace},
  };
  for (const Entry& entry : kForms) defineNative(runtime, entry.name, nullptr, entry.form);
}

}  // namespace tabrik::lisp
