// -OSNAP: the running object snap modes (OSMODE) from a list of mode names.
#include "acedads.h"
#include "aced/command/CommandSupport.h"
#include "aced/command/CoreCommands.h"

namespace tabrik::acad::command {

namespace {

struct SnapMode {
  const char* name;  // the shortest abbreviation is in capitals
  const char* shown;
  int bit;
};

// In the order the host lists the current modes.
constexpr SnapMode kModes[] = {
    {"ENDpoint", "End", 1},     {"MIDpoint", "Mid", 2},        {"CENter", "Cen", 4},
    {"NODe", "Nod", 8},         {"QUAdrant", "Qua", 16},       {"INTersection", "Int", 32},
    {"INSertion", "Ins", 64},   {"PERpendicular", "Per", 128}, {"TANgent", "Tan", 256},
    {"NEArest", "Nea", 512},    {"QUIck", "Qui", 1024},        {"APParent", "App", 2048},
    {"EXTension", "Ext", 4096}, {"PARallel", "Par", 8192},
};

// The bit of a mode typed as its name or an abbreviation of at least three letters.
int modeBit(const std::string& typed) {
  std::string word = upperCase(typed);
  if (word == "NON" || word == "NONE" || word == "OFF") return 0;
  for (const SnapMode& mode : kModes) {
    std::string name = upperCase(mode.name);
    if (word.size() >= 3 && word.size() <= name.size() && name.compare(0, word.size(), word) == 0)
      return mode.bit;
  }
  return -1;
}

std::string modeList(int bits) {
  std::string list;
  for (const SnapMode& mode : kModes) {
    if (bits & mode.bit) list += (list.empty() ? "" : ",") + std::string(mode.shown);
  }
  return list.empty() ? "NONE" : list;
}

}  // namespace

int osnapCommand() {
  resbuf value{};
  int current = 0;
  if (acedGetVar(L"OSMODE", &value) == RTNORM && value.restype == RTSHORT)
    current = value.resval.rint;
  say("\nCurrent osnap modes: " + modeList(current & 0x3fff));
  while (true) {
    std::string list;
    int status = getText("\nEnter list of object snap modes: ", list);
    if (status != RTNORM || list.empty()) return status;
    int bits = 0;
    bool valid = true;
    for (const std::string& name : nameList(list)) {
      int bit = modeBit(name);
      if (bit < 0) {
        say("\nInvalid object snap mode: " + name);
        valid = false;
        break;
      }
      bits |= bit;
    }
    if (!valid) continue;
    resbuf setting{};
    setting.restype = RTSHORT;
    setting.resval.rint = static_cast<short>(bits);
    acedSetVar(L"OSMODE", &setting);
    return RTNORM;
  }
}

}  // namespace tabrik::acad::command
