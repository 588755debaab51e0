// multiBlockJig: drags new block references to their insertion point, then (with the
// rotate flag) turns them about it, and adds them to model space. It owns the
// references until they are in the drawing.
//
// Phases of run():
//
//   position ──drag normal──► rotation ──drag normal / Enter (angle 0)──► done
//      │  (skipped when the insertion point was given: one update with it)  │
//      └──any other end──► failed              any other end──► failed   │
//                                             (no rotate flag: position ──► done)
#pragma once
#include <vector>

#include <dbjig.h>

#include "jig/entityList.h"

class AcDbBlockReference;

namespace tabrik::arx::draw {

class multiBlockJig : public AcEdJig {
 public:
  explicit multiBlockJig(bool rotate);
  ~multiBlockJig() override;

  // Takes the references (new, in no drawing).
  void setEntityList(std::vector<AcDbBlockReference*> references);
  // Skips the position phase: the references go to this point.
  void setInsertionPoint(const AcGePoint3d& point);
  // Runs the phases; true when the references are placed and may be added.
  bool run();
  // Adds every reference to the working database's model space with attributes for
  // the non-constant attribute definitions of its block, and closes it. The ids, in
  // list order (null for a reference the drawing refused, which is then deleted).
  std::vector<AcDbObjectId> addToModelSpace();

  DragStatus sampler() override;
  Adesk::Boolean update() override;
  AcDbEntity* entity() const override;

 private:
  bool m_rotate;
  AcGePoint3d m_insertionPoint;  // dragged in the position phase; the rotation centre
  AcGePoint3d m_workingPosition;
  double m_angle = 0.0;
  double m_previousAngle = 0.0;
  int m_phase = 0;  // 0 position, 1 rotation
  bool m_insertionPointGiven = false;
  bool m_pointSampled = false;  // before the first sample no point equals the last one
  entityList m_list;
};

}  // namespace tabrik::arx::draw
