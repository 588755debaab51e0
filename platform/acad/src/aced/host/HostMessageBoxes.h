// How the headless host shows a message box: it records the box and answers with the
// first queued string answer (OK, CANCEL, YES, NO, ABORT, RETRY, IGNORE or *close*),
// else the terminal in the interactive host, else the box's default button.
#pragma once

namespace tabrik::win::testing {
struct MessageBoxRequest;
}

namespace tabrik::acad {

int answerMessageBox(const win::testing::MessageBoxRequest& request);

}  // namespace tabrik::acad
