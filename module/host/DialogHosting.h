// The steps around every modal dialog of the module, and the prompt every dialog falls
// back on when it cannot be shown.
//
//   {
//     ModuleResourceScope resources;       // 1. the module's resources current
//     CLayerCustomization dialog(...);
//     INT_PTR result = runModuleDialog(dialog);  // 2-5
//   }                                      // 6. the host's resources back, after the dialog
#pragma once
#include <string>

#include <afxwin.h>

namespace tabrik::arx {

// Makes the module's resources current for its lifetime (push, then the matching pop).
class ModuleResourceScope {
 public:
  ModuleResourceScope();
  ~ModuleResourceScope();
  ModuleResourceScope(const ModuleResourceScope&) = delete;
  ModuleResourceScope& operator=(const ModuleResourceScope&) = delete;
};

// Remembers the active window, runs the dialog modally, passes the result to the
// component-missing prompt, makes the remembered window active again; returns the
// run's result unchanged.
INT_PTR runModuleDialog(CDialog& dialog);

// The components installer's address: TABRIK_COMPONENTS_URL, else the maker's.
std::wstring componentsUrl();
// Acts only on -1 (not created) and 3 (aborted): offers to download the components.
void componentMissingPrompt(INT_PTR runResult);

}  // namespace tabrik::arx
