// A DWG filer over memory: a tape of typed items that one object writes and another
// (or the same, later) reads back. Copy, deep-clone and undo filing use it. Reading an
// item of another kind than was written is a filer error, which is how a class whose
// dwgInFields disagrees with its dwgOutFields shows up.
#pragma once
#include <string>
#include <variant>
#include <vector>

#include "dbfiler.h"

namespace tabrik::acad {

class MemoryDwgFiler : public AcDbDwgFiler {
 public:
  enum class IdKind { kHardOwner, kSoftOwner, kHardPointer, kSoftPointer };
  struct IdItem {
    IdKind kind;
    AcDbObjectId id;
  };
  using Item =
      std::variant<bool, Adesk::Int8, Adesk::Int16, Adesk::Int32, Adesk::UInt8, Adesk::UInt16,
                   Adesk::UInt32, double, AcGePoint2d, AcGePoint3d, AcGeVector3d, AcGeScale3d,
                   AcDbHandle, std::wstring, std::vector<char>, IdItem>;

  MemoryDwgFiler(AcDb::FilerType type, AcDbDatabase* database)
      : m_type(type), m_database(database) {}

  Acad::ErrorStatus filerStatus() const override { return m_status; }
  AcDb::FilerType filerType() const override { return m_type; }
  void setFilerStatus(Acad::ErrorStatus status) override { m_status = status; }
  void resetFilerStatus() override { m_status = Acad::eOk; }
  AcDbDatabase* database() const override { return m_database; }
  // Starts reading from the first item again.
  void rewind() {
    m_position = 0;
    m_status = Acad::eOk;
  }
  const std::vector<Item>& items() const { return m_items; }
  std::vector<Item>& items() { return m_items; }
  // Maps ids on reading (deep clone into another database); identity by default.
  virtual AcDbObjectId translate(AcDbObjectId id, IdKind) { return id; }

  Acad::ErrorStatus readHardOwnershipId(AcDbHardOwnershipId* id) override {
    return readId(id, IdKind::kHardOwner);
  }
  Acad::ErrorStatus writeHardOwnershipId(const AcDbHardOwnershipId& id) override {
    return put(IdItem{IdKind::kHardOwner, id});
  }
  Acad::ErrorStatus readSoftOwnershipId(AcDbSoftOwnershipId* id) override {
    return readId(id, IdKind::kSoftOwner);
  }
  Acad::ErrorStatus writeSoftOwnershipId(const AcDbSoftOwnershipId& id) override {
    return put(IdItem{IdKind::kSoftOwner, id});
  }
  Acad::ErrorStatus readHardPointerId(AcDbHardPointerId* id) override {
    return readId(id, IdKind::kHardPointer);
  }
  Acad::ErrorStatus writeHardPointerId(const AcDbHardPointerId& id) override {
    return put(IdItem{IdKind::kHardPointer, id});
  }
  Acad::ErrorStatus readSoftPointerId(AcDbSoftPointerId* id) override {
    return readId(id, IdKind::kSoftPointer);
  }
  Acad::ErrorStatus writeSoftPointerId(const AcDbSoftPointerId& id) override {
    return put(IdItem{IdKind::kSoftPointer, id});
  }
  Acad::ErrorStatus readString(std::wstring& v) override { return get(v); }
  Acad::ErrorStatus writeString(const std::wstring& v) override { return put(v); }
  using AcDbDwgFiler::readString;
  using AcDbDwgFiler::writeString;
  Acad::ErrorStatus readBytes(void* buffer, unsigned length) override;
  Acad::ErrorStatus writeBytes(const void* buffer, unsigned length) override;
  Acad::ErrorStatus readBool(bool* v) override { return get(*v); }
  Acad::ErrorStatus writeBool(bool v) override { return put(v); }
  Acad::ErrorStatus readInt8(Adesk::Int8* v) override { return get(*v); }
  Acad::ErrorStatus writeInt8(Adesk::Int8 v) override { return put(v); }
  Acad::ErrorStatus readInt16(Adesk::Int16* v) override { return get(*v); }
  Acad::ErrorStatus writeInt16(Adesk::Int16 v) override { return put(v); }
  Acad::ErrorStatus readInt32(Adesk::Int32* v) override { return get(*v); }
  Acad::ErrorStatus writeInt32(Adesk::Int32 v) override { return put(v); }
  Acad::ErrorStatus readUInt8(Adesk::UInt8* v) override { return get(*v); }
  Acad::ErrorStatus writeUInt8(Adesk::UInt8 v) override { return put(v); }
  Acad::ErrorStatus readUInt16(Adesk::UInt16* v) override { return get(*v); }
  Acad::ErrorStatus writeUInt16(Adesk::UInt16 v) override { return put(v); }
  Acad::ErrorStatus readUInt32(Adesk::UInt32* v) override { return get(*v); }
  Acad::ErrorStatus writeUInt32(Adesk::UInt32 v) override { return put(v); }
  Acad::ErrorStatus readDouble(double* v) override { return get(*v); }
  Acad::ErrorStatus writeDouble(double v) override { return put(v); }
  Acad::ErrorStatus readPoint2d(AcGePoint2d* v) override { return get(*v); }
  Acad::ErrorStatus writePoint2d(const AcGePoint2d& v) override { return put(v); }
  Acad::ErrorStatus readPoint3d(AcGePoint3d* v) override { return get(*v); }
  Acad::ErrorStatus writePoint3d(const AcGePoint3d& v) override { return put(v); }
  Acad::ErrorStatus readVector3d(AcGeVector3d* v) override { return get(*v); }
  Acad::ErrorStatus writeVector3d(const AcGeVector3d& v) override { return put(v); }
  Acad::ErrorStatus readScale3d(AcGeScale3d* v) override { return get(*v); }
  Acad::ErrorStatus writeScale3d(const AcGeScale3d& v) override { return put(v); }
  Acad::ErrorStatus readAcDbHandle(AcDbHandle* v) override { return get(*v); }
  Acad::ErrorStatus writeAcDbHandle(const AcDbHandle& v) override { return put(v); }

 private:
  template <class V>
  Acad::ErrorStatus put(const V& value) {
    if (m_status != Acad::eOk) return m_status;
    m_items.emplace_back(value);
    return Acad::eOk;
  }
  template <class V>
  Acad::ErrorStatus get(V& value) {
    if (m_status != Acad::eOk) return m_status;
    if (m_position >= m_items.size()) return m_status = Acad::eEndOfFile;
    const V* item = std::get_if<V>(&m_items[m_position]);
    if (item == nullptr) return m_status = Acad::eFilerError;
    value = *item;
    ++m_position;
    return Acad::eOk;
  }
  Acad::ErrorStatus readId(AcDbObjectId* id, IdKind kind);

  AcDb::FilerType m_type;
  AcDbDatabase* m_database;
  Acad::ErrorStatus m_status = Acad::eOk;
  std::vector<Item> m_items;
  size_t m_position = 0;
};

}  // namespace tabrik::acad
