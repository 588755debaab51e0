// MultiRotateJig: turns private copies of entities about the Z axis through a base
// point, following the cursor's angle from the base. Owns the copies; the entities
// they were made from are never touched.
#pragma once
#include <vector>

#include <dbjig.h>

#include "jig/entityList.h"

namespace tabrik::arx::draw {

class MultiRotateJig : public AcEdJig {
 public:
  explicit MultiRotateJig(const AcGePoint3d& basePoint);
  ~MultiRotateJig() override;

  // Takes the copies (new, in no drawing).
  void setEntityList(std::vector<AcDbEntity*> copies);
  // The angle last sampled (0 before any), radians.
  double angle() const { return m_angle; }

  DragStatus sampler() override;
  Adesk::Boolean update() override;
  AcDbEntity* entity() const override;

 private:
  AcGePoint3d m_base;
  double m_angle = 0.0;
  double m_previousAngle = 0.0;  // the angle the copies are turned by now
  entityList m_list;
};

}  // namespace tabrik::arx::draw
