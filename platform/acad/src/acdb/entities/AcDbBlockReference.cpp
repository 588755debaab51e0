// Block references: placement, attributes, and the block's contents as the reference
// shows them (drawing, extents, explode, intersections, snap points).
#include <cmath>

#include "acutads.h"
#include "acdb/objects/ComplexEntity.h"
#include "acdb/objects/DatabaseInternal.h"
#include "acdb/objects/FieldVisitor.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "rxboiler.h"

using namespace tabrik::acad;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbBlockReference, AcDbEntity)

struct AcDbBlockReference::Complex : ComplexEntity {
  Complex() : ComplexEntity(AcDbAttribute::desc()) {}
  Adesk::Int16 attributesFollow = 0;  // group 66 while filing
};

namespace {
const double kOne = 1.0;
const Adesk::Int16 kZero16 = 0;
// Blocks that contain references to themselves stop drawing here.
constexpr int kMaxNesting = 32;
thread_local int gNesting = 0;

struct NestingGuard {
  NestingGuard() { ++gNesting; }
  ~NestingGuard() { --gNesting; }
  bool tooDeep() const { return gNesting > kMaxNesting; }
};
}  // namespace

AcDbBlockReference::AcDbBlockReference() : m_complex(std::make_unique<Complex>()) {}
AcDbBlockReference::AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId block)
    : m_block(block), m_position(position), m_complex(std::make_unique<Complex>()) {}
AcDbBlockReference::~AcDbBlockReference() = default;

// INSERT: 100 AcDbBlockReference, 66 1 when attributes follow, 2 block name, 10
// position (OCS), 41/42/43 scales (when not 1), 50 rotation (degrees, when not 0), 210
// normal.
void AcDbBlockReference::visitFields(FieldVisitor& v) {
  m_complex->attributesFollow = 0;
  for (const AcDbObjectId& id : m_complex->m_subEntities)
    if (!id.isErased()) m_complex->attributesFollow = 1;
  v.marker(L"AcDbBlockReference");
  v.int16(66, m_complex->attributesFollow, &kZero16);
  v.symbol(2, m_block, SymbolTable::kBlock);
  v.ocsPoint(10, m_position, &m_normal);
  v.real(41, m_scale.sx, &kOne);
  v.real(42, m_scale.sy, &kOne);
  v.real(43, m_scale.sz, &kOne);
  v.angle(50, m_rotation, /*optional=*/true);
  v.vector(210, m_normal, /*optionalZAxis=*/true);
}

// DWG filing adds the attribute list and the SEQEND after the fields, as the vertices
// of a 2D polyline are filed; a copy takes neither (its attributes are copied apart).
Acad::ErrorStatus AcDbBlockReference::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbEntity::dwgOutFields(filer);
  writeDwgFields(
      filer, [this](FieldVisitor& v) { const_cast<AcDbBlockReference*>(this)->visitFields(v); });
  filer->writeInt32(m_complex->m_subEntities.length());
  for (const AcDbObjectId& id : m_complex->m_subEntities) filer->writeHardOwnershipId(id);
  filer->writeHardOwnershipId(m_complex->m_sequenceEnd);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbBlockReference::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbEntity::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  readDwgFields(filer, [this](FieldVisitor& v) { visitFields(v); });
  Adesk::Int32 count = 0;
  filer->readInt32(&count);
  if (count < 0) return Acad::eFilerError;
  AcDbObjectIdArray ids;
  for (int i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
    AcDbHardOwnershipId id;
    filer->readHardOwnershipId(&id);
    if (!id.isNull()) ids.append(id);
  }
  AcDbHardOwnershipId end;
  filer->readHardOwnershipId(&end);
  if (filer->filerStatus() != Acad::eOk || filer->filerType() == AcDb::kCopyFiler)
    return filer->filerStatus();
  m_complex->m_subEntities = ids;
  m_complex->m_sequenceEnd = end;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbEntity::dxfOutFields(filer);
  return writeDxfFields(
      filer, [this](FieldVisitor& v) { const_cast<AcDbBlockReference*>(this)->visitFields(v); });
}

