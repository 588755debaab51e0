// The duct solid's bodies measured against volumes and extents computed by hand:
// prisms and tapers of every section shape, elbows, booleans where bodies overlap,
// touch or share faces, refusals that leave the solid unchanged, and drawing files
// (binary and DXF) that keep every body.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "DxfFile.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "solid/HvacSolid.h"
#include "tabrik/DrawingFiling.h"

using tabrik::solid::HvacSolid;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The world frame turned so that the axis runs along +x, width along +y, height +z.
const AcGeVector3d kAlongX[3] = {AcGeVector3d(1, 0, 0), AcGeVector3d(0, 1, 0),
                                 AcGeVector3d(0, 0, 1)};
const AcGeVector3d kAlongY[3] = {AcGeVector3d(0, 1, 0), AcGeVector3d(-1, 0, 0),
                                 AcGeVector3d(0, 0, 1)};

void expectExtents(const HvacSolid& solid, const AcGePoint3d& min, const AcGePoint3d& max) {
  AcDbExtents extents;
  ASSERT_EQ(solid.getGeomExtents(extents), Acad::eOk);
  EXPECT_NEAR(extents.minPoint().distanceTo(min), 0, 1e-6)
      << extents.minPoint().x << " " << extents.minPoint().y << " " << extents.minPoint().z;
  EXPECT_NEAR(extents.maxPoint().distanceTo(max), 0, 1e-6)
      << extents.maxPoint().x << " " << extents.maxPoint().y << " " << extents.maxPoint().z;
}

double ovalArea(double w, double h) {
  const double r = std::min(w, h) / 2;
  return kPi * r * r + (std::max(w, h) - 2 * r) * 2 * r;
}

struct SweepCase {
  const char* name;
  bool startRect;
  double w1, h1;
  bool endRect;
  double w2, h2;
  double length;
  double volume;
  AcGePoint3d min, max;
};

TEST(HvacSolid, SweptSectionsHaveTheirVolumesAndExtents) {
  const double l = 10;
  const SweepCase cases[] = {
      {"box", true, 4, 2, true, 4, 2, l, 4 * 2 * l, {0, -2, -1}, {l, 2, 1}},
      {"round", false, 4, 4, false, 4, 4, l, kPi * 4 * l, {0, -2, -2}, {l, 2, 2}},
      {"flat oval", false, 6, 2, false, 6, 2, l, ovalArea(6, 2) * l, {0, -3, -1}, {l, 3, 1}},
      {"upright oval", false, 2, 6, false, 2, 6, l, ovalArea(2, 6) * l, {0, -1, -3}, {l, 1, 3}},
      // A ruled taper's section area is quadratic along the axis: the prismatoid rule.
      {"rectangular taper",
       true,
       8,
       4,
       true,
       4,
       2,
       l,
       l / 6 * (32 + 8 + 4 * 6 * 3),
       {0, -4, -2},
       {l, 4, 2}},
      {"round taper",
       false,
       6,
       6,
       false,
       2,
       2,
       l,
       kPi * l / 3 * (9 + 3 + 1),
       {0, -3, -3},
       {l, 3, 3}},
  };
  for (const SweepCase& c : cases) {
    SCOPED_TRACE(c.name);
    HvacSolid solid;
    ASSERT_TRUE(solid.addTransition(AcGePoint3d(0, 0, 0), c.startRect, c.w1, c.h1,
                                    AcGePoint3d(c.length, 0, 0), c.endRect, c.w2, c.h2, kAlongX,
                                    kAlongX, 7));
    EXPECT_NEAR(solid.volume(), c.volume, 1e-6 * c.volume);
    expectExtents(solid, c.min, c.max);
  }
}

