// The drawing database: objects (AcDbObject) with ids, handles, owners, the open
// protocol and extended data; entities (AcDbEntity) with their common properties and
// geometry protocol; the database itself with its tables and header variables; and the
// host application services that name the working database.
//
// Open protocol (one object):
//   closed --open kForRead--> read(n=1) --open kForRead--> read(n+1) ... (close: n-1)
//   closed --open kForWrite--> write --close--> closed
//   read  --open kForWrite--> refused: eWasOpenForRead (upgradeOpen works when n = 1)
//   write --open (either)--> refused: eWasOpenForWrite
//   erased objects refuse every open with eWasErased unless openErased is true.
// A typed open (acdbOpenObject with a class) of an object of another class returns
// eNotThatKindOfClass and leaves it closed. A new object added to the database is open
// for write until its adder closes it. Objects that a transaction handed out stay open
// until the transaction ends.
#pragma once
#include <memory>
#include <string>

#include "acadstrc.h"
#include "acdb.h"
#include "acgi.h"
#include "adsdef.h"
#include "dbcolor.h"
#include "dbfiler.h"
#include "dbid.h"
#include "gemat3d.h"
#include "gept3dar.h"
#include "geplane.h"
#include "rxclass.h"
#include "rxobject.h"

class AcDbBlockTable;
class AcDbLayerTable;
class AcDbLinetypeTable;
class AcDbTextStyleTable;
class AcDbRegAppTable;
class AcDbViewportTable;
class AcDbViewTable;
class AcDbUCSTable;
class AcDbDimStyleTable;
class AcDbDictionary;
class AcDbTransactionManager;
class AcDbObject;

namespace tabrik::acad {
struct DatabaseImpl;
struct ObjectState;
}  // namespace tabrik::acad

// Axis-aligned extents; empty until the first point is added.
class AcDbExtents {
 public:
  AcDbExtents();
  AcDbExtents(const AcGePoint3d& min, const AcGePoint3d& max) : m_min(min), m_max(max) {}
  AcGePoint3d minPoint() const { return m_min; }
  AcGePoint3d maxPoint() const { return m_max; }
  Acad::ErrorStatus set(const AcGePoint3d& min, const AcGePoint3d& max);
  void addPoint(const AcGePoint3d& point);
  void addExt(const AcDbExtents& other);
  bool isEmpty() const { return m_min.x > m_max.x; }
  void transformBy(const AcGeMatrix3d& matrix);

 private:
  AcGePoint3d m_min, m_max;
};

class AcDbObject : public AcGiDrawable {
 public:
  ACRX_DECLARE_MEMBERS(AcDbObject);
  ~AcDbObject() override;

  AcDbObjectId objectId() const { return m_id; }
  AcDbObjectId ownerId() const { return m_ownerId; }
  virtual Acad::ErrorStatus setOwnerId(AcDbObjectId ownerId);
  AcDbDatabase* database() const;
  AcDbHandle handle() const { return m_id.handle(); }
  void getAcDbHandle(AcDbHandle& handle) const { handle = m_id.handle(); }

  bool isErased() const { return m_erased; }
  bool isReadEnabled() const;
  bool isWriteEnabled() const;
  bool isNotifyEnabled() const { return false; }
  bool isNewObject() const { return m_isNew; }
  bool isTransactionResident() const;
  bool isDBRO() const { return !m_id.isNull(); }
  // Asserted before every read or change of the object's data: a bug when the object
  // is resident and not open in that mode.
  void assertReadEnabled() const;
  void assertWriteEnabled(bool autoUndo = true, bool recordModified = true);
  void assertNotifyEnabled() const {}

  // Ends one open of this object; the object is closed when its last open ends. A
  // no-op on an object that is not in a database and on one a transaction holds.
  Acad::ErrorStatus close();
  // Ends an open for write and throws away the changes made since it opened.
  Acad::ErrorStatus cancel();
  Acad::ErrorStatus upgradeOpen();
  Acad::ErrorStatus downgradeOpen();
  // Sets or clears the erased mark (the object must be open for write).
  Acad::ErrorStatus erase(bool erasing = true);

  // Extended data: the chain for one application (1001 name first), or for all of
  // them when regappName is null; nullptr when there is none. The caller releases it
  // with acutRelRb. setXData replaces the data of each application named in the chain;
  // an application item with nothing after it removes that application's data.
  resbuf* xData(const ACHAR* regappName = nullptr) const;
  virtual Acad::ErrorStatus setXData(const resbuf* xdata);
  bool hasXData(const ACHAR* regappName) const;

