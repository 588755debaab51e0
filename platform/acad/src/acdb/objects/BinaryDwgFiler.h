// The DWG filer of the host's own binary drawing file: every item an object files is
// one tag byte and its value, little-endian, so that a reader whose dwgInFields asks
// for another kind than was written, or reads past its object's bytes, stops with a
// filer error instead of reading garbage. Ids are filed as handles.
//
// | tag | item                                   | value                               |
// |-----|----------------------------------------|-------------------------------------|
// | 1   | bool                                   | 1 byte, 0 or 1                      |
// | 2   | Int8 / 5 UInt8                         | 1 byte                              |
// | 3   | Int16 / 6 UInt16                       | 2 bytes                             |
// | 4   | Int32 / 7 UInt32                       | 4 bytes                             |
// | 8   | double                                 | 8 bytes, IEEE 754                   |
// | 9   | 2D point                               | 2 doubles                           |
// | 10  | 3D point / 11 3D vector / 12 scale     | 3 doubles                           |
// | 13  | handle                                 | 8 bytes                             |
// | 14  | string                                 | UInt32 count, then count UInt32 code points |
// | 15  | bytes                                  | UInt32 count, then the bytes        |
// | 16  | hard owner / 17 soft owner id          | 8-byte handle (0 for no object)     |
// | 18  | hard pointer / 19 soft pointer id      | 8-byte handle (0 for no object)     |
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "dbfiler.h"

namespace tabrik::acad {

class BinaryDwgFiler : public AcDbDwgFiler {
 public:
  enum Tag : std::uint8_t {
    kBool = 1,
    kInt8,
    kInt16,
    kInt32,
    kUInt8,
    kUInt16,
    kUInt32,
    kDouble,
    kPoint2d,
    kPoint3d,
    kVector3d,
    kScale3d,
    kHandle,
    kString,
    kBytes,
    kHardOwner,
    kSoftOwner,
    kHardPointer,
    kSoftPointer
  };
  // Turns a handle read from the file into an id of the database being read (null
  // for a handle the file holds no object under).
  using Resolver = std::function<AcDbObjectId(std::uint64_t)>;

  // A writer appending to `out`.
  BinaryDwgFiler(AcDbDatabase* database, std::string& out) : m_database(database), m_out(&out) {}
  // A reader of `in`.
  BinaryDwgFiler(AcDbDatabase* database, std::string_view in, Resolver resolver)
      : m_database(database), m_in(in), m_resolver(std::move(resolver)) {}

  Acad::ErrorStatus filerStatus() const override { return m_status; }
  AcDb::FilerType filerType() const override { return AcDb::kFileFiler; }
  void setFilerStatus(Acad::ErrorStatus status) override { m_status = status; }
  void resetFilerStatus() override { m_status = Acad::eOk; }
  AcDbDatabase* database() const override { return m_database; }
  // True once every byte given to a reader has been read.
  bool atEnd() const { return m_position == m_in.size(); }

