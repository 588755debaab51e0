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

}  // namespace tabrik::acad::testing
