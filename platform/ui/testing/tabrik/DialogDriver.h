// How an open dialog is worked: a driver acts as the user (through DialogUser) until
// the dialog ends. The runtime picks one for each modal run: the first queued dialog
// script (the scripted driver), else the interactive driver the host installed (the
// terminal), else none, and the dialog is cancelled.
#pragma once
#include <memory>

class CDialog;
struct resbuf;

namespace tabrik::ui {

class DialogDriver {
 public:
  virtual ~DialogDriver() = default;
  // Works the open dialog; the runtime cancels it if it is still open afterwards.
  virtual void run(CDialog& dialog) = 0;
};

// The driver used when no script is queued and the host is interactive; returns the
// previous one (null: none).
std::shared_ptr<DialogDriver> setInteractiveDriver(std::shared_ptr<DialogDriver> driver);

// Adds the runtime's host: functions (host:sample-dialog) to every drawing's LISP;
// the host calls it once at start-up.
void installHost();

// Runs a dialog script (an RTLB ... RTLE chain of actions) on an open dialog.
void runDialogScript(CDialog& dialog, const resbuf* script);

}  // namespace tabrik::ui
