// The drawing's undo record: while a step records, the state of every object before
// its first change (its own dwgOutFields to an undo filer), the objects made, and the
// header variables as they were. Undoing a step puts all of it back and deletes what
// the step made, so the drawing reads and files exactly as before the step. The
// command engine keeps the steps in order (one per command, marks between them);
// transactions keep their own record of the same changes beside this one.
#pragma once
#include <memory>
#include <string>
#include <vector>

class AcDbDatabase;

namespace tabrik::acad {

class UndoStep;

// Owned through unique_ptr; destroyed where it is complete.
struct UndoStepDeleter {
  void operator()(UndoStep* step) const;
};
using UndoStepPtr = std::unique_ptr<UndoStep, UndoStepDeleter>;

// The drawing's undo history, oldest first: a step per command, the marks of UNDO
// Mark, and the bounds of UNDO Begin / End groups.
enum class UndoEntryKind { kStep, kMark, kBegin, kEnd };
struct UndoEntry {
  UndoEntryKind kind = UndoEntryKind::kStep;
  std::string command;  // the command that made the step (global name)
  UndoStepPtr step;
};
std::vector<UndoEntry>& undoHistory(AcDbDatabase* database);

// Starts recording the database's changes into a new step. One step records at a
// time: starting again while one records keeps the one that records.
void beginUndoRecording(AcDbDatabase* database);
// Stops recording: the step, or nullptr when none was recording.
UndoStepPtr endUndoRecording(AcDbDatabase* database);
bool isRecordingUndo(const AcDbDatabase* database);
// True when the step recorded no change at all.
bool isEmptyStep(const UndoStep& step);
// Puts the database back as it was when the step began. Steps are undone newest
// first; a step undone is spent.
void undoStep(AcDbDatabase* database, UndoStep& step);

}  // namespace tabrik::acad
