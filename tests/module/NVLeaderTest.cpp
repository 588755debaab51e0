// NVLeader: its drawing-file record byte for byte (the host's binary item encoding:
// one tag byte, then the value little-endian), reading versions 1 to 3, and its
// geometry (grips, stretch, transform, explode, extents, snaps, curve queries) against
// values worked out by hand.
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "HostTesting.h"
#include "acdb/objects/BinaryDwgFiler.h"
#include "acdb/objects/MemoryDwgFiler.h"
#include "aced/doc/DocManager.h"
#include "dbproxy.h"
#include "dbsymtb.h"
#include "tabrik/GiRecorder.h"
#include "draw/NVLeader.h"
#include "rxdict.h"
#include "tabrik/DrawingFiling.h"

using tabrik::acad::BinaryDwgFiler;
using tabrik::acad::docManager;

namespace {

constexpr double kPi = 3.14159265;

// --- the item encoding, written out by hand from the format's table -------------------

void putLittleEndian(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}
std::string int32Item(std::int32_t v) {
  std::string s(1, '\x04');
  putLittleEndian(s, static_cast<std::uint32_t>(v), 4);
  return s;
}
std::string doubleBits(double v) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &v, 8);
  std::string s;
  putLittleEndian(s, bits, 8);
  return s;
}
std::string doubleItem(double v) { return "\x08" + doubleBits(v); }
std::string pointItem(double x, double y, double z) {
  return "\x0a" + doubleBits(x) + doubleBits(y) + doubleBits(z);
}
std::string boolItem(bool v) {
  return std::string(1, '\x01') + std::string(1, v ? '\x01' : '\x00');
}
std::string hardPointerItem(std::uint64_t handle) {
  std::string s(1, '\x12');
  putLittleEndian(s, handle, 8);
  return s;
}

// A record as a file holds it: the points (1,2,3), (4,6,3), (10,6,3) and the offset.
std::string leaderRecord(std::int32_t version, double offset, bool withBlock,
                         std::uint64_t handle) {
  std::string s = int32Item(version) + pointItem(1, 2, 3) + pointItem(4, 6, 3) +
                  pointItem(10, 6, 3) + doubleItem(offset) + boolItem(withBlock);
  if (withBlock) s += hardPointerItem(handle);
  return s;
}

class NVLeaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tabrik::acad::testing::resetHost();
    tabrik::arx::registerNVLeaderClass();
    docManager().open(L"Drawing1.dwg");
    m_db = acDocManager->curDocument()->database();
    m_symbol = addBlock(L"SYM");
  }
  void TearDown() override {
    tabrik::acad::testing::resetHost();
    tabrik::arx::removeNVLeaderClass();
  }

  // A block holding one line from (-1,0) to (1,0): a symbol one unit either side.
  AcDbObjectId addBlock(const wchar_t* name) {
    AcDbBlockTable* table = nullptr;
    EXPECT_EQ(m_db->getBlockTable(table, AcDb::kForWrite), Acad::eOk);
    auto* record = new AcDbBlockTableRecord();
    record->setName(name);
    AcDbObjectId id;
    EXPECT_EQ(table->add(id, record), Acad::eOk);
    auto* line = new AcDbLine(AcGePoint3d(-1, 0, 0), AcGePoint3d(1, 0, 0));
    EXPECT_EQ(record->appendAcDbEntity(line), Acad::eOk);
    line->close();
    record->close();
    table->close();
    return id;
  }

  AcDbObjectId layerZero() const {
    AcDbLayerTable* table = nullptr;
    m_db->getLayerTable(table, AcDb::kForRead);
    AcDbObjectId id;
    table->getAt(L"0", id);
    table->close();
    return id;
  }

  AcDbDatabase* m_db = nullptr;
  AcDbObjectId m_symbol;
};

std::string entityPart(const NVLeader& leader, AcDbDatabase* db) {
  std::string bytes;
  BinaryDwgFiler filer(db, bytes);
  leader.AcDbEntity::dwgOutFields(&filer);
  return bytes;
}

