// The open protocol, ids, handles, ads names and the default drawing.
#include <gtest/gtest.h>

#include "dbdict.h"
#include "dbents.h"
#include "dbsymtb.h"

namespace {

AcDbObjectId addLine(AcDbDatabase& db, const AcGePoint3d& a = {0, 0, 0},
                     const AcGePoint3d& b = {1, 0, 0}) {
  AcDbBlockTableRecord* space = nullptr;
  EXPECT_EQ(acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite), Acad::eOk);
  auto* line = new AcDbLine(a, b);
  AcDbObjectId id;
  EXPECT_EQ(space->appendAcDbEntity(id, line), Acad::eOk);
  line->close();
  space->close();
  return id;
}

TEST(OpenProtocol, StatusesForEachStateAndMode) {
  AcDbDatabase db;
  AcDbObjectId id = addLine(db);
  struct Case {
    const char* name;
    AcDb::OpenMode first;  // how the object is held while the second open is tried
    AcDb::OpenMode second;
    Acad::ErrorStatus expected;
  } cases[] = {
      {"read while read", AcDb::kForRead, AcDb::kForRead, Acad::eOk},
      {"write while read", AcDb::kForRead, AcDb::kForWrite, Acad::eWasOpenForRead},
      {"read while write", AcDb::kForWrite, AcDb::kForRead, Acad::eWasOpenForWrite},
      {"write while write", AcDb::kForWrite, AcDb::kForWrite, Acad::eWasOpenForWrite},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AcDbObject* held = nullptr;
    ASSERT_EQ(acdbOpenObject(held, id, c.first), Acad::eOk);
    AcDbObject* second = nullptr;
    EXPECT_EQ(acdbOpenObject(second, id, c.second), c.expected);
    EXPECT_EQ(second != nullptr, c.expected == Acad::eOk);
    if (second) second->close();
    held->close();
    // Closed again: a write open now succeeds.
    ASSERT_EQ(acdbOpenObject(held, id, AcDb::kForWrite), Acad::eOk);
    held->close();
  }
}

TEST(OpenProtocol, TypedOpenRefusesOtherClassesAndLeavesThemClosed) {
  AcDbDatabase db;
  AcDbObjectId id = addLine(db);
  AcDbCircle* circle = nullptr;
  EXPECT_EQ(acdbOpenObject(circle, id, AcDb::kForWrite), Acad::eNotThatKindOfClass);
  EXPECT_EQ(circle, nullptr);
  AcDbCurve* curve = nullptr;
  ASSERT_EQ(acdbOpenObject(curve, id, AcDb::kForWrite), Acad::eOk);  // a line is a curve
  curve->close();
  AcDbEntity* entity = nullptr;
  EXPECT_EQ(acdbOpenAcDbEntity(entity, db.layerTableId(), AcDb::kForRead),
            Acad::eNotThatKindOfClass);
}

TEST(OpenProtocol, ErasedObjectsOpenOnlyWhenAskedFor) {
  AcDbDatabase db;
  AcDbObjectId id = addLine(db);
  AcDbEntity* entity = nullptr;
  ASSERT_EQ(acdbOpenAcDbEntity(entity, id, AcDb::kForWrite), Acad::eOk);
  ASSERT_EQ(entity->erase(), Acad::eOk);
  entity->close();
  EXPECT_TRUE(id.isErased());
  EXPECT_TRUE(id.isValid());
  EXPECT_EQ(acdbOpenAcDbEntity(entity, id, AcDb::kForRead), Acad::eWasErased);
  ASSERT_EQ(acdbOpenAcDbEntity(entity, id, AcDb::kForWrite, /*openErased=*/true), Acad::eOk);
  EXPECT_EQ(entity->erase(false), Acad::eOk);
  entity->close();
  EXPECT_FALSE(id.isErased());
  AcDbObject* none = nullptr;
  EXPECT_EQ(acdbOpenObject(none, AcDbObjectId::kNull, AcDb::kForRead), Acad::eNullObjectId);
}

