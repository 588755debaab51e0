// Groups: ordered member lists kept in the group dictionary.
#include <cwchar>

#include "acdb/objects/DatabaseInternal.h"
#include "tabrik/DrawingFiling.h"
#include "acdb/objects/DxfGroups.h"
#include "dbdict.h"
#include "dbgroup.h"
#include "rxboiler.h"

using namespace tabrik::acad;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbGroup, AcDbObject)

AcDbGroup::AcDbGroup() = default;
AcDbGroup::AcDbGroup(const ACHAR* description, bool selectable)
    : m_description(description ? description : L""), m_selectable(selectable) {}

Acad::ErrorStatus AcDbGroup::getName(ACHAR*& name) const {
  name = nullptr;
  AcDbObjectId owner = ownerId();
  if (!owner.isValid()) return Acad::eNotInDatabase;
  const AcDbDictionary* dictionary = AcDbDictionary::cast(owner.stub()->object);
  if (dictionary == nullptr) return Acad::eNotInDatabase;
  return dictionary->nameAt(objectId(), name);
}

Acad::ErrorStatus AcDbGroup::setDescription(const ACHAR* description) {
  if (description == nullptr) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_description = description;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::setSelectable(bool selectable) {
  assertWriteEnabled();
  m_selectable = selectable;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::setAnonymous() {
  assertWriteEnabled();
  m_anonymous = true;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::append(AcDbObjectId id) {
  if (id.isNull()) return Acad::eNullObjectId;
  if (!id.isValid() || id.isErased()) return Acad::eWasErased;
  if (database() != nullptr && id.database() != database()) return Acad::eWrongDatabase;
  if (!id.objectClass()->isDerivedFrom(AcDbEntity::desc())) return Acad::eNotAnEntity;
  if (m_members.contains(id)) return Acad::eAlreadyInGroup;
  assertWriteEnabled();
  m_members.append(id);
  if (!objectId().isNull()) {
    AcDbObject* member = id.stub()->object;
    // The member notes the group among its reactors, opened or not (the host does this
    // through notification, which needs no open).
    bool wasWritable = ObjectState::writeOpen(member);
    ObjectState::writeOpen(member) = true;
    member->addPersistentReactor(objectId());
    ObjectState::writeOpen(member) = wasWritable;
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::append(const AcDbObjectIdArray& ids) {
  for (const AcDbObjectId& id : ids) {
    Acad::ErrorStatus status = append(id);
    if (status != Acad::eOk) return status;
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::remove(AcDbObjectId id) {
  if (!m_members.contains(id)) return Acad::eNotInGroup;
  assertWriteEnabled();
  m_members.remove(id);
  if (id.isValid() && !objectId().isNull()) {
    AcDbObject* member = id.stub()->object;
    bool wasWritable = ObjectState::writeOpen(member);
    ObjectState::writeOpen(member) = true;
    member->removePersistentReactor(objectId());
    ObjectState::writeOpen(member) = wasWritable;
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::clear() {
  AcDbObjectIdArray members = m_members;
  for (const AcDbObjectId& id : members) remove(id);
  return Acad::eOk;
}

bool AcDbGroup::has(const AcDbEntity* entity) const {
  return entity != nullptr && has(entity->objectId());
}

Adesk::UInt32 AcDbGroup::allEntityIds(AcDbObjectIdArray& ids) const {
  ids.removeAll();
  for (const AcDbObjectId& id : m_members)
    if (id.isValid() && !id.isErased()) ids.append(id);
  return static_cast<Adesk::UInt32>(ids.length());
}

Acad::ErrorStatus AcDbGroup::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbObject::dwgOutFields(filer);
  filer->writeString(m_description);
  filer->writeBool(m_selectable);
  filer->writeBool(m_anonymous);
  filer->writeInt32(m_members.length());
  for (const AcDbObjectId& id : m_members) filer->writeHardPointerId(id);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbGroup::dwgInFields(AcDbDwgFiler* filer) {
  AcDbObject::dwgInFields(filer);
  filer->readString(m_description);
  filer->readBool(&m_selectable);
  filer->readBool(&m_anonymous);
  Adesk::Int32 count = 0;
  filer->readInt32(&count);
  if (count < 0) return Acad::eFilerError;
  m_members.removeAll();
  for (int i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
    AcDbHardPointerId id;
    filer->readHardPointerId(&id);
    if (!id.isNull()) m_members.append(id);
  }
  return filer->filerStatus();
}

// GROUP groups: 100 AcDbGroup, 300 description, 70 unnamed flag, 71 selectable, 340 per
// member. Only members a drawing file holds are written: live entities with a live
// owner (a file names no object it leaves out, and a group holds only entities).
namespace {
bool isFiledMember(AcDbObjectId id) {
  if (!id.isValid() || id.isErased() || id.stub()->object == nullptr) return false;
  if (AcDbEntity::cast(id.stub()->object) == nullptr) return false;
  AcDbObjectId owner = id.stub()->object->ownerId();
  return owner.isValid() && !owner.isErased();
}
}  // namespace

Acad::ErrorStatus AcDbGroup::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbObject::dxfOutFields(filer);
  filer->writeString(100, L"AcDbGroup");
  filer->writeString(300, m_description);
  filer->writeInt16(70, m_anonymous ? 1 : 0);
  filer->writeInt16(71, m_selectable ? 1 : 0);
  for (const AcDbObjectId& id : m_members)
    if (isFiledMember(id) && tabrik::acad::isFiled(filer, id)) filer->writeObjectId(340, id);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbGroup::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbObject::dxfInFields(filer);
  if (status == Acad::eOk) status = requireSubclass(filer, L"AcDbGroup");
  if (status != Acad::eOk) return status;
  m_members.removeAll();
  return forEachGroup(filer, [&](const resbuf& rb) {
    switch (rb.restype) {
      case 300:
        m_description = stringOf(rb);
        break;
      case 70:
        m_anonymous = rb.resval.rint != 0;
        break;
      case 71:
        m_selectable = rb.resval.rint != 0;
        break;
      case 340: {
        AcDbObjectId id = filer->idOf(rb);
        if (!id.isNull() && !m_members.contains(id)) m_members.append(id);
        break;
      }
      default:
        break;
    }
  });
}
