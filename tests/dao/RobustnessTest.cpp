// Any input meets a DAO error or works: random names, statements, paths, values of
// every variant type for every field type, and seek keys. Run under the sanitizers
// this is where a crash or a leak would show.
#include <random>

#include "DaoTestSupport.h"

using namespace daotest;

namespace {

CString randomText(std::mt19937& rng, int maxLength) {
  static const wchar_t kAlphabet[] =
      L"abcXYZ019 _-'\".,;:!?[]()*%#/\\\t\u00e9\u00df\u03a9\u4e2d\U0001F600";
  int n = static_cast<int>(rng() % static_cast<unsigned>(maxLength + 1));
  CString s;
  for (int i = 0; i < n; ++i) s += kAlphabet[rng() % (sizeof kAlphabet / sizeof kAlphabet[0] - 1)];
  return s;
}

COleVariant randomVariant(std::mt19937& rng) {
  switch (rng() % 11) {
    case 0:
      return COleVariant();
    case 1:
      return nullValue();
    case 2:
      return COleVariant(static_cast<short>(rng()));
    case 3:
      return COleVariant(static_cast<long>(static_cast<int>(rng())));
    case 4:
      return COleVariant(static_cast<float>(static_cast<int>(rng())) / 7.0f);
    case 5:
      return COleVariant(static_cast<double>(static_cast<int>(rng())) * 1e10);
    case 6:
      return COleVariant(
          COleDateTime(static_cast<double>(static_cast<int>(rng() % 6000000)) - 3000000.0));
    case 7:
      return COleVariant(static_cast<short>(rng() & 1), VT_BOOL);
    case 8:
      return COleVariant(static_cast<BYTE>(rng()));
    case 9: {
      CY cy;
      cy.int64 = static_cast<long long>(rng()) * 1000003LL;
      return COleVariant(COleCurrency(cy));
    }
    default: {
      std::mt19937 copy = rng;
      return COleVariant(randomText(copy, 300));
    }
  }
}

template <class Body>
void survives(Body body) {
  try {
    body();
  } catch (CException* e) {  // DAO errors and MFC's own: the expected way to fail
    e->Delete();
  }
}

TEST(Robustness, RandomInputsMeetErrorsNotCrashes) {
  ScratchDir dir;
  CDaoDatabase db;
  db.Create(dir.file("r.mdb"));
  makeTable(db, L"T",
            {{L"Flag", dbBoolean, 0},
             {L"B", dbByte, 0},
             {L"I", dbInteger, 0},
             {L"L", dbLong, 0},
             {L"C", dbCurrency, 0},
             {L"S", dbSingle, 0},
             {L"D", dbDouble, 0},
             {L"When", dbDate, 0},
             {L"Name", dbText, 20, 0, false, true},
             {L"Notes", dbMemo, 0, 0, false, true}},
            {{L"IX", {{L"Name", false}, {L"L", true}, {L"When", false}}}});
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"T");
  rs.SetCurrentIndex(L"IX");
  std::mt19937 rng(2024);
  for (int round = 0; round < 400; ++round) {
    SCOPED_TRACE(round);
    survives([&] {
      rs.AddNew();
      for (short f = 0; f < rs.GetFieldCount(); ++f)
        survives([&] { rs.SetFieldValue(f, randomVariant(rng)); });
      rs.Update();
    });
    survives([&] { rs.CancelUpdate(); });
    COleVariant keys[3] = {randomVariant(rng), randomVariant(rng), randomVariant(rng)};
    static const wchar_t* kOps[] = {L"=", L">=", L">", L"<=", L"<", L"!", L""};
    survives([&] { rs.Seek(kOps[rng() % 7], keys, static_cast<WORD>(rng() % 4)); });
    survives([&] { rs.Move(static_cast<long>(rng() % 7) - 3); });
    survives([&] {
      for (short f = 0; f < rs.GetFieldCount(); ++f) rs.GetFieldValue(f);
    });
    if (round % 10 == 0) {
      survives([&] { db.Execute(randomText(rng, 40)); });
      survives([&] { CDaoRecordset(&db).Open(dbOpenSnapshot, randomText(rng, 40)); });
      survives([&] { CDaoRecordset(&db).Open(dbOpenTable, randomText(rng, 10)); });
      survives([&] {
        makeTable(db, randomText(rng, 70),
                  {{randomText(rng, 70), static_cast<short>(rng() % 25),
                    static_cast<long>(rng() % 400)}});
      });
      survives([&] { CDaoDatabase(NULL).Open(randomText(rng, 30)); });
      survives([&] { rs.SetCurrentIndex(randomText(rng, 5)); });
    }
  }
  // The table is still sound and readable end to end.
  rs.MoveFirst();
  long seen = 0;
  for (; !rs.IsEOF(); rs.MoveNext()) ++seen;
  EXPECT_EQ(seen, rs.GetRecordCount());
}

}  // namespace
