// The file dialog over the answer queue (see afxdlgs.h).
#include "afxdlgs.h"

#include <sys/stat.h>

#include "HostTesting.h"
#include "tabrik/TextConversion.h"

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName,
                         DWORD dwFlags, LPCTSTR lpszFilter, CWnd* pParentWnd)
    : CDialog(0, pParentWnd), m_open(bOpenFileDialog), m_path(lpszFileName ? lpszFileName : L"") {
  m_ofn.Flags = dwFlags;
  m_ofn.lpstrFilter = lpszFilter;
  m_ofn.lpstrDefExt = lpszDefExt;
}

INT_PTR CFileDialog::DoModal() {
  namespace host = tabrik::acad::testing;
  std::optional<std::wstring> answer = host::takeTextAnswer();
  if (!answer && host::isInteractive()) {
    const std::wstring title =
        m_ofn.lpstrTitle ? m_ofn.lpstrTitle : (m_open ? L"Open" : L"Save As");
    if (auto typed = host::readTerminal(tabrik::text::toUtf8(title) + ": ")) {
      answer = tabrik::text::fromUtf8(*typed);
    }
  }
  if (!answer || answer->empty() || *answer == L"*cancel*") {
    return IDCANCEL;
  }
  if (m_ofn.Flags & OFN_FILEMUSTEXIST) {
    struct stat info {};
    const std::string native = tabrik::text::nativePath(*answer);
    if (::stat(native.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
      return IDCANCEL;
    }
  }
  m_path = *answer;
  return IDOK;
}

CString CFileDialog::GetPathName() const { return CString(m_path.c_str()); }
