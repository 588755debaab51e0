// nv_nv-sendToBack moves an entity to the bottom of its block's draw order when the
// block has a draw-order table, and answers nil without making one.
#include <gtest/gtest.h>

#include "HostTesting.h"
#include "acedads.h"
#include "aced/ads/ExternalCall.h"
#include "aced/doc/DocManager.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "host/LispFunctionTable.h"
#include "sorttab.h"

using namespace tabrik::arx;
using tabrik::acad::docManager;
using tabrik::acad::Document;
using tabrik::acad::ExternalCall;

namespace {

AcDbObjectId addLine(AcDbDatabase& db, double y) {
  AcDbBlockTableRecord* space = nullptr;
  EXPECT_EQ(acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite), Acad::eOk);
  auto* line = new AcDbLine(AcGePoint3d(0, y, 0), AcGePoint3d(1, y, 0));
  AcDbObjectId id;
  EXPECT_EQ(space->appendAcDbEntity(id, line), Acad::eOk);
  line->close();
  space->close();
  return id;
}

AcDbObjectIdArray drawOrder(AcDbDatabase& db) {
  AcDbBlockTableRecord* space = nullptr;
  EXPECT_EQ(acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite), Acad::eOk);
  AcDbSortentsTable* table = nullptr;
  AcDbObjectIdArray ids;
  if (space->getSortentsTable(table, AcDb::kForRead, true) == Acad::eOk) {
    table->getFullDrawOrder(ids);
    table->close();
  }
  space->close();
  return ids;
}

// Runs nv_nv-sendToBack on the entity; true when it answered T.
bool sendToBack(Document& document, const AcDbObjectId& id) {
  ads_name name = {0, 0};
  EXPECT_EQ(acdbGetAdsName(name, id), Acad::eOk);
  resbuf* args = acutNewRb(RTENAME);  // taken over by the call
  args->resval.rlname[0] = name[0];
  args->resval.rlname[1] = name[1];
  ExternalCall call;
  EXPECT_EQ(tabrik::acad::runExternal(document, document.codeOf(L"nv_nv-sendToBack"), args, call),
            RSRSLT);
  return call.kind == ExternalCall::Result::kValue && call.result != nullptr &&
         call.result->restype == RTT;
}

}  // namespace

TEST(DrawOrder, SendToBackNeedsTheBlocksDrawOrderTable) {
  tabrik::acad::testing::resetHost();
  Document* document = docManager().open(L"Drawing1.dwg");
  registerFunctionTable(databaseFunctionTable(), 0);
  registerFunctionTable(drawingFunctionTable(), db::databaseFunctionCount());
  AcDbDatabase& db = *document->database();
  const AcDbObjectId first = addLine(db, 0);
  const AcDbObjectId second = addLine(db, 1);
  const AcDbObjectId third = addLine(db, 2);

  // No draw-order table yet: nil, and none is made.
  EXPECT_FALSE(sendToBack(*document, third));
  AcDbBlockTableRecord* space = nullptr;
  ASSERT_EQ(acdbOpenObject(space, db.modelSpaceId(), AcDb::kForRead), Acad::eOk);
  AcDbSortentsTable* table = nullptr;
  EXPECT_NE(space->getSortentsTable(table, AcDb::kForRead, false), Acad::eOk);
  space->close();

  // With the table the entity goes to the bottom, the others keep their order.
  ASSERT_EQ(drawOrder(db).length(), 3);
  EXPECT_TRUE(sendToBack(*document, third));
  AcDbObjectIdArray order = drawOrder(db);
  ASSERT_EQ(order.length(), 3);
  EXPECT_EQ(order[0], third);
  EXPECT_EQ(order[1], first);
  EXPECT_EQ(order[2], second);
  EXPECT_TRUE(sendToBack(*document, second));
  order = drawOrder(db);
  EXPECT_EQ(order[0], second);
  EXPECT_EQ(order[1], third);
  tabrik::acad::testing::resetHost();
}
