// MFC's common dialogs: CFileDialog, the open and save file pickers. The headless host
// answers a picker from the answer queue (a path, or "*cancel*"); the interactive host
// asks on the terminal; with neither the picker is cancelled. Each answer goes through
// the checks the flags ask for and the dialog's OnFileNameOK, as a user's choice does;
// a refused answer leaves the picker open for the next one.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "afxwin.h"

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_ENABLEHOOK 0x00000020
#define OFN_ENABLETEMPLATE 0x00000040
#define OFN_NOVALIDATE 0x00000100
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_EXPLORER 0x00080000
#define OFN_ENABLESIZING 0x00800000

#ifndef MAKEINTRESOURCE
#define MAKEINTRESOURCEW(i) ((LPWSTR)((UINT_PTR)((WORD)(i))))
#define MAKEINTRESOURCE MAKEINTRESOURCEW
#endif

struct OPENFILENAMEW {
  DWORD lStructSize = sizeof(OPENFILENAMEW);
  HWND hwndOwner = nullptr;
  HINSTANCE hInstance = nullptr;
  LPCWSTR lpstrFilter = nullptr;
  DWORD nFilterIndex = 1;
  LPWSTR lpstrFile = nullptr;
  DWORD nMaxFile = 0;
  LPCWSTR lpstrInitialDir = nullptr;
  LPCWSTR lpstrTitle = nullptr;
  DWORD Flags = 0;
  LPCWSTR lpstrDefExt = nullptr;
  // MAKEINTRESOURCE(id) of a template that adds controls (with OFN_ENABLETEMPLATE).
  LPCWSTR lpTemplateName = nullptr;
};
typedef OPENFILENAMEW OPENFILENAME;

class CFileDialog : public CDialog {
 public:
  explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr,
                       LPCTSTR lpszFileName = nullptr,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       LPCTSTR lpszFilter = nullptr, CWnd* pParentWnd = nullptr, DWORD dwSize = 0,
                       BOOL bVistaStyle = TRUE);

  OPENFILENAME m_ofn;
  BOOL m_bOpenFileDialog;

  // IDOK with a path chosen, IDCANCEL, or -1 when the added template is missing.
  INT_PTR DoModal() override;

  CString GetPathName() const { return m_pathName; }
  CString GetFileName() const;
  CString GetFileExt() const;
  // The folder the picker shows (the chosen path's folder, or the chosen folder).
  CString GetFolderPath() const { return m_folderPath; }

  // The filter's entries as (description, patterns); "A|*.a|B|*.b||" gives two.
  const std::vector<std::pair<std::wstring, std::wstring>>& filters() const { return m_filters; }
  const std::wstring& initialFileName() const { return m_initialFile; }

 protected:
  // TRUE refuses the chosen name (the picker stays open).
  virtual BOOL OnFileNameOK() { return FALSE; }
  // The current folder or the selection changed.
  virtual void OnFolderChange() {}
  virtual void OnFileNameChange() {}

  // Sets what the picker shows as chosen (a driver's answer).
  void choose(const std::wstring& path);

 private:
  // One answer as the user's choice; true when the picker closes with it.
  bool tryAnswer(const std::wstring& answer);

  std::wstring m_initialFile;
  CString m_pathName;
  CString m_folderPath;
  std::vector<std::pair<std::wstring, std::wstring>> m_filters;
};
