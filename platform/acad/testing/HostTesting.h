// Test hooks of the headless host, for unit tests and the scenario runner: the output
// capture, document lock counts, the input and answer queues and the records of what
// the host showed (message boxes, shell executions). LISP scripts reach the same
// state through the host: functions.
#pragma once
#include <memory>
#include <string>
#include <vector>

class AcApDocument;

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

}  // namespace tabrik::acad::testing
