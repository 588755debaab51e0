// Core builtins: type predicates, eval/apply/mapcar, symbols, equality, catching
// errors (vl-catch-all-*), exit/quit and the vl-acad-defun exposure list.
#include "RuntimeInternal.h"
#include "lisp/Reader.h"

namespace tabrik::lisp {

using namespace detail;

namespace {

Value bi_type(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  if (a[0].isNil()) return Value();
  return Value::symbol(typeName(a[0].type()));
}

Value bi_eval(Runtime& rt, Args a) {
  checkArgCount(a, 1, 1);
  return rt.eval(a[0]);
}

Value bi_apply(Runtime& rt, Args a) {
  checkArgCount(a, 2, 2);
  if (!a[1].isList()) throwBadArgumentType("listp", a[1]);
  std::vector<Value> args = a[1].toVector();
  return rt.apply(a[0], Args(args.data(), args.size()));
}

Value bi_mapcar(Runtime& rt, Args a) {
  checkArgCount(a, 2, SIZE_MAX);
  Value function = resolveFunction(rt, a[0]);
  std::vector<const Value*> cells;
  for (std::size_t i = 1; i < a.size(); ++i) {
    if (!a[i].isList()) throwBadArgumentType("listp", a[i]);
    cells.push_back(&a[i]);
  }
  std::vector<Value> results;
  std::vector<Value> args(cells.size());
  while (true) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (!cells[i]->isCons()) return Value::list(results);
      args[i] = cells[i]->car();
      cells[i] = &cells[i]->cdr();
    }
    results.push_back(rt.apply(function, Args(args.data(), args.size())));
  }
}

Value bi_set(Runtime& rt, Args a) {
  checkArgCount(a, 2, 2);
  if (!a[0].isSymbol()) throwBadArgumentType("symbolp", a[0]);
  rt.setSymbolValue(a[0], a[1]);
  return a[1];
}

Value bi_boundp(Runtime& rt, Args a) {
  checkArgCount(a, 1, 1);
  if (a[0].isNil()) return Value();
  if (!a[0].isSymbol()) throwBadArgumentType("symbolp", a[0]);
  return Value::boolean(rt.symbolValue(a[0]).isTrue());
}

Value bi_atom(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::boolean(a[0].isAtom());
}
Value bi_listp(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::boolean(a[0].isList());
}
Value bi_consp(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::boolean(a[0].isCons());
}
Value bi_null(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::boolean(a[0].isNil());
}
Value bi_symbolp(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::boolean(a[0].isSymbol() || a[0].isNil());
}
Value bi_numberp(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::boolean(a[0].isNumber());
}
Value bi_eq(Runtime&, Args a) {
  checkArgCount(a, 2, 2);
  return Value::boolean(a[0].eq(a[1]));
}
Value bi_equal(Runtime&, Args a) {
  checkArgCount(a, 2, 3);
  double fuzz = a.size() == 3 ? numberArg(a[2]) : 0.0;
  return Value::boolean(a[0].equal(a[1], fuzz));
}

Value bi_symbolName(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  if (a[0].isNil()) return Value::string("NIL");
  if (!a[0].isSymbol()) throwBadArgumentType("symbolp", a[0]);
  return Value::string(a[0].symbolName());
}

Value bi_symbolValue(Runtime& rt, Args a) {
  checkArgCount(a, 1, 1);
  if (a[0].isNil()) return Value();
  if (!a[0].isSymbol()) throwBadArgumentType("symbolp", a[0]);
  return rt.symbolValue(a[0]);
}

Value bi_read(Runtime&, Args a) {
  checkArgCount(a, 0, 1);
  if (a.empty()) return Value();
  return readFirst(stringArg(a[0]));
}

Value bi_prin1ToString(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::string(a[0].toPrin1String());
}

Value bi_princToString(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::string(a[0].toPrincString());
}

Value bi_catchAllApply(Runtime& rt, Args a) {
  checkArgCount(a, 2, 2);
  if (!a[1].isList()) throwBadArgumentType("listp", a[1]);
  std::vector<Value> args = a[1].toVector();
  BoundaryScope boundary(rt.state(), Boundary::Catch);
  try {
    return rt.apply(a[0], Args(args.data(), args.size()));
  } catch (const LispError& error) {
    return Value::catchAllError(error.message());
  } catch (ExitWithValue& exit) {
    return std::move(exit.value);
  }
}

Value bi_catchAllErrorP(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::boolean(a[0].isCatchAllError());
}

Value bi_catchAllErrorMessage(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  if (!a[0].isCatchAllError()) throwBadArgumentType("vl-catch-all-apply-error-p", a[0]);
  return Value::string(a[0].catchAllMessage());
}

Value bi_exit(Runtime& rt, Args a) {
  checkArgCount(a, 0, 0);
  rt.fail(std::string(messages::kQuitExitAbort));
}

Value symbolArg(const Value& v) {
  if (!v.isSymbol()) throwBadArgumentType("symbolp", v);
  return v;
}

