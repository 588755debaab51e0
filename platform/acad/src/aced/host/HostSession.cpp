// A session of the headless host: start-up, evaluation in the active drawing, end.
#include "HostSession.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "ShellTesting.h"
#include "WinUserTesting.h"
#include "acdb/acut/WideText.h"
#include "aced/bridge/DocumentLisp.h"
#include "aced/bridge/HostFunctions.h"
#include "aced/command/CommandEngine.h"
#include "aced/doc/DocManager.h"
#include "acdb/acut/Console.h"
#include "aced/host/DrawingFiles.h"
#include "aced/host/SolidFiles.h"
#include "aced/host/HostMessageBoxes.h"
#include "aced/host/HostState.h"
#include "lisp/Reader.h"
#include "aced/module/Modules.h"
#include "aced/select/Selection.h"
#include "rxregsvc.h"

namespace tabrik::acad {

namespace {

std::string executableFolder() {
  char buffer[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return ".";
  buffer[length] = '\0';
  return std::filesystem::path(buffer).parent_path().string();
}

bool isReadableFile(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::ifstream in(path);
  return in.good();
}

// Hands a file or address to the desktop's opener, detached (a grandchild that init
// adopts, so no zombie is left); false when there is no opener.
bool openWithDesktop(const std::string& target) {
  static const bool present = std::system("command -v xdg-open >/dev/null 2>&1") == 0;
  if (!present) return false;
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    if (::fork() == 0) {
      ::setsid();
      std::freopen("/dev/null", "w", stdout);
      std::freopen("/dev/null", "w", stderr);
      ::execlp("xdg-open", "xdg-open", target.c_str(), static_cast<char*>(nullptr));
    }
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return true;
}

// The shell of the headless host records executions; in `run` and `eval` it opens
// nothing, the interactive host opens them with the desktop's opener (a selection
// opens the folder that holds the item).
std::intptr_t recordShellExecution(const win::testing::ShellExecution& execution) {
  std::wstring file = execution.file;
  if (!execution.parameters.empty()) file += L" " + execution.parameters;
  hostState().recordShell(ShellRecord{execution.verb, file, execution.show});
  if (hostState().isInteractive()) {
    std::string target =
        toUtf8(execution.verb == L"select" && !execution.directory.empty() ? execution.directory
                                                                           : execution.file);
    for (char& c : target) {
      if (c == '\\') c = '/';
    }
    if (!openWithDesktop(target)) return /*SE_ERR_NOASSOC*/ 31;
  }
  return 42;
}

// Beeps are recorded; the interactive host also rings the terminal's bell.
void hearBeep(UINT type) {
  hostState().recordBeep(type);
  if (hostState().isInteractive()) std::fputs("\a", stderr);
}

// What a session leaves behind must not leak into the next one (tests run several).
void clearSession() {
  command::shutdownCommands();
  docManager().closeAll();
  unloadAllModules();
  releaseRetiredLispEnvironments();
  freeAllSelectionSets();
  hostState().reset();
  hostState().setTerminalReader(nullptr);
  hostState().modulePath.clear();
  win::testing::resetWindows();
}

}  // namespace

// The namespace a script runs in, held busy so that closing its drawing retires it
// instead of destroying it under the script.
struct HostSession::Script {
  explicit Script(DocumentLisp& lisp) : lisp(lisp), busy(lisp) {}
  DocumentLisp& lisp;
  DocumentLisp::Busy busy;
};

std::string defaultModulePath() { return executableFolder() + "/Tabrik2010.arx"; }

std::unique_ptr<HostSession> HostSession::startBare() {
  SessionOptions options;
  options.noModule = true;
  options.quiet = true;
  auto session = std::make_unique<HostSession>(options);
  if (session->start() != Status::kOk) return nullptr;
  return session;
}

HostSession::HostSession(SessionOptions options) : m_options(std::move(options)) {}

HostSession::~HostSession() { end(); }

HostSession::Script* HostSession::script() {
  if (!m_script) {
    DocumentLisp* lisp = lispOf(docManager().active());
    if (lisp == nullptr) return nullptr;
    m_script = std::make_unique<Script>(*lisp);
  }
  return m_script.get();
}

void HostSession::endScript() {
  m_script.reset();
  releaseRetiredLispEnvironments();
}

lisp::Runtime* HostSession::scriptRuntime() {
  Script* current = script();
  return current ? &current->lisp.runtime() : nullptr;
}

HostSession::Status HostSession::start() {
  m_started = true;
  installLispBridge();
  installHostClasses();
  HostState& state = hostState();
  state.setAcadPrefix(fromUtf8(m_options.searchPath));
  win::testing::setShellHandler(recordShellExecution);
  win::testing::setMessageBoxHandler(answerMessageBox);
  win::testing::setBeepHandler(hearBeep);
  if (!m_options.registryPath.empty()) setenv("TABRIK_REGISTRY", m_options.registryPath.c_str(), 1);

  if (!m_options.inputFile.empty()) {
    std::ifstream in(m_options.inputFile);
    if (!in) {
      hostDiagnostic("cannot read input file " + m_options.inputFile);
      return Status::kUsage;
    }
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      state.queueInput(line);
    }
  }

