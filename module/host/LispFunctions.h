// The bodies of the module's LISP functions, one per entry of LispFunctionList.def.
// A body's C++ name is its LISP name with "::" and "-" written as "_"
// ("AcDbCurve::getLength" -> AcDbCurve_getLength, "nv_nv-rand" -> nv_nv_rand).
// Each body follows the shape of ArgReaders.h and returns a ResultCode (CallWrapper.h).
// Bodies still marked Pending in the list are defined together in PendingFunctions.cpp.
#pragma once

namespace tabrik::arx::fn {

#define TABRIK_LISP_FUNCTION(body, name, table, family, state) int body();
#include "host/LispFunctionList.def"
#undef TABRIK_LISP_FUNCTION

}  // namespace tabrik::arx::fn
