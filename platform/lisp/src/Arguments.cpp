// Argument checks shared by every builtin, with the host's exact message texts.
#include "RuntimeInternal.h"

namespace tabrik::lisp {

void throwBadArgumentType(std::string_view predicate, const Value& value) {
  throw LispError("bad argument type: " + std::string(predicate) + " " + value.toPrin1String());
}

void throwBadArgumentValue(std::string_view detail) {
  throw LispError("bad argument value: " + std::string(detail));
}

void checkArgCount(Args args, std::size_t min, std::size_t max) {
  if (args.size() < min) throw LispError(std::string(messages::kTooFewArguments));
  if (args.size() > max) throw LispError(std::string(messages::kTooManyArguments));
}

const std::string& stringArg(const Value& v) {
  if (!v.isString()) throwBadArgumentType("stringp", v);
  return v.asString();
}

std::int32_t intArg(const Value& v) {
  if (!v.isInt()) throwBadArgumentType("fixnump:", v);
  return v.asInt();
}

double numberArg(const Value& v) {
  if (!v.isNumber()) throwBadArgumentType("numberp:", v);
  return v.asNumber();
}

std::array<double, 3> pointArg(const Value& v) {
  if (!v.isPoint()) throwBadArgumentType("2D/3D point:", v);
  std::array<double, 3> point{0.0, 0.0, 0.0};
  std::size_t i = 0;
  for (const Value& coordinate : v) point[i++] = coordinate.asNumber();
  return point;
}

}  // namespace tabrik::lisp
