// The LISP functions of entity picks and selection sets: ssget, sslength, ssname,
// ssadd, ssdel, ssmemb, over the host's selection sets (entlast is with the entity
// functions).
#pragma once

namespace tabrik::lisp {
class Runtime;
}

namespace tabrik::acad {

void installSelectionFunctions(lisp::Runtime& runtime);

}  // namespace tabrik::acad
