// The interactive read-eval-print loop. A line that starts with "(" (or "!") is LISP,
// read until its forms are complete ("(_> " asks for more); any other word is a
// command: a C: function the LISP code defined. Values are echoed as the host's
// command line echoes them (prin1, nothing for the null symbol).
#include "Repl.h"

#include <readline/history.h>
#include <readline/readline.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <iostream>

#include "lisp/LispError.h"
#include "lisp/Reader.h"

namespace tabrik::app {

namespace {

bool g_tty = false;

void onInterrupt(int) { lisp::requestInterrupt(); }

// Ctrl-C stops the evaluation it interrupts, not the host.
class InterruptScope {
 public:
  InterruptScope() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &m_previous);
  }
  ~InterruptScope() { sigaction(SIGINT, &m_previous, nullptr); }

 private:
  struct sigaction m_previous {};
};

std::optional<std::string> readLine(const std::string& prompt) {
  std::fflush(stdout);
  if (g_tty) {
    char* text = readline(prompt.c_str());
    if (text == nullptr) return std::nullopt;
    std::string line(text);
    std::free(text);
    if (!line.empty()) add_history(line.c_str());
    return line;
  }
  std::fputs(prompt.c_str(), stdout);
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  return line;
}

// The last line of a prompt: readline shows one line, the rest is printed.
std::string lastLine(const std::string& prompt) {
  size_t newline = prompt.rfind('\n');
  if (newline == std::string::npos) return prompt;
  std::fputs(prompt.substr(0, newline + 1).c_str(), stdout);
  return prompt.substr(newline + 1);
}

// True when the text holds complete forms (or a reader error other than running
// out of text).
bool isComplete(const std::string& text) {
  lisp::Reader reader(text);
  try {
    while (reader.next()) {
    }
    return true;
  } catch (const lisp::LispError& error) {
    std::string message = error.message();
    return message != lisp::messages::kMalformedList && message != lisp::messages::kMalformedString;
  }
}

void evaluate(acad::HostSession& session, const std::string& text) {
  lisp::Reader reader(text);
  InterruptScope interrupts;
  while (true) {
    std::optional<lisp::Reader::Form> form;
    try {
      form = reader.next();
    } catch (const lisp::LispError& error) {
      acad::HostSession::write("; error: " + error.message() + "\n");
      return;
    }
    if (!form) return;
    lisp::Outcome outcome = session.evaluateTyped(form->value);
    if (!outcome.ok) continue;
    std::string printed = outcome.value.toPrin1String();
    if (!printed.empty()) acad::HostSession::write(printed + "\n");
  }
}

}  // namespace

int runInteractive(const acad::SessionOptions& options) {
  g_tty = isatty(STDIN_FILENO) != 0;
  acad::SessionOptions interactive = options;
  interactive.interactive = true;
  acad::HostSession session(interactive);
  acad::HostSession::Status status = session.start();
  if (status != acad::HostSession::Status::kOk) return static_cast<int>(status);
  session.setTerminalReader([](const std::string& prompt) { return readLine(lastLine(prompt)); });
  while (true) {
    // The prompt starts a line of its own, whatever the last command printed.
    if (!acad::HostSession::atLineStart()) acad::HostSession::write("\n");
    // Waiting for the user is the host's idle time.
    session.idle();
    std::optional<std::string> line = readLine("Command: ");
    if (!line) break;
    std::string text = *line;
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) continue;
    if (text[first] != '(' && text[first] != '!' && text[first] != '\'' && text[first] != ';') {
      InterruptScope interrupts;
      session.executeCommand(text.substr(first));
      continue;
    }
    if (text[first] == '!') text = text.substr(first + 1);
    bool cancelled = false;
    while (!isComplete(text)) {
      std::optional<std::string> more = readLine("(_> ");
      if (!more) {
        cancelled = true;
        break;
      }
      text += "\n" + *more;
    }
    if (cancelled) break;
    evaluate(session, text);
  }
  if (g_tty) std::printf("\n");
  return static_cast<int>(session.end());
}

}  // namespace tabrik::app
