// The annotative flag and layer plot style names through DXF: what is set before a
// save is what the drawing read back reports, and a second save writes the same file.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "DxfFile.h"
#include "acutads.h"
#include "dbAnnotativeObjectPE.h"
#include "dbents.h"
#include "dblead.h"
#include "dbmtext.h"
#include "dbsymtb.h"

namespace {

AcDbAnnotativeObjectPE* extensionOf(const AcDbObject* object) {
  return AcDbAnnotativeObjectPE::cast(object->queryX(AcDbAnnotativeObjectPE::desc()));
}

AcDbObjectId appendToModelSpace(AcDbDatabase& db, AcDbEntity* entity) {
  AcDbBlockTableRecord* space = nullptr;
  acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite);
  AcDbObjectId id;
  space->appendAcDbEntity(id, entity);
  entity->close();
  space->close();
  return id;
}

AcDbObjectId addBlock(AcDbDatabase& db, const ACHAR* name) {
  AcDbBlockTable* blocks = nullptr;
  db.getBlockTable(blocks, AcDb::kForWrite);
  auto* block = new AcDbBlockTableRecord;
  block->setName(name);
  AcDbObjectId id;
  blocks->add(id, block);
  block->close();
  blocks->close();
  return id;
}

// The first entity of model space of that class.
AcDbObjectId nthOfClass(AcDbDatabase& db, AcRxClass* cls) {
  AcDbBlockTableRecord* space = nullptr;
  acdbOpenObject(space, db.modelSpaceId(), AcDb::kForRead);
  std::unique_ptr<AcDbBlockTableRecordIterator> it;
  AcDbBlockTableRecordIterator* raw = nullptr;
  space->newIterator(raw);
  it.reset(raw);
  AcDbObjectId found;
  for (; found.isNull() && !it->done(); it->step()) {
    AcDbObjectId id;
    it->getEntityId(id);
    if (id.objectClass()->isDerivedFrom(cls)) found = id;
  }
  space->close();
  return found;
}

bool annotative(AcDbObjectId id) {
  AcDbObject* object = nullptr;
  if (acdbOpenObject(object, id, AcDb::kForRead) != Acad::eOk) return false;
  AcDbAnnotativeObjectPE* pe = extensionOf(object);
  bool on = pe != nullptr && pe->annotative(object);
  object->close();
  return on;
}

TEST(DxfAnnotative, FlagsSurviveTheFileAndOnlyAnnotatableClassesTakeThem) {
  const struct Case {
    const char* name;
    AcRxClass* cls;
    std::function<AcDbEntity*(AcDbDatabase&)> make;
    bool hasExtension;
  } cases[] = {
      {"text", AcDbText::desc(),
       [](AcDbDatabase&) {
         return new AcDbText({0, 0, 0}, L"t");
       },
       true},
      {"mtext", AcDbMText::desc(),
       [](AcDbDatabase&) {
         auto* text = new AcDbMText;
         text->setContents(L"m");
         return text;
       },
       true},
      {"leader", AcDbLeader::desc(),
       [](AcDbDatabase&) {
         auto* leader = new AcDbLeader;
         leader->appendVertex({0, 0, 0});
         leader->appendVertex({5, 5, 0});
         return leader;
       },
       true},
      {"line", AcDbLine::desc(),
       [](AcDbDatabase&) {
         return new AcDbLine({0, 0, 0}, {1, 0, 0});
       },
       false},
      {"circle", AcDbCircle::desc(),
       [](AcDbDatabase&) {
         return new AcDbCircle({0, 0, 0}, AcGeVector3d::kZAxis, 1);
       },
       false},
      {"block reference", AcDbBlockReference::desc(),
       [](AcDbDatabase& db) {
         return new AcDbBlockReference({0, 0, 0}, addBlock(db, L"Ref"));
       },
       false},
  };
  for (bool on : {true, false}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.name << (on ? " on" : " off"));
      AcDbDatabase db;
      AcDbEntity* entity = c.make(db);
      AcDbAnnotativeObjectPE* pe = extensionOf(entity);
      ASSERT_EQ(pe != nullptr, c.hasExtension);
      AcDbObjectId id = appendToModelSpace(db, entity);
      if (pe != nullptr) {
        AcDbEntity* open = nullptr;
        ASSERT_EQ(acdbOpenObject(open, id, AcDb::kForRead), Acad::eOk);
        // Read-open objects are refused.
        EXPECT_EQ(pe->setAnnotative(open, true), Acad::eNotOpenForWrite);
        ASSERT_EQ(open->upgradeOpen(), Acad::eOk);
        ASSERT_EQ(pe->setAnnotative(open, true), Acad::eOk);
        if (!on) {
          ASSERT_EQ(pe->setAnnotative(open, false), Acad::eOk);
        }
        EXPECT_EQ(pe->annotative(open), on);
        open->close();
      }
      std::string text;
      ASSERT_EQ(tabrik::dxf::writeDrawing(&db, text), Acad::eOk);
      EXPECT_EQ(text.find("AnnotativeData") != std::string::npos, on && c.hasExtension);
      AcDbDatabase read(/*buildDefaultDrawing=*/false);
      ASSERT_EQ(tabrik::dxf::readDrawing(&read, text), Acad::eOk);
      AcDbObjectId again = nthOfClass(read, c.cls);
      ASSERT_FALSE(again.isNull());
      EXPECT_EQ(annotative(again), on && c.hasExtension);
      std::string second;
      ASSERT_EQ(tabrik::dxf::writeDrawing(&read, second), Acad::eOk);
      EXPECT_EQ(second, text);
    }
  }
}

