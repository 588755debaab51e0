// The editable grid of the module's dialogs: one fixed header row (row 0) over data
// rows 1..n, columns that may be hidden (their cells still hold data), and cells of
// four kinds: text, combo (text picked from the cell's options), check ("1" or "0")
// and button (a click calls the dialog back). Cells may be read-only. The user picks a
// row, edits a cell in place, clicks button and check cells; each reaches the dialog
// as a WM_NOTIFY from the grid's id (ON_NOTIFY(GCN_ENDEDIT, IDC_GRID, &C::OnEndEdit)).
//
// In a template the grid is an item of class GRIDCONTROL_CLASS; a dialog attaches its
// member CGridControl with DDX_Control and fills it in OnInitDialog.
#pragma once
#include "afxcoll.h"
#include "afxwin.h"

#define GRIDCONTROL_CLASS L"TabrikGrid"

enum GridCellKind { GCK_TEXT = 0, GCK_COMBO = 1, GCK_CHECK = 2, GCK_BUTTON = 3 };

// Notifications (WM_NOTIFY codes; lParam is an NM_GRIDCELL*).
// GCN_BEGINEDIT: the user starts to edit a cell; *pResult nonzero forbids it.
// GCN_ENDEDIT: the user changed a cell (text typed, option picked, check toggled); the
//   cell already holds the new value; *pResult nonzero rejects it (the old value
//   comes back).
// GCN_BUTTONCLICK: the user clicked a button cell.
// GCN_SELCHANGED: the selected row changed (iRow the new row, 0 for none).
// GCN_SORTED: the rows were sorted by the user (iColumn the sort column).
#define GCN_BEGINEDIT (0U - 1100U)
#define GCN_ENDEDIT (0U - 1101U)
#define GCN_BUTTONCLICK (0U - 1102U)
#define GCN_SELCHANGED (0U - 1103U)
#define GCN_SORTED (0U - 1104U)

struct NM_GRIDCELL {
  NMHDR hdr;
  int iRow;
  int iColumn;
};

namespace tabrik::ui {
class GridModel;
}

class CGridControl : public CWnd {
 public:
  // --- columns (the header row is row 0)
  int InsertColumn(LPCTSTR heading, GridCellKind kind = GCK_TEXT, int width = 80);
  int GetColumnCount() const;
  void SetColumnHidden(int column, BOOL hidden = TRUE);
  BOOL IsColumnHidden(int column) const;
  void SetColumnReadOnly(int column, BOOL readOnly = TRUE);
  void SetColumnWidth(int column, int width);
  int GetColumnWidth(int column) const;
  // The column whose header is that text (case-insensitive), -1 when none.
  int FindColumn(LPCTSTR heading) const;

  // --- rows: data rows are 1..GetRowCount()-1
  int GetRowCount() const;
  // Appends a data row (or inserts it before `before`); returns its row number.
  int InsertRow(LPCTSTR firstCell, int before = -1);
  BOOL DeleteRow(int row);
  void DeleteNonFixedRows();
  void SetRowData(int row, LPARAM data);
  LPARAM GetRowData(int row) const;

  // --- cells
  BOOL SetItemText(int row, int column, LPCTSTR text);
  CString GetItemText(int row, int column) const;
  void SetCellKind(int row, int column, GridCellKind kind);
  GridCellKind GetCellKind(int row, int column) const;
  void SetCellOptions(int row, int column, const CStringArray& options);
  void SetCheck(int row, int column, BOOL checked);
  BOOL GetCheck(int row, int column) const;
  void SetCellReadOnly(int row, int column, BOOL readOnly = TRUE);
  BOOL IsCellReadOnly(int row, int column) const;

  // --- selection and order
  // 0 for none.
  int GetSelectedRow() const;
  void SetSelectedRow(int row);
  // Sorts the data rows by a column's texts (numbers by value, then text ignoring
  // case); the selection follows its row.
  void SortItems(int column, BOOL ascending = TRUE);
  void SetSortable(BOOL sortable = TRUE);

  tabrik::ui::GridModel* model() const;
};

void AFXAPI DDX_GridControl(CDataExchange* pDX, int nIDC, CGridControl& rControl);
