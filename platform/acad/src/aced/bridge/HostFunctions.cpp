// The host: functions and the invocable host built-ins.
#include "aced/bridge/HostFunctions.h"

#include <cstdlib>

#include "WinUserTesting.h"
#include "acdb/acut/WideText.h"
#include "aced/bridge/LispResbuf.h"
#include "aced/doc/DocManager.h"
#include "aced/host/DrawingFiles.h"
#include "aced/host/HostState.h"
#include "lisp/Runtime.h"
#include "aced/module/Modules.h"
#include "rxregsvc.h"

namespace tabrik::acad {

using lisp::Args;
using lisp::Runtime;
using lisp::Value;

namespace {

Value fileNameOf(const Document* document) { return Value::string(toUtf8(document->fileName())); }

// The document named by an optional argument, default the active one.
Document* namedOrActive(Args args, size_t index) {
  if (args.size() <= index || args[index].isNil()) return docManager().active();
  return docManager().find(fromUtf8(lisp::stringArg(args[index])));
}

// Input tokens are text; numbers and points are taken as they would be typed.
std::string tokenText(const Value& value) {
  if (value.isString()) return value.asString();
  if (value.isPoint()) {
    std::string text;
    for (const Value& coordinate : value) {
      if (!text.empty()) text += ",";
      text += coordinate.toPrincString();
    }
    return text;
  }
  if (value.isNil()) return "";
  return value.toPrincString();
}

Value hostNewDrawing(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 1);
  std::wstring name = args.empty() || args[0].isNil() ? docManager().nextDrawingName()
                                                      : fromUtf8(lisp::stringArg(args[0]));
  if (docManager().find(name) != nullptr) return Value();
  return fileNameOf(docManager().open(name));
}

Value hostOpenDrawing(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 1);
  Document* document = openDrawingFile(fromUtf8(lisp::stringArg(args[0])));
  return document ? fileNameOf(document) : Value();
}

Value hostActivate(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 1);
  Document* document = docManager().find(fromUtf8(lisp::stringArg(args[0])));
  if (document == nullptr) return Value();
  docManager().activateDocument(document, false);
  return Value::t();
}

Value hostCloseDrawing(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 1);
  Document* document = namedOrActive(args, 0);
  return Value::boolean(document != nullptr && docManager().close(document));
}

Value hostSaveAs(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 1);
  const std::string& path = lisp::stringArg(args[0]);
  Document* document = docManager().active();
  return Value::boolean(document != nullptr && saveDrawingAs(*document, fromUtf8(path)));
}

Value hostSaveExploded(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 1);
  const std::string& path = lisp::stringArg(args[0]);
  Document* document = docManager().active();
  return Value::boolean(document != nullptr && saveDrawingExploded(*document, fromUtf8(path)));
}

Value hostDocuments(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 0);
  std::vector<Value> names;
  for (const auto& document : docManager().documents()) names.push_back(fileNameOf(document.get()));
  return Value::list(names);
}

Value hostSetQuiescent(Runtime&, Args args) {
  lisp::checkArgCount(args, 2, 2);
  Document* document = docManager().find(fromUtf8(lisp::stringArg(args[0])));
  if (document == nullptr) return Value();
  document->setQuiescent(args[1].isTrue());
  return Value::t();
}

Value hostIdle(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 0);
  docManager().runPendingLines();
  hostState().runIdleHandlers();
  win::testing::runTimers();
  return Value();
}

Value hostInput(Runtime&, Args args) {
  for (const Value& token : args) hostState().queueInput(tokenText(token));
  return Value();
}

Value hostAnswer(Runtime&, Args args) {
  for (const Value& answer : args) {
    if (answer.isCons()) {
      hostState().queueAnswer(Answer{L"", ResbufPtr(lispValueToResbuf(answer))});
    } else {
      hostState().queueAnswer(Answer{fromUtf8(tokenText(answer)), nullptr});
    }
  }
  return Value();
}

Value hostMessageBoxes(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 0);
  std::vector<Value> boxes;
  for (const MessageBoxRecord& box : hostState().takeMessageBoxes()) {
    boxes.push_back(
        Value::list({Value::string(toUtf8(box.caption)), Value::string(toUtf8(box.text)),
                     Value::integer(static_cast<std::int32_t>(box.style))}));
  }
  return Value::list(boxes);
}

Value hostDialogs(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 0);
  std::vector<Value> dialogs;
  for (ResbufPtr& record : hostState().takeDialogRecords())
    dialogs.push_back(resbufListToLisp(record.get()));
  return Value::list(dialogs);
}

Value hostShellLog(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 0);
  std::vector<Value> entries;
  for (const ShellRecord& entry : hostState().takeShellLog()) {
    entries.push_back(Value::list({Value::string(toUtf8(entry.verb)),
                                   Value::string(toUtf8(entry.file)), Value::integer(entry.show)}));
  }
  return Value::list(entries);
}

