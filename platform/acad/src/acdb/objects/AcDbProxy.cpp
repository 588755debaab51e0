// Proxy entities and objects: groups kept as read and written back unchanged.
#include <cstdio>
#include <cwchar>

#include "acdb/objects/DatabaseInternal.h"
#include "dbproxy.h"
#include "tabrik/DrawingFiling.h"
#include "rxboiler.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbProxyEntity, AcDbEntity)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbProxyObject, AcDbObject)

namespace {

// Pointer groups (330-369, 390-399, 480-481, 1005) hold handles; they are kept as
// handles and written back as they were read.
std::wstring valueOf(const resbuf& rb, AcDbDxfFiler* filer) {
  wchar_t buffer[80];
  switch (tabrik::acad::dxfGroupKind(rb.restype)) {
    case tabrik::acad::DxfGroupKind::kPoint:
      std::swprintf(buffer, 80, L"%.17g,%.17g,%.17g", rb.resval.rpoint[0], rb.resval.rpoint[1],
                    rb.resval.rpoint[2]);
      return buffer;
    case tabrik::acad::DxfGroupKind::kReal:
      std::swprintf(buffer, 80, L"%.17g", rb.resval.rreal);
      return buffer;
    case tabrik::acad::DxfGroupKind::kInt16:
      return std::to_wstring(rb.resval.rint);
    case tabrik::acad::DxfGroupKind::kInt32:
      return std::to_wstring(rb.resval.rlong);
    case tabrik::acad::DxfGroupKind::kInt64:
      return std::to_wstring(rb.resval.mnInt64);
    case tabrik::acad::DxfGroupKind::kHandle: {
      // Kept as the handle the file gave, so the group writes back unchanged.
      return rb.resval.rstring ? rb.resval.rstring : L"";
    }
    case tabrik::acad::DxfGroupKind::kString:
      break;
  }
  return rb.resval.rstring ? rb.resval.rstring : L"";
}

Acad::ErrorStatus readRaw(AcDbDxfFiler* filer, std::vector<AcDbProxyGroup>& groups) {
  groups.clear();
  resbuf rb{};
  for (;;) {
    Acad::ErrorStatus status = filer->readResBuf(&rb);
    if (status == Acad::eEndOfObject) return Acad::eOk;
    if (status != Acad::eOk) return status;
    groups.push_back({rb.restype, valueOf(rb, filer)});
  }
}

void writeRaw(AcDbDxfFiler* filer, const std::vector<AcDbProxyGroup>& groups) {
  for (const AcDbProxyGroup& group : groups) {
    int code = group.code;
    const wchar_t* text = group.value.c_str();
    switch (tabrik::acad::dxfGroupKind(code)) {
      case tabrik::acad::DxfGroupKind::kPoint: {
        double x = 0, y = 0, z = 0;
        std::swscanf(text, L"%lf,%lf,%lf", &x, &y, &z);
        filer->writePoint3d(code, AcGePoint3d(x, y, z));
        break;
      }
      case tabrik::acad::DxfGroupKind::kReal:
        filer->writeDouble(code, std::wcstod(text, nullptr));
        break;
      case tabrik::acad::DxfGroupKind::kInt16:
        filer->writeInt16(code, static_cast<Adesk::Int16>(std::wcstol(text, nullptr, 10)));
        break;
      case tabrik::acad::DxfGroupKind::kInt32:
        filer->writeInt32(code, static_cast<Adesk::Int32>(std::wcstol(text, nullptr, 10)));
        break;
      case tabrik::acad::DxfGroupKind::kInt64:
      case tabrik::acad::DxfGroupKind::kString:
        filer->writeString(code, group.value);
        break;
      case tabrik::acad::DxfGroupKind::kHandle:
        filer->writeAcDbHandle(code, AcDbHandle(text));
        break;
    }
  }
}

void fileGroups(AcDbDwgFiler* filer, const std::vector<AcDbProxyGroup>& groups) {
  filer->writeInt32(static_cast<Adesk::Int32>(groups.size()));
  for (const AcDbProxyGroup& g : groups) {
    filer->writeInt32(g.code);
    filer->writeString(g.value);
  }
}

Acad::ErrorStatus unfileGroups(AcDbDwgFiler* filer, std::vector<AcDbProxyGroup>& groups) {
  Adesk::Int32 count = 0;
  filer->readInt32(&count);
  if (count < 0) return Acad::eFilerError;
  groups.clear();
  for (int i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
    AcDbProxyGroup g{};
    Adesk::Int32 code = 0;
    filer->readInt32(&code);
    g.code = code;
    filer->readString(g.value);
    groups.push_back(g);
  }
  return filer->filerStatus();
}

}  // namespace

