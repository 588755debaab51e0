// Writing groups.
#include "DxfOutFiler.h"

#include <cstdio>

#include "DxfText.h"
#include "tabrik/DrawingFiling.h"

namespace tabrik::dxf {

void DxfOutFiler::group(int code, std::string_view value) {
  char buffer[16];
  int n = std::snprintf(buffer, sizeof buffer, "%3d\n", code);
  m_out.append(buffer, n);
  m_out.append(value);
  m_out += '\n';
}

Acad::ErrorStatus DxfOutFiler::writeString(int code, const std::wstring& value) {
  group(code, encodeText(value));
  return m_status;
}

Acad::ErrorStatus DxfOutFiler::writeInt16(int code, Adesk::Int16 value) {
  group(code, std::to_string(value));
  return m_status;
}

Acad::ErrorStatus DxfOutFiler::writeInt32(int code, Adesk::Int32 value) {
  group(code, std::to_string(value));
  return m_status;
}

Acad::ErrorStatus DxfOutFiler::writeInt8(int code, Adesk::Int8 value) {
  group(code, std::to_string(value));
  return m_status;
}

Acad::ErrorStatus DxfOutFiler::writeDouble(int code, double value, int) {
  group(code, formatReal(value));
  return m_status;
}

Acad::ErrorStatus DxfOutFiler::writePoint3d(int code, const AcGePoint3d& value, int) {
  group(code, formatReal(value.x));
  group(code + 10, formatReal(value.y));
  group(code + 20, formatReal(value.z));
  return m_status;
}

Acad::ErrorStatus DxfOutFiler::writePoint2d(int code, const AcGePoint2d& value, int) {
  group(code, formatReal(value.x));
  group(code + 10, formatReal(value.y));
  return m_status;
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
