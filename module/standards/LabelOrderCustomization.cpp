#include "standards/LabelOrderCustomization.h"

#include <cwchar>

#include "standards/GridRows.h"
#include "standards/StandardsResources.h"

namespace tabrik::arx::standards {

BEGIN_MESSAGE_MAP(LabelOrderCustomization, CAcUiDialog)
ON_BN_CLICKED(IDC_LO_MOVE_UP, &LabelOrderCustomization::OnMoveUp)
ON_BN_CLICKED(IDC_LO_MOVE_DOWN, &LabelOrderCustomization::OnMoveDown)
ON_NOTIFY(GCN_ENDEDIT, IDC_LO_GRID, &LabelOrderCustomization::OnEndEdit)
END_MESSAGE_MAP()

LabelOrderCustomization::LabelOrderCustomization(CDBConnection* connection, const CString& group,
                                                 const CString& title, const CString& mode,
                                                 std::vector<CString> keys, CWnd* parent)
    : CAcUiDialog(IDD_LABEL_ORDER_CUSTOMIZATION, parent),
      m_connection(connection),
      m_group(group),
      m_title(title),
      m_mode(labelModeOf(mode)),
      m_keys(std::move(keys)) {
  SetDialogName(L"nv_tabrik:LabelOrderCustomization");
}

void LabelOrderCustomization::DoDataExchange(CDataExchange* pDX) {
  CAcUiDialog::DoDataExchange(pDX);
  DDX_GridControl(pDX, IDC_LO_GRID, m_grid);
}

BOOL LabelOrderCustomization::OnInitDialog() {
  CAcUiDialog::OnInitDialog();
  SetWindowText(m_title + L" Label Display and Order");
  m_grid.InsertColumn(L"ixLabelGroup", GCK_TEXT, 0);
  m_grid.InsertColumn(L"Key", GCK_TEXT, 90);
  m_grid.InsertColumn(L"Label", GCK_TEXT, 110);
  m_grid.InsertColumn(L"Width", GCK_TEXT, 50);
  m_grid.InsertColumn(L"Justification", m_mode == LabelMode::Full ? GCK_COMBO : GCK_TEXT, 70);
  m_grid.InsertColumn(L"Display", GCK_CHECK, 45);
  m_grid.SetColumnHidden(kIdColumn);
  m_grid.SetColumnReadOnly(kKeyColumn);
  if (m_mode == LabelMode::Plain) m_grid.SetColumnHidden(kWidthColumn);
  if (m_mode != LabelMode::Full) m_grid.SetColumnHidden(kJustificationColumn);

  CStringArray justifications;
  justifications.Add(L"Left");
  justifications.Add(L"Center");
  justifications.Add(L"Right");
  std::vector<LabelRow> rows;
  loadLabelRows(*m_connection, m_group, rows);
  for (const LabelRow& row : rows) {
    CString id;
    id.Format(L"%ld", row.id);
    const int at = m_grid.InsertRow(id);
    m_grid.SetItemText(at, kKeyColumn, row.key);
    m_grid.SetItemText(at, kLabelColumn, row.label);
    m_grid.SetItemText(at, kWidthColumn, row.width);
    m_grid.SetItemText(at, kJustificationColumn, row.justification);
    if (m_mode == LabelMode::Full) m_grid.SetCellOptions(at, kJustificationColumn, justifications);
    m_grid.SetCheck(at, kDisplayColumn, row.display);
    if (row.key == kScheduleTitle) {
      for (int column : {kWidthColumn, kJustificationColumn, kDisplayColumn}) {
        m_grid.SetCellReadOnly(at, column);
      }
    }
  }
  if (m_grid.GetRowCount() > 1) m_grid.SetSelectedRow(1);
  return TRUE;
}

void LabelOrderCustomization::OnMoveUp() { moveSelectedRow(m_grid, -1, 1); }

void LabelOrderCustomization::OnMoveDown() { moveSelectedRow(m_grid, +1, 1); }

void LabelOrderCustomization::OnEndEdit(NMHDR* header, LRESULT* result) {
  *result = 0;
  const auto* cell = reinterpret_cast<const NM_GRIDCELL*>(header);
  if (m_mode != LabelMode::SameWidth || cell->iColumn != kWidthColumn) return;
  const CString width = m_grid.GetItemText(cell->iRow, kWidthColumn);
  for (int row = 1; row < m_grid.GetRowCount(); ++row) {
    if (m_grid.GetItemText(row, kKeyColumn) != kScheduleTitle) {
      m_grid.SetItemText(row, kWidthColumn, width);
    }
  }
}

void LabelOrderCustomization::OnOK() {
  // A row whose update fails keeps its old values; the others are saved.
  for (int row = 1; row < m_grid.GetRowCount(); ++row) {
    LabelRow values;
    values.id = std::wcstol(m_grid.GetItemText(row, kIdColumn).GetString(), nullptr, 10);
    values.key = m_grid.GetItemText(row, kKeyColumn);
    values.label = m_grid.GetItemText(row, kLabelColumn);
    values.width = m_grid.GetItemText(row, kWidthColumn);
    values.justification = m_grid.GetItemText(row, kJustificationColumn);
    values.display = m_grid.GetItemText(row, kDisplayColumn) != L"0";
    long affected = 0;
    m_connection->ExecuteSQL(labelUpdate(values, row, m_mode), affected);
  }
  CAcUiDialog::OnOK();
}

}  // namespace tabrik::arx::standards
