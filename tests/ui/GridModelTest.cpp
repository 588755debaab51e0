// The grid model on its own: hidden columns, sorting, read-only cells, the kinds of
// cells and what a user's edit notifies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/GridModel.h"

namespace {

using tabrik::ui::GridModel;
using tabrik::ui::GridRefusal;

struct Notice {
  UINT code;
  int row;
  int column;
};

// Name | Qty | Done (check) | Kind (combo: Duct, Pipe) | Id (hidden) | Open (button)
class GridModelTest : public ::testing::Test {
 protected:
  void SetUp() override { build(); }

  // A fresh grid with the three rows.
  void build() {
    grid = GridModel();
    notices.clear();
    vetoCode = 0;
    grid.insertColumn(L"Name", GCK_TEXT, 80);
    grid.insertColumn(L"Qty", GCK_TEXT, 40);
    grid.insertColumn(L"Done", GCK_CHECK, 20);
    grid.insertColumn(L"Kind", GCK_COMBO, 60);
    grid.insertColumn(L"Id", GCK_TEXT, 0);
    grid.insertColumn(L"Open", GCK_BUTTON, 20);
    grid.column(4)->hidden = true;
    const wchar_t* rows[][5] = {{L"bolt", L"12", L"1", L"Pipe", L"1"},
                                {L"Anchor", L"3", L"0", L"Duct", L"2"},
                                {L"clip", L"100", L"0", L"Duct", L"3"}};
    for (const auto& values : rows) {
      int row = grid.insertRow(values[0], -1);
      for (int column = 1; column < 5; ++column) grid.setText(row, column, values[column]);
      grid.cell(row, 3)->options = {L"Duct", L"Pipe"};
    }
    grid.setNotifier([this](UINT code, int row, int column) -> LRESULT {
      notices.push_back({code, row, column});
      return code == vetoCode ? 1 : 0;
    });
  }

  std::vector<std::wstring> columnTexts(int column) const {
    std::vector<std::wstring> texts;
    for (int row = 1; row < grid.rowCount(); ++row) texts.push_back(grid.text(row, column));
    return texts;
  }

  GridModel grid;
  std::vector<Notice> notices;
  UINT vetoCode = 0;
};

TEST_F(GridModelTest, HeaderRowAndHiddenColumnsKeepTheirData) {
  EXPECT_EQ(grid.rowCount(), 4);
  EXPECT_EQ(grid.text(0, 1), L"Qty");
  // A hidden column is found by the program but not by what the user sees.
  EXPECT_EQ(grid.findColumn(L"id", /*visibleOnly=*/false), 4);
  EXPECT_EQ(grid.findColumn(L"id", /*visibleOnly=*/true), -1);
  EXPECT_EQ(grid.text(2, 4), L"2");
  EXPECT_EQ(grid.userEdit(2, 4, L"9"), GridRefusal::NoSuchCell);
  EXPECT_EQ(grid.text(2, 4), L"2");
  // Rows are found by their first visible cell, ignoring case.
  EXPECT_EQ(grid.findRow(L"ANCHOR"), 2);
  grid.column(0)->hidden = true;
  EXPECT_EQ(grid.findRow(L"3"), 2);
  EXPECT_EQ(grid.findRow(L"nothing"), 0);
}

TEST_F(GridModelTest, SortingOrdersNumbersByValueAndTextIgnoringCase) {
  struct Case {
    int column;
    bool ascending;
    std::vector<std::wstring> ids;
  };
  const Case cases[] = {
      {0, true, {L"2", L"1", L"3"}},   // Anchor, bolt, clip
      {0, false, {L"3", L"1", L"2"}},  // clip, bolt, Anchor
      {1, true, {L"2", L"1", L"3"}},   // 3, 12, 100: by value, not as text
      {1, false, {L"3", L"1", L"2"}}, {3, true, {L"2", L"3", L"1"}},  // Duct, Duct (stable), Pipe
  };
  for (const Case& c : cases) {
    build();
    grid.setSelectedRow(1);  // bolt
    grid.sort(c.column, c.ascending);
    EXPECT_EQ(columnTexts(4), c.ids) << "column " << c.column << (c.ascending ? " up" : " down");
    // The selection follows its row.
    EXPECT_EQ(grid.text(grid.selectedRow(), 0), L"bolt");
  }
}

TEST_F(GridModelTest, UserEditsFollowTheCellsKindAndReadOnlyState) {
  struct Case {
    int row;
    int column;
    std::wstring text;
    GridRefusal refusal;
    std::wstring after;
  };
  const Case cases[] = {
      {2, 0, L"Hook", GridRefusal::None, L"Hook"},
      {1, 0, L"Nut", GridRefusal::ReadOnly, L"bolt"},
      {2, 3, L"pipe", GridRefusal::None, L"Pipe"},  // an option, as the option is spelt
      {2, 3, L"Wire", GridRefusal::NotAnOption, L"Duct"},
      {2, 2, L"1", GridRefusal::WrongKind, L"0"},  // check cells are ticked, not typed
      {2, 5, L"x", GridRefusal::WrongKind, L""},
      {9, 0, L"x", GridRefusal::NoSuchCell, L""},
  };
  for (const Case& c : cases) {
    build();
    grid.cell(1, 0)->readOnly = true;
    EXPECT_EQ(grid.userEdit(c.row, c.column, c.text), c.refusal) << c.row << "," << c.column;
    EXPECT_EQ(grid.text(c.row, c.column), c.after) << c.row << "," << c.column;
  }
  build();
  grid.column(1)->readOnly = true;
  EXPECT_EQ(grid.userEdit(3, 1, L"5"), GridRefusal::ReadOnly);
}

TEST_F(GridModelTest, EditsNotifyAndAVetoRestoresTheOldValue) {
  EXPECT_EQ(grid.userEdit(2, 1, L"4"), GridRefusal::None);
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0].code, GCN_BEGINEDIT);
  EXPECT_EQ(notices[1].code, GCN_ENDEDIT);
  EXPECT_EQ(notices[1].row, 2);
  EXPECT_EQ(notices[1].column, 1);

  vetoCode = GCN_ENDEDIT;
  EXPECT_EQ(grid.userEdit(2, 1, L"x"), GridRefusal::Vetoed);
  EXPECT_EQ(grid.text(2, 1), L"4");
  vetoCode = GCN_BEGINEDIT;
  notices.clear();
  EXPECT_EQ(grid.userEdit(2, 1, L"x"), GridRefusal::Vetoed);
  EXPECT_EQ(notices.size(), 1u);
  EXPECT_EQ(grid.text(2, 1), L"4");
}

