// Starting and stopping DAO (see DaoStartup.h).
#include "host/DaoStartup.h"

#include <afxdao.h>
#include <afxstat_.h>

namespace tabrik::arx {

bool startDatabaseEngine(bool& started) {
  started = false;
  AFX_MODULE_STATE* moduleState = AfxGetModuleState();
  if (moduleState->m_pDaoState != nullptr) {
    return true;
  }
  moduleState->m_dwVersion = 0x0601;
  try {
    AfxDaoInit();
  } catch (CException* e) {
    e->Delete();
    return false;
  } catch (...) {
    return false;
  }
  // MFC's AfxDaoInit leaves its DAO state in the module state; the state marks DAO as
  // running for every module that shares it.
  if (moduleState->m_pDaoState == nullptr) {
    moduleState->m_pDaoState = new _AFX_DAO_STATE();
  }
  started = true;
  return true;
}

void stopDatabaseEngine() {
  AfxDaoTerm();
  AFX_MODULE_STATE* moduleState = AfxGetModuleState();
  delete moduleState->m_pDaoState;
  moduleState->m_pDaoState = nullptr;
}

}  // namespace tabrik::arx
