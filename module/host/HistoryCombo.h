// An editable combo box that remembers what was chosen in it, in the host
// application's profile: entries <prefix>0000, <prefix>0001, ... of a section, most
// recent first, and optionally the item that was current when it was saved.
#pragma once
#include <afxwin.h>

class CHistoryCombo : public CComboBox {
 public:
  CHistoryCombo() = default;

  // Loads the history; returns the restored current text (empty when none).
  CString LoadHistory(LPCTSTR section, LPCTSTR keyPrefix, BOOL saveRestoreLastCurrent = TRUE,
                      LPCTSTR keyCurrentItem = nullptr);
  // Puts the current text at the top (once, ignoring case) and writes the history.
  void SaveHistory(BOOL addCurrentItemToHistory = TRUE);
  int SetMaxHistoryItems(int maxItems);
  int GetMaxHistoryItems() const { return m_maxItems; }
  // Keep only items whose path exists when loading.
  void SetCheckAccess(BOOL checkAccess) { m_checkAccess = checkAccess != FALSE; }
  // The drop-down list shows that many items at a time.
  void SetDropSize(int items) { m_dropSize = items; }

 private:
  CString m_section;
  CString m_keyPrefix;
  CString m_keyCurrentItem;
  bool m_saveRestoreLastCurrent = true;
  bool m_checkAccess = false;
  int m_maxItems = 10;
  int m_dropSize = 10;
};
