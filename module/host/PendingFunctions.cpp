// The bodies of the LISP functions that LispFunctionList.def marks Pending: each is
// registered like every other function and returns nil without reading its arguments.
// Writing a body means marking its line Built and defining it in its family's file.
#include <acedads.h>

#include "host/CallWrapper.h"
#include "host/LispFunctions.h"

namespace tabrik::arx::fn {

#define TABRIK_BODY_Built(body)
#define TABRIK_BODY_Pending(body) \
  int body() {                    \
    acedRetNil();                 \
    return kResultOk;             \
  }
#define TABRIK_LISP_FUNCTION(body, name, table, family, state) TABRIK_BODY_##state(body)
#include "host/LispFunctionList.def"
#undef TABRIK_LISP_FUNCTION
#undef TABRIK_BODY_Pending
#undef TABRIK_BODY_Built

}  // namespace tabrik::arx::fn
