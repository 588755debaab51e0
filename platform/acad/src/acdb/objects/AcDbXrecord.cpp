// Xrecords: group-coded data kept as typed items, filed as the groups themselves.
#include <cstdlib>
#include <cstring>

#include "acdb/acut/ResbufKinds.h"
#include "acdb/objects/DatabaseInternal.h"
#include "acdb/objects/DxfGroups.h"
#include "acdb/objects/XData.h"
#include "acutads.h"
#include "dbxrecrd.h"
#include "rxboiler.h"

using namespace tabrik::acad;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbXrecord, AcDbObject)

namespace {

// Codes that start, name or frame an object, or start extended data: never data.
bool isDataCode(int code) {
  if (code <= 0 || code == 5 || code == 100 || code == 102 || code == 105 || code >= 1000)
    return false;
  ResbufKind kind = resbufKind(code);
  return kind != ResbufKind::kNone && kind != ResbufKind::kUnknown;
}

// The item a group holds; false for a code an xrecord cannot hold. `idOf` turns the
// group's entity name or file handle into an id.
template <class IdOf>
bool itemOf(const resbuf& rb, AcDbXrecord::Item& item, IdOf idOf) {
  if (!isDataCode(rb.restype)) return false;
  item.code = rb.restype;
  switch (resbufKind(rb.restype)) {
    case ResbufKind::kReal:
      item.value = rb.resval.rreal;
      return true;
    case ResbufKind::kPoint:
      item.value = AcGePoint3d(rb.resval.rpoint[0], rb.resval.rpoint[1], rb.resval.rpoint[2]);
      return true;
    case ResbufKind::kShort:
      item.value = static_cast<std::int32_t>(rb.resval.rint);
      return true;
    case ResbufKind::kLong:
      item.value = static_cast<std::int32_t>(rb.resval.rlong);
      return true;
    case ResbufKind::kInt64:
      item.value = static_cast<std::int64_t>(rb.resval.mnInt64);
      return true;
    case ResbufKind::kString:
      item.value = std::wstring(rb.resval.rstring ? rb.resval.rstring : L"");
      return true;
    case ResbufKind::kName:
      item.value = idOf(rb);
      return true;
    case ResbufKind::kBinary: {
      const char* bytes = rb.resval.rbinary.buf;
      int length = bytes != nullptr && rb.resval.rbinary.clen > 0 ? rb.resval.rbinary.clen : 0;
      item.value = std::vector<char>(bytes, bytes + length);
      return true;
    }
    default:
      return false;
  }
}

// The item as a result buffer allocated as acutRelRb releases it; null when out of
// memory or when an id has no entity name.
resbuf* resbufOf(const AcDbXrecord::Item& item) {
  resbuf* rb = newResbuf(item.code);
  if (rb == nullptr) return nullptr;
  if (const auto* text = std::get_if<std::wstring>(&item.value)) {
    rb->resval.rstring = newResbufString(*text);
  } else if (const auto* real = std::get_if<double>(&item.value)) {
    rb->resval.rreal = *real;
  } else if (const auto* integer = std::get_if<std::int32_t>(&item.value)) {
    if (resbufKind(item.code) == ResbufKind::kLong) {
      rb->resval.rlong = *integer;
    } else {
      rb->resval.rint = static_cast<short>(*integer);
    }
  } else if (const auto* wide = std::get_if<std::int64_t>(&item.value)) {
    rb->resval.mnInt64 = *wide;
  } else if (const auto* point = std::get_if<AcGePoint3d>(&item.value)) {
    rb->resval.rpoint[0] = point->x;
    rb->resval.rpoint[1] = point->y;
    rb->resval.rpoint[2] = point->z;
  } else if (const auto* id = std::get_if<AcDbObjectId>(&item.value)) {
    ads_name name = {0, 0};
    acdbGetAdsName(name, *id);
    rb->resval.rlname[0] = name[0];
    rb->resval.rlname[1] = name[1];
  } else if (const auto* bytes = std::get_if<std::vector<char>>(&item.value)) {
    rb->resval.rbinary.clen = static_cast<short>(bytes->size());
    rb->resval.rbinary.buf = static_cast<char*>(std::malloc(bytes->empty() ? 1 : bytes->size()));
    if (rb->resval.rbinary.buf != nullptr && !bytes->empty())
      std::memcpy(rb->resval.rbinary.buf, bytes->data(), bytes->size());
  }
  return rb;
}

// The kinds an item's value takes in the binary form.
enum class Tag : Adesk::Int8 { kText, kReal, kInteger, kWide, kPoint, kId, kBytes };

}  // namespace

