// The LISP functions of entity data: entget, entmod, entmake, entmakex, entdel,
// entlast, entnext, handent, entupd and regapp, over the ads entity calls.
#pragma once

namespace tabrik::lisp {
class Runtime;
}

namespace tabrik::acad {

void installEntityFunctions(lisp::Runtime& runtime);

}  // namespace tabrik::acad
