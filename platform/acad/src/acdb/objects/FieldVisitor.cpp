// The four field visitors: DXF out and in, DWG out and in.
#include "acdb/objects/FieldVisitor.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <vector>

#include "acdb/objects/DatabaseInternal.h"
#include "acdb/objects/DxfGroups.h"
#include "dbsymtb.h"

namespace tabrik::acad {

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

// The file's value for a value in memory, chosen so that the host's files are stable:
// reading a file and writing it again gives the same bytes. Conversions between the
// file's form and memory's (degrees and radians, OCS and world) are not exact inverses
// in floating point, so a value can drift in its last digit at each read and write.
// The writer follows file -> memory -> file until a value repeats and writes the least
// value of that cycle; a reader of it lands in the same cycle, so the next writer picks
// the same value. Digits are written shortest round-trip, so the text read is the value
// written.
template <class T, class ToFile, class ToMemory, class Less>
T stableFileValue(const T& memory, ToFile toFile, ToMemory toMemory, Less less) {
  std::vector<T> walk{toFile(memory)};
  for (int step = 0; step < 16; ++step) {
    T next = toFile(toMemory(walk.back()));
    auto same = [&next, &less](const T& seen) { return !less(seen, next) && !less(next, seen); };
    auto repeat = std::find_if(walk.begin(), walk.end(), same);
    if (repeat != walk.end()) return *std::min_element(repeat, walk.end(), less);
    walk.push_back(next);
  }
  return walk.back();  // defensive: no conversion seen so far needs more than two steps
}

bool pointLess(const AcGePoint3d& a, const AcGePoint3d& b) {
  if (a.x != b.x) return a.x < b.x;
  if (a.y != b.y) return a.y < b.y;
  return a.z < b.z;
}

class DxfOut : public FieldVisitor {
 public:
  explicit DxfOut(AcDbDxfFiler* filer) : m_f(filer) {}
  void marker(const ACHAR* subclass) override { m_f->writeString(100, subclass); }
  void real(int code, double& v, const double* def) override {
    if (def != nullptr && v == *def) return;
    m_f->writeDouble(code, v);
  }
  void angle(int code, double& v, bool optional) override {
    if (optional && v == 0.0) return;
    m_f->writeDouble(code,
                     stableFileValue(
                         v, [](double radians) { return radians * kDegrees; },
                         [](double degrees) { return degrees / kDegrees; }, std::less<double>()));
  }
  void point(int code, AcGePoint3d& v) override { m_f->writePoint3d(code, v); }
  void point2d(int code, AcGePoint3d& v) override {
    m_f->writePoint2d(code, AcGePoint2d(v.x, v.y));
  }
  void ocsPoint(int code, AcGePoint3d& v, const AcGeVector3d* normal) override {
    if (normal == nullptr || normal->isEqualTo(AcGeVector3d::kZAxis)) {
      m_f->writePoint3d(code, v);
      return;
    }
    AcGeMatrix3d toPlane = AcGeMatrix3d::worldToPlane(*normal);
    AcGeMatrix3d toWorld = AcGeMatrix3d::planeToWorld(*normal);
    m_f->writePoint3d(code,
                      stableFileValue(
                          v, [&toPlane](const AcGePoint3d& world) { return toPlane * world; },
                          [&toWorld](const AcGePoint3d& ocs) { return toWorld * ocs; }, pointLess));
  }
  void vector(int code, AcGeVector3d& v, bool optionalZ) override {
    if (optionalZ && v.x == 0 && v.y == 0 && v.z == 1) return;
    m_f->writeVector3d(code, v);
  }
  void int16(int code, Adesk::Int16& v, const Adesk::Int16* def) override {
    if (def != nullptr && v == *def) return;
    m_f->writeInt16(code, v);
  }
  void int32(int code, Adesk::Int32& v) override { m_f->writeInt32(code, v); }
  void boolean(int code, bool& v, const bool* def) override {
    if (def != nullptr && v == *def) return;
    m_f->writeInt16(code, v ? 1 : 0);
  }
  void text(int code, std::wstring& v) override { m_f->writeString(code, v); }
  void pointer(int code, AcDbObjectId& v) override { m_f->writeObjectId(code, v); }
  void symbol(int code, AcDbObjectId& v, SymbolTable) override {
    m_f->writeString(code, symbolName(v));
  }

