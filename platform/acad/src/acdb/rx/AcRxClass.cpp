// The runtime class system: the root object, class descriptors, and the class
// dictionary in which every class registers under its name.
#include "rxclass.h"

#include "rxboiler.h"
#include "rxdict.h"

AcRxObject::~AcRxObject() = default;

AcRxClass* AcRxObject::desc() {
  static AcRxClass* descriptor = AcRxClass::cast(acrxClassDictionary->at(ACRX_T("AcRxObject")));
  return descriptor;
}

AcRxClass* AcRxObject::isA() const { return AcRxObject::desc(); }

bool AcRxObject::isKindOf(const AcRxClass* aClass) const {
  const AcRxClass* mine = isA();
  return mine != nullptr && mine->isDerivedFrom(aClass);
}

ACRX_NO_CONS_DEFINE_MEMBERS(AcRxClass, AcRxObject)

AcRxClass::AcRxClass(const ACHAR* name, AcRxClass* parent, AcRxPseudoConstructor constructor,
                     const ACHAR* dxfName, const ACHAR* appName, int proxyFlags, int dwgVersion,
                     int maintenanceVersion)
    : m_name(name ? name : L""),
      m_dxfName(dxfName ? dxfName : L""),
      m_appName(appName ? appName : L""),
      m_parent(parent),
      m_constructor(constructor),
      m_proxyFlags(proxyFlags),
      m_dwgVersion(dwgVersion),
      m_maintenanceVersion(maintenanceVersion) {}

AcRxClass::~AcRxClass() = default;

bool AcRxClass::isDerivedFrom(const AcRxClass* other) const {
  for (const AcRxClass* c = this; c != nullptr; c = c->m_parent) {
    if (c == other) return true;
  }
  return false;
}

AcRxClass* newAcRxClass(const ACHAR* className, const ACHAR* parentClassName, int proxyFlags,
                        AcRxPseudoConstructor constructor, const ACHAR* dxfName,
                        const ACHAR* appName) {
  return newAcRxClass(className, parentClassName, 0, 0, proxyFlags, constructor, dxfName, appName);
}

AcRxClass* newAcRxClass(const ACHAR* className, const ACHAR* parentClassName, int dwgVersion,
                        int maintenanceVersion, int proxyFlags, AcRxPseudoConstructor constructor,
                        const ACHAR* dxfName, const ACHAR* appName) {
  AcRxDictionary* classes = acrxClassDictionary;
  if (className == nullptr || classes->has(className)) return nullptr;
  AcRxClass* parent = parentClassName ? AcRxClass::cast(classes->at(parentClassName)) : nullptr;
  if (parent == nullptr) return nullptr;
  auto* created = new AcRxClass(className, parent, constructor, dxfName, appName, proxyFlags,
                                dwgVersion, maintenanceVersion);
  classes->atPut(className, created);
  return created;
}

void deleteAcRxClass(AcRxClass* classObj) {
  if (classObj == nullptr) return;
  AcRxDictionary* classes = acrxClassDictionary;
  if (classes->at(classObj->name()) == classObj) classes->remove(classObj->name());
  delete classObj;
}

// Parents are linked when a class is created, so there is nothing left to resolve;
// the call stays because modules make it after registering their classes.
void acrxBuildClassHierarchy() {}
