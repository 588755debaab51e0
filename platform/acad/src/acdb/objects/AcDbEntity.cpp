// AcDbEntity: the properties every entity has (layer, colour, linetype, scale,
// lineweight, visibility), their DXF and DWG filing, and the geometry protocol's
// defaults for entities that do not override it. Also AcCmColor.
#include <cmath>
#include <cwchar>

#include "acutads.h"
#include "acdb/objects/ComplexEntity.h"
#include "acdb/objects/DatabaseInternal.h"
#include "acdb/objects/DxfGroups.h"
#include "acdb/objects/FieldVisitor.h"
#include "dbsymtb.h"
#include "rxboiler.h"

using namespace tabrik::acad;

ACRX_NO_CONS_DEFINE_MEMBERS(AcGiDrawable, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbObject, AcGiDrawable)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbEntity, AcDbObject)

// --- AcCmColor -----------------------------------------------------------------------

Adesk::UInt16 AcCmColor::colorIndex() const { return m_index; }

void AcCmColor::setColorIndex(Adesk::UInt16 index) {
  m_index = index;
  m_rgb = 0;
  if (index == 256)
    m_method = AcCmEntityColor::kByLayer;
  else if (index == 0)
    m_method = AcCmEntityColor::kByBlock;
  else
    m_method = AcCmEntityColor::kByACI;
}

void AcCmColor::setRGB(Adesk::UInt8 red, Adesk::UInt8 green, Adesk::UInt8 blue) {
  m_method = AcCmEntityColor::kByColor;
  m_rgb = (std::uint32_t(red) << 16) | (std::uint32_t(green) << 8) | blue;
  // The index the host shows beside a true colour: the nearest of the seven standard
  // colours, white for greys.
  static const struct {
    int index, r, g, b;
  } kStandard[] = {{1, 255, 0, 0},     {2, 255, 255, 0},  {3, 0, 255, 0},
                   {4, 0, 255, 255},   {5, 0, 0, 255},    {6, 255, 0, 255},
                   {7, 255, 255, 255}, {250, 51, 51, 51}, {8, 128, 128, 128}};
  long best = -1;
  for (const auto& s : kStandard) {
    long d =
        (s.r - red) * (s.r - red) + (s.g - green) * (s.g - green) + (s.b - blue) * (s.b - blue);
    if (best < 0 || d < best) best = d, m_index = static_cast<Adesk::UInt16>(s.index);
  }
}

// --- AcDbEntity -----------------------------------------------------------------------

AcDbEntity::AcDbEntity() = default;
AcDbEntity::~AcDbEntity() = default;

namespace {

AcDbDatabase* databaseFor(const AcDbEntity* entity) {
  AcDbDatabase* db = entity->database();
  return db ? db : acdbHostApplicationServices()->workingDatabase();
}

ACHAR* copyName(const std::wstring& name) {
  if (name.empty()) return nullptr;
  auto* copy = new ACHAR[name.size() + 1];
  std::wmemcpy(copy, name.c_str(), name.size() + 1);
  return copy;
}

}  // namespace

ACHAR* AcDbEntity::layer() const { return copyName(symbolName(m_layerId)); }
AcDbObjectId AcDbEntity::layerId() const { return m_layerId; }

Acad::ErrorStatus AcDbEntity::setLayer(const ACHAR* layerName, bool doSubents,
                                       bool allowHiddenLayer) {
  if (layerName == nullptr) return Acad::eInvalidInput;
  AcDbObjectId id = symbolId(databaseFor(this), SymbolTable::kLayer, layerName);
  if (id.isNull()) return Acad::eKeyNotFound;
  return setLayer(id, doSubents, allowHiddenLayer);
}

Acad::ErrorStatus AcDbEntity::setLayer(AcDbObjectId layerId, bool doSubents,
                                       bool allowHiddenLayer) {
  if (layerId.isNull()) return Acad::eNullObjectId;
  if (!layerId.isValid() || !layerId.objectClass()->isDerivedFrom(AcDbLayerTableRecord::desc()))
    return Acad::eWrongObjectType;
  assertWriteEnabled();
  m_layerId = layerId;
  return Acad::eOk;
}

