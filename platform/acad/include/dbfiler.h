// The filers through which objects file themselves: AcDbDwgFiler (the binary form used
// for drawing files, copies, deep clones and undo) and AcDbDxfFiler (DXF group codes).
// An object writes and reads its own fields in its dwgOutFields/dwgInFields and
// dxfOutFields/dxfInFields; the filer decides where the values go.
//
// Statuses: a read past the end, or of an item of another kind, sets the filer status
// (eEndOfFile / eFilerError) and returns it; later reads keep returning it until
// resetFilerStatus. A hard pointer read that names no object returns eUnknownHandle
// ("status 13") with the null id, and the filer status stays eOk.
#pragma once
#include <string>

#include "acadstrc.h"
#include "acdb.h"
#include "adsdef.h"
#include "dbid.h"
#include "gescl3d.h"
#include "gept3d.h"

class AcDbDatabase;

class AcDbDwgFiler {
 public:
  virtual ~AcDbDwgFiler() = default;

  virtual Acad::ErrorStatus filerStatus() const = 0;
  virtual AcDb::FilerType filerType() const = 0;
  virtual void setFilerStatus(Acad::ErrorStatus status) = 0;
  virtual void resetFilerStatus() = 0;
  virtual AcDbDatabase* database() const = 0;
  virtual Acad::ErrorStatus dwgVersion(AcDb::DwgVersion& version,
                                       AcDb::MaintenanceReleaseVersion& maint) const {
    version = AcDb::kDHL_1015;
    maint = AcDb::kMRelease0;
    return Acad::eOk;
  }

  virtual Acad::ErrorStatus readHardOwnershipId(AcDbHardOwnershipId* id) = 0;
  virtual Acad::ErrorStatus writeHardOwnershipId(const AcDbHardOwnershipId& id) = 0;
  virtual Acad::ErrorStatus readSoftOwnershipId(AcDbSoftOwnershipId* id) = 0;
  virtual Acad::ErrorStatus writeSoftOwnershipId(const AcDbSoftOwnershipId& id) = 0;
  virtual Acad::ErrorStatus readHardPointerId(AcDbHardPointerId* id) = 0;
  virtual Acad::ErrorStatus writeHardPointerId(const AcDbHardPointerId& id) = 0;
  virtual Acad::ErrorStatus readSoftPointerId(AcDbSoftPointerId* id) = 0;
  virtual Acad::ErrorStatus writeSoftPointerId(const AcDbSoftPointerId& id) = 0;

  virtual Acad::ErrorStatus readString(std::wstring& value) = 0;
  virtual Acad::ErrorStatus writeString(const std::wstring& value) = 0;
  // The caller releases *value with delete[].
  Acad::ErrorStatus readString(ACHAR** value);
  Acad::ErrorStatus writeString(const ACHAR* value) {
    return writeString(std::wstring(value ? value : L""));
  }
  virtual Acad::ErrorStatus readBytes(void* buffer, unsigned length) = 0;
  virtual Acad::ErrorStatus writeBytes(const void* buffer, unsigned length) = 0;

  virtual Acad::ErrorStatus readBool(bool* value) = 0;
  virtual Acad::ErrorStatus writeBool(bool value) = 0;
  virtual Acad::ErrorStatus readInt8(Adesk::Int8* value) = 0;
  virtual Acad::ErrorStatus writeInt8(Adesk::Int8 value) = 0;
  virtual Acad::ErrorStatus readInt16(Adesk::Int16* value) = 0;
  virtual Acad::ErrorStatus writeInt16(Adesk::Int16 value) = 0;
  virtual Acad::ErrorStatus readInt32(Adesk::Int32* value) = 0;
  virtual Acad::ErrorStatus writeInt32(Adesk::Int32 value) = 0;
  virtual Acad::ErrorStatus readUInt8(Adesk::UInt8* value) = 0;
  virtual Acad::ErrorStatus writeUInt8(Adesk::UInt8 value) = 0;
  virtual Acad::ErrorStatus readUInt16(Adesk::UInt16* value) = 0;
  virtual Acad::ErrorStatus writeUInt16(Adesk::UInt16 value) = 0;
  virtual Acad::ErrorStatus readUInt32(Adesk::UInt32* value) = 0;
  virtual Acad::ErrorStatus writeUInt32(Adesk::UInt32 value) = 0;
  virtual Acad::ErrorStatus readDouble(double* value) = 0;
  virtual Acad::ErrorStatus writeDouble(double value) = 0;
  virtual Acad::ErrorStatus readPoint2d(AcGePoint2d* value) = 0;
  virtual Acad::ErrorStatus writePoint2d(const AcGePoint2d& value) = 0;
  virtual Acad::ErrorStatus readPoint3d(AcGePoint3d* value) = 0;
  virtual Acad::ErrorStatus writePoint3d(const AcGePoint3d& value) = 0;
  virtual Acad::ErrorStatus readVector3d(AcGeVector3d* value) = 0;
  virtual Acad::ErrorStatus writeVector3d(const AcGeVector3d& value) = 0;
  virtual Acad::ErrorStatus readScale3d(AcGeScale3d* value) = 0;
  virtual Acad::ErrorStatus writeScale3d(const AcGeScale3d& value) = 0;
  virtual Acad::ErrorStatus readAcDbHandle(AcDbHandle* value) = 0;
  virtual Acad::ErrorStatus writeAcDbHandle(const AcDbHandle& value) = 0;

