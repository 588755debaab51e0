// Result-buffer utilities of the ads interface: allocation, release, list building
// and deep copies. What each type code carries comes from ResbufKinds.h.
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "acutads.h"
#include "acdb/acut/ResbufChain.h"
#include "acdb/acut/ResbufKinds.h"

using tabrik::acad::ResbufKind;
using tabrik::acad::resbufKind;

namespace tabrik::acad {

ACHAR* duplicateString(const ACHAR* text) {
  if (text == nullptr) return nullptr;
  size_t length = std::wcslen(text);
  auto* copy = static_cast<ACHAR*>(std::malloc((length + 1) * sizeof(ACHAR)));
  if (copy == nullptr) return nullptr;
  std::wmemcpy(copy, text, length + 1);
  return copy;
}

resbuf* copyResbuf(const resbuf* source) {
  resbuf* copy = acutNewRb(source->restype);
  if (copy == nullptr) return nullptr;
  copy->resval = source->resval;
  switch (resbufKind(source->restype)) {
    case ResbufKind::kString:
      copy->resval.rstring = duplicateString(source->resval.rstring);
      break;
    case ResbufKind::kBinary: {
      const ads_binary& binary = source->resval.rbinary;
      copy->resval.rbinary.buf = nullptr;
      if (binary.buf != nullptr && binary.clen > 0) {
        copy->resval.rbinary.buf = static_cast<char*>(std::malloc(binary.clen));
        if (copy->resval.rbinary.buf != nullptr)
          std::memcpy(copy->resval.rbinary.buf, binary.buf, binary.clen);
      }
      break;
    }
    default:
      break;
  }
  return copy;
}

resbuf* copyResbufChain(const resbuf* source) {
  resbuf* head = nullptr;
  resbuf** tail = &head;
  for (const resbuf* rb = source; rb != nullptr; rb = rb->rbnext) {
    resbuf* copy = copyResbuf(rb);
    if (copy == nullptr) {
      acutRelRb(head);
      return nullptr;
    }
    *tail = copy;
    tail = &copy->rbnext;
  }
  return head;
}

}  // namespace tabrik::acad

resbuf* acutNewRb(int type) {
  auto* rb = static_cast<resbuf*>(std::calloc(1, sizeof(resbuf)));
  if (rb == nullptr) return nullptr;
  rb->restype = static_cast<short>(type);
  return rb;
}

int acutRelRb(resbuf* rb) {
  while (rb != nullptr) {
    resbuf* next = rb->rbnext;
    switch (resbufKind(rb->restype)) {
      case ResbufKind::kString:
        std::free(rb->resval.rstring);
        break;
      case ResbufKind::kBinary:
        std::free(rb->resval.rbinary.buf);
        break;
      default:
        break;
    }
    std::free(rb);
    rb = next;
  }
  return RTNORM;
}

ACHAR* acutNewString(const ACHAR* text) { return tabrik::acad::duplicateString(text ? text : L""); }

namespace {

// Fills one buffer from the next variadic value as its type code prescribes; false
// for a type code that carries no known kind of value.
bool takeValue(resbuf* rb, va_list& args) {
  switch (resbufKind(rb->restype)) {
    case ResbufKind::kNone:
      return true;
    case ResbufKind::kReal:
      rb->resval.rreal = va_arg(args, double);
      return true;
    case ResbufKind::kPoint: {
      const ads_real* point = va_arg(args, const ads_real*);
      if (point == nullptr) return false;
      for (int i = 0; i < 3; ++i) rb->resval.rpoint[i] = point[i];
      return true;
    }
    case ResbufKind::kShort:
      rb->resval.rint = static_cast<short>(va_arg(args, int));
      return true;
    case ResbufKind::kLong:
      rb->resval.rlong = static_cast<std::int32_t>(va_arg(args, int));
      return true;
    case ResbufKind::kInt64:
      rb->resval.mnInt64 = va_arg(args, std::int64_t);
      return true;
    case ResbufKind::kString: {
      const ACHAR* text = va_arg(args, const ACHAR*);
      rb->resval.rstring = tabrik::acad::duplicateString(text ? text : L"");
      return rb->resval.rstring != nullptr;
    }
    case ResbufKind::kName: {
      const std::intptr_t* name = va_arg(args, const std::intptr_t*);
      if (name == nullptr) return false;
      rb->resval.rlname[0] = name[0];
      rb->resval.rlname[1] = name[1];
      return true;
    }
    case ResbufKind::kBinary: {
      const ads_binary* binary = va_arg(args, const ads_binary*);
      if (binary == nullptr) return false;
      resbuf source{};
      source.restype = rb->restype;
      source.resval.rbinary = *binary;
      resbuf* copy = tabrik::acad::copyResbuf(&source);
      if (copy == nullptr) return false;
      rb->resval.rbinary = copy->resval.rbinary;
      copy->resval.rbinary.buf = nullptr;
      acutRelRb(copy);
      return true;
    }
    case ResbufKind::kUnknown:
      break;
  }
  return false;
}

}  // namespace

resbuf* acutBuildList(int type, ...) {
  va_list args;
  va_start(args, type);
  resbuf* head = nullptr;
  resbuf** tail = &head;
  for (int code = type; code != 0; code = va_arg(args, int)) {
    resbuf* rb = acutNewRb(code);
    if (rb == nullptr || !takeValue(rb, args)) {
      acutRelRb(rb);
      acutRelRb(head);
      va_end(args);
      return nullptr;
    }
    *tail = rb;
    tail = &rb->rbnext;
  }
  va_end(args);
  return head;
}
