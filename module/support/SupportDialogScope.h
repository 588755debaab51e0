// The steps around every support dialog. A scope is made before the dialog object and
// outlives it:
//
//   SupportDialogScope scope;          // the module's resources made current
//   CSubmitBug dialog(...);
//   scope.run(dialog);                 // active window remembered, modal run, the
//                                      // components prompt on failure, window back
//   }                                  // dialog gone, then the host's resources back
#pragma once
#include <afxwin.h>

namespace tabrik::arx {

class SupportDialogScope {
 public:
  SupportDialogScope();
  ~SupportDialogScope();
  SupportDialogScope(const SupportDialogScope&) = delete;
  SupportDialogScope& operator=(const SupportDialogScope&) = delete;

  // The dialog's run result, unchanged: IDOK, IDCANCEL, or -1 when it could not be
  // created.
  INT_PTR run(CDialog& dialog);
};

// The prompt after a dialog that could not be created (-1) or whose run was aborted
// (3): components are missing; Yes opens the installer's address with the shell.
void showComponentsMissingPrompt(INT_PTR runResult);

}  // namespace tabrik::arx
