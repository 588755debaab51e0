// Result-buffer utilities: building, copying and releasing chains.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <cwchar>

#include "acutads.h"

namespace {

struct ChainDeleter {
  void operator()(resbuf* rb) const { acutRelRb(rb); }
};
using Chain = std::unique_ptr<resbuf, ChainDeleter>;

int chainLength(const resbuf* rb) {
  int n = 0;
  for (; rb != nullptr; rb = rb->rbnext) ++n;
  return n;
}

}  // namespace

TEST(Resbuf, NewRbIsZeroedAndUnlinked) {
  Chain rb(acutNewRb(RTSTR));
  ASSERT_NE(rb, nullptr);
  EXPECT_EQ(rb->restype, RTSTR);
  EXPECT_EQ(rb->rbnext, nullptr);
  EXPECT_EQ(rb->resval.rstring, nullptr);
}

TEST(Resbuf, RelRbReleasesNullAndWholeChains) {
  EXPECT_EQ(acutRelRb(nullptr), RTNORM);
  resbuf* chain = acutBuildList(RTSTR, L"one", RTSTR, L"two", RTLB, RTSHORT, 1, RTLE, 0);
  ASSERT_EQ(chainLength(chain), 5);
  // Under the leak checker, a chain released only in part would be reported.
  EXPECT_EQ(acutRelRb(chain), RTNORM);
}

TEST(Resbuf, BuildListCarriesEveryKindOfValue) {
  ads_point p3 = {1.5, -2.0, 3.25};
  ads_name name = {0x1234, 0x5678};
  Chain chain(acutBuildList(RTSHORT, 7, RTLONG, 100000, RTREAL, 2.5, RTSTR, L"Größe", RT3DPOINT, p3,
                            RTPOINT, p3, RTENAME, name, RTLB, RTNIL, RTT, RTDOTE, RTLE, 0));
  ASSERT_NE(chain, nullptr);
  const resbuf* rb = chain.get();
  EXPECT_EQ(rb->restype, RTSHORT);
  EXPECT_EQ(rb->resval.rint, 7);
  rb = rb->rbnext;
  EXPECT_EQ(rb->restype, RTLONG);
  EXPECT_EQ(rb->resval.rlong, 100000);
  rb = rb->rbnext;
  EXPECT_EQ(rb->restype, RTREAL);
  EXPECT_DOUBLE_EQ(rb->resval.rreal, 2.5);
  rb = rb->rbnext;
  EXPECT_EQ(rb->restype, RTSTR);
  EXPECT_STREQ(rb->resval.rstring, L"Größe");
  rb = rb->rbnext;
  EXPECT_EQ(rb->restype, RT3DPOINT);
  EXPECT_DOUBLE_EQ(rb->resval.rpoint[X], 1.5);
  EXPECT_DOUBLE_EQ(rb->resval.rpoint[Y], -2.0);
  EXPECT_DOUBLE_EQ(rb->resval.rpoint[Z], 3.25);
  rb = rb->rbnext;
  EXPECT_EQ(rb->restype, RTPOINT);
  rb = rb->rbnext;
  EXPECT_EQ(rb->restype, RTENAME);
  EXPECT_EQ(rb->resval.rlname[0], 0x1234);
  EXPECT_EQ(rb->resval.rlname[1], 0x5678);
  const short markers[] = {RTLB, RTNIL, RTT, RTDOTE, RTLE};
  for (short marker : markers) {
    rb = rb->rbnext;
    ASSERT_NE(rb, nullptr);
    EXPECT_EQ(rb->restype, marker);
  }
  EXPECT_EQ(rb->rbnext, nullptr);
}

TEST(Resbuf, BuildListCopiesStrings) {
  wchar_t text[] = L"abc";
  Chain chain(acutBuildList(RTSTR, text, 0));
  text[0] = L'x';
  EXPECT_STREQ(chain->resval.rstring, L"abc");
  EXPECT_NE(chain->resval.rstring, text);
}