AcCmColor AcDbEntity::color() const { return m_color; }

namespace {
// Changes the sub-entities of a complex entity (vertices, attributes, the SEQEND), each
// opened for write in turn; one that is open elsewhere keeps what it had.
template <typename Change>
void changeSubEntities(const AcDbEntity* entity, Change&& change) {
  const tabrik::acad::ComplexEntity* complex = tabrik::acad::complexOf(entity);
  if (complex == nullptr) return;
  AcDbObjectIdArray ids = complex->m_subEntities;
  if (complex->m_sequenceEnd.isValid()) ids.append(complex->m_sequenceEnd);
  for (const AcDbObjectId& id : ids) {
    AcDbEntity* sub = nullptr;
    if (!id.isValid() || id.isErased() || acdbOpenObject(sub, id, AcDb::kForWrite) != Acad::eOk)
      continue;
    change(sub);
    sub->close();
  }
}
}  // namespace

Acad::ErrorStatus AcDbEntity::setColor(const AcCmColor& color, bool doSubents) {
  assertWriteEnabled();
  m_color = color;
  if (doSubents) changeSubEntities(this, [&](AcDbEntity* sub) { sub->setColor(color, false); });
  return Acad::eOk;
}

Adesk::UInt16 AcDbEntity::colorIndex() const { return m_color.colorIndex(); }

Acad::ErrorStatus AcDbEntity::setColorIndex(Adesk::UInt16 colorIndex, bool doSubents) {
  if (colorIndex > 256) return Acad::eOutOfRange;
  AcCmColor color;
  color.setColorIndex(colorIndex);
  return setColor(color, doSubents);
}

ACHAR* AcDbEntity::linetype() const { return copyName(symbolName(m_linetypeId)); }
AcDbObjectId AcDbEntity::linetypeId() const { return m_linetypeId; }

Acad::ErrorStatus AcDbEntity::setLinetype(const ACHAR* name, bool doSubents) {
  if (name == nullptr) return Acad::eInvalidInput;
  AcDbObjectId id = symbolId(databaseFor(this), SymbolTable::kLinetype, name);
  if (id.isNull()) return Acad::eKeyNotFound;
  return setLinetype(id, doSubents);
}

Acad::ErrorStatus AcDbEntity::setLinetype(AcDbObjectId id, bool doSubents) {
  if (id.isNull()) return Acad::eNullObjectId;
  if (!id.isValid() || !id.objectClass()->isDerivedFrom(AcDbLinetypeTableRecord::desc()))
    return Acad::eWrongObjectType;
  assertWriteEnabled();
  m_linetypeId = id;
  return Acad::eOk;
}

double AcDbEntity::linetypeScale() const { return m_linetypeScale; }

Acad::ErrorStatus AcDbEntity::setLinetypeScale(double scale, bool doSubents) {
  if (!(scale > 0)) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_linetypeScale = scale;
  return Acad::eOk;
}

AcDb::LineWeight AcDbEntity::lineWeight() const { return m_lineWeight; }

Acad::ErrorStatus AcDbEntity::setLineWeight(AcDb::LineWeight weight, bool doSubents) {
  assertWriteEnabled();
  m_lineWeight = weight;
  return Acad::eOk;
}

AcDb::Visibility AcDbEntity::visibility() const { return m_visibility; }

Acad::ErrorStatus AcDbEntity::setVisibility(AcDb::Visibility visibility, bool doSubents) {
  assertWriteEnabled();
  m_visibility = visibility;
  return Acad::eOk;
}

