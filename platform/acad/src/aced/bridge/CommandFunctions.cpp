// LISP's way onto the command line: command, vl-cmdf, and host:command-prompts (the
// prompts commands asked for since the last call, a record for tests).
//
// `command` hands its arguments over one by one, so a bad argument stops it after
// the earlier ones were taken (and cancels the command they started); `vl-cmdf`
// checks every argument first and runs nothing when one is bad. Both leave a command
// that wants more input waiting for the next call. A command that the user cancels
// (Escape at a pause) or that fails raises "Function cancelled", so *error* hears it.
#include "aced/bridge/CommandFunctions.h"

#include <vector>

#include "aced/command/CommandEngine.h"
#include "lisp/Runtime.h"

namespace tabrik::acad {

using lisp::Args;
using lisp::Runtime;
using lisp::Value;

namespace {

command::CommandToken tokenOrFail(const Value& value) {
  std::optional<command::CommandToken> token = command::tokenOf(value);
  if (!token) lisp::throwBadArgumentType("stringp", value);
  return *token;
}

void feed(Runtime& runtime, const std::vector<command::CommandToken>& tokens) {
  if (command::feedTokens(tokens) != command::FeedResult::kOk) {
    command::cancelCommands();
    runtime.fail(std::string(lisp::messages::kFunctionCancelled));
  }
}

Value commandFunction(Runtime& runtime, Args args) {
  if (args.empty()) {
    command::cancelCommands();
    return Value();
  }
  for (const Value& arg : args) {
    if (arg.isNil()) continue;
    std::optional<command::CommandToken> token = command::tokenOf(arg);
    if (!token) {
      command::cancelCommands();
      lisp::throwBadArgumentType("stringp", arg);
    }
    feed(runtime, {*token});
  }
  return Value();
}

Value vlCmdf(Runtime& runtime, Args args) {
  if (args.empty()) {
    command::cancelCommands();
    return Value::t();
  }
  std::vector<command::CommandToken> tokens;
  for (const Value& arg : args) {
    if (!arg.isNil()) tokens.push_back(tokenOrFail(arg));
  }
  feed(runtime, tokens);
  return Value::t();
}

Value hostCommandPrompts(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 0);
  std::vector<Value> prompts;
  for (std::string& prompt : command::takeCommandPrompts())
    prompts.push_back(Value::string(std::move(prompt)));
  return Value::list(prompts);
}

}  // namespace

void installCommandFunctions(Runtime& runtime) {
  runtime.defineBuiltin("command", commandFunction);
  runtime.defineBuiltin("vl-cmdf", vlCmdf);
  runtime.defineBuiltin("host:command-prompts", hostCommandPrompts);
}

}  // namespace tabrik::acad
