// The grid control's model: columns, rows and cells with the rules of a user's edits.
// It knows nothing of dialogs; user edits call back through a notifier, which the
// control turns into WM_NOTIFY messages to its dialog.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gridcontrol.h"

namespace tabrik::ui {

struct GridCell {
  std::wstring text;
  std::optional<GridCellKind> kind;  // the column's kind when unset
  std::vector<std::wstring> options;
  bool readOnly = false;
};

struct GridColumn {
  std::wstring heading;
  GridCellKind kind = GCK_TEXT;
  int width = 80;
  bool hidden = false;
  bool readOnly = false;
};

struct GridRow {
  std::vector<GridCell> cells;
  LPARAM data = 0;
};

// Why a user's action did not happen.
enum class GridRefusal { None, NoSuchCell, ReadOnly, WrongKind, NotAnOption, Vetoed };

class GridModel {
 public:
  // Sends a notification (GCN_...) for row and column; returns the handler's *pResult.
  using Notifier = std::function<LRESULT(UINT code, int row, int column)>;
  void setNotifier(Notifier notifier) { m_notify = std::move(notifier); }

  // --- structure (program side: no notifications)
  int insertColumn(std::wstring heading, GridCellKind kind, int width);
  int columnCount() const { return static_cast<int>(m_columns.size()); }
  const GridColumn* column(int index) const;
  GridColumn* column(int index);
  int findColumn(const std::wstring& heading, bool visibleOnly) const;
  // Data rows plus the header row.
  int rowCount() const { return static_cast<int>(m_rows.size()) + 1; }
  int insertRow(std::wstring firstCell, int before);
  bool deleteRow(int row);
  void clearRows();
  GridRow* row(int row);
  const GridRow* row(int row) const;
  // Data cells only (row >= 1); nullptr outside the grid.
  GridCell* cell(int row, int column);
  const GridCell* cell(int row, int column) const;
  // The header text for row 0, else the cell's text ("" outside the grid).
  std::wstring text(int row, int column) const;
  bool setText(int row, int column, std::wstring text);
  GridCellKind kind(int row, int column) const;
  bool readOnly(int row, int column) const;
  int selectedRow() const { return m_selected; }
  void setSelectedRow(int row);
  void sort(int column, bool ascending);
  bool sortable = false;
  // The first visible column (-1 when every column is hidden).
  int firstVisibleColumn() const;
  // The data row whose first visible cell is that text (case-insensitive), 0 when none.
  int findRow(const std::wstring& firstCell) const;

  // --- the user's actions (each notifies as the control would)
  GridRefusal userEdit(int row, int column, const std::wstring& text);
  GridRefusal userSetCheck(int row, int column, bool checked);
  GridRefusal userClick(int row, int column);
  GridRefusal userSelectRow(int row);
  GridRefusal userSort(int column, bool ascending);

 private:
  LRESULT notify(UINT code, int row, int column) const {
    return m_notify ? m_notify(code, row, column) : 0;
  }
  GridRefusal commit(int row, int column, std::wstring text);

  std::vector<GridColumn> m_columns;
  std::vector<GridRow> m_rows;
  int m_selected = 0;
  Notifier m_notify;
};

// Text as shown for a check cell's value.
inline const wchar_t* checkText(bool checked) { return checked ? L"1" : L"0"; }

}  // namespace tabrik::ui