  // The SDK's overloaded shorthands.
  Acad::ErrorStatus readItem(bool* v) { return readBool(v); }
  Acad::ErrorStatus writeItem(bool v) { return writeBool(v); }
  Acad::ErrorStatus readItem(Adesk::Int16* v) { return readInt16(v); }
  Acad::ErrorStatus writeItem(Adesk::Int16 v) { return writeInt16(v); }
  Acad::ErrorStatus readItem(Adesk::Int32* v) { return readInt32(v); }
  Acad::ErrorStatus writeItem(Adesk::Int32 v) { return writeInt32(v); }
  Acad::ErrorStatus readItem(Adesk::UInt32* v) { return readUInt32(v); }
  Acad::ErrorStatus writeItem(Adesk::UInt32 v) { return writeUInt32(v); }
  Acad::ErrorStatus readItem(Adesk::UInt16* v) { return readUInt16(v); }
  Acad::ErrorStatus writeItem(Adesk::UInt16 v) { return writeUInt16(v); }
  Acad::ErrorStatus readItem(Adesk::UInt8* v) { return readUInt8(v); }
  Acad::ErrorStatus writeItem(Adesk::UInt8 v) { return writeUInt8(v); }
  Acad::ErrorStatus readItem(double* v) { return readDouble(v); }
  Acad::ErrorStatus writeItem(double v) { return writeDouble(v); }
  Acad::ErrorStatus readItem(AcGePoint2d* v) { return readPoint2d(v); }
  Acad::ErrorStatus writeItem(const AcGePoint2d& v) { return writePoint2d(v); }
  Acad::ErrorStatus readItem(AcGePoint3d* v) { return readPoint3d(v); }
  Acad::ErrorStatus writeItem(const AcGePoint3d& v) { return writePoint3d(v); }
  Acad::ErrorStatus readItem(AcGeVector3d* v) { return readVector3d(v); }
  Acad::ErrorStatus writeItem(const AcGeVector3d& v) { return writeVector3d(v); }
  Acad::ErrorStatus readItem(AcGeScale3d* v) { return readScale3d(v); }
  Acad::ErrorStatus writeItem(const AcGeScale3d& v) { return writeScale3d(v); }
  Acad::ErrorStatus readItem(std::wstring& v) { return readString(v); }
  Acad::ErrorStatus writeItem(const std::wstring& v) { return writeString(v); }
  Acad::ErrorStatus readItem(AcDbHardPointerId* v) { return readHardPointerId(v); }
  Acad::ErrorStatus writeItem(const AcDbHardPointerId& v) { return writeHardPointerId(v); }
  Acad::ErrorStatus readItem(AcDbSoftPointerId* v) { return readSoftPointerId(v); }
  Acad::ErrorStatus writeItem(const AcDbSoftPointerId& v) { return writeSoftPointerId(v); }
  Acad::ErrorStatus readItem(AcDbHardOwnershipId* v) { return readHardOwnershipId(v); }
  Acad::ErrorStatus writeItem(const AcDbHardOwnershipId& v) { return writeHardOwnershipId(v); }
  Acad::ErrorStatus readItem(AcDbSoftOwnershipId* v) { return readSoftOwnershipId(v); }
  Acad::ErrorStatus writeItem(const AcDbSoftOwnershipId& v) { return writeSoftOwnershipId(v); }
};

