// Registers the drawing database's classes in the class dictionary, parents first,
// with their DXF names. Runs once, while the system registry is built, so every
// class exists before any module registers its own classes under them.
#include "acdb/objects/DatabaseInternal.h"
#include "dbAnnotativeObjectPE.h"
#include "dbdict.h"
#include "dbents.h"
#include "dbgroup.h"
#include "dblead.h"
#include "dbmtext.h"
#include "dbpl.h"
#include "dbproxy.h"
#include "dbsymtb.h"
#include "dbxrecrd.h"
#include "rxdict.h"
#include "sorttab.h"

namespace tabrik::acad {

namespace {

template <class T>
AcRxObject* make() {
  return new T;
}

struct ClassEntry {
  const ACHAR* name;
  const ACHAR* parent;
  AcRxClass** slot;
  AcRxPseudoConstructor constructor;
  const ACHAR* dxfName;
};

#define ABSTRACT(C, P) \
  { L## #C, L## #P, &C::gpDesc, nullptr, nullptr }
#define CONCRETE(C, P, DXF) \
  { L## #C, L## #P, &C::gpDesc, &make<C>, DXF }

}  // namespace

void registerDatabaseClasses(AcRxDictionary& classes) {
  const ClassEntry entries[] = {
      ABSTRACT(AcGiDrawable, AcRxObject),
      ABSTRACT(AcDbObject, AcGiDrawable),
      ABSTRACT(AcDbDatabase, AcRxObject),
      ABSTRACT(AcTransaction, AcRxObject),
      ABSTRACT(AcDbAnnotativeObjectPE, AcRxObject),
      ABSTRACT(AcDbTransactionManager, AcRxObject),
      CONCRETE(AcDbDictionary, AcDbObject, L"DICTIONARY"),
      CONCRETE(AcDbGroup, AcDbObject, L"GROUP"),
      CONCRETE(AcDbXrecord, AcDbObject, L"XRECORD"),
      CONCRETE(AcDbSortentsTable, AcDbObject, L"SORTENTSTABLE"),
      ABSTRACT(AcDbSymbolTable, AcDbObject),
      ABSTRACT(AcDbSymbolTableRecord, AcDbObject),
      CONCRETE(AcDbBlockTable, AcDbSymbolTable, L"BLOCK_RECORD"),
      CONCRETE(AcDbLayerTable, AcDbSymbolTable, L"LAYER"),
      CONCRETE(AcDbLinetypeTable, AcDbSymbolTable, L"LTYPE"),
      CONCRETE(AcDbTextStyleTable, AcDbSymbolTable, L"STYLE"),
      CONCRETE(AcDbRegAppTable, AcDbSymbolTable, L"APPID"),
      CONCRETE(AcDbViewportTable, AcDbSymbolTable, L"VPORT"),
      CONCRETE(AcDbViewTable, AcDbSymbolTable, L"VIEW"),
      CONCRETE(AcDbUCSTable, AcDbSymbolTable, L"UCS"),
      CONCRETE(AcDbDimStyleTable, AcDbSymbolTable, L"DIMSTYLE"),
      CONCRETE(AcDbBlockTableRecord, AcDbSymbolTableRecord, L"BLOCK_RECORD"),
      CONCRETE(AcDbLayerTableRecord, AcDbSymbolTableRecord, L"LAYER"),
      CONCRETE(AcDbLinetypeTableRecord, AcDbSymbolTableRecord, L"LTYPE"),
      CONCRETE(AcDbTextStyleTableRecord, AcDbSymbolTableRecord, L"STYLE"),
      CONCRETE(AcDbRegAppTableRecord, AcDbSymbolTableRecord, L"APPID"),
      CONCRETE(AcDbViewportTableRecord, AcDbSymbolTableRecord, L"VPORT"),
      CONCRETE(AcDbViewTableRecord, AcDbSymbolTableRecord, L"VIEW"),
      CONCRETE(AcDbUCSTableRecord, AcDbSymbolTableRecord, L"UCS"),
      CONCRETE(AcDbDimStyleTableRecord, AcDbSymbolTableRecord, L"DIMSTYLE"),
      ABSTRACT(AcDbEntity, AcDbObject),
      ABSTRACT(AcDbCurve, AcDbEntity),
      CONCRETE(AcDbLine, AcDbCurve, L"LINE"),
      CONCRETE(AcDbCircle, AcDbCurve, L"CIRCLE"),
      CONCRETE(AcDbArc, AcDbCurve, L"ARC"),
      CONCRETE(AcDbPolyline, AcDbCurve, L"LWPOLYLINE"),
      CONCRETE(AcDb2dPolyline, AcDbCurve, L"POLYLINE"),
      CONCRETE(AcDb2dVertex, AcDbEntity, L"VERTEX"),
      CONCRETE(AcDbLeader, AcDbCurve, L"LEADER"),
      CONCRETE(AcDbText, AcDbEntity, L"TEXT"),
      CONCRETE(AcDbAttributeDefinition, AcDbText, L"ATTDEF"),
      CONCRETE(AcDbAttribute, AcDbText, L"ATTRIB"),
      CONCRETE(AcDbMText, AcDbEntity, L"MTEXT"),
      CONCRETE(AcDbBlockReference, AcDbEntity, L"INSERT"),
      CONCRETE(AcDbFace, AcDbEntity, L"3DFACE"),
      CONCRETE(AcDbPoint, AcDbEntity, L"POINT"),
      CONCRETE(AcDbViewport, AcDbEntity, L"VIEWPORT"),
      CONCRETE(AcDbBlockBegin, AcDbEntity, L"BLOCK"),
      CONCRETE(AcDbBlockEnd, AcDbEntity, L"ENDBLK"),
      CONCRETE(AcDbSequenceEnd, AcDbEntity, L"SEQEND"),
      CONCRETE(AcDbProxyEntity, AcDbEntity, L"ACAD_PROXY_ENTITY"),
      CONCRETE(AcDbProxyObject, AcDbObject, L"ACAD_PROXY_OBJECT"),
  };
  for (const ClassEntry& entry : entries) {
    auto* parent = AcRxClass::cast(classes.at(entry.parent));
    auto* cls =
        new AcRxClass(entry.name, parent, entry.constructor, entry.dxfName, kHostClassApplication);
    classes.atPut(entry.name, cls);
    *entry.slot = cls;
  }
  attachAnnotativeExtension();
}

}  // namespace tabrik::acad
