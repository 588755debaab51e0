// NVLeader in DXF: a drawing with leaders written, read and written again gives the
// same text, every leader keeps its points and offset (its symbol is no part of the
// record), and a record without the subclass marker is left out of the drawing.
#include <string>

#include <gtest/gtest.h>

#include "DxfFile.h"
#include "HostTesting.h"
#include "aced/doc/DocManager.h"
#include "dbsymtb.h"
#include "draw/NVLeader.h"
#include "tabrik/DrawingFiling.h"

namespace {

class NVLeaderDxfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tabrik::acad::testing::resetHost();
    tabrik::arx::registerNVLeaderClass();
  }
  void TearDown() override {
    tabrik::acad::testing::resetHost();
    tabrik::arx::removeNVLeaderClass();
  }
};

AcDbObjectId addLeader(AcDbDatabase& db, const AcGePoint3d& start, const AcGePoint3d& middle,
                       const AcGePoint3d& end, double offset) {
  AcDbBlockTableRecord* space = nullptr;
  EXPECT_EQ(acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite), Acad::eOk);
  auto* leader = new NVLeader(start, middle, end, offset, AcDbObjectId(), db.clayer());
  AcDbObjectId id;
  EXPECT_EQ(space->appendAcDbEntity(id, leader), Acad::eOk);
  leader->close();
  space->close();
  return id;
}

std::vector<NVLeader*> leadersOf(AcDbDatabase& db) {
  std::vector<NVLeader*> leaders;
  for (const AcDbObjectId& id : tabrik::acad::objectIds(&db)) {
    if (auto* leader = NVLeader::cast(tabrik::acad::peekObject(id))) leaders.push_back(leader);
  }
  return leaders;
}

TEST_F(NVLeaderDxfTest, WriteReadWriteKeepsEveryLeader) {
  struct Case {
    AcGePoint3d start, middle, end;
    double offset;
  } cases[] = {{{0, 0, 0}, {10, 10, 0}, {20, 10, 0}, 2.0},
               {{-1.25, 3.5, 7}, {0.1, 0.2, 0.3}, {1e6, -1e-6, 0}, 0.0},
               {{5, 5, 0}, {5, 5, 0}, {5, 5, 0}, 48.0}};
  AcDbDatabase db;
  for (const Case& c : cases) addLeader(db, c.start, c.middle, c.end, c.offset);
  std::string first;
  ASSERT_EQ(tabrik::dxf::writeDrawing(&db, first), Acad::eOk);
  EXPECT_NE(first.find("NVLEADER\n  2\nNVLeader\n  3\n\"Leader|Norvane Software, Inc|"),
            std::string::npos);

  AcDbDatabase read(/*buildDefaultDrawing=*/false);
  ASSERT_EQ(tabrik::dxf::readDrawing(&read, first), Acad::eOk);
  std::vector<NVLeader*> leaders = leadersOf(read);
  ASSERT_EQ(leaders.size(), std::size(cases));
  for (size_t i = 0; i < leaders.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(leaders[i]->startPoint(), cases[i].start);
    EXPECT_EQ(leaders[i]->middlePoint(), cases[i].middle);
    EXPECT_EQ(leaders[i]->endPoint(), cases[i].end);
    EXPECT_EQ(leaders[i]->offset(), cases[i].offset);
    EXPECT_TRUE(leaders[i]->blockId().isNull());
    EXPECT_EQ(leaders[i]->blockReference().position(), cases[i].end);
    // The host refuses a zero scale: a leader of offset 0 keeps the symbol's scale (1
    // for a new one), and its second leg runs to the end point.
    EXPECT_EQ(leaders[i]->blockReference().scaleFactors().sx,
              cases[i].offset != 0.0 ? cases[i].offset : 1.0);
  }
  std::string second;
  ASSERT_EQ(tabrik::dxf::writeDrawing(&read, second), Acad::eOk);
  EXPECT_EQ(first, second);
}

TEST_F(NVLeaderDxfTest, ARecordWithoutItsMarkerIsLeftOut) {
  AcDbDatabase db;
  addLeader(db, {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, 1.0);
  std::string text;
  ASSERT_EQ(tabrik::dxf::writeDrawing(&db, text), Acad::eOk);
  const std::string marker = "100\nNVLeader\n";
  const size_t at = text.find(marker);
  ASSERT_NE(at, std::string::npos);
  text.replace(at, marker.size(), "100\nNVLeaderX\n");
  AcDbDatabase read(/*buildDefaultDrawing=*/false);
  std::wstring message;
  ASSERT_EQ(tabrik::dxf::readDrawing(&read, text, &message), Acad::eOk);
  EXPECT_TRUE(leadersOf(read).empty());
}

}  // namespace
