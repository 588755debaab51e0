// The standards dialogs' templates, which the module's resources hold
// (resources/ModuleResources.cpp) beside the other families'.
#pragma once
#include <vector>

#include <resourcedata.h>

namespace tabrik::arx::standards {

std::vector<DLGTEMPLATE_DATA> standardsDialogTemplates();

}  // namespace tabrik::arx::standards
