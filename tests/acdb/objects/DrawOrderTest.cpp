// The draw-order table of a block: moving entities to the top or bottom, reordering
// some among themselves, what erased entities and entities of other blocks do to it,
// and a draw order as long as a large drawing.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "dbents.h"
#include "dbsymtb.h"
#include "sorttab.h"

namespace {

struct Space {
  AcDbDatabase db;
  std::vector<AcDbObjectId> ids;  // entity i is labelled by the letter 'a' + i
  AcDbObjectId stranger;          // an entity of another block

  explicit Space(int count) {
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite);
    for (int i = 0; i < count; ++i) {
      auto* line = new AcDbLine(AcGePoint3d(i, 0, 0), AcGePoint3d(i, 1, 0));
      AcDbObjectId id;
      space->appendAcDbEntity(id, line);
      line->close();
      ids.push_back(id);
    }
    space->close();
    acdbOpenObject(space, db.paperSpaceId(), AcDb::kForWrite);
    auto* line = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0));
    space->appendAcDbEntity(stranger, line);
    line->close();
    space->close();
  }

  AcDbSortentsTable* table() {
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite);
    AcDbSortentsTable* order = nullptr;
    EXPECT_EQ(space->getSortentsTable(order, AcDb::kForWrite, true), Acad::eOk);
    space->close();
    return order;
  }

  AcDbObjectIdArray pick(const std::string& labels) const {
    AcDbObjectIdArray picked;
    for (char c : labels) picked.append(c == '?' ? stranger : ids[static_cast<size_t>(c - 'a')]);
    return picked;
  }

  std::string labels(const AcDbObjectIdArray& order) const {
    std::string text;
    for (const AcDbObjectId& id : order) {
      char label = '?';
      for (size_t i = 0; i < ids.size(); ++i)
        if (ids[i] == id) label = static_cast<char>('a' + i);
      text += label;
    }
    return text;
  }

  void erase(char label) {
    AcDbObject* object = nullptr;
    acdbOpenObject(object, ids[static_cast<size_t>(label - 'a')], AcDb::kForWrite);
    object->erase();
    object->close();
  }
};

TEST(DrawOrder, MovesKeepEveryEntityOnce) {
  using Move = std::function<Acad::ErrorStatus(Space&, AcDbSortentsTable*)>;
  const struct {
    const char* name;
    Move move;
    Acad::ErrorStatus status;
    const char* order;
  } cases[] = {
      {"untouched", [](Space&, AcDbSortentsTable*) { return Acad::eOk; }, Acad::eOk, "abcde"},
      {"to the top", [](Space& s, AcDbSortentsTable* t) { return t->moveToTop(s.pick("bd")); },
       Acad::eOk, "acebd"},
      {"to the bottom",
       [](Space& s, AcDbSortentsTable* t) { return t->moveToBottom(s.pick("ec")); }, Acad::eOk,
       "ecabd"},
      {"top then bottom",
       [](Space& s, AcDbSortentsTable* t) {
         t->moveToTop(s.pick("a"));
         return t->moveToBottom(s.pick("d"));
       },
       Acad::eOk, "dbcea"},
      {"reordered among themselves",
       [](Space& s, AcDbSortentsTable* t) { return t->setRelativeDrawOrder(s.pick("eb")); },
       Acad::eOk, "aecdb"},
      {"an entity of another block is refused",
       [](Space& s, AcDbSortentsTable* t) { return t->moveToTop(s.pick("a?")); },
       Acad::eInvalidInput, "abcde"},
      {"an erased entity drops out and cannot be moved",
       [](Space& s, AcDbSortentsTable* t) {
         s.erase('c');
         return t->moveToBottom(s.pick("c"));
       },
       Acad::eInvalidInput, "abde"},
      {"an entity erased after a move drops out",
       [](Space& s, AcDbSortentsTable* t) {
         Acad::ErrorStatus status = t->moveToTop(s.pick("ab"));
         s.erase('a');
         return status;
       },
       Acad::eOk, "cdeb"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Space space(5);
    AcDbSortentsTable* table = space.table();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(c.move(space, table), c.status);
    AcDbObjectIdArray order;
    EXPECT_EQ(table->getFullDrawOrder(order), Acad::eOk);
    EXPECT_EQ(space.labels(order), c.order);
    table->close();
  }
}

// Moving half of a large block to the top and reading the order back touch every
// entity a few times; with a search per entity this would not finish.
TEST(DrawOrder, LargeBlockKeepsEveryEntityOnce) {
  constexpr int kCount = 200000;
  Space space(kCount);
  AcDbSortentsTable* table = space.table();
  ASSERT_NE(table, nullptr);
  AcDbObjectIdArray odd;
  for (int i = 1; i < kCount; i += 2) odd.append(space.ids[static_cast<size_t>(i)]);
  ASSERT_EQ(table->moveToTop(odd), Acad::eOk);
  AcDbObjectIdArray order;
  ASSERT_EQ(table->getFullDrawOrder(order), Acad::eOk);
  ASSERT_EQ(order.length(), kCount);
  EXPECT_EQ(order[0], space.ids[0]);
  EXPECT_EQ(order[kCount / 2 - 1], space.ids[kCount - 2]);
  EXPECT_EQ(order[kCount / 2], space.ids[1]);
  EXPECT_EQ(order[kCount - 1], space.ids[kCount - 1]);
  table->close();
}

}  // namespace
