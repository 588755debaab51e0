// The host's standard output: what acutPrintf and the LISP print functions write goes
// through here, in order and byte for byte, as UTF-8. A capture (the scenario runner,
// unit tests) takes the text instead of standard output while it lives.
#pragma once
#include <string>
#include <string_view>

namespace tabrik::acad {

void writeConsole(std::string_view utf8);
void writeConsole(std::wstring_view text);
void flushConsole();
// True when nothing was written yet or the last byte written was a newline.
bool consoleAtLineStart();

// Captures nest; the innermost capture gets the text.
class ConsoleCapture {
 public:
  ConsoleCapture();
  ~ConsoleCapture();
  ConsoleCapture(const ConsoleCapture&) = delete;
  ConsoleCapture& operator=(const ConsoleCapture&) = delete;

  const std::string& text() const { return m_text; }
  std::string take();

 private:
  friend void writeConsole(std::string_view utf8);
  std::string m_text;
  ConsoleCapture* m_outer;
};

}  // namespace tabrik::acad
