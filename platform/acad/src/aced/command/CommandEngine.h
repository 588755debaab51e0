// The command line of the host: what runs a command, feeds it its input and keeps
// the command variables (CMDACTIVE, CMDNAMES) and the undo history in step. LISP's
// `command` and `vl-cmdf`, script files, lines sent with sendStringToExecute and the
// interactive command line all drive commands through here.
//
// A command body is ordinary sequential code that asks for input with the ads calls.
// It runs on a thread of its own so that it can wait for input that its caller has
// not given yet: `(command "_.PLINE")` returns with PLINE waiting, and the next
// `(command p)` hands it p. Exactly one of the main thread and the command threads
// runs at any time; the hand-off is a mutex and a condition variable.
//
//   main thread                          command thread
//   start: push, create thread, hand     waits for its turn, runs the body
//   over, wait                           asks for input: records the request, hands
//   deliver a token: hand over, wait     back, waits; takes the token, goes on
//   finished: join, pop, close the undo  body returns: records the result, hands back
//   step, update the variables
//
// Tokens are text as typed ("" is Enter), PAUSE (the next token comes from the user:
// the input queue or the terminal), or object tokens (UserInput.h) for entity names
// and selection sets.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabrik::lisp {
class Runtime;
class Value;
}  // namespace tabrik::lisp

namespace tabrik::acad::command {

struct CommandToken {
  enum Kind { kText, kPause };
  Kind kind = kText;
  std::string text;
};

// Where tokens come from: a LISP call (echoed under CMDECHO, C: functions are no
// commands), or the command line (scripts, sent lines, the terminal: always echoed,
// C: functions run, "(" starts a LISP expression, Enter repeats the last command).
enum class TokenOrigin { kLisp, kCommandLine };

// How a `command` call ended.
enum class FeedResult {
  kOk,         // every token taken (a command may still wait for more)
  kCancelled,  // the user cancelled the command (Escape at a pause)
  kFailed,     // a command failed
};

bool isCommandActive();
// Hands the tokens to the command line in order, as `command` does.
FeedResult feedTokens(const std::vector<CommandToken>& tokens);
// Cancels every running command, as Escape does (`(command)` with no argument).
void cancelCommands();
// Runs command-line text: tokens separated by a space or a newline (a newline only
// where a command asks for text that may hold spaces), ";" lines are comments, "("
// starts a LISP expression evaluated in the runtime.
void runCommandLine(std::string_view text, lisp::Runtime& runtime);
// At the end of a top-level evaluation: a command still waiting takes its input
// from the user until it ends (Escape when there is none), then scripts that the
// SCRIPT command queued run.
void finishCommands();
// Runs a script file on the command line (`tabrik run file.scr`, the SCRIPT
// command); false when it cannot be read.
bool runScriptFile(const std::string& path);
// How a LISP value given to `command` (or by an expression in a script) becomes a
// token: strings as typed (PAUSE pauses), numbers, points "x,y,z", entity names and
// selection sets (an entsel list gives its entity). Nothing for a value no prompt
// takes (nil is skipped by the caller).
std::optional<CommandToken> tokenOf(const lisp::Value& value);
// Runs the scripts the SCRIPT command queued, once no command is active (after a
// top-level LISP evaluation).
void runPendingScripts();
// Session end: cancels what runs and drops queued scripts.
void shutdownCommands();

// The prompts of the input requests commands made since the last call, oldest
// first, without their leading newlines (a test hook: host:command-prompts).
std::vector<std::string> takeCommandPrompts();

// For the SCRIPT command: the script file to run once the command line is free.
void queueScript(std::string path);
// The global name of a built-in command ("LINE", "-LAYER"), or nothing.
std::optional<std::string> builtinCommandName(std::string_view typed);

}  // namespace tabrik::acad::command
