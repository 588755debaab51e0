// What the host does with the engine beyond DAO's own interface. Not for module code.
#pragma once

namespace tabrik::dao {

// The host is idle: every open database this process committed to since its last
// checkpoint copies its write-ahead log into the file, so that a copy of the file
// alone holds every commit. A database another process is reading is left for the
// next idle time. Returns how many databases were checkpointed.
int checkpointOpenDatabases();

}  // namespace tabrik::dao
