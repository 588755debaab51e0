// RotateJig: turns a private copy of one entity about its base point (a multi-line
// text's location, a block reference's position, else the low corner of its extents)
// following the cursor's angle. Only texts and block references show the turn; the
// copy is the jig's and the entity it was made from is never touched.
#pragma once
#include <memory>

#include <dbjig.h>

namespace tabrik::arx::draw {

class RotateJig : public AcEdJig {
 public:
  // Takes the copy (new, in no drawing).
  explicit RotateJig(AcDbEntity* copy);
  ~RotateJig() override;

  AcGePoint3d basePoint() const { return m_base; }
  // The angle last sampled (0 before any), radians.
  double angle() const { return m_angle; }

  DragStatus sampler() override;
  Adesk::Boolean update() override;
  AcDbEntity* entity() const override;

 private:
  std::unique_ptr<AcDbEntity> m_copy;
  AcGePoint3d m_base;
  double m_angle = 0.0;
};

}  // namespace tabrik::arx::draw