  AcDbObjectId extensionDictionary() const { return m_extensionDictionary; }
  Acad::ErrorStatus createExtensionDictionary();
  void addPersistentReactor(AcDbObjectId reactorId);
  Acad::ErrorStatus removePersistentReactor(AcDbObjectId reactorId);
  AcDbObjectIdArray persistentReactors() const;

  // Filing. dwgOut/dxfOut write the object with its AcDbObject part; the *Fields
  // functions are what each class overrides, calling its parent's first.
  Acad::ErrorStatus dwgOut(AcDbDwgFiler* filer) const;
  Acad::ErrorStatus dwgIn(AcDbDwgFiler* filer);
  virtual Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const;
  virtual Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer);
  virtual Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const;
  virtual Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer);

  // A copy that is in no database, made through a copy filer.
  AcRxObject* clone() const;
  // Copies the data of another object of the same class (not its id or owner).
  virtual Acad::ErrorStatus copyFrom(const AcRxObject* other);

 protected:
  AcDbObject();
  // Hook for classes that must refuse or react to erasing.
  virtual Acad::ErrorStatus subErase(bool erasing) { return Acad::eOk; }
  virtual Acad::ErrorStatus subClose() { return Acad::eOk; }

 private:
  friend struct tabrik::acad::ObjectState;
  AcDbObjectId m_id;
  AcDbObjectId m_ownerId;
  AcDbObjectId m_extensionDictionary;
  std::unique_ptr<struct XDataStore> m_xdata;
  AcDbObjectIdArray m_reactors;
  int m_readCount = 0;
  bool m_writeOpen = false;
  int m_transactionCount = 0;
  bool m_erased = false;
  bool m_isNew = false;
};

