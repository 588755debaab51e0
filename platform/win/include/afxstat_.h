// MFC's module state: what MFC keeps for the code running in a module. An extension
// module shares the state of the application that loads it, so every extension module
// in the host sees one state; its DAO state is there once DAO has been started by any
// of them.
#pragma once
#include "windef.h"

// MFC's per-state DAO bookkeeping (the engine object and the open workspaces live in
// the engine itself here). AfxDaoInit makes it when it starts the engine; the module
// that started DAO deletes it after AfxDaoTerm.
class _AFX_DAO_STATE {
 public:
  virtual ~_AFX_DAO_STATE() = default;
};

class AFX_MODULE_STATE {
 public:
  // The MFC version the module asks for; 0x0601 makes the DAO classes use DAO 3.6.
  DWORD m_dwVersion = 0x0900;
  _AFX_DAO_STATE* m_pDaoState = nullptr;
};

// The module state of the running code (the host application's, for extension modules).
AFX_MODULE_STATE* AfxGetModuleState();

// The resources that dialogs take their templates from (resourcedata.h); the host's
// document manager pushes and pops a module's handle around its dialogs.
struct HINSTANCE__;
typedef struct HINSTANCE__* HINSTANCE;
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE resources);