AcDbXrecord::AcDbXrecord() = default;
AcDbXrecord::~AcDbXrecord() = default;

Acad::ErrorStatus AcDbXrecord::rbChain(resbuf** chain, AcDbDatabase*) const {
  if (chain == nullptr) return Acad::eInvalidInput;
  *chain = nullptr;
  resbuf** tail = chain;
  for (const Item& item : m_items) {
    resbuf* rb = resbufOf(item);
    if (rb == nullptr) {
      acutRelRb(*chain);
      *chain = nullptr;
      return Acad::eOutOfMemory;
    }
    *tail = rb;
    tail = &rb->rbnext;
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbXrecord::setFromRbChain(const resbuf& chain, AcDbDatabase*) {
  std::vector<Item> items;
  for (const resbuf* rb = &chain; rb != nullptr; rb = rb->rbnext) {
    Item item;
    auto idOf = [](const resbuf& group) {
      AcDbObjectId id;
      ads_name name = {group.resval.rlname[0], group.resval.rlname[1]};
      if (acdbGetObjectId(id, name) != Acad::eOk) return AcDbObjectId::kNull;
      return id;
    };
    if (!itemOf(*rb, item, idOf)) return Acad::eInvalidInput;
    items.push_back(std::move(item));
  }
  assertWriteEnabled();
  m_items = std::move(items);
  return Acad::eOk;
}

void AcDbXrecord::setXlateReferences(bool translate) {
  assertWriteEnabled();
  m_translateReferences = translate;
}

void AcDbXrecord::setMergeStyle(AcDb::DuplicateRecordCloning style) {
  assertWriteEnabled();
  m_mergeStyle = style;
}

Acad::ErrorStatus AcDbXrecord::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbObject::dwgOutFields(filer);
  filer->writeBool(m_translateReferences);
  filer->writeInt16(static_cast<Adesk::Int16>(m_mergeStyle));
  filer->writeInt32(static_cast<Adesk::Int32>(m_items.size()));
  for (const Item& item : m_items) {
    filer->writeInt16(item.code);
    if (const auto* text = std::get_if<std::wstring>(&item.value)) {
      filer->writeInt8(static_cast<Adesk::Int8>(Tag::kText));
      filer->writeString(*text);
    } else if (const auto* real = std::get_if<double>(&item.value)) {
      filer->writeInt8(static_cast<Adesk::Int8>(Tag::kReal));
      filer->writeDouble(*real);
    } else if (const auto* integer = std::get_if<std::int32_t>(&item.value)) {
      filer->writeInt8(static_cast<Adesk::Int8>(Tag::kInteger));
      filer->writeInt32(*integer);
    } else if (const auto* wide = std::get_if<std::int64_t>(&item.value)) {
      filer->writeInt8(static_cast<Adesk::Int8>(Tag::kWide));
      filer->writeInt32(static_cast<Adesk::Int32>(*wide & 0xffffffff));
      filer->writeInt32(static_cast<Adesk::Int32>(*wide >> 32));
    } else if (const auto* point = std::get_if<AcGePoint3d>(&item.value)) {
      filer->writeInt8(static_cast<Adesk::Int8>(Tag::kPoint));
      filer->writePoint3d(*point);
    } else if (const auto* id = std::get_if<AcDbObjectId>(&item.value)) {
      filer->writeInt8(static_cast<Adesk::Int8>(Tag::kId));
      filer->writeSoftPointerId(*id);
    } else if (const auto* bytes = std::get_if<std::vector<char>>(&item.value)) {
      filer->writeInt8(static_cast<Adesk::Int8>(Tag::kBytes));
      filer->writeInt32(static_cast<Adesk::Int32>(bytes->size()));
      if (!bytes->empty()) filer->writeBytes(bytes->data(), static_cast<unsigned>(bytes->size()));
    }
  }
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbXrecord::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbObject::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  Adesk::Int16 style = AcDb::kDrcIgnore;
  Adesk::Int32 count = 0;
  filer->readBool(&m_translateReferences);
  filer->readInt16(&style);
  filer->readInt32(&count);
  if (count < 0) return Acad::eFilerError;
  m_mergeStyle = static_cast<AcDb::DuplicateRecordCloning>(style);
  m_items.clear();
  for (int i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
    Item item{0, std::wstring()};
    Adesk::Int8 tag = 0;
    filer->readInt16(&item.code);
    filer->readInt8(&tag);
    switch (static_cast<Tag>(tag)) {
      case Tag::kText: {
        std::wstring text;
        filer->readString(text);
        item.value = text;
        break;
      }
      case Tag::kReal: {
        double real = 0;
        filer->readDouble(&real);
        item.value = real;
        break;
      }
      case Tag::kInteger: {
        Adesk::Int32 integer = 0;
        filer->readInt32(&integer);
        item.value = static_cast<std::int32_t>(integer);
        break;
      }
      case Tag::kWide: {
        Adesk::Int32 low = 0, high = 0;
        filer->readInt32(&low);
        filer->readInt32(&high);
        item.value = static_cast<std::int64_t>(
            (static_cast<std::uint64_t>(static_cast<std::uint32_t>(high)) << 32) |
            static_cast<std::uint32_t>(low));
        break;
      }
      case Tag::kPoint: {
        AcGePoint3d point;
        filer->readPoint3d(&point);
        item.value = point;
        break;
      }
      case Tag::kId: {
        AcDbSoftPointerId id;
        filer->readSoftPointerId(&id);
        item.value = static_cast<AcDbObjectId>(id);
        break;
      }
      case Tag::kBytes: {
        Adesk::Int32 length = 0;
        filer->readInt32(&length);
        if (length < 0) return Acad::eFilerError;
        std::vector<char> bytes(static_cast<size_t>(length));
        if (length > 0) filer->readBytes(bytes.data(), static_cast<unsigned>(length));
        item.value = std::move(bytes);
        break;
      }
      default:
        return Acad::eFilerError;
    }
    m_items.push_back(std::move(item));
  }
  return filer->filerStatus();
}

// XRECORD groups: 100 AcDbXrecord, 280 duplicate-record cloning, then the data groups
// in order.
Acad::ErrorStatus AcDbXrecord::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbObject::dxfOutFields(filer);
  filer->writeString(100, L"AcDbXrecord");
  filer->writeInt16(280, static_cast<Adesk::Int16>(m_mergeStyle));
  for (const Item& item : m_items) {
    if (const auto* text = std::get_if<std::wstring>(&item.value)) {
      filer->writeString(item.code, *text);
    } else if (const auto* real = std::get_if<double>(&item.value)) {
      filer->writeDouble(item.code, *real);
    } else if (const auto* integer = std::get_if<std::int32_t>(&item.value)) {
      if (resbufKind(item.code) == ResbufKind::kLong) {
        filer->writeInt32(item.code, *integer);
      } else {
        filer->writeInt16(item.code, static_cast<Adesk::Int16>(*integer));
      }
    } else if (const auto* wide = std::get_if<std::int64_t>(&item.value)) {
      // 64-bit groups are written as their decimal text.
      filer->writeString(item.code, std::to_wstring(*wide));
    } else if (const auto* point = std::get_if<AcGePoint3d>(&item.value)) {
      filer->writePoint3d(item.code, *point);
    } else if (const auto* id = std::get_if<AcDbObjectId>(&item.value)) {
      filer->writeObjectId(item.code, *id);
    } else if (const auto* bytes = std::get_if<std::vector<char>>(&item.value)) {
      ads_binary chunk;
      chunk.clen = static_cast<short>(bytes->size());
      chunk.buf = const_cast<char*>(bytes->data());
      filer->writeBinaryChunk(item.code, chunk);
    }
  }
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbXrecord::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbObject::dxfInFields(filer);
  if (status == Acad::eOk) status = requireSubclass(filer, L"AcDbXrecord");
  if (status != Acad::eOk) return status;
  std::vector<Item> items;
  bool first = true;
  bool bad = false;
  status = forEachGroup(filer, [&](const resbuf& rb) {
    // The cloning flag leads; a 280 after it is data.
    bool leadingFlag = first && rb.restype == 280;
    first = false;
    if (leadingFlag) {
      m_mergeStyle = static_cast<AcDb::DuplicateRecordCloning>(rb.resval.rint);
      return;
    }
    Item item;
    if (!itemOf(rb, item, [filer](const resbuf& group) { return filer->idOf(group); })) {
      bad = true;
      return;
    }
    items.push_back(std::move(item));
  });
  if (status != Acad::eOk) return status;
  if (bad) return Acad::eInvalidInput;
  m_items = std::move(items);
  return Acad::eOk;
}