class AcDbEntity : public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbEntity);
  ~AcDbEntity() override;

  AcDbObjectId blockId() const { return ownerId(); }

  // Names are copies the caller releases with delete[]; null when unresolved.
  ACHAR* layer() const;
  AcDbObjectId layerId() const;
  Acad::ErrorStatus setLayer(const ACHAR* layerName, bool doSubents = true,
                             bool allowHiddenLayer = false);
  virtual Acad::ErrorStatus setLayer(AcDbObjectId layerId, bool doSubents = true,
                                     bool allowHiddenLayer = false);
  AcCmColor color() const;
  virtual Acad::ErrorStatus setColor(const AcCmColor& color, bool doSubents = true);
  Adesk::UInt16 colorIndex() const;
  virtual Acad::ErrorStatus setColorIndex(Adesk::UInt16 colorIndex, bool doSubents = true);
  ACHAR* linetype() const;
  AcDbObjectId linetypeId() const;
  Acad::ErrorStatus setLinetype(const ACHAR* linetypeName, bool doSubents = true);
  virtual Acad::ErrorStatus setLinetype(AcDbObjectId linetypeId, bool doSubents = true);
  double linetypeScale() const;
  Acad::ErrorStatus setLinetypeScale(double scale, bool doSubents = true);
  AcDb::LineWeight lineWeight() const;
  Acad::ErrorStatus setLineWeight(AcDb::LineWeight weight, bool doSubents = true);
  AcDb::Visibility visibility() const;
  Acad::ErrorStatus setVisibility(AcDb::Visibility visibility, bool doSubents = true);
  // Layer, colour, linetype, scale and weight from the database's current settings
  // (the working database when null and the entity is in none).
  void setDatabaseDefaults(AcDbDatabase* database = nullptr);
  // Properties of another entity (layer, colour, linetype, scale, weight, visibility).
  Acad::ErrorStatus setPropertiesFrom(const AcDbEntity* other, bool doSubents = true);

  // Geometry protocol; each calls the protected sub* function a class overrides.
  Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const {
    return subGetGeomExtents(extents);
  }
  Acad::ErrorStatus transformBy(const AcGeMatrix3d& transform) { return subTransformBy(transform); }
  Acad::ErrorStatus getTransformedCopy(const AcGeMatrix3d& transform, AcDbEntity*& copy) const;
  // Appends new entities (not in a database; the caller owns them) that together
  // replace this one.
  Acad::ErrorStatus explode(AcDbVoidPtrArray& entitySet) const { return subExplode(entitySet); }
  Acad::ErrorStatus intersectWith(const AcDbEntity* other, AcDb::Intersect type,
                                  AcGePoint3dArray& points, std::intptr_t thisGsMarker = 0,
                                  std::intptr_t otherGsMarker = 0) const {
    return subIntersectWith(other, type, points, thisGsMarker, otherGsMarker);
  }
  Acad::ErrorStatus intersectWith(const AcDbEntity* other, AcDb::Intersect type,
                                  const AcGePlane& projPlane, AcGePoint3dArray& points,
                                  std::intptr_t thisGsMarker = 0,
                                  std::intptr_t otherGsMarker = 0) const {
    return subIntersectWith(other, type, projPlane, points, thisGsMarker, otherGsMarker);
  }
  Acad::ErrorStatus getOsnapPoints(AcDb::OsnapMode mode, std::intptr_t gsSelectionMark,
                                   const AcGePoint3d& pickPoint, const AcGePoint3d& lastPoint,
                                   const AcGeMatrix3d& viewXform, AcGePoint3dArray& snapPoints,
                                   AcDbIntArray& geomIds) const {
    return subGetOsnapPoints(mode, gsSelectionMark, pickPoint, lastPoint, viewXform, snapPoints,
                             geomIds);
  }
  Acad::ErrorStatus getGripPoints(AcGePoint3dArray& gripPoints, AcDbIntArray& osnapModes,
                                  AcDbIntArray& geomIds) const {
    return subGetGripPoints(gripPoints, osnapModes, geomIds);
  }
  Acad::ErrorStatus moveGripPointsAt(const AcDbIntArray& indices, const AcGeVector3d& offset) {
    return subMoveGripPointsAt(indices, offset);
  }
  Acad::ErrorStatus getStretchPoints(AcGePoint3dArray& stretchPoints) const {
    return subGetStretchPoints(stretchPoints);
  }
  Acad::ErrorStatus moveStretchPointsAt(const AcDbIntArray& indices, const AcGeVector3d& offset) {
    return subMoveStretchPointsAt(indices, offset);
  }
  void list() const { subList(); }
  // Asks the host to redraw the entity (nothing to do without a screen).
  Acad::ErrorStatus draw() { return Acad::eOk; }
  void recordGraphicsModified(bool setModified = true) {}

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

 protected:
  AcDbEntity();
  virtual Acad::ErrorStatus subGetGeomExtents(AcDbExtents& extents) const;
  virtual Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& transform);
  virtual Acad::ErrorStatus subExplode(AcDbVoidPtrArray& entitySet) const;
  virtual Acad::ErrorStatus subIntersectWith(const AcDbEntity* other, AcDb::Intersect type,
                                             AcGePoint3dArray& points, std::intptr_t thisGsMarker,
                                             std::intptr_t otherGsMarker) const;
  virtual Acad::ErrorStatus subIntersectWith(const AcDbEntity* other, AcDb::Intersect type,
                                             const AcGePlane& projPlane, AcGePoint3dArray& points,
                                             std::intptr_t thisGsMarker,
                                             std::intptr_t otherGsMarker) const;
  virtual Acad::ErrorStatus subGetOsnapPoints(AcDb::OsnapMode mode, std::intptr_t gsSelectionMark,
                                              const AcGePoint3d& pickPoint,
                                              const AcGePoint3d& lastPoint,
                                              const AcGeMatrix3d& viewXform,
                                              AcGePoint3dArray& snapPoints,
                                              AcDbIntArray& geomIds) const;
  virtual Acad::ErrorStatus subGetGripPoints(AcGePoint3dArray& gripPoints, AcDbIntArray& osnapModes,
                                             AcDbIntArray& geomIds) const;
  virtual Acad::ErrorStatus subMoveGripPointsAt(const AcDbIntArray& indices,
                                                const AcGeVector3d& offset);
  virtual Acad::ErrorStatus subGetStretchPoints(AcGePoint3dArray& stretchPoints) const;
  virtual Acad::ErrorStatus subMoveStretchPointsAt(const AcDbIntArray& indices,
                                                   const AcGeVector3d& offset);
  // Prints the host's listing of the common properties.
  virtual void subList() const;

 private:
  AcDbObjectId m_layerId;
  AcDbObjectId m_linetypeId;
  AcCmColor m_color;
  double m_linetypeScale = 1.0;
  AcDb::LineWeight m_lineWeight = AcDb::kLnWtByLayer;
  AcDb::Visibility m_visibility = AcDb::kVisible;
};

