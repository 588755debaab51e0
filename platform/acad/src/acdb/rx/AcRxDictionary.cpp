// Name-keyed dictionaries of runtime objects and the host's system registry.
#include "rxdict.h"

#include <memory>

#include "acdb/objects/DatabaseInternal.h"
#include "rxboiler.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcRxDictionary, AcRxObject)

AcRxDictionary::~AcRxDictionary() {
  if (!m_ownsEntries) return;
  for (auto& entry : m_entries) delete entry.second;
}

AcRxObject* AcRxDictionary::at(const ACHAR* key) const {
  if (key == nullptr) return nullptr;
  auto found = m_entries.find(key);
  return found == m_entries.end() ? nullptr : found->second;
}

AcRxObject* AcRxDictionary::atPut(const ACHAR* key, AcRxObject* object) {
  if (key == nullptr) return nullptr;
  AcRxObject*& slot = m_entries[key];
  AcRxObject* previous = slot;
  slot = object;
  if (m_ownsEntries && previous != object) {
    delete previous;
    return nullptr;
  }
  return previous;
}

AcRxObject* AcRxDictionary::remove(const ACHAR* key) {
  if (key == nullptr) return nullptr;
  auto found = m_entries.find(key);
  if (found == m_entries.end()) return nullptr;
  AcRxObject* object = found->second;
  m_entries.erase(found);
  return object;
}

AcRxDictionaryIterator* AcRxDictionary::newIterator() const {
  return new AcRxDictionaryIterator(*this);
}

AcRxDictionaryIterator::AcRxDictionaryIterator(const AcRxDictionary& dictionary)
    : m_current(dictionary.m_entries.begin()), m_end(dictionary.m_entries.end()) {}
bool AcRxDictionaryIterator::done() const { return m_current == m_end; }
bool AcRxDictionaryIterator::next() {
  if (m_current != m_end) ++m_current;
  return m_current != m_end;
}
const ACHAR* AcRxDictionaryIterator::key() const { return m_current->first.c_str(); }
AcRxObject* AcRxDictionaryIterator::object() const { return m_current->second; }

namespace {

// The root registry with its class dictionary, seeded with the classes of the class
// system itself so that desc() of every core class resolves. The class dictionary
// owns its classes; the root owns nothing (what modules publish stays theirs).
struct SystemRegistry {
  AcRxDictionary root{/*ownsEntries=*/false};
  std::unique_ptr<AcRxDictionary> classes = std::make_unique<AcRxDictionary>(/*ownsEntries=*/true);

  SystemRegistry() {
    auto* objectClass = new AcRxClass(ACRX_T("AcRxObject"), nullptr);
    classes->atPut(ACRX_T("AcRxObject"), objectClass);
    // Set directly: looking them up would cast through the dictionary being built.
    AcRxClass::gpDesc = new AcRxClass(ACRX_T("AcRxClass"), objectClass);
    AcRxDictionary::gpDesc = new AcRxClass(ACRX_T("AcRxDictionary"), objectClass);
    classes->atPut(ACRX_T("AcRxClass"), AcRxClass::gpDesc);
    classes->atPut(ACRX_T("AcRxDictionary"), AcRxDictionary::gpDesc);
    root.atPut(ACRX_T("ClassDictionary"), classes.get());
    // The drawing database's classes exist from the start, so modules can derive
    // their own classes from them whenever they load.
    tabrik::acad::registerDatabaseClasses(*classes);
  }
};

}  // namespace

AcRxDictionary* acrxSysRegistry() {
  static SystemRegistry registry;
  return &registry.root;
}
