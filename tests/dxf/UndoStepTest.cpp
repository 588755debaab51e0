// Undo steps: whatever a step changed (entities made, changed or erased, symbol table
// records, header variables), undoing it gives back the drawing as it was, compared
// through its whole DXF text, handle seed included.
#include <gtest/gtest.h>

#include <functional>

#include "DxfFile.h"
#include "acdb/objects/MemoryDwgFiler.h"
#include "acdb/objects/UndoLog.h"
#include "dbents.h"
#include "dbsymtb.h"

namespace {

using tabrik::acad::beginUndoRecording;
using tabrik::acad::endUndoRecording;
using tabrik::acad::isEmptyStep;
using tabrik::acad::undoStep;
using tabrik::acad::UndoStepPtr;

std::string dxfOf(AcDbDatabase& db) {
  std::string text;
  EXPECT_EQ(tabrik::dxf::writeDrawing(&db, text), Acad::eOk);
  return text;
}

AcDbObjectId append(AcDbDatabase& db, AcDbEntity* entity, AcDbObjectId block = AcDbObjectId()) {
  AcDbBlockTableRecord* space = nullptr;
  EXPECT_EQ(acdbOpenObject(space, block.isNull() ? db.modelSpaceId() : block, AcDb::kForWrite),
            Acad::eOk);
  AcDbObjectId id;
  space->appendAcDbEntity(id, entity);
  entity->close();
  space->close();
  return id;
}

AcDbObjectId addCircle(AcDbDatabase& db, double radius) {
  return append(db, new AcDbCircle({1, 2, 0}, AcGeVector3d::kZAxis, radius));
}

AcDbObjectId addLayer(AcDbDatabase& db, const wchar_t* name) {
  AcDbLayerTable* table = nullptr;
  EXPECT_EQ(db.getLayerTable(table, AcDb::kForWrite), Acad::eOk);
  auto* record = new AcDbLayerTableRecord;
  record->setName(name);
  AcDbObjectId id;
  EXPECT_EQ(table->add(id, record), Acad::eOk);
  record->close();
  table->close();
  return id;
}

void modify(AcDbObjectId id, const std::function<void(AcDbEntity*)>& change) {
  AcDbEntity* entity = nullptr;
  ASSERT_EQ(acdbOpenObject(entity, id, AcDb::kForWrite), Acad::eOk);
  change(entity);
  entity->close();
}

struct Drawing {
  AcDbDatabase db;
  AcDbObjectId circle, line;
  Drawing() {
    circle = addCircle(db, 2.0);
    line = append(db, new AcDbLine({0, 0, 0}, {5, 5, 0}));
  }
};

// Model space read back in place from its own record with the first entity left out:
// the list is replaced as a whole rather than appended to.
void readModelSpaceWithoutFirstEntity(AcDbDatabase& db) {
  AcDbBlockTableRecord* space = nullptr;
  ASSERT_EQ(acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite), Acad::eOk);
  tabrik::acad::MemoryDwgFiler tape(AcDb::kFileFiler, &db);
  space->dwgOutFields(&tape);
  // The record ends with the list's length and then its ids.
  auto& items = tape.items();
  const size_t lengthAt = items.size() - space->entityIds().length() - 1;
  std::get<Adesk::Int32>(items[lengthAt]) -= 1;
  items.erase(items.begin() + static_cast<std::ptrdiff_t>(lengthAt) + 1);
  tape.rewind();
  EXPECT_EQ(space->dwgInFields(&tape), Acad::eOk);
  space->close();
}

struct Case {
  const char* name;
  std::function<void(Drawing&)> change;
};

const Case kCases[] = {
    {"entity appended", [](Drawing& d) { addCircle(d.db, 4.0); }},
    {"entity changed",
     [](Drawing& d) {
       modify(d.circle, [](AcDbEntity* e) { AcDbCircle::cast(e)->setRadius(9.0); });
     }},
    {"entity erased", [](Drawing& d) { modify(d.line, [](AcDbEntity* e) { e->erase(); }); }},
    {"changed twice, then erased",
     [](Drawing& d) {
       modify(d.circle, [](AcDbEntity* e) { AcDbCircle::cast(e)->setRadius(3.0); });
       modify(d.circle, [](AcDbEntity* e) { AcDbCircle::cast(e)->setRadius(4.0); });
       modify(d.circle, [](AcDbEntity* e) { e->erase(); });
     }},
    {"layer made current, entity on it",
     [](Drawing& d) {
       AcDbObjectId layer = addLayer(d.db, L"E-LITE");
       d.db.setClayer(layer);
       addCircle(d.db, 1.0);
     }},
    {"entity appended, then the list replaced without the first",
     [](Drawing& d) {
       addCircle(d.db, 4.0);
       readModelSpaceWithoutFirstEntity(d.db);
     }},
    {"header variables",
     [](Drawing& d) {
       d.db.setLtscale(4.0);
       d.db.setTextsize(7.5);
     }},
    {"block defined and inserted",
     [](Drawing& d) {
       AcDbBlockTable* blocks = nullptr;
       ASSERT_EQ(d.db.getBlockTable(blocks, AcDb::kForWrite), Acad::eOk);
       auto* block = new AcDbBlockTableRecord;
       block->setName(L"SYM");
       AcDbObjectId blockId;
       ASSERT_EQ(blocks->add(blockId, block), Acad::eOk);
       block->close();
       blocks->close();
       append(d.db, new AcDbLine({0, 0, 0}, {1, 0, 0}), blockId);
       append(d.db, new AcDbBlockReference({3, 3, 0}, blockId));
     }},
};

TEST(UndoSteps, UndoingAStepGivesBackTheDrawingItChanged) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Drawing d;
    std::string before = dxfOf(d.db);
    beginUndoRecording(&d.db);
    c.change(d);
    UndoStepPtr step = endUndoRecording(&d.db);
    ASSERT_TRUE(step);
    EXPECT_FALSE(isEmptyStep(*step));
    EXPECT_NE(dxfOf(d.db), before);
    undoStep(&d.db, *step);
    EXPECT_EQ(dxfOf(d.db), before);
    // The drawing goes on as if the step had never been: the same change again
    // gives the same drawing as the first time.
    std::string after;
    {
      Drawing again;
      dxfOf(again.db);  // writing gives the drawing its layouts, as it did above
      c.change(again);
      after = dxfOf(again.db);
    }
    c.change(d);
    EXPECT_EQ(dxfOf(d.db), after);
  }
}

TEST(UndoSteps, StepsUndoneNewestFirstGiveBackTheStart) {
  Drawing d;
  std::string start = dxfOf(d.db);
  std::vector<UndoStepPtr> steps;
  for (const Case& c : kCases) {
    beginUndoRecording(&d.db);
    c.change(d);
    steps.push_back(endUndoRecording(&d.db));
  }
  for (auto step = steps.rbegin(); step != steps.rend(); ++step) undoStep(&d.db, **step);
  EXPECT_EQ(dxfOf(d.db), start);
}

TEST(UndoSteps, ReadingAndNothingChangedMakeAnEmptyStep) {
  Drawing d;
  beginUndoRecording(&d.db);
  AcDbEntity* entity = nullptr;
  ASSERT_EQ(acdbOpenObject(entity, d.circle, AcDb::kForRead), Acad::eOk);
  entity->close();
  UndoStepPtr step = endUndoRecording(&d.db);
  ASSERT_TRUE(step);
  EXPECT_TRUE(isEmptyStep(*step));
  EXPECT_FALSE(endUndoRecording(&d.db));
}

}  // namespace
