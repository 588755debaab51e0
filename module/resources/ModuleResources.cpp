// The module's dialog templates. A family adds its templates to the list below.
#include "resources/ModuleResources.h"

#include <afxwin.h>

#include "resources/SupportDialogs.h"
#include "resources/resource.h"
#include "standards/StandardsTemplates.h"

namespace tabrik::arx {

namespace {

// The folder picker's own part: the history of chosen folders under the standard
// file dialog's controls.
DLGTEMPLATE_DATA folderPickerTemplate() {
  return DLGTEMPLATE_DATA{
      IDD_XFOLDERDIALOG,
      L"IDD_XFOLDERDIALOG",
      L"Select Folder",
      300,
      40,
      {
          {L"STATIC", IDC_MRU_CAPTION, L"&Recent folders:", 0, 7, 7, 60, 10},
          {L"COMBOBOX", IDC_MRU_COMBO, L"", CBS_DROPDOWN | WS_VSCROLL, 70, 7, 220, 100},
      }};
}

}  // namespace

HINSTANCE moduleResourceHandle() {
  static HINSTANCE__ resources = [] {
    HINSTANCE__ all{L"Tabrik2010.arx", {folderPickerTemplate()}};
    for (DLGTEMPLATE_DATA& dialog : standards::standardsDialogTemplates()) {
      all.dialogs.push_back(std::move(dialog));
    }
    for (DLGTEMPLATE_DATA& dialog : supportDialogTemplates()) {
      all.dialogs.push_back(std::move(dialog));
    }
    return all;
  }();
  return &resources;
}

}  // namespace tabrik::arx
