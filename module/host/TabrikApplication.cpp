// What the module does on each application message (see TabrikApplication.h).
#include "host/TabrikApplication.h"

#include <ctime>

#include <afx.h>
#include <errhandlingapi.h>
#include <synchapi.h>

#include <aced.h>
#include <acutads.h>
#include <rxregsvc.h>

#include "db/ConnectionList.h"
#include "host/DaoStartup.h"
#include "host/DriverFixPrompt.h"
#include "host/LispFunctionTable.h"
#include "host/ModuleClasses.h"
#include "host/RuntimeRandom.h"
#include "host/JigTimers.h"
#include "host/ToDoDrawing.h"
#include "host/tbEditorReactor.h"
#include "support/SupportConfiguration.h"

namespace tabrik::arx {
namespace {

constexpr const ACHAR* kSolidModule = ACRX_T("nv_nv-solid2010.dbx");

// Module-wide state, alive from initialisation to unload.
struct ApplicationState {
  tbEditorReactor* reactor = nullptr;
  // True only when this module started DAO; then, and only then, unload stops it.
  bool daoStarted = false;
};

ApplicationState& state() {
  static ApplicationState instance;
  return instance;
}

AcRx::AppRetCode initApplication(void* appId) {
  ApplicationState& s = state();
  acrxLoadModule(kSolidModule, /*printIt=*/false, /*asCmd=*/false);
  // Never examined nor closed: the mutex tells other programs that the module runs for
  // as long as the host process does.
  CreateMutexW(/*lpMutexAttributes=*/nullptr, /*bInitialOwner=*/FALSE, L"NorvaneTabrik");
  seedRandom(static_cast<unsigned>(std::time(nullptr)));
  clearToDoDrawing();
  loadSupportConfiguration();

  if (!startDatabaseEngine(s.daoStarted)) {
    showDriverFixPrompt();
    return AcRx::kRetError;
  }

  s.reactor = new tbEditorReactor();
  if (AcEditor* editor = acedEditor) {
    editor->addReactor(s.reactor);
  }
  acrxUnlockApplication(appId);
  acrxRegisterAppMDIAware(appId);
  registerModuleClasses();
  return AcRx::kRetOK;
}

void unloadApplication() {
  ApplicationState& s = state();
  killJigTimers();
  removeModuleClasses();
  // The host closed every drawing before this message; what connections remain are
  // closed ones that no drawing names, freed before DAO goes.
  db::discardAllConnections();
  if (s.daoStarted) {
    stopDatabaseEngine();
    s.daoStarted = false;
  }
  if (s.reactor != nullptr) {
    if (AcEditor* editor = acedEditor) {
      editor->removeReactor(s.reactor);
    }
    delete s.reactor;
    s.reactor = nullptr;
  }
  acrxUnloadModule(kSolidModule, /*asCmd=*/false);
}

void loadDrawing() {
  acutPrintf(ACRX_T("\nLoading Norvane Tabrik (Direct)"));
  registerFunctionTable(databaseFunctionTable(), /*firstCode=*/0);
  db::AddDocumentRecord();
  registerFunctionTable(drawingFunctionTable(), /*firstCode=*/db::databaseFunctionCount());
}

AcRx::AppRetCode dispatch(AcRx::AppMsgCode message, void* appId) {
  switch (message) {
    case AcRx::kInitAppMsg:
      return initApplication(appId);
    case AcRx::kUnloadAppMsg:
      unloadApplication();
      return AcRx::kRetOK;
    case AcRx::kLoadDwgMsg:
      loadDrawing();
      return AcRx::kRetOK;
    case AcRx::kUnloadDwgMsg:
      db::ReleaseDocument();
      return AcRx::kRetOK;
    default:
      return AcRx::kRetOK;
  }
}

}  // namespace

AcRx::AppRetCode handleAppMessage(AcRx::AppMsgCode message, void* appId) {
  try {
    return dispatch(message, appId);
  } catch (CException* e) {
    TCHAR text[1000] = {0};
    e->GetErrorMessage(text, 1000);
    acutPrintf(ACRX_T("\nTabrik General Error: %ls"), text);
    e->Delete();
    return AcRx::kRetError;
  } catch (...) {
    const DWORD code = GetLastError();
    if (code != 0) {
      acutPrintf(ACRX_T("\nSystem error %u.\n"), static_cast<unsigned>(code));
    } else {
      acutPrintf(ACRX_T("\nTabrik error.\n"));
    }
    return AcRx::kRetError;
  }
}

}  // namespace tabrik::arx
