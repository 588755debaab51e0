// UNDO and U over the drawing's undo history (acdb/objects/UndoLog.h): each command
// left a step; UNDO Mark, Begin and End put marks and group bounds between them.
// Undoing takes entries off the end: a step is undone, a group (End back to its
// Begin) is undone whole, a mark is passed over (UNDO Back stops at it).
//
// UNDOCTL keeps the settings: 1 undo on, 2 one step only, 4 Auto, 8 a group is open,
// 16 zoom and pan combined, 32 layer changes combined. UNDOMARKS counts the marks.
#include "acdb/objects/UndoLog.h"
#include "aced/command/CommandSupport.h"
#include "aced/command/CoreCommands.h"
#include "aced/host/HostState.h"
#include "acedads.h"

namespace tabrik::acad::command {

namespace {

long undoControl() {
  auto found = hostState().variables.find("UNDOCTL");
  return found != hostState().variables.end() ? found->second.integer : 21;
}

void setSessionInteger(const char* name, long value) {
  VariableValue variable;
  variable.type = VariableType::Int;
  variable.integer = value;
  hostState().variables[name] = variable;
}

void setUndoControl(long bits) { setSessionInteger("UNDOCTL", bits); }

void countMarks(const std::vector<UndoEntry>& history) {
  long marks = 0;
  for (const UndoEntry& entry : history) marks += entry.kind == UndoEntryKind::kMark;
  setSessionInteger("UNDOMARKS", marks);
}

// Undoes the newest step or group; the names of what was undone go to `undone`. False
// when nothing is left to undo.
bool undoOne(std::vector<UndoEntry>& history, std::vector<std::string>& undone) {
  AcDbDatabase* database = drawing();
  while (!history.empty()) {
    UndoEntry entry = std::move(history.back());
    history.pop_back();
    switch (entry.kind) {
      case UndoEntryKind::kMark:
      case UndoEntryKind::kBegin:
        continue;  // passed over: nothing to undo in them
      case UndoEntryKind::kStep:
        undoStep(database, *entry.step);
        undone.push_back(entry.command);
        return true;
      case UndoEntryKind::kEnd: {
        int depth = 1;
        while (!history.empty() && depth > 0) {
          UndoEntry inner = std::move(history.back());
          history.pop_back();
          if (inner.kind == UndoEntryKind::kEnd) ++depth;
          if (inner.kind == UndoEntryKind::kBegin) --depth;
          if (inner.kind == UndoEntryKind::kStep) undoStep(database, *inner.step);
        }
        undone.push_back("GROUP");
        return true;
      }
    }
  }
  return false;
}

void report(const std::vector<std::string>& undone, bool exhausted) {
  std::string line;
  for (const std::string& name : undone) line += (line.empty() ? "" : " ") + name;
  if (!line.empty()) say("\n" + line);
  if (exhausted) say("\nEverything has been undone");
}

int undoNumber(std::vector<UndoEntry>& history, int count) {
  std::vector<std::string> undone;
  bool exhausted = false;
  for (int i = 0; i < count; ++i) {
    if (!undoOne(history, undone)) {
      exhausted = true;
      break;
    }
  }
  report(undone, exhausted);
  countMarks(history);
  return RTNORM;
}

int undoBack(std::vector<UndoEntry>& history) {
  bool hasMark = false;
  for (const UndoEntry& entry : history) hasMark |= entry.kind == UndoEntryKind::kMark;
  if (!hasMark) {
    std::string answer;
    int status = getKeyword("\nThis will undo everything. OK? <Y>: ", "Yes No", answer);
    if (status == RTCAN) return status;
    if (answer == "No") return RTNORM;
  }
  std::vector<std::string> undone;
  while (!history.empty() && history.back().kind != UndoEntryKind::kMark) {
    if (!undoOne(history, undone)) break;
  }
  bool markFound = !history.empty() && history.back().kind == UndoEntryKind::kMark;
  if (markFound) history.pop_back();
  report(undone, !markFound);
  if (markFound) say("\nMark encountered");
  countMarks(history);
  return RTNORM;
}

int yesNo(const std::string& prompt, long bit) {
  std::string answer;
  int status = getKeyword(prompt, "Yes No", answer);
  if (status == RTCAN) return status;
  long bits = undoControl();
  if (answer == "Yes") bits |= bit;
  if (answer == "No") bits &= ~bit;
  setUndoControl(bits);
  return RTNORM;
}

int controlOption(std::vector<UndoEntry>& history) {
  std::string answer;
  int status = getKeyword("\nEnter an UNDO control option [All/None/One/Combine/Layer] <All>: ",
                          "All None One Combine Layer", answer);
  if (status == RTCAN) return status;
  long bits = undoControl();
  if (status == RTNONE || answer == "All") {
    setUndoControl((bits | 1) & ~2L);
  } else if (answer == "None") {
    history.clear();
    setUndoControl(bits & ~(1L | 2L | 8L));
  } else if (answer == "One") {
    std::vector<UndoEntry> last;
    for (auto& entry : history) {
      if (entry.kind == UndoEntryKind::kStep) {
        last.clear();
        last.push_back(std::move(entry));
      }
    }
    history = std::move(last);
    setUndoControl((bits | 1 | 2) & ~8L);
  } else if (answer == "Combine") {
    return yesNo("\nCombine zoom and pan operations? [Yes/No] <Yes>: ", 16);
  } else if (answer == "Layer") {
    return yesNo("\nCombine layer property change operations? [Yes/No] <Yes>: ", 32);
  }
  countMarks(history);
  return RTNORM;
}

}  // namespace

int undoCommand() {
  AcDbDatabase* database = drawing();
  if (database == nullptr) return RTERROR;
  std::vector<UndoEntry>& history = undoHistory(database);
  long bits = undoControl();
  if ((bits & 1) == 0) return controlOption(history);
  say(std::string("\nCurrent settings: Auto = ") + ((bits & 4) ? "On" : "Off") +
      ", Control = " + ((bits & 2) ? "One" : "All") +
      ", Combine = " + ((bits & 16) ? "Yes" : "No") + ", Layer = " + ((bits & 32) ? "Yes" : "No"));
  acedInitGet(RSG_NOZERO | RSG_NONEG, L"Auto Control BEgin End Mark Back");
  int count = 1;
  int status = acedGetInt(
      L"\nEnter the number of operations to undo or [Auto/Control/BEgin/End/Mark/Back] <1>: ",
      &count);
  if (status == RTCAN) return status;
  if (status == RTNONE) return undoNumber(history, 1);
  if (status == RTNORM) return undoNumber(history, count);
  ACHAR typed[64];
  acedGetInput(typed, 64);
  std::string option = narrow(typed);
  if (option == "Back") return undoBack(history);
  if (option == "Control") return controlOption(history);
  if (option == "Mark") {
    if ((bits & 2) == 0) history.push_back(UndoEntry{UndoEntryKind::kMark, "", nullptr});
    countMarks(history);
    return RTNORM;
  }
  if (option == "BEgin") {
    if (bits & 8) history.push_back(UndoEntry{UndoEntryKind::kEnd, "", nullptr});
    history.push_back(UndoEntry{UndoEntryKind::kBegin, "", nullptr});
    setUndoControl(bits | 8);
    return RTNORM;
  }
  if (option == "End") {
    if (bits & 8) history.push_back(UndoEntry{UndoEntryKind::kEnd, "", nullptr});
    setUndoControl(bits & ~8L);
    return RTNORM;
  }
  if (option == "Auto") {
    std::string answer;
    status = getKeyword("\nEnter UNDO Auto mode [ON/OFF] <On>: ", "ON OFF", answer);
    if (status == RTCAN) return status;
    setUndoControl(answer == "OFF" ? (bits & ~4L) : (bits | 4));
    return RTNORM;
  }
  return RTNORM;
}

int uCommand() {
  AcDbDatabase* database = drawing();
  if (database == nullptr) return RTERROR;
  if ((undoControl() & 1) == 0) {
    say("\nU command disabled. Use UNDO command to turn it on");
    return RTNORM;
  }
  return undoNumber(undoHistory(database), 1);
}

}  // namespace tabrik::acad::command
