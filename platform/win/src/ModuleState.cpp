// The process's one module state (see afxstat_.h).
#include "afxstat_.h"

AFX_MODULE_STATE* AfxGetModuleState() {
  static AFX_MODULE_STATE state;
  return &state;
}
