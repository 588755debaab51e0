// The runtime classes the module adds to the host's class dictionary: created at
// initialisation (before acrxBuildClassHierarchy) and deleted at unload.
#pragma once

namespace tabrik::arx {

void registerModuleClasses();
void removeModuleClasses();

}  // namespace tabrik::arx
