// The bodies of the host's built-in commands. Each reads its input with the ads input
// calls and draws through the drawing database, and answers RTNORM when done, RTCAN
// when an input was cancelled, RTERROR on failure (after printing the host's message).
// The command engine around a body owns UNDO marks, CMDACTIVE and the input source.
#pragma once

namespace tabrik::acad::command {

#define CORE_COMMAND(name, body) int body();
#include "aced/command/CoreCommandList.def"
#undef CORE_COMMAND

}  // namespace tabrik::acad::command
