// Message boxes and beeps over the host's message-box handler.
#include <utility>

#include "WinUserTesting.h"

namespace tabrik::win::testing {

namespace {

MessageBoxHandler& handler() {
  static MessageBoxHandler instance;
  return instance;
}

}  // namespace

MessageBoxHandler setMessageBoxHandler(MessageBoxHandler next) {
  return std::exchange(handler(), std::move(next));
}

namespace {

BeepHandler& beepHandler() {
  static BeepHandler instance;
  return instance;
}

}  // namespace

BeepHandler setBeepHandler(BeepHandler next) {
  return std::exchange(beepHandler(), std::move(next));
}

std::vector<int> messageBoxButtons(UINT style) {
  switch (style & MB_TYPEMASK) {
    case MB_OK:
      return {IDOK};
    case MB_OKCANCEL:
      return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
      return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
      return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
      return {IDYES, IDNO};
    case MB_RETRYCANCEL:
      return {IDRETRY, IDCANCEL};
    default:
      return {};
  }
}

int messageBoxDefault(UINT style) {
  std::vector<int> buttons = messageBoxButtons(style);
  if (buttons.empty()) return 0;
  size_t index = (style & MB_DEFMASK) >> 8;
  // A default beyond the last button falls back to the first, as Windows does.
  return index < buttons.size() ? buttons[index] : buttons[0];
}

int messageBoxCloseAnswer(UINT style) {
  switch (style & MB_TYPEMASK) {
    case MB_OK:
      return IDOK;
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL:
      return IDCANCEL;
    default:
      return 0;
  }
}

}  // namespace tabrik::win::testing

using namespace tabrik::win::testing;

int MessageBoxW(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
  if (messageBoxButtons(type).empty()) return 0;
  MessageBoxRequest request{caption ? caption : L"Error", text ? text : L"", type};
  const MessageBoxHandler& answer = handler();
  return answer ? answer(request) : messageBoxDefault(type);
}

int AfxMessageBox(LPCTSTR text, UINT type, UINT) {
  return MessageBoxW(hostMainWindow(), text, L"Tabrik", type);
}

// The host hears the beep (the headless host records it); a beep always succeeds.
BOOL MessageBeep(UINT type) {
  if (const BeepHandler& hear = beepHandler()) hear(type);
  return TRUE;
}