 private:
  AcDbDxfFiler* m_f;
};

class DxfIn : public FieldVisitor {
 public:
  explicit DxfIn(AcDbDxfFiler* filer) : m_f(filer) {}
  Acad::ErrorStatus finish() {
    flush();
    return m_status;
  }
  void marker(const ACHAR* subclass) override {
    flush();
    if (m_status == Acad::eOk) m_status = requireSubclass(m_f, subclass);
  }
  void real(int code, double& v, const double*) override {
    m_slots[code] = [&v](const resbuf& rb) { v = rb.resval.rreal; };
  }
  void angle(int code, double& v, bool) override {
    m_slots[code] = [&v](const resbuf& rb) { v = rb.resval.rreal / kDegrees; };
  }
  void point(int code, AcGePoint3d& v) override {
    m_slots[code] = [&v](const resbuf& rb) { v = pointOf(rb); };
  }
  void point2d(int code, AcGePoint3d& v) override {
    m_slots[code] = [&v](const resbuf& rb) {
      v.x = rb.resval.rpoint[0], v.y = rb.resval.rpoint[1];
    };
  }
  void ocsPoint(int code, AcGePoint3d& v, const AcGeVector3d* normal) override {
    m_slots[code] = [&v](const resbuf& rb) { v = pointOf(rb); };
    if (normal != nullptr)
      m_fixups.push_back([&v, normal] {
        if (!normal->isEqualTo(AcGeVector3d::kZAxis)) v = AcGeMatrix3d::planeToWorld(*normal) * v;
      });
  }
  void vector(int code, AcGeVector3d& v, bool) override {
    m_slots[code] = [&v](const resbuf& rb) {
      AcGeVector3d read = vectorOf(rb);
      if (!read.isZeroLength()) v = read;
    };
  }
  void int16(int code, Adesk::Int16& v, const Adesk::Int16*) override {
    m_slots[code] = [&v](const resbuf& rb) { v = rb.resval.rint; };
  }
  void int32(int code, Adesk::Int32& v) override {
    m_slots[code] = [&v](const resbuf& rb) { v = rb.resval.rlong; };
  }
  void boolean(int code, bool& v, const bool*) override {
    m_slots[code] = [&v](const resbuf& rb) { v = rb.resval.rint != 0; };
  }
  void text(int code, std::wstring& v) override {
    m_slots[code] = [&v](const resbuf& rb) { v = stringOf(rb); };
  }
  void pointer(int code, AcDbObjectId& v) override {
    m_slots[code] = [&v, this](const resbuf& rb) { v = m_f->idOf(rb); };
  }
  void symbol(int code, AcDbObjectId& v, SymbolTable table) override {
    m_slots[code] = [&v, table, this](const resbuf& rb) {
      AcDbObjectId id = symbolId(m_f->database(), table, stringOf(rb));
      if (!id.isNull()) v = id;
    };
  }

 private:
  void flush() {
    if (m_status != Acad::eOk) return;
    if (!m_slots.empty())
      m_status = forEachGroup(m_f, [&](const resbuf& rb) {
        auto slot = m_slots.find(rb.restype);
        if (slot != m_slots.end()) slot->second(rb);
      });
    for (auto& fix : m_fixups) fix();
    m_slots.clear();
    m_fixups.clear();
  }
  AcDbDxfFiler* m_f;
  std::map<int, std::function<void(const resbuf&)>> m_slots;
  std::vector<std::function<void()>> m_fixups;
  Acad::ErrorStatus m_status = Acad::eOk;
};

class DwgOut : public FieldVisitor {
 public:
  explicit DwgOut(AcDbDwgFiler* filer) : m_f(filer) {}
  void marker(const ACHAR*) override {}
  void real(int, double& v, const double*) override { m_f->writeDouble(v); }
  void angle(int, double& v, bool) override { m_f->writeDouble(v); }
  void point(int, AcGePoint3d& v) override { m_f->writePoint3d(v); }
  void point2d(int, AcGePoint3d& v) override { m_f->writePoint3d(v); }
  void ocsPoint(int, AcGePoint3d& v, const AcGeVector3d*) override { m_f->writePoint3d(v); }
  void vector(int, AcGeVector3d& v, bool) override { m_f->writeVector3d(v); }
  void int16(int, Adesk::Int16& v, const Adesk::Int16*) override { m_f->writeInt16(v); }
  void int32(int, Adesk::Int32& v) override { m_f->writeInt32(v); }
  void boolean(int, bool& v, const bool*) override { m_f->writeBool(v); }
  void text(int, std::wstring& v) override { m_f->writeString(v); }
  void pointer(int, AcDbObjectId& v) override { m_f->writeHardPointerId(v); }
  void symbol(int, AcDbObjectId& v, SymbolTable) override { m_f->writeHardPointerId(v); }

