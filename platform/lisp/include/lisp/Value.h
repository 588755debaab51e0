// AutoLISP values: a small handle over refcounted immutable objects.
// Integers live in the handle itself; everything else is a heap object that the
// handle shares. Conses are never mutated after construction (AutoLISP has no
// destructive list operations), so sharing is always safe. Symbols are interned
// process-wide and never freed; their values live in each Runtime, not here.
// A Value and everything reachable from it belongs to one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tabrik::lisp {

// What (type x) reports, plus Nil for nil (whose type is nil).
enum class Type : std::uint8_t {
  Nil,
  Int,            // INT
  Real,           // REAL
  Str,            // STR
  Sym,            // SYM
  List,           // LIST (a cons)
  Ename,          // ENAME
  Pickset,        // PICKSET
  File,           // FILE
  Subr,           // SUBR: builtin
  Usubr,          // USUBR: defun / lambda
  Exrxsubr,       // EXRXSUBR: external function of a loaded application
  CatchAllError,  // the object vl-catch-all-apply returns on an error
};

// An ads_name: two machine words that only the host gives meaning to.
struct AdsName {
  std::intptr_t word[2] = {0, 0};
  friend bool operator==(const AdsName&, const AdsName&) = default;
};

namespace detail {
struct Object {
  std::uint32_t refs;
  Type type;
  bool immortal;  // symbols: never counted, never freed
};
void destroy(Object* object) noexcept;
}  // namespace detail

class Value {
 public:
  Value() noexcept : m_bits(0) {}  // nil
  Value(const Value& other) noexcept : m_bits(other.m_bits) { retain(); }
  Value(Value&& other) noexcept : m_bits(std::exchange(other.m_bits, 0)) {}
  Value& operator=(const Value& other) noexcept {
    Value copy(other);
    std::swap(m_bits, copy.m_bits);
    return *this;
  }
  Value& operator=(Value&& other) noexcept {
    Value moved(std::move(other));
    std::swap(m_bits, moved.m_bits);
    return *this;
  }
  ~Value() { release(); }

  // --- construction
  static Value nil() noexcept { return Value(); }
  static Value t();
  static Value boolean(bool b) { return b ? t() : nil(); }
  static Value integer(std::int32_t i) noexcept {
    return Value((static_cast<std::uintptr_t>(static_cast<std::uint32_t>(i)) << 32) | 1u);
  }
  static Value real(double d);
  static Value string(std::string utf8);
  static Value symbol(std::string_view name);  // folded to upper case, interned
  // The symbol with an empty name that (princ) returns: prints as nothing, so a
  // command-line echo of it shows nothing.
  static Value nullSymbol();
  static Value cons(Value car, Value cdr);
  static Value list(std::initializer_list<Value> items);
  static Value list(const std::vector<Value>& items, Value tail = Value());
  static Value point(double x, double y);
  static Value point(double x, double y, double z);
  static Value ename(AdsName name);
  static Value pickset(AdsName name);
  static Value catchAllError(std::string message);

  // --- inspection
  Type type() const noexcept {
    if (m_bits == 0) return Type::Nil;
    if (m_bits & 1u) return Type::Int;
    return object()->type;
  }
  bool isNil() const noexcept { return m_bits == 0; }
  bool isTrue() const noexcept { return m_bits != 0; }
  bool isInt() const noexcept { return (m_bits & 1u) != 0; }
  bool isReal() const noexcept { return type() == Type::Real; }
  bool isNumber() const noexcept { return isInt() || isReal(); }
  bool isString() const noexcept { return type() == Type::Str; }
  bool isSymbol() const noexcept { return type() == Type::Sym; }
  bool isCons() const noexcept { return type() == Type::List; }
  bool isList() const noexcept { return isNil() || isCons(); }  // listp
  bool isAtom() const noexcept { return !isCons(); }
  bool isEname() const noexcept { return type() == Type::Ename; }
  bool isPickset() const noexcept { return type() == Type::Pickset; }
  bool isFile() const noexcept { return type() == Type::File; }
  bool isFunction() const noexcept {
    Type k = type();
    return k == Type::Subr || k == Type::Usubr || k == Type::Exrxsubr;
  }
  bool isCatchAllError() const noexcept { return type() == Type::CatchAllError; }
  bool isT() const noexcept;

