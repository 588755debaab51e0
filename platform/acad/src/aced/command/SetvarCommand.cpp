// SETVAR, and a system variable's name typed at the command prompt (which asks for
// that variable's new value straight away, as the host's command line does).
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "acedads.h"
#include "aced/command/CommandSupport.h"
#include "aced/command/CoreCommands.h"
#include "tabrik/SystemVariables.h"

namespace tabrik::acad::command {

namespace {

std::string g_preset;  // the variable the command line named, taken once
std::string g_last;    // the last variable SETVAR asked for (its default)

std::string realText(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.4f", value);
  return buffer;
}

std::string currentText(const resbuf& value) {
  switch (value.restype) {
    case RTSHORT:
      return std::to_string(value.resval.rint);
    case RTLONG:
      return std::to_string(value.resval.rlong);
    case RTREAL:
      return realText(value.resval.rreal);
    case RTSTR:
      return "\"" + (value.resval.rstring ? narrow(value.resval.rstring) : std::string()) + "\"";
    case RTPOINT:
      return realText(value.resval.rpoint[X]) + "," + realText(value.resval.rpoint[Y]);
    case RT3DPOINT:
      return realText(value.resval.rpoint[X]) + "," + realText(value.resval.rpoint[Y]) + "," +
             realText(value.resval.rpoint[Z]);
    default:
      return "";
  }
}

// Asks for the new value with the request the variable's type wants; Enter keeps it.
int askValue(const SystemVariable& variable, const resbuf& current, resbuf& given,
             std::wstring& text) {
  std::string prompt =
      "\nEnter new value for " + std::string(variable.name) + " <" + currentText(current) + ">: ";
  std::wstring wide = command::wide(prompt);
  switch (variable.type) {
    case VariableType::Int: {
      int value = 0;
      int status = acedGetInt(wide.c_str(), &value);
      if (status != RTNORM) return status;
      given.restype = RTSHORT;
      given.resval.rint = static_cast<short>(value);
      return RTNORM;
    }
    case VariableType::Real: {
      double value = 0;
      int status = acedGetReal(wide.c_str(), &value);
      if (status != RTNORM) return status;
      given.restype = RTREAL;
      given.resval.rreal = value;
      return RTNORM;
    }
    case VariableType::Pt2:
    case VariableType::Pt3: {
      ads_point point;
      int status = acedGetPoint(nullptr, wide.c_str(), point);
      if (status != RTNORM) return status;
      given.restype = variable.type == VariableType::Pt2 ? RTPOINT : RT3DPOINT;
      for (int i = 0; i < 3; ++i) given.resval.rpoint[i] = point[i];
      return RTNORM;
    }
    case VariableType::Str:
      break;
  }
  ACHAR typed[2048];
  int status = acedGetString(1, wide.c_str(), typed, 2048);
  if (status != RTNORM) return status;
  if (typed[0] == L'\0') return RTNONE;
  text = typed;
  given.restype = RTSTR;
  given.resval.rstring = text.data();
  return RTNORM;
}

// A variable's value as acedGetVar gives it; its string is freed with it.
struct HeldValue {
  resbuf rb{};
  ~HeldValue() {
    if (rb.restype == RTSTR) std::free(rb.resval.rstring);
  }
};

}  // namespace

void presetVariable(std::string name) { g_preset = std::move(name); }

int setvarCommand() {
  std::string name = std::move(g_preset);
  g_preset.clear();
  if (name.empty()) {
    int status = getText("\nEnter variable name or [?]" +
                             (g_last.empty() ? std::string() : " <" + g_last + ">") + ": ",
                         name);
    if (status != RTNORM) return status;
    if (name.empty()) name = g_last;
    if (name.empty()) return RTNORM;
  }
  const SystemVariable* variable = findSystemVariable(upperCase(name));
  if (variable == nullptr) {
    say("\nUnknown variable name.  Type SETVAR ? for a list of variables.");
    return RTNORM;
  }
  g_last = variable->name;
  HeldValue current;
  if (acedGetVar(command::wide(variable->name).c_str(), &current.rb) != RTNORM) return RTNORM;
  if (variable->readOnly) {
    say("\n" + std::string(variable->name) + " = " + currentText(current.rb) + " (read only)");
    return RTNORM;
  }
  while (true) {
    resbuf given{};
    std::wstring text;
    int status = askValue(*variable, current.rb, given, text);
    if (status != RTNORM) return status == RTCAN ? RTCAN : RTNORM;
    if (acedSetVar(command::wide(variable->name).c_str(), &given) == RTNORM) return RTNORM;
    say("\nValue out of range.");
  }
}

}  // namespace tabrik::acad::command
