// Selection and point input: selections with the program's own prompts and keywords,
// crossing windows and polygons, model-space scans by entity class, entity picks that
// retry a miss, and point and corner input with keywords. Selections come back as plain
// lists of entity names; the host selection set made in between never outlives the
// call. Nothing here changes the drawing.
#include <cwctype>
#include <map>
#include <string>

#include <acedads.h>
#include <acutads.h>
#include <dbents.h>
#include <dbmain.h>
#include <dbpl.h>
#include <dbsymtb.h>

#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "host/ListBuilder.h"

namespace tabrik::arx::fn {
namespace {

// ERRNO after an entity pick that hit nothing.
constexpr int kErrnoPickedNothing = 7;
// acedInitGet: Enter is not an answer.
constexpr int kRefuseNull = 1;
// The keyword text buffer of acedGetInput.
constexpr size_t kKeywordBufferSize = 132;

// --- the filter

// Which member of a buffer's value a group code uses (the DXF value types).
enum class GroupKind { kReal, kPoint, kShort, kLong, kString, kName, kUnsupported };

GroupKind groupKind(int code) {
  struct Range {
    int first, last;
    GroupKind kind;
  };
  static constexpr Range kRanges[] = {
      {-5, -5, GroupKind::kName},      {-4, -4, GroupKind::kString},
      {-2, -1, GroupKind::kName},      {0, 9, GroupKind::kString},
      {10, 17, GroupKind::kPoint},     {38, 59, GroupKind::kReal},
      {60, 79, GroupKind::kShort},     {90, 99, GroupKind::kLong},
      {100, 109, GroupKind::kString},  {110, 112, GroupKind::kPoint},
      {140, 149, GroupKind::kReal},    {170, 179, GroupKind::kShort},
      {210, 210, GroupKind::kPoint},   {270, 299, GroupKind::kShort},
      {300, 309, GroupKind::kString},  {320, 329, GroupKind::kString},
      {330, 369, GroupKind::kName},    {370, 389, GroupKind::kShort},
      {390, 399, GroupKind::kName},    {400, 409, GroupKind::kShort},
      {410, 419, GroupKind::kString},  {420, 459, GroupKind::kLong},
      {460, 469, GroupKind::kReal},    {470, 479, GroupKind::kString},
      {999, 1003, GroupKind::kString}, {1005, 1009, GroupKind::kString},
      {1010, 1013, GroupKind::kPoint}, {1040, 1042, GroupKind::kReal},
      {1060, 1070, GroupKind::kShort}, {1071, 1071, GroupKind::kLong},
  };
  for (const Range& range : kRanges) {
    if (code >= range.first && code <= range.last) return range.kind;
  }
  return GroupKind::kUnsupported;
}

bool isNumber(const resbuf* rb) {
  return rb != nullptr &&
         (rb->restype == RTREAL || rb->restype == RTSHORT || rb->restype == RTLONG);
}

double numberOf(const resbuf* rb) {
  if (rb->restype == RTREAL) return rb->resval.rreal;
  if (rb->restype == RTSHORT) return rb->resval.rint;
  return rb->resval.rlong;
}

bool isInteger(const resbuf* rb) {
  return rb != nullptr && (rb->restype == RTSHORT || rb->restype == RTLONG);
}

int integerOf(const resbuf* rb) {
  return rb->restype == RTSHORT ? rb->resval.rint : static_cast<int>(rb->resval.rlong);
}

// A chain of result buffers that this code owns until it is released with it.
class Chain {
 public:
  Chain() = default;
  ~Chain() {
    if (m_head != nullptr) acutRelRb(m_head);
  }
  Chain(const Chain&) = delete;
  Chain& operator=(const Chain&) = delete;

  // Takes ownership of one new buffer of the type; nullptr when none can be made.
  resbuf* append(int type) {
    resbuf* rb = acutNewRb(type);
    if (rb == nullptr) return nullptr;
    if (m_head == nullptr) {
      m_head = rb;
    } else {
      m_last->rbnext = rb;
    }
    m_last = rb;
    return rb;
  }
  const resbuf* head() const { return m_head; }

