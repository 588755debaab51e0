// The process's one module state (see afxstat_.h).
#include "afxstat_.h"

AFX_MODULE_STATE* AfxGetModuleState() {
  static AFX_MODULE_STATE state;
  return &state;
}

namespace {
HINSTANCE g_resources = nullptr;
}  // namespace

HINSTANCE AfxGetResourceHandle() { return g_resources; }
void AfxSetResourceHandle(HINSTANCE resources) { g_resources = resources; }
