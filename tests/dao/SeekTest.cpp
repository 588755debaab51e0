// Seek on table-type recordsets: the comparisons on multi-field indexes, missing
// keys as Null, case-insensitive text keys, and the errors around it.
#include "DaoTestSupport.h"

using namespace daotest;

namespace {

struct Row {
  long a;
  const wchar_t* b;  // nullptr = Null
};

class SeekOnAB : public testing::Test {
 protected:
  void SetUp() override {
    db.Create(dir.database("seek.mdb"));
    makeTable(db, L"T", {{L"A", dbLong, 0}, {L"B", dbText, 10}},
              {{L"IX", {{L"A", false}, {L"B", false}}, true}});
    rs.Open(dbOpenTable, L"T");
    for (const Row& r : {Row{1, L"x"}, Row{1, L"y"}, Row{2, nullptr}, Row{3, L"z"}}) {
      rs.AddNew();
      rs.SetFieldValue(L"A", COleVariant(r.a));
      rs.SetFieldValue(L"B", r.b ? COleVariant(r.b) : nullValue());
      rs.Update();
    }
    rs.SetCurrentIndex(L"IX");
  }

  // The current record as "a,b" (b "-" when Null).
  CString current() {
    COleVariant a = rs.GetFieldValue(L"A"), b = rs.GetFieldValue(L"B");
    CString s;
    s.Format(L"%d,%s", a.lVal, b.vt == VT_NULL ? L"-" : b.bstrVal);
    return s;
  }

  ScratchDir dir;
  CDaoDatabase db;
  CDaoRecordset rs{&db};
};

TEST_F(SeekOnAB, ComparisonsFindTheDocumentedRecords) {
  struct Case {
    const wchar_t* op;
    std::vector<COleVariant> keys;
    const wchar_t* found;  // nullptr = no match
  };
  const Case cases[] = {
      {L"=", {COleVariant(1L), COleVariant(L"x")}, L"1,x"},
      {L"=", {COleVariant(1L), COleVariant(L"X")}, L"1,x"},
      {L"=", {COleVariant(1L), COleVariant(L"x  ")}, L"1,x"},  // trailing blanks do not count
      {L"=", {COleVariant(1L)}, nullptr},                      // B missing means B is Null
      {L"=", {COleVariant(2L)}, L"2,-"},
      {L">=", {COleVariant(1L)}, L"1,x"},
      {L">", {COleVariant(1L), COleVariant(L"x")}, L"1,y"},
      {L"<", {COleVariant(3L), COleVariant(L"z")}, L"2,-"},
      {L"<=", {COleVariant(9L)}, L"3,z"},
      {L"=", {COleVariant(4L), COleVariant(L"q")}, nullptr},
      {L">", {COleVariant(3L), COleVariant(L"z")}, nullptr},
      {L"<", {COleVariant(1L), COleVariant(L"x")}, nullptr},
      {L"<=", {COleVariant(1L), COleVariant(L"x")}, L"1,x"},
      {L">=", {COleVariant(2L), COleVariant(L"a")}, L"3,z"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    std::vector<COleVariant> keys = c.keys;
    BOOL found = rs.Seek(c.op, keys.data(), static_cast<WORD>(keys.size()));
    ASSERT_EQ(found != FALSE, c.found != nullptr);
    if (c.found) {
      EXPECT_STREQ(current(), c.found);
    } else {
      EXPECT_EQ(daoError([&] { rs.GetFieldValue(L"A"); }), 3021);
    }
  }
}

TEST_F(SeekOnAB, SeekForms) {
  COleVariant one(1L), y(L"Y");
  EXPECT_TRUE(rs.Seek(L"=", &one, &y));
  EXPECT_STREQ(current(), L"1,y");
  rs.MoveNext();
  EXPECT_STREQ(current(), L"2,-");
}

TEST_F(SeekOnAB, SeekErrors) {
  COleVariant key(1L);
  CString msg;
  EXPECT_EQ(daoError([&] { rs.Seek(L"==", &key); }), 3001);
  COleVariant bad(L"not a number");
  EXPECT_EQ(daoError([&] { rs.Seek(L"=", &bad); }), 3464);
  EXPECT_EQ(daoError([&] { rs.SetCurrentIndex(L"NoSuch"); }, &msg), 3015);
  EXPECT_STREQ(msg,
               L"'NoSuch' is not an index in this table.  Look in the Indexes collection of the "
               L"TableDef object "
               L"to determine the valid index names.");

  CDaoRecordset noIndex(&db);
  noIndex.Open(dbOpenTable, L"T");
  EXPECT_EQ(daoError([&] { noIndex.Seek(L"=", &key); }, &msg), 3019);
  EXPECT_STREQ(msg, L"Operation invalid without a current index.");

  CDaoRecordset snap(&db);
  snap.Open(dbOpenSnapshot, L"SELECT * FROM T");
  EXPECT_EQ(daoError([&] { snap.Seek(L"=", &key); }), 3251);
}

TEST(SeekDescending, DescendingFieldsAndNullsFollowTheIndexOrder) {
  ScratchDir dir;
  CDaoDatabase db;
  db.Create(dir.database("desc.mdb"));
  makeTable(db, L"T", {{L"G", dbText, 5}, {L"N", dbLong, 0}},
            {{L"GN", {{L"G", false}, {L"N", true}}}});
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"T");
  struct In {
    const wchar_t* g;
    long n;
    bool nullN;
  } rows[] = {
      {L"b", 1, false}, {L"a", 5, false}, {L"B", 3, false}, {L"a", 0, true}, {L"a", 9, false}};
  for (const auto& r : rows) {
    rs.AddNew();
    rs.SetFieldValue(L"G", COleVariant(r.g));
    rs.SetFieldValue(L"N", r.nullN ? nullValue() : COleVariant(r.n));
    rs.Update();
  }
  rs.SetCurrentIndex(L"GN");
  // G ascending without case; N descending, Null after every number.
  const wchar_t* expected[] = {L"a9", L"a5", L"a-", L"b3", L"b1"};
  auto key = [&] {
    COleVariant g = rs.GetFieldValue(L"G"), n = rs.GetFieldValue(L"N");
    CString s(CString(g.bstrVal).MakeLower());
    if (n.vt == VT_NULL)
      s += L"-";
    else
      s.AppendFormat(L"%d", n.lVal);
    return s;
  };
  int i = 0;
  for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) EXPECT_STREQ(key(), expected[i++]);
  EXPECT_EQ(i, 5);
  i = 5;
  for (rs.MoveLast(); !rs.IsBOF(); rs.MovePrev()) EXPECT_STREQ(key(), expected[--i]);
  EXPECT_EQ(i, 0);

  COleVariant a(L"A"), four(4L);
  ASSERT_TRUE(rs.Seek(L">=", &a, &four));  // after a5 in this order comes a-, not a9
  EXPECT_STREQ(key(), L"a-");
  ASSERT_TRUE(rs.Seek(L"<", &a, &four));
  EXPECT_STREQ(key(), L"a5");
}

}  // namespace
