// A stored value, as every back end hands it to the engine and takes it back: Null, a
// 64-bit integer, a double or text. The DAO types map onto these four (DaoStore.h).
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace tabrik::dao {

struct Value {
  enum Kind { Null, Int, Real, Text } kind = Null;
  long long i = 0;
  double r = 0;
  std::wstring text;

  static Value null() { return {}; }
  static Value ofInt(long long v) {
    Value x;
    x.kind = Int;
    x.i = v;
    return x;
  }
  static Value ofReal(double v) {
    Value x;
    x.kind = Real;
    x.r = v;
    return x;
  }
  static Value ofText(std::wstring v) {
    Value x;
    x.kind = Text;
    x.text = std::move(v);
    return x;
  }
  bool isNull() const { return kind == Null; }
  bool operator==(const Value& o) const;
};

using Row = std::vector<Value>;

}  // namespace tabrik::dao
