// Reading one object's groups.
#include "DxfInFiler.h"

#include <cwchar>

#include "DxfText.h"
#include "dbmain.h"
#include "tabrik/DrawingFiling.h"

namespace tabrik::dxf {

using acad::DxfGroupKind;
using acad::dxfGroupKind;

DxfInFiler::DxfInFiler(AcDbDatabase* database, const std::vector<Tag>& tags, size_t begin,
                       size_t end, bool utf8)
    : m_database(database),
      m_tags(tags),
      m_position(begin),
      m_end(end),
      m_xdata(end),
      m_last(begin),
      m_utf8(utf8) {
  for (size_t i = begin; i < end; ++i)
    if (tags[i].code == 1001) {
      m_xdata = i;
      break;
    }
}

bool DxfInFiler::typedValue(const std::vector<Tag>& tags, size_t& index, size_t end, bool utf8,
                            resbuf& item, std::wstring& text, std::string& problem) {
  const Tag& tag = tags[index];
  int code = tag.code;
  item = {};
  item.restype = static_cast<short>(code);
  auto fail = [&](const char* what) {
    problem =
        "line " + std::to_string(tag.line) + ": " + what + " in group " + std::to_string(code);
    return false;
  };
  if (dxfGroupKind(code) == DxfGroupKind::kPoint) {
    double xyz[3] = {0, 0, 0};
    if (!parseReal(tag.value, xyz[0])) return fail("a number was expected");
    if (index + 1 >= end || tags[index + 1].code != code + 10)
      return fail("the y coordinate does not follow");
    if (!parseReal(tags[index + 1].value, xyz[1])) return fail("a number was expected");
    ++index;
    if (index + 1 < end && tags[index + 1].code == code + 20) {
      if (!parseReal(tags[index + 1].value, xyz[2])) return fail("a number was expected");
      ++index;
    }
    for (int i = 0; i < 3; ++i) item.resval.rpoint[i] = xyz[i];
    return true;
  }
  if (dxfGroupKind(code) == DxfGroupKind::kReal) {
    if (!parseReal(tag.value, item.resval.rreal)) return fail("a number was expected");
    return true;
  }
  long long value = 0;
  if (dxfGroupKind(code) == DxfGroupKind::kInt16) {
    if (!parseInt(tag.value, value) || value < -32768 || value > 65535)
      return fail("a 16-bit integer was expected");
    item.resval.rint = static_cast<short>(value);
    return true;
  }
  if (dxfGroupKind(code) == DxfGroupKind::kInt32) {
    if (!parseInt(tag.value, value) || value < -2147483648LL || value > 4294967295LL)
      return fail("a 32-bit integer was expected");
    item.resval.rlong = static_cast<std::int32_t>(value);
    return true;
  }
  if (dxfGroupKind(code) == DxfGroupKind::kInt64) {
    if (!parseInt(tag.value, value)) return fail("an integer was expected");
    item.resval.mnInt64 = value;
    return true;
  }
  if (dxfGroupKind(code) == DxfGroupKind::kHandle) {
    text = decodeText(tag.value, utf8);
    while (!text.empty() && text.back() == L' ') text.pop_back();
    while (!text.empty() && text.front() == L' ') text.erase(0, 1);
    item.resval.rstring = text.data();
    return true;
  }
  text = decodeText(tag.value, utf8);
  item.resval.rstring = text.data();
  return true;
}

Acad::ErrorStatus DxfInFiler::readResBuf(resbuf* item) {
  if (m_status != Acad::eOk) return m_status;
  if (m_position >= m_xdata) return Acad::eEndOfObject;
  m_last = m_position;
  size_t index = m_position;
  if (!typedValue(m_tags, index, m_xdata, m_utf8, *item, m_text, m_problem))
    return m_status = Acad::eInvalidDxfCode;
  m_position = index + 1;
  return Acad::eOk;
}

void DxfInFiler::pushBackItem() { m_position = m_last; }

bool DxfInFiler::atSubclassData(const ACHAR* subclassName) {
  if (m_position >= m_xdata || m_tags[m_position].code != 100) return false;
  std::wstring marker = decodeText(m_tags[m_position].value, m_utf8);
  while (!marker.empty() && marker.back() == L' ') marker.pop_back();
  if (subclassName == nullptr || marker != subclassName) return false;
  m_last = m_position;
  ++m_position;
  return true;
}

AcDbObjectId DxfInFiler::idOf(const resbuf& item) {
  if (m_database == nullptr || item.resval.rstring == nullptr) return AcDbObjectId::kNull;
  AcDbHandle handle(item.resval.rstring);
  AcDbObjectId id;
  // Handles past 48 bits are refused as object handles too (the reader gives such
  // objects fresh ones), so a pointer to one points at nothing.
  if (handle.isNull() || handle.value() >= (1ull << 48) ||
      m_database->getAcDbObjectId(id, /*createIfNotFound=*/true, handle) != Acad::eOk)
    return AcDbObjectId::kNull;
  return id;
}

}  // namespace tabrik::dxf
