// Transactions: objects held open, changes undone on abort, new objects gone.
#include <gtest/gtest.h>

#include "dbents.h"
#include "dbgroup.h"
#include "dbsymtb.h"
#include "dbtrans.h"

namespace {

AcDbObjectId addCircle(AcDbDatabase& db, double radius) {
  AcDbBlockTableRecord* space = nullptr;
  acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite);
  AcDbObjectId id;
  auto* circle = new AcDbCircle({0, 0, 0}, AcGeVector3d::kZAxis, radius);
  space->appendAcDbEntity(id, circle);
  circle->close();
  space->close();
  return id;
}

double radiusOf(AcDbObjectId id) {
  AcDbCircle* circle = nullptr;
  if (acdbOpenObject(circle, id, AcDb::kForRead) != Acad::eOk) return -1;
  double r = circle->radius();
  circle->close();
  return r;
}

TEST(Transactions, AbortPutsEveryChangedObjectBack) {
  AcDbDatabase db;
  AcDbObjectId id = addCircle(db, 2.0);
  AcDbTransactionManager* tm = db.transactionManager();
  AcTransaction* t = tm->startTransaction();
  AcDbObject* object = nullptr;
  ASSERT_EQ(t->getObject(object, id, AcDb::kForWrite), Acad::eOk);
  AcDbCircle::cast(object)->setRadius(7.0);
  object->erase();
  ASSERT_EQ(tm->abortTransaction(), Acad::eOk);
  EXPECT_DOUBLE_EQ(radiusOf(id), 2.0);
  EXPECT_FALSE(id.isErased());
}

TEST(Transactions, EndKeepsChangesAndClosesObjects) {
  AcDbDatabase db;
  AcDbObjectId id = addCircle(db, 2.0);
  AcDbTransactionManager* tm = db.transactionManager();
  tm->startTransaction();
  AcDbObject* object = nullptr;
  ASSERT_EQ(tm->getObject(object, id, AcDb::kForWrite), Acad::eOk);
  AcDbCircle::cast(object)->setRadius(3.0);
  // Held by the transaction: a plain open for write is refused until it ends.
  AcDbObject* other = nullptr;
  EXPECT_EQ(acdbOpenObject(other, id, AcDb::kForWrite), Acad::eWasOpenForWrite);
  object->close();  // closing a transaction's object does nothing
  EXPECT_EQ(acdbOpenObject(other, id, AcDb::kForRead), Acad::eWasOpenForWrite);
  ASSERT_EQ(tm->endTransaction(), Acad::eOk);
  EXPECT_DOUBLE_EQ(radiusOf(id), 3.0);
  ASSERT_EQ(acdbOpenObject(other, id, AcDb::kForWrite), Acad::eOk);
  other->close();
  EXPECT_EQ(tm->endTransaction(), Acad::eNoActiveTransactions);
}

TEST(Transactions, AbortRemovesNewObjectsAndTheirPlaceInContainers) {
  AcDbDatabase db;
  AcDbTransactionManager* tm = db.transactionManager();
  tm->startTransaction();
  AcDbObjectId added = addCircle(db, 1.0);
  AcDbLayerTable* layers = nullptr;
  ASSERT_EQ(db.getLayerTable(layers, AcDb::kForWrite), Acad::eOk);
  auto* layer = new AcDbLayerTableRecord;
  layer->setName(L"DUCT");
  ASSERT_EQ(layers->add(layer), Acad::eOk);
  layer->close();
  layers->close();
  ASSERT_EQ(tm->abortTransaction(), Acad::eOk);
  EXPECT_FALSE(added.isValid());
  AcDbObject* gone = nullptr;
  EXPECT_EQ(acdbOpenObject(gone, added, AcDb::kForRead), Acad::eWasErased);
  AcDbBlockTableRecord* space = nullptr;
  ASSERT_EQ(acdbOpenObject(space, db.modelSpaceId(), AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(space->entityIds().length(), 0);
  space->close();
  ASSERT_EQ(db.getLayerTable(layers), Acad::eOk);
  EXPECT_FALSE(layers->has(L"DUCT"));
  layers->close();
}

TEST(Transactions, InnerAbortKeepsOuterChanges) {
  AcDbDatabase db;
  AcDbObjectId id = addCircle(db, 1.0);
  AcDbTransactionManager* tm = db.transactionManager();
  tm->startTransaction();
  AcDbObject* object = nullptr;
  tm->getObject(object, id, AcDb::kForWrite);
  AcDbCircle::cast(object)->setRadius(5.0);
  tm->startTransaction();
  tm->getObject(object, id, AcDb::kForWrite);
  AcDbCircle::cast(object)->setRadius(9.0);
  tm->abortTransaction();
  EXPECT_DOUBLE_EQ(AcDbCircle::cast(object)->radius(), 5.0);
  tm->abortTransaction();
  EXPECT_DOUBLE_EQ(radiusOf(id), 1.0);
}

TEST(Transactions, ExtendedDataAndGroupsComeBackOnAbort) {
  AcDbDatabase db;
  AcDbObjectId id = addCircle(db, 1.0);
  AcDbTransactionManager* tm = db.transactionManager();
  tm->startTransaction();
  AcDbObject* object = nullptr;
  tm->getObject(object, id, AcDb::kForWrite);
  resbuf app{}, value{};
  app.restype = 1001;
  app.resval.rstring = const_cast<ACHAR*>(L"NORVANE");
  app.rbnext = &value;
  value.restype = 1071;
  value.resval.rlong = 12;
  ASSERT_EQ(object->setXData(&app), Acad::eOk);
  EXPECT_TRUE(object->hasXData(L"NORVANE"));
  tm->abortTransaction();
  ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForRead), Acad::eOk);
  EXPECT_FALSE(object->hasXData(L"NORVANE"));
  object->close();
}

}  // namespace
