// The solids' measures and STEP files through the component's entry points (see
// SolidFiles.h).
#include "aced/host/SolidFiles.h"

#include <dlfcn.h>

#include <vector>

#include "acdb/acut/WideText.h"
#include "aced/doc/DocManager.h"
#include "aced/host/HostState.h"
#include "aced/module/Modules.h"
#include "dbsymtb.h"
#include "tabrik/TextConversion.h"

namespace tabrik::acad {

namespace {

// The named entry point of the first loaded module that has it.
void* componentHook(const char* name) {
  for (const LoadedModule* module : loadedModules()) {
    if (module->handle == nullptr) continue;
    if (void* hook = dlsym(module->handle, name)) return hook;
  }
  return nullptr;
}

using VolumeHook = int (*)(const AcDbEntity*, double*);
using WriteStepHook = int (*)(const AcDbEntity* const*, int, const char*);
using StepVolumeHook = int (*)(const char*, double*);

}  // namespace

bool solidVolume(AcDbObjectId id, double& volume) {
  auto hook = reinterpret_cast<VolumeHook>(componentHook("tabrikSolidVolume"));
  if (hook == nullptr) return false;
  AcDbEntity* entity = nullptr;
  if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk) return false;
  const bool measured = hook(entity, &volume) == 1;
  entity->close();
  return measured;
}

int saveDrawingStep(Document& document, const std::wstring& path) {
  auto hook = reinterpret_cast<WriteStepHook>(componentHook("tabrikSolidWriteStep"));
  if (hook == nullptr) {
    hostDiagnostic("cannot save STEP: the duct solid component is not loaded");
    return -1;
  }
  AcDbBlockTable* table = nullptr;
  if (document.database()->getBlockTable(table, AcDb::kForRead) != Acad::eOk) return -1;
  AcDbBlockTableRecord* modelSpace = nullptr;
  const Acad::ErrorStatus status = table->getAt(ACDB_MODEL_SPACE, modelSpace, AcDb::kForRead);
  table->close();
  if (status != Acad::eOk) return -1;
  std::vector<AcDbEntity*> entities;
  for (const AcDbObjectId& id : modelSpace->entityIds()) {
    AcDbEntity* entity = nullptr;
    if (acdbOpenObject(entity, id, AcDb::kForRead) == Acad::eOk) entities.push_back(entity);
  }
  modelSpace->close();
  const int written = hook(entities.data(), static_cast<int>(entities.size()),
                           tabrik::text::nativePath(path).c_str());
  for (AcDbEntity* entity : entities) entity->close();
  if (written < 0) hostDiagnostic("cannot save STEP file " + toUtf8(path));
  return written;
}

int stepFileVolume(const std::wstring& path, double& volume) {
  auto hook = reinterpret_cast<StepVolumeHook>(componentHook("tabrikSolidStepVolume"));
  if (hook == nullptr) return -1;
  return hook(tabrik::text::nativePath(path).c_str(), &volume);
}

}  // namespace tabrik::acad
