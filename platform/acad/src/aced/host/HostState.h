// Session-wide state of the headless host that is not a document's: the search path
// ("ACADPREFIX"), the input queue, the answer queue, the records of what the host
// showed (message boxes, shell executions), and how an empty queue is answered
// (Escape in `run`/`eval`, the terminal in the interactive host).
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "acdb/acut/ResbufChain.h"
#include "tabrik/SystemVariables.h"

namespace tabrik::acad {

struct MessageBoxRecord {
  std::wstring caption;
  std::wstring text;
  unsigned style = 0;
};

struct ShellRecord {
  std::wstring verb;
  std::wstring file;
  int show = 0;
};

// The status bar's progress meter while one is shown.
struct ProgressMeter {
  std::wstring label;
  int minimum = 0;
  int maximum = 0;
  int position = 0;
};

// One answer: a string (message boxes, pickers, the colour picker) or a dialog
// script (a list, kept as RTLB ... RTLE result buffers).
struct Answer {
  std::wstring text;
  ResbufPtr script;
  bool isScript() const { return script != nullptr; }
};

class HostState {
 public:
  // --- search path
  const std::wstring& acadPrefix() const { return m_acadPrefix; }
  void setAcadPrefix(std::wstring folders);
  // The folders of ACADPREFIX, separators as the file system wants them.
  const std::vector<std::string>& searchFolders() const { return m_folders; }

  // --- input queue (tokens as typed, UTF-8)
  void queueInput(std::string token) { m_input.push_back(std::move(token)); }
  // The next token; when the queue is empty the terminal is asked (interactive
  // host), else nothing (Escape).
  std::optional<std::string> takeInput(const std::string& prompt);
  bool hasQueuedInput() const { return !m_input.empty(); }
  // Takes a "*cancel*" (Escape typed ahead) from the front of the queue; false, and
  // the queue untouched, when the next token is anything else or there is none.
  bool takeQueuedCancel();
  void clearInput() { m_input.clear(); }

  // --- answer queue
  void queueAnswer(Answer answer) { m_answers.push_back(std::move(answer)); }
  // The first queued string answer (nothing when none is queued).
  std::optional<std::wstring> takeTextAnswer();
  // The first queued dialog script (nullptr when none is queued).
  ResbufPtr takeScriptAnswer();
  void clearAnswers() { m_answers.clear(); }

  // --- records
  void recordMessageBox(MessageBoxRecord record) { m_messageBoxes.push_back(std::move(record)); }
  std::vector<MessageBoxRecord> takeMessageBoxes();
  void recordShell(ShellRecord record) { m_shellLog.push_back(std::move(record)); }
  std::vector<ShellRecord> takeShellLog();
  void recordBeep(unsigned type) { m_beeps.push_back(type); }
  std::vector<unsigned> takeBeeps();

  // --- the status bar's progress meter (none when empty)
  std::optional<ProgressMeter> progressMeter;

  // --- dialog runs, each kept as an RTLB ... RTLE chain for host:dialogs
  void recordDialog(ResbufPtr record) { m_dialogs.push_back(std::move(record)); }
  std::vector<ResbufPtr> takeDialogRecords();

  // --- work that waits for the host to be idle (timers): run by host:idle
  void addIdleHandler(std::function<void()> handler) {
    m_idleHandlers.push_back(std::move(handler));
  }
  void runIdleHandlers();

  // --- the terminal (interactive host): reads one line after printing a prompt;
  // nothing at end of input. Unset in `run` and `eval`.
  using TerminalReader = std::function<std::optional<std::string>(const std::string& prompt)>;
  void setTerminalReader(TerminalReader reader) { m_terminal = std::move(reader); }
  bool isInteractive() const { return static_cast<bool>(m_terminal); }
  std::optional<std::string> readTerminal(const std::string& prompt);

  // --- host variables kept for the session
  int errnoValue = 0;
  double pickBox = 0.1;
  // ORTHOMODE: jigs governed by ortho hold the cursor to the axes through their base.
  bool orthoMode = false;
  // Session and profile variables that were set, by name (others have their default).
  std::map<std::string, VariableValue> variables;
  int textScreenRequests = 0;
  // The module the session loaded (host:load-module without an argument).
  std::wstring modulePath;

  // Clears queues and records (between scenario files and unit tests).
  void reset();

 private:
  std::wstring m_acadPrefix;
  std::vector<std::string> m_folders;
  std::deque<std::string> m_input;
  std::deque<Answer> m_answers;
  std::vector<MessageBoxRecord> m_messageBoxes;
  std::vector<ShellRecord> m_shellLog;
  std::vector<unsigned> m_beeps;
  TerminalReader m_terminal;
  std::vector<ResbufPtr> m_dialogs;
  std::vector<std::function<void()>> m_idleHandlers;
};

HostState& hostState();
// A diagnostic of the host on standard error (not with --quiet... except errors).
void hostDiagnostic(const std::string& message);

}  // namespace tabrik::acad
