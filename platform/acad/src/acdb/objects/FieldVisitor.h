// Each class lists its fields once, in its visitFields: group code, kind and member,
// in DXF order, with the subclass markers between. Four visitors walk that list: the
// DXF writer and reader, and the DWG writer and reader. So the group-code table of a
// class is one function that reader and writer share.
//
// Kinds: real, angle (radians in memory, degrees in DXF), point and vector (10/20/30
// style), OCS point (world in memory, in the object coordinate system of a normal in
// DXF), 16- and 32-bit integers, booleans (16-bit in DXF), text, object pointers
// (handles in DXF) and symbol references (names in DXF, resolved in a table). Optional
// fields are left out of DXF when they hold their default.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "dbfiler.h"
#include "dbmain.h"

namespace tabrik::acad {

enum class SymbolTable { kLayer, kLinetype, kTextStyle, kBlock };

class FieldVisitor {
 public:
  virtual ~FieldVisitor() = default;
  virtual void marker(const ACHAR* subclass) = 0;
  virtual void real(int code, double& value, const double* optionalDefault = nullptr) = 0;
  virtual void angle(int code, double& value, bool optional = false) = 0;
  virtual void point(int code, AcGePoint3d& value) = 0;
  virtual void point2d(int code, AcGePoint3d& value) = 0;  // x, y only in DXF
  virtual void ocsPoint(int code, AcGePoint3d& value, const AcGeVector3d* normal) = 0;
  virtual void vector(int code, AcGeVector3d& value, bool optionalZAxis = false) = 0;
  virtual void int16(int code, Adesk::Int16& value,
                     const Adesk::Int16* optionalDefault = nullptr) = 0;
  virtual void int32(int code, Adesk::Int32& value) = 0;
  virtual void boolean(int code, bool& value, const bool* optionalDefault = nullptr) = 0;
  virtual void text(int code, std::wstring& value) = 0;
  virtual void pointer(int code, AcDbObjectId& value) = 0;
  virtual void symbol(int code, AcDbObjectId& value, SymbolTable table) = 0;
};

// The DXF reader's visitor: fields register as the visit proceeds; at each marker and
// at the end, the groups of the subclass just described are read and dispatched.
Acad::ErrorStatus readDxfFields(AcDbDxfFiler* filer,
                                const std::function<void(FieldVisitor&)>& visit);
Acad::ErrorStatus writeDxfFields(AcDbDxfFiler* filer,
                                 const std::function<void(FieldVisitor&)>& visit);
Acad::ErrorStatus readDwgFields(AcDbDwgFiler* filer,
                                const std::function<void(FieldVisitor&)>& visit);
Acad::ErrorStatus writeDwgFields(AcDbDwgFiler* filer,
                                 const std::function<void(FieldVisitor&)>& visit);

// The record name of a symbol id without opening it ("" when unresolved), and the id
// of a name in one of a database's tables (null when absent).
std::wstring symbolName(AcDbObjectId id);
AcDbObjectId symbolId(AcDbDatabase* database, SymbolTable table, const std::wstring& name);

}  // namespace tabrik::acad

// Defines the four filing functions of a class whose fields visitFields lists.
#define TABRIK_FIELD_FILING(CLASS, PARENT)                                                         \
  Acad::ErrorStatus CLASS::dwgOutFields(AcDbDwgFiler* filer) const {                               \
    PARENT::dwgOutFields(filer);                                                                   \
    return tabrik::acad::writeDwgFields(filer, [this](tabrik::acad::FieldVisitor& v) {             \
      const_cast<CLASS*>(this)->visitFields(v);                                                    \
    });                                                                                            \
  }                                                                                                \
  Acad::ErrorStatus CLASS::dwgInFields(AcDbDwgFiler* filer) {                                      \
    Acad::ErrorStatus status = PARENT::dwgInFields(filer);                                         \
    if (status != Acad::eOk) return status;                                                        \
    return tabrik::acad::readDwgFields(filer,                                                      \
                                       [this](tabrik::acad::FieldVisitor& v) { visitFields(v); }); \
  }                                                                                                \
  Acad::ErrorStatus CLASS::dxfOutFields(AcDbDxfFiler* filer) const {                               \
    PARENT::dxfOutFields(filer);                                                                   \
    return tabrik::acad::writeDxfFields(filer, [this](tabrik::acad::FieldVisitor& v) {             \
      const_cast<CLASS*>(this)->visitFields(v);                                                    \
    });                                                                                            \
  }                                                                                                \
  Acad::ErrorStatus CLASS::dxfInFields(AcDbDxfFiler* filer) {                                      \
    Acad::ErrorStatus status = PARENT::dxfInFields(filer);                                         \
    if (status != Acad::eOk) return status;                                                        \
    return tabrik::acad::readDxfFields(filer,                                                      \
                                       [this](tabrik::acad::FieldVisitor& v) { visitFields(v); }); \
  }
