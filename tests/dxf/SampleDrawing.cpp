// The sample drawing of the drawing-file tests.
#include "SampleDrawing.h"

#include <gtest/gtest.h>

#include <numbers>

#include "acutads.h"
#include "dbdict.h"
#include "dbents.h"
#include "dbgroup.h"
#include "dblead.h"
#include "dbmtext.h"
#include "dbpl.h"
#include "dbsymtb.h"
#include "rxboiler.h"
#include "sorttab.h"

ACRX_DXF_DEFINE_MEMBERS(DxfTestMarker, AcDbCurve, 1, 1, 1, DXFTESTMARKER, TabrikTest)

void registerSampleClasses() {
  static const bool registered = (DxfTestMarker::rxInit(), true);
  (void)registered;
}

namespace {

template <class T>
T* open(AcDbObjectId id) {
  T* object = nullptr;
  EXPECT_EQ(acdbOpenObject(object, id, AcDb::kForWrite), Acad::eOk);
  return object;
}

AcDbObjectId append(AcDbDatabase& db, AcDbEntity* entity,
                    AcDbObjectId space = AcDbObjectId::kNull) {
  auto* block = open<AcDbBlockTableRecord>(space.isNull() ? db.modelSpaceId() : space);
  AcDbObjectId id;
  EXPECT_EQ(block->appendAcDbEntity(id, entity), Acad::eOk);
  entity->close();
  block->close();
  return id;
}

AcDbObjectId addRecord(AcDbObjectId tableId, AcDbSymbolTableRecord* record, const ACHAR* name) {
  auto* table = open<AcDbSymbolTable>(tableId);
  record->setName(name);
  AcDbObjectId id;
  EXPECT_EQ(table->add(id, record), Acad::eOk);
  record->close();
  table->close();
  return id;
}

resbuf* norvaneData() {
  return acutBuildList(1001, L"NORVANE", 1000, L"Size", 1071, 12, 1000, L"Name", 1000, L"Duct A",
                       1000, L"Area", 1040, 1.5, 0);
}

// A drawing with one of everything the host files.
}  // namespace

