// Arguments and list pairs that name drawing objects: the object-id reader takes only
// names the host can turn into ids, and the entity pair falls back to (name) when
// there is no object.
#include <gtest/gtest.h>

#include "ResbufChain.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "host/ArgReaders.h"
#include "host/ListBuilder.h"

using namespace tabrik::arx;
using namespace tabrik::arx::testing;

namespace {

AcDbObjectId addLine(AcDbDatabase& db) {
  AcDbBlockTableRecord* space = nullptr;
  EXPECT_EQ(acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite), Acad::eOk);
  auto* line = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
  AcDbObjectId id;
  EXPECT_EQ(space->appendAcDbEntity(id, line), Acad::eOk);
  line->close();
  space->close();
  return id;
}

}  // namespace

TEST(EntityValues, ObjectIdReaderTakesOnlyNamesOfObjects) {
  AcDbDatabase db;
  const AcDbObjectId id = addLine(db);
  ads_name name = {0, 0};
  ASSERT_EQ(acdbGetAdsName(name, id), Acad::eOk);

  Chain chain{Name(name[0], name[1]), Name(name[0] + 1, 0), Str(L"x")};
  ArgCursor cursor = chain.head();
  AcDbObjectId read;
  ASSERT_TRUE(readObjectId(cursor, read));
  EXPECT_EQ(read, id);
  EXPECT_EQ(cursor, chain.at(1));
  // A forged name is not read and leaves the cursor where it was.
  EXPECT_FALSE(readObjectId(cursor, read));
  EXPECT_EQ(cursor, chain.at(1));
  skipArgument(cursor);
  EXPECT_FALSE(readObjectId(cursor, read));
  EXPECT_EQ(read, id);
}

TEST(EntityValues, EntityPairNamesTheObjectOrNothing) {
  AcDbDatabase db;
  const AcDbObjectId id = addLine(db);
  ads_name name = {0, 0};
  ASSERT_EQ(acdbGetAdsName(name, id), Acad::eOk);

  ListBuilder builder;
  builder.start();
  builder.addPairEntity(L"Owner", id);
  builder.addPairEntity(L"None", AcDbObjectId());
  EXPECT_EQ(typesOf(builder.head()), (std::vector<short>{RTLB, RTLB, RTSTR, RTDOTE, RTENAME, RTLE,
                                                         RTLB, RTSTR, RTDOTE, RTNIL, RTLE}));
  const resbuf* entity = builder.head()->rbnext->rbnext->rbnext->rbnext;
  EXPECT_EQ(entity->resval.rlname[0], name[0]);
  EXPECT_EQ(entity->resval.rlname[1], name[1]);
}
