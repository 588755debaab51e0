// Xrecords: the data chain kept item for item, the codes refused, and the binary copy.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>

#include "acutads.h"
#include "dbxrecrd.h"

namespace {

// A chain of one buffer per code, filled by `fill`.
struct Chain {
  resbuf* head = nullptr;
  resbuf** tail = &head;
  ~Chain() { acutRelRb(head); }
  resbuf* add(int code) {
    resbuf* rb = acutNewRb(code);
    *tail = rb;
    tail = &rb->rbnext;
    return rb;
  }
};

void fillSample(Chain& chain) {
  chain.add(1)->resval.rstring = acutNewString(L"text");
  chain.add(40)->resval.rreal = 2.5;
  resbuf* point = chain.add(10);
  point->resval.rpoint[0] = 1;
  point->resval.rpoint[1] = 2;
  point->resval.rpoint[2] = 3;
  chain.add(70)->resval.rint = -7;
  chain.add(90)->resval.rlong = 70000;
  chain.add(160)->resval.mnInt64 = (static_cast<std::int64_t>(1) << 40) + 5;
  resbuf* bytes = chain.add(310);
  bytes->resval.rbinary.clen = 3;
  bytes->resval.rbinary.buf = static_cast<char*>(std::malloc(3));
  std::memcpy(bytes->resval.rbinary.buf, "\x01\x00\xff", 3);
  chain.add(280)->resval.rint = 1;  // data, not the cloning flag
}

// Checks a chain against the sample, group by group.
void expectSample(const resbuf* rb) {
  const int codes[] = {1, 40, 10, 70, 90, 160, 310, 280};
  for (int code : codes) {
    ASSERT_NE(rb, nullptr) << "missing group " << code;
    EXPECT_EQ(rb->restype, code);
    switch (code) {
      case 1:
        EXPECT_STREQ(rb->resval.rstring, L"text");
        break;
      case 40:
        EXPECT_DOUBLE_EQ(rb->resval.rreal, 2.5);
        break;
      case 10:
        EXPECT_DOUBLE_EQ(rb->resval.rpoint[2], 3);
        break;
      case 70:
        EXPECT_EQ(rb->resval.rint, -7);
        break;
      case 90:
        EXPECT_EQ(rb->resval.rlong, 70000);
        break;
      case 160:
        EXPECT_EQ(rb->resval.mnInt64, (static_cast<std::int64_t>(1) << 40) + 5);
        break;
      case 310:
        ASSERT_EQ(rb->resval.rbinary.clen, 3);
        EXPECT_EQ(std::memcmp(rb->resval.rbinary.buf, "\x01\x00\xff", 3), 0);
        break;
      case 280:
        EXPECT_EQ(rb->resval.rint, 1);
        break;
    }
    rb = rb->rbnext;
  }
  EXPECT_EQ(rb, nullptr);
}

TEST(Xrecords, KeepTheirDataItemForItem) {
  Chain chain;
  fillSample(chain);
  AcDbXrecord record;
  ASSERT_EQ(record.setFromRbChain(*chain.head), Acad::eOk);
  resbuf* out = nullptr;
  ASSERT_EQ(record.rbChain(&out), Acad::eOk);
  expectSample(out);
  acutRelRb(out);
}

TEST(Xrecords, RefuseCodesThatAreNoData) {
  for (int code : {5, 100, 102, 105, 1000, 1001, 1071, -1, 0}) {
    SCOPED_TRACE(code);
    Chain good;
    good.add(1)->resval.rstring = acutNewString(L"kept");
    AcDbXrecord record;
    ASSERT_EQ(record.setFromRbChain(*good.head), Acad::eOk);
    Chain bad;
    bad.add(40)->resval.rreal = 1;
    resbuf* rb = bad.add(code);
    if (code == 5 || code == 100 || code == 102 || code == 105 || code == 1000 || code == 1001 ||
        code == 0)
      rb->resval.rstring = acutNewString(L"x");
    EXPECT_EQ(record.setFromRbChain(*bad.head), Acad::eInvalidInput);
    // Nothing changed.
    resbuf* out = nullptr;
    record.rbChain(&out);
    ASSERT_NE(out, nullptr);
    EXPECT_STREQ(out->resval.rstring, L"kept");
    EXPECT_EQ(out->rbnext, nullptr);
    acutRelRb(out);
  }
}

TEST(Xrecords, CopyThroughTheirBinaryFiling) {
  Chain chain;
  fillSample(chain);
  AcDbXrecord record;
  ASSERT_EQ(record.setFromRbChain(*chain.head), Acad::eOk);
  record.setMergeStyle(AcDb::kDrcReplace);
  record.setXlateReferences(false);
  auto* copy = AcDbXrecord::cast(record.clone());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->mergeStyle(), AcDb::kDrcReplace);
  EXPECT_FALSE(copy->isXlateReferences());
  resbuf* out = nullptr;
  ASSERT_EQ(copy->rbChain(&out), Acad::eOk);
  expectSample(out);
  acutRelRb(out);
  delete copy;
}

}  // namespace
