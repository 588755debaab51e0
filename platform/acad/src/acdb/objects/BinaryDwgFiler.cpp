// Encoding and decoding the tagged items of the binary drawing file.
#include "acdb/objects/BinaryDwgFiler.h"

#include <bit>
#include <cstring>

#include "acdb/objects/DatabaseInternal.h"

namespace tabrik::acad {

void BinaryDwgFiler::putRaw(std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) m_out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

bool BinaryDwgFiler::getRaw(std::uint64_t& value, int bytes) {
  if (m_status != Acad::eOk) return false;
  if (m_in.size() - m_position < static_cast<size_t>(bytes)) {
    m_status = Acad::eEndOfFile;
    return false;
  }
  value = 0;
  for (int i = 0; i < bytes; ++i)
    value |= static_cast<std::uint64_t>(static_cast<unsigned char>(m_in[m_position + i]))
             << (8 * i);
  m_position += bytes;
  return true;
}

std::string_view BinaryDwgFiler::take(std::uint64_t count) {
  if (m_status != Acad::eOk) return {};
  if (m_in.size() - m_position < count) {
    m_status = Acad::eEndOfFile;
    return {};
  }
  std::string_view bytes = m_in.substr(m_position, count);
  m_position += count;
  return bytes;
}

void BinaryDwgFiler::put(double value) { putRaw(std::bit_cast<std::uint64_t>(value), 8); }

bool BinaryDwgFiler::get(double& value) {
  std::uint64_t raw = 0;
  if (!getRaw(raw, 8)) return false;
  value = std::bit_cast<double>(raw);
  return true;
}

bool BinaryDwgFiler::expect(Tag tag) {
  std::uint64_t found = 0;
  if (!getRaw(found, 1)) return false;
  if (found == tag) return true;
  m_status = Acad::eFilerError;
  return false;
}

bool BinaryDwgFiler::getDoubles(double* values, int count) {
  for (int i = 0; i < count; ++i)
    if (!get(values[i])) return false;
  return true;
}

Acad::ErrorStatus BinaryDwgFiler::writeString(const std::wstring& value) {
  if (m_status != Acad::eOk) return m_status;
  m_out->push_back(static_cast<char>(kString));
  putRaw(value.size(), 4);
  for (wchar_t c : value) putRaw(static_cast<std::uint32_t>(c), 4);
  return Acad::eOk;
}

Acad::ErrorStatus BinaryDwgFiler::readString(std::wstring& value) {
  std::uint64_t count = 0;
  if (!expect(kString) || !getRaw(count, 4)) return m_status;
  // A count the rest of the file cannot hold is a damaged file, not an allocation.
  if (count > (m_in.size() - m_position) / 4) return m_status = Acad::eEndOfFile;
  value.clear();
  value.reserve(count);
  for (std::uint64_t i = 0; i < count; ++i) {
    std::uint64_t c = 0;
    if (!getRaw(c, 4)) return m_status;
    if (c > 0x10FFFF) return m_status = Acad::eFilerError;
    value += static_cast<wchar_t>(c);
  }
  return Acad::eOk;
}

Acad::ErrorStatus BinaryDwgFiler::writeBytes(const void* buffer, unsigned length) {
  if (m_status != Acad::eOk) return m_status;
  m_out->push_back(static_cast<char>(kBytes));
  putRaw(length, 4);
  if (length > 0) m_out->append(static_cast<const char*>(buffer), length);
  return Acad::eOk;
}

Acad::ErrorStatus BinaryDwgFiler::readBytes(void* buffer, unsigned length) {
  std::uint64_t count = 0;
  if (!expect(kBytes) || !getRaw(count, 4)) return m_status;
  if (count != length) return m_status = Acad::eFilerError;
  if (m_in.size() - m_position < count) return m_status = Acad::eEndOfFile;
  if (count > 0) std::memcpy(buffer, m_in.data() + m_position, count);
  m_position += count;
  return Acad::eOk;
}

Acad::ErrorStatus BinaryDwgFiler::writeBool(bool value) {
  return writeScalar(kBool, static_cast<std::uint8_t>(value ? 1 : 0));
}

Acad::ErrorStatus BinaryDwgFiler::readBool(bool* value) {
  std::uint8_t raw = 0;
  if (readScalar(kBool, &raw) != Acad::eOk) return m_status;
  if (raw > 1) return m_status = Acad::eFilerError;
  *value = raw != 0;
  return Acad::eOk;
}

Acad::ErrorStatus BinaryDwgFiler::writePoint2d(const AcGePoint2d& value) {
  if (m_status != Acad::eOk) return m_status;
  m_out->push_back(static_cast<char>(kPoint2d));
  put(value.x), put(value.y);
  return Acad::eOk;
}

Acad::ErrorStatus BinaryDwgFiler::readPoint2d(AcGePoint2d* value) {
  double v[2];
  if (!expect(kPoint2d) || !getDoubles(v, 2)) return m_status;
  *value = AcGePoint2d(v[0], v[1]);
  return Acad::eOk;
}

Acad::ErrorStatus BinaryDwgFiler::writePoint3d(const AcGePoint3d& value) {
  if (m_status != Acad::eOk) return m_status;
  m_out->push_back(static_cast<char>(kPoint3d));
  put(value.x), put(value.y), put(value.z);
  return Acad::eOk;
}

Acad::ErrorStatus BinaryDwgFiler::readPoint3d(AcGePoint3d* value) {
  double v[3];
  if (!expect(kPoint3d) || !getDoubles(v, 3)) return m_status;
  *value = AcGePoint3d(v[0], v[1], v[2]);
  return Acad::eOk;
}

Acad::ErrorStatus BinaryDwgFiler::writeVector3d(const AcGeVector3d& value) {
  if (m_status != Acad::eOk) return m_status;
  m_out->push_back(static_cast<char>(kVector3d));
  put(value.x), put(value.y), put(value.z);
  return Acad::eOk;
}

Acad::ErrorStatus BinaryDwgFiler::readVector3d(AcGeVector3d* value) {
  double v[3];
  if (!expect(kVector3d) || !getDoubles(v, 3)) return m_status;
  *value = AcGeVector3d(v[0], v[1], v[2]);
  return Acad::eOk;
}

Acad::ErrorStatus BinaryDwgFiler::writeScale3d(const AcGeScale3d& value) {
  if (m_status != Acad::eOk) return m_status;
  m_out->push_back(static_cast<char>(kScale3d));
  put(value.sx), put(value.sy), put(value.sz);
  return Acad::eOk;
}

Acad::ErrorStatus BinaryDwgFiler::readScale3d(AcGeScale3d* value) {
  double v[3];
  if (!expect(kScale3d) || !getDoubles(v, 3)) return m_status;
  *value = AcGeScale3d(v[0], v[1], v[2]);
  return Acad::eOk;
}

Acad::ErrorStatus BinaryDwgFiler::writeAcDbHandle(const AcDbHandle& value) {
  return writeScalar(kHandle, value.value());
}

Acad::ErrorStatus BinaryDwgFiler::readAcDbHandle(AcDbHandle* value) {
  std::uint64_t raw = 0;
  if (readScalar(kHandle, &raw) != Acad::eOk) return m_status;
  *value = AcDbHandle(raw);
  return Acad::eOk;
}

// A file names only objects it holds: an id of no object, of another database or of
// an erased object is filed as handle 0, which reads back as the null id.
Acad::ErrorStatus BinaryDwgFiler::writeId(const AcDbObjectId& id, Tag tag) {
  std::uint64_t handle = 0;
  if (id.isValid() && !id.isErased() && id.database() == m_database && id.stub()->object != nullptr)
    handle = id.handle().value();
  return writeScalar(tag, handle);
}

Acad::ErrorStatus BinaryDwgFiler::readId(AcDbObjectId* id, Tag tag) {
  std::uint64_t handle = 0;
  if (readScalar(tag, &handle) != Acad::eOk) return m_status;
  *id = handle == 0 || !m_resolver ? AcDbObjectId::kNull : m_resolver(handle);
  // A handle under which the file holds no object: the reader decides whether that
  // matters; the filer goes on.
  if (handle != 0 && m_resolver && id->isNull()) return Acad::eUnknownHandle;
  return Acad::eOk;
}

}  // namespace tabrik::acad
