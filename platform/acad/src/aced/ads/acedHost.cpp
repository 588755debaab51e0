// Host services of the ads interface: LISP invocation, host variables, files,
// environment and the text screen.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>
#include <cwchar>
#include <filesystem>

#include "WinUserTesting.h"
#include "acedads.h"
#include "acdb/acut/WideText.h"
#include "aced/bridge/LispResbuf.h"
#include "aced/command/CommandEngine.h"
#include "aced/doc/DocManager.h"
#include "acdb/acut/Console.h"
#include "aced/host/HostState.h"
#include "aced/host/HostVariables.h"
#include "lisp/Runtime.h"

using namespace tabrik::acad;

int acedInvoke(const resbuf* args, resbuf** result) {
  if (result != nullptr) *result = nullptr;
  if (args == nullptr || args->restype != RTSTR || args->resval.rstring == nullptr ||
      result == nullptr) {
    return RTERROR;
  }
  Document* document = docManager().current();
  if (document == nullptr || document->lisp() == nullptr) return RTERROR;
  return document->lisp()->invoke(args, result);
}

int acedEvaluateLisp(const ACHAR* expression, resbuf*& result) {
  result = nullptr;
  Document* document = docManager().current();
  if (expression == nullptr || document == nullptr || document->lisp() == nullptr) return RTERROR;
  return document->lisp()->evaluate(expression, &result);
}

int acedGetVar(const ACHAR* name, resbuf* result) {
  if (name == nullptr || result == nullptr) return RTERROR;
  return getHostVariable(name, result) ? RTNORM : RTERROR;
}

int acedSetVar(const ACHAR* name, const resbuf* value) {
  if (name == nullptr || value == nullptr) return RTERROR;
  return setHostVariable(name, *value);
}

int acedGetEnv(const ACHAR* name, ACHAR* value, size_t size) {
  if (name == nullptr || value == nullptr || size == 0) return RTERROR;
  const char* found = std::getenv(toUtf8(name).c_str());
  if (found == nullptr) return RTERROR;
  std::wstring text = fromUtf8(found);
  if (text.size() + 1 > size) return RTERROR;
  std::wmemcpy(value, text.c_str(), text.size() + 1);
  return RTNORM;
}

int acedSetEnv(const ACHAR* name, const ACHAR* value) {
  if (name == nullptr || value == nullptr || *name == L'\0') return RTERROR;
  return setenv(toUtf8(name).c_str(), toUtf8(value).c_str(), 1) == 0 ? RTNORM : RTERROR;
}

int acedFindFile(const ACHAR* name, ACHAR* result, size_t size) {
  if (name == nullptr || result == nullptr || size == 0) return RTERROR;
  std::optional<std::wstring> found = findHostFile(name);
  if (!found || found->size() + 1 > size) return RTERROR;
  std::wmemcpy(result, found->c_str(), found->size() + 1);
  return RTNORM;
}

int acedTextScr() {
  ++hostState().textScreenRequests;
  return RTNORM;
}

int acedGraphScr() { return RTNORM; }

// A pending interrupt stays pending: the LISP evaluation that made the call stops
// too, as Escape stops the command.
int acedUsrBrk() {
  if (tabrik::lisp::isInterruptRequested()) return 1;
  return hostState().takeQueuedCancel() ? 1 : 0;
}

// The arguments go to the command line as LISP's command gives them: RTNORM when all
// were taken, RTCAN when the user cancelled the command, RTERROR when a command
// failed or an argument is no command input (nothing runs then). No argument
// cancels the running command.
int acedCmd(const resbuf* args) {
  std::vector<command::CommandToken> tokens;
  for (const resbuf* rb = args; rb != nullptr; rb = rb->rbnext) {
    std::optional<command::CommandToken> token;
    try {
      token = command::tokenOf(resbufToLispValue(*rb));
    } catch (...) {
      return RTERROR;  // a result buffer of a type no LISP value has
    }
    if (!token) return RTERROR;
    tokens.push_back(*token);
  }
  if (tokens.empty()) {
    command::cancelCommands();
    return RTNORM;
  }
  switch (command::feedTokens(tokens)) {
    case command::FeedResult::kOk:
      return RTNORM;
    case command::FeedResult::kCancelled:
      return RTCAN;
    case command::FeedResult::kFailed:
      return RTERROR;
  }
  return RTERROR;
}

// An alert is a message box with one OK button, shown over the main window.
int acedAlert(const ACHAR* text) {
  MessageBoxW(adsw_acadMainWnd(), text ? text : L"", L"Message", MB_OK);
  return RTNORM;
}

HWND adsw_acadMainWnd() { return tabrik::win::testing::hostMainWindow(); }

namespace {

// The interactive host draws the meter on the terminal's diagnostic stream, redrawn
// in place: "label [#########...........]  45%".
void drawMeter(const ProgressMeter& meter) {
  if (!hostState().isInteractive()) return;
  constexpr int kWidth = 30;
  const long span = static_cast<long>(meter.maximum) - meter.minimum;
  const long done = static_cast<long>(meter.position) - meter.minimum;
  const int percent = span > 0 ? static_cast<int>(done * 100 / span) : 100;
  const int filled = percent * kWidth / 100;
  std::string bar = "\r" + toUtf8(meter.label) + " [" + std::string(filled, '#') +
                    std::string(kWidth - filled, '.') + "] " + std::to_string(percent) + "%";
  std::fputs(bar.c_str(), stderr);
  std::fflush(stderr);
}

}  // namespace

int acedSetStatusBarProgressMeter(const ACHAR* label, int minimum, int maximum) {
  if (minimum > maximum) return -1;
  hostState().progressMeter = ProgressMeter{label ? label : L"", minimum, maximum, minimum};
  drawMeter(*hostState().progressMeter);
  return 0;
}

int acedSetStatusBarProgressMeterPos(int position) {
  std::optional<ProgressMeter>& meter = hostState().progressMeter;
  if (!meter) return -1;
  meter->position = std::clamp(position, meter->minimum, meter->maximum);
  drawMeter(*meter);
  return 0;
}

void acedRestoreStatusBar() {
  if (hostState().progressMeter && hostState().isInteractive()) std::fputs("\n", stderr);
  hostState().progressMeter.reset();
}
