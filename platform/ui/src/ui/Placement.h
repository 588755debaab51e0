// The host's placement store: where a named dialog ("nv_tabrik:...") was and how big
// it was when it last closed, kept in the host's registry under
// HKEY_CURRENT_USER\Software\Tabrik\Dialogs\<name>.
#pragma once
#include <string>

#include "afxwin.h"
#include "resourcedata.h"

namespace tabrik::ui {

// The stored placement, else the template's size (dialog units taken as pixels at
// twice their size) centred on the host's screen.
RECT restorePlacement(const std::wstring& dialogName, const DLGTEMPLATE_DATA& dialog);
// Nothing for an unnamed dialog.
void savePlacement(const std::wstring& dialogName, const RECT& placement);

}  // namespace tabrik::ui
