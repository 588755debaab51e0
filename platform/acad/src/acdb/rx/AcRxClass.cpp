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

AcRxObject* AcRxObject::queryX(const AcRxClass* protocolClass) const {
  const AcRxClass* mine = isA();
  return mine != nullptr ? mine->queryX(protocolClass) : nullptr;
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

AcRxObject* AcRxClass::addX(AcRxClass* protocolClass, AcRxObject* extension) {
  if (protocolClass == nullptr) return nullptr;
  for (auto& entry : m_extensions) {
    if (entry.first != protocolClass) continue;
    AcRxObject* previous = entry.second;
    entry.second = extension;
    return previous;
  }
  m_extensions.emplace_back(protocolClass, extension);
  return nullptr;
}

AcRxObject* AcRxClass::getX(const AcRxClass* protocolClass) const {
  for (const auto& entry : m_extensions) {
    if (entry.first == protocolClass) return entry.second;
  }
  return nullptr;
}

AcRxObject* AcRxClass::delX(AcRxClass* protocolClass) {
  for (auto it = m_extensions.begin(); it != m_extensions.end(); ++it) {
    if (it->first != protocolClass) continue;
    AcRxObject* removed = it->second;
    m_extensions.erase(it);
    return removed;
  }
  return nullptr;
}

AcRxObject* AcRxClass::queryX(const AcRxClass* protocolClass) const {
  if (protocolClass == nullptr) return nullptr;
  for (const AcRxClass* c = this; c != nullptr; c = c->m_parent) {
    if (AcRxObject* found = c->getX(protocolClass)) return found;
  }
  return nullptr;
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
