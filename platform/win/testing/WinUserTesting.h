// The seams behind winuser.h: the host answers message boxes (the headless host from
// its answer queue, recording each box), owns the main window, and runs the thread
// timers when it is idle.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "winuser.h"

namespace tabrik::win::testing {

struct MessageBoxRequest {
  std::wstring caption;
  std::wstring text;
  UINT style = 0;
};

// Returns the ID of the pressed button (IDOK, IDYES, ...).
using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;
// Installs the handler (an empty one removes it); returns the previous one. Without
// a handler every box answers with its default button.
MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler);

// Hears every MessageBeep with its sound type (0xFFFFFFFF the simple beep). Installs
// the handler (an empty one removes it: beeps are then silent); returns the previous.
using BeepHandler = std::function<void(UINT)>;
BeepHandler setBeepHandler(BeepHandler handler);

// The buttons of a style, in order, as IDs; empty for an unknown button style.
std::vector<int> messageBoxButtons(UINT style);
// The ID of the default button of a style (0 for an unknown button style).
int messageBoxDefault(UINT style);
// What the close box answers for the style, 0 when the box has none.
int messageBoxCloseAnswer(UINT style);

// The host's main window (what the host's adsw_acadMainWnd returns).
HWND hostMainWindow();
// Back to an enabled main window titled "Tabrik", and no timers.
void resetWindows();

// Calls every live timer's callback once (the host's idle time); returns how many.
int runTimers();
int timerCount();

}  // namespace tabrik::win::testing