Value bi_acadDefun(Runtime& rt, Args a) {
  checkArgCount(a, 1, 1);
  Value symbol = symbolArg(a[0]);
  rt.state().acadDefuns.insert(symbolId(symbol));
  return symbol;
}

Value bi_acadUndefun(Runtime& rt, Args a) {
  checkArgCount(a, 1, 1);
  Value symbol = symbolArg(a[0]);
  return Value::boolean(rt.state().acadDefuns.erase(symbolId(symbol)) != 0);
}

Value bi_defunQListRef(Runtime& rt, Args a) {
  checkArgCount(a, 1, 1);
  Value value = rt.symbolValue(symbolArg(a[0]));
  return value.isCons() ? value : Value();
}

Value bi_defunQListSet(Runtime& rt, Args a) {
  checkArgCount(a, 2, 2);
  Value symbol = symbolArg(a[0]);
  if (!a[1].isList()) throwBadArgumentType("listp", a[1]);
  rt.setSymbolValue(symbol, a[1]);
  return symbol;
}

Value bi_ver(Runtime&, Args a) {
  checkArgCount(a, 0, 0);
  return Value::string("Visual LISP 2010 (en)");
}

// (vl-every pred list ...) / (vl-some pred list ...): pred applied to the lists'
// elements in parallel, stopping at the shortest list.
Value everyOrSome(Runtime& rt, Args a, bool every) {
  checkArgCount(a, 2, SIZE_MAX);
  Value function = resolveFunction(rt, a[0]);
  std::vector<const Value*> cells;
  for (std::size_t i = 1; i < a.size(); ++i) {
    if (!a[i].isList()) throwBadArgumentType("listp", a[i]);
    cells.push_back(&a[i]);
  }
  std::vector<Value> args(cells.size());
  while (true) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (!cells[i]->isCons()) return every ? Value::t() : Value();
      args[i] = cells[i]->car();
      cells[i] = &cells[i]->cdr();
    }
    Value result = rt.apply(function, Args(args.data(), args.size()));
    if (every && result.isNil()) return Value();
    if (!every && result.isTrue()) return result;
  }
}

Value bi_every(Runtime& rt, Args a) { return everyOrSome(rt, a, true); }
Value bi_some(Runtime& rt, Args a) { return everyOrSome(rt, a, false); }

// Functions that exist for the interactive host's sake and have nothing to do here:
// loading the extended function set (vl-load-com), garbage collection (gc), switching
// between text and graphics screens, printing a backtrace.
Value bi_nothingToDo(Runtime&, Args) { return Value(); }

}  // namespace

void installCoreBuiltins(Runtime& rt) {
  for (const char* name : {"VL-LOAD-COM", "GC", "TEXTSCR", "GRAPHSCR", "TEXTPAGE", "VL-BT"})
    defineNative(rt, name, bi_nothingToDo);
  defineNative(rt, "TYPE", bi_type);
  defineNative(rt, "EVAL", bi_eval);
  defineNative(rt, "APPLY", bi_apply);
  defineNative(rt, "MAPCAR", bi_mapcar);
  defineNative(rt, "SET", bi_set);
  defineNative(rt, "BOUNDP", bi_boundp);
  defineNative(rt, "ATOM", bi_atom);
  defineNative(rt, "LISTP", bi_listp);
  defineNative(rt, "VL-CONSP", bi_consp);
  defineNative(rt, "NULL", bi_null);
  defineNative(rt, "NOT", bi_null);
  defineNative(rt, "VL-SYMBOLP", bi_symbolp);
  defineNative(rt, "NUMBERP", bi_numberp);
  defineNative(rt, "EQ", bi_eq);
  defineNative(rt, "EQUAL", bi_equal);
  defineNative(rt, "VL-SYMBOL-NAME", bi_symbolName);
  defineNative(rt, "VL-SYMBOL-VALUE", bi_symbolValue);
  defineNative(rt, "READ", bi_read);
  defineNative(rt, "VL-PRIN1-TO-STRING", bi_prin1ToString);
  defineNative(rt, "VL-PRINC-TO-STRING", bi_princToString);
  defineNative(rt, "VL-CATCH-ALL-APPLY", bi_catchAllApply);
  defineNative(rt, "VL-CATCH-ALL-ERROR-P", bi_catchAllErrorP);
  defineNative(rt, "VL-CATCH-ALL-ERROR-MESSAGE", bi_catchAllErrorMessage);
  defineNative(rt, "EXIT", bi_exit);
  defineNative(rt, "QUIT", bi_exit);
  defineNative(rt, "VL-ACAD-DEFUN", bi_acadDefun);
  defineNative(rt, "VL-ACAD-UNDEFUN", bi_acadUndefun);
  defineNative(rt, "DEFUN-Q-LIST-REF", bi_defunQListRef);
  defineNative(rt, "DEFUN-Q-LIST-SET", bi_defunQListSet);
  defineNative(rt, "VER", bi_ver);
  defineNative(rt, "VL-EVERY", bi_every);
  defineNative(rt, "VL-SOME", bi_some);
}

}  // namespace tabrik::lisp
