// The surrounding steps of a modal dialog and the component-missing prompt.
#include "host/DialogHosting.h"

#include <acdocman.h>
#include <winuser.h>

#include "host/DownloadOffer.h"
#include "resources/ModuleResources.h"

namespace tabrik::arx {

namespace {

constexpr const wchar_t* kDefaultComponentsUrl =
    L"https://www.norvane.com/downloads/TabrikComponents.exe";

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
  offerDownload(componentsUrl(),
                {L"Dialog box could not be created.\nComponents need to be installed.\nWould "
                 L"you like to download a fix to this error?",
                 L"The download of the missing components has started.\nWhen it has finished, "
                 L"close AutoCAD, run the downloaded installer and then start AutoCAD again.\nIf "
                 L"the problem continues, please contact Norvane technical support.",
                 L"The missing components could not be downloaded.\nPlease contact Norvane "
                 L"technical support."});
}

}  // namespace tabrik::arx
