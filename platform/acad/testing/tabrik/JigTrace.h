// What the headless host's jigs did, for tests and the host:jigs function: one record
// per drag() with the prompt, every sample (the acquire, its cursor and input
// controls, the input it took) and what the jig's entity drew after its last update.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "gept3d.h"
#include "tabrik/GiRecorder.h"

namespace tabrik::acad {

struct JigSample {
  enum Acquire { kPoint, kAngle, kDistance, kString } acquire = kPoint;
  std::optional<AcGePoint3d> base;
  int cursor = -1;    // AcEdJig::CursorType in force
  int controls = 0;   // AcEdJig::UserInputControls in force
  std::string input;  // the token taken ("~x,y" for a cursor motion)
  int status = 0;     // what the sampler returned
};

struct JigDrag {
  std::wstring prompt;
  std::wstring keywords;
  std::vector<JigSample> samples;
  int updates = 0;                       // update() calls
  std::vector<GiPrimitive> lastDrawing;  // entity()'s drawing after the last update
  int status = 0;                        // what drag() returned
};

// The drags since the last call, oldest first; clears the record. The host keeps the
// last 256 drags.
std::vector<JigDrag> takeJigDrags();

}  // namespace tabrik::acad
