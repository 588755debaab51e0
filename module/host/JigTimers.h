// The watchdog timers of nv_nv-createJigTimer, module-wide from initialisation to
// unload.
#pragma once

namespace tabrik::arx {

// Kills every watchdog timer still running (module unload: their callbacks live in
// the module).
void killJigTimers();

}  // namespace tabrik::arx
