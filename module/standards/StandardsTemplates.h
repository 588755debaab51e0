// The standards dialogs' templates, as the resource compiler would link them into the
// module: the resources the dialogs' run makes current (StandardsDialogRun.h).
#pragma once
#include <resourcedata.h>

namespace tabrik::arx::standards {

HINSTANCE standardsResources();

}  // namespace tabrik::arx::standards
