// Symbol tables and their records: blocks, layers, linetypes, text styles, registered
// applications, viewports, views, coordinate systems and dimension styles. A table
// owns its records; names are unique per table and compared without regard to case;
// iteration is in the order the records were added.
#pragma once
#include <string>
#include <unordered_map>
#include <vector>

#include "dbmain.h"

class AcDbSymbolTableIterator;
class AcDbBlockTableRecordIterator;
class AcDbSortentsTable;
class AcDbSymbolTable;

namespace tabrik::acad {
void appendTableRecord(AcDbSymbolTable* table, AcDbObjectId record);
}

class AcDbSymbolTableRecord : public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbSymbolTableRecord);
  // A copy the caller releases with delete[].
  Acad::ErrorStatus getName(ACHAR*& name) const;
  Acad::ErrorStatus getName(const ACHAR*& name) const;
  const std::wstring& name() const { return m_name; }
  // eInvalidSymbolTableName for an empty name or one with characters the host refuses
  // (<>/\":;?*|,=`); eDuplicateRecordName when the table already has another record of
  // that name.
  Acad::ErrorStatus setName(const ACHAR* name);
  bool isDependent() const { return false; }
  bool isResolved() const { return true; }

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

 protected:
  AcDbSymbolTableRecord() = default;
  // Every change of the name goes through here, so that the owning table's index
  // follows it (reading from a file, undo, entmod, setName).
  void assignName(std::wstring name);
  Adesk::Int16 m_flags = 0;  // group 70 bits other than the ones a record class models

 private:
  friend class AcDbSymbolTable;
  // The table holding this record (null before one took it) and where it keeps it (its
  // position in the table's record ids). Not filed: the table sets them when it indexes
  // the record, whatever the record's owner says (a file may name another owner).
  AcDbSymbolTable* table() const;
  std::wstring m_name;
  AcDbObjectId m_tableId;
  int m_tablePosition = -1;
};

class AcDbSymbolTable : public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbSymbolTable);
  Acad::ErrorStatus getAt(const ACHAR* name, AcDbObjectId& id, bool getErased = false) const;
  Acad::ErrorStatus getAt(const ACHAR* name, AcDbSymbolTableRecord*& record, AcDb::OpenMode mode,
                          bool openErased = false) const;
  bool has(const ACHAR* name) const;
  bool has(AcDbObjectId id) const;
  // Adds a record that is in no database yet; it is left open for write. The table
  // must be open for write.
  Acad::ErrorStatus add(AcDbObjectId& id, AcDbSymbolTableRecord* record);
  Acad::ErrorStatus add(AcDbSymbolTableRecord* record) {
    AcDbObjectId id;
    return add(id, record);
  }
  Acad::ErrorStatus newIterator(AcDbSymbolTableIterator*& iterator, bool atBeginning = true,
                                bool skipDeleted = true) const;
  // Record ids in table order (erased ones included).
  const AcDbObjectIdArray& recordIds() const { return m_records; }
  // The class of the records this table holds.
  virtual AcRxClass* recordClass() const = 0;

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

 protected:
  AcDbSymbolTable() = default;

 private:
  friend class AcDbSymbolTableRecord;
  friend void tabrik::acad::appendTableRecord(AcDbSymbolTable* table, AcDbObjectId record);
  // The position of the record in this table; -1 when this table does not hold it.
  int positionOf(const AcDbSymbolTableRecord* record) const;
  // Appends a record id (once) and indexes it under its name.
  void appendRecord(AcDbObjectId id);
  void indexAt(int position, const std::wstring& name);
  void unindexAt(int position, const std::wstring& name);
  void rebuildIndex();
  // The first position (table order) holding `name` that passes the erased filter;
  // -1 when none does. `except` is a position to pass over.
  int find(const ACHAR* name, bool getErased, int except = -1) const;

  AcDbObjectIdArray m_records;
  // Positions in m_records by folded name (see foldedName), in table order; erased
  // records included. Kept in step with every append, rename and restore, so a lookup
  // by name costs one hash probe whatever the table's size.
  std::unordered_map<std::wstring, std::vector<int>> m_byName;
};

