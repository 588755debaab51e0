// The module's two exports: the entry point the host sends application messages to,
// and the version of the host interface the module was built for.
#include <rxdefs.h>

#include "host/TabrikApplication.h"

extern "C" __attribute__((visibility("default"))) AcRx::AppRetCode acrxEntryPoint(
    AcRx::AppMsgCode message, void* appId) {
  return tabrik::arx::handleAppMessage(message, appId);
}

// The interface version as the host's SDK packs it: major in the high word.
extern "C" __attribute__((visibility("default"))) int acrxGetApiVersion() {
  return (ACRX_API_VERSION_MAJOR << 16) | ACRX_API_VERSION_MINOR;
}