// Block definitions carry the flag on their record; data of the application in another
// shape reads as off.
TEST(DxfAnnotative, BlockDefinitionsAndForeignData) {
  AcDbDatabase db;
  AcDbObjectId blockId = addBlock(db, L"Mark");
  AcDbObjectId otherId = addBlock(db, L"Odd");
  AcDbBlockTableRecord* block = nullptr;
  ASSERT_EQ(acdbOpenObject(block, blockId, AcDb::kForWrite), Acad::eOk);
  ASSERT_NE(extensionOf(block), nullptr);
  ASSERT_EQ(extensionOf(block)->setAnnotative(block, true), Acad::eOk);
  block->close();
  ASSERT_EQ(acdbOpenObject(block, otherId, AcDb::kForWrite), Acad::eOk);
  resbuf* odd = acutBuildList(1001, L"AcadAnnotative", 1000, L"AnnotativeData", 1070, 2, 0);
  ASSERT_EQ(block->setXData(odd), Acad::eOk);
  acutRelRb(odd);
  block->close();
  std::string text;
  ASSERT_EQ(tabrik::dxf::writeDrawing(&db, text), Acad::eOk);
  AcDbDatabase read(/*buildDefaultDrawing=*/false);
  ASSERT_EQ(tabrik::dxf::readDrawing(&read, text), Acad::eOk);
  AcDbBlockTable* blocks = nullptr;
  ASSERT_EQ(read.getBlockTable(blocks, AcDb::kForRead), Acad::eOk);
  AcDbObjectId mark, other;
  blocks->getAt(L"Mark", mark);
  blocks->getAt(L"Odd", other);
  blocks->close();
  EXPECT_TRUE(annotative(mark));
  EXPECT_FALSE(annotative(other));
}

TEST(DxfAnnotative, LayerPlotStyleNamesSurviveTheFile) {
  const struct Case {
    const ACHAR* layer;
    const ACHAR* style;  // null: never set
    const ACHAR* read;
  } cases[] = {
      {L"Walls", L"Thick", L"Thick"},       {L"Roof", L"thick", L"Thick"},
      {L"Doors", L"Screened", L"Screened"}, {L"Plain", nullptr, L"Normal"},
      {L"Named", L"Normal", L"Normal"},
  };
  AcDbDatabase db;
  AcDbLayerTable* layers = nullptr;
  ASSERT_EQ(db.getLayerTable(layers, AcDb::kForWrite), Acad::eOk);
  for (const Case& c : cases) {
    auto* layer = new AcDbLayerTableRecord;
    layer->setName(c.layer);
    ASSERT_EQ(layers->add(layer), Acad::eOk);
    if (c.style != nullptr) {
      ASSERT_EQ(layer->setPlotStyleName(c.style), Acad::eOk);
    }
    layer->close();
  }
  layers->close();
  std::string text;
  ASSERT_EQ(tabrik::dxf::writeDrawing(&db, text), Acad::eOk);
  for (int round = 0; round < 2; ++round) {
    AcDbDatabase read(/*buildDefaultDrawing=*/false);
    ASSERT_EQ(tabrik::dxf::readDrawing(&read, text), Acad::eOk);
    ASSERT_EQ(read.getLayerTable(layers, AcDb::kForRead), Acad::eOk);
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "round " << round << ", layer " << c.layer);
      AcDbLayerTableRecord* layer = nullptr;
      ASSERT_EQ(layers->getAt(c.layer, layer, AcDb::kForRead), Acad::eOk);
      std::unique_ptr<ACHAR[]> name(layer->plotStyleName());
      EXPECT_STREQ(name.get(), c.read);
      layer->close();
    }
    layers->close();
    std::string again;
    ASSERT_EQ(tabrik::dxf::writeDrawing(&read, again), Acad::eOk);
    EXPECT_EQ(again, text);
    text = again;
  }
}

}  // namespace
