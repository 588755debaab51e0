// The list builder: a LISP result list under construction, as a chain of result
// buffers with a pointer to its head and one to its last element. start() opens the
// list, the add operations append after the last element, finish() closes the list and
// hands it to the host (acedRetList). A builder destroyed before finish() releases
// what it built, so an early exit or an exception leaks nothing.
#pragma once
#include <cstdint>
#include <string>

#include <oleauto.h>

#include <adsdef.h>

class AcDbObjectId;

namespace tabrik::arx {

class ListBuilder {
 public:
  ListBuilder() = default;
  ~ListBuilder();
  ListBuilder(const ListBuilder&) = delete;
  ListBuilder& operator=(const ListBuilder&) = delete;

  // The opening RTLB; discards anything built before.
  void start();
  void addString(const std::wstring& text);
  void add3dPoint(const ads_point point);
  // One RTENAME element.
  void addEntityName(const ads_name name);
  // The LISP form of a database value, trailing blanks of text removed.
  void addDatabaseValue(const VARIANT& value);
  // (name . "text")
  void addPair(const std::wstring& name, const std::wstring& text);
  // (name . real)
  void addPair(const std::wstring& name, double value);
  // (name . integer), the integer as RTLONG.
  void addPairLong(const std::wstring& name, std::int32_t value);
  // (name . point), the point as RT3DPOINT.
  void addPairPoint(const std::wstring& name, const ads_point point);
  // (name . entity name); (name) when the id is null or the host cannot name it.
  void addPairEntity(const std::wstring& name, const AcDbObjectId& id);
  // (name . value) with the string rule of the field `name`.
  void addPairDatabaseValue(const std::wstring& name, const VARIANT& value);
  // (name . value) for one host element that makePair carries; false, appending
  // nothing, for any other element.
  bool addPairHostValue(const std::wstring& name, const resbuf* hostValue);
  // Closes the list with RTLE, returns it to LISP with acedRetList, releases it and
  // leaves the builder empty.
  void finish();

  // (name . value) copied from one host element of type RTREAL, RTPOINT, RT3DPOINT,
  // RTSHORT, RTSTR or RTLONG, as a separate chain for the caller to link in (the caller
  // owns it); nullptr for any other element.
  static resbuf* makePair(const std::wstring& name, const resbuf* hostValue);

  // The chain built so far (for inspection; the builder still owns it).
  const resbuf* head() const { return m_head; }

 private:
  void append(resbuf* chain);
  void appendNew(int type);
  void openPair(const std::wstring& name);
  void closePair();
  void release();

  resbuf* m_head = nullptr;
  resbuf* m_last = nullptr;
};

}  // namespace tabrik::arx
