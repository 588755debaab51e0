// The bodies of the host's built-in commands (CoreCommandList.def names them).
//
// A body is ordinary sequential code run by the command engine:
//  - it reads its input only through the ads input calls (acedInitGet, acedGetPoint,
//    acedGetCorner, acedGetDist, acedGetAngle, acedGetReal, acedGetInt, acedGetString,
//    acedGetKword, acedEntSel, acedSSGet), with the prompts the command line shows;
//  - it writes through the drawing database (acdbOpenObject, model space append, the
//    current layer, colour and linetype variables);
//  - it returns RTNORM when done, RTCAN when an input was cancelled (that input call
//    returned RTCAN), RTERROR on failure after printing the host's message.
// A body never touches the engine's state: the engine wraps each call with the undo
// group, CMDACTIVE/CMDNAMES and the input source.
#pragma once

namespace tabrik::acad::command {

#define CORE_COMMAND(name, body) int body();
#include "aced/command/CoreCommandList.def"
#undef CORE_COMMAND

}  // namespace tabrik::acad::command