void buildSampleDrawing(AcDbDatabase& db) {
  auto* dashed = new AcDbLinetypeTableRecord;
  dashed->setComments(L"__ __ __");
  dashed->setNumDashes(2);
  dashed->setDashLengthAt(0, 0.5);
  dashed->setDashLengthAt(1, -0.25);
  dashed->setPatternLength(0.75);
  AcDbObjectId dashedId = addRecord(db.linetypeTableId(), dashed, L"DASHED");
  auto* duct = new AcDbLayerTableRecord;
  AcCmColor blue;
  blue.setColorIndex(5);
  duct->setColor(blue);
  duct->setLinetypeObjectId(dashedId);
  AcDbObjectId ductLayer = addRecord(db.layerTableId(), duct, L"DUCT");
  auto* notesStyle = new AcDbTextStyleTableRecord;
  notesStyle->setFileName(L"arial.ttf");
  AcDbObjectId notes = addRecord(db.textStyleTableId(), notesStyle, L"NOTES");

  auto* line = new AcDbLine({0, 0, 0}, {10, 5, 0});
  line->setDatabaseDefaults(&db);
  line->setLayer(ductLayer);
  AcDbObjectId lineId = append(db, line);
  line = open<AcDbLine>(lineId);
  resbuf* data = norvaneData();
  EXPECT_EQ(line->setXData(data), Acad::eOk);
  acutRelRb(data);
  line->close();

  AcDbObjectId circleId = append(db, new AcDbCircle({5, 5, 0}, AcGeVector3d::kZAxis, 2.5));
  append(db, new AcDbArc({20, 0, 0}, 4.0, 0.0, std::numbers::pi / 2));
  auto* tilted = new AcDbCircle({1, 2, 3}, {0, 1, 1}, 1.25);
  tilted->setColorIndex(1);
  append(db, tilted);

  auto* pline = new AcDbPolyline;
  pline->addVertexAt(0, {0, 0});
  pline->addVertexAt(1, {10, 0}, 1.0);
  pline->addVertexAt(2, {10, 10});
  pline->setClosed(true);
  append(db, pline);

  AcGePoint3dArray path{{0, 20, 0}, {5, 25, 0}, {10, 20, 0}, {15, 25, 0}};
  auto* poly2d = new AcDb2dPolyline(AcDb::k2dSimplePoly, path);
  AcDbObjectId poly2dId = append(db, poly2d);
  poly2d = open<AcDb2dPolyline>(poly2dId);
  EXPECT_EQ(poly2d->curveFit(), Acad::eOk);
  poly2d->close();

  auto* mtext = new AcDbMText;
  std::wstring contents = L"Supply duct caf\u00e9\\PSecond paragraph ";
  while (contents.size() < 600) contents += L"word ";
  mtext->setContents(contents.c_str());
  mtext->setLocation({30, 30, 0});
  mtext->setWidth(40);
  mtext->setTextStyle(notes);
  mtext->setAttachment(AcDbMText::kMiddleCenter);
  mtext->setRotation(std::numbers::pi / 6);
  append(db, mtext);

  auto* text = new AcDbText({0, -10, 0}, L"Plain ^ text", notes, 2.0, 0.5);
  append(db, text);

  // Block TAG: a circle and an attribute definition.
  auto* tag = new AcDbBlockTableRecord;
  AcDbObjectId tagId = addRecord(db.blockTableId(), tag, L"TAG");
  append(db, new AcDbCircle({0, 0, 0}, AcGeVector3d::kZAxis, 1.0), tagId);
  append(db, new AcDbAttributeDefinition({0, 0, 0}, L"?", L"NUM", L"Number"), tagId);
  auto* insert = new AcDbBlockReference({40, 0, 0}, tagId);
  insert->setRotation(std::numbers::pi / 4);
  insert->setScaleFactors(AcGeScale3d(2.0));
  AcDbObjectId insertId = append(db, insert);
  insert = open<AcDbBlockReference>(insertId);
  auto* attribute = new AcDbAttribute({40, 0, 0}, L"42", L"NUM");
  EXPECT_EQ(insert->appendAttribute(attribute), Acad::eOk);
  attribute->close();
  insert->close();

  append(db, new AcDbFace({0, 0, 0}, {1, 0, 0}, {1, 1, 1}, {0, 1, 1}, true, false, true, true));
  auto* leader = new AcDbLeader;
  leader->appendVertex({50, 50, 0});
  leader->appendVertex({55, 55, 0});
  leader->appendVertex({60, 55, 0});
  append(db, leader);

  auto* viewport = new AcDbViewport;
  viewport->setCenterPoint({100, 100, 0});
  viewport->setWidth(200);
  viewport->setHeight(150);
  AcDbObjectIdArray frozen{ductLayer};
  viewport->freezeLayersInViewport(frozen);
  append(db, viewport, db.paperSpaceId());

  auto* marker = new DxfTestMarker;
  marker->a.set(30, -2, 0);
  marker->b.set(40, 10, 0);
  marker->offset = 2.0;
  append(db, marker);

  AcDbDictionary* groups = nullptr;
  db.getGroupDictionary(groups, AcDb::kForWrite);
  auto* group = new AcDbGroup(L"Line and circle");
  AcDbObjectId groupId;
  groups->setAt(L"NV_PAIR", group, groupId);
  group->append(lineId);
  group->append(circleId);
  group->close();
  groups->close();

  auto* space = open<AcDbBlockTableRecord>(db.modelSpaceId());
  AcDbSortentsTable* order = nullptr;
  EXPECT_EQ(space->getSortentsTable(order, AcDb::kForWrite, /*createIfNecessary=*/true), Acad::eOk);
  AcDbObjectIdArray top{lineId};
  order->moveToTop(top);
  order->close();
  space->close();
  db.setDimscale(48.0);
}