 private:
  resbuf* m_head = nullptr;
  resbuf* m_last = nullptr;
};

// One (code . value) test with the value of a LISP element; false when the value does
// not suit the code.
bool appendGroup(Chain& filter, int code, const resbuf* value) {
  GroupKind kind = groupKind(code);
  if (value == nullptr) return false;
  switch (kind) {
    case GroupKind::kString: {
      if (value->restype != RTSTR || value->resval.rstring == nullptr) return false;
      resbuf* rb = filter.append(code);
      if (rb == nullptr) return false;
      rb->resval.rstring = acutNewString(value->resval.rstring);
      return rb->resval.rstring != nullptr;
    }
    case GroupKind::kReal:
    case GroupKind::kShort:
    case GroupKind::kLong: {
      if (!isNumber(value)) return false;
      double number = numberOf(value);
      if (kind != GroupKind::kReal && (number < -2147483648.0 || number > 2147483647.0))
        return false;
      resbuf* rb = filter.append(code);
      if (rb == nullptr) return false;
      if (kind == GroupKind::kReal) {
        rb->resval.rreal = number;
      } else if (kind == GroupKind::kShort) {
        rb->resval.rint = static_cast<short>(static_cast<int>(number));
      } else {
        rb->resval.rlong = static_cast<int>(number);
      }
      return true;
    }
    case GroupKind::kPoint: {
      if (value->restype != RTPOINT && value->restype != RT3DPOINT) return false;
      resbuf* rb = filter.append(code);
      if (rb == nullptr) return false;
      for (int i = 0; i < 3; ++i) rb->resval.rpoint[i] = value->resval.rpoint[i];
      if (value->restype == RTPOINT) rb->resval.rpoint[Z] = 0.0;
      return true;
    }
    case GroupKind::kName: {
      if (value->restype != RTENAME) return false;
      resbuf* rb = filter.append(code);
      if (rb == nullptr) return false;
      rb->resval.rlname[0] = value->resval.rlname[0];
      rb->resval.rlname[1] = value->resval.rlname[1];
      return true;
    }
    case GroupKind::kUnsupported:
      break;
  }
  return false;
}

// A copy of an element that already carries a group code; false for a code whose value
// this filter cannot carry.
bool copyGroup(Chain& filter, const resbuf* group) {
  GroupKind kind = groupKind(group->restype);
  if (kind == GroupKind::kUnsupported) return false;
  if (kind == GroupKind::kString) {
    if (group->resval.rstring == nullptr) return false;
    resbuf* rb = filter.append(group->restype);
    if (rb == nullptr) return false;
    rb->resval.rstring = acutNewString(group->resval.rstring);
    return rb->resval.rstring != nullptr;
  }
  resbuf* rb = filter.append(group->restype);
  if (rb == nullptr) return false;
  rb->resval = group->resval;
  return true;
}

// A point group written as a list of its code and two or three numbers; the cursor
// stands after the code and moves past the closing RTLE.
bool appendPointGroup(Chain& filter, int code, const resbuf*& rb) {
  resbuf point{};
  point.restype = RT3DPOINT;
  int count = 0;
  for (; isNumber(rb) && count < 3; rb = rb->rbnext) point.resval.rpoint[count++] = numberOf(rb);
  if (count < 2 || rb == nullptr || rb->restype != RTLE) return false;
  rb = rb->rbnext;
  return appendGroup(filter, code, &point);
}

// (-3 ("APP") ...): the -3 marker and one 1001 group per application; the cursor stands
// after the -3 and moves past the pair's closing RTLE.
bool appendApplications(Chain& filter, const resbuf*& rb) {
  if (filter.append(-3) == nullptr) return false;
  while (rb != nullptr && rb->restype == RTLB) {
    const resbuf* name = rb->rbnext;
    if (name == nullptr || name->restype != RTSTR || name->rbnext == nullptr ||
        name->rbnext->restype != RTLE || !appendGroup(filter, 1001, name))
      return false;
    rb = name->rbnext->rbnext;
  }
  if (rb == nullptr || rb->restype != RTLE) return false;
  rb = rb->rbnext;
  return true;
}

// The filter items as the selection filter the host takes: every (code . value) pair of
// the items, in order, as one buffer typed by its group code. The pairs may come one per
// argument or in lists; elements that already carry a group code pass as they are.
// False for anything that is not such a pair.
bool buildFilter(const resbuf* rb, Chain& filter) {
  int depth = 0;
  while (rb != nullptr) {
    if (rb->restype < RTNONE) {
      // A group of entity data (entget's form) passes as it is.
      if (!copyGroup(filter, rb)) return false;
      rb = rb->rbnext;
      continue;
    }
    if (rb->restype == RTLE && depth > 0) {
      --depth;
      rb = rb->rbnext;
      continue;
    }
    if (rb->restype != RTLB) return false;
    const resbuf* code = rb->rbnext;
    if (!isInteger(code)) {
      // A list that holds pairs.
      ++depth;
      rb = rb->rbnext;
      continue;
    }
    int group = integerOf(code);
    const resbuf* next = code->rbnext;
    if (next == nullptr) return false;
    if (group == -3 && next->restype == RTLB) {
      rb = next;
      if (!appendApplications(filter, rb)) return false;
      continue;
    }
    if (next->restype == RTDOTE) {
      const resbuf* value = next->rbnext;
      if (value == nullptr || value->rbnext == nullptr || value->rbnext->restype != RTLE ||
          !appendGroup(filter, group, value))
        return false;
      rb = value->rbnext->rbnext;
      continue;
    }
    if (next->restype == RTPOINT || next->restype == RT3DPOINT) {
      // (code (x y z)): a point given as one list after the code.
      if (next->rbnext == nullptr || next->rbnext->restype != RTLE ||
          !appendGroup(filter, group, next))
        return false;
      rb = next->rbnext->rbnext;
      continue;
    }
    rb = next;
    if (!appendPointGroup(filter, group, rb)) return false;
  }
  return depth == 0;
}

// --- selection sets

// A host selection set, freed when the guard goes.
class SelectionSet {
 public:
  SelectionSet() = default;
  ~SelectionSet() {
    if (m_made) acedSSFree(m_name);
  }
  SelectionSet(const SelectionSet&) = delete;
  SelectionSet& operator=(const SelectionSet&) = delete;

