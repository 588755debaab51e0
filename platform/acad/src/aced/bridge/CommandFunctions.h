// LISP's command functions: command, vl-cmdf, host:command-prompts.
#pragma once

namespace tabrik::lisp {
class Runtime;
}

namespace tabrik::acad {

void installCommandFunctions(lisp::Runtime& runtime);

}  // namespace tabrik::acad
