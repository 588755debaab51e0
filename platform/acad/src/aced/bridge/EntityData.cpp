// Entity data through the objects' DXF filing: a filer that writes groups into a
// result-buffer chain, and one that hands a chain's groups to dxfInFields.
#include "aced/bridge/EntityData.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

#include "acutads.h"
#include "acdb/acut/ResbufKinds.h"
#include "aced/bridge/EntityFilter.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "rxclass.h"

namespace tabrik::acad {

namespace {

ACHAR* copyText(const std::wstring& text) {
  auto* copy = static_cast<ACHAR*>(std::malloc((text.size() + 1) * sizeof(ACHAR)));
  if (copy != nullptr) std::wmemcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

// Groups that name the object or its place rather than describe it.
bool isIdentityGroup(int code) {
  switch (code) {
    case -2:
    case -1:
    case 0:
    case 5:
    case 100:
    case 102:
    case 105:
    case 330:
    case 360:
    case 410:
    case RTDXF0:
      return true;
    default:
      return false;
  }
}

// Angles (50-58) are degrees in DXF and radians in entity data.
bool isAngle(int code) { return code >= 50 && code <= 58; }
constexpr double kDegreesPerRadian = 180.0 / 3.14159265358979323846;

// The bag filer of entity data. Writing appends one buffer per group. Reading hands
// out the chain's groups once per subclass: every atSubclassData starts the list
// again, and the end of the list ends the subclass. A part of an object takes the
// codes it knows and skips the rest, so lists need neither markers nor DXF order.
class EntityDataFiler : public AcDbDxfFiler {
 public:
  explicit EntityDataFiler(AcDbDatabase* database) : m_database(database), m_reading(false) {}
  EntityDataFiler(AcDbDatabase* database, std::vector<const resbuf*> groups)
      : m_database(database), m_reading(true), m_groups(std::move(groups)) {}
  ~EntityDataFiler() override { acutRelRb(m_head); }
  EntityDataFiler(const EntityDataFiler&) = delete;
  EntityDataFiler& operator=(const EntityDataFiler&) = delete;

  // The chain written so far; the caller owns it.
  resbuf* release() {
    resbuf* head = m_head;
    m_head = nullptr;
    m_tail = &m_head;
    return head;
  }

  Acad::ErrorStatus filerStatus() const override { return m_status; }
  AcDb::FilerType filerType() const override { return AcDb::kBagFiler; }
  void setFilerStatus(Acad::ErrorStatus status) override { m_status = status; }
  void resetFilerStatus() override { m_status = Acad::eOk; }
  AcDbDatabase* database() const override { return m_database; }
  bool isReading() const override { return m_reading; }

  Acad::ErrorStatus readResBuf(resbuf* item) override {
    if (!m_reading || item == nullptr) return Acad::eNotApplicable;
    if (m_position >= m_groups.size()) return Acad::eEndOfObject;
    m_last = m_position;
    *item = *m_groups[m_position++];
    item->rbnext = nullptr;
    if (isAngle(item->restype)) item->resval.rreal *= kDegreesPerRadian;
    return Acad::eOk;
  }
  void pushBackItem() override {
    if (m_last < m_groups.size()) m_position = m_last;
  }
  bool atSubclassData(const ACHAR*) override {
    if (!m_reading) return false;
    m_position = 0;
    m_last = kNone;
    return true;
  }
  bool atEOF() override { return m_position >= m_groups.size(); }
  // Entity names carry the id's old id in their first word, as the file filers'
  // pointer groups do.
  AcDbObjectId idOf(const resbuf& item) override {
    AcDbObjectId id;
    ads_name name = {item.resval.rlname[0], item.resval.rlname[1]};
    if (acdbGetObjectId(id, name) != Acad::eOk) return AcDbObjectId::kNull;
    return id;
  }

  Acad::ErrorStatus writeString(int code, const std::wstring& value) override {
    resbuf* rb = add(code);
    if (rb != nullptr) rb->resval.rstring = copyText(value);
    return m_status;
  }
  Acad::ErrorStatus writeInt16(int code, Adesk::Int16 value) override {
    return writeInteger(code, value);
  }
  Acad::ErrorStatus writeInt32(int code, Adesk::Int32 value) override {
    return writeInteger(code, value);
  }
  Acad::ErrorStatus writeInt8(int code, Adesk::Int8 value) override {
    return writeInteger(code, value);
  }
  Acad::ErrorStatus writeDouble(int code, double value, int) override {
    resbuf* rb = add(code);
    if (rb != nullptr) rb->resval.rreal = isAngle(code) ? value / kDegreesPerRadian : value;
    return m_status;
  }
  Acad::ErrorStatus writePoint3d(int code, const AcGePoint3d& value, int) override {
    return writeTriple(code, value.x, value.y, value.z);
  }
  Acad::ErrorStatus writePoint2d(int code, const AcGePoint2d& value, int) override {
    return writeTriple(code, value.x, value.y, 0.0);
  }
  Acad::ErrorStatus writeVector3d(int code, const AcGeVector3d& value, int) override {
    return writeTriple(code, value.x, value.y, value.z);
  }
  // Pointers to nothing are left out: a list never names a missing object.
  Acad::ErrorStatus writeObjectId(int code, const AcDbObjectId& id) override {
    if (id.isNull()) return m_status;
    if (resbufKind(code) != ResbufKind::kName) return writeAcDbHandle(code, id.handle());
    ads_name name = {0, 0};
    if (acdbGetAdsName(name, id) != Acad::eOk) return m_status;
    resbuf* rb = add(code);
    if (rb != nullptr) {
      rb->resval.rlname[0] = name[0];
      rb->resval.rlname[1] = name[1];
    }
    return m_status;
  }
  // A handle under a pointer code is the object it names (left out when the drawing
  // has none); a string would be read as a name and never released.
  Acad::ErrorStatus writeAcDbHandle(int code, const AcDbHandle& handle) override {
    if (resbufKind(code) != ResbufKind::kName) return writeString(code, handle.asString());
    AcDbObjectId id;
    if (m_database == nullptr || handle.isNull() ||
        m_database->getAcDbObjectId(id, /*createIfNotFound=*/false, handle) != Acad::eOk)
      return m_status;
    return writeObjectId(code, id);
  }
  Acad::ErrorStatus writeBinaryChunk(int code, const ads_binary& value) override {
    resbuf* rb = add(code);
    if (rb == nullptr) return m_status;
    rb->resval.rbinary.clen = 0;
    rb->resval.rbinary.buf = nullptr;
    if (value.buf != nullptr && value.clen > 0) {
      rb->resval.rbinary.buf = static_cast<char*>(std::malloc(value.clen));
      if (rb->resval.rbinary.buf != nullptr) {
        std::memcpy(rb->resval.rbinary.buf, value.buf, value.clen);
        rb->resval.rbinary.clen = value.clen;
      }
    }
    return m_status;
  }

 private:
  static constexpr size_t kNone = static_cast<size_t>(-1);

  resbuf* add(int code) {
    if (m_reading) {
      m_status = Acad::eNotApplicable;
      return nullptr;
    }
    resbuf* rb = acutNewRb(code);
    if (rb == nullptr) {
      m_status = Acad::eOutOfMemory;
      return nullptr;
    }
    *m_tail = rb;
    m_tail = &rb->rbnext;
    return rb;
  }
  // Integers go in the member the code's kind names, whatever width the writer chose.
  Acad::ErrorStatus writeInteger(int code, std::int32_t value) {
    resbuf* rb = add(code);
    if (rb == nullptr) return m_status;
    if (resbufKind(code) == ResbufKind::kLong) {
      rb->resval.rlong = value;
    } else {
      rb->resval.rint = static_cast<short>(value);
    }
    return m_status;
  }
  Acad::ErrorStatus writeTriple(int code, double x, double y, double z) {
    resbuf* rb = add(code);
    if (rb != nullptr) {
      rb->resval.rpoint[0] = x;
      rb->resval.rpoint[1] = y;
      rb->resval.rpoint[2] = z;
    }
    return m_status;
  }

  AcDbDatabase* m_database;
  bool m_reading;
  Acad::ErrorStatus m_status = Acad::eOk;
  resbuf* m_head = nullptr;
  resbuf** m_tail = &m_head;
  std::vector<const resbuf*> m_groups;
  size_t m_position = 0;
  size_t m_last = kNone;
};

resbuf* newGroup(int code) { return acutNewRb(code); }

resbuf* nameGroup(int code, AcDbObjectId id) {
  ads_name name = {0, 0};
  if (acdbGetAdsName(name, id) != Acad::eOk) return nullptr;
  resbuf* rb = newGroup(code);
  if (rb == nullptr) return nullptr;
  rb->resval.rlname[0] = name[0];
  rb->resval.rlname[1] = name[1];
  return rb;
}

resbuf* textGroup(int code, const std::wstring& text) {
  resbuf* rb = newGroup(code);
  if (rb != nullptr) rb->resval.rstring = copyText(text);
  return rb;
}

// Unlinks the first buffer of `chain` with the code and returns it (null if none).
// Groups between 102 "{NAME" and 102 "}" belong to that application's block (an
// object's reactors are 330s there) and are passed over.
resbuf* takeGroup(resbuf*& chain, int code) {
  bool inBlock = false;
  for (resbuf** link = &chain; *link != nullptr; link = &(*link)->rbnext) {
    if ((*link)->restype == 102) {
      const ACHAR* text = (*link)->resval.rstring;
      inBlock = text != nullptr && text[0] == L'{';
      continue;
    }
    if (inBlock || (*link)->restype != code) continue;
    resbuf* found = *link;
    *link = found->rbnext;
    found->rbnext = nullptr;
    return found;
  }
  return nullptr;
}

// The layout an entity of model or paper space lies in, as group 410 names it.
const ACHAR* layoutOf(const AcDbObject* object) {
  const auto* entity = AcDbEntity::cast(object);
  AcDbDatabase* database = object->database();
  if (entity == nullptr || database == nullptr) return nullptr;
  if (entity->ownerId() == database->modelSpaceId()) return L"Model";
  if (entity->ownerId() == database->paperSpaceId()) return L"Layout1";
  return nullptr;
}

bool namesApplication(const resbuf* apps, const std::wstring& name) {
  for (const resbuf* rb = apps; rb != nullptr; rb = rb->rbnext) {
    if (rb->restype == RTSTR && rb->resval.rstring != nullptr &&
        wildcardMatch(name, rb->resval.rstring))
      return true;
  }
  return false;
}

// The extended data of the applications `apps` names, in the object's order.
resbuf* selectedXData(const AcDbObject* object, const resbuf* apps) {
  resbuf* all = object->xData(nullptr);
  resbuf* head = nullptr;
  resbuf** tail = &head;
  bool keep = false;
  while (all != nullptr) {
    resbuf* rb = all;
    all = all->rbnext;
    rb->rbnext = nullptr;
    if (rb->restype == 1001)
      keep = rb->resval.rstring != nullptr && namesApplication(apps, rb->resval.rstring);
    if (!keep) {
      acutRelRb(rb);
      continue;
    }
    *tail = rb;
    tail = &rb->rbnext;
  }
  return head;
}

// Entities that lie in a plane: their data always names its normal (210), which DXF
// leaves out when it is the Z axis. Programs pass it to trans.
bool hasExtrusion(const std::wstring& type) {
  static const wchar_t* const kPlanar[] = {L"LINE",   L"CIRCLE",     L"ARC",    L"TEXT",
                                           L"MTEXT",  L"LWPOLYLINE", L"INSERT", L"ATTRIB",
                                           L"ATTDEF", L"POLYLINE",   L"POINT",  L"LEADER"};
  for (const wchar_t* planar : kPlanar)
    if (type == planar) return true;
  return false;
}

}  // namespace

std::wstring dxfTypeOf(const AcDbObject* object) {
  if (object == nullptr || object->isA() == nullptr) return L"";
  return object->isA()->dxfName();
}

resbuf* entityDataOf(const AcDbObject* object, const resbuf* apps) {
  if (object == nullptr) return nullptr;
  EntityDataFiler filer(object->database());
  object->dxfOutFields(&filer);
  resbuf* fields = filer.release();
  // -1, 0, then the owner and the handle as the host lists them, then the rest.
  resbuf* head = nameGroup(-1, object->objectId());
  if (head == nullptr) {
    acutRelRb(fields);
    return nullptr;
  }
  resbuf** tail = &head->rbnext;
  auto append = [&tail](resbuf* rb) {
    if (rb == nullptr) return;
    *tail = rb;
    while (*tail != nullptr) tail = &(*tail)->rbnext;
  };
  append(textGroup(0, dxfTypeOf(object)));
  append(takeGroup(fields, 330));
  append(takeGroup(
      fields, object->isA() && std::wcscmp(object->isA()->dxfName(), L"DIMSTYLE") == 0 ? 105 : 5));
  // The layout follows the paper-space flag (67) when there is one, else the
  // AcDbEntity marker.
  const ACHAR* layout = layoutOf(object);
  for (resbuf* rb = fields; rb != nullptr; rb = rb->rbnext) {
    bool afterThis = layout != nullptr &&
                     (rb->restype == 67 || (rb->restype == 100 && rb->resval.rstring != nullptr &&
                                            std::wcscmp(rb->resval.rstring, L"AcDbEntity") == 0 &&
                                            (rb->rbnext == nullptr || rb->rbnext->restype != 67)));
    if (!afterThis) continue;
    resbuf* group = textGroup(410, layout);
    if (group != nullptr) {
      group->rbnext = rb->rbnext;
      rb->rbnext = group;
    }
    break;
  }
  bool hasNormal = false;
  for (const resbuf* rb = fields; rb != nullptr; rb = rb->rbnext)
    hasNormal = hasNormal || rb->restype == 210;
  append(fields);
  // A SEQEND names the POLYLINE or INSERT that began its sequence, its owner.
  if (object->isKindOf(AcDbSequenceEnd::desc())) append(nameGroup(-2, object->ownerId()));
  if (!hasNormal && AcDbEntity::cast(object) != nullptr && hasExtrusion(dxfTypeOf(object))) {
    resbuf* normal = newGroup(210);
    if (normal != nullptr) normal->resval.rpoint[2] = 1.0;
    append(normal);
  }
  if (apps != nullptr) {
    resbuf* xdata = selectedXData(object, apps);
    if (xdata != nullptr) {
      append(newGroup(-3));
      append(xdata);
    }
  }
  return head;
}

Acad::ErrorStatus applyEntityData(AcDbObject* object, const resbuf* data, AcDbDatabase* database) {
  if (object == nullptr) return Acad::eNullObjectPointer;
  std::vector<const resbuf*> groups;
  for (const resbuf* rb = data; rb != nullptr && rb->restype != -3; rb = rb->rbnext) {
    if (!isIdentityGroup(rb->restype)) groups.push_back(rb);
  }
  EntityDataFiler filer(database != nullptr ? database : object->database(), std::move(groups));
  return object->dxfInFields(&filer);
}

const resbuf* extendedDataOf(const resbuf* data) {
  for (const resbuf* rb = data; rb != nullptr; rb = rb->rbnext) {
    if (rb->restype == -3) return rb->rbnext;
  }
  return nullptr;
}

const resbuf* findGroup(const resbuf* data, int code) {
  for (const resbuf* rb = data; rb != nullptr && rb->restype != -3; rb = rb->rbnext) {
    if (rb->restype == code || (code == 0 && rb->restype == RTDXF0)) return rb;
  }
  return nullptr;
}

}  // namespace tabrik::acad