// --- the record ----------------------------------------------------------------------

TEST_F(NVLeaderTest, WritesVersion2RecordByteForByte) {
  NVLeader leader(AcGePoint3d(1, 2, 3), AcGePoint3d(4, 6, 3), AcGePoint3d(10, 6, 3), 0.75, m_symbol,
                  layerZero());
  std::string all;
  BinaryDwgFiler filer(m_db, all);
  ASSERT_EQ(leader.dwgOutFields(&filer), Acad::eOk);
  const std::string entity = entityPart(leader, m_db);
  ASSERT_EQ(all.compare(0, entity.size(), entity), 0);
  EXPECT_EQ(all.substr(entity.size()),
            leaderRecord(2, 0.75, /*withBlock=*/true, m_symbol.handle().value()));
}

TEST_F(NVLeaderTest, AnErasedBlockIsWrittenOnlyForUndo) {
  NVLeader leader(AcGePoint3d(1, 2, 3), AcGePoint3d(4, 6, 3), AcGePoint3d(10, 6, 3), 1.0, m_symbol,
                  layerZero());
  AcDbObject* block = nullptr;
  ASSERT_EQ(acdbOpenObject(block, m_symbol, AcDb::kForWrite), Acad::eOk);
  block->erase();
  block->close();

  struct Case {
    const char* name;
    AcDb::FilerType type;
    bool blockWritten;
  } cases[] = {{"file", AcDb::kFileFiler, false},
               {"copy", AcDb::kCopyFiler, false},
               {"undo", AcDb::kUndoFiler, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tabrik::acad::MemoryDwgFiler filer(c.type, m_db);
    ASSERT_EQ(leader.dwgOutFields(&filer), Acad::eOk);
    // The last items: the bool, then the id only when written.
    const auto& items = filer.items();
    const size_t boolAt = items.size() - (c.blockWritten ? 2 : 1);
    ASSERT_TRUE(std::holds_alternative<bool>(items[boolAt]));
    EXPECT_EQ(std::get<bool>(items[boolAt]), c.blockWritten);
    if (c.blockWritten) {
      ASSERT_TRUE(std::holds_alternative<tabrik::acad::MemoryDwgFiler::IdItem>(items.back()));
      EXPECT_EQ(std::get<tabrik::acad::MemoryDwgFiler::IdItem>(items.back()).id, m_symbol);
    }
  }
}

TEST_F(NVLeaderTest, ReadsVersions1And2ScalingVersion1ByTheLeaderScale) {
  struct Case {
    const char* name;
    std::int32_t version;
    double dimscale, stored, expected;
    bool symbolOnTheLeadersLayer;  // only version 2 records carry it over
  } cases[] = {{"v1 at scale 48", 1, 48.0, 0.5, 24.0, false},
               {"v1 at scale 1", 1, 1.0, 0.5, 0.5, false},
               {"v2 ignores the scale", 2, 48.0, 0.5, 0.5, true}};
  const NVLeader maker(AcGePoint3d(), AcGePoint3d(), AcGePoint3d(), 0.0, AcDbObjectId(),
                       layerZero());
  const std::string entity = entityPart(maker, m_db);
  const std::uint64_t handle = m_symbol.handle().value();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_db->setDimscale(c.dimscale);
    const std::string bytes = entity + leaderRecord(c.version, c.stored, true, handle);
    const AcDbObjectId layer = layerZero();
    BinaryDwgFiler filer(m_db, bytes, [&](std::uint64_t h) {
      if (h == handle) return m_symbol;
      return h == layer.handle().value() ? layer : AcDbObjectId::kNull;
    });
    NVLeader read;
    ASSERT_EQ(read.dwgInFields(&filer), Acad::eOk);
    EXPECT_TRUE(filer.atEnd());
    EXPECT_EQ(read.startPoint(), AcGePoint3d(1, 2, 3));
    EXPECT_EQ(read.middlePoint(), AcGePoint3d(4, 6, 3));
    EXPECT_EQ(read.endPoint(), AcGePoint3d(10, 6, 3));
    EXPECT_DOUBLE_EQ(read.offset(), c.expected);
    EXPECT_EQ(read.blockId(), m_symbol);
    const AcDbBlockReference& symbol = read.blockReference();
    EXPECT_EQ(symbol.blockTableRecord(), m_symbol);
    EXPECT_EQ(symbol.position(), AcGePoint3d(10, 6, 3));
    EXPECT_DOUBLE_EQ(symbol.scaleFactors().sx, c.expected);
    EXPECT_DOUBLE_EQ(symbol.rotation(), 0.0);  // the second leg runs along +X
    EXPECT_EQ(read.layerId(), layer);
    EXPECT_EQ(symbol.layerId(), c.symbolOnTheLeadersLayer ? layer : AcDbObjectId::kNull);
  }
}

