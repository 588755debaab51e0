// Entity data through the ads calls: what acdbEntGet lists for entities made in C++,
// the round trip entget -> entmake -> entget, changes with acdbEntMod, the standard
// table records, wildcard patterns and the shape checks of selection filters, and
// the calls' answers to null and forged arguments.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "HostSession.h"
#include "HostTesting.h"
#include "acedads.h"
#include "acutads.h"
#include "acdb/acut/ResbufChain.h"
#include "acdb/acut/ResbufKinds.h"
#include "aced/bridge/EntityFilter.h"
#include "dbents.h"
#include "dbpl.h"
#include "dbsymtb.h"

using tabrik::acad::testing::OutputCapture;

namespace {

struct ChainDeleter {
  void operator()(resbuf* rb) const { acutRelRb(rb); }
};
using Chain = std::unique_ptr<resbuf, ChainDeleter>;

class EntityDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_session = tabrik::acad::HostSession::startBare();
    ASSERT_NE(m_session, nullptr);
  }
  void TearDown() override {
    OutputCapture quiet;
    m_session.reset();
  }

  static AcDbDatabase* db() { return acdbHostApplicationServices()->workingDatabase(); }

  static AcDbObjectId append(AcDbEntity* entity) {
    AcDbBlockTableRecord* space = nullptr;
    EXPECT_EQ(acdbOpenObject(space, db()->modelSpaceId(), AcDb::kForWrite), Acad::eOk);
    AcDbObjectId id;
    EXPECT_EQ(space->appendAcDbEntity(id, entity), Acad::eOk);
    entity->close();
    space->close();
    return id;
  }
  static void nameOf(AcDbObjectId id, ads_name name) {
    ads_name found = {0, 0};
    ASSERT_EQ(acdbGetAdsName(found, id), Acad::eOk);
    name[0] = found[0];
    name[1] = found[1];
  }
  static const resbuf* group(const resbuf* chain, int code) {
    for (const resbuf* rb = chain; rb != nullptr; rb = rb->rbnext)
      if (rb->restype == code) return rb;
    return nullptr;
  }
  static std::wstring text(const resbuf* chain, int code) {
    const resbuf* rb = group(chain, code);
    return rb && rb->resval.rstring ? rb->resval.rstring : L"<none>";
  }
  // The groups of a chain that describe the entity rather than name it.
  static Chain withoutIdentity(const resbuf* chain) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (const resbuf* rb = chain; rb != nullptr; rb = rb->rbnext) {
      if (rb->restype == -1 || rb->restype == 5 || rb->restype == 330) continue;
      resbuf* copy = tabrik::acad::copyResbuf(rb);
      *tail = copy;
      tail = &copy->rbnext;
    }
    return Chain(head);
  }
  static void expectSameValue(const resbuf* a, const resbuf* b) {
    SCOPED_TRACE("group " + std::to_string(a->restype));
    switch (tabrik::acad::resbufKind(a->restype)) {
      case tabrik::acad::ResbufKind::kPoint:
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(a->resval.rpoint[i], b->resval.rpoint[i], 1e-12);
        break;
      case tabrik::acad::ResbufKind::kReal:
        EXPECT_NEAR(a->resval.rreal, b->resval.rreal, 1e-12);
        break;
      case tabrik::acad::ResbufKind::kShort:
        EXPECT_EQ(a->resval.rint, b->resval.rint);
        break;
      case tabrik::acad::ResbufKind::kLong:
        EXPECT_EQ(a->resval.rlong, b->resval.rlong);
        break;
      case tabrik::acad::ResbufKind::kString:
        EXPECT_EQ(std::wstring(a->resval.rstring), std::wstring(b->resval.rstring));
        break;
      default:
        break;
    }
  }

  std::unique_ptr<tabrik::acad::HostSession> m_session;
};

