// Entities that own sub-entities written after them in DXF (block references with
// attributes, 2D polylines with vertices) keep them here, with their SEQEND.
#pragma once
#include "dbmain.h"

namespace tabrik::acad {

class ComplexEntity {
 public:
  explicit ComplexEntity(AcRxClass* subClass) : m_subClass(subClass) {}
  bool acceptsSubEntity(const AcDbObject* sub) const {
    return sub != nullptr && sub->isKindOf(m_subClass);
  }
  AcRxClass* m_subClass;
  AcDbObjectIdArray m_subEntities;
  AcDbObjectId m_sequenceEnd;
};

// The sub-entity list of an entity that has one (block references, 2D polylines).
ComplexEntity* complexOf(const AcDbEntity* entity);

}  // namespace tabrik::acad