TEST_F(NVLeaderTest, OtherVersionsAndAnUnresolvedBlock) {
  const NVLeader maker(AcGePoint3d(), AcGePoint3d(), AcGePoint3d(), 0.0, AcDbObjectId(),
                       layerZero());
  const std::string entity = entityPart(maker, m_db);
  struct Case {
    const char* name;
    std::string record;
    Acad::ErrorStatus status;
    bool pointsRead;
  } cases[] = {
      {"a later version asks for a proxy", leaderRecord(3, 1.0, false, 0), Acad::eMakeMeProxy,
       false},
      {"version 0 carries nothing", int32Item(0), Acad::eOk, false},
      {"a block the file lacks is tolerated", leaderRecord(2, 1.0, true, 0x7777), Acad::eOk, true},
      {"a truncated record fails", int32Item(2) + pointItem(1, 2, 3), Acad::eEndOfFile, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = entity + c.record;
    BinaryDwgFiler filer(m_db, bytes, [](std::uint64_t) { return AcDbObjectId::kNull; });
    NVLeader read;
    EXPECT_EQ(read.dwgInFields(&filer), c.status);
    EXPECT_EQ(read.endPoint() == AcGePoint3d(10, 6, 3), c.pointsRead);
    EXPECT_TRUE(read.blockId().isNull());
  }
}

// A whole drawing whose leader record is of a later version reads with the leader as a
// proxy that keeps the record and writes it back unchanged.
TEST_F(NVLeaderTest, ALaterVersionInADrawingFileIsKeptAsAProxy) {
  auto* leader = new NVLeader(AcGePoint3d(1, 2, 3), AcGePoint3d(4, 6, 3), AcGePoint3d(10, 6, 3),
                              1.0, m_symbol, layerZero());
  AcDbBlockTableRecord* space = nullptr;
  ASSERT_EQ(acdbOpenObject(space, m_db->modelSpaceId(), AcDb::kForWrite), Acad::eOk);
  AcDbObjectId id;
  ASSERT_EQ(space->appendAcDbEntity(id, leader), Acad::eOk);
  leader->close();
  space->close();
  std::string file;
  ASSERT_EQ(tabrik::acad::writeBinaryDrawing(m_db, file), Acad::eOk);
  const std::string version2 = int32Item(2) + pointItem(1, 2, 3);
  const size_t at = file.find(version2);
  ASSERT_NE(at, std::string::npos);
  ASSERT_EQ(file.find(version2, at + 1), std::string::npos);
  file[at + 1] = 3;

  AcDbDatabase later(/*buildDefaultDrawing=*/false, /*noDocument=*/true);
  ASSERT_EQ(tabrik::acad::readBinaryDrawing(&later, file), Acad::eOk);
  AcDbObjectId proxyId;
  ASSERT_EQ(later.getAcDbObjectId(proxyId, false, id.handle()), Acad::eOk);
  AcDbEntity* entity = nullptr;
  ASSERT_EQ(acdbOpenAcDbEntity(entity, proxyId, AcDb::kForRead), Acad::eOk);
  auto* proxy = AcDbProxyEntity::cast(entity);
  ASSERT_NE(proxy, nullptr);
  EXPECT_EQ(proxy->originalClassName(), L"NVLeader");
  EXPECT_EQ(proxy->originalDxfName(), L"NVLEADER");
  EXPECT_NE(proxy->originalRecord().find(int32Item(3) + pointItem(1, 2, 3)), std::string::npos);
  entity->close();

  std::string again;
  ASSERT_EQ(tabrik::acad::writeBinaryDrawing(&later, again), Acad::eOk);
  AcDbDatabase third(/*buildDefaultDrawing=*/false, /*noDocument=*/true);
  ASSERT_EQ(tabrik::acad::readBinaryDrawing(&third, again), Acad::eOk);
  ASSERT_EQ(third.getAcDbObjectId(proxyId, false, id.handle()), Acad::eOk);
  ASSERT_EQ(acdbOpenAcDbEntity(entity, proxyId, AcDb::kForRead), Acad::eOk);
  ASSERT_NE(AcDbProxyEntity::cast(entity), nullptr);
  EXPECT_EQ(AcDbProxyEntity::cast(entity)->originalRecord(), proxy->originalRecord());
  entity->close();
}

// --- geometry --------------------------------------------------------------------------

// The leader of the geometry cases: legs (0,0)->(4,0) and (4,0)->(4,3) less the gap,
// symbol at (4,3) turned to +Y, offset 1.
NVLeader* geometryLeader(AcDbObjectId block, AcDbObjectId layer) {
  return new NVLeader(AcGePoint3d(0, 0, 0), AcGePoint3d(4, 0, 0), AcGePoint3d(4, 3, 0), 1.0, block,
                      layer);
}

void expectNear(const AcGePoint3d& actual, const AcGePoint3d& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-7);
  EXPECT_NEAR(actual.y, expected.y, 1e-7);
  EXPECT_NEAR(actual.z, expected.z, 1e-7);
}

