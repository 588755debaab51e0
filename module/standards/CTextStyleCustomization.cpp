#include "standards/CTextStyleCustomization.h"

#include <cwchar>

#include "standards/LispCallback.h"
#include "standards/StandardsResources.h"
#include "standards/TextStyleRows.h"

namespace tabrik::arx::standards {

BEGIN_MESSAGE_MAP(CTextStyleCustomization, CAcUiDialog)
END_MESSAGE_MAP()

CTextStyleCustomization::CTextStyleCustomization(CDBConnection* connection, const CString& focusKey,
                                                 CWnd* parent)
    : CAcUiDialog(IDD_TEXT_STYLE_CUSTOMIZATION, parent),
      m_connection(connection),
      m_focusKey(focusKey) {
  SetDialogName(L"nv_tabrik:TextStyleCustomization");
}

void CTextStyleCustomization::DoDataExchange(CDataExchange* pDX) {
  CAcUiDialog::DoDataExchange(pDX);
  DDX_GridControl(pDX, IDC_TS_GRID, m_grid);
}

BOOL CTextStyleCustomization::OnInitDialog() {
  CAcUiDialog::OnInitDialog();
  m_grid.InsertColumn(L"Text Style Key", GCK_TEXT, 120);
  m_grid.InsertColumn(L"ixTextStyle", GCK_TEXT, 0);
  m_grid.InsertColumn(L"Text Style", GCK_TEXT, 120);
  m_grid.InsertColumn(L"Height", GCK_TEXT, 60);
  m_grid.InsertColumn(L"Scale Factor", GCK_TEXT, 70);
  m_grid.SetColumnHidden(kIdColumn);
  m_grid.SetColumnReadOnly(kKeyColumn);

  std::vector<TextStyleRow> rows;
  loadTextStyleRows(
      *m_connection,
      [](const CString& key) { return !invokeLisp(L"util-showTextStyle", {key}).IsNil(); }, rows);
  for (const TextStyleRow& row : rows) {
    const int at = m_grid.InsertRow(row.key);
    CString id;
    id.Format(L"%ld", row.id);
    m_grid.SetItemText(at, kIdColumn, id);
    m_grid.SetItemText(at, kStyleColumn, row.style);
    m_grid.SetItemText(at, kHeightColumn, row.height);
    m_grid.SetItemText(at, kScaleColumn, row.scale);
  }
  m_grid.SortItems(kKeyColumn, TRUE);
  if (m_grid.GetRowCount() > 1) m_grid.SetSelectedRow(1);
  if (!m_focusKey.IsEmpty()) {
    for (int row = 1; row < m_grid.GetRowCount(); ++row) {
      if (m_grid.GetItemText(row, kKeyColumn) == m_focusKey) {
        m_grid.SetSelectedRow(row);
        break;
      }
    }
  }
  return TRUE;
}

void CTextStyleCustomization::OnOK() {
  std::vector<TextStyleRow> rows;
  for (int row = 1; row < m_grid.GetRowCount(); ++row) {
    rows.push_back(
        TextStyleRow{m_grid.GetItemText(row, kKeyColumn),
                     std::wcstol(m_grid.GetItemText(row, kIdColumn).GetString(), nullptr, 10),
                     m_grid.GetItemText(row, kStyleColumn), m_grid.GetItemText(row, kHeightColumn),
                     m_grid.GetItemText(row, kScaleColumn)});
  }
  if (auto missing = findMissingDefault(rows)) {
    MessageBox(missing->message, L"Norvane", MB_OK | MB_ICONINFORMATION);
    m_grid.SetSelectedRow(static_cast<int>(missing->row) + 1);
    return;
  }
  // A row whose update fails keeps its old values; the others are saved.
  for (const TextStyleRow& row : rows) {
    long affected = 0;
    m_connection->ExecuteSQL(textStyleUpdate(row), affected);
  }
  CAcUiDialog::OnOK();
}

}  // namespace tabrik::arx::standards
