// The history combo over the host application's profile.
#include "host/HistoryCombo.h"

#include <fileapi.h>
#include <rxmfcapi.h>

namespace {

CString numberedEntry(const CString& prefix, int index) {
  CString entry;
  entry.Format(L"%s%04d", static_cast<LPCTSTR>(prefix), index);
  return entry;
}

CString trimmed(CString text) {
  text.Trim();
  return text;
}

}  // namespace

int CHistoryCombo::SetMaxHistoryItems(int maxItems) {
  m_maxItems = maxItems < 0 ? 0 : maxItems;
  // Items beyond the new maximum go from the end.
  while (GetCount() > m_maxItems) DeleteString(static_cast<UINT>(GetCount() - 1));
  return m_maxItems;
}

CString CHistoryCombo::LoadHistory(LPCTSTR section, LPCTSTR keyPrefix, BOOL saveRestoreLastCurrent,
                                   LPCTSTR keyCurrentItem) {
  m_section = section ? section : L"";
  m_keyPrefix = keyPrefix ? keyPrefix : L"";
  m_keyCurrentItem = keyCurrentItem ? keyCurrentItem : L"";
  m_saveRestoreLastCurrent = saveRestoreLastCurrent != FALSE;
  CWinApp* app = acedGetAcadWinApp();
  ResetContent();
  for (int index = 0; index <= m_maxItems; ++index) {
    CString value = app->GetProfileString(m_section, numberedEntry(m_keyPrefix, index));
    if (value.IsEmpty()) break;
    if (m_checkAccess && GetFileAttributesW(value) == INVALID_FILE_ATTRIBUTES) continue;
    AddString(value);
  }
  if (!m_saveRestoreLastCurrent) return CString();
  const CString entry = !m_keyCurrentItem.IsEmpty()
                            ? m_keyCurrentItem
                            : (!m_keyPrefix.IsEmpty() ? m_keyPrefix : CString(L"Last"));
  CString current = app->GetProfileString(m_section, entry);
  int found = current.IsEmpty() ? CB_ERR : FindStringExact(-1, current);
  if (found != CB_ERR)
    SetCurSel(found);
  else
    SetWindowText(current);
  return current;
}

void CHistoryCombo::SaveHistory(BOOL addCurrentItemToHistory) {
  if (m_section.IsEmpty()) return;
  CWinApp* app = acedGetAcadWinApp();
  CString current;
  GetWindowText(current);
  current = trimmed(current);
  if (addCurrentItemToHistory && !current.IsEmpty()) {
    // The older copy goes (found ignoring case), the current one comes first.
    for (int index = GetCount() - 1; index >= 0; --index) {
      CString item;
      GetLBText(index, item);
      if (item.CompareNoCase(current) == 0) DeleteString(static_cast<UINT>(index));
    }
    InsertString(0, current);
    SetCurSel(0);
    while (GetCount() > m_maxItems) DeleteString(static_cast<UINT>(GetCount() - 1));
  }
  const int written = GetCount() < m_maxItems + 1 ? GetCount() : m_maxItems + 1;
  for (int index = 0; index < written; ++index) {
    CString item;
    GetLBText(index, item);
    app->WriteProfileString(m_section, numberedEntry(m_keyPrefix, index), item);
  }
  // Stale entries above the kept ones, up to the first that is already empty.
  for (int index = written; index <= 999; ++index) {
    CString entry = numberedEntry(m_keyPrefix, index);
    if (app->GetProfileString(m_section, entry).IsEmpty()) break;
    app->WriteProfileString(m_section, entry, nullptr);
  }
  if (m_saveRestoreLastCurrent) {
    const CString entry = !m_keyCurrentItem.IsEmpty()
                              ? m_keyCurrentItem
                              : (!m_keyPrefix.IsEmpty() ? m_keyPrefix : CString(L"Last"));
    app->WriteProfileString(m_section, entry, current);
  }
}
