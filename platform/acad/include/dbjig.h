// The host's interactive drag: a jig derives from AcEdJig, overrides sampler, update
// and entity, and calls drag(). The host owns the loop; the jig owns its entity.
//
// The drag loop (one call of drag()):
//
//   prompt shown ──► sampler() ──► acquireXxx takes one input
//        ▲               │
//        │               ├─ kNormal ──► update() ──► entity()->worldDraw(...)
//        │               ├─ kNoChange ─► (nothing redrawn)
//        │               ▼
//        └──── the input was a cursor motion: sample again
//                        │
//                        ▼ the input was final (a pick, a keyword, Enter, Escape)
//                  drag() returns the status
//
// | input              | acquireXxx returns                     | drag ends |
// |--------------------|----------------------------------------|-----------|
// | cursor motion      | kNormal with the sampled value         | no        |
// | pick / typed value | kNormal with the value                 | yes       |
// | keyword n of list  | kKWn                                   | yes       |
// | Enter              | kNull (kNullResponseAccepted), else ignored | yes  |
// | Escape, no input   | kCancel                                | yes       |
// | other text         | kOther (kAcceptOtherInputString), else the host's message and retype | yes
// |
//
// A final pick that the sampler reports as kNoChange still ends the drag normally.
// The entity drawn on update is the jig's; drag() never adds it to a drawing
// (append() does that, into the working database's current space).
#pragma once
#include "adesk.h"
#include "adsdef.h"
#include "dbid.h"
#include "gept3d.h"

class AcDbEntity;

class AcEdJig {
 public:
  enum UserInputControls {
    kGovernedByOrthoMode = 0x000001,
    kNullResponseAccepted = 0x000002,
    kDontEchoCancelForCtrlC = 0x000004,
    kDontUpdateLastPoint = 0x000008,
    kNoDwgLimitsChecking = 0x000010,
    kNoZeroResponseAccepted = 0x000020,
    kNoNegativeResponseAccepted = 0x000040,
    kAccept3dCoordinates = 0x000080,
    kAcceptMouseUpAsPoint = 0x000100,
    kAnyBlankTerminatesInput = 0x000200,
    kInitialBlankTerminatesInput = 0x000400,
    kAcceptOtherInputString = 0x000800,
    kGovernedByUCSDetect = 0x001000,
    kNoZDirectionOrtho = 0x002000,
    kImpliedFaceForUCSChange = 0x004000,
    kUseBasePointElevation = 0x008000,
    kDisableDirectDistanceInput = 0x010000,
  };

  enum DragStatus {
    kModeless = -17,
    kNoChange = -6,
    kCancel = -4,
    kOther = -3,
    kNull = -1,
    kNormal = 0,
    kKW1,
    kKW2,
    kKW3,
    kKW4,
    kKW5,
    kKW6,
    kKW7,
    kKW8,
    kKW9,
  };

  enum CursorType {
    kNoSpecialCursor = -1,
    kCrosshair = 0,
    kRectCursor,
    kRubberBand,
    kNotRotated,
    kTargetBox,
    kRotatedCrosshair,
    kCrosshairNoRotate,
    kInvisible,
    kEntitySelect,
    kParallelogram,
    kEntitySelectNoPersp,
    kPkfirstOrGrips,
    kCrosshairDashed,
  };

  AcEdJig();
  virtual ~AcEdJig();
  AcEdJig(const AcEdJig&) = delete;
  AcEdJig& operator=(const AcEdJig&) = delete;

  DragStatus drag();
  virtual DragStatus sampler();
  virtual Adesk::Boolean update();
  // The entity drawn after each update; the jig keeps it.
  virtual AcDbEntity* entity() const;
  // Adds entity() to the current space of the working database; its id, null on failure.
  AcDbObjectId append();

  const ACHAR* keywordList();
  // Keywords as acedInitGet takes them ("Corner,C Middle,M" or "Corner Middle").
  void setKeywordList(const ACHAR* keywords);
  const ACHAR* dispPrompt();
  void setDispPrompt(const ACHAR* prompt, ...);

  DragStatus acquireString(ACHAR (&text)[2049]);
  DragStatus acquireAngle(double& angle);
  DragStatus acquireAngle(double& angle, const AcGePoint3d& basePoint);
  DragStatus acquireDist(double& distance);
  DragStatus acquireDist(double& distance, const AcGePoint3d& basePoint);
  DragStatus acquirePoint(AcGePoint3d& point);
  DragStatus acquirePoint(AcGePoint3d& point, const AcGePoint3d& basePoint);

  CursorType specialCursorType();
  void setSpecialCursorType(CursorType type);
  UserInputControls userInputControls();
  void setUserInputControls(UserInputControls controls);

 private:
  struct Impl;
  Impl* m_impl;
};
