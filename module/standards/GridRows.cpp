#include "standards/GridRows.h"

namespace tabrik::arx::standards {

void swapGridRows(CGridControl& grid, int first, int second) {
  for (int column = 0; column < grid.GetColumnCount(); ++column) {
    const CString text = grid.GetItemText(first, column);
    const BOOL readOnly = grid.IsCellReadOnly(first, column);
    grid.SetItemText(first, column, grid.GetItemText(second, column));
    grid.SetCellReadOnly(first, column, grid.IsCellReadOnly(second, column));
    grid.SetItemText(second, column, text);
    grid.SetCellReadOnly(second, column, readOnly);
  }
  const LPARAM data = grid.GetRowData(first);
  grid.SetRowData(first, grid.GetRowData(second));
  grid.SetRowData(second, data);
}

bool moveSelectedRow(CGridControl& grid, int step, int firstMovable) {
  const int row = grid.GetSelectedRow();
  const int target = row + step;
  const int last = grid.GetRowCount() - 1;
  if (row < firstMovable || row > last || target < firstMovable || target > last) return false;
  swapGridRows(grid, row, target);
  grid.SetSelectedRow(target);
  return true;
}

}  // namespace tabrik::arx::standards
