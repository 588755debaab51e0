// Value construction, accessors, the symbol table and iterative destruction.
// Printing lives in Printer.cpp, equality in Equality.cpp.
#include "lisp/Value.h"

#include <cassert>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "Objects.h"

namespace tabrik::lisp {

namespace detail {

namespace {
struct SymbolTable {
  std::mutex mutex;
  std::unordered_map<std::string, SymbolObject*> byName;
  std::vector<SymbolObject*> byId;
};

SymbolTable& symbolTable() {
  // Leaked on purpose: symbols are immortal and may be referenced from other
  // static objects during shutdown. Reachable, so not reported as a leak.
  static SymbolTable* table = new SymbolTable();
  return *table;
}

Value internUpper(std::string name) {
  SymbolTable& table = symbolTable();
  std::lock_guard lock(table.mutex);
  auto found = table.byName.find(name);
  if (found != table.byName.end()) return Value::adopt(found->second);
  auto* symbol = new SymbolObject();
  symbol->refs = 1;
  symbol->type = Type::Sym;
  symbol->immortal = true;
  symbol->name = name;
  symbol->id = static_cast<std::uint32_t>(table.byId.size());
  table.byId.push_back(symbol);
  table.byName.emplace(std::move(name), symbol);
  return Value::adopt(symbol);
}
}  // namespace

std::string upperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::uint32_t symbolCount() {
  SymbolTable& table = symbolTable();
  std::lock_guard lock(table.mutex);
  return static_cast<std::uint32_t>(table.byId.size());
}

Value symbolById(std::uint32_t id) {
  SymbolTable& table = symbolTable();
  std::lock_guard lock(table.mutex);
  return Value::adopt(table.byId.at(id));
}

// Destroys objects whose count reached zero. Releasing a member may free further
// objects; those are queued instead of freed recursively, so a list nested a
// million levels deep (in car or cdr) is freed in constant C++ stack.
//
// The queue is plain thread-local storage with nothing to destruct, so values that
// static objects release during shutdown are still freed correctly; a queue that
// outgrows its inline part borrows heap storage for the one drain only.
namespace {
struct PendingQueue {
  static constexpr std::size_t kInline = 256;
  Object* inlineItems[kInline];
  Object** items;  // inlineItems or a heap block
  std::size_t size;
  std::size_t capacity;
  bool draining;
};
thread_local PendingQueue t_pending{{}, nullptr, 0, 0, false};

void push(PendingQueue& queue, Object* object) {
  if (!queue.items) {
    queue.items = queue.inlineItems;
    queue.capacity = PendingQueue::kInline;
  }
  if (queue.size == queue.capacity) {
    std::size_t capacity = queue.capacity * 2;
    auto* grown = static_cast<Object**>(std::malloc(capacity * sizeof(Object*)));
    if (!grown) std::abort();  // out of memory while freeing: nothing sensible remains
    std::memcpy(grown, queue.items, queue.size * sizeof(Object*));
    if (queue.items != queue.inlineItems) std::free(queue.items);
    queue.items = grown;
    queue.capacity = capacity;
  }
  queue.items[queue.size++] = object;
}

void deleteOne(Object* next) {
  switch (next->type) {
    case Type::Real:
      delete static_cast<RealObject*>(next);
      break;
    case Type::Str:
      delete static_cast<StringObject*>(next);
      break;
    case Type::List:
      delete static_cast<ConsObject*>(next);
      break;  // members queue
    case Type::Ename:
    case Type::Pickset:
      delete static_cast<NameObject*>(next);
      break;
    case Type::File: {
      auto* file = static_cast<FileObject*>(next);
      if (file->stream) std::fclose(file->stream);
      delete file;
      break;
    }
    case Type::Subr:
      delete static_cast<SubrObject*>(next);
      break;
    case Type::Usubr:
      delete static_cast<UsubrObject*>(next);
      break;
    case Type::Exrxsubr:
      delete static_cast<ExternalObject*>(next);
      break;
    case Type::CatchAllError:
      delete static_cast<CatchAllObject*>(next);
      break;
    case Type::Nil:
    case Type::Int:
    case Type::Sym:
      assert(false && "not a counted heap object");
      break;
  }
}
}  // namespace

void destroy(Object* object) noexcept {
  PendingQueue& queue = t_pending;
  push(queue, object);
  if (queue.draining) return;
  queue.draining = true;
  while (queue.size > 0) deleteOne(queue.items[--queue.size]);
  if (queue.items != queue.inlineItems) std::free(queue.items);
  queue.items = nullptr;
  queue.capacity = 0;
  queue.draining = false;
}

}  // namespace detail

using namespace detail;

Value Value::t() {
  static const Value symbol = Value::symbol("T");
  return symbol;
}

Value Value::real(double d) {
  auto* object = allocate<RealObject>(Type::Real);
  object->value = d;
  return adopt(object);
}

Value Value::string(std::string utf8) {
  auto* object = allocate<StringObject>(Type::Str);
  object->text = std::move(utf8);
  return adopt(object);
}

Value Value::symbol(std::string_view name) { return internUpper(upperCase(name)); }

Value Value::nullSymbol() {
  static const Value symbol = internUpper(std::string());
  return symbol;
}

Value Value::cons(Value car, Value cdr) {
  auto* object = allocate<ConsObject>(Type::List);
  object->car = std::move(car);
  object->cdr = std::move(cdr);
  return adopt(object);
}

Value Value::list(std::initializer_list<Value> items) {
  Value result;
  for (auto it = items.end(); it != items.begin();) {
    --it;
    result = cons(*it, std::move(result));
  }
  return result;
}

Value Value::list(const std::vector<Value>& items, Value tail) {
  Value result = std::move(tail);
  for (auto it = items.rbegin(); it != items.rend(); ++it) result = cons(*it, std::move(result));
  return result;
}

Value Value::point(double x, double y) { return list({real(x), real(y)}); }
Value Value::point(double x, double y, double z) { return list({real(x), real(y), real(z)}); }

Value Value::ename(AdsName name) {
  auto* object = allocate<NameObject>(Type::Ename);
  object->name = name;
  return adopt(object);
}

Value Value::pickset(AdsName name) {
  auto* object = allocate<NameObject>(Type::Pickset);
  object->name = name;
  return adopt(object);
}

Value Value::catchAllError(std::string message) {
  auto* object = allocate<CatchAllObject>(Type::CatchAllError);
  object->message = std::move(message);
  return adopt(object);
}

bool Value::isT() const noexcept { return m_bits == t().m_bits; }

double Value::asReal() const noexcept {
  assert(isReal());
  return static_cast<const RealObject*>(object())->value;
}

const std::string& Value::asString() const noexcept {
  assert(isString());
  return static_cast<const StringObject*>(object())->text;
}

const std::string& Value::symbolName() const noexcept {
  switch (type()) {
    case Type::Subr:
      return asSubr(*this)->name.symbolName();
    case Type::Usubr:
      return asUsubr(*this)->name.isNil() ? Value::nullSymbol().symbolName()
                                          : asUsubr(*this)->name.symbolName();
    case Type::Exrxsubr:
      return asExternal(*this)->name.symbolName();
    default:
      break;
  }
  assert(isSymbol());
  return asSymbol(*this)->name;
}

namespace {
const Value kNil;
}

const Value& Value::car() const noexcept {
  if (isNil()) return kNil;
  assert(isCons());
  return asCons(*this)->car;
}

const Value& Value::cdr() const noexcept {
  if (isNil()) return kNil;
  assert(isCons());
  return asCons(*this)->cdr;
}

AdsName Value::adsName() const noexcept {
  assert(isEname() || isPickset());
  return static_cast<const NameObject*>(object())->name;
}

int Value::externalCode() const noexcept {
  assert(type() == Type::Exrxsubr);
  return asExternal(*this)->code;
}

const std::string& Value::catchAllMessage() const noexcept {
  assert(isCatchAllError());
  return static_cast<const CatchAllObject*>(object())->message;
}

const std::string& Value::fileName() const noexcept {
  assert(isFile());
  return static_cast<const FileObject*>(object())->path;
}

std::size_t Value::length() const noexcept {
  std::size_t n = 0;
  for (const Value* cell = this; cell->isCons(); cell = &cell->cdr()) ++n;
  return n;
}

bool Value::isProperList() const noexcept {
  const Value* cell = this;
  while (cell->isCons()) cell = &cell->cdr();
  return cell->isNil();
}

std::vector<Value> Value::toVector() const {
  std::vector<Value> out;
  for (const Value& item : *this) out.push_back(item);
  return out;
}

bool Value::isPoint() const noexcept {
  std::size_t n = 0;
  const Value* cell = this;
  for (; cell->isCons(); cell = &cell->cdr()) {
    if (!cell->car().isNumber() || ++n > 3) return false;
  }
  return cell->isNil() && (n == 2 || n == 3);
}

// Entity and selection-set names are values of the host: two handles on the same
// ads name are the same entity, as (eq (entlast) (entlast)) shows.
bool Value::eq(const Value& other) const noexcept {
  if (m_bits == other.m_bits) return true;
  Type kind = type();
  if ((kind != Type::Ename && kind != Type::Pickset) || other.type() != kind) return false;
  return adsName() == other.adsName();
}

std::string_view typeName(Type type) {
  switch (type) {
    case Type::Nil:
      return "";
    case Type::Int:
      return "INT";
    case Type::Real:
      return "REAL";
    case Type::Str:
      return "STR";
    case Type::Sym:
      return "SYM";
    case Type::List:
      return "LIST";
    case Type::Ename:
      return "ENAME";
    case Type::Pickset:
      return "PICKSET";
    case Type::File:
      return "FILE";
    case Type::Subr:
      return "SUBR";
    case Type::Usubr:
      return "USUBR";
    case Type::Exrxsubr:
      return "EXRXSUBR";
    case Type::CatchAllError:
      return "VL-CATCH-ALL-APPLY-ERROR";
  }
  return "";
}

}  // namespace tabrik::lisp