TEST(HvacSolid, FramesPlaceTheSection) {
  // Width across y for a duct along x; across -x for a duct along y.
  HvacSolid alongY;
  ASSERT_TRUE(alongY.addTransition(AcGePoint3d(5, 0, 0), true, 4, 2, AcGePoint3d(5, 10, 0), true, 4,
                                   2, kAlongY, kAlongY, 0));
  expectExtents(alongY, AcGePoint3d(3, 0, -1), AcGePoint3d(7, 10, 1));
  // A round-to-rectangle taper lofts edge to edge into a closed body.
  HvacSolid mixed;
  ASSERT_TRUE(mixed.addTransition(AcGePoint3d(0, 0, 0), false, 4, 4, AcGePoint3d(6, 0, 0), true, 4,
                                  4, kAlongX, kAlongX, 0));
  EXPECT_GT(mixed.volume(), kPi * 4 * 6);
  EXPECT_LT(mixed.volume(), 16 * 6);
  expectExtents(mixed, AcGePoint3d(0, -2, -2), AcGePoint3d(6, 2, 2));
}

TEST(HvacSolid, RefusedBodiesLeaveTheSolidAsItWas) {
  const AcGeVector3d parallel[3] = {AcGeVector3d(1, 0, 0), AcGeVector3d(2, 0, 0),
                                    AcGeVector3d(0, 0, 1)};
  const AcGeVector3d zero[3] = {AcGeVector3d(0, 0, 0), AcGeVector3d(0, 1, 0),
                                AcGeVector3d(0, 0, 1)};
  struct Refusal {
    const char* name;
    AcGePoint3d end;
    double width, height;
    const AcGeVector3d* frame;
  } refusals[] = {
      {"zero length", AcGePoint3d(0, 0, 0), 4, 2, kAlongX},
      {"zero width", AcGePoint3d(10, 0, 0), 0, 2, kAlongX},
      {"negative height", AcGePoint3d(10, 0, 0), 4, -2, kAlongX},
      {"not a number", AcGePoint3d(kNaN, 0, 0), 4, 2, kAlongX},
      {"infinite size", AcGePoint3d(10, 0, 0), HUGE_VAL, 2, kAlongX},
      {"width along the axis", AcGePoint3d(10, 0, 0), 4, 2, parallel},
      {"zero axis", AcGePoint3d(10, 0, 0), 4, 2, zero},
      {"no frame", AcGePoint3d(10, 0, 0), 4, 2, nullptr},
  };
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(r.name);
    HvacSolid solid;
    ASSERT_TRUE(solid.addTransition(AcGePoint3d(20, 0, 0), true, 1, 1, AcGePoint3d(21, 0, 0), true,
                                    1, 1, kAlongX, kAlongX, 0));
    EXPECT_FALSE(solid.addTransition(AcGePoint3d(0, 0, 0), true, r.width, r.height, r.end, true,
                                     r.width, r.height, r.frame, r.frame, 0));
    EXPECT_FALSE(solid.subtractTransition(AcGePoint3d(0, 0, 0), true, r.width, r.height, r.end,
                                          true, r.width, r.height, r.frame, r.frame, 0));
    EXPECT_EQ(solid.bodyCount(), 1);
    EXPECT_NEAR(solid.volume(), 1.0, 1e-9);
  }
  HvacSolid empty;
  EXPECT_FALSE(empty.sliceLast(AcGePoint3d(0, 0, 0), AcGePoint3d(0, 1, 0), AcGePoint3d(0, 0, 1),
                               AcGePoint3d(1, 0, 0)));
  AcDbExtents extents;
  EXPECT_EQ(empty.getGeomExtents(extents), Acad::eInvalidExtents);
}