TEST_F(EntityDataTest, EntGetListsALineAsTheHostDoes) {
  auto* line = new AcDbLine(AcGePoint3d(1, 2, 3), AcGePoint3d(4, 5, 6));
  line->setColorIndex(1);
  AcDbObjectId id = append(line);
  ads_name name;
  nameOf(id, name);
  Chain data(acdbEntGet(name));
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->restype, -1);
  EXPECT_EQ(data->resval.rlname[0], name[0]);
  ASSERT_NE(data->rbnext, nullptr);
  EXPECT_EQ(data->rbnext->restype, 0);
  EXPECT_EQ(text(data.get(), 0), L"LINE");
  EXPECT_EQ(text(data.get(), 8), L"0");
  EXPECT_EQ(text(data.get(), 5), id.handle().asString());
  ads_name space;
  nameOf(db()->modelSpaceId(), space);
  ASSERT_NE(group(data.get(), 330), nullptr);
  EXPECT_EQ(group(data.get(), 330)->resval.rlname[0], space[0]);
  ASSERT_NE(group(data.get(), 62), nullptr);
  EXPECT_EQ(group(data.get(), 62)->resval.rint, 1);
  const resbuf* start = group(data.get(), 10);
  const resbuf* end = group(data.get(), 11);
  ASSERT_TRUE(start && end);
  EXPECT_EQ(start->resval.rpoint[0], 1.0);
  EXPECT_EQ(start->resval.rpoint[2], 3.0);
  EXPECT_EQ(end->resval.rpoint[1], 5.0);
  // No extended data without an application list.
  EXPECT_EQ(group(data.get(), -3), nullptr);
}

// Invariant: making an entity from another's data gives an entity with the same data.
TEST_F(EntityDataTest, DataOfAMadeEntityEqualsTheDataItWasMadeFrom) {
  auto* polyline = new AcDbPolyline;
  polyline->addVertexAt(0, AcGePoint2d(0, 0), 0.5);
  polyline->addVertexAt(1, AcGePoint2d(10, 0));
  polyline->addVertexAt(2, AcGePoint2d(10, 5));
  polyline->setClosed(true);
  auto* text = new AcDbText(AcGePoint3d(1, 1, 0), L"Duct A", AcDbObjectId::kNull, 2.5, 0.7);
  auto* arc = new AcDbArc(AcGePoint3d(3, 4, 0), 2.0, 0.25, 2.5);
  auto* circle = new AcDbCircle(AcGePoint3d(20, 0, 0), AcGeVector3d(0, 0, 1), 1.5);
  circle->setColorIndex(3);
  const struct {
    const char* kind;
    AcDbEntity* entity;
  } cases[] = {{"lwpolyline", polyline}, {"text", text}, {"arc", arc}, {"circle", circle}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    ads_name original;
    nameOf(append(c.entity), original);
    Chain before(acdbEntGet(original));
    Chain data = withoutIdentity(before.get());
    ASSERT_EQ(acdbEntMake(data.get()), RTNORM);
    ads_name made;
    ASSERT_EQ(acdbEntLast(made), RTNORM);
    EXPECT_NE(made[0], original[0]);
    Chain after(acdbEntGet(made));
    Chain again = withoutIdentity(after.get());
    const resbuf* a = data.get();
    const resbuf* b = again.get();
    for (; a != nullptr && b != nullptr; a = a->rbnext, b = b->rbnext) {
      ASSERT_EQ(a->restype, b->restype);
      expectSameValue(a, b);
    }
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b, nullptr);
  }
}

TEST_F(EntityDataTest, EntModMovesALineAndRefusesAnotherType) {
  ads_name name;
  nameOf(append(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0))), name);
  ads_point end = {7, 8, 9};
  Chain move(acutBuildList(-1, name, 11, end, 0));
  ASSERT_EQ(acdbEntMod(move.get()), RTNORM);
  Chain data(acdbEntGet(name));
  ASSERT_NE(group(data.get(), 11), nullptr);
  EXPECT_EQ(group(data.get(), 11)->resval.rpoint[0], 7.0);
  EXPECT_EQ(group(data.get(), 11)->resval.rpoint[2], 9.0);
  EXPECT_EQ(group(data.get(), 10)->resval.rpoint[0], 0.0);
  Chain wrongType(acutBuildList(-1, name, RTDXF0, L"CIRCLE", 40, 2.0, 0));
  EXPECT_EQ(acdbEntMod(wrongType.get()), RTERROR);
  // An erased entity takes no change and has no data.
  ASSERT_EQ(acdbEntDel(name), RTNORM);
  EXPECT_EQ(acdbEntMod(move.get()), RTERROR);
  EXPECT_EQ(acdbEntGet(name), nullptr);
}

