// Random sequences of appends, edits, deletes, moves and seeks on an indexed table,
// checked after every step against a plain model of the index order (a sorted
// vector). The model knows only DAO's rules: index order with Null first ascending
// and last descending, ties in insertion order, BOF/EOF at the ends, a deleted
// record keeping its place until the cursor moves.
#include <algorithm>
#include <optional>
#include <random>

#include "DaoTestSupport.h"

using namespace daotest;

namespace {

struct Rec {
  long id;
  std::optional<long> code;
};

struct Model {
  bool descending;
  std::vector<Rec> recs;  // insertion order

  // Strict order of (code, id) along the index.
  bool before(const Rec& a, const Rec& b) const {
    if (a.code != b.code) {
      if (!a.code) return !descending;
      if (!b.code) return descending;
      return descending ? *a.code > *b.code : *a.code < *b.code;
    }
    return a.id < b.id;
  }
  std::vector<Rec> ordered() const {
    std::vector<Rec> v = recs;
    std::stable_sort(v.begin(), v.end(), [&](const Rec& a, const Rec& b) { return before(a, b); });
    return v;
  }
  // The first record after (forward) or last before `at` in index order.
  std::optional<Rec> step(const Rec& at, bool forward) const {
    std::vector<Rec> v = ordered();
    if (forward) {
      for (const Rec& r : v)
        if (before(at, r)) return r;
    } else {
      for (auto it = v.rbegin(); it != v.rend(); ++it)
        if (before(*it, at)) return *it;
    }
    return std::nullopt;
  }
};

class ModelCheck : public testing::TestWithParam<bool> {};

TEST_P(ModelCheck, RandomOperationsFollowTheIndexOrder) {
  const bool descending = GetParam();
  ScratchDir dir;
  CDaoDatabase db;
  db.Create(dir.database("model.mdb"));
  makeTable(db, L"M", {{L"ID", dbLong, 0, dbAutoIncrField}, {L"Code", dbLong, 0}},
            {{L"ByCode", {{L"Code", descending}}}});
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"M");
  rs.SetCurrentIndex(L"ByCode");

  Model model{descending, {}};
  std::optional<Rec> current;  // the record the cursor is on (perhaps deleted)
  bool bof = true, eof = true, deleted = false;
  long nextId = 1;
  std::mt19937 rng(descending ? 7 : 11);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  auto randomCode = [&]() -> std::optional<long> {
    if (pick(8) == 0) return std::nullopt;
    return pick(12);
  };
  auto variantOf = [](std::optional<long> c) { return c ? COleVariant(*c) : nullValue(); };

  for (int op = 0; op < 1500; ++op) {
    SCOPED_TRACE(testing::Message() << "operation " << op);
    int kind = pick(9);
    if (kind <= 1 || model.recs.empty()) {  // append
      std::optional<long> code = randomCode();
      rs.AddNew();
      rs.SetFieldValue(L"Code", variantOf(code));
      rs.Update();
      model.recs.push_back({nextId++, code});
      if (bof && eof) bof = false;
    } else if (kind == 2) {  // edit the current record's code
      if (!current || deleted) {
        EXPECT_NE(daoError([&] { rs.Edit(); }), 0);
        continue;
      }
      std::optional<long> code = randomCode();
      rs.Edit();
      rs.SetFieldValue(L"Code", variantOf(code));
      rs.Update();
      for (Rec& r : model.recs)
        if (r.id == current->id) r.code = code;
      current->code = code;
    } else if (kind == 3) {  // delete
      if (!current || deleted) {
        EXPECT_NE(daoError([&] { rs.Delete(); }), 0);
        continue;
      }
      rs.Delete();
      model.recs.erase(std::remove_if(model.recs.begin(), model.recs.end(),
                                      [&](const Rec& r) { return r.id == current->id; }),
                       model.recs.end());
      deleted = true;
    } else if (kind <= 6) {  // MoveNext / MovePrev
      bool forward = kind != 6;
      if (bof && eof) {
        EXPECT_EQ(daoError([&] { forward ? rs.MoveNext() : rs.MovePrev(); }), 3021);
        continue;
      }
      if (forward ? eof : bof) {
        EXPECT_EQ(daoError([&] { forward ? rs.MoveNext() : rs.MovePrev(); }), 3021);
        continue;
      }
      std::optional<Rec> target;
      if (current) {
        target = model.step(*current, forward);
      } else {
        std::vector<Rec> v = model.ordered();
        if (!v.empty()) target = forward ? v.front() : v.back();
      }
      forward ? rs.MoveNext() : rs.MovePrev();
      deleted = false;
      current = target;
      if (!target) {
        if (forward)
          eof = true;
        else
          bof = true;
      } else {
        bof = eof = false;
      }
    } else if (kind == 7) {  // MoveFirst / MoveLast
      bool first = pick(2) == 0;
      if (bof && eof) {
        EXPECT_EQ(daoError([&] { first ? rs.MoveFirst() : rs.MoveLast(); }), 3021);
        continue;
      }
      first ? rs.MoveFirst() : rs.MoveLast();
      std::vector<Rec> v = model.ordered();
      deleted = false;
      if (v.empty()) {
        current.reset();
        bof = eof = true;
      } else {
        current = first ? v.front() : v.back();
        bof = eof = false;
      }
    } else {  // Seek ">=" on a code: the first record whose code is not before it
      long key = pick(12);
      COleVariant k(key);
      BOOL found = rs.Seek(L">=", &k);
      std::optional<Rec> target;
      for (const Rec& r : model.ordered()) {
        Rec probe{0, key};  // id 0 sorts before every record with this code
        if (!model.before(r, probe)) {
          target = r;
          break;
        }
      }
      ASSERT_EQ(found != FALSE, target.has_value());
      deleted = false;
      current = target;
      if (target) {
        bof = eof = false;
      } else {
        bof = false;
        eof = true;
      }
    }

    ASSERT_EQ(rs.IsBOF() != FALSE, bof);
    ASSERT_EQ(rs.IsEOF() != FALSE, eof);
    ASSERT_EQ(rs.GetRecordCount(), static_cast<long>(model.recs.size()));
    if (current && !deleted) {
      ASSERT_EQ(rs.GetFieldValue(L"ID").lVal, current->id);
      COleVariant code = rs.GetFieldValue(L"Code");
      ASSERT_EQ(code.vt == VT_NULL, !current->code.has_value());
      if (current->code) {
        ASSERT_EQ(code.lVal, *current->code);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Directions, ModelCheck, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "Descending" : "Ascending";
                         });

}  // namespace
