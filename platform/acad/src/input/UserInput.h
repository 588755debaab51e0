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
#include <optional>
#include <string>

namespace tabrik::acad {

enum class InputWant { kPoint, kCorner, kString, kInteger, kReal, kDistance, kAngle, kOrientation, kKeyword };

struct InputQuery {
  InputWant want = InputWant::kPoint;
  std::string prompt;  // UTF-8, printed once per request
  std::optional<std::array<double, 3>> base;
  bool allowSpaces = false;
  int initgetBits = 0;
  std::string keywords;  // the initget keyword list
};

struct InputAnswer {
  int status = 0;  // RTNORM, RTNONE (Enter), RTCAN (Escape), RTKWORD (keyword or arbitrary text)
  double point[3] = {0, 0, 0};
  double real = 0;
  int integer = 0;
  std::string text;  // the string, or the keyword / arbitrary input of RTKWORD
};

InputAnswer requestUserInput(const InputQuery& query);

// The keyword of the list that the text names (full name or abbreviation, letter
// case ignored), or nothing. The list is blank-separated; what follows an "_" is
// the list of global names and is matched too, answering with the local keyword.
std::optional<std::string> matchKeyword(const std::string& keywords, const std::string& text);
// "x,y" or "x,y,z" (reals); nothing for anything else.
std::optional<std::array<double, 3>> parsePoint(const std::string& text);

// The text of the last keyword or arbitrary input (acedGetInput).
const std::string& lastKeywordInput();

}  // namespace tabrik::acad