TEST(Resbuf, BuildListTakesEntityDataGroupCodes) {
  ads_point p = {1, 2, 3};
  // Group code 0 would end the list: entity data passes it as RTDXF0.
  Chain chain(acutBuildList(RTDXF0, L"LINE", 8, L"WALLS", 10, p, 40, 2.5, 62, 3, 90, 70000, 1000,
                            L"x", 1070, 12, 1071, 123456, 0));
  ASSERT_EQ(chainLength(chain.get()), 9);
  const resbuf* rb = chain.get();
  EXPECT_STREQ(rb->resval.rstring, L"LINE");
  rb = rb->rbnext;
  EXPECT_STREQ(rb->resval.rstring, L"WALLS");
  rb = rb->rbnext;
  EXPECT_DOUBLE_EQ(rb->resval.rpoint[Z], 3.0);
  rb = rb->rbnext;
  EXPECT_DOUBLE_EQ(rb->resval.rreal, 2.5);
  rb = rb->rbnext;
  EXPECT_EQ(rb->resval.rint, 3);
  rb = rb->rbnext;
  EXPECT_EQ(rb->resval.rlong, 70000);
  rb = rb->rbnext;
  EXPECT_STREQ(rb->resval.rstring, L"x");
  rb = rb->rbnext;
  EXPECT_EQ(rb->resval.rint, 12);
  rb = rb->rbnext;
  EXPECT_EQ(rb->resval.rlong, 123456);
}

TEST(Resbuf, BuildListRefusesAnUnknownTypeAndReleasesWhatItBuilt) {
  EXPECT_EQ(acutBuildList(RTSTR, L"kept?", 4999, 1, 0), nullptr);
  EXPECT_EQ(acutBuildList(RT3DPOINT, static_cast<const ads_real*>(nullptr), 0), nullptr);
}

TEST(Resbuf, BuildListOfNothingIsNull) { EXPECT_EQ(acutBuildList(0), nullptr); }

TEST(Resbuf, NewStringIsReleasedWithItsBuffer) {
  resbuf* rb = acutNewRb(RTSTR);
  rb->resval.rstring = acutNewString(L"owned by the buffer");
  EXPECT_STREQ(rb->resval.rstring, L"owned by the buffer");
  acutRelRb(rb);
}

TEST(AcutGeometry, DistanceAngleAndPolar) {
  ads_point a = {1, 1, 0};
  ads_point b = {4, 5, 0};
  EXPECT_DOUBLE_EQ(acutDistance(a, b), 5.0);
  ads_point left = {-1, 0, 0};
  ads_point origin = {0, 0, 0};
  EXPECT_DOUBLE_EQ(acutAngle(origin, left), M_PI);
  ads_point below = {0, -1, 0};
  EXPECT_DOUBLE_EQ(acutAngle(origin, below), 1.5 * M_PI);
  ads_point result;
  ads_point base = {1, 2, 7};
  acutPolar(base, M_PI / 2, 3, result);
  EXPECT_NEAR(result[X], 1.0, 1e-12);
  EXPECT_NEAR(result[Y], 5.0, 1e-12);
  EXPECT_DOUBLE_EQ(result[Z], 7.0);
}

TEST(AcutGeometry, CvUnitConvertsWithinOneDimension) {
  ads_real out = 0;
  EXPECT_EQ(acutCvUnit(1.0, L"inch", L"millimeter", &out), RTNORM);
  EXPECT_NEAR(out, 25.4, 1e-9);
  EXPECT_EQ(acutCvUnit(180.0, L"degree", L"radian", &out), RTNORM);
  EXPECT_NEAR(out, M_PI, 1e-12);
  EXPECT_EQ(acutCvUnit(1.0, L"inch", L"degree", &out), RTERROR);
  EXPECT_EQ(acutCvUnit(1.0, L"furlong", L"inch", &out), RTERROR);
}
