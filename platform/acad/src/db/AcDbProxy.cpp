// Proxy entities and objects: groups kept as read and written back unchanged.
#include <cstdio>
#include <cwchar>

#include "db/DatabaseInternal.h"
#include "dbproxy.h"
#include "rxboiler.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbProxyEntity, AcDbEntity)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbProxyObject, AcDbObject)

namespace {

// Pointer groups (330-369, 390-399, 480-481, 1005) hold handles; they are kept as
// handles and written back as they were read.
std::wstring valueOf(const resbuf& rb, AcDbDxfFiler* filer) {
  int code = rb.restype;
  wchar_t buffer[64];
  if ((code >= 10 && code <= 18) || (code >= 110 && code <= 112) || code == 210 || (code >= 1010 && code <= 1013)) {
    std::swprintf(buffer, 64, L"%.17g,%.17g,%.17g", rb.resval.rpoint[0], rb.resval.rpoint[1], rb.resval.rpoint[2]);
    return buffer;
  }
  if ((code >= 38 && code <= 59) || (code >= 140 && code <= 149) || (code >= 460 && code <= 469) ||
      (code >= 1040 && code <= 1042)) {
    std::swprintf(buffer, 64, L"%.17g", rb.resval.rreal);
    return buffer;
  }
  if ((code >= 60 && code <= 79) || (code >= 170 && code <= 179) || (code >= 270 && code <= 289) ||
      (code >= 370 && code <= 389) || (code >= 400 && code <= 409) || (code >= 1060 && code <= 1070)) {
    return std::to_wstring(rb.resval.rint);
  }
  if ((code >= 90 && code <= 99) || (code >= 420 && code <= 429) || (code >= 440 && code <= 459) || code == 1071)
    return std::to_wstring(rb.resval.rlong);
  if ((code >= 330 && code <= 369) || (code >= 390 && code <= 399) || code == 480 || code == 481) {
    AcDbObjectId id = filer->idOf(rb);
    return id.handle().asString();
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
    bool point = (code >= 10 && code <= 18) || (code >= 110 && code <= 112) || code == 210 || (code >= 1010 && code <= 1013);
    if (point) {
      double x = 0, y = 0, z = 0;
      std::swscanf(group.value.c_str(), L"%lf,%lf,%lf", &x, &y, &z);
      filer->writePoint3d(code, AcGePoint3d(x, y, z));
      continue;
    }
    bool real = (code >= 38 && code <= 59) || (code >= 140 && code <= 149) || (code >= 460 && code <= 469) ||
                (code >= 1040 && code <= 1042);
    if (real) {
      filer->writeDouble(code, std::wcstod(group.value.c_str(), nullptr));
      continue;
    }
    bool pointer = (code >= 330 && code <= 369) || (code >= 390 && code <= 399) || code == 480 || code == 481;
    if (pointer) {
      filer->writeAcDbHandle(code, AcDbHandle(group.value.c_str()));
      continue;
    }
    bool int16 = (code >= 60 && code <= 79) || (code >= 170 && code <= 179) || (code >= 270 && code <= 289) ||
                 (code >= 370 && code <= 389) || (code >= 400 && code <= 409) || (code >= 1060 && code <= 1070);
    if (int16) {
      filer->writeInt16(code, static_cast<Adesk::Int16>(std::wcstol(group.value.c_str(), nullptr, 10)));
      continue;
    }
    bool int32 = (code >= 90 && code <= 99) || (code >= 420 && code <= 429) || (code >= 440 && code <= 459) || code == 1071;
    if (int32) {
      filer->writeInt32(code, static_cast<Adesk::Int32>(std::wcstol(group.value.c_str(), nullptr, 10)));
      continue;
    }
    filer->writeString(code, group.value);
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

#define PROXY_CLASS(CLASS, PARENT)                                                                             \
  void CLASS::setOriginalClass(const std::wstring& dxfName, const std::wstring& className,                    \
                               const std::wstring& appName, int proxyFlags) {                                 \
    m_dxfName = dxfName;                                                                                        \
    m_className = className;                                                                                    \
    m_appName = appName;                                                                                        \
    m_proxyFlags = proxyFlags;                                                                                  \
  }                                                                                                             \
  Acad::ErrorStatus CLASS::dwgOutFields(AcDbDwgFiler* filer) const {                                           \
    PARENT::dwgOutFields(filer);                                                                                \
    filer->writeString(m_dxfName);                                                                              \
    filer->writeString(m_className);                                                                            \
    filer->writeString(m_appName);                                                                              \
    filer->writeInt32(m_proxyFlags);                                                                            \
    fileGroups(filer, m_groups);                                                                                \
    return filer->filerStatus();                                                                                \
  }                                                                                                             \
  Acad::ErrorStatus CLASS::dwgInFields(AcDbDwgFiler* filer) {                                                  \
    Acad::ErrorStatus status = PARENT::dwgInFields(filer);                                                      \
    if (status != Acad::eOk) return status;                                                                     \
    filer->readString(m_dxfName);                                                                               \
    filer->readString(m_className);                                                                             \
    filer->readString(m_appName);                                                                               \
    Adesk::Int32 flags = 0;                                                                                     \
    filer->readInt32(&flags);                                                                                   \
    m_proxyFlags = flags;                                                                                       \
    return unfileGroups(filer, m_groups);                                                                       \
  }                                                                                                             \
  Acad::ErrorStatus CLASS::dxfOutFields(AcDbDxfFiler* filer) const {                                           \
    PARENT::dxfOutFields(filer);                                                                                \
    writeRaw(filer, m_groups);                                                                                  \
    return filer->filerStatus();                                                                                \
  }                                                                                                             \
  Acad::ErrorStatus CLASS::dxfInFields(AcDbDxfFiler* filer) {                                                  \
    Acad::ErrorStatus status = PARENT::dxfInFields(filer);                                                      \
    if (status != Acad::eOk) return status;                                                                     \
    return readRaw(filer, m_groups);                                                                            \
  }

PROXY_CLASS(AcDbProxyEntity, AcDbEntity)
PROXY_CLASS(AcDbProxyObject, AcDbObject)
