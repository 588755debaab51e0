// `tabrik test`: runs LISP scenario files form by form in a host session and checks
// the expectation comments that follow each top-level form:
//
//   ;=>VALUE   the form's value as prin1 prints it
//   ;/LINE     one line the form printed (in order; all lines when any is given)
//   ;!MESSAGE  the form ended in an error with this message; ";!" alone: any error
//   ;;         a comment
//
// Output is split at newlines, a final newline ending the last line. The host's own
// "; error: " report of an error is not part of a form's output. A form without
// expectations is set-up: an error there fails the file.
#pragma once
#include <string>
#include <vector>

#include "HostSession.h"

namespace tabrik::app {

// 0 when every file passed, 1 when any check failed, 2 when a file cannot be read.
int runScenarioFiles(const acad::SessionOptions& options, const std::vector<std::string>& files);

}  // namespace tabrik::app