  // acedSSGet; true when it made a set.
  bool get(const ACHAR* mode, const void* arg1, const void* arg2, const resbuf* filter) {
    m_made = acedSSGet(mode, arg1, arg2, filter, m_name) == RTNORM;
    return m_made;
  }

  // The set's entity names as the LISP result, in the set's order; nil when it is empty.
  void returnNames() const {
    std::int32_t length = 0;
    if (!m_made || acedSSLength(m_name, &length) != RTNORM || length <= 0) return;
    ListBuilder list;
    list.start();
    for (std::int32_t i = 0; i < length; ++i) {
      ads_name entity = {0, 0};
      if (acedSSName(m_name, i, entity) == RTNORM) list.addEntityName(entity);
    }
    list.finish();
  }

 private:
  ads_name m_name = {0, 0};
  bool m_made = false;
};

// The remaining arguments as the filter, then the selection; the result is the list of
// names, nil when nothing was chosen or the filter is no filter.
void selectAndReturn(const ACHAR* mode, const void* arg1, const void* arg2, ArgCursor items) {
  Chain filter;
  // No items, or a nil in their place: no filter at all.
  bool filtered = items != nullptr && items->restype != RTNIL;
  if (filtered && !buildFilter(items, filter)) return;
  SelectionSet set;
  if (set.get(mode, arg1, arg2, filtered ? filter.head() : nullptr)) set.returnNames();
}

// --- model space

// The entities of the working drawing's model space that the test accepts, in drawing
// order, as the LISP result (nil when none, or when model space cannot be opened).
template <typename Test>
void scanModelSpace(Test accepts) {
  AcDbDatabase* database = acdbHostApplicationServices()->workingDatabase();
  if (database == nullptr) return;
  AcDbBlockTable* table = nullptr;
  if (database->getBlockTable(table, AcDb::kForRead) != Acad::eOk) return;
  AcDbBlockTableRecord* space = nullptr;
  Acad::ErrorStatus opened = table->getAt(ACDB_MODEL_SPACE, space, AcDb::kForRead);
  table->close();
  if (opened != Acad::eOk) return;
  AcDbBlockTableRecordIterator* iterator = nullptr;
  if (space->newIterator(iterator) != Acad::eOk) {
    space->close();
    return;
  }
  ListBuilder list;
  bool any = false;
  for (iterator->start(); !iterator->done(); iterator->step()) {
    AcDbEntity* entity = nullptr;
    if (iterator->getEntity(entity, AcDb::kForRead) != Acad::eOk) continue;
    ads_name name = {0, 0};
    if (accepts(entity) && acdbGetAdsName(name, entity->objectId()) == Acad::eOk) {
      if (!any) list.start();
      any = true;
      list.addEntityName(name);
    }
    entity->close();
  }
  delete iterator;
  space->close();
  if (any) list.finish();
}

std::wstring upperCase(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
  return text;
}

// Whether a block definition's name is `wanted` (upper case), asked once per definition.
class BlockNameTest {
 public:
  explicit BlockNameTest(std::wstring wanted) : m_wanted(upperCase(std::move(wanted))) {}

