// Message boxes of the headless host.
#include "aced/host/HostMessageBoxes.h"

#include <algorithm>
#include <cwctype>

#include "WinUserTesting.h"
#include "acdb/acut/WideText.h"
#include "acdb/acut/Console.h"
#include "aced/host/HostState.h"

namespace tabrik::acad {

namespace {

struct ButtonName {
  const wchar_t* name;
  int id;
};

constexpr ButtonName kButtons[] = {{L"OK", IDOK},        {L"CANCEL", IDCANCEL}, {L"YES", IDYES},
                                   {L"NO", IDNO},        {L"ABORT", IDABORT},   {L"RETRY", IDRETRY},
                                   {L"IGNORE", IDIGNORE}};

std::wstring buttonList(const std::vector<int>& buttons) {
  std::wstring text;
  for (int id : buttons) {
    for (const ButtonName& button : kButtons) {
      if (button.id != id) continue;
      if (!text.empty()) text += L"/";
      text += button.name;
    }
  }
  return text;
}

// The button an answer names, 0 when it names none of the box's buttons.
int buttonFor(std::wstring answer, UINT style) {
  std::vector<int> buttons = win::testing::messageBoxButtons(style);
  if (answer == L"*close*") return win::testing::messageBoxCloseAnswer(style);
  for (wchar_t& c : answer) c = static_cast<wchar_t>(std::towupper(c));
  for (const ButtonName& button : kButtons) {
    if (answer == button.name &&
        std::find(buttons.begin(), buttons.end(), button.id) != buttons.end())
      return button.id;
  }
  return 0;
}

}  // namespace

int answerMessageBox(const win::testing::MessageBoxRequest& request) {
  HostState& state = hostState();
  state.recordMessageBox(MessageBoxRecord{request.caption, request.text, request.style});
  int fallback = win::testing::messageBoxDefault(request.style);
  std::optional<std::wstring> answer = state.takeTextAnswer();
  if (!answer && state.isInteractive()) {
    std::wstring buttons = buttonList(win::testing::messageBoxButtons(request.style));
    writeConsole(L"\n[" + request.caption + L"] " + request.text + L"\n");
    while (true) {
      std::optional<std::string> typed = state.readTerminal(toUtf8(buttons + L"? "));
      if (!typed) return fallback;
      if (int id = buttonFor(fromUtf8(*typed), request.style)) return id;
    }
  }
  if (!answer) return fallback;
  if (int id = buttonFor(*answer, request.style)) return id;
  hostDiagnostic("the answer \"" + toUtf8(*answer) + "\" names no button of the message box \"" +
                 toUtf8(request.caption) + "\"; it takes its default button");
  return fallback;
}

}  // namespace tabrik::acad