class AcDbDatabase : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbDatabase);

  // With buildDefaultDrawing false the database is empty, ready for readDwgFile.
  explicit AcDbDatabase(bool buildDefaultDrawing = true, bool noDocument = false);
  ~AcDbDatabase() override;

  AcDbDatabase(const AcDbDatabase&) = delete;
  AcDbDatabase& operator=(const AcDbDatabase&) = delete;

  // Makes the object resident: gives it an id and handle; it stays open for write
  // until the caller closes it. The object's owner is left to the caller.
  Acad::ErrorStatus addAcDbObject(AcDbObjectId& id, AcDbObject* object);
  Acad::ErrorStatus addAcDbObject(AcDbObject* object) {
    AcDbObjectId id;
    return addAcDbObject(id, object);
  }
  // The id of the object with a handle; with createIfNotFound an id is reserved for a
  // handle no object has yet (files refer forward).
  Acad::ErrorStatus getAcDbObjectId(AcDbObjectId& id, bool createIfNotFound,
                                    const AcDbHandle& handle, Adesk::UInt32 xRefId = 0);
  // The next handle the database will give out ($HANDSEED).
  AcDbHandle handseed() const;

  Acad::ErrorStatus getBlockTable(AcDbBlockTable*& table, AcDb::OpenMode mode = AcDb::kForRead);
  Acad::ErrorStatus getLayerTable(AcDbLayerTable*& table, AcDb::OpenMode mode = AcDb::kForRead);
  Acad::ErrorStatus getLinetypeTable(AcDbLinetypeTable*& table,
                                     AcDb::OpenMode mode = AcDb::kForRead);
  Acad::ErrorStatus getTextStyleTable(AcDbTextStyleTable*& table,
                                      AcDb::OpenMode mode = AcDb::kForRead);
  Acad::ErrorStatus getRegAppTable(AcDbRegAppTable*& table, AcDb::OpenMode mode = AcDb::kForRead);
  Acad::ErrorStatus getViewportTable(AcDbViewportTable*& table,
                                     AcDb::OpenMode mode = AcDb::kForRead);
  Acad::ErrorStatus getViewTable(AcDbViewTable*& table, AcDb::OpenMode mode = AcDb::kForRead);
  Acad::ErrorStatus getUCSTable(AcDbUCSTable*& table, AcDb::OpenMode mode = AcDb::kForRead);
  Acad::ErrorStatus getDimStyleTable(AcDbDimStyleTable*& table,
                                     AcDb::OpenMode mode = AcDb::kForRead);
  Acad::ErrorStatus getSymbolTable(AcDbBlockTable*& table, AcDb::OpenMode mode = AcDb::kForRead) {
    return getBlockTable(table, mode);
  }
  Acad::ErrorStatus getSymbolTable(AcDbLayerTable*& table, AcDb::OpenMode mode = AcDb::kForRead) {
    return getLayerTable(table, mode);
  }
  Acad::ErrorStatus getSymbolTable(AcDbLinetypeTable*& table,
                                   AcDb::OpenMode mode = AcDb::kForRead) {
    return getLinetypeTable(table, mode);
  }
  Acad::ErrorStatus getSymbolTable(AcDbTextStyleTable*& table,
                                   AcDb::OpenMode mode = AcDb::kForRead) {
    return getTextStyleTable(table, mode);
  }
  Acad::ErrorStatus getSymbolTable(AcDbRegAppTable*& table, AcDb::OpenMode mode = AcDb::kForRead) {
    return getRegAppTable(table, mode);
  }
  AcDbObjectId blockTableId() const;
  AcDbObjectId layerTableId() const;
  AcDbObjectId linetypeTableId() const;
  AcDbObjectId textStyleTableId() const;
  AcDbObjectId regAppTableId() const;
  AcDbObjectId viewportTableId() const;
  AcDbObjectId viewTableId() const;
  AcDbObjectId UCSTableId() const;
  AcDbObjectId dimStyleTableId() const;
  Acad::ErrorStatus getNamedObjectsDictionary(AcDbDictionary*& dictionary,
                                              AcDb::OpenMode mode = AcDb::kForRead);
  AcDbObjectId namedObjectsDictionaryId() const;
  Acad::ErrorStatus getGroupDictionary(AcDbDictionary*& dictionary,
                                       AcDb::OpenMode mode = AcDb::kForRead);
  AcDbObjectId groupDictionaryId() const;
  AcDbObjectId modelSpaceId() const;
  AcDbObjectId paperSpaceId() const;
  AcDbObjectId byLayerLinetype() const;
  AcDbObjectId byBlockLinetype() const;
  AcDbObjectId continuousLinetype() const;

  // Header variables (the current layer, linetype, colour, text style; scales).
  AcDbObjectId clayer() const;
  Acad::ErrorStatus setClayer(AcDbObjectId layerId);
  AcDbObjectId celtype() const;
  Acad::ErrorStatus setCeltype(AcDbObjectId linetypeId);
  AcCmColor cecolor() const;
  Acad::ErrorStatus setCecolor(const AcCmColor& color);
  AcDb::LineWeight celweight() const;
  Acad::ErrorStatus setCelweight(AcDb::LineWeight weight);
  double celtscale() const;
  Acad::ErrorStatus setCeltscale(double scale);
  AcDbObjectId textstyle() const;
  Acad::ErrorStatus setTextstyle(AcDbObjectId styleId);
  double textsize() const;
  Acad::ErrorStatus setTextsize(double size);
  double dimscale() const;
  Acad::ErrorStatus setDimscale(double scale);
  double ltscale() const;
  Acad::ErrorStatus setLtscale(double scale);
  int insunits() const;
  Acad::ErrorStatus setInsunits(int units);
  bool measurement() const;
  Acad::ErrorStatus setMeasurement(bool metric);
  AcGePoint3d insbase() const;
  Acad::ErrorStatus setInsbase(const AcGePoint3d& base);

  AcDbTransactionManager* transactionManager() const;

  // Reads a drawing file the host wrote (its binary form or DXF, whatever the name)
  // into a database made with buildDefaultDrawing false.
  Acad::ErrorStatus readDwgFile(const ACHAR* fileName, int shareMode = 0,
                                bool allowCPConversion = false, const ACHAR* password = nullptr);
  // Writes the host's binary drawing file.
  Acad::ErrorStatus saveAs(const ACHAR* fileName);
  Acad::ErrorStatus dxfIn(const ACHAR* fileName, const ACHAR* logFilename = nullptr);
  Acad::ErrorStatus dxfOut(const ACHAR* fileName, int precision = 16,
                           AcDb::DwgVersion version = AcDb::kDHL_1015);
  // The file this database was read from or last saved to ("" for a new one).
  const ACHAR* filename() const;
  // Defines a block named blockName whose contents are copies of the source
  // database's model space (its layers, linetypes, styles and nested blocks follow).
  Acad::ErrorStatus insert(AcDbObjectId& blockId, const ACHAR* blockName, AcDbDatabase* source,
                           bool preserveSourceDatabase = true);

  tabrik::acad::DatabaseImpl& impl() const { return *m_impl; }

 private:
  std::unique_ptr<tabrik::acad::DatabaseImpl> m_impl;
};

