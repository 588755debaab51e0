// The steps around a support dialog and the components prompt (see
// SupportDialogScope.h).
#include "support/SupportDialogScope.h"

#include <cstdlib>

#include <acdocman.h>
#include <acedads.h>
#include <acutads.h>
#include <shellapi.h>
#include <winuser.h>

#include "resources/SupportDialogs.h"
#include "support/NarrowText.h"

namespace tabrik::arx {
namespace {

constexpr const wchar_t* kCaption = L"Norvane Error";
constexpr const wchar_t* kDefaultComponentsUrl =
    L"https://www.norvane.com/downloads/TabrikComponents.exe";

std::wstring componentsUrl() {
  const char* configured = std::getenv("TABRIK_COMPONENTS_URL");
  return configured != nullptr && *configured != '\0' ? wideText(configured)
                                                      : kDefaultComponentsUrl;
}

int ownedMessage(const wchar_t* text, UINT style) {
  HWND active = GetActiveWindow();
  const int answer = MessageBoxW(active, text, kCaption, style);
  SetActiveWindow(active);
  return answer;
}

}  // namespace

SupportDialogScope::SupportDialogScope() { acDocManager->pushResourceHandle(supportResources()); }

SupportDialogScope::~SupportDialogScope() { acDocManager->popResourceHandle(); }

INT_PTR SupportDialogScope::run(CDialog& dialog) {
  HWND active = GetActiveWindow();
  const INT_PTR result = dialog.DoModal();
  showComponentsMissingPrompt(result);
  SetActiveWindow(active);
  return result;
}

void showComponentsMissingPrompt(INT_PTR runResult) {
  if (runResult != -1 && runResult != 3) {
    return;
  }
  if (ownedMessage(L"Dialog box could not be created.\nComponents need to be installed.\nWould "
                   L"you like to download a fix to this error?",
                   MB_YESNO | MB_ICONERROR) != IDYES) {
    return;
  }
  const std::wstring url = componentsUrl();
  HINSTANCE result =
      ShellExecuteW(adsw_acadMainWnd(), L"OPEN", url.c_str(), nullptr, nullptr, SW_SHOWNOACTIVATE);
  if (reinterpret_cast<INT_PTR>(result) > 32) {
    acutPrintf(L"\nDownloading %ls", url.c_str());
    ownedMessage(
        L"The download of the missing components has started.\nWhen it has finished, "
        L"close AutoCAD, run the downloaded installer and start AutoCAD again.\nIf "
        L"problems continue, please contact Norvane technical support.",
        MB_OK);
    return;
  }
  acutPrintf(L"\nError downloading %ls", url.c_str());
  acutPrintf(L"\nPlease contact Norvane technical support.");
  ownedMessage(
      L"The components could not be downloaded.\nPlease contact Norvane technical "
      L"support.",
      MB_OK);
}

}  // namespace tabrik::arx