  bool operator()(const AcDbObjectId& block) {
    auto known = m_known.find(block);
    if (known != m_known.end()) return known->second;
    bool same = false;
    AcDbBlockTableRecord* record = nullptr;
    if (acdbOpenObject(record, block, AcDb::kForRead) == Acad::eOk) {
      const ACHAR* name = nullptr;
      if (record->getName(name) == Acad::eOk && name != nullptr) same = upperCase(name) == m_wanted;
      record->close();
    }
    m_known.emplace(block, same);
    return same;
  }

 private:
  std::wstring m_wanted;
  std::map<AcDbObjectId, bool> m_known;
};

// --- input

// An optional string: empty when absent or not a string (which is then left in place).
std::wstring optionalString(ArgCursor& cursor) {
  std::wstring text;
  readString(cursor, text);
  return text;
}

// The keyword just entered, as acedGetInput gives it, as the LISP result.
void returnKeyword() {
  ACHAR keyword[kKeywordBufferSize] = {};
  acedGetInput(keyword, kKeywordBufferSize);
  acedRetStr(keyword);
}

bool lastPickHitNothing() {
  resbuf errnoValue{};
  if (acedGetVar(L"ERRNO", &errnoValue) != RTNORM) return false;
  if (errnoValue.restype == RTSHORT) return errnoValue.resval.rint == kErrnoPickedNothing;
  if (errnoValue.restype == RTLONG) return errnoValue.resval.rlong == kErrnoPickedNothing;
  return false;
}

}  // namespace

int ssgetPK() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  // Three optional strings; anything else in their places is passed over.
  std::wstring texts[3];
  bool given[3] = {false, false, false};
  for (int i = 0; i < 3; ++i) {
    given[i] = readString(cursor, texts[i]);
    if (!given[i]) skipArgument(cursor);
  }
  const std::wstring& selectPrompt = texts[0];
  const std::wstring& keywords = texts[2];
  std::wstring mode;
  if (given[0]) mode += L":$";
  if (given[2]) mode += L":K";
  const ACHAR* prompts[2] = {texts[0].c_str(), texts[1].c_str()};
  const void* promptArg = selectPrompt.empty() ? nullptr : prompts;
  const void* keywordArg = keywords.empty() ? nullptr : keywords.c_str();
  // With ":$" the prompt pair comes first and the keywords second; without it the
  // keywords are the first argument.
  const void* arg1 = given[0] ? promptArg : keywordArg;
  const void* arg2 = given[0] ? keywordArg : nullptr;
  selectAndReturn(mode.empty() ? nullptr : mode.c_str(), arg1, arg2, cursor);
  return kResultOk;
}

