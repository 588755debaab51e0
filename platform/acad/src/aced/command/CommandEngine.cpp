// The command line: command threads and their hand-off, command lookup, tokens from
// LISP and from command-line text, the command variables and the undo steps.
#include "aced/command/CommandEngine.h"

#include <pthread.h>

#include <charconv>
#include <condition_variable>
#include <deque>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>

#include "acdb/acut/Console.h"
#include "acdb/objects/UndoLog.h"
#include "aced/bridge/DocumentLisp.h"
#include "aced/command/CoreCommands.h"
#include "aced/doc/DocManager.h"
#include "aced/host/HostState.h"
#include "aced/host/HostVariables.h"
#include "aced/input/UserInput.h"
#include "adscodes.h"
#include "lisp/Reader.h"
#include "lisp/Runtime.h"
#include "tabrik/SystemVariables.h"

namespace tabrik::acad::command {

namespace {

struct CoreCommand {
  const char* name;
  int (*body)();
};

constexpr CoreCommand kCoreCommands[] = {
#define CORE_COMMAND(name, body) {#name, &body},
#include "aced/command/CoreCommandList.def"
#undef CORE_COMMAND
};

// Commands that may run in the middle of another one ('ZOOM).
bool isTransparentCapable(const std::string& name) {
  return name == "ZOOM" || name == "REDRAW" || name == "-OSNAP" || name == "-LAYER" ||
         name == "SCRIPT";
}

// Commands that act on the undo history and make no step of their own.
bool isUndoCommand(const std::string& name) { return name == "UNDO" || name == "U"; }

// A body that goes on asking after being cancelled this often is abandoned to its
// cancel tokens: only defensive, a body ends on RTCAN.
constexpr int kCancelRounds = 64;
constexpr std::size_t kCommandStack = 16u << 20;

std::string upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

class Running;

class BodySource final : public InputTokenSource {
 public:
  explicit BodySource(Running* running) : m_running(running) {}
  std::optional<std::string> take(const InputQuery& query) override;

