// Arithmetic, comparison and bit functions. Integers are 32-bit and wrap on
// overflow (+ - * 1+ 1- abs expt); any real operand makes the result real.
#include <cmath>
#include <cstring>

#include "Printer.h"
#include "RuntimeInternal.h"

namespace tabrik::lisp {

namespace {

std::int32_t wrap(std::int64_t v) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

// Checks that every argument is a number; true when any of them is a real.
bool anyReal(Args a) {
  bool real = false;
  for (const Value& v : a) {
    if (!v.isNumber()) throwBadArgumentType("numberp:", v);
    real = real || v.isReal();
  }
  return real;
}

Value bi_plus(Runtime&, Args a) {
  if (anyReal(a)) {
    double sum = 0;
    for (const Value& v : a) sum += v.asNumber();
    return Value::real(sum);
  }
  std::int32_t sum = 0;
  for (const Value& v : a) sum = wrap(std::int64_t{sum} + v.asInt());
  return Value::integer(sum);
}

Value bi_minus(Runtime&, Args a) {
  bool real = anyReal(a);
  if (a.empty()) return Value::integer(0);
  if (real) {
    double result = a.size() == 1 ? -a[0].asNumber() : a[0].asNumber();
    for (std::size_t i = 1; i < a.size(); ++i) result -= a[i].asNumber();
    return Value::real(result);
  }
  std::int32_t result = a.size() == 1 ? wrap(-std::int64_t{a[0].asInt()}) : a[0].asInt();
  for (std::size_t i = 1; i < a.size(); ++i) result = wrap(std::int64_t{result} - a[i].asInt());
  return Value::integer(result);
}

Value bi_times(Runtime&, Args a) {
  bool real = anyReal(a);
  if (a.empty()) return Value::integer(0);
  if (real) {
    double product = 1;
    for (const Value& v : a) product *= v.asNumber();
    return Value::real(product);
  }
  std::int32_t product = 1;
  for (const Value& v : a) product = wrap(std::int64_t{product} * v.asInt());
  return Value::integer(product);
}

Value bi_divide(Runtime& rt, Args a) {
  bool real = anyReal(a);
  if (a.empty()) return Value::integer(0);
  if (real) {
    double result = a[0].asNumber();
    for (std::size_t i = 1; i < a.size(); ++i) {
      double d = a[i].asNumber();
      if (d == 0.0) rt.fail(std::string(messages::kDivideByZero));
      result /= d;
    }
    return Value::real(result);
  }
  std::int64_t result = a[0].asInt();
  for (std::size_t i = 1; i < a.size(); ++i) {
    std::int64_t d = a[i].asInt();
    if (d == 0) rt.fail(std::string(messages::kDivideByZero));
    result = wrap(result / d);
  }
  return Value::integer(static_cast<std::int32_t>(result));
}

Value bi_rem(Runtime& rt, Args a) {
  bool real = anyReal(a);
  if (a.empty()) return Value::integer(0);
  if (real) {
    double result = a[0].asNumber();
    for (std::size_t i = 1; i < a.size(); ++i) {
      double d = a[i].asNumber();
      if (d == 0.0) rt.fail(std::string(messages::kDivideByZero));
      result = std::fmod(result, d);
    }
    return Value::real(result);
  }
  std::int64_t result = a[0].asInt();
  for (std::size_t i = 1; i < a.size(); ++i) {
    std::int64_t d = a[i].asInt();
    if (d == 0) rt.fail(std::string(messages::kDivideByZero));
    result %= d;
  }
  return Value::integer(static_cast<std::int32_t>(result));
}

Value bi_gcd(Runtime&, Args a) {
  checkArgCount(a, 2, 2);
  std::int64_t x = intArg(a[0]);
  std::int64_t y = intArg(a[1]);
  if (x <= 0) throwBadArgumentValue("positive " + std::to_string(x));
  if (y <= 0) throwBadArgumentValue("positive " + std::to_string(y));
  while (y != 0) x = std::exchange(y, x % y);
  return Value::integer(static_cast<std::int32_t>(x));
}

Value bi_expt(Runtime&, Args a) {
  checkArgCount(a, 2, 2);
  if (!anyReal(a)) {
    std::int32_t base = a[0].asInt();
    std::int32_t power = a[1].asInt();
    if (power < 0) {
      // Integer division of 1 by base^|power|: only 1 and -1 survive truncation.
      if (base == 1) return Value::integer(1);
      if (base == -1) return Value::integer(power % 2 ? -1 : 1);
      return Value::integer(0);
    }
    // Square-and-multiply in unsigned 32-bit arithmetic wraps exactly as
    // repeated integer multiplication does.
    std::uint32_t r = 1, b = static_cast<std::uint32_t>(base);
    for (std::uint32_t p = static_cast<std::uint32_t>(power); p; p >>= 1, b *= b)
      if (p & 1) r *= b;
    std::int32_t result = static_cast<std::int32_t>(r);
    return Value::integer(result);
  }
  return Value::real(std::pow(a[0].asNumber(), a[1].asNumber()));
}

[[noreturn]] void undefinedFor(Runtime& rt, const Value& v) {
  rt.fail("function undefined for argument: " + v.toPrin1String());
}

Value bi_sqrt(Runtime& rt, Args a) {
  checkArgCount(a, 1, 1);
  double x = numberArg(a[0]);
  if (x < 0) undefinedFor(rt, a[0]);
  return Value::real(std::sqrt(x));
}

Value bi_exp(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::real(std::exp(numberArg(a[0])));
}

Value bi_log(Runtime& rt, Args a) {
  checkArgCount(a, 1, 1);
  double x = numberArg(a[0]);
  if (x <= 0) undefinedFor(rt, a[0]);
  return Value::real(std::log(x));
}

Value bi_sin(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::real(std::sin(numberArg(a[0])));
}

Value bi_cos(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::real(std::cos(numberArg(a[0])));
}

Value bi_atan(Runtime&, Args a) {
  checkArgCount(a, 1, 2);
  double y = numberArg(a[0]);
  if (a.size() == 1) return Value::real(std::atan(y));
  return Value::real(std::atan2(y, numberArg(a[1])));
}

Value bi_fix(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  if (a[0].isInt()) return a[0];
  double t = std::trunc(numberArg(a[0]));
  if (t < -2147483648.0 || t > 2147483647.0 || std::isnan(t)) return Value::real(t);
  return Value::integer(static_cast<std::int32_t>(t));
}

Value bi_float(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::real(numberArg(a[0]));
}

Value bi_abs(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  numberArg(a[0]);
  if (a[0].isInt()) return Value::integer(wrap(std::llabs(a[0].asInt())));
  return Value::real(std::fabs(a[0].asReal()));
}

Value minMax(Args a, bool max) {
  bool real = anyReal(a);
  if (a.empty()) return Value::integer(0);
  std::size_t best = 0;
  for (std::size_t i = 1; i < a.size(); ++i) {
    double v = a[i].asNumber(), b = a[best].asNumber();
    if (max ? v > b : v < b) best = i;
  }
  return real ? Value::real(a[best].asNumber()) : a[best];
}

Value bi_max(Runtime&, Args a) { return minMax(a, true); }
Value bi_min(Runtime&, Args a) { return minMax(a, false); }

Value bi_1plus(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  numberArg(a[0]);
  if (a[0].isInt()) return Value::integer(wrap(std::int64_t{a[0].asInt()} + 1));
  return Value::real(a[0].asReal() + 1);
}

Value bi_1minus(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  numberArg(a[0]);
  if (a[0].isInt()) return Value::integer(wrap(std::int64_t{a[0].asInt()} - 1));
  return Value::real(a[0].asReal() - 1);
}

Value bi_not(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::integer(~intArg(a[0]));
}

Value bi_logand(Runtime&, Args a) {
  if (a.empty()) return Value::integer(0);
  std::int32_t r = -1;
  for (const Value& v : a) r &= intArg(v);
  return Value::integer(r);
}

Value bi_logior(Runtime&, Args a) {
  std::int32_t r = 0;
  for (const Value& v : a) r |= intArg(v);
  return Value::integer(r);
}

// Logical shift; the count is taken modulo 32, so 32 shifts give the value back.
Value bi_lsh(Runtime&, Args a) {
  checkArgCount(a, 0, 2);
  if (a.empty()) return Value::integer(0);
  std::uint32_t value = static_cast<std::uint32_t>(intArg(a[0]));
  if (a.size() == 1) return a[0];
  std::int32_t count = intArg(a[1]);
  std::uint32_t n = static_cast<std::uint32_t>(count < 0 ? -std::int64_t{count} : count) % 32;
  value = count < 0 ? value >> n : value << n;
  return Value::integer(static_cast<std::int32_t>(value));
}

// Bit 8 of op gives the result for (0,0), 4 for (0,1), 2 for (1,0), 1 for (1,1).
Value bi_boole(Runtime&, Args a) {
  checkArgCount(a, 2, SIZE_MAX);
  std::int32_t op = intArg(a[0]);
  std::uint32_t result = static_cast<std::uint32_t>(intArg(a[1]));
  for (std::size_t i = 2; i < a.size(); ++i) {
    std::uint32_t x = result, y = static_cast<std::uint32_t>(intArg(a[i]));
    std::uint32_t r = 0;
    if (op & 8) r |= ~x & ~y;
    if (op & 4) r |= ~x & y;
    if (op & 2) r |= x & ~y;
    if (op & 1) r |= x & y;
    result = r;
  }
  return Value::integer(static_cast<std::int32_t>(result));
}

Value bi_minusp(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::boolean(numberArg(a[0]) < 0);
}

Value bi_zerop(Runtime&, Args a) {
  checkArgCount(a, 1, 1);
  return Value::boolean(numberArg(a[0]) == 0);
}

// Comparison of two numbers or two strings: -1, 0, 1. Other pairs compare only for
// (in)equality, by identity.
enum class Order { Less, Equal, Greater, Unordered };

Order compare(const Value& x, const Value& y, bool orderingNeeded) {
  if (x.isNumber() && y.isNumber()) {
    if (x.isInt() && y.isInt()) {
      return x.asInt() < y.asInt()   ? Order::Less
             : x.asInt() > y.asInt() ? Order::Greater
                                     : Order::Equal;
    }
    double p = x.asNumber(), q = y.asNumber();
    return p < q ? Order::Less : p > q ? Order::Greater : Order::Equal;
  }
  if (x.isString() && y.isString()) {
    int c = std::strcmp(x.asString().c_str(), y.asString().c_str());
    return c < 0 ? Order::Less : c > 0 ? Order::Greater : Order::Equal;
  }
  if (orderingNeeded) {
    const Value& bad = (x.isNumber() || x.isString()) ? y : x;
    throwBadArgumentType("numberp:", bad);
  }
  return x.eq(y) ? Order::Equal : Order::Unordered;
}

template <bool (*Holds)(Order), bool kOrdering>
Value chain(Runtime&, Args a) {
  checkArgCount(a, 1, SIZE_MAX);
  for (std::size_t i = 1; i < a.size(); ++i)
    if (!Holds(compare(a[i - 1], a[i], kOrdering))) return Value();
  return Value::t();
}

bool isEqual(Order o) { return o == Order::Equal; }
bool isUnequal(Order o) { return o != Order::Equal; }
bool isLess(Order o) { return o == Order::Less; }
bool isLessEqual(Order o) { return o == Order::Less || o == Order::Equal; }
bool isGreater(Order o) { return o == Order::Greater; }
bool isGreaterEqual(Order o) { return o == Order::Greater || o == Order::Equal; }

}  // namespace

void installMathBuiltins(Runtime& rt) {
  defineNative(rt, "+", bi_plus);
  defineNative(rt, "-", bi_minus);
  defineNative(rt, "*", bi_times);
  defineNative(rt, "/", bi_divide);
  defineNative(rt, "REM", bi_rem);
  defineNative(rt, "GCD", bi_gcd);
  defineNative(rt, "EXPT", bi_expt);
  defineNative(rt, "SQRT", bi_sqrt);
  defineNative(rt, "EXP", bi_exp);
  defineNative(rt, "LOG", bi_log);
  defineNative(rt, "SIN", bi_sin);
  defineNative(rt, "COS", bi_cos);
  defineNative(rt, "ATAN", bi_atan);
  defineNative(rt, "FIX", bi_fix);
  defineNative(rt, "FLOAT", bi_float);
  defineNative(rt, "ABS", bi_abs);
  defineNative(rt, "MAX", bi_max);
  defineNative(rt, "MIN", bi_min);
  defineNative(rt, "1+", bi_1plus);
  defineNative(rt, "1-", bi_1minus);
  defineNative(rt, "~", bi_not);
  defineNative(rt, "LOGAND", bi_logand);
  defineNative(rt, "LOGIOR", bi_logior);
  defineNative(rt, "LSH", bi_lsh);
  defineNative(rt, "BOOLE", bi_boole);
  defineNative(rt, "MINUSP", bi_minusp);
  defineNative(rt, "ZEROP", bi_zerop);
  defineNative(rt, "=", chain<isEqual, false>);
  defineNative(rt, "/=", chain<isUnequal, false>);
  defineNative(rt, "<", chain<isLess, true>);
  defineNative(rt, "<=", chain<isLessEqual, true>);
  defineNative(rt, ">", chain<isGreater, true>);
  defineNative(rt, ">=", chain<isGreaterEqual, true>);
}

}  // namespace tabrik::lisp
