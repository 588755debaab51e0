// Writing groups.
#include "DxfOutFiler.h"

#include <charconv>
#include <cstdio>

#include "DxfText.h"
#include "tabrik/DrawingFiling.h"

namespace tabrik::dxf {

namespace {

void appendInteger(std::string& out, long long value) {
  char buffer[24];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, end);
}

}  // namespace

// The code right-aligned in three columns, then its line end.
void DxfOutFiler::code(int code) {
  char buffer[16];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, code);
  auto length = static_cast<std::size_t>(end - buffer);
  if (length < 3) m_out.append(3 - length, ' ');
  m_out.append(buffer, length);
  m_out += '\n';
}

bool DxfOutFiler::flush() {
  if (m_file == nullptr || m_out.empty()) return m_status == Acad::eOk;
  if (std::fwrite(m_out.data(), 1, m_out.size(), m_file) != m_out.size())
    m_status = Acad::eFileAccessErr;
  m_out.clear();
  return m_status == Acad::eOk;
}

void DxfOutFiler::group(int code, std::string_view value) {
  if (m_discarding) return;
  this->code(code);
  m_out.append(value);
  ended();
}

Acad::ErrorStatus DxfOutFiler::writeString(int code, const std::wstring& value) {
  if (m_discarding) return m_status;
  this->code(code);
  appendEncodedText(m_out, value);
  ended();
  return m_status;
}

Acad::ErrorStatus DxfOutFiler::writeInt16(int code, Adesk::Int16 value) {
  return writeInt32(code, value);
}

Acad::ErrorStatus DxfOutFiler::writeInt32(int code, Adesk::Int32 value) {
  if (m_discarding) return m_status;
  this->code(code);
  appendInteger(m_out, value);
  ended();
  return m_status;
}

Acad::ErrorStatus DxfOutFiler::writeInt8(int code, Adesk::Int8 value) {
  return writeInt32(code, value);
}

Acad::ErrorStatus DxfOutFiler::writeDouble(int code, double value, int) {
  if (m_discarding) return m_status;
  this->code(code);
  appendReal(m_out, value);
  ended();
  return m_status;
}

Acad::ErrorStatus DxfOutFiler::writePoint3d(int code, const AcGePoint3d& value, int) {
  writeDouble(code, value.x);
  writeDouble(code + 10, value.y);
  return writeDouble(code + 20, value.z);
}

Acad::ErrorStatus DxfOutFiler::writePoint2d(int code, const AcGePoint2d& value, int) {
  writeDouble(code, value.x);
  return writeDouble(code + 10, value.y);
}

Acad::ErrorStatus DxfOutFiler::writeVector3d(int code, const AcGeVector3d& value, int) {
  return writePoint3d(code, AcGePoint3d(value.x, value.y, value.z));
}

// A pointer to nothing, to an object of no live database, to an erased object or to
// an object the file leaves out is written as 0: files never name objects they do not
// hold.
Acad::ErrorStatus DxfOutFiler::writeObjectId(int code, const AcDbObjectId& id) {
  if (!holds(id)) {
    group(code, "0");
    return m_status;
  }
  return writeAcDbHandle(code, id.handle());
}

bool DxfOutFiler::holds(AcDbObjectId id) const {
  if (id.isNull() || !id.isValid() || id.isErased()) return false;
  return m_filed == nullptr || m_filed->count(acad::peekObject(id)) > 0;
}

Acad::ErrorStatus DxfOutFiler::writeAcDbHandle(int code, const AcDbHandle& handle) {
  char buffer[24];
  int n =
      std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(handle.value()));
  group(code, std::string_view(buffer, n));
  return m_status;
}

Acad::ErrorStatus DxfOutFiler::writeBinaryChunk(int code, const ads_binary& value) {
  std::string hex;
  static const char kDigits[] = "0123456789ABCDEF";
  for (int i = 0; i < value.clen; ++i) {
    auto b = static_cast<unsigned char>(value.buf[i]);
    hex += kDigits[b >> 4];
    hex += kDigits[b & 15];
  }
  group(code, hex);
  return m_status;
}

}  // namespace tabrik::dxf
