// AcDbGroup: a named, ordered set of entities kept in the group dictionary
// ("ACAD_GROUP" of the named-object dictionary). Each member carries the group as a
// persistent reactor, so that a member's erasure can drop it from the group.
#pragma once
#include <string>

#include "dbmain.h"

class AcDbGroup : public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbGroup);
  AcDbGroup();
  explicit AcDbGroup(const ACHAR* description, bool selectable = true);

  // The key of the group in the group dictionary ("" while it is in none).
  Acad::ErrorStatus getName(ACHAR*& name) const;
  const ACHAR* description() const { return m_description.c_str(); }
  Acad::ErrorStatus setDescription(const ACHAR* description);
  bool isSelectable() const { return m_selectable; }
  Acad::ErrorStatus setSelectable(bool selectable);
  bool isAnonymous() const { return m_anonymous; }
  Acad::ErrorStatus setAnonymous();

  // eAlreadyInGroup for a member already in; eWrongDatabase for an id of another
  // database; eNotAnEntity for a non-entity.
  Acad::ErrorStatus append(AcDbObjectId id);
  Acad::ErrorStatus append(const AcDbObjectIdArray& ids);
  Acad::ErrorStatus remove(AcDbObjectId id);
  Acad::ErrorStatus clear();
  bool has(const AcDbEntity* entity) const;
  bool has(AcDbObjectId id) const { return m_members.contains(id); }
  Adesk::UInt32 numEntities() const { return static_cast<Adesk::UInt32>(m_members.length()); }
  // Member ids in group order (erased members left out).
  Adesk::UInt32 allEntityIds(AcDbObjectIdArray& ids) const;

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

 private:
  std::wstring m_description;
  bool m_selectable = true;
  bool m_anonymous = false;
  AcDbObjectIdArray m_members;
};
