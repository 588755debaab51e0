// Registration of the module's runtime classes. The custom entity NVLeader registers
// here when its class joins the module.
#include "host/ModuleClasses.h"

#include <rxclass.h>

namespace tabrik::arx {

void registerModuleClasses() { acrxBuildClassHierarchy(); }

void removeModuleClasses() {}

}  // namespace tabrik::arx
