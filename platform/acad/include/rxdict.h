// Name-keyed dictionaries of runtime objects, and the host's system registry (the
// root dictionary, holding "ClassDictionary", "AcEditor" and what modules publish).
#pragma once
#include <map>
#include <string>

#include "rxclass.h"

class AcRxDictionaryIterator;

class AcRxDictionary : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcRxDictionary);

  // A dictionary that owns its entries deletes them when they are removed or
  // replaced, and when it is deleted.
  explicit AcRxDictionary(bool ownsEntries = false) : m_ownsEntries(ownsEntries) {}
  ~AcRxDictionary() override;

  AcRxObject* at(const ACHAR* key) const;
  // Enters or replaces an entry; returns the entry it replaced (nullptr when none, and
  // always nullptr for an owning dictionary, which has deleted it).
  AcRxObject* atPut(const ACHAR* key, AcRxObject* object);
  // Takes an entry out without deleting it; returns it, nullptr when absent.
  AcRxObject* remove(const ACHAR* key);
  bool has(const ACHAR* key) const { return at(key) != nullptr; }
  unsigned numEntries() const { return static_cast<unsigned>(m_entries.size()); }
  AcRxDictionaryIterator* newIterator() const;

 private:
  friend class AcRxDictionaryIterator;
  std::map<std::wstring, AcRxObject*> m_entries;
  bool m_ownsEntries;
};

class AcRxDictionaryIterator {
 public:
  explicit AcRxDictionaryIterator(const AcRxDictionary& dictionary);
  bool done() const;
  bool next();
  const ACHAR* key() const;
  AcRxObject* object() const;

 private:
  std::map<std::wstring, AcRxObject*>::const_iterator m_current;
  std::map<std::wstring, AcRxObject*>::const_iterator m_end;
};

AcRxDictionary* acrxSysRegistry();
#define acrxClassDictionary AcRxDictionary::cast(acrxSysRegistry()->at(ACRX_T("ClassDictionary")))