void AcDbEntity::setDatabaseDefaults(AcDbDatabase* database) {
  AcDbDatabase* db = database ? database : databaseFor(this);
  if (db == nullptr) return;
  assertWriteEnabled();
  m_layerId = db->clayer();
  m_linetypeId = db->celtype();
  m_color = db->cecolor();
  m_linetypeScale = db->celtscale();
  m_lineWeight = db->celweight();
}

Acad::ErrorStatus AcDbEntity::setPropertiesFrom(const AcDbEntity* other, bool doSubents) {
  if (other == nullptr) return Acad::eNullEntityPointer;
  assertWriteEnabled();
  m_layerId = other->m_layerId;
  m_linetypeId = other->m_linetypeId;
  m_color = other->m_color;
  m_linetypeScale = other->m_linetypeScale;
  m_lineWeight = other->m_lineWeight;
  m_visibility = other->m_visibility;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::getTransformedCopy(const AcGeMatrix3d& transform,
                                                 AcDbEntity*& copy) const {
  copy = AcDbEntity::cast(clone());
  if (copy == nullptr) return Acad::eNotApplicable;
  Acad::ErrorStatus status = copy->transformBy(transform);
  if (status != Acad::eOk) {
    delete copy;
    copy = nullptr;
  }
  return status;
}

Acad::ErrorStatus AcDbEntity::subTransformBy(const AcGeMatrix3d&) { return Acad::eNotApplicable; }
Acad::ErrorStatus AcDbEntity::subExplode(AcDbVoidPtrArray&) const { return Acad::eNotApplicable; }
Acad::ErrorStatus AcDbEntity::subGetOsnapPoints(AcDb::OsnapMode, std::intptr_t, const AcGePoint3d&,
                                                const AcGePoint3d&, const AcGeMatrix3d&,
                                                AcGePoint3dArray&, AcDbIntArray&) const {
  return Acad::eOk;
}
Acad::ErrorStatus AcDbEntity::subGetGripPoints(AcGePoint3dArray&, AcDbIntArray&,
                                               AcDbIntArray&) const {
  return Acad::eOk;
}
Acad::ErrorStatus AcDbEntity::subMoveGripPointsAt(const AcDbIntArray&, const AcGeVector3d&) {
  return Acad::eOk;
}
// By default the stretch points are the grip points, and moving them is moving grips.
Acad::ErrorStatus AcDbEntity::subGetStretchPoints(AcGePoint3dArray& points) const {
  AcDbIntArray modes, ids;
  return getGripPoints(points, modes, ids);
}
Acad::ErrorStatus AcDbEntity::subMoveStretchPointsAt(const AcDbIntArray& indices,
                                                     const AcGeVector3d& offset) {
  return moveGripPointsAt(indices, offset);
}

void AcDbEntity::subList() const {
  AcRxClass* cls = isA();
  acutPrintf(L"                  %ls     Layer: \"%ls\"\n", cls ? cls->dxfName() : L"",
             symbolName(m_layerId).c_str());
  acutPrintf(L"                            Space: %ls\n",
             database() != nullptr && ownerId() == database()->paperSpaceId() ? L"Paper space"
                                                                              : L"Model space");
  acutPrintf(L"                   Handle = %ls\n", handle().asString().c_str());
}

Acad::ErrorStatus AcDbEntity::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbObject::dwgOutFields(filer);
  filer->writeHardPointerId(m_layerId);
  filer->writeHardPointerId(m_linetypeId);
  filer->writeInt16(static_cast<Adesk::Int16>(m_color.colorMethod()));
  filer->writeUInt16(m_color.colorIndex());
  filer->writeUInt32(m_color.rgb());
  filer->writeDouble(m_linetypeScale);
  filer->writeInt16(static_cast<Adesk::Int16>(m_lineWeight));
  filer->writeInt16(static_cast<Adesk::Int16>(m_visibility));
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbEntity::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbObject::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  AcDbHardPointerId layer, linetype;
  filer->readHardPointerId(&layer);
  filer->readHardPointerId(&linetype);
  m_layerId = layer;
  m_linetypeId = linetype;
  Adesk::Int16 method = 0, weight = 0, visibility = 0;
  Adesk::UInt16 index = 256;
  Adesk::UInt32 rgb = 0;
  filer->readInt16(&method);
  filer->readUInt16(&index);
  filer->readUInt32(&rgb);
  if (method == AcCmEntityColor::kByColor)
    m_color.setRGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
  else
    m_color.setColorIndex(index);
  filer->readDouble(&m_linetypeScale);
  filer->readInt16(&weight);
  filer->readInt16(&visibility);
  m_lineWeight = static_cast<AcDb::LineWeight>(weight);
  m_visibility = visibility ? AcDb::kInvisible : AcDb::kVisible;
  return filer->filerStatus();
}

