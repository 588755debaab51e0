// The user options dialog (see CUserOptions.h).
#include "support/CUserOptions.h"

#include <afxcoll.h>

#include "resources/SupportDialogs.h"
#include "support/UserOptionRows.h"
#include "support/UserSettings.h"

namespace tabrik::arx {

CUserOptions::CUserOptions(const std::wstring& product, const std::wstring& variant, CWnd* parent)
    : CAcUiDialog(IDD_USEROPTIONS, parent), m_product(product), m_variant(variant) {}

void CUserOptions::DoDataExchange(CDataExchange* pDX) {
  CAcUiDialog::DoDataExchange(pDX);
  DDX_GridControl(pDX, IDC_UO_GRID, m_grid);
}

BOOL CUserOptions::OnInitDialog() {
  SetDialogName(L"nv_tabrik:UserOptions");
  CAcUiDialog::OnInitDialog();
  m_grid.InsertColumn(L"Name", GCK_TEXT, 300);
  m_grid.InsertColumn(L"Value", GCK_TEXT, 120);
  m_grid.InsertColumn(L"sSubKey", GCK_TEXT, 0);
  m_grid.InsertColumn(L"sValueName", GCK_TEXT, 0);
  m_grid.InsertColumn(L"bIsYesNo", GCK_TEXT, 0);
  for (const int hidden : {kSubKey, kValueName, kIsYesNo}) {
    m_grid.SetColumnHidden(hidden);
  }
  m_grid.SetColumnReadOnly(kName);

  CStringArray yesNo;
  yesNo.Add(L"No");
  yesNo.Add(L"Yes");
  for (const UserOptionRow& option : userOptionRows(m_product, m_variant)) {
    const int row = m_grid.InsertRow(option.title.c_str());
    if (option.isSection()) {
      m_grid.SetCellReadOnly(row, kValue);
      continue;
    }
    m_grid.SetItemText(row, kSubKey, option.subkey.c_str());
    m_grid.SetItemText(row, kValueName, option.valueName.c_str());
    m_grid.SetItemText(row, kIsYesNo, option.yesNo ? L"-1" : L"0");
    if (option.yesNo) {
      m_grid.SetCellKind(row, kValue, GCK_COMBO);
      m_grid.SetCellOptions(row, kValue, yesNo);
    }
    const std::wstring stored = readUserSetting(option.subkey, option.valueName);
    m_grid.SetItemText(row, kValue, shownValue(stored, option.yesNo).c_str());
  }
  return TRUE;
}

void CUserOptions::OnOK() {
  for (int row = 1; row < m_grid.GetRowCount(); ++row) {
    const std::wstring subkey(m_grid.GetItemText(row, kSubKey).GetString());
    const std::wstring valueName(m_grid.GetItemText(row, kValueName).GetString());
    if (subkey.empty() || valueName.empty()) {
      continue;
    }
    const bool yesNo = std::wstring(m_grid.GetItemText(row, kIsYesNo).GetString()) == L"-1";
    const std::wstring shown(m_grid.GetItemText(row, kValue).GetString());
    writeUserSetting(subkey, valueName, storedValue(shown, yesNo));
  }
  CAcUiDialog::OnOK();
}

}  // namespace tabrik::arx
