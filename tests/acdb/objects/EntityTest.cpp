// Entities: transforms, grips, block references, faces, text measurement, 2D
// polyline fitting and what each draws.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "dbents.h"
#include "dbmtext.h"
#include "dbsymtb.h"
#include "tabrik/GiRecorder.h"

namespace {

constexpr double kPi = std::numbers::pi;

void expectPoint(const AcGePoint3d& p, double x, double y, double z = 0) {
  EXPECT_NEAR(p.x, x, 1e-9);
  EXPECT_NEAR(p.y, y, 1e-9);
  EXPECT_NEAR(p.z, z, 1e-9);
}

AcDbObjectId appendTo(AcDbObjectId blockId, AcDbEntity* entity) {
  AcDbBlockTableRecord* block = nullptr;
  acdbOpenObject(block, blockId, AcDb::kForWrite);
  AcDbObjectId id;
  block->appendAcDbEntity(id, entity);
  entity->close();
  block->close();
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

TEST(Entities, TransformsKeepShapesOrRefuse) {
  AcDbCircle circle({1, 0, 0}, AcGeVector3d::kZAxis, 2);
  ASSERT_EQ(circle.transformBy(AcGeMatrix3d::scaling(3)), Acad::eOk);
  expectPoint(circle.center(), 3, 0);
  EXPECT_DOUBLE_EQ(circle.radius(), 6);
  AcGeMatrix3d squash;
  squash.entry[1][1] = 0.5;
  EXPECT_EQ(circle.transformBy(squash), Acad::eCannotScaleNonUniformly);
  AcDbArc arc({0, 0, 0}, 1, 0, kPi / 2);
  ASSERT_EQ(arc.transformBy(AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis)), Acad::eOk);
  EXPECT_NEAR(arc.startAngle(), kPi / 2, 1e-12);
  EXPECT_NEAR(arc.endAngle(), kPi, 1e-12);
  // Mirrored in x = 0 the quarter from 90 to 180 degrees becomes the one from 0 to 90.
  ASSERT_EQ(arc.transformBy(AcGeMatrix3d::mirroring(AcGePlane({0, 0, 0}, {1, 0, 0}))), Acad::eOk);
  AcGePoint3d s, e;
  arc.getStartPoint(s);
  arc.getEndPoint(e);
  expectPoint(s, 1, 0);
  expectPoint(e, 0, 1);
}

TEST(Entities, LineGripsAndStretchPoints) {
  AcDbLine line({0, 0, 0}, {4, 0, 0});
  AcGePoint3dArray grips;
  AcDbIntArray modes, ids;
  line.getGripPoints(grips, modes, ids);
  ASSERT_EQ(grips.length(), 3);
  expectPoint(grips[1], 2, 0);
  line.moveGripPointsAt(AcDbIntArray{1}, {0, 1, 0});  // the middle grip moves the line
  expectPoint(line.startPoint(), 0, 1);
  expectPoint(line.endPoint(), 4, 1);
  line.moveStretchPointsAt(AcDbIntArray{1, 1}, {1, 0, 0});  // index given twice moves once
  expectPoint(line.endPoint(), 5, 1);
}

TEST(Entities, BlockReferencePlacesItsBlock) {
  AcDbDatabase db;
  AcDbObjectId blockId = addBlock(db, L"ARROW");
  appendTo(blockId, new AcDbLine({0, 0, 0}, {1, 0, 0}));
  auto* reference = new AcDbBlockReference({10, 10, 0}, blockId);
  reference->setRotation(kPi / 2);
  reference->setScaleFactors(AcGeScale3d(2));
  AcDbObjectId refId = appendTo(db.modelSpaceId(), reference);
  AcDbBlockReference* opened = nullptr;
  ASSERT_EQ(acdbOpenObject(opened, refId, AcDb::kForRead), Acad::eOk);
  AcDbExtents extents;
  ASSERT_EQ(opened->getGeomExtents(extents), Acad::eOk);
  expectPoint(extents.minPoint(), 10, 10);
  expectPoint(extents.maxPoint(), 10, 12);
  AcDbVoidPtrArray pieces;
  ASSERT_EQ(opened->explode(pieces), Acad::eOk);
  ASSERT_EQ(pieces.length(), 1);
  auto* line = AcDbLine::cast(static_cast<AcDbEntity*>(pieces[0]));
  ASSERT_NE(line, nullptr);
  expectPoint(line->startPoint(), 10, 10);
  expectPoint(line->endPoint(), 10, 12);
  delete line;
  // The block transform carries block coordinates to the drawing.
  expectPoint(opened->blockTransform() * AcGePoint3d(1, 0, 0), 10, 12);
  AcDbLine crossing({0, 11, 0}, {20, 11, 0});
  AcGePoint3dArray points;
  opened->intersectWith(&crossing, AcDb::kOnBothOperands, points);
  ASSERT_EQ(points.length(), 1);
  expectPoint(points[0], 10, 11);
  opened->close();
}

TEST(Entities, EmptyOrSelfReferencingBlocksHaveNoExtents) {
  AcDbDatabase db;
  AcDbObjectId empty = addBlock(db, L"EMPTY");
  AcDbBlockReference reference({0, 0, 0}, empty);
  AcDbExtents extents;
  EXPECT_EQ(reference.getGeomExtents(extents), Acad::eInvalidExtents);
  AcDbObjectId loop = addBlock(db, L"LOOP");
  appendTo(loop, new AcDbBlockReference({1, 0, 0}, loop));
  AcDbBlockReference outer({0, 0, 0}, loop);
  EXPECT_EQ(outer.getGeomExtents(extents), Acad::eInvalidExtents);  // ends, without a crash
  tabrik::acad::GiRecorder recorder;
  outer.worldDraw(&recorder);
  EXPECT_TRUE(recorder.primitives().empty());
}

TEST(Entities, FacesDrawOnlyVisibleEdges) {
  AcDbFace face({0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0});
  ASSERT_EQ(face.makeEdgeInvisibleAt(1), Acad::eOk);
  EXPECT_EQ(face.makeEdgeInvisibleAt(4), Acad::eInvalidIndex);
  bool visible = true;
  face.isEdgeVisibleAt(1, visible);
  EXPECT_FALSE(visible);
  tabrik::acad::GiRecorder recorder;
  face.worldDraw(&recorder);
  ASSERT_EQ(recorder.primitives().size(), 3u);
  for (const auto& p : recorder.primitives()) {
    // No drawn edge runs from (1,0) to (1,1).
    EXPECT_FALSE(p.points[0].isEqualTo({1, 0, 0}) && p.points[1].isEqualTo({1, 1, 0}));
  }
}

TEST(Entities, MTextDirectionAndRotation) {
  AcDbMText text;
  text.setRotation(kPi / 6);
  EXPECT_NEAR(text.direction().x, std::cos(kPi / 6), 1e-12);
  EXPECT_NEAR(text.rotation(), kPi / 6, 1e-12);
  EXPECT_EQ(text.setDirection({0, 0, 5}), Acad::eInvalidInput);  // along the normal
  ASSERT_EQ(text.setDirection({-1, -1, 0}), Acad::eOk);
  EXPECT_NEAR(text.rotation(), 5 * kPi / 4, 1e-12);
}

TEST(Entities, TwoDPolylineFittingAndStraightening) {
  AcDbDatabase db;
  AcGePoint3dArray points{{0, 0, 0}, {10, 10, 0}, {20, 0, 0}};
  AcDbObjectId id = appendTo(db.modelSpaceId(), new AcDb2dPolyline(AcDb::k2dSimplePoly, points));
  AcDb2dPolyline* poly = nullptr;
  ASSERT_EQ(acdbOpenObject(poly, id, AcDb::kForWrite), Acad::eOk);
  auto countVertices = [&] {
    int n = 0;
    AcDbObjectIterator* it = poly->vertexIterator();
    for (; !it->done(); it->step()) ++n;
    delete it;
    return n;
  };
  EXPECT_EQ(countVertices(), 3);
  ASSERT_EQ(poly->curveFit(), Acad::eOk);
  EXPECT_EQ(poly->polyType(), AcDb::k2dFitCurvePoly);
  EXPECT_EQ(countVertices(), 5);  // a fit vertex between each pair
  AcGePoint3d start, end;
  poly->getStartPoint(start);
  poly->getEndPoint(end);
  expectPoint(start, 0, 0);
  expectPoint(end, 20, 0);
  ASSERT_EQ(poly->splineFit(), Acad::eOk);
  EXPECT_EQ(poly->polyType(), AcDb::k2dCubicSplinePoly);
  poly->getEndPoint(end);
  expectPoint(end, 20, 0);  // a clamped spline ends at its last control point
  ASSERT_EQ(poly->straighten(), Acad::eOk);
  EXPECT_EQ(poly->polyType(), AcDb::k2dSimplePoly);
  EXPECT_EQ(countVertices(), 3);
  double length = 0, endParam = 0;
  poly->getEndParam(endParam);
  poly->getDistAtParam(endParam, length);
  EXPECT_NEAR(length, 2 * std::sqrt(200.0), 1e-9);
  poly->close();
}

TEST(Entities, DrawingRecordsLayerAndColour) {
  AcDbDatabase db;
  AcDbObjectId lineId = appendTo(db.modelSpaceId(), new AcDbLine({0, 0, 0}, {1, 1, 0}));
  AcDbEntity* line = nullptr;
  acdbOpenAcDbEntity(line, lineId, AcDb::kForWrite);
  line->setColorIndex(3);
  tabrik::acad::GiRecorder recorder;
  recorder.geometry().draw(line);
  ASSERT_EQ(recorder.primitives().size(), 1u);
  EXPECT_EQ(recorder.primitives()[0].color, 3);
  EXPECT_EQ(recorder.primitives()[0].layer, db.clayer());
  line->close();
}

}  // namespace