// Boxes that overlap, touch along a face, or cut through: the union and the subtraction
// stay exact.
TEST(HvacSolid, BooleansStayExactWhereBoxesOverlapTouchOrShareFaces) {
  struct BooleanCase {
    const char* name;
    double secondStart, secondEnd;  // second 4x2 box along x
    bool subtract;
    double volume;
  } cases[] = {
      {"overlapping union", 6, 16, false, 8 * 16},
      {"face-sharing union", 10, 20, false, 8 * 20},
      {"inside union", 2, 8, false, 8 * 10},
      {"subtraction through the middle", 4, 6, true, 8 * 8},
      {"subtraction of an end", 8, 12, true, 8 * 8},
      {"subtraction touching a face", 10, 12, true, 8 * 10},
  };
  for (const BooleanCase& c : cases) {
    SCOPED_TRACE(c.name);
    HvacSolid solid;
    ASSERT_TRUE(solid.addTransition(AcGePoint3d(0, 0, 0), true, 4, 2, AcGePoint3d(10, 0, 0), true,
                                    4, 2, kAlongX, kAlongX, 0));
    if (c.subtract) {
      ASSERT_TRUE(solid.subtractTransition(AcGePoint3d(c.secondStart, 0, 0), true, 4, 2,
                                           AcGePoint3d(c.secondEnd, 0, 0), true, 4, 2, kAlongX,
                                           kAlongX, 0));
    } else {
      HvacSolid other;
      ASSERT_TRUE(other.addTransition(AcGePoint3d(c.secondStart, 0, 0), true, 4, 2,
                                      AcGePoint3d(c.secondEnd, 0, 0), true, 4, 2, kAlongX, kAlongX,
                                      0));
      ASSERT_TRUE(solid.doUnion(&other));
      EXPECT_EQ(solid.bodyCount(), 1);
    }
    EXPECT_NEAR(solid.volume(), c.volume, 1e-6 * c.volume);
  }
}

TEST(HvacSolid, SliceLastTrimsOnlyTheLastBody) {
  HvacSolid solid;
  ASSERT_TRUE(solid.addTransition(AcGePoint3d(0, 0, 0), true, 4, 2, AcGePoint3d(10, 0, 0), true, 4,
                                  2, kAlongX, kAlongX, 0));
  ASSERT_TRUE(solid.addTransition(AcGePoint3d(0, 20, 0), true, 4, 2, AcGePoint3d(10, 20, 0), true,
                                  4, 2, kAlongX, kAlongX, 0));
  // The plane x = 4, keeping the side of x = 0.
  ASSERT_TRUE(solid.sliceLast(AcGePoint3d(4, 0, 0), AcGePoint3d(4, 1, 0), AcGePoint3d(4, 0, 1),
                              AcGePoint3d(0, 0, 0)));
  EXPECT_NEAR(solid.volume(), 80 + 32, 1e-6);
  // A plane that keeps nothing of it is refused.
  EXPECT_FALSE(solid.sliceLast(AcGePoint3d(-1, 0, 0), AcGePoint3d(-1, 1, 0), AcGePoint3d(-1, 0, 1),
                               AcGePoint3d(-5, 0, 0)));
  EXPECT_NEAR(solid.volume(), 112, 1e-6);
}

TEST(HvacSolid, ElbowsReachTheirEndsAndVolumes) {
  // A 90-degree bend in plan: inlet along +x ending at (20,0,0), outlet up +y.
  struct ElbowCase {
    const char* name;
    bool rect;
    double width, height, ratio;
    double volume;
    double reach;  // distance from the bend's vertex to each moved end
  } cases[] = {
      // Pappus: area times the path of the centroid (radius = ratio x width).
      {"rectangular", true, 4, 2, 1.5, 8 * 6 * kPi / 2, 6},
      {"round", false, 4, 4, 1.0, kPi * 4 * 4 * kPi / 2, 4},
      {"tight", true, 4, 2, 0.501, 8 * 2.004 * kPi / 2, 2.004},
  };
  for (const ElbowCase& c : cases) {
    SCOPED_TRACE(c.name);
    HvacSolid solid;
    AcGePoint3d inlet(0, 0, 0), outlet(20, 30, 0);
    ASSERT_TRUE(solid.addRadiusElbow(inlet, c.width, c.height, 0, 0, outlet, c.width, c.height,
                                     kAlongX, kAlongY, c.rect, c.ratio, true, 3, true));
    EXPECT_NEAR(solid.volume(), c.volume, 1e-6 * c.volume);
    EXPECT_NEAR(inlet.distanceTo(AcGePoint3d(20 - c.reach, 0, 0)), 0, 1e-9);
    EXPECT_NEAR(outlet.distanceTo(AcGePoint3d(20, c.reach, 0)), 0, 1e-9);
  }
  // Bends that cannot be formed: parallel axes, skew axes, a radius that folds the
  // inner wall.
  AcGePoint3d inlet(0, 0, 0), outlet(20, 30, 5);
  HvacSolid solid;
  EXPECT_FALSE(solid.addRadiusElbow(inlet, 4, 2, 0, 0, outlet, 4, 2, kAlongX, kAlongY, true, 1.5,
                                    true, 0, true));
  outlet.set(20, 30, 0);
  EXPECT_FALSE(solid.addRadiusElbow(inlet, 4, 2, 0, 0, outlet, 4, 2, kAlongX, kAlongX, true, 1.5,
                                    true, 0, true));
  EXPECT_FALSE(solid.addRadiusElbow(inlet, 4, 2, 0, 0, outlet, 4, 2, kAlongX, kAlongY, true, 0.5,
                                    true, 0, true));
  EXPECT_EQ(solid.bodyCount(), 0);
  EXPECT_EQ(inlet, AcGePoint3d(0, 0, 0));
}