 private:
  Running* m_running;
};

// One command between its start and its end. The fields the two threads share are
// written only by the thread whose turn it is.
class Running {
 public:
  Running() : source(this) {}
  std::string name;
  int (*body)() = nullptr;
  bool transparent = false;
  bool recordsUndo = false;
  AcDbDatabase* database = nullptr;
  pthread_t thread{};
  BodySource source;
  // --- shared
  bool finished = false;
  int result = RTNORM;
  bool waiting = false;
  InputQuery query;
  std::optional<std::string> delivered;
  // --- main thread only
  bool userCancelled = false;
  int cancelRounds = 0;
};

struct Engine {
  std::mutex mutex;
  std::condition_variable turnChanged;
  Running* turn = nullptr;  // the command thread that runs; nullptr: the main thread
  std::vector<std::unique_ptr<Running>> stack;
  std::vector<std::string> prompts;
  std::deque<std::string> scripts;
  int scriptDepth = 0;
  std::string lastCommand;
  FeedResult failure = FeedResult::kOk;  // the worst end since feedTokens began
  TokenOrigin origin = TokenOrigin::kCommandLine;
};

Engine& engine() {
  static Engine* instance = new Engine;  // never destroyed: threads are joined first
  return *instance;
}

long integerVariable(const wchar_t* name, long fallback) {
  resbuf value{};
  if (!getHostVariable(name, &value)) return fallback;
  if (value.restype == RTSHORT) return value.resval.rint;
  if (value.restype == RTLONG) return value.resval.rlong;
  return fallback;
}

void setSessionVariable(const char* name, VariableValue value) {
  hostState().variables[name] = std::move(value);
}

void updateVariables() {
  Engine& e = engine();
  long active = 0;
  std::wstring names;
  for (const auto& running : e.stack) {
    active |= running->transparent ? 2 : 1;
    if (!names.empty()) names += L"'";
    names += std::wstring(running->name.begin(), running->name.end());
  }
  if (e.scriptDepth > 0) active |= 4;
  VariableValue activeValue;
  activeValue.type = VariableType::Int;
  activeValue.integer = active;
  setSessionVariable("CMDACTIVE", activeValue);
  VariableValue namesValue;
  namesValue.type = VariableType::Str;
  namesValue.text = names;
  setSessionVariable("CMDNAMES", namesValue);
}

bool echoing() { return integerVariable(L"CMDECHO", 1) != 0; }

void handOver(Running* running) {
  Engine& e = engine();
  std::unique_lock lock(e.mutex);
  e.turn = running;
  e.turnChanged.notify_all();
  e.turnChanged.wait(lock, [&] { return e.turn == nullptr; });
}

void* runBody(void* argument) {
  auto* running = static_cast<Running*>(argument);
  Engine& e = engine();
  {
    std::unique_lock lock(e.mutex);
    e.turnChanged.wait(lock, [&] { return e.turn == running; });
  }
  setThreadTokenSource(&running->source);
  int result = RTERROR;
  try {
    result = running->body();
  } catch (...) {
    // Defensive: bodies report failures by their result.
    result = RTERROR;
  }
  setThreadTokenSource(nullptr);
  std::lock_guard lock(e.mutex);
  running->finished = true;
  running->result = result;
  e.turn = nullptr;
  e.turnChanged.notify_all();
  return nullptr;
}

std::string withoutLeadingNewlines(const std::string& text) {
  size_t first = text.find_first_not_of('\n');
  return first == std::string::npos ? std::string() : text.substr(first);
}

void closeUndoStep(Running& done) {
  if (!done.recordsUndo || done.database == nullptr) return;
  UndoStepPtr step = endUndoRecording(done.database);
  if (!step || isEmptyStep(*step)) return;
  std::vector<UndoEntry>& history = undoHistory(done.database);
  history.push_back(UndoEntry{UndoEntryKind::kStep, done.name, std::move(step)});
  // UNDO Control One keeps the last step only.
  if (integerVariable(L"UNDOCTL", 21) & 2) history.erase(history.begin(), history.end() - 1);
}

void settle();

// Runs the command until it asks for input or ends; output is dropped while a LISP
// caller has CMDECHO off.
void run(Running* running) {
  Engine& e = engine();
  std::optional<ConsoleCapture> silence;
  if (e.origin == TokenOrigin::kLisp && !echoing()) silence.emplace();
  handOver(running);
  if (running->waiting) {
    const InputQuery& query = running->query;
    e.prompts.push_back(
        withoutLeadingNewlines(query.prompt.empty() ? query.shownPrompt : query.prompt));
  }
  silence.reset();
  settle();
}

void resume(Running* running, std::optional<std::string> token) {
  running->delivered = std::move(token);
  run(running);
}

// Pops the commands that ended; a transparent one's end shows the prompt it
// interrupted again.
void settle() {
  Engine& e = engine();
  while (!e.stack.empty() && e.stack.back()->finished) {
    std::unique_ptr<Running> done = std::move(e.stack.back());
    e.stack.pop_back();
    pthread_join(done->thread, nullptr);
    closeUndoStep(*done);
    if (done->result == RTERROR) {
      e.failure = FeedResult::kFailed;
    } else if (done->result == RTCAN && done->userCancelled) {
      writeConsole(std::string_view(consoleAtLineStart() ? "*Cancel*\n" : "\n*Cancel*\n"));
      if (e.failure == FeedResult::kOk) e.failure = FeedResult::kCancelled;
    }
    updateVariables();
    if (done->transparent && !e.stack.empty() && e.stack.back()->waiting) {
      resume(e.stack.back().get(), std::string(kRepromptToken));
      return;
    }
  }
}

void startCommand(const std::string& name, int (*body)(), bool transparent) {
  Engine& e = engine();
  auto running = std::make_unique<Running>();
  running->name = name;
  running->body = body;
  running->transparent = transparent;
  Document* document = docManager().current();
  running->database = document != nullptr ? document->database() : nullptr;
  running->recordsUndo = !transparent && e.stack.empty() && !isUndoCommand(name) &&
                         running->database != nullptr && (integerVariable(L"UNDOCTL", 21) & 1) != 0;
  if (running->recordsUndo) beginUndoRecording(running->database);
  Running* raw = running.get();
  e.stack.push_back(std::move(running));
  updateVariables();
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, kCommandStack);
  int created = pthread_create(&raw->thread, &attributes, runBody, raw);
  pthread_attr_destroy(&attributes);
  if (created != 0) {
    hostDiagnostic("cannot start command " + name);
    if (raw->recordsUndo) closeUndoStep(*raw);
    e.stack.pop_back();
    updateVariables();
    e.failure = FeedResult::kFailed;
    return;
  }
  run(raw);
}

// "_" asks for the global name and "." for the built-in command whatever redefines
// it, in either order; letter case does not matter.
std::string strippedName(std::string_view typed) {
  size_t start = 0;
  while (start < typed.size() && start < 2 && (typed[start] == '_' || typed[start] == '.')) ++start;
  return upper(std::string(typed.substr(start)));
}

const CoreCommand* findCore(const std::string& name) {
  for (const CoreCommand& core : kCoreCommands) {
    if (name == core.name) return &core;
  }
  return nullptr;
}

std::string printable(const std::string& text) {
  bool isSet = false;
  std::intptr_t name[2];
  if (parseObjectToken(text, isSet, name)) return "";
  return text;
}

void atCommandPrompt(const std::string& typed, TokenOrigin origin, lisp::Runtime* runtime);

// Gives the waiting command its next token (a transparent command starts instead).
void deliverText(const std::string& text, bool echo) {
  Engine& e = engine();
  Running* top = e.stack.back().get();
  if (!text.empty() && text[0] == '\'' && !top->transparent) {
    std::string name = strippedName(std::string_view(text).substr(1));
    if (const CoreCommand* core = findCore(name); core && isTransparentCapable(name)) {
      if (echo && echoing()) writeConsole(text);
      startCommand(name, core->body, /*transparent=*/true);
      return;
    }
  }
  if (echo && echoing()) writeConsole(printable(text));
  resume(top, text);
}

void deliverPause() {
  Engine& e = engine();
  Running* top = e.stack.back().get();
  HostState& state = hostState();
  std::string prompt = top->query.prompt.empty() ? top->query.shownPrompt : top->query.prompt;
  bool shown = e.origin != TokenOrigin::kLisp || echoing();
  if (!shown && (!state.isInteractive() || state.hasQueuedInput())) writeConsole(prompt);
  std::optional<std::string> typed = state.takeInput(shown ? std::string() : prompt);
  if (!typed || *typed == "*cancel*") {
    top->userCancelled = true;
    resume(top, std::nullopt);
    return;
  }
  if (!typed->empty() && typed->back() == '\r') typed->pop_back();
  deliverText(*typed, /*echo=*/false);
}

void deliver(const CommandToken& token) {
  if (token.kind == CommandToken::kPause) {
    deliverPause();
    return;
  }
  deliverText(token.text, /*echo=*/true);
}

void atCommandPrompt(const std::string& given, TokenOrigin origin, lisp::Runtime* runtime) {
  Engine& e = engine();
  std::string typed = given;
  if (typed.empty()) {
    // Enter at the command prompt repeats the last command on the command line.
    if (origin != TokenOrigin::kCommandLine || e.lastCommand.empty()) return;
    typed = e.lastCommand;
  }
  bool transparent = typed[0] == '\'';
  std::string name = strippedName(transparent ? std::string_view(typed).substr(1) : typed);
  if (echoing()) {
    writeConsole(std::string(consoleAtLineStart() ? "" : "\n") + "Command: " + printable(typed));
  }
  if (const CoreCommand* core = findCore(name)) {
    e.lastCommand = name;
    startCommand(name, core->body, /*transparent=*/false);
    return;
  }
  if (origin == TokenOrigin::kCommandLine && runtime != nullptr &&
      runtime->symbolValue("C:" + name).isFunction()) {
    e.lastCommand = name;
    writeConsole(std::string_view("\n"));
    runtime->callFunction("C:" + name, {}, lisp::ErrorReport::Print);
    return;
  }
  writeConsole(std::string(consoleAtLineStart() ? "" : "\n") + "Unknown command \"" + name +
               "\".  Press F1 for help.\n");
}

std::string formatReal(double value) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// Command-line text read as the host reads typed input.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : m_text(text) {}

