// The surrounding steps of a modal dialog and the component-missing prompt.
#include "host/DialogHosting.h"

#include <cstdlib>

#include <acdocman.h>
#include <acedads.h>
#include <acutads.h>
#include <shellapi.h>
#include <winuser.h>

#include "host/DriverFixPrompt.h"
#include "resources/ModuleResources.h"

namespace tabrik::arx {

namespace {

constexpr const wchar_t* kCaption = L"Norvane Error";
constexpr const wchar_t* kDefaultComponentsUrl =
    L"https://www.norvane.com/downloads/TabrikComponents.exe";

// A message box owned by the active window, which is made active again afterwards.
int messageBox(const wchar_t* text, UINT style) {
  HWND owner = GetActiveWindow();
  const int answer = MessageBoxW(owner, text, kCaption, style);
  SetActiveWindow(owner);
  return answer;
}

}  // namespace

ModuleResourceScope::ModuleResourceScope() {
  acDocManager->pushResourceHandle(moduleResourceHandle());
}

ModuleResourceScope::~ModuleResourceScope() { acDocManager->popResourceHandle(); }

INT_PTR runModuleDialog(CDialog& dialog) {
  HWND active = GetActiveWindow();
  const INT_PTR result = dialog.DoModal();
  componentMissingPrompt(result);
  SetActiveWindow(active);
  return result;
}

std::wstring componentsUrl() {
  return configuredAddress("TABRIK_COMPONENTS_URL", kDefaultComponentsUrl);
}

void componentMissingPrompt(INT_PTR runResult) {
  if (runResult != -1 && runResult != 3) return;
  if (messageBox(L"Dialog box could not be created.\nComponents need to be installed.\nWould "
                 L"you like to download a fix to this error?",
                 MB_YESNO | MB_ICONERROR) != IDYES)
    return;
  const std::wstring url = componentsUrl();
  HINSTANCE opened =
      ShellExecuteW(adsw_acadMainWnd(), L"OPEN", url.c_str(), nullptr, nullptr, SW_SHOWNOACTIVATE);
  if (reinterpret_cast<INT_PTR>(opened) > 32) {
    acutPrintf(L"\nDownloading %ls", url.c_str());
    messageBox(
        L"The download of the missing components has started.\nWhen it has finished, "
        L"close AutoCAD, run the downloaded installer and then start AutoCAD again.\nIf "
        L"the problem continues, please contact Norvane technical support.",
        MB_OK | MB_ICONERROR);
    return;
  }
  acutPrintf(L"\nError downloading %ls", url.c_str());
  acutPrintf(L"\nPlease contact Norvane technical support.");
  messageBox(
      L"The missing components could not be downloaded.\nPlease contact Norvane "
      L"technical support.",
      MB_OK | MB_ICONERROR);
}

}  // namespace tabrik::arx
