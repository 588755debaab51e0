// The LISP functions of entity picks and selection sets: ssget, sslength, ssname,
// ssadd, ssdel, ssmemb and entlast, over the host's selection sets.
#pragma once

namespace tabrik::lisp {
class Runtime;
}

namespace tabrik::acad {

void installSelectionFunctions(lisp::Runtime& runtime);

}  // namespace tabrik::acad
