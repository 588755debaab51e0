// MultiMoveJig: drags private copies of entities by the translation from a base point
// to the cursor, with a rubber band from the base. Owns the copies; the entities they
// were made from are never touched.
#pragma once
#include <vector>

#include <dbjig.h>

#include "jig/entityList.h"

namespace tabrik::arx::draw {

class MultiMoveJig : public AcEdJig {
 public:
  explicit MultiMoveJig(const AcGePoint3d& basePoint);
  ~MultiMoveJig() override;

  // Takes the copies (new, in no drawing).
  void setEntityList(std::vector<AcDbEntity*> copies);
  // The point the cursor was last sampled at (the base point before any).
  AcGePoint3d lastPoint() const { return m_current; }

  DragStatus sampler() override;
  Adesk::Boolean update() override;
  AcDbEntity* entity() const override;

 private:
  AcGePoint3d m_base;
  AcGePoint3d m_previous;  // where the copies are drawn now, relative to the base
  AcGePoint3d m_current;
  entityList m_list;
};

}  // namespace tabrik::arx::draw