TEST_F(NVLeaderTest, GripsMoveTheirPointsOnceAndTurnTheSymbol) {
  struct Case {
    const char* name;
    std::vector<int> indices;
    AcGeVector3d by;
    AcGePoint3d start, middle, end, legEnd;
    double rotation;
  } cases[] = {
      {"end point up", {2}, {0, 2, 0}, {0, 0, 0}, {4, 0, 0}, {4, 5, 0}, {4, 4, 0}, kPi / 2},
      {"middle point right turns the symbol",
       {1},
       {4, 3, 0},
       {0, 0, 0},
       {8, 3, 0},
       {4, 3, 0},
       {5, 3, 0},
       kPi},
      {"repeated index moves once",
       {0, 0, 0},
       {1, 1, 0},
       {1, 1, 0},
       {4, 0, 0},
       {4, 3, 0},
       {4, 2, 0},
       kPi / 2},
      {"unknown indices are ignored",
       {3, -1},
       {9, 9, 0},
       {0, 0, 0},
       {4, 0, 0},
       {4, 3, 0},
       {4, 2, 0},
       kPi / 2},
      {"all three move the whole leader",
       {2, 1, 0},
       {0, -3, 0},
       {0, -3, 0},
       {4, -3, 0},
       {4, 0, 0},
       {4, -1, 0},
       kPi / 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<NVLeader> leader(geometryLeader(m_symbol, layerZero()));
    AcGePoint3dArray grips;
    AcDbIntArray modes, ids;
    ASSERT_EQ(leader->getGripPoints(grips, modes, ids), Acad::eOk);
    ASSERT_EQ(grips.length(), 3);
    EXPECT_TRUE(modes.isEmpty());
    AcDbIntArray indices;
    for (int i : c.indices) indices.append(i);
    ASSERT_EQ(leader->moveGripPointsAt(indices, c.by), Acad::eOk);
    expectNear(leader->startPoint(), c.start);
    expectNear(leader->middlePoint(), c.middle);
    expectNear(leader->endPoint(), c.end);
    expectNear(leader->legEnd(), c.legEnd);
    expectNear(leader->blockReference().position(), c.end);
    EXPECT_NEAR(leader->blockReference().rotation(), c.rotation, 1e-7);
  }
}

TEST_F(NVLeaderTest, ScalingByTwoLeavesTheSymbolAndTheGap) {
  std::unique_ptr<NVLeader> leader(geometryLeader(m_symbol, layerZero()));
  AcGeMatrix3d scale = AcGeMatrix3d::scaling(2.0, AcGePoint3d(0, 0, 0));
  ASSERT_EQ(leader->transformBy(scale), Acad::eOk);
  expectNear(leader->startPoint(), AcGePoint3d(0, 0, 0));
  expectNear(leader->middlePoint(), AcGePoint3d(8, 0, 0));
  expectNear(leader->endPoint(), AcGePoint3d(8, 6, 0));
  EXPECT_DOUBLE_EQ(leader->offset(), 1.0);
  EXPECT_DOUBLE_EQ(leader->blockReference().scaleFactors().sx, 1.0);
  EXPECT_NEAR(leader->legEnd().distanceTo(leader->endPoint()), 1.0, 1e-9);
  expectNear(leader->blockReference().position(), AcGePoint3d(8, 6, 0));
}

TEST_F(NVLeaderTest, ExplodeGivesTwoLegsAndThePlacedSymbol) {
  std::unique_ptr<NVLeader> leader(geometryLeader(m_symbol, layerZero()));
  AcDbVoidPtrArray pieces;
  ASSERT_EQ(leader->explode(pieces), Acad::eOk);
  ASSERT_EQ(pieces.length(), 3);
  std::vector<std::pair<AcGePoint3d, AcGePoint3d>> expected = {
      {{0, 0, 0}, {4, 0, 0}},
      {{4, 0, 0}, {4, 2, 0}},
      // The symbol's line (-1,0)-(1,0), turned a quarter and placed at (4,3).
      {{4, 2, 0}, {4, 4, 0}}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    auto* line = AcDbLine::cast(static_cast<AcDbEntity*>(pieces[i]));
    ASSERT_NE(line, nullptr);
    expectNear(line->startPoint(), expected[i].first);
    expectNear(line->endPoint(), expected[i].second);
  }
  for (void* piece : pieces) delete static_cast<AcDbEntity*>(piece);
}

TEST_F(NVLeaderTest, ExtentsCoverTheLegsAndTheSymbol) {
  struct Case {
    const char* name;
    bool withBlock;
    AcGePoint3d min, max;
  } cases[] = {{"with the symbol", true, {0, 0, 0}, {4, 4, 0}},
               {"legs only without a block", false, {0, 0, 0}, {4, 2, 0}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<NVLeader> leader(
        geometryLeader(c.withBlock ? m_symbol : AcDbObjectId(), layerZero()));
    AcDbExtents extents;
    ASSERT_EQ(leader->getGeomExtents(extents), Acad::eOk);
    expectNear(extents.minPoint(), c.min);
    expectNear(extents.maxPoint(), c.max);
  }
}

TEST_F(NVLeaderTest, EndSnapsComeFromBothLegsThenTheSymbol) {
  std::unique_ptr<NVLeader> leader(geometryLeader(m_symbol, layerZero()));
  AcGePoint3dArray snaps;
  AcDbIntArray ids;
  ASSERT_EQ(leader->getOsnapPoints(AcDb::kOsModeEnd, 0, AcGePoint3d(), AcGePoint3d(),
                                   AcGeMatrix3d(), snaps, ids),
            Acad::eOk);
  std::vector<AcGePoint3d> expected = {{0, 0, 0}, {4, 0, 0}, {4, 0, 0},
                                       {4, 2, 0}, {4, 2, 0}, {4, 4, 0}};
  ASSERT_EQ(snaps.length(), static_cast<int>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) expectNear(snaps[static_cast<int>(i)], expected[i]);
}

TEST_F(NVLeaderTest, IntersectionsWithALineCrossingBothLegsAndTheSymbol) {
  std::unique_ptr<NVLeader> leader(geometryLeader(m_symbol, layerZero()));
  // A vertical line at x = 3 crosses only the first leg.
  const AcDbLine other(AcGePoint3d(3, -1, 0), AcGePoint3d(3, 5, 0));
  AcGePoint3dArray points;
  ASSERT_EQ(leader->intersectWith(&other, AcDb::kOnBothOperands, points), Acad::eOk);
  ASSERT_EQ(points.length(), 1);
  expectNear(points[0], AcGePoint3d(3, 0, 0));

  // A horizontal line at y = 3 misses the second leg (it stops at y = 2) and crosses
  // the symbol's line, turned upright at x = 4.
  const AcDbLine across(AcGePoint3d(3, 3, 0), AcGePoint3d(5, 3, 0));
  AcGePoint3dArray crossing;
  ASSERT_EQ(leader->intersectWith(&across, AcDb::kOnBothOperands, crossing), Acad::eOk);
  ASSERT_EQ(crossing.length(), 1);
  expectNear(crossing[0], AcGePoint3d(4, 3, 0));
}

TEST_F(NVLeaderTest, CurveQueriesTreatTheLeaderAsStartToEnd) {
  // start (0,0,0), end (3,4,0): a straight length of 5 whatever the legs.
  NVLeader leader(AcGePoint3d(0, 0, 0), AcGePoint3d(0, 4, 0), AcGePoint3d(3, 4, 0), 0.5,
                  AcDbObjectId(), layerZero());
  double value = -1;
  AcGePoint3d point;
  ASSERT_EQ(leader.getStartParam(value), Acad::eOk);
  EXPECT_DOUBLE_EQ(value, 0.0);
  ASSERT_EQ(leader.getEndParam(value), Acad::eOk);
  EXPECT_DOUBLE_EQ(value, 5.0);
  ASSERT_EQ(leader.getPointAtParam(2.5, point), Acad::eOk);
  expectNear(point, AcGePoint3d(1.5, 2.0, 0));
  ASSERT_EQ(leader.getPointAtDist(10.0, point), Acad::eOk);
  expectNear(point, AcGePoint3d(6.0, 8.0, 0));
  ASSERT_EQ(leader.getParamAtPoint(AcGePoint3d(3, 0, 0), value), Acad::eOk);
  EXPECT_NEAR(value, 1.8, 1e-12);  // (3,0)·(0.6,0.8)
  ASSERT_EQ(leader.getDistAtPoint(AcGePoint3d(0, 0, 7), value), Acad::eOk);
  EXPECT_DOUBLE_EQ(value, 7.0);
  ASSERT_EQ(leader.getDistAtParam(1.25, value), Acad::eOk);
  EXPECT_DOUBLE_EQ(value, 1.25);
  ASSERT_EQ(leader.getParamAtDist(4.5, value), Acad::eOk);
  EXPECT_DOUBLE_EQ(value, 4.5);
  ASSERT_EQ(leader.getEndPoint(point), Acad::eOk);
  EXPECT_EQ(point, AcGePoint3d(3, 4, 0));
}

TEST_F(NVLeaderTest, ZeroOffsetRunsTheSecondLegToTheEnd) {
  NVLeader leader(AcGePoint3d(0, 0, 0), AcGePoint3d(4, 0, 0), AcGePoint3d(4, 3, 0), 0.0,
                  AcDbObjectId(), layerZero());
  expectNear(leader.legEnd(), AcGePoint3d(4, 3, 0));
}

TEST_F(NVLeaderTest, DrawsBothLegsThenTheSymbolOnTheLeadersLayer) {
  std::unique_ptr<NVLeader> leader(geometryLeader(m_symbol, layerZero()));
  tabrik::acad::GiRecorder recorder;
  leader->worldDraw(&recorder);
  const std::vector<tabrik::acad::GiPrimitive>& drawn = recorder.primitives();
  ASSERT_EQ(drawn.size(), 3u);
  const std::vector<std::vector<AcGePoint3d>> expected = {
      {{0, 0, 0}, {4, 0, 0}}, {{4, 0, 0}, {4, 2, 0}}, {{4, 2, 0}, {4, 4, 0}}};
  for (size_t i = 0; i < drawn.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(drawn[i].kind, tabrik::acad::GiPrimitive::kPolyline);
    ASSERT_EQ(drawn[i].points.size(), 2u);
    expectNear(drawn[i].points[0], expected[i][0]);
    expectNear(drawn[i].points[1], expected[i][1]);
  }
  EXPECT_EQ(drawn[2].layer, layerZero());
}

TEST_F(NVLeaderTest, ListPrintsThePointsBeforeTheSymbol) {
  NVLeader leader(AcGePoint3d(1, 2, 3), AcGePoint3d(4, 6, 3), AcGePoint3d(10, 6, 3), 1.0, m_symbol,
                  layerZero());
  tabrik::acad::testing::OutputCapture capture;
  leader.list();
  const std::string out = capture.take();
  const std::string points =
      "                   Starting point = 1.000000, 2.000000, 3.000000\n"
      "                   Middle point = 4.000000, 6.000000, 3.000000\n"
      "                   End point = 10.000000, 6.000000, 3.000000\n\n\n";
  const size_t at = out.find(points);
  ASSERT_NE(at, std::string::npos) << out;
  // The symbol lists itself after the points.
  EXPECT_GT(out.size(), at + points.size());
}

TEST_F(NVLeaderTest, TheSymbolFollowsTheLayerOnlyWithSubEntities) {
  AcDbLayerTable* table = nullptr;
  ASSERT_EQ(m_db->getLayerTable(table, AcDb::kForWrite), Acad::eOk);
  auto* record = new AcDbLayerTableRecord();
  record->setName(L"NOTES");
  AcDbObjectId notes;
  ASSERT_EQ(table->add(notes, record), Acad::eOk);
  record->close();
  table->close();

  NVLeader leader(AcGePoint3d(), AcGePoint3d(1, 0, 0), AcGePoint3d(1, 1, 0), 1.0, m_symbol,
                  layerZero());
  ASSERT_EQ(leader.setLayer(notes), Acad::eOk);
  EXPECT_EQ(leader.layerId(), notes);
  EXPECT_EQ(leader.blockReference().layerId(), notes);
  ASSERT_EQ(leader.setLayer(layerZero(), /*doSubents=*/false), Acad::eOk);
  EXPECT_EQ(leader.layerId(), layerZero());
  EXPECT_EQ(leader.blockReference().layerId(), notes);
  // A failing change leaves both as they were.
  EXPECT_NE(leader.setLayer(m_symbol), Acad::eOk);
  EXPECT_EQ(leader.layerId(), layerZero());
  EXPECT_EQ(leader.blockReference().layerId(), notes);
}

// --- the class --------------------------------------------------------------------------

TEST_F(NVLeaderTest, RegistersOnceWithItsDxfNameAndDescription) {
  AcRxClass* cls = NVLeader::desc();
  ASSERT_NE(cls, nullptr);
  tabrik::arx::registerNVLeaderClass();
  EXPECT_EQ(NVLeader::desc(), cls);
  EXPECT_EQ(std::wstring(cls->dxfName()), L"NVLEADER");
  EXPECT_EQ(std::wstring(cls->appName()), L"\"Leader|Norvane Software, Inc|www.norvane.com\"");
  EXPECT_EQ(cls->proxyFlags(), 1);
  EXPECT_TRUE(cls->isDerivedFrom(AcDbCurve::desc()));
  EXPECT_FALSE(tabrik::acad::isHostClass(cls));
}

using NVLeaderDeathTest = NVLeaderTest;

TEST_F(NVLeaderDeathTest, AnotherModulesClassOfTheNameStopsTheHost) {
  tabrik::arx::removeNVLeaderClass();
  newAcRxClass(L"NVLeader", L"AcDbEntity");
  EXPECT_DEATH(tabrik::arx::registerNVLeaderClass(), "Class mismatch");
  deleteAcRxClass(AcRxClass::cast(acrxClassDictionary->at(L"NVLeader")));
}

}  // namespace
