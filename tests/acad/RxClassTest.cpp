#include <gtest/gtest.h>

#include "rxboiler.h"
#include "rxdict.h"

namespace {

class TestShape : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(TestShape);
};
class TestCircle : public TestShape {
 public:
  ACRX_DECLARE_MEMBERS(TestCircle);
};

}  // namespace

ACRX_NO_CONS_DEFINE_MEMBERS(TestShape, AcRxObject)
ACRX_DXF_DEFINE_MEMBERS(TestCircle, TestShape, 2, 0, 1, TESTCIRCLE, TABRIKTEST)

TEST(RxClass, CastFollowsTheRegisteredHierarchy) {
  TestShape::rxInit();
  TestCircle::rxInit();
  TestCircle circle;
  TestShape shape;
  EXPECT_EQ(TestShape::cast(&circle), &circle);
  EXPECT_EQ(TestCircle::cast(&shape), nullptr);
  EXPECT_EQ(AcRxDictionary::cast(&circle), nullptr);
  EXPECT_TRUE(circle.isKindOf(AcRxObject::desc()));
  EXPECT_STREQ(TestCircle::desc()->dxfName(), L"TESTCIRCLE");
  EXPECT_STREQ(TestCircle::desc()->appName(), L"TABRIKTEST");
  EXPECT_EQ(TestCircle::desc()->myParent(), TestShape::desc());
  AcRxObject* made = TestCircle::desc()->create();
  ASSERT_NE(TestCircle::cast(made), nullptr);
  delete made;
}

TEST(RxClass, ClassNeedsARegisteredParentAndAFreeName) {
  EXPECT_EQ(newAcRxClass(L"Orphan", L"NoSuchParent"), nullptr);
  AcRxClass* first = newAcRxClass(L"Twice", L"AcRxObject");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(newAcRxClass(L"Twice", L"AcRxObject"), nullptr);
  deleteAcRxClass(first);
  EXPECT_EQ(acrxClassDictionary->at(L"Twice"), nullptr);
}