  bool startsExpression() {
    skipComments();
    return m_pos < m_text.size() && m_text[m_pos] == '(';
  }

  // The next token; a space or tab ends it unless spaces are part of the answer, a
  // newline always does. The separator is taken with it.
  std::optional<std::string> token(bool allowSpaces) {
    skipComments();
    if (m_pos >= m_text.size()) return std::nullopt;
    size_t start = m_pos;
    while (m_pos < m_text.size() && m_text[m_pos] != '\n' &&
           (allowSpaces || (m_text[m_pos] != ' ' && m_text[m_pos] != '\t')))
      ++m_pos;
    std::string token(m_text.substr(start, m_pos - start));
    if (!token.empty() && token.back() == '\r') token.pop_back();
    takeSeparator();
    return token;
  }

  // The LISP expression that starts here; the separator after it goes with it. A
  // read error is reported and ends the text.
  std::optional<lisp::Value> expression() {
    lisp::Reader reader(m_text.substr(m_pos));
    try {
      std::optional<lisp::Reader::Form> form = reader.next();
      if (!form) {
        m_pos = m_text.size();
        return std::nullopt;
      }
      m_pos += form->end;
      takeSeparator();
      return form->value;
    } catch (const lisp::LispError& error) {
      writeConsole("\n; error: " + error.message() + "\n");
      m_pos = m_text.size();
      return std::nullopt;
    }
  }

