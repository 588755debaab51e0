// The folder picker (see XFolderDialog.h).
#include "host/XFolderDialog.h"

#include <fileapi.h>
#include <rxmfcapi.h>

#include "resources/resource.h"

namespace {

constexpr const wchar_t* kNoFileFilter =
    L"Files (*.XFolderDialog-8C0C924B-7A86-4e8d-8D6E-A1C50D74E8DF)|*.XFolderDialog-8C0C924B-7A86-"
    L"4e8d-8D6E-A1C50D74E8DF||";
constexpr int kMaxHistory = 50;
constexpr int kDropSize = 20;

}  // namespace

CXFolderDialog::CXFolderDialog(LPCTSTR initialFolder, DWORD flags, CWnd* parent)
    : CFileDialog(TRUE, nullptr, nullptr, flags | OFN_HIDEREADONLY, kNoFileFilter, parent),
      m_strInitialFolder(initialFolder ? initialFolder : L"") {
  m_ofn.Flags |= OFN_ENABLETEMPLATE;
  m_ofn.hInstance = AfxGetResourceHandle();
  m_ofn.lpTemplateName = MAKEINTRESOURCE(IDD_XFOLDERDIALOG);
  if (!m_strInitialFolder.IsEmpty()) m_ofn.lpstrInitialDir = m_strInitialFolder;
}

CXFolderDialog::~CXFolderDialog() {
  if (m_saveViewMode && m_viewModeRead)
    acedGetAcadWinApp()->WriteProfileInt(L"XFolderDialog", L"ViewMode", m_nViewMode);
}

void CXFolderDialog::DoDataExchange(CDataExchange* pDX) {
  CFileDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_MRU_COMBO, m_cmbRecentFolders);
}

BOOL CXFolderDialog::OnInitDialog() {
  CFileDialog::OnInitDialog();
  m_cmbRecentFolders.SetMaxHistoryItems(kMaxHistory);
  m_cmbRecentFolders.SetDropSize(kDropSize);
  m_cmbRecentFolders.SetCheckAccess(TRUE);
  m_cmbRecentFolders.LoadHistory(L"FolderHistory", L"Folder", TRUE, L"Folder");
  if (m_cmbRecentFolders.GetCount() > 0) {
    CString first;
    m_cmbRecentFolders.GetLBText(0, first);
    m_cmbRecentFolders.SetWindowText(first);
  }
  SetWindowText(m_strTitle.IsEmpty() ? L"Select Folder" : static_cast<LPCTSTR>(m_strTitle));
  return TRUE;
}

void CXFolderDialog::OnFolderChange() {
  m_cmbRecentFolders.SetWindowText(GetPathName());
  if (!m_viewModeRead) {
    // The saved view of the folder list is applied once, at the first folder shown.
    m_nViewMode =
        static_cast<int>(acedGetAcadWinApp()->GetProfileInt(L"XFolderDialog", L"ViewMode", 0));
    m_viewModeRead = true;
  }
}

void CXFolderDialog::OnFileNameChange() { m_cmbRecentFolders.SetWindowText(GetPathName()); }

BOOL CXFolderDialog::OnFileNameOK() {
  CString folder = GetPathName();
  if (folder.IsEmpty()) m_cmbRecentFolders.GetWindowText(folder);
  if (folder.IsEmpty()) {
    AfxMessageBox(L"Please select a folder.", MB_OK | MB_ICONWARNING);
    return TRUE;
  }
  const DWORD attributes = GetFileAttributesW(folder);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    CString message;
    message.Format(L"The folder '%s' isn't accessible.", static_cast<LPCTSTR>(folder));
    AfxMessageBox(message, MB_OK | MB_ICONWARNING);
    return TRUE;
  }
  m_strPath = folder;
  m_cmbRecentFolders.SetWindowText(folder);
  m_cmbRecentFolders.SaveHistory(TRUE);
  return FALSE;
}
