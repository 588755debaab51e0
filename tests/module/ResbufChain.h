// Test helper: argument lists built from a compact description, owned for the test.
#pragma once
#include <initializer_list>
#include <string>
#include <vector>

#include <acutads.h>

namespace tabrik::arx::testing {

// One element of an argument list: its type code and, by type, its value.
struct Element {
  short type = RTNONE;
  double real = 0.0;
  std::int32_t integer = 0;
  std::wstring text;
  double point[3] = {0.0, 0.0, 0.0};
  std::intptr_t name[2] = {0, 0};
};

inline Element Marker(short type) {
  Element e;
  e.type = type;
  return e;
}
inline Element Real(double v) {
  Element e = Marker(RTREAL);
  e.real = v;
  return e;
}
inline Element Short(short v) {
  Element e = Marker(RTSHORT);
  e.integer = v;
  return e;
}
inline Element Long(std::int32_t v) {
  Element e = Marker(RTLONG);
  e.integer = v;
  return e;
}
inline Element Str(std::wstring v) {
  Element e = Marker(RTSTR);
  e.text = std::move(v);
  return e;
}
inline Element Point(short type, double x, double y, double z) {
  Element e = Marker(type);
  e.point[0] = x;
  e.point[1] = y;
  e.point[2] = z;
  return e;
}
inline Element Name(std::intptr_t a, std::intptr_t b) {
  Element e = Marker(RTENAME);
  e.name[0] = a;
  e.name[1] = b;
  return e;
}

// A chain of result buffers released when the owner goes.
class Chain {
 public:
  Chain(std::initializer_list<Element> elements) {
    resbuf** link = &m_head;
    for (const Element& e : elements) {
      resbuf* rb = acutNewRb(e.type);
      switch (e.type) {
        case RTREAL:
          rb->resval.rreal = e.real;
          break;
        case RTSHORT:
          rb->resval.rint = static_cast<short>(e.integer);
          break;
        case RTLONG:
          rb->resval.rlong = e.integer;
          break;
        case RTSTR:
          rb->resval.rstring = acutNewString(e.text.c_str());
          break;
        case RTENAME:
          rb->resval.rlname[0] = e.name[0];
          rb->resval.rlname[1] = e.name[1];
          break;
        default:
          for (int i = 0; i < 3; ++i) rb->resval.rpoint[i] = e.point[i];
          break;
      }
      *link = rb;
      link = &rb->rbnext;
    }
  }
  ~Chain() { acutRelRb(m_head); }
  Chain(const Chain&) = delete;
  Chain& operator=(const Chain&) = delete;

  const resbuf* head() const { return m_head; }
  // The element at position i (0-based); nullptr past the end.
  const resbuf* at(std::size_t i) const {
    const resbuf* rb = m_head;
    while (rb != nullptr && i-- > 0) rb = rb->rbnext;
    return rb;
  }

 private:
  resbuf* m_head = nullptr;
};

// The type codes of a chain, in order.
inline std::vector<short> typesOf(const resbuf* chain) {
  std::vector<short> types;
  for (; chain != nullptr; chain = chain->rbnext) types.push_back(chain->restype);
  return types;
}

}  // namespace tabrik::arx::testing