class AcDbSymbolTableIterator {
 public:
  AcDbSymbolTableIterator(const AcDbObjectIdArray& ids, bool atBeginning, bool skipDeleted);
  virtual ~AcDbSymbolTableIterator() = default;
  void start(bool atBeginning = true, bool skipDeleted = true);
  bool done() const { return m_index < 0 || m_index >= m_ids.length(); }
  void step(bool forward = true, bool skipDeleted = true);
  Acad::ErrorStatus getRecordId(AcDbObjectId& id) const;
  Acad::ErrorStatus getRecord(AcDbSymbolTableRecord*& record, AcDb::OpenMode mode = AcDb::kForRead,
                              bool openErased = false) const;

 private:
  void skip(bool forward, bool skipDeleted);
  AcDbObjectIdArray m_ids;
  int m_index = 0;
};

// One table class and its iterator per kind of record; the typed getAt and getRecord
// open the record as its own class.
#define TABRIK_SYMBOL_TABLE(TABLE, RECORD)                                             \
  class TABLE##Iterator : public AcDbSymbolTableIterator {                             \
   public:                                                                             \
    using AcDbSymbolTableIterator::AcDbSymbolTableIterator;                            \
    using AcDbSymbolTableIterator::getRecord;                                          \
    Acad::ErrorStatus getRecord(RECORD*& record, AcDb::OpenMode mode = AcDb::kForRead, \
                                bool openErased = false) const {                       \
      AcDbObjectId id;                                                                 \
      Acad::ErrorStatus status = getRecordId(id);                                      \
      if (status != Acad::eOk) return status;                                          \
      return acdbOpenObject(record, id, mode, openErased);                             \
    }                                                                                  \
  };                                                                                   \
  class TABLE : public AcDbSymbolTable {                                               \
   public:                                                                             \
    ACRX_DECLARE_MEMBERS(TABLE);                                                       \
    using AcDbSymbolTable::getAt;                                                      \
    using AcDbSymbolTable::newIterator;                                                \
    Acad::ErrorStatus getAt(const ACHAR* name, RECORD*& record, AcDb::OpenMode mode,   \
                            bool openErased = false) const {                           \
      record = nullptr;                                                                \
      AcDbObjectId id;                                                                 \
      Acad::ErrorStatus status = getAt(name, id, openErased);                          \
      if (status != Acad::eOk) return status;                                          \
      return acdbOpenObject(record, id, mode, openErased);                             \
    }                                                                                  \
    Acad::ErrorStatus newIterator(TABLE##Iterator*& iterator, bool atBeginning = true, \
                                  bool skipDeleted = true) const {                     \
      iterator = new TABLE##Iterator(recordIds(), atBeginning, skipDeleted);           \
      return Acad::eOk;                                                                \
    }                                                                                  \
    AcRxClass* recordClass() const override { return RECORD::desc(); }                 \
  };

class AcDbBlockTableRecord : public AcDbSymbolTableRecord {
 public:
  ACRX_DECLARE_MEMBERS(AcDbBlockTableRecord);
  AcDbBlockTableRecord();
  ~AcDbBlockTableRecord() override;

  // Adds an entity that is in no database; it is left open for write, owned by this
  // block. The block must be open for write and in a database.
  Acad::ErrorStatus appendAcDbEntity(AcDbObjectId& id, AcDbEntity* entity);
  Acad::ErrorStatus appendAcDbEntity(AcDbEntity* entity) {
    AcDbObjectId id;
    return appendAcDbEntity(id, entity);
  }
  Acad::ErrorStatus newIterator(AcDbBlockTableRecordIterator*& iterator, bool atBeginning = true,
                                bool skipDeleted = true) const;
  // Entity ids in drawing order (erased ones included).
  const AcDbObjectIdArray& entityIds() const { return m_entities; }
  AcGePoint3d origin() const { return m_origin; }
  Acad::ErrorStatus setOrigin(const AcGePoint3d& origin);
  Acad::ErrorStatus comments(ACHAR*& text) const;
  Acad::ErrorStatus setComments(const ACHAR* text);
  Acad::ErrorStatus pathName(ACHAR*& path) const;
  Acad::ErrorStatus setPathName(const ACHAR* path);
  bool hasAttributeDefinitions() const;
  bool isLayout() const;
  bool isAnonymous() const;
  bool isFromExternalReference() const { return false; }
  Acad::ErrorStatus getBlockReferenceIds(AcDbObjectIdArray& ids, bool directOnly = true) const;
  // The block's draw-order table, made on request.
  Acad::ErrorStatus getSortentsTable(AcDbSortentsTable*& table, AcDb::OpenMode mode,
                                     bool createIfNecessary = false);
  // The BLOCK and ENDBLK objects that frame the block's entities in DXF.
  AcDbObjectId blockBeginId() const { return m_blockBegin; }
  AcDbObjectId blockEndId() const { return m_blockEnd; }

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

