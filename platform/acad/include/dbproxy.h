// Proxies: objects and entities of classes the host does not know (an application's
// class whose module is not loaded, or a DXF type it does not read). A proxy keeps
// what it could not understand exactly as read and writes it back unchanged, with
// the class's DXF name, C++ class name and application name for the CLASSES section.
#pragma once
#include <string>
#include <vector>

#include "dbmain.h"

struct AcDbProxyGroup {
  int code;
  std::wstring value;  // the value as the file gave it (handles resolved on writing)
};

class AcDbProxyEntity : public AcDbEntity {
 public:
  ACRX_DECLARE_MEMBERS(AcDbProxyEntity);
  AcDbProxyEntity() = default;
  const std::wstring& originalDxfName() const { return m_dxfName; }
  const std::wstring& originalClassName() const { return m_className; }
  const std::wstring& applicationDescription() const { return m_appName; }
  int proxyFlags() const { return m_proxyFlags; }
  void setOriginalClass(const std::wstring& dxfName, const std::wstring& className,
                        const std::wstring& appName, int proxyFlags);
  const std::vector<AcDbProxyGroup>& groups() const { return m_groups; }
  // The record of a drawing file that the class refused to read (a later version of
  // it asked to be kept as a proxy): its bytes as the file gave them, kept and written
  // back unchanged.
  const std::string& originalRecord() const { return m_record; }
  void setOriginalRecord(std::string record) { m_record = std::move(record); }

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

 private:
  std::wstring m_dxfName, m_className, m_appName;
  int m_proxyFlags = 0;
  std::vector<AcDbProxyGroup> m_groups;
  std::string m_record;
};

class AcDbProxyObject : public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbProxyObject);
  AcDbProxyObject() = default;
  const std::wstring& originalDxfName() const { return m_dxfName; }
  const std::wstring& originalClassName() const { return m_className; }
  const std::wstring& applicationDescription() const { return m_appName; }
  int proxyFlags() const { return m_proxyFlags; }
  void setOriginalClass(const std::wstring& dxfName, const std::wstring& className,
                        const std::wstring& appName, int proxyFlags);
  const std::vector<AcDbProxyGroup>& groups() const { return m_groups; }
  // The host's own filers give objects it writes but has no class for (layouts, plot
  // style names) their groups this way.
  void setGroups(std::vector<AcDbProxyGroup> groups) { m_groups = std::move(groups); }

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

 private:
  std::wstring m_dxfName, m_className, m_appName;
  int m_proxyFlags = 0;
  std::vector<AcDbProxyGroup> m_groups;
};
