// One session of the headless host, as the `tabrik` command runs it: start (load the
// module, open the first drawings), evaluate files and forms, end (save, close every
// drawing, unload the module). The command line, the scenario runner, tests and
// benchmarks drive the host through it.
//
// A script (a file of `run` or `test`, all the expressions of `eval`) runs in the LISP
// namespace of the drawing that was active when it began, to its end, whatever
// drawings it opens, activates or closes: its functions stay reachable (acedInvoke
// finds them) while the external functions it calls act on the active drawing.
// Lines sent to a drawing (sendStringToExecute) run in that drawing's namespace.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

#include "lisp/Runtime.h"

namespace tabrik::acad {

struct SessionOptions {
  std::vector<std::string> drawings;  // DXF files to open; none: a new "Drawing1.dwg"
  std::string savePath;               // save the active drawing there at the end
  std::string saveExplodedPath;       // and a copy with custom entities exploded there
  std::string saveStepPath;           // and its duct solids as a STEP file there
  std::string inputFile;              // each line one token of the input queue
  std::string searchPath;             // ACADPREFIX
  std::string registryPath;
  std::string modulePath;  // default: Tabrik2010.arx beside the executable
  bool noModule = false;
  bool quiet = false;
  bool interactive = false;  // an empty input queue asks the terminal
};

class HostSession {
 public:
  enum class Status { kOk = 0, kError = 1, kUsage = 2 };

  explicit HostSession(SessionOptions options);
  // A quiet session without the module on a new drawing, started: what a unit test
  // of the host runs in. nullptr when it did not start.
  static std::unique_ptr<HostSession> startBare();
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  // kUsage when an input file or drawing cannot be read (reported on standard error).
  Status start();
  // Loads a file as (load FILE) does in the active drawing; kError when an error
  // abandoned it, kUsage when it cannot be read.
  Status runFile(const std::string& path);
  // Evaluates every form of the text, printing each value (prin1) on a line of its
  // own (a newline first when the output so far does not end with one);
  // kError after an error (the rest of the text is abandoned).
  Status evalText(const std::string& text);
  // One top-level form of the script, errors reported as the command line reports
  // them.
  lisp::Outcome evaluateForm(const lisp::Value& form);
  // One form typed at the interactive command line: in the active drawing's namespace.
  lisp::Outcome evaluateTyped(const lisp::Value& form);
  // The script's runtime (nullptr when no drawing is open).
  lisp::Runtime* scriptRuntime();
  // The next form evaluated begins a new script.
  void endScript();
  // A line typed at the command line that is not LISP: a command (a C: function).
  void executeCommand(const std::string& line);
  // Text on the host's standard output, in order with everything else printed.
  static void write(std::string_view utf8);
  // True when the output so far ends with a newline (or nothing was written).
  static bool atLineStart();
  // Interactive host: how an input request reads the terminal when the input queue
  // is empty (returns nothing at end of input).
  void setTerminalReader(
      std::function<std::optional<std::string>(const std::string& prompt)> reader);
  // Work for the host's idle time (host:idle, the interactive command line waiting for
  // a line): kept for the whole process, run in the order added.
  static void addIdleHandler(std::function<void()> handler);
  // Installs more builtins in every drawing's LISP runtime from now on (libraries above
  // the host, such as the dialog runtime, add their host: functions so).
  static void addLispInstaller(std::function<void(lisp::Runtime&)> installer);
  // The host is idle: runs the idle handlers.
  void idle();
  // Saves (--save), closes every drawing and unloads the module; idempotent.
  Status end();

 private:
  struct Script;
  Script* script();

  SessionOptions m_options;
  std::unique_ptr<Script> m_script;
  bool m_started = false;
  bool m_ended = false;
};

// The module file the host loads by default: Tabrik2010.arx beside the executable.
std::string defaultModulePath();

}  // namespace tabrik::acad