class AcDbHostApplicationServices : public AcRxObject {
 public:
  enum FindFileHint {
    kDefault = 0,
    kFontFile,
    kCompiledShapeFile,
    kTrueTypeFontFile,
    kEmbeddedImageFile,
    kXRefDrawing,
    kPatternFile,
    kARXApplication
  };

  // The database that host calls act on: the active document's, or one a caller made
  // working for a while.
  AcDbDatabase* workingDatabase() const { return m_workingDatabase; }
  void setWorkingDatabase(AcDbDatabase* database) { m_workingDatabase = database; }
  // The full name of a file the host finds: the name as given when it exists, else in
  // the folders the host searches (the drawing's, then the support path). eOk with the
  // name in fileOut; eFileNotFound; eBufferTooSmall when the name does not fit.
  virtual Acad::ErrorStatus findFile(ACHAR* fileOut, int bufferLength, const ACHAR* fileName,
                                     AcDbDatabase* database = nullptr,
                                     FindFileHint hint = kDefault);

 private:
  AcDbDatabase* m_workingDatabase = nullptr;
};

AcDbHostApplicationServices* acdbHostApplicationServices();

// Opens the object with the id. See the protocol above.
Acad::ErrorStatus acdbOpenObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                 bool openErased = false);
Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased = false);
Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& entity, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased = false);
// The typed open: fails with eNotThatKindOfClass, leaving the object closed, when the
// object is not a T.
template <class T>
Acad::ErrorStatus acdbOpenObject(T*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                 bool openErased = false) {
  object = nullptr;
  AcDbObject* opened = nullptr;
  Acad::ErrorStatus status = acdbOpenObject(opened, id, mode, openErased);
  if (status != Acad::eOk) return status;
  object = T::cast(opened);
  if (object != nullptr) return Acad::eOk;
  opened->close();
  return Acad::eNotThatKindOfClass;
}

// Entity names of the ads interface: word 0 is a stable non-zero number per object
// (the id's old id), word 1 is 0.
Acad::ErrorStatus acdbGetAdsName(ads_name& name, AcDbObjectId id);
Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name name);
