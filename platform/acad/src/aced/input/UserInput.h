// User input requests: each takes tokens from the input queue as the host's command
// line takes typed text.
//
// | token          | meaning                                                      |
// |----------------|--------------------------------------------------------------|
// | x,y or x,y,z   | a point picked or typed                                      |
// | ~x,y[,z]       | the cursor moves without picking (skipped here; jigs use it) |
// | (empty)        | Enter                                                        |
// | *cancel*       | Escape                                                       |
// | other text     | a keyword (full or abbreviated), a number, a string          |
//
// Invalid input prints the host's message and takes the next token, as a user
// retypes. An empty queue is Escape unless the terminal answers.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tabrik::acad {

enum class InputWant {
  kPoint,
  kCorner,
  kString,
  kInteger,
  kReal,
  kDistance,
  kAngle,
  kOrientation,
  kKeyword
};

struct InputQuery {
  InputWant want = InputWant::kPoint;
  std::string prompt;  // UTF-8, printed once per request
  std::optional<std::array<double, 3>> base;
  bool allowSpaces = false;
  int initgetBits = 0;
  std::string keywords;  // the initget keyword list
  // The prompt shown before a loop of requests that print none each (object
  // selection): what a command's prompt record names the request by.
  std::string shownPrompt;
  // An object token (an entity name or a selection set a command was given) answers
  // with RTENAME / RTPICKS and the token in `text` instead of being invalid input.
  bool acceptsObjects = false;
};

struct InputAnswer {
  int status = 0;  // RTNORM, RTNONE (Enter), RTCAN (Escape), RTKWORD (keyword or arbitrary text)
  double point[3] = {0, 0, 0};
  double real = 0;
  int integer = 0;
  std::string text;  // the string, or the keyword / arbitrary input of RTKWORD
};

InputAnswer requestUserInput(const InputQuery& query);

// Where a thread's input requests take their tokens when not from the input queue:
// the command engine's thread installs one so that a command body reads what
// `command`, a script or the command line gives it. Each thread has its own.
class InputTokenSource {
 public:
  virtual ~InputTokenSource() = default;
  // The next token for the request; nothing is Escape.
  virtual std::optional<std::string> take(const InputQuery& query) = 0;
};
void setThreadTokenSource(InputTokenSource* source);
InputTokenSource* threadTokenSource();
// The next token for a request: the thread's source, else the input queue.
std::optional<std::string> takeInputToken(const InputQuery& query);

// A token that asks the request to show its prompt again and wait on (after a
// transparent command ran in the middle of it).
inline constexpr const char* kRepromptToken = "\x01reprompt";
// Entity names and selection sets travel as tokens no one can type: "\x01E w0 w1" and
// "\x01S w0 w1" (the two words of the ads_name, decimal).
std::string objectToken(bool isSelectionSet, const std::intptr_t name[2]);
bool parseObjectToken(const std::string& text, bool& isSelectionSet, std::intptr_t name[2]);

// The keyword of the list that the text names (full name or abbreviation, letter
// case ignored), or nothing. The list is separated by blanks; each keyword marks its
// abbreviation by its capital letters ("LType") or after a comma ("LTYPE,LT"). What
// follows an "_" is the list of global names, one per local name in the same order:
// with it the answer is the global name, whether the local or (prefixed by "_") the
// global name was typed, so programs test language-independent names.
std::optional<std::string> matchKeyword(const std::string& keywords, const std::string& text);
// The 0-based position in the list of the keyword the text names.
std::optional<size_t> matchKeywordIndex(const std::string& keywords, const std::string& text);
// The local keywords of a list, without their comma abbreviations (for prompts).
size_t keywordCount(const std::string& keywords);

// acedInitGet's settings wait here for the next request of the ads interface (the
// LISP runtime keeps its own for initget); taking them clears them.
void setPendingInitGet(int bits, std::string keywords);
void takePendingInitGet(int& bits, std::string& keywords);

// Angles and distances from two points, as the host measures them: the angle of the
// difference in the XY plane, counter-clockwise from +X, in [0, 2pi).
double planarAngle(const std::array<double, 3>& from, const std::array<double, 3>& to);
double distanceBetween(const std::array<double, 3>& from, const std::array<double, 3>& to,
                       bool planar);
// "x,y" or "x,y,z" (reals); nothing for anything else.
std::optional<std::array<double, 3>> parsePoint(const std::string& text);

// The text of the last keyword or arbitrary input (acedGetInput).
const std::string& lastKeywordInput();
void setLastKeywordInput(std::string text);

}  // namespace tabrik::acad
