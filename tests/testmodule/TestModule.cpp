// A tiny module for the host's module-loading tests: it answers the application
// messages, prints what it hears and registers one external function per drawing,
// using nothing but the ads and ObjectARX headers (its undefined symbols resolve from
// the host at dlopen, as the real module's do).
#include "acdocman.h"
#include "acedads.h"
#include "acutads.h"
#include "rxdefs.h"
#include "rxregsvc.h"

namespace {

// (tm_echo args...) returns its arguments as a list; (tm_echo "fail") fails.
int echo() {
  resbuf* args = acedGetArgs();
  if (args != nullptr && args->restype == RTSTR && args->resval.rstring[0] == L'f') {
    acutRelRb(args);
    acutPrintf(L"\ntm_echo refuses.\n");
    return RSERR;
  }
  acedRetList(args);
  acutRelRb(args);
  return RSRSLT;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int acrxEntryPoint(int message, void* appId) {
  switch (message) {
    case AcRx::kInitAppMsg:
      acrxUnlockApplication(appId);
      acrxRegisterAppMDIAware(appId);
      acutPrintf(L"[init]");
      break;
    case AcRx::kLoadDwgMsg:
      acutPrintf(L"[load %s]", curDoc() ? curDoc()->fileName() : L"?");
      acedDefun(L"tm_echo", 7);
      acedRegFunc(echo, 7);
      break;
    case AcRx::kUnloadDwgMsg:
      acutPrintf(L"[unload %s]", curDoc() ? curDoc()->fileName() : L"?");
      break;
    case AcRx::kUnloadAppMsg:
      acutPrintf(L"[unloadapp]");
      break;
    default:
      break;
  }
  return AcRx::kRetOK;
}
