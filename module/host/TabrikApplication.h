// The module's life in the host: what it does on each application message the host
// sends to acrxEntryPoint, inside one guard that turns an escaping exception into a
// command-line message and kRetError.
//
//   Unloaded --kInitAppMsg ok--> Loaded (reactor attached, DAO started unless it ran
//   already, custom classes registered)
//   Loaded --kLoadDwgMsg--> functions defined in that drawing, a DB_INFO record for it
//   Loaded --kUnloadDwgMsg--> that drawing's record and connection discarded
//   Loaded --kUnloadAppMsg--> Unloaded
// A failed initialisation leaves only the solid module load, the mutex and the seed.
#pragma once
#include <rxdefs.h>

namespace tabrik::arx {

AcRx::AppRetCode handleAppMessage(AcRx::AppMsgCode message, void* appId);

}  // namespace tabrik::arx