 private:
  void takeSeparator() {
    if (m_pos >= m_text.size()) return;
    m_atLineStart = m_text[m_pos] == '\n';
    if (m_text[m_pos] == '\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '\n') ++m_pos;
    if (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' || m_text[m_pos] == '\n' ||
        m_text[m_pos] == '\r') {
      m_atLineStart = m_text[m_pos] == '\n';
      ++m_pos;
    }
  }

  // Lines that start with ";" are comments.
  void skipComments() {
    while (m_atLineStart && m_pos < m_text.size() && m_text[m_pos] == ';') {
      size_t newline = m_text.find('\n', m_pos);
      m_pos = newline == std::string_view::npos ? m_text.size() : newline + 1;
    }
  }

  std::string_view m_text;
  size_t m_pos = 0;
  bool m_atLineStart = true;
};

lisp::Runtime* activeRuntime() {
  DocumentLisp* lisp = lispOf(docManager().active());
  return lisp != nullptr ? &lisp->runtime() : nullptr;
}

void runQueuedScripts() {
  Engine& e = engine();
  // A script that queues another hands the command line over to it.
  for (int chained = 0; !e.scripts.empty() && chained < 1000; ++chained) {
    std::string path = e.scripts.front();
    e.scripts.pop_front();
    runScriptFile(path);
  }
}

}  // namespace

std::optional<std::string> BodySource::take(const InputQuery& query) {
  Engine& e = engine();
  std::unique_lock lock(e.mutex);
  m_running->query = query;
  m_running->waiting = true;
  m_running->delivered.reset();
  e.turn = nullptr;
  e.turnChanged.notify_all();
  e.turnChanged.wait(lock, [&] { return e.turn == m_running; });
  m_running->waiting = false;
  return std::move(m_running->delivered);
}

bool isCommandActive() { return !engine().stack.empty(); }

std::optional<CommandToken> tokenOf(const lisp::Value& value) {
  if (value.isString()) {
    if (value.asString() == "\\") return CommandToken{CommandToken::kPause, ""};
    return CommandToken{CommandToken::kText, value.asString()};
  }
  if (value.isInt()) return CommandToken{CommandToken::kText, std::to_string(value.asInt())};
  if (value.isReal()) return CommandToken{CommandToken::kText, formatReal(value.asReal())};
  if (value.isEname() || value.isPickset()) {
    lisp::AdsName name = value.adsName();
    return CommandToken{CommandToken::kText, objectToken(value.isPickset(), name.word)};
  }
  if (value.isPoint()) {
    std::string text;
    for (const lisp::Value& coordinate : value) {
      if (!text.empty()) text += ",";
      text += formatReal(coordinate.asNumber());
    }
    return CommandToken{CommandToken::kText, text};
  }
  // What entsel returns: the entity answers an object prompt.
  if (value.isCons() && value.car().isEname() && value.length() == 2 && value.cdr().car().isPoint())
    return tokenOf(value.car());
  return std::nullopt;
}

FeedResult feedTokens(const std::vector<CommandToken>& tokens) {
  Engine& e = engine();
  TokenOrigin outer = e.origin;
  e.origin = TokenOrigin::kLisp;
  e.failure = FeedResult::kOk;
  for (const CommandToken& token : tokens) {
    if (!e.stack.empty()) {
      deliver(token);
      continue;
    }
    if (token.kind == CommandToken::kPause) {
      std::optional<std::string> typed = hostState().takeInput("Command: ");
      if (!typed || *typed == "*cancel*") continue;
      atCommandPrompt(*typed, TokenOrigin::kLisp, nullptr);
      continue;
    }
    atCommandPrompt(token.text, TokenOrigin::kLisp, nullptr);
  }
  e.origin = outer;
  FeedResult result = e.failure;
  e.failure = FeedResult::kOk;
  return result;
}

