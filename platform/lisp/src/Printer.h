// Printing helpers shared by the printer's users inside the runtime.
#pragma once

#include <string>

#include "lisp/Value.h"

namespace tabrik::lisp {

// A real as the host prints it: 2.0, 0.785398, 2.14748e+009, 1.0e+020.
std::string formatReal(double d);
// prin1 (escape) or princ form of value, appended to out.
void appendPrinted(std::string& out, const Value& value, bool escape);

}  // namespace tabrik::lisp
