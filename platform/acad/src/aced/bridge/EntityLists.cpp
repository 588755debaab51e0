// Association lists <-> group-coded result buffers (the table is in EntityLists.h).
#include "aced/bridge/EntityLists.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <cwchar>
#include <string>
#include <vector>

#include "acutads.h"
#include "acdb/acut/ResbufChain.h"
#include "acdb/acut/ResbufKinds.h"
#include "acdb/acut/WideText.h"
#include "aced/bridge/LispResbuf.h"
#include "lisp/LispError.h"

namespace tabrik::acad {

using lisp::Value;

namespace {

[[noreturn]] void badGroup(const Value& element) {
  throw lisp::LispError("bad DXF group: " + element.toPrin1String());
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Chain {
 public:
  Chain() = default;
  Chain(const Chain&) = delete;
  Chain& operator=(const Chain&) = delete;
  ~Chain() { acutRelRb(m_head); }
  resbuf* add(int type) {
    resbuf* rb = acutNewRb(type);
    if (rb == nullptr) throw lisp::LispError("insufficient memory");
    *m_tail = rb;
    m_tail = &rb->rbnext;
    return rb;
  }
  resbuf* release() {
    resbuf* head = m_head;
    m_head = nullptr;
    m_tail = &m_head;
    return head;
  }

 private:
  resbuf* m_head = nullptr;
  resbuf** m_tail = &m_head;
};

// The integer an integer group takes: an integer as it is, a real truncated toward
// zero as the host does ((62 . 2.7) is colour 2); nothing outside [low, high] or for
// anything else.
std::optional<std::int32_t> integerOf(const Value& value, std::int32_t low, std::int32_t high) {
  if (value.isInt()) {
    if (value.asInt() < low || value.asInt() > high) return std::nullopt;
    return static_cast<std::int32_t>(value.asInt());
  }
  if (!value.isReal()) return std::nullopt;
  double truncated = std::trunc(value.asNumber());
  if (!(truncated >= low && truncated <= high)) return std::nullopt;  // NaN fails too
  return static_cast<std::int32_t>(truncated);
}

// One (code . value) element; `element` is for the error message.
void addGroup(Chain& chain, int code, const Value& value, const Value& element) {
  ResbufKind kind = resbufKind(code);
  switch (kind) {
    case ResbufKind::kPoint: {
      // (code x y [z]): the cdr is the list of coordinates.
      double p[3] = {0, 0, 0};
      int count = 0;
      for (Value rest = value; !rest.isNil(); rest = rest.cdr()) {
        if (!rest.isCons() || count == 3 || !rest.car().isNumber()) badGroup(element);
        p[count++] = rest.car().asNumber();
      }
      if (count < 2) badGroup(element);
      resbuf* rb = chain.add(code);
      for (int i = 0; i < 3; ++i) rb->resval.rpoint[i] = p[i];
      return;
    }
    case ResbufKind::kReal:
      if (!value.isNumber()) badGroup(element);
      chain.add(code)->resval.rreal = value.asNumber();
      return;
    case ResbufKind::kShort: {
      std::optional<std::int32_t> integer = integerOf(value, -32768, 32767);
      if (!integer) badGroup(element);
      chain.add(code)->resval.rint = static_cast<short>(*integer);
      return;
    }
    case ResbufKind::kLong: {
      std::optional<std::int32_t> integer = integerOf(value, INT32_MIN, INT32_MAX);
      if (!integer) badGroup(element);
      chain.add(code)->resval.rlong = *integer;
      return;
    }
    case ResbufKind::kInt64:
      if (!value.isNumber()) badGroup(element);
      chain.add(code)->resval.mnInt64 = static_cast<std::int64_t>(value.asNumber());
      return;
    case ResbufKind::kString: {
      if (!value.isString()) badGroup(element);
      std::wstring text = fromUtf8(value.asString());
      chain.add(code == 0 ? RTDXF0 : code)->resval.rstring = duplicateString(text.c_str());
      return;
    }
    case ResbufKind::kName: {
      if (!value.isEname()) badGroup(element);
      resbuf* rb = chain.add(code);
      rb->resval.rlname[0] = value.adsName().word[0];
      rb->resval.rlname[1] = value.adsName().word[1];
      return;
    }
    case ResbufKind::kBinary: {
      // Binary chunks are written as their bytes in hexadecimal, as entget shows them.
      if (!value.isString() || value.asString().size() % 2 != 0 || value.asString().size() > 254)
        badGroup(element);
      const std::string& hex = value.asString();
      std::vector<char> bytes;
      for (size_t i = 0; i < hex.size(); i += 2) {
        int high = hexDigit(hex[i]), low = hexDigit(hex[i + 1]);
        if (high < 0 || low < 0) badGroup(element);
        bytes.push_back(static_cast<char>(high * 16 + low));
      }
      resbuf* rb = chain.add(code);
      rb->resval.rbinary.clen = static_cast<short>(bytes.size());
      rb->resval.rbinary.buf = static_cast<char*>(std::malloc(bytes.empty() ? 1 : bytes.size()));
      if (rb->resval.rbinary.buf == nullptr) throw lisp::LispError("insufficient memory");
      for (size_t i = 0; i < bytes.size(); ++i) rb->resval.rbinary.buf[i] = bytes[i];
      return;
    }
    default:
      badGroup(element);
  }
}

// (-3 ("APP" (1000 . "x") ...) ...)
void addExtendedData(Chain& chain, const Value& element) {
  chain.add(-3);
  for (Value apps = element.cdr(); !apps.isNil(); apps = apps.cdr()) {
    if (!apps.isCons()) badGroup(element);
    const Value& app = apps.car();
    if (!app.isCons() || !app.car().isString() || app.car().asString().empty()) badGroup(element);
    std::wstring name = fromUtf8(app.car().asString());
    chain.add(1001)->resval.rstring = duplicateString(name.c_str());
    for (Value items = app.cdr(); !items.isNil(); items = items.cdr()) {
      if (!items.isCons()) badGroup(element);
      const Value& item = items.car();
      if (!item.isCons() || !item.car().isInt()) badGroup(item);
      int code = item.car().asInt();
      if (code < 1000 || code > 1071 || code == 1001) badGroup(item);
      // Control strings of extended data: "{" and "}" under 1002.
      addGroup(chain, code, item.cdr(), item);
    }
  }
}

Value elementOf(const resbuf& rb, bool flatPoints) {
  int code = rb.restype == RTDXF0 ? 0 : rb.restype;
  Value key = Value::integer(code);
  if (resbufKind(code) == ResbufKind::kPoint) {
    const ads_real* p = rb.resval.rpoint;
    if (flatPoints) return Value::cons(key, Value::point(p[0], p[1]));
    return Value::cons(key, Value::point(p[0], p[1], p[2]));
  }
  return Value::cons(key, resbufToLispValue(rb));
}

bool isLightweightPolyline(const resbuf* chain) {
  for (const resbuf* rb = chain; rb != nullptr; rb = rb->rbnext) {
    if ((rb->restype == 0 || rb->restype == RTDXF0) && rb->resval.rstring != nullptr)
      return std::wcscmp(rb->resval.rstring, L"LWPOLYLINE") == 0;
  }
  return false;
}

}  // namespace

resbuf* entityListToResbuf(const Value& list) {
  if (!list.isList()) lisp::throwBadArgumentType("listp", list);
  Chain chain;
  for (Value rest = list; !rest.isNil(); rest = rest.cdr()) {
    if (!rest.isCons()) badGroup(rest);
    const Value& element = rest.car();
    if (!element.isCons() || !element.car().isInt()) badGroup(element);
    int code = element.car().asInt();
    if (code == -3) {
      addExtendedData(chain, element);
      continue;
    }
    if (code < -5 || code > 1071) badGroup(element);
    addGroup(chain, code, element.cdr(), element);
  }
  return chain.release();
}

Value resbufToEntityList(const resbuf* chain) {
  bool lightweight = isLightweightPolyline(chain);
  std::vector<Value> items;
  const resbuf* rb = chain;
  for (; rb != nullptr && rb->restype != -3; rb = rb->rbnext) {
    items.push_back(elementOf(*rb, lightweight && rb->restype == 10));
  }
  if (rb != nullptr) {
    std::vector<Value> apps;
    std::vector<Value> current;
    Value name;
    auto close = [&] {
      if (!name.isNil()) apps.push_back(Value::cons(name, Value::list(current)));
      current.clear();
    };
    for (rb = rb->rbnext; rb != nullptr; rb = rb->rbnext) {
      if (rb->restype == 1001) {
        close();
        name = resbufToLispValue(*rb);
        continue;
      }
      current.push_back(elementOf(*rb, false));
    }
    close();
    items.push_back(Value::cons(Value::integer(-3), Value::list(apps)));
  }
  return Value::list(items);
}

}  // namespace tabrik::acad