// Points: what each transform does to position, normal and thickness, in one table.
TEST(Entities, PointsFollowTransforms) {
  struct Case {
    const char* what;
    AcGeMatrix3d transform;
    AcGePoint3d position;
    AcGeVector3d normal;
    double thickness;
  };
  const Case cases[] = {
      {"moved", AcGeMatrix3d::translation({1, -2, 3}), {2, 0, 3}, {0, 0, 1}, 2},
      {"scaled by 3", AcGeMatrix3d::scaling(3), {3, 6, 0}, {0, 0, 1}, 6},
      {"turned about X",
       AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kXAxis),
       {1, 0, 2},
       {0, -1, 0},
       2},
      {"mirrored in z = 0",
       AcGeMatrix3d::mirroring(AcGePlane({0, 0, 0}, {0, 0, 1})),
       {1, 2, 0},
       {0, 0, -1},
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AcDbPoint point({1, 2, 0});
    ASSERT_EQ(point.setThickness(2), Acad::eOk);
    ASSERT_EQ(point.transformBy(c.transform), Acad::eOk);
    expectPoint(point.position(), c.position.x, c.position.y, c.position.z);
    AcGeVector3d n = point.normal();
    expectPoint(AcGePoint3d(n.x, n.y, n.z), c.normal.x, c.normal.y, c.normal.z);
    EXPECT_NEAR(point.thickness(), c.thickness, 1e-9);
  }
}

