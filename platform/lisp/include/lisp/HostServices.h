// What the runtime asks of its host: output, host variables, files, environment and
// user input. Every member has a usable default so the runtime runs standalone; the
// drawing host overrides what it owns. The runtime calls these from its builtins only.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "lisp/Value.h"

namespace tabrik::lisp {

class Runtime;

// The user-input requests of the getXxx family. The builtin has already checked and
// converted its LISP arguments; the host reads the answer from its input queue.
enum class InputKind {
  Point,        // getpoint      → a point list (x y z)
  Corner,       // getcorner     → a point list (base is always set)
  String,       // getstring     → a string ("" on Enter)
  Integer,      // getint        → an integer in -32768..32767
  Real,         // getreal       → a real
  Distance,     // getdist       → a real
  Angle,        // getangle      → a real, radians
  Orientation,  // getorient     → a real, radians
  Keyword,      // getkword      → the keyword string
  EntSel,       // entsel        → (ename point)
  NEntSel,      // nentsel       → (ename point [matrix owners])
};

enum class InputStatus {
  Normal,   // value holds the answer
  None,     // Enter: the request returns nil
  Cancel,   // Escape: the request fails with "Function cancelled"
  Keyword,  // a keyword of the active initget: value holds it as a string
};

struct InputRequest {
  InputKind kind = InputKind::Point;
  std::string prompt;                         // printed by the host once per request
  std::optional<std::array<double, 3>> base;  // the pt argument (rubber band origin)
  bool allowSpaces = false;                   // getstring's cr argument
  int initgetBits = 0;                        // from the last (initget), used once
  std::string keywords;                       // from the last (initget), as given
};

struct InputReply {
  InputStatus status = InputStatus::Cancel;
  Value value;
};

enum class SetVariableStatus {
  Ok,
  Rejected,  // "AutoCAD variable setting rejected: "NAME" value"
  Unknown,   // likewise rejected: setvar of a name the host does not know
};

class HostServices {
 public:
  HostServices();
  virtual ~HostServices();

  // All printed text goes through here (UTF-8); it records whether the text ended
  // at a line start so that "; error:" lines start on a line of their own.
  void write(std::string_view utf8);
  virtual bool atLineStart() const { return m_atLineStart; }

  // Host variables, names upper case. getVariable returns nil for an unknown name.
  // The defaults keep a table of the variables the runtime itself consults
  // (LUNITS, LUPREC, AUNITS, AUPREC, DIMZIN, UNITMODE, ERRNO, ...).
  virtual Value getVariable(Runtime& runtime, std::string_view name);
  virtual SetVariableStatus setVariable(Runtime& runtime, std::string_view name,
                                        const Value& value);

  // findfile / load: the full path of name, or nothing. Default: name itself when
  // it names an existing file.
  virtual std::optional<std::string> findFile(std::string_view name);

  // getenv / setenv. Default: the process environment.
  virtual std::optional<std::string> getEnv(std::string_view name);
  virtual void setEnv(std::string_view name, std::string_view value);

  // The getXxx / entsel family. Default: Escape.
  virtual InputReply requestInput(Runtime& runtime, const InputRequest& request);

  // (alert msg). Default: the message on a line of the output.
  virtual void alert(Runtime& runtime, std::string_view message);

 protected:
  // Where write() sends the text. Default: standard output.
  virtual void writeOutput(std::string_view utf8);

 private:
  bool m_atLineStart = true;
  std::map<std::string, Value, std::less<>> m_variables;
};

}  // namespace tabrik::lisp
