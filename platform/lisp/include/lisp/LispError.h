// The one exception type of the runtime: an AutoLISP evaluation error. Its message is
// the text the host prints after "; error: " and hands to *error*.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace tabrik::lisp {

class Value;

class LispError : public std::runtime_error {
 public:
  explicit LispError(const std::string& message) : std::runtime_error(message) {}
  std::string message() const { return what(); }

  // Set once *error* (or the top level) has seen this error, so an error that passes
  // through several call boundaries is reported only once.
  bool reported = false;
};

// Message texts of the host's common errors, exactly as the host prints them.
namespace messages {
inline constexpr std::string_view kTooFewArguments = "too few arguments";
inline constexpr std::string_view kTooManyArguments = "too many arguments";
inline constexpr std::string_view kDivideByZero = "divide by zero";
inline constexpr std::string_view kFunctionCancelled = "Function cancelled";
inline constexpr std::string_view kQuitExitAbort = "quit / exit abort";
inline constexpr std::string_view kMalformedList = "malformed list on input";
inline constexpr std::string_view kExtraRightParen = "extra right paren on input";
inline constexpr std::string_view kMalformedString = "malformed string on input";
inline constexpr std::string_view kExtraCdrs = "extra cdrs in dotted pair on input";
inline constexpr std::string_view kMisplacedDot = "misplaced dot on input";
}  // namespace messages

// "bad argument type: <predicate> <prin1 of value>". The predicate carries its own
// colon where the host prints one ("numberp:", "fixnump:", "2D/3D point:") and none
// where it does not ("stringp", "consp", "lentityp", "lselsetp").
[[noreturn]] void throwBadArgumentType(std::string_view predicate, const Value& value);
// "bad argument value: <detail>"
[[noreturn]] void throwBadArgumentValue(std::string_view detail);

}  // namespace tabrik::lisp
