// Inserting one drawing into another as a block.
#include <gtest/gtest.h>

#include "acutads.h"
#include "dbents.h"
#include "dbsymtb.h"

namespace {

AcDbObjectId addLayer(AcDbDatabase& db, const ACHAR* name, Adesk::UInt16 color) {
  AcDbLayerTable* layers = nullptr;
  db.getLayerTable(layers, AcDb::kForWrite);
  auto* layer = new AcDbLayerTableRecord;
  layer->setName(name);
  AcCmColor c;
  c.setColorIndex(color);
  layer->setColor(c);
  AcDbObjectId id;
  layers->add(id, layer);
  layer->close();
  layers->close();
  return id;
}

TEST(Insert, ModelSpaceBecomesABlockWithItsLayersAndData) {
  AcDbDatabase source;
  AcDbObjectId symbols = addLayer(source, L"SYMBOLS", 1);
  source.setInsbase({1, 1, 0});
  AcDbBlockTableRecord* space = nullptr;
  acdbOpenObject(space, source.modelSpaceId(), AcDb::kForWrite);
  auto* circle = new AcDbCircle({1, 1, 0}, AcGeVector3d::kZAxis, 0.5);
  circle->setLayer(symbols);
  space->appendAcDbEntity(circle);
  resbuf* data = acutBuildList(1001, L"NORVANE", 1000, L"Tag", 1000, L"A-1", 0);
  circle->setXData(data);
  acutRelRb(data);
  circle->close();
  space->close();

  AcDbDatabase target;
  addLayer(target, L"SYMBOLS", 3);  // the target's own layer of that name wins
  AcDbObjectId blockId;
  ASSERT_EQ(target.insert(blockId, L"BUBBLE", &source), Acad::eOk);
  AcDbBlockTableRecord* block = nullptr;
  ASSERT_EQ(acdbOpenObject(block, blockId, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(block->name(), L"BUBBLE");
  EXPECT_TRUE(block->origin().isEqualTo({1, 1, 0}));
  ASSERT_EQ(block->entityIds().length(), 1);
  AcDbCircle* copy = nullptr;
  ASSERT_EQ(acdbOpenObject(copy, block->entityIds()[0], AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(copy->database(), &target);
  EXPECT_EQ(copy->layerId().database(), &target);
  AcDbLayerTableRecord* layer = nullptr;
  acdbOpenObject(layer, copy->layerId(), AcDb::kForRead);
  EXPECT_EQ(layer->color().colorIndex(), 3);
  layer->close();
  EXPECT_TRUE(copy->hasXData(L"NORVANE"));
  copy->close();
  block->close();
  AcDbRegAppTable* apps = nullptr;
  target.getRegAppTable(apps);
  EXPECT_TRUE(apps->has(L"NORVANE"));
  apps->close();
  AcDbObjectId again;
  EXPECT_EQ(target.insert(again, L"bubble", &source), Acad::eDuplicateRecordName);
}

}  // namespace