TEST(OpenProtocol, UpgradeAndDowngrade) {
  AcDbDatabase db;
  AcDbObjectId id = addLine(db);
  AcDbObject *a = nullptr, *b = nullptr;
  ASSERT_EQ(acdbOpenObject(a, id, AcDb::kForRead), Acad::eOk);
  ASSERT_EQ(acdbOpenObject(b, id, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(a->upgradeOpen(), Acad::eWasOpenForRead);  // someone else reads it too
  b->close();
  EXPECT_EQ(a->upgradeOpen(), Acad::eOk);
  EXPECT_TRUE(a->isWriteEnabled());
  EXPECT_EQ(a->downgradeOpen(), Acad::eOk);
  EXPECT_FALSE(a->isWriteEnabled());
  a->close();
}

TEST(ObjectIds, AdsNamesRoundTripAndRefuseForgeries) {
  AcDbDatabase db;
  AcDbObjectId id = addLine(db);
  ads_name name = {0, 0};
  ASSERT_EQ(acdbGetAdsName(name, id), Acad::eOk);
  EXPECT_NE(name[0], 0);
  AcDbObjectId back;
  ASSERT_EQ(acdbGetObjectId(back, name), Acad::eOk);
  EXPECT_EQ(back, id);
  ads_name again;
  acdbGetAdsName(again, id);
  EXPECT_EQ(again[0], name[0]);  // stable per object
  ads_name forged = {name[0] + 1, 0};
  EXPECT_EQ(acdbGetObjectId(back, forged), Acad::eInvalidAdsName);
  ads_name zero = {0, 0};
  EXPECT_EQ(acdbGetObjectId(back, zero), Acad::eInvalidAdsName);
}

TEST(ObjectIds, NamesOfAGoneDatabaseAreRefused) {
  ads_name name;
  {
    AcDbDatabase db;
    acdbGetAdsName(name, addLine(db));
  }
  AcDbObjectId id;
  EXPECT_EQ(acdbGetObjectId(id, name), Acad::eInvalidAdsName);
}

TEST(ObjectIds, HandlesAreUniqueAndFoundAgain) {
  AcDbDatabase db;
  AcDbObjectId a = addLine(db), b = addLine(db);
  EXPECT_NE(a.handle(), b.handle());
  EXPECT_GT(db.handseed().value(), b.handle().value());
  AcDbObjectId found;
  ASSERT_EQ(db.getAcDbObjectId(found, false, a.handle()), Acad::eOk);
  EXPECT_EQ(found, a);
  EXPECT_EQ(db.getAcDbObjectId(found, false, AcDbHandle(0xFFFFFF)), Acad::eUnknownHandle);
  EXPECT_EQ(AcDbHandle(L"3a").value(), 0x3Au);
  EXPECT_EQ(AcDbHandle(0x3A).asString(), L"3A");
  EXPECT_TRUE(AcDbHandle(L"zz").isNull());
}

TEST(DefaultDrawing, HoldsTheRecordsEveryDrawingHas) {
  AcDbDatabase db;
  struct Case {
    const char* table;
    AcDbObjectId tableId;
    const ACHAR* name;
  } cases[] = {
      {"block", db.blockTableId(), L"*Model_Space"},
      {"block", db.blockTableId(), L"*paper_space"},
      {"layer", db.layerTableId(), L"0"},
      {"linetype", db.linetypeTableId(), L"ByLayer"},
      {"linetype", db.linetypeTableId(), L"BYBLOCK"},
      {"linetype", db.linetypeTableId(), L"Continuous"},
      {"style", db.textStyleTableId(), L"Standard"},
      {"appid", db.regAppTableId(), L"ACAD"},
      {"vport", db.viewportTableId(), L"*Active"},
      {"dimstyle", db.dimStyleTableId(), L"Standard"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.table);
    AcDbSymbolTable* table = nullptr;
    ASSERT_EQ(acdbOpenObject(table, c.tableId, AcDb::kForRead), Acad::eOk);
    EXPECT_TRUE(table->has(c.name));
    table->close();
  }
  AcDbDictionary* root = nullptr;
  ASSERT_EQ(db.getNamedObjectsDictionary(root), Acad::eOk);
  AcDbObjectId groups;
  EXPECT_EQ(root->getAt(L"ACAD_GROUP", groups), Acad::eOk);
  EXPECT_EQ(groups, db.groupDictionaryId());
  root->close();
  EXPECT_FALSE(db.clayer().isNull());
  AcDbDatabase empty(/*buildDefaultDrawing=*/false);
  EXPECT_TRUE(empty.blockTableId().isNull());
}

TEST(DefaultDrawing, NewEntitiesTakeTheCurrentLayerAndOwner) {
  AcDbDatabase db;
  AcDbObjectId id = addLine(db);
  AcDbEntity* line = nullptr;
  ASSERT_EQ(acdbOpenAcDbEntity(line, id, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(line->ownerId(), db.modelSpaceId());
  EXPECT_EQ(line->layerId(), db.clayer());
  ACHAR* layer = line->layer();
  EXPECT_STREQ(layer, L"0");
  delete[] layer;
  line->close();
}

}  // namespace
