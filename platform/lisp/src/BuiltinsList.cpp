// List functions: car/cdr family, construction, search (equal-based), sorting and
// the vl- list helpers. Lists are immutable; every "change" builds a new list that
// shares the untouched tail.
#include <algorithm>

#include "RuntimeInternal.h"

namespace tabrik::lisp {

namespace {

const Value& listArg(const Value& v) {
  if (!v.isList()) throwBadArgumentType("listp", v);
  return v;
}

// car/cdr path: letters after C, applied right to left ("cadr" = car of cdr).
Value walk(const Value& start, std::string_view path) {
  Value v = start;
  for (auto it = path.rbegin(); it != path.rend(); ++it) {
    if (!v.isList()) throwBadArgumentType("consp", v);
    v = *it == 'A' ? v.car() : v.cdr();
  }
  return v;
}

#define CXR(fn, path)          \
  Value fn(Runtime&, Args a) { \
    checkArgCount(a, 1, 1);    \
    return walk(a[0], path);   \
  }
CXR(bi_car, "A")
CXR(bi_cdr, "D")
CXR(bi_caar, "AA")
CXR(bi_cadr, "AD")
CXR(bi_cdar, "DA")
CXR(bi_cddr, "DD")
CXR(bi_caaar, "AAA")
CXR(bi_caadr, "AAD")
CXR(bi_cadar, "ADA")
CXR(bi_caddr, "ADD")
CXR(bi_cdaar, "DAA")
CXR(bi_cdadr, "DAD")
CXR(bi_cddar, "DDA")
CXR(bi_cdddr, "DDD")
CXR(bi_caaaar, "AAAA")
CXR(bi_caaadr, "AAAD")
CXR(bi_caadar, "AADA")
CXR(bi_caaddr, "AADD")
CXR(bi_cadaar, "ADAA")
CXR(bi_cadadr, "ADAD")
CXR(bi_caddar, "ADDA")
CXR(bi_cadddr, "ADDD")
CXR(bi_cdaaar, "DAAA")
CXR(bi_cdaadr, "DAAD")
CXR(bi_cdadar, "DADA")
CXR(bi_cdaddr, "DADD")
CXR(bi_cddaar, "DDAA")
CXR(bi_cddadr, "DDAD")
CXR(bi_cdddar, "DDDA")
CXR(bi_cddddr, "DDDD")
#undef CXR

Value bi_cons(Runtime&, Args a) {
  checkArgCount(a, 2, 2);
  return Value::cons(a[0], a[1]);
}

Value bi_list(Runtime&, Args a) { return Value::list(std::vector<Value>(a.begin(), a.end())); }

Value bi_listStar(Runtime&, Args a) {
  checkArgCount(a, 1, SIZE_MAX);
  return Value::list(std::vector<Value>(a.begin(), a.end() - 1), a.back());
}

Value bi_append(Runtime&, Args a) {
  if (a.empty()) return Value();
  for (const Value& v : a) listArg(v);
  std::vector<Value> items;
  for (std::size_t i = 0; i + 1 < a.size(); ++i)
    for (const Value& item : a[i]) items.push_back(item);
  return Value::list(items, a.back());
}

Value bi_assoc(Runtime&, Args a) {
  checkArgCount(a, 2, 2);
  for (const Value& entry : listArg(a[1]))
    if (entry.isCons() && entry.car().equal(a[0])) return entry;
  return Value();
}

Value bi_member(Runtime&, Args a) {
  checkArgCount(a, 2, 2);
  for (auto it = listArg(a[1]).begin(); it != Value::Iterator(); ++it)
    if (it->equal(a[0])) return it.rest();
  return Value();
}

Value bi_nth(Runtime&, Args a) {
  checkArgCount(a, 2, 2);
  std::int32_t n = intArg(a[0]);
  if (n < 0) throwBadArgumentValue("non-negative " + std::to_string(n));
  for (const Value& item : listArg(a[1]))
    if (n-- == 0) return item;
  return Value();
}

Value bi_length(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::integer(static_cast<std::int32_t>(listArg(a[0]).length()));
}

Value bi_listLength(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  if (!listArg(a[0]).isProperList()) return Value();
  return Value::integer(static_cast<std::int32_t>(a[0].length()));
}

Value bi_reverse(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  Value result;
  for (const Value& item : listArg(a[0])) result = Value::cons(item, std::move(result));
  return result;
}

Value bi_last(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  Value last;
  for (const Value& item : listArg(a[0])) last = item;
  return last;
}

Value bi_subst(Runtime&, Args a) {
  checkArgCount(a, 3, 3);
  std::vector<Value> items;
  for (const Value& item : listArg(a[2])) items.push_back(item.equal(a[1]) ? a[0] : item);
  return Value::list(items);
}

Value bi_position(Runtime&, Args a) {
  checkArgCount(a, 2, 2);
  std::int32_t i = 0;
  for (const Value& item : listArg(a[1])) {
    if (item.equal(a[0])) return Value::integer(i);
    ++i;
  }
  return Value();
}

Value bi_remove(Runtime&, Args a) {
  checkArgCount(a, 2, 2);
  std::vector<Value> items;
  for (const Value& item : listArg(a[1]))
    if (!item.equal(a[0])) items.push_back(item);
  return Value::list(items);
}

Value filter(Runtime& rt, Args a, bool keepWhenTrue) {
  checkArgCount(a, 2, 2);
  Value function = resolveFunction(rt, a[0]);
  std::vector<Value> items;
  for (const Value& item : listArg(a[1]))
    if (rt.apply(function, Args(&item, 1)).isTrue() == keepWhenTrue) items.push_back(item);
  return Value::list(items);
}

Value bi_removeIf(Runtime& rt, Args a) { return filter(rt, a, false); }
Value bi_removeIfNot(Runtime& rt, Args a) { return filter(rt, a, true); }

Value memberIf(Runtime& rt, Args a, bool wanted) {
  checkArgCount(a, 2, 2);
  Value function = resolveFunction(rt, a[0]);
  for (auto it = listArg(a[1]).begin(); it != Value::Iterator(); ++it)
    if (rt.apply(function, Args(&*it, 1)).isTrue() == wanted) return it.rest();
  return Value();
}

Value bi_memberIf(Runtime& rt, Args a) { return memberIf(rt, a, true); }
Value bi_memberIfNot(Runtime& rt, Args a) { return memberIf(rt, a, false); }

// Merge sort of positions by a LISP predicate. A merge takes the left element only
// when it is strictly before the right one, so equal elements come out in reverse
// order of appearance, as the host's vl-sort-i shows ((3 2 1 3) '< → (2 1 3 0)).
// Any predicate, even an inconsistent one, terminates.
std::vector<std::size_t> sortPositions(Runtime& rt, const std::vector<Value>& items,
                                       const Value& predicate) {
  Value function = resolveFunction(rt, predicate);
  std::vector<std::size_t> order(items.size()), scratch(items.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  auto before = [&](std::size_t x, std::size_t y) {
    Value args[2] = {items[x], items[y]};
    return rt.apply(function, Args(args, 2)).isTrue();
  };
  for (std::size_t width = 1; width < order.size(); width *= 2) {
    for (std::size_t lo = 0; lo < order.size(); lo += 2 * width) {
      std::size_t mid = std::min(lo + width, order.size());
      std::size_t hi = std::min(lo + 2 * width, order.size());
      std::size_t i = lo, j = mid, k = lo;
      while (i < mid && j < hi) scratch[k++] = before(order[i], order[j]) ? order[i++] : order[j++];
      while (i < mid) scratch[k++] = order[i++];
      while (j < hi) scratch[k++] = order[j++];
    }
    order.swap(scratch);
  }
  return order;
}

// vl-sort drops elements identical (eq) to their sorted neighbour: duplicate
// integers and symbols collapse, distinct string and real objects stay.
Value bi_sort(Runtime& rt, Args a) {
  checkArgCount(a, 2, 2);
  std::vector<Value> items = listArg(a[0]).toVector();
  std::vector<Value> sorted;
  for (std::size_t position : sortPositions(rt, items, a[1])) {
    const Value& item = items[position];
    if (!sorted.empty() && sorted.back().eq(item)) continue;
    sorted.push_back(item);
  }
  return Value::list(sorted);
}

Value bi_sortI(Runtime& rt, Args a) {
  checkArgCount(a, 2, 2);
  std::vector<Value> items = listArg(a[0]).toVector();
  std::vector<Value> positions;
  for (std::size_t position : sortPositions(rt, items, a[1]))
    positions.push_back(Value::integer(static_cast<std::int32_t>(position)));
  return Value::list(positions);
}

Value bi_strlsort(Runtime& rt, Args a) {
  checkArgCount(a, 1, 1);
  std::vector<Value> items = listArg(a[0]).toVector();
  for (const Value& item : items) stringArg(item);
  std::stable_sort(items.begin(), items.end(),
                   [](const Value& x, const Value& y) { return x.asString() < y.asString(); });
  return Value::list(items);
}

}  // namespace

void installListBuiltins(Runtime& rt) {
  struct Entry {
    const char* name;
    detail::NativeBuiltin function;
  };
  static constexpr Entry kList[] = {
      {"CAR", bi_car},
      {"CDR", bi_cdr},
      {"CAAR", bi_caar},
      {"CADR", bi_cadr},
      {"CDAR", bi_cdar},
      {"CDDR", bi_cddr},
      {"CAAAR", bi_caaar},
      {"CAADR", bi_caadr},
      {"CADAR", bi_cadar},
      {"CADDR", bi_caddr},
      {"CDAAR", bi_cdaar},
      {"CDADR", bi_cdadr},
      {"CDDAR", bi_cddar},
      {"CDDDR", bi_cdddr},
      {"CAAAAR", bi_caaaar},
      {"CAAADR", bi_caaadr},
      {"CAADAR", bi_caadar},
      {"CAADDR", bi_caaddr},
      {"CADAAR", bi_cadaar},
      {"CADADR", bi_cadadr},
      {"CADDAR", bi_caddar},
      {"CADDDR", bi_cadddr},
      {"CDAAAR", bi_cdaaar},
      {"CDAADR", bi_cdaadr},
      {"CDADAR", bi_cdadar},
      {"CDADDR", bi_cdaddr},
      {"CDDAAR", bi_cddaar},
      {"CDDADR", bi_cddadr},
      {"CDDDAR", bi_cdddar},
      {"CDDDDR", bi_cddddr},
      {"CONS", bi_cons},
      {"LIST", bi_list},
      {"VL-LIST*", bi_listStar},
      {"APPEND", bi_append},
      {"ASSOC", bi_assoc},
      {"MEMBER", bi_member},
      {"NTH", bi_nth},
      {"LENGTH", bi_length},
      {"VL-LIST-LENGTH", bi_listLength},
      {"REVERSE", bi_reverse},
      {"LAST", bi_last},
      {"SUBST", bi_subst},
      {"VL-POSITION", bi_position},
      {"VL-REMOVE", bi_remove},
      {"VL-REMOVE-IF", bi_removeIf},
      {"VL-REMOVE-IF-NOT", bi_removeIfNot},
      {"VL-MEMBER-IF", bi_memberIf},
      {"VL-MEMBER-IF-NOT", bi_memberIfNot},
      {"VL-SORT", bi_sort},
      {"VL-SORT-I", bi_sortI},
      {"ACAD_STRLSORT", bi_strlsort},
  };
  for (const Entry& entry : kList) defineNative(rt, entry.name, entry.function);
}

}  // namespace tabrik::lisp
