// acrxLoadModule and friends: modules as dlopen'ed shared libraries driven through
// their acrxEntryPoint.
#include "aced/module/Modules.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>

#include "acdb/acut/WideText.h"
#include "aced/doc/DocManager.h"
#include "aced/host/HostState.h"
#include "dbmain.h"
#include "rxdefs.h"
#include "rxdict.h"
#include "rxregsvc.h"
#include "tabrik/DrawingFiling.h"

namespace tabrik::acad {

namespace {

std::vector<LoadedModule*> g_modules;
const LoadedModule* g_running = nullptr;
std::string g_lastError;

std::string executableFolder() {
  char buffer[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return ".";
  buffer[length] = '\0';
  return std::filesystem::path(buffer).parent_path().string();
}

bool isFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

LoadedModule* findModule(const std::wstring& name) {
  std::string path = resolveModulePath(name);
  for (LoadedModule* module : g_modules) {
    if (equalsIgnoringCase(module->name, name) || (!path.empty() && module->path == path))
      return module;
  }
  return nullptr;
}

LoadedModule* findModule(void* appId) {
  for (LoadedModule* module : g_modules) {
    if (module->handle == appId) return module;
  }
  return nullptr;
}

std::vector<std::wstring> classNames() {
  std::vector<std::wstring> names;
  for (AcRxDictionaryIterator it(*acrxClassDictionary); !it.done(); it.next())
    names.emplace_back(it.key());
  return names;
}

// True when an open drawing holds an object (erased or not) of one of the module's
// classes: unloading it would leave those objects without their code.
bool hasObjectsOfItsClasses(const LoadedModule* module) {
  if (module->classNames.empty()) return false;
  for (const auto& document : docManager().documents()) {
    AcDbDatabase* database = document->database();
    if (database == nullptr) continue;
    for (const AcDbObjectId& id : objectIds(database)) {
      const AcDbObject* object = peekObject(id);
      if (object == nullptr || object->isA() == nullptr) continue;
      const std::wstring name = object->isA()->name();
      if (std::find(module->classNames.begin(), module->classNames.end(), name) !=
          module->classNames.end())
        return true;
    }
  }
  return false;
}

void unload(LoadedModule* module) {
  module->send(AcRx::kUnloadAppMsg);
  for (const auto& document : docManager().documents()) document->forgetModule(module);
  std::erase(g_modules, module);
  dlclose(module->handle);
  delete module;
}

}  // namespace

int LoadedModule::send(int message) {
  RunningModuleScope scope(this);
  try {
    return entryPoint(message, handle);
  } catch (...) {
    // An exception must not unwind through the host's message loop.
    hostDiagnostic("module " + toUtf8(name) + ": exception in acrxEntryPoint");
    return AcRx::kRetError;
  }
}

const LoadedModule* runningModule() { return g_running; }
RunningModuleScope::RunningModuleScope(const LoadedModule* module) : m_outer(g_running) {
  g_running = module;
}
RunningModuleScope::~RunningModuleScope() { g_running = m_outer; }

const std::vector<LoadedModule*>& loadedModules() { return g_modules; }
const std::string& lastModuleError() { return g_lastError; }

std::string resolveModulePath(const std::wstring& name) {
  std::string given = toUtf8(name);
  std::replace(given.begin(), given.end(), '\\', '/');
  if (given.empty()) return {};
  if (given.find('/') != std::string::npos)
    return isFile(given) ? std::filesystem::absolute(given).string() : "";
  std::vector<std::string> folders{executableFolder()};
  for (const std::string& folder : hostState().searchFolders()) folders.push_back(folder);
  for (const std::string& folder : folders) {
    std::string candidate = folder + "/" + given;
    if (isFile(candidate)) return std::filesystem::absolute(candidate).string();
  }
  return {};
}

void notifyModulesDocumentOpened(Document& document) {
  std::vector<LoadedModule*> modules = g_modules;
  for (LoadedModule* module : modules) module->send(AcRx::kLoadDwgMsg);
}

void notifyModulesDocumentClosing(Document& document) {
  std::vector<LoadedModule*> modules = g_modules;
  for (LoadedModule* module : modules) module->send(AcRx::kUnloadDwgMsg);
}

void unloadAllModules() {
  while (!g_modules.empty()) unload(g_modules.back());
}

}  // namespace tabrik::acad

using namespace tabrik::acad;

bool acrxLoadModule(const ACHAR* moduleName, bool printIt, bool) {
  if (moduleName == nullptr) return false;
  if (findModule(moduleName) != nullptr) return true;
  std::string path = resolveModulePath(moduleName);
  if (path.empty()) {
    g_lastError = "cannot find module " + toUtf8(moduleName);
    return false;
  }
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    g_lastError = reason ? reason : "cannot open " + path;
    return false;
  }
  auto entryPoint = reinterpret_cast<LoadedModule::EntryPoint>(dlsym(handle, "acrxEntryPoint"));
  if (entryPoint == nullptr) {
    g_lastError = path + " exports no acrxEntryPoint";
    dlclose(handle);
    return false;
  }
  auto* module =
      new LoadedModule{std::wstring(moduleName), path, handle, entryPoint, false, false, {}};
  g_modules.push_back(module);
  const std::vector<std::wstring> before = classNames();
  const int initialised = module->send(AcRx::kInitAppMsg);
  for (const std::wstring& name : classNames()) {
    if (std::find(before.begin(), before.end(), name) == before.end())
      module->classNames.push_back(name);
  }
  if (initialised != AcRx::kRetOK) {
    g_lastError = path + " refused to initialise";
    for (const auto& document : docManager().documents()) document->forgetModule(module);
    std::erase(g_modules, module);
    dlclose(handle);
    delete module;
    return false;
  }
  DocManager& manager = docManager();
  Document* previous = manager.current();
  for (const auto& document : manager.documents()) {
    manager.setCurDocument(document.get(), AcAp::kNone, false);
    module->send(AcRx::kLoadDwgMsg);
  }
  if (previous != nullptr) manager.setCurDocument(previous, AcAp::kNone, false);
  if (printIt) hostDiagnostic("loaded " + path);
  return true;
}

bool acrxUnloadModule(const ACHAR* moduleName, bool) {
  if (moduleName == nullptr) return false;
  LoadedModule* module = findModule(moduleName);
  if (module == nullptr || !module->unlocked) return false;
  if (hasObjectsOfItsClasses(module)) {
    g_lastError = "module " + toUtf8(module->name) +
                  " stays loaded: open drawings hold objects of its classes";
    hostDiagnostic(g_lastError);
    return false;
  }
  unload(module);
  return true;
}

bool acrxUnlockApplication(void* appId) {
  LoadedModule* module = findModule(appId);
  if (module == nullptr) return false;
  module->unlocked = true;
  return true;
}

bool acrxLockApplication(void* appId) {
  LoadedModule* module = findModule(appId);
  if (module == nullptr) return false;
  module->unlocked = false;
  return true;
}

bool acrxApplicationIsLocked(const ACHAR* moduleName) {
  LoadedModule* module = moduleName ? findModule(moduleName) : nullptr;
  return module != nullptr && !module->unlocked;
}

bool acrxRegisterAppMDIAware(void* appId) {
  LoadedModule* module = findModule(appId);
  if (module == nullptr) return false;
  module->mdiAware = true;
  return true;
}

bool acrxRegisterAppNotMDIAware(void* appId) {
  LoadedModule* module = findModule(appId);
  if (module == nullptr) return false;
  module->mdiAware = false;
  return true;
}
