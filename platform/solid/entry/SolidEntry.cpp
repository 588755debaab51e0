// The component's entry point: it registers the class nv_hvacSolid when it loads and
// removes it when it unloads (the host keeps it loaded while a drawing holds a solid).
#include <rxdefs.h>
#include <rxregsvc.h>

#include "solid/HvacSolid.h"
#include "solid/SolidHooks.h"

extern "C" __attribute__((visibility("default"))) int acrxEntryPoint(int message, void* appId) {
  switch (message) {
    case AcRx::kInitAppMsg:
      acrxUnlockApplication(appId);
      acrxRegisterAppMDIAware(appId);
      tabrik::solid::HvacSolid::rxInit();
      tabrik::solid::silenceKernelMessages();
      break;
    case AcRx::kUnloadAppMsg:
      tabrik::solid::HvacSolid::rxUninit();
      break;
    default:
      break;
  }
  return AcRx::kRetOK;
}
