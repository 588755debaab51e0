// Registration of the module's runtime classes: the custom entity NVLeader.
#include "host/ModuleClasses.h"

#include <rxclass.h>

#include "draw/NVLeader.h"

namespace tabrik::arx {

void registerModuleClasses() {
  registerNVLeaderClass();
  acrxBuildClassHierarchy();
}

void removeModuleClasses() { removeNVLeaderClass(); }

}  // namespace tabrik::arx