void cancelCommands() {
  Engine& e = engine();
  while (!e.stack.empty()) {
    Running* top = e.stack.back().get();
    if (!top->waiting || ++top->cancelRounds > kCancelRounds) return;
    resume(top, std::nullopt);
  }
}

void runCommandLine(std::string_view text, lisp::Runtime& runtime) {
  Engine& e = engine();
  TokenOrigin outer = e.origin;
  e.origin = TokenOrigin::kCommandLine;
  LineReader reader(text);
  while (e.scripts.empty() || !e.stack.empty()) {
    if (reader.startsExpression()) {
      std::optional<lisp::Value> form = reader.expression();
      if (!form) break;
      if (e.stack.empty()) {
        lisp::Outcome outcome = runtime.evaluateTopLevel(*form, lisp::ErrorReport::Print);
        // A script's command line shows each value; a sent line shows none.
        if (e.scriptDepth > 0 && outcome.ok && !outcome.value.isNil())
          writeConsole("\n" + outcome.value.toPrin1String() + "\n");
        continue;
      }
      lisp::Outcome outcome = runtime.evaluateTopLevel(*form, lisp::ErrorReport::Print);
      if (e.stack.empty()) continue;
      std::optional<CommandToken> token;
      if (outcome.ok && !outcome.value.isNil()) token = tokenOf(outcome.value);
      deliver(token ? *token : CommandToken{CommandToken::kText, kRepromptToken});
      continue;
    }
    if (e.stack.empty()) {
      std::optional<std::string> token = reader.token(/*allowSpaces=*/false);
      if (!token) break;
      atCommandPrompt(*token, TokenOrigin::kCommandLine, &runtime);
      continue;
    }
    const InputQuery& query = e.stack.back()->query;
    std::optional<std::string> token =
        reader.token(query.want == InputWant::kString && query.allowSpaces);
    if (!token) break;
    deliver(CommandToken{CommandToken::kText, *token});
  }
  e.origin = outer;
  e.failure = FeedResult::kOk;
}

void finishCommands() {
  Engine& e = engine();
  TokenOrigin outer = e.origin;
  e.origin = TokenOrigin::kCommandLine;
  while (!e.stack.empty()) {
    Running* top = e.stack.back().get();
    if (!top->waiting) break;  // defensive: a command that neither waits nor ended
    if (top->userCancelled && ++top->cancelRounds > kCancelRounds) break;
    deliver(CommandToken{CommandToken::kPause, ""});
  }
  e.origin = outer;
  e.failure = FeedResult::kOk;
  runQueuedScripts();
}

void runPendingScripts() {
  if (engine().stack.empty()) runQueuedScripts();
}

bool runScriptFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::stringstream content;
  content << in.rdbuf();
  lisp::Runtime* runtime = activeRuntime();
  if (runtime == nullptr) return false;
  Engine& e = engine();
  ++e.scriptDepth;
  updateVariables();
  std::string text = content.str();
  runCommandLine(text, *runtime);
  --e.scriptDepth;
  updateVariables();
  runQueuedScripts();
  return true;
}

void shutdownCommands() {
  Engine& e = engine();
  e.scripts.clear();
  cancelCommands();
  // Defensive: a command that would not end keeps its thread waiting for a turn that
  // never comes, and its state (never freed, so no later command can be mistaken
  // for it); the process is ending.
  for (auto& running : e.stack) {
    pthread_detach(running->thread);
    static_cast<void>(running.release());
  }
  e.stack.clear();
  e.lastCommand.clear();
  e.prompts.clear();
  updateVariables();
}

std::vector<std::string> takeCommandPrompts() {
  std::vector<std::string> prompts = std::move(engine().prompts);
  engine().prompts.clear();
  return prompts;
}

void queueScript(std::string path) { engine().scripts.push_back(std::move(path)); }

std::optional<std::string> builtinCommandName(std::string_view typed) {
  std::string name = strippedName(typed);
  if (findCore(name) == nullptr) return std::nullopt;
  return name;
}

}  // namespace tabrik::acad::command