TEST(HvacSolid, SquareElbowLegsMeetAtTheThroat) {
  HvacSolid solid;
  AcGePoint3d inlet(0, 0, 0), outlet(20, 30, 0);
  AcGePoint3d inletCorners[8], outletCorners[8];
  ASSERT_TRUE(solid.addSquareElbowPrep(inlet, 4, 2, outlet, 4, 2, kAlongX, kAlongY, true,
                                       inletCorners, outletCorners, true, 3.0));
  // Each end lies the collar beyond half the other leg's width.
  EXPECT_NEAR(inlet.distanceTo(AcGePoint3d(15, 0, 0)), 0, 1e-9);
  EXPECT_NEAR(outlet.distanceTo(AcGePoint3d(20, 5, 0)), 0, 1e-9);
  ASSERT_TRUE(solid.addSquareElbow(inlet, 4, 2, outlet, 4, 2, kAlongX, kAlongY, true, inletCorners,
                                   outletCorners, 0));
  // Two 4x2 legs of 7, sharing the 4x4x2 corner block.
  EXPECT_NEAR(solid.volume(), 56 + 56 - 32, 1e-6);
  // Segments too short for the fitting: the prep refuses.
  AcGePoint3d nearInlet(18, 0, 0), farOutlet(20, 30, 0);
  EXPECT_FALSE(solid.addSquareElbowPrep(nearInlet, 4, 2, farOutlet, 4, 2, kAlongX, kAlongY, true,
                                        inletCorners, outletCorners, true, 3.0));
  EXPECT_EQ(nearInlet, AcGePoint3d(18, 0, 0));
}

TEST(HvacSolid, SkinIsThePolygonExtrudedByItsThickness) {
  const AcGePoint3d square[] = {AcGePoint3d(0, 0, 0), AcGePoint3d(4, 0, 0), AcGePoint3d(4, 3, 0),
                                AcGePoint3d(0, 3, 0)};
  HvacSolid solid;
  ASSERT_TRUE(solid.addSkin(square, 4, 0.5));
  EXPECT_NEAR(solid.volume(), 6.0, 1e-9);
  expectExtents(solid, AcGePoint3d(0, 0, 0), AcGePoint3d(4, 3, 0.5));
  const AcGePoint3d line[] = {AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0), AcGePoint3d(2, 0, 0)};
  EXPECT_FALSE(solid.addSkin(line, 3, 0.5));
  EXPECT_FALSE(solid.addSkin(square, 2, 0.5));
  EXPECT_FALSE(solid.addSkin(square, 4, 0));
  EXPECT_FALSE(solid.addSkin(nullptr, 4, 1));
  EXPECT_EQ(solid.bodyCount(), 1);
}

