// LISP values <-> result buffers (the table is in LispResbuf.h).
#include "aced/bridge/LispResbuf.h"

#include <string>
#include <vector>

#include "acdb/acut/ResbufKinds.h"
#include "acdb/acut/WideText.h"
#include "lisp/LispError.h"

namespace tabrik::acad {

using lisp::Value;

namespace {

class ChainBuilder {
 public:
  ~ChainBuilder() { acutRelRb(m_head); }
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

void addAtom(ChainBuilder& chain, const Value& value) {
  switch (value.type()) {
    case lisp::Type::Nil:
      chain.add(RTNIL);
      return;
    case lisp::Type::Int: {
      std::int32_t i = value.asInt();
      if (i >= -32768 && i <= 32767) {
        chain.add(RTSHORT)->resval.rint = static_cast<short>(i);
      } else {
        chain.add(RTLONG)->resval.rlong = i;
      }
      return;
    }
    case lisp::Type::Real:
      chain.add(RTREAL)->resval.rreal = value.asReal();
      return;
    case lisp::Type::Str:
      chain.add(RTSTR)->resval.rstring = acutNewString(fromUtf8(value.asString()).c_str());
      return;
    case lisp::Type::Ename:
    case lisp::Type::Pickset: {
      resbuf* rb = chain.add(value.isEname() ? RTENAME : RTPICKS);
      rb->resval.rlname[0] = value.adsName().word[0];
      rb->resval.rlname[1] = value.adsName().word[1];
      return;
    }
    case lisp::Type::Sym:
      if (value.isT()) {
        chain.add(RTT);
        return;
      }
      break;
    default:
      break;
  }
  throw lisp::LispError("bad argument type: " + value.toPrin1String());
}

void addPoint(ChainBuilder& chain, const Value& value) {
  double coordinates[3] = {0, 0, 0};
  int count = 0;
  for (const Value& element : value) coordinates[count++] = element.asNumber();
  resbuf* rb = chain.add(count == 2 ? RTPOINT : RT3DPOINT);
  for (int i = 0; i < 3; ++i) rb->resval.rpoint[i] = coordinates[i];
}

// Appends one value; lists are walked with an explicit stack of the cells still to
// visit at each open level.
void addValue(ChainBuilder& chain, const Value& root) {
  if (!root.isCons()) return addAtom(chain, root);
  if (root.isPoint()) return addPoint(chain, root);
  std::vector<Value> pending;  // the rest of each open list
  chain.add(RTLB);
  pending.push_back(root);
  while (!pending.empty()) {
    Value rest = pending.back();
    if (rest.isNil()) {
      pending.pop_back();
      chain.add(RTLE);
      continue;
    }
    if (!rest.isCons()) {
      chain.add(RTDOTE);
      addAtom(chain, rest);
      pending.back() = Value();
      continue;
    }
    pending.back() = rest.cdr();
    const Value& element = rest.car();
    if (element.isCons() && !element.isPoint()) {
      chain.add(RTLB);
      pending.push_back(element);
    } else if (element.isCons()) {
      addPoint(chain, element);
    } else {
      addAtom(chain, element);
    }
  }
}

Value pointValue(const resbuf& rb, bool threeD) {
  const ads_real* p = rb.resval.rpoint;
  return threeD ? Value::point(p[0], p[1], p[2]) : Value::point(p[0], p[1]);
}

std::string narrowString(const ACHAR* text) { return text ? toUtf8(text) : std::string(); }

// The value one buffer carries by its kind (group codes included); nil for markers.
Value kindValue(const resbuf& rb) {
  switch (resbufKind(rb.restype)) {
    case ResbufKind::kReal:
      return Value::real(rb.resval.rreal);
    case ResbufKind::kPoint:
      return pointValue(rb, rb.restype != RTPOINT);
    case ResbufKind::kShort:
      return Value::integer(rb.resval.rint);
    case ResbufKind::kLong:
      return Value::integer(rb.resval.rlong);
    case ResbufKind::kInt64:
      return Value::real(static_cast<double>(rb.resval.mnInt64));
    case ResbufKind::kString:
      return Value::string(narrowString(rb.resval.rstring));
    case ResbufKind::kName: {
      lisp::AdsName name;
      name.word[0] = rb.resval.rlname[0];
      name.word[1] = rb.resval.rlname[1];
      return rb.restype == RTPICKS ? Value::pickset(name) : Value::ename(name);
    }
    case ResbufKind::kBinary: {
      // Binary chunks read as their bytes in hexadecimal, as entity data shows them.
      static const char kHex[] = "0123456789ABCDEF";
      std::string hex;
      for (int i = 0; i < rb.resval.rbinary.clen && rb.resval.rbinary.buf; ++i) {
        auto byte = static_cast<unsigned char>(rb.resval.rbinary.buf[i]);
        hex.push_back(kHex[byte >> 4]);
        hex.push_back(kHex[byte & 15]);
      }
      return Value::string(hex);
    }
    default:
      break;
  }
  if (rb.restype == RTT) return Value::t();
  return Value();
}

bool isGroupCode(int restype) { return restype < 5000 || restype > 5100; }

// One element of a list: a group-code element becomes a dotted pair.
Value elementValue(const resbuf& rb) {
  if (rb.restype == RTDXF0) return Value::cons(Value::integer(0), kindValue(rb));
  if (!isGroupCode(rb.restype)) return kindValue(rb);
  Value code = Value::integer(rb.restype);
  if (resbufKind(rb.restype) == ResbufKind::kPoint) {
    const ads_real* p = rb.resval.rpoint;
    return Value::list({code, Value::real(p[0]), Value::real(p[1]), Value::real(p[2])});
  }
  return Value::cons(code, kindValue(rb));
}

// Reads values from a chain: RTLB...RTLE become lists, RTDOTE sets a tail. Stops at
// the end of the chain; unbalanced markers are closed or ignored.
class ListReader {
 public:
  // Appends to `out` every top-level value of the chain. `out` is also the one value
  // stack of every open level: a level's items are the values above its start, so
  // nested lists cost no container of their own.
  void read(const resbuf* chain, std::vector<Value>& out) {
    std::vector<Level> levels;
    for (const resbuf* rb = chain; rb != nullptr; rb = rb->rbnext) {
      switch (rb->restype) {
        case RTLB:
          levels.push_back(Level{out.size(), false, Value()});
          continue;
        case RTLE:
          if (levels.empty()) continue;
          close(levels, out);
          continue;
        case RTDOTE:
          if (!levels.empty()) levels.back().dotted = true;
          continue;
        case RTNONE:
        case RTVOID:
          continue;
        default:
          break;
      }
      add(levels, out, elementValue(*rb));
    }
    while (!levels.empty()) close(levels, out);
  }