Acad::ErrorStatus AcDbBlockReference::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer);
  if (status != Acad::eOk) return status;
  return readDxfFields(filer, [this](FieldVisitor& v) { visitFields(v); });
}

struct BlockReferenceAccess {
  static ComplexEntity* complex(const AcDbBlockReference* reference) {
    return reference->m_complex.get();
  }
};

Acad::ErrorStatus AcDbBlockReference::setBlockTableRecord(AcDbObjectId block) {
  if (!block.isNull() &&
      (!block.isValid() || !block.objectClass()->isDerivedFrom(AcDbBlockTableRecord::desc())))
    return Acad::eWrongObjectType;
  assertWriteEnabled();
  m_block = block;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbBlockReference::setPosition(const AcGePoint3d& position) {
  assertWriteEnabled();
  m_position = position;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbBlockReference::setScaleFactors(const AcGeScale3d& scale) {
  if (scale.sx == 0 || scale.sy == 0 || scale.sz == 0) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_scale = scale;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbBlockReference::setRotation(double rotation) {
  assertWriteEnabled();
  m_rotation = rotation;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbBlockReference::setNormal(const AcGeVector3d& normal) {
  if (normal.isZeroLength()) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_normal = normal.normal();
  return Acad::eOk;
}

namespace {
AcGePoint3d blockOrigin(AcDbObjectId block) {
  if (!block.isValid()) return AcGePoint3d::kOrigin;
  const auto* record = AcDbBlockTableRecord::cast(block.stub()->object);
  return record ? record->origin() : AcGePoint3d::kOrigin;
}
}  // namespace

AcGeMatrix3d AcDbBlockReference::blockTransform() const {
  AcGeMatrix3d scale;
  scale.entry[0][0] = m_scale.sx, scale.entry[1][1] = m_scale.sy, scale.entry[2][2] = m_scale.sz;
  AcGeMatrix3d toOcs = AcGeMatrix3d::planeToWorld(m_normal);
  // The position is world; the rotation turns in the OCS of the normal.
  return AcGeMatrix3d::translation(m_position.asVector()) * toOcs *
         AcGeMatrix3d::rotation(m_rotation, AcGeVector3d::kZAxis) * scale *
         AcGeMatrix3d::translation(-blockOrigin(m_block).asVector());
}

Acad::ErrorStatus AcDbBlockReference::setBlockTransform(const AcGeMatrix3d& transform) {
  AcGePoint3d origin;
  AcGeVector3d x, y, z;
  transform.getCoordSystem(origin, x, y, z);
  double sx = x.length(), sy = y.length(), sz = z.length();
  if (sx == 0 || sy == 0 || sz == 0) return Acad::eInvalidInput;
  assertWriteEnabled();
  AcGeVector3d normal = x.crossProduct(y).normal();
  if (normal.dotProduct(z) < 0) sz = -sz;
  m_normal = normal;
  AcGeVector3d ocsX = x;
  ocsX.transformBy(AcGeMatrix3d::worldToPlane(normal));
  m_rotation = std::atan2(ocsX.y, ocsX.x);
  m_scale = AcGeScale3d(sx, sy, sz);
  m_position = transform * blockOrigin(m_block);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::appendAttribute(AcDbObjectId& id, AcDbAttribute* attribute) {
  id.setNull();
  if (attribute == nullptr) return Acad::eNullObjectPointer;
  AcDbDatabase* db = database();
  if (db == nullptr) return Acad::eNoDatabase;
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  assertWriteEnabled();
  Acad::ErrorStatus status = db->addAcDbObject(id, attribute);
  if (status != Acad::eOk) return status;
  ObjectState::setOwner(attribute, objectId());
  if (attribute->layerId().isNull()) attribute->setLayer(layerId());
  if (attribute->linetypeId().isNull()) attribute->setLinetype(db->byLayerLinetype());
  giveTextStyle(attribute, db);
  m_complex->m_subEntities.append(id);
  if (m_complex->m_sequenceEnd.isNull()) {
    auto* end = new AcDbSequenceEnd;
    AcDbObjectId endId;
    db->addAcDbObject(endId, end);
    ObjectState::setOwner(end, objectId());
    end->setLayer(layerId());
    end->close();
    m_complex->m_sequenceEnd = endId;
  }
  return Acad::eOk;
}

AcDbObjectIterator* AcDbBlockReference::attributeIterator() const {
  AcDbObjectIdArray live;
  for (const AcDbObjectId& id : m_complex->m_subEntities)
    if (!id.isErased()) live.append(id);
  return new AcDbObjectIterator(live);
}

// Copies of the block's entities placed by the block transform; entities on layer "0"
// take the reference's layer and by-block colours take the reference's colour, as the
// host shows them. Attribute definitions are left out unless constant.
Acad::ErrorStatus AcDbBlockReference::placedContents(AcDbVoidPtrArray& entities, int depth) const {
  if (!m_block.isValid()) return Acad::eInvalidInput;
  const auto* block = AcDbBlockTableRecord::cast(m_block.stub()->object);
  if (block == nullptr) return Acad::eWrongObjectType;
  AcGeMatrix3d transform = blockTransform();
  for (const AcDbObjectId& id : block->entityIds()) {
    if (!id.isValid() || id.isErased()) continue;
    auto* source = AcDbEntity::cast(id.stub()->object);
    if (source == nullptr) continue;
    auto* definition = AcDbAttributeDefinition::cast(source);
    if (definition != nullptr && !definition->isConstant()) continue;
    AcDbEntity* copy = AcDbEntity::cast(source->clone());
    if (copy == nullptr) continue;
    if (copy->transformBy(transform) != Acad::eOk) {
      delete copy;  // a shape the transform cannot carry (a circle scaled unevenly)
      continue;
    }
    entities.append(copy);
  }
  return Acad::eOk;
}

Adesk::Boolean AcDbBlockReference::subWorldDraw(AcGiWorldDraw* mode) {
  NestingGuard guard;
  if (guard.tooDeep()) return Adesk::kTrue;
  if (m_block.isValid()) {
    const auto* block = AcDbBlockTableRecord::cast(m_block.stub()->object);
    if (block != nullptr) {
      mode->geometry().pushModelTransform(blockTransform());
      for (const AcDbObjectId& id : block->entityIds()) {
        if (!id.isValid() || id.isErased()) continue;
        auto* entity = AcDbEntity::cast(id.stub()->object);
        auto* definition = AcDbAttributeDefinition::cast(entity);
        if (entity == nullptr || (definition != nullptr && !definition->isConstant())) continue;
        mode->geometry().draw(entity);
      }
      mode->geometry().popModelTransform();
    }
  }
  for (const AcDbObjectId& id : m_complex->m_subEntities)
    if (id.isValid() && !id.isErased()) mode->geometry().draw(id.stub()->object);
  return Adesk::kTrue;
}

Acad::ErrorStatus AcDbBlockReference::subGetGeomExtents(AcDbExtents& extents) const {
  NestingGuard guard;
  if (guard.tooDeep()) return Acad::eInvalidExtents;
  AcDbVoidPtrArray parts;
  placedContents(parts, 0);
  AcDbExtents all;
  for (void* part : parts) {
    auto* entity = static_cast<AcDbEntity*>(part);
    AcDbExtents one;
    if (entity->getGeomExtents(one) == Acad::eOk) all.addExt(one);
    delete entity;
  }
  for (const AcDbObjectId& id : m_complex->m_subEntities) {
    if (!id.isValid() || id.isErased()) continue;
    AcDbExtents one;
    if (AcDbEntity::cast(id.stub()->object)->getGeomExtents(one) == Acad::eOk) all.addExt(one);
  }
  if (all.isEmpty()) return Acad::eInvalidExtents;
  extents.addExt(all);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::subTransformBy(const AcGeMatrix3d& m) {
  Acad::ErrorStatus status = setBlockTransform(m * blockTransform());
  if (status != Acad::eOk) return status;
  for (const AcDbObjectId& id : m_complex->m_subEntities) {
    if (!id.isValid()) continue;
    AcDbObject* attribute = id.stub()->object;
    bool wasWritable = ObjectState::writeOpen(attribute);
    ObjectState::writeOpen(attribute) = true;
    AcDbEntity::cast(attribute)->transformBy(m);
    ObjectState::writeOpen(attribute) = wasWritable;
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::subExplode(AcDbVoidPtrArray& entitySet) const {
  NestingGuard guard;
  if (guard.tooDeep()) return Acad::eInvalidInput;
  return placedContents(entitySet, 0);
}

Acad::ErrorStatus AcDbBlockReference::subIntersectWith(const AcDbEntity* other,
                                                       AcDb::Intersect type,
                                                       AcGePoint3dArray& points,
                                                       std::intptr_t thisMarker,
                                                       std::intptr_t otherMarker) const {
  if (other == nullptr) return Acad::eNullEntityPointer;
  NestingGuard guard;
  if (guard.tooDeep()) return Acad::eOk;
  AcDbVoidPtrArray parts;
  placedContents(parts, 0);
  for (void* part : parts) {
    auto* entity = static_cast<AcDbEntity*>(part);
    entity->intersectWith(other, type, points);
    delete entity;
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::subIntersectWith(const AcDbEntity* other,
                                                       AcDb::Intersect type, const AcGePlane& plane,
                                                       AcGePoint3dArray& points, std::intptr_t,
                                                       std::intptr_t) const {
  if (other == nullptr) return Acad::eNullEntityPointer;
  NestingGuard guard;
  if (guard.tooDeep()) return Acad::eOk;
  AcDbVoidPtrArray parts;
  placedContents(parts, 0);
  for (void* part : parts) {
    auto* entity = static_cast<AcDbEntity*>(part);
    entity->intersectWith(other, type, plane, points);
    delete entity;
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::subGetOsnapPoints(
    AcDb::OsnapMode mode, std::intptr_t marker, const AcGePoint3d& pick, const AcGePoint3d& last,
    const AcGeMatrix3d& view, AcGePoint3dArray& points, AcDbIntArray& ids) const {
  if (mode == AcDb::kOsModeIns) {
    points.append(m_position);
    return Acad::eOk;
  }
  NestingGuard guard;
  if (guard.tooDeep()) return Acad::eOk;
  AcDbVoidPtrArray parts;
  placedContents(parts, 0);
  for (void* part : parts) {
    auto* entity = static_cast<AcDbEntity*>(part);
    entity->getOsnapPoints(mode, marker, pick, last, view, points, ids);
    delete entity;
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::subGetGripPoints(AcGePoint3dArray& points, AcDbIntArray&,
                                                       AcDbIntArray&) const {
  points.append(m_position);
  return Acad::eOk;
}

// Erasing a reference erases its attributes and their SEQEND with it.
Acad::ErrorStatus AcDbBlockReference::subErase(bool erasing) {
  AcDbObjectIdArray subs = m_complex->m_subEntities;
  if (!m_complex->m_sequenceEnd.isNull()) subs.append(m_complex->m_sequenceEnd);
  for (const AcDbObjectId& id : subs) {
    if (!id.isValid()) continue;
    AcDbObject* sub = id.stub()->object;
    bool wasWritable = ObjectState::writeOpen(sub);
    ObjectState::writeOpen(sub) = true;
    sub->erase(erasing);
    ObjectState::writeOpen(sub) = wasWritable;
  }
  return Acad::eOk;
}

void AcDbBlockReference::subList() const {
  AcDbEntity::subList();
  acutPrintf(L"                  Block Name: \"%ls\"\n", symbolName(m_block).c_str());
  acutPrintf(L"                   at point, X=%10.4f  Y=%10.4f  Z=%10.4f\n", m_position.x,
             m_position.y, m_position.z);
  acutPrintf(L"   X scale factor: %10.4f\n   Y scale factor: %10.4f\n   rotation angle: %g\n",
             m_scale.sx, m_scale.sy, m_rotation * 180.0 / 3.141592653589793);
}

namespace tabrik::acad {
ComplexEntity* polyline2dComplex(const AcDbEntity* entity);

ComplexEntity* complexOf(const AcDbEntity* entity) {
  if (auto* reference = AcDbBlockReference::cast(entity))
    return BlockReferenceAccess::complex(reference);
  return polyline2dComplex(entity);
}
}  // namespace tabrik::acad