 private:
  friend struct BlockTableRecordAccess;
  AcDbObjectIdArray m_entities;
  AcGePoint3d m_origin;
  std::wstring m_comments;
  std::wstring m_pathName;
  AcDbObjectId m_blockBegin, m_blockEnd;
};

class AcDbBlockTableRecordIterator {
 public:
  AcDbBlockTableRecordIterator(const AcDbObjectIdArray& ids, bool atBeginning, bool skipDeleted);
  void start(bool atBeginning = true, bool skipDeleted = true);
  bool done() const { return m_index < 0 || m_index >= m_ids.length(); }
  void step(bool forward = true, bool skipDeleted = true);
  Acad::ErrorStatus getEntityId(AcDbObjectId& id) const;
  Acad::ErrorStatus getEntity(AcDbEntity*& entity, AcDb::OpenMode mode = AcDb::kForRead,
                              bool openErased = false) const;

 private:
  void skip(bool forward, bool skipDeleted);
  AcDbObjectIdArray m_ids;
  int m_index = 0;
};

class AcDbLayerTableRecord : public AcDbSymbolTableRecord {
 public:
  ACRX_DECLARE_MEMBERS(AcDbLayerTableRecord);
  AcDbLayerTableRecord();
  AcCmColor color() const { return m_color; }
  void setColor(const AcCmColor& color);
  AcDbObjectId linetypeObjectId() const { return m_linetype; }
  void setLinetypeObjectId(AcDbObjectId id);
  AcDb::LineWeight lineWeight() const { return m_lineWeight; }
  Acad::ErrorStatus setLineWeight(AcDb::LineWeight weight);
  bool isPlottable() const { return m_plottable; }
  Acad::ErrorStatus setIsPlottable(bool plottable);
  // A copy the caller releases with delete[]; "" when the layer has none.
  ACHAR* plotStyleName() const;
  Acad::ErrorStatus setPlotStyleName(const ACHAR* name);
  bool isOff() const { return m_off; }
  void setIsOff(bool off);
  bool isFrozen() const { return (m_flags & 1) != 0; }
  Acad::ErrorStatus setIsFrozen(bool frozen);
  bool isLocked() const { return (m_flags & 4) != 0; }
  void setIsLocked(bool locked);
  bool isHidden() const { return false; }
  bool isInUse() const { return true; }
  // Frozen in new viewports.
  bool VPDFLT() const { return (m_flags & 2) != 0; }
  void setVPDFLT(bool frozen);

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

 private:
  AcCmColor m_color;
  AcDbObjectId m_linetype;
  AcDb::LineWeight m_lineWeight = AcDb::kLnWtByLwDefault;
  bool m_plottable = true;
  bool m_off = false;
  std::wstring m_plotStyleName;
};

class AcDbLinetypeTableRecord : public AcDbSymbolTableRecord {
 public:
  ACRX_DECLARE_MEMBERS(AcDbLinetypeTableRecord);
  // The description shown beside the name ("Solid line", "__ __ __").
  Acad::ErrorStatus comments(ACHAR*& text) const;
  Acad::ErrorStatus comments(const ACHAR*& text) const;
  Acad::ErrorStatus setComments(const ACHAR* text);
  Acad::ErrorStatus asciiDescription(ACHAR*& text) const { return comments(text); }
  Acad::ErrorStatus setAsciiDescription(const ACHAR* text) { return setComments(text); }
  double patternLength() const;
  void setPatternLength(double length);
  int numDashes() const { return static_cast<int>(m_dashes.size()); }
  void setNumDashes(int count);
  double dashLengthAt(int index) const;
  void setDashLengthAt(int index, double length);
  bool isScaledToFit() const { return false; }

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

 private:
  std::wstring m_comments;
  double m_patternLength = 0.0;
  std::vector<double> m_dashes;
};

