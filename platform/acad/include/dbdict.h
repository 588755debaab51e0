// Dictionaries: named entries mapping to objects the dictionary owns (hard or soft).
// The named-object dictionary is the root; "ACAD_GROUP" holds the groups. Keys are
// unique without regard to case and kept in the case first given; iteration is in
// key order, compared without regard to case, as the host does.
#pragma once
#include <string>
#include <vector>

#include "dbmain.h"

class AcDbDictionaryIterator;

class AcDbDictionary : public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbDictionary);
  AcDbDictionary();
  ~AcDbDictionary() override;

  Acad::ErrorStatus getAt(const ACHAR* key, AcDbObject*& object, AcDb::OpenMode mode) const;
  Acad::ErrorStatus getAt(const ACHAR* key, AcDbObjectId& id) const;
  Acad::ErrorStatus nameAt(AcDbObjectId id, ACHAR*& key) const;
  bool has(const ACHAR* key) const;
  bool has(AcDbObjectId id) const;
  Adesk::UInt32 numEntries() const;
  // Adds (or replaces: the old entry is erased) an entry; a new object (in no
  // database) is added to the dictionary's database and left open for write.
  Acad::ErrorStatus setAt(const ACHAR* key, AcDbObject* object, AcDbObjectId& id);
  // Takes the entry out; the object stays, with no owner.
  Acad::ErrorStatus remove(const ACHAR* key);
  Acad::ErrorStatus remove(const ACHAR* key, AcDbObjectId& id);
  Acad::ErrorStatus remove(AcDbObjectId id);
  Acad::ErrorStatus setName(const ACHAR* oldName, const ACHAR* newName);
  // The caller deletes the iterator.
  AcDbDictionaryIterator* newIterator() const;
  bool isHardOwner() const { return m_hardOwner; }
  void setTreatElementsAsHard(bool hard);

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

  struct Entry {
    std::wstring key;
    AcDbObjectId id;
  };
  // Entries in key order.
  std::vector<Entry> entries() const;

 protected:
  Acad::ErrorStatus subErase(bool erasing) override;

 private:
  std::vector<Entry> m_entries;  // kept sorted by key without regard to case
  bool m_hardOwner = false;      // group 280: entries hard-owned (extension dictionaries)
};

class AcDbDictionaryIterator {
 public:
  explicit AcDbDictionaryIterator(std::vector<AcDbDictionary::Entry> entries)
      : m_entries(std::move(entries)) {}
  const ACHAR* name() const { return done() ? nullptr : m_entries[m_index].key.c_str(); }
  AcDbObjectId objectId() const { return done() ? AcDbObjectId::kNull : m_entries[m_index].id; }
  Acad::ErrorStatus getObject(AcDbObject*& object, AcDb::OpenMode mode = AcDb::kForRead) const;
  bool done() const { return m_index >= m_entries.size(); }
  bool next() {
    if (!done()) ++m_index;
    return !done();
  }

 private:
  std::vector<AcDbDictionary::Entry> m_entries;
  size_t m_index = 0;
};