int ssgetC() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_point first = {0, 0, 0}, other = {0, 0, 0};
  if (!readPoint(cursor, first) || !readPoint(cursor, other)) return kWrongType;
  selectAndReturn(L"_C", first, other, cursor);
  return kResultOk;
}

int ssgetCP() {
  acedRetNil();
  ArgList args;
  SelectionSet set;
  // The whole argument list is the polygon: the host takes its points.
  if (set.get(L"_CP", args.first(), nullptr, nullptr)) set.returnNames();
  return kResultOk;
}

int ssgetX_all() {
  acedRetNil();
  ArgList args;
  scanModelSpace([](AcDbEntity*) { return true; });
  return kResultOk;
}

int ssgetX_block() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring name;
  if (!readString(cursor, name)) {
    scanModelSpace([](AcDbEntity* entity) { return AcDbBlockReference::cast(entity) != nullptr; });
    return kResultOk;
  }
  BlockNameTest named(name);
  scanModelSpace([&named](AcDbEntity* entity) {
    const AcDbBlockReference* reference = AcDbBlockReference::cast(entity);
    return reference != nullptr && named(reference->blockTableRecord());
  });
  return kResultOk;
}

int ssgetX_circle() {
  acedRetNil();
  ArgList args;
  scanModelSpace([](AcDbEntity* entity) { return AcDbCircle::cast(entity) != nullptr; });
  return kResultOk;
}

int ssgetX_polyline() {
  acedRetNil();
  ArgList args;
  scanModelSpace([](AcDbEntity* entity) { return AcDbPolyline::cast(entity) != nullptr; });
  return kResultOk;
}

int nv_nv_entsel() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring prompt;
  if (!readString(cursor, prompt)) return kWrongType;
  std::wstring keywords = optionalString(cursor);
  while (true) {
    if (!keywords.empty()) acedInitGet(0, keywords.c_str());
    ads_name entity = {0, 0};
    ads_point picked = {0, 0, 0};
    int status = acedEntSel(prompt.c_str(), entity, picked);
    if (status == RTNORM) {
      ListBuilder list;
      list.start();
      list.addEntityName(entity);
      list.add3dPoint(picked);
      list.finish();
      return kResultOk;
    }
    if (status == RTKWORD) {
      returnKeyword();
      return kResultOk;
    }
    if (status == RTCAN) return kResultOk;
    // A pick in empty space asks again; Enter or any other end is T.
    if (!lastPickHitNothing()) break;
  }
  acedRetT();
  return kResultOk;
}

int nv_nv_getPoint() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring prompt = optionalString(cursor);
  ads_point point = {0, 0, 0};
  if (acedGetPoint(nullptr, prompt.c_str(), point) == RTNORM) acedRetPoint(point);
  return kResultOk;
}

int nv_nv_getPoint_withKWords() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  // Read in turn, nothing passed over: a prompt that is not a string stays under the
  // cursor, so the keywords read it too and are empty.
  std::wstring prompt = optionalString(cursor);
  std::wstring keywords = optionalString(cursor);
  acedInitGet(kRefuseNull, keywords.c_str());
  ads_point point = {0, 0, 0};
  int status = acedGetPoint(nullptr, prompt.c_str(), point);
  if (status == RTNORM) {
    acedRetPoint(point);
  } else if (status == RTKWORD) {
    returnKeyword();
  }
  return kResultOk;
}

int nv_nv_getCorner() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_point base = {0, 0, 0};
  if (!readPoint(cursor, base)) return kWrongType;
  std::wstring prompt = optionalString(cursor);
  ads_point corner = {0, 0, 0};
  if (acedGetCorner(base, prompt.c_str(), corner) == RTNORM) acedRetPoint(corner);
  return kResultOk;
}

}  // namespace tabrik::arx::fn