TEST(Entities, PointExtentsGripsSnapsAndDrawing) {
  AcDbPoint point({4, 5, 6});
  AcDbExtents extents;
  ASSERT_EQ(point.getGeomExtents(extents), Acad::eOk);
  expectPoint(extents.minPoint(), 4, 5, 6);
  expectPoint(extents.maxPoint(), 4, 5, 6);
  // A thickness sweeps the extents along the normal.
  point.setThickness(-3);
  AcDbExtents swept;
  ASSERT_EQ(point.getGeomExtents(swept), Acad::eOk);
  expectPoint(swept.minPoint(), 4, 5, 3);
  expectPoint(swept.maxPoint(), 4, 5, 6);
  tabrik::acad::GiRecorder recorder;
  point.worldDraw(&recorder);
  ASSERT_EQ(recorder.primitives().size(), 1u);
  ASSERT_EQ(recorder.primitives()[0].points.size(), 2u);
  expectPoint(recorder.primitives()[0].points[1], 4, 5, 3);
  point.setThickness(0);

  AcGePoint3dArray grips;
  AcDbIntArray modes, ids;
  ASSERT_EQ(point.getGripPoints(grips, modes, ids), Acad::eOk);
  ASSERT_EQ(grips.length(), 1);
  ASSERT_EQ(point.moveGripPointsAt(AcDbIntArray{0}, {1, 1, 1}), Acad::eOk);
  expectPoint(point.position(), 5, 6, 7);
  ASSERT_EQ(point.moveStretchPointsAt(AcDbIntArray{1}, {1, 1, 1}), Acad::eOk);  // no such point
  expectPoint(point.position(), 5, 6, 7);

  AcGePoint3dArray snaps;
  ASSERT_EQ(
      point.getOsnapPoints(AcDb::kOsModeNode, 0, {0, 0, 0}, {0, 0, 0}, AcGeMatrix3d(), snaps, ids),
      Acad::eOk);
  ASSERT_EQ(snaps.length(), 1);
  expectPoint(snaps[0], 5, 6, 7);
  snaps.removeAll();
  point.getOsnapPoints(AcDb::kOsModeEnd, 0, {0, 0, 0}, {0, 0, 0}, AcGeMatrix3d(), snaps, ids);
  EXPECT_EQ(snaps.length(), 0);

  EXPECT_EQ(point.setNormal({0, 0, 0}), Acad::eInvalidInput);
  EXPECT_EQ(point.setThickness(std::nan("")), Acad::eInvalidInput);
}

TEST(Entities, PointCopiesEveryField) {
  AcDbPoint point({1, 2, 3});
  point.setThickness(1.5);
  point.setNormal({0, 2, 0});
  point.setEcsRotation(0.25);
  auto* copy = AcDbPoint::cast(point.clone());
  ASSERT_NE(copy, nullptr);
  expectPoint(copy->position(), 1, 2, 3);
  EXPECT_DOUBLE_EQ(copy->thickness(), 1.5);
  expectPoint(AcGePoint3d(copy->normal().x, copy->normal().y, copy->normal().z), 0, 1, 0);
  EXPECT_DOUBLE_EQ(copy->ecsRotation(), 0.25);
  delete copy;
}
