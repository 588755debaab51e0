// Starting and stopping the database engine (DAO through MFC) for the module. DAO is
// process-wide: when another module has started it already, this one uses it and
// neither starts nor stops it.
#pragma once

namespace tabrik::arx {

// Starts DAO unless it runs already; `started` tells whether this call started it.
// False when starting failed (the caller shows the database-driver prompt).
bool startDatabaseEngine(bool& started);
// Stops DAO; only for the module that started it.
void stopDatabaseEngine();

}  // namespace tabrik::arx