TEST_F(EntityDataTest, StandardTableRecordsAreFoundByName) {
  const struct {
    const wchar_t* table;
    const wchar_t* name;
    bool found;
  } cases[] = {
      {L"LTYPE", L"ByBlock", true},       {L"LTYPE", L"BYLAYER", true},
      {L"ltype", L"Continuous", true},    {L"LAYER", L"0", true},
      {L"STYLE", L"Standard", true},      {L"APPID", L"ACAD", true},
      {L"DIMSTYLE", L"Standard", true},   {L"VPORT", L"*Active", true},
      {L"BLOCK", L"*Model_Space", false}, {L"BLOCK", L"*Paper_Space", false},
      {L"LAYER", L"NOPE", false},         {L"NOTABLE", L"0", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.table, c.table + std::wcslen(c.table)) + " " +
                 std::string(c.name, c.name + std::wcslen(c.name)));
    Chain record(acdbTblSearch(c.table, c.name, 0));
    ASSERT_EQ(record != nullptr, c.found);
    if (!c.found) continue;
    EXPECT_EQ(wcscasecmp(text(record.get(), 2).c_str(), c.name), 0);
    // The table form names no handle, owner or subclass.
    EXPECT_EQ(group(record.get(), 5), nullptr);
    EXPECT_EQ(group(record.get(), 330), nullptr);
    EXPECT_EQ(group(record.get(), 100), nullptr);
    ads_name recordName;
    EXPECT_EQ(acdbTblObjName(c.table, c.name, recordName), RTNORM);
  }
}

TEST_F(EntityDataTest, CallsRefuseNullAndForgedArguments) {
  ads_name forged = {0x7fffffff, 0};
  ads_name result = {0, 0};
  EXPECT_EQ(acdbEntGet(nullptr), nullptr);
  EXPECT_EQ(acdbEntGet(forged), nullptr);
  EXPECT_EQ(acdbEntGetX(forged, nullptr), nullptr);
  EXPECT_EQ(acdbEntMod(nullptr), RTERROR);
  EXPECT_EQ(acdbEntMake(nullptr), RTERROR);
  EXPECT_EQ(acdbEntDel(nullptr), RTERROR);
  EXPECT_EQ(acdbEntDel(forged), RTERROR);
  EXPECT_EQ(acdbEntNext(forged, result), RTERROR);
  EXPECT_EQ(acdbEntNext(nullptr, nullptr), RTERROR);
  EXPECT_EQ(acdbEntUpd(forged), RTERROR);
  EXPECT_EQ(acdbHandEnt(nullptr, result), RTERROR);
  EXPECT_EQ(acdbHandEnt(L"ZZ", result), RTERROR);
  EXPECT_EQ(acdbRegApp(nullptr), RTERROR);
  EXPECT_EQ(acdbTblSearch(nullptr, L"0", 0), nullptr);
  EXPECT_EQ(acdbTblSearch(L"LAYER", nullptr, 0), nullptr);
  EXPECT_EQ(acdbTblNext(nullptr, 1), nullptr);
  EXPECT_EQ(acdbTblObjName(L"LAYER", L"0", nullptr), RTERROR);
  EXPECT_EQ(acdbNamedObjDict(nullptr), RTERROR);
  EXPECT_EQ(acdbDictSearch(nullptr, L"ACAD_GROUP", 0), nullptr);
  EXPECT_EQ(acdbDictSearch(forged, L"ACAD_GROUP", 0), nullptr);
  EXPECT_EQ(acdbDictNext(forged, 1), nullptr);
  // A line's name is no dictionary.
  ads_name line;
  nameOf(append(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0))), line);
  EXPECT_EQ(acdbDictNext(line, 1), nullptr);
  // Entity data that names nothing to make.
  Chain noType(acutBuildList(8, L"0", 0));
  EXPECT_EQ(acdbEntMake(noType.get()), RTERROR);
  ads_point origin = {0, 0, 0};
  Chain vertex(acutBuildList(RTDXF0, L"VERTEX", 10, origin, 0));
  EXPECT_EQ(acdbEntMake(vertex.get()), RTERROR);
}

