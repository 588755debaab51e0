// Test hooks of the headless host, for unit tests and the scenario runner: the output
// capture, document lock counts, the input and answer queues and the records of what
// the host showed (message boxes, shell executions). LISP scripts reach the same
// state through the host: functions.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

class AcApDocument;
struct resbuf;

namespace tabrik::acad::testing {

// Takes the host's standard output while it lives (captures nest).
class OutputCapture {
 public:
  OutputCapture();
  ~OutputCapture();
  OutputCapture(const OutputCapture&) = delete;
  OutputCapture& operator=(const OutputCapture&) = delete;
  // The UTF-8 text written since the capture began or since the last take().
  std::string take();

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

// The number of locks held on a document (0 when unlocked or not open).
int lockCount(const AcApDocument* document);

// Appends one token to the input queue (as `host:input` does).
void queueInput(const std::string& token);
// Appends a string answer to the answer queue (as `host:answer` does).
void queueAnswer(const std::wstring& answer);

struct MessageBoxShown {
  std::wstring caption;
  std::wstring text;
  unsigned style = 0;
};
// The message boxes shown since the last call, oldest first.
std::vector<MessageBoxShown> takeMessageBoxes();

// Closes every document, unloads every module and empties the queues and records.
void resetHost();

// --- for the platform's own user-interface code (pickers, dialogs, jigs)

// The next raw token of the input queue (cursor motions "~x,y" included), asking the
// terminal in the interactive host; nothing means Escape.
std::optional<std::string> takeInputToken(const std::string& prompt);
// The first queued string answer (file and folder pickers: a path or "*cancel*").
std::optional<std::wstring> takeTextAnswer();
// The first queued dialog script as an RTLB ... RTLE chain (the caller releases it
// with acutRelRb); nullptr when none is queued.
struct resbuf* takeDialogScript();
// Records a dialog run for host:dialogs: an RTLB ... RTLE chain, taken over.
void recordDialog(struct resbuf* record);
// Records a shell execution for host:shell-log.
void recordShellExecution(const std::wstring& verb, const std::wstring& file, int show);
// True in the interactive host, where the terminal answers what no queue does.
bool isInteractive();
std::optional<std::string> readTerminal(const std::string& prompt);

}  // namespace tabrik::acad::testing
