// The list builder (see ListBuilder.h).
#include "host/ListBuilder.h"

#include <new>

#include <acedads.h>
#include <acutads.h>

#include "host/VariantConversion.h"

namespace tabrik::arx {
namespace {

resbuf* newBuffer(int type) {
  resbuf* buffer = acutNewRb(type);
  if (buffer == nullptr) {
    throw std::bad_alloc();
  }
  return buffer;
}

resbuf* newString(const std::wstring& text) {
  resbuf* buffer = newBuffer(RTSTR);
  buffer->resval.rstring = acutNewString(text.c_str());
  if (buffer->resval.rstring == nullptr) {
    acutRelRb(buffer);
    throw std::bad_alloc();
  }
  return buffer;
}

resbuf* newPoint(const ads_point point) {
  resbuf* buffer = newBuffer(RT3DPOINT);
  buffer->resval.rpoint[X] = point[X];
  buffer->resval.rpoint[Y] = point[Y];
  buffer->resval.rpoint[Z] = point[Z];
  return buffer;
}

// A copy of one host element of a type that makePair carries; nullptr otherwise.
resbuf* copyValue(const resbuf* element) {
  switch (element->restype) {
    case RTSTR:
      return newString(element->resval.rstring != nullptr ? element->resval.rstring : L"");
    case RTREAL:
    case RTPOINT:
    case RT3DPOINT:
    case RTSHORT:
    case RTLONG: {
      resbuf* copy = newBuffer(element->restype);
      copy->resval = element->resval;
      return copy;
    }
    default:
      return nullptr;
  }
}

}  // namespace

ListBuilder::~ListBuilder() { release(); }

void ListBuilder::release() {
  if (m_head != nullptr) {
    acutRelRb(m_head);
  }
  m_head = nullptr;
  m_last = nullptr;
}

void ListBuilder::append(resbuf* chain) {
  if (m_head == nullptr) {
    m_head = chain;
  } else {
    m_last->rbnext = chain;
  }
  m_last = chain;
  while (m_last->rbnext != nullptr) {
    m_last = m_last->rbnext;
  }
}

void ListBuilder::appendNew(int type) { append(newBuffer(type)); }

void ListBuilder::start() {
  release();
  appendNew(RTLB);
}

void ListBuilder::addString(const std::wstring& text) { append(newString(text)); }

void ListBuilder::add3dPoint(const ads_point point) { append(newPoint(point)); }

void ListBuilder::addEntityName(const ads_name name) {
  resbuf* buffer = newBuffer(RTENAME);
  buffer->resval.rlname[0] = name[0];
  buffer->resval.rlname[1] = name[1];
  append(buffer);
}

void ListBuilder::addDatabaseValue(const VARIANT& value) {
  append(variantToResbuf(value, StringRule::kTrimTrailingBlanks));
}

void ListBuilder::openPair(const std::wstring& name) {
  appendNew(RTLB);
  append(newString(name));
  appendNew(RTDOTE);
}

void ListBuilder::closePair() { appendNew(RTLE); }

void ListBuilder::addPair(const std::wstring& name, const std::wstring& text) {
  openPair(name);
  append(newString(text));
  closePair();
}

void ListBuilder::addPair(const std::wstring& name, double value) {
  openPair(name);
  resbuf* real = newBuffer(RTREAL);
  real->resval.rreal = value;
  append(real);
  closePair();
}

void ListBuilder::addPairLong(const std::wstring& name, std::int32_t value) {
  openPair(name);
  resbuf* integer = newBuffer(RTLONG);
  integer->resval.rlong = value;
  append(integer);
  closePair();
}

void ListBuilder::addPairPoint(const std::wstring& name, const ads_point point) {
  openPair(name);
  append(newPoint(point));
  closePair();
}

void ListBuilder::addPairDatabaseValue(const std::wstring& name, const VARIANT& value) {
  openPair(name);
  append(variantToResbuf(value, stringRuleForField(name)));
  closePair();
}

void ListBuilder::finish() {
  if (m_head == nullptr) {
    // Defensive: finish without start returns nil rather than an unopened list.
    acedRetNil();
    return;
  }
  appendNew(RTLE);
  acedRetList(m_head);
  release();
}

bool ListBuilder::addPairHostValue(const std::wstring& name, const resbuf* hostValue) {
  resbuf* pair = makePair(name, hostValue);
  if (pair == nullptr) {
    return false;
  }
  append(pair);
  return true;
}

resbuf* ListBuilder::makePair(const std::wstring& name, const resbuf* hostValue) {
  if (hostValue == nullptr) {
    return nullptr;
  }
  resbuf* value = copyValue(hostValue);
  if (value == nullptr) {
    return nullptr;
  }
  // Built as its own builder's chain so that a failure part-way frees the pieces.
  ListBuilder pair;
  pair.openPair(name);
  pair.append(value);
  pair.closePair();
  resbuf* chain = pair.m_head;
  pair.m_head = nullptr;
  pair.m_last = nullptr;
  return chain;
}

}  // namespace tabrik::arx
