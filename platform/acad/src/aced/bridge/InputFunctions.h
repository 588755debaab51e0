// The host: functions of user input: host:jigs, the record of the drags that jigs ran
// (what a user would have seen while dragging).
#pragma once

namespace tabrik::lisp {
class Runtime;
}

namespace tabrik::acad {

void installInputFunctions(lisp::Runtime& runtime);

}  // namespace tabrik::acad