  // Accessors; each requires the matching type (asserted).
  std::int32_t asInt() const noexcept { return static_cast<std::int32_t>(m_bits >> 32); }
  double asReal() const noexcept;
  double asNumber() const noexcept { return isInt() ? asInt() : asReal(); }
  const std::string& asString() const noexcept;
  const std::string& symbolName() const noexcept;  // also the name of a SUBR/USUBR/EXRXSUBR
  const Value& car() const noexcept;               // nil for nil
  const Value& cdr() const noexcept;               // nil for nil
  AdsName adsName() const noexcept;                // ENAME or PICKSET
  int externalCode() const noexcept;               // EXRXSUBR
  const std::string& catchAllMessage() const noexcept;
  const std::string& fileName() const noexcept;  // FILE

  // --- lists
  // Elements of the proper part of a list (a dotted tail is not visited).
  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = Value;
    using difference_type = std::ptrdiff_t;
    using pointer = const Value*;
    using reference = const Value&;
    Iterator() = default;
    explicit Iterator(const Value* cell) : m_cell(cell) { skipEnd(); }
    const Value& operator*() const noexcept { return m_cell->car(); }
    const Value* operator->() const noexcept { return &m_cell->car(); }
    Iterator& operator++() noexcept {
      m_cell = &m_cell->cdr();
      skipEnd();
      return *this;
    }
    Iterator operator++(int) noexcept {
      Iterator old = *this;
      ++*this;
      return old;
    }
    friend bool operator==(const Iterator& a, const Iterator& b) { return a.m_cell == b.m_cell; }
    // The cell at the iterator (the remaining list).
    const Value& rest() const noexcept { return *m_cell; }

   private:
    void skipEnd() noexcept {
      if (m_cell && !m_cell->isCons()) m_cell = nullptr;
    }
    const Value* m_cell = nullptr;
  };
  Iterator begin() const noexcept { return Iterator(this); }
  Iterator end() const noexcept { return Iterator(); }
  std::size_t length() const noexcept;  // proper elements
  bool isProperList() const noexcept;   // nil, or conses ending in nil
  std::vector<Value> toVector() const;  // proper elements
  // A list of 2 or 3 numbers (ints or reals): what AutoLISP calls a point.
  bool isPoint() const noexcept;

  // --- printing and comparison
  std::string toPrin1String() const;
  std::string toPrincString() const;
  bool eq(const Value& other) const noexcept;
  bool equal(const Value& other, double fuzz = 0.0) const;

  // Raw handle bits: object identity, usable as a hash key.
  std::uintptr_t bits() const noexcept { return m_bits; }

  // --- internal: adopt / expose the object (used by the runtime's own code)
  static Value adopt(detail::Object* object) noexcept {
    return Value(reinterpret_cast<std::uintptr_t>(object));
  }
  detail::Object* object() const noexcept { return reinterpret_cast<detail::Object*>(m_bits); }

 private:
  explicit Value(std::uintptr_t bits) noexcept : m_bits(bits) {}
  bool isHeap() const noexcept { return m_bits != 0 && (m_bits & 1u) == 0; }
  void retain() const noexcept {
    if (isHeap() && !object()->immortal) ++object()->refs;
  }
  void release() noexcept {
    if (isHeap() && !object()->immortal && --object()->refs == 0) detail::destroy(object());
  }
  std::uintptr_t m_bits = 0;
};

static_assert(sizeof(void*) == 8, "integers are stored in the upper half of a 64-bit handle");

// Type symbol name as (type x) returns it ("INT", "REAL", ...), empty for nil.
std::string_view typeName(Type type);

}  // namespace tabrik::lisp
