// MFC's file-open and file-save dialog. Its modal run takes the next string answer of
// the host's answer queue (a path, or "*cancel*"); in the interactive host with none
// queued, the path typed at the terminal. With OFN_FILEMUSTEXIST a path that names no
// file cancels, as the real dialog never returns one.
#pragma once
#include <string>

#include "afxwin.h"

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_ALLOWMULTISELECT 0x00000200
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000

struct OPENFILENAMEW {
  DWORD Flags = 0;
  LPCWSTR lpstrFilter = nullptr;
  LPCWSTR lpstrTitle = nullptr;
  LPCWSTR lpstrInitialDir = nullptr;
  LPCWSTR lpstrDefExt = nullptr;
};

class CFileDialog : public CDialog {
 public:
  explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr,
                       LPCTSTR lpszFileName = nullptr,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       LPCTSTR lpszFilter = nullptr, CWnd* pParentWnd = nullptr);

  INT_PTR DoModal() override;
  CString GetPathName() const;

  OPENFILENAMEW m_ofn;

 private:
  BOOL m_open;
  std::wstring m_path;
};
