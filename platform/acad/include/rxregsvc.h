// Module services: loading and unloading modules by file name, and the flags an
// application sets about itself.
#pragma once
#include "adsdef.h"

// Loads a module (a shared library exporting acrxEntryPoint) found beside the host or
// on its search path, and sends it kInitAppMsg. True when it is loaded afterwards.
bool acrxLoadModule(const ACHAR* moduleName, bool printIt, bool asCmd = false);
// Sends kUnloadAppMsg and unloads the module. False when it was not loaded or refuses.
bool acrxUnloadModule(const ACHAR* moduleName, bool asCmd = false);
// The application may be unloaded while the host runs.
bool acrxUnlockApplication(void* appId);
bool acrxLockApplication(void* appId);
bool acrxApplicationIsLocked(const ACHAR* modulename);
// The application works with several open documents.
bool acrxRegisterAppMDIAware(void* appId);
bool acrxRegisterAppNotMDIAware(void* appId);
// Stops the host at once with a message: for a module that finds the host in a state it
// cannot work in (another module's class under one of its class names). Never returns.
[[noreturn]] void acrx_abort(const ACHAR* format, ...);
