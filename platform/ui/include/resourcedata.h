// A module's resources as data: what the resource compiler would link into the
// module's image from its .rc file. A module keeps one HINSTANCE__ with its dialog
// templates; its address is the module's resource handle, which the module makes
// current (acDocManager->pushResourceHandle) before it runs a dialog. A dialog finds
// its template by id in the current resource handle only.
//
// Control class names and styles are the Windows ones ("STATIC", "EDIT", "BUTTON",
// "COMBOBOX", "LISTBOX"; ES_MULTILINE, BS_AUTOCHECKBOX, CBS_DROPDOWNLIST, ...); the
// grid control's class is GRIDCONTROL_CLASS (gridcontrol.h).
#pragma once
#include <string>
#include <vector>

#include "afxstat_.h"
#include "windef.h"

struct DLGITEM_DATA {
  std::wstring className;
  UINT id = 0;
  std::wstring text;  // the caption of a static, button or check box; initial edit text
  DWORD style = 0;
  // Dialog units, as in the .rc file: the terminal driver lays the screen out from them.
  int x = 0, y = 0, cx = 0, cy = 0;
};

struct DLGTEMPLATE_DATA {
  UINT id = 0;
  std::wstring name;  // the resource's symbol ("IDD_XFOLDERDIALOG")
  std::wstring caption;
  int cx = 0, cy = 0;
  std::vector<DLGITEM_DATA> items;
};

struct HINSTANCE__ {
  std::wstring moduleName;
  std::vector<DLGTEMPLATE_DATA> dialogs;

  const DLGTEMPLATE_DATA* findDialog(UINT id) const {
    for (const DLGTEMPLATE_DATA& dialog : dialogs)
      if (dialog.id == id) return &dialog;
    return nullptr;
  }
};
