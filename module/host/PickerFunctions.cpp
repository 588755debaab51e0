// The file and folder pickers: CFileDialog and XFolderDialog.
#include <string>

#include <acedads.h>
#include <afxdlgs.h>
#include <winuser.h>

#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/DialogHosting.h"
#include "host/FilePickers.h"
#include "host/LispFunctions.h"
#include "host/XFolderDialog.h"

namespace tabrik::arx {

std::wstring fileDialogFilter(const std::wstring& extensions) {
  if (extensions.empty() || extensions == L"*") return L"All Files (*.*)|*.*||";
  std::wstring filter;
  size_t start = 0;
  while (start <= extensions.size()) {
    size_t end = extensions.find(L';', start);
    if (end == std::wstring::npos) end = extensions.size();
    const std::wstring extension = extensions.substr(start, end - start);
    if (!extension.empty()) {
      CString upper(extension.c_str());
      upper.MakeUpper();
      filter += upper.str() + L" Files (*." + extension + L")|*." + extension + L"|";
    }
    start = end + 1;
  }
  return filter;
}

SaveProposal saveProposal(const std::wstring& initialPath) {
  const bool endsInSeparator =
      !initialPath.empty() && (initialPath.back() == L'\\' || initialPath.back() == L'/');
  if (initialPath.empty() || endsInSeparator) return {initialPath, L""};
  const size_t separator = initialPath.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return {L"", initialPath};
  return {initialPath.substr(0, separator + 1), initialPath.substr(separator + 1)};
}

namespace fn {

int CFileDialog() {
  ArgList args;
  ArgCursor cursor = args.first();
  bool open = false;
  std::wstring title;
  std::wstring initialPath;
  std::wstring extensions;
  if (!readBoolean(cursor, open) || !readString(cursor, title) ||
      !readString(cursor, initialPath) || !readString(cursor, extensions))
    return kWrongType;
  bool overwritePrompt = true;
  bool mustExist = false;
  readBoolean(cursor, overwritePrompt);
  readBoolean(cursor, mustExist);

  const std::wstring filter = fileDialogFilter(extensions);
  std::wstring folder = initialPath;
  std::wstring fileName;
  DWORD flags = 0;
  if (open) {
    if (mustExist) flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  } else {
    if (overwritePrompt) flags = OFN_OVERWRITEPROMPT;
    SaveProposal proposal = saveProposal(initialPath);
    folder = proposal.folder;
    fileName = proposal.fileName;
  }
  HWND active = GetActiveWindow();
  ::CFileDialog dialog(open ? TRUE : FALSE, extensions.c_str(),
                       fileName.empty() ? nullptr : fileName.c_str(), flags, filter.c_str(),
                       nullptr, 0, /*bVistaStyle=*/FALSE);
  dialog.m_ofn.hwndOwner = active;
  dialog.m_ofn.lpstrTitle = title.c_str();
  dialog.m_ofn.lpstrInitialDir = folder.c_str();
  if (dialog.DoModal() == IDOK) {
    acedRetStr(dialog.GetPathName());
  } else {
    acedRetNil();
  }
  SetActiveWindow(active);
  return kResultOk;
}

int XFolderDialog() {
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring initialFolder;
  std::wstring title;
  if (!readString(cursor, initialFolder) || !readString(cursor, title)) return kWrongType;
  ModuleResourceScope resources;
  HWND active = GetActiveWindow();
  {
    CXFolderDialog dialog(initialFolder.empty() ? nullptr : initialFolder.c_str(), 0, nullptr);
    dialog.SetTitle(title.c_str());
    if (dialog.DoModal() == IDOK) {
      acedRetStr(dialog.GetPath());
    } else {
      acedRetNil();
    }
  }
  SetActiveWindow(active);
  return kResultOk;
}

}  // namespace fn
}  // namespace tabrik::arx