#define PROXY_CLASS(CLASS, PARENT)                                                         \
  void CLASS::setOriginalClass(const std::wstring& dxfName, const std::wstring& className, \
                               const std::wstring& appName, int proxyFlags) {              \
    m_dxfName = dxfName;                                                                   \
    m_className = className;                                                               \
    m_appName = appName;                                                                   \
    m_proxyFlags = proxyFlags;                                                             \
  }                                                                                        \
  Acad::ErrorStatus CLASS::dxfOutFields(AcDbDxfFiler* filer) const {                       \
    PARENT::dxfOutFields(filer);                                                           \
    writeRaw(filer, m_groups);                                                             \
    return filer->filerStatus();                                                           \
  }                                                                                        \
  Acad::ErrorStatus CLASS::dxfInFields(AcDbDxfFiler* filer) {                              \
    Acad::ErrorStatus status = PARENT::dxfInFields(filer);                                 \
    if (status != Acad::eOk) return status;                                                \
    return readRaw(filer, m_groups);                                                       \
  }

#define PROXY_DWG_IN_OUT(CLASS, PARENT, EXTRA_OUT, EXTRA_IN)         \
  Acad::ErrorStatus CLASS::dwgOutFields(AcDbDwgFiler* filer) const { \
    PARENT::dwgOutFields(filer);                                     \
    filer->writeString(m_dxfName);                                   \
    filer->writeString(m_className);                                 \
    filer->writeString(m_appName);                                   \
    filer->writeInt32(m_proxyFlags);                                 \
    fileGroups(filer, m_groups);                                     \
    EXTRA_OUT                                                        \
    return filer->filerStatus();                                     \
  }                                                                  \
  Acad::ErrorStatus CLASS::dwgInFields(AcDbDwgFiler* filer) {        \
    Acad::ErrorStatus status = PARENT::dwgInFields(filer);           \
    if (status != Acad::eOk) return status;                          \
    filer->readString(m_dxfName);                                    \
    filer->readString(m_className);                                  \
    filer->readString(m_appName);                                    \
    Adesk::Int32 flags = 0;                                          \
    filer->readInt32(&flags);                                        \
    m_proxyFlags = flags;                                            \
    status = unfileGroups(filer, m_groups);                          \
    if (status != Acad::eOk) return status;                          \
    EXTRA_IN                                                         \
    return filer->filerStatus();                                     \
  }

namespace {

void fileRecord(AcDbDwgFiler* filer, const std::string& record) {
  filer->writeUInt32(static_cast<Adesk::UInt32>(record.size()));
  if (!record.empty()) filer->writeBytes(record.data(), static_cast<unsigned>(record.size()));
}

Acad::ErrorStatus unfileRecord(AcDbDwgFiler* filer, std::string& record) {
  Adesk::UInt32 size = 0;
  record.clear();
  if (filer->readUInt32(&size) != Acad::eOk) return filer->filerStatus();
  if (size == 0) return Acad::eOk;
  // Defensive: a damaged file's size is bounded by what the filer can deliver.
  if (size > (1u << 30)) return Acad::eFilerError;
  std::string bytes(size, '\0');
  if (filer->readBytes(bytes.data(), size) != Acad::eOk) return filer->filerStatus();
  record = std::move(bytes);
  return Acad::eOk;
}

}  // namespace

PROXY_DWG_IN_OUT(AcDbProxyEntity, AcDbEntity, fileRecord(filer, m_record);
                 , if (unfileRecord(filer, m_record) != Acad::eOk) return filer->filerStatus();)
PROXY_DWG_IN_OUT(AcDbProxyObject, AcDbObject, , )
PROXY_CLASS(AcDbProxyEntity, AcDbEntity)
PROXY_CLASS(AcDbProxyObject, AcDbObject)
