#include "standards/StandardsDialogRun.h"

#include <acdocman.h>
#include <acedads.h>
#include <afxwin.h>
#include <winuser.h>

#include "db/ConnectionList.h"
#include "db/FailureReport.h"
#include "host/DialogHosting.h"

namespace tabrik::arx::standards {

StandardsDatabase::~StandardsDatabase() {
  if (m_own) m_own->Close();
}

bool StandardsDatabase::refuseReadOnly() {
  if (!m_connection->IsReadOnly()) return false;
  MessageBoxW(adsw_acadMainWnd(), L"Database is read-only. Cannot be viewed at this time.",
              L"Norvane", MB_OK);
  return true;
}

bool StandardsDatabase::Open(const CString& path, Report report) {
  m_path = path;
  if (m_path.IsEmpty()) {
    if (CDBConnection* current = db::currentConnection()) m_path = current->GetDatabaseName();
  }
  m_own = std::make_unique<CDBConnection>();
  m_connection = m_own.get();
  const CString opened = m_own->Open(m_path, /*exclusive=*/false, /*readOnly=*/false);
  if (opened.IsEmpty() || opened == CDBConnection::kRepairMarker || !m_own->IsOpen()) {
    if (report == Report::TabrikError) {
      db::reportTabrikFailure(m_own.get());
    } else {
      db::reportFailure(m_own.get());
    }
    return false;
  }
  return !refuseReadOnly();
}

bool StandardsDatabase::UseCurrent() {
  m_connection = db::currentConnection();
  if (m_connection == nullptr || !m_connection->IsOpen()) return false;
  m_path = m_connection->GetDatabaseName();
  return !refuseReadOnly();
}

INT_PTR runStandardsDialog(const std::function<std::unique_ptr<CDialog>()>& make) {
  AcApDocument* document = acDocManager->curDocument();
  const bool unlocked = document != nullptr && acDocManager->unlockDocument(document) == Acad::eOk;
  INT_PTR result = -1;
  {
    ModuleResourceScope resources;
    std::unique_ptr<CDialog> dialog = make();
    if (dialog) result = runModuleDialog(*dialog);
  }
  if (unlocked) acDocManager->lockDocument(document, AcAp::kWrite);
  return result;
}

}  // namespace tabrik::arx::standards