  if (!m_options.noModule) {
    std::string path = m_options.modulePath.empty() ? defaultModulePath() : m_options.modulePath;
    state.modulePath = fromUtf8(path);
    if (!isReadableFile(path)) {
      hostDiagnostic("module " + path + " not found; running without it");
    } else if (!acrxLoadModule(fromUtf8(path).c_str(), /*printIt=*/false)) {
      hostDiagnostic(lastModuleError() + "; running without the module");
    } else if (!m_options.quiet) {
      hostDiagnostic("loaded " + path);
    }
  }

  if (m_options.drawings.empty()) {
    docManager().open(L"Drawing1.dwg");
    return Status::kOk;
  }
  for (const std::string& drawing : m_options.drawings) {
    if (openDrawingFile(fromUtf8(drawing)) == nullptr) return Status::kUsage;
  }
  return Status::kOk;
}

namespace {

lisp::Outcome evaluateIn(DocumentLisp* lisp, const lisp::Value& form) {
  if (lisp == nullptr) {
    lisp::Outcome outcome;
    outcome.ok = false;
    outcome.error = "no drawing is open";
    writeConsole("; error: " + outcome.error + "\n");
    return outcome;
  }
  lisp::Outcome outcome;
  {
    DocumentLisp::Busy busy(*lisp);
    outcome = lisp->runtime().evaluateTopLevel(form, lisp::ErrorReport::Print);
  }
  releaseRetiredLispEnvironments();
  return outcome;
}

}  // namespace

lisp::Outcome HostSession::evaluateForm(const lisp::Value& form) {
  Script* current = script();
  lisp::Outcome outcome = evaluateIn(current ? &current->lisp : nullptr, form);
  command::runPendingScripts();
  return outcome;
}

lisp::Outcome HostSession::evaluateTyped(const lisp::Value& form) {
  lisp::Outcome outcome = evaluateIn(lispOf(docManager().active()), form);
  command::finishCommands();
  return outcome;
}

namespace {

bool isScriptFile(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".scr";
}

}  // namespace

HostSession::Status HostSession::runFile(const std::string& path) {
  if (!isReadableFile(path)) {
    hostDiagnostic("cannot read " + path);
    return Status::kUsage;
  }
  endScript();
  Script* current = script();
  if (current == nullptr) return Status::kError;
  if (isScriptFile(path)) {
    bool read = command::runScriptFile(path);
    command::finishCommands();
    endScript();
    flushConsole();
    return read ? Status::kOk : Status::kUsage;
  }
  lisp::Outcome outcome = current->lisp.runtime().loadFile(path, lisp::ErrorReport::Print);
  command::finishCommands();
  endScript();
  flushConsole();
  return outcome.ok ? Status::kOk : Status::kError;
}

HostSession::Status HostSession::evalText(const std::string& text) {
  lisp::Reader reader(text);
  while (true) {
    std::optional<lisp::Reader::Form> form;
    try {
      form = reader.next();
    } catch (const lisp::LispError& error) {
      if (!consoleAtLineStart()) writeConsole(std::string_view("\n"));
      writeConsole("; error: " + error.message() + "\n");
      return Status::kError;
    }
    if (!form) {
      command::finishCommands();
      return Status::kOk;
    }
    lisp::Outcome outcome = evaluateForm(form->value);
    if (!outcome.ok) {
      command::finishCommands();
      return Status::kError;
    }
    // Each value on a line of its own, after whatever the form (or the start-up)
    // printed.
    std::string printed = outcome.value.toPrin1String();
    if (!printed.empty()) writeConsole((consoleAtLineStart() ? "" : "\n") + printed + "\n");
    flushConsole();
  }
}

void HostSession::executeCommand(const std::string& line) {
  DocumentLisp* lisp = lispOf(docManager().active());
  if (lisp == nullptr) return;
  lisp->execute(fromUtf8(line));
  command::finishCommands();
  releaseRetiredLispEnvironments();
}

void HostSession::write(std::string_view utf8) { writeConsole(utf8); }

bool HostSession::atLineStart() { return consoleAtLineStart(); }

void HostSession::addIdleHandler(std::function<void()> handler) {
  hostState().addIdleHandler(std::move(handler));
}

void HostSession::addLispInstaller(std::function<void(lisp::Runtime&)> installer) {
  addHostFunctionInstaller(std::move(installer));
}

void HostSession::idle() { hostState().runIdleHandlers(); }

void HostSession::setTerminalReader(
    std::function<std::optional<std::string>(const std::string& prompt)> reader) {
  hostState().setTerminalReader(std::move(reader));
}

HostSession::Status HostSession::end() {
  if (!m_started || m_ended) return Status::kOk;
  m_ended = true;
  endScript();
  Status status = Status::kOk;
  if (!m_options.savePath.empty()) {
    Document* active = docManager().active();
    if (active == nullptr || !saveDrawingAs(*active, fromUtf8(m_options.savePath)))
      status = Status::kError;
  }
  if (!m_options.saveExplodedPath.empty()) {
    Document* active = docManager().active();
    if (active == nullptr || !saveDrawingExploded(*active, fromUtf8(m_options.saveExplodedPath)))
      status = Status::kError;
  }
  if (!m_options.saveStepPath.empty()) {
    Document* active = docManager().active();
    if (active == nullptr || saveDrawingStep(*active, fromUtf8(m_options.saveStepPath)) < 0)
      status = Status::kError;
  }
  clearSession();
  win::testing::setShellHandler(nullptr);
  win::testing::setMessageBoxHandler(nullptr);
  win::testing::setBeepHandler(nullptr);
  flushConsole();
  return status;
}

}  // namespace tabrik::acad