// AcDbEntity groups: 67 paper space (1 when the entity lies in *Paper_Space), 8
// layer, 6 linetype (left out when by layer), 62 colour index (left out when by
// layer), 420 true colour, 370 lineweight (left out when by layer), 48 linetype
// scale (left out when 1), 60 invisible (left out when visible).
Acad::ErrorStatus AcDbEntity::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbObject::dxfOutFields(filer);
  filer->writeString(100, L"AcDbEntity");
  AcDbDatabase* db = database();
  if (db != nullptr && !ownerId().isNull() && ownerId() == db->paperSpaceId())
    filer->writeInt16(67, 1);
  std::wstring layerName = symbolName(m_layerId);
  filer->writeString(8, layerName.empty() ? L"0" : layerName);
  std::wstring linetypeName = symbolName(m_linetypeId);
  if (!linetypeName.empty() && wcscasecmp(linetypeName.c_str(), L"ByLayer") != 0)
    filer->writeString(6, linetypeName);
  if (!m_color.isByLayer()) filer->writeInt16(62, static_cast<Adesk::Int16>(m_color.colorIndex()));
  if (m_color.isByColor()) filer->writeInt32(420, static_cast<Adesk::Int32>(m_color.rgb()));
  if (m_lineWeight != AcDb::kLnWtByLayer)
    filer->writeInt16(370, static_cast<Adesk::Int16>(m_lineWeight));
  if (m_linetypeScale != 1.0) filer->writeDouble(48, m_linetypeScale);
  if (m_visibility == AcDb::kInvisible) filer->writeInt16(60, 1);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbEntity::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbObject::dxfInFields(filer);
  if (status == Acad::eOk) status = requireSubclass(filer, L"AcDbEntity");
  if (status != Acad::eOk) return status;
  AcDbDatabase* db = filer->database();
  m_layerId = symbolId(db, SymbolTable::kLayer, L"0");
  m_linetypeId = symbolId(db, SymbolTable::kLinetype, L"ByLayer");
  return forEachGroup(filer, [&](const resbuf& rb) {
    switch (rb.restype) {
      case 8: {
        AcDbObjectId id = symbolId(db, SymbolTable::kLayer, stringOf(rb));
        if (!id.isNull()) m_layerId = id;
        break;
      }
      case 6: {
        AcDbObjectId id = symbolId(db, SymbolTable::kLinetype, stringOf(rb));
        if (!id.isNull()) m_linetypeId = id;
        break;
      }
      case 62:
        if (!m_color.isByColor() && rb.resval.rint >= 0 && rb.resval.rint <= 256)
          m_color.setColorIndex(static_cast<Adesk::UInt16>(rb.resval.rint));
        break;
      case 420: {
        auto rgb = static_cast<std::uint32_t>(rb.resval.rlong);
        m_color.setRGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
        break;
      }
      case 370:
        m_lineWeight = static_cast<AcDb::LineWeight>(rb.resval.rint);
        break;
      case 48:
        if (rb.resval.rreal > 0) m_linetypeScale = rb.resval.rreal;
        break;
      case 60:
        m_visibility = rb.resval.rint ? AcDb::kInvisible : AcDb::kVisible;
        break;
      default:
        break;
    }
  });
}