TEST_F(GridModelTest, ClicksToggleChecksCallButtonsAndSelectRows) {
  EXPECT_EQ(grid.userClick(1, 2), GridRefusal::None);
  EXPECT_EQ(grid.text(1, 2), L"0");
  EXPECT_EQ(grid.userClick(1, 2), GridRefusal::None);
  EXPECT_EQ(grid.text(1, 2), L"1");
  notices.clear();
  EXPECT_EQ(grid.userClick(3, 5), GridRefusal::None);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].code, GCN_BUTTONCLICK);
  EXPECT_EQ(notices[0].row, 3);
  notices.clear();
  EXPECT_EQ(grid.userClick(3, 0), GridRefusal::None);
  EXPECT_EQ(grid.selectedRow(), 3);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].code, GCN_SELCHANGED);
  // Selecting the selected row again says nothing.
  notices.clear();
  EXPECT_EQ(grid.userSelectRow(3), GridRefusal::None);
  EXPECT_TRUE(notices.empty());
  EXPECT_EQ(grid.userSelectRow(0), GridRefusal::NoSuchCell);
  grid.cell(2, 2)->readOnly = true;
  EXPECT_EQ(grid.userClick(2, 2), GridRefusal::ReadOnly);
  EXPECT_EQ(grid.text(2, 2), L"0");
}

TEST_F(GridModelTest, RowsInsertedAndDeletedKeepTheSelectionOnItsRow) {
  grid.setSelectedRow(2);  // Anchor
  int inserted = grid.insertRow(L"first", 1);
  EXPECT_EQ(inserted, 1);
  EXPECT_EQ(grid.text(grid.selectedRow(), 0), L"Anchor");
  EXPECT_TRUE(grid.deleteRow(1));
  EXPECT_EQ(grid.text(grid.selectedRow(), 0), L"Anchor");
  EXPECT_TRUE(grid.deleteRow(2));
  EXPECT_EQ(grid.selectedRow(), 0);
  EXPECT_FALSE(grid.deleteRow(0));
  EXPECT_FALSE(grid.deleteRow(grid.rowCount()));
  // A column added later gives every row an empty cell.
  int added = grid.insertColumn(L"Note", GCK_TEXT, 10);
  EXPECT_EQ(grid.text(1, added), L"");
  EXPECT_EQ(grid.userEdit(1, added, L"ok"), GridRefusal::None);
}

TEST_F(GridModelTest, UserSortingNeedsASortableGridAndAVisibleColumn) {
  EXPECT_EQ(grid.userSort(0, true), GridRefusal::ReadOnly);
  grid.sortable = true;
  EXPECT_EQ(grid.userSort(4, true), GridRefusal::NoSuchCell);
  EXPECT_EQ(grid.userSort(0, true), GridRefusal::None);
  EXPECT_EQ(grid.text(1, 0), L"Anchor");
  ASSERT_FALSE(notices.empty());
  EXPECT_EQ(notices.back().code, GCN_SORTED);
}

}  // namespace
