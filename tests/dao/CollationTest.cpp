// Jet's General sort order: the reference comparisons, agreement between SQL's
// ORDER BY and index traversal, and unique indexes that ignore case and trailing
// blanks.
#include "DaoTestSupport.h"

using namespace daotest;

namespace {

CString quoted(const wchar_t* s) {
  CString q(s);
  q.Replace(L"'", L"''");
  return L"'" + q + L"'";
}

class Collation : public testing::Test {
 protected:
  void SetUp() override {
    db.Create(dir.file("c.mdb"));
    makeTable(db, L"W", {{L"Word", dbText, 40, 0, false, /*allowZeroLength=*/true}},
              {{L"ByWord", {{L"Word", false}}}});
  }
  int compare(const wchar_t* a, const wchar_t* b) {
    CDaoRecordset q(&db);
    q.Open(dbOpenSnapshot, L"SELECT CASE WHEN " + quoted(a) + L" < " + quoted(b) +
                               L" COLLATE JETTEXT THEN -1 WHEN " + quoted(a) + L" = " + quoted(b) +
                               L" COLLATE JETTEXT THEN 0 ELSE 1 END");
    return q.GetFieldValue(0).lVal;
  }
  void fill(const std::vector<const wchar_t*>& words) {
    CDaoRecordset rs(&db);
    rs.Open(dbOpenTable, L"W");
    for (const wchar_t* w : words) {
      rs.AddNew();
      rs.SetFieldValue(L"Word", COleVariant(w));
      rs.Update();
    }
  }
  std::vector<CString> orderBy() {
    std::vector<CString> out;
    CDaoRecordset q(&db);
    q.Open(dbOpenSnapshot, L"SELECT Word FROM W ORDER BY Word");
    for (; !q.IsEOF(); q.MoveNext()) out.push_back(text(q.GetFieldValue(0)));
    return out;
  }
  std::vector<CString> indexOrder() {
    std::vector<CString> out;
    CDaoRecordset rs(&db);
    rs.Open(dbOpenTable, L"W");
    rs.SetCurrentIndex(L"ByWord");
    for (; !rs.IsEOF(); rs.MoveNext()) out.push_back(text(rs.GetFieldValue(0)));
    return out;
  }

  ScratchDir dir;
  CDaoDatabase db;
};

TEST_F(Collation, ReferenceComparisons) {
  struct Case {
    const wchar_t* a;
    const wchar_t* b;
    int sign;
  } cases[] = {
      {L"abc", L"ABC", 0},
      {L"abc", L"abc   ", 0},
      {L"a", L"B", -1},
      {L"resume", L"résumé", -1},
      {L"résumé", L"resumes", -1},
      {L"9", L"10", 1},
      {L" x", L"!x", -1},
      {L"_x", L"1", -1},
      {L"e", L"é", -1},
      {L"é", L"f", -1},
      {L"coop", L"co-op", -1},
      {L"co-op", L"cop", -1},
      {L"can't", L"cant", 1},
      {L"ÉCOLE", L"école", 0},
      {L"z", L"Ω", -1},
      {L"A Bad One  ", L"A Bad One", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    EXPECT_EQ(compare(c.a, c.b), c.sign);
    EXPECT_EQ(compare(c.b, c.a), -c.sign);
  }
}

TEST_F(Collation, OrderByOfTheReferenceSet) {
  fill({L"b", L"A", L"a", L"B", L"1", L"_x"});
  std::vector<CString> got = orderBy();
  ASSERT_EQ(got.size(), 6u);
  EXPECT_STREQ(got[0], L"_x");
  EXPECT_STREQ(got[1], L"1");
  EXPECT_EQ(got[2].CompareNoCase(L"a"), 0);
  EXPECT_EQ(got[3].CompareNoCase(L"a"), 0);
  EXPECT_EQ(got[4].CompareNoCase(L"b"), 0);
  EXPECT_EQ(got[5].CompareNoCase(L"b"), 0);
}

TEST_F(Collation, IndexTraversalAgreesWithOrderBy) {
  fill({L"pear",   L"Apple",  L"apple ", L"ápple", L"Zebra", L"co-op",    L"coop", L"10",
        L"9",      L"  lead", L"!bang",  L"Ärger", L"arg",   L"ZEBRA",    L"zeta", L"résumé",
        L"resume", L"Ω",      L"x-ray",  L"xray",  L"",      L"tab\there"});
  std::vector<CString> a = orderBy(), b = indexOrder();
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    // Records equal in the order may come in either sequence; compare by the order.
    EXPECT_EQ(compare(a[i], b[i]), 0) << i;
    if (i > 0) {
      EXPECT_LE(compare(a[i - 1], a[i]), 0) << i;
    }
  }
}

TEST_F(Collation, UniqueIndexesIgnoreCaseAndTrailingBlanks) {
  makeTable(db, L"U", {{L"K", dbText, 10}}, {{L"UK", {{L"K", false}}, /*unique=*/true}});
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"U");
  rs.AddNew();
  rs.SetFieldValue(L"K", COleVariant(L"abc"));
  rs.Update();
  for (const wchar_t* dup : {L"ABC", L"abc  ", L"Abc"}) {
    rs.AddNew();
    rs.SetFieldValue(L"K", COleVariant(dup));
    EXPECT_EQ(daoError([&] { rs.Update(); }), 3022);
    rs.CancelUpdate();
  }
  rs.AddNew();
  rs.SetFieldValue(L"K", COleVariant(L"abç"));  // an accent makes a different key
  rs.Update();
  EXPECT_EQ(rs.GetRecordCount(), 2);
}

}  // namespace