 private:
  struct Level {
    size_t start;
    bool dotted = false;
    Value tail;
  };
  // After a dot the value is the open level's tail; otherwise its next item.
  static void add(std::vector<Level>& levels, std::vector<Value>& values, Value value) {
    if (!levels.empty() && levels.back().dotted) {
      levels.back().tail = std::move(value);
    } else {
      values.push_back(std::move(value));
    }
  }
  static void close(std::vector<Level>& levels, std::vector<Value>& values) {
    Level level = std::move(levels.back());
    levels.pop_back();
    Value list = std::move(level.tail);
    while (values.size() > level.start) {
      list = Value::cons(std::move(values.back()), std::move(list));
      values.pop_back();
    }
    add(levels, values, std::move(list));
  }
};

// True when the RTLE that closes the chain's first RTLB is the chain's last buffer.
bool closesFirstGroup(const resbuf* chain) {
  int depth = 0;
  for (const resbuf* rb = chain; rb != nullptr; rb = rb->rbnext) {
    if (rb->restype == RTLB) ++depth;
    if (rb->restype == RTLE && --depth == 0) return rb->rbnext == nullptr;
  }
  return false;
}

}  // namespace

resbuf* lispArgumentsToResbuf(const Value* first, size_t count) {
  ChainBuilder chain;
  for (size_t i = 0; i < count; ++i) addValue(chain, first[i]);
  return chain.release();
}

resbuf* lispValueToResbuf(const Value& value) {
  ChainBuilder chain;
  addValue(chain, value);
  return chain.release();
}

Value resbufToLispValue(const resbuf& value) { return kindValue(value); }

Value resbufListToLisp(const resbuf* chain) {
  std::vector<Value> items;
  ListReader().read(chain, items);
  // A chain that is one RTLB ... RTLE group is that list itself (the usual way a
  // handler builds its result), not a list holding it.
  if (items.size() == 1 && chain != nullptr && chain->restype == RTLB && items[0].isList()) {
    const resbuf* last = chain;
    while (last->rbnext != nullptr) last = last->rbnext;
    if (last->restype == RTLE && closesFirstGroup(chain)) return items[0];
  }
  return Value::list(items);
}

std::vector<Value> resbufToLispArguments(const resbuf* chain) {
  std::vector<Value> items;
  ListReader().read(chain, items);
  return items;
}

}  // namespace tabrik::acad