class AcDbTextStyleTableRecord : public AcDbSymbolTableRecord {
 public:
  ACRX_DECLARE_MEMBERS(AcDbTextStyleTableRecord);
  Acad::ErrorStatus fileName(ACHAR*& name) const;
  Acad::ErrorStatus fileName(const ACHAR*& name) const;
  Acad::ErrorStatus setFileName(const ACHAR* name);
  Acad::ErrorStatus bigFontFileName(ACHAR*& name) const;
  Acad::ErrorStatus setBigFontFileName(const ACHAR* name);
  // Fixed text height; 0 means the height is asked for each text.
  double textSize() const { return m_textSize; }
  Acad::ErrorStatus setTextSize(double size);
  double xScale() const { return m_xScale; }
  Acad::ErrorStatus setXScale(double scale);
  double obliquingAngle() const { return m_oblique; }
  Acad::ErrorStatus setObliquingAngle(double angle);
  double priorSize() const { return m_priorSize; }
  Acad::ErrorStatus setPriorSize(double size);
  bool isVertical() const { return (m_flags & 4) != 0; }
  bool isShapeFile() const { return (m_flags & 1) != 0; }
  // The text generation flags (DXF group 71): 2 backwards, 4 upside down.
  Adesk::UInt8 flagBits() const { return static_cast<Adesk::UInt8>(m_generation); }
  void setFlagBits(Adesk::UInt8 bits) {
    assertWriteEnabled();
    m_generation = bits;
  }

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

 private:
  std::wstring m_fileName = L"txt";
  std::wstring m_bigFont;
  double m_textSize = 0.0, m_xScale = 1.0, m_oblique = 0.0, m_priorSize = 2.5;
  Adesk::Int16 m_generation = 0;
};

class AcDbRegAppTableRecord : public AcDbSymbolTableRecord {
 public:
  ACRX_DECLARE_MEMBERS(AcDbRegAppTableRecord);
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
};

// The tiled viewport configuration "*Active": view centre and height of the
// drawing's model-space window.
class AcDbViewportTableRecord : public AcDbSymbolTableRecord {
 public:
  ACRX_DECLARE_MEMBERS(AcDbViewportTableRecord);
  AcGePoint2d centerPoint() const { return m_center; }
  void setCenterPoint(const AcGePoint2d& center);
  double height() const { return m_height; }
  void setHeight(double height);
  double width() const { return m_height * m_aspect; }

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

 private:
  AcGePoint2d m_center{210, 148.5};
  double m_height = 297.0;
  double m_aspect = 1.4142;
};

class AcDbViewTableRecord : public AcDbSymbolTableRecord {
 public:
  ACRX_DECLARE_MEMBERS(AcDbViewTableRecord);
};

class AcDbUCSTableRecord : public AcDbSymbolTableRecord {
 public:
  ACRX_DECLARE_MEMBERS(AcDbUCSTableRecord);
};

class AcDbDimStyleTableRecord : public AcDbSymbolTableRecord {
 public:
  ACRX_DECLARE_MEMBERS(AcDbDimStyleTableRecord);
  AcDbObjectId dimtxsty() const { return m_textStyle; }
  void setDimtxsty(AcDbObjectId styleId);

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

 private:
  AcDbObjectId m_textStyle;
};

TABRIK_SYMBOL_TABLE(AcDbBlockTable, AcDbBlockTableRecord)
TABRIK_SYMBOL_TABLE(AcDbLayerTable, AcDbLayerTableRecord)
TABRIK_SYMBOL_TABLE(AcDbLinetypeTable, AcDbLinetypeTableRecord)
TABRIK_SYMBOL_TABLE(AcDbTextStyleTable, AcDbTextStyleTableRecord)
TABRIK_SYMBOL_TABLE(AcDbRegAppTable, AcDbRegAppTableRecord)
TABRIK_SYMBOL_TABLE(AcDbViewportTable, AcDbViewportTableRecord)
TABRIK_SYMBOL_TABLE(AcDbViewTable, AcDbViewTableRecord)
TABRIK_SYMBOL_TABLE(AcDbUCSTable, AcDbUCSTableRecord)
TABRIK_SYMBOL_TABLE(AcDbDimStyleTable, AcDbDimStyleTableRecord)

// Names of the two layout blocks every drawing has.
#define ACDB_MODEL_SPACE ACRX_T("*Model_Space")
#define ACDB_PAPER_SPACE ACRX_T("*Paper_Space")
