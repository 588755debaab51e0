// Runtime class descriptors: name, parent, pseudo-constructor, and the DXF name,
// application name and proxy flags of classes that objects in drawings can have.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "rxobject.h"

typedef AcRxObject* (*AcRxPseudoConstructor)();
typedef void (*AppNameChangeFuncPtr)(const AcRxClass* classObj, ACHAR*& newAppName, int saveVer);

class AcRxClass : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcRxClass);

  AcRxClass(const ACHAR* name, AcRxClass* parent, AcRxPseudoConstructor constructor = nullptr,
            const ACHAR* dxfName = nullptr, const ACHAR* appName = nullptr, int proxyFlags = 0,
            int dwgVersion = 0, int maintenanceVersion = 0);
  ~AcRxClass() override;

  const ACHAR* name() const { return m_name.c_str(); }
  const ACHAR* dxfName() const { return m_dxfName.c_str(); }
  const ACHAR* appName() const { return m_appName.c_str(); }
  AcRxClass* myParent() const { return m_parent; }
  int proxyFlags() const { return m_proxyFlags; }
  int getClassVersion(int& maintenanceVersion) const {
    maintenanceVersion = m_maintenanceVersion;
    return m_dwgVersion;
  }
  // A new instance through the pseudo-constructor; nullptr for abstract classes.
  AcRxObject* create() const { return m_constructor ? m_constructor() : nullptr; }
  bool isDerivedFrom(const AcRxClass* other) const;

  // Protocol extensions: objects attached to a class under a protocol class, found by
  // queryX on the class and every class derived from it. The class does not own them:
  // whoever adds one removes it (delX) before destroying it. addX returns the object
  // that was attached under that protocol before (nullptr if none).
  AcRxObject* addX(AcRxClass* protocolClass, AcRxObject* extension);
  // Attached to this class itself; nullptr otherwise.
  AcRxObject* getX(const AcRxClass* protocolClass) const;
  // Detaches and returns what was attached to this class itself.
  AcRxObject* delX(AcRxClass* protocolClass);
  // Attached to this class or the nearest ancestor.
  AcRxObject* queryX(const AcRxClass* protocolClass) const;

 private:
  std::vector<std::pair<const AcRxClass*, AcRxObject*>> m_extensions;
  std::wstring m_name;
  std::wstring m_dxfName;
  std::wstring m_appName;
  AcRxClass* m_parent;
  AcRxPseudoConstructor m_constructor;
  int m_proxyFlags;
  int m_dwgVersion;
  int m_maintenanceVersion;
};

// Creates a class descriptor, enters it in the class dictionary under its name and
// returns it. The parent must already be registered; nullptr when it is not or when a
// class of that name exists already.
AcRxClass* newAcRxClass(const ACHAR* className, const ACHAR* parentClassName, int proxyFlags = 0,
                        AcRxPseudoConstructor constructor = nullptr, const ACHAR* dxfName = nullptr,
                        const ACHAR* appName = nullptr);
AcRxClass* newAcRxClass(const ACHAR* className, const ACHAR* parentClassName, int dwgVersion,
                        int maintenanceVersion, int proxyFlags, AcRxPseudoConstructor constructor,
                        const ACHAR* dxfName, const ACHAR* appName);
// Removes a class from the class dictionary and deletes it.
void deleteAcRxClass(AcRxClass* classObj);
// Resolves parent links of every registered class; the host calls it after a module
// registers classes.
void acrxBuildClassHierarchy();