TEST(HvacSolid, ExplodesIntoAClosedMeshOfFaces) {
  HvacSolid solid;
  ASSERT_TRUE(solid.addTransition(AcGePoint3d(0, 0, 0), false, 4, 4, AcGePoint3d(10, 0, 0), false,
                                  4, 4, kAlongX, kAlongX, 0));
  AcDbVoidPtrArray pieces;
  ASSERT_EQ(solid.explode(pieces), Acad::eOk);
  ASSERT_GT(pieces.length(), 8);
  // The divergence theorem over the outward triangles gives the enclosed volume, a
  // little less than the exact cylinder's (chords inside the circle).
  double volume = 0;
  for (int i = 0; i < pieces.length(); ++i) {
    auto* face = static_cast<AcDbEntity*>(pieces[i]);
    auto* corners = AcDbFace::cast(face);
    ASSERT_NE(corners, nullptr);
    AcGePoint3d a, b, c;
    corners->getVertexAt(0, a);
    corners->getVertexAt(1, b);
    corners->getVertexAt(2, c);
    volume += (a - AcGePoint3d::kOrigin)
                  .dotProduct((b - AcGePoint3d::kOrigin).crossProduct(c - AcGePoint3d::kOrigin)) /
              6;
    delete face;
  }
  EXPECT_LT(volume, kPi * 4 * 10);
  EXPECT_GT(volume, 0.98 * kPi * 4 * 10);
}

// Drawing files: the solid written to the binary form and to DXF reads back with the
// same bodies.
TEST(HvacSolid, DrawingFilesKeepEveryBody) {
  HvacSolid::rxInit();
  AcDbDatabase db;
  AcDbBlockTable* table = nullptr;
  ASSERT_EQ(db.getBlockTable(table, AcDb::kForRead), Acad::eOk);
  AcDbBlockTableRecord* model = nullptr;
  ASSERT_EQ(table->getAt(ACDB_MODEL_SPACE, model, AcDb::kForWrite), Acad::eOk);
  table->close();
  auto* solid = new HvacSolid();
  ASSERT_TRUE(solid->addTransition(AcGePoint3d(0, 0, 0), false, 6, 2, AcGePoint3d(10, 0, 0), false,
                                   6, 2, kAlongX, kAlongX, 11));
  AcGePoint3d inlet(10, 0, 0), outlet(20, 30, 0);
  ASSERT_TRUE(solid->addRadiusElbow(inlet, 6, 2, 0, 0, outlet, 6, 2, kAlongX, kAlongY, false, 1.5,
                                    true, 12, true));
  const double volume = solid->volume();
  ASSERT_EQ(model->appendAcDbEntity(solid), Acad::eOk);
  const AcDbHandle handle = solid->objectId().handle();
  solid->close();
  model->close();

  auto readBack = [&](AcDbDatabase& read) {
    AcDbObjectId id;
    ASSERT_EQ(read.getAcDbObjectId(id, false, handle), Acad::eOk);
    nv_hvacSolid* back = nullptr;
    ASSERT_EQ(acdbOpenObject(back, id, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(back->bodyCount(), 2);
    EXPECT_NEAR(back->volume(), volume, 1e-6 * volume);
    back->close();
  };
  std::string bytes;
  ASSERT_EQ(tabrik::acad::writeBinaryDrawing(&db, bytes), Acad::eOk);
  AcDbDatabase binary(/*buildDefaultDrawing=*/false);
  ASSERT_EQ(tabrik::acad::readBinaryDrawing(&binary, bytes), Acad::eOk);
  SCOPED_TRACE("binary");
  readBack(binary);

  std::string text;
  ASSERT_EQ(tabrik::dxf::writeDrawing(&db, text), Acad::eOk);
  EXPECT_NE(text.find("NV_HVACSOLID"), std::string::npos);
  AcDbDatabase dxf(/*buildDefaultDrawing=*/false);
  ASSERT_EQ(tabrik::dxf::readDrawing(&dxf, text), Acad::eOk);
  SCOPED_TRACE("DXF");
  readBack(dxf);
}

}  // namespace
