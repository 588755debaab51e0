// The interactive host: the "Command: " prompt, line editing and history, LISP
// forms read across lines, Ctrl-C to stop a running evaluation.
#pragma once
#include "HostSession.h"

namespace tabrik::app {

int runInteractive(const acad::SessionOptions& options);

}  // namespace tabrik::app
