// Loaded modules: shared libraries that export acrxEntryPoint. The host sends each
// its application messages:
//
//   (not loaded) --acrxLoadModule: dlopen, kInitAppMsg, kLoadDwgMsg per open
//                  document (each current in turn)--> loaded
//   loaded --document opened: kLoadDwgMsg / document closing: kUnloadDwgMsg--> loaded
//   loaded --acrxUnloadModule (unlocked modules only, and none of whose classes has
//            objects in an open drawing): kUnloadAppMsg, its external functions
//            forgotten in every document, dlclose--> (not loaded)
//
// A kInitAppMsg answered with kRetError unloads the module at once.
#pragma once
#include <string>
#include <vector>

namespace tabrik::acad {

class Document;

class LoadedModule {
 public:
  using EntryPoint = int (*)(int message, void* appId);

  std::wstring name;  // as asked for, e.g. "Tabrik2010.arx"
  std::string path;   // the file dlopen opened
  void* handle = nullptr;
  EntryPoint entryPoint = nullptr;
  bool unlocked = false;
  bool mdiAware = false;
  // The runtime classes the module added while it initialised: while an open drawing
  // holds an object of one of them, the module's code is needed and it stays loaded.
  std::vector<std::wstring> classNames;

  int send(int message);
};

// The module whose entry point or external function is running (registrations made
// now belong to it), or nullptr.
const LoadedModule* runningModule();
class RunningModuleScope {
 public:
  explicit RunningModuleScope(const LoadedModule* module);
  ~RunningModuleScope();

 private:
  const LoadedModule* m_outer;
};

void notifyModulesDocumentOpened(Document& document);
void notifyModulesDocumentClosing(Document& document);
// The file a module name resolves to: a path with a folder as given, else beside the
// host's executable, then in the folders of the search path; empty when none exists.
std::string resolveModulePath(const std::wstring& name);
const std::vector<LoadedModule*>& loadedModules();
// Unloads every module, locked or not (the host is ending), last loaded first.
void unloadAllModules();
// Why the last acrxLoadModule failed (for the host's diagnostics).
const std::string& lastModuleError();

}  // namespace tabrik::acad