  Acad::ErrorStatus readHardOwnershipId(AcDbHardOwnershipId* id) override {
    return readId(id, kHardOwner);
  }
  Acad::ErrorStatus writeHardOwnershipId(const AcDbHardOwnershipId& id) override {
    return writeId(id, kHardOwner);
  }
  Acad::ErrorStatus readSoftOwnershipId(AcDbSoftOwnershipId* id) override {
    return readId(id, kSoftOwner);
  }
  Acad::ErrorStatus writeSoftOwnershipId(const AcDbSoftOwnershipId& id) override {
    return writeId(id, kSoftOwner);
  }
  Acad::ErrorStatus readHardPointerId(AcDbHardPointerId* id) override {
    return readId(id, kHardPointer);
  }
  Acad::ErrorStatus writeHardPointerId(const AcDbHardPointerId& id) override {
    return writeId(id, kHardPointer);
  }
  Acad::ErrorStatus readSoftPointerId(AcDbSoftPointerId* id) override {
    return readId(id, kSoftPointer);
  }
  Acad::ErrorStatus writeSoftPointerId(const AcDbSoftPointerId& id) override {
    return writeId(id, kSoftPointer);
  }
  using AcDbDwgFiler::readString;
  using AcDbDwgFiler::writeString;
  Acad::ErrorStatus readString(std::wstring& value) override;
  Acad::ErrorStatus writeString(const std::wstring& value) override;
  Acad::ErrorStatus readBytes(void* buffer, unsigned length) override;
  Acad::ErrorStatus writeBytes(const void* buffer, unsigned length) override;
  Acad::ErrorStatus readBool(bool* value) override;
  Acad::ErrorStatus writeBool(bool value) override;
  Acad::ErrorStatus readInt8(Adesk::Int8* value) override { return readScalar(kInt8, value); }
  Acad::ErrorStatus writeInt8(Adesk::Int8 value) override { return writeScalar(kInt8, value); }
  Acad::ErrorStatus readInt16(Adesk::Int16* value) override { return readScalar(kInt16, value); }
  Acad::ErrorStatus writeInt16(Adesk::Int16 value) override { return writeScalar(kInt16, value); }
  Acad::ErrorStatus readInt32(Adesk::Int32* value) override { return readScalar(kInt32, value); }
  Acad::ErrorStatus writeInt32(Adesk::Int32 value) override { return writeScalar(kInt32, value); }
  Acad::ErrorStatus readUInt8(Adesk::UInt8* value) override { return readScalar(kUInt8, value); }
  Acad::ErrorStatus writeUInt8(Adesk::UInt8 value) override { return writeScalar(kUInt8, value); }
  Acad::ErrorStatus readUInt16(Adesk::UInt16* value) override { return readScalar(kUInt16, value); }
  Acad::ErrorStatus writeUInt16(Adesk::UInt16 value) override {
    return writeScalar(kUInt16, value);
  }
  Acad::ErrorStatus readUInt32(Adesk::UInt32* value) override { return readScalar(kUInt32, value); }
  Acad::ErrorStatus writeUInt32(Adesk::UInt32 value) override {
    return writeScalar(kUInt32, value);
  }
  Acad::ErrorStatus readDouble(double* value) override { return readScalar(kDouble, value); }
  Acad::ErrorStatus writeDouble(double value) override { return writeScalar(kDouble, value); }
  Acad::ErrorStatus readPoint2d(AcGePoint2d* value) override;
  Acad::ErrorStatus writePoint2d(const AcGePoint2d& value) override;
  Acad::ErrorStatus readPoint3d(AcGePoint3d* value) override;
  Acad::ErrorStatus writePoint3d(const AcGePoint3d& value) override;
  Acad::ErrorStatus readVector3d(AcGeVector3d* value) override;
  Acad::ErrorStatus writeVector3d(const AcGeVector3d& value) override;
  Acad::ErrorStatus readScale3d(AcGeScale3d* value) override;
  Acad::ErrorStatus writeScale3d(const AcGeScale3d& value) override;
  Acad::ErrorStatus readAcDbHandle(AcDbHandle* value) override;
  Acad::ErrorStatus writeAcDbHandle(const AcDbHandle& value) override;

  // The raw little-endian encoding, for the file's own framing around objects.
  void putRaw(std::uint64_t value, int bytes);
  bool getRaw(std::uint64_t& value, int bytes);
  // The next `count` bytes, unread (empty with eEndOfFile when fewer are left).
  std::string_view take(std::uint64_t count);

 private:
  template <class V>
  Acad::ErrorStatus writeScalar(Tag tag, V value) {
    if (m_status != Acad::eOk) return m_status;
    m_out->push_back(static_cast<char>(tag));
    put(value);
    return Acad::eOk;
  }
  template <class V>
  Acad::ErrorStatus readScalar(Tag tag, V* value) {
    if (!expect(tag)) return m_status;
    if (!get(*value)) return m_status;
    return Acad::eOk;
  }
  void put(double value);
  template <class V>
  void put(V value) {
    putRaw(static_cast<std::uint64_t>(value), sizeof(V));
  }
  bool get(double& value);
  template <class V>
  bool get(V& value) {
    std::uint64_t raw = 0;
    if (!getRaw(raw, sizeof(V))) return false;
    value = static_cast<V>(raw);
    return true;
  }
  bool expect(Tag tag);
  bool getDoubles(double* values, int count);
  Acad::ErrorStatus writeId(const AcDbObjectId& id, Tag tag);
  Acad::ErrorStatus readId(AcDbObjectId* id, Tag tag);

  AcDbDatabase* m_database;
  std::string* m_out = nullptr;
  std::string_view m_in;
  size_t m_position = 0;
  Resolver m_resolver;
  Acad::ErrorStatus m_status = Acad::eOk;
};

}  // namespace tabrik::acad