Value hostBeeps(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 0);
  std::vector<Value> beeps;
  for (unsigned type : hostState().takeBeeps()) {
    // The simple beep's 0xFFFFFFFF reads as -1, as a LISP integer holds it.
    beeps.push_back(Value::integer(static_cast<std::int32_t>(type)));
  }
  return Value::list(beeps);
}

// (label minimum maximum position) of the status bar's progress meter; nil when none.
Value hostProgressMeter(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 0);
  const std::optional<ProgressMeter>& meter = hostState().progressMeter;
  if (!meter) return Value();
  return Value::list({Value::string(toUtf8(meter->label)), Value::integer(meter->minimum),
                      Value::integer(meter->maximum), Value::integer(meter->position)});
}

Value hostWindowEnabled(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 0);
  return Value::boolean(IsWindowEnabled(win::testing::hostMainWindow()) != FALSE);
}

Value hostSetSearchPath(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 1);
  hostState().setAcadPrefix(fromUtf8(lisp::stringArg(args[0])));
  return Value::t();
}

Value hostLoadModule(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 1);
  std::wstring path =
      args.empty() || args[0].isNil() ? hostState().modulePath : fromUtf8(lisp::stringArg(args[0]));
  if (path.empty()) return Value();
  if (!acrxLoadModule(path.c_str(), /*printIt=*/false)) {
    hostDiagnostic(lastModuleError());
    return Value();
  }
  hostState().modulePath = path;
  return Value::t();
}

Value hostUnloadModule(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 0);
  const std::wstring& path = hostState().modulePath;
  return Value::boolean(!path.empty() && acrxUnloadModule(path.c_str()));
}

// (startapp app [file]): the host records the execution and starts nothing.
Value startApp(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 2);
  std::string command = lisp::stringArg(args[0]);
  if (args.size() > 1 && !args[1].isNil()) command += " " + lisp::stringArg(args[1]);
  hostState().recordShell(ShellRecord{L"startapp", fromUtf8(command), /*SW_SHOWNORMAL*/ 1});
  return Value::integer(33);
}

// (acad_colordlg index [allowByLayerByBlock]): the colour number the answer queue
// (or, interactively, the terminal) gives; nil when cancelled.
Value colorDialog(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 2);
  lisp::intArg(args[0]);
  std::optional<std::wstring> answer = hostState().takeTextAnswer();
  if (!answer && hostState().isInteractive()) {
    if (auto typed = hostState().readTerminal("Color number: ")) answer = fromUtf8(*typed);
  }
  if (!answer || *answer == L"*cancel*") return Value();
  wchar_t* end = nullptr;
  long number = std::wcstol(answer->c_str(), &end, 10);
  if (end == answer->c_str() || *end != L'\0' || number < 0 || number > 256) return Value();
  return Value::integer(static_cast<std::int32_t>(number));
}

std::vector<std::function<void(Runtime&)>>& hostFunctionInstallers() {
  static std::vector<std::function<void(Runtime&)>> installers;
  return installers;
}

}  // namespace

void installHostFunctions(Runtime& runtime) {
  runtime.defineBuiltin("host:new-drawing", hostNewDrawing);
  runtime.defineBuiltin("host:open-drawing", hostOpenDrawing);
  runtime.defineBuiltin("host:activate", hostActivate);
  runtime.defineBuiltin("host:close-drawing", hostCloseDrawing);
  runtime.defineBuiltin("host:save-as", hostSaveAs);
  runtime.defineBuiltin("host:save-exploded", hostSaveExploded);
  runtime.defineBuiltin("host:documents", hostDocuments);
  runtime.defineBuiltin("host:set-quiescent", hostSetQuiescent);
  runtime.defineBuiltin("host:idle", hostIdle);
  runtime.defineBuiltin("host:input", hostInput);
  runtime.defineBuiltin("host:answer", hostAnswer);
  runtime.defineBuiltin("host:message-boxes", hostMessageBoxes);
  runtime.defineBuiltin("host:dialogs", hostDialogs);
  runtime.defineBuiltin("host:shell-log", hostShellLog);
  runtime.defineBuiltin("host:window-enabled", hostWindowEnabled);
  runtime.defineBuiltin("host:beeps", hostBeeps);
  runtime.defineBuiltin("host:progress-meter", hostProgressMeter);
  runtime.defineBuiltin("host:set-search-path", hostSetSearchPath);
  runtime.defineBuiltin("host:load-module", hostLoadModule);
  runtime.defineBuiltin("host:unload-module", hostUnloadModule);
  runtime.defineBuiltin("startapp", startApp);
  installRegistryFunctions(runtime);
  installSolidFunctions(runtime);
  runtime.defineBuiltin("acad_colordlg", colorDialog);
  for (const auto& install : hostFunctionInstallers()) install(runtime);
}

void addHostFunctionInstaller(std::function<void(lisp::Runtime&)> installer) {
  hostFunctionInstallers().push_back(std::move(installer));
}

}  // namespace tabrik::acad
