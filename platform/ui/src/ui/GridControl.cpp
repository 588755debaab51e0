// CGridControl over its model.
#include "gridcontrol.h"

#include "ui/DialogState.h"

using tabrik::ui::GridModel;

GridModel* CGridControl::model() const { return m_control ? m_control->grid.get() : nullptr; }

int CGridControl::InsertColumn(LPCTSTR heading, GridCellKind kind, int width) {
  GridModel* grid = model();
  return grid ? grid->insertColumn(heading ? heading : L"", kind, width) : -1;
}

int CGridControl::GetColumnCount() const { return model() ? model()->columnCount() : 0; }

void CGridControl::SetColumnHidden(int column, BOOL hidden) {
  if (GridModel* grid = model(); grid && grid->column(column))
    grid->column(column)->hidden = hidden != FALSE;
}

BOOL CGridControl::IsColumnHidden(int column) const {
  const GridModel* grid = model();
  return grid && grid->column(column) && grid->column(column)->hidden ? TRUE : FALSE;
}

void CGridControl::SetColumnReadOnly(int column, BOOL readOnly) {
  if (GridModel* grid = model(); grid && grid->column(column))
    grid->column(column)->readOnly = readOnly != FALSE;
}

void CGridControl::SetColumnWidth(int column, int width) {
  if (GridModel* grid = model(); grid && grid->column(column))
    grid->column(column)->width = width < 0 ? 0 : width;
}

int CGridControl::GetColumnWidth(int column) const {
  const GridModel* grid = model();
  return grid && grid->column(column) ? grid->column(column)->width : 0;
}

int CGridControl::FindColumn(LPCTSTR heading) const {
  return model() && heading ? model()->findColumn(heading, false) : -1;
}

int CGridControl::GetRowCount() const { return model() ? model()->rowCount() : 0; }

int CGridControl::InsertRow(LPCTSTR firstCell, int before) {
  GridModel* grid = model();
  return grid ? grid->insertRow(firstCell ? firstCell : L"", before) : -1;
}

BOOL CGridControl::DeleteRow(int row) { return model() && model()->deleteRow(row) ? TRUE : FALSE; }

void CGridControl::DeleteNonFixedRows() {
  if (GridModel* grid = model()) grid->clearRows();
}

void CGridControl::SetRowData(int row, LPARAM data) {
  if (GridModel* grid = model(); grid && grid->row(row)) grid->row(row)->data = data;
}

LPARAM CGridControl::GetRowData(int row) const {
  const GridModel* grid = model();
  return grid && grid->row(row) ? grid->row(row)->data : 0;
}

BOOL CGridControl::SetItemText(int row, int column, LPCTSTR text) {
  return model() && model()->setText(row, column, text ? text : L"") ? TRUE : FALSE;
}

CString CGridControl::GetItemText(int row, int column) const {
  return model() ? CString(model()->text(row, column)) : CString();
}

void CGridControl::SetCellKind(int row, int column, GridCellKind kind) {
  if (GridModel* grid = model(); grid && grid->cell(row, column))
    grid->cell(row, column)->kind = kind;
}

GridCellKind CGridControl::GetCellKind(int row, int column) const {
  return model() ? model()->kind(row, column) : GCK_TEXT;
}

void CGridControl::SetCellOptions(int row, int column, const CStringArray& options) {
  GridModel* grid = model();
  tabrik::ui::GridCell* cell = grid ? grid->cell(row, column) : nullptr;
  if (cell == nullptr) return;
  cell->options.clear();
  for (INT_PTR i = 0; i < options.GetSize(); ++i) cell->options.push_back(options.GetAt(i).str());
}

void CGridControl::SetCheck(int row, int column, BOOL checked) {
  if (GridModel* grid = model(); grid && grid->cell(row, column))
    grid->cell(row, column)->text = tabrik::ui::checkText(checked != FALSE);
}

BOOL CGridControl::GetCheck(int row, int column) const {
  return model() && model()->text(row, column) == L"1" ? TRUE : FALSE;
}

void CGridControl::SetCellReadOnly(int row, int column, BOOL readOnly) {
  if (GridModel* grid = model(); grid && grid->cell(row, column))
    grid->cell(row, column)->readOnly = readOnly != FALSE;
}

BOOL CGridControl::IsCellReadOnly(int row, int column) const {
  return model() && model()->readOnly(row, column) ? TRUE : FALSE;
}

int CGridControl::GetSelectedRow() const { return model() ? model()->selectedRow() : 0; }

void CGridControl::SetSelectedRow(int row) {
  if (GridModel* grid = model()) grid->setSelectedRow(row);
}

void CGridControl::SortItems(int column, BOOL ascending) {
  if (GridModel* grid = model()) grid->sort(column, ascending != FALSE);
}

void CGridControl::SetSortable(BOOL sortable) {
  if (GridModel* grid = model()) grid->sortable = sortable != FALSE;
}

void AFXAPI DDX_GridControl(CDataExchange* pDX, int nIDC, CGridControl& rControl) {
  DDX_Control(pDX, nIDC, rControl);
}