TEST(EntityFilterTest, WildcardsMatchAsTheHostsPatterns) {
  const struct {
    const wchar_t* text;
    const wchar_t* pattern;
    bool matches;
  } cases[] = {
      {L"LINE", L"LINE", true},
      {L"line", L"LINE", true},
      {L"CIRCLE", L"LINE,CIRCLE", true},
      {L"ARC", L"LINE,CIRCLE", false},
      {L"ARC", L"~LINE", true},
      {L"LINE", L"~LINE", false},
      {L"A1", L"@#", true},
      {L"AB", L"@#", false},
      {L"DUCT-2", L"DUCT?2", true},
      {L"DUCT-2", L"DUCT.2", true},
      {L"DUCTX2", L"DUCT.2", false},
      {L"B", L"[A-C]", true},
      {L"D", L"[A-C]", false},
      {L"D", L"[~A-C]", true},
      {L"*U1", L"`*U#", true},
      {L"XU1", L"`*U#", false},
      {L"a,b", L"a`,b", true},
      {L"", L"*", true},
      {L"abcabd", L"*ab?", true},
      {L"abcabd", L"*abc", false},
      {L"x", L"[x", false},
      {L"N1,", L"N[1,2]?", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text, c.text + std::wcslen(c.text)) + " ~ " +
                 std::string(c.pattern, c.pattern + std::wcslen(c.pattern)));
    EXPECT_EQ(tabrik::acad::wildcardMatch(c.text, c.pattern), c.matches);
  }
}

TEST(EntityFilterTest, MalformedFiltersAreRefused) {
  struct Case {
    const char* name;
    resbuf* filter;
    bool wellFormed;
  };
  ads_point origin = {0, 0, 0};
  Case cases[] = {
      {"plain", acutBuildList(RTDXF0, L"LINE", 8, L"0", 0), true},
      {"or group", acutBuildList(-4, L"<OR", RTDXF0, L"LINE", RTDXF0, L"ARC", -4, L"OR>", 0), true},
      {"lower-case group", acutBuildList(-4, L"<and", RTDXF0, L"LINE", -4, L"and>", 0), true},
      {"relational", acutBuildList(-4, L">=", 40, 1.0, -4, L">,<,*", 10, origin, 0), true},
      {"unclosed", acutBuildList(-4, L"<OR", RTDXF0, L"LINE", 0), false},
      {"closed, never opened", acutBuildList(RTDXF0, L"LINE", -4, L"OR>", 0), false},
      {"crossed",
       acutBuildList(-4, L"<OR", -4, L"<AND", RTDXF0, L"LINE", -4, L"OR>", -4, L"AND>", 0), false},
      {"not of two", acutBuildList(-4, L"<NOT", RTDXF0, L"LINE", 8, L"0", -4, L"NOT>", 0), false},
      {"xor of one", acutBuildList(-4, L"<XOR", RTDXF0, L"LINE", -4, L"XOR>", 0), false},
      {"unknown operator", acutBuildList(-4, L"==", 40, 1.0, 0), false},
      {"operator at the end", acutBuildList(RTDXF0, L"LINE", -4, L">", 0), false},
      {"operator before operator",
       acutBuildList(-4, L">", -4, L"<OR", RTDXF0, L"LINE", -4, L"OR>", 0), false},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(c.filter, nullptr);
    std::string reason;
    EXPECT_EQ(tabrik::acad::filterIsWellFormed(c.filter, reason), c.wellFormed);
    EXPECT_EQ(reason.empty(), c.wellFormed);
    acutRelRb(c.filter);
  }
}

}  // namespace
