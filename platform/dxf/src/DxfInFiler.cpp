// Reading one object's groups.
#include "DxfInFiler.h"

#include <cwchar>

#include "DxfText.h"
#include "dbmain.h"

namespace tabrik::dxf {

namespace {

bool isPointCode(int code) {
  return (code >= 10 && code <= 18) || (code >= 110 && code <= 112) || code == 210 || (code >= 1010 && code <= 1013);
}
bool isRealCode(int code) {
  return (code >= 38 && code <= 59) || (code >= 140 && code <= 149) || (code >= 460 && code <= 469) ||
         (code >= 1040 && code <= 1042) || (code >= 19 && code <= 37);
}
bool isInt16Code(int code) {
  return (code >= 60 && code <= 79) || (code >= 170 && code <= 179) || (code >= 270 && code <= 299) ||
         (code >= 370 && code <= 389) || (code >= 400 && code <= 409) || (code >= 1060 && code <= 1070);
}
bool isInt32Code(int code) {
  return (code >= 90 && code <= 99) || (code >= 420 && code <= 429) || (code >= 440 && code <= 459) || code == 1071;
}
bool isHandleCode(int code) {
  return (code >= 320 && code <= 369) || (code >= 390 && code <= 399) || code == 480 || code == 481 || code == 105 ||
         code == 5;
}

}  // namespace

DxfInFiler::DxfInFiler(AcDbDatabase* database, const std::vector<Tag>& tags, size_t begin, size_t end, bool utf8)
    : m_database(database), m_tags(tags), m_position(begin), m_end(end), m_xdata(end), m_last(begin), m_utf8(utf8) {
  for (size_t i = begin; i < end; ++i)
    if (tags[i].code == 1001) {
      m_xdata = i;
      break;
    }
}

bool DxfInFiler::typedValue(const std::vector<Tag>& tags, size_t& index, size_t end, bool utf8, resbuf& item,
                            std::wstring& text, std::string& problem) {
  const Tag& tag = tags[index];
  int code = tag.code;
  item = {};
  item.restype = static_cast<short>(code);
  auto fail = [&](const char* what) {
    problem = "line " + std::to_string(tag.line) + ": " + what + " in group " + std::to_string(code);
    return false;
  };
  if (isPointCode(code)) {
    double xyz[3] = {0, 0, 0};
    if (!parseReal(tag.value, xyz[0])) return fail("a number was expected");
    if (index + 1 >= end || tags[index + 1].code != code + 10) return fail("the y coordinate does not follow");
    if (!parseReal(tags[index + 1].value, xyz[1])) return fail("a number was expected");
    ++index;
    if (index + 1 < end && tags[index + 1].code == code + 20) {
      if (!parseReal(tags[index + 1].value, xyz[2])) return fail("a number was expected");
      ++index;
    }
    for (int i = 0; i < 3; ++i) item.resval.rpoint[i] = xyz[i];
    return true;
  }
  if (isRealCode(code)) {
    if (!parseReal(tag.value, item.resval.rreal)) return fail("a number was expected");
    return true;
  }
  long long value = 0;
  if (isInt16Code(code)) {
    if (!parseInt(tag.value, value) || value < -32768 || value > 65535) return fail("a 16-bit integer was expected");
    item.resval.rint = static_cast<short>(value);
    return true;
  }
  if (isInt32Code(code)) {
    if (!parseInt(tag.value, value) || value < -2147483648LL || value > 4294967295LL)
      return fail("a 32-bit integer was expected");
    item.resval.rlong = static_cast<std::int32_t>(value);
    return true;
  }
  if (code >= 160 && code <= 169) {
    if (!parseInt(tag.value, value)) return fail("an integer was expected");
    item.resval.mnInt64 = value;
    return true;
  }
  if (isHandleCode(code)) {
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
  if (!typedValue(m_tags, index, m_xdata, m_utf8, *item, m_text, m_problem)) return m_status = Acad::eInvalidDxfCode;
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
  if (handle.isNull() || m_database->getAcDbObjectId(id, /*createIfNotFound=*/true, handle) != Acad::eOk)
    return AcDbObjectId::kNull;
  return id;
}

}  // namespace tabrik::dxf
