// The folder picker: a file-open dialog whose filter matches no file, so that only
// folders show, with a history of chosen folders (CHistoryCombo) in its own template.
#pragma once
#include <afxdlgs.h>

#include "host/HistoryCombo.h"

class CXFolderDialog : public CFileDialog {
 public:
  // initialFolder: null or empty for none.
  CXFolderDialog(LPCTSTR initialFolder = nullptr, DWORD flags = 0, CWnd* parent = nullptr);
  ~CXFolderDialog() override;

  // The chosen folder, after OK.
  CString GetPath() const { return m_strPath; }
  // Empty means "Select Folder".
  void SetTitle(LPCTSTR title) { m_strTitle = title ? title : L""; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnFolderChange() override;
  void OnFileNameChange() override;
  BOOL OnFileNameOK() override;

 private:
  CString m_strInitialFolder;
  CString m_strTitle;
  CString m_strPath;
  CHistoryCombo m_cmbRecentFolders;
  int m_nViewMode = 0;
  bool m_viewModeRead = false;
  bool m_saveViewMode = true;
};
