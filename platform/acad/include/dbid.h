// Object ids: how code outside the database names a database-resident object. An id
// stays valid (and compares equal to itself) for the life of its database, also after
// the object is erased; opening it is how one gets at the object.
//
// The four reference kinds differ only in how filing treats them (an owner keeps what
// it hard-owns alive; a hard pointer keeps its target from being purged); at run time
// they are all ids.
#pragma once
#include <cstdint>
#include <functional>

#include "acarray.h"
#include "dbhandle.h"

class AcDbDatabase;
class AcDbStub;
class AcRxClass;

class AcDbObjectId {
 public:
  AcDbObjectId() = default;
  explicit AcDbObjectId(AcDbStub* stub) : m_stub(stub) {}
  static const AcDbObjectId kNull;

  bool isNull() const { return m_stub == nullptr; }
  void setNull() { m_stub = nullptr; }
  // Names an object that exists in a live database (erased or not).
  bool isValid() const;
  bool isErased() const;
  bool isResident() const { return isValid(); }
  AcDbDatabase* database() const;
  AcDbDatabase* originalDatabase() const { return database(); }
  AcDbHandle handle() const;
  AcRxClass* objectClass() const;
  // The value the host gives the ads interface for this id (word 0 of an ads_name).
  std::intptr_t asOldId() const;
  AcDbObjectId& setFromOldId(std::intptr_t oldId);
  AcDbStub* stub() const { return m_stub; }

  bool operator==(const AcDbObjectId& other) const { return m_stub == other.m_stub; }
  bool operator!=(const AcDbObjectId& other) const { return m_stub != other.m_stub; }
  bool operator<(const AcDbObjectId& other) const;
  explicit operator bool() const = delete;

 private:
  AcDbStub* m_stub = nullptr;
};

class AcDbHardOwnershipId : public AcDbObjectId {
 public:
  AcDbHardOwnershipId() = default;
  AcDbHardOwnershipId(const AcDbObjectId& id) : AcDbObjectId(id) {}  // NOLINT
};
class AcDbSoftOwnershipId : public AcDbObjectId {
 public:
  AcDbSoftOwnershipId() = default;
  AcDbSoftOwnershipId(const AcDbObjectId& id) : AcDbObjectId(id) {}  // NOLINT
};
class AcDbHardPointerId : public AcDbObjectId {
 public:
  AcDbHardPointerId() = default;
  AcDbHardPointerId(const AcDbObjectId& id) : AcDbObjectId(id) {}  // NOLINT
};
class AcDbSoftPointerId : public AcDbObjectId {
 public:
  AcDbSoftPointerId() = default;
  AcDbSoftPointerId(const AcDbObjectId& id) : AcDbObjectId(id) {}  // NOLINT
};

typedef AcArray<AcDbObjectId> AcDbObjectIdArray;

template <>
struct std::hash<AcDbObjectId> {
  size_t operator()(const AcDbObjectId& id) const noexcept {
    return std::hash<const void*>()(id.stub());
  }
};
