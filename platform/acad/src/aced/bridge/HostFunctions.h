// The host's own LISP functions: the host: family that scripts use to act as the
// user of the host (drawings, input and answer queues, records), and the host
// built-ins that modules may call through acedInvoke (startapp, acad_colordlg).
#pragma once
#include <functional>

namespace tabrik::lisp {
class Runtime;
}

namespace tabrik::acad {

void installHostFunctions(lisp::Runtime& runtime);
// More builtins that installHostFunctions installs after the host's own.
void addHostFunctionInstaller(std::function<void(lisp::Runtime&)> installer);
// vl-registry-* and host:registry-file (RegistryFunctions.cpp).
void installRegistryFunctions(lisp::Runtime& runtime);
// host:solid-volume, host:save-step, host:step-volume (SolidHostFunctions.cpp).
void installSolidFunctions(lisp::Runtime& runtime);

}  // namespace tabrik::acad
