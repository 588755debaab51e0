// ZOOM, REGEN and REDRAW. The host has no screen: they take their options and
// points as the command line does and change nothing that a drawing keeps.
#include "acedads.h"
#include "aced/command/CommandSupport.h"
#include "aced/command/CoreCommands.h"

namespace tabrik::acad::command {

namespace {

// "2", "2x" or "2xp": a zoom scale factor.
bool isScaleFactor(const std::string& text) {
  std::string rest = upperCase(text);
  if (rest.size() > 2 && rest.compare(rest.size() - 2, 2, "XP") == 0) {
    rest.resize(rest.size() - 2);
  } else if (!rest.empty() && rest.back() == 'X') {
    rest.pop_back();
  }
  if (rest.empty()) return false;
  char* end = nullptr;
  double value = std::strtod(rest.c_str(), &end);
  return *end == '\0' && value > 0;
}

int corner(const ads_point first) {
  ads_point second;
  return acedGetCorner(first, L"\nSpecify opposite corner: ", second);
}

}  // namespace

int zoomCommand() {
  const char* prompt =
      "\nSpecify corner of window, enter a scale factor (nX or nXP), or\n"
      "[All/Center/Dynamic/Extents/Previous/Scale/Window/Object] <real time>: ";
  while (true) {
    acedInitGet(RSG_OTHER, L"All Center Dynamic Extents Previous Scale Window Object");
    ads_point point;
    int status = acedGetPoint(nullptr, wide(prompt).c_str(), point);
    if (status == RTCAN || status == RTNONE) return status == RTCAN ? RTCAN : RTNORM;
    if (status == RTNORM) return corner(point) == RTCAN ? RTCAN : RTNORM;
    ACHAR typed[256];
    acedGetInput(typed, 256);
    std::string option = narrow(typed);
    if (option == "All" || option == "Extents" || option == "Previous" || option == "Dynamic")
      return RTNORM;
    if (option == "Window") {
      status = acedGetPoint(nullptr, L"\nSpecify first corner: ", point);
      if (status != RTNORM) return status == RTCAN ? RTCAN : RTNORM;
      return corner(point) == RTCAN ? RTCAN : RTNORM;
    }
    if (option == "Center") {
      status = acedGetPoint(nullptr, L"\nSpecify center point: ", point);
      if (status != RTNORM) return status == RTCAN ? RTCAN : RTNORM;
      std::string magnification;
      return getText("\nEnter magnification or height <1.0000>: ", magnification);
    }
    if (option == "Scale") {
      std::string factor;
      while (true) {
        status = getText("\nEnter a scale factor (nX or nXP): ", factor);
        if (status != RTNORM || isScaleFactor(factor)) return status;
        say("\nRequires a distance, numberX, or option keyword.");
      }
    }
    if (option == "Object") {
      ads_name selection;
      status = acedSSGet(nullptr, nullptr, nullptr, nullptr, selection);
      if (status == RTNORM) acedSSFree(selection);
      return status == RTCAN ? RTCAN : RTNORM;
    }
    if (isScaleFactor(option)) return RTNORM;
    say("\nRequires a distance, numberX, or option keyword.");
  }
}

int regenCommand() {
  say("\nRegenerating model.");
  return RTNORM;
}

int redrawCommand() { return RTNORM; }

}  // namespace tabrik::acad::command
