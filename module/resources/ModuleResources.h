// The module's resources: its dialog templates, kept as data. The handle is what the
// module makes current in the host (acDocManager->pushResourceHandle) before it shows
// a dialog, so that the dialog finds its template here.
#pragma once
#include <resourcedata.h>

namespace tabrik::arx {

HINSTANCE moduleResourceHandle();

}  // namespace tabrik::arx
