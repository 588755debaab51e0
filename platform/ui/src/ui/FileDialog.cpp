// The file pickers: answers from the answer queue (or the terminal), checked as the
// flags and the dialog ask.
#include "afxdlgs.h"

#include <cstdint>

#include "HostTesting.h"
#include "fileapi.h"
#include "tabrik/TextConversion.h"

namespace {

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

size_t lastSeparator(const std::wstring& path) {
  size_t at = path.find_last_of(L"\\/");
  return at;
}

bool exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool isFolder(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring folderOf(const std::wstring& path) {
  size_t at = lastSeparator(path);
  return at == std::wstring::npos ? L"" : path.substr(0, at + 1);
}

}  // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName,
                         DWORD dwFlags, LPCTSTR lpszFilter, CWnd* pParentWnd, DWORD, BOOL)
    : CDialog(0, pParentWnd), m_bOpenFileDialog(bOpenFileDialog) {
  m_ofn.Flags = dwFlags | OFN_EXPLORER;
  m_ofn.lpstrDefExt = lpszDefExt;
  m_initialFile = lpszFileName ? lpszFileName : L"";
  // "Desc|pattern|Desc|pattern||": pairs up to the empty entry.
  std::wstring filter = lpszFilter ? lpszFilter : L"";
  std::vector<std::wstring> parts;
  size_t start = 0;
  while (start < filter.size()) {
    size_t bar = filter.find(L'|', start);
    if (bar == std::wstring::npos) bar = filter.size();
    parts.push_back(filter.substr(start, bar - start));
    start = bar + 1;
  }
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty()) break;
    m_filters.emplace_back(parts[i], parts[i + 1]);
  }
}

CString CFileDialog::GetFileName() const {
  std::wstring path = m_pathName.str();
  size_t at = lastSeparator(path);
  return CString(at == std::wstring::npos ? path : path.substr(at + 1));
}

CString CFileDialog::GetFileExt() const {
  std::wstring name = GetFileName().str();
  size_t dot = name.rfind(L'.');
  return CString(dot == std::wstring::npos ? L"" : name.substr(dot + 1));
}

void CFileDialog::choose(const std::wstring& path) {
  m_pathName = path.c_str();
  m_folderPath = (isFolder(path) ? path : folderOf(path)).c_str();
  OnFolderChange();
  OnFileNameChange();
}

bool CFileDialog::tryAnswer(const std::wstring& given) {
  const bool folderPicker = (m_ofn.Flags & OFN_ENABLETEMPLATE) != 0;
  // Confirming without typing: a folder picker decides what that means (its own
  // controls); a file picker takes the proposed name, and with none nothing happens.
  if (given.empty() && folderPicker) {
    m_pathName.Empty();
    return OnFileNameOK() == FALSE;
  }
  if (given.empty() && m_initialFile.empty()) return false;
  std::wstring path = given.empty() ? m_initialFile : given;
  // A bare name lands in the initial folder.
  if (lastSeparator(path) == std::wstring::npos && m_ofn.lpstrInitialDir &&
      *m_ofn.lpstrInitialDir) {
    std::wstring folder = m_ofn.lpstrInitialDir;
    if (!isSeparator(folder.back())) folder += L'\\';
    path = folder + path;
  }
  // A save picker adds a single default extension to a name that has none.
  if (!m_bOpenFileDialog && m_ofn.lpstrDefExt && *m_ofn.lpstrDefExt) {
    std::wstring extension = m_ofn.lpstrDefExt;
    std::wstring name =
        path.substr(lastSeparator(path) == std::wstring::npos ? 0 : lastSeparator(path) + 1);
    if (extension.find_first_of(L";*.") == std::wstring::npos &&
        name.find(L'.') == std::wstring::npos && !name.empty())
      path += L"." + extension;
  }
  if (!folderPicker) {
    const std::wstring folder = folderOf(path);
    if ((m_ofn.Flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !folder.empty() &&
        !isFolder(folder)) {
      MessageBox((path + L"\nPath does not exist.\nCheck the path and try again.").c_str(),
                 m_ofn.lpstrTitle, MB_OK | MB_ICONWARNING);
      return false;
    }
    if ((m_ofn.Flags & OFN_FILEMUSTEXIST) && !exists(path)) {
      MessageBox((path + L"\nFile not found.\nCheck the file name and try again.").c_str(),
                 m_ofn.lpstrTitle, MB_OK | MB_ICONWARNING);
      return false;
    }
    if (!m_bOpenFileDialog && (m_ofn.Flags & OFN_OVERWRITEPROMPT) && exists(path) &&
        MessageBox((path + L" already exists.\nDo you want to replace it?").c_str(),
                   m_ofn.lpstrTitle, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
      return false;
  }
  choose(path);
  return OnFileNameOK() == FALSE;
}

INT_PTR CFileDialog::DoModal() {
  if (dialogState() != nullptr) return -1;
  const DLGTEMPLATE_DATA* added = nullptr;
  if (m_ofn.Flags & OFN_ENABLETEMPLATE) {
    HINSTANCE resources = m_ofn.hInstance ? m_ofn.hInstance : AfxGetResourceHandle();
    UINT id = static_cast<UINT>(reinterpret_cast<std::uintptr_t>(m_ofn.lpTemplateName));
    added = resources ? resources->findDialog(id) : nullptr;
    if (added == nullptr) return -1;
  }
  const std::wstring title = m_ofn.lpstrTitle && *m_ofn.lpstrTitle
                                 ? m_ofn.lpstrTitle
                                 : (m_bOpenFileDialog ? L"Open" : L"Save As");
  openState(added, title);
  HWND owner = ::GetActiveWindow();
  BOOL ownerWasDisabled = ::EnableWindow(owner, FALSE);
  INT_PTR result = IDCANCEL;
  try {
    OnInitDialog();
    if (m_ofn.lpstrInitialDir) m_folderPath = m_ofn.lpstrInitialDir;
    while (true) {
      std::optional<std::wstring> answer = tabrik::acad::testing::takeTextAnswer();
      if (!answer && tabrik::acad::testing::isInteractive()) {
        std::wstring shown = title;
        for (const auto& [description, patterns] : m_filters) shown += L" [" + description + L"]";
        if (m_ofn.lpstrInitialDir && *m_ofn.lpstrInitialDir)
          shown += std::wstring(L" in ") + m_ofn.lpstrInitialDir;
        if (!m_initialFile.empty()) shown += L", Enter for " + m_initialFile;
        std::string prompt = tabrik::text::toUtf8(shown) + " (a path, or *cancel*): ";
        if (std::optional<std::string> typed = tabrik::acad::testing::readTerminal(prompt))
          answer = tabrik::text::fromUtf8(*typed);
      }
      if (!answer || *answer == L"*cancel*") break;
      if (tryAnswer(*answer)) {
        result = IDOK;
        break;
      }
    }
  } catch (...) {
    ::EnableWindow(owner, ownerWasDisabled ? FALSE : TRUE);
    closeState();
    throw;
  }
  ::EnableWindow(owner, ownerWasDisabled ? FALSE : TRUE);
  ::SetActiveWindow(owner);
  closeState();
  if (result != IDOK) m_pathName.Empty();
  return result;
}