// DXF filing. Reading walks one object's groups: readItem/readResBuf deliver the next
// group, or return eEndOfObject (and deliver nothing) at the object's end: the next
// group 0, or the start of its extended data (1001). pushBackItem returns the group
// last read to the stream. atSubclassData(name) is true, and consumes the marker,
// when the next group is "100 name".
//
// Writing appends groups. Reals are written in the shortest form that reads back to
// the same double; `precision` is accepted for the SDK's signature only.
class AcDbDxfFiler {
 public:
  virtual ~AcDbDxfFiler() = default;

  virtual Acad::ErrorStatus filerStatus() const = 0;
  virtual AcDb::FilerType filerType() const = 0;
  virtual void setFilerStatus(Acad::ErrorStatus status) = 0;
  virtual void resetFilerStatus() = 0;
  virtual AcDbDatabase* database() const = 0;
  virtual int precision() const { return 16; }
  virtual AcDb::DwgVersion dwgVersion() const { return AcDb::kDHL_1015; }
  // True for a filer that reads (dxfIn); false for one that writes.
  virtual bool isReading() const = 0;

  // --- reading ---
  // One group into `item` (restype = group code; the value in the member that
  // acutads' group-code rules give: strings rstring (the caller owns none: the filer
  // keeps it until the next read), points rpoint, reals rreal, 16-bit rint, 32-bit
  // rlong, ids rlname[0] = the id's old id).
  virtual Acad::ErrorStatus readResBuf(resbuf* item) = 0;
  Acad::ErrorStatus readItem(resbuf* item) { return readResBuf(item); }
  virtual void pushBackItem() = 0;
  virtual bool atSubclassData(const ACHAR* subclassName) = 0;
  virtual bool atEOF() = 0;
  // Resolves a handle read from the file to an id of the database being read into.
  virtual AcDbObjectId idOf(const resbuf& item) = 0;

  // --- writing ---
  virtual Acad::ErrorStatus writeString(int code, const std::wstring& value) = 0;
  Acad::ErrorStatus writeString(int code, const ACHAR* value) {
    return writeString(code, std::wstring(value ? value : L""));
  }
  virtual Acad::ErrorStatus writeInt16(int code, Adesk::Int16 value) = 0;
  virtual Acad::ErrorStatus writeInt32(int code, Adesk::Int32 value) = 0;
  virtual Acad::ErrorStatus writeInt8(int code, Adesk::Int8 value) = 0;
  virtual Acad::ErrorStatus writeBool(int code, bool value) {
    return writeInt16(code, value ? 1 : 0);
  }
  virtual Acad::ErrorStatus writeDouble(int code, double value, int precision = 16) = 0;
  virtual Acad::ErrorStatus writePoint3d(int code, const AcGePoint3d& value,
                                         int precision = 16) = 0;
  virtual Acad::ErrorStatus writePoint2d(int code, const AcGePoint2d& value,
                                         int precision = 16) = 0;
  virtual Acad::ErrorStatus writeVector3d(int code, const AcGeVector3d& value,
                                          int precision = 16) = 0;
  // Writes the handle of the object (0 for the null id).
  virtual Acad::ErrorStatus writeObjectId(int code, const AcDbObjectId& id) = 0;
  virtual Acad::ErrorStatus writeAcDbHandle(int code, const AcDbHandle& handle) = 0;
  virtual Acad::ErrorStatus writeBinaryChunk(int code, const ads_binary& value) = 0;
  Acad::ErrorStatus writeItem(int code, const std::wstring& v) { return writeString(code, v); }
  Acad::ErrorStatus writeItem(int code, const ACHAR* v) { return writeString(code, v); }
  Acad::ErrorStatus writeItem(int code, Adesk::Int16 v) { return writeInt16(code, v); }
  Acad::ErrorStatus writeItem(int code, Adesk::Int32 v) { return writeInt32(code, v); }
  Acad::ErrorStatus writeItem(int code, double v, int precision = 16) {
    return writeDouble(code, v, precision);
  }
  Acad::ErrorStatus writeItem(int code, const AcGePoint3d& v, int precision = 16) {
    return writePoint3d(code, v, precision);
  }
  Acad::ErrorStatus writeItem(int code, const AcGePoint2d& v, int precision = 16) {
    return writePoint2d(code, v, precision);
  }
  Acad::ErrorStatus writeItem(int code, const AcGeVector3d& v, int precision = 16) {
    return writeVector3d(code, v, precision);
  }
  Acad::ErrorStatus writeItem(int code, const AcDbObjectId& v) { return writeObjectId(code, v); }
  Acad::ErrorStatus writeItem(int code, const AcGeScale3d& v, int precision = 16);
};
