// equal: structural equality with a numeric tolerance, walked with an explicit stack.
#include <cmath>
#include <vector>

#include "Objects.h"

namespace tabrik::lisp {

namespace {

bool atomsEqual(const Value& a, const Value& b, double fuzz) {
  if (a.isNumber() && b.isNumber()) {
    if (a.isInt() && b.isInt()) {
      if (fuzz == 0.0) return a.asInt() == b.asInt();
    }
    return std::fabs(a.asNumber() - b.asNumber()) <= fuzz;
  }
  if (a.type() != b.type()) return false;
  switch (a.type()) {
    case Type::Str:
      return a.asString() == b.asString();
    case Type::Ename:
    case Type::Pickset:
      return a.adsName() == b.adsName();
    default:
      return a.eq(b);
  }
}

}  // namespace

bool Value::equal(const Value& other, double fuzz) const {
  std::vector<std::pair<const Value*, const Value*>> pending{{this, &other}};
  while (!pending.empty()) {
    auto [a, b] = pending.back();
    pending.pop_back();
    while (a->isCons() && b->isCons()) {
      if (!a->eq(*b)) pending.emplace_back(&a->car(), &b->car());
      a = &a->cdr();
      b = &b->cdr();
    }
    if (a->isCons() || b->isCons()) return false;
    if (!atomsEqual(*a, *b, fuzz)) return false;
  }
  return true;
}

}  // namespace tabrik::lisp
