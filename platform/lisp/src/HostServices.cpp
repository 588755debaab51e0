// Default host services: standard output, a small table of host variables, the
// process environment, files as named, and Escape for every input request.
#include "lisp/HostServices.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace tabrik::lisp {

HostServices::HostServices() {
  // The defaults of a new drawing for the variables the runtime itself consults.
  m_variables.emplace("LUNITS", Value::integer(2));
  m_variables.emplace("LUPREC", Value::integer(4));
  m_variables.emplace("AUNITS", Value::integer(0));
  m_variables.emplace("AUPREC", Value::integer(0));
  m_variables.emplace("DIMZIN", Value::integer(0));
  m_variables.emplace("UNITMODE", Value::integer(0));
  m_variables.emplace("ERRNO", Value::integer(0));
  m_variables.emplace("ANGBASE", Value::real(0.0));
  m_variables.emplace("ANGDIR", Value::integer(0));
  m_variables.emplace("ELEVATION", Value::real(0.0));
  m_variables.emplace("ACADPREFIX", Value::string(""));
}

HostServices::~HostServices() = default;

void HostServices::write(std::string_view utf8) {
  if (utf8.empty()) return;
  m_atLineStart = utf8.back() == '\n';
  writeOutput(utf8);
}

void HostServices::writeOutput(std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}

Value HostServices::getVariable(Runtime&, std::string_view name) {
  auto found = m_variables.find(name);
  return found == m_variables.end() ? Value() : found->second;
}

SetVariableStatus HostServices::setVariable(Runtime&, std::string_view name, const Value& value) {
  auto found = m_variables.find(name);
  if (found == m_variables.end()) return SetVariableStatus::Unknown;
  // A variable keeps its kind: an integer variable takes integers, a real one numbers,
  // a string one strings.
  const Value& old = found->second;
  if (old.isInt() && !value.isInt()) return SetVariableStatus::Rejected;
  if (old.isReal() && !value.isNumber()) return SetVariableStatus::Rejected;
  if (old.isString() && !value.isString()) return SetVariableStatus::Rejected;
  found->second = old.isReal() ? Value::real(value.asNumber()) : value;
  return SetVariableStatus::Ok;
}

std::optional<std::string> HostServices::findFile(std::string_view name) {
  std::string path(name);
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return path;
  return std::nullopt;
}

std::optional<std::string> HostServices::getEnv(std::string_view name) {
  std::string key(name);
  const char* value = std::getenv(key.c_str());
  if (!value) return std::nullopt;
  return std::string(value);
}

void HostServices::setEnv(std::string_view name, std::string_view value) {
  ::setenv(std::string(name).c_str(), std::string(value).c_str(), 1);
}

InputReply HostServices::requestInput(Runtime&, const InputRequest& request) {
  write(request.prompt);
  return InputReply{InputStatus::Cancel, Value()};
}

void HostServices::alert(Runtime&, std::string_view message) {
  if (!atLineStart()) write("\n");
  write(message);
  write("\n");
}

}  // namespace tabrik::lisp