 private:
  AcDbDwgFiler* m_f;
};

class DwgIn : public FieldVisitor {
 public:
  explicit DwgIn(AcDbDwgFiler* filer) : m_f(filer) {}
  void marker(const ACHAR*) override {}
  void real(int, double& v, const double*) override { m_f->readDouble(&v); }
  void angle(int, double& v, bool) override { m_f->readDouble(&v); }
  void point(int, AcGePoint3d& v) override { m_f->readPoint3d(&v); }
  void point2d(int, AcGePoint3d& v) override { m_f->readPoint3d(&v); }
  void ocsPoint(int, AcGePoint3d& v, const AcGeVector3d*) override { m_f->readPoint3d(&v); }
  void vector(int, AcGeVector3d& v, bool) override { m_f->readVector3d(&v); }
  void int16(int, Adesk::Int16& v, const Adesk::Int16*) override { m_f->readInt16(&v); }
  void int32(int, Adesk::Int32& v) override { m_f->readInt32(&v); }
  void boolean(int, bool& v, const bool*) override { m_f->readBool(&v); }
  void text(int, std::wstring& v) override { m_f->readString(v); }
  void pointer(int, AcDbObjectId& v) override { readId(v); }
  void symbol(int, AcDbObjectId& v, SymbolTable) override { readId(v); }

 private:
  void readId(AcDbObjectId& v) {
    AcDbHardPointerId id;
    // An id the filer cannot resolve reads as null; the object keeps going.
    m_f->readHardPointerId(&id);
    v = id;
  }
  AcDbDwgFiler* m_f;
};

}  // namespace

Acad::ErrorStatus readDxfFields(AcDbDxfFiler* filer,
                                const std::function<void(FieldVisitor&)>& visit) {
  DxfIn visitor(filer);
  visit(visitor);
  return visitor.finish();
}

Acad::ErrorStatus writeDxfFields(AcDbDxfFiler* filer,
                                 const std::function<void(FieldVisitor&)>& visit) {
  DxfOut visitor(filer);
  visit(visitor);
  return filer->filerStatus();
}

Acad::ErrorStatus readDwgFields(AcDbDwgFiler* filer,
                                const std::function<void(FieldVisitor&)>& visit) {
  DwgIn visitor(filer);
  visit(visitor);
  return filer->filerStatus();
}

Acad::ErrorStatus writeDwgFields(AcDbDwgFiler* filer,
                                 const std::function<void(FieldVisitor&)>& visit) {
  DwgOut visitor(filer);
  visit(visitor);
  return filer->filerStatus();
}

std::wstring symbolName(AcDbObjectId id) {
  if (!id.isValid()) return L"";
  const AcDbSymbolTableRecord* record = AcDbSymbolTableRecord::cast(id.stub()->object);
  return record ? record->name() : L"";
}

AcDbObjectId symbolId(AcDbDatabase* database, SymbolTable table, const std::wstring& name) {
  if (database == nullptr) return AcDbObjectId::kNull;
  AcDbObjectId tableId;
  switch (table) {
    case SymbolTable::kLayer:
      tableId = database->layerTableId();
      break;
    case SymbolTable::kLinetype:
      tableId = database->linetypeTableId();
      break;
    case SymbolTable::kTextStyle:
      tableId = database->textStyleTableId();
      break;
    case SymbolTable::kBlock:
      tableId = database->blockTableId();
      break;
  }
  if (!tableId.isValid()) return AcDbObjectId::kNull;
  const AcDbSymbolTable* symbols = AcDbSymbolTable::cast(tableId.stub()->object);
  AcDbObjectId id;
  if (symbols == nullptr || symbols->getAt(name.c_str(), id) != Acad::eOk)
    return AcDbObjectId::kNull;
  return id;
}

}  // namespace tabrik::acad
